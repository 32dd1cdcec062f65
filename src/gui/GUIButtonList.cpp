#include "gui/GUIButtonList.h"

#include "engine/CInput.h"
#include "engine/GDebugLog.h"
#include "engine/LibText.h"
#include "engine/TextLayoutRecorder.h"
#include "gui/GUI_ButtonBase.h"

#include <algorithm>

GUIButtonList::~GUIButtonList()
{
    DeleteButtons();
}

void GUIButtonList::AddButton(GUI_ButtonBase* button)
{
    QLM_ASSERT(button != nullptr);
    if (button)
        m_buttons.push_back(button);
}

void GUIButtonList::Update()
{
    // By index: an update may add buttons to this list.
    for (size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons[i]->Update();
}

void GUIButtonList::DrawButtons()
{
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i]->visible) {
            const TextLayoutRecorder::Scope scope(*m_buttons[i]);
            m_buttons[i]->Draw();
        }
    }
    // Labels queued by the buttons go above every skin.
    LibText::GetInstance().Render(-1);
}

void GUIButtonList::ClearHover()
{
    for (GUI_ButtonBase* button : m_buttons)
        button->hover = 0;
}

bool GUIButtonList::ClickButtons()
{
    const CInput& input = CInput::GetInstance();
    const float x = input.GetMouseX();
    const float y = input.GetMouseY();
    // The walk stops at the taker and touches nothing after it: its callback
    // may have changed this list.
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        GUI_ButtonBase* button = m_buttons[i];
        if (button->visible && button->OnLeftClick(x, y))
            return true;
    }
    return false;
}

void GUIButtonList::DeleteButtons()
{
    std::vector<GUI_ButtonBase*> buttons;
    buttons.swap(m_buttons);
    for (GUI_ButtonBase* button : buttons)
        delete button;
}

bool GUIButtonList::DeleteButton(GUI_ButtonBase* button)
{
    auto it = std::find(m_buttons.begin(), m_buttons.end(), button);
    if (it == m_buttons.end())
        return false;
    m_buttons.erase(it);
    delete button;
    return true;
}
