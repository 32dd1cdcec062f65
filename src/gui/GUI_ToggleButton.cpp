#include "gui/GUI_ToggleButton.h"

namespace {
GUI_Callback g_toggleHandler = nullptr;
}

GUI_ToggleButton::GUI_ToggleButton(std::intptr_t arg) : GUI_ButtonBase(g_toggleHandler, arg)
{
    m_on.SetTexture("campaign_controls.dds");
    m_off.SetTexture("campaign_controls.dds");
}

void GUI_ToggleButton::SetToggleHandler(GUI_Callback handler)
{
    g_toggleHandler = handler;
}

GUI_Callback GUI_ToggleButton::GetToggleHandler()
{
    return g_toggleHandler;
}

void GUI_ToggleButton::Press()
{
    // A disabled toggle would otherwise show a state its option never took.
    if (!enabled)
        return;
    state = !state;
    GUI_ButtonBase::Press();
}

void GUI_ToggleButton::Draw()
{
    CTexturedSprite& sprite = state ? m_on : m_off;
    sprite.SetSize(static_cast<float>(width), static_cast<float>(height));
    sprite.SetColour(enabled ? 255 : 32, 255, 255, 255);
    sprite.PlaceCentred(static_cast<float>(left + right) / 2.0f, static_cast<float>(top + bottom) / 2.0f);
    sprite.Draw();
    QueueTooltip();
}
