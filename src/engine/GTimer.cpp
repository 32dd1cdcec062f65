#include "engine/GTimer.h"

#include "platform/IClock.h"

#include <algorithm>

GTimer::GTimer(const IClock* clock) : m_clock(clock ? clock : &SystemClock())
{
    m_reference = m_clock->NowMs();
}

void GTimer::Start()
{
    m_total = 0.0;
    m_paused = false;
    m_lastElapsed = 0.0f;
    m_frameStep = 0.0f;
    m_reference = m_clock->NowMs();
}

void GTimer::Update()
{
    if (m_paused)
        return;
    const double now = m_clock->NowMs();
    const double elapsed = std::max(0.0, now - m_reference);
    m_frameStep = static_cast<float>(elapsed / kStepMs * m_speedFactor);
    m_total += elapsed * m_speedFactor;
    m_reference = now;
    m_lastElapsed = std::min(static_cast<float>(elapsed), kMaxLastElapsedMs);
}

void GTimer::Pause()
{
    Update();
    m_paused = true;
    m_reference = m_clock->NowMs();
    m_lastElapsed = 0.0f;
    // A stale step would keep moving whoever reads it while time stands still.
    m_frameStep = 0.0f;
}

void GTimer::Resume()
{
    if (!m_paused)
        return;
    m_paused = false;
    m_reference = m_clock->NowMs();
}
