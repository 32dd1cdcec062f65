// The campaign fleet windows' pictures: the ship's-log event icons (a 4 x 2
// atlas: construction, repair, hyperspace jump, battle, captured) and the
// marker of a ship without engines.
#include "ArtCommon.h"
#include "AssetGen.h"

#include <cmath>
#include <string>

namespace {

using namespace art;

constexpr int kCell = 64;

// One cell's symbol, drawn in strokes within its box.
void LogIcon(Image& img, int index)
{
    const int bx = (index % 4) * kCell, by = (index / 4) * kCell;
    const int bx1 = bx + kCell - 1, by1 = by + kCell - 1;
    const Tint frame{0.35f, 0.55f, 0.75f, 1.0f};
    img.Box(bx + 3, by + 3, bx1 - 3, by1 - 3, Tint{0.04f, 0.07f, 0.11f, 0.85f});
    img.HLine(bx + 3, bx1 - 3, by + 3, frame);
    img.HLine(bx + 3, bx1 - 3, by1 - 3, frame);
    img.VLine(bx + 3, by + 3, by1 - 3, frame);
    img.VLine(bx1 - 3, by + 3, by1 - 3, frame);
    const float cx = bx + kCell / 2.0f, cy = by + kCell / 2.0f;
    auto stroke = [&](float x0, float y0, float x1, float y1, Tint c) {
        img.Stroke(cx + x0, cy + y0, cx + x1, cy + y1, 3.0f, c, bx, by, bx1, by1);
    };
    const Tint white{0.95f, 0.95f, 0.95f, 1.0f};
    switch (index) {
    case 0: // construction: a hull on its slipway
        stroke(-18, 12, 18, 12, Tint{0.9f, 0.7f, 0.2f, 1.0f});
        stroke(-14, 4, 14, 4, white);
        stroke(14, 4, 20, -2, white);
        stroke(-14, 4, -14, -6, white);
        stroke(-14, -6, 8, -6, white);
        break;
    case 1: // repair: a wrench
        stroke(-14, 14, 8, -8, Tint{0.5f, 0.9f, 0.5f, 1.0f});
        stroke(8, -8, 16, -8, Tint{0.5f, 0.9f, 0.5f, 1.0f});
        stroke(8, -8, 8, -16, Tint{0.5f, 0.9f, 0.5f, 1.0f});
        break;
    case 2: // jump: a ring and an arrow through it
        for (int a = 0; a < 24; ++a) {
            const float t0 = a * 0.2618f, t1 = (a + 1) * 0.2618f;
            stroke(std::cos(t0) * 14, std::sin(t0) * 14, std::cos(t1) * 14, std::sin(t1) * 14,
                   Tint{0.4f, 0.7f, 1.0f, 1.0f});
        }
        stroke(-20, 0, 20, 0, white);
        stroke(20, 0, 12, -7, white);
        stroke(20, 0, 12, 7, white);
        break;
    case 3: // battle: crossed beams
        stroke(-16, -16, 16, 16, Tint{1.0f, 0.35f, 0.25f, 1.0f});
        stroke(-16, 16, 16, -16, Tint{1.0f, 0.35f, 0.25f, 1.0f});
        break;
    default: // captured: a flag
        stroke(-12, 18, -12, -18, white);
        stroke(-12, -18, 14, -10, Tint{0.9f, 0.8f, 0.3f, 1.0f});
        stroke(14, -10, -12, -2, Tint{0.9f, 0.8f, 0.3f, 1.0f});
        break;
    }
}

Image LogIcons()
{
    Image img(4 * kCell, 2 * kCell);
    for (int i = 0; i < 5; ++i)
        LogIcon(img, i);
    return img;
}

// A red warning disc with a bar: the ship cannot move between planets.
Image NoEngines()
{
    const int side = 16;
    Image img(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const float d = std::hypot(x + 0.5f - side / 2.0f, y + 0.5f - side / 2.0f);
            if (d < side / 2.0f - 0.5f)
                img.Set(x, y, Tint{0.85f, 0.12f, 0.10f, 1.0f});
        }
    img.Box(3, 7, side - 4, 8, Tint{1.0f, 1.0f, 1.0f, 1.0f});
    return img;
}

bool GenerateShipyardArt(const std::string& dataDir)
{
    const std::string gui = dataDir + "/bitmaps/gui/";
    bool ok = WriteAssetIfChanged(gui + "logicons.dds", LogIcons().ToDds());
    ok = WriteAssetIfChanged(gui + "noenginesicon.dds", NoEngines().ToDds()) && ok;
    return ok;
}

} // namespace

QLM_GENERATOR(shipyard_art, GenerateShipyardArt);
