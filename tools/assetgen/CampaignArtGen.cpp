// Draws the campaign map's pictures (backdrop, planets, wormholes, traffic,
// territories, hexagons, stars, gauges, icons, arrows, the control sheet)
// and synthesises the campaign music.
#include "ArtCommon.h"
#include "AssetGen.h"

#include "platform/OggVorbisWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using namespace art;

namespace {
constexpr float kPi = 3.14159265f;

float Smooth(float e0, float e1, float x)
{
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// The map's backdrop: dark space with two faint nebulae and stars; it repeats
// at 1024 pixels.
std::string MapBackdrop()
{
    const int side = 1024;
    Canvas c(side, side);
    Nebula(c, 300.0f, 380.0f, 420.0f, 0.05f, 0.09f, 0.16f, 7101);
    Nebula(c, 760.0f, 700.0f, 380.0f, 0.10f, 0.04f, 0.12f, 7102);
    GRandom rnd(7103);
    Stars(c, rnd, 900);
    const std::vector<uint8_t> bgra = ToneMapBGRA(c);
    Image img(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const uint8_t* p = &bgra[(static_cast<size_t>(y) * side + x) * 4];
            img.Set(x, y, {p[2] / 255.0f, p[1] / 255.0f, p[0] / 255.0f, 1.0f});
        }
    return img.ToJpeg();
}

// A round world seen from the side, lit from the top left.
Image Planet(Tint base, Tint shade, uint32_t seed, bool unknown)
{
    const int side = 128;
    Image img(side, side);
    const float r = side * 0.46f;
    const float c = side * 0.5f;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const float dx = x + 0.5f - c, dy = y + 0.5f - c;
            const float d = std::sqrt(dx * dx + dy * dy);
            if (d > r + 1.0f)
                continue;
            const float edge = std::clamp(r + 0.5f - d, 0.0f, 1.0f);
            const float light = std::clamp(0.35f + (-dx - dy) / (r * 1.6f), 0.05f, 1.0f);
            const float n = Fbm(x / 22.0f, y / 22.0f, seed);
            Tint t = Blend(shade, base, n);
            if (unknown) {
                const float g = 0.25f + 0.35f * n;
                t = {g, g, g * 1.1f, 1.0f};
            }
            const float rim = Smooth(r * 0.8f, r, d) * 0.35f;
            img.Set(x, y, {std::min(1.0f, t.r * light + rim * 0.4f), std::min(1.0f, t.g * light + rim * 0.6f),
                           std::min(1.0f, t.b * light + rim), edge});
        }
    return img;
}

// A soft white disc: tinted by the game into the territory colours.
Image SoftDisc(int side, float hardness)
{
    Image img(side, side);
    const float c = side * 0.5f;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const float d = std::hypot(x + 0.5f - c, y + 0.5f - c) / c;
            const float a = std::clamp(1.0f - std::pow(d, hardness), 0.0f, 1.0f);
            img.Set(x, y, {1.0f, 1.0f, 1.0f, a});
        }
    return img;
}

// One hexagon's outline per tile: the game repeats it every 8 map units.
Image HexPattern()
{
    const int side = 32;
    Image img(side, side);
    const float c = side * 0.5f;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            // Hexagon distance (flat top) from the tile's centre, wrapped to the nearest copy.
            float dx = std::fabs(x + 0.5f - c), dy = std::fabs(y + 0.5f - c);
            const float d = std::max(dx * 0.866f + dy * 0.5f, dy);
            const float a = 0.6f * (Smooth(c * 0.78f, c * 0.86f, d) - Smooth(c * 0.90f, c * 0.98f, d));
            img.Set(x, y, {1.0f, 1.0f, 1.0f, std::max(0.0f, a)});
        }
    return img;
}

