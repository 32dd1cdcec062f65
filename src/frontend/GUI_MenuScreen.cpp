#include "frontend/GUI_MenuScreen.h"

#include "app/Game.h"
#include "engine/D3DEngine.h"
#include "engine/LibText.h"
#include "gui/GUI_WindowManager.h"
#include "platform/KeyCodes.h"

void GUI_MenuScreen::LayOutScreen(GUI_ButtonBase& back)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    const int w = engine.GetScreenWidth(), h = engine.GetScreenHeight();
    SetSize(static_cast<float>(w), static_cast<float>(h));
    MoveTo(0.0f, 0.0f);
    m_chrome.LayOut(w, h);
    GUI_MenuChrome::PlaceBackButton(back, h);
}

void GUI_MenuScreen::Render()
{
    m_chrome.DrawBackdrop();
    m_chrome.DrawBottomBar();
    DrawButtons();
    LibText::GetInstance().Render(-1);
}

void GUI_MenuScreen::OnKeyDown(int code)
{
    GUI_GameModeBase::OnKeyDown(code);
    if (code == KEY_ESCAPE)
        Game::GetInstance().SetMode(GetBackMode());
}

void GUI_MenuScreen::Update()
{
    GUIButtonList::Update();
    GUI_WindowManager::GetInstance().UpdateWindows();
}

void GUI_MenuScreen::OnLeftClick()
{
    if (!ClickButtons())
        GUI_WindowManager::GetInstance().DispatchClick();
}

void GUI_MenuScreen::OnWheelUp()
{
    GUI_WindowManager::GetInstance().DispatchWheelUp();
}

void GUI_MenuScreen::OnWheelDown()
{
    GUI_WindowManager::GetInstance().DispatchWheelDown();
}
