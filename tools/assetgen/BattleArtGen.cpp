// The battle's pictures: hull sprites for both races (federation sleek and
// blue-grey, korrath angular and rust), fighter sheets, damage and hulk
// sheets, turret sheets, beams, glows and the map backdrops. Every shape is
// a polygon on the hull files' 256-pixel grid, nose up. A hull whose file
// lists structural bands is drawn in sections, open where its bands run.
#include "ArtCommon.h"
#include "AssetGen.h"

#include "engine/GRandom.h"
#include "platform/DdsImage.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

struct P {
    float x, y;
};
using Poly = std::vector<P>;

struct Rgb {
    float r, g, b;
};

// Straight (not premultiplied) RGBA in 0..1.
struct Picture {
    int w, h;
    std::vector<float> px;
    Picture(int width, int height) : w(width), h(height), px(static_cast<size_t>(width) * height * 4, 0.0f) {}
    float* At(int x, int y) { return &px[(static_cast<size_t>(y) * w + x) * 4]; }

    void Blend(int x, int y, Rgb c, float a)
    {
        if (x < 0 || y < 0 || x >= w || y >= h || a <= 0.0f)
            return;
        float* p = At(x, y);
        const float outA = a + p[3] * (1.0f - a);
        if (outA <= 0.0f)
            return;
        p[0] = (c.r * a + p[0] * p[3] * (1.0f - a)) / outA;
        p[1] = (c.g * a + p[1] * p[3] * (1.0f - a)) / outA;
        p[2] = (c.b * a + p[2] * p[3] * (1.0f - a)) / outA;
        p[3] = outA;
    }

    std::string ToDds() const
    {
        std::vector<uint8_t> bgra(static_cast<size_t>(w) * h * 4);
        auto b = [](float v) { return static_cast<uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
        for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
            bgra[i * 4 + 0] = b(px[i * 4 + 2]);
            bgra[i * 4 + 1] = b(px[i * 4 + 1]);
            bgra[i * 4 + 2] = b(px[i * 4 + 0]);
            bgra[i * 4 + 3] = b(px[i * 4 + 3]);
        }
        return WriteDdsBGRA(w, h, bgra.data());
    }
};

bool Inside(const Poly& poly, float x, float y)
{
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const P& a = poly[i];
        const P& b = poly[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
            in = !in;
    }
    return in;
}

Poly Mirror(const Poly& half)
{
    // Half outline from the nose down the right side; the left is its mirror.
    Poly full = half;
    for (auto it = half.rbegin(); it != half.rend(); ++it) {
        if (it->x != 128.0f)
            full.push_back({256.0f - it->x, it->y});
    }
    return full;
}

Poly Flip(const Poly& poly)
{
    Poly out;
    for (const P& p : poly)
        out.push_back({256.0f - p.x, p.y});
    return out;
}

// Fills a polygon given on the 256 grid, 4x4 samples a pixel, with light
// from the upper left and a little plating noise.
void Fill(Picture& pic, const Poly& poly, Rgb colour, float alpha = 1.0f, uint32_t seed = 1, float grain = 0.25f)
{
    const float scale = static_cast<float>(pic.w) / 256.0f;
    float minX = 256, minY = 256, maxX = 0, maxY = 0;
    for (const P& p : poly) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    const int x0 = std::max(0, static_cast<int>(minX * scale) - 1), x1 = std::min(pic.w - 1, static_cast<int>(maxX * scale) + 1);
    const int y0 = std::max(0, static_cast<int>(minY * scale) - 1), y1 = std::min(pic.h - 1, static_cast<int>(maxY * scale) + 1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    hits += Inside(poly, (x + (sx + 0.5f) / 4.0f) / scale, (y + (sy + 0.5f) / 4.0f) / scale) ? 1 : 0;
            if (!hits)
                continue;
            const float gx = x / scale, gy = y / scale;
            const float light = 0.82f + 0.3f * (1.0f - (gx + gy) / 512.0f);
            const float n = 1.0f - grain * 0.5f + grain * art::Fbm(gx / 12.0f, gy / 12.0f, seed);
            const float k = light * n;
            pic.Blend(x, y, {colour.r * k, colour.g * k, colour.b * k}, alpha * hits / 16.0f);
        }
}

