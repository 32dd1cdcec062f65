#include "online/GUI_ChallengeList.h"

#include "app/APP_UsageMetrics.h"
#include "app/Game.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_WindowManager.h"
#include "online/GUI_ChallengeDetails.h"
#include "online/GUI_ChallengeHistory.h"
#include "online/GUI_ChallengeListClientWindow.h"
#include "online/GUI_ChallengeListWindow.h"
#include "online/GUI_PleaseWait.h"
#include "online/OnlineJob.h"
#include "online/SIM_ChallengeDatabase.h"
#include "online/SIM_Server.h"
#include "platform/KeyCodes.h"

GUI_ChallengeList& GUI_ChallengeList::GetInstance()
{
    static GUI_ChallengeList instance;
    return instance;
}

GUI_ChallengeList::GUI_ChallengeList()
{
    APP_UsageMetrics::GetInstance().SetEventFlag("challengelist");
    m_back = new GUI_ButtonText("CHALLENGES_MAIN_MENU", GUI_MenuChrome::GoToMainMenu, 0);
    m_back->SetTooltip("TOOLTIP_GOTOMAINMENU");
    AddButton(m_back);
}

void GUI_ChallengeList::Enter()
{
    LayOutScreen(*m_back);
    m_window = new GUI_ChallengeListWindow();
    m_rebuild = false;
    m_offline = !SIM_Server::GetInstance().IsOnline();
    m_offlineText = GetString("ONLINE_NO_SERVER");
    // Nothing held yet (a first visit): the server's list is fetched at once,
    // so the player need not find Refresh to see a challenge.
    if (!m_offline && SIM_ChallengeDatabase::GetInstance().GetRecords().empty())
        m_window->GetClient()->Reload(true);
}

void GUI_ChallengeList::Leave()
{
    GUI_ChallengeDetails::Close();
    GUI_ChallengeHistory::Close();
    GUI_PleaseWait::Close();
    if (m_window) {
        m_window->visible = false;
        GUI_WindowManager::GetInstance().CloseWindow(m_window);
    }
    m_window = nullptr;
}

void GUI_ChallengeList::StartDelete(const std::string& challengeId)
{
    if (m_deleteJob)
        return;
    m_deleteId = challengeId;
    const std::string id = challengeId;
    m_deleteJob =
        GUI_PleaseWait::StartJob([id](SIM_Server& server, std::string&) { return server.DeleteChallenge(id); });
    PollDelete();
}

void GUI_ChallengeList::PollDelete()
{
    bool ok = false, cancelled = false;
    std::string text;
    if (!GUI_PleaseWait::FinishJob(m_deleteJob, ok, text, cancelled))
        return;
    // A refusal keeps the record (the window is gone either way).
    if (ok && SIM_ChallengeDatabase::GetInstance().RemoveLocal(m_deleteId))
        m_rebuild = true;
}

void GUI_ChallengeList::Update()
{
    PollDelete();
    if (GUI_ChallengeDetails* details = GUI_ChallengeDetails::GetOpen())
        details->Poll();
    if (m_rebuild && m_window) {
        m_rebuild = false;
        m_window->GetClient()->Reload(false);
    }
    GUI_MenuScreen::Update();
}

void GUI_ChallengeList::Render()
{
    GUI_MenuScreen::Render();
    // Online play needs a server; without one the screen says so and stays usable.
    if (m_offline) {
        LibText& text = LibText::GetInstance();
        text.SetFont("zekton16.dds", 16.0f);
        text.SetText(TEXT_ALIGN_LEFT, m_offlineText, 260.0f,
                     static_cast<float>(height - 34), 0xFFFFC040u, 0.0f);
        text.Render(-1);
    }
}

void GUI_ChallengeList::OnKeyDown(int code)
{
    if (GUI_PleaseWait::IsOpen())
        return;
    if (code == KEY_ESCAPE && GUI_WindowManager::GetInstance().CloseTopModal())
        return;
    GUI_MenuScreen::OnKeyDown(code);
}

void GUI_ChallengeList::OnLeftClick()
{
    // The box on top takes the click (Cancel); nothing beneath it does.
    if (GUI_PleaseWait::IsOpen()) {
        GUI_WindowManager::GetInstance().DispatchClick();
        return;
    }
    if (!GUI_WindowManager::GetInstance().DispatchClick())
        ClickButtons();
}
