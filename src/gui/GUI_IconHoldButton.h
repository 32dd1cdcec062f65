#pragma once
#include "gui/GUI_IconButton.h"

// An icon button whose callback repeats every drawn frame while it is held.
class GUI_IconHoldButton : public GUI_IconButton {
public:
    using GUI_IconButton::GUI_IconButton;

    void Press() override;
    void Draw() override;

    bool IsHeld() const { return m_held; }

private:
    bool m_held = false;
};
