// Mutated challenge files through the challenge reader, with the real
// content loaded so that sound files get all the way to building a fleet.
// Run from the repository root.
#include "sim/SIM_ChallengeFile.h"
#include "sim/SIM_HeadlessBattle.h"
#include "sim/SIM_Scenario.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool loaded = false;
    if (!loaded) {
        loaded = true;
        SIM_HeadlessBattle::LoadContent();
        atexit([] { SIM_HeadlessBattle::FreeContent(); });
    }
    SIM_Scenario scenario{SIM_Scenario::Unlisted{}};
    SIM_ChallengeFile file;
    file.ReadFromBytes(std::string(reinterpret_cast<const char*>(data), size), scenario, "fuzz");
    float lo[2], hi[2];
    file.GetFleetBounds(lo, hi, scenario.GetMapSizeX(), scenario.GetMapSizeY());
    return 0;
}
