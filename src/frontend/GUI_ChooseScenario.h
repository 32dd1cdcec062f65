#pragma once
#include "app/GUI_GameModeBase.h"
#include "engine/CTexturedSprite.h"
#include "engine/GRect.h"
#include "frontend/GUI_MenuChrome.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_TitleBar.h"
#include "gui/GUI_WindowBase.h"

#include <cstdint>
#include <string>
#include <vector>

class GUI_ButtonText;
class GUI_Scenario;
class GUI_ScrollingWindow;

// The scenario choice: the player's race in a strip at the top, the list of
// scenarios on a panel below it, the details of the chosen one beside the
// list. The list is filled again on every visit, so wins and unlocks show.
class GUI_ChooseScenario : public GUI_GameModeBase, public GUI_WindowBase {
public:
    static constexpr float kRowStaggerMs = 100.0f;
    static constexpr int kRowStep = 35;
    // The race strip's top never rises above this, whatever the screen height.
    static constexpr int kRaceStripMinTop = 8;

    static GUI_ChooseScenario& GetInstance();

    void Render() override;
    void OnKeyDown(int code) override;
    void Update() override;
    void OnLeftClick() override;
    void Enter() override;
    void Leave() override;
    void OnWheelUp() override;
    void OnWheelDown() override;

    // The screen's mode slots and its root window share names.
    using GUI_WindowBase::Draw;
    using GUI_WindowBase::OnLeftClick;

    void FillList(bool animate);
    // The scenario names listed first, in this order; the other loaded
    // scenarios follow in the list's order.
    static std::vector<std::string> ListedScenarioNames();

    const std::vector<GUI_Scenario*>& GetRows() const { return m_rows; }
    const GRect& GetPanel() const { return m_panel; }
    const GRect& GetListArea() const { return m_list; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }
    GUI_ButtonText* GetMainMenuButton() const { return m_mainMenu; }
    GUI_ButtonText* GetChangeRaceButton() const { return m_changeRace; }
    const GRect& GetRaceStrip() const { return m_raceStrip; }
    // The race strip shows the player's race; the race screen renames it.
    void SetRaceTitle(const std::string& text) { m_raceTitle.SetText(text); }
    const std::string& GetRaceTitle() const { return m_raceTitle.GetText(); }

private:
    GUI_ChooseScenario();
    void LayOut();
    void DeleteRows();
    static void OnChangeRace(std::intptr_t);

    GUI_MenuChrome m_chrome;
    CTexturedSprite m_panelSprite;
    GUI_TitleBar m_raceTitle;
    GUI_TitleBar m_panelTitle;
    GRect m_raceStrip;
    GRect m_panel;
    GRect m_list;
    GUI_ScrollingWindow* m_scroll = nullptr;
    GUI_Interlace m_interlace;
    GUI_ButtonText* m_mainMenu = nullptr;
    GUI_ButtonText* m_changeRace = nullptr;
    std::vector<GUI_Scenario*> m_rows;
    int m_laidOutWidth = 0;
    int m_laidOutHeight = 0;
};
