#pragma once
// Drawing helpers shared by the picture generators: a linear-light canvas,
// value noise, nebulae and star fields; and for the interface skins a common
// palette and a straight-alpha image with crisp lines and strokes.
#include "engine/GRandom.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace art {

struct Canvas {
    int w, h;
    std::vector<float> rgb; // linear 0..1

    Canvas(int width, int height) : w(width), h(height), rgb(static_cast<size_t>(width) * height * 3, 0.0f) {}

    void Add(int x, int y, float r, float g, float b)
    {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return;
        float* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
        p[0] += r;
        p[1] += g;
        p[2] += b;
    }
};

float Hash(int x, int y, uint32_t seed);
// Smooth value noise and its five-octave sum, about 0..1.
float Noise(float x, float y, uint32_t seed);
float Fbm(float x, float y, uint32_t seed);

void Nebula(Canvas& c, float cx, float cy, float radius, float r, float g, float b, uint32_t seed);
void Stars(Canvas& c, GRandom& rnd, int count);
// Opaque BGRA with a soft exposure curve, so bright parts never clip hard.
std::vector<uint8_t> ToneMapBGRA(const Canvas& c);

// Straight (not premultiplied) colour, 0..1.
struct Tint {
    float r, g, b, a;
};

constexpr Tint FromHex(int hex, float a = 1.0f)
{
    return {((hex >> 16) & 0xFF) / 255.0f, ((hex >> 8) & 0xFF) / 255.0f, (hex & 0xFF) / 255.0f, a};
}

// Linear mix, alpha included.
Tint Blend(Tint a, Tint b, float t);

// The palette of every interface skin: dark blue-grey, cyan accent.
inline constexpr Tint kClear{0.0f, 0.0f, 0.0f, 0.0f};
inline constexpr Tint kShadow = FromHex(0x080B11);
inline constexpr Tint kFillTop = FromHex(0x2B3749);
inline constexpr Tint kFillBottom = FromHex(0x171E2A);
inline constexpr Tint kBevelLight = FromHex(0x44556F);
inline constexpr Tint kBevelDark = FromHex(0x0E131B);
inline constexpr Tint kEdge = FromHex(0x2F4A60);
inline constexpr Tint kCyan = FromHex(0x3FD0F0);
inline constexpr Tint kCyanBright = FromHex(0x8FF2FF);
inline constexpr Tint kSteel = FromHex(0x9AA8BC);

// A picture drawn per pixel: f(u, v) gives straight RGBA in 0..1, u and v
// in 0..1 at the texel centres; written as an uncompressed DDS.
using PixelFn = std::function<void(float u, float v, float rgba[4])>;
std::string DrawDds(int w, int h, const PixelFn& f);
// Pictures of one folder drawn per pixel, each written when its bytes changed.
struct DrawnPicture {
    const char* name;
    int w, h;
    PixelFn fn;
};
bool WriteDrawnPictures(const std::string& dir, const std::vector<DrawnPicture>& pictures);
// 0 below e0, 1 above e1, a smooth S between.
float Smooth(float e0, float e1, float x);

class Image {
public:
    Image(int w, int h, Tint fill = kClear);

    void Set(int x, int y, Tint c);
    Tint Get(int x, int y) const;
    // Source-over, so accents and glows lie on the base.
    void Over(int x, int y, Tint c, float cover = 1.0f);
    void HLine(int x0, int x1, int y, Tint c);
    void VLine(int x, int y0, int y1, Tint c);
    void Box(int x0, int y0, int x1, int y1, Tint c);
    // An anti-aliased segment with round ends, limited to a box (atlas cells).
    void Stroke(float x0, float y0, float x1, float y1, float thickness, Tint c, int bx0, int by0, int bx1, int by1);
    void Stroke(float x0, float y0, float x1, float y1, float thickness, Tint c);

    // 8-bit RGBA, or BGRA for textures.
    std::vector<uint8_t> Bytes(bool bgra) const;
    std::string ToDds() const;
    std::string ToJpeg() const;

    const int width;
    const int height;

private:
    std::vector<Tint> m_px;
};

} // namespace art
