#include "sim/modules/SIM_ShieldModule.h"

#include <algorithm>

#include "sim/SIM_Battle.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"

SIM_ShieldModule::SIM_ShieldModule(const SIM_ShipModuleType* moduleType) : SIM_ShipModule(moduleType)
{
    if (moduleType) {
        maxPoints = moduleType->GetConfigFloat("shieldpoints", 0.0f);
        resistance = moduleType->GetConfigFloat("resistance", 0.0f);
        rechargeRate = moduleType->GetConfigFloat("recharge_rate", 0.0f);
    }
    points = maxPoints;
}

void SIM_ShieldModule::RecalculateShipShield()
{
    if (ship && ship->GetShield())
        ship->GetShield()->Recalculate();
}

void SIM_ShieldModule::Think()
{
    // A drained generator stays down for the rest of the battle.
    if (!up)
        return;
    if (points < maxPoints)
        points = std::min(points + rechargeRate * GetThinkStep(), maxPoints);
    RecalculateShipShield();
}

void SIM_ShieldModule::ApplyScenarioRules()
{
    if (IsKindDisabled(SHIELDS_INOPERABLE)) {
        up = 0;
        maxPoints = 0.0f;
        points = 0.0f;
        return;
    }
    const SIM_Scenario* scenario = SIM_Battle::GetInstance().GetScenario();
    if (scenario)
        maxPoints *= scenario->GetShieldStrengthMultiplier();
    points = maxPoints;
}

void SIM_ShieldModule::ApplyHullBonus()
{
    SIM_ShipModule::ApplyHullBonus();
    const float b = HullBonus(SIM_ShipHull::SHIELDBOOST);
    maxPoints = maxPoints * b + maxPoints;
    points = maxPoints;
}

void SIM_ShieldModule::SetEfficiency(float value)
{
    SIM_ShipModule::SetEfficiency(value);
    maxPoints *= efficiency;
    points = maxPoints;
}

void SIM_ShieldModule::DrainShield(float amount)
{
    points -= amount;
    if (points <= 0.0f) {
        points = 0.0f;
        up = 0;
    }
    RecalculateShipShield();
}

float SIM_ShieldModule::GetShieldFraction() const
{
    if (maxPoints <= 0.0f)
        return 0.0f;
    return std::clamp(points / maxPoints, 0.0f, 1.0f);
}
