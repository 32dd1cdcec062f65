#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_ButtonBase.h"

// A two-state button of the campaign screen's display options. Every toggle
// calls the one handler that screen registers, with the option index.
class GUI_ToggleButton : public GUI_ButtonBase {
public:
    explicit GUI_ToggleButton(std::intptr_t argument);

    void Press() override;
    void Draw() override;

    static void SetToggleHandler(GUI_Callback handler);
    static GUI_Callback GetToggleHandler();

    CTexturedSprite& GetOnSprite() { return m_on; }
    CTexturedSprite& GetOffSprite() { return m_off; }

    bool state = false;

private:
    CTexturedSprite m_on;
    CTexturedSprite m_off;
};
