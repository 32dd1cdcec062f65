// The battle's combat effects: the particle sheet every emitter draws from
// (8 x 4 frames: fire, smoke, sparks, glows, dark smoke, shield sparks,
// chips, flares), the shield bubbles of both races with their blast arc and
// scroll mask, and the missile's body. Straight alpha; the
// particles draw white-tinted, so their colour is in the picture.
#include "AssetGen.h"
#include "ArtCommon.h"

#include "platform/DdsImage.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

using art::PixelFn;
using art::Smooth;


void Set(float c[4], float r, float g, float b, float a)
{
    c[0] = r;
    c[1] = g;
    c[2] = b;
    c[3] = a;
}

// One frame of the particle sheet; (x, y) from the frame's centre, -1..1.
void ParticleFrame(int frame, float x, float y, float c[4])
{
    const int kind = frame / 4, variant = frame % 4;
    const float d = std::sqrt(x * x + y * y);
    const uint32_t seed = 300u + static_cast<uint32_t>(frame);
    const float n = art::Fbm(x * 2.5f + 4.0f + variant, y * 2.5f + 4.0f, seed);
    switch (kind) {
    case 0: { // fire: white-hot core, orange body, ragged edge
        const float edge = 1.0f - Smooth(0.45f, 1.0f, d + (n - 0.5f) * 0.6f);
        const float core = std::exp(-d * d * 6.0f);
        Set(c, 1.0f, 0.45f + 0.5f * core + 0.1f * n, 0.1f + 0.7f * core * core, edge * (0.7f + 0.3f * n));
        return;
    }
    case 1: { // grey smoke puff
        const float edge = 1.0f - Smooth(0.3f, 1.0f, d + (n - 0.5f) * 0.5f);
        const float g = 0.5f + 0.3f * n;
        Set(c, g, g, g * 1.02f, edge * (0.45f + 0.45f * n));
        return;
    }
    case 2: { // sparks: a bright streak with a hot centre
        const float along = std::fabs(variant % 2 ? y : x), across = std::fabs(variant % 2 ? x : y);
        const float streak = std::exp(-across * across * 60.0f) * (1.0f - Smooth(0.3f, 0.95f, along));
        const float dot = std::exp(-d * d * 12.0f);
        const float a = std::max(streak, dot);
        Set(c, 1.0f, 0.85f + 0.15f * dot, 0.5f + 0.5f * dot, a);
        return;
    }
    case 3: { // glows: soft round light, warm to white
        const float g = std::exp(-d * d * (2.5f + variant));
        Set(c, 1.0f, 0.8f + 0.2f * g, 0.55f + 0.45f * g, g * (d < 1.0f ? 1.0f : 0.0f));
        return;
    }
    case 4: { // dark smoke
        const float edge = 1.0f - Smooth(0.3f, 1.0f, d + (n - 0.5f) * 0.6f);
        const float g = 0.08f + 0.12f * n;
        Set(c, g, g, g, edge * (0.6f + 0.35f * n));
        return;
    }
    case 5: { // shield sparks: blue-white
        const float g = std::exp(-d * d * 9.0f);
        const float ring = std::exp(-(d - 0.5f) * (d - 0.5f) * 40.0f) * 0.4f;
        Set(c, 0.6f + 0.4f * g, 0.8f + 0.2f * g, 1.0f, std::max(g, ring) * (d < 1.0f ? 1.0f : 0.0f));
        return;
    }
    case 6: { // chips of hull: irregular dark-grey shards
        const float angle = std::atan2(y, x);
        const float r = 0.5f + 0.2f * std::sin(angle * (3 + variant) + variant) + 0.1f * std::sin(angle * 7.0f);
        const float inside = d < r ? 1.0f : 0.0f;
        const float shade = 0.3f + 0.3f * (0.5f - y * 0.5f) + 0.15f * n;
        Set(c, shade, shade * 0.95f, shade * 0.9f, inside);
        return;
    }
    default: { // flares: a star with four or six rays
        const int rays = variant % 2 ? 6 : 4;
        const float angle = std::atan2(y, x);
        const float ray = std::pow(std::fabs(std::cos(angle * rays * 0.5f)), 40.0f) * (1.0f - Smooth(0.1f, 1.0f, d));
        const float core = std::exp(-d * d * 10.0f);
        Set(c, 1.0f, 0.95f, 0.85f + 0.15f * core, std::clamp(ray + core, 0.0f, 1.0f));
        return;
    }
    }
}

