#include "online/GUI_Inbox.h"

#include "app/GUI_Sounds.h"
#include "app/Game.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_ScrollingWindow.h"
#include "online/GUI_OnlineMessage.h"
#include "online/SIM_OnlineMessageManager.h"

#include <algorithm>

GUI_Inbox* GUI_Inbox::Open()
{
    CloseOpen();
    GUI_Inbox* inbox = SetOpen(new GUI_Inbox());
    inbox->Refresh();
    return inbox;
}

void GUI_Inbox::Close()
{
    CloseOpen();
}

GUI_Inbox::GUI_Inbox() : GUI_Dialog(false)
{
    topMargin += 30.0f;
    // The way on to the challenges has the strip below the rows to itself.
    bottomMargin += 30.0f;
    SetSize(static_cast<float>(kWidth), topMargin + bottomMargin + 426.0f + 22.0f);
    Centre();
    SetClientRect();
    SetTitleKey("INBOX_TITLE");
    m_scroll = new GUI_ScrollingWindow();
    m_scroll->SetRect(static_cast<float>(clientRight - 25), static_cast<float>(clientTop + 5),
                      static_cast<float>(clientRight - 5), static_cast<float>(clientBottom - 5));
    AddChild(m_scroll);
    const int headerTop = clientTop + 4, headerBottom = clientTop + 24;
    m_headers[0] = GRect{clientLeft + 2, headerTop, clientLeft + 150, headerBottom};
    m_headers[1] = GRect{clientLeft + 152, headerTop, clientLeft + 300, headerBottom};
    m_headers[2] = GRect{clientLeft + 302, headerTop, m_scroll->left - 4, headerBottom};
    const char* keys[3] = {"MESSAGES_COLUMN_DATE", "MESSAGES_COLUMN_FROM", "MESSAGES_COLUMN_MESSAGE"};
    for (int i = 0; i < 3; ++i)
        m_headerTexts[i] = GetString(keys[i]);
    m_challenges = new GUI_ButtonText("MAINMENU_CHALLENGES", OnChallenges, 0);
    m_challenges->SetTooltip("TOOLTIP_MAINMENU_CHALLENGES");
    m_challenges->SetRect(static_cast<float>(right - 150), static_cast<float>(bottom - 30),
                          static_cast<float>(right - 20), static_cast<float>(bottom - 10));
    AddButton(m_challenges);
}

GUI_Inbox::~GUI_Inbox()
{
    ForgetIfOpen(this);
}

void GUI_Inbox::SetStatus(const char* key)
{
    m_statusKey = key;
    m_statusText = m_statusKey.empty() ? std::string() : GetString(key);
}

void GUI_Inbox::ShowOutcome(OnlineStatus::Kind kind)
{
    // A download that brought nothing new is only worth a word when the list is empty.
    if (kind == OnlineStatus::NONE && SIM_OnlineMessageManager::GetInstance().GetAll().empty())
        kind = OnlineStatus::EMPTY;
    SetStatus(OnlineStatus::Key(kind, "MESSAGES_DOWNLOADING", "MESSAGES_NONE"));
}

void GUI_Inbox::Refresh()
{
    SIM_OnlineMessageManager& manager = SIM_OnlineMessageManager::GetInstance();
    ShowOutcome(manager.StartDownload() ? OnlineStatus::WAITING : OnlineStatus::NO_SERVER);
    m_seenDownloads = manager.GetDownloadsFinished();
    RebuildRows();
}

void GUI_Inbox::DeleteRows()
{
    for (GUI_OnlineMessage* row : m_rows) {
        RemoveChild(row);
        delete row;
    }
    m_rows.clear();
}

void GUI_Inbox::RebuildRows()
{
    DeleteRows();
    const std::vector<SIM_OnlineMessageRecord*>& all = SIM_OnlineMessageManager::GetInstance().GetAll();
    int y = clientTop + 26;
    int shown = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        if (static_cast<int>(i) < m_scroll->position)
            continue;
        if (y >= clientBottom - kRowStep)
            break;
        auto* row = new GUI_OnlineMessage(all[i], static_cast<float>(clientLeft), static_cast<float>(y),
                                          static_cast<float>(m_scroll->left - 2));
        AddChild(row);
        m_rows.push_back(row);
        y += kRowStep;
        ++shown;
    }
    const int total = static_cast<int>(all.size());
    m_scroll->contentSize = static_cast<float>(total);
    m_scroll->visibleSize = static_cast<float>(shown);
    m_scroll->maximum = std::max(0, total - shown);
    m_scroll->position = std::min(m_scroll->position, m_scroll->maximum);
}

