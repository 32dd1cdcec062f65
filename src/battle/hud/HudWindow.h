#pragma once
#include "engine/GRect.h"
#include "gui/GUI_WindowManager.h"

class CTexturedSprite;
class GUI_BaseElement;
class GUI_Dialog;
class GUI_Interlace;

// The battle's windows are single: Open replaces the open one. Closing
// hides it at once and deletes it as soon as no window walk is running (a
// window may close itself from its own button). Window derives from this as
// well as from its window class.
template <class Window>
class HudSingleWindow {
public:
    static Window* GetOpen() { return s_open ? static_cast<Window*>(s_open) : nullptr; }
    static void Close()
    {
        Window* window = GetOpen();
        if (!window)
            return;
        s_open = nullptr;
        window->visible = false;
        // What the window's going changes happens now, not at the deferred
        // delete, so that a window opened next in the same click keeps it.
        window->WhenClosed();
        GUI_WindowManager::GetInstance().CloseWindow(window);
    }
    static void Open()
    {
        Close();
        new Window();
    }

protected:
    HudSingleWindow() { s_open = this; }
    // Windows that tell others of their going hide this; a window deleted
    // while still open calls its own from its destructor.
    void WhenClosed() {}
    bool IsTheOpenOne() const { return s_open == this; }
    ~HudSingleWindow()
    {
        if (s_open == this)
            s_open = nullptr;
    }

private:
    static inline HudSingleWindow* s_open = nullptr;
};

// The client area of the after-battle dialogs: the nine-slice panel and the
// scan lines over it.
void DrawDialogClientPanel(const GUI_Dialog& dialog, GUI_Interlace& lines);

// The battle windows' tiled "box_background.jpg", one texel per pixel, made
// to cover the window.
void PlaceBoxBackground(CTexturedSprite& background, const GUI_BaseElement& window);
// A battle window's body: its background, the "border_depth.dds" frame and,
// over the inner rectangle, the sunken panel with its scan lines.
void DrawHudPanel(const GUI_BaseElement& window, CTexturedSprite& background, float frameCorner, const GRect& inner,
                  float innerCorner, GUI_Interlace& lines);
