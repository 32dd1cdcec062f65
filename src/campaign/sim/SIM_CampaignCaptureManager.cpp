#include "campaign/sim/SIM_CampaignCaptureManager.h"

#include "campaign/sim/GUI_DamageDescGenerator.h"
#include "campaign/sim/SIM_CampaignBattleOutcome.h"
#include "campaign/sim/SIM_CampaignDebugLog.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "engine/APP_UserFolders.h"
#include "engine/GDebugLog.h"
#include "sim/SIM_ShipDesign.h"

#include <algorithm>

SIM_CampaignCaptureManager& SIM_CampaignCaptureManager::GetInstance()
{
    static SIM_CampaignCaptureManager instance;
    return instance;
}

void SIM_CampaignCaptureManager::Clear()
{
    m_waiting.clear();
    m_taken.clear();
    m_receiving = nullptr;
}

void SIM_CampaignCaptureManager::CollectCaptures(SIM_CampaignFleet* receiving, const SIM_CampaignBattleOutcome& outcome)
{
    // Ids are only unique within one battle.
    m_taken.clear();
    m_receiving = receiving;
    for (const SIM_BattleShipResult& r : outcome.enemyShips) {
        if (r.destroyed)
            continue;
        int living = 0;
        for (const SIM_BattleShipResult& other : outcome.enemyShips)
            if (other.shipId == r.shipId && !other.destroyed)
                ++living;
        AddCapturedShip(r, living);
    }
}

SIM_CampaignShip* SIM_CampaignCaptureManager::AddCapturedShip(const SIM_BattleShipResult& r, int livingCraft)
{
    if (livingCraft < 1 || std::find(m_taken.begin(), m_taken.end(), r.shipId) != m_taken.end())
        return nullptr;
    SIM_ShipDesign* design = SIM_ShipDesign::Find(r.design);
    if (!design) {
        LOG_ERROR("Captured ship has an unknown design: " + r.design);
        return nullptr;
    }
    m_taken.push_back(r.shipId);
    auto ship = std::make_unique<SIM_CampaignShip>();
    ship->SetDesign(design);
    ship->name = r.name;
    ship->quantity = livingCraft;
    ship->InitModuleStates();
    for (const SIM_BattleModuleResult& m : r.modules) {
        if (m.slot < 0 || m.integrity >= 1.0f)
            continue;
        if (SIM_CampaignModuleState* state = ship->FindModuleBySlot(m.slot)) {
            GUI_DamageDescGenerator::GetInstance().Describe(*state, m.integrity);
            state->RecalculateIntegrity();
        }
    }
    ship->RecalculateIntegrity();
    // Ids come from the live list, which already holds the waiting ships.
    ship->id = SIM_CampaignShip::GetNextFreeID();
    m_waiting.push_back(std::move(ship));
    return m_waiting.back().get();
}

void SIM_CampaignCaptureManager::AddCapturedShipToFleet()
{
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    if (!m_receiving) {
        m_waiting.clear();
        return;
    }
    const std::string folder = APP_UserFolders::GetInstance().IsCreated()
                                   ? APP_UserFolders::GetInstance().Get(APP_UserFolders::CAMPAIGN_CAPTURED_DESIGNS)
                                   : std::string();
    for (auto& ship : m_waiting) {
        SIM_CampaignShip* s = ship.release();
        m_receiving->AddShip(s);
        CampaignLog("Adding captured ship %d to fleet %d", s->id, m_receiving->id);
        s->log->AddCapturedEntry(m_receiving->location, s->integrity);
        if (!folder.empty() && s->design)
            SIM_ShipDesign::SaveCapturedDesign(s->design, folder);
        progress.GetStats().AddToStat("ships_captured", 1);
    }
    m_waiting.clear();
    // Open windows counting the fleet's ships count them again.
    SIM_CampaignScreenHooks::Get().RefreshFleetManager();
    SIM_CampaignScreenHooks::Get().RefreshFleetDetails(m_receiving);
    m_receiving = nullptr;
    progress.Save();
}
