// A mutated scenario file through the scenario loader.
#include "FuzzContent.h"
#include "FuzzFiles.h"
#include "sim/SIM_Scenario.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LoadContentOnce();
    const std::string path = FuzzFile("scenario.txt", data, size);
    SIM_Scenario scenario;
    scenario.Load(path);
    scenario.GetEnemyFleetPath();
    if (!std::isfinite(scenario.GetMapSizeX()) || !std::isfinite(scenario.GetMapSizeY()))
        abort();
    return 0;
}
