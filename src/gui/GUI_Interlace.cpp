#include "gui/GUI_Interlace.h"

#include "engine/D3DEngine.h"
#include "engine/GVertexBuffer.h"
#include "gui/GUI_PreloadedTextures.h"

namespace {
constexpr uint32_t kBrightAlpha = 0x94;
constexpr uint32_t kNearAlpha = 0x8A;
constexpr uint32_t kBaseAlpha = 0x80;
constexpr float kLineHeight = 3.0f;
} // namespace

GUI_Interlace::GUI_Interlace(const IClock* clock) : m_timer(clock)
{
}

void GUI_Interlace::SetClock(const IClock* clock)
{
    m_timer = GTimer(clock);
    m_timer.Start();
}

void GUI_Interlace::SetArea(int l, int t, int r, int b)
{
    m_area = GRect{l, t, r, b};
    m_areaSet = true;
    m_timer.Start();
    m_line.SetSize(static_cast<float>(r - l - 4), kLineHeight);
    m_line.SetColour(0x80FFFFFFu);
    m_line.SetUV(0.0f, 0.0f, 1.0f, 0.75f);
    m_centreX = static_cast<float>(l + r) / 2.0f;
}

void GUI_Interlace::DrawOver(const GRect& area)
{
    if (!m_areaSet || m_area.left != area.left || m_area.top != area.top || m_area.right != area.right ||
        m_area.bottom != area.bottom)
        SetArea(area.left, area.top, area.right, area.bottom);
    Draw(area);
}

int GUI_Interlace::GetLineCount() const
{
    if (!m_areaSet)
        return 0;
    int count = 0;
    for (int y = m_area.top + kLineSpacing; y < m_area.bottom - kLineSpacing; y += kLineSpacing)
        ++count;
    return count;
}

void GUI_Interlace::Draw(const GRect& rect)
{
    if (!m_areaSet)
        SetArea(rect.left, rect.top, rect.right, rect.bottom);
    m_timer.Update();
    m_brightLine = static_cast<int>(m_timer.GetTotalMs() / kSweepStepMs) - 3;

    D3DEngine& engine = D3DEngine::GetInstance();
    engine.SetAdditiveBlend();
    GVertexBuffer& batch = GVertexBuffer::SpriteBatch();
    batch.SetTexture(GUI_PreloadedTextures::GetTextureName(GUI_PreloadedTextures::kClientInterlace));
    int line = 0;
    for (int y = m_area.top + kLineSpacing; y < m_area.bottom - kLineSpacing; y += kLineSpacing, ++line) {
        uint32_t alpha = kBaseAlpha;
        if (line == m_brightLine)
            alpha = kBrightAlpha;
        else if (line == m_brightLine - 1 || line == m_brightLine + 1)
            alpha = kNearAlpha;
        m_line.SetColour((alpha << 24) | 0xFFFFFFu);
        m_line.PlaceCentred(m_centreX, static_cast<float>(y));
        batch.AddVertices(m_line.m_vertices, 4);
    }
    batch.Flush();
    engine.SetNormalBlend();
    // The sweep starts again once the bright line has left the area.
    if (line + 3 < m_brightLine)
        m_timer.Start();
}
