#include "battle/hud/GUI_StatPicker.h"

#include <algorithm>

#include "battle/hud/GUI_StatPickerIcon.h"
#include "gui/GUI_ScrollingWindow.h"

GUI_StatPicker::GUI_StatPicker()
{
    raisesOnClick = false;
    swallowsClicks = false;
    m_scroll = new GUI_ScrollingWindow();
    AddChild(m_scroll);
}

GUI_StatPicker::~GUI_StatPicker()
{
    // Icons not laid out are not children: they go here.
    for (GUI_StatPickerIcon* icon : m_icons) {
        RemoveChild(icon);
        delete icon;
    }
    m_icons.clear();
}

void GUI_StatPicker::AddIcon(const void* object, const std::string& tooltip, const std::string& picture, int frame)
{
    m_icons.push_back(new GUI_StatPickerIcon(this, object, tooltip, picture, frame));
    m_selected.push_back(object);
}

void GUI_StatPicker::FinishFill()
{
    m_scroll->SetRect(static_cast<float>(right - 17), static_cast<float>(top + 5), static_cast<float>(right - 3),
                      static_cast<float>(bottom - 5));
    Layout();
    changed = false;
}

void GUI_StatPicker::Layout()
{
    for (GUI_StatPickerIcon* icon : m_icons)
        RemoveChild(icon);
    const int first = std::max(0, m_scroll->position);
    int y = top;
    m_placed = 0;
    for (size_t i = static_cast<size_t>(first); i < m_icons.size() && y <= bottom - GUI_StatPickerIcon::kSide; ++i) {
        GUI_StatPickerIcon* icon = m_icons[i];
        icon->SetRect(static_cast<float>(left), static_cast<float>(y), static_cast<float>(left + GUI_StatPickerIcon::kSide),
                      static_cast<float>(y + GUI_StatPickerIcon::kSide));
        AddChild(icon);
        ++m_placed;
        y += GUI_StatPickerIcon::kSide;
    }
    const int total = static_cast<int>(m_icons.size());
    m_scroll->contentSize = static_cast<float>(total);
    m_scroll->visibleSize = static_cast<float>(m_placed);
    m_scroll->maximum = std::max(0, total - m_placed);
}

void GUI_StatPicker::OnIconToggled(const void* object, bool selected)
{
    if (selected)
        m_selected.push_back(object);
    else
        m_selected.erase(std::remove(m_selected.begin(), m_selected.end(), object), m_selected.end());
    changed = true;
}

bool GUI_StatPicker::HasObjectSelected(const void* object) const
{
    return std::find(m_selected.begin(), m_selected.end(), object) != m_selected.end();
}

void GUI_StatPicker::Draw()
{
    if (!visible)
        return;
    if (m_scroll->changed) {
        m_scroll->changed = false;
        Layout();
    }
    DrawButtons();
    DrawChildren();
}

void GUI_StatPicker::OnWheelUp()
{
    if (visible && IsMouseOver())
        m_scroll->ScrollUp();
}

void GUI_StatPicker::OnWheelDown()
{
    if (visible && IsMouseOver())
        m_scroll->ScrollDown();
}
