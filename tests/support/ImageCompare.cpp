#include "support/ImageCompare.h"

#include "engine/GSafeFile.h"
#include "platform/DdsImage.h"
#include "platform/ImageEncode.h"

#include <algorithm>
#include <cstdlib>

bool SavePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba)
{
    std::string bytes;
    return EncodeImage(ImageFileType::Png, width, height, rgba, bytes) && WriteFileAtomically(path, bytes);
}

bool LoadPng(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgba)
{
    TextureData data;
    if (!ReadImageFile(path, data, nullptr) || data.levels.empty() || data.format != PixelFormat::BGRA8)
        return false;
    width = data.width;
    height = data.height;
    rgba = data.levels[0];
    // The loader hands over BGRA.
    for (size_t i = 0; i + 3 < rgba.size(); i += 4)
        std::swap(rgba[i], rgba[i + 2]);
    return rgba.size() == static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
}

ImageCompareResult CompareWithReference(const std::string& referencePng, int width, int height,
                                        const std::vector<uint8_t>& rgba, const ImageCompareOptions& options)
{
    ImageCompareResult result;
    if (const char* out = std::getenv("QLM_IMAGE_OUT")) {
        const size_t slash = referencePng.rfind('/');
        SavePng(std::string(out) + "/" + referencePng.substr(slash == std::string::npos ? 0 : slash + 1), width,
                height, rgba);
    }
    int refWidth = 0, refHeight = 0;
    std::vector<uint8_t> reference;
    if (!LoadPng(referencePng, refWidth, refHeight, reference)) {
        result.message = "cannot read reference " + referencePng;
        return result;
    }
    if (refWidth != width || refHeight != height || rgba.size() != reference.size()) {
        result.message = "size differs from reference " + referencePng;
        return result;
    }
    for (size_t p = 0; p + 3 < rgba.size(); p += 4) {
        int worst = 0;
        // Colour only: the back buffer's alpha is not part of the picture.
        for (size_t c = 0; c < 3; ++c)
            worst = std::max(worst, std::abs(static_cast<int>(rgba[p + c]) - static_cast<int>(reference[p + c])));
        result.maxDifference = std::max(result.maxDifference, worst);
        if (worst > options.tolerance)
            ++result.pixelsOver;
    }
    const double pixels = static_cast<double>(width) * static_cast<double>(height);
    result.match = static_cast<double>(result.pixelsOver) <= options.maxFractionOver * pixels;
    if (!result.match)
        result.message = std::to_string(result.pixelsOver) + " pixels differ by more than " +
                         std::to_string(options.tolerance) + " (max " + std::to_string(result.maxDifference) + ")";
    return result;
}
