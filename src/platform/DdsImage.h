#pragma once
#include "platform/IGraphicsDevice.h"

#include <cstdint>
#include <string>
#include <vector>

// DDS files with their mip levels: DXT1/3/5 as they are, and every uncompressed
// RGB, luminance or alpha layout of 8 to 32 bits that the header's masks
// describe (565, 24-bit RGB, A8L8, 10:10:10:2 ...), converted to BGRA8.
// Every size and offset is checked against the data before it is read.
bool ReadDds(const uint8_t* data, size_t size, TextureData& out, std::string* error);
bool ReadDdsFile(const std::string& path, TextureData& out, std::string* error);

// An uncompressed 32-bit BGRA file of one level (what the generator writes).
std::string WriteDdsBGRA(int width, int height, const uint8_t* bgra);

// Decodes one level to RGBA8 (for devices without compressed-texture support,
// and for tests).
bool DecodeToRGBA(const TextureData& data, int level, std::vector<uint8_t>& rgba);

// PNG/JPEG/BMP through stb_image, into a one-level BGRA8 texture. Images
// wider or higher than kMaxImageSide (the largest picture the game draws, a
// 2048 x 1024 backdrop) or maxSide (the device's limit) are refused from their
// header, before any pixel is decoded.
constexpr int kMaxImageSide = 2048;
bool ReadImageFile(const std::string& path, TextureData& out, std::string* error, int maxSide = kMaxImageSide);

// Bytes of one level of the given size: width*height*4 for BGRA8, whole 4x4
// blocks of 8 (DXT1) or 16 (DXT3/5) bytes otherwise. 0 for bad sizes.
size_t TextureLevelBytes(PixelFormat format, int width, int height);

// Checks that the data a device is handed is whole: positive sizes within
// kMaxTextureSide, at least one level, each level exactly the bytes its size
// needs and no more levels than the full chain.
constexpr int kMaxTextureSide = 16384;
bool ValidateTextureData(const TextureData& data, std::string* error);
