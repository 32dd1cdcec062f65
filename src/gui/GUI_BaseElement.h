#pragma once
#include <string>
#include <vector>

// Root of every widget: a pixel rectangle (right and bottom exclusive), child
// elements that keep their offset when this element moves, and an optional
// name by which tutorial scripts find it.
class GUI_BaseElement {
public:
    GUI_BaseElement() = default;
    virtual ~GUI_BaseElement();
    GUI_BaseElement(const GUI_BaseElement&) = delete;
    GUI_BaseElement& operator=(const GUI_BaseElement&) = delete;

    virtual bool OnLeftClick(float x, float y);
    virtual void Draw() {}
    virtual void Centre();
    virtual void SetRect(float left, float top, float right, float bottom);
    virtual void SetSize(float width, float height);
    virtual bool Contains(float x, float y) const;

    void MoveTo(float x, float y);

    // The offset is taken from where the child is now.
    void AddChildElement(GUI_BaseElement* element);
    void RemoveChildElement(GUI_BaseElement* element);
    void PlaceChildElements();
    size_t GetChildElementCount() const { return m_children.size(); }

    void SetName(const std::string& name);
    const std::string& GetName() const { return m_name; }
    static GUI_BaseElement* FindByName(const std::string& name);
    // Named elements in the order of their latest naming.
    static const std::vector<GUI_BaseElement*>& GetNamedElements();

    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width = 0;
    int height = 0;

protected:
    struct ChildRecord {
        GUI_BaseElement* element;
        float offsetX;
        float offsetY;
    };
    // The records are ours; the elements they point to are not.
    std::vector<ChildRecord> m_children;

private:
    std::string m_name;
};
