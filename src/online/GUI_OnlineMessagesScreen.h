#pragma once
#include "frontend/GUI_MenuScreen.h"

class GUI_ButtonText;

// The messages screen (mode 12): the inbox over the menu backdrop, and the
// way back to the main menu. Every visit opens a new inbox, which downloads.
class GUI_OnlineMessagesScreen : public GUI_MenuScreen {
public:
    static constexpr int kModeId = 12;
    static GUI_OnlineMessagesScreen& GetInstance();

    void Enter() override;
    void Leave() override;
    GUI_ButtonText* GetBackButton() const { return m_back; }

private:
    GUI_OnlineMessagesScreen();
    GUI_ButtonText* m_back = nullptr;
};
