#include "gui/GUI_WindowManager.h"

#include "engine/CInput.h"
#include "engine/TextLayoutRecorder.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_WindowBase.h"

#include <algorithm>

namespace {

void EraseAll(std::vector<GUI_WindowBase*>& list, const GUI_WindowBase* window)
{
    list.erase(std::remove(list.begin(), list.end(), window), list.end());
}

} // namespace

GUI_WindowManager& GUI_WindowManager::GetInstance()
{
    // Never destroyed: screens are singletons too, and their windows may leave
    // the manager's lists at exit after it would otherwise be gone.
    static GUI_WindowManager* instance = new GUI_WindowManager();
    return *instance;
}

GUI_WindowManager::BusyScope::~BusyScope()
{
    if (--m_manager.m_busyDepth == 0)
        m_manager.DeleteQueuedWindows();
}

bool GUI_WindowManager::IsListed(const std::vector<GUI_WindowBase*>& list, const GUI_WindowBase* window) const
{
    return std::find(list.begin(), list.end(), window) != list.end();
}

bool GUI_WindowManager::IsLive(const std::vector<GUI_WindowBase*>& list, const GUI_WindowBase* window) const
{
    // A window deleted during a walk has left the list; a queued one is on its way out.
    return IsListed(list, window) && !IsQueuedForDelete(window);
}

void GUI_WindowManager::AddWindow(GUI_WindowBase* window)
{
    if (!window)
        return;
    EraseAll(m_topLevel, window);
    m_topLevel.push_back(window);
    window->m_inTopLevelList = true;
}

void GUI_WindowManager::BringToFront(GUI_WindowBase* window)
{
    if (!window)
        return;
    EraseAll(m_topLevel, window);
    m_topLevel.push_back(window);
}

void GUI_WindowManager::RaiseIfListed(GUI_WindowBase* window)
{
    if (IsListed(m_topLevel, window))
        BringToFront(window);
}

void GUI_WindowManager::RemoveWindow(GUI_WindowBase* window)
{
    if (!window)
        return;
    EraseAll(m_topLevel, window);
    window->m_inTopLevelList = false;
}

void GUI_WindowManager::AddModal(GUI_WindowBase* window)
{
    if (!window || IsListed(m_modal, window))
        return;
    window->m_inModalList = true;
    m_modal.push_back(window);
}

void GUI_WindowManager::RemoveModal(GUI_WindowBase* window)
{
    if (!window)
        return;
    EraseAll(m_modal, window);
    window->m_inModalList = false;
}

void GUI_WindowManager::QueueDelete(GUI_WindowBase* window)
{
    if (!window || IsQueuedForDelete(window))
        return;
    m_deleteQueue.push_back(window);
}

bool GUI_WindowManager::IsQueuedForDelete(const GUI_WindowBase* window) const
{
    return std::find(m_deleteQueue.begin(), m_deleteQueue.end(), window) != m_deleteQueue.end();
}

void GUI_WindowManager::CloseWindow(GUI_WindowBase* window)
{
    if (!window)
        return;
    QueueDelete(window);
    if (m_busyDepth == 0)
        DeleteQueuedWindows();
}

void GUI_WindowManager::DeleteQueuedWindows()
{
    // A destructor may queue or delete further windows; each one leaves the
    // queue itself (ForgetWindow), so the queue is re-read every step.
    if (m_deleting || m_busyDepth > 0)
        return;
    m_deleting = true;
    while (!m_deleteQueue.empty()) {
        GUI_WindowBase* window = m_deleteQueue.front();
        m_deleteQueue.erase(m_deleteQueue.begin());
        delete window;
    }
    m_deleting = false;
}

void GUI_WindowManager::ForgetWindow(GUI_WindowBase* window)
{
    EraseAll(m_deleteQueue, window);
    EraseAll(m_topLevel, window);
    EraseAll(m_modal, window);
    if (m_windowUnderMouse == window)
        m_windowUnderMouse = nullptr;
}

void GUI_WindowManager::CloseWindowsWithoutSubject()
{
    // Deleted when the sweep ends (or the walk around it): a window's going
    // may close others, and each pass looks again from the start.
    BusyScope busy(*this);
    for (;;) {
        GUI_WindowBase* lost = nullptr;
        for (size_t i = 0; i < m_topLevel.size() && !lost; ++i)
            if (!IsQueuedForDelete(m_topLevel[i]) && m_topLevel[i]->HasLostSubject())
                lost = m_topLevel[i];
        for (size_t i = 0; i < m_modal.size() && !lost; ++i)
            if (!IsQueuedForDelete(m_modal[i]) && m_modal[i]->HasLostSubject())
                lost = m_modal[i];
        if (!lost)
            return;
        lost->visible = false;
        QueueDelete(lost);
        lost->OnSubjectGone();
    }
}

bool GUI_WindowManager::HasModalList() const
{
    for (GUI_WindowBase* window : m_modal) {
        if (!IsQueuedForDelete(window))
            return true;
    }
    return false;
}

bool GUI_WindowManager::IsModalOpen() const
{
    return GetTopModal() != nullptr;
}

GUI_WindowBase* GUI_WindowManager::GetTopModal() const
{
    for (auto it = m_topLevel.rbegin(); it != m_topLevel.rend(); ++it) {
        if ((*it)->IsModal() && !IsQueuedForDelete(*it))
            return *it;
    }
    // A window that holds the input without being in the z-order.
    for (auto it = m_modal.rbegin(); it != m_modal.rend(); ++it) {
        if (!IsQueuedForDelete(*it))
            return *it;
    }
    return nullptr;
}

