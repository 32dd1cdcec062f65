// The battle's window art: the icon sheet of the strip and speed buttons,
// the mini-map frame, the score banners, rating stars, the picker squares
// and the padlock of the report. Same palette as the other interface skins.
#include "ArtCommon.h"
#include "AssetGen.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

using namespace art;

const Tint kGreen = FromHex(0x2FB34A);
const Tint kGreenBright = FromHex(0x9CF5A8);
const Tint kRed = FromHex(0xC0332C);
const Tint kRedBright = FromHex(0xFF9A88);
const Tint kGold = FromHex(0xF2C23A);

void Fill(Image& img, int x0, int y0, int x1, int y1, Tint c)
{
    for (int y = y0; y <= y1; ++y)
        img.HLine(x0, x1, y, c);
}

// A filled disc with a soft one-pixel rim.
void Disc(Image& img, float cx, float cy, float r, Tint c)
{
    for (int y = static_cast<int>(cy - r - 1); y <= static_cast<int>(cy + r + 1); ++y)
        for (int x = static_cast<int>(cx - r - 1); x <= static_cast<int>(cx + r + 1); ++x) {
            const float d = std::hypot(static_cast<float>(x) + 0.5f - cx, static_cast<float>(y) + 0.5f - cy);
            img.Over(x, y, c, std::clamp(r - d + 0.5f, 0.0f, 1.0f));
        }
}

void Triangle(Image& img, float ax, float ay, float bx, float by, float cx, float cy, Tint c)
{
    const int x0 = static_cast<int>(std::min({ax, bx, cx})), x1 = static_cast<int>(std::max({ax, bx, cx})) + 1;
    const int y0 = static_cast<int>(std::min({ay, by, cy})), y1 = static_cast<int>(std::max({ay, by, cy})) + 1;
    const auto edge = [](float px, float py, float qx, float qy, float x, float y) {
        return (qx - px) * (y - py) - (qy - py) * (x - px);
    };
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
            const float e0 = edge(ax, ay, bx, by, px, py), e1 = edge(bx, by, cx, cy, px, py),
                        e2 = edge(cx, cy, ax, ay, px, py);
            if ((e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0))
                img.Over(x, y, c);
        }
}

// One 64-pixel cell of the button sheet: a bevelled square and its glyph.
void ButtonCell(Image& img, int cell, int glyph, bool hover)
{
    const int ox = (cell % 4) * 64, oy = (cell / 4) * 64;
    const Tint face = hover ? Blend(kFillTop, kCyan, 0.25f) : kFillTop;
    for (int y = 2; y < 62; ++y)
        img.HLine(ox + 2, ox + 61, oy + y, Blend(face, kFillBottom, static_cast<float>(y) / 62.0f));
    img.Box(ox + 1, oy + 1, ox + 62, oy + 62, hover ? kCyanBright : kEdge);
    img.HLine(ox + 2, ox + 61, oy + 2, kBevelLight);
    const Tint ink = hover ? kCyanBright : kSteel;
    const float l = static_cast<float>(ox), t = static_cast<float>(oy);
    const auto line = [&](float x0, float y0, float x1, float y1, float w) {
        img.Stroke(l + x0, t + y0, l + x1, t + y1, w, ink, ox, oy, ox + 63, oy + 63);
    };
    switch (glyph) {
    case 0: // grid
        for (int i = 0; i < 4; ++i) {
            const float p = 16.0f + static_cast<float>(i) * 10.0f;
            line(p, 14, p, 50, 2.5f);
            line(14, p, 50, p, 2.5f);
        }
        break;
    case 1: // slower: two left arrows
        Triangle(img, l + 30, t + 18, l + 30, t + 46, l + 12, t + 32, ink);
        Triangle(img, l + 50, t + 18, l + 50, t + 46, l + 32, t + 32, ink);
        break;
    case 2: // faster: two right arrows
        Triangle(img, l + 14, t + 18, l + 14, t + 46, l + 32, t + 32, ink);
        Triangle(img, l + 34, t + 18, l + 34, t + 46, l + 52, t + 32, ink);
        break;
    case 3: // pause
        Fill(img, ox + 20, oy + 16, ox + 27, oy + 47, ink);
        Fill(img, ox + 36, oy + 16, ox + 43, oy + 47, ink);
        break;
    case 4: // camera mode: a target reticle
        for (int a = 0; a < 64; ++a) {
            const float r0 = static_cast<float>(a) / 64.0f * 6.2831853f;
            const float r1 = static_cast<float>(a + 1) / 64.0f * 6.2831853f;
            line(32 + 16 * std::sin(r0), 32 - 16 * std::cos(r0), 32 + 16 * std::sin(r1), 32 - 16 * std::cos(r1), 2.5f);
        }
        line(32, 8, 32, 22, 2.5f);
        line(32, 42, 32, 56, 2.5f);
        line(8, 32, 22, 32, 2.5f);
        line(42, 32, 56, 32, 2.5f);
        break;
    case 5: // screenshot: a camera
        img.Box(ox + 12, oy + 22, ox + 51, oy + 47, ink);
        img.Box(ox + 13, oy + 23, ox + 50, oy + 46, ink);
        Fill(img, ox + 22, oy + 16, ox + 34, oy + 21, ink);
        Disc(img, l + 32, t + 35, 7.0f, ink);
        break;
    case 6: // ship overlays: a hull with a bracket around it
        Triangle(img, l + 32, t + 16, l + 22, t + 46, l + 42, t + 46, ink);
        line(12, 12, 20, 12, 2.5f);
        line(12, 12, 12, 20, 2.5f);
        line(52, 12, 44, 12, 2.5f);
        line(52, 12, 52, 20, 2.5f);
        line(12, 52, 20, 52, 2.5f);
        line(12, 52, 12, 44, 2.5f);
        line(52, 52, 44, 52, 2.5f);
        line(52, 52, 52, 44, 2.5f);
        break;
    default: // damage texts: a minus and a number bar
        line(14, 32, 26, 32, 4.0f);
        line(32, 18, 32, 46, 3.0f);
        line(40, 18, 50, 18, 3.0f);
        line(50, 18, 40, 46, 3.0f);
        break;
    }
}

