#include "sim/SIM_RetreatManager.h"

#include "engine/GDebugLog.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/ShipUpdateScheduler.h"

SIM_RetreatManager& SIM_RetreatManager::GetInstance()
{
    static SIM_RetreatManager instance;
    return instance;
}

void SIM_RetreatManager::Begin()
{
    active = 1;
    timer = 0.0f;
    SIM_BattleClock::GetInstance().generalRetreat = true;
}

void SIM_RetreatManager::Reset()
{
    active = 0;
    timer = 0.0f;
}

void SIM_RetreatManager::Update()
{
    if (!active)
        return;
    timer += SIM_BattleClock::GetInstance().scaledFrameTime * kTimerRate;
    if (timer <= kTimeLimit) {
        const SIM_Fleet* fleet = SIM_Battle::GetInstance().GetPlayerFleet();
        QLM_ASSERT(fleet != nullptr);
        if (!fleet)
            return;
        for (const SIM_Ship* ship : fleet->GetAllShips()) {
            if (ship->IsDead() || ship->state == SIM_Ship::RETREATED)
                continue;
            // Ships without engines can't leave; nobody waits for them.
            if (ship->design && ship->design->CountModulesOfClass("SIM_EngineModule") > 0)
                return;
        }
    }
    Complete();
}

void SIM_RetreatManager::Complete()
{
    active = 0;
    SIM_Battle& battle = SIM_Battle::GetInstance();
    if (SIM_Fleet* fleet = battle.GetPlayerFleet()) {
        for (SIM_Ship* ship : fleet->GetAllShips()) {
            if (ship->IsDead() || ship->state == SIM_Ship::RETREATED)
                continue;
            ship->StopLoopingSounds();
            ship->healthFraction = 0.0f;
            ship->deadFlag = 1;
            QueueShipRemoval(ship);
            ship->state = SIM_Ship::DESTROYED;
        }
    }
    battle.SetLost(SIM_Battle::RETREATED);
    battle.EndBattle();
    timer = 0.0f;
}
