#pragma once
#include "gui/GUI_ButtonText.h"

// A tab: a text button with a third skin while selected (the owner selects).
class GUI_ButtonTab : public GUI_ButtonText {
public:
    GUI_ButtonTab(const char* textKey, GUI_Callback callback, std::intptr_t argument);

    bool selected = false;

protected:
    CTexturedSprite& PickSkin() override;

private:
    CTexturedSprite m_selected;
};
