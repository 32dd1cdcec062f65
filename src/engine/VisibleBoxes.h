#pragma once
#include "platform/IGraphicsDevice.h"

#include <cmath>
#include <limits>
#include <vector>

// The part of each loaded picture that shows: per mip level, the smallest
// texel rectangle outside which every texel's alpha is 0. Such texels add
// nothing under any blend the quad batch draws with (normal, additive and
// premultiplied all weigh the colour by its alpha), so a big quad can be
// shrunk to what maps that box and cost the rasteriser only those pixels.
// Known for plain BGRA pictures; any other texture is never trimmed.
class VisibleBoxes {
public:
    // Texels [x0, x1) x [y0, y1) of one level; empty when x0 >= x1.
    struct Box {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        bool operator==(const Box&) const = default;
    };
    struct Scan {
        bool opaque = false;    // every texel of every level has alpha 255
        std::vector<Box> boxes; // per level; none for pictures that are not BGRA
    };
    // One pass over the picture: the opaque test stops at the first
    // see-through texel, the boxes read only the transparent margins and
    // one texel per row beyond them.
    static Scan ScanPicture(const TextureData& data);

    // Below this many pixels saved a quad is drawn as given: the test would
    // cost more than the fill it saves.
    static constexpr float kMinSavedPixels = 256.0f;
    // A trim must keep at most this share of the quad.
    static constexpr float kMaxKeptShare = 0.75f;

    static VisibleBoxes& Shared();

    // Notes the boxes of a texture made from `data` (nothing when level 0's
    // box, grown by its texel, holds more than kMaxKeptShare of the
    // picture). Returns the scan so the caller can keep `opaque`.
    Scan Note(TextureHandle texture, const TextureData& data);
    void Forget(TextureHandle texture);
    void Clear();
    // Off, Trim keeps every quad (comparisons in tests and benchmarks).
    void SetEnabled(bool on) { m_enabled = on; }
    bool IsEnabled() const { return m_enabled; }

    // A quad (corners top-left, top-right, bottom-left, bottom-right) that
    // maps a rectangle of the picture onto a parallelogram in one colour,
    // shrunk to what maps the visible box of every mip level the sampler can
    // read there, each grown by a texel for linear filtering. Every pixel
    // drawn samples the coordinates it did before. False (and `out`
    // untouched) when the quad is kept as it is.
    // False when Trim keeps every quad of the texture as it is.
    bool MayTrim(TextureHandle texture) const { return texture < m_minArea.size() && m_minArea[texture] != kNever; }

    // False when Trim surely keeps the quad as it is; else the quad's signed
    // area in `det`.
    bool WorthTrimming(TextureHandle texture, const ScreenVertex quad[4], float& det) const
    {
        // Most quads leave here: pictures that show nearly whole, then
        // quads too small to gain.
        if (texture >= m_minArea.size() || m_minArea[texture] == kNever)
            return false;
        det = (quad[1].x - quad[0].x) * (quad[2].y - quad[0].y) - (quad[1].y - quad[0].y) * (quad[2].x - quad[0].x);
        return std::abs(det) >= m_minArea[texture] && m_enabled; // not small, flat or not a number
    }

    bool Trim(TextureHandle texture, const ScreenVertex quad[4], ScreenVertex out[4]) const
    {
        float det;
        return WorthTrimming(texture, quad, det) && TrimQuad(m_entries[texture], quad, det, out);
    }

private:
    // The visible boxes of levels 0..k joined, in texture coordinates.
    struct Reach {
        float u0, v0, u1, v1;
    };
    struct Entry {
        float width = 0.0f, height = 0.0f; // level 0 texels
        std::vector<Reach> upTo;
    };
    // Trim past its first tests; `det` is the quad's signed area.
    static bool TrimQuad(const Entry& entry, const ScreenVertex q[4], float det, ScreenVertex out[4]);

    std::vector<Entry> m_entries; // by handle
    static constexpr float kNever = std::numeric_limits<float>::infinity();
    // By handle, the least area of a quad worth trying (kNever: never
    // trimmed): a quad of the whole picture keeps at least level 0's share
    // of it (other levels only add), and quads of a part are judged the same
    // way so that the test stays one comparison.
    std::vector<float> m_minArea;
    bool m_enabled = true;
};
