#include "campaign/gui/GUI_CampaignBattleLauncher.h"

#include "campaign/gui/GUI_CampaignDeployment.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignBattlePreparation.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/TextHelpers.h"
#include "gui/GUI_ConfirmDialog.h"

#include <cstdint>
#include <string>

namespace {
SIM_PendingBattle* FirstBattleToFight()
{
    for (const auto& b : SIM_CampaignBattleManager::GetInstance().GetPending())
        if (b->kind != SIM_PendingBattle::AI_CONQUEST && !b->fleets.empty() && b->encounter)
            return b.get();
    return nullptr;
}
} // namespace

GUI_CampaignBattleLauncher& GUI_CampaignBattleLauncher::GetInstance()
{
    static GUI_CampaignBattleLauncher instance;
    return instance;
}

GUI_CampaignBattleLauncher::GUI_CampaignBattleLauncher() = default;
GUI_CampaignBattleLauncher::~GUI_CampaignBattleLauncher() = default;

bool GUI_CampaignBattleLauncher::OfferNextBattle()
{
    const SIM_PendingBattle* battle = FirstBattleToFight();
    if (!battle || m_preparation || GUI_CampaignDeployment::GetOpen())
        return false;
    std::string question = GetString("CAMPAIGN_BATTLE_WAITING");
    ReplaceSubstring(question, "<PLANETNAME>", GetString(battle->encounter->guiname.c_str()));
    // A text that is no key shows as it is.
    AskYesNo(question.c_str(), "CAMPAIGN_BATTLE_WAITING_TITLE", OnFightNow, false);
    return true;
}

void GUI_CampaignBattleLauncher::OnFightNow(std::intptr_t)
{
    GetInstance().PrepareNextBattle();
}

bool GUI_CampaignBattleLauncher::PrepareNextBattle()
{
    SIM_PendingBattle* battle = FirstBattleToFight();
    if (!battle || m_preparation)
        return false;
    SIM_CampaignBattleManager& manager = SIM_CampaignBattleManager::GetInstance();
    if (!manager.BeginBattle(battle->encounter))
        return false;
    m_preparation = std::make_unique<SIM_CampaignBattlePreparation>();
    if (!m_preparation->Start()) {
        m_preparation.reset();
        manager.ReturnCurrentToPending();
        return false;
    }
    return true;
}

void GUI_CampaignBattleLauncher::Poll()
{
    if (!m_preparation || !m_preparation->IsReady())
        return;
    std::unique_ptr<SIM_CampaignBattlePreparation> done = std::move(m_preparation);
    SIM_CampaignBattleManager& manager = SIM_CampaignBattleManager::GetInstance();
    SIM_PendingBattle* battle = manager.GetCurrent();
    if (!battle || !battle->encounter)
        return;
    // Finish joins the worker; on failure it returns the battle to the list and says so.
    if (done->Finish(*battle->encounter))
        GUI_CampaignDeployment::Open(manager.GetCurrent());
}

void GUI_CampaignBattleLauncher::Stop()
{
    m_preparation.reset();
}
