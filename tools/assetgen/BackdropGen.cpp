// The title backdrop: a deep-space field of stars over two soft nebulae and a
// planet's limb, drawn from a fixed seed so every build makes the same picture.
#include "AssetGen.h"

#include "engine/GRandom.h"
#include "platform/DdsImage.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

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

// Smooth value noise for the nebulae.
float Hash(int x, int y, uint32_t seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

float Noise(float x, float y, uint32_t seed)
{
    int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    float fx = x - xi, fy = y - yi;
    float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    float a = Hash(xi, yi, seed), b = Hash(xi + 1, yi, seed);
    float c = Hash(xi, yi + 1, seed), d = Hash(xi + 1, yi + 1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

float Fbm(float x, float y, uint32_t seed)
{
    float sum = 0, amp = 0.5f, freq = 1.0f;
    for (int i = 0; i < 5; ++i) {
        sum += amp * Noise(x * freq, y * freq, seed + i * 17);
        amp *= 0.5f;
        freq *= 2.0f;
    }
    return sum;
}

void Nebula(Canvas& c, float cx, float cy, float radius, float r, float g, float b, uint32_t seed)
{
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            float dx = (x - cx) / radius, dy = (y - cy) / radius;
            float falloff = std::exp(-(dx * dx + dy * dy) * 1.6f);
            float n = Fbm(x / 180.0f, y / 180.0f, seed);
            float v = falloff * std::pow(std::max(0.0f, n - 0.25f) * 1.6f, 1.8f);
            c.Add(x, y, r * v, g * v, b * v);
        }
}

void Stars(Canvas& c, GRandom& rnd, int count)
{
    for (int i = 0; i < count; ++i) {
        int x = static_cast<int>(rnd.NextFloat() * c.w), y = static_cast<int>(rnd.NextFloat() * c.h);
        float bright = std::pow(rnd.NextFloat(), 6.0f) * 1.6f + 0.08f;
        float tint = rnd.NextFloat();
        float r = bright * (0.8f + 0.2f * tint), g = bright * 0.9f, b = bright * (1.0f - 0.2f * tint + 0.1f);
        c.Add(x, y, r, g, b);
        if (bright > 0.6f) { // a small glow around the brighter ones
            for (int d = 1; d <= 2; ++d) {
                float f = bright * 0.25f / d;
                c.Add(x + d, y, r * f, g * f, b * f);
                c.Add(x - d, y, r * f, g * f, b * f);
                c.Add(x, y + d, r * f, g * f, b * f);
                c.Add(x, y - d, r * f, g * f, b * f);
            }
        }
    }
}

void PlanetLimb(Canvas& c, float cx, float cy, float radius)
{
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
            float* p = &c.rgb[(static_cast<size_t>(y) * c.w + x) * 3];
            if (d < radius) {
                // the night side hides what lies behind it; a thin lit rim
                float rim = std::exp(-(radius - d) / 6.0f);
                float surface = 0.02f + 0.03f * Fbm(x / 60.0f, y / 60.0f, 99);
                p[0] = surface + rim * 0.25f;
                p[1] = surface + rim * 0.55f;
                p[2] = surface * 1.5f + rim * 0.9f;
            } else {
                float glow = std::exp(-(d - radius) / 28.0f) * 0.35f;
                p[0] += glow * 0.2f;
                p[1] += glow * 0.5f;
                p[2] += glow * 0.9f;
            }
        }
}

bool GenerateTitleBackdrop(const std::string& dataDir)
{
    const int side = 1024;
    Canvas c(side, side);
    GRandom rnd(20261207);
    Nebula(c, 300, 340, 420, 0.55f, 0.18f, 0.45f, 11);
    Nebula(c, 760, 560, 380, 0.10f, 0.35f, 0.60f, 23);
    Stars(c, rnd, 4200);
    PlanetLimb(c, 860, 1320, 620);

    std::vector<uint8_t> bgra(static_cast<size_t>(side) * side * 4);
    for (size_t i = 0; i < static_cast<size_t>(side) * side; ++i) {
        auto tone = [](float v) { return static_cast<uint8_t>(std::clamp(1.0f - std::exp(-v * 1.4f), 0.0f, 1.0f) * 255.0f + 0.5f); };
        bgra[i * 4 + 0] = tone(c.rgb[i * 3 + 2]);
        bgra[i * 4 + 1] = tone(c.rgb[i * 3 + 1]);
        bgra[i * 4 + 2] = tone(c.rgb[i * 3 + 0]);
        bgra[i * 4 + 3] = 255;
    }
    return WriteAssetIfChanged(dataDir + "/bitmaps/backdrops/title_backdrop.dds", WriteDdsBGRA(side, side, bgra.data()));
}

} // namespace

QLM_GENERATOR(title_backdrop, GenerateTitleBackdrop);
