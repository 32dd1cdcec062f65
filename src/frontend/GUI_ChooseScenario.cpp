#include "frontend/GUI_ChooseScenario.h"

#include "app/Game.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "frontend/GUI_HighScoreTable.h"
#include "frontend/GUI_RaceScreen.h"
#include "frontend/GUI_Scenario.h"
#include "frontend/GUI_ScenarioDetails.h"
#include "frontend/GUI_SupplyLimitEditor.h"
#include "frontend/GUI_SupplyLimits.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "platform/KeyCodes.h"
#include "sim/SIM_HighScores.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Scenario.h"

#include <algorithm>

GUI_ChooseScenario& GUI_ChooseScenario::GetInstance()
{
    static GUI_ChooseScenario instance;
    return instance;
}

GUI_ChooseScenario::GUI_ChooseScenario()
{
    m_panelSprite.SetTexture("box_background.jpg");
    m_scroll = new GUI_ScrollingWindow();
    AddChild(m_scroll);
    m_mainMenu = new GUI_ButtonText("CHOOSESCENARIO_MAINMENU", GUI_MenuChrome::GoToMainMenu, 0);
    m_mainMenu->SetTooltipString(GetString("MAIN_MENU_TOOLTIP"));
    AddButton(m_mainMenu);
    m_changeRace = new GUI_ButtonText("CHOOSESCENARIO_CHANGERACE", OnChangeRace, 0);
    m_changeRace->SetTooltipString(GetString("CHANGE_RACE_TOOLTIP"));
    AddButton(m_changeRace);
    raisesOnClick = false;
    swallowsClicks = false;
    claimsMouse = false;
    LayOut();
}

void GUI_ChooseScenario::LayOut()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    const int w = engine.GetScreenWidth(), h = engine.GetScreenHeight();
    m_laidOutWidth = w;
    m_laidOutHeight = h;
    const int cx = w / 2, cy = h / 2;
    SetRect(0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h));
    m_chrome.LayOut(w, h);
    m_panel = GRect{cx - 500, cy - 285, cx + 500, cy + 300};
    m_panelTitle.SetRect(static_cast<float>(m_panel.left), static_cast<float>(m_panel.top),
                         static_cast<float>(m_panel.right), static_cast<float>(m_panel.bottom));
    m_panelTitle.SetText(GetString("CHOOSE_SCENARIO_TITLE"));
    // On short screens (720 high) the strip's place would start above the top
    // edge: it comes down to stay whole, still above the panel.
    const int stripTop = std::max(cy - 379, kRaceStripMinTop);
    m_raceStrip = GRect{cx - 500, stripTop, cx + 500, stripTop + 54};
    m_raceTitle.SetRect(static_cast<float>(m_raceStrip.left + 20), static_cast<float>(m_raceStrip.top),
                        static_cast<float>(m_raceStrip.left + 400), static_cast<float>(m_raceStrip.bottom));
    const int mid = (m_raceStrip.top + m_raceStrip.bottom) / 2;
    m_changeRace->SetRect(static_cast<float>(m_raceStrip.right - 120), static_cast<float>(mid - 10),
                          static_cast<float>(m_raceStrip.right - 10), static_cast<float>(mid + 10));
    m_list = GRect{m_panel.left + 20, m_panel.top + 50, m_panel.right - 470, m_panel.bottom - 20};
    GUI_MenuChrome::PlaceBackButton(*m_mainMenu, h);
}

std::vector<std::string> GUI_ChooseScenario::ListedScenarioNames()
{
    std::vector<std::string> names = {"tutorial1", "scenario1", "scenario2"};
    for (const SIM_Scenario* s : SIM_Scenario::GetList()) {
        if (s->IsChallengeFleet() || std::find(names.begin(), names.end(), s->GetName()) != names.end())
            continue;
        names.push_back(s->GetName());
    }
    return names;
}

void GUI_ChooseScenario::DeleteRows()
{
    for (GUI_Scenario* row : m_rows) {
        RemoveChild(row);
        delete row;
    }
    m_rows.clear();
}

