#include "frontend/GUI_ScrollingScreenshot.h"

#include "engine/D3DEngine.h"

#include <algorithm>

GUI_ScrollingScreenshot::GUI_ScrollingScreenshot(const IClock* clock) : m_timer(clock)
{
    m_timer.Start();
    claimsMouse = false;
    swallowsClicks = false;
    raisesOnClick = false;
}

void GUI_ScrollingScreenshot::SetPicture(const std::string& texture)
{
    m_sprite.SetTexture(texture);
    m_timer.Start();
}

float GUI_ScrollingScreenshot::Brightness(double t)
{
    if (t < 1000.0)
        return static_cast<float>(t / 1000.0);
    if (t <= 15000.0)
        return 1.0f;
    return std::clamp(static_cast<float>(1.0 - (t - 15000.0) / 1000.0), 0.0f, 1.0f);
}

void GUI_ScrollingScreenshot::Draw()
{
    m_timer.Update();
    double t = m_timer.GetTotalMs();
    if (t > kCycleMs) {
        m_timer.Start();
        t = 0.0;
    }
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    m_sprite.SetSize(w, h);
    const float f = std::clamp(static_cast<float>(t / kCycleMs), 0.0f, 1.0f);
    const float u = f * (kPictureSide - w) / kPictureSide, v = f * (kPictureSide - h) / kPictureSide;
    m_sprite.SetUV(u, v, u + w / kPictureSide, v + h / kPictureSide);
    const auto grey = static_cast<uint8_t>(Brightness(t) * 255.0f);
    m_sprite.SetColour(0xFF, grey, grey, grey);
    m_sprite.PlaceCentred(static_cast<float>(left) + w * 0.5f, static_cast<float>(top) + h * 0.5f);
    m_sprite.Draw();
    D3DEngine::GetInstance().DrawRectFrame(GRect{left, top, right, bottom}, 0xFFFFFFFFu);
}
