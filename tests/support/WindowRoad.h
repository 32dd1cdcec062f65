#pragma once
// Shared by the tests that play a long road through the real window.
#include "gui/GUI_Fader.h"
#include "gui/GUI_Transition.h"
#include "support/WindowInput.h"
#include "support/WindowedGame.h"

// Runs frames until the screen transition and the fade are over.
inline void SettleScreens()
{
    for (int i = 0; i < 2000 && (GUI_Transition::GetInstance().IsActive() || !GUI_Fader::GetInstance().IsDone()); ++i)
        RunGameFrames(1);
    RunGameFrames(2);
}
