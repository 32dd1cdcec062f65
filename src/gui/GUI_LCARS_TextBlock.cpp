#include "gui/GUI_LCARS_TextBlock.h"

#include "engine/GVertexBuffer.h"

#include <algorithm>
#include <string>

namespace {
int Pick(float r, int count)
{
    // Table values are below 1, but never trust an index to that.
    return std::clamp(static_cast<int>(r * static_cast<float>(count)), 0, count - 1);
}
} // namespace

GUI_LCARS_TextBlock::GUI_LCARS_TextBlock(float phase, int x, int y, int width, int height, const IClock* clock,
                                         uint64_t seed)
    : m_x(x), m_y(y), m_width(width), m_height(height), m_timer(clock), m_random(seed), m_columns(kGlyphSlots),
      m_rows(kGlyphSlots)
{
    SetRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + width),
            static_cast<float>(y + height));
    // Decoration: clicks and hover go through to what lies beneath.
    claimsMouse = false;
    swallowsClicks = false;
    raisesOnClick = false;
    m_vertices.reserve(static_cast<size_t>(kGlyphSlots) * 4);
    m_timer.Start();
    m_phaseMs = std::clamp(phase, 0.0f, 1.0f) * kCycleMs;
    m_headStartMs = m_phaseMs;
    Layout();
}

void GUI_LCARS_TextBlock::SetClock(const IClock* clock)
{
    m_timer = GTimer(clock);
    m_timer.Start();
    m_headStartMs = m_phaseMs;
}

int GUI_LCARS_TextBlock::GetGlyphColumn(int slot) const
{
    return slot >= 0 && slot < kGlyphSlots ? m_columns[static_cast<size_t>(slot)] : 0;
}

int GUI_LCARS_TextBlock::GetGlyphRow(int slot) const
{
    return slot >= 0 && slot < kGlyphSlots ? m_rows[static_cast<size_t>(slot)] : 0;
}

void GUI_LCARS_TextBlock::Layout()
{
    for (int i = 0; i < kGlyphSlots; ++i) {
        m_columns[static_cast<size_t>(i)] = Pick(m_random.NextFloat(), kAtlasColumns);
        m_rows[static_cast<size_t>(i)] = Pick(m_random.NextFloat(), kAtlasRows);
    }
    m_vertices.clear();
    int slot = 0;
    for (int line = 0; line < kLines; ++line) {
        const int positions = Pick(m_random.NextFloat(), 22) + 8;
        for (int i = 0; i < positions && slot < kGlyphSlots; ++i, ++slot) {
            if (m_random.NextFloat() < kBlankChance)
                continue;
            const float cx = static_cast<float>(m_x + kPitch * i);
            const float cy = static_cast<float>(m_y + kPitch * line);
            const float u0 = static_cast<float>(m_columns[static_cast<size_t>(slot)]) / kAtlasColumns;
            const float u1 = static_cast<float>(m_columns[static_cast<size_t>(slot)] + 1) / kAtlasColumns;
            const float v0 = static_cast<float>(m_rows[static_cast<size_t>(slot)]) / kAtlasRows;
            const float v1 = static_cast<float>(m_rows[static_cast<size_t>(slot)] + 1) / kAtlasRows;
            const float l = cx - kHalfGlyph, r = cx + kHalfGlyph, t = cy - kHalfGlyph, b = cy + kHalfGlyph;
            m_vertices.push_back({l, t, 0.0f, 1.0f, kColour, u0, v0});
            m_vertices.push_back({r, t, 0.0f, 1.0f, kColour, u1, v0});
            m_vertices.push_back({l, b, 0.0f, 1.0f, kColour, u0, v1});
            m_vertices.push_back({r, b, 0.0f, 1.0f, kColour, u1, v1});
        }
    }
    m_vertexCount = static_cast<int>(m_vertices.size());
}

void GUI_LCARS_TextBlock::Draw()
{
    m_timer.Update();
    double t = Elapsed() / kCycleMs;
    if (t >= 1.0) {
        t = 1.0;
        Layout();
        m_timer.Start();
        m_headStartMs = 0.0;
    }
    const int glyphs = static_cast<int>(static_cast<double>(m_vertexCount / 4) * t);
    m_lastDrawn = std::clamp(glyphs * 4, 0, m_vertexCount);
    if (!visible || m_lastDrawn == 0)
        return;
    // Whatever the batch holds goes out with its own texture first.
    static const std::string texture(kTexture);
    GVertexBuffer& batch = GVertexBuffer::SpriteBatch();
    batch.SetTexture(texture);
    batch.AddVertices(m_vertices.data(), static_cast<size_t>(m_lastDrawn));
    batch.Flush();
}