void GUI_Inbox::Poll()
{
    SIM_OnlineMessageManager& manager = SIM_OnlineMessageManager::GetInstance();
    bool rebuild = false;
    if (m_pending != Pending::NONE) {
        // Only a message the manager still holds (a rebuild may have dropped it).
        const auto& all = manager.GetAll();
        const auto held = std::find_if(all.begin(), all.end(),
                                       [&](const SIM_OnlineMessageRecord* r) { return r->id == m_pendingId; });
        if (held != all.end()) {
            if (m_pending == Pending::DELETE)
                manager.DeleteMessage(*held);
            else
                manager.BlockSender(*held);
        }
        m_pending = Pending::NONE;
        m_pendingId = 0;
        rebuild = true;
    }
    manager.Poll();
    if (manager.GetDownloadsFinished() != m_seenDownloads && !manager.IsDownloading()) {
        m_seenDownloads = manager.GetDownloadsFinished();
        // A failed download says so even over messages an earlier one brought.
        ShowOutcome(manager.GetLastOutcome());
        rebuild = true;
    }
    if (m_scroll->changed) {
        m_scroll->changed = false;
        rebuild = true;
    }
    if (rebuild)
        RebuildRows();
    // The last row deleted or blocked.
    if (m_statusKey.empty() && manager.GetAll().empty())
        SetStatus("MESSAGES_NONE");
}

void GUI_Inbox::Draw()
{
    if (!visible)
        return;
    Poll();
    GUI_Dialog::Draw();
    D3DEngine& engine = D3DEngine::GetInstance();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    for (int i = 0; i < 3; ++i) {
        engine.FillRect(m_headers[i], 0xFF1C2C44u);
        engine.DrawRectFrame(m_headers[i], 0xFF5078A0u);
        text.SetText(TEXT_ALIGN_LEFT, m_headerTexts[i], static_cast<float>(m_headers[i].left + 6),
                     static_cast<float>(m_headers[i].top), 0xFFFFFFFFu, 0.0f);
    }
    text.Render(-1);
    DrawChildren();
    if (!m_statusKey.empty()) {
        // Over an empty list in its middle; beside rows, in the strip below them.
        if (m_rows.empty())
            text.SetText(TEXT_ALIGN_CENTRE, m_statusText, static_cast<float>(clientLeft),
                         static_cast<float>(clientTop + 80), 0xFFFFC040u, static_cast<float>(clientRight - clientLeft));
        else
            text.SetText(TEXT_ALIGN_LEFT, m_statusText, static_cast<float>(clientLeft + 10),
                         static_cast<float>(m_challenges->top - 2), 0xFFFFC040u, 0.0f);
        text.Render(-1);
    }
}

void GUI_Inbox::OnWheelUp()
{
    if (m_scroll->position <= 0)
        return;
    m_scroll->ScrollUp();
    GUI_Sounds::GetInstance().PlayGuiSound(0);
}

void GUI_Inbox::OnWheelDown()
{
    if (m_scroll->position >= m_scroll->maximum)
        return;
    m_scroll->ScrollDown();
    GUI_Sounds::GetInstance().PlayGuiSound(0);
}

void GUI_Inbox::OnDeleteRow(std::intptr_t messageId)
{
    GUI_Inbox* open = GetOpen();
    if (!open)
        return;
    open->m_pending = Pending::DELETE;
    open->m_pendingId = static_cast<int>(messageId);
}

void GUI_Inbox::OnBlockRow(std::intptr_t messageId)
{
    GUI_Inbox* open = GetOpen();
    if (!open)
        return;
    open->m_pending = Pending::BLOCK;
    open->m_pendingId = static_cast<int>(messageId);
}

void GUI_Inbox::OnChallenges(std::intptr_t)
{
    Game::GetInstance().SetMode(6);
}
