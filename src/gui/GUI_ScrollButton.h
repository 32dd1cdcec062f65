#pragma once
#include "gui/GUI_IconButton.h"

// An arrow of a scroll bar: steps its owning GUI_ScrollingWindow.
class GUI_ScrollButton : public GUI_IconButton {
public:
    enum Direction { kUp = 0, kDown = 1 };

    GUI_ScrollButton(int direction, const char* texture, const char* hoverTexture);

    // The scroll bar plays the click itself, only when the position moves.
    void Press() override;
    int GetDirection() const { return m_direction; }

    static void PlayScrollClick() { PlayClick(); }

private:
    int m_direction;
};
