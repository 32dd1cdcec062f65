#include "battle/BattleSpeed.h"

#include <algorithm>

#include "app/APP_UsageMetrics.h"
#include "battle/GUI_BattleGUI.h"

namespace {
constexpr float kMinSpeed = 0.2f;
constexpr float kMaxSpeed = 4.0f;

void Step(bool up)
{
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    if (GUI_Sounds* sounds = gui.GetSounds())
        sounds->PlayGuiSound(0);
    if (gui.paused)
        return;
    gui.battleSpeed = NextBattleSpeed(gui.battleSpeed, up);
    gui.ApplyBattleSpeed();
    APP_UsageMetrics::GetInstance().SetEventFlag("battlespeedchange");
}
} // namespace

float NextBattleSpeed(float speed, bool up)
{
    const float step = speed > 2.0f ? 0.4f : 0.2f;
    return up ? std::min(speed + step, kMaxSpeed) : std::max(speed - step, kMinSpeed);
}

void BattleSpeedUp()
{
    Step(true);
}

void BattleSpeedDown()
{
    Step(false);
}

void TogglePause(std::intptr_t)
{
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    gui.TogglePauseState();
    if (GUI_Sounds* sounds = gui.GetSounds())
        sounds->PlayGuiSound(0);
    APP_UsageMetrics::GetInstance().SetEventFlag("pausetoggle");
}
