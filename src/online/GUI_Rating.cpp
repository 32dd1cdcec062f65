#include "online/GUI_Rating.h"

#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/StrFormat.h"
#include "gui/GUI_Tooltip.h"

#include <algorithm>

GUI_Rating::GUI_Rating(Kind kind) : m_kind(kind)
{
    m_full.SetName("star_full.dds");
    m_empty.SetName("star_empty.dds");
    swallowsClicks = false;
    raisesOnClick = false;
    claimsMouse = false;
}

GUI_Rating::~GUI_Rating()
{
    delete m_tooltip;
}

void GUI_Rating::SetValue(float rating)
{
    const float fraction = std::clamp(rating / 5.0f, 0.0f, 1.0f);
    float r = fraction;
    for (float& fill : m_fill) {
        if (r >= 0.2f) {
            fill = 1.0f;
            r -= 0.2f;
        } else if (r > 0.0f) {
            fill = r / 0.2f;
            r = 0.0f;
        } else {
            fill = 0.0f;
        }
    }
    m_tooltipText = StrFormat("%s [%.0f%%]", GetString(m_kind == DIFFICULTY ? "RATING_DIFFICULTY" : "RATING_ENJOYMENT"),
                              fraction * 100.0f);
    delete m_tooltip;
    m_tooltip = new GUI_Tooltip(m_tooltipText, 30);
}

void GUI_Rating::Draw()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.FillRect(GRect{left, top, right, bottom}, 0x20FFFFFFu);
    const float x0 = static_cast<float>(left) + static_cast<float>((right - left) - 60) / 2.0f;
    const float cy = static_cast<float>(top + bottom) / 2.0f;
    m_empty.Bind();
    for (int i = 0; i < kStars; ++i) {
        m_star.SetSize(kStarSize, kStarSize);
        m_star.SetUV(0.0f, 0.0f, 1.0f, 1.0f);
        m_star.SetColour(0xFFFFFFFFu);
        m_star.PlaceCentred(x0 + kStarSize * static_cast<float>(i) + kStarSize / 2.0f, cy);
        m_star.Draw();
    }
    m_full.Bind();
    // Enjoyment stars are the red ones.
    const uint32_t colour = m_kind == ENJOYMENT ? 0xFFFF6060u : 0xFFFFFFFFu;
    for (int i = 0; i < kStars; ++i) {
        if (m_fill[i] <= 0.0f)
            continue;
        const float w = kStarSize * m_fill[i];
        m_star.SetSize(w, kStarSize);
        m_star.SetUV(0.0f, 0.0f, m_fill[i], 1.0f);
        m_star.SetColour(colour);
        m_star.PlaceCentred(x0 + kStarSize * static_cast<float>(i) + w / 2.0f, cy);
        m_star.Draw();
    }
    if (m_tooltip && IsMouseOver()) {
        m_tooltip->CheckShowTime();
        m_tooltip->Draw();
    }
}
