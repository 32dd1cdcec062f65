#include "battle/TrailSimulation.h"

#include <algorithm>
#include <cmath>
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

bool TrailSimulation::MayShowOnScreen() const
{
    // The extremes of Draw's own test on each point.
    const GUI_Map& map = GUI_Map::GetInstance();
    return MayShowOnScreen(map.cameraX, map.cameraY, ZoomScale, static_cast<float>(map.GetScreenWidth()),
                           static_cast<float>(map.GetScreenHeight()));
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

int TrailSimulation::Draw(TextureHandle texture, bool additive)
{
    m_anyVisible = m_activeCount > 0 ? 1 : 0;
    m_drawnCount = 0;
    m_edgeCount = 0;
    if (!m_anyVisible)
        return 0;
    // Every scalar the walk reads or counts lives in a local: the byte and
    // colour stores below could otherwise alias the members and force a
    // reload of each per point. (The arrays share one base, the trail.)
    const GUI_Map& map = GUI_Map::GetInstance();
    const float zoom = ZoomScale, camX = map.cameraX, camY = map.cameraY;
    const float w = zoom * m_width * 0.5f;
    const float sw = static_cast<float>(map.GetScreenWidth()), sh = static_cast<float>(map.GetScreenHeight());
    const float left = -kScreenMargin, top = -kScreenMargin, right = sw + kScreenMargin, bottom = sh + kScreenMargin;
    const float lifetime = m_lifetime;
    const double clock = m_clock;
    const int count = m_pointCount;
    const bool headFades = m_detached != 0;
    QuadRunBatch::StripEdge* edge = m_edges;
    int activeCount = m_activeCount;
    int drawn = 0;
    // The last quad staged had no alpha left: the next point in view ends the trail.
    bool fading = false;
    bool complete = true;
    // A walk that reaches every point fits the box again to the points left
    // active, in the walk's order.
    float minX = std::numeric_limits<float>::max(), minY = minX;
    float maxX = std::numeric_limits<float>::lowest(), maxY = maxX;
    auto keep = [&](int j) {
        minX = std::min(minX, m_x[j]);
        minY = std::min(minY, m_y[j]);
        maxX = std::max(maxX, m_x[j]);
        maxY = std::max(maxY, m_y[j]);
    };
    // Past the last active point every slot is skipped: stop there.
    int unseen = activeCount;
    int k = m_head;
    for (int i = 0; i < count && unseen > 0; ++i, k = k + 1 == count ? 0 : k + 1) {
        if (!m_active[k])
            continue;
        --unseen;
        ++drawn;
        const float age = static_cast<float>(clock - m_birth[k]);
        const float px = (m_x[k] - camX) * zoom, py = (m_y[k] - camY) * zoom;
        if (px < left || py < top || px > right || py > bottom) {
            if (age > lifetime) {
                m_active[k] = 0;
                --activeCount;
            } else {
                keep(k);
            }
            continue;
        }
        if (fading) {
            m_active[k] = 0;
            --activeCount;
            complete = i + 1 == count;
            break;
        }
        int alpha = 255;
        bool endAfter = false;
        if (i != 0 || headFades) {
            alpha = std::min(255 - static_cast<int>(std::min(age / lifetime, 1.0f) * 255.0f), 255);
            if (alpha < 1) {
                m_active[k] = 0;
                --activeCount;
                endAfter = i == 0;
            }
        }
        if (alpha >= 1)
            keep(k);
        const uint32_t colour = White(alpha);
        const float ws = w * m_sin[k], wc = w * m_cos[k];
        // The first point drawn gives the near side of its quad as well; each
        // point's far side is the near side of the next.
        if (edge == m_edges)
            *edge++ = {px + ws - wc, py - wc - ws, px + ws + wc, py - wc + ws, colour};
        *edge++ = {px - ws - wc, py - ws + wc, px - ws + wc, py + ws + wc, colour};
        fading = alpha < 1;
        if (endAfter) {
            complete = i + 1 == count;
            break;
        }
    }
    m_activeCount = activeCount;
    m_drawnCount = drawn;
    if (complete) {
        m_minX = minX;
        m_minY = minY;
        m_maxX = maxX;
        m_maxY = maxY;
    }
    m_edgeCount = static_cast<int>(edge - m_edges);
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
