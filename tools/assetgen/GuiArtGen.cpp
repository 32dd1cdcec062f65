// The widget skins: one dark blue-grey look with a cyan accent, 1-pixel edges
// and bevels, drawn at the sizes the widgets show them.
#include "ArtCommon.h"
#include "AssetGen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace art;

// A rectangle with cut corners; `openBottom` leaves the lower corners square
// (tabs sit on the panel below them).
struct Shape {
    int x0, y0, x1, y1; // inclusive
    int chamfer;
    bool openBottom = false;

    bool Inside(int x, int y) const
    {
        if (x < x0 || x > x1 || y < y0 || y > y1)
            return false;
        const int l = x - x0, r = x1 - x, t = y - y0, b = y1 - y;
        if (l + t < chamfer || r + t < chamfer)
            return false;
        if (!openBottom && (l + b < chamfer || r + b < chamfer))
            return false;
        return true;
    }
    // Distance in whole pixels to the outside (0 = the outline).
    int Depth(int x, int y, int limit) const
    {
        for (int d = 0; d < limit; ++d) {
            for (int oy = -d - 1; oy <= d + 1; ++oy) {
                for (int ox = -d - 1; ox <= d + 1; ++ox) {
                    if (std::abs(ox) + std::abs(oy) != d + 1)
                        continue;
                    if (openBottom && y + oy > y1)
                        continue;
                    if (!Inside(x + ox, y + oy))
                        return d;
                }
            }
        }
        return limit;
    }
};

struct PanelStyle {
    Tint edge;
    Tint top;
    Tint bottom;
    Tint accent;
    float accentAlpha;
};

// Outline, a one-pixel bevel (light above, dark below), a vertical gradient and
// faint scan lines: the base of every button-like skin.
void DrawPanel(Image& c, const Shape& s, const PanelStyle& style)
{
    const float span = static_cast<float>(std::max(1, s.y1 - s.y0));
    for (int y = s.y0; y <= s.y1; ++y) {
        for (int x = s.x0; x <= s.x1; ++x) {
            if (!s.Inside(x, y))
                continue;
            const int depth = s.Depth(x, y, 3);
            const float t = static_cast<float>(y - s.y0) / span;
            Tint fill = Blend(style.top, style.bottom, t);
            if ((y - s.y0) % 2 == 1)
                fill = Blend(fill, kShadow, 0.12f);
            if (depth == 0)
                c.Set(x, y, style.edge);
            else if (depth == 1)
                c.Set(x, y, t < 0.5f ? Blend(fill, kBevelLight, 0.7f) : Blend(fill, kBevelDark, 0.7f));
            else
                c.Set(x, y, fill);
        }
    }
    (void)style.accent;
}

void AccentRow(Image& c, int y, int x0, int x1, Tint colour, float alpha)
{
    for (int x = x0; x <= x1; ++x)
        c.Over(x, y, colour, alpha);
}

// 128 x 34, read in quarters: left cap, (unused), middle, right cap. The
// middle quarter must look the same in every column, it is stretched.
Image TextButton(bool hover)
{
    Image c(128, 34);
    const Shape shape{0, 1, 127, 32, 7};
    const PanelStyle style{hover ? kCyan : kEdge, hover ? Blend(kFillTop, kCyan, 0.18f) : kFillTop,
                           hover ? Blend(kFillBottom, kCyan, 0.10f) : kFillBottom, kCyan, hover ? 1.0f : 0.55f};
    DrawPanel(c, shape, style);
    // Accent strip under the label and the cap marks.
    AccentRow(c, 28, 9, 118, style.accent, style.accentAlpha);
    AccentRow(c, 29, 9, 118, style.accent, style.accentAlpha * 0.35f);
    for (int y = 10; y <= 23; ++y) {
        c.Over(5, y, style.accent, style.accentAlpha);
        c.Over(6, y, style.accent, style.accentAlpha * 0.5f);
        c.Over(122, y, style.accent, style.accentAlpha);
        c.Over(121, y, style.accent, style.accentAlpha * 0.5f);
    }
    if (hover) {
        // A soft glow just inside the outline.
        for (int y = 2; y <= 31; ++y) {
            for (int x = 1; x <= 126; ++x) {
                if (shape.Inside(x, y) && shape.Depth(x, y, 3) == 2)
                    c.Over(x, y, kCyanBright, 0.18f);
            }
        }
    }
    return c;
}

enum class TabState { Normal, Hover, Selected };

