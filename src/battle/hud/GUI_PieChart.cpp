#include "battle/hud/GUI_PieChart.h"

#include <algorithm>
#include <cmath>

#include "battle/hud/GUI_PieSegment.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"

namespace {
constexpr float kDegToRad = 3.14159265f / 180.0f;
constexpr float kMinSweepDegrees = 4.0f;

void DrawTriangles(const std::vector<ScreenVertex>& vertices, size_t count)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    if (!engine.IsInitialised() || count == 0)
        return;
    engine.SetNormalBlend();
    engine.SetTexture(0);
    engine.DrawPrimitives(PrimitiveType::TriangleList, vertices.data(), count);
}
} // namespace

std::vector<GUI_PieChart::Slice> GUI_PieChart::SlicesFor(const float* totals, const bool* on, int first, int count)
{
    std::vector<Slice> slices;
    float sum = 0.0f;
    for (int s = first; s < first + count; ++s)
        if (on[s])
            sum += totals[s];
    float running = 0.0f;
    for (int s = first; s < first + count; ++s) {
        if (!on[s] || !(sum > 0.0f) || !(totals[s] > 0.0f))
            continue;
        const int start = static_cast<int>(running / sum * 360.0f);
        running += totals[s];
        const int end = static_cast<int>(running / sum * 360.0f);
        if (end > start)
            slices.push_back(Slice{s, start, end});
    }
    return slices;
}

namespace {
const IClock* g_defaultClock = nullptr;
}

void GUI_PieChart::SetDefaultClock(const IClock* clock)
{
    g_defaultClock = clock;
}

GUI_PieChart::GUI_PieChart() : m_timer(g_defaultClock)
{
    swallowsClicks = false;
    raisesOnClick = false;
    claimsMouse = false;
}

GUI_PieChart::~GUI_PieChart()
{
    Clear();
}

void GUI_PieChart::SetUp(float radius, float cx, float cy, const char* titleKey)
{
    m_radius = radius;
    m_cx = cx;
    m_cy = cy;
    m_title = GetString(titleKey ? titleKey : "");
    SetRect(cx - radius, cy - radius - 30.0f, cx + radius, cy + radius);
    // The full disc, one triangle per degree; the sweep draws a prefix.
    m_disc.clear();
    for (int a = 0; a < 360; ++a) {
        const float r0 = static_cast<float>(a) * kDegToRad;
        const float r1 = static_cast<float>(a + 1) * kDegToRad;
        m_disc.push_back(ScreenVertex{cx, cy, 0.0f, 1.0f, kDiscColour, 0.0f, 0.0f});
        m_disc.push_back(
            ScreenVertex{cx + radius * std::sin(r0), cy - radius * std::cos(r0), 0.0f, 1.0f, kDiscColour, 0.0f, 0.0f});
        m_disc.push_back(
            ScreenVertex{cx + radius * std::sin(r1), cy - radius * std::cos(r1), 0.0f, 1.0f, kDiscColour, 0.0f, 0.0f});
    }
    RestartAnimation();
}

void GUI_PieChart::AddSegment(int start, int end, uint32_t argb, const char* labelKey)
{
    QLM_ASSERT(start >= 0 && start <= 360 && end >= 0 && end <= 360);
    start = std::clamp(start, 0, 360);
    end = std::clamp(end, 0, 360);
    auto* segment = new GUI_PieSegment(start, end, argb, labelKey, m_radius, m_cx, m_cy);
    m_segments.push_back(segment);
    AddChild(segment);
    RebuildBatch();
}

void GUI_PieChart::Clear()
{
    for (GUI_PieSegment* segment : m_segments)
        delete segment;
    m_segments.clear();
    m_batch.clear();
}

void GUI_PieChart::RebuildBatch()
{
    m_batch.clear();
    for (const GUI_PieSegment* segment : m_segments)
        segment->AppendTriangles(m_batch);
}

void GUI_PieChart::RestartAnimation()
{
    m_state = 0;
    m_timer.Start();
}

void GUI_PieChart::DrawSweep(float elapsedMs)
{
    const float f = std::clamp(elapsedMs / kSweepMs, 0.0f, 1.0f);
    const float swept = f * 360.0f;
    if (swept > kMinSweepDegrees)
        DrawTriangles(m_disc, static_cast<size_t>(swept - 2.0f) * 3);
}

void GUI_PieChart::Draw()
{
    if (!visible)
        return;
    if (m_state == 0) {
        m_timer.Update();
        const auto elapsed = static_cast<float>(m_timer.GetTotalMs());
        if (elapsed <= kSweepMs)
            DrawSweep(elapsed);
        else
            m_state = 1;
    }
    if (m_state == 1) {
        DrawTriangles(m_disc, m_disc.size());
        DrawTriangles(m_batch, m_batch.size());
        DrawChildren();
    }
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_CENTRE, m_title, m_cx - m_radius, m_cy - m_radius - 30.0f, 0xFFFFFFFFu, 2.0f * m_radius);
    text.Render(-1);
}
