#include "gui/GUI_Cursor.h"

#include "engine/CInput.h"
#include "engine/TextLayoutRecorder.h"
#include "gui/GUI_WindowBase.h"

GUI_Cursor& GUI_Cursor::GetInstance()
{
    static GUI_Cursor* instance = new GUI_Cursor();
    return *instance;
}

void GUI_Cursor::ForgetWindow(const GUI_WindowBase* window)
{
    if (m_dragged == window)
        m_dragged = nullptr;
}

void GUI_Cursor::DrawDraggedWindow()
{
    GUI_WindowBase* window = m_dragged;
    if (!window)
        return;
    {
        const TextLayoutRecorder::Scope layer(*window, true);
        window->Draw();
    }
    if (!CInput::GetInstance().IsLeftButtonDown()) {
        m_dragged = nullptr;
        window->OnDragEnd();
    }
}
