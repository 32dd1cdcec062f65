#pragma once
#include <cstddef>
#include <vector>

class GUI_WindowBase;

// Holds the free-floating windows in z-order (front = bottom, back = top) and
// the windows that hold the input alone; updates, draws and feeds them mouse
// events. It does not own them, but it is the one place that deletes windows
// closed from inside a click or an update: the deletion waits until no walk of
// its lists is running.
class GUI_WindowManager {
public:
    static GUI_WindowManager& GetInstance();

    void AddWindow(GUI_WindowBase* window);
    void BringToFront(GUI_WindowBase* window);
    void RaiseIfListed(GUI_WindowBase* window);
    void RemoveWindow(GUI_WindowBase* window);
    void AddModal(GUI_WindowBase* window);
    void RemoveModal(GUI_WindowBase* window);

    // Queuing the same window twice is harmless; a queued window is hidden
    // from clicks and drawing until it goes.
    void QueueDelete(GUI_WindowBase* window);
    bool IsQueuedForDelete(const GUI_WindowBase* window) const;
    // Queues the window and, when no dispatch or update is running, deletes it
    // at once.
    void CloseWindow(GUI_WindowBase* window);
    void DeleteQueuedWindows();

    // Every listed window whose subject is gone (see
    // GUI_WindowBase::Follow) is hidden, told and closed. Updates, draws,
    // clicks, the wheel and keys start with this, so a window never acts on
    // what it showed once that is gone, whatever route removed it.
    void CloseWindowsWithoutSubject();

    bool IsModalOpen() const;
    // Escape: closes the modal window on top (the one the player sees), or
    // lets it answer Escape itself (TakeEscape).
    bool CloseTopModal();
    GUI_WindowBase* GetTopModal() const;

    void UpdateWindows();
    void DrawWindows();
    bool DispatchClick();
    bool DispatchRightClick();
    void DispatchWheelUp();
    void DispatchWheelDown();

    // The mouse-over claim of this frame; cleared when the frame's window
    // update starts.
    void SetMouseOverWindow(GUI_WindowBase* window);
    bool IsMouseOverWindow() const { return m_mouseOverWindow; }
    GUI_WindowBase* GetWindowUnderMouse() const { return m_windowUnderMouse; }
    void ClearMouseOver();

    const std::vector<GUI_WindowBase*>& GetTopLevelWindows() const { return m_topLevel; }
    const std::vector<GUI_WindowBase*>& GetModalWindows() const { return m_modal; }
    size_t GetQueuedCount() const { return m_deleteQueue.size(); }
    bool IsBusy() const { return m_busyDepth > 0; }

    // Called by a window's destructor: every trace of it goes.
    void ForgetWindow(GUI_WindowBase* window);

    // Guards a walk: deletions asked for meanwhile wait for its end.
    class BusyScope {
    public:
        explicit BusyScope(GUI_WindowManager& manager) : m_manager(manager) { ++m_manager.m_busyDepth; }
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        GUI_WindowManager& m_manager;
    };

private:
    GUI_WindowManager() = default;
    ~GUI_WindowManager() = default;
    GUI_WindowManager(const GUI_WindowManager&) = delete;
    GUI_WindowManager& operator=(const GUI_WindowManager&) = delete;

    bool IsListed(const std::vector<GUI_WindowBase*>& list, const GUI_WindowBase* window) const;
    bool IsLive(const std::vector<GUI_WindowBase*>& list, const GUI_WindowBase* window) const;
    bool HasModalList() const;
    void DispatchWheel(bool up);
    bool DispatchButton(bool (GUI_WindowBase::*handler)(float, float));

    std::vector<GUI_WindowBase*> m_deleteQueue;
    std::vector<GUI_WindowBase*> m_topLevel;
    std::vector<GUI_WindowBase*> m_modal;
    GUI_WindowBase* m_windowUnderMouse = nullptr;
    bool m_mouseOverWindow = false;
    int m_busyDepth = 0;
    bool m_deleting = false;
};
