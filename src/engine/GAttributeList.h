#pragma once
#include <string>
#include <vector>

// A small list of named numbers (facility and option attributes). Setting a
// name again appends another item; lookups take the first.
class GAttributeList {
public:
    GAttributeList() = default;
    virtual ~GAttributeList();

    void SetValue(const std::string& name, float value);
    float GetValue(const std::string& name) const; // 0 when the name was never set
    bool HasValue(const std::string& name) const;
    void Clear();
    size_t GetCount() const { return m_items.size(); }

private:
    struct Item {
        std::string name;
        float value;
    };
    const Item* Find(const std::string& name) const;
    std::vector<Item> m_items;
};
