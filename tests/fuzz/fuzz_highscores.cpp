// Mutated sc.dat (first byte even) or unl.dat (odd) through the score loader,
// then saved and loaded again.
#include "FuzzFiles.h"
#include "sim/SIM_HighScores.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    FuzzOneOfTwo(data, size, "sc.dat", "unl.dat");
    SIM_HighScores scores(FuzzFolder());
    if (scores.GetPoints() < 0)
        abort();
    scores.SaveHighScores();
    scores.SaveUnlocks();
    const int points = scores.GetPoints();
    scores.Load();
    if (scores.GetPoints() != points)
        abort();
    return 0;
}
