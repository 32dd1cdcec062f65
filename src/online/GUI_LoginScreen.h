#pragma once
#include "frontend/GUI_MenuScreen.h"

class GUI_ButtonText;
class GUI_InternetNews;
class GUI_LoginNameWindow;

// The online menu (mode 4): the user-name window and the day's news over the
// menu backdrop, with the ways back to the main menu and on to the messages.
// Every visit makes both windows anew.
class GUI_LoginScreen : public GUI_MenuScreen {
public:
    static constexpr int kModeId = 4;
    static GUI_LoginScreen& GetInstance();

    void Enter() override;
    void Leave() override;

    GUI_LoginNameWindow* GetNameWindow() const { return m_nameWindow; }
    GUI_InternetNews* GetNewsWindow() const { return m_newsWindow; }
    GUI_ButtonText* GetBackButton() const { return m_back; }
    GUI_ButtonText* GetMessagesButton() const { return m_messages; }

private:
    GUI_LoginScreen();
    static void OnMessages(std::intptr_t);

    GUI_ButtonText* m_back = nullptr;
    GUI_ButtonText* m_messages = nullptr;
    GUI_LoginNameWindow* m_nameWindow = nullptr;
    GUI_InternetNews* m_newsWindow = nullptr;
};
