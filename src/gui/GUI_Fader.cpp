#include "gui/GUI_Fader.h"

#include "engine/CInput.h"
#include "engine/D3DEngine.h"

#include <algorithm>

GUI_Fader& GUI_Fader::GetInstance()
{
    static GUI_Fader instance;
    return instance;
}

GUI_Fader::GUI_Fader() : m_timer(nullptr)
{
}

void GUI_Fader::SetClock(const IClock* clock)
{
    m_timer = GTimer(clock);
    if (m_mode == kFading)
        m_timer.Start();
}

void GUI_Fader::Start(GUI_Callback callback, std::intptr_t argument)
{
    m_callback = callback;
    m_argument = argument;
    m_done = false;
    m_mode = kFading;
    m_lastAlpha = 0;
    m_timer.Start();
    CInput::GetInstance().SetInputBlocked(true);
}

void GUI_Fader::Draw()
{
    if (m_mode == kIdle)
        return;
    m_timer.Update();
    const double t = std::min(1.0, std::max(0.0, m_timer.GetTotalMs() / kFadeMs));
    m_lastAlpha = static_cast<int>(t * 255.0);
    D3DEngine& engine = D3DEngine::GetInstance();
    const GRect screen{0, 0, engine.GetScreenWidth(), engine.GetScreenHeight()};
    engine.FillRect(screen, static_cast<uint32_t>(m_lastAlpha) << 24);
    if (t >= 1.0)
        m_done = true;
}

bool GUI_Fader::RunPendingCallback()
{
    if (!m_done)
        return false;
    CInput::GetInstance().SetInputBlocked(false);
    m_mode = kIdle;
    // Cleared before the call: the callback may start a new fade.
    const GUI_Callback callback = m_callback;
    const std::intptr_t argument = m_argument;
    m_callback = nullptr;
    m_done = false;
    if (callback)
        callback(argument);
    return true;
}

void GUI_Fader::Reset()
{
    if (m_mode != kIdle || m_done)
        CInput::GetInstance().SetInputBlocked(false);
    m_mode = kIdle;
    m_done = false;
    m_callback = nullptr;
    m_argument = 0;
    m_lastAlpha = 0;
}
