// Dialog frames and title bar, the tiled box background, scroll arrows, fill
// bars, scan lines, tooltip frame and client box. Same look as the widget
// skins: dark blue-grey, cyan accent, crisp 1-pixel edges and bevels.
#include "ArtCommon.h"
#include "AssetGen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace art;

// Not in the shared palette: the warning fill.
const Tint kRed = FromHex(0xD83A34);
const Tint kRedBright = FromHex(0xFF8A7A);

// The tiled dialog background: a dark panel with a faint 32-pixel grid and
// scan lines. It tiles seamlessly at 1024 pixels.
Image BoxBackground()
{
    constexpr int kSide = 1024;
    Image img(kSide, kSide);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            Tint c = Blend(FromHex(0x141B26), FromHex(0x101620), Hash(x / 4, y / 4, 0) * 0.5f);
            if (y % 2 == 1)
                c = Blend(c, kShadow, 0.25f);
            if (x % 32 == 0 || y % 32 == 0)
                c = Blend(c, kEdge, 0.22f);
            c.a = 1.0f;
            img.Set(x, y, c);
        }
    }
    return img;
}

// A 4 x 4 cell frame texture: only the outer ring of cells is ever drawn.
// `ring` is the border thickness in pixels, `inner` what lies inside it.
Image FrameTexture(int side, int ring, Tint outer, Tint bevel, Tint inner, Tint accent, bool cornerMarks)
{
    Image img(side, side);
    const int last = side - 1;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const int d = std::min({x, y, last - x, last - y});
            if (d == 0)
                img.Set(x, y, kShadow);
            else if (d == 1)
                img.Set(x, y, outer);
            else if (d == 2)
                img.Set(x, y, (x < side / 2 && y < side / 2) ? bevel : Blend(bevel, kBevelDark, 0.6f));
            else if (d < ring)
                img.Set(x, y, Blend(inner, kShadow, 0.25f * static_cast<float>(ring - d) / static_cast<float>(ring)));
            else
                img.Set(x, y, inner);
        }
    }
    if (cornerMarks) {
        // Cyan brackets in the corners, clear of the stretched edge cells.
        const int len = side / 4 - 5;
        for (int i = 3; i < 3 + len; ++i) {
            img.Set(i, 3, accent);
            img.Set(3, i, accent);
            img.Set(last - i, 3, accent);
            img.Set(last - 3, i, accent);
            img.Set(i, last - 3, accent);
            img.Set(3, last - i, accent);
            img.Set(last - i, last - 3, accent);
            img.Set(last - 3, last - i, accent);
        }
    }
    return img;
}

// Caps of 20 pixels and a middle band, 42 high: a tab that opens downwards.
Image TitleBar()
{
    constexpr int kW = 80;
    constexpr int kH = 42;
    Image img(kW, kH);
    for (int y = 2; y < kH - 4; ++y) {
        const float t = static_cast<float>(y) / static_cast<float>(kH);
        for (int x = 0; x < kW; ++x) {
            // Slanted ends inside the caps.
            const int inset = std::max(0, 14 - y / 3);
            if (x < inset || x > kW - 1 - inset)
                continue;
            Tint c = Blend(kFillTop, kFillBottom, t);
            if (y % 2 == 1)
                c = Blend(c, kShadow, 0.12f);
            if (y == 2 || x == inset || x == kW - 1 - inset)
                c = kEdge;
            else if (y == 3)
                c = Blend(c, kBevelLight, 0.7f);
            img.Set(x, y, c);
        }
    }
    img.HLine(12, kW - 13, kH - 6, kCyan);
    img.HLine(12, kW - 13, kH - 5, Tint{kCyan.r, kCyan.g, kCyan.b, 0.35f});
    return img;
}

