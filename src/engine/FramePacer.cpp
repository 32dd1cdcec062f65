#include "engine/FramePacer.h"

#include "platform/IClock.h"

#include <chrono>
#include <thread>

namespace {
void SleepOrYield(double ms)
{
    if (ms > 0.0)
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
    else
        std::this_thread::yield();
}
} // namespace

FramePacer::FramePacer(const IClock* clock, double frameMs)
    : m_clock(clock ? clock : &SystemClock()), m_frameMs(frameMs > 0.0 ? frameMs : kFrameMs), m_sleeper(SleepOrYield)
{
}

void FramePacer::SetClock(const IClock* clock)
{
    m_clock = clock ? clock : &SystemClock();
    m_started = false;
}

void FramePacer::SetSleeper(Sleeper sleeper)
{
    m_sleeper = sleeper ? std::move(sleeper) : Sleeper(SleepOrYield);
}

void FramePacer::Restart()
{
    m_lastRelease = m_clock->NowMs();
    m_deadline = m_lastRelease + m_frameMs;
    m_started = true;
}

void FramePacer::Hold(const IdleWork& idle)
{
    if (!m_started)
        Restart();
    ++m_framesHeld;
    m_lastOversleep = 0.0;
    double now = m_clock->NowMs();
    m_lastWork = now - m_lastRelease;
    const bool injected = m_injectedSpare >= 0.0f;
    if (injected) {
        m_spareShare = m_injectedSpare;
        if (m_injectedSpare > 0.0f && idle) {
            for (int pieces = 0; pieces < kMaxInjectedIdlePieces && idle(); ++pieces) {
            }
            now = m_clock->NowMs();
        }
    }
    if (now >= m_deadline) {
        if (!injected)
            m_spareShare = 0.0f;
        // Within a period of the schedule: keep it. Further behind: catching
        // up would run frames back to back, so start afresh.
        m_deadline = now - m_deadline < m_frameMs ? m_deadline + m_frameMs : now + m_frameMs;
        m_lastRelease = now;
        return;
    }
    ++m_framesOnTime;
    if (!injected)
        m_spareShare = static_cast<float>((m_deadline - now) / m_frameMs);
    int stalled = 0;
    while (now < m_deadline && stalled < kMaxStalledWaits) {
        if (injected || !(idle && idle())) {
            const double left = m_deadline - now;
            m_sleeper(left > kSpinMarginMs ? left - kSpinMarginMs : 0.0);
        }
        const double before = now;
        now = m_clock->NowMs();
        stalled = now > before ? 0 : stalled + 1;
    }
    m_lastOversleep = now > m_deadline ? now - m_deadline : 0.0;
    m_lastRelease = now;
    m_deadline += m_frameMs;
}
