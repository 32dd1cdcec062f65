#include "engine/GAttributeList.h"

GAttributeList::~GAttributeList()
{
    Clear();
}

void GAttributeList::SetValue(const std::string& name, float value)
{
    m_items.push_back(Item{name, value});
}

const GAttributeList::Item* GAttributeList::Find(const std::string& name) const
{
    for (const Item& item : m_items)
        if (item.name == name)
            return &item;
    return nullptr;
}

float GAttributeList::GetValue(const std::string& name) const
{
    const Item* item = Find(name);
    return item ? item->value : 0.0f;
}

bool GAttributeList::HasValue(const std::string& name) const
{
    return Find(name) != nullptr;
}

void GAttributeList::Clear()
{
    m_items.clear();
}
