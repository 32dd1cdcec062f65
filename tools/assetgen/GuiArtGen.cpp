// The widget skins: one dark blue-grey look with a cyan accent, 1-pixel edges
// and bevels, drawn at the sizes the widgets show them.
#include "AssetGen.h"

#include "platform/DdsImage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Colour {
    float r, g, b, a;
};

constexpr Colour Rgb(int hex, float a = 1.0f)
{
    return {((hex >> 16) & 0xFF) / 255.0f, ((hex >> 8) & 0xFF) / 255.0f, (hex & 0xFF) / 255.0f, a};
}

Colour Mix(Colour a, Colour b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

// The palette every widget shares.
const Colour kShadow = Rgb(0x080B11);
const Colour kFillTop = Rgb(0x2B3749);
const Colour kFillBottom = Rgb(0x171E2A);
const Colour kBevelLight = Rgb(0x44556F);
const Colour kBevelDark = Rgb(0x0E131B);
const Colour kEdge = Rgb(0x2F4A60);
const Colour kCyan = Rgb(0x3FD0F0);
const Colour kCyanBright = Rgb(0x8FF2FF);
const Colour kSteel = Rgb(0x9AA8BC);

class Canvas {
public:
    Canvas(int w, int h) : width(w), height(h), m_pixels(static_cast<size_t>(w * h), Colour{0, 0, 0, 0}) {}

    void Set(int x, int y, Colour c)
    {
        if (x >= 0 && y >= 0 && x < width && y < height)
            m_pixels[static_cast<size_t>(y * width + x)] = c;
    }
    // Source-over blend, so accents and glows lie on the base.
    void Blend(int x, int y, Colour c, float coverage = 1.0f)
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return;
        Colour& d = m_pixels[static_cast<size_t>(y * width + x)];
        const float a = std::clamp(c.a * coverage, 0.0f, 1.0f);
        const float outA = a + d.a * (1.0f - a);
        if (outA <= 0.0f)
            return;
        d.r = (c.r * a + d.r * d.a * (1.0f - a)) / outA;
        d.g = (c.g * a + d.g * d.a * (1.0f - a)) / outA;
        d.b = (c.b * a + d.b * d.a * (1.0f - a)) / outA;
        d.a = outA;
    }
    // A thick anti-aliased segment (ticks and crosses).
    void Line(float x0, float y0, float x1, float y1, float thickness, Colour c)
    {
        const float dx = x1 - x0;
        const float dy = y1 - y0;
        const float len2 = std::max(1e-6f, dx * dx + dy * dy);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const float px = static_cast<float>(x) + 0.5f;
                const float py = static_cast<float>(y) + 0.5f;
                const float t = std::clamp(((px - x0) * dx + (py - y0) * dy) / len2, 0.0f, 1.0f);
                const float d = std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
                const float cover = std::clamp(thickness / 2.0f + 0.5f - d, 0.0f, 1.0f);
                if (cover > 0.0f)
                    Blend(x, y, c, cover);
            }
        }
    }
    std::string ToDds() const
    {
        std::vector<uint8_t> bgra(m_pixels.size() * 4);
        for (size_t i = 0; i < m_pixels.size(); ++i) {
            const Colour& c = m_pixels[i];
            bgra[i * 4 + 0] = static_cast<uint8_t>(std::lround(std::clamp(c.b, 0.0f, 1.0f) * 255.0f));
            bgra[i * 4 + 1] = static_cast<uint8_t>(std::lround(std::clamp(c.g, 0.0f, 1.0f) * 255.0f));
            bgra[i * 4 + 2] = static_cast<uint8_t>(std::lround(std::clamp(c.r, 0.0f, 1.0f) * 255.0f));
            bgra[i * 4 + 3] = static_cast<uint8_t>(std::lround(std::clamp(c.a, 0.0f, 1.0f) * 255.0f));
        }
        return WriteDdsBGRA(width, height, bgra.data());
    }

    const int width;
    const int height;

private:
    std::vector<Colour> m_pixels;
};

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
    Colour edge;
    Colour top;
    Colour bottom;
    Colour accent;
    float accentAlpha;
};

// Outline, a one-pixel bevel (light above, dark below), a vertical gradient and
// faint scan lines: the base of every button-like skin.
void DrawPanel(Canvas& c, const Shape& s, const PanelStyle& style)
{
    const float span = static_cast<float>(std::max(1, s.y1 - s.y0));
    for (int y = s.y0; y <= s.y1; ++y) {
        for (int x = s.x0; x <= s.x1; ++x) {
            if (!s.Inside(x, y))
                continue;
            const int depth = s.Depth(x, y, 3);
            const float t = static_cast<float>(y - s.y0) / span;
            Colour fill = Mix(style.top, style.bottom, t);
            if ((y - s.y0) % 2 == 1)
                fill = Mix(fill, kShadow, 0.12f);
            if (depth == 0)
                c.Set(x, y, style.edge);
            else if (depth == 1)
                c.Set(x, y, t < 0.5f ? Mix(fill, kBevelLight, 0.7f) : Mix(fill, kBevelDark, 0.7f));
            else
                c.Set(x, y, fill);
        }
    }
    (void)style.accent;
}

void AccentRow(Canvas& c, int y, int x0, int x1, Colour colour, float alpha)
{
    for (int x = x0; x <= x1; ++x)
        c.Blend(x, y, colour, alpha);
}

