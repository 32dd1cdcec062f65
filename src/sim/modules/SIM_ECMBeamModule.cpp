#include "sim/modules/SIM_ECMBeamModule.h"

#include <algorithm>
#include <cmath>

#include "engine/GeometryHelpers.h"
#include "engine/RandomTables.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_Missile.h"
#include "sim/modules/SIM_MissileModule.h"

namespace {
constexpr float kPi = 3.14159265f;
}

SIM_ECMBeamModule::SIM_ECMBeamModule(const SIM_ShipModuleType* moduleType, SIM_ShipOrders* shipOrders)
    : SIM_TargetedModule(moduleType, shipOrders)
{
    if (moduleType) {
        const SIM_Scenario* scenario = SIM_Battle::GetInstance().GetScenario();
        const float range = moduleType->GetConfigFloat("max_range", 0.0f) *
                            (scenario ? scenario->GetWeaponRangeMultiplier() : 1.0f);
        rangeSq = range * range;
        beamWidth = moduleType->GetConfigFloat("beam_width", 0.0f);
        beamDuration = moduleType->GetConfigFloat("beam_duration", 0.0f);
        beamTexture = moduleType->GetConfigString("beam_texture");
        sound = moduleType->GetConfigString("sound");
        soundVolume = moduleType->GetConfigFloat("soundvolume", 0.0f);
    }
    pulsePeriod = beamDuration * 0.5f;
    // Off while the ship hides under its cloak.
    cloakSensitive = 1;
}

SIM_ECMBeamModule::~SIM_ECMBeamModule()
{
    if (missile)
        missile->RemoveTracker(this);
}

void SIM_ECMBeamModule::PostBuildInit()
{
    CreateTurretSprite();
}

void SIM_ECMBeamModule::ForgetMissile(const SIM_Missile* gone)
{
    if (missile != gone)
        return;
    missile = nullptr;
    state = IDLE;
}

void SIM_ECMBeamModule::Think()
{
    if (!ship || ship->ecmShocked || state != IDLE || health <= 0.0f)
        return;
    SIM_Missile* m = ship->FindNearestEnemyMissile();
    if (!m)
        return;
    const Point pos = GetWorldPos();
    if (DistanceSquared(pos.x, pos.y, m->x, m->y) >= rangeSq) {
        missile = nullptr;
        return;
    }
    missile = m;
    state = BEAMING;
    beamTimer = 0.0f;
    scrambles = RandomChance(kScrambleChance);
    m->AddTracker(this);
    RecordShot();
    ++shotsBegun;
    aimPoint = Point{m->x, m->y};
    AimTurrets();
    pulseTime = 0.0f;
    SIM_MissileModule::PlayOneShot(sound, 0, soundVolume, pos.x, pos.y);
}

void SIM_ECMBeamModule::Update()
{
    if (!ship || !IsOwnShipVisible())
        return;
    const float frameTime = SIM_BattleClock::GetInstance().scaledFrameTime;
    if (state == BEAMING) {
        // Measured in battle time, so the beam lasts as long at any frame rate.
        beamTimer += frameTime;
        if (beamTimer <= beamDuration) {
            if (pulsePeriod > 0.0f) {
                pulseTime = std::fmod(pulseTime + frameTime, pulsePeriod);
                pulseAlpha = std::clamp(std::sin(pulseTime / pulsePeriod * kPi), 0.0f, 1.0f);
            } else {
                pulseAlpha = 1.0f;
            }
        } else {
            SIM_Missile* m = missile;
            state = IDLE;
            missile = nullptr;
            if (m) {
                m->RemoveTracker(this);
                if (scrambles && m->IsLive() && !m->scrambled) {
                    m->Scramble();
                    RecordHit();
                }
            }
        }
    }
    if (missile) {
        aimPoint = Point{missile->x, missile->y};
        AimTurrets();
    }
    // As point defence: the own ship stands as target while a missile is held.
    target = missile ? ship : nullptr;
}