// The tube of a wormhole: a glowing band across the texture's height.
Image Wormhole()
{
    const int w = 64, h = 64;
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // Ends (top and bottom halves) are round caps; the middle band is the shaft.
            const float v = (y + 0.5f) / h;
            const float u = (x + 0.5f) / w;
            float a;
            if (v > 0.4f && v < 0.6f)
                a = 1.0f - std::fabs(u - 0.5f) * 2.0f;
            else {
                const float d = std::hypot(u - 0.5f, v - 0.5f) * 2.0f;
                a = std::clamp(1.0f - d, 0.0f, 1.0f);
            }
            a = std::clamp(a * 1.6f, 0.0f, 1.0f);
            img.Set(x, y, {1.0f, 1.0f, 1.0f, a});
        }
    return img;
}

// Sixteen small ship silhouettes, 4 x 4, pointing right.
Image WormholeShips()
{
    const int cell = 32;
    Image img(cell * 4, cell * 4);
    for (int i = 0; i < 16; ++i) {
        const int ox = (i % 4) * cell, oy = (i / 4) * cell;
        const float len = 16.0f + (i % 5) * 2.0f;
        const float x0 = ox + (cell - len) * 0.5f, cy = oy + cell * 0.5f;
        img.Stroke(x0, cy, x0 + len, cy, 4.0f + (i % 3), kSteel, ox, oy, ox + cell, oy + cell);
        img.Stroke(x0 + len * 0.3f, cy - 5.0f, x0 + len * 0.55f, cy, 2.0f, kSteel, ox, oy, ox + cell, oy + cell);
        img.Stroke(x0 + len * 0.3f, cy + 5.0f, x0 + len * 0.55f, cy, 2.0f, kSteel, ox, oy, ox + cell, oy + cell);
        img.Stroke(x0 - 2.0f, cy, x0, cy, 3.0f, kCyanBright, ox, oy, ox + cell, oy + cell);
    }
    return img;
}

// A half gauge pair: left half and right half, each a tall rounded bar.
// The two half gauges of a planet: each half a solid bar along its outer
// edge (threat on the left, loyalty on the right). The game stretches each
// half over a quarter of the planet's height either side of its centre, so
// only bars at the outer edges stand beside the planet rather than across it.
Image Gauge(bool thin)
{
    const int w = 64, h = 128;
    Image img(w, h);
    const int bar = thin ? 4 : 5;
    for (int half = 0; half < 2; ++half) {
        const int bx = half == 0 ? 2 : w - 2 - bar;
        for (int y = 2; y <= h - 3; ++y)
            img.HLine(bx, bx + bar - 1, y, {1.0f, 1.0f, 1.0f, 1.0f});
    }
    return img;
}

// The frame behind a facility's large picture.
Image IconFrame()
{
    const int side = 64;
    Image img(side, side, FromHex(0x101A26, 0.8f));
    for (int i = 0; i < 2; ++i) {
        img.HLine(i, side - 1 - i, i, kCyan);
        img.HLine(i, side - 1 - i, side - 1 - i, kCyan);
        img.VLine(i, i, side - 1 - i, kCyan);
        img.VLine(side - 1 - i, i, side - 1 - i, kCyan);
    }
    return img;
}

void Symbol(Image& img, int frame, int cell, int ox, int oy)
{
    const float c = cell * 0.5f;
    const float x = static_cast<float>(ox), y = static_cast<float>(oy);
    const Tint ink = kCyanBright;
    const int bx1 = ox + cell, by1 = oy + cell;
    switch (frame) {
    case 1: // factory: a building with a chimney
        img.Stroke(x + 8, y + 24, x + 24, y + 24, 10.0f, ink, ox, oy, bx1, by1);
        img.Stroke(x + 22, y + 8, x + 22, y + 20, 4.0f, ink, ox, oy, bx1, by1);
        break;
    case 2: // repair yard: a spanner
        img.Stroke(x + 8, y + 24, x + 22, y + 10, 4.0f, ink, ox, oy, bx1, by1);
        img.Stroke(x + 20, y + 6, x + 26, y + 12, 4.0f, ink, ox, oy, bx1, by1);
        break;
    case 3: // shipyard: a hull on a slip
        img.Stroke(x + 6, y + 18, x + 26, y + 18, 6.0f, ink, ox, oy, bx1, by1);
        img.Stroke(x + 20, y + 12, x + 28, y + 18, 3.0f, ink, ox, oy, bx1, by1);
        img.Stroke(x + 6, y + 26, x + 26, y + 26, 2.0f, ink, ox, oy, bx1, by1);
        break;
    case 4: // academy: a chevron
        img.Stroke(x + 8, y + 12, x + 16, y + 20, 4.0f, ink, ox, oy, bx1, by1);
        img.Stroke(x + 16, y + 20, x + 24, y + 12, 4.0f, ink, ox, oy, bx1, by1);
        break;
    default: // a dot
        img.Stroke(x + c, y + c, x + c + 0.1f, y + c, 8.0f, ink, ox, oy, bx1, by1);
        break;
    }
}

