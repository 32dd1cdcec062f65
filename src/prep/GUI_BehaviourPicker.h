#pragma once
#include "engine/GRect.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <vector>

class GUI_BehaviourPickerStrip;
class GUI_ButtonText;
class SIM_BehaviourType;
class SIM_ShipOrders;

// The list of orders the ship in the details window may still take; the
// chosen one is added to it and to every other selected ship. Modal; it
// follows the placed ship whose orders it lists and closes when the ship
// goes. One open at a time.
class GUI_BehaviourPicker : public GUI_Dialog, public GUI_OneOpen<GUI_BehaviourPicker> {
public:
    static constexpr int kWidth = 530;
    static constexpr int kHeight = 460;

    static void Open(SIM_ShipOrders* orders);

    explicit GUI_BehaviourPicker(SIM_ShipOrders* orders);
    ~GUI_BehaviourPicker() override;

    void FillStrips();
    void ClearStrips();
    void AddSelectedOrder();
    void Select(GUI_BehaviourPickerStrip* strip) { m_selected = strip; }
    void Draw() override;

    const std::vector<GUI_BehaviourPickerStrip*>& GetStrips() const { return m_strips; }
    GUI_BehaviourPickerStrip* GetSelected() const { return m_selected; }
    GUI_ButtonText* GetAddButton() const { return m_add; }
    const GRect& GetListArea() const { return m_listArea; }
    const GRect& GetDescriptionArea() const { return m_descriptionArea; }
    const SIM_ShipOrders* GetOrders() const { return m_orders; }

private:
    static void OnAdd(std::intptr_t);

    SIM_ShipOrders* m_orders = nullptr;
    std::vector<GUI_BehaviourPickerStrip*> m_strips;
    GUI_BehaviourPickerStrip* m_selected = nullptr;
    GRect m_listArea;
    GRect m_descriptionArea;
    GUI_Interlace m_listLines;
    GUI_Interlace m_descriptionLines;
    GUI_ButtonText* m_add = nullptr;
};
