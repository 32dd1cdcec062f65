#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Mouse messages as the window layer hands them over.
enum class MouseMessage {
    LeftDown,
    LeftDoubleClick,
    LeftUp,
    RightDown,
    RightUp,
    Wheel,
};

// One buffered keyboard event: data has bit 7 set when the key went down;
// kTypedChar marks a typed character (code holds it) from the text input.
struct KeyEvent {
    static constexpr uint8_t kTypedChar = 0x40;

    int code = 0;
    uint8_t data = 0;
    uint32_t timeStamp = 0;
    uint32_t sequence = 0;
};

// Keyboard state and buffered key events, the mouse position and buttons.
// The window layer feeds key-down/key-up events (game key codes) and mouse
// messages; Poll hands them to the virtual operations once per frame. The
// buffer grows rather than drop a key: a slow frame delivers all it held.
class CBaseInputManager {
public:
    static constexpr int kKeyCount = 256;
    // Room made at start-up: a frame's typing fits without allocating.
    static constexpr int kBufferReserve = 256;
    static constexpr float kStationaryPixels = 12.0f;

    CBaseInputManager();
    virtual ~CBaseInputManager() = default;
    CBaseInputManager(const CBaseInputManager&) = delete;
    CBaseInputManager& operator=(const CBaseInputManager&) = delete;

    // Starts taking key events; anything fed before is dropped.
    bool Init();
    bool IsInitialised() const { return m_initialised; }

    virtual void Poll();
    virtual void OnWheelForward() {}
    virtual void OnWheelBackward() {}
    virtual void OnLeftButtonDown();
    virtual void OnLeftButtonUp();
    virtual void OnRightButtonDown() {}
    virtual void OnRightButtonUp() {}
    virtual void OnKeyPress(int keyCode);
    // A character the player typed, delivered in order with the key presses.
    virtual void OnTypedChar(char) {}

    // Window-layer feed. Repeats made by the window system are dropped because
    // the game repeats held keys itself.
    void QueueKeyDown(int keyCode, uint32_t timeMs, bool systemRepeat = false);
    void QueueKeyUp(int keyCode, uint32_t timeMs);
    // The text the keyboard layout made of the keys (UTF-8). Characters the
    // text fields cannot show (beyond printable ASCII) are dropped.
    void QueueText(const std::string& text);
    // The cursor in client pixels; read at the next poll.
    void SetCursorPosition(float x, float y);
    // Focus lost: the key-up events will never come, so every key is let go.
    void ReleaseAllKeys();
    void HandleMouseMessage(MouseMessage message, int wheelDelta = 0);

    void GetKeyboardData();
    void UpdateMousePosition();

    bool IsKeyDown(int keyCode) const;
    const uint8_t* GetKeyState() const { return m_keyState; }
    float GetMouseX() const { return m_mouseX; }
    float GetMouseY() const { return m_mouseY; }
    int GetStationaryCount() const { return m_stationaryCount; }
    bool IsLeftButtonDown() const { return m_leftButtonDown; }
    bool IsDoubleClick() const { return m_doubleClick; }
    // Events waiting for the next poll.
    int GetQueuedEventCount() const { return static_cast<int>(m_events.size()); }

protected:
    void SetLeftButtonDown(bool down) { m_leftButtonDown = down; }
    bool m_pollFlag = false;

private:
    void PushEvent(int keyCode, uint8_t data, uint32_t timeMs);

    float m_mouseX = 100.0f;
    float m_mouseY = 100.0f;
    float m_cursorX = 100.0f;
    float m_cursorY = 100.0f;
    float m_anchorX = 100.0f;
    float m_anchorY = 100.0f;
    int m_stationaryCount = 0;
    bool m_leftButtonDown = false;
    bool m_doubleClick = false;

    uint8_t m_keyState[kKeyCount] = {};
    uint8_t m_liveState[kKeyCount] = {};
    std::vector<KeyEvent> m_events;
    // The events being delivered; swapped with m_events so neither allocates.
    std::vector<KeyEvent> m_delivering;
    uint32_t m_sequence = 0;
    bool m_initialised = false;
};

// The character a key code types in text fields; 0 for any other key.
char DIKToAscii(int keyCode);
