#pragma once
#include <functional>

class IClock;

// Holds every frame to an absolute deadline one frame period after the last
// one, so that small oversleeps never add up: it sleeps until about a
// millisecond before the deadline, then yields until the clock passes it.
// A frame that overruns is released at once; one that overruns by more than
// a whole period starts a new schedule instead of racing to catch up.
class FramePacer {
public:
    static constexpr double kFrameMs = 1000.0 / 60.0;
    // Sleeps end this long before the deadline; the rest is yielded away,
    // since a sleep may overshoot by about this much.
    static constexpr double kSpinMarginMs = 1.0;
    // A clock that stands still for this many waits in a row (a test's
    // manual clock nobody moves) ends the hold instead of hanging it.
    static constexpr int kMaxStalledWaits = 100;
    // With an injected spare share, the most idle pieces one hold runs.
    static constexpr int kMaxInjectedIdlePieces = 1000;

    // Sleeps about ms milliseconds; 0 asks only to yield the processor.
    using Sleeper = std::function<void(double ms)>;
    // One small piece of spare-time work; false when there is none.
    using IdleWork = std::function<bool()>;

    // Without a clock the machine's steady clock is used.
    explicit FramePacer(const IClock* clock = nullptr, double frameMs = kFrameMs);

    void SetClock(const IClock* clock);
    // Tests move a manual clock here instead of sleeping.
    void SetSleeper(Sleeper sleeper);
    // Tests: every hold has this share of its period to spare, whatever the
    // machine's load: above 0 the idle work runs first until it has no more,
    // at 0 never; the hold then waits as usual. Negative (the default)
    // measures the share on the clock.
    void SetInjectedSpareShare(float share) { m_injectedSpare = share; }
    // The next deadline is one period from now.
    void Restart();
    // Returns when the current deadline has passed (at once for a late frame)
    // and moves the deadline on by one period. Idle work runs first, while
    // time is left.
    void Hold(const IdleWork& idle = {});

    double GetFrameMs() const { return m_frameMs; }
    double GetDeadline() const { return m_deadline; }
    // Share of the period still left when the last hold began (0 when late).
    float GetSpareShare() const { return m_spareShare; }
    int GetFramesHeld() const { return m_framesHeld; }
    // Frames whose work finished before their deadline.
    int GetFramesOnTime() const { return m_framesOnTime; }
    // How far past its deadline the last frame was released (0 when the
    // frame was late already: then the work was, not the hold).
    double GetLastOversleepMs() const { return m_lastOversleep; }
    // Wall time from the last release to this hold: the frame's own work.
    double GetLastWorkMs() const { return m_lastWork; }
    void ResetCounts() { m_framesHeld = m_framesOnTime = 0; }

private:
    const IClock* m_clock;
    double m_frameMs;
    double m_deadline = 0.0;
    bool m_started = false;
    float m_spareShare = 0.0f;
    float m_injectedSpare = -1.0f;
    double m_lastOversleep = 0.0;
    double m_lastWork = 0.0;
    double m_lastRelease = 0.0;
    int m_framesHeld = 0;
    int m_framesOnTime = 0;
    Sleeper m_sleeper;
};
