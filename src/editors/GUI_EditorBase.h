#pragma once
#include "engine/GRect.h"
#include "gui/GUI_Callback.h"
#include "gui/GUI_WindowBase.h"

#include <string>
#include <vector>

class GUI_ButtonText;
class SIM_ShipHull;

// The panel every hull sub-editor is: 300 x 512 beside the hull view. A
// sub-editor owns copies of one section's items, draws them over the view,
// reads them from the hull's file and writes them back as its section.
class GUI_EditorBase : public GUI_WindowBase {
public:
    // The hull view: the picture spans 512 view pixels from (200, 100).
    static constexpr float kViewLeft = 200.0f;
    static constexpr float kViewTop = 100.0f;
    static constexpr float kViewRight = 712.0f;
    static constexpr float kViewBottom = 712.0f;
    static constexpr float kPanelLeft = 724.0f;
    static constexpr float kPanelTop = 100.0f;

    GUI_EditorBase();

    void Draw() override;

    virtual void DrawItems() {}
    // Appends the section's text: header, one line per item, an empty line.
    virtual void WriteSection(std::string& out) const = 0;
    virtual void ReadSection(const SIM_ShipHull& hull) = 0;
    virtual const char* SectionName() const = 0;
    virtual bool HasItems() const = 0;

    // Clicks and keys on the hull view that no window took.
    virtual bool OnViewLeftClick(float x, float y);
    virtual bool OnViewRightClick(float x, float y);
    virtual void OnEditorKey(int key);

    const SIM_ShipHull* GetHull() const { return m_hull; }

    // The raw values of a section of a file, in file order.
    static std::vector<std::string> ReadRawValues(const std::string& fileName, const char* section);
    // Comma-separated fields, blanks around each trimmed.
    static std::vector<std::string> SplitFields(const std::string& value, char separator = ',');
    static float ToFloat(const std::string& field);
    static bool InView(float x, float y);

protected:
    GUI_ButtonText* AddPanelButton(const char* key, GUI_Callback callback, float l, float t, float r, float b);
    void DrawLabel(const std::string& text, float x, float y, float size = 16.0f) const;
    void SetHull(const SIM_ShipHull& hull) { m_hull = &hull; }

    const SIM_ShipHull* m_hull = nullptr;
};
