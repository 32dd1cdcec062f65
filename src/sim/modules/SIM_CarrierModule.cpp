#include "sim/modules/SIM_CarrierModule.h"

#include <algorithm>

#include "sim/SIM_BattleEffects.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipGrid.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_TacticalModule.h"

SIM_CarrierModule::SIM_CarrierModule(const SIM_ShipModuleType* moduleType) : SIM_ShipModule(moduleType)
{
    if (!moduleType)
        return;
    repairRate = moduleType->GetConfigFloat("repair_rate", 0.0f);
    maxSupplies = moduleType->GetConfigFloat("maxrepairsupplies", 0.0f);
    supplies = maxSupplies;
}

SIM_CarrierModule::~SIM_CarrierModule() = default;

float SIM_CarrierModule::GetSuppliesFraction() const
{
    if (!(maxSupplies > 0.0f))
        return 0.0f;
    return std::clamp(supplies / maxSupplies, 0.0f, 1.0f);
}

void SIM_CarrierModule::Dock(SIM_Ship* fighter)
{
    if (!fighter || std::find(docked.begin(), docked.end(), fighter) != docked.end())
        return;
    docked.push_back(fighter);
    fighter->docked = 1;
    fighter->speed = 0.0f;
    fighter->throttle = 0.0f;
    fighter->hasDestination = 0;
    fighter->DetachLimpets();
    const Point bay = GetWorldPos();
    fighter->x = bay.x;
    fighter->y = bay.y;
    SIM_ShipGrid::GetInstance().NoteMoved(fighter);
}

void SIM_CarrierModule::HoldDockedInBay()
{
    // Fighters ride in the bay; they are neither drawn nor targeted there.
    const Point bay = GetWorldPos();
    for (SIM_Ship* fighter : docked) {
        fighter->x = bay.x;
        fighter->y = bay.y;
        fighter->speed = 0.0f;
        SIM_ShipGrid::GetInstance().NoteMoved(fighter);
    }
}

void SIM_CarrierModule::Think()
{
    if (docked.empty() || health <= 0.0f)
        return;
    HoldDockedInBay();
    if (supplies > 0.0f) {
        const float dt = GetThinkStep();
        const float amount = std::min(dt / 10.0f * repairRate * (health * 0.5f + 0.5f), supplies);
        RepairDocked(amount);
    }
    LaunchQueue();
    if (supplies <= 0.0f) {
        launchQueue = docked;
        LaunchQueue();
    }
}

void SIM_CarrierModule::RepairDocked(float amount)
{
    if (!(amount > 0.0f))
        return;
    for (SIM_Ship* fighter : docked) {
        for (SIM_ShipModule* m : fighter->GetModules()) {
            if (!(m->health < 1.0f))
                continue;
            m->Repair(amount);
            if (m->health >= 1.0f)
                m->ClearRepairActive();
            supplies -= amount;
            if (fighter->healthFraction >= 1.0f) {
                launchQueue.push_back(fighter);
                SIM_BattleEffects::Get().FighterRepaired(fighter);
            }
            return;
        }
    }
}

void SIM_CarrierModule::LaunchQueue()
{
    const Point bay = GetWorldPos();
    for (SIM_Ship* fighter : launchQueue) {
        auto it = std::find(docked.begin(), docked.end(), fighter);
        if (it == docked.end())
            continue;
        docked.erase(it);
        fighter->x = bay.x;
        fighter->y = bay.y;
        fighter->docked = 0;
        SIM_ShipGrid::GetInstance().NoteMoved(fighter);
        if (SIM_TacticalModule* tactical = fighter->tacticalModule)
            tactical->Undock();
        SIM_BattleEffects::Get().FighterLaunched(fighter);
    }
    launchQueue.clear();
}

void SIM_CarrierModule::KillDocked()
{
    const std::vector<SIM_Ship*> inside = docked;
    docked.clear();
    launchQueue.clear();
    for (SIM_Ship* fighter : inside) {
        fighter->docked = 0;
        if (!fighter->IsDead()) {
            fighter->StartDying();
            fighter->Kill();
        }
    }
}

void SIM_CarrierModule::OnDestroyed()
{
    SIM_ShipModule::OnDestroyed();
    KillDocked();
}

void SIM_CarrierModule::ReleaseHolds()
{
    if (ship && ship->state == SIM_Ship::RETREATED) {
        for (SIM_Ship* fighter : docked) {
            fighter->docked = 0;
            fighter->state = SIM_Ship::RETREATED;
            if (fighter->fleet)
                fighter->fleet->UpdateClassPresence();
        }
        docked.clear();
        launchQueue.clear();
        return;
    }
    KillDocked();
}
