// File-picker rows and delete icon, the alien glyph atlas of the decorative
// text blocks and the mask of the circular screen wipe. Same palette as the
// widget skins: dark blue-grey, cyan accent, crisp 1-pixel edges.
#include "ArtCommon.h"
#include "AssetGen.h"

#include "gui/GUI_LCARS_TextBlock.h"
#include "gui/GUI_Transition.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace art;

// Not in the shared palette: the delete warning.
const Tint kWarn = FromHex(0xE0504A);
const Tint kWarnBright = FromHex(0xFF8A7A);

// Whole-pixel distance to the outside of a rectangle with cut corners.
int ChamferDepth(int x, int y, int x0, int y0, int x1, int y1, int chamfer)
{
    if (x < x0 || x > x1 || y < y0 || y > y1)
        return -1;
    const int l = x - x0, r = x1 - x, t = y - y0, b = y1 - y;
    const int corner = std::min({l + t, r + t, l + b, r + b}) - chamfer;
    if (corner < 0)
        return -1;
    return std::min({l, r, t, b, corner});
}

// 24 x 24: a small bevelled plate with a cross; the hover picture glows.
Image DeleteIcon(bool hover)
{
    Image p(24, 24);
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 24; ++x) {
            const int depth = ChamferDepth(x, y, 1, 1, 22, 22, 4);
            if (depth < 0)
                continue;
            const float t = static_cast<float>(y) / 23.0f;
            Tint fill = Blend(kFillTop, kFillBottom, t);
            if (hover)
                fill = Blend(fill, kWarn, 0.22f);
            if (depth == 0)
                p.Set(x, y, hover ? kWarnBright : kEdge);
            else if (depth == 1)
                p.Set(x, y, Blend(fill, t < 0.5f ? kBevelLight : kBevelDark, 0.7f));
            else
                p.Set(x, y, fill);
        }
    }
    const Tint cross = hover ? kWarnBright : kSteel;
    p.Stroke(7.5f, 7.5f, 16.5f, 16.5f, 2.2f, cross);
    p.Stroke(16.5f, 7.5f, 7.5f, 16.5f, 2.2f, cross);
    return p;
}

// The unselected file row: a dark frame picture for nine-slice drawing with
// 8-pixel corners, the dim sibling of the cyan highlight.
Image BlackRowFrame()
{
    Image p(32, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const int depth = ChamferDepth(x, y, 0, 0, 31, 31, 4);
            if (depth < 0)
                continue;
            if (depth == 0)
                p.Set(x, y, Blend(kEdge, kCyan, 0.25f));
            else if (depth == 1)
                p.Set(x, y, FromHex(0x05080C, 0.85f));
            else
                p.Set(x, y, FromHex(0x000000, 0.55f));
        }
    }
    return p;
}

// A small deterministic generator for the glyph shapes (art must not depend
// on the game's random state).
struct ShapeRandom {
    uint32_t state;
    uint32_t Next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
};

// 5 x 10 cells of 16 pixels: each glyph is two to four strokes between the
// points of a 3 x 4 grid, white, so the text block tints them.
Image AlienAlphabet()
{
    constexpr int kCell = 16;
    const int columns = GUI_LCARS_TextBlock::kAtlasColumns;
    const int rows = GUI_LCARS_TextBlock::kAtlasRows;
    Image p(columns * kCell, rows * kCell);
    ShapeRandom random{0x5EEDF00Du};
    for (int glyph = 0; glyph < columns * rows; ++glyph) {
        const int cx0 = (glyph % columns) * kCell;
        const int cy0 = (glyph / columns) * kCell;
        auto pointX = [&](uint32_t i) { return static_cast<float>(cx0) + 3.5f + 4.5f * static_cast<float>(i % 3); };
        auto pointY = [&](uint32_t i) { return static_cast<float>(cy0) + 2.5f + 3.6f * static_cast<float>(i / 3); };
        const int strokes = 2 + static_cast<int>(random.Next() % 3);
        uint32_t from = random.Next() % 12;
        for (int s = 0; s < strokes; ++s) {
            uint32_t to = random.Next() % 12;
            if (to == from)
                to = (to + 4) % 12;
            p.Stroke(pointX(from), pointY(from), pointX(to), pointY(to), 1.6f, FromHex(0xFFFFFF), cx0, cy0, cx0 + kCell,
                     cy0 + kCell);
            // Strokes mostly chain, sometimes start afresh.
            from = (random.Next() % 4 == 0) ? random.Next() % 12 : to;
        }
        if (random.Next() % 3 == 0) {
            const float dx = pointX(random.Next() % 3);
            p.Stroke(dx, static_cast<float>(cy0) + 13.0f, dx + 0.01f, static_cast<float>(cy0) + 13.0f, 2.0f,
                     FromHex(0xFFFFFF), cx0, cy0, cx0 + kCell, cy0 + kCell);
        }
    }
    return p;
}

// White; clear inside the inner radius, opaque beyond the outer one, with a
// smooth ramp between (radii as fractions of the half side).
Image CircularWipeMask()
{
    constexpr int kSize = 256;
    Image p(kSize, kSize);
    const float half = kSize / 2.0f;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float d = std::hypot(static_cast<float>(x) + 0.5f - half, static_cast<float>(y) + 0.5f - half) / half;
            float t = std::clamp((d - GUI_Transition::kMaskClear) /
                                     (GUI_Transition::kMaskOpaque - GUI_Transition::kMaskClear),
                                 0.0f, 1.0f);
            t = t * t * (3.0f - 2.0f * t);
            p.Set(x, y, Tint{1.0f, 1.0f, 1.0f, t});
        }
    }
    return p;
}

} // namespace

bool GenerateFileDialogArt(const std::string& dataDir)
{
    const std::string dir = dataDir + "/bitmaps/gui/";
    bool ok = true;
    ok = WriteAssetIfChanged(dir + "gui_file_delete.dds", DeleteIcon(false).ToDds()) && ok;
    ok = WriteAssetIfChanged(dir + "gui_file_delete_h.dds", DeleteIcon(true).ToDds()) && ok;
    ok = WriteAssetIfChanged(dir + "19px_highlight_black.dds", BlackRowFrame().ToDds()) && ok;
    ok = WriteAssetIfChanged(dir + GUI_LCARS_TextBlock::kTexture, AlienAlphabet().ToDds()) && ok;
    ok = WriteAssetIfChanged(dir + GUI_Transition::kMaskTexture, CircularWipeMask().ToDds()) && ok;
    return ok;
}

QLM_GENERATOR(file_dialog_art, GenerateFileDialogArt);
