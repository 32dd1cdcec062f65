#pragma once
#include "engine/GTimer.h"
#include "gui/GUI_Callback.h"

#include <cstdint>

class IClock;

// The full-screen fade to black behind deferred presses: 150 ms of darkening
// with input blocked, then the frame runs the one stored callback after it
// has presented the black frame.
class GUI_Fader {
public:
    static constexpr double kFadeMs = 150.0;
    enum Mode { kIdle = 0, kFading = 1 };

    static GUI_Fader& GetInstance();

    // A second start while fading replaces the callback and restarts the fade.
    void Start(GUI_Callback callback, std::intptr_t argument);
    void Draw();
    // For the frame, after presenting: when the fade is done, unblocks input,
    // goes idle and runs the callback once. True when it ran the step.
    bool RunPendingCallback();

    bool IsDone() const { return m_done; }
    int GetMode() const { return m_mode; }
    bool IsFading() const { return m_mode == kFading; }
    // Alpha of the last drawn fade, 0..255.
    int GetLastAlpha() const { return m_lastAlpha; }

    // Tests drive the fade with their own clock; null restores the system clock.
    void SetClock(const IClock* clock);
    // Back to idle without running the callback (leaving a screen, tests).
    void Reset();

private:
    GUI_Fader();

    GTimer m_timer;
    int m_mode = kIdle;
    GUI_Callback m_callback = nullptr;
    std::intptr_t m_argument = 0;
    bool m_done = false;
    int m_lastAlpha = 0;
};