Image Tab(TabState state)
{
    Image c(128, 34);
    Shape shape{0, 2, 127, 33, 9};
    shape.openBottom = true;
    PanelStyle style{kEdge, Blend(kFillTop, kFillBottom, 0.35f), kFillBottom, kCyan, 0.0f};
    if (state == TabState::Hover) {
        style.edge = Blend(kEdge, kCyan, 0.6f);
        style.top = Blend(kFillTop, kCyan, 0.12f);
    } else if (state == TabState::Selected) {
        style.edge = kCyan;
        style.top = Blend(kFillTop, kCyan, 0.22f);
        style.bottom = Blend(kFillTop, kFillBottom, 0.4f);
    }
    DrawPanel(c, shape, style);
    if (state == TabState::Selected) {
        AccentRow(c, 4, 11, 116, kCyanBright, 1.0f);
        AccentRow(c, 5, 11, 116, kCyan, 0.6f);
    } else if (state == TabState::Hover) {
        AccentRow(c, 4, 11, 116, kCyan, 0.5f);
    }
    return c;
}

Image CloseButton(bool hover)
{
    Image c(28, 28);
    const Shape shape{0, 0, 27, 27, 5};
    const PanelStyle style{hover ? kCyan : kEdge, hover ? Blend(kFillTop, kCyan, 0.2f) : kFillTop, kFillBottom, kCyan,
                           1.0f};
    DrawPanel(c, shape, style);
    const Tint cross = hover ? kCyanBright : kSteel;
    c.Stroke(8.5f, 8.5f, 19.5f, 19.5f, 2.2f, cross);
    c.Stroke(19.5f, 8.5f, 8.5f, 19.5f, 2.2f, cross);
    return c;
}

// The box sits in the middle of a 34 x 34 sprite; the tick picture is drawn
// over it at the same place.
const Shape kCheckBox{7, 7, 26, 26, 3};

Image CheckBox()
{
    Image c(34, 34);
    for (int y = kCheckBox.y0; y <= kCheckBox.y1; ++y) {
        for (int x = kCheckBox.x0; x <= kCheckBox.x1; ++x) {
            if (!kCheckBox.Inside(x, y))
                continue;
            const int depth = kCheckBox.Depth(x, y, 3);
            const bool upperLeft = (x - kCheckBox.x0) + (y - kCheckBox.y0) < 19;
            if (depth == 0)
                c.Set(x, y, Blend(kEdge, kCyan, 0.35f));
            else if (depth == 1)
                c.Set(x, y, upperLeft ? kShadow : Blend(kFillTop, kBevelLight, 0.5f)); // sunken
            else
                c.Set(x, y, Blend(FromHex(0x0F151E), kFillBottom, static_cast<float>(y - 7) / 19.0f));
        }
    }
    return c;
}

Image CheckTick()
{
    Image c(34, 34);
    for (int y = kCheckBox.y0 + 2; y <= kCheckBox.y1 - 2; ++y) {
        for (int x = kCheckBox.x0 + 2; x <= kCheckBox.x1 - 2; ++x) {
            if (kCheckBox.Inside(x, y))
                c.Over(x, y, kCyan, 0.16f);
        }
    }
    c.Stroke(11.5f, 17.5f, 15.5f, 22.0f, 4.5f, FromHex(0x0A3A48, 0.8f)); // dark under-stroke for contrast
    c.Stroke(15.5f, 22.0f, 23.5f, 11.0f, 4.5f, FromHex(0x0A3A48, 0.8f));
    c.Stroke(11.5f, 17.5f, 15.5f, 22.0f, 2.6f, kCyanBright);
    c.Stroke(15.5f, 22.0f, 23.5f, 11.0f, 2.6f, kCyanBright);
    return c;
}

// A frame picture for nine-slice drawing with 8-pixel corners: a bright edge
// with cut corners and a faint inner wash. Drawn translucent over panels.
Image Highlight()
{
    Image c(32, 32);
    const Shape shape{0, 0, 31, 31, 4};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (!shape.Inside(x, y))
                continue;
            const int depth = shape.Depth(x, y, 3);
            if (depth == 0)
                c.Set(x, y, FromHex(0xE6FBFF));
            else if (depth == 1)
                c.Set(x, y, FromHex(0x8FF2FF, 0.45f));
            else
                c.Set(x, y, FromHex(0xCFF6FF, 0.12f));
        }
    }
    return c;
}

bool GenerateGuiArt(const std::string& dataDir)
{
    const std::string dir = dataDir + "/bitmaps/gui/";
    struct Item {
        const char* name;
        Image image;
    };
    const Item items[] = {
        {"textbutton.dds", TextButton(false)},
        {"textbutton_h.dds", TextButton(true)},
        {"tab.dds", Tab(TabState::Normal)},
        {"tab_h.dds", Tab(TabState::Hover)},
        {"tab_selected.dds", Tab(TabState::Selected)},
        {"button_close.dds", CloseButton(false)},
        {"button_close_h.dds", CloseButton(true)},
        {"checkbox.dds", CheckBox()},
        {"checkbox_checked.dds", CheckTick()},
        {"19px_highlight.dds", Highlight()},
    };
    bool ok = true;
    for (const Item& item : items)
        ok = WriteAssetIfChanged(dir + item.name, item.image.ToDds()) && ok;
    return ok;
}

} // namespace

QLM_GENERATOR(gui_art, GenerateGuiArt);
