#include "battle/hud/GUI_SurvivalPostMortem.h"

#include "app/Game.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/hud/GUI_StatsBrowser.h"
#include "battle/hud/HudWindow.h"
#include "engine/GHashTable.h"
#include "frontend/GUI_HighScoreTable.h"
#include "engine/LibText.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_Tutorial.h"
#include "online/GUI_PleaseWait.h"
#include "online/SIM_Server.h"
#include "online/SurvivalScorePoster.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_SurvivalMode.h"

namespace {
constexpr float kFontSize = 16.0f;
constexpr int kBodyTop = 50;
constexpr float kLineStep = 20.0f;
} // namespace

GUI_SurvivalPostMortem::GUI_SurvivalPostMortem() : GUI_Dialog(false)
{
    SetSize(500.0f, 200.0f);
    Centre();
    sideMargin = topMargin = bottomMargin = 0.0f;
    SetClientRect();
    drawButtons = false;
    const int centre = (left + right) / 2;
    m_viewStats = new GUI_ButtonText("POSTMORTEM_VIEWSTATS", OnViewStats, 0);
    m_viewStats->SetRect(static_cast<float>(left + 20), static_cast<float>(bottom - 40), static_cast<float>(centre - 10),
                         static_cast<float>(bottom - 20));
    m_postOnline = new GUI_ButtonText("SURVIVAL_POSTONLINE", OnPostOnline, 0);
    // The online table is kept by name: without one there is nothing to post as.
    const bool named = SIM_Server::GetInstance().HasUserName();
    m_postOnline->enabled = named;
    m_postOnline->SetTooltip(named ? "SURVIVAL_POSTONLINE_TOOLTIP" : "SURVIVAL_POSTONLINE_NO_NAME_TOOLTIP");
    m_postOnline->SetRect(static_cast<float>(centre + 10), static_cast<float>(bottom - 40),
                          static_cast<float>(right - 20), static_cast<float>(bottom - 20));
    for (GUI_ButtonText* button : {m_viewStats, m_postOnline}) {
        AddButton(button);
        AddChildElement(button);
    }
    GUI_WindowManager::GetInstance().BringToFront(this);
    GUI_WindowManager::GetInstance().AddModal(this);
    SetTitleKey("SURVIVAL_POSTMORTEM_TITLE");
    m_givenUp = s_givenUp;
    s_givenUp = false;
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", kFontSize);
    const char* bodyKey = m_givenUp ? (named ? "SURVIVAL_POSTMORTEM_TEXT_GIVEN_UP" : "SURVIVAL_POSTMORTEM_TEXT_GIVEN_UP_NO_NAME")
                                    : (named ? "SURVIVAL_POSTMORTEM_TEXT" : "SURVIVAL_POSTMORTEM_TEXT_NO_NAME");
    m_body = text.GetWrappedText(GetString(bodyKey), width - 40);
    m_scoreTop = top + kBodyTop + text.GetWrappedTextHeight(m_body, width - 40) + 8;
    m_scoreLabel = GetString("SURVIVAL_POSTMORTEM_SCORE");
    m_bestLabel = GetString("SURVIVAL_POSTMORTEM_BEST");
    m_scoreText = FormatThousands(SIM_SurvivalMode::GetInstance().GetScore());
    m_bestText = FormatThousands(SIM_Battle::GetInstance().GetBestSurvivalScore());
}

GUI_SurvivalPostMortem::~GUI_SurvivalPostMortem()
{
    if (m_posting)
        GUI_PleaseWait::Close();
}

void GUI_SurvivalPostMortem::Draw()
{
    if (!visible)
        return;
    PollPost();
    if (!visible)
        return;
    GUI_Dialog::Draw();
    DrawDialogClientPanel(*this, m_interlace);
    // The panel covers the whole dialog, title strip included: the title
    // goes on top again, or it would look disabled.
    DrawTitleBar();
    DrawButtons();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", kFontSize);
    const auto l = static_cast<float>(left + 20);
    const auto boxWidth = static_cast<float>(width - 40);
    text.SetText(TEXT_ALIGN_LEFT, m_body, l, static_cast<float>(top + kBodyTop), 0xFFFFFFFFu, 0.0f);
    const auto scoreY = static_cast<float>(m_scoreTop);
    text.SetText(TEXT_ALIGN_LEFT, m_scoreLabel, l, scoreY, 0xFFFFFFFFu, 0.0f);
    text.SetText(TEXT_ALIGN_RIGHT, m_scoreText, l, scoreY, 0xFFFFFFFFu, boxWidth);
    text.SetText(TEXT_ALIGN_LEFT, m_bestLabel, l, scoreY + kLineStep, 0xFFFFFFFFu, 0.0f);
    text.SetText(TEXT_ALIGN_RIGHT, m_bestText, l, scoreY + kLineStep, 0xFFFFFFFFu, boxWidth);
    text.Render(-1);
}

bool GUI_SurvivalPostMortem::TakeEscape()
{
    if (!m_posting)
        OnViewStats(0);
    return true;
}

void GUI_SurvivalPostMortem::OnViewStats(std::intptr_t)
{
    Close();
    GUI_BattleGUI::GetInstance().EndBattleView();
    GUI_StatsBrowser::Open();
    GUI_Tutorial::GetInstance().LaunchTutorial("STATISTICS");
}

void GUI_SurvivalPostMortem::OnPostOnline(std::intptr_t)
{
    GUI_SurvivalPostMortem* self = GetOpen();
    if (!self || self->m_posting || !self->m_postOnline->enabled)
        return;
    // Nowhere to post to is not a server that failed to answer.
    if (!SIM_Server::GetInstance().IsOnline()) {
        ShowMessage(GetString("ONLINE_NO_SERVER"), "SURVIVAL_POSTONLINE");
        return;
    }
    if (!SIM_SurvivalMode::GetInstance().SubmitScore()) {
        ShowMessage(GetString("SURVIVAL_POST_FAILED"), "SURVIVAL_POSTONLINE");
        return;
    }
    self->m_posting = true;
    GUI_PleaseWait::Open();
}

void GUI_SurvivalPostMortem::PollPost()
{
    bool succeeded = false;
    if (!m_posting || !SurvivalScorePoster::GetInstance().Collect(succeeded))
        return;
    m_posting = false;
    GUI_PleaseWait::Close();
    if (!succeeded) {
        ShowMessage(GetString("SURVIVAL_POST_FAILED"), "SURVIVAL_POSTONLINE");
        return;
    }
    // The scenario outlives the battle; the table asks the server for its scores.
    SIM_Scenario* scenario = SIM_Battle::GetInstance().GetScenario();
    Close();
    Game::GetInstance().SetMode(2);
    if (scenario)
        GUI_HighScoreTable::Open(scenario);
}
