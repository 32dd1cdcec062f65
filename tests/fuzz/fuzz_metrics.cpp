// Mutated met.ini (first byte even) or um.ini (odd) through the usage
// metrics: the id stays valid, names stay unique, and a save loads back.
#include "FuzzFiles.h"
#include "app/APP_UsageMetrics.h"
#include "platform/IClock.h"

#include <cstdint>
#include <cstdlib>
#include <set>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    FuzzOneOfTwo(data, size, "met.ini", "um.ini");
    ManualClock clock;
    APP_UsageMetrics metrics(FuzzFolder(), &clock, 7);
    if (!APP_UsageMetrics::IsValidId(metrics.GetId()))
        abort();
    std::set<std::string> names;
    for (const APP_UsageEvent& e : metrics.GetEvents())
        if (!names.insert(e.name).second || metrics.FindEvent(e.name) != &e)
            abort();
    metrics.Save();
    APP_UsageMetrics back(FuzzFolder(), &clock, 7);
    if (back.GetEvents().size() != metrics.GetEvents().size())
        abort();
    return 0;
}
