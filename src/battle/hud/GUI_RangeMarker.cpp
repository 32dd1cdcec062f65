#include "battle/hud/GUI_RangeMarker.h"

#include <algorithm>
#include <cmath>

#include "battle/GUI_Map.h"
#include "engine/D3DEngine.h"
#include "engine/GVertexBuffer.h"
#include "sim/modules/SIM_TargetedModule.h"

namespace {
constexpr float kTwoPi = 6.28318530718f;
constexpr float kDegToRad = kTwoPi / 360.0f;
} // namespace

GUI_RangeMarker& GetRangeMarker()
{
    static GUI_RangeMarker marker;
    return marker;
}

void DrawRangeMarker()
{
    GetRangeMarker().Draw();
}

GUI_RangeMarker::GUI_RangeMarker()
{
    m_dot.SetSize(kDotSize, kDotSize);
    m_dot.SetColour(0x80FFFFFFu);
}

int GUI_RangeMarker::DotCount(float radius)
{
    const int n = static_cast<int>(radius * kTwoPi / kDotSpacing);
    // The first dot is drawn before the angle is looked at.
    return std::max(n, 1);
}

void GUI_RangeMarker::Draw()
{
    m_dotsDrawn = 0;
    if (!m_module)
        return;
    D3DEngine& engine = D3DEngine::GetInstance();
    if (!engine.IsInitialised())
        return;
    const GUI_Map& map = GUI_Map::GetInstance();
    const SIM_ShipModule::Point p = m_module->GetWorldPos();
    m_centreX = (p.x - map.cameraX) * ZoomScale;
    m_centreY = (p.y - map.cameraY) * ZoomScale;
    const float reach = m_module->maxRange * ZoomScale;
    const float inner = m_module->minRange * ZoomScale;

    engine.SetNormalBlend();
    engine.DrawLine(m_centreX - reach, m_centreY, m_centreX + reach, m_centreY, kLineColour);
    engine.DrawLine(m_centreX, m_centreY - reach, m_centreX, m_centreY + reach, kLineColour);
    for (size_t i = 0; i < m_module->GetTurretCount(); ++i) {
        const SIM_ShipModule::Point t = m_module->GetTurretWorldPos(i);
        engine.DrawLine((t.x - map.cameraX) * ZoomScale, (t.y - map.cameraY) * ZoomScale, m_centreX, m_centreY,
                        kLineColour);
    }

    GVertexBuffer& batch = GVertexBuffer::SpriteBatch();
    batch.SetTexture(kTexture);
    DrawRing(reach, kMaxRingColour);
    if (inner > 0.0f)
        DrawRing(inner, kMinRingColour);
    batch.Flush();
}

void GUI_RangeMarker::DrawRing(float radius, uint32_t colour)
{
    GVertexBuffer& batch = GVertexBuffer::SpriteBatch();
    const int n = DotCount(radius);
    const float step = 360.0f / static_cast<float>(n);
    m_dot.SetColour(colour);
    for (int i = 0; i < n; ++i) {
        const float a = static_cast<float>(i) * step;
        m_dot.SetAngle(a);
        m_dot.PlaceCentred(m_centreX + std::cos(a * kDegToRad) * radius, m_centreY - std::sin(a * kDegToRad) * radius);
        if (!m_dot.IsOnScreen())
            continue;
        batch.AddVertices(m_dot.m_vertices, 4);
        ++m_dotsDrawn;
    }
}
