#pragma once
#include "engine/GLifetime.h"
#include "gui/GUI_WindowBase.h"

#include <string>

class GUI_BehaviourMiniSlider;
class SIM_ShipOrder;
class SIM_ShipOrders;

// One row of the ship details' order list: an order with gauges of its
// parameters (a click edits it, a right click removes it from the selected
// ships), or, without an order, the row that adds a new one. A row whose
// order has gone does nothing until the list is rebuilt.
class GUI_BehaviourStrip : public GUI_WindowBase {
public:
    GUI_BehaviourStrip(SIM_ShipOrder* order, SIM_ShipOrders* orders);
    ~GUI_BehaviourStrip() override;

    void BuildMiniSliders();
    bool OnLeftClick(float x, float y) override;
    bool OnRightClick(float x, float y) override;
    void Draw() override;
    void SetRect(float l, float t, float r, float b) override;

    // Null for the adding row and once the order is gone.
    SIM_ShipOrder* GetOrder() const { return m_order.Get(); }
    const std::string& GetText() const { return m_text; }
    GUI_BehaviourMiniSlider* GetMiniSlider(int index) const { return m_mini[index]; }
    static GUI_BehaviourStrip* GetHovered();

private:
    GWatch<SIM_ShipOrder> m_order;
    SIM_ShipOrders* m_orders = nullptr;
    bool m_addsOrder = false;
    std::string m_text;
    GUI_BehaviourMiniSlider* m_mini[2] = {nullptr, nullptr};
};
