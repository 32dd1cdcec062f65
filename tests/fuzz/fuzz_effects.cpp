// Mutated effect configs; the first byte picks the reader: an explosion file
// (data/explosions), a particle config (data/particleconfigs), or one hulk
// line of a hull. What they keep is finite.
#include "FuzzFiles.h"

#include "battle/GUI_ExplosionConfig.h"
#include "battle/GUI_ParticleConfig.h"
#include "sim/SIM_HulkLine.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 3) {
    case 0: {
        GUI_ExplosionConfig config;
        if (config.Read(FuzzFile("explosion.txt", data + 1, size - 1)) &&
            (!std::isfinite(config.MinZoomLOD) || !std::isfinite(config.MaxZoomLOD) ||
             !std::isfinite(config.VisibleCheckRadius)))
            abort();
        break;
    }
    case 1: {
        GUI_ParticleConfig config;
        config.ReadText(text);
        break;
    }
    case 2: {
        SIM_HulkLine line;
        SIM_HulkLine::Parse(text, line);
        break;
    }
    }
    return 0;
}
