#pragma once
#include "app/GUI_GameModeBase.h"
#include "gui/GUIButtonList.h"

#include <string>

// A screen that is not built yet: it shows its own name and a Back button, and
// goes back to the main menu with the button or Escape, so every road through
// the program can be walked. Its windows (questions, messages) are the window
// manager's.
class GUI_StandInMode : public GUI_GameModeBase {
public:
    explicit GUI_StandInMode(std::string title, bool backButton = true);

    void Render() override;
    void OnKeyDown(int code) override;
    void Update() override;
    void OnLeftClick() override;
    void OnWheelUp() override;
    void OnWheelDown() override;
    void Enter() override { ++enterCount; }
    void Leave() override { ++leaveCount; }

    const std::string& GetTitle() const { return m_title; }
    GUIButtonList& GetButtons() { return m_buttons; }

    int enterCount = 0;
    int leaveCount = 0;

protected:
    // Lays the buttons out for the current screen size.
    virtual void LayOut();
    void DrawTitle(const std::string& title, const std::string& subtitle, float y);

    std::string m_title;
    GUIButtonList m_buttons;
    int m_laidOutWidth = 0;
    int m_laidOutHeight = 0;
};
