#include "sim/modules/SIM_PointDefenceModule.h"

#include <algorithm>

#include "engine/GDebugLog.h"
#include "engine/GeometryHelpers.h"
#include "engine/RandomTables.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_Missile.h"

SIM_PointDefenceModule::SIM_PointDefenceModule(const SIM_ShipModuleType* moduleType, SIM_ShipOrders* shipOrders)
    : SIM_TargetedModule(moduleType, shipOrders)
{
    if (moduleType) {
        beamDuration = moduleType->GetConfigFloat("beam_duration", 0.0f);
        beamTexture = moduleType->GetConfigString("beam_texture");
        beamWidth = moduleType->GetConfigFloat("beam_width", 0.0f);
        fireInterval = moduleType->GetConfigFloat("fire_interval", 0.0f);
        // Point defence works at its own range, whatever the scenario does to weapons.
        maxRange = moduleType->GetConfigFloat("max_range", 0.0f);
        maxRangeSq = maxRange * maxRange;
    }
    reloadProgress = 0.0f;
}

SIM_PointDefenceModule::~SIM_PointDefenceModule()
{
    if (missile && missile->claim == this)
        missile->claim = nullptr;
}

void SIM_PointDefenceModule::PostBuildInit()
{
    SIM_TargetedModule::PostBuildInit();
    CreateTurretSprite();
}

float SIM_PointDefenceModule::KillChance(const SIM_Missile& target) const
{
    const float against = target.speed * 30.0f;
    // A missile that does not move is as easy as a missile gets.
    const float p = against > 0.0f ? trackingSpeed / against : kMaxKillChance;
    return std::clamp(p, kMinKillChance, kMaxKillChance);
}

void SIM_PointDefenceModule::ForgetMissile(const SIM_Missile* gone)
{
    if (missile != gone)
        return;
    missile = nullptr;
    // A shot in progress has nothing left to hit.
    if (state == FIRING) {
        state = RELOADING;
        reloadProgress = 0.0f;
    }
}

void SIM_PointDefenceModule::Think()
{
    if (!ship || ship->ecmShocked || state != READY || health <= 0.0f)
        return;
    SIM_Missile* m = ship->FindNearestEnemyMissile();
    if (!m || m->claim)
        return;
    const Point pos = GetWorldPos();
    if (DistanceSquared(pos.x, pos.y, m->x, m->y) >= maxRangeSq)
        return;
    m->claim = this;
    reloadProgress = 0.0f;
    missile = m;
    state = FIRING;
    RecordShot();
    ++shotsBegun;
    aimPoint = Point{m->x, m->y};
    AimTurrets();
}

void SIM_PointDefenceModule::ResolveShot()
{
    SIM_Missile* m = missile;
    QLM_ASSERT(m != nullptr);
    if (!m)
        return;
    if (RandomFloat() < KillChance(*m)) {
        missile = nullptr;
        if (m->claim == this)
            m->claim = nullptr;
        m->DestroyWithEffect();
        RecordHit();
        return;
    }
    if (m->claim == this)
        m->claim = nullptr;
    missile = nullptr;
    reloadProgress = 0.0f;
    state = RELOADING;
}

void SIM_PointDefenceModule::Update()
{
    if (!ship || !IsOwnShipVisible())
        return;
    reloadProgress += SIM_BattleClock::GetInstance().scaledFrameTime;
    if (!ship->ecmShocked) {
        if (state == RELOADING) {
            reloadTime = fireInterval + 2.0f * fireInterval * (1.0f - health);
            if (reloadProgress > reloadTime) {
                state = READY;
                reloadProgress = 0.0f;
            }
        } else if (state == FIRING && reloadProgress > beamDuration) {
            reloadProgress = 0.0f;
            state = RELOADING;
            ResolveShot();
        }
    }
    if (state == FIRING && missile) {
        aimPoint = Point{missile->x, missile->y};
        AimTurrets();
    }
    // The missile is aimed at through the own ship as target: whatever
    // turns turrets toward a targeted module's aim turns these too.
    target = missile ? ship : nullptr;
}
