// The space battles happen in: the asteroid sheet (twelve big rocks on a
// 4 x 4 reading of its upper three quarters, sixteen small ones on an 8 x 8
// reading of its lowest quarter) and the scenarios' terrain pictures: a
// ringed and an icy planet, a station and a nebula cloud. The stars use the
// campaign map's soft "star.dds".
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

// A lumpy rock lit from the top left, x and y in -1..1 of its cell.
void Rock(float x, float y, int seed, float c[4])
{
    const float angle = std::atan2(y, x);
    const float lump = 0.08f * std::sin(angle * 3.0f + seed) + 0.05f * std::sin(angle * 5.0f + seed * 1.7f) +
                       0.1f * (art::Noise(std::cos(angle) * 2.0f + seed, std::sin(angle) * 2.0f, 700 + seed) - 0.5f);
    const float radius = 0.78f + lump;
    const float d = std::sqrt(x * x + y * y);
    if (d > radius) {
        Set(c, 0.0f, 0.0f, 0.0f, 0.0f);
        return;
    }
    const float z = std::sqrt(std::max(0.0f, 1.0f - (d / radius) * (d / radius)));
    const float light = std::clamp(0.25f + 0.75f * (-0.5f * x / radius - 0.5f * y / radius + 0.7f * z), 0.05f, 1.0f);
    const float grain = art::Fbm(x * 3.0f + seed, y * 3.0f, 720 + seed);
    const float crater = art::Noise(x * 6.0f + seed, y * 6.0f, 760 + seed) > 0.72f ? 0.7f : 1.0f;
    const float shade = light * (0.45f + 0.4f * grain) * crater;
    Set(c, shade * 0.95f, shade * 0.88f, shade * 0.78f, 1.0f - art::Smooth(radius - 0.04f, radius, d));
}

void Asteroids(float u, float v, float c[4])
{
    if (v < 0.75f) {
        const int col = std::min(3, static_cast<int>(u * 4.0f)), row = std::min(2, static_cast<int>(v * 4.0f));
        Rock((u * 4.0f - col) * 2.0f - 1.0f, (v * 4.0f - row) * 2.0f - 1.0f, row * 4 + col, c);
        return;
    }
    const int col = std::min(7, static_cast<int>(u * 8.0f)), row = std::min(7, static_cast<int>(v * 8.0f));
    Rock((u * 8.0f - col) * 2.0f - 1.0f, (v * 8.0f - row) * 2.0f - 1.0f, 20 + row * 8 + col, c);
}

art::PixelFn Planet(float r, float g, float b, float bands, int seed)
{
    return [=](float u, float v, float c[4]) {
        const float x = u * 2.0f - 1.0f, y = v * 2.0f - 1.0f;
        const float d = std::sqrt(x * x + y * y);
        const float atmosphere = std::exp(-std::pow((d - 0.9f) / 0.05f, 2.0f)) * 0.6f;
        if (d > 0.9f) {
            Set(c, r * 0.7f + 0.3f, g * 0.7f + 0.3f, b * 0.7f + 0.3f, atmosphere);
            return;
        }
        const float z = std::sqrt(1.0f - (d / 0.9f) * (d / 0.9f));
        const float light = std::clamp(0.15f + 0.85f * (-0.6f * x - 0.4f * y + 0.6f * z), 0.03f, 1.0f);
        const float band = 0.5f + 0.5f * std::sin(y * bands + art::Fbm(x * 2.0f, y * 6.0f, seed) * 3.0f);
        const float k = light * (0.6f + 0.4f * band);
        Set(c, r * k, g * k, b * k, 1.0f - art::Smooth(0.88f, 0.9f, d) * (1.0f - atmosphere));
    };
}

// Scenario2 shows the ringed planet 900 units wide: drawn at that size, its
// edges stay smooth on screen instead of being stretched from a small picture.
constexpr int kRingedPlanetSize = 1024;