// 128 x 34, read in quarters: left cap, (unused), middle, right cap. The
// middle quarter must look the same in every column, it is stretched.
Canvas TextButton(bool hover)
{
    Canvas c(128, 34);
    const Shape shape{0, 1, 127, 32, 7};
    const PanelStyle style{hover ? kCyan : kEdge, hover ? Mix(kFillTop, kCyan, 0.18f) : kFillTop,
                           hover ? Mix(kFillBottom, kCyan, 0.10f) : kFillBottom, kCyan, hover ? 1.0f : 0.55f};
    DrawPanel(c, shape, style);
    // Accent strip under the label and the cap marks.
    AccentRow(c, 28, 9, 118, style.accent, style.accentAlpha);
    AccentRow(c, 29, 9, 118, style.accent, style.accentAlpha * 0.35f);
    for (int y = 10; y <= 23; ++y) {
        c.Blend(5, y, style.accent, style.accentAlpha);
        c.Blend(6, y, style.accent, style.accentAlpha * 0.5f);
        c.Blend(122, y, style.accent, style.accentAlpha);
        c.Blend(121, y, style.accent, style.accentAlpha * 0.5f);
    }
    if (hover) {
        // A soft glow just inside the outline.
        for (int y = 2; y <= 31; ++y) {
            for (int x = 1; x <= 126; ++x) {
                if (shape.Inside(x, y) && shape.Depth(x, y, 3) == 2)
                    c.Blend(x, y, kCyanBright, 0.18f);
            }
        }
    }
    return c;
}

enum class TabState { Normal, Hover, Selected };

Canvas Tab(TabState state)
{
    Canvas c(128, 34);
    Shape shape{0, 2, 127, 33, 9};
    shape.openBottom = true;
    PanelStyle style{kEdge, Mix(kFillTop, kFillBottom, 0.35f), kFillBottom, kCyan, 0.0f};
    if (state == TabState::Hover) {
        style.edge = Mix(kEdge, kCyan, 0.6f);
        style.top = Mix(kFillTop, kCyan, 0.12f);
    } else if (state == TabState::Selected) {
        style.edge = kCyan;
        style.top = Mix(kFillTop, kCyan, 0.22f);
        style.bottom = Mix(kFillTop, kFillBottom, 0.4f);
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

Canvas CloseButton(bool hover)
{
    Canvas c(28, 28);
    const Shape shape{0, 0, 27, 27, 5};
    const PanelStyle style{hover ? kCyan : kEdge, hover ? Mix(kFillTop, kCyan, 0.2f) : kFillTop, kFillBottom, kCyan,
                           1.0f};
    DrawPanel(c, shape, style);
    const Colour cross = hover ? kCyanBright : kSteel;
    c.Line(8.5f, 8.5f, 19.5f, 19.5f, 2.2f, cross);
    c.Line(19.5f, 8.5f, 8.5f, 19.5f, 2.2f, cross);
    return c;
}

// The box sits in the middle of a 34 x 34 sprite; the tick picture is drawn
// over it at the same place.
const Shape kCheckBox{7, 7, 26, 26, 3};

Canvas CheckBox()
{
    Canvas c(34, 34);
    for (int y = kCheckBox.y0; y <= kCheckBox.y1; ++y) {
        for (int x = kCheckBox.x0; x <= kCheckBox.x1; ++x) {
            if (!kCheckBox.Inside(x, y))
                continue;
            const int depth = kCheckBox.Depth(x, y, 3);
            const bool upperLeft = (x - kCheckBox.x0) + (y - kCheckBox.y0) < 19;
            if (depth == 0)
                c.Set(x, y, Mix(kEdge, kCyan, 0.35f));
            else if (depth == 1)
                c.Set(x, y, upperLeft ? kShadow : Mix(kFillTop, kBevelLight, 0.5f)); // sunken
            else
                c.Set(x, y, Mix(Rgb(0x0F151E), kFillBottom, static_cast<float>(y - 7) / 19.0f));
        }
    }
    return c;
}

Canvas CheckTick()
{
    Canvas c(34, 34);
    for (int y = kCheckBox.y0 + 2; y <= kCheckBox.y1 - 2; ++y) {
        for (int x = kCheckBox.x0 + 2; x <= kCheckBox.x1 - 2; ++x) {
            if (kCheckBox.Inside(x, y))
                c.Blend(x, y, kCyan, 0.16f);
        }
    }
    c.Line(11.5f, 17.5f, 15.5f, 22.0f, 4.5f, Rgb(0x0A3A48, 0.8f)); // dark under-stroke for contrast
    c.Line(15.5f, 22.0f, 23.5f, 11.0f, 4.5f, Rgb(0x0A3A48, 0.8f));
    c.Line(11.5f, 17.5f, 15.5f, 22.0f, 2.6f, kCyanBright);
    c.Line(15.5f, 22.0f, 23.5f, 11.0f, 2.6f, kCyanBright);
    return c;
}

// A frame picture for nine-slice drawing with 8-pixel corners: a bright edge
// with cut corners and a faint inner wash. Drawn translucent over panels.
Canvas Highlight()
{
    Canvas c(32, 32);
    const Shape shape{0, 0, 31, 31, 4};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (!shape.Inside(x, y))
                continue;
            const int depth = shape.Depth(x, y, 3);
            if (depth == 0)
                c.Set(x, y, Rgb(0xE6FBFF));
            else if (depth == 1)
                c.Set(x, y, Rgb(0x8FF2FF, 0.45f));
            else
                c.Set(x, y, Rgb(0xCFF6FF, 0.12f));
        }
    }
    return c;
}

bool GenerateGuiArt(const std::string& dataDir)
{
    const std::string dir = dataDir + "/bitmaps/gui/";
    struct Item {
        const char* name;
        Canvas canvas;
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
        ok = WriteAssetIfChanged(dir + item.name, item.canvas.ToDds()) && ok;
    return ok;
}

} // namespace

QLM_GENERATOR(gui_art, GenerateGuiArt);
