#include "gui/GUI_Tutorial.h"

#include "engine/GFileHelpers.h"
#include "engine/GSpreadsheet.h"
#include "engine/GTokenizer.h"

#include "engine/CInput.h"
#include "gui/GUI_BaseElement.h"

#include <algorithm>

GUI_Tutorial& GUI_Tutorial::GetInstance()
{
    // Never destroyed: widgets destroyed at exit still leave its lists.
    static GUI_Tutorial* instance = new GUI_Tutorial();
    return *instance;
}

bool GUI_Tutorial::LaunchTutorial(const std::string&)
{
    // No lessons are loaded yet, so there is nothing to show.
    return false;
}

void GUI_Tutorial::AllowButton(GUI_BaseElement* element)
{
    if (element)
        m_allowed.push_back(element);
}

void GUI_Tutorial::RemoveAllowed(const GUI_BaseElement* element)
{
    m_allowed.erase(std::remove(m_allowed.begin(), m_allowed.end(), element), m_allowed.end());
}

bool GUI_Tutorial::IsAllowed(const GUI_BaseElement* element) const
{
    return std::find(m_allowed.begin(), m_allowed.end(), element) != m_allowed.end();
}

bool GUI_Tutorial::ClickAllowedElements()
{
    const CInput& input = CInput::GetInstance();
    const float x = input.GetMouseX();
    const float y = input.GetMouseY();
    // A click may destroy allowed elements (they leave the list), so walk a
    // copy and skip what is gone.
    const std::vector<GUI_BaseElement*> allowed = m_allowed;
    for (GUI_BaseElement* element : allowed) {
        if (!IsAllowed(element))
            continue;
        if (element->OnLeftClick(x, y))
            return true;
    }
    return false;
}

void ResetTutorialRestrictions(GUI_Tutorial& tutorial)
{
    tutorial.m_allowed.clear();
    tutorial.blockButtons = false;
    tutorial.m_waitFor.clear();
}

void GUI_Tutorial::Load()
{
    m_names.clear();
    if (!FileExists("data/tutorial.csv"))
        return;
    GSpreadsheet sheet("data/tutorial.csv");
    for (const std::string& row : sheet.rows) {
        GTokenizer tok(row.substr(1), ',');
        std::string name = tok.NextString();
        if (!name.empty())
            m_names.push_back(name);
    }
}
