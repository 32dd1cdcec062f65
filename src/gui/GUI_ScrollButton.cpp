#include "gui/GUI_ScrollButton.h"

#include "gui/GUI_ScrollingWindow.h"

GUI_ScrollButton::GUI_ScrollButton(int direction, const char* texture, const char* hoverTexture)
    : GUI_IconButton(nullptr, 0, texture, hoverTexture), m_direction(direction)
{
}

void GUI_ScrollButton::Press()
{
    auto* owner = dynamic_cast<GUI_ScrollingWindow*>(GetOwner());
    if (!owner || !enabled)
        return;
    if (m_direction == kDown)
        owner->ScrollDown();
    else
        owner->ScrollUp();
}
