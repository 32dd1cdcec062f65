#include "app/GUI_StandInMode.h"

#include "app/Game.h"
#include "engine/D3DEngine.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_WindowManager.h"
#include "platform/KeyCodes.h"

namespace {
void GoToMainMenu(std::intptr_t)
{
    Game::GetInstance().SetMode(15);
}
} // namespace

GUI_StandInMode::GUI_StandInMode(std::string title, bool backButton) : m_title(std::move(title))
{
    if (backButton) {
        auto* back = new GUI_ButtonText("MENU_BACK", GoToMainMenu, 0);
        back->SetTooltip("MENU_BACK_TOOLTIP");
        m_buttons.AddButton(back);
    }
}

void GUI_StandInMode::LayOut()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    float w = static_cast<float>(engine.GetScreenWidth());
    float h = static_cast<float>(engine.GetScreenHeight());
    if (!m_buttons.GetButtons().empty())
        m_buttons.GetButtons().front()->SetRect(w * 0.5f - 80.0f, h * 0.6f, w * 0.5f + 80.0f, h * 0.6f + 34.0f);
}

void GUI_StandInMode::DrawTitle(const std::string& title, const std::string& subtitle, float y)
{
    LibText& text = LibText::GetInstance();
    if (!text.FindFont("cwfont20.dds") || !text.FindFont("zekton16.dds"))
        return;
    float w = static_cast<float>(D3DEngine::GetInstance().GetScreenWidth());
    text.SetFont("cwfont20.dds", 20.0f);
    text.SetText(TEXT_ALIGN_CENTRE, title, 0.0f, y, 0xFFFFFFFF, w);
    text.Render();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_CENTRE, subtitle, 0.0f, y + 34.0f, 0xFF8FB8C8, w);
    text.Render();
}

void GUI_StandInMode::Update()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    if (engine.GetScreenWidth() != m_laidOutWidth || engine.GetScreenHeight() != m_laidOutHeight) {
        m_laidOutWidth = engine.GetScreenWidth();
        m_laidOutHeight = engine.GetScreenHeight();
        LayOut();
    }
    GUI_WindowManager::GetInstance().UpdateWindows();
    if (!GUI_WindowManager::GetInstance().IsModalOpen())
        m_buttons.Update();
    else
        m_buttons.ClearHover(); // the question covers them: none stays lit
}

void GUI_StandInMode::Render()
{
    float h = static_cast<float>(D3DEngine::GetInstance().GetScreenHeight());
    DrawTitle(m_title, "This screen is not built yet.", h * 0.42f);
    m_buttons.DrawButtons();
}

void GUI_StandInMode::OnLeftClick()
{
    if (GUI_WindowManager::GetInstance().DispatchClick())
        return;
    m_buttons.ClickButtons();
}

void GUI_StandInMode::OnWheelUp()
{
    GUI_WindowManager::GetInstance().DispatchWheelUp();
}

void GUI_StandInMode::OnWheelDown()
{
    GUI_WindowManager::GetInstance().DispatchWheelDown();
}

void GUI_StandInMode::OnKeyDown(int code)
{
    if (code == KEY_ESCAPE) {
        Game::GetInstance().SetMode(15);
        return;
    }
    GUI_GameModeBase::OnKeyDown(code);
}
