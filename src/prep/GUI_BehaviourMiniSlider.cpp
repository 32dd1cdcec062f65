#include "prep/GUI_BehaviourMiniSlider.h"

#include <algorithm>

GUI_BehaviourMiniSlider::GUI_BehaviourMiniSlider(float value) : m_value(std::clamp(value, 0.0f, 1.0f))
{
    m_knob.SetTexture("gui_dragbutton.dds");
    m_knob.SetSize(8.0f, 8.0f);
    m_bar.SetTexture("gui_sliderbar.dds");
    claimsMouse = false;
    swallowsClicks = false;
    raisesOnClick = false;
}

float GUI_BehaviourMiniSlider::GetKnobX() const
{
    return static_cast<float>(left) + 5.0f + static_cast<float>(width - 10) * m_value;
}

void GUI_BehaviourMiniSlider::Draw()
{
    const float barWidth = static_cast<float>(width - 10);
    const float y = static_cast<float>(top) + 10.0f;
    m_bar.SetSize(barWidth, 4.0f);
    m_bar.PlaceCentred(static_cast<float>(left) + 5.0f + barWidth / 2.0f, y);
    m_bar.Draw();
    m_knob.PlaceCentred(GetKnobX(), y);
    m_knob.Draw();
}
