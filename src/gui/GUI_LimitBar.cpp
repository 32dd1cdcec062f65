#include "gui/GUI_LimitBar.h"

#include "engine/CInput.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_Tooltip.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kTooltipDelay = 60;
constexpr float kOverLimit = 2.0f;

void DrawOver(CTexturedSprite& sprite, const GRect& r)
{
    const float w = static_cast<float>(r.right - r.left);
    const float h = static_cast<float>(r.bottom - r.top);
    if (w <= 0.0f || h <= 0.0f)
        return;
    sprite.SetSize(w, h);
    sprite.PlaceCentred(static_cast<float>(r.left) + w / 2.0f, static_cast<float>(r.top) + h / 2.0f);
    sprite.Draw();
}
} // namespace

GUI_LimitBar::GUI_LimitBar(const IClock* clock) : m_blinkTimer(clock)
{
    m_fill.SetTexture("strip_fill.jpg");
    m_overLimit.SetTexture("strip_fill_red.jpg");
    m_blinkTimer.Start();
}

GUI_LimitBar::~GUI_LimitBar()
{
    delete m_tooltip;
}

void GUI_LimitBar::SetTooltip(const std::string& text)
{
    delete m_tooltip;
    m_tooltip = new GUI_Tooltip(text, kTooltipDelay);
}

void GUI_LimitBar::Update()
{
    const CInput& input = CInput::GetInstance();
    if (m_tooltip && Contains(input.GetMouseX(), input.GetMouseY()) &&
        input.GetStationaryCount() > m_tooltip->GetDelay()) {
        m_tooltip->SetAnchor(static_cast<float>(left), static_cast<float>(bottom));
        m_tooltip->visibility = 1.0f;
    }
    GUI_WindowBase::Update();
}

float GUI_LimitBar::FillFraction(float value, float limit)
{
    if (!std::isfinite(value) || !std::isfinite(limit))
        return 0.0f;
    if (limit <= 0.0f)
        return value > 0.0f ? kOverLimit : 0.0f;
    return value / limit;
}

GRect GUI_LimitBar::FillRect(float fraction) const
{
    const float f = std::isfinite(fraction) ? std::clamp(fraction, 0.0f, 1.0f) : 0.0f;
    return GRect{left + 3, top + 3, static_cast<int>(static_cast<float>(left + 3) + static_cast<float>(width - 5) * f),
                 bottom - 2};
}

void GUI_LimitBar::DrawFillBarFor(float value, float limit)
{
    DrawFillBar(FillFraction(value, limit));
}

void GUI_LimitBar::DrawFillBar(float fraction)
{
    if (std::isnan(fraction))
        fraction = 0.0f;
    const GRect fill = FillRect(fraction);
    DrawNamedFrame("fillbar.dds", 8.0f, 1.0f, static_cast<float>(left), static_cast<float>(top),
                   static_cast<float>(right), static_cast<float>(bottom));
    m_drewOverLimit = false;
    if (fraction <= 1.0f) {
        // Only time spent over the limit counts towards the blink.
        m_blinkTimer.Start();
        DrawOver(m_fill, fill);
    } else {
        m_blinkTimer.Update();
        m_blinkBank += m_blinkTimer.GetTotalMs();
        m_blinkTimer.Start();
        while (m_blinkBank > kBlinkMs) {
            m_blinkBank -= kBlinkMs;
            m_blinkOn = !m_blinkOn;
        }
        if (m_blinkOn) {
            DrawOver(m_overLimit, fill);
            m_drewOverLimit = true;
        }
    }
    if (m_tooltip)
        m_tooltip->Draw();
}
