#include "battle/hud/GUI_PostMortem.h"

#include "app/Game.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/hud/GUI_PostMortemMessage.h"
#include "battle/hud/GUI_RateChallenge.h"
#include "battle/hud/GUI_StatsBrowser.h"
#include "battle/hud/HudWindow.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_Tutorial.h"
#include "online/GUI_NewChallengeEntry.h"
#include "online/GUI_PleaseWait.h"
#include "online/OnlineJob.h"
#include "online/SIM_Server.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Scenario.h"

namespace {
constexpr float kLockSize = 24.0f;
constexpr float kFontSize = 16.0f;

GUI_ButtonText* MakeButton(GUI_PostMortem* dialog, const char* key, GUI_Callback callback, int l, int t, int r, int b)
{
    auto* button = new GUI_ButtonText(key, callback, 0);
    button->SetRect(static_cast<float>(l), static_cast<float>(t), static_cast<float>(r), static_cast<float>(b));
    dialog->AddButton(button);
    dialog->AddChildElement(button);
    return button;
}
} // namespace

GUI_PostMortem::GUI_PostMortem() : GUI_Dialog(false)
{
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    const SIM_Scenario* scenario = battle.GetScenario();
    m_challenge = scenario && scenario->IsChallengeFleet();
    SetSize(static_cast<float>(kWidth), static_cast<float>(m_challenge ? kChallengeHeight : kHeight));
    Centre();
    sideMargin = topMargin = bottomMargin = 0.0f;
    SetClientRect();
    drawButtons = false;

    const int centre = (left + right) / 2;
    const int messageBottom = clientTop + kMessageTop + 120;
    if (m_challenge) {
        m_message = new GUI_PostMortemMessage(scenario->GetStringMember());
        m_message->SetRect(static_cast<float>(clientLeft + 10), static_cast<float>(clientTop + kMessageTop),
                           static_cast<float>(clientRight - 10), static_cast<float>(messageBottom));
        AddChild(m_message);
    }
    m_viewStats = MakeButton(this, "POSTMORTEM_VIEWSTATS", OnViewStats, centre + 75, bottom - 44, right - 20, bottom - 24);
    m_quit = MakeButton(this, "POSTMORTEM_QUIT_VICTORY", OnQuit, left + 20, bottom - 44, centre - 75, bottom - 24);
    m_quit->SetName("POSTMORTEM_QUIT");
    if (m_challenge) {
        m_rate = MakeButton(this, "POSTMORTEM_RATE_CHALLENGE", OnRateChallenge, centre - 65, bottom - 44, centre + 65,
                            bottom - 24);
        m_retaliate = MakeButton(this, "POSTMORTEM_RETALIATE", OnRetaliate, centre - 110, messageBottom + 7,
                                 centre + 110, messageBottom + 27);
        m_retaliate->SetTooltip(GetString("POSTMORTEM_RETALIATE_TOOLTIP"));
    }
    GUI_WindowManager::GetInstance().BringToFront(this);

    const SIM_Race* race = battle.GetPlayerRace();
    m_victory = battle.GetLost() == SIM_Battle::WON;
    if (m_victory) {
        SetTitleKey("POSTMORTEM_TITLE_VICTORY");
        m_raceMessage = race ? race->GetVictoryMessages() : std::string();
        m_quit->SetTextKey(m_challenge ? "POSTMORTEM_QUIT_DEFEAT" : "POSTMORTEM_QUIT_VICTORY");
    } else {
        SetTitleKey("POSTMORTEM_TITLE_DEFEAT");
        m_raceMessage = race ? race->GetDefeatMessages() : std::string();
        m_quit->SetTextKey("POSTMORTEM_QUIT_DEFEAT");
    }
    UpdateChallengeButtons();
    m_pointsText = FormatThousands(battle.GetPointsEarned());
    if (!m_challenge) {
        m_unlockedLabel = GetString("POSTMORTEM_UNLOCKED");
        m_lock.SetTexture("module_locked.dds");
        m_lock.SetSize(kLockSize, kLockSize);
    }
    GUI_WindowManager::GetInstance().AddModal(this);
    GUI_Tutorial::GetInstance().LaunchTutorial("POSTMORTEM");
}

GUI_PostMortem::~GUI_PostMortem()
{
    if (m_rateJob || (m_message && m_message->IsSending()))
        GUI_PleaseWait::Close();
}

void GUI_PostMortem::OnRatingSent(bool succeeded)
{
    if (succeeded)
        m_rated = true;
    UpdateChallengeButtons();
}

