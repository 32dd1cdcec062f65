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

// The mixin of a window kind of which one is open at a time: the kind keeps
// the open one, GetOpen/CloseOpen are its public face, and the kind's
// constructor and destructor take and let go of the place.
template <typename T>
class GUI_OneOpen {
public:
    static T* GetOpen() { return s_open; }
    static void CloseOpen() { CloseOneOpen(s_open); }

protected:
    // The window is now the open one; one already open is not closed here.
    static T* SetOpen(T* window)
    {
        s_open = window;
        return window;
    }
    // From the destructor: a window closed another way is forgotten, while a
    // newer one that took the place stays.
    template <typename U>
    static void ForgetIfOpen(const U* window)
    {
        if (s_open == window)
            s_open = nullptr;
    }

private:
    static inline T* s_open = nullptr;
};

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
