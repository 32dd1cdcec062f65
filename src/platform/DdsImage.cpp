#include "platform/DdsImage.h"

#include "platform/ImageFileCheck.h"

#include <stb_image.h>

#include <algorithm>
#include <cstring>
#include <fstream>

namespace {

constexpr size_t kHeaderBytes = 128; // magic + 124-byte header
constexpr uint32_t kFlagMipCount = 0x20000;
constexpr uint32_t kPfAlphaPixels = 0x1;
constexpr uint32_t kPfAlphaOnly = 0x2;
constexpr uint32_t kPfFourCC = 0x4;
constexpr uint32_t kPfRgb = 0x40;
constexpr uint32_t kPfLuminance = 0x20000;
constexpr uint32_t kCaps2CubeMap = 0x200;
constexpr uint32_t kCaps2Volume = 0x200000;
// Texture files larger than this are not ours; refuse before reading them.
constexpr std::streamoff kMaxImageFileBytes = 256LL * 1024 * 1024;

uint32_t ReadU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void PutU32(std::string& out, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

constexpr uint32_t FourCC(char a, char b, char c, char d)
{
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}

bool Fail(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
    return false;
}

int FullChainLength(int width, int height)
{
    int n = 1;
    while (width > 1 || height > 1) {
        width = std::max(1, width / 2);
        height = std::max(1, height / 2);
        ++n;
    }
    return n;
}

// One channel of an uncompressed pixel: a run of bits inside the pixel word.
struct Channel {
    uint32_t mask = 0; // 0: the file has no such channel
    int shift = 0;
    uint32_t max = 0; // the mask's value shifted down
};

// The layout of an uncompressed file as its header describes it: whole bytes
// per pixel and a contiguous mask per channel, however many bits wide.
struct Layout {
    int bytesPerPixel = 4;
    Channel r, g, b, a;
    bool luminance = false; // one grey value in r
};

bool MakeChannel(uint32_t mask, int bits, Channel& out)
{
    out = Channel{};
    if (mask == 0)
        return true;
    if (bits < 32 && (mask >> bits) != 0)
        return false; // outside the pixel
    int shift = 0;
    while (((mask >> shift) & 1u) == 0)
        ++shift;
    const uint32_t run = mask >> shift;
    if ((run & (run + 1)) != 0)
        return false; // not one run of bits
    out = Channel{mask, shift, run};
    return true;
}

bool ReadUncompressedFormat(const uint8_t* pf, Layout& layout, std::string* error)
{
    const uint32_t flags = ReadU32(pf + 4);
    const uint32_t bits = ReadU32(pf + 12);
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return Fail(error, "unsupported DDS bit count " + std::to_string(bits));
    layout.bytesPerPixel = int(bits / 8);
    layout.luminance = (flags & kPfLuminance) != 0;
    const bool hasColour = (flags & (kPfRgb | kPfLuminance)) != 0;
    const bool hasAlpha = (flags & (kPfAlphaPixels | kPfAlphaOnly)) != 0;
    const uint32_t masks[4] = {hasColour ? ReadU32(pf + 16) : 0u,
                               hasColour && !layout.luminance ? ReadU32(pf + 20) : 0u,
                               hasColour && !layout.luminance ? ReadU32(pf + 24) : 0u,
                               hasAlpha ? ReadU32(pf + 28) : 0u};
    Channel* channels[4] = {&layout.r, &layout.g, &layout.b, &layout.a};
    uint32_t used = 0;
    for (int i = 0; i < 4; ++i) {
        if (!MakeChannel(masks[i], int(bits), *channels[i]))
            return Fail(error, "unsupported DDS channel masks");
        if (used & masks[i])
            return Fail(error, "overlapping DDS channel masks");
        used |= masks[i];
    }
    if (used == 0 || (hasColour && (masks[0] | masks[1] | masks[2]) == 0))
        return Fail(error, "DDS pixel format without channels");
    return true;
}

// A channel's bits scaled to 0..255, rounded; an absent channel reads as
// `absent` (opaque for alpha, black for colour).
uint8_t Expand(uint32_t pixel, const Channel& c, uint8_t absent)
{
    if (c.mask == 0)
        return absent;
    const uint64_t v = (pixel & c.mask) >> c.shift;
    return uint8_t((v * 255 + c.max / 2) / c.max);
}

void ConvertToBgra(const uint8_t* src, size_t pixels, const Layout& layout, std::vector<uint8_t>& out)
{
    out.resize(pixels * 4);
    const size_t step = size_t(layout.bytesPerPixel);
    for (size_t i = 0; i < pixels; ++i) {
        const uint8_t* p = src + i * step;
        uint32_t v = 0;
        for (size_t k = 0; k < step; ++k)
            v |= uint32_t(p[k]) << (8 * k);
        const uint8_t r = Expand(v, layout.r, 0);
        out[i * 4 + 0] = layout.luminance ? r : Expand(v, layout.b, 0);
        out[i * 4 + 1] = layout.luminance ? r : Expand(v, layout.g, 0);
        out[i * 4 + 2] = r;
        out[i * 4 + 3] = Expand(v, layout.a, 255);
    }
}

void Expand565(uint16_t c, uint8_t rgb[3])
{
    uint8_t r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    rgb[0] = uint8_t(r << 3 | r >> 2);
    rgb[1] = uint8_t(g << 2 | g >> 4);
    rgb[2] = uint8_t(b << 3 | b >> 2);
}

// One 8-byte colour block to 16 RGBA texels; DXT3/5 always use four colours.
void DecodeColourBlock(const uint8_t* block, bool allowPunchThrough, uint8_t out[16][4])
{
    uint16_t c0 = uint16_t(block[0] | block[1] << 8);
    uint16_t c1 = uint16_t(block[2] | block[3] << 8);
    uint8_t pal[4][4];
    Expand565(c0, pal[0]);
    Expand565(c1, pal[1]);
    pal[0][3] = pal[1][3] = 255;
    bool four = !allowPunchThrough || c0 > c1;
    for (int ch = 0; ch < 3; ++ch) {
        if (four) {
            pal[2][ch] = uint8_t((2 * pal[0][ch] + pal[1][ch]) / 3);
            pal[3][ch] = uint8_t((pal[0][ch] + 2 * pal[1][ch]) / 3);
        } else {
            pal[2][ch] = uint8_t((pal[0][ch] + pal[1][ch]) / 2);
            pal[3][ch] = 0;
        }
    }
    pal[2][3] = 255;
    pal[3][3] = four ? 255 : 0;
    uint32_t bits = ReadU32(block + 4);
    for (int i = 0; i < 16; ++i)
        std::memcpy(out[i], pal[(bits >> (2 * i)) & 3], 4);
}

void DecodeDxt5Alpha(const uint8_t* block, uint8_t out[16][4])
{
    uint8_t a[8];
    a[0] = block[0];
    a[1] = block[1];
    if (a[0] > a[1]) {
        for (int i = 1; i < 7; ++i)
            a[i + 1] = uint8_t(((7 - i) * a[0] + i * a[1]) / 7);
    } else {
        for (int i = 1; i < 5; ++i)
            a[i + 1] = uint8_t(((5 - i) * a[0] + i * a[1]) / 5);
        a[6] = 0;
        a[7] = 255;
    }
    uint64_t bits = 0;
    for (int i = 0; i < 6; ++i)
        bits |= uint64_t(block[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i)
        out[i][3] = a[(bits >> (3 * i)) & 7];
}

void DecodeBlock(PixelFormat format, const uint8_t* block, uint8_t out[16][4])
{
    switch (format) {
    case PixelFormat::DXT1:
        DecodeColourBlock(block, true, out);
        break;
    case PixelFormat::DXT3:
        DecodeColourBlock(block + 8, false, out);
        for (int i = 0; i < 16; ++i) {
            uint8_t nibble = (block[i / 2] >> (4 * (i & 1))) & 15;
            out[i][3] = uint8_t(nibble * 17);
        }
        break;
    case PixelFormat::DXT5:
        DecodeColourBlock(block + 8, false, out);
        DecodeDxt5Alpha(block, out);
        break;
    case PixelFormat::BGRA8:
        break;
    }
}

bool ReadFileBounded(const std::string& path, std::vector<uint8_t>& bytes, std::string* error)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return Fail(error, "cannot open " + path);
    std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxImageFileBytes)
        return Fail(error, "image file too large: " + path);
    bytes.resize(static_cast<size_t>(size));
    in.seekg(0);
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size))
        return Fail(error, "cannot read " + path);
    return true;
}

} // namespace