void Dot(Picture& pic, float cx, float cy, float radius, Rgb colour, float alpha = 1.0f)
{
    Poly circle;
    for (int i = 0; i < 16; ++i) {
        const float a = i * 6.2831853f / 16.0f;
        circle.push_back({cx + radius * std::cos(a), cy + radius * std::sin(a)});
    }
    Fill(pic, circle, colour, alpha, 3, 0.0f);
}

Poly Rect(float l, float t, float r, float b)
{
    return {{l, t}, {r, t}, {r, b}, {l, b}};
}

// An ellipse-like outline for the federation's rounded hulls.
Poly Capsule(float cx, float top, float bottom, float halfWidth, float bluntness)
{
    Poly out;
    for (int i = 0; i <= 24; ++i) {
        const float t = static_cast<float>(i) / 24.0f;
        const float y = top + (bottom - top) * t;
        const float w = halfWidth * std::pow(std::sin(3.14159265f * std::min(1.0f, t * 0.55f + 0.45f * t * t + 0.05f)), bluntness);
        out.push_back({cx + std::max(w, 1.0f), y});
    }
    for (int i = 24; i >= 0; --i) {
        const P& p = out[static_cast<size_t>(i)];
        out.push_back({2.0f * cx - p.x, p.y});
    }
    return out;
}

const Rgb kFedHull{0.56f, 0.62f, 0.70f};
const Rgb kFedDark{0.30f, 0.35f, 0.44f};
const Rgb kFedLight{0.78f, 0.83f, 0.90f};
const Rgb kFedGlow{0.35f, 0.70f, 1.0f};
const Rgb kKorHull{0.58f, 0.30f, 0.16f};
const Rgb kKorDark{0.30f, 0.15f, 0.09f};
const Rgb kKorLight{0.78f, 0.48f, 0.26f};
const Rgb kKorGlow{1.0f, 0.55f, 0.15f};

void FedCruiser(Picture& pic)
{
    const Poly wings = Mirror({{128, 100}, {150, 104}, {204, 150}, {212, 196}, {196, 204}, {150, 184}, {128, 184}});
    Fill(pic, wings, kFedDark, 1.0f, 5);
    Fill(pic, Capsule(128, 22, 246, 34, 0.7f), kFedHull, 1.0f, 7);
    Fill(pic, Capsule(128, 44, 200, 18, 0.8f), kFedLight, 1.0f, 9, 0.15f);
    for (float x : {70.0f, 186.0f})
        Fill(pic, Capsule(x, 118, 200, 9, 0.6f), kFedHull, 1.0f, 11);
    Fill(pic, Rect(100, 226, 156, 246), kFedDark, 1.0f, 13);
    for (float x : {108.0f, 148.0f})
        Dot(pic, x, 242, 6, kFedGlow, 0.9f);
    for (float y = 60; y < 190; y += 18)
        Dot(pic, 128, y, 2.2f, kFedGlow, 0.8f);
    Fill(pic, Rect(126, 40, 130, 210), kFedDark, 0.5f, 15, 0.0f);
}

void FedFrigate(Picture& pic)
{
    Fill(pic, Mirror({{128, 118}, {176, 104}, {184, 120}, {184, 146}, {128, 150}}), kFedDark, 1.0f, 21);
    Fill(pic, Capsule(128, 30, 244, 26, 0.75f), kFedHull, 1.0f, 23);
    Fill(pic, Capsule(128, 56, 200, 12, 0.8f), kFedLight, 1.0f, 25, 0.15f);
    for (float x : {80.0f, 176.0f})
        Fill(pic, Capsule(x, 84, 170, 11, 0.6f), kFedHull, 1.0f, 27);
    for (float x : {116.0f, 140.0f})
        Dot(pic, x, 238, 6, kFedGlow, 0.9f);
    Dot(pic, 128, 80, 4, kFedGlow, 0.8f);
}

