#include "ArtCommon.h"

#include <algorithm>
#include <cmath>

namespace art {

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

std::vector<uint8_t> ToneMapBGRA(const Canvas& c)
{
    const size_t n = static_cast<size_t>(c.w) * c.h;
    std::vector<uint8_t> bgra(n * 4);
    auto tone = [](float v) { return static_cast<uint8_t>(std::clamp(1.0f - std::exp(-v * 1.4f), 0.0f, 1.0f) * 255.0f + 0.5f); };
    for (size_t i = 0; i < n; ++i) {
        bgra[i * 4 + 0] = tone(c.rgb[i * 3 + 2]);
        bgra[i * 4 + 1] = tone(c.rgb[i * 3 + 1]);
        bgra[i * 4 + 2] = tone(c.rgb[i * 3 + 0]);
        bgra[i * 4 + 3] = 255;
    }
    return bgra;
}

} // namespace art
