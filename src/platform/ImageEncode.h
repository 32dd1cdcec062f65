#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum class ImageFileType { Bmp, Png, Jpeg };

// Encodes top-down RGBA8 pixels (what ReadPixels gives) into an image file's
// bytes. BMP and JPEG drop the alpha channel. False for a bad size or a pixel
// buffer that does not hold width*height*4 bytes.
bool EncodeImage(ImageFileType type, int width, int height, const std::vector<uint8_t>& rgba,
                 std::string& out, int jpegQuality = 90);

// The file type for a name's extension (".bmp", ".png", ".jpg"/".jpeg", any
// case); false for others.
bool ImageFileTypeFromName(const std::string& name, ImageFileType& type);
