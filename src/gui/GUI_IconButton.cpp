#include "gui/GUI_IconButton.h"

#include "engine/CInput.h"

#include <cstring>

GUI_IconButton::GUI_IconButton(GUI_Callback cb, std::intptr_t arg, const char* texture, const char* hoverTexture)
    : GUI_ButtonBase(cb, arg)
{
    // A short or missing name means the owner binds the pictures later.
    if (texture && std::strlen(texture) >= 2) {
        m_normal.SetTexture(texture);
        m_hover.SetTexture(hoverTexture ? hoverTexture : "");
    }
}

void GUI_IconButton::DrawIcon()
{
    const CInput& input = CInput::GetInstance();
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const float cx = static_cast<float>(left) + w / 2.0f;
    const float cy = static_cast<float>(top) + h / 2.0f;
    CTexturedSprite& sprite = Contains(input.GetMouseX(), input.GetMouseY()) ? m_hover : m_normal;
    sprite.SetSize(w, h);
    sprite.SetColour(enabled ? 255 : 32, 255, 255, 255);
    sprite.PlaceCentred(cx, cy);
    sprite.Draw();
}

void GUI_IconButton::Draw()
{
    DrawIcon();
    QueueTooltip();
}
