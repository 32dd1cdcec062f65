#pragma once
#include "engine/CTexturedSprite.h"
#include "frontend/GUI_MenuScreen.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <cstdint>
#include <string>
#include <vector>

class GUI_ButtonText;
class GUI_ScrollingWindow;
class SIM_Race;

// One race in the selector: name, description, logo and its select button
// (or the words saying it is the race in command).
class GUI_RaceDetails : public GUI_WindowBase {
public:
    explicit GUI_RaceDetails(SIM_Race& race);

    void Draw() override;
    void SetInner(const GRect& inner) { m_inner = inner; }

    SIM_Race& GetRace() const { return m_race; }
    GUI_ButtonText* GetSelectButton() const { return m_select; }
    bool IsSelectable() const { return m_selectable; }
    // The button's state for the current race, as Draw leaves it.
    void RefreshButton();

private:
    static void OnSelect(std::intptr_t row);

    SIM_Race& m_race;
    GUI_ButtonText* m_select;
    bool m_selectable = true;
    std::string m_currentText;
    CTexturedSprite m_background;
    CTexturedSprite m_logo;
    GRect m_inner;
    GUI_Interlace m_interlace;
};

// The list of races, three or four rows at a time with a scroll bar. It is
// the whole content of its screen, so Escape goes past it to the screen and
// leaves, as the back button does.
class GUI_RaceSelector : public GUI_Dialog, public GUI_OneOpen<GUI_RaceSelector> {
public:
    bool IsModal() const override { return false; }
    static constexpr int kRowHeight = 200;

    static void Open();
    static void Close();

    ~GUI_RaceSelector() override;
    void Draw() override;

    void FillRows();
    const std::vector<GUI_RaceDetails*>& GetRows() const { return m_rows; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }
    int GetRowsShown() const { return m_rowsShown; }

private:
    GUI_RaceSelector();
    std::vector<GUI_RaceDetails*> m_rows;
    GUI_ScrollingWindow* m_scroll = nullptr;
    int m_rowsShown = 3;
};

// The race screen: the menu backdrop, a back button and the race selector.
// It goes back to whichever screen opened it (scenario choice, deployment),
// else to the main menu.
class GUI_RaceScreen : public GUI_MenuScreen {
public:
    static GUI_RaceScreen& GetInstance();

    void Enter() override;
    void Leave() override;

    // Openers set this after switching here: Enter resets it to 15.
    void SetReturnMode(int mode) { m_returnMode = mode; }
    int GetReturnMode() const { return m_returnMode; }
    GUI_ButtonText* GetBackButton() const { return m_back; }

    // Makes the race the player's, saves config.txt and renames the race
    // strip of the scenario choice.
    static void SelectRace(SIM_Race& race);

protected:
    int GetBackMode() const override { return m_returnMode; }

private:
    GUI_RaceScreen();
    static void OnBack(std::intptr_t);

    GUI_ButtonText* m_back = nullptr;
    int m_returnMode = 15;
};