// "encounter_icons.dds": facility symbols, 4 x 4 cells by icon id.
Image FacilitySymbols()
{
    const int cell = 32;
    Image img(cell * 4, cell * 4);
    for (int i = 0; i < 16; ++i) {
        const int ox = (i % 4) * cell, oy = (i / 4) * cell;
        img.Box(ox + 1, oy + 1, ox + cell - 1, oy + cell - 1, FromHex(0x14202E, 0.85f));
        Symbol(img, i, cell, ox, oy);
    }
    return img;
}

// "fleeticons.dds", 2 x 2: moved (grey), battle (red), ready (green), spare.
Image FleetSymbols()
{
    const int cell = 32;
    Image img(cell * 2, cell * 2);
    const Tint colours[4] = {FromHex(0x8A94A0), FromHex(0xF05050), FromHex(0x50F080), FromHex(0x50A0F0)};
    for (int i = 0; i < 4; ++i) {
        const int ox = (i % 2) * cell, oy = (i / 2) * cell;
        img.Box(ox + 2, oy + 2, ox + cell - 2, oy + cell - 2, FromHex(0x101820, 0.9f));
        const Tint c = colours[i];
        img.Stroke(ox + 8.0f, oy + 22.0f, ox + 16.0f, oy + 8.0f, 4.0f, c, ox, oy, ox + cell, oy + cell);
        img.Stroke(ox + 16.0f, oy + 8.0f, ox + 24.0f, oy + 22.0f, 4.0f, c, ox, oy, ox + cell, oy + cell);
        img.Stroke(ox + 8.0f, oy + 22.0f, ox + 24.0f, oy + 22.0f, 3.0f, c, ox, oy, ox + cell, oy + cell);
    }
    return img;
}

// "attack_arrow.dds": head (top half), shaft (third quarter), tail (last quarter).
Image Arrow()
{
    const int w = 64, h = 128;
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float u = (x + 0.5f) / w;
            const float v = (y + 0.5f) / h;
            float a = 0.0f;
            if (v < 0.5f) {
                const float across = std::fabs(v - 0.25f) * 4.0f; // 0 centre .. 1 edge
                a = across < 1.0f - u ? 1.0f : 0.0f;
            } else if (v < 0.75f) {
                a = std::fabs(v - 0.625f) * 8.0f < 0.45f ? 1.0f : 0.0f;
            } else {
                a = std::fabs(v - 0.875f) * 8.0f < 0.45f * u ? 1.0f : 0.0f;
            }
            img.Set(x, y, {1.0f, 1.0f, 1.0f, a});
        }
    return img;
}

