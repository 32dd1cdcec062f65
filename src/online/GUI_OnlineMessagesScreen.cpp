#include "online/GUI_OnlineMessagesScreen.h"

#include "gui/GUI_ButtonText.h"
#include "online/GUI_Inbox.h"

GUI_OnlineMessagesScreen& GUI_OnlineMessagesScreen::GetInstance()
{
    static GUI_OnlineMessagesScreen instance;
    return instance;
}

GUI_OnlineMessagesScreen::GUI_OnlineMessagesScreen()
{
    m_back = new GUI_ButtonText("INTERNET_MAIN_MENU", GUI_MenuChrome::GoToMainMenu, 0);
    m_back->SetTooltip("INTERNET_MAIN_MENU_TOOLTIP");
    AddButton(m_back);
}

void GUI_OnlineMessagesScreen::Enter()
{
    LayOutScreen(*m_back);
    GUI_Inbox::Open();
}

void GUI_OnlineMessagesScreen::Leave()
{
    GUI_Inbox::Close();
}
