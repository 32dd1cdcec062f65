#include "sim/modules/SIM_SmartBombModule.h"

#include <algorithm>

#include "engine/GeometryHelpers.h"
#include "engine/RandomTables.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_BattleEffects.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_Missile.h"
#include "sim/modules/SIM_MissileModule.h"

SIM_SmartBombModule::SIM_SmartBombModule(const SIM_ShipModuleType* moduleType, SIM_ShipOrders* shipOrders)
    : SIM_TargetedModule(moduleType, shipOrders)
{
    if (moduleType) {
        sound = moduleType->GetConfigString("sound");
        triggerChance = moduleType->GetConfigFloat("sb_trigger_percentage", 0.0f);
        soundVolume = moduleType->GetConfigFloat("soundvolume", 0.0f);
    }
}

float SIM_SmartBombModule::ChargeFraction() const
{
    if (fireInterval <= 0.0f)
        return 1.0f;
    return std::clamp(chargeTimer / fireInterval, 0.0f, 1.0f);
}

void SIM_SmartBombModule::Think()
{
    if (!ship || !enabled || ship->ecmShocked || health <= 0.0f)
        return;
    chargeTimer += GetThinkStep();
    if (chargeTimer <= fireInterval)
        return;
    int count = 0;
    for (const SIM_Missile* m : SIM_Missile::GetLiveMissiles()) {
        if (m->GetLaunchingFleet() == ship->fleet)
            continue;
        if (DistanceSquared(ship->x, ship->y, m->x, m->y) < maxRangeSq && ++count >= kTriggerCount) {
            Detonate();
            return;
        }
    }
}

void SIM_SmartBombModule::Detonate()
{
    SIM_MissileModule::PlayOneShot(sound, 0, soundVolume, ship->x, ship->y);
    SIM_BattleEffects::Get().SmartBombDetonated(ship, maxRange);
    RecordShot();
    for (SIM_Missile* m : SIM_Missile::GetLiveMissiles()) {
        if (DistanceSquared(ship->x, ship->y, m->x, m->y) >= maxRangeSq)
            continue;
        if (RandomFloat() < triggerChance)
            pending.push_back({m, m->GetFlight(), RandomFloat() * kMaxDelay});
    }
    chargeTimer = 0.0f;
    detonating = true;
    elapsed = 0.0f;
    for (SIM_ShipModule* module : ship->GetModules())
        if (auto* other = dynamic_cast<SIM_SmartBombModule*>(module))
            other->chargeTimer = 0.0f;
}

void SIM_SmartBombModule::Update()
{
    if (!detonating)
        return;
    elapsed += SIM_BattleClock::GetInstance().scaledFrameTime;
    for (auto it = pending.begin(); it != pending.end();) {
        if (it->delay <= elapsed) {
            // Only the flight it caught: a missile out again since is another shot.
            if (it->missile->GetFlight() == it->flight && it->missile->IsLive()) {
                it->missile->DestroyWithEffect();
                RecordHit();
            }
            it = pending.erase(it);
        } else {
            ++it;
        }
    }
    if (pending.empty())
        detonating = false;
}