void GUI_ChooseScenario::FillList(bool animate)
{
    DeleteRows();
    if (!SIM_Scenario::IsLoaded())
        SIM_Scenario::LoadAll();
    const std::vector<std::string> names = ListedScenarioNames();
    const int visible = std::max(1, (m_list.Height() - 5) / kRowStep);
    const int first = std::clamp(m_scroll->position, 0, std::max(0, static_cast<int>(names.size()) - visible));
    const float x = static_cast<float>(m_list.left + 10), right = static_cast<float>(m_list.right - 30);
    float y = static_cast<float>(m_list.top + 5);
    float delay = 0.0f;
    int count = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        SIM_Scenario* scenario = SIM_Scenario::FindByName(names[i]);
        if (!scenario)
            continue;
        ++count;
        if (count <= first || static_cast<int>(m_rows.size()) >= visible)
            continue;
        auto* row = new GUI_Scenario(scenario);
        row->SetRect(x, y, right, y + 30.0f);
        y += static_cast<float>(kRowStep);
        AddChild(row);
        m_rows.push_back(row);
        if (animate)
            row->Animate(delay);
        delay += kRowStaggerMs;
    }
    m_scroll->SetRect(static_cast<float>(m_list.right - 22), static_cast<float>(m_list.top + 20),
                      static_cast<float>(m_list.right - 4), static_cast<float>(m_list.bottom - 8));
    m_scroll->maximum = std::max(0, count - visible);
    m_scroll->position = first;
    m_scroll->contentSize = static_cast<float>(count);
    m_scroll->visibleSize = static_cast<float>(visible);
    m_scroll->changed = false;
}

void GUI_ChooseScenario::Enter()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    if (engine.GetScreenWidth() != m_laidOutWidth || engine.GetScreenHeight() != m_laidOutHeight)
        LayOut();
    const SIM_Race* race = SIM_Race::Find(SIM_Options::GetInstance().GetRaceName(), false);
    m_raceTitle.SetText(race ? GetString(race->GetGuiName().c_str()) : SIM_Options::GetInstance().GetRaceName());
    FillList(true);
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    if (!tutorial.LaunchTutorial("CHOOSEBATTLE") && SIM_HighScores::GetInstance().AnyScenarioBeaten())
        tutorial.LaunchTutorial("BEATAGAIN");
}

void GUI_ChooseScenario::Leave()
{
    GUI_ScenarioDetails::Close();
}

void GUI_ChooseScenario::OnKeyDown(int code)
{
    if (code != KEY_ESCAPE)
        return;
    if (!GUI_WindowManager::GetInstance().CloseTopModal())
        Game::GetInstance().SetMode(15);
}

void GUI_ChooseScenario::Update()
{
    GUI_WindowManager& windows = GUI_WindowManager::GetInstance();
    windows.UpdateWindows();
    // A window over the list takes the mouse: no row stays lit beneath it.
    if (windows.IsMouseOverWindow())
        for (GUI_Scenario* row : m_rows)
            row->ClearHover();
    GUI_WindowBase::Update();
}

void GUI_ChooseScenario::OnLeftClick()
{
    if (GUI_WindowManager::GetInstance().DispatchClick())
        return;
    CInput& input = CInput::GetInstance();
    GUI_WindowBase::OnLeftClick(input.GetMouseX(), input.GetMouseY());
}

void GUI_ChooseScenario::OnWheelUp()
{
    if (GUI_HighScoreTable::GetOpen() || GUI_SupplyLimits::GetOpen() || GUI_SupplyLimitEditor::GetOpen())
        GUI_WindowManager::GetInstance().DispatchWheelUp();
    else
        m_scroll->ScrollUp();
}

void GUI_ChooseScenario::OnWheelDown()
{
    if (GUI_HighScoreTable::GetOpen() || GUI_SupplyLimits::GetOpen() || GUI_SupplyLimitEditor::GetOpen())
        GUI_WindowManager::GetInstance().DispatchWheelDown();
    else
        m_scroll->ScrollDown();
}

void GUI_ChooseScenario::OnChangeRace(std::intptr_t)
{
    // The race screen comes up at once, without the wipe.
    Game::GetInstance().SetMode(11, false);
    GUI_RaceScreen::GetInstance().SetReturnMode(3);
}


void GUI_ChooseScenario::Render()
{
    if (m_scroll->changed)
        FillList(false);
    m_chrome.DrawBackdrop();
    m_chrome.DrawBottomBar();
    GUI_MenuChrome::DrawPanel(m_panelSprite, m_raceStrip);
    m_raceTitle.Draw();
    GUI_MenuChrome::DrawPanel(m_panelSprite, m_panel);
    DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, 32.0f, 1.0f, static_cast<float>(m_list.left),
                       static_cast<float>(m_list.top), static_cast<float>(m_list.right),
                       static_cast<float>(m_list.bottom));
    m_interlace.Draw(m_list);
    LibText& text = LibText::GetInstance();
    text.SetFont("cwfont20.dds", 20.0f);
    DrawChildren();
    text.Render(-1);
    DrawButtons();
    m_panelTitle.Draw();
    text.Render(-1);
}
