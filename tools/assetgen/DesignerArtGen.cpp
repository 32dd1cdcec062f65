// The ship designer's pictures: slot boxes (square and hexagonal), the
// blueprint's grid, the view and stats buttons, the lock, the slot lines and
// the darkened text box, in the widget skins' palette (the menu backdrop
// behind the screen is the front end's).
#include "ArtCommon.h"
#include "AssetGen.h"

#include "engine/GRandom.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace art;

// Distance from a point to the outline of a regular hexagon (flat top and
// bottom) of circumradius r centred at (cx, cy); negative outside.
float HexDepth(float x, float y, float cx, float cy, float r)
{
    const float dx = std::fabs(x - cx);
    const float dy = std::fabs(y - cy);
    const float h = r * 0.8660254f; // apothem
    const float d1 = h - dy;
    const float d2 = h - (dx * 0.8660254f + dy * 0.5f);
    return std::min(d1, d2);
}

// 64 x 64: a dark, faintly glassy box with a cyan edge and corner ticks.
Image SquareBox()
{
    constexpr int kSide = 64;
    Image p(kSide, kSide);
    for (int y = 2; y < kSide - 2; ++y)
        for (int x = 2; x < kSide - 2; ++x) {
            const int depth = std::min({x - 2, y - 2, kSide - 3 - x, kSide - 3 - y});
            const float t = static_cast<float>(y) / kSide;
            if (depth == 0)
                p.Set(x, y, Blend(kEdge, kCyan, 0.55f));
            else if (depth == 1)
                p.Set(x, y, Blend(kBevelLight, kFillTop, 0.5f));
            else
                p.Set(x, y, Blend(FromHex(0x0D1520, 0.72f), FromHex(0x060A10, 0.78f), t));
        }
    const Tint tick = kCyanBright;
    for (int i = 2; i < 12; ++i) {
        p.Set(i, 2, tick);
        p.Set(2, i, tick);
        p.Set(kSide - 1 - i, 2, tick);
        p.Set(kSide - 3, i, tick);
        p.Set(i, kSide - 3, tick);
        p.Set(2, kSide - 1 - i, tick);
        p.Set(kSide - 1 - i, kSide - 3, tick);
        p.Set(kSide - 3, kSide - 1 - i, tick);
    }
    return p;
}

// 64 x 64: the hardpoint box, a hexagon with an amber edge so turret slots
// read apart from standard ones at a glance.
Image HexBox()
{
    constexpr int kSide = 64;
    const Tint amber = FromHex(0xE0A040);
    Image p(kSide, kSide);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const float d = HexDepth(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, 32.0f, 32.0f, 30.0f);
            if (d < 0.0f)
                continue;
            if (d < 1.5f)
                p.Over(x, y, amber, std::min(1.0f, d + 0.3f));
            else if (d < 3.0f)
                p.Set(x, y, Blend(kBevelLight, kFillTop, 0.4f));
            else
                p.Set(x, y, Blend(FromHex(0x0D1520, 0.72f), FromHex(0x150F08, 0.78f),
                                  static_cast<float>(y) / kSide));
        }
    return p;
}

// 512 x 512: blueprint paper, deep blue with a fine grid and every eighth
// line stronger; the hull picture is drawn over it.
Image BlueprintBackground()
{
    constexpr int kSide = 512;
    Image p(kSide, kSide, FromHex(0x0A1B2E));
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const float vignette = std::hypot(x - kSide / 2.0f, y - kSide / 2.0f) / (kSide * 0.75f);
            Tint base = Blend(FromHex(0x12304C), FromHex(0x07131F), std::min(1.0f, vignette));
            if (x % 64 == 0 || y % 64 == 0)
                base = Blend(base, kCyan, 0.35f);
            else if (x % 16 == 0 || y % 16 == 0)
                base = Blend(base, kCyan, 0.12f);
            p.Set(x, y, base);
        }
    return p;
}

enum class Glyph { Eye, Bars };