// Straight-alpha "over": top laid on bottom, the result in bottom.
void Over(float bottom[4], const float top[4])
{
    const float a = top[3] + bottom[3] * (1.0f - top[3]);
    for (int i = 0; i < 3; ++i)
        bottom[i] = a > 0.0f ? (top[i] * top[3] + bottom[i] * bottom[3] * (1.0f - top[3])) / a : 0.0f;
    bottom[3] = a;
}

// A banded ochre planet inside a thin tilted ring. The ring's far half lies
// behind the planet and its near half in front; both edges fade over one
// pixel, so neither the ring nor the planet shows steps.
void RingedPlanet(float u, float v, float c[4])
{
    const float x = u * 2.0f - 1.0f, y = v * 2.0f - 1.0f;
    const float ry = y / 0.3f + x * 0.25f; // the ring's ellipse, tilted a little
    const float ringD = std::max(1e-4f, std::sqrt(x * x + ry * ry));
    // How far one pixel moves ringD here: the ellipse is squeezed, so more across than along.
    const float gx = (x + 0.25f * ry) / ringD, gy = ry / (0.3f * ringD);
    const float edge = 2.0f / kRingedPlanetSize * std::sqrt(gx * gx + gy * gy);
    const float cover = art::Smooth(0.72f - edge, 0.72f + edge, ringD) * (1.0f - art::Smooth(0.95f - edge, 0.95f + edge, ringD));
    const float stripes = 0.6f + 0.4f * std::sin(ringD * 60.0f);
    const float ring[4] = {0.8f * stripes, 0.72f * stripes, 0.6f * stripes, 0.75f * cover};
    const float none[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float body[4];
    Planet(0.85f, 0.6f, 0.35f, 14.0f, 811)((x / 0.55f + 1.0f) * 0.5f, (y / 0.55f + 1.0f) * 0.5f, body);
    Set(c, 0.0f, 0.0f, 0.0f, 0.0f);
    Over(c, ry <= 0.0f ? ring : none);
    Over(c, body);
    Over(c, ry > 0.0f ? ring : none);
}

void Station(float u, float v, float c[4])
{
    const float x = u * 2.0f - 1.0f, y = v * 2.0f - 1.0f;
    const float d = std::sqrt(x * x + y * y);
    const bool ring = d > 0.62f && d < 0.8f;
    const bool hub = d < 0.22f;
    const bool spoke = (std::fabs(x) < 0.06f || std::fabs(y) < 0.06f) && d < 0.7f;
    if (!(ring || hub || spoke)) {
        Set(c, 0.0f, 0.0f, 0.0f, 0.0f);
        return;
    }
    const float panel = 0.55f + 0.25f * art::Noise(u * 20.0f, v * 20.0f, 801) - 0.2f * (x + y) * 0.5f;
    const bool light = ring && art::Noise(std::atan2(y, x) * 6.0f, 0.0f, 805) > 0.8f;
    if (light)
        Set(c, 1.0f, 0.9f, 0.6f, 1.0f);
    else
        Set(c, panel * 0.8f, panel * 0.85f, panel * 0.9f, 1.0f);
}

void NebulaCloud(float u, float v, float c[4])
{
    const float x = u * 2.0f - 1.0f, y = v * 2.0f - 1.0f;
    const float fall = std::max(0.0f, 1.0f - std::sqrt(x * x + y * y));
    const float n = art::Fbm(u * 3.0f, v * 3.0f, 820);
    Set(c, 0.35f + 0.3f * n, 0.25f + 0.2f * n, 0.6f + 0.3f * n, fall * fall * n * 0.8f);
}

bool GenerateScenery(const std::string& dataDir)
{
    return art::WriteDrawnPictures(dataDir + "/bitmaps/battle/scenery/",
                                   {
                                       {"asteroids.dds", 512, 512, Asteroids},
                                       {"planet_ringed.dds", kRingedPlanetSize, kRingedPlanetSize, RingedPlanet},
                                       {"planet_ice.dds", 256, 256, Planet(0.55f, 0.75f, 0.95f, 6.0f, 812)},
                                       {"station.dds", 128, 128, Station},
                                       {"nebula_cloud.dds", 256, 256, NebulaCloud},
                                   });
}

} // namespace

QLM_GENERATOR(scenery_art, GenerateScenery);
