#pragma once
#include "gui/GUI_WindowBase.h"

#include <string>
#include <vector>

class GUI_ButtonText;
class GUI_ScrollingWindow;
class GUI_SupplyLimitStrip;
class SIM_Scenario;

// The scenario editor's supply limits, read-only here; its Edit button opens
// the supply-limit editor, which changes the scenario and refreshes this list.
class GUI_EditorsSupplyList : public GUI_WindowBase {
public:
    explicit GUI_EditorsSupplyList(SIM_Scenario* scenario);
    ~GUI_EditorsSupplyList() override;
    static GUI_EditorsSupplyList* GetOpen();

    void Layout();
    // One strip per limit of a known module type, rebuilt from the scenario.
    void Refresh();
    void Draw() override;

    const std::vector<GUI_SupplyLimitStrip*>& GetStrips() const { return m_strips; }
    // The strips placed in the list now (from the scroll position on).
    size_t CountShown() const;
    GUI_ButtonText* GetEditButton() const { return m_edit; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }

private:
    void Place();
    static void OnEdit(std::intptr_t);
    static void OnLimitsSaved();

    GUI_ScrollingWindow* m_scroll = nullptr;
    std::vector<GUI_SupplyLimitStrip*> m_strips;
    std::string m_title;
    GUI_ButtonText* m_edit = nullptr;
    SIM_Scenario* m_scenario;
};
