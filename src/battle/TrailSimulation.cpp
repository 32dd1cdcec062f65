#include "battle/TrailSimulation.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>

#include "battle/GUI_Map.h"
#include "engine/QuadRunBatch.h"

namespace {

constexpr float kDegToRad = 0.01745329238474369f;

uint32_t White(int alpha)
{
    return (static_cast<uint32_t>(std::clamp(alpha, 0, 255)) << 24) | 0x00FFFFFFu;
}

// Four lanes of floats (SSE on x86-64). Each lane does the float operation
// the scalar code would, so the bits are the same.
using Floats4 = float __attribute__((vector_size(16)));
using Ints4 = int32_t __attribute__((vector_size(16)));
// The lanes of `v` whose mask is the sign bit, negated (exactly).
inline Floats4 Negate(Floats4 v, Ints4 signs)
{
    return reinterpret_cast<Floats4>(reinterpret_cast<Ints4>(v) ^ signs);
}
constexpr int32_t kSign = std::numeric_limits<int32_t>::min();
// The signs of ws and wc in a far side: -ws, -ws, -ws, ws and -wc, wc, wc, wc.
constexpr Ints4 kAlong = {kSign, kSign, kSign, 0};
constexpr Ints4 kAcross = {kSign, 0, 0, 0};
// An edge's four places lead it, in the order of a side's lanes.
static_assert(offsetof(QuadRunBatch::StripEdge, lx) == 0 &&
              offsetof(QuadRunBatch::StripEdge, ry) == 3 * sizeof(float));

} // namespace

TrailSimulation::TrailSimulation()
{
    std::memset(m_x, 0, sizeof(m_x));
    std::memset(m_y, 0, sizeof(m_y));
    std::memset(m_sin, 0, sizeof(m_sin));
    std::memset(m_cos, 0, sizeof(m_cos));
    Reset();
}

void TrailSimulation::Init(int style, float /*startValue*/, float pointCount, float width, float segmentLength)
{
    m_detached = 0;
    m_segmentSq = segmentLength * segmentLength;
    m_width = width;
    m_pointCount = std::clamp(static_cast<int>(pointCount), 1, kMaxPoints);
    // u0, v0, u1, v1 of the quarter.
    switch (style) {
    case 0: m_uv[0] = 0.0f; m_uv[1] = 0.05f; m_uv[2] = 0.5f; m_uv[3] = 0.45f; break;
    case 2: m_uv[0] = 0.0f; m_uv[1] = 0.55f; m_uv[2] = 0.5f; m_uv[3] = 0.95f; break;
    case 3: m_uv[0] = 0.5f; m_uv[1] = 0.55f; m_uv[2] = 1.0f; m_uv[3] = 0.95f; break;
    default: m_uv[0] = 0.5f; m_uv[1] = 0.05f; m_uv[2] = 1.0f; m_uv[3] = 0.45f; break;
    }
    m_drawnCount = 0;
    m_edgeCount = 0;
    Reset();
}

void TrailSimulation::Reset()
{
    m_residual = 0.0f;
    m_headAngle = 0.0f;
    m_head = 0;
    m_minX = m_minY = std::numeric_limits<float>::max();
    m_maxX = m_maxY = std::numeric_limits<float>::lowest();
    std::memset(m_active, 0, sizeof(m_active));
    m_activeCount = 0;
    for (double& birth : m_birth)
        birth = m_clock;
}

void TrailSimulation::LayPoint(float angle, float x, float y, float d2)
{
    m_head = m_head == 0 ? m_pointCount - 1 : m_head - 1;
    m_x[m_head] = x;
    m_y[m_head] = y;
    Cover(x, y);
    m_activeCount += m_active[m_head] ? 0 : 1;
    m_active[m_head] = 1;
    m_birth[m_head] = m_clock;
    m_sin[m_head] = std::sin(angle * kDegToRad);
    m_cos[m_head] = std::cos(angle * kDegToRad);
    m_residual = d2 - m_segmentSq;
    m_headAngle = angle;
}

TrailSimulation::Screen TrailSimulation::Screen::Current()
{
    const GUI_Map& map = GUI_Map::GetInstance();
    return {map.cameraX, map.cameraY, ZoomScale, static_cast<float>(map.GetScreenWidth()),
            static_cast<float>(map.GetScreenHeight())};
}

void TrailSimulation::SkipDraw()
{
    if (!(static_cast<float>(m_clock - m_birth[m_head]) > m_lifetime))
        return;
    std::memset(m_active, 0, sizeof(m_active));
    m_activeCount = 0;
    m_minX = m_minY = std::numeric_limits<float>::max();
    m_maxX = m_maxY = std::numeric_limits<float>::lowest();
}