// "campaign_controls.dds": 8 x 4 cells of 64: icons, lit icons, toggles on, toggles off.
Image Controls()
{
    const int cell = 64;
    Image img(cell * 8, cell * 4);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 8; ++col) {
            const int ox = col * cell, oy = row * cell;
            const bool lit = row == 1 || row == 2;
            img.Box(ox + 3, oy + 3, ox + cell - 3, oy + cell - 3, lit ? FromHex(0x24405A) : FromHex(0x172330));
            const Tint edge = lit ? kCyanBright : kEdge;
            img.HLine(ox + 3, ox + cell - 4, oy + 3, edge);
            img.HLine(ox + 3, ox + cell - 4, oy + cell - 4, edge);
            img.VLine(ox + 3, oy + 3, oy + cell - 4, edge);
            img.VLine(ox + cell - 4, oy + 3, oy + cell - 4, edge);
            const Tint ink = row == 3 ? kSteel : kCyanBright;
            const float cx = ox + cell * 0.5f, cy = oy + cell * 0.5f;
            const int x1 = ox + cell, y1 = oy + cell;
            const int symbol = row < 2 ? col : col + 8;
            switch (symbol) {
            case 0: // zoom in: plus
                img.Stroke(cx - 14, cy, cx + 14, cy, 5.0f, ink, ox, oy, x1, y1);
                img.Stroke(cx, cy - 14, cx, cy + 14, 5.0f, ink, ox, oy, x1, y1);
                break;
            case 1: // zoom out: minus
                img.Stroke(cx - 14, cy, cx + 14, cy, 5.0f, ink, ox, oy, x1, y1);
                break;
            case 2: // fleet manager: three chevrons in a column
                for (int k = -1; k <= 1; ++k) {
                    const float yk = cy + k * 11.0f;
                    img.Stroke(cx - 12, yk + 5, cx, yk - 4, 3.0f, ink, ox, oy, x1, y1);
                    img.Stroke(cx, yk - 4, cx + 12, yk + 5, 3.0f, ink, ox, oy, x1, y1);
                }
                break;
            case 3: // income manager: a stack of coins
                for (int k = 0; k < 3; ++k)
                    img.Stroke(cx - 11, cy + 10 - k * 9.0f, cx + 11, cy + 10 - k * 9.0f, 6.0f, ink, ox, oy, x1, y1);
                break;
            case 4: // recruitment manager: a head over shoulders
                for (int a = 0; a < 16; ++a) {
                    const float t0 = a * kPi / 8.0f, t1 = (a + 1) * kPi / 8.0f;
                    img.Stroke(cx + 6 * std::cos(t0), cy - 8 + 6 * std::sin(t0), cx + 6 * std::cos(t1),
                               cy - 8 + 6 * std::sin(t1), 3.0f, ink, ox, oy, x1, y1);
                }
                img.Stroke(cx - 13, cy + 14, cx - 6, cy + 3, 3.0f, ink, ox, oy, x1, y1);
                img.Stroke(cx - 6, cy + 3, cx + 6, cy + 3, 3.0f, ink, ox, oy, x1, y1);
                img.Stroke(cx + 6, cy + 3, cx + 13, cy + 14, 3.0f, ink, ox, oy, x1, y1);
                break;
            case 8: // fleets: a chevron
                img.Stroke(cx - 12, cy + 8, cx, cy - 10, 4.0f, ink, ox, oy, x1, y1);
                img.Stroke(cx, cy - 10, cx + 12, cy + 8, 4.0f, ink, ox, oy, x1, y1);
                break;
            case 9: // facilities: a block
                img.Stroke(cx - 10, cy + 4, cx + 10, cy + 4, 12.0f, ink, ox, oy, x1, y1);
                break;
            case 10: // names: text lines
                img.Stroke(cx - 14, cy - 6, cx + 14, cy - 6, 3.0f, ink, ox, oy, x1, y1);
                img.Stroke(cx - 14, cy + 4, cx + 8, cy + 4, 3.0f, ink, ox, oy, x1, y1);
                break;
            case 11: // territories: a ring
                for (int a = 0; a < 24; ++a) {
                    const float t0 = a * kPi / 12.0f, t1 = (a + 1) * kPi / 12.0f;
                    img.Stroke(cx + 14 * std::cos(t0), cy + 14 * std::sin(t0), cx + 14 * std::cos(t1),
                               cy + 14 * std::sin(t1), 3.0f, ink, ox, oy, x1, y1);
                }
                break;
            default:
                break;
            }
        }
    return img;
}

