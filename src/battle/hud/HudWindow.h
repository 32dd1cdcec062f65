#pragma once
#include "gui/GUI_WindowManager.h"

// The battle's windows are single: one global pointer each, which the
// window's destructor clears. Closing hides it at once and deletes it as
// soon as no window walk is running (a window may close itself from its own
// button).
template <class Window>
void CloseSingleWindow(Window*& open)
{
    Window* window = open;
    if (!window)
        return;
    open = nullptr;
    window->visible = false;
    GUI_WindowManager::GetInstance().CloseWindow(window);
}