void FedFighter(Picture& pic)
{
    Fill(pic, Mirror({{128, 26}, {146, 110}, {200, 196}, {196, 222}, {150, 214}, {128, 236}}), kFedHull, 1.0f, 31, 0.1f);
    Fill(pic, Capsule(128, 60, 200, 14, 0.8f), kFedLight, 1.0f, 33, 0.1f);
    Dot(pic, 128, 110, 9, kFedGlow, 0.9f);
}

// Prow and stern held together by its bands: the waist is no wider than the
// band across it, so the two come apart where it runs.
void KorCruiser(Picture& pic)
{
    const Poly blades = Mirror({{128, 70}, {170, 56}, {226, 40}, {214, 94}, {226, 132}, {188, 140}, {128, 132}});
    Fill(pic, blades, kKorDark, 1.0f, 41);
    const Poly body = Mirror({{128, 16}, {156, 52}, {196, 112}, {178, 150}, {192, 192}, {166, 248}, {128, 236}});
    Fill(pic, body, kKorHull, 1.0f, 43, 0.4f);
    Fill(pic, Mirror({{128, 44}, {146, 80}, {160, 150}, {146, 208}, {128, 214}}), kKorLight, 1.0f, 45, 0.3f);
    for (float x : {108.0f, 148.0f})
        Fill(pic, Rect(x - 8, 228, x + 8, 248), kKorDark, 1.0f, 49);
    for (float x : {108.0f, 148.0f})
        Dot(pic, x, 244, 5, kKorGlow, 0.9f);
    for (float y : {64.0f, 92.0f, 120.0f})
        for (float x : {112.0f, 144.0f})
            Dot(pic, x, y, 2.0f, kKorGlow, 0.8f);
}

void KorFrigate(Picture& pic)
{
    const Poly prong = {{176, 60}, {190, 96}, {188, 168}, {166, 200}, {160, 120}};
    Fill(pic, prong, kKorDark, 1.0f, 51);
    Fill(pic, Flip(prong), kKorDark, 1.0f, 51);
    Fill(pic, Mirror({{128, 110}, {176, 110}, {176, 140}, {128, 150}}), kKorHull, 1.0f, 53, 0.4f);
    Fill(pic, Mirror({{128, 24}, {146, 70}, {152, 200}, {144, 246}, {128, 236}}), kKorHull, 1.0f, 55, 0.4f);
    Fill(pic, Mirror({{128, 52}, {138, 90}, {140, 190}, {128, 204}}), kKorLight, 1.0f, 57, 0.3f);
    for (float x : {116.0f, 140.0f})
        Dot(pic, x, 238, 5, kKorGlow, 0.9f);
}

void KorFighter(Picture& pic)
{
    Fill(pic, Mirror({{128, 40}, {150, 110}, {206, 70}, {180, 210}, {150, 232}, {128, 204}}), kKorHull, 1.0f, 61, 0.3f);
    Fill(pic, Mirror({{128, 70}, {140, 120}, {134, 190}, {128, 196}}), kKorLight, 1.0f, 63, 0.2f);
    Dot(pic, 128, 120, 8, kKorGlow, 0.9f);
}

void GenericShip(Picture& pic)
{
    Fill(pic, Mirror({{128, 30}, {170, 150}, {160, 230}, {128, 220}}), {0.6f, 0.6f, 0.6f}, 1.0f, 71);
}

// Scorched copy: darker, with burn patches.
Picture Damaged(const Picture& source, uint32_t seed)
{
    Picture out = source;
    for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x) {
            float* p = out.At(x, y);
            const float burn = std::clamp(art::Fbm(x * 24.0f / out.w, y * 24.0f / out.h, seed) * 2.0f - 0.7f, 0.0f, 1.0f);
            const float k = 0.55f * (1.0f - 0.8f * burn);
            p[0] = p[0] * k + burn * 0.12f;
            p[1] = p[1] * k + burn * 0.05f;
            p[2] *= k;
        }
    return out;
}

