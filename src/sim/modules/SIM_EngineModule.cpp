#include "sim/modules/SIM_EngineModule.h"

#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"

SIM_EngineModule::SIM_EngineModule(const SIM_ShipModuleType* moduleType) : SIM_ShipModule(moduleType)
{
    thrust = moduleType ? moduleType->GetConfigFloat("thrust", 0.0f) : 0.0f;
    currentThrust = thrust;
}

void SIM_EngineModule::Think()
{
    currentThrust = thrust * health * 0.75f + thrust * 0.25f;
}

void SIM_EngineModule::ApplyHullBonus()
{
    SIM_ShipModule::ApplyHullBonus();
    const float b = HullBonus(SIM_ShipHull::SPEEDBOOST);
    thrust = thrust * b + thrust;
    currentThrust = thrust;
}

void SIM_EngineModule::TakeDamage(float amount)
{
    SIM_ShipModule::TakeDamage(amount);
    Think();
}

void SIM_EngineModule::SetEfficiency(float value)
{
    SIM_ShipModule::SetEfficiency(value);
    thrust *= efficiency;
    currentThrust = thrust;
}
