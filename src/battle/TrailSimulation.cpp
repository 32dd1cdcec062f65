#include "battle/TrailSimulation.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>

#include "battle/GUI_Map.h"
#include "engine/Lanes4.h"
#include "engine/QuadRunBatch.h"

namespace {

constexpr float kDegToRad = 0.01745329238474369f;

uint32_t White(int alpha)
{
    return (static_cast<uint32_t>(std::clamp(alpha, 0, 255)) << 24) | 0x00FFFFFFu;
}

// More lane widths beside Floats4 and Ints4.
using Uints4 = uint32_t __attribute__((vector_size(16)));
using Floats2 = float __attribute__((vector_size(8)));
using Doubles2 = double __attribute__((vector_size(16)));
// Lane i of a, b, c and d together in out[i].
inline void Transpose4(Floats4 a, Floats4 b, Floats4 c, Floats4 d, Floats4 out[4])
{
    const Floats4 abLow = __builtin_shufflevector(a, b, 0, 4, 1, 5);
    const Floats4 abHigh = __builtin_shufflevector(a, b, 2, 6, 3, 7);
    const Floats4 cdLow = __builtin_shufflevector(c, d, 0, 4, 1, 5);
    const Floats4 cdHigh = __builtin_shufflevector(c, d, 2, 6, 3, 7);
    out[0] = __builtin_shufflevector(abLow, cdLow, 0, 1, 4, 5);
    out[1] = __builtin_shufflevector(abLow, cdLow, 2, 3, 6, 7);
    out[2] = __builtin_shufflevector(abHigh, cdHigh, 0, 1, 4, 5);
    out[3] = __builtin_shufflevector(abHigh, cdHigh, 2, 3, 6, 7);
}
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
    m_second = SecondSlot();
    m_box = Floats4{kFar, kFar, kFar, kFar};
    std::memset(m_active, 0, sizeof(m_active));
    m_activeCount = 0;
    for (double& birth : m_birth)
        birth = m_clock;
}

