#pragma once
#include "app/GUI_Sounds.h"
#include "gui/GUI_WindowManager.h"

// Helpers for the window kinds of which one is open at a time, and for list
// rows that chirp when the pointer reaches them.

// Forgets the open window of a kind, hides it and hands it to the window
// manager: safe from inside one of its own clicks, and the kind's pointer is
// free for a new one at once.
template <typename T>
void CloseOneOpen(T*& open)
{
    if (!open)
        return;
    T* window = open;
    open = nullptr;
    window->visible = false;
    GUI_WindowManager::GetInstance().CloseWindow(window);
}

// True while the pointer is over the row; the mouse-over sound plays once
// each time it enters. hovered is the kind's row under the pointer.
template <typename T>
bool TrackHover(T* row, T*& hovered)
{
    const bool over = row->IsMouseOver();
    if (over && hovered != row) {
        hovered = row;
        GUI_Sounds::GetInstance().PlayGuiSound(2);
    } else if (!over && hovered == row) {
        hovered = nullptr;
    }
    return over;
}
