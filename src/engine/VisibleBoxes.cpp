#include "engine/VisibleBoxes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr size_t kAlpha = 3;

bool EveryTexelOpaque(const TextureData& data)
{
    for (const std::vector<uint8_t>& texels : data.levels) {
        if (texels.empty())
            return false;
        for (size_t i = kAlpha; i < texels.size(); i += 4)
            if (texels[i] != 0xFF)
                return false; // most pictures stop at their first corner
    }
    return true;
}

VisibleBoxes::Box BoxOfLevel(const uint8_t* texels, int w, int h)
{
    auto alpha = [&](int x, int y) {
        return texels[(static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)) * 4 + kAlpha];
    };
    auto rowShows = [&](int y) {
        for (int x = 0; x < w; ++x)
            if (alpha(x, y) != 0)
                return true;
        return false;
    };
    int top = 0;
    while (top < h && !rowShows(top))
        ++top;
    if (top == h)
        return {};
    int bottom = h - 1;
    while (!rowShows(bottom))
        --bottom;
    // Each row is read only up to the sides found so far.
    int x0 = w, x1 = 0;
    for (int y = top; y <= bottom; ++y) {
        for (int x = 0; x < x0; ++x)
            if (alpha(x, y) != 0) {
                x0 = x;
                break;
            }
        for (int x = w - 1; x >= x1; --x)
            if (alpha(x, y) != 0) {
                x1 = x + 1;
                break;
            }
    }
    return {x0, top, x1, bottom + 1};
}

float Lerp(float a, float b, float f)
{
    // Exact at both ends, so a corner left in place keeps its very position.
    return a * (1.0f - f) + b * f;
}

// Where along an edge running from `base` by `delta` the range [lo, hi]
// lies, within the edge.
bool EdgeRange(float base, float delta, float lo, float hi, float& from, float& to)
{
    if (delta == 0.0f)
        return false;
    float a = (lo - base) / delta, b = (hi - base) / delta;
    if (a > b)
        std::swap(a, b);
    from = std::max(a, 0.0f);
    to = std::min(b, 1.0f);
    return from < to;
}

} // namespace

VisibleBoxes::Scan VisibleBoxes::ScanPicture(const TextureData& data)
{
    Scan scan;
    if (data.format != PixelFormat::BGRA8 || data.levels.empty() || data.width <= 0 || data.height <= 0)
        return scan;
    int w = data.width, h = data.height;
    for (const std::vector<uint8_t>& texels : data.levels) {
        if (texels.size() != static_cast<size_t>(w) * static_cast<size_t>(h) * 4)
            return Scan{};
        w = std::max(1, w / 2);
        h = std::max(1, h / 2);
    }
    scan.opaque = EveryTexelOpaque(data);
    w = data.width;
    h = data.height;
    for (const std::vector<uint8_t>& texels : data.levels) {
        scan.boxes.push_back(scan.opaque ? Box{0, 0, w, h} : BoxOfLevel(texels.data(), w, h));
        w = std::max(1, w / 2);
        h = std::max(1, h / 2);
    }
    return scan;
}

VisibleBoxes& VisibleBoxes::Shared()
{
    static VisibleBoxes boxes;
    return boxes;
}

VisibleBoxes::Scan VisibleBoxes::Note(TextureHandle texture, const TextureData& data)
{
    Scan scan = ScanPicture(data);
    Forget(texture);
    if (texture == 0 || scan.boxes.empty())
        return scan;
    // A picture that shows to its edges at level 0 gains nothing.
    if (scan.boxes[0] == Box{0, 0, data.width, data.height})
        return scan;
    Entry entry;
    entry.width = static_cast<float>(data.width);
    entry.height = static_cast<float>(data.height);
    Reach reach{1.0f, 1.0f, 0.0f, 0.0f}; // empty
    int w = data.width, h = data.height;
    for (const Box& box : scan.boxes) {
        if (box.x0 < box.x1 && box.y0 < box.y1) {
            // A texel's margin: linear filtering reads half a texel out.
            const float fw = static_cast<float>(w), fh = static_cast<float>(h);
            reach.u0 = std::min(reach.u0, static_cast<float>(box.x0 - 1) / fw);
            reach.v0 = std::min(reach.v0, static_cast<float>(box.y0 - 1) / fh);
            reach.u1 = std::max(reach.u1, static_cast<float>(box.x1 + 1) / fw);
            reach.v1 = std::max(reach.v1, static_cast<float>(box.y1 + 1) / fh);
        }
        entry.upTo.push_back(reach);
        w = std::max(1, w / 2);
        h = std::max(1, h / 2);
    }
    const Reach& finest = entry.upTo[0];
    const float share = std::max(0.0f, std::min(finest.u1, 1.0f) - std::max(finest.u0, 0.0f)) *
                        std::max(0.0f, std::min(finest.v1, 1.0f) - std::max(finest.v0, 0.0f));
    if (share > kMaxKeptShare)
        return scan;
    if (m_entries.size() <= texture) {
        m_entries.resize(static_cast<size_t>(texture) + 1);
        m_minArea.resize(m_entries.size(), kNever);
    }
    m_entries[texture] = std::move(entry);
    m_minArea[texture] = kMinSavedPixels / (1.0f - share);
    return scan;
}

