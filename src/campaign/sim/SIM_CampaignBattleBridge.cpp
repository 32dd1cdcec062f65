#include "campaign/sim/SIM_CampaignBattleBridge.h"

#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignEnemyFleet.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/GDebugLog.h"
#include "engine/StrFormat.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_ShipVisual.h"
#include "sim/modules/SIM_ShipModule.h"

#include <algorithm>
#include <vector>

namespace {
// Battle modules follow the design's fitted modules in order, skipping the
// ones that could not be built: pair them up by type to learn their slots.
std::vector<int> SlotsOf(const SIM_Ship& ship)
{
    std::vector<int> slots(ship.GetModules().size(), -1);
    if (!ship.design)
        return slots;
    const auto& fitted = ship.design->GetModules();
    size_t f = 0;
    for (size_t m = 0; m < ship.GetModules().size(); ++m) {
        // Modules the ship adds itself (its tactical module) match nothing.
        size_t g = f;
        while (g < fitted.size() && fitted[g].moduleType != ship.GetModules()[m]->GetType())
            ++g;
        if (g == fitted.size())
            continue;
        slots[m] = fitted[g].slotIndex;
        f = g + 1;
    }
    return slots;
}

void Collect(const SIM_Fleet* fleet, std::vector<SIM_BattleShipResult>& out)
{
    if (!fleet)
        return;
    for (const SIM_Ship* ship : fleet->GetAllShips()) {
        SIM_BattleShipResult r;
        r.shipId = ship->shipId;
        r.destroyed = ship->IsDead();
        r.design = ship->design ? ship->design->GetName() : std::string();
        r.name = ship->name;
        r.hullIntegrity = ship->startingHitPoints > 0.0f ? ship->currentHitPoints / ship->startingHitPoints : 0.0f;
        const std::vector<int> slots = SlotsOf(*ship);
        for (size_t m = 0; m < ship->GetModules().size(); ++m) {
            const SIM_ShipModule* module = ship->GetModules()[m];
            SIM_BattleModuleResult mr;
            mr.slot = slots[m];
            mr.typeName = module->GetType() ? module->GetType()->GetName() : std::string();
            mr.integrity = module->GetMaxHitpoints() > 0.0f ? module->GetHitpoints() / module->GetMaxHitpoints() : 1.0f;
            r.modules.push_back(mr);
        }
        // The ship's damage totals ride on an entry of no slot.
        SIM_BattleModuleResult totals;
        totals.shieldDamage = ship->GetStats().shieldDamageTaken;
        totals.armourDamage = ship->GetStats().armourDamageTaken;
        totals.hullDamage = ship->GetStats().hullDamageTaken;
        r.modules.push_back(totals);
        out.push_back(std::move(r));
    }
}

// After its modules took their old damage: the ship's totals (hit points,
// thrust, armour) follow, and a hurt hull shows its wounds from the start.
void ShowStoredDamage(SIM_Ship& ship)
{
    ship.RecalculateStats();
    const float health = ship.startingHitPoints > 0.0f ? ship.currentHitPoints / ship.startingHitPoints : 1.0f;
    if (health < 1.0f && ship.GetVisual())
        ship.GetVisual()->ShowExistingDamage(health);
}
} // namespace

void SIM_CampaignBattleBridge::BuildPlayerDeployment(const SIM_PendingBattle& battle, const SIM_Scenario& scenario,
                                                     SIM_DeployedFleet& out)
{
    const SIM_Scenario::Zone zone = scenario.GetPlayerDeployment();
    int placed = 0;
    for (const SIM_CampaignFleet* fleet : battle.fleets) {
        for (const SIM_CampaignShip* s : fleet->GetShips()) {
            if (!(s->integrity > 0.0f) || !s->design)
                continue;
            auto ship = std::make_shared<SIM_DeployedShip>();
            ship->design = s->designName;
            ship->name = s->name;
            ship->shipId = s->id;
            ship->quantity = s->quantity;
            ship->angle = 90.0f;
            const float w = static_cast<float>(zone.right - zone.left);
            const float h = static_cast<float>(zone.bottom - zone.top);
            ship->x = static_cast<float>(zone.left) + w * (0.25f + 0.5f * static_cast<float>(placed % 2));
            ship->y = static_cast<float>(zone.top) + h * (0.1f + 0.08f * static_cast<float>(placed / 2 % 10));
            ship->orders.SetDefaults(s->design);
            if (out.AddShip(ship))
                ++placed;
        }
    }
}

