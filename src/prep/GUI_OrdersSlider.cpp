#include "prep/GUI_OrdersSlider.h"

#include "app/APP_UsageMetrics.h"
#include "engine/CInput.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"

#include <algorithm>

GUI_OrdersSlider::GUI_OrdersSlider(const std::string& label, float minimum, float maximum,
                                   const std::string& kindText)
    : m_label(label), m_minimum(minimum), m_maximum(maximum), m_kind(ParseKind(kindText))
{
    m_knob.SetTexture("gui_dragbutton.dds");
    m_knob.SetSize(kKnobSize, kKnobSize);
    m_barSprite.SetTexture("gui_sliderbar.dds");
}

int GUI_OrdersSlider::ParseKind(const std::string& kindText)
{
    if (kindText == "FLOAT")
        return FLOAT;
    if (kindText == "PERCENTAGE")
        return PERCENTAGE;
    LOG_ERROR("Failed to parse behavior slider type");
    return FLOAT;
}

void GUI_OrdersSlider::SetValue(float v)
{
    if (m_kind == PERCENTAGE) {
        m_value = v;
    } else {
        const float span = m_maximum - m_minimum;
        m_value = span != 0.0f ? (v - m_minimum) / span : 0.0f;
    }
    m_value = std::clamp(m_value, 0.0f, 1.0f);
}

void GUI_OrdersSlider::SetPosition(float position)
{
    m_value = std::clamp(position, 0.0f, 1.0f);
}

float GUI_OrdersSlider::GetParameterValue() const
{
    if (m_kind == PERCENTAGE)
        return m_value;
    return m_minimum + (m_maximum - m_minimum) * m_value;
}

std::string GUI_OrdersSlider::GetValueText() const
{
    if (m_kind == PERCENTAGE)
        return StrFormat("%.0f%%", static_cast<double>(m_value * 100.0f));
    return StrFormat("%.0f", static_cast<double>(GetParameterValue()));
}

void GUI_OrdersSlider::ClampToRange()
{
    // A percentage is a share: its limits are the type's own.
    if (m_kind == PERCENTAGE && m_minimum <= m_maximum)
        m_value = std::clamp(m_value, std::max(0.0f, m_minimum), std::min(1.0f, m_maximum));
    m_value = std::clamp(m_value, 0.0f, 1.0f);
}

void GUI_OrdersSlider::Layout()
{
    const float barWidth = static_cast<float>(width - 82);
    const float cx = static_cast<float>(left) + 16.0f + barWidth / 2.0f;
    const float cy = static_cast<float>(top) + 29.0f;
    m_barSprite.SetSize(barWidth, 8.0f);
    m_barSprite.PlaceCentred(cx, cy);
    m_bar = {static_cast<int>(cx - barWidth / 2.0f), static_cast<int>(cy - 4.0f),
             static_cast<int>(cx + barWidth / 2.0f), static_cast<int>(cy + 4.0f)};
    m_knob.PlaceCentred(GetKnobX(), cy);
}

float GUI_OrdersSlider::GetKnobX() const
{
    return static_cast<float>(m_bar.left) + static_cast<float>(m_bar.Width()) * m_value;
}

void GUI_OrdersSlider::DragTo(float x)
{
    const float w = static_cast<float>(m_bar.Width());
    if (w <= 0.0f)
        return;
    const float clampedX = std::clamp(x, static_cast<float>(m_bar.left), static_cast<float>(m_bar.right));
    m_value = (clampedX - static_cast<float>(m_bar.left)) / w;
    ClampToRange();
    if (onChange)
        onChange(this);
}

bool GUI_OrdersSlider::OnLeftClick(float x, float y)
{
    Layout();
    const float knobX = GetKnobX(), knobY = static_cast<float>(m_bar.top + m_bar.bottom) / 2.0f;
    const float half = kKnobSize / 2.0f;
    if (x >= knobX - half && x <= knobX + half && y >= knobY - half && y <= knobY + half) {
        m_draggingKnob = true;
        m_knobOffset = x - knobX;
        APP_UsageMetrics::GetInstance().SetEventFlag("ordersliderdrag");
        return true;
    }
    if (x >= static_cast<float>(m_bar.left) && x <= static_cast<float>(m_bar.right) &&
        y >= static_cast<float>(m_bar.top) - 4.0f && y <= static_cast<float>(m_bar.bottom) + 4.0f) {
        const float t = (x - static_cast<float>(m_bar.left)) / static_cast<float>(std::max(1, m_bar.Width()));
        SetValue(m_kind == PERCENTAGE ? t : m_minimum + (m_maximum - m_minimum) * t);
        // A click lands where a drag to the same point would.
        ClampToRange();
        APP_UsageMetrics::GetInstance().SetEventFlag("ordersliderclickset");
        if (onChange)
            onChange(this);
        return true;
    }
    return GUI_WindowBase::OnLeftClick(x, y);
}

void GUI_OrdersSlider::Update()
{
    const CInput& input = CInput::GetInstance();
    if (m_draggingKnob) {
        if (!input.IsLeftButtonDown())
            m_draggingKnob = false;
        else
            DragTo(input.GetMouseX() - m_knobOffset);
    }
    GUI_WindowBase::Update();
}

void GUI_OrdersSlider::Draw()
{
    if (!visible)
        return;
    Layout();
    DrawPreloadedFrame(GUI_PreloadedTextures::kHighlightBlack, 8.0f, 0.2f, static_cast<float>(left),
                       static_cast<float>(top), static_cast<float>(right), static_cast<float>(bottom));
    m_barSprite.Draw();
    m_knob.Draw();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_LEFT, GetString(m_label.c_str()), static_cast<float>(left), static_cast<float>(top) - 2.0f,
                 0xFFFFFFFFu, static_cast<float>(width));
    text.SetText(TEXT_ALIGN_RIGHT, GetValueText(), static_cast<float>(right) - 110.0f,
                 static_cast<float>(bottom) - 24.0f, 0xFFFFFFFFu, 105.0f);
    text.Render(-1);
    DrawChildren();
}
