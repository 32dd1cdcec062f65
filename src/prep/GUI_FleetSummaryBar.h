#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_LimitBar.h"
#include "gui/GUI_WindowBase.h"

#include <string>

class GUI_ButtonText;
class GUI_Tooltip;

// The fleet's cost against the scenario's (effective) cost limit.
class GUI_FleetCostBar : public GUI_LimitBar {
public:
    GUI_FleetCostBar();
    void Draw() override;
    std::string Text() const;
};

// The fleet's pilots (one per fighter) against the pilot limit.
class GUI_FleetPilotsBar : public GUI_LimitBar {
public:
    GUI_FleetPilotsBar();
    void Draw() override;
    std::string Text() const;
};

// What is left of the budget: the unlock points a win can earn.
class GUI_UnlockBar : public GUI_WindowBase {
public:
    GUI_UnlockBar();
    ~GUI_UnlockBar() override;
    void Draw() override;
    // max(cost limit - fleet cost, 0) with thousands separators.
    std::string ValueText() const;

private:
    CTexturedSprite m_lock;
    std::string m_label;
    GUI_Tooltip* m_tooltip = nullptr;
};

// The strip across the top of the deployment screen: scenario details,
// pilots, cost, unlock points and, where the scenario limits them,
// supplies. The bars read the fleet's totals every frame.
class GUI_FleetSummaryBar : public GUI_WindowBase {
public:
    static constexpr int kWidth = 660;
    static constexpr int kHeight = 30;
    static constexpr int kCell = 132;

    GUI_FleetSummaryBar();
    ~GUI_FleetSummaryBar() override;
    void Draw() override;

    GUI_FleetCostBar* GetCostBar() const { return m_cost; }
    GUI_FleetPilotsBar* GetPilotsBar() const { return m_pilots; }
    GUI_UnlockBar* GetUnlockBar() const { return m_unlock; }
    GUI_ButtonText* GetSuppliesButton() const { return m_supplies; }
    GUI_ButtonText* GetDetailsButton() const { return m_details; }

private:
    void Layout();
    static void OnDetails(std::intptr_t);
    static void OnSupplies(std::intptr_t);

    CTexturedSprite m_background;
    GUI_FleetCostBar* m_cost = nullptr;
    GUI_FleetPilotsBar* m_pilots = nullptr;
    GUI_UnlockBar* m_unlock = nullptr;
    GUI_ButtonText* m_details = nullptr;
    GUI_ButtonText* m_supplies = nullptr;
};
