// A mutated survival waves file: every wave kept names a fleet file, and the
// first threshold is the next one. Run from the repository root.
#include "FuzzFiles.h"

#include "sim/SIM_SurvivalMode.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SIM_SurvivalMode& survival = SIM_SurvivalMode::GetInstance();
    survival.LoadWaves(FuzzFile("waves.txt", data, size));
    if (!std::isfinite(survival.GetNextWaveThreshold()))
        abort();
    return 0;
}
