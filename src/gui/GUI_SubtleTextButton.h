#pragma once
#include "gui/GUI_ButtonText.h"

// A text button drawn as a faint translucent box; the owner lays out the
// label with LayoutText when it draws its text.
class GUI_SubtleTextButton : public GUI_ButtonText {
public:
    GUI_SubtleTextButton(const char* textKey, GUI_Callback callback, std::intptr_t argument);

    void Draw() override;
    void LayoutText();
};
