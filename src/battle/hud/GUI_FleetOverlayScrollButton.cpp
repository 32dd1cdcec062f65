#include "battle/hud/GUI_FleetOverlayScrollButton.h"

#include "engine/CInput.h"

GUI_FleetOverlayScrollButton::GUI_FleetOverlayScrollButton(GUI_Callback cb, Region normal, Region hover)
    : GUI_IconButton(cb, 0, kTexture, kTexture)
{
    m_normal.SetUV(normal.u0, normal.v0, normal.u1, normal.v1);
    m_hover.SetUV(hover.u0, hover.v0, hover.u1, hover.v1);
}

void GUI_FleetOverlayScrollButton::Draw()
{
    const CInput& input = CInput::GetInstance();
    const bool over = Contains(input.GetMouseX(), input.GetMouseY());
    CTexturedSprite& sprite = over ? m_hover : m_normal;
    const auto w = static_cast<float>(width), h = static_cast<float>(height);
    sprite.SetSize(w, h);
    sprite.SetColour(over ? kHoverTint : kTint);
    sprite.PlaceCentred(static_cast<float>(left) + w / 2.0f, static_cast<float>(top) + h / 2.0f);
    sprite.Draw();
    QueueTooltip();
}