size_t TextureLevelBytes(PixelFormat format, int width, int height)
{
    if (width <= 0 || height <= 0 || width > kMaxTextureSide || height > kMaxTextureSide)
        return 0;
    size_t w = size_t(width), h = size_t(height);
    switch (format) {
    case PixelFormat::BGRA8: return w * h * 4;
    case PixelFormat::DXT1: return ((w + 3) / 4) * ((h + 3) / 4) * 8;
    case PixelFormat::DXT3:
    case PixelFormat::DXT5: return ((w + 3) / 4) * ((h + 3) / 4) * 16;
    }
    return 0;
}

bool ValidateTextureData(const TextureData& data, std::string* error)
{
    if (TextureLevelBytes(data.format, data.width, data.height) == 0)
        return Fail(error, "bad texture size " + std::to_string(data.width) + "x" + std::to_string(data.height));
    if (data.levels.empty() || int(data.levels.size()) > FullChainLength(data.width, data.height))
        return Fail(error, "bad texture level count " + std::to_string(data.levels.size()));
    int w = data.width, h = data.height;
    for (size_t i = 0; i < data.levels.size(); ++i) {
        if (data.levels[i].size() != TextureLevelBytes(data.format, w, h))
            return Fail(error, "texture level " + std::to_string(i) + " has the wrong size");
        w = std::max(1, w / 2);
        h = std::max(1, h / 2);
    }
    return true;
}

