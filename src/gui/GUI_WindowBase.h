#pragma once
#include "engine/GLifetime.h"
#include "gui/GUIButtonList.h"

#include <memory>
#include <vector>

// Base of every window, panel and dialog: a button list with owned child
// windows, a visible flag, click swallowing, raise-on-click, mouse claiming
// and dragging. Windows never delete themselves from inside a click; they ask
// the window manager (CloseWindow / QueueDelete), which frees them once no
// list walk is running.
class GUI_WindowBase : public GUIButtonList {
public:
    GUI_WindowBase() = default;
    ~GUI_WindowBase() override;

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void AddButton(GUI_ButtonBase* button) override;
    void Update() override;
    // Its buttons and its child windows' buttons.
    void ClearHover() override;
    virtual void OnKeyDown(int key);
    // A character typed while this window holds the keyboard.
    virtual void OnTypedChar(char) {}
    virtual bool OnRightClick(float x, float y);
    virtual bool IsModal() const { return false; }
    // A modal window that takes every key while it is on top (nothing closes
    // it by Escape; its owner does).
    virtual bool HoldsKeys() const { return false; }
    // Escape while this is the top modal window: true when the window acted
    // on it itself (its closing must carry out a choice); false, the
    // default, lets the window manager close it.
    virtual bool TakeEscape() { return false; }
    // Drawn after every dialog, whatever its place in the z-order.
    virtual bool StaysOnTop() const { return false; }
    virtual void OnDragEnd() {}
    virtual void OnWheelUp();
    virtual void OnWheelDown();
    virtual void StartDrag();

    // The window shows this thing: once it is gone the window manager hides
    // the window, calls OnSubjectGone and closes it, before any update, draw,
    // click or key reaches it again. A window may follow several things; what
    // a pane (child window) follows closes the window it sits in, so a pane
    // never leaves its owner's lists behind its back.
    void Follow(const GLifetime& subject) { m_subjects.push_back(subject.Token()); }
    template <typename T>
    void Follow(const GWatch<T>& subject)
    {
        m_subjects.push_back(subject.Token());
    }
    // Before the window is rebuilt for another subject.
    void StopFollowing() { m_subjects.clear(); }
    // True once anything it or one of its panes follows is gone.
    bool HasLostSubject() const;
    // Called once, as the window closes for a lost subject: what its closing
    // would do to the model is done here without the subject.
    virtual void OnSubjectGone() {}

    void AddChild(GUI_WindowBase* child);
    void RemoveChild(GUI_WindowBase* child);
    void DeleteChildren();
    void DrawChildren();
    bool IsMouseOver() const;
    void UpdateDrag();

    const std::vector<GUI_WindowBase*>& GetChildren() const { return m_childWindows; }
    GUI_WindowBase* GetParent() const { return m_parent; }
    bool IsDragging() const { return m_dragging; }
    bool IsInTopLevelList() const { return m_inTopLevelList; }
    bool IsInModalList() const { return m_inModalList; }

    bool draggable = false;
    bool visible = true;
    // Marks the mouse as over a window while it is inside, so that windows
    // and buttons underneath do not hover.
    bool claimsMouse = true;
    // A click inside that nothing took is still reported as taken.
    bool swallowsClicks = true;
    bool raisesOnClick = true;

protected:
    // The child at (l, t, r, b), drawn, updated and clicked with this window.
    template <typename T>
    T* PlaceChild(T* child, int l, int t, int r, int b)
    {
        child->SetRect(static_cast<float>(l), static_cast<float>(t), static_cast<float>(r), static_cast<float>(b));
        AddChild(child);
        AddChildElement(child);
        return child;
    }

    bool m_dragging = false;
    float m_dragOffsetX = 0.0f;
    float m_dragOffsetY = 0.0f;
    std::vector<GUI_WindowBase*> m_childWindows;

private:
    friend class GUI_WindowManager;
    GUI_WindowBase* m_parent = nullptr;
    std::vector<std::weak_ptr<const void>> m_subjects;
    bool m_inTopLevelList = false;
    bool m_inModalList = false;
};
