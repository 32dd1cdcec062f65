#include "campaign/gui/GUI_CampaignPostMortem.h"

#include "battle/GUI_BattleGUI.h"
#include "battle/hud/GUI_StatsBrowser.h"
#include "campaign/gui/CampaignPanelDrawing.h"
#include "campaign/sim/SIM_CampaignBattleBridge.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignBattleOutcome.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "sim/SIM_Battle.h"

const char* GUI_CampaignPostMortem::OutcomeKey(int battleResult, int pendingKind)
{
    const bool aiAttack = pendingKind == SIM_PendingBattle::AI_ATTACK;
    if (battleResult == WON)
        return aiAttack ? "CAMPAIGN_POSTMORTEM_AIATTACK_FAILED" : "CAMPAIGN_POSTMORTEM_PLAYER_SUCCESS";
    return aiAttack ? "CAMPAIGN_POSTMORTEM_AIATTACK_SUCCESS" : "CAMPAIGN_POSTMORTEM_PLAYERATTACK_FAILED";
}

std::string GUI_CampaignPostMortem::FillPlanetName(std::string text, const std::string& planetName)
{
    static const std::string token = "<PLANETNAME>";
    for (size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + planetName.size()))
        text.replace(at, token.size(), planetName);
    return text;
}

GUI_CampaignPostMortem::GUI_CampaignPostMortem(int battleResult, int pendingKind, const std::string& planetName)
    : GUI_Dialog(false), m_won(battleResult == WON), m_result(battleResult)
{
    SetOpen(this);
    SetSize(static_cast<float>(kWidth), static_cast<float>(kHeight));
    Centre();
    SetClientRect();
    const int centre = (left + right) / 2;
    m_ok = new GUI_ButtonText("CAMPAIGN_POSTMORTEM_OK", OnOK, 0);
    m_ok->SetRect(static_cast<float>(left + 20), static_cast<float>(bottom - 40), static_cast<float>(centre - 10),
                  static_cast<float>(bottom - 20));
    AddButton(m_ok);
    m_viewStats = new GUI_ButtonText("POSTMORTEM_VIEWSTATS", OnViewStats, 0);
    m_viewStats->SetRect(static_cast<float>(centre + 10), static_cast<float>(bottom - 40),
                         static_cast<float>(right - 20), static_cast<float>(bottom - 20));
    AddButton(m_viewStats);
    GUI_WindowManager::GetInstance().BringToFront(this);
    SetTitleKey("CAMPAIGN_POSTMORTEM_TITLE");
    m_text = FillPlanetName(GetString(OutcomeKey(battleResult, pendingKind)), planetName);
    GUI_WindowManager::GetInstance().AddModal(this);
}

GUI_CampaignPostMortem::~GUI_CampaignPostMortem()
{
    ForgetIfOpen(this);
}

namespace {
// The result of a battle whose statistics are being looked at; -1 when none waits.
int g_viewedResult = -1;
} // namespace

bool GUI_CampaignPostMortem::Open(int battleResult)
{
    g_viewedResult = -1;
    const SIM_PendingBattle* battle = SIM_CampaignBattleManager::GetInstance().GetCurrent();
    QLM_ASSERT(battle);
    if (!battle || !battle->encounter)
        return false;
    CloseOpen();
    new GUI_CampaignPostMortem(battleResult, battle->kind, GetString(battle->encounter->guiname.c_str()));
    return true;
}

void GUI_CampaignPostMortem::Draw()
{
    if (!visible)
        return;
    // Drawn as the survival result is: the panel, the buttons on it, and the
    // sentence from the left.
    drawButtons = false;
    GUI_Dialog::Draw();
    DrawCampaignClientArea(m_interlace, clientLeft, clientTop, clientRight, clientBottom);
    DrawButtons();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const int wrap = width - 40;
    text.SetText(TEXT_ALIGN_LEFT, text.GetWrappedText(m_text, wrap), static_cast<float>(left + 20),
                 static_cast<float>(top + kTextTop), 0xFFFFFFFFu, static_cast<float>(wrap));
    text.Render();
}

bool GUI_CampaignPostMortem::TakeEscape()
{
    OnOK(0);
    return true;
}

int GUI_CampaignPostMortem::CurrentBattleResult()
{
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    if (!battle.IsEnded())
        return LOST;
    switch (battle.GetLost()) {
    case SIM_Battle::WON:
        return WON;
    case SIM_Battle::RETREATED:
        return RETREATED;
    default:
        return LOST;
    }
}

void GUI_CampaignPostMortem::ApplyResult(int result)
{
    g_viewedResult = -1;
    SIM_CampaignBattleManager& battles = SIM_CampaignBattleManager::GetInstance();
    const SIM_CampaignBattleOutcome outcome = SIM_CampaignBattleBridge::CollectOutcome();
    if (result == RETREATED)
        battles.ApplyPlayerRetreat(outcome);
    else
        battles.ApplyBattleResult(result == WON, outcome);
}

void GUI_CampaignPostMortem::OnOK(std::intptr_t)
{
    GUI_CampaignPostMortem* open = GetOpen();
    if (!open)
        return;
    const int result = open->m_result;
    CloseOpen();
    GUI_BattleGUI::GetInstance().EndBattleView();
    ApplyResult(result);
}

void GUI_CampaignPostMortem::OnViewStats(std::intptr_t)
{
    GUI_CampaignPostMortem* open = GetOpen();
    if (!open)
        return;
    g_viewedResult = open->m_result;
    CloseOpen();
    GUI_BattleGUI::GetInstance().EndBattleView();
    GUI_StatsBrowser::Open();
    GUI_Tutorial::GetInstance().LaunchTutorial("STATISTICS");
}

void GUI_CampaignPostMortem::ApplyViewedResult()
{
    const int viewed = g_viewedResult;
    g_viewedResult = -1;
    if (!SIM_CampaignBattleManager::GetInstance().GetCurrent()) {
        SIM_CampaignScreenHooks::Get().ReturnToCampaignScreen();
        return;
    }
    ApplyResult(viewed >= 0 ? viewed : CurrentBattleResult());
}
