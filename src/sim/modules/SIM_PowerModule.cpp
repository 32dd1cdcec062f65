#include "sim/modules/SIM_PowerModule.h"

#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"

SIM_PowerModule::SIM_PowerModule(const SIM_ShipModuleType* moduleType) : SIM_ShipModule(moduleType)
{
    powerProduced = moduleType ? moduleType->GetConfigFloat("powerproduced", 0.0f) : 0.0f;
}

void SIM_PowerModule::ApplyHullBonus()
{
    SIM_ShipModule::ApplyHullBonus();
    const float b = HullBonus(SIM_ShipHull::POWERBOOST);
    powerProduced = powerProduced * b + powerProduced;
}
