#include "gui/GUI_WindowBase.h"

#include "engine/CInput.h"
#include "engine/GDebugLog.h"
#include "engine/TextLayoutRecorder.h"
#include "gui/GUI_ButtonBase.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_WindowManager.h"

#include <algorithm>

GUI_WindowBase::~GUI_WindowBase()
{
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    if (m_inTopLevelList)
        manager.RemoveWindow(this);
    if (m_parent)
        m_parent->RemoveChild(this);
    DeleteChildren();
    if (m_inModalList)
        manager.RemoveModal(this);
    // Queue, mouse-over record and drag: nothing may keep pointing at us.
    manager.ForgetWindow(this);
    GUI_Cursor::GetInstance().ForgetWindow(this);
    m_children.clear();
}

bool GUI_WindowBase::HasLostSubject() const
{
    for (const std::weak_ptr<const void>& subject : m_subjects)
        if (subject.expired())
            return true;
    for (const GUI_WindowBase* child : m_childWindows)
        if (child->HasLostSubject())
            return true;
    return false;
}

void GUI_WindowBase::AddButton(GUI_ButtonBase* button)
{
    GUIButtonList::AddButton(button);
    if (button)
        button->SetOwner(this);
}

void GUI_WindowBase::AddChild(GUI_WindowBase* child)
{
    if (!child || child == this)
        return;
    if (child->m_parent)
        child->m_parent->RemoveChild(child);
    m_childWindows.push_back(child);
    child->m_parent = this;
}

void GUI_WindowBase::RemoveChild(GUI_WindowBase* child)
{
    if (!child)
        return;
    if (child->m_parent == this)
        child->m_parent = nullptr;
    m_childWindows.erase(std::remove(m_childWindows.begin(), m_childWindows.end(), child), m_childWindows.end());
    RemoveChildElement(child);
}

void GUI_WindowBase::DeleteChildren()
{
    // Each child's destructor takes it out of the list.
    while (!m_childWindows.empty()) {
        GUI_WindowBase* child = m_childWindows.front();
        if (child->m_parent != this) {
            m_childWindows.erase(m_childWindows.begin());
            continue;
        }
        delete child;
    }
}

void GUI_WindowBase::DrawChildren()
{
    for (size_t i = 0; i < m_childWindows.size(); ++i) {
        if (m_childWindows[i]->visible) {
            const TextLayoutRecorder::Scope scope(*m_childWindows[i]);
            m_childWindows[i]->Draw();
        }
    }
}

bool GUI_WindowBase::IsMouseOver() const
{
    const CInput& input = CInput::GetInstance();
    return Contains(input.GetMouseX(), input.GetMouseY());
}

void GUI_WindowBase::Draw()
{
    if (visible)
        DrawButtons();
}

void GUI_WindowBase::Update()
{
    GUI_WindowManager& manager = GUI_WindowManager::GetInstance();
    if (!visible || manager.IsMouseOverWindow()) {
        ClearHover(); // covered: nothing of ours is under the mouse
        return;
    }
    if (draggable)
        UpdateDrag();
    for (size_t i = 0; i < m_childWindows.size(); ++i)
        m_childWindows[i]->Update();
    GUIButtonList::Update();
    if (claimsMouse && IsMouseOver())
        manager.SetMouseOverWindow(this);
}

void GUI_WindowBase::ClearHover()
{
    GUIButtonList::ClearHover();
    for (GUI_WindowBase* child : m_childWindows)
        child->ClearHover();
}

void GUI_WindowBase::UpdateDrag()
{
    const CInput& input = CInput::GetInstance();
    GUI_Cursor& cursor = GUI_Cursor::GetInstance();
    if (!m_dragging) {
        if (input.IsLeftButtonDown() && IsMouseOver() && !cursor.GetDraggedWindow())
            StartDrag();
    } else if (input.IsLeftButtonDown()) {
        left = static_cast<int>(input.GetMouseX() - m_dragOffsetX);
        top = static_cast<int>(input.GetMouseY() - m_dragOffsetY);
        right = left + width;
        bottom = top + height;
    } else {
        m_dragging = false;
        OnDragEnd();
        if (cursor.GetDraggedWindow() == this)
            cursor.ClearDraggedWindow();
    }
    if (!m_children.empty())
        PlaceChildElements();
}

void GUI_WindowBase::StartDrag()
{
    GUI_Cursor& cursor = GUI_Cursor::GetInstance();
    QLM_ASSERT(cursor.GetDraggedWindow() == nullptr);
    if (cursor.GetDraggedWindow() && cursor.GetDraggedWindow() != this)
        return;
    const CInput& input = CInput::GetInstance();
    m_dragging = true;
    cursor.SetDraggedWindow(this);
    m_dragOffsetX = input.GetMouseX() - static_cast<float>(left);
    m_dragOffsetY = input.GetMouseY() - static_cast<float>(top);
}

bool GUI_WindowBase::OnLeftClick(float x, float y)
{
    if (!visible)
        return false;
    const bool inside = Contains(x, y);
    if (inside && raisesOnClick)
        GUI_WindowManager::GetInstance().RaiseIfListed(this);
    // By index: a click may add or remove child windows.
    for (size_t i = 0; i < m_childWindows.size(); ++i) {
        if (m_childWindows[i]->OnLeftClick(x, y))
            return true;
    }
    if (ClickButtons())
        return true;
    if (swallowsClicks || raisesOnClick)
        return inside;
    return false;
}

bool GUI_WindowBase::OnRightClick(float x, float y)
{
    if (!visible)
        return false;
    for (size_t i = 0; i < m_childWindows.size(); ++i) {
        if (m_childWindows[i]->OnRightClick(x, y))
            return true;
    }
    return false;
}

void GUI_WindowBase::OnKeyDown(int)
{
}

void GUI_WindowBase::OnWheelUp()
{
    for (size_t i = 0; i < m_childWindows.size(); ++i) {
        if (m_childWindows[i]->visible)
            m_childWindows[i]->OnWheelUp();
    }
}

void GUI_WindowBase::OnWheelDown()
{
    for (size_t i = 0; i < m_childWindows.size(); ++i) {
        if (m_childWindows[i]->visible)
            m_childWindows[i]->OnWheelDown();
    }
}
