#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_WindowBase.h"

#include <string>

class GUI_Tooltip;
class SIM_Scenario;

// One medal: bronze, silver or gold once the scenario is won on easy,
// medium or hard, an empty medal before that.
class GUI_Achievement : public GUI_WindowBase {
public:
    GUI_Achievement(const SIM_Scenario& scenario, int level);
    ~GUI_Achievement() override;

    void Draw() override;

    bool IsEarned() const { return m_earned; }
    const std::string& GetAwardName() const { return m_name; }
    const GUI_Tooltip& GetTooltip() const { return *m_tooltip; }
    const std::string& GetMedalTexture() const { return m_medal.GetTextureName(); }

private:
    CTexturedSprite m_medal;
    std::string m_name;
    bool m_earned = false;
    GUI_Tooltip* m_tooltip = nullptr;
};

// The three medals of a scenario side by side, easy to hard.
class GUI_ScenarioAchievements : public GUI_WindowBase {
public:
    explicit GUI_ScenarioAchievements(const SIM_Scenario& scenario);

    void SetRect(float left, float top, float right, float bottom) override;
    void Draw() override;

    GUI_Achievement* GetMedal(int level) const { return m_medals[level]; }

private:
    GUI_Achievement* m_medals[3] = {};
};
