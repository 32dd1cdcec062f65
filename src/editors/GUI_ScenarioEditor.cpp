#include "editors/GUI_ScenarioEditor.h"

#include "app/Game.h"
#include "editors/GUI_ScenarioEditorWindow.h"
#include "engine/D3DEngine.h"
#include "frontend/GUI_MenuChrome.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_WindowManager.h"
#include "platform/KeyCodes.h"
#include "sim/SIM_Scenario.h"

namespace {
constexpr int kMainMenu = 15;
}

GUI_ScenarioEditor& GUI_ScenarioEditor::GetInstance()
{
    static GUI_ScenarioEditor instance;
    return instance;
}

GUI_ScenarioEditor::GUI_ScenarioEditor()
{
    m_backdrop.SetTexture("menu_backdrop.jpg");
    m_bottomStrip.SetTexture("box_background.jpg");
    m_back = new GUI_ButtonText("INTERNET_MAIN_MENU", OnBack, 0);
    m_back->SetTooltip("INTERNET_MAIN_MENU_TOOLTIP");
    m_buttons.AddButton(m_back);
}

GUI_ScenarioEditor::~GUI_ScenarioEditor() = default;

SIM_Scenario* GUI_ScenarioEditor::MakeScenario()
{
    m_scenarios.push_back(std::make_unique<SIM_Scenario>(SIM_Scenario::Unlisted{}));
    return m_scenarios.back().get();
}

void GUI_ScenarioEditor::OnBack(std::intptr_t)
{
    Game::GetInstance().SetMode(kMainMenu);
}

void GUI_ScenarioEditor::EnterForChallenge()
{
    s_nextForChallenge = true;
    Game::GetInstance().SetMode(kModeId);
}

void GUI_ScenarioEditor::Enter()
{
    ++enterCount;
    // Only the visit the challenge list asked for; the main menu's are not.
    m_forChallenge = s_nextForChallenge;
    s_nextForChallenge = false;
    m_edited = MakeScenario();
    m_edited->SetName(kFreshName);
    D3DEngine& engine = D3DEngine::GetInstance();
    const float w = static_cast<float>(engine.GetScreenWidth()), h = static_cast<float>(engine.GetScreenHeight());
    m_buttons.SetRect(0.0f, 0.0f, w, h);
    // A square as wide as the screen: the picture is never stretched.
    m_backdrop.SetSize(w, w);
    m_backdrop.PlaceCentred(w / 2.0f, h / 2.0f);
    m_back->SetRect(32.0f, h - 44.0f, 232.0f, h - 12.0f);
    m_bottomStrip.SetSize(w, 45.0f);
    m_bottomStrip.SetUV(0.0f, 0.0f, 1.0f, 45.0f / 1024.0f);
    m_bottomStrip.PlaceCentred(w / 2.0f, h - 22.0f);
    GUI_ScenarioEditorWindow::Open(m_edited);
}

void GUI_ScenarioEditor::Leave()
{
    GUI_ScenarioEditorWindow::Close();
}

void GUI_ScenarioEditor::Render()
{
    m_backdrop.Draw();
    m_bottomStrip.Draw();
    m_buttons.DrawButtons();
}

void GUI_ScenarioEditor::Update()
{
    // Behind an open picker or dialog the back button does not light up.
    GUI_MenuChrome::UpdateWindowsThenButtons(m_buttons);
}

void GUI_ScenarioEditor::OnKeyDown(int code)
{
    // A text field being typed in hears the key first; Escape still closes
    // the dialog it sits in.
    GUI_GameModeBase::OnKeyDown(code);
    if (code != KEY_ESCAPE)
        return;
    if (GUI_WindowManager::GetInstance().IsModalOpen())
        GUI_WindowManager::GetInstance().CloseTopModal();
    else
        Game::GetInstance().SetMode(kMainMenu);
}

void GUI_ScenarioEditor::OnLeftClick()
{
    if (!GUI_WindowManager::GetInstance().IsModalOpen() && m_buttons.ClickButtons())
        return;
    GUI_WindowManager::GetInstance().DispatchClick();
}

void GUI_ScenarioEditor::OnWheelUp()
{
    if (GUI_WindowManager::GetInstance().IsModalOpen())
        GUI_WindowManager::GetInstance().DispatchWheelUp();
}

void GUI_ScenarioEditor::OnWheelDown()
{
    if (GUI_WindowManager::GetInstance().IsModalOpen())
        GUI_WindowManager::GetInstance().DispatchWheelDown();
}
