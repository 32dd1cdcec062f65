#pragma once
#include <cstdio>

// Tells a program that drives the game from outside (the window runs of CI)
// when the screen can take its clicks, so that it waits for the game instead
// of guessing with sleeps. Off until given a stream. One line after a
// presented frame at which the screen has settled (no transition, no fade)
// when anything changed since the last line: the screen, the number of modal
// windows, or the count of button presses and key presses received:
//     ready: main menu windows=0 input=0
// A driver that counts the presses it sent waits for a line with at least
// that count: every one of them has then been handled and drawn.
class APP_ReadySignal {
public:
    void SetStream(FILE* out) { m_out = out; }
    bool IsOn() const { return m_out != nullptr; }

    void OnScreenChanged() { ++m_screen; }
    void OnInput() { ++m_input; }
    // At the end of every presented frame.
    void AfterPresent(int modeId, bool settled, int modalWindows);

    // The name the line gives a game mode.
    static const char* ScreenName(int modeId);

private:
    FILE* m_out = nullptr;
    unsigned m_screen = 0;
    unsigned m_input = 0;
    bool m_told = false;
    unsigned m_toldScreen = 0;
    unsigned m_toldInput = 0;
    int m_toldWindows = 0;
};
