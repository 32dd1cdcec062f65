#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Saves top-down RGBA8 pixels (a device read-back) as an image file, through
// the safe writer: the old file survives any failure. The type follows the
// extension (.bmp, .png, .jpg/.jpeg); false with the reason in error.
bool WriteImageFile(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba,
                    std::string* error = nullptr);

bool WriteBmp(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba);
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba);
bool WriteJpeg(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba,
               int quality = 90);