// Copies src into dst at (ox, oy), scaled to (size x size).
void Paste(Picture& dst, const Picture& src, int ox, int oy, int size)
{
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int sx = x * src.w / size, sy = y * src.h / size;
            const float* s = &src.px[(static_cast<size_t>(sy) * src.w + sx) * 4];
            float* d = dst.At(ox + x, oy + y);
            std::copy(s, s + 4, d);
        }
}

bool Write(const std::string& path, const Picture& pic)
{
    return WriteAssetIfChanged(path, pic.ToDds());
}

// The structural bands of every hull file, by the sprite the hull names.
using HullBands = std::map<std::string, std::vector<SIM_ShipHull::Band>>;

HullBands ReadHullBands(const std::string& dataDir)
{
    HullBands bySprite;
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dataDir + "/hulls", ec)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".txt")
            continue;
        SIM_ShipHull hull;
        if (hull.Read(entry.path().string()) && !hull.GetBands().empty())
            bySprite[hull.GetSprite()] = hull.GetBands();
    }
    return bySprite;
}

// Opens the hull where each band runs, as wide as the band's bright core and
// as long as the band, so the band drawn under the ship shows between its
// sections; the sections' cut edges are shaded and catch the band's light.
void OpenBands(Picture& pic, const HullBands& hullBands, const std::string& sprite)
{
    const auto found = hullBands.find(sprite);
    if (found == hullBands.end())
        return;
    const Rgb lit{0.45f, 0.9f, 1.0f};
    for (const SIM_ShipHull::Band& band : found->second) {
        const float ax = (band.x1 + 0.5f) * pic.w, ay = (band.y1 + 0.5f) * pic.h;
        const float bx = (band.x2 + 0.5f) * pic.w, by = (band.y2 + 0.5f) * pic.h;
        const float length = std::hypot(bx - ax, by - ay);
        if (length <= 0.0f)
            continue;
        const float dx = (bx - ax) / length, dy = (by - ay) / length;
        const float half = std::max(1.5f, 0.3f * band.width * pic.w);
        const float rim = 2.5f;
        for (int y = 0; y < pic.h; ++y)
            for (int x = 0; x < pic.w; ++x) {
                float* p = pic.At(x, y);
                if (p[3] <= 0.0f)
                    continue;
                int open = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx) {
                        const float rx = x + (sx + 0.5f) / 4.0f - ax, ry = y + (sy + 0.5f) / 4.0f - ay;
                        const float along = rx * dx + ry * dy, across = std::fabs(ry * dx - rx * dy);
                        open += along >= 0.0f && along <= length && across <= half ? 1 : 0;
                    }
                const float rx = x + 0.5f - ax, ry = y + 0.5f - ay;
                const float along = rx * dx + ry * dy, across = std::fabs(ry * dx - rx * dy);
                if (along >= -rim && along <= length + rim && across < half + rim) {
                    // Darker towards the cut, with a thin lip of the band's glow.
                    const float t = std::clamp((across - half) / rim, 0.0f, 1.0f);
                    const float shade = 0.5f + 0.5f * t, glow = 0.45f * (1.0f - t) * (1.0f - t);
                    p[0] = p[0] * shade * (1.0f - glow) + lit.r * glow;
                    p[1] = p[1] * shade * (1.0f - glow) + lit.g * glow;
                    p[2] = p[2] * shade * (1.0f - glow) + lit.b * glow;
                }
                p[3] *= 1.0f - open / 16.0f;
            }
    }
}

bool WriteHull(const std::string& dir, const std::string& name, void (*draw)(Picture&), uint32_t seed,
               const HullBands& bands)
{
    Picture pic(256, 256);
    draw(pic);
    OpenBands(pic, bands, name + ".dds");
    const Picture damage = Damaged(pic, seed);
    // Hulk sheet: four broken quarters of the scorched hull.
    Picture hulk(512, 512);
    Paste(hulk, damage, 0, 0, 512);
    return Write(dir + name + ".dds", pic) && Write(dir + name + "_damage.dds", damage) &&
           Write(dir + name + "_hulk.dds", hulk);
}

