#include "online/GUI_Rating.h"

#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/StrFormat.h"
#include "gui/GUI_Tooltip.h"

#include <algorithm>
#include <vector>

namespace {
std::vector<GUI_Rating*> g_queue;
}

GUI_Rating::GUI_Rating(Kind kind) : m_kind(kind)
{
    m_full.SetName(kind == ENJOYMENT ? "star_red.dds" : "star_full.dds");
    m_empty.SetName("star_empty.dds");
    swallowsClicks = false;
    raisesOnClick = false;
    claimsMouse = false;
}

GUI_Rating::~GUI_Rating()
{
    // A rating that goes before the queue is drawn is not drawn.
    g_queue.erase(std::remove(g_queue.begin(), g_queue.end(), this), g_queue.end());
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

float GUI_Rating::SlotLeft(int star) const
{
    return static_cast<float>(left) + static_cast<float>((right - left) - 60) / 2.0f +
           kStarSize * static_cast<float>(star);
}

void GUI_Rating::FilledPart(int star, float& x, float& w, float& u) const
{
    x = SlotLeft(star);
    u = m_fill[star];
    w = m_fill[star] > 0.0f ? kStarSize * m_fill[star] : 0.0f;
}

void GUI_Rating::DrawBackground()
{
    D3DEngine::GetInstance().FillRect(GRect{left, top, right, bottom}, kBackground);
}

void GUI_Rating::DrawEmptyStars()
{
    const float cy = static_cast<float>(top + bottom) / 2.0f;
    m_empty.Bind();
    for (int i = 0; i < kStars; ++i) {
        m_star.SetSize(kStarSize, kStarSize);
        m_star.SetUV(0.0f, 0.0f, 1.0f, 1.0f);
        m_star.SetColour(0xFFFFFFFFu);
        m_star.PlaceCentred(SlotLeft(i) + kStarSize / 2.0f, cy);
        m_star.Draw();
    }
}

void GUI_Rating::DrawFullStars()
{
    const float cy = static_cast<float>(top + bottom) / 2.0f;
    m_full.Bind();
    for (int i = 0; i < kStars; ++i) {
        float x, w, u;
        FilledPart(i, x, w, u);
        if (w <= 0.0f)
            continue;
        m_star.SetSize(w, kStarSize);
        m_star.SetUV(0.0f, 0.0f, u, 1.0f);
        m_star.SetColour(0xFFFFFFFFu);
        m_star.PlaceCentred(x + w / 2.0f, cy);
        m_star.Draw();
    }
}

void GUI_Rating::Draw()
{
    if (queued) {
        if (std::find(g_queue.begin(), g_queue.end(), this) == g_queue.end())
            g_queue.push_back(this);
    } else {
        DrawBackground();
        DrawEmptyStars();
        DrawFullStars();
    }
    if (m_tooltip && IsMouseOver()) {
        m_tooltip->CheckShowTime();
        m_tooltip->Draw();
    }
}

size_t GUI_Rating::GetQueuedCount()
{
    return g_queue.size();
}

void GUI_Rating::DrawQueued()
{
    for (GUI_Rating* r : g_queue)
        r->DrawBackground();
    for (GUI_Rating* r : g_queue)
        r->DrawEmptyStars();
    for (int kind : {DIFFICULTY, ENJOYMENT})
        for (GUI_Rating* r : g_queue)
            if (r->m_kind == kind)
                r->DrawFullStars();
    g_queue.clear();
}
