#pragma once

class GUI_WindowBase;

// Base of every screen. The frame calls Update and Render on the current
// mode; the input manager sends it keys, clicks and wheel turns.
class GUI_GameModeBase {
public:
    virtual ~GUI_GameModeBase() = default;

    virtual void Render() {}
    virtual void OnKeyDown(int code);
    virtual void Update() {}
    virtual void OnLeftClick() {}
    virtual void OnRightClick() {}
    virtual void Enter() {}
    virtual void Leave() {}
    virtual void OnWheelUp() {}
    virtual void OnWheelDown() {}

    // The end every screen's render shares: the window manager's windows, the
    // queued tooltips, then the dragged window on top. Game::Frame draws it
    // after Render (the transition and fade follow), so no screen can forget
    // it. The battle keeps its tooltips above a dragged window.
    static void DrawInterfaceTail(bool tooltipsOnTop = false);
    // A screen that must draw the tail at its own point in the frame (the
    // battle, between its layers) says so and calls DrawInterfaceTail itself.
    virtual bool DrawsOwnInterfaceTail() const { return false; }
    // True when this frame's Render will replace every pixel of the back
    // buffer before drawing on it, so the frame need not clear it first.
    virtual bool CoversBackBuffer() const { return false; }
    // One small piece of work for the time the frame hold has to spare;
    // false when there is none (the hold then sleeps).
    virtual bool DoIdleWork() { return false; }

    // What a screen asks before its way out throws work away (string keys
    // of the question and its title); both null while nothing would be lost.
    // Closing the game's window asks the same.
    struct LeaveQuestion {
        const char* textKey = nullptr;
        const char* titleKey = nullptr;
        explicit operator bool() const { return textKey != nullptr; }
    };
    virtual LeaveQuestion GetLeaveQuestion() const { return {}; }

    // The window that receives keys (a text field makes itself this window).
    GUI_WindowBase* keyboardFocus = nullptr;
};
