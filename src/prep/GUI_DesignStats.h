#pragma once
#include "gui/GUI_Dialog.h"

#include <string>
#include <vector>

class GUI_ScrollingWindow;
class GUI_ShipDesignSummaryStrip;

// The design's defensive figures (armour, shields, resistance, hitpoints)
// and its hull's bonuses: a fixed panel on tall screens, a floating modal
// window opened from the blueprint on shorter ones.
class GUI_DesignStats : public GUI_Dialog {
public:
    enum Figure { ARMOUR = 0, SHIELD, RESIST, HITPOINTS, FIGURE_COUNT };
    static constexpr int kFixedHeight = 140;
    static constexpr int kVisibleBonuses = 3;

    static GUI_DesignStats* GetOpen();
    static GUI_DesignStats* Create(bool floating);
    static void Toggle();
    static void RefreshOpen();
    ~GUI_DesignStats() override;

    void Refresh();
    void Draw() override;
    bool IsModal() const override { return m_floating; }

    bool IsFloating() const { return m_floating; }
    GUI_ShipDesignSummaryStrip* GetStrip(int figure) const { return m_strips[figure]; }
    const std::vector<std::string>& GetBonusTexts() const { return m_bonuses; }
    GUI_ScrollingWindow* GetScroller() const { return m_scroller; }

private:
    explicit GUI_DesignStats(bool floating);
    void Place();

    bool m_floating;
    GUI_ShipDesignSummaryStrip* m_strips[FIGURE_COUNT] = {};
    std::vector<std::string> m_bonuses;
    GUI_ScrollingWindow* m_scroller = nullptr;
    GRect m_bonusRect;
};
