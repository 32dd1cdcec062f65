#include "online/GUI_LoginNameWindow.h"

#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_TextEditWindow.h"
#include "online/OnlineJob.h"
#include "online/OnlineStatus.h"
#include "online/SIM_Server.h"

#include <algorithm>

namespace {
GUI_LoginNameWindow* g_current = nullptr;
}

GUI_LoginNameWindow::GUI_LoginNameWindow() : GUI_Dialog(false)
{
    g_current = this;
    SIM_Server& server = SIM_Server::GetInstance();
    SetTitleKey("INTERNET_USERNAME");
    m_entry = new GUI_TextEditWindow(server.GetUserName(), kMaxName);
    AddChild(m_entry);
    m_submit = new GUI_ButtonText("INTERNET_SUBMIT_NAME", OnSubmitPressed, 0);
    m_submit->SetTooltip("TOOLTIP_SUBMIT_USERNAME");
    AddButton(m_submit);
    m_status = server.HasUserName() ? ACCEPTED : NOT_SET;
    UpdateStatusText();
}

GUI_LoginNameWindow::~GUI_LoginNameWindow()
{
    // A name still on its way is dropped: its worker finishes into the job alone.
    if (g_current == this)
        g_current = nullptr;
}

void GUI_LoginNameWindow::UpdateStatusText()
{
    m_statusText = GetString(m_status == ACCEPTED ? "INTERNET_USERNAME_ACCEPTED" : "INTERNET_USERNAME_NOTSET");
}

void GUI_LoginNameWindow::OnSubmitPressed(std::intptr_t)
{
    if (g_current)
        g_current->OnSubmit();
}

void GUI_LoginNameWindow::OnSubmit()
{
    const std::string name = m_entry->GetText();
    if (m_job || !SIM_Server::IsUsableUserName(name))
        return;
    m_sentName = name;
    m_job = OnlineJob::Start([name](SIM_Server& server, std::string& text) {
        const bool ok = server.SetUserName(name);
        text = server.GetLastMessage();
        return ok;
    });
    m_statusText = GetString("INTERNET_USERNAME_SENDING");
    Poll();
}

void GUI_LoginNameWindow::Poll()
{
    if (!m_job || !m_job->IsDone())
        return;
    OnlineStatus::Kind kind = OnlineStatus::Of(*m_job);
    bool ok = false;
    std::string message;
    OnlineJob::Collect(m_job, ok, message);
    if (ok && SIM_Server::GetInstance().SaveUserName(m_sentName)) {
        m_status = ACCEPTED;
        UpdateStatusText();
        return;
    }
    m_status = NOT_SET;
    // A refusal in the server's own words; otherwise what every online screen says.
    if (kind == OnlineStatus::NONE)
        kind = OnlineStatus::FAILED;
    m_statusText = kind == OnlineStatus::FAILED && !message.empty()
                       ? message
                       : OnlineStatus::Text(kind, "INTERNET_USERNAME_SENDING", "");
}

const std::string& GUI_LoginNameWindow::GetShownStatus()
{
    if (m_shownFrom != m_statusText || m_shown.empty()) {
        // The server's words may be any length: they wrap inside the window.
        LibText& text = LibText::GetInstance();
        text.SetFont("zekton16.dds", 16.0f);
        const int lineHeight = std::max(1, text.GetWrappedTextHeight("x", 1000));
        const int statusTop = bottom - kStatusTop;
        const int lines = std::max(1, (clientBottom - statusTop) / lineHeight);
        m_shown = text.FitText(m_statusText, right - left - 40, lines);
        m_shownFrom = m_statusText;
    }
    return m_shown;
}

void GUI_LoginNameWindow::Update()
{
    Poll();
    m_submit->enabled = !m_entry->GetText().empty() && !m_job;
    GUI_Dialog::Update();
}

void GUI_LoginNameWindow::Draw()
{
    if (!visible)
        return;
    Poll();
    // Laid out from where the window is, every frame.
    m_entry->SetRect(static_cast<float>(left + 20), static_cast<float>(bottom - 97), static_cast<float>(right - 200),
                     static_cast<float>(bottom - kStatusTop - 5));
    m_submit->SetRect(static_cast<float>(m_entry->right + 10), static_cast<float>(m_entry->top),
                      static_cast<float>(right - 20), static_cast<float>(m_entry->top + 20));
    GUI_Dialog::Draw();
    DrawChildren();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_LEFT, GetShownStatus(), static_cast<float>(left + 20),
                 static_cast<float>(bottom - kStatusTop), m_status == ACCEPTED ? 0xFF20FF20u : 0x80FFFFFFu, 0.0f);
    text.Render(-1);
}