bool ReadDds(const uint8_t* data, size_t size, TextureData& out, std::string* error)
{
    out = TextureData{};
    if (!data || size < kHeaderBytes)
        return Fail(error, "DDS file too short");
    if (std::memcmp(data, "DDS ", 4) != 0)
        return Fail(error, "not a DDS file");
    const uint8_t* hdr = data + 4;
    const uint8_t* pf = hdr + 72;
    if (ReadU32(hdr) != 124 || ReadU32(pf) != 32)
        return Fail(error, "bad DDS header size");
    uint32_t flags = ReadU32(hdr + 4);
    uint32_t height = ReadU32(hdr + 8);
    uint32_t width = ReadU32(hdr + 12);
    if (width == 0 || height == 0 || width > uint32_t(kMaxTextureSide) || height > uint32_t(kMaxTextureSide))
        return Fail(error, "bad DDS size " + std::to_string(width) + "x" + std::to_string(height));
    if (ReadU32(hdr + 108) & (kCaps2CubeMap | kCaps2Volume))
        return Fail(error, "cube and volume DDS files are not supported");

    uint32_t pfFlags = ReadU32(pf + 4);
    Layout layout;
    TextureData result;
    result.width = int(width);
    result.height = int(height);
    if (pfFlags & kPfFourCC) {
        uint32_t cc = ReadU32(pf + 8);
        if (cc == FourCC('D', 'X', 'T', '1'))
            result.format = PixelFormat::DXT1;
        else if (cc == FourCC('D', 'X', 'T', '3'))
            result.format = PixelFormat::DXT3;
        else if (cc == FourCC('D', 'X', 'T', '5'))
            result.format = PixelFormat::DXT5;
        else
            return Fail(error, "unsupported DDS compression");
    } else if (pfFlags & (kPfRgb | kPfLuminance | kPfAlphaOnly)) {
        if (!ReadUncompressedFormat(pf, layout, error))
            return false;
        result.format = PixelFormat::BGRA8;
    } else {
        return Fail(error, "unsupported DDS pixel format");
    }

    int levels = 1;
    uint32_t mipCount = ReadU32(hdr + 24);
    if ((flags & kFlagMipCount) && mipCount > 1)
        levels = int(std::min<uint32_t>(mipCount, uint32_t(FullChainLength(result.width, result.height))));

    size_t offset = kHeaderBytes;
    int w = result.width, h = result.height;
    const bool uncompressed = result.format == PixelFormat::BGRA8;
    for (int i = 0; i < levels; ++i) {
        // Uncompressed rows are tightly packed in the file, whatever the pitch says.
        size_t bytes = uncompressed ? size_t(w) * size_t(h) * size_t(layout.bytesPerPixel)
                                    : TextureLevelBytes(result.format, w, h);
        if (bytes == 0 || bytes > size - offset)
            return Fail(error, "DDS file truncated at level " + std::to_string(i));
        const uint8_t* src = data + offset;
        if (uncompressed) {
            result.levels.emplace_back();
            ConvertToBgra(src, size_t(w) * size_t(h), layout, result.levels.back());
        } else {
            result.levels.emplace_back(src, src + bytes);
        }
        offset += bytes;
        w = std::max(1, w / 2);
        h = std::max(1, h / 2);
    }
    out = std::move(result);
    return true;
}

bool ReadDdsFile(const std::string& path, TextureData& out, std::string* error)
{
    std::vector<uint8_t> bytes;
    if (!ReadFileBounded(path, bytes, error))
        return false;
    if (!ReadDds(bytes.data(), bytes.size(), out, error)) {
        if (error)
            *error = path + ": " + *error;
        return false;
    }
    return true;
}