Image ButtonSheet()
{
    Image img(256, 256);
    for (int cell = 0; cell < 8; ++cell) {
        ButtonCell(img, cell, cell, false);
        ButtonCell(img, cell + 8, cell, true);
    }
    return img;
}

// A panel ring for the mini-map's map area: thin frame, clear inside.
Image MiniMapFrame()
{
    Image img(128, 128);
    for (int y = 0; y < 128; ++y)
        img.HLine(0, 127, y, Tint{0.01f, 0.02f, 0.04f, 0.85f});
    img.Box(0, 0, 127, 127, kShadow);
    img.Box(1, 1, 126, 126, kEdge);
    img.Box(2, 2, 125, 125, Blend(kEdge, kCyan, 0.3f));
    for (int i = 8; i < 120; i += 8) {
        img.Over(i, 3, kCyan, 0.5f);
        img.Over(3, i, kCyan, 0.5f);
    }
    return img;
}

// The banner behind a score box: 120 x 60 of a 128 x 64 texture.
Image ScoreBanner(Tint base, Tint bright)
{
    Image img(128, 64);
    for (int y = 0; y < 60; ++y) {
        const float v = std::fabs(static_cast<float>(y) - 30.0f) / 30.0f;
        Tint c = Blend(bright, base, 0.35f + 0.65f * v);
        c.a = 0.55f * (1.0f - 0.5f * v);
        img.HLine(0, 119, y, c);
    }
    img.HLine(0, 119, 0, Tint{bright.r, bright.g, bright.b, 0.8f});
    img.HLine(0, 119, 59, Tint{base.r, base.g, base.b, 0.8f});
    return img;
}

Image Star(bool full, Tint fill = kGold)
{
    Image img(64, 64);
    float xs[10], ys[10];
    for (int i = 0; i < 10; ++i) {
        const float a = static_cast<float>(i) * 3.14159265f / 5.0f;
        const float r = i % 2 == 0 ? 28.0f : 12.0f;
        xs[i] = 32.0f + r * std::sin(a);
        ys[i] = 33.0f - r * std::cos(a);
    }
    for (int i = 0; i < 10; ++i) {
        const int j = (i + 1) % 10;
        if (full)
            Triangle(img, 32.0f, 33.0f, xs[i], ys[i], xs[j], ys[j], fill);
        img.Stroke(xs[i], ys[i], xs[j], ys[j], 2.0f, full ? Blend(fill, Tint{1, 1, 1, 1}, 0.4f) : kSteel);
    }
    return img;
}

bool GenerateBattleHudArt(const std::string& dataDir)
{
    const std::string dir = dataDir + "/bitmaps/gui/";
    struct Item {
        const char* name;
        std::string bytes;
    };
    const Item items[] = {
        {"battle_buttons.dds", ButtonSheet().ToDds()},
        {"minimap.dds", MiniMapFrame().ToDds()},
        {"green_score.dds", ScoreBanner(kGreen, kGreenBright).ToDds()},
        {"red_score.dds", ScoreBanner(kRed, kRedBright).ToDds()},
        {"star_full.dds", Star(true).ToDds()},
        {"star_empty.dds", Star(false).ToDds()},
        // Enjoyment is rated in red stars.
        {"star_red.dds", Star(true, FromHex(0xE04848)).ToDds()},
    };
    bool ok = true;
    for (const Item& item : items)
        ok = !item.bytes.empty() && WriteAssetIfChanged(dir + item.name, item.bytes) && ok;
    return ok;
}

} // namespace

QLM_GENERATOR(battle_hud_art, GenerateBattleHudArt);
