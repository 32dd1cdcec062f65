#include "battle/TrailSimulation.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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
    std::memset(m_active, 0, sizeof(m_active));
    std::memset(m_age, 0, sizeof(m_age));
}

void TrailSimulation::AddAge(float ms)
{
    for (int i = 0; i < m_pointCount; ++i)
        m_age[i] += ms;
}

int TrailSimulation::CountActive() const
{
    int n = 0;
    for (int i = 0; i < m_pointCount; ++i)
        n += m_active[i] ? 1 : 0;
    return n;
}

void TrailSimulation::MoveHead(float angle, float x, float y)
{
    const float dx = x - m_x[1], dy = y - m_y[1];
    const float d2 = dx * dx + dy * dy;
    m_residual = d2;
    if (!(d2 > m_segmentSq))
        return;
    const int last = m_pointCount - 1;
    if (last > 0) {
        std::memmove(&m_x[1], &m_x[0], sizeof(float) * last);
        std::memmove(&m_y[1], &m_y[0], sizeof(float) * last);
        std::memmove(&m_active[1], &m_active[0], last);
        std::memmove(&m_age[1], &m_age[0], sizeof(float) * last);
        std::memmove(&m_sin[1], &m_sin[0], sizeof(float) * last);
        std::memmove(&m_cos[1], &m_cos[0], sizeof(float) * last);
    }
    m_x[0] = x;
    m_y[0] = y;
    m_active[0] = 1;
    m_age[0] = 0.0f;
    m_sin[0] = std::sin(angle * kDegToRad);
    m_cos[0] = std::cos(angle * kDegToRad);
    m_residual = d2 - m_segmentSq;
    m_headAngle = angle;
}

int TrailSimulation::Draw(TextureHandle texture, bool additive)
{
    m_anyVisible = 0;
    for (int i = 0; i < m_pointCount && !m_anyVisible; ++i)
        m_anyVisible = m_active[i];
    m_drawnCount = 0;
    if (!m_anyVisible)
        return 0;
    const GUI_Map& map = GUI_Map::GetInstance();
    const float w = ZoomScale * m_width * 0.5f;
    const float sw = static_cast<float>(map.GetScreenWidth()), sh = static_cast<float>(map.GetScreenHeight());
    int staged = 0;
    int previousAlpha = 255;
    bool havePrevious = false;
    float prevFarLX = 0, prevFarLY = 0, prevFarRX = 0, prevFarRY = 0;
    uint32_t prevColour = 0xFFFFFFFFu;
    for (int i = 0; i < m_pointCount; ++i) {
        if (!m_active[i])
            continue;
        ++m_drawnCount;
        const float px = (m_x[i] - map.cameraX) * ZoomScale, py = (m_y[i] - map.cameraY) * ZoomScale;
        if (px < -kScreenMargin || py < -kScreenMargin || px > sw + kScreenMargin || py > sh + kScreenMargin) {
            if (m_age[i] > m_lifetime)
                m_active[i] = 0;
            continue;
        }
        int alpha = 255 - static_cast<int>(std::min(m_age[i] / m_lifetime, 1.0f) * 255.0f);
        alpha = std::min(alpha, 255);
        if (previousAlpha < 1) {
            m_active[i] = 0;
            break;
        }
        bool endAfter = false;
        if (i == 0 && !m_detached) {
            alpha = 255;
        } else if (alpha < 1) {
            m_active[i] = 0;
            if (i == 0)
                endAfter = true;
        }
        const uint32_t colour = White(alpha);
        const float s = m_sin[i], c = m_cos[i];
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
        for (int k = 0; k < 4; ++k)
            q[k].z = 0.0f, q[k].rhw = 1.0f;
        ++staged;
        prevFarLX = farLX; prevFarLY = farLY; prevFarRX = farRX; prevFarRY = farRY;
        prevColour = colour;
        havePrevious = true;
        previousAlpha = alpha;
        if (endAfter)
            break;
    }
    QuadRunBatch& batch = QuadRunBatch::Shared();
    for (int k = 0; k < staged; ++k)
        batch.Add(texture, additive, &m_vertices[k * 4]);
    return staged;
}
