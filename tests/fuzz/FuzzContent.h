#pragma once
// The shipped content, loaded once per fuzz process so that mutated designs,
// deployments and scenarios refer to real hulls and modules. Run from the
// repository root.
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"

#include <cstdlib>

inline void LoadContentOnce()
{
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    SIM_Scenario::LoadAll();
    SIM_BehaviourType::LoadAll();
    SIM_Race::LoadAll();
    SIM_ShipModuleType::LoadAll();
    SIM_ShipHull::LoadAll();
    SIM_ShipDesign::LoadAll();
    // The content stays loaded for every input and goes at exit.
    atexit([] {
        SIM_ShipDesign::FreeAll();
        SIM_ShipHull::FreeAll();
        SIM_ShipModuleType::FreeAll();
        SIM_Race::FreeAll();
        SIM_BehaviourType::FreeAll();
        SIM_Scenario::FreeAll();
    });
}