void VisibleBoxes::Forget(TextureHandle texture)
{
    if (texture < m_entries.size()) {
        m_entries[texture] = Entry{};
        m_minArea[texture] = kNever;
    }
}

void VisibleBoxes::Clear()
{
    m_entries.clear();
    m_minArea.clear();
}

bool VisibleBoxes::TrimQuad(const Entry& entry, const ScreenVertex q[4], float det, ScreenVertex out[4])
{
    // The quad's edges from its top-left corner, on screen and in texels.
    const float sx = q[1].x - q[0].x, sy = q[1].y - q[0].y;
    const float tx = q[2].x - q[0].x, ty = q[2].y - q[0].y;
    const uint32_t colour = q[0].colour;
    const float rhw = q[0].rhw;
    for (int i = 1; i < 4; ++i)
        if (q[i].colour != colour || q[i].rhw != rhw)
            return false;
    // A parallelogram, its coordinates an affine map of it: then the two
    // triangles interpolate as one, and so does any part of it.
    constexpr float kPixelSlack = 1.0f / 64.0f;
    if (!(std::abs(q[3].x - q[2].x - sx) <= kPixelSlack && std::abs(q[3].y - q[2].y - sy) <= kPixelSlack))
        return false;
    const float us = (q[1].u - q[0].u) * entry.width, vs = (q[1].v - q[0].v) * entry.height;
    const float ut = (q[2].u - q[0].u) * entry.width, vt = (q[2].v - q[0].v) * entry.height;
    constexpr float kTexelSlack = 1.0f / 64.0f; // well inside the margin's spare half texel
    if (!(std::abs((q[3].u - q[2].u) * entry.width - us) <= kTexelSlack &&
          std::abs((q[3].v - q[2].v) * entry.height - vs) <= kTexelSlack))
        return false;
    // The picture's rectangle lies along the quad's edges, either way round.
    const bool uAlongS = std::abs(ut) <= kTexelSlack && std::abs(vs) <= kTexelSlack;
    const bool uAlongT = std::abs(us) <= kTexelSlack && std::abs(vt) <= kTexelSlack;
    if (!uAlongS && !uAlongT)
        return false;

    size_t level = 0;
    if (entry.upTo.size() > 1) {
        // The texel footprint of a screen pixel, as the sampler works out
        // its level; the coarsest level read is one past it, one more is
        // kept for the rasteriser's own approximation.
        const float dxu = (us * ty - ut * sy) / det, dxv = (vs * ty - vt * sy) / det;
        const float dyu = (ut * sx - us * tx) / det, dyv = (vt * sx - vs * tx) / det;
        const float rho2 = std::max(dxu * dxu + dxv * dxv, dyu * dyu + dyv * dyv);
        if (!(rho2 > 0.0f) || !std::isfinite(rho2))
            return false;
        const float coarsest = std::floor(0.5f * std::log2(rho2)) + 2.0f;
        level = coarsest <= 0.0f ? 0 : std::min(static_cast<size_t>(coarsest), entry.upTo.size() - 1);
    }
    const Reach& reach = entry.upTo[level];
    float uFrom, uTo, vFrom, vTo;
    if (!EdgeRange(q[0].u, q[uAlongS ? 1 : 2].u - q[0].u, reach.u0, reach.u1, uFrom, uTo) ||
        !EdgeRange(q[0].v, q[uAlongS ? 2 : 1].v - q[0].v, reach.v0, reach.v1, vFrom, vTo))
        return false;
    const float s0 = uAlongS ? uFrom : vFrom, s1 = uAlongS ? uTo : vTo;
    const float t0 = uAlongS ? vFrom : uFrom, t1 = uAlongS ? vTo : uTo;
    const float kept = (s1 - s0) * (t1 - t0);
    if (kept > kMaxKeptShare || std::abs(det) * (1.0f - kept) < kMinSavedPixels)
        return false;

    // Along the top and bottom edges first, then down between them.
    ScreenVertex edge[4]; // top at s0, s1; bottom at s0, s1
    const float ss[2] = {s0, s1};
    for (int i = 0; i < 4; ++i) {
        const ScreenVertex& a = q[i < 2 ? 0 : 2];
        const ScreenVertex& b = q[i < 2 ? 1 : 3];
        const float s = ss[i & 1];
        edge[i].x = Lerp(a.x, b.x, s);
        edge[i].y = Lerp(a.y, b.y, s);
        edge[i].u = Lerp(a.u, b.u, s);
        edge[i].v = Lerp(a.v, b.v, s);
    }
    const float ts[2] = {t0, t1};
    for (int i = 0; i < 4; ++i) {
        const ScreenVertex& a = edge[i & 1];
        const ScreenVertex& b = edge[2 + (i & 1)];
        const float t = ts[i >> 1];
        out[i] = q[i];
        out[i].x = Lerp(a.x, b.x, t);
        out[i].y = Lerp(a.y, b.y, t);
        out[i].u = Lerp(a.u, b.u, t);
        out[i].v = Lerp(a.v, b.v, t);
    }
    return true;
}