template <bool kClip>
[[gnu::always_inline]] inline void TrailSimulation::Walk(const WalkView& view)
{
    // Every scalar the walk reads or counts lives in a local: the byte and
    // colour stores below could otherwise alias the members and force a
    // reload of each per point. (The arrays share one base, the trail.)
    const float lifetime = m_lifetime;
    const double clock = m_clock;
    const int count = m_pointCount, head = m_head;
    // The ring's last slot, counted from the head: a walk ending there has
    // still met every point.
    const int last = head == 0 ? count - 1 : head - 1;
    QuadRunBatch::StripEdge* edge = m_edges;
    int activeCount = m_activeCount;
    // Past the last active point every slot is skipped: stop there.
    int unseen = activeCount;
    // The last quad staged had no alpha left: the next point in view ends the trail.
    bool fading = false;
    bool complete = true;
    // A walk that reaches every point fits the box again to the points left
    // active, in the walk's order. Held as minX, minY, -maxX, -maxY: one
    // lane-wise minimum grows all four sides (-x < -maxX exactly when
    // maxX < x, and negation is exact).
    const float far = std::numeric_limits<float>::max();
    Floats4 box = {far, far, far, far};
    auto keep = [&](float x, float y) {
        const Floats4 p = {x, y, -x, -y};
        box = p < box ? p : box;
    };
    auto retire = [&](int k) {
        m_active[k] = 0;
        --activeCount;
    };
    // Point k of the ring; the head is opaque until detached. True when the
    // walk ends with it.
    auto visit = [&](int k, bool isHead, bool opaque) __attribute__((always_inline)) {
        --unseen;
        const float x = m_x[k], y = m_y[k];
        const float age = static_cast<float>(clock - m_birth[k]);
        const float px = (x - view.cameraX) * view.zoom, py = (y - view.cameraY) * view.zoom;
        if (kClip && (px < view.left || py < view.top || px > view.right || py > view.bottom)) {
            if (age > lifetime)
                retire(k);
            else
                keep(x, y);
            return false;
        }
        if (fading) {
            retire(k);
            complete = k == last;
            return true;
        }
        int alpha = 255;
        if (!opaque) {
            // A share of the lifetime that is not a number (no lifetime, no
            // age) counts as all of it: the point has no alpha left.
            const float share = age / lifetime;
            alpha = std::min(255 - static_cast<int>((share < 1.0f ? share : 1.0f) * 255.0f), 255);
            if (alpha < 1)
                retire(k);
        }
        if (alpha >= 1)
            keep(x, y);
        const uint32_t colour = White(alpha);
        const float w = view.halfWidth;
        const float ws = w * m_sin[k], wc = w * m_cos[k];
        // The first point drawn gives the near side of its quad as well; each
        // point's far side is the near side of the next.
        if (edge == m_edges)
            *edge++ = {px + ws - wc, py - wc - ws, px + ws + wc, py - wc + ws, colour};
        // px - ws - wc, py - ws + wc, px - ws + wc, py + ws + wc, added in
        // that order (a - b is a + -b to the bit).
        const Floats4 side = (Floats4{px, py, px, py} + Negate(Floats4{ws, ws, ws, ws}, kAlong)) +
                             Negate(Floats4{wc, wc, wc, wc}, kAcross);
        std::memcpy(edge, &side, sizeof side);
        edge->colour = colour;
        ++edge;
        fading = alpha < 1;
        // Only a detached head fades: it ends the trail at once.
        if (isHead && fading) {
            complete = k == last;
            return true;
        }
        return false;
    };
    // The slots begin..end - 1: true when the walk ends among them.
    auto walkSlots = [&](int begin, int end) __attribute__((always_inline)) {
        for (int k = begin; k < end; ++k) {
            if (!m_active[k])
                continue;
            if (visit(k, false, false) || unseen == 0)
                return true;
        }
        return false;
    };
    // The head, then the ring from the slot after it round to the one before.
    const bool ended = m_active[head] && (visit(head, true, m_detached == 0) || unseen == 0);
    if (!ended && !walkSlots(head + 1, count))
        walkSlots(0, head);
    m_drawnCount = m_activeCount - unseen;
    m_activeCount = activeCount;
    if (complete) {
        m_minX = box[0];
        m_minY = box[1];
        m_maxX = -box[2];
        m_maxY = -box[3];
    }
    m_edgeCount = static_cast<int>(edge - m_edges);
}

int TrailSimulation::Draw(TextureHandle texture, bool additive)
{
    m_anyVisible = m_activeCount > 0 ? 1 : 0;
    m_drawnCount = 0;
    m_edgeCount = 0;
    if (!m_anyVisible)
        return 0;
    const GUI_Map& map = GUI_Map::GetInstance();
    WalkView view;
    view.zoom = ZoomScale;
    view.cameraX = map.cameraX;
    view.cameraY = map.cameraY;
    view.halfWidth = view.zoom * m_width * 0.5f;
    view.left = -kScreenMargin;
    view.top = -kScreenMargin;
    view.right = static_cast<float>(map.GetScreenWidth()) + kScreenMargin;
    view.bottom = static_cast<float>(map.GetScreenHeight()) + kScreenMargin;
    // Every active point lies in the box, and the screen place grows with
    // the world place (zoom not negative): a box on the screen has each
    // point on it.
    const float zoom = view.zoom;
    const bool onScreen = zoom >= 0.0f && (m_minX - view.cameraX) * zoom >= view.left &&
                          (m_minY - view.cameraY) * zoom >= view.top && (m_maxX - view.cameraX) * zoom <= view.right &&
                          (m_maxY - view.cameraY) * zoom <= view.bottom;
    if (onScreen)
        Walk<false>(view);
    else
        Walk<true>(view);
    QuadRunBatch::Shared().AddStrip(texture, additive, m_edges, static_cast<size_t>(m_edgeCount), m_uv);
    return m_edgeCount > 0 ? m_edgeCount - 1 : 0;
}

const ScreenVertex* TrailSimulation::GetStagedVertices() const
{
    ScreenVertex corners[4];
    QuadRunBatch::StripCorners(m_uv, corners);
    m_staged.resize(static_cast<size_t>(std::max(m_edgeCount - 1, 0)) * 4);
    for (int i = 0; i + 1 < m_edgeCount; ++i)
        QuadRunBatch::StripQuad(m_edges[i], m_edges[i + 1], corners, 0.0f, &m_staged[static_cast<size_t>(i) * 4]);
    return m_staged.data();
}