// A slow, quiet loop of pads over a low drone: the music of the war room.
std::vector<float> CampaignMusic()
{
    const int rate = 32000;
    const float seconds = 24.0f;
    std::vector<float> s(static_cast<size_t>(seconds * rate), 0.0f);
    const float chords[4][3] = {{110.0f, 130.81f, 164.81f},
                                {98.0f, 123.47f, 146.83f},
                                {87.31f, 110.0f, 130.81f},
                                {98.0f, 116.54f, 146.83f}};
    const float chordLength = seconds / 4.0f;
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = static_cast<float>(i) / rate;
        const int chord = std::min(3, static_cast<int>(t / chordLength));
        const float local = t - chord * chordLength;
        const float swell = std::sin(kPi * local / chordLength);
        float v = 0.0f;
        for (float hz : chords[chord])
            for (int h = 1; h <= 3; ++h)
                v += std::sin(2.0f * kPi * hz * h * t) / (h * 2.0f) + std::sin(2.0f * kPi * hz * 1.004f * h * t) / (h * 2.5f);
        v *= 0.08f * (0.4f + 0.6f * swell);
        v += 0.10f * std::sin(2.0f * kPi * 55.0f * t) * (0.7f + 0.3f * std::sin(2.0f * kPi * 0.125f * t));
        s[i] = std::clamp(v, -1.0f, 1.0f);
    }
    // The loop point is silent-free but soft: short ramps at both ends.
    const size_t ramp = rate / 50;
    for (size_t i = 0; i < ramp; ++i) {
        const float g = static_cast<float>(i) / ramp;
        s[i] *= g;
        s[s.size() - 1 - i] *= g;
    }
    return s;
}

bool GenerateCampaignArt(const std::string& dataDir)
{
    const std::string dir = dataDir + "/bitmaps/campaign/";
    struct Item {
        std::string name;
        std::string bytes;
    };
    const Item items[] = {
        {"campaign_map.jpg", MapBackdrop()},
        {"planet_unknown.dds", Planet(kSteel, kShadow, 7111, true).ToDds()},
        {"territory.dds", SoftDisc(128, 2.0f).ToDds()},
        {"star.dds", SoftDisc(16, 1.2f).ToDds()},
        {"hexpattern.dds", HexPattern().ToDds()},
        {"wormhole.dds", Wormhole().ToDds()},
        {"wormhole_ships.dds", WormholeShips().ToDds()},
        {"planet_indicator.dds", Gauge(false).ToDds()},
        {"map_indicator.dds", Gauge(true).ToDds()},
        {"encounter_icon.dds", IconFrame().ToDds()},
        {"encounter_icons.dds", FacilitySymbols().ToDds()},
        {"fleeticons.dds", FleetSymbols().ToDds()},
        {"attack_arrow.dds", Arrow().ToDds()},
        {"campaign_controls.dds", Controls().ToDds()},
    };
    bool ok = true;
    // The worlds of the campaign, each its own mix of two colours.
    const Tint palette[8] = {FromHex(0x3C7BD0), FromHex(0xC08040), FromHex(0x50A060), FromHex(0xB05050),
                             FromHex(0x9070C0), FromHex(0x40A0A0), FromHex(0xC0B060), FromHex(0x8090A0)};
    for (int i = 1; i <= 24; ++i) {
        const Tint base = palette[i % 8];
        const Tint shade = Blend(palette[(i * 3 + 1) % 8], kShadow, 0.6f);
        char name[40];
        snprintf(name, sizeof name, "campaign_planet_%02d.dds", i);
        ok = WriteAssetIfChanged(dir + name, Planet(base, shade, 7200 + i, false).ToDds()) && ok;
    }
    for (const Item& item : items)
        ok = WriteAssetIfChanged(dir + item.name, item.bytes) && ok;
    std::string music;
    if (!OggVorbisWriter::Encode(CampaignMusic(), 1, 32000, 0.0f, music))
        return false;
    // The campaign's music lives with the campaign's data, beside "data".
    return WriteAssetIfChanged(dataDir + "/../campaign/data/sounds/campaign_music.ogg", music) && ok;
}
} // namespace

QLM_GENERATOR(campaign_art, GenerateCampaignArt);
