#include "gui/GUI_BaseElement.h"

#include "engine/D3DEngine.h"
#include "gui/GUI_Tutorial.h"

#include <algorithm>

namespace {

std::vector<GUI_BaseElement*>& Registry()
{
    // Outlives every element, also those of singletons destroyed at exit.
    static auto* registry = new std::vector<GUI_BaseElement*>();
    return *registry;
}

void Unregister(const GUI_BaseElement* element)
{
    auto& registry = Registry();
    registry.erase(std::remove(registry.begin(), registry.end(), element), registry.end());
}

} // namespace

GUI_BaseElement::~GUI_BaseElement()
{
    Unregister(this);
    // Every widget kind can be allowed by a tutorial; none may stay there dead.
    GUI_Tutorial::GetInstance().RemoveAllowed(this);
}

bool GUI_BaseElement::OnLeftClick(float, float)
{
    return false;
}

void GUI_BaseElement::Centre()
{
    const D3DEngine& engine = D3DEngine::GetInstance();
    left = engine.GetScreenWidth() / 2 - width / 2;
    top = engine.GetScreenHeight() / 2 - height / 2;
    right = left + width;
    bottom = top + height;
}

void GUI_BaseElement::SetRect(float l, float t, float r, float b)
{
    left = static_cast<int>(l);
    top = static_cast<int>(t);
    right = static_cast<int>(r);
    bottom = static_cast<int>(b);
    width = static_cast<int>(r - l);
    height = static_cast<int>(b - t);
    PlaceChildElements();
}

void GUI_BaseElement::SetSize(float w, float h)
{
    width = static_cast<int>(w);
    height = static_cast<int>(h);
}

bool GUI_BaseElement::Contains(float x, float y) const
{
    const int px = static_cast<int>(x);
    const int py = static_cast<int>(y);
    return px >= left && px < right && py >= top && py < bottom;
}

void GUI_BaseElement::MoveTo(float x, float y)
{
    left = static_cast<int>(x);
    top = static_cast<int>(y);
    right = static_cast<int>(x + static_cast<float>(width));
    bottom = static_cast<int>(y + static_cast<float>(height));
    PlaceChildElements();
}

void GUI_BaseElement::AddChildElement(GUI_BaseElement* element)
{
    if (!element || element == this)
        return;
    m_children.push_back({element, static_cast<float>(element->left - left), static_cast<float>(element->top - top)});
}

void GUI_BaseElement::RemoveChildElement(GUI_BaseElement* element)
{
    auto it = std::find_if(m_children.begin(), m_children.end(),
                           [element](const ChildRecord& record) { return record.element == element; });
    if (it != m_children.end())
        m_children.erase(it);
}

void GUI_BaseElement::PlaceChildElements()
{
    // MoveTo places the child's own children, so the move runs down the tree.
    for (size_t i = 0; i < m_children.size(); ++i) {
        const ChildRecord record = m_children[i];
        record.element->MoveTo(static_cast<float>(left) + record.offsetX, static_cast<float>(top) + record.offsetY);
    }
}

void GUI_BaseElement::SetName(const std::string& name)
{
    m_name = name;
    Unregister(this);
    Registry().push_back(this);
}

GUI_BaseElement* GUI_BaseElement::FindByName(const std::string& name)
{
    for (GUI_BaseElement* element : Registry()) {
        if (element->m_name == name)
            return element;
    }
    return nullptr;
}

const std::vector<GUI_BaseElement*>& GUI_BaseElement::GetNamedElements()
{
    return Registry();
}