void GUI_PostMortem::StartRating(const std::string& challengeId, int difficulty, int enjoyment)
{
    if (m_rateJob)
        return;
    const std::string id = challengeId;
    m_rateJob = GUI_PleaseWait::StartJob([id, difficulty, enjoyment](SIM_Server& server, std::string&) {
        return server.RateChallenge(id, difficulty, enjoyment);
    });
    PollRating();
}

void GUI_PostMortem::PollRating()
{
    bool ok = false, cancelled = false;
    std::string text;
    if (GUI_PleaseWait::FinishJob(m_rateJob, ok, text, cancelled))
        OnRatingSent(ok);
}

void GUI_PostMortem::OnRetaliationPosted(bool succeeded)
{
    if (succeeded)
        m_retaliated = true;
    UpdateChallengeButtons();
}

void GUI_PostMortem::UpdateChallengeButtons()
{
    if (m_rate && m_rate->visible)
        m_rate->enabled = !m_rated && !m_rateJob;
    if (m_retaliate)
        m_retaliate->enabled = !m_retaliated && m_victory;
}

void GUI_PostMortem::Draw()
{
    if (!visible)
        return;
    PollRating();
    UpdateChallengeButtons();
    GUI_Dialog::Draw();
    DrawDialogClientPanel(*this, m_interlace);
    // The panel covers the whole dialog, title strip included: the title
    // goes on top again, or it would look disabled.
    DrawTitleBar();
    DrawChildren();
    const auto cl = static_cast<float>(clientLeft);
    const auto cr = static_cast<float>(clientRight);
    DrawButtons();
    const float lockX = cr - 60.0f;
    const auto t = static_cast<float>(top);
    if (!m_challenge) {
        m_lock.PlaceCentred(lockX, t + 115.0f);
        m_lock.Draw();
    }
    const std::string& message = GetShownRaceMessage();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", kFontSize);
    text.SetText(TEXT_ALIGN_LEFT, message, static_cast<float>(left) + 20.0f, t + kRaceMessageTop, 0xFFFFFFFFu, 0.0f);
    if (!m_challenge) {
        text.SetText(TEXT_ALIGN_LEFT, m_unlockedLabel, cl + 10.0f, t + 105.0f, 0xFFFFFFFFu, 0.0f);
        // The figure ends just short of the padlock rather than under it.
        const float figureRight = lockX - kLockSize;
        text.SetText(TEXT_ALIGN_RIGHT, m_pointsText, figureRight - 200.0f, t + 105.0f, 0xFFFFFFFFu, 200.0f);
    }
    text.Render(-1);
}

const std::string& GUI_PostMortem::GetShownRaceMessage()
{
    if (m_wrappedMessage.empty() && !m_raceMessage.empty()) {
        LibText& text = LibText::GetInstance();
        text.SetFont("zekton16.dds", kFontSize);
        // Over a challenge's message box only its lines fit: the rest is cut with "...".
        m_wrappedMessage = m_challenge ? text.FitText(m_raceMessage, width - 40, kChallengeMessageLines)
                                       : text.GetWrappedText(m_raceMessage, width - 40);
    }
    return m_wrappedMessage;
}

bool GUI_PostMortem::TakeEscape()
{
    OnViewStats(0);
    return true;
}

void GUI_PostMortem::OnViewStats(std::intptr_t)
{
    Close();
    GUI_BattleGUI::GetInstance().EndBattleView();
    GUI_StatsBrowser::Open();
    GUI_Tutorial::GetInstance().LaunchTutorial("STATISTICS");
}

void GUI_PostMortem::OnQuit(std::intptr_t)
{
    GUI_PostMortem* open = GetOpen();
    const bool victory = open && open->m_victory;
    const bool challenge = open && open->m_challenge;
    Close();
    Game::GetInstance().SetMode(QuitMode(victory, challenge));
}

void GUI_PostMortem::OnRateChallenge(std::intptr_t)
{
    GUI_RateChallenge::Open();
}

void GUI_PostMortem::OnRetaliate(std::intptr_t)
{
    const SIM_Scenario* answered = SIM_Battle::GetInstance().GetScenario();
    if (!answered || !answered->IsChallengeFleet()) {
        LOG_DEBUG("A retaliation needs a challenge battle");
        return;
    }
    // The button counts as used only once the answer reached the server.
    GUI_NewChallengeEntry::SetRetaliationPostedHook([](bool succeeded) {
        if (GUI_PostMortem* open = GetOpen())
            open->OnRetaliationPosted(succeeded);
    });
    GUI_NewChallengeEntry::OpenRetaliation(answered);
}
