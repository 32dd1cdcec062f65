// A mutated config.txt through the options loader (which saves it back):
// every value it keeps is finite, and the saved file loads the same values.
#include "FuzzFiles.h"
#include "sim/SIM_Options.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = FuzzFile("config.txt", data, size);
    SIM_Options options(path);
    for (const SIM_Options::Record& r : options.GetRecords())
        if (!std::isfinite(r.value))
            abort();
    if (options.GetRaceName().find_first_of("\r\n") != std::string::npos)
        abort();
    const size_t count = options.GetRecords().size();
    options.Reload(path);
    if (options.GetRecords().size() > count)
        abort();
    return 0;
}