// 32 x 32 round-cornered button with a glyph; the hover picture glows.
Image GlyphButton(Glyph glyph, bool hover)
{
    constexpr int kSide = 32;
    Image p(kSide, kSide);
    for (int y = 1; y < kSide - 1; ++y)
        for (int x = 1; x < kSide - 1; ++x) {
            const int l = x - 1, r = kSide - 2 - x, t = y - 1, b = kSide - 2 - y;
            if (std::min({l + t, r + t, l + b, r + b}) < 4)
                continue;
            const int depth = std::min({l, r, t, b, std::min({l + t, r + t, l + b, r + b}) - 4});
            const float v = static_cast<float>(y) / kSide;
            Tint fill = Blend(kFillTop, kFillBottom, v);
            if (hover)
                fill = Blend(fill, kCyan, 0.25f);
            if (depth == 0)
                p.Set(x, y, hover ? kCyanBright : kEdge);
            else if (depth == 1)
                p.Set(x, y, Blend(fill, v < 0.5f ? kBevelLight : kBevelDark, 0.7f));
            else
                p.Set(x, y, fill);
        }
    const Tint ink = hover ? kCyanBright : kSteel;
    if (glyph == Glyph::Eye) {
        // A ship's outline: switch to the finished ship.
        p.Stroke(16.0f, 7.0f, 22.0f, 24.0f, 1.8f, ink);
        p.Stroke(16.0f, 7.0f, 10.0f, 24.0f, 1.8f, ink);
        p.Stroke(10.0f, 24.0f, 22.0f, 24.0f, 1.8f, ink);
        p.Stroke(16.0f, 13.0f, 16.0f, 20.0f, 1.6f, ink);
    } else {
        // Three bars of a chart: the design's figures.
        p.Stroke(10.0f, 24.0f, 10.0f, 16.0f, 3.0f, ink);
        p.Stroke(16.0f, 24.0f, 16.0f, 9.0f, 3.0f, ink);
        p.Stroke(22.0f, 24.0f, 22.0f, 13.0f, 3.0f, ink);
    }
    return p;
}

// 32 x 32: a padlock, white so that callers tint it.
Image Lock()
{
    constexpr int kSide = 32;
    Image p(kSide, kSide);
    const Tint white = FromHex(0xFFFFFF);
    // Shackle.
    for (int i = 0; i <= 24; ++i) {
        const float a = 3.14159265f * static_cast<float>(i) / 24.0f;
        const float x0 = 16.0f - 7.0f * std::cos(a), y0 = 14.0f - 8.0f * std::sin(a);
        p.Stroke(x0, y0, x0 + 0.01f, y0, 3.0f, white);
    }
    p.Stroke(9.0f, 14.0f, 9.0f, 16.0f, 3.0f, white);
    p.Stroke(23.0f, 14.0f, 23.0f, 16.0f, 3.0f, white);
    // Body with a keyhole.
    p.Box(6, 15, 25, 29, white);
    p.Box(15, 19, 16, 25, FromHex(0x000000, 0.0f));
    return p;
}

// 8 x 64: a thin cyan line, bright in the middle, for the slot-to-turret lines.
Image SlotLine()
{
    Image p(8, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 8; ++x) {
            const float d = std::fabs(static_cast<float>(x) + 0.5f - 4.0f) / 4.0f;
            p.Set(x, y, Tint{kCyanBright.r, kCyanBright.g, kCyanBright.b, std::max(0.0f, 1.0f - d * d) * 0.8f});
        }
    return p;
}

// 16 x 16: a glowing dot marking a turret point.
Image SlotSpot()
{
    Image p(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const float d = std::hypot(static_cast<float>(x) + 0.5f - 8.0f, static_cast<float>(y) + 0.5f - 8.0f) / 8.0f;
            if (d < 1.0f)
                p.Set(x, y, Tint{kCyanBright.r, kCyanBright.g, kCyanBright.b, (1.0f - d) * (1.0f - d)});
        }
    return p;
}

// 32 x 32: black at half strength with soft edges, behind description text.
Image TextboxDarken()
{
    Image p(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const int edge = std::min({x, y, 31 - x, 31 - y});
            p.Set(x, y, Tint{0.0f, 0.0f, 0.0f, 0.55f * std::min(1.0f, static_cast<float>(edge + 1) / 4.0f)});
        }
    return p;
}

bool GenerateDesignerArt(const std::string& dataDir)
{
    const std::string dir = dataDir + "/bitmaps/designer/";
    struct Item {
        const char* name;
        std::string bytes;
    };
    const Item items[] = {
        {"square_box.dds", SquareBox().ToDds()},
        {"hex_box.dds", HexBox().ToDds()},
        {"blueprint_background.dds", BlueprintBackground().ToDds()},
        {"modebutton.dds", GlyphButton(Glyph::Eye, false).ToDds()},
        {"modebutton_h.dds", GlyphButton(Glyph::Eye, true).ToDds()},
        {"statsbutton.dds", GlyphButton(Glyph::Bars, false).ToDds()},
        {"statsbutton_h.dds", GlyphButton(Glyph::Bars, true).ToDds()},
        {"module_locked.dds", Lock().ToDds()},
        {"ship_slot_line.dds", SlotLine().ToDds()},
        {"ship_slot_spot.dds", SlotSpot().ToDds()},
        {"textbox_darken.dds", TextboxDarken().ToDds()},
    };
    bool ok = true;
    for (const Item& item : items)
        ok = !item.bytes.empty() && WriteAssetIfChanged(dir + item.name, item.bytes) && ok;
    return ok;
}

} // namespace

QLM_GENERATOR(designer_art, GenerateDesignerArt);
