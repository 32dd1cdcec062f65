#pragma once
#include "engine/CBaseInputManager.h"

class IClock;

// Where CInput sends what the player does: the application implements it and
// passes keys, clicks and wheel turns on to the current screen.
class CInputListener {
public:
    virtual ~CInputListener() = default;
    virtual void OnKeyPress(int keyCode) = 0;
    virtual void OnTypedChar(char) {}
    virtual void OnLeftClick() {}
    virtual void OnRightClick() {}
    virtual void OnWheelUp() {}
    virtual void OnWheelDown() {}
};

// The game's input manager: routes input to the listener and repeats a held
// key (first after 500 ms, then every 70 ms).
class CInput : public CBaseInputManager {
public:
    static constexpr double kRepeatDelayMs = 500.0;
    static constexpr double kRepeatIntervalMs = 70.0;

    static CInput& GetInstance();

    // Without a clock the system's steady clock is used.
    explicit CInput(const IClock* clock = nullptr);

    void SetListener(CInputListener* listener) { m_listener = listener; }

    void Poll() override;
    void OnWheelForward() override;
    void OnWheelBackward() override;
    void OnLeftButtonDown() override;
    void OnRightButtonDown() override;
    void OnKeyPress(int keyCode) override;
    void OnTypedChar(char c) override;

    // Set while the screen fade runs; the fader's callback clears it.
    void SetInputBlocked(bool blocked) { m_inputBlocked = blocked; }
    bool IsInputBlocked() const { return m_inputBlocked; }

    int GetRepeatKey() const { return m_repeatKey; }
    bool IsRepeating() const { return m_repeating; }

private:
    void RunKeyRepeat();
    void Deliver(int keyCode);

    const IClock* m_clock;
    CInputListener* m_listener = nullptr;
    bool m_inputBlocked = false;
    int m_repeatKey = 0;
    double m_repeatStart = 0.0;
    double m_lastRepeat = 0.0;
    bool m_repeating = false;
};
