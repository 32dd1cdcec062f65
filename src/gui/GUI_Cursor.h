#pragma once

class GUI_WindowBase;

// The mouse-cursor kind the frame shows and the one window being dragged.
// The frame resets the kind to the arrow every frame; widgets under the mouse
// ask for the hand.
class GUI_Cursor {
public:
    static constexpr int kArrow = 0;
    static constexpr int kWait = 1;
    static constexpr int kHand = 2;

    static GUI_Cursor& GetInstance();

    void SetArrow() { kind = kArrow; }
    void SetHand() { kind = kHand; }
    void SetWait() { kind = kWait; }
    int GetKind() const { return kind; }

    GUI_WindowBase* GetDraggedWindow() const { return m_dragged; }
    void SetDraggedWindow(GUI_WindowBase* window) { m_dragged = window; }
    void ClearDraggedWindow() { m_dragged = nullptr; }
    // A destroyed window must not stay the dragged one.
    void ForgetWindow(const GUI_WindowBase* window);
    // For screens: draws the dragged window last, and ends the drag when the
    // left button is up.
    void DrawDraggedWindow();

    int kind = kArrow;

private:
    GUI_Cursor() = default;
    GUI_WindowBase* m_dragged = nullptr;
};
