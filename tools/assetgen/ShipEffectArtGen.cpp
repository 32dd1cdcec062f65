// Pictures of the effects laid over and around ships: flame masks, lights,
// break-up masks, rings and flashes of blasts, armour and radiation splats,
// repair bots and their sparks, structural bands, ECM crackle, smart-bomb
// flashes and the wrecks fighters leave. Masks are white with the shape in
// alpha; coloured pictures carry straight colour.
#include "AssetGen.h"
#include "ArtCommon.h"

#include <algorithm>
#include <cmath>

namespace {

using art::Smooth;

constexpr float kPi = 3.14159265f;

float Len(float x, float y)
{
    return std::sqrt(x * x + y * y);
}

// A flame's colours running along v: white-hot, then blue, then fading.
void EngineColours(float u, float v, float c[4])
{
    const float across = std::exp(-std::pow((u - 0.5f) / 0.3f, 2.0f));
    const float n = art::Noise(u * 6.0f, v * 10.0f, 211);
    c[0] = 0.5f + 0.5f * n;
    c[1] = 0.7f + 0.3f * n;
    c[2] = 1.0f;
    c[3] = std::clamp(across * (0.55f + 0.45f * n), 0.0f, 1.0f);
}

// Four navigation lights in a 2 x 2 sheet: white, red, green, amber.
void RunningLights(float u, float v, float c[4])
{
    static const float colours[4][3] = {{1, 1, 1}, {1, 0.25f, 0.2f}, {0.3f, 1, 0.35f}, {1, 0.75f, 0.25f}};
    const int cell = (v < 0.5f ? 0 : 2) + (u < 0.5f ? 0 : 1);
    const float cu = std::fmod(u, 0.5f) * 2.0f - 0.5f, cv = std::fmod(v, 0.5f) * 2.0f - 0.5f;
    const float d = Len(cu, cv) * 2.0f;
    const float glow = std::exp(-d * d * 6.0f), core = std::exp(-d * d * 40.0f);
    c[0] = std::min(1.0f, colours[cell][0] + core);
    c[1] = std::min(1.0f, colours[cell][1] + core);
    c[2] = std::min(1.0f, colours[cell][2] + core);
    c[3] = d < 1.0f ? glow : 0.0f;
}

// Four ragged masks that cut a square piece of hull out of its cell.
void BreakupAlpha(float u, float v, float c[4])
{
    const int cell = (v < 0.5f ? 0 : 2) + (u < 0.5f ? 0 : 1);
    const float cu = std::fmod(u, 0.5f) * 2.0f, cv = std::fmod(v, 0.5f) * 2.0f;
    const float edge = std::min(std::min(cu, 1.0f - cu), std::min(cv, 1.0f - cv));
    const float n = art::Noise(cu * 9.0f, cv * 9.0f, 300 + cell) * 0.22f;
    c[0] = c[1] = c[2] = 1.0f;
    c[3] = Smooth(0.02f, 0.06f, edge - n + 0.08f);
}

// One quarter of a ring: the picture's bottom-right corner is the centre.
void ShockwaveQuarter(float u, float v, float c[4])
{
    const float d = Len(1.0f - u, 1.0f - v);
    const float ring = std::exp(-std::pow((d - 0.86f) / 0.07f, 2.0f));
    const float inner = std::exp(-std::pow((d - 0.7f) / 0.2f, 2.0f)) * 0.25f;
    c[0] = 0.75f;
    c[1] = 0.88f;
    c[2] = 1.0f;
    c[3] = d < 1.0f ? std::clamp(ring + inner, 0.0f, 1.0f) : 0.0f;
}

// One quarter of a bright flash with rays.
void BlastGlareQuarter(float u, float v, float c[4])
{
    const float dx = 1.0f - u, dy = 1.0f - v;
    const float d = Len(dx, dy);
    const float a = std::atan2(dy, dx);
    const float rays = std::pow(std::fabs(std::cos(a * 4.0f)), 12.0f) * std::exp(-d * 3.0f) * 0.6f;
    const float glow = std::exp(-d * d * 5.0f);
    c[0] = 1.0f;
    c[1] = 0.9f + 0.1f * glow;
    c[2] = 0.7f + 0.3f * glow;
    c[3] = d < 1.0f ? std::clamp(glow + rays, 0.0f, 1.0f) * Smooth(1.0f, 0.8f, d) : 0.0f;
}

void ArmourGlow(float u, float v, float c[4])
{
    const float d = Len(u - 0.5f, v - 0.5f) * 2.0f;
    const float ring = std::exp(-std::pow((d - 0.6f) / 0.25f, 2.0f));
    c[0] = 1.0f;
    c[1] = 0.7f + 0.3f * ring;
    c[2] = 0.3f;
    c[3] = d < 1.0f ? ring * Smooth(1.0f, 0.85f, d) : 0.0f;
}

// A 2 x 2 sheet of green radiation blotches.
void Radiation(float u, float v, float c[4])
{
    const int cell = (v < 0.5f ? 0 : 2) + (u < 0.5f ? 0 : 1);
    const float cu = std::fmod(u, 0.5f) * 2.0f - 0.5f, cv = std::fmod(v, 0.5f) * 2.0f - 0.5f;
    const float n = art::Fbm(cu * 5.0f + cell * 3.1f, cv * 5.0f, 401 + cell);
    const float d = Len(cu, cv) * 2.0f + (n - 0.5f) * 0.6f;
    c[0] = 0.45f + 0.3f * n;
    c[1] = 1.0f;
    c[2] = 0.25f;
    c[3] = std::clamp(1.0f - d, 0.0f, 1.0f) * (0.6f + 0.4f * n);
}

// Eight columns of jagged sparks, each running the full height.
void Lightning(float u, float v, float c[4])
{
    const int column = std::min(7, static_cast<int>(u * 8.0f));
    const float cu = u * 8.0f - column;
    const float path = 0.5f + 0.3f * (art::Noise(v * 12.0f, column * 5.0f, 500) - 0.5f) * 2.0f;
    const float d = std::fabs(cu - path);
    const float a = std::exp(-d * d * 200.0f) + std::exp(-d * d * 20.0f) * 0.3f;
    c[0] = 0.7f + 0.3f * a;
    c[1] = 0.85f + 0.15f * a;
    c[2] = 1.0f;
    c[3] = std::clamp(a, 0.0f, 1.0f);
}

// Four tiny drones in a 2 x 2 sheet.
void RepairBots(float u, float v, float c[4])
{
    const int cell = (v < 0.5f ? 0 : 2) + (u < 0.5f ? 0 : 1);
    const float cu = std::fmod(u, 0.5f) * 2.0f - 0.5f, cv = std::fmod(v, 0.5f) * 2.0f - 0.5f;
    const float d = Len(cu, cv);
    const bool body = d < 0.28f;
    const bool arm = std::fabs(cu) < 0.05f + 0.02f * cell && std::fabs(cv) < 0.42f;
    const bool eye = d < 0.09f;
    c[0] = eye ? 0.3f : 0.75f;
    c[1] = eye ? 1.0f : 0.78f;
    c[2] = eye ? 0.5f : 0.82f;
    c[3] = (body || arm) ? 1.0f : 0.0f;
}

// The band's flow: soft across, bright knots repeating along.
void TractorAlpha(float u, float v, float c[4])
{
    const float across = std::exp(-std::pow((v - 0.5f) / 0.25f, 2.0f));
    const float knots = 0.55f + 0.45f * std::sin(u * 4.0f * 2.0f * kPi);
    c[0] = c[1] = c[2] = 1.0f;
    c[3] = across * knots;
}

void TractorColour(float u, float v, float c[4])
{
    const float n = art::Noise(u * 4.0f, v * 4.0f, 610);
    c[0] = 0.35f + 0.2f * n;
    c[1] = 0.8f + 0.2f * n;
    c[2] = 1.0f;
    c[3] = 1.0f;
}

void EcmShock(float u, float v, float c[4])
{
    const float n1 = art::Noise(u * 16.0f, v * 16.0f, 700), n2 = art::Noise(u * 33.0f, v * 29.0f, 701);
    const float crackle = std::pow(std::clamp(1.0f - std::fabs(n1 - 0.5f) * 8.0f, 0.0f, 1.0f), 2.0f);
    c[0] = 0.75f + 0.25f * n2;
    c[1] = 0.5f + 0.3f * n2;
    c[2] = 1.0f;
    c[3] = std::clamp(crackle + n2 * 0.15f, 0.0f, 1.0f);
}

void SmartBombAlpha(float u, float v, float c[4])
{
    const float d = Len(u - 0.5f, v - 0.5f) * 2.0f;
    const float ring = std::exp(-std::pow((d - 0.8f) / 0.12f, 2.0f));
    c[0] = c[1] = c[2] = 1.0f;
    c[3] = d < 1.0f ? std::clamp(ring + std::exp(-d * d * 3.0f) * 0.35f, 0.0f, 1.0f) : 0.0f;
}

void SmartBombColour(float u, float v, float c[4])
{
    const float n = art::Fbm(u * 3.0f, v * 3.0f, 800);
    c[0] = 1.0f;
    c[1] = 0.55f + 0.4f * n;
    c[2] = 0.2f + 0.3f * n;
    c[3] = 1.0f;
}

// Sixteen charred fighter wrecks in a 4 x 4 sheet.
void FighterHulks(float u, float v, float c[4])
{
    const int cx = std::min(3, static_cast<int>(u * 4.0f)), cy = std::min(3, static_cast<int>(v * 4.0f));
    const int cell = cy * 4 + cx;
    const float lu = u * 4.0f - cx - 0.5f, lv = v * 4.0f - cy - 0.5f;
    const float a = std::atan2(lv, lu);
    const float radius = 0.3f + 0.08f * std::sin(a * (3 + cell % 4) + cell) + 0.05f * std::sin(a * 7.0f + cell);
    const float d = Len(lu, lv);
    const float n = art::Noise(lu * 12.0f + cell, lv * 12.0f, 900);
    const float shade = 0.18f + 0.25f * n + 0.15f * (0.5f - lv);
    c[0] = shade * 1.1f;
    c[1] = shade * 0.95f;
    c[2] = shade * 0.85f;
    c[3] = Smooth(radius, radius - 0.04f, d);
}

bool GenerateShipEffects(const std::string& dataDir)
{
    const std::string fx = dataDir + "/bitmaps/battle/effects/";
    const std::string ships = dataDir + "/bitmaps/battle/ships/";
    return art::WriteDrawnPictures(fx, {
               {"engine_colors.dds", 32, 128, EngineColours},
               {"runninglight.dds", 64, 64, RunningLights},
               {"breakup_alpha.dds", 128, 128, BreakupAlpha},
               {"shockwave2.dds", 128, 128, ShockwaveQuarter},
               {"blastglare.dds", 128, 128, BlastGlareQuarter},
               {"armourglow.dds", 64, 64, ArmourGlow},
               {"radiation.dds", 128, 128, Radiation},
               {"lightning.dds", 128, 64, Lightning},
               {"repairbots.dds", 32, 32, RepairBots},
               {"structural_tractor_beam_alpha.dds", 128, 32, TractorAlpha},
               {"structural_tractor_beam_color.dds", 64, 64, TractorColour},
               {"ecmshock.dds", 128, 128, EcmShock},
               {"smartbomb_alpha.dds", 128, 128, SmartBombAlpha},
               {"smartbomb_texture.dds", 64, 64, SmartBombColour},
           }) &&
           art::WriteDrawnPictures(ships, {{"fighter_hulks.dds", 256, 256, FighterHulks}});
}

} // namespace

QLM_GENERATOR(ship_effects, GenerateShipEffects);
