#pragma once

class IClock;

// Frame timer with pause and a speed factor. 12 ms is one nominal simulation
// step, so the frame step is elapsed / 12 x speed.
class GTimer {
public:
    static constexpr double kStepMs = 12.0;
    static constexpr float kMaxLastElapsedMs = 36.0f;

    // Without a clock the system's steady clock is used.
    explicit GTimer(const IClock* clock = nullptr);

    void Start();
    void Update();
    // Brings the total up to date, then freezes it until Resume.
    void Pause();
    // Time spent paused is not counted.
    void Resume();

    bool IsPaused() const { return m_paused; }
    float GetSpeedFactor() const { return m_speedFactor; }
    void SetSpeedFactor(float factor) { m_speedFactor = factor; }

    double GetTotalMs() const { return m_total; }
    float GetFrameStep() const { return m_frameStep; }
    // The last frame's milliseconds, capped so that one long stall does not
    // throw whoever reads it.
    float GetLastElapsedMs() const { return m_lastElapsed; }

private:
    const IClock* m_clock;
    float m_speedFactor = 1.0f;
    bool m_paused = false;
    double m_reference = 0.0;
    double m_total = 0.0;
    float m_frameStep = 0.0f;
    float m_lastElapsed = 0.0f;
};
