#include "engine/CBaseInputManager.h"

#include "engine/GDebugLog.h"

#include <cmath>

CBaseInputManager::CBaseInputManager()
{
    m_events.reserve(kBufferReserve);
    m_delivering.reserve(kBufferReserve);
}

bool CBaseInputManager::Init()
{
    LOG_DEBUG("Initialising Direct Input");
    m_events.clear();
    for (int i = 0; i < kKeyCount; ++i) {
        m_keyState[i] = 0;
        m_liveState[i] = 0;
    }
    m_initialised = true;
    LOG_DEBUG("Finished Initialising Direct Input");
    return true;
}

void CBaseInputManager::Poll()
{
    UpdateMousePosition();
    GetKeyboardData();
    m_pollFlag = false;
}

void CBaseInputManager::OnLeftButtonDown()
{
    m_leftButtonDown = true;
}

void CBaseInputManager::OnLeftButtonUp()
{
    m_leftButtonDown = false;
}

void CBaseInputManager::OnKeyPress(int)
{
}

void CBaseInputManager::PushEvent(int keyCode, uint8_t data, uint32_t timeMs)
{
    KeyEvent e;
    e.code = keyCode;
    e.data = data;
    e.timeStamp = timeMs;
    e.sequence = m_sequence++;
    m_events.push_back(e);
}

void CBaseInputManager::QueueKeyDown(int keyCode, uint32_t timeMs, bool systemRepeat)
{
    if (!m_initialised || systemRepeat || keyCode <= 0 || keyCode >= kKeyCount)
        return;
    m_liveState[keyCode] = 0x80;
    PushEvent(keyCode, 0x80, timeMs);
}

void CBaseInputManager::QueueKeyUp(int keyCode, uint32_t timeMs)
{
    if (!m_initialised || keyCode <= 0 || keyCode >= kKeyCount)
        return;
    m_liveState[keyCode] = 0;
    PushEvent(keyCode, 0, timeMs);
}

void CBaseInputManager::QueueText(const std::string& text)
{
    if (!m_initialised)
        return;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 32 && u < 127)
            PushEvent(u, KeyEvent::kTypedChar, 0);
    }
}

void CBaseInputManager::ReleaseAllKeys()
{
    for (int i = 0; i < kKeyCount; ++i)
        m_liveState[i] = 0;
}

void CBaseInputManager::SetCursorPosition(float x, float y)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    m_cursorX = x;
    m_cursorY = y;
}

void CBaseInputManager::GetKeyboardData()
{
    if (!m_initialised)
        return;
    for (int i = 0; i < kKeyCount; ++i)
        m_keyState[i] = m_liveState[i];
    // A poll from inside a handler leaves the new events for the next frame.
    if (!m_delivering.empty())
        return;
    // Taken out first: a handler may feed new events while we deliver these.
    m_delivering.swap(m_events);
    for (const KeyEvent& e : m_delivering) {
        if (e.data & KeyEvent::kTypedChar)
            OnTypedChar(static_cast<char>(e.code));
        else if (e.data & 0x80)
            OnKeyPress(e.code);
    }
    m_delivering.clear();
}

void CBaseInputManager::UpdateMousePosition()
{
    if (std::fabs(m_mouseX - m_anchorX) < kStationaryPixels && std::fabs(m_mouseY - m_anchorY) < kStationaryPixels) {
        ++m_stationaryCount;
    } else {
        m_stationaryCount = 0;
        m_anchorX = m_mouseX;
        m_anchorY = m_mouseY;
    }
    m_mouseX = m_cursorX;
    m_mouseY = m_cursorY;
}

void CBaseInputManager::HandleMouseMessage(MouseMessage message, int wheelDelta)
{
    // Clicks before start-up finished would reach screens that do not exist yet.
    if (!m_initialised)
        return;
    // A click acts where the button went down, even when the cursor moved
    // there since the last poll.
    if (message != MouseMessage::Wheel) {
        m_mouseX = m_cursorX;
        m_mouseY = m_cursorY;
    }
    switch (message) {
    case MouseMessage::LeftDown:
        m_doubleClick = false;
        OnLeftButtonDown();
        break;
    case MouseMessage::LeftDoubleClick:
        m_doubleClick = true;
        OnLeftButtonDown();
        break;
    case MouseMessage::LeftUp:
        OnLeftButtonUp();
        break;
    case MouseMessage::RightDown:
        OnRightButtonDown();
        break;
    case MouseMessage::RightUp:
        OnRightButtonUp();
        break;
    case MouseMessage::Wheel:
        if (wheelDelta > 0)
            OnWheelForward();
        else
            OnWheelBackward();
        break;
    }
}

bool CBaseInputManager::IsKeyDown(int keyCode) const
{
    if (keyCode < 0 || keyCode >= kKeyCount)
        return false;
    return (m_keyState[keyCode] & 0x80) != 0;
}

char DIKToAscii(int keyCode)
{
    static const char kDigitRow[] = "1234567890-";  // codes 2..12
    static const char kTopRow[] = "qwertyuiop";     // 16..25
    static const char kHomeRow[] = "asdfghjkl";     // 30..38
    static const char kBottomRow[] = "zxcvbnm,.";   // 44..52
    if (keyCode >= 2 && keyCode <= 12)
        return kDigitRow[keyCode - 2];
    if (keyCode >= 16 && keyCode <= 25)
        return kTopRow[keyCode - 16];
    if (keyCode >= 30 && keyCode <= 38)
        return kHomeRow[keyCode - 30];
    if (keyCode >= 44 && keyCode <= 52)
        return kBottomRow[keyCode - 44];
    switch (keyCode) {
    case 40: return '\'';
    case 57: return ' ';
    case 71: return '7';
    case 72: return '8';
    case 73: return '9';
    case 74: return '-';
    case 75: return '4';
    case 76: return '5';
    case 77: return '6';
    case 79: return '1';
    case 80: return '2';
    case 81: return '3';
    case 82: return '0';
    case 83: return '.';
    default: return 0;
    }
}