void TrailSimulation::LayPoint(float angle, float x, float y, float d2)
{
    m_head = m_head == 0 ? m_pointCount - 1 : m_head - 1;
    m_second = SecondSlot();
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
    m_box = Floats4{kFar, kFar, kFar, kFar};
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
    QuadRunBatch::StripEdge* const edges = m_edges;
    int edgeCount = 0;
    int activeCount = m_activeCount;
    // Past the last active point every slot is skipped: stop there.
    int unseen = activeCount;
    // The last quad staged had no alpha left: the next point in view ends the trail.
    bool fading = false;
    bool complete = true;
    // A walk that reaches every point fits the box again to the points left
    // active, as Cover grows it. The points of the four-point steps are
    // held lane by lane (x, y, -x, -y) and joined at the end: a minimum
    // does not depend on the order.
    Floats4 box = {kFar, kFar, kFar, kFar};
    Floats4 minX = box, minY = box, minNegX = box, minNegY = box;
    bool stepped = false;
    auto keep = [&](float x, float y) {
        const Floats4 p = {x, y, -x, -y};
        box = p < box ? p : box;
    };
    auto retire = [&](int k) {
        m_active[k] = 0;
        --activeCount;
    };
    const float w = view.halfWidth;
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
        const float ws = w * m_sin[k], wc = w * m_cos[k];
        // The first point drawn gives the near side of its quad as well; each
        // point's far side is the near side of the next.
        if (edgeCount == 0)
            edges[edgeCount++] = {px + ws - wc, py - wc - ws, px + ws + wc, py - wc + ws, colour};
        // px - ws - wc, py - ws + wc, px - ws + wc, py + ws + wc, added in
        // that order (a - b is a + -b to the bit).
        const Floats4 side = (Floats4{px, py, px, py} + Negate(Floats4{ws, ws, ws, ws}, kAlong)) +
                             Negate(Floats4{wc, wc, wc, wc}, kAcross);
        std::memcpy(&edges[edgeCount], &side, sizeof side);
        edges[edgeCount++].colour = colour;
        fading = alpha < 1;
        // Only a detached head fades: it ends the trail at once.
        if (isHead && fading) {
            complete = k == last;
            return true;
        }
        return false;
    };
    // Slots k..k+3 at once, as four visits that neither retire nor end the
    // walk would do them, lane by lane with the same operations; false
    // (and nothing done) for any other four.
    const Floats4 cameraX = {view.cameraX, view.cameraX, view.cameraX, view.cameraX};
    const Floats4 cameraY = {view.cameraY, view.cameraY, view.cameraY, view.cameraY};
    auto step = [&](int k) __attribute__((always_inline)) {
        uint32_t active;
        std::memcpy(&active, &m_active[k], sizeof active);
        if (active != 0x01010101u)
            return false;
        Floats4 x, y;
        std::memcpy(&x, &m_x[k], sizeof x);
        std::memcpy(&y, &m_y[k], sizeof y);
        const Floats4 px = (x - cameraX) * view.zoom, py = (y - cameraY) * view.zoom;
        if (kClip && AnyLane((px < view.left) | (py < view.top) | (px > view.right) | (py > view.bottom)))
            return false;
        Doubles2 birthLow, birthHigh;
        std::memcpy(&birthLow, &m_birth[k], sizeof birthLow);
        std::memcpy(&birthHigh, &m_birth[k + 2], sizeof birthHigh);
        const Floats2 ageLow = __builtin_convertvector(clock - birthLow, Floats2);
        const Floats2 ageHigh = __builtin_convertvector(clock - birthHigh, Floats2);
        const Floats4 share = __builtin_shufflevector(ageLow, ageHigh, 0, 1, 2, 3) / lifetime;
        // minps gives share < 1 ? share : 1 lane by lane. Lost alpha past
        // 0..254 (a point fading, or younger than the trail's clock) is left
        // to the visits.
        const Floats4 capped = __builtin_ia32_minps(share, Floats4{1.0f, 1.0f, 1.0f, 1.0f});
        const Ints4 lost = __builtin_convertvector(capped * 255.0f, Ints4);
        if (AnyLane(reinterpret_cast<Uints4>(lost) > 254u))
            return false;
        const Ints4 alpha = 255 - lost;
        unseen -= 4;
        minX = x < minX ? x : minX;
        minY = y < minY ? y : minY;
        minNegX = -x < minNegX ? -x : minNegX;
        minNegY = -y < minNegY ? -y : minNegY;
        stepped = true;
        const Uints4 colour = (reinterpret_cast<Uints4>(alpha) << 24) | 0x00FFFFFFu;
        Floats4 sine, cosine;
        std::memcpy(&sine, &m_sin[k], sizeof sine);
        std::memcpy(&cosine, &m_cos[k], sizeof cosine);
        const Floats4 ws = w * sine, wc = w * cosine;
        // The far sides' places as a visit adds them, then one side a point.
        const Floats4 back = px + -ws;
        const Floats4 lx = back + -wc, ly = (py + -ws) + wc, rx = back + wc, ry = (py + ws) + wc;
        Floats4 sides[4];
        Transpose4(lx, ly, rx, ry, sides);
        for (int i = 0; i < 4; ++i) {
            std::memcpy(&edges[edgeCount], &sides[i], sizeof sides[i]);
            edges[edgeCount++].colour = colour[i];
        }
        return true;
    };
    // The slots begin..end - 1: true when the walk ends among them. Once a
    // four-point step meets a point past the screen or fading, the rest go
    // one by one: fading points only grow older along the ring.
    auto walkSlots = [&](int begin, int end) __attribute__((always_inline)) {
        bool steps = true;
        for (int k = begin; k < end;) {
            if (steps && k + 4 <= end && edgeCount > 0 && !fading) {
                if (step(k)) {
                    k += 4;
                    if (unseen == 0)
                        return true;
                    continue;
                }
                steps = m_active[k] && m_active[k + 1] && m_active[k + 2] && m_active[k + 3] ? false : steps;
            }
            if (m_active[k] && (visit(k, false, false) || unseen == 0))
                return true;
            ++k;
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
        if (stepped) {
            // Lane i of the four minima as one more point each.
            Floats4 points[4];
            Transpose4(minX, minY, minNegX, minNegY, points);
            for (const Floats4& p : points)
                box = p < box ? p : box;
        }
        m_box = box;
    }
    m_edgeCount = edgeCount;
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
    // point on it. The negated sides give the negated places exactly.
    const float zoom = view.zoom;
    const Floats4 camera = {view.cameraX, view.cameraY, -view.cameraX, -view.cameraY};
    const Floats4 inside = {view.left, view.top, -view.right, -view.bottom};
    const bool onScreen = zoom >= 0.0f && !AnyLane(~((m_box - camera) * zoom >= inside));
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
