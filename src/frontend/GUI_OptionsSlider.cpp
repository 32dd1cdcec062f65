#include "frontend/GUI_OptionsSlider.h"

#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"

#include <algorithm>

GUI_OptionsSlider::GUI_OptionsSlider(const std::string& labelKey, float startValue, GUI_Callback callback,
                                     std::intptr_t argument)
    : value(startValue), m_callback(callback), m_argument(argument)
{
    if (!labelKey.empty())
        m_label = GetString(labelKey.c_str());
    m_knob.SetTexture("gui_dragbutton.dds");
    m_knob.SetSize(kKnobSize, kKnobSize);
    // The slider is a control inside a screen, not a window to drag about.
    swallowsClicks = false;
    raisesOnClick = false;
}

GRect GUI_OptionsSlider::GetTrack() const
{
    return GRect{left + 10, bottom - 12, right - 10, bottom - 8};
}

float GUI_OptionsSlider::GetKnobX() const
{
    if (m_draggingKnob)
        return m_knobX;
    GRect t = GetTrack();
    return static_cast<float>(t.left) + static_cast<float>(t.right - t.left) * value;
}

float GUI_OptionsSlider::GetKnobY() const
{
    GRect t = GetTrack();
    return static_cast<float>((t.top + t.bottom) / 2);
}

bool GUI_OptionsSlider::OnLeftClick(float x, float y)
{
    if (!visible || m_draggingKnob)
        return false;
    const float kx = GetKnobX(), ky = GetKnobY(), half = kKnobSize * 0.5f;
    if (x < kx - half || x >= kx + half || y < ky - half || y >= ky + half)
        return false;
    m_draggingKnob = true;
    m_grabX = kx - x;
    m_grabY = ky - y;
    m_knobX = kx;
    return true;
}

void GUI_OptionsSlider::FollowMouse()
{
    CInput& input = CInput::GetInstance();
    const GRect t = GetTrack();
    const float x = std::clamp(input.GetMouseX(), static_cast<float>(t.left), static_cast<float>(t.right));
    m_knobX = x + m_grabX;
    const float before = value;
    value = std::clamp((x - static_cast<float>(t.left)) / static_cast<float>(std::max(1, t.right - t.left)), 0.0f,
                       1.0f);
    if (value != before && m_callback)
        m_callback(m_argument);
    if (!input.IsLeftButtonDown())
        m_draggingKnob = false;
}

void GUI_OptionsSlider::Draw()
{
    if (!visible)
        return;
    if (m_draggingKnob)
        FollowMouse();
    const float l = static_cast<float>(left), t = static_cast<float>(top);
    if (!m_label.empty())
        DrawPreloadedFrame(GUI_PreloadedTextures::kHighlight, 8.0f, 0.2f, l, t, static_cast<float>(right),
                           static_cast<float>(bottom));
    D3DEngine::GetInstance().FillRect(GetTrack(), 0xFF202020u);
    m_knob.PlaceCentred(GetKnobX(), GetKnobY());
    m_knob.Draw();
    if (!m_label.empty()) {
        LibText& text = LibText::GetInstance();
        text.SetFont("zekton16.dds", 16.0f);
        text.SetText(TEXT_ALIGN_CENTRE, m_label, l, t, 0xFFFFFFFFu, static_cast<float>(width));
    }
}
