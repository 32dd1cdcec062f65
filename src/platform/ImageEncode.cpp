#include "platform/ImageEncode.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cctype>

namespace {

void AppendToString(void* context, void* data, int size)
{
    if (size > 0)
        static_cast<std::string*>(context)->append(static_cast<const char*>(data), size_t(size));
}

std::vector<uint8_t> DropAlpha(const std::vector<uint8_t>& rgba)
{
    std::vector<uint8_t> rgb(rgba.size() / 4 * 3);
    for (size_t i = 0, j = 0; i + 3 < rgba.size(); i += 4, j += 3) {
        rgb[j] = rgba[i];
        rgb[j + 1] = rgba[i + 1];
        rgb[j + 2] = rgba[i + 2];
    }
    return rgb;
}

} // namespace

bool EncodeImage(ImageFileType type, int width, int height, const std::vector<uint8_t>& rgba,
                 std::string& out, int jpegQuality)
{
    out.clear();
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535 ||
        rgba.size() != size_t(width) * size_t(height) * 4)
        return false;
    int ok = 0;
    switch (type) {
    case ImageFileType::Png:
        ok = stbi_write_png_to_func(AppendToString, &out, width, height, 4, rgba.data(), width * 4);
        break;
    case ImageFileType::Bmp: {
        // An opaque screenshot: the 24-bit form every viewer reads.
        std::vector<uint8_t> rgb = DropAlpha(rgba);
        ok = stbi_write_bmp_to_func(AppendToString, &out, width, height, 3, rgb.data());
        break;
    }
    case ImageFileType::Jpeg: {
        std::vector<uint8_t> rgb = DropAlpha(rgba);
        ok = stbi_write_jpg_to_func(AppendToString, &out, width, height, 3, rgb.data(),
                                    std::clamp(jpegQuality, 1, 100));
        break;
    }
    }
    if (!ok)
        out.clear();
    return ok != 0 && !out.empty();
}

bool ImageFileTypeFromName(const std::string& name, ImageFileType& type)
{
    size_t dot = name.find_last_of('.');
    if (dot == std::string::npos)
        return false;
    std::string ext = name.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (ext == "bmp")
        type = ImageFileType::Bmp;
    else if (ext == "png")
        type = ImageFileType::Png;
    else if (ext == "jpg" || ext == "jpeg")
        type = ImageFileType::Jpeg;
    else
        return false;
    return true;
}
