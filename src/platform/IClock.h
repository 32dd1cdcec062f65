#pragma once

// Milliseconds from an arbitrary start. Timers and key repeat take a clock so
// that tests can drive time by hand instead of sleeping.
class IClock {
public:
    virtual ~IClock() = default;
    virtual double NowMs() const = 0;
};

// The monotonic clock of the machine; never jumps when the wall clock is set.
class SteadyClock final : public IClock {
public:
    double NowMs() const override;
};

// Time that moves only when told to.
class ManualClock final : public IClock {
public:
    explicit ManualClock(double startMs = 0.0) : m_now(startMs) {}
    double NowMs() const override { return m_now; }
    void Set(double ms) { m_now = ms; }
    void Advance(double ms) { m_now += ms; }

private:
    double m_now;
};

// The process-wide steady clock used when no clock is injected.
const IClock& SystemClock();
