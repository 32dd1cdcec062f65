#include "online/GUI_ChallengeListWindow.h"

#include "app/Game.h"
#include "editors/GUI_ScenarioEditor.h"
#include "sim/SIM_Options.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "frontend/GUI_MenuChrome.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_CheckButton.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_Tutorial.h"
#include "online/GUI_ChallengeDetails.h"
#include "online/GUI_ChallengeListClientWindow.h"
#include "online/GUI_ChallengeList.h"

#include <algorithm>

namespace {
GUI_ChallengeListWindow* g_window = nullptr;
}

GUI_ChallengeListWindow::GUI_ChallengeListWindow() : GUI_Dialog(false)
{
    g_window = this;
    SetSize(1024.0f, 684.0f);
    Centre();
    SetClientRect();
    SetTitleKey("CHALLENGELIST_TITLE");
    GUI_WindowManager::GetInstance().BringToFront(this);
    // The buttons go over the client area, which Draw paints after the frame.
    drawButtons = false;

    m_refresh = new GUI_ButtonText("CHALLENGES_REFRESH", OnRefresh, 0);
    m_refresh->SetTooltip("TOOLTIP_CHALLENGES_REFRESH");
    m_refresh->SetRect(static_cast<float>(left + 20), static_cast<float>(bottom - 45), static_cast<float>(left + 220),
                       static_cast<float>(bottom - 25));
    AddButton(m_refresh);
    auto* custom = new GUI_ButtonText("CHALLENGES_CUSTOM", OnCustom, 0);
    custom->SetTooltip("CHALLENGES_CUSTOM_TOOLTIP");
    custom->SetRect(static_cast<float>(right - 220), static_cast<float>(bottom - 65), static_cast<float>(right - 20),
                    static_cast<float>(bottom - 45));
    AddButton(custom);
    auto* messages = new GUI_ButtonText("CHALLENGES_MESSAGES", OnMessages, 0);
    messages->SetTooltip("CHALLENGES_MESSAGES_TOOLTIP");
    messages->SetRect(static_cast<float>(right - 220), static_cast<float>(bottom - 30), static_cast<float>(right - 20),
                      static_cast<float>(bottom - 10));
    AddButton(messages);
    GUI_Tutorial::GetInstance().LaunchTutorial("CHALLENGES");

    m_client = new GUI_ChallengeListClientWindow();
    // The table stops above the filters and buttons.
    m_client->SetRect(static_cast<float>(clientLeft), static_cast<float>(clientTop), static_cast<float>(clientRight),
                      static_cast<float>(bottom - 90));
    AddChild(m_client);
    m_client->BuildColumns();

    static const char* kLabels[4] = {"CHALLENGE_LIST_SHOWLOCAL", "CHALLENGE_LIST_SHOWPERSONAL",
                                     "CHALLENGE_LIST_SHOWPOSTED", "CHALLENGE_LIST_SHOWALL"};
    SIM_Options& options = SIM_Options::GetInstance();
    for (int i = 0; i < 4; ++i) {
        m_client->filters[i] = options.GetValue(kFilterOptions[i]) != 0.0f;
        auto* box = new GUI_CheckButton(kLabels[i], OnFilter, i);
        box->SetTooltip((std::string(kLabels[i]) + "_TOOLTIP").c_str());
        box->ticked = m_client->filters[i];
        const float x = static_cast<float>(left + 270 + 240 * (i % 2));
        const float y = static_cast<float>(bottom - 81 + 36 * (i / 2));
        box->SetRect(x, y, x + 240.0f, y + 30.0f);
        AddButton(box);
        m_filters[i] = box;
    }
    m_client->Reload(false);
}

GUI_ChallengeListWindow::~GUI_ChallengeListWindow()
{
    if (g_window == this)
        g_window = nullptr;
}

void GUI_ChallengeListWindow::ToggleFilter(int index)
{
    if (index < 0 || index > 3)
        return;
    m_client->filters[index] = !m_client->filters[index];
    m_filters[index]->ticked = m_client->filters[index];
    m_client->GetScrollBar()->position = 0;
    m_client->RebuildRows();
    SIM_Options& options = SIM_Options::GetInstance();
    options.SetValue(kFilterOptions[index], m_client->filters[index] ? 1.0f : 0.0f);
    options.Save();
}

void GUI_ChallengeListWindow::Draw()
{
    // The details window covers the list; nothing of it shows meanwhile.
    if (GUI_ChallengeDetails::GetOpen())
        return;
    GUI_Dialog::Draw();
    GUI_MenuChrome::DrawClientArea(*this, m_interlace);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    DrawButtons();
    const std::string& status = GetShownStatus();
    if (!status.empty())
        text.SetText(TEXT_ALIGN_LEFT, status, static_cast<float>(left + 20),
                     static_cast<float>(bottom - kStatusTop), 0xFFC0C0C0u, 0.0f);
    text.Render(-1);
}

const std::string& GUI_ChallengeListWindow::GetShownStatus()
{
    const std::string& status = m_client->GetStatusText();
    if (status != m_shownFrom) {
        // Above the refresh button, left of the filters.
        LibText& text = LibText::GetInstance();
        text.SetFont("zekton16.dds", 16.0f);
        const int lineHeight = std::max(1, text.GetWrappedTextHeight("x", 1000));
        m_shownStatus = text.FitText(status, kStatusWidth, std::max(1, (kStatusTop - 45) / lineHeight));
        m_shownFrom = status;
    }
    return m_shownStatus;
}

void GUI_ChallengeListWindow::OnRefresh(std::intptr_t)
{
    if (g_window)
        g_window->m_client->Reload(true);
}

void GUI_ChallengeListWindow::OnCustom(std::intptr_t)
{
    GUI_ScenarioEditor::EnterForChallenge();
}

void GUI_ChallengeListWindow::OnMessages(std::intptr_t)
{
    Game::GetInstance().SetMode(12);
}

void GUI_ChallengeListWindow::OnFilter(std::intptr_t index)
{
    // The box has flipped itself; the window's flag is the one that counts.
    if (g_window) {
        g_window->m_filters[index]->ticked = !g_window->m_filters[index]->ticked;
        g_window->ToggleFilter(static_cast<int>(index));
    }
}
