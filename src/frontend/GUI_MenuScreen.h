#pragma once
#include "app/GUI_GameModeBase.h"
#include "frontend/GUI_MenuChrome.h"
#include "gui/GUIButtonList.h"

class GUI_ButtonBase;

// A front-end screen that is one window over the menu backdrop, with a
// button on the bottom bar that leads back (race screen, unlock shop). Its
// own buttons take a click before the windows; the wheel goes to the windows.
class GUI_MenuScreen : public GUI_GameModeBase, public GUIButtonList {
public:
    void Render() override;
    void OnKeyDown(int code) override;
    void Update() override;
    void OnLeftClick() override;
    // The screen is also its own button list, which keeps its positioned click.
    using GUIButtonList::OnLeftClick;
    void OnWheelUp() override;
    void OnWheelDown() override;

protected:
    // Where Escape and the back button lead.
    virtual int GetBackMode() const { return 15; }
    // Sizes the screen and places the chrome and the back button.
    void LayOutScreen(GUI_ButtonBase& back);

    GUI_MenuChrome m_chrome;
};
