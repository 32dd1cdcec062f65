#pragma once
#include "app/GUI_GameModeBase.h"

#include <string>

// A screen that is not built yet: it shows its own name and goes back to the
// main menu with Escape, so every road through the program can be walked.
class GUI_StandInMode : public GUI_GameModeBase {
public:
    explicit GUI_StandInMode(std::string title) : m_title(std::move(title)) {}

    void Render() override;
    void OnKeyDown(int code) override;
    void Enter() override { ++enterCount; }
    void Leave() override { ++leaveCount; }

    const std::string& GetTitle() const { return m_title; }

    int enterCount = 0;
    int leaveCount = 0;

protected:
    std::string m_title;
};
