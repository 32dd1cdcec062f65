#include "online/GUI_LoginScreen.h"

#include "app/Game.h"
#include "engine/D3DEngine.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_Tutorial.h"
#include "online/GUI_InternetNews.h"
#include "online/GUI_LoginNameWindow.h"

GUI_LoginScreen& GUI_LoginScreen::GetInstance()
{
    static GUI_LoginScreen instance;
    return instance;
}

GUI_LoginScreen::GUI_LoginScreen()
{
    m_back = new GUI_ButtonText("INTERNET_MAIN_MENU", GUI_MenuChrome::GoToMainMenu, 0);
    m_back->SetTooltip("INTERNET_MAIN_MENU_TOOLTIP");
    AddButton(m_back);
    m_messages = new GUI_ButtonText("ONLINE_MESSAGES", OnMessages, 0);
    m_messages->SetTooltip("ONLINE_MESSAGES_TOOLTIP");
    AddButton(m_messages);
    GUI_Tutorial::GetInstance().LaunchTutorial("ONLINE");
}

void GUI_LoginScreen::Enter()
{
    LayOutScreen(*m_back);
    const int w = D3DEngine::GetInstance().GetScreenWidth(), h = D3DEngine::GetInstance().GetScreenHeight();
    m_messages->SetRect(static_cast<float>(w - 232), static_cast<float>(h - 32), static_cast<float>(w - 32),
                        static_cast<float>(h - 12));
    m_nameWindow = new GUI_LoginNameWindow();
    m_nameWindow->SetRect(static_cast<float>(w / 2 - 350), 240.0f, static_cast<float>(w / 2 + 350), 400.0f);
    m_nameWindow->SetClientRect();
    m_newsWindow = new GUI_InternetNews();
    m_newsWindow->SetRect(static_cast<float>(w / 2 - 350), 420.0f, static_cast<float>(w / 2 + 350), 720.0f);
    m_newsWindow->SetClientRect();
}

void GUI_LoginScreen::Leave()
{
    CloseOneOpen(m_nameWindow);
    CloseOneOpen(m_newsWindow);
}

void GUI_LoginScreen::OnMessages(std::intptr_t)
{
    Game::GetInstance().SetMode(12);
}
