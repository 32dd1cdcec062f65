#include "sim/modules/SIM_ShieldSupportBeam.h"

#include <algorithm>

#include "engine/GDebugLog.h"
#include "engine/GeometryHelpers.h"
#include "engine/RandomTables.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_BattleEffects.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipGrid.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"

namespace {

// The shield's strength fraction, or -1 without a shield.
float ShieldFraction(const SIM_Ship* ship)
{
    const SIM_Shield* shield = ship ? ship->GetShield() : nullptr;
    return shield ? shield->strengthFraction : -1.0f;
}

bool IsWeakened(float fraction)
{
    return fraction > 0.0f && fraction < SIM_ShieldSupportBeam::kWeakShield;
}

} // namespace

SIM_ShieldSupportBeam::SIM_ShieldSupportBeam(const SIM_ShipModuleType* moduleType, SIM_ShipOrders* shipOrders)
    : SIM_TargetedModule(moduleType, shipOrders)
{
    if (moduleType) {
        if (const char* texture = moduleType->GetConfigString("texture"))
            beamSprite = texture;
        beamWidth = moduleType->GetConfigFloat("beamwidth", 0.0f);
        pulseDuration = moduleType->GetConfigFloat("pulseduration", 0.0f);
        beamRate = moduleType->GetConfigFloat("ssb_beamrate", 0.0f);
        rechargeRate = moduleType->GetConfigFloat("ssb_rechargerate", 0.0f);
        capacity = moduleType->GetConfigFloat("capacitorsize", 0.0f);
        minCharge = moduleType->GetConfigFloat("mincaptodischarge", 0.0f);
    }
    charge = capacity;
}

SIM_ShieldSupportBeam::~SIM_ShieldSupportBeam() = default;

void SIM_ShieldSupportBeam::PostBuildInit()
{
    SIM_TargetedModule::PostBuildInit();
    CreateTurretSprite();
}

float SIM_ShieldSupportBeam::ChargeFraction() const
{
    if (!(capacity > 0.0f))
        return 0.0f;
    return std::clamp(charge / capacity, 0.0f, 1.0f);
}

bool SIM_ShieldSupportBeam::IsOwnShipVisible() const
{
    for (const SIM_CamoflageShieldModule* cloak : ship->GetCloaks())
        if (cloak->GetCloakState() != SIM_CamoflageShieldModule::VISIBLE)
            return false;
    return true;
}

SIM_Ship* SIM_ShieldSupportBeam::FindShipToSupport() const
{
    if (!ship || !ship->fleet)
        return nullptr;
    SIM_Ship* best = nullptr;
    float bestFraction = kStartBound;
    int bestOrder = 0;
    const Point pos = GetWorldPos();
    auto consider = [&](SIM_Ship* candidate, int order) {
        if (candidate == ship || candidate->GetHullClass() == SIM_ShipHull::FIGHTER || candidate->supportedBy)
            return;
        if (candidate->state != SIM_Ship::ACTIVE)
            return;
        const float fraction = ShieldFraction(candidate);
        if (!IsWeakened(fraction))
            return;
        if (DistanceSquared(pos.x, pos.y, candidate->x, candidate->y) > maxRangeSq)
            return;
        if (fraction < bestFraction || (best && fraction == bestFraction && order < bestOrder)) {
            best = candidate;
            bestFraction = fraction;
            bestOrder = order;
        }
    };
    SIM_ShipGrid::VisitNear(ship->fleet, pos.x, pos.y, maxRange * 1.001f + 1.0f, consider);
    return best;
}

void SIM_ShieldSupportBeam::Think()
{
    // A wrecked beam has no one to look for.
    if (!ship || health <= 0.0f)
        return;
    retargetTimer += GetThinkStep();
    if (retargetTimer > kRetargetInterval && !discharging) {
        retargetTimer = 0.0f;
        if (SIM_Ship* best = FindShipToSupport()) {
            target = best;
            targetPoint = best->NextTargetPoint();
        }
    }
}

void SIM_ShieldSupportBeam::Fire()
{
    if (!ship || ship->ecmShocked || !IsOwnShipVisible() || discharging || charge < minCharge)
        return;
    if (!target || target->supportedBy || !IsWeakened(ShieldFraction(target)))
        return;
    reloadProgress = 0.0f;
    pulseTimer = 0.0f;
    discharging = true;
    supported = target;
    supported->supportedBy = this;
    for (float& offset : pulseOffsets)
        offset = RandomRange(0.0f, pulseDuration);
}

void SIM_ShieldSupportBeam::StopDischarge()
{
    if (supported) {
        QLM_ASSERT(supported->supportedBy == this);
        if (supported->supportedBy == this)
            supported->supportedBy = nullptr;
    }
    supported = nullptr;
    discharging = false;
    pulseTimer = 0.0f;
}

void SIM_ShieldSupportBeam::Update()
{
    SIM_TargetedModule::Update();
    if (!ship)
        return;
    const float frameTime = SIM_BattleClock::GetInstance().scaledFrameTime;
    if (!discharging) {
        if (health > 0.0f)
            charge = std::min(charge + frameTime * (rechargeRate / 1000.0f) * health, capacity);
        return;
    }
    const Point pos = GetWorldPos();
    const float fraction = ShieldFraction(supported);
    // A full shield takes nothing more: the beam stops rather than pour its
    // charge into a shield that can't hold it.
    if (charge <= 0.0f || health <= 0.0f || !supported || supported != target ||
        supported->state != SIM_Ship::ACTIVE ||
        DistanceSquared(pos.x, pos.y, supported->x, supported->y) > maxRangeSq || fraction >= 1.0f ||
        fraction <= 0.0f) {
        StopDischarge();
        return;
    }
    const float amount = std::min(beamRate / 1000.0f * frameTime, charge);
    charge -= amount;
    if (amount > 0.0f)
        supported->GetShield()->AddPoints(amount);
    SIM_BattleEffects::Get().ShieldFed(supported);
    aimPoint = {supported->x, supported->y};
    AimTurrets();
    pulseTimer += frameTime;
}
