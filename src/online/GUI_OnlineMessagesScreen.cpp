#include "online/GUI_OnlineMessagesScreen.h"

#include "gui/GUI_ButtonText.h"
#include "online/GUI_Inbox.h"
#include "online/GUI_OnlineMessagePopup.h"
#include "online/OnlineMessageCheck.h"

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
    // The messages it announced are on screen now, however the player came.
    GUI_OnlineMessagePopup::Close();
    ForgetNewOnlineMessagesCheck();
    GUI_Inbox::Open();
}

void GUI_OnlineMessagesScreen::Leave()
{
    GUI_Inbox::Close();
}
