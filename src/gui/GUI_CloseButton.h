#pragma once
#include "gui/GUI_IconButton.h"

// The dialog close button: closes its owner window through the window
// manager, so the owner is freed only after the click has been handled.
class GUI_CloseButton : public GUI_IconButton {
public:
    GUI_CloseButton();

    void Press() override;
};
