// Battle effect sprites the interface preloads: smoke, debris, shield impacts
// and collapses, contrails and escape pods. White or grey with alpha where the
// game tints them, so one picture serves both teams.
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


// Frame (cell) of a square sheet of side cells and the position inside it.
void Cell(float u, float v, int side, int& index, float& cu, float& cv)
{
    int cx = std::min(side - 1, static_cast<int>(u * side));
    int cy = std::min(side - 1, static_cast<int>(v * side));
    index = cy * side + cx;
    cu = u * side - cx;
    cv = v * side - cy;
}

void Smoke(float u, float v, float c[4])
{
    int index;
    float cu, cv;
    Cell(u, v, 4, index, cu, cv);
    float dx = cu - 0.5f, dy = cv - 0.5f;
    float d = std::sqrt(dx * dx + dy * dy) * 2.0f;
    float n = art::Fbm(cu * 4.0f + index * 7.3f, cv * 4.0f + index * 3.1f, 41);
    float a = (1.0f - Smooth(0.35f, 1.0f, d + (n - 0.5f) * 0.5f)) * (0.55f + 0.45f * n);
    float g = 0.55f + 0.35f * n;
    c[0] = c[1] = c[2] = g;
    c[3] = a * 0.85f;
}

void Debris(float u, float v, float c[4])
{
    int index;
    float cu, cv;
    Cell(u, v, 4, index, cu, cv);
    // An irregular chunk: a polygon-ish blob whose radius wobbles with angle.
    float dx = cu - 0.5f, dy = cv - 0.5f;
    float angle = std::atan2(dy, dx);
    float radius = 0.26f + 0.09f * std::sin(angle * (3 + index % 3) + index) + 0.04f * std::sin(angle * 7 + index * 2);
    float d = std::sqrt(dx * dx + dy * dy);
    if (d > radius) {
        c[3] = 0;
        return;
    }
    float shade = 0.35f + 0.35f * (0.5f - dy) + 0.2f * art::Noise(cu * 18, cv * 18, 90 + index);
    float edge = Smooth(radius, radius - 0.03f, d);
    c[0] = shade * 0.95f;
    c[1] = shade * 0.9f;
    c[2] = shade * 0.85f;
    c[3] = edge;
}

void ShieldImpact(float u, float v, float c[4])
{
    float dx = u - 0.5f, dy = v - 0.5f;
    float d = std::sqrt(dx * dx + dy * dy) * 2.0f;
    float ring = std::exp(-std::pow((d - 0.62f) / 0.14f, 2.0f));
    float core = std::exp(-d * d * 9.0f) * 0.8f;
    float a = std::clamp(ring + core, 0.0f, 1.0f) * (d < 1.0f ? 1.0f : 0.0f);
    c[0] = 0.7f + 0.3f * core;
    c[1] = 0.9f;
    c[2] = 1.0f;
    c[3] = a;
}

void ShieldCollapse(float u, float v, float c[4])
{
    int index;
    float cu, cv;
    Cell(u, v, 4, index, cu, cv);
    // Sixteen frames of a ring that widens and breaks apart.
    float t = index / 15.0f;
    float dx = cu - 0.5f, dy = cv - 0.5f;
    float d = std::sqrt(dx * dx + dy * dy) * 2.0f;
    float angle = std::atan2(dy, dx);
    float radius = 0.3f + 0.6f * t;
    float broken = 0.5f + 0.5f * std::sin(angle * 9.0f + t * 12.0f);
    float ring = std::exp(-std::pow((d - radius) / (0.06f + 0.08f * t), 2.0f));
    float a = ring * (1.0f - t * 0.8f) * (1.0f - t * broken * 0.9f);
    c[0] = 0.6f;
    c[1] = 0.85f;
    c[2] = 1.0f;
    c[3] = std::clamp(a, 0.0f, 1.0f) * (d < 1.0f ? 1.0f : 0.0f);
}

void Contrail(float u, float v, float c[4])
{
    // Four trail styles, one per quarter: soft across (u), even along (v);
    // the trail's length comes from the strip drawn.
    static const float tints[4][3] = {{1.0f, 1.0f, 1.0f}, {0.8f, 0.9f, 1.0f}, {1.0f, 0.85f, 0.6f}, {0.75f, 1.0f, 0.8f}};
    const int style = (v < 0.5f ? 0 : 2) + (u < 0.5f ? 0 : 1);
    const float cu = std::fmod(u, 0.5f) * 2.0f;
    float across = std::exp(-std::pow((cu - 0.5f) / 0.22f, 2.0f));
    float grain = 0.85f + 0.15f * art::Noise(u * 6.0f, v * 24.0f, 5);
    c[0] = tints[style][0];
    c[1] = tints[style][1];
    c[2] = tints[style][2];
    c[3] = across * grain;
}

void EscapePod(float u, float v, float c[4])
{
    float dx = (u - 0.5f) / 0.22f, dy = (v - 0.5f) / 0.36f;
    float d = dx * dx + dy * dy;
    if (d > 1.0f) {
        c[3] = 0;
        return;
    }
    float light = 0.55f + 0.4f * (0.5f - u) + (v < 0.3f ? 0.15f : 0.0f);
    bool window = std::fabs(u - 0.5f) < 0.07f && std::fabs(v - 0.32f) < 0.05f;
    c[0] = window ? 0.5f : light * 0.92f;
    c[1] = window ? 0.85f : light * 0.92f;
    c[2] = window ? 1.0f : light;
    c[3] = Smooth(1.0f, 0.85f, d);
}

void EscapePodEngine(float u, float v, float c[4])
{
    float dx = u - 0.5f, dy = v - 0.5f;
    float d = std::sqrt(dx * dx + dy * dy) * 2.0f;
    float glow = std::exp(-d * d * 5.0f);
    c[0] = 1.0f;
    c[1] = 0.75f + 0.25f * glow;
    c[2] = 0.4f + 0.6f * glow;
    c[3] = glow * (d < 1.0f ? 1.0f : 0.0f);
}

bool GenerateEffects(const std::string& dataDir)
{
    const std::string dir = dataDir + "/bitmaps/effects/";
    return art::WriteDrawnPictures(dir, {
        {"smokeclouds.dds", 256, 256, Smoke},          {"debris.dds", 128, 128, Debris},
        {"shield_impact.dds", 128, 128, ShieldImpact}, {"shield_collapse.dds", 256, 256, ShieldCollapse},
        {"contrails.dds", 64, 128, Contrail},          {"escapepod.dds", 32, 32, EscapePod},
        {"escapepodengines.dds", 32, 32, EscapePodEngine},
    });
}

} // namespace

QLM_GENERATOR(effects, GenerateEffects);