void SIM_CampaignBattleBridge::ApplyStoredDamage(const SIM_PendingBattle& battle)
{
    const SIM_Fleet* fleet = SIM_Battle::GetInstance().GetPlayerFleet();
    if (!fleet)
        return;
    for (const SIM_CampaignFleet* cf : battle.fleets) {
        for (const SIM_CampaignShip* s : cf->GetShips()) {
            if (!(s->integrity > 0.0f))
                continue;
            SIM_Ship* ship = SIM_Ship::FindShipByIdInVector(s->id, fleet->GetAllShips());
            if (!ship) {
                LOG_DEBUG("Campaign ship not in the battle");
                continue;
            }
            const std::vector<int> slots = SlotsOf(*ship);
            for (const auto& state : s->modules) {
                if (!(state->integrity < 1.0f))
                    continue;
                for (size_t m = 0; m < slots.size(); ++m) {
                    if (slots[m] != state->slot)
                        continue;
                    for (const SIM_CampaignDamage& d : state->damage)
                        ship->GetModules()[m]->TakeDamage(d.damage);
                    break;
                }
            }
            ShowStoredDamage(*ship);
        }
    }
}

SIM_CampaignBattleOutcome SIM_CampaignBattleBridge::CollectOutcome()
{
    SIM_CampaignBattleOutcome outcome;
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    Collect(battle.GetPlayerFleet(), outcome.playerShips);
    Collect(battle.GetEnemyFleet(), outcome.enemyShips);
    return outcome;
}

bool SIM_CampaignBattleBridge::BuildEnemyFleet(const SIM_PendingBattle& battle, const SIM_DeployedFleet& challenge,
                                               const std::string& challengeId, SIM_DeployedFleet& out)
{
    out.Clear();
    for (const auto& ship : challenge.GetShips())
        if (ship)
            out.AddShip(std::make_shared<SIM_DeployedShip>(*ship));
    SIM_CampaignEnemyFleet* stored = battle.reusedFleet ? battle.enemyFleet : nullptr;
    if (stored && stored->GetChallengeID() != challengeId) {
        LOG_ERROR("Stored enemy fleet is of challenge " + stored->GetChallengeID() + ", not " + challengeId);
        stored = nullptr;
    }
    if (stored) {
        out.RemoveEmptyCampaignShips([stored](int shipId) -> const int* {
            const SIM_CampaignEnemyShipData* data = stored->FindShip(shipId);
            return data ? &data->quantity : nullptr;
        });
        // A squadron that lost craft comes back with its survivors.
        for (const auto& ship : out.GetShips())
            if (const SIM_CampaignEnemyShipData* data = stored->FindShip(ship->shipId))
                if (data->quantity > 0 && data->quantity < ship->quantity)
                    ship->quantity = data->quantity;
    }
    if (out.GetShips().empty()) {
        LOG_ERROR("The campaign's enemy fleet has no ship left to fight");
        return false;
    }
    return true;
}

int SIM_CampaignBattleBridge::ApplyStoredEnemyDamage(const SIM_PendingBattle& battle)
{
    SIM_CampaignEnemyFleet* stored = battle.reusedFleet ? battle.enemyFleet : nullptr;
    const SIM_Fleet* fleet = SIM_Battle::GetInstance().GetEnemyFleet();
    if (!stored || !fleet)
        return 0;
    int damaged = 0;
    for (SIM_Ship* ship : fleet->GetAllShips()) {
        const SIM_CampaignEnemyShipData* data = stored->FindShip(ship->shipId);
        if (!data) {
            LOG_ERROR(StrFormat("No stored enemy ship %d", ship->shipId));
            continue;
        }
        const std::vector<int> slots = SlotsOf(*ship);
        for (const SIM_CampaignEnemyModuleDamage& d : data->damage) {
            size_t m = 0;
            while (m < slots.size() && slots[m] != d.slot)
                ++m;
            if (m == slots.size()) {
                LOG_ERROR(StrFormat("No module in slot %d of enemy ship %d", d.slot, ship->shipId));
                continue;
            }
            SIM_ShipModule* module = ship->GetModules()[m];
            const float lost = 1.0f - std::clamp(d.integrity, 0.0f, 1.0f);
            if (lost > 0.0f && module->GetMaxHitpoints() > 0.0f) {
                module->TakeDamage(lost * module->GetMaxHitpoints());
                ++damaged;
            }
        }
        ShowStoredDamage(*ship);
    }
    return damaged;
}
