// What guns and missiles show in flight: the bullet sheet (nine bolts, the
// cells a weapon's colour picks), the kinetic gun's muzzle picture (two flash
// frames and eight tracer streaks), the missile flares (a strip of four) and
// the limpet sheet (four body frames over its glow).
// All drawn for additive blending: the colour is in the picture, the alpha
// says how strongly it adds. Bolts, flashes and streaks lead with the
// picture's top edge, as the game turns them.
#include "AssetGen.h"
#include "ArtCommon.h"

#include <algorithm>
#include <cmath>

namespace {

void Set(float c[4], float r, float g, float b, float a)
{
    c[0] = r;
    c[1] = g;
    c[2] = b;
    c[3] = std::clamp(a, 0.0f, 1.0f);
}

struct Rgb {
    float r, g, b;
};

// One bolt in its cell, x and y in -1..1, the head toward y = -1: a hot
// white core in a coloured glow, with a short fading tail.
void Bolt(float x, float y, Rgb tint, float c[4])
{
    const float tail = y > 0.0f ? 1.0f + y * 1.5f : 1.0f;
    const float core = std::exp(-(x * x * 18.0f + y * y * 2.2f * tail));
    const float glow = std::exp(-(x * x * 4.0f + y * y * 1.1f * tail)) * 0.75f;
    const float edge = 1.0f - art::Smooth(0.85f, 1.0f, std::max(std::fabs(x), std::fabs(y)));
    const float a = (core + glow) * edge;
    Set(c, tint.r + (1.0f - tint.r) * core, tint.g + (1.0f - tint.g) * core, tint.b + (1.0f - tint.b) * core, a);
}

// Cells as the bullet weapons read them: four narrow and two wide ones on
// the upper row, three narrow ones on the lower; the rest stays clear.
void BulletSheet(float u, float v, float c[4])
{
    static const Rgb kTints[9] = {
        {1.0f, 0.25f, 0.2f}, {1.0f, 0.7f, 0.2f},  {0.35f, 1.0f, 0.35f}, {0.3f, 0.55f, 1.0f}, {0.35f, 1.0f, 0.6f},
        {0.75f, 0.4f, 1.0f}, {0.9f, 0.9f, 1.0f}, {1.0f, 0.35f, 0.85f}, {0.3f, 0.95f, 1.0f},
    };
    const int row = v < 0.5f ? 0 : 1;
    float u0, u1;
    int cell;
    if (row == 0 && u >= 0.5f) {
        cell = u < 0.75f ? 4 : 5;
        u0 = cell == 4 ? 0.5f : 0.75f;
        u1 = u0 + 0.25f;
    } else {
        const int column = std::min(3, static_cast<int>(u / 0.125f));
        cell = row == 0 ? column : 6 + column;
        u0 = column * 0.125f;
        u1 = u0 + 0.125f;
    }
    if (cell > 8) {
        Set(c, 0.0f, 0.0f, 0.0f, 0.0f);
        return;
    }
    const float x = (u - u0) / (u1 - u0) * 2.0f - 1.0f;
    const float y = (v - row * 0.5f) / 0.5f * 2.0f - 1.0f;
    Bolt(x, y, kTints[cell], c);
}

// Left half: two frames of a flash opening forward from the muzzle (bottom
// of the frame). Right half: eight tracer streaks, four above four.
void KineticMuzzle(float u, float v, float c[4])
{
    if (u < 0.5f) {
        const int frame = u < 0.25f ? 0 : 1;
        const float x = (u - frame * 0.25f) / 0.25f * 2.0f - 1.0f;
        const float along = 1.0f - v; // 0 at the muzzle, 1 at the flash's tip
        const float width = 0.25f + 0.6f * along * (frame ? 0.8f : 1.0f);
        const float cone = std::exp(-(x * x) / (width * width) * 2.5f) * (1.0f - art::Smooth(0.55f, 1.0f, along));
        const float n = art::Noise(x * 4.0f + frame * 9.0f, along * 6.0f, 611);
        const float a = cone * (0.7f + 0.3f * n);
        const float hot = std::exp(-(x * x * 6.0f + along * along * 8.0f));
        Set(c, 1.0f, 0.75f + 0.25f * hot, 0.35f + 0.6f * hot, a + hot * 0.5f);
        return;
    }
    const int column = std::min(3, static_cast<int>((u - 0.5f) / 0.125f));
    const int row = v < 0.5f ? 0 : 1;
    const int k = row * 4 + column;
    const float x = (u - 0.5f - column * 0.125f) / 0.125f * 2.0f - 1.0f;
    const float y = (v - row * 0.5f) / 0.5f; // 0 at the head, 1 at the tail
    const float thin = 0.18f + 0.04f * static_cast<float>(k % 3);
    const float line = std::exp(-(x * x) / (thin * thin));
    const float fade = (1.0f - y) * (1.0f - art::Smooth(0.9f, 1.0f, std::fabs(x)));
    Set(c, 1.0f, 0.85f + 0.1f * line, 0.5f + 0.4f * line, line * fade);
}

// Four exhaust flares side by side: orange, blue, green and violet.
void MissileFlares(float u, float v, float c[4])
{
    static const Rgb kTints[4] = {{1.0f, 0.6f, 0.25f}, {0.4f, 0.65f, 1.0f}, {0.45f, 1.0f, 0.5f}, {0.85f, 0.5f, 1.0f}};
    const int cell = std::min(3, static_cast<int>(u * 4.0f));
    const float x = (u * 4.0f - cell) * 2.0f - 1.0f, y = v * 2.0f - 1.0f;
    const float d = std::sqrt(x * x + y * y);
    const float core = std::exp(-d * d * 9.0f);
    const float glow = std::exp(-d * d * 2.5f) * 0.8f * (1.0f - art::Smooth(0.8f, 1.0f, d));
    const Rgb t = kTints[cell];
    Set(c, t.r + (1.0f - t.r) * core, t.g + (1.0f - t.g) * core, t.b + (1.0f - t.b) * core, core + glow);
}

// Upper half: four frames of a limpet, a dark studded disc whose four
// clamps lie flat and whose beacon blinks, drawn with normal blending.
// Lower half, first quarter: the soft glow drawn behind it, additive.
void LimpetSheet(float u, float v, float c[4])
{
    const int cell = std::min(3, static_cast<int>(u * 4.0f));
    const float x = (u * 4.0f - static_cast<float>(cell)) * 2.0f - 1.0f;
    if (v >= 0.5f) {
        const float y = (v - 0.5f) * 4.0f - 1.0f;
        const float d = std::sqrt(x * x + y * y);
        const float glow = cell == 0 ? std::exp(-d * d * 3.0f) * (1.0f - art::Smooth(0.8f, 1.0f, d)) : 0.0f;
        Set(c, 1.0f, 0.55f + 0.35f * std::exp(-d * d * 10.0f), 0.25f, glow);
        return;
    }
    const float y = v * 4.0f - 1.0f;
    const float d = std::sqrt(x * x + y * y);
    const float disc = 1.0f - art::Smooth(0.5f, 0.58f, d);
    // The clamps: four short prongs on the diagonals.
    const float diagonal = std::min(std::fabs(x - y), std::fabs(x + y)) / 1.41421356f;
    const float prong = (1.0f - art::Smooth(0.07f, 0.12f, diagonal)) * (1.0f - art::Smooth(0.8f, 0.88f, d));
    const float body = std::max(disc, prong);
    const float metal = 0.28f + 0.12f * art::Noise(x * 6.0f, y * 6.0f, 733) + 0.15f * (1.0f - d);
    // The beacon at the centre: off, dim, bright, dim.
    static const float kBlink[4] = {0.0f, 0.5f, 1.0f, 0.5f};
    const float beacon = std::exp(-d * d * 60.0f) * kBlink[cell];
    Set(c, metal + (1.0f - metal) * beacon, metal * (1.0f - beacon) + 0.15f * beacon, metal * (1.0f - beacon),
        std::max(body, beacon));
}

bool GenerateProjectileArt(const std::string& dataDir)
{
    return art::WriteDrawnPictures(dataDir + "/bitmaps/effects/",
                                   {
                                       {"bullets.dds", 256, 128, BulletSheet},
                                       {"missile_flare.dds", 128, 32, MissileFlares},
                                       {"limpet_mine.dds", 128, 64, LimpetSheet},
                                   }) &&
           art::WriteDrawnPictures(dataDir + "/bitmaps/battle/effects/",
                                   {
                                       {"blast_kinetic.dds", 256, 128, KineticMuzzle},
                                   });
}

} // namespace

QLM_GENERATOR(projectile_art, GenerateProjectileArt);
