// Feeds arbitrary bytes to the DDS reader and decodes whatever it accepts.
#include "platform/DdsImage.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TextureData tex;
    std::string error;
    if (!ReadDds(data, size, tex, &error))
        return 0;
    if (!ValidateTextureData(tex, &error))
        std::abort(); // the reader must only hand out whole textures
    std::vector<uint8_t> rgba;
    for (int level = 0; level < int(tex.levels.size()); ++level)
        if (!DecodeToRGBA(tex, level, rgba))
            std::abort();
    return 0;
}