bool WriteFighter(const std::string& dir, const std::string& name, void (*draw)(Picture&), uint32_t seed,
                  const HullBands& bands)
{
    Picture pic(128, 128);
    draw(pic);
    OpenBands(pic, bands, name + ".dds");
    Picture sheet(256, 128);
    Paste(sheet, pic, 0, 0, 128);
    Paste(sheet, Damaged(pic, seed), 128, 0, 128);
    // The plain picture too: screens outside the battle show the hull's own sprite.
    return Write(dir + name + "_sprite.dds", sheet) && Write(dir + name + ".dds", pic);
}

// Eight turrets on a 64-cell sheet: a base ring and barrels pointing up.
bool WriteTurrets(const std::string& path, Rgb hull, Rgb dark, Rgb glow, bool angular)
{
    Picture sheet(512, 512);
    for (int frame = 0; frame < 8; ++frame) {
        Picture cell(256, 256);
        const int barrels = (frame == 1 || frame == 5) ? 2 : 1;
        for (int b = 0; b < barrels; ++b) {
            const float x = barrels == 1 ? 128.0f : 108.0f + 40.0f * b;
            const float len = frame == 2 ? 50.0f : (frame == 4 || frame == 7 ? 110.0f : 90.0f);
            Fill(cell, Rect(x - 12, 128 - len, x + 12, 140), dark, 1.0f, 81, 0.1f);
        }
        if (angular)
            Fill(cell, {{128, 70}, {186, 110}, {186, 170}, {128, 200}, {70, 170}, {70, 110}}, hull, 1.0f, 83);
        else
            Dot(cell, 128, 135, 60, hull);
        Dot(cell, 128, 135, 22, glow, 0.9f);
        Paste(sheet, cell, (frame % 8) * 64, (frame / 8) * 64, 64);
    }
    return Write(path, sheet);
}

// Beams run along v; their brightness profile lies across u.
bool WriteBeam(const std::string& path, Rgb colour, float core, uint32_t seed, bool jagged)
{
    Picture pic(32, 64);
    for (int y = 0; y < pic.h; ++y)
        for (int x = 0; x < pic.w; ++x) {
            float u = (x + 0.5f) / pic.w * 2.0f - 1.0f;
            if (jagged) {
                // Blended with the noise a picture further on, so that the
                // last row meets the first: beams lay the picture end to end.
                const float t = static_cast<float>(y) / static_cast<float>(pic.h);
                const float n = art::Noise(y / 6.0f, 0.5f, seed) * (1.0f - t) +
                                art::Noise((y - pic.h) / 6.0f, 0.5f, seed) * t;
                u += (n - 0.5f) * 0.8f;
            }
            const float glow = std::exp(-u * u * 6.0f);
            const float hot = std::exp(-u * u * 60.0f) * core;
            float* p = pic.At(x, y);
            p[0] = std::min(1.0f, colour.r + hot);
            p[1] = std::min(1.0f, colour.g + hot);
            p[2] = std::min(1.0f, colour.b + hot);
            p[3] = std::clamp(glow + hot, 0.0f, 1.0f);
        }
    return Write(path, pic);
}

bool WriteGlow(const std::string& path, Rgb colour, float stretch, float softness)
{
    Picture pic(64, 64);
    for (int y = 0; y < pic.h; ++y)
        for (int x = 0; x < pic.w; ++x) {
            const float dx = (x + 0.5f) / 32.0f - 1.0f, dy = ((y + 0.5f) / 32.0f - 1.0f) / stretch;
            const float d2 = dx * dx + dy * dy;
            const float a = std::clamp(std::exp(-d2 * softness) - 0.02f, 0.0f, 1.0f);
            const float hot = std::exp(-d2 * softness * 6.0f);
            float* p = pic.At(x, y);
            p[0] = std::min(1.0f, colour.r + hot);
            p[1] = std::min(1.0f, colour.g + hot);
            p[2] = std::min(1.0f, colour.b + hot);
            p[3] = a;
        }
    return Write(path, pic);
}

