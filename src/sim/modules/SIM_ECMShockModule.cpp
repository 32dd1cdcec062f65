#include "sim/modules/SIM_ECMShockModule.h"

#include <cmath>

#include "engine/RandomTables.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_MissileModule.h"

SIM_ECMShockModule::SIM_ECMShockModule(const SIM_ShipModuleType* moduleType, SIM_ShipOrders* shipOrders)
    : SIM_TargetedModule(moduleType, shipOrders)
{
    if (moduleType) {
        beamDuration = moduleType->GetConfigFloat("beam_duration", 0.0f);
        beamTexture = moduleType->GetConfigString("beam_texture");
        beamWidth = moduleType->GetConfigFloat("beamwidth", 0.0f);
        ecmStrength = moduleType->GetConfigFloat("ecm_strength", 0.0f);
        shockDuration = moduleType->GetConfigFloat("shock_duration", 0.0f);
        sound = moduleType->GetConfigString("sound");
        soundVolume = moduleType->GetConfigFloat("soundvolume", 0.0f);
    }
    ignoresFighters = true;
}

void SIM_ECMShockModule::PostBuildInit()
{
    SIM_TargetedModule::PostBuildInit();
    CreateTurretSprite();
}

void SIM_ECMShockModule::Fire()
{
    SIM_TargetedModule::Fire();
    RecordShot();
    beamTimer = 0.0f;
    scroll = 0.0f;
    showing = true;
    if (!target)
        return;
    const Point pos = GetWorldPos();
    SIM_MissileModule::PlayOneShot(sound, 0, soundVolume, pos.x, pos.y);
    if (RandomFloat() < HitChance(target)) {
        RecordHit();
        target->ApplyECMShock(shockDuration, ecmStrength);
    } else {
        RecordMiss(0.0f);
        NoteMiss(target);
    }
}

void SIM_ECMShockModule::Update()
{
    SIM_TargetedModule::Update();
    // A ship not fully visible shows no beam, and its beam waits.
    if (!IsOwnShipVisible())
        return;
    // The turrets follow the target between shots too.
    if (target && targetPoint)
        target->LocalToWorld(targetPoint->x, targetPoint->y, target->sine, target->cosine, aimPoint.x, aimPoint.y);
    if (!showing)
        return;
    const float frameTime = SIM_BattleClock::GetInstance().scaledFrameTime;
    beamTimer += frameTime;
    scroll = std::fmod(scroll + frameTime, kScrollWrap);
    if (beamTimer > beamDuration || !target || target->IsDead())
        showing = false;
}