std::string WriteDdsBGRA(int width, int height, const uint8_t* bgra)
{
    size_t bytes = TextureLevelBytes(PixelFormat::BGRA8, width, height);
    if (bytes == 0 || !bgra)
        return {};
    std::string out(kHeaderBytes, '\0');
    std::memcpy(out.data(), "DDS ", 4);
    PutU32(out, 4, 124);
    PutU32(out, 8, 0x100F); // caps, height, width, pitch, pixel format
    PutU32(out, 12, uint32_t(height));
    PutU32(out, 16, uint32_t(width));
    PutU32(out, 20, uint32_t(width) * 4);
    PutU32(out, 76, 32);
    PutU32(out, 80, kPfRgb | kPfAlphaPixels);
    PutU32(out, 88, 32);
    PutU32(out, 92, 0x00FF0000);
    PutU32(out, 96, 0x0000FF00);
    PutU32(out, 100, 0x000000FF);
    PutU32(out, 104, 0xFF000000);
    PutU32(out, 108, 0x1000); // texture
    out.append(reinterpret_cast<const char*>(bgra), bytes);
    return out;
}

bool DecodeToRGBA(const TextureData& data, int level, std::vector<uint8_t>& rgba)
{
    if (level < 0 || level >= int(data.levels.size()))
        return false;
    int w = data.width, h = data.height;
    for (int i = 0; i < level; ++i) {
        w = std::max(1, w / 2);
        h = std::max(1, h / 2);
    }
    const std::vector<uint8_t>& src = data.levels[size_t(level)];
    size_t need = TextureLevelBytes(data.format, w, h);
    if (need == 0 || src.size() != need)
        return false;
    rgba.assign(size_t(w) * size_t(h) * 4, 0);
    if (data.format == PixelFormat::BGRA8) {
        for (size_t i = 0; i < rgba.size(); i += 4) {
            rgba[i + 0] = src[i + 2];
            rgba[i + 1] = src[i + 1];
            rgba[i + 2] = src[i + 0];
            rgba[i + 3] = src[i + 3];
        }
        return true;
    }
    size_t blockBytes = data.format == PixelFormat::DXT1 ? 8 : 16;
    int blocksWide = (w + 3) / 4, blocksHigh = (h + 3) / 4;
    uint8_t texels[16][4];
    for (int by = 0; by < blocksHigh; ++by) {
        for (int bx = 0; bx < blocksWide; ++bx) {
            DecodeBlock(data.format, src.data() + (size_t(by) * blocksWide + bx) * blockBytes, texels);
            for (int i = 0; i < 16; ++i) {
                int x = bx * 4 + i % 4, y = by * 4 + i / 4;
                if (x < w && y < h)
                    std::memcpy(&rgba[(size_t(y) * w + x) * 4], texels[i], 4);
            }
        }
    }
    return true;
}

namespace {
bool IsPngJpegOrBmp(const std::vector<uint8_t>& b)
{
    static const uint8_t kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (b.size() >= sizeof kPng && std::memcmp(b.data(), kPng, sizeof kPng) == 0)
        return true;
    if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF)
        return true;
    return b.size() >= 2 && b[0] == 'B' && b[1] == 'M';
}

} // namespace

bool ReadImageFile(const std::string& path, TextureData& out, std::string* error, int maxSide)
{
    out = TextureData{};
    std::vector<uint8_t> bytes;
    if (!ReadFileBounded(path, bytes, error))
        return false;
    if (bytes.size() > size_t(INT32_MAX))
        return Fail(error, "image file too large: " + path);
    if (!IsPngJpegOrBmp(bytes))
        return Fail(error, path + ": not a PNG, JPEG or BMP image");
    if (const char* fault = FindImageFileFault(bytes.data(), bytes.size()))
        return Fail(error, path + ": " + fault);
    // A few hundred bytes of header can claim gigabytes of pixels: the size is
    // checked before anything is decoded.
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(bytes.data(), int(bytes.size()), &w, &h, &channels))
        return Fail(error, path + ": " + (stbi_failure_reason() ? stbi_failure_reason() : "unreadable image"));
    const int limit = std::min(maxSide, kMaxImageSide);
    if (w <= 0 || h <= 0 || w > limit || h > limit)
        return Fail(error, path + ": image of " + std::to_string(w) + " x " + std::to_string(h) +
                               " is larger than " + std::to_string(limit) + " x " + std::to_string(limit));
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), int(bytes.size()), &w, &h, &channels, 4);
    if (!pixels)
        return Fail(error, path + ": " + (stbi_failure_reason() ? stbi_failure_reason() : "unreadable image"));
    if (w <= 0 || h <= 0 || w > limit || h > limit) {
        stbi_image_free(pixels);
        return Fail(error, path + ": image too large");
    }
    std::vector<uint8_t> level(size_t(w) * size_t(h) * 4);
    for (size_t i = 0; i < level.size(); i += 4) {
        level[i + 0] = pixels[i + 2];
        level[i + 1] = pixels[i + 1];
        level[i + 2] = pixels[i + 0];
        level[i + 3] = pixels[i + 3];
    }
    stbi_image_free(pixels);
    out.width = w;
    out.height = h;
    out.format = PixelFormat::BGRA8;
    out.levels.push_back(std::move(level));
    return true;
}