// The lightning arc: eight flicker cells side by side, each a jagged bolt
// of its own whose last row meets its first (arcs lay it end to end).
bool WriteArcSheet(const std::string& path, Rgb colour, uint32_t seed)
{
    constexpr int kCells = 8, kCell = 32;
    Picture pic(kCells * kCell, 64);
    for (int cell = 0; cell < kCells; ++cell)
        for (int y = 0; y < pic.h; ++y)
            for (int x = 0; x < kCell; ++x) {
                const uint32_t s = seed + static_cast<uint32_t>(cell) * 17u;
                const float t = static_cast<float>(y) / static_cast<float>(pic.h);
                const float n = art::Noise(y / 4.0f, 0.5f, s) * (1.0f - t) + art::Noise((y - pic.h) / 4.0f, 0.5f, s) * t;
                const float u = (x + 0.5f) / kCell * 2.0f - 1.0f + (n - 0.5f) * 1.1f;
                const float glow = std::exp(-u * u * 9.0f);
                const float hot = std::exp(-u * u * 90.0f);
                float* p = pic.At(cell * kCell + x, y);
                p[0] = std::min(1.0f, colour.r + hot);
                p[1] = std::min(1.0f, colour.g + hot);
                p[2] = std::min(1.0f, colour.b + hot);
                p[3] = std::clamp(glow + hot, 0.0f, 1.0f);
            }
    return Write(path, pic);
}

// "plasma.dds": standard core, standard halo, fragmented core, fragmented
// halo, four 64 x 64 cells in a row.
bool WritePlasmaSheet(const std::string& path, Rgb colour, uint32_t seed)
{
    Picture pic(256, 64);
    for (int cell = 0; cell < 4; ++cell)
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const float dx = (x + 0.5f) / 32.0f - 1.0f, dy = (y + 0.5f) / 32.0f - 1.0f;
                const float d2 = dx * dx + dy * dy;
                const bool halo = cell % 2 == 1;
                const bool fragmented = cell >= 2;
                // Fragmented pictures break up into blotches; halos are wisps.
                const float n = art::Noise(x / (fragmented ? 5.0f : 9.0f), y / (fragmented ? 5.0f : 9.0f),
                                           seed + static_cast<uint32_t>(cell));
                float a = halo ? std::exp(-d2 * 2.5f) * (0.35f + 0.65f * n) : std::exp(-d2 * 5.0f);
                if (fragmented)
                    a *= std::clamp(n * 1.8f - 0.3f, 0.0f, 1.0f);
                const float hot = halo ? 0.0f : std::exp(-d2 * 22.0f);
                float* p = pic.At(cell * 64 + x, y);
                p[0] = std::min(1.0f, colour.r + hot);
                p[1] = std::min(1.0f, colour.g + hot);
                p[2] = std::min(1.0f, colour.b + hot);
                p[3] = std::clamp(a - 0.02f + hot, 0.0f, 1.0f);
            }
    return Write(path, pic);
}

bool WriteBackdrop(const std::string& path, Rgb a, Rgb b, uint32_t seed, int stars)
{
    const int side = 1024;
    art::Canvas c(side, side);
    GRandom rnd(seed);
    art::Nebula(c, 320, 360, 460, a.r, a.g, a.b, seed + 1);
    art::Nebula(c, 740, 640, 420, b.r, b.g, b.b, seed + 2);
    art::Stars(c, rnd, stars);
    return WriteAssetIfChanged(path, WriteDdsBGRA(side, side, art::ToneMapBGRA(c).data()));
}

