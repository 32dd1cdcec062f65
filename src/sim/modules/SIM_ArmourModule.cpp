#include "sim/modules/SIM_ArmourModule.h"

#include <algorithm>

#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"

SIM_ArmourModule::SIM_ArmourModule(const SIM_ShipModuleType* moduleType) : SIM_ShipModule(moduleType)
{
    maxArmour = moduleType ? moduleType->GetConfigFloat("maxdamageabsorbable", 0.0f) : 0.0f;
    armour = maxArmour;
}

void SIM_ArmourModule::RefreshArmourHealth()
{
    health = maxArmour > 0.0f ? armour / maxArmour : 0.0f;
}

void SIM_ArmourModule::PostBuildInit()
{
    fighter = (ship && ship->GetHullClass() == SIM_ShipHull::FIGHTER) ? 1 : 0;
}

void SIM_ArmourModule::ApplyHullBonus()
{
    SIM_ShipModule::ApplyHullBonus();
    const float b = HullBonus(SIM_ShipHull::ARMOURBOOST);
    maxArmour = maxArmour * b + maxArmour;
    armour = maxArmour;
    RefreshArmourHealth();
}

void SIM_ArmourModule::SetEfficiency(float value)
{
    SIM_ShipModule::SetEfficiency(value);
    maxArmour *= efficiency;
    armour = maxArmour;
    RefreshArmourHealth();
}

void SIM_ArmourModule::TakeDamage(float amount)
{
    LoseHitpoints(amount);
    armour -= amount;
    if (armour < 0.0f) {
        armour = 0.0f;
        repairActive = 0;
    }
    RefreshArmourHealth();
}

void SIM_ArmourModule::Repair(float amount)
{
    // Exhausted plates on big ships are beyond field repair; fighters get
    // patched up in the carrier bay.
    if (armour > 0.0f || fighter) {
        armour = std::min(armour + amount, maxArmour);
        SIM_ShipModule::Repair(amount);
    }
    RefreshArmourHealth();
}
