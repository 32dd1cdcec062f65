#include "sim/modules/SIM_CamoflageShieldModule.h"

#include <algorithm>
#include <cmath>

#include "engine/RandomTables.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_TacticalModule.h"
#include "sim/modules/SIM_TargetedModule.h"

namespace {

bool AnyWeaponInRange(const SIM_Ship* ship)
{
    for (SIM_ShipModule* m : ship->GetModules()) {
        const auto* weapon = dynamic_cast<const SIM_TargetedModule*>(m);
        if (weapon && weapon->IsInRange())
            return true;
    }
    return ship->weaponsInRange != 0;
}

bool IsWithdrawing(const SIM_Ship* ship)
{
    return ship->tacticalModule && ship->tacticalModule->GetMode() == SIM_TacticalModule::WITHDRAW;
}

float Shimmer(float f)
{
    return std::clamp(std::sin(f * 3.1415927f), 0.0f, 1.0f);
}

} // namespace

SIM_CamoflageShieldModule::SIM_CamoflageShieldModule(const SIM_ShipModuleType* moduleType)
    : SIM_ShipModule(moduleType)
{
    if (moduleType) {
        maxCloakPower = moduleType->GetConfigFloat("max_cloak_power", 0.0f);
        rechargeRate = moduleType->GetConfigFloat("cloak_rechargerate", 0.0f);
        consumptionRate = moduleType->GetConfigFloat("cloak_consumptionrate", 0.0f);
    }
    // Ships of one fleet start with different charges so they don't cloak together.
    cloakPower = maxCloakPower * RandomFloat();
}

void SIM_CamoflageShieldModule::ApplyScenarioRules()
{
    if (IsKindDisabled(CLOAK_INOPERABLE))
        enabled = 0;
}

void SIM_CamoflageShieldModule::Think()
{
    if (!enabled || !ship)
        return;
    if (health <= 0.0f) {
        // A wrecked cloak hides nothing: a ship under it fades back in from
        // where it stands, and no new cloak starts.
        if (cloakState == FADING_OUT) {
            cloakState = FADING_IN;
            fadeTimer = std::max(kFadeTime - fadeTimer, 0.0f);
        } else if (cloakState == CLOAKED) {
            cloakState = FADING_IN;
            fadeTimer = 0.0f;
        }
        return;
    }
    if (cloakState == VISIBLE) {
        if (cloakPower < maxCloakPower)
            return;
        const bool stayVisible =
            ship->healthFraction >= 0.25f && !IsWithdrawing(ship) && AnyWeaponInRange(ship);
        if (stayVisible)
            return;
        cloakState = FADING_OUT;
        fadeTimer = 0.0f;
        ship->SuspendModulesForCloak();
    } else if (cloakState == CLOAKED) {
        if (AnyWeaponInRange(ship) && !IsWithdrawing(ship) && ship->healthFraction > 0.25f) {
            cloakState = FADING_IN;
            fadeTimer = 0.0f;
        }
    }
}

void SIM_CamoflageShieldModule::Update()
{
    Advance(SIM_BattleClock::GetInstance().scaledFrameTime);
}

float SIM_CamoflageShieldModule::FadeFraction(float frameTime)
{
    fadeTimer += frameTime;
    return fadeTimer / kFadeTime;
}

void SIM_CamoflageShieldModule::Advance(float t)
{
    if (!enabled)
        return;
    switch (cloakState) {
    case FADING_OUT: {
        float f = FadeFraction(t);
        if (f >= 1.0f) {
            cloakState = CLOAKED;
            f = 1.0f;
        }
        visibility = 1.0f - 0.9f * f;
        shimmer = Shimmer(f);
        break;
    }
    case CLOAKED:
        cloakPower -= t * consumptionRate;
        visibility = 0.1f;
        if (cloakPower <= 0.0f) {
            cloakState = FADING_IN;
            fadeTimer = 0.0f;
        }
        break;
    case FADING_IN: {
        float f = FadeFraction(t);
        if (f >= 1.0f) {
            cloakState = VISIBLE;
            f = 1.0f;
            if (ship)
                ship->ReenableCloakedModules();
        }
        visibility = 0.9f * f + 0.1f;
        shimmer = Shimmer(f);
        break;
    }
    default:
        if (health > 0.0f)
            cloakPower = std::min(cloakPower + t * rechargeRate, maxCloakPower);
        visibility = 1.0f;
        break;
    }
}