bool GenerateBattleArt(const std::string& dataDir)
{
    const std::string ships = dataDir + "/bitmaps/battle/ships/";
    const std::string fx = dataDir + "/bitmaps/battle/effects/";
    const std::string maps = dataDir + "/bitmaps/battle/backdrops/";
    const HullBands bands = ReadHullBands(dataDir);
    bool ok = WriteHull(ships, "fed_cruiser", FedCruiser, 101, bands) &&
              WriteHull(ships, "fed_frigate", FedFrigate, 102, bands) &&
              WriteHull(ships, "kor_cruiser", KorCruiser, 103, bands) &&
              WriteHull(ships, "kor_frigate", KorFrigate, 104, bands) &&
              WriteFighter(ships, "fed_fighter", FedFighter, 105, bands) &&
              WriteFighter(ships, "kor_fighter", KorFighter, 106, bands);
    Picture generic(128, 128);
    GenericShip(generic);
    ok = ok && Write(ships + "ship.dds", generic);
    ok = ok && WriteTurrets(ships + "fed_turrets.dds", kFedHull, kFedDark, kFedGlow, false) &&
         WriteTurrets(ships + "kor_turrets.dds", kKorHull, kKorDark, kKorGlow, true);

    struct BeamArt {
        const char* name;
        Rgb colour;
        float core;
        bool jagged;
    };
    const BeamArt beams[] = {
        {"beam_laser_blue.dds", {0.25f, 0.55f, 1.0f}, 0.9f, false},
        {"beam_shieldsupport.dds", {0.2f, 1.0f, 0.6f}, 0.6f, false}, {"beam_targetpainter.dds", {1.0f, 0.15f, 0.1f}, 0.4f, false},
        {"beam_tractor.dds", {0.5f, 1.0f, 0.3f}, 0.3f, false},       {"beam_ecm.dds", {0.8f, 0.35f, 1.0f}, 0.7f, true},
        {"beam_pointdefence.dds", {1.0f, 0.85f, 0.3f}, 0.8f, false}, {"beam_grain.dds", {0.6f, 0.6f, 0.7f}, 0.2f, true},
        {"ecm_shock.dds", {0.7f, 0.4f, 1.0f}, 0.8f, true},
    };
    for (const BeamArt& b : beams)
        ok = ok && WriteBeam(fx + b.name, b.colour, b.core, 200, b.jagged);
    ok = ok && WriteArcSheet(fx + "beam_lightning.dds", {0.6f, 0.7f, 1.0f}, 210) &&
         WritePlasmaSheet(fx + "plasma.dds", {0.9f, 0.4f, 1.0f}, 220);

    struct GlowArt {
        const char* name;
        Rgb colour;
        float stretch;
        float softness;
    };
    const GlowArt glows[] = {
        {"engine_glow_blue.dds", {0.3f, 0.6f, 1.0f}, 1.6f, 3.0f}, {"engine_glow_orange.dds", {1.0f, 0.5f, 0.15f}, 1.6f, 3.0f},
        {"power_glow_blue.dds", {0.3f, 0.6f, 1.0f}, 1.0f, 4.0f},  {"power_glow_orange.dds", {1.0f, 0.5f, 0.15f}, 1.0f, 4.0f},
        {"blast_laser.dds", {0.4f, 0.7f, 1.0f}, 1.0f, 3.0f},      {"blast_pulse.dds", {0.5f, 1.0f, 0.6f}, 1.0f, 3.0f},
        {"bullet_pulse.dds", {0.4f, 1.0f, 0.5f}, 1.5f, 5.0f},     {"plasma_torpedo.dds", {0.9f, 0.4f, 1.0f}, 1.0f, 2.5f},
        {"shell_kinetic.dds", {1.0f, 0.9f, 0.6f}, 1.8f, 6.0f},
    };
    for (const GlowArt& g : glows)
        ok = ok && WriteGlow(fx + g.name, g.colour, g.stretch, g.softness);

    ok = ok && WriteBackdrop(maps + "backdrop_blue.dds", {0.10f, 0.22f, 0.55f}, {0.20f, 0.12f, 0.45f}, 301, 3600) &&
         WriteBackdrop(maps + "backdrop_red.dds", {0.55f, 0.12f, 0.10f}, {0.35f, 0.10f, 0.30f}, 302, 3600) &&
         WriteBackdrop(maps + "backdrop_dust.dds", {0.40f, 0.30f, 0.18f}, {0.25f, 0.22f, 0.20f}, 303, 2400) &&
         WriteBackdrop(maps + "backdrop_nebula.dds", {0.45f, 0.15f, 0.50f}, {0.10f, 0.40f, 0.50f}, 304, 3000);
    return ok;
}

} // namespace

QLM_GENERATOR(battle_art, GenerateBattleArt);
