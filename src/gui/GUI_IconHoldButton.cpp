#include "gui/GUI_IconHoldButton.h"

#include "engine/CInput.h"

void GUI_IconHoldButton::Press()
{
    GUI_IconButton::Press();
    m_held = true;
}

void GUI_IconHoldButton::Draw()
{
    if (m_held) {
        const CInput& input = CInput::GetInstance();
        if (!input.IsLeftButtonDown() || !Contains(input.GetMouseX(), input.GetMouseY()))
            m_held = false;
        else if (enabled && callback)
            callback(argument);
    }
    GUI_IconButton::Draw();
}