void Particles(float u, float v, float c[4])
{
    const int column = std::min(7, static_cast<int>(u * 8.0f));
    const int row = std::min(3, static_cast<int>(v * 4.0f));
    // A margin of clear texels keeps a frame from bleeding into its neighbour.
    const float x = (u * 8.0f - column) * 2.0f - 1.0f, y = (v * 4.0f - row) * 2.0f - 1.0f;
    if (std::fabs(x) > 0.94f || std::fabs(y) > 0.94f) {
        Set(c, 0, 0, 0, 0);
        return;
    }
    ParticleFrame(row * 8 + column, x / 0.94f, y / 0.94f, c);
}

// A quarter of the bubble: the ring's centre is the picture's bottom-right
// corner, as the quarter-turned quad expects.
PixelFn ShieldBubble(float r, float g, float b)
{
    return [r, g, b](float u, float v, float c[4]) {
        const float x = 1.0f - u, y = 1.0f - v;
        const float d = std::sqrt(x * x + y * y);
        const float rim = std::exp(-(d - 0.93f) * (d - 0.93f) * 400.0f);
        const float body = d < 0.95f ? 0.25f + 0.45f * d * d : 0.0f;
        const float hex = 0.08f * art::Noise(u * 24.0f, v * 24.0f, 77);
        Set(c, r, g, b, std::clamp(rim + body + hex * (d < 0.95f ? 1.0f : 0.0f), 0.0f, 1.0f));
    };
}

// The arc a shot leaves: a bright crescent on the bubble's top edge, turned
// to where the shot struck.
void ShieldBlast(float u, float v, float c[4])
{
    const float x = u * 2.0f - 1.0f, y = v * 2.0f - 1.0f;
    const float d = std::sqrt(x * x + y * y);
    const float angle = std::atan2(x, -y); // 0 up the picture
    const float spread = std::exp(-angle * angle * 3.0f);
    const float ring = std::exp(-(d - 0.9f) * (d - 0.9f) * 120.0f);
    Set(c, 0.75f, 0.9f, 1.0f, std::clamp(ring * spread * 1.4f, 0.0f, 1.0f));
}

void ShieldScroll(float u, float v, float c[4])
{
    const float n = art::Fbm(u * 6.0f, v * 6.0f, 91);
    const float band = 0.5f + 0.5f * std::sin((v + n * 0.3f) * 18.0f);
    // The bands are in the alpha too: the shield's sweep takes only its
    // shape from this picture and its colour from the blast.
    Set(c, band, band, band, band);
}

// A missile seen from above, nose up, with a hot exhaust at the tail.
void Missile(float u, float v, float c[4])
{
    const float x = u * 2.0f - 1.0f, y = v * 2.0f - 1.0f;
    const float bodyHalf = 0.18f * (y < -0.5f ? (y + 1.0f) / 0.5f : 1.0f);
    if (std::fabs(x) < bodyHalf && y < 0.6f) {
        const float shade = 0.55f + 0.35f * (1.0f - std::fabs(x) / std::max(bodyHalf, 0.01f));
        Set(c, shade, shade, shade * 1.05f, 1.0f);
        return;
    }
    const bool fin = y > 0.25f && y < 0.6f && std::fabs(x) < 0.42f - (0.6f - y) * 0.4f;
    if (fin) {
        Set(c, 0.35f, 0.38f, 0.42f, 1.0f);
        return;
    }
    const float flame = std::exp(-(x * x * 20.0f + (y - 0.8f) * (y - 0.8f) * 30.0f));
    Set(c, 1.0f, 0.7f + 0.3f * flame, 0.3f + 0.5f * flame, flame);
}

bool GenerateBattleFx(const std::string& dataDir)
{
    const std::string dir = dataDir + "/bitmaps/effects/";
    return art::WriteDrawnPictures(dir, {
        {"particles.dds", 512, 256, Particles},
        {"shield_blue.dds", 128, 128, ShieldBubble(0.45f, 0.75f, 1.0f)},
        {"shield_red.dds", 128, 128, ShieldBubble(1.0f, 0.5f, 0.4f)},
        {"shield_blast2.dds", 256, 256, ShieldBlast},
        {"shield_scroll.dds", 128, 128, ShieldScroll},
        {"missile.dds", 32, 32, Missile},
    });
}

} // namespace

QLM_GENERATOR(battlefx, GenerateBattleFx);
