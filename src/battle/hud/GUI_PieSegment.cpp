#include "battle/hud/GUI_PieSegment.h"

#include <cmath>

#include "engine/CInput.h"
#include "engine/GHashTable.h"
#include "engine/StrFormat.h"
#include "gui/GUI_Tooltip.h"

namespace {
constexpr float kDegToRad = 3.14159265f / 180.0f;
constexpr int kTooltipDelay = 60;
} // namespace

GUI_PieSegment::GUI_PieSegment(int startDegrees, int endDegrees, uint32_t argb, const char* labelKey, float radius,
                               float cx, float cy)
    : m_start(startDegrees), m_end(endDegrees), m_radius(radius), m_cx(cx), m_cy(cy)
{
    swallowsClicks = false;
    raisesOnClick = false;
    claimsMouse = false;
    SetRect(cx - radius, cy - radius, cx + radius, cy + radius);
    if (m_start >= m_end) {
        visible = false;
        return;
    }
    m_fanCount = m_end - m_start + 2;
    m_fan.reserve(static_cast<size_t>(m_fanCount));
    m_fan.push_back(ScreenVertex{cx, cy, 0.0f, 1.0f, argb, 0.0f, 0.0f});
    for (int a = m_start; a <= m_end; ++a) {
        const float r = static_cast<float>(a) * kDegToRad;
        m_fan.push_back(ScreenVertex{cx + radius * std::sin(r), cy - radius * std::cos(r), 0.0f, 1.0f, argb, 0.0f, 0.0f});
    }
    const float share = static_cast<float>(m_end - m_start) / 360.0f * 100.0f;
    m_tooltip = new GUI_Tooltip(StrFormat("%s (%.2f%%)", GetString(labelKey ? labelKey : ""), share), kTooltipDelay);
}

GUI_PieSegment::~GUI_PieSegment()
{
    delete m_tooltip;
}

float GUI_PieSegment::AngleOf(float dx, float dy)
{
    float a = std::atan2(dx, -dy) / kDegToRad;
    return a < 0.0f ? a + 360.0f : a;
}

bool GUI_PieSegment::IsUnder(float x, float y) const
{
    const float dx = x - m_cx;
    const float dy = y - m_cy;
    if (dx * dx + dy * dy > m_radius * m_radius)
        return false;
    const float a = AngleOf(dx, dy);
    return a > static_cast<float>(m_start) && a < static_cast<float>(m_end);
}

void GUI_PieSegment::AppendTriangles(std::vector<ScreenVertex>& out) const
{
    for (int i = 1; i + 1 < m_fanCount; ++i) {
        out.push_back(m_fan[0]);
        out.push_back(m_fan[static_cast<size_t>(i)]);
        out.push_back(m_fan[static_cast<size_t>(i) + 1]);
    }
}

void GUI_PieSegment::Update()
{
    const CInput& input = CInput::GetInstance();
    if (m_tooltip && IsUnder(input.GetMouseX(), input.GetMouseY())) {
        m_tooltip->PlaceAtMouse();
        m_tooltip->CheckShowTime();
    }
    GUI_WindowBase::Update();
}

void GUI_PieSegment::Draw()
{
    // The fan itself is drawn by the pie in one batch with its siblings.
    if (m_tooltip)
        m_tooltip->Draw();
}
