#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"

#include <cstdint>
#include <string>
#include <vector>

class GUI_ButtonTab;
class GUI_ModulePickerIcon;
class GUI_ScrollingWindow;
class SIM_ShipModuleType;

// The designer's palette: five tabs and a six-column grid of module icons
// that fit the current hull's class and race; unlocked modules first in
// their interface order, locked ones after them.
class GUI_ModulePicker : public GUI_Dialog {
public:
    static constexpr int kWidth = 440;
    static constexpr int kHeight = 413;
    static constexpr int kColumns = 6;
    static constexpr int kRows = 5;
    static constexpr int kCell = 62;
    // The least room a tab keeps on each side of its label.
    static constexpr float kTabLabelPad = 8.0f;
    enum Tab { WEAPONS = 0, DEFENSES = 1, ENGINES = 2, OTHER = 3, ALL = 4, TAB_COUNT = 5 };

    static GUI_ModulePicker* GetOpen();
    static GUI_ModulePicker* Open(float x, float y);
    ~GUI_ModulePicker() override;

    // The listing rule: category (or every category on the All tab), size of
    // the hull class, race restriction, hidden types left out; unlocked by
    // interface order, then locked ones in list order.
    static std::vector<SIM_ShipModuleType*> ListModules(int tab, int hullClass, const std::string& raceName);

    void BuildModuleList();
    void BuildIcons(bool growIn);
    static void OnTab(std::intptr_t tab);
    void Draw() override;
    bool IsModal() const override { return false; }
    void OnWheelUp() override;
    void OnWheelDown() override;

    int hullClass = 2;
    int GetCurrentTab() const { return m_tab; }
    const std::vector<SIM_ShipModuleType*>& GetModuleList() const { return m_modules; }
    const std::vector<GUI_ModulePickerIcon*>& GetIcons() const { return m_icons; }
    GUI_ScrollingWindow* GetScroller() const { return m_scroller; }
    GUI_ButtonTab* GetTab(int index) const { return m_tabs[index]; }

private:
    GUI_ModulePicker();
    void Scroll(int rows);

    std::vector<GUI_ModulePickerIcon*> m_icons;
    std::vector<SIM_ShipModuleType*> m_modules;
    int m_tab = WEAPONS;
    GUI_ButtonTab* m_tabs[TAB_COUNT] = {};
    GUI_ScrollingWindow* m_scroller = nullptr;
    GUI_Interlace m_interlace;
};