// One bright scan line in the top three rows of four (drawn with v 0..0.75).
Image InterlaceLine()
{
    Image img(64, 4);
    for (int x = 0; x < 64; ++x) {
        const float edge = std::min(1.0f, static_cast<float>(std::min(x, 63 - x)) / 8.0f);
        img.Set(x, 0, Tint{kCyanBright.r, kCyanBright.g, kCyanBright.b, 0.05f * edge});
        img.Set(x, 1, Tint{kCyan.r, kCyan.g, kCyan.b, 0.16f * edge});
        img.Set(x, 2, Tint{kCyanBright.r, kCyanBright.g, kCyanBright.b, 0.05f * edge});
    }
    return img;
}

Image Strip(Tint base, Tint bright)
{
    Image img(128, 16);
    for (int y = 0; y < 16; ++y) {
        const float t = std::abs(static_cast<float>(y) - 5.0f) / 10.0f;
        for (int x = 0; x < 128; ++x) {
            Tint c = Blend(bright, base, std::min(1.0f, t * 1.6f));
            if (x % 8 == 7)
                c = Blend(c, kShadow, 0.35f);
            c.a = 1.0f;
            img.Set(x, y, c);
        }
    }
    return img;
}

// A square arrow button; `down` flips it.
Image ScrollArrow(bool down, bool hover)
{
    constexpr int kSide = 32;
    Image img(kSide, kSide);
    const Tint edge = hover ? kCyan : kEdge;
    for (int y = 1; y < kSide - 1; ++y) {
        for (int x = 1; x < kSide - 1; ++x) {
            Tint c = Blend(kFillTop, kFillBottom, static_cast<float>(y) / kSide);
            if (hover)
                c = Blend(c, kCyan, 0.12f);
            img.Set(x, y, c);
        }
    }
    img.Box(1, 1, kSide - 2, kSide - 2, edge);
    img.HLine(2, kSide - 3, 2, kBevelLight);
    img.HLine(2, kSide - 3, kSide - 3, kBevelDark);
    const Tint arrow = hover ? kCyanBright : kSteel;
    for (int row = 0; row < 9; ++row) {
        // the narrow tip leads: at the top for up, at the bottom for down
        const int y = down ? 20 - row : 11 + row;
        img.HLine(16 - row, 15 + row, y, arrow);
    }
    return img;
}

bool GenerateDialogArt(const std::string& dataDir)
{
    const std::string dir = dataDir + "/bitmaps/gui/";
    struct Item {
        const char* name;
        std::string bytes;
    };
    const Tint clientInner = Tint{0.03f, 0.05f, 0.08f, 0.55f};
    const Item items[] = {
        {"box_background.jpg", BoxBackground().ToJpeg()},
        {"border_depth.dds", FrameTexture(128, 8, kEdge, kBevelLight, kClear, kCyan, true).ToDds()},
        {"dialog_client.dds", FrameTexture(128, 4, Blend(kEdge, kCyan, 0.3f), kBevelDark, clientInner, kCyan, false)
                                  .ToDds()},
        {"tooltip.dds", FrameTexture(48, 4, kCyan, kBevelLight, Tint{0.04f, 0.07f, 0.10f, 0.85f}, kCyan, false)
                            .ToDds()},
        {"fillbar.dds", FrameTexture(32, 3, kEdge, kBevelLight, Tint{0.02f, 0.03f, 0.05f, 0.8f}, kCyan, false)
                            .ToDds()},
        {"dialog_titlebar.dds", TitleBar().ToDds()},
        {"client_interlace.dds", InterlaceLine().ToDds()},
        {"strip_fill.jpg", Strip(FromHex(0x1D7E97), kCyanBright).ToJpeg()},
        {"strip_fill_red.jpg", Strip(kRed, kRedBright).ToJpeg()},
        {"gui_scrollup.dds", ScrollArrow(false, false).ToDds()},
        {"gui_scrollup_h.dds", ScrollArrow(false, true).ToDds()},
        {"gui_scrolldown.dds", ScrollArrow(true, false).ToDds()},
        {"gui_scrolldown_h.dds", ScrollArrow(true, true).ToDds()},
    };
    bool ok = true;
    for (const Item& item : items)
        ok = !item.bytes.empty() && WriteAssetIfChanged(dir + item.name, item.bytes) && ok;
    return ok;
}

} // namespace

QLM_GENERATOR(dialog_art, GenerateDialogArt);
