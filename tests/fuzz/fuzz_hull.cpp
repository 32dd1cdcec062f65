// A mutated hull file through the hull reader.
#include "FuzzContent.h"
#include "FuzzFiles.h"
#include "sim/SIM_ShipHull.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LoadContentOnce();
    const std::string path = FuzzFile("hull.txt", data, size);
    SIM_ShipHull hull;
    hull.Read(path);
    if (!std::isfinite(hull.cost) || !std::isfinite(hull.GetWidth()) || !std::isfinite(hull.GetHeight()))
        abort();
    return 0;
}
