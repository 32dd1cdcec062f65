#pragma once
#include "gui/GUI_WindowBase.h"

#include <vector>

class GUI_DataItem;
class GUI_ScrollingWindow;
class SIM_ShipHull;

// A hull's key figures as rows: cost, power, length, slots, hardpoints and
// its bonuses three at a time with a scroll bar.
class GUI_HullData : public GUI_WindowBase {
public:
    static constexpr int kVisibleBonuses = 3;
    static constexpr int kRowHeight = 20;

    GUI_HullData() = default;
    ~GUI_HullData() override;

    void SetHull(SIM_ShipHull* hull);
    void BuildBonusRows();
    void Draw() override;

    const std::vector<GUI_DataItem*>& GetRows() const { return m_rows; }
    const std::vector<GUI_DataItem*>& GetBonusRows() const { return m_bonusRows; }
    GUI_ScrollingWindow* GetScroller() const { return m_scroller; }
    SIM_ShipHull* GetHull() const { return m_hull; }

private:
    GUI_ScrollingWindow* m_scroller = nullptr;
    std::vector<GUI_DataItem*> m_rows;
    std::vector<GUI_DataItem*> m_bonusRows;
    SIM_ShipHull* m_hull = nullptr;
};
