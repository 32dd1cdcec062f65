#pragma once
#include "engine/GLifetime.h"
#include "engine/GRect.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <cstdint>
#include <string>

class GUI_ButtonText;
class GUI_OrdersSlider;
class SIM_BehaviourType;
class SIM_DeployedShip;
class SIM_ShipOrder;

// Edits one order kind for the selected ships: its description, a slider
// per parameter and, for orders aimed at a ship, the target and a button
// that starts picking it on the map. OK is only possible once such an order
// has a target that still exists. Modal; it follows the order it reads, the
// ship in the details window and that ship's icon, and closes when any of
// them goes (a pick that drops an untargeted order, a removed ship). One open
// at a time.
class GUI_BehaviourEditor : public GUI_Dialog, public GUI_OneOpen<GUI_BehaviourEditor> {
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 300;

    // The attack orders go to the range editor.
    static void Open(const SIM_BehaviourType* type);
    static bool IsRangeType(const std::string& name);

    explicit GUI_BehaviourEditor(const SIM_BehaviourType* type);
    ~GUI_BehaviourEditor() override;

    virtual void BuildControls();
    void Draw() override;
    void OK();
    void Delete();
    void SetTarget();

    const SIM_BehaviourType* GetType() const { return m_type; }
    // Null when there is none or it is gone.
    SIM_ShipOrder* GetOrder() const { return m_order.Get(); }
    // The ship whose order the controls started from (null for none).
    const SIM_DeployedShip* GetShip() const { return m_ship.Get(); }
    GUI_OrdersSlider* GetSlider(int index) const { return index == 0 ? m_slider1 : m_slider2; }
    GUI_ButtonText* GetOKButton() const { return m_ok; }
    GUI_ButtonText* GetDeleteButton() const { return m_delete; }
    GUI_ButtonText* GetSetTargetButton() const { return m_setTarget; }
    // Lays out the controls and decides whether OK is possible.
    void Layout();
    const std::string& GetTargetName() const { return m_targetName; }

protected:
    static void OnOK(std::intptr_t);
    static void OnDelete(std::intptr_t);
    static void OnSetTarget(std::intptr_t);

    const SIM_BehaviourType* m_type = nullptr;
    GWatch<SIM_DeployedShip> m_ship;
    GWatch<SIM_ShipOrder> m_order;
    std::string m_description;
    GUI_ButtonText* m_ok = nullptr;
    GUI_ButtonText* m_delete = nullptr;
    GUI_ButtonText* m_setTarget = nullptr;
    GUI_OrdersSlider* m_slider1 = nullptr;
    GUI_OrdersSlider* m_slider2 = nullptr;
    GRect m_targetBox;
    std::string m_targetName;
    GUI_Interlace m_interlace;
};
