#include "ArtCommon.h"
#include "AssetGen.h"

#include "platform/DdsImage.h"
#include "platform/ImageEncode.h"

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

Tint Blend(Tint a, Tint b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Image::Image(int w, int h, Tint fill) : width(w), height(h), m_px(static_cast<size_t>(w) * static_cast<size_t>(h), fill)
{
}

void Image::Set(int x, int y, Tint c)
{
    if (x >= 0 && y >= 0 && x < width && y < height)
        m_px[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = c;
}

Tint Image::Get(int x, int y) const
{
    return m_px[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
}

void Image::Over(int x, int y, Tint c, float cover)
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    Tint& d = m_px[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    const float a = std::clamp(c.a * cover, 0.0f, 1.0f);
    const float outA = a + d.a * (1.0f - a);
    if (outA <= 0.0f)
        return;
    d.r = (c.r * a + d.r * d.a * (1.0f - a)) / outA;
    d.g = (c.g * a + d.g * d.a * (1.0f - a)) / outA;
    d.b = (c.b * a + d.b * d.a * (1.0f - a)) / outA;
    d.a = outA;
}

void Image::HLine(int x0, int x1, int y, Tint c)
{
    for (int x = x0; x <= x1; ++x)
        Over(x, y, c);
}

void Image::VLine(int x, int y0, int y1, Tint c)
{
    for (int y = y0; y <= y1; ++y)
        Over(x, y, c);
}

void Image::Box(int x0, int y0, int x1, int y1, Tint c)
{
    HLine(x0, x1, y0, c);
    HLine(x0, x1, y1, c);
    VLine(x0, y0, y1, c);
    VLine(x1, y0, y1, c);
}

void Image::Stroke(float x0, float y0, float x1, float y1, float thickness, Tint c, int bx0, int by0, int bx1,
                   int by1)
{
    const float dx = x1 - x0, dy = y1 - y0;
    const float len2 = std::max(1e-6f, dx * dx + dy * dy);
    for (int y = std::max(0, by0); y < std::min(height, by1); ++y) {
        for (int x = std::max(0, bx0); x < std::min(width, bx1); ++x) {
            const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
            const float t = std::clamp(((px - x0) * dx + (py - y0) * dy) / len2, 0.0f, 1.0f);
            const float d = std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
            const float cover = std::clamp(thickness / 2.0f + 0.5f - d, 0.0f, 1.0f);
            if (cover > 0.0f)
                Over(x, y, c, cover);
        }
    }
}

void Image::Stroke(float x0, float y0, float x1, float y1, float thickness, Tint c)
{
    Stroke(x0, y0, x1, y1, thickness, c, 0, 0, width, height);
}

std::vector<uint8_t> Image::Bytes(bool bgra) const
{
    std::vector<uint8_t> out(m_px.size() * 4);
    const auto q = [](float v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    for (size_t i = 0; i < m_px.size(); ++i) {
        const Tint& c = m_px[i];
        out[i * 4 + 0] = bgra ? q(c.b) : q(c.r);
        out[i * 4 + 1] = q(c.g);
        out[i * 4 + 2] = bgra ? q(c.r) : q(c.b);
        out[i * 4 + 3] = q(c.a);
    }
    return out;
}

std::string Image::ToDds() const
{
    const std::vector<uint8_t> bgra = Bytes(true);
    return WriteDdsBGRA(width, height, bgra.data());
}

std::string Image::ToJpeg() const
{
    std::string out;
    EncodeImage(ImageFileType::Jpeg, width, height, Bytes(false), out, 92);
    return out;
}

std::string DrawDds(int w, int h, const PixelFn& f)
{
    std::vector<uint8_t> bgra(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float c[4] = {0, 0, 0, 0};
            f((x + 0.5f) / w, (y + 0.5f) / h, c);
            uint8_t* p = &bgra[(static_cast<size_t>(y) * w + x) * 4];
            auto q = [](float v) { return static_cast<uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
            p[0] = q(c[2]);
            p[1] = q(c[1]);
            p[2] = q(c[0]);
            p[3] = q(c[3]);
        }
    return WriteDdsBGRA(w, h, bgra.data());
}

bool WriteDrawnPictures(const std::string& dir, const std::vector<DrawnPicture>& pictures)
{
    bool ok = true;
    for (const DrawnPicture& picture : pictures)
        ok = WriteAssetIfChanged(dir + picture.name, DrawDds(picture.w, picture.h, picture.fn)) && ok;
    return ok;
}

float Smooth(float e0, float e1, float x)
{
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

} // namespace art
