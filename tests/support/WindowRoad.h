#pragma once
// Shared by the tests that play a long road through the real window.
#include "gui/GUI_Fader.h"
#include "gui/GUI_Transition.h"
#include "platform/IClock.h"
#include "support/WindowInput.h"

// The frame hold reads this clock: a second passes at every look, so no
// frame waits for the display's rate and a battle runs as fast as it draws.
class LeapingClock final : public IClock {
public:
    double NowMs() const override { return m_now += 1000.0; }

private:
    mutable double m_now = 0.0;
};

// Runs frames until the screen transition and the fade are over.
inline void SettleScreens()
{
    for (int i = 0; i < 2000 && (GUI_Transition::GetInstance().IsActive() || !GUI_Fader::GetInstance().IsDone()); ++i)
        RunGameFrames(1);
    RunGameFrames(2);
}
