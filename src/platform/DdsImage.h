#pragma once
#include "platform/IGraphicsDevice.h"

#include <cstdint>
#include <string>
#include <vector>

// DDS files: uncompressed 32-bit BGRA/BGRX and DXT1/3/5 with their mip levels.
// Every size and offset is checked against the data before it is read.
bool ReadDds(const uint8_t* data, size_t size, TextureData& out, std::string* error);
bool ReadDdsFile(const std::string& path, TextureData& out, std::string* error);

// An uncompressed 32-bit BGRA file of one level (what the generator writes).
std::string WriteDdsBGRA(int width, int height, const uint8_t* bgra);

// Decodes one level to RGBA8 (for devices without compressed-texture support,
// and for tests).
bool DecodeToRGBA(const TextureData& data, int level, std::vector<uint8_t>& rgba);

// PNG/JPEG/BMP through stb_image, into a one-level BGRA8 texture.
bool ReadImageFile(const std::string& path, TextureData& out, std::string* error);
