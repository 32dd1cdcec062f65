#include "battle/TrailSimulation.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "battle/GUI_Map.h"
#include "engine/QuadRunBatch.h"

namespace {

constexpr float kDegToRad = 0.01745329238474369f;
constexpr float kScreenMargin = 16.0f;

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
    for (ScreenVertex& v : m_vertices)
        v = {0.0f, 0.0f, 0.0f, 1.0f, 0xFFFFFFFFu, 0.0f, 0.0f};
    Reset();
}

void TrailSimulation::Init(int style, float /*startValue*/, float pointCount, float width, float segmentLength)
{
    m_detached = 0;
    m_segmentSq = segmentLength * segmentLength;
    m_width = width;
    m_pointCount = std::clamp(static_cast<int>(pointCount), 1, kMaxPoints);
    switch (style) {
    case 0: m_u0 = 0.0f; m_u1 = 0.5f; m_v0 = 0.05f; m_v1 = 0.45f; break;
    case 2: m_u0 = 0.0f; m_u1 = 0.5f; m_v0 = 0.55f; m_v1 = 0.95f; break;
    case 3: m_u0 = 0.5f; m_u1 = 1.0f; m_v0 = 0.55f; m_v1 = 0.95f; break;
    default: m_u0 = 0.5f; m_u1 = 1.0f; m_v0 = 0.05f; m_v1 = 0.45f; break;
    }
    // Near left, near right, far left, far right.
    for (int i = 0; i < kMaxPoints; ++i) {
        ScreenVertex* q = &m_vertices[i * 4];
        q[0].u = m_u0; q[0].v = m_v0;
        q[1].u = m_u1; q[1].v = m_v0;
        q[2].u = m_u0; q[2].v = m_v1;
        q[3].u = m_u1; q[3].v = m_v1;
    }
    m_drawnCount = 0;
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

void TrailSimulation::MoveHead(float angle, float x, float y)
{
    // A one-point trail measures from a place never laid, as it always has.
    const int one = m_pointCount > 1 ? Slot(1) : 1;
    const float dx = x - m_x[one], dy = y - m_y[one];
    const float d2 = dx * dx + dy * dy;
    m_residual = d2;
    if (!(d2 > m_segmentSq))
        return;
    // The head's place becomes point 1; the oldest point's place the head.
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
    const float sw = static_cast<float>(map.GetScreenWidth()), sh = static_cast<float>(map.GetScreenHeight());
    return !(m_maxX < m_minX) && !((m_maxX - map.cameraX) * ZoomScale < -kScreenMargin) &&
           !((m_maxY - map.cameraY) * ZoomScale < -kScreenMargin) &&
           !((m_minX - map.cameraX) * ZoomScale > sw + kScreenMargin) &&
           !((m_minY - map.cameraY) * ZoomScale > sh + kScreenMargin);
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
    if (!m_anyVisible)
        return 0;
    // The view in locals: the stores into the quads below could otherwise
    // alias them and force a reload per point.
    const GUI_Map& map = GUI_Map::GetInstance();
    const float zoom = ZoomScale, camX = map.cameraX, camY = map.cameraY;
    const float w = zoom * m_width * 0.5f;
    const float sw = static_cast<float>(map.GetScreenWidth()), sh = static_cast<float>(map.GetScreenHeight());
    const float lifetime = m_lifetime;
    const double clock = m_clock;
    int staged = 0;
    int previousAlpha = 255;
    bool havePrevious = false;
    float prevFarLX = 0, prevFarLY = 0, prevFarRX = 0, prevFarRY = 0;
    uint32_t prevColour = 0xFFFFFFFFu;
    float minX = std::numeric_limits<float>::max(), minY = minX;
    float maxX = std::numeric_limits<float>::lowest(), maxY = maxX;
    const auto fit = [&](int k) {
        minX = std::min(minX, m_x[k]);
        minY = std::min(minY, m_y[k]);
        maxX = std::max(maxX, m_x[k]);
        maxY = std::max(maxY, m_y[k]);
    };
    bool complete = true;
    // Past the last active point every slot is skipped: stop there.
    int unseen = m_activeCount;
    for (int i = 0; i < m_pointCount && unseen > 0; ++i) {
        const int k = Slot(i);
        if (!m_active[k])
            continue;
        --unseen;
        ++m_drawnCount;
        const float age = static_cast<float>(clock - m_birth[k]);
        const float px = (m_x[k] - camX) * zoom, py = (m_y[k] - camY) * zoom;
        if (px < -kScreenMargin || py < -kScreenMargin || px > sw + kScreenMargin || py > sh + kScreenMargin) {
            if (age > lifetime) {
                m_active[k] = 0;
                --m_activeCount;
            } else {
                fit(k);
            }
            continue;
        }
        int alpha = 255 - static_cast<int>(std::min(age / lifetime, 1.0f) * 255.0f);
        alpha = std::min(alpha, 255);
        if (previousAlpha < 1) {
            m_active[k] = 0;
            --m_activeCount;
            complete = i + 1 == m_pointCount;
            break;
        }
        bool endAfter = false;
        if (i == 0 && !m_detached) {
            alpha = 255;
        } else if (alpha < 1) {
            m_active[k] = 0;
            --m_activeCount;
            if (i == 0)
                endAfter = true;
        }
        if (m_active[k])
            fit(k);
        const uint32_t colour = White(alpha);
        const float s = m_sin[k], c = m_cos[k];
        // z and rhw of the staged quads were set once when they were made.
        ScreenVertex* q = &m_vertices[staged * 4];
        const float farLX = px - w * s - w * c, farLY = py - w * s + w * c;
        const float farRX = px - w * s + w * c, farRY = py + w * s + w * c;
        if (havePrevious) {
            q[0].x = prevFarLX; q[0].y = prevFarLY; q[0].colour = prevColour;
            q[1].x = prevFarRX; q[1].y = prevFarRY; q[1].colour = prevColour;
        } else {
            q[0].x = px + w * s - w * c; q[0].y = py - w * c - w * s; q[0].colour = colour;
            q[1].x = px + w * s + w * c; q[1].y = py - w * c + w * s; q[1].colour = colour;
        }
        q[2].x = farLX; q[2].y = farLY; q[2].colour = colour;
        q[3].x = farRX; q[3].y = farRY; q[3].colour = colour;
        ++staged;
        prevFarLX = farLX; prevFarLY = farLY; prevFarRX = farRX; prevFarRY = farRY;
        prevColour = colour;
        havePrevious = true;
        previousAlpha = alpha;
        if (endAfter) {
            complete = i + 1 == m_pointCount;
            break;
        }
    }
    if (complete) {
        m_minX = minX;
        m_minY = minY;
        m_maxX = maxX;
        m_maxY = maxY;
    }
    QuadRunBatch& batch = QuadRunBatch::Shared();
    for (int k = 0; k < staged; ++k)
        batch.Add(texture, additive, &m_vertices[k * 4]);
    return staged;
}
