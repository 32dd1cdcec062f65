// Mutated PNG/JPEG/BMP bytes through our image reader: what it accepts is a
// whole texture within the size cap.
#include "FuzzFiles.h"
#include "platform/DdsImage.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = FuzzFile("image.png", data, size);
    TextureData tex;
    std::string error;
    if (!ReadImageFile(path, tex, &error))
        return 0;
    if (tex.width > kMaxImageSide || tex.height > kMaxImageSide || !ValidateTextureData(tex, &error))
        abort();
    return 0;
}
