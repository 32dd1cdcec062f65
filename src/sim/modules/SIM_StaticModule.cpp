#include "sim/modules/SIM_StaticModule.h"

#include "sim/SIM_ShipModuleType.h"

SIM_StaticModule::SIM_StaticModule(const SIM_ShipModuleType* moduleType, const char* key)
    : SIM_ShipModule(moduleType)
{
    if (moduleType && key)
        value = moduleType->GetConfigFloat(key, 0.0f);
}
