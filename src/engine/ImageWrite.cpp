#include "engine/ImageWrite.h"

#include "engine/GSafeFile.h"
#include "platform/ImageEncode.h"

namespace {

bool EncodeAndWrite(ImageFileType type, const std::string& path, int width, int height,
                    const std::vector<uint8_t>& rgba, int quality, std::string* error)
{
    std::string bytes;
    if (!EncodeImage(type, width, height, rgba, bytes, quality)) {
        if (error)
            *error = "cannot encode a " + std::to_string(width) + "x" + std::to_string(height) + " image";
        return false;
    }
    if (!WriteFileAtomically(path, bytes)) {
        if (error)
            *error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace

bool WriteImageFile(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba,
                    std::string* error)
{
    ImageFileType type;
    if (!ImageFileTypeFromName(path, type)) {
        if (error)
            *error = "unknown image type: " + path;
        return false;
    }
    return EncodeAndWrite(type, path, width, height, rgba, 90, error);
}

bool WriteBmp(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba)
{
    return EncodeAndWrite(ImageFileType::Bmp, path, width, height, rgba, 90, nullptr);
}

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba)
{
    return EncodeAndWrite(ImageFileType::Png, path, width, height, rgba, 90, nullptr);
}

bool WriteJpeg(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba, int quality)
{
    return EncodeAndWrite(ImageFileType::Jpeg, path, width, height, rgba, quality, nullptr);
}
