#include "campaign/gui/GUI_ShipyardQuantity.h"

#include "campaign/gui/CampaignPanelDrawing.h"
#include "campaign/gui/GUI_Shipyard.h"
#include "engine/CInput.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "frontend/GUI_OptionsSlider.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_WindowManager.h"

namespace {
GUI_ShipyardQuantity* g_quantity = nullptr;
}

GUI_ShipyardQuantity* GUI_ShipyardQuantity::GetOpen()
{
    return g_quantity;
}

GUI_ShipyardQuantity::GUI_ShipyardQuantity()
{
    g_quantity = this;
    m_tooltip = std::make_unique<GUI_Tooltip>(GetString("SHIPYARD_QUANTITY_TOOLTIP"), 30);
    m_label = GetString("GUI_SQUADRON_SLIDER");
    m_caption = StrFormat("%s (%d)", m_label.c_str(), m_quantity);
    m_slider = new GUI_OptionsSlider("", 1.0f, OnSliderMoved, 0);
    AddChild(m_slider);
}

GUI_ShipyardQuantity::~GUI_ShipyardQuantity()
{
    if (g_quantity == this)
        g_quantity = nullptr;
}

int GUI_ShipyardQuantity::QuantityFromSlider(float value)
{
    return 1 - static_cast<int>(-15.0f * value);
}

void GUI_ShipyardQuantity::SetSliderValue(float value)
{
    m_slider->value = value;
    OnSliderMoved(0);
}

void GUI_ShipyardQuantity::OnSliderMoved(std::intptr_t)
{
    GUI_ShipyardQuantity* self = g_quantity;
    if (!self)
        return;
    self->m_quantity = QuantityFromSlider(self->m_slider->value);
    self->m_caption = StrFormat("%s (%d)", self->m_label.c_str(), self->m_quantity);
    GUI_Shipyard::QuantityChanged();
}

void GUI_ShipyardQuantity::Update()
{
    GUI_WindowBase::Update();
    if (!visible || !IsMouseOver())
        return;
    const CInput& input = CInput::GetInstance();
    m_tooltip->SetAnchor(input.GetMouseX(), input.GetMouseY());
    m_tooltip->CheckShowTime();
}

int GUI_ShipyardQuantity::SliderLeft() const
{
    // The caption at its widest ("(16)") keeps the track clear of it.
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", kFontSize);
    const int caption = text.GetTextWidth(StrFormat("%s (%d)", m_label.c_str(), kMaxQuantity));
    return left + kCaptionLeft + caption + kCaptionGap;
}

void GUI_ShipyardQuantity::Draw()
{
    if (!visible)
        return;
    if (m_laidOutLeft != left || m_laidOutRight != right) {
        m_laidOutLeft = left;
        m_laidOutRight = right;
        m_sliderLeft = SliderLeft();
    }
    m_slider->SetRect(static_cast<float>(m_sliderLeft), static_cast<float>(top + 4), static_cast<float>(right - 10),
                      static_cast<float>(bottom - 4));
    DrawCampaignClientArea(m_interlace, left, top, right, bottom);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", kFontSize);
    // Beside the track, on the knob's line.
    const float y = m_slider->GetKnobY() - kFontSize * 0.6f;
    text.SetText(0, m_caption, static_cast<float>(left + kCaptionLeft), y, 0xFFFFFFFFu, 0.0f);
    text.Render();
    DrawChildren();
    if (IsMouseOver())
        m_tooltip->Draw();
}
