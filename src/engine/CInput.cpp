#include "engine/CInput.h"

#include "platform/IClock.h"

CInput& CInput::GetInstance()
{
    static CInput instance;
    return instance;
}

CInput::CInput(const IClock* clock) : m_clock(clock ? clock : &SystemClock())
{
}

void CInput::Poll()
{
    CBaseInputManager::Poll();
    RunKeyRepeat();
}

void CInput::RunKeyRepeat()
{
    if (m_repeatKey == 0 || !IsKeyDown(m_repeatKey)) {
        m_repeatKey = 0;
        m_repeating = false;
        return;
    }
    const double now = m_clock->NowMs();
    if (!m_repeating) {
        if (now - m_repeatStart >= kRepeatDelayMs) {
            m_repeating = true;
            Deliver(m_repeatKey);
            m_lastRepeat = now;
        }
    } else if (now - m_lastRepeat >= kRepeatIntervalMs) {
        Deliver(m_repeatKey);
        m_lastRepeat = now;
    }
}

void CInput::Deliver(int keyCode)
{
    if (m_listener)
        m_listener->OnKeyPress(keyCode);
}

void CInput::OnKeyPress(int keyCode)
{
    Deliver(keyCode);
    m_repeatKey = keyCode;
    m_repeatStart = m_clock->NowMs();
    m_repeating = false;
}

void CInput::OnTypedChar(char c)
{
    if (m_listener)
        m_listener->OnTypedChar(c);
}

void CInput::OnWheelForward()
{
    if (m_listener)
        m_listener->OnWheelUp();
}

void CInput::OnWheelBackward()
{
    if (m_listener)
        m_listener->OnWheelDown();
}

void CInput::OnLeftButtonDown()
{
    CBaseInputManager::OnLeftButtonDown();
    if (m_listener)
        m_listener->OnLeftClick();
}

void CInput::OnRightButtonDown()
{
    if (m_listener)
        m_listener->OnRightClick();
}
