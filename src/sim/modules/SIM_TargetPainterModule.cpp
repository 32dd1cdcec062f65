#include "sim/modules/SIM_TargetPainterModule.h"

#include "engine/GeometryHelpers.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"

SIM_TargetPainterModule::SIM_TargetPainterModule(const SIM_ShipModuleType* moduleType, SIM_ShipOrders* shipOrders)
    : SIM_TargetedModule(moduleType, shipOrders)
{
    if (moduleType) {
        if (const char* texture = moduleType->GetConfigString("texture"))
            beamSprite = texture;
        paintDuration = moduleType->GetConfigFloat("beam_duration", 0.0f);
    }
}

SIM_TargetPainterModule::~SIM_TargetPainterModule() = default;

void SIM_TargetPainterModule::PostBuildInit()
{
    SIM_TargetedModule::PostBuildInit();
    CreateTurretSprite();
}

bool SIM_TargetPainterModule::IsOwnShipVisible() const
{
    for (const SIM_CamoflageShieldModule* cloak : ship->GetCloaks())
        if (cloak->GetCloakState() != SIM_CamoflageShieldModule::VISIBLE)
            return false;
    return true;
}

void SIM_TargetPainterModule::Fire()
{
    SIM_TargetedModule::Fire();
    if (painted && painted != target)
        StopPainting();
    paintTime = 0.0f;
    painting = true;
    blinkTimer = 0.0f;
    blinkOn = true;
    autoTarget = false;
    painted = target;
    if (painted)
        painted->AddPainter(this);
}

void SIM_TargetPainterModule::StopPainting()
{
    if (painted)
        painted->RemovePainter(this);
    painted = nullptr;
    painting = false;
    autoTarget = true;
}

void SIM_TargetPainterModule::Think()
{
    SIM_TargetedModule::Think();
    if (!painting)
        return;
    if (!painted || painted->IsDead() || health <= 0.0f) {
        StopPainting();
        return;
    }
    paintTime += GetThinkStep();
    if (paintTime > paintDuration)
        StopPainting();
}

void SIM_TargetPainterModule::Update()
{
    SIM_TargetedModule::Update();
    if (!ship || !painting || !IsOwnShipVisible())
        return;
    // A wrecked painter lets go of its mark at once.
    if (!painted || painted->IsDead() || painted != target || health <= 0.0f) {
        StopPainting();
        return;
    }
    aimPoint = {painted->x, painted->y};
    if (paintTime < paintDuration) {
        blinkTimer += SIM_BattleClock::GetInstance().scaledFrameTime;
        if (blinkTimer > kBlinkInterval) {
            blinkTimer = 0.0f;
            blinkOn = !blinkOn;
            flickerSeed = flickerSeed * 1664525u + 1013904223u;
            textureOffset = static_cast<float>(flickerSeed >> 8) / 16777216.0f;
        }
    }
    const Point pos = GetWorldPos();
    if (DistanceSquared(pos.x, pos.y, painted->x, painted->y) > maxRangeSq) {
        StopPainting();
        return;
    }
    AimTurrets();
}