bool GUI_WindowManager::CloseTopModal()
{
    CloseWindowsWithoutSubject();
    GUI_WindowBase* window = GetTopModal();
    if (!window)
        return false;
    if (!window->TakeEscape())
        CloseWindow(window);
    return true;
}

void GUI_WindowManager::SetMouseOverWindow(GUI_WindowBase* window)
{
    m_mouseOverWindow = true;
    m_windowUnderMouse = window;
}

void GUI_WindowManager::ClearMouseOver()
{
    m_mouseOverWindow = false;
    m_windowUnderMouse = nullptr;
}

void GUI_WindowManager::UpdateWindows()
{
    CloseWindowsWithoutSubject();
    {
        BusyScope busy(*this);
        ClearMouseOver();
        if (HasModalList()) {
            const std::vector<GUI_WindowBase*> modal = m_modal;
            for (auto it = modal.rbegin(); it != modal.rend(); ++it) {
                if (IsLive(m_modal, *it))
                    (*it)->Update();
            }
            // The rest wait behind the modal windows, none of them lit.
            for (GUI_WindowBase* window : m_topLevel)
                if (!IsListed(m_modal, window))
                    window->ClearHover();
        } else {
            const std::vector<GUI_WindowBase*> windows = m_topLevel;
            for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
                if (IsLive(m_topLevel, *it))
                    (*it)->Update();
            }
        }
    }
}

void GUI_WindowManager::DrawWindows()
{
    CloseWindowsWithoutSubject();
    BusyScope busy(*this);
    const GUI_WindowBase* dragged = GUI_Cursor::GetInstance().GetDraggedWindow();
    const std::vector<GUI_WindowBase*> windows = m_topLevel;
    // Plain windows first, then dialogs and menus, then what stays on top of
    // both, each sweep in z-order.
    for (int sweep = 0; sweep < 3; ++sweep) {
        for (GUI_WindowBase* window : windows) {
            if (!IsLive(m_topLevel, window) || !window->visible || window == dragged)
                continue;
            const int windowSweep = window->StaysOnTop() ? 2 : window->IsModal() ? 1 : 0;
            if (windowSweep == sweep) {
                const TextLayoutRecorder::Scope layer(*window, true);
                window->Draw();
            }
        }
    }
}

bool GUI_WindowManager::DispatchClick()
{
    return DispatchButton(&GUI_WindowBase::OnLeftClick);
}

bool GUI_WindowManager::DispatchRightClick()
{
    return DispatchButton(&GUI_WindowBase::OnRightClick);
}

bool GUI_WindowManager::DispatchButton(bool (GUI_WindowBase::*handler)(float, float))
{
    const CInput& input = CInput::GetInstance();
    // The screen fade blocks input until its callback has run.
    if (input.IsInputBlocked())
        return true;
    CloseWindowsWithoutSubject();
    const float x = input.GetMouseX();
    const float y = input.GetMouseY();
    BusyScope busy(*this);
    // What is drawn over everything (the lessons) is clicked first: a lesson
    // opened over a modal dialog can still be read and dismissed.
    const std::vector<GUI_WindowBase*> onTop = m_topLevel;
    for (auto it = onTop.rbegin(); it != onTop.rend(); ++it) {
        if (IsLive(m_topLevel, *it) && (*it)->visible && (*it)->StaysOnTop() && ((*it)->*handler)(x, y))
            return true;
    }
    // A modal window swallows every click, taken or not.
    if (HasModalList()) {
        const std::vector<GUI_WindowBase*> modal = m_modal;
        for (auto it = modal.rbegin(); it != modal.rend(); ++it) {
            if (IsLive(m_modal, *it) && ((*it)->*handler)(x, y))
                break;
        }
        return true;
    }
    const std::vector<GUI_WindowBase*> windows = m_topLevel;
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (IsLive(m_topLevel, *it) && ((*it)->*handler)(x, y))
            return true;
    }
    return false;
}

void GUI_WindowManager::DispatchWheelUp()
{
    DispatchWheel(true);
}

void GUI_WindowManager::DispatchWheelDown()
{
    DispatchWheel(false);
}

void GUI_WindowManager::DispatchWheel(bool up)
{
    CloseWindowsWithoutSubject();
    const CInput& input = CInput::GetInstance();
    const float x = input.GetMouseX();
    const float y = input.GetMouseY();
    BusyScope busy(*this);
    GUI_WindowBase* target = nullptr;
    if (HasModalList()) {
        // The window that holds the input is the last one that took it.
        for (auto it = m_modal.rbegin(); it != m_modal.rend() && !target; ++it) {
            if (!IsQueuedForDelete(*it))
                target = *it;
        }
    } else {
        for (auto it = m_topLevel.rbegin(); it != m_topLevel.rend() && !target; ++it) {
            GUI_WindowBase* window = *it;
            if (window->visible && window->IsModal() && !IsQueuedForDelete(window) && window->Contains(x, y))
                target = window;
        }
        for (auto it = m_topLevel.rbegin(); it != m_topLevel.rend() && !target; ++it) {
            GUI_WindowBase* window = *it;
            if (window->visible && !IsQueuedForDelete(window) && window->Contains(x, y))
                target = window;
        }
    }
    if (!target)
        return;
    if (up)
        target->OnWheelUp();
    else
        target->OnWheelDown();
}
