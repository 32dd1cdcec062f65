#pragma once
#include <vector>

#include "gui/GUI_WindowBase.h"

class GUI_ScrollingWindow;
class GUI_StatPickerIcon;

// A scrolling column of 60-pixel icons that filter the statistics; all
// start selected. The graph polls `changed` and rebuilds its figures.
class GUI_StatPicker : public GUI_WindowBase {
public:
    GUI_StatPicker();
    ~GUI_StatPicker() override;

    void Draw() override;
    void OnWheelUp() override;
    void OnWheelDown() override;

    // Called by an icon when its selection flips.
    void OnIconToggled(const void* object, bool selected);
    bool HasObjectSelected(const void* object) const;
    void Layout();

    const std::vector<GUI_StatPickerIcon*>& GetIcons() const { return m_icons; }
    const std::vector<const void*>& GetSelected() const { return m_selected; }
    GUI_ScrollingWindow* GetScroll() const { return m_scroll; }
    int GetPlacedCount() const { return m_placed; }

    bool changed = false;

protected:
    // frame >= 0: the picture is that cell of a 64-frame sheet.
    void AddIcon(const void* object, const std::string& tooltip, const std::string& picture, int frame = -1);
    void FinishFill();

private:
    std::vector<GUI_StatPickerIcon*> m_icons;
    GUI_ScrollingWindow* m_scroll = nullptr;
    std::vector<const void*> m_selected;
    int m_placed = 0;
};
