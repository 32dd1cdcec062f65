#pragma once
// The real game in a window, started as a player starts it, for the tests
// that drive it with synthetic mouse and keys. Its player files live in a
// fresh folder and the game folder is the working one; when it goes (or at
// Stop) the game is shut down and reset, so the next test starts from nothing
// even after a failed assertion.
#include "app/Game.h"
#include "platform/IClock.h"
#include "support/TempDir.h"

#include <cstdint>
#include <string>

// The frame hold reads this clock: a second passes at every look, so no
// frame waits for the display's rate and a battle runs as fast as it draws.
class LeapingClock final : public IClock {
public:
    double NowMs() const override { return m_now += 1000.0; }

private:
    mutable double m_now = 0.0;
};

struct WindowedGameSetup {
    uint64_t seed = 1;
    // A window of the size below (by default 1024 x 768, the smallest the
    // game picks) set in prefs.ini; off, the game picks its own size.
    bool smallWindow = true;
    int windowWidth = 1024; // the window's size when smallWindow is set
    int windowHeight = 768;
    int soundChannels = 0;      // written to prefs.ini when positive
    float battleFrameMs = 0.0f; // the battle's fixed frame time when positive
    // No frame waits for the display. Held frames have their whole period to
    // spare for the idle work, whatever the machine's load; unheld ones none.
    bool unheldFrames = false;
    bool noLessons = false;     // the tutorial's lessons dropped once started
};

class WindowedGame {
public:
    explicit WindowedGame(const WindowedGameSetup& setup);
    ~WindowedGame();
    WindowedGame(const WindowedGame&) = delete;
    WindowedGame& operator=(const WindowedGame&) = delete;

    // False when the game did not start (nothing else is then to be trusted).
    bool Started() const { return m_started; }
    const std::string& UserDir() const { return m_user.Path(); }
    const TempDir& User() const { return m_user; }
    // Shuts the game down (writing what it writes on the way out) and resets
    // it; once, whatever calls it.
    void Stop();
    // The game shut down (if it is not already, by a closed window) and
    // started again on the same player folder, as a player starts it anew.
    bool Restart();

private:
    bool Start();

    WindowedGameSetup m_setup;
    TempDir m_user;
    ScopedChdir m_cwd;
    LeapingClock m_unheld;
    bool m_injectedFrame = false;
    bool m_started = false;
    bool m_stopped = false;
};
