#include "sim/modules/SIM_LimpetLauncherModule.h"

#include "engine/GDebugLog.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"

SIM_LimpetLauncherModule::SIM_LimpetLauncherModule(const SIM_ShipModuleType* moduleType, SIM_ShipOrders* shipOrders)
    : SIM_TargetedModule(moduleType, shipOrders)
{
    if (moduleType) {
        launchDuration = moduleType->GetConfigFloat("launch_duration", 0.0f);
        startLaunchSpeed = moduleType->GetConfigFloat("start_launch_speed", 0.0f);
        endLaunchSpeed = moduleType->GetConfigFloat("end_launch_speed", 0.0f);
        limpetWeight = moduleType->GetConfigFloat("limpet_weight", 0.0f);
        seekAcceleration = moduleType->GetConfigFloat("seek_acceleration", 0.0f);
        maxSeekSpeed = moduleType->GetConfigFloat("max_seek_speed", 0.0f);
        limpetSize = moduleType->GetConfigFloat("limpetsize", 0.0f);
        driftDeceleration = moduleType->GetConfigFloat("drift_decelleration", 0.0f);
        seekRange = moduleType->GetConfigFloat("seek_range", 0.0f);
        limpetTurnSpeed = moduleType->GetConfigFloat("turnspeed", 0.0f);
    }
    for (auto& limpet : limpets)
        limpet = std::make_unique<SIM_Limpet>(this);
}

// The limpets go with their launcher; those stuck to a fighter leave it first.
SIM_LimpetLauncherModule::~SIM_LimpetLauncherModule() = default;

void SIM_LimpetLauncherModule::PostBuildInit()
{
    SIM_TargetedModule::PostBuildInit();
    attackFighters = true;
    attackFrigates = false;
    attackCruisers = false;
    CreateTurretSprite();
}

bool SIM_LimpetLauncherModule::HasFreeLimpet() const
{
    for (const auto& limpet : limpets)
        if (limpet->state == SIM_Limpet::FREE)
            return true;
    return false;
}

void SIM_LimpetLauncherModule::RefreshAutoTarget()
{
    if (HasFreeLimpet()) {
        autoTarget = true;
        return;
    }
    autoTarget = false;
    if (target && ship)
        target->RemoveAttacker(ship);
    target = nullptr;
    targetPoint = nullptr;
}

void SIM_LimpetLauncherModule::Fire()
{
    SIM_TargetedModule::Fire();
    SIM_Limpet* free = nullptr;
    for (auto& limpet : limpets) {
        if (limpet->state == SIM_Limpet::FREE) {
            free = limpet.get();
            break;
        }
    }
    if (!free) {
        LOG_DEBUG("limpet not ready");
        return;
    }
    RecordShot();
    const Point pos = GetWorldPos();
    free->Launch(pos.x, pos.y);
    RefreshAutoTarget();
}

void SIM_LimpetLauncherModule::Update()
{
    SIM_TargetedModule::Update();
    // Stuck limpets follow their fighter here too, and come back when it dies.
    if (limpetsOut == 0)
        return;
    for (auto& limpet : limpets)
        if (limpet->state != SIM_Limpet::FREE)
            limpet->Update();
}
