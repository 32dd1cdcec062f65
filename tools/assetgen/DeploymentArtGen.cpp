// The deployment screen's pictures (range circle, picker frames and
// buttons, hull-class filters; the menu backdrop, plain frame and lock are the
// designer's) and the loading screen's pictures and progress bar.
#include "ArtCommon.h"
#include "AssetGen.h"

#include "engine/GRandom.h"
#include "platform/ImageEncode.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace art;

constexpr float kPi = 3.14159265f;

Tint Faded(Tint c, float alpha)
{
    c.a *= std::clamp(alpha, 0.0f, 1.0f);
    return c;
}

// A soft ring, white, for tinting: the edge of a weapon's reach.
Image RangeCircle()
{
    const int side = 256;
    Image img(side, side);
    const float r = side / 2.0f - 3.0f;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const float d = std::hypot(x + 0.5f - side / 2.0f, y + 0.5f - side / 2.0f);
            const float ring = std::exp(-std::pow((d - r) / 1.6f, 2.0f));
            const float fill = d < r ? 0.12f : 0.0f;
            img.Set(x, y, Tint{1.0f, 1.0f, 1.0f, std::clamp(ring + fill, 0.0f, 1.0f)});
        }
    return img;
}

// The picker's square frames: plain, under the pointer, not available.
Image SquareBox(Tint edge, Tint glow)
{
    const int side = 64;
    Image img(side, side);
    img.Box(2, 2, side - 3, side - 3, Tint{0.03f, 0.05f, 0.08f, 0.7f});
    for (int i = 0; i < 2; ++i) {
        img.HLine(i, side - 1 - i, i, edge);
        img.HLine(i, side - 1 - i, side - 1 - i, edge);
        img.VLine(i, i, side - 1 - i, edge);
        img.VLine(side - 1 - i, i, side - 1 - i, edge);
    }
    img.HLine(3, side - 4, 3, Faded(glow, 0.6f));
    img.VLine(3, 3, side - 4, Faded(glow, 0.6f));
    return img;
}

// A bevelled tile with a pictogram drawn by the caller.
Image Tile(int side)
{
    Image img(side, side);
    for (int y = 0; y < side; ++y)
        img.HLine(1, side - 2, y, Blend(kFillTop, kFillBottom, float(y) / side));
    img.HLine(0, side - 1, 0, kEdge);
    img.HLine(0, side - 1, side - 1, kEdge);
    img.VLine(0, 0, side - 1, kEdge);
    img.VLine(side - 1, 0, side - 1, kEdge);
    img.HLine(1, side - 2, 1, kBevelLight);
    return img;
}

Image NewShipButton()
{
    Image img = Tile(64);
    // A hull outline and a plus.
    img.Stroke(16, 40, 32, 16, 2.5f, kSteel);
    img.Stroke(32, 16, 48, 40, 2.5f, kSteel);
    img.Stroke(16, 40, 48, 40, 2.5f, kSteel);
    img.Stroke(44, 50, 56, 50, 3.0f, kCyanBright);
    img.Stroke(50, 44, 50, 56, 3.0f, kCyanBright);
    return img;
}

Image ChangeRaceButton()
{
    Image img = Tile(64);
    // Two arrows chasing round a circle.
    const float cx = 32, cy = 32, r = 16;
    for (int half = 0; half < 2; ++half) {
        const float a0 = half * kPi + 0.3f, a1 = a0 + kPi - 0.6f;
        float px = cx + r * std::cos(a0), py = cy + r * std::sin(a0);
        for (int i = 1; i <= 16; ++i) {
            const float a = a0 + (a1 - a0) * i / 16.0f;
            const float nx = cx + r * std::cos(a), ny = cy + r * std::sin(a);
            img.Stroke(px, py, nx, ny, 2.5f, kCyanBright);
            px = nx;
            py = ny;
        }
        const float tx = cx + r * std::cos(a1), ty = cy + r * std::sin(a1);
        img.Stroke(tx, ty, tx + 6 * std::cos(a1 - 2.2f), ty + 6 * std::sin(a1 - 2.2f), 2.5f, kCyanBright);
        img.Stroke(tx, ty, tx + 6 * std::cos(a1 - 0.9f), ty + 6 * std::sin(a1 - 0.9f), 2.5f, kCyanBright);
    }
    return img;
}

// 3 x 2 cells of 84 px in a 256 texture: columns fighter, frigate, cruiser;
// the top row lit (class shown), the bottom row dim (class hidden).
Image FilterButtons()
{
    const int side = 256, cell = 84;
    Image img(side, side);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col) {
            const int x0 = col * cell, y0 = row * cell;
            const Tint ink = row == 0 ? kCyanBright : Faded(kSteel, 0.45f);
            img.Box(x0 + 2, y0 + 2, x0 + cell - 3, y0 + cell - 3, row == 0 ? kFillTop : kFillBottom);
            img.HLine(x0 + 2, x0 + cell - 3, y0 + 2, kEdge);
            img.HLine(x0 + 2, x0 + cell - 3, y0 + cell - 3, kEdge);
            img.VLine(x0 + 2, y0 + 2, y0 + cell - 3, kEdge);
            img.VLine(x0 + cell - 3, y0 + 2, y0 + cell - 3, kEdge);
            // Bigger arrowheads for bigger hulls.
            const float s = 12.0f + 8.0f * col;
            const float cx = x0 + cell / 2.0f, cy = y0 + cell / 2.0f;
            const int b0 = x0 + 3, b1 = y0 + 3, b2 = x0 + cell - 4, b3 = y0 + cell - 4;
            img.Stroke(cx - s, cy + s * 0.8f, cx, cy - s, 5.0f, ink, b0, b1, b2, b3);
            img.Stroke(cx, cy - s, cx + s, cy + s * 0.8f, 5.0f, ink, b0, b1, b2, b3);
            img.Stroke(cx - s, cy + s * 0.8f, cx + s, cy + s * 0.8f, 5.0f, ink, b0, b1, b2, b3);
        }
    return img;
}

// Top half: the empty track; bottom half: the filled bar.
Image ProgressBar()
{
    const int w = 512, h = 64;
    Image img(w, h);
    for (int y = 0; y < h; ++y) {
        const bool filled = y >= h / 2;
        const int local = filled ? y - h / 2 : y;
        const float shade = 1.0f - std::fabs(local - 15.5f) / 16.0f;
        const Tint base = filled ? Blend(FromHex(0x1D7E97), kCyanBright, shade) : Blend(kShadow, kFillTop, shade);
        img.HLine(0, w - 1, y, base);
        if (local == 0 || local == 31)
            img.HLine(0, w - 1, y, kEdge);
    }
    return img;
}

std::string LoadingPicture(uint32_t seed, Tint a, Tint b, float planetX, float planetY, float planetR)
{
    const int side = 1024;
    Canvas c(side, side);
    GRandom rnd(seed);
    Nebula(c, 280.0f + seed % 300, 360.0f, 460.0f, a.r, a.g, a.b, seed);
    Nebula(c, 720.0f, 620.0f - seed % 200, 400.0f, b.r, b.g, b.b, seed + 7);
    Stars(c, rnd, 3600);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const float d = std::hypot(x - planetX, y - planetY);
            if (d >= planetR)
                continue;
            float* p = &c.rgb[(static_cast<size_t>(y) * side + x) * 3];
            const float light = std::clamp(((planetX - x) + (planetY - y)) / (planetR * 1.4f), 0.0f, 1.0f);
            const float surface = 0.015f + 0.05f * Fbm(x / 50.0f, y / 50.0f, seed + 3);
            const float rim = std::exp(-(planetR - d) / 5.0f) * 0.5f;
            p[0] = surface + light * 0.10f * b.r + rim * b.r;
            p[1] = surface + light * 0.10f * b.g + rim * b.g;
            p[2] = surface + light * 0.10f * b.b + rim * b.b;
        }
    const std::vector<uint8_t> bgra = ToneMapBGRA(c);
    std::vector<uint8_t> rgba(bgra.size());
    for (size_t i = 0; i + 3 < bgra.size(); i += 4) {
        rgba[i] = bgra[i + 2];
        rgba[i + 1] = bgra[i + 1];
        rgba[i + 2] = bgra[i];
        rgba[i + 3] = 255;
    }
    std::string out;
    EncodeImage(ImageFileType::Bmp, side, side, rgba, out);
    return out;
}

bool GenerateDeploymentArt(const std::string& dataDir)
{
    const std::string gui = dataDir + "/bitmaps/gui/";
    struct Item {
        std::string path;
        std::string bytes;
    };
    const Item items[] = {
        {gui + "deployment_range.dds", RangeCircle().ToDds()},
        {gui + "square_box_h.dds", SquareBox(kCyan, kCyanBright).ToDds()},
        {gui + "square_box_brown.dds", SquareBox(FromHex(0x6B4A2A), FromHex(0x9C6B3A)).ToDds()},
        {gui + "newshipbutton.dds", NewShipButton().ToDds()},
        {gui + "changeracebutton.dds", ChangeRaceButton().ToDds()},
        {gui + "filterbuttons.dds", FilterButtons().ToDds()},
        {gui + "progress_bar.jpg", ProgressBar().ToJpeg()},
    };
    bool ok = true;
    for (const Item& item : items)
        ok = !item.bytes.empty() && WriteAssetIfChanged(item.path, item.bytes) && ok;
    return ok;
}

bool GenerateLoadingPictures(const std::string& dataDir)
{
    const std::string dir = dataDir + "/bitmaps/ui/loadscreens/";
    struct Picture {
        const char* name;
        uint32_t seed;
        Tint a, b;
        float px, py, r;
    };
    const Picture pictures[] = {
        {"loading_crimson.bmp", 101, Tint{0.55f, 0.12f, 0.10f, 1}, Tint{0.30f, 0.10f, 0.45f, 1}, 820, 900, 380},
        {"loading_azure.bmp", 202, Tint{0.08f, 0.25f, 0.55f, 1}, Tint{0.10f, 0.45f, 0.50f, 1}, 150, 880, 300},
        {"loading_amber.bmp", 303, Tint{0.50f, 0.32f, 0.08f, 1}, Tint{0.20f, 0.30f, 0.50f, 1}, 900, 160, 220},
    };
    bool ok = true;
    for (const Picture& p : pictures) {
        const std::string bytes = LoadingPicture(p.seed, p.a, p.b, p.px, p.py, p.r);
        ok = !bytes.empty() && WriteAssetIfChanged(dir + p.name, bytes) && ok;
    }
    return ok;
}

} // namespace

QLM_GENERATOR(deployment_art, GenerateDeploymentArt);
QLM_GENERATOR(loading_pictures, GenerateLoadingPictures);
