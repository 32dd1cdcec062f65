#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/GRect.h"
#include "engine/GTimer.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_OneOpen.h"

#include <string>
#include <vector>

class GUI_DataItem;
class SIM_DeployedFleet;
class SIM_Scenario;
class SIM_ShipDesign;
class SIM_ShipModuleType;

// Describes one module type: its name, its description typed out over half
// a second, its picture for the hull, its statistics in two columns and, on
// the deployment screen, how much of the scenario's supply the fleet uses.
class GUI_ModulePopup : public GUI_Dialog, public GUI_OneOpen<GUI_ModulePopup> {
public:
    static constexpr int kWidth = 500;
    static constexpr int kHeight = 380;
    static constexpr double kTypingMs = 500.0;

    // opener: the icon asked for it, which stays lit while the popup shows.
    static void Open(const SIM_ShipModuleType* type, const SIM_ShipDesign* design, const void* opener = nullptr);
    // True while the open popup was opened by that icon.
    static bool IsOpenFor(const void* opener);
    // The opener is going away: the popup stays, lit for nothing.
    static void ForgetOpener(const void* opener);
    // The supply row's value for a scenario and fleet.
    static std::string SupplyText(const SIM_ShipModuleType& type, const SIM_Scenario* scenario,
                                  const SIM_DeployedFleet* fleet);

    GUI_ModulePopup(const SIM_ShipModuleType* type, const SIM_ShipDesign* design);
    ~GUI_ModulePopup() override;
    void Draw() override;

    // The part of the description shown after this many milliseconds.
    std::string VisibleDescription(double elapsedMs) const;
    const SIM_ShipModuleType* GetModuleType() const { return m_type; }
    bool HasSupplyRow() const { return m_showSupply; }
    const std::string& GetSupplyValue() const { return m_supplyValue; }
    const std::vector<GUI_DataItem*>& GetDataRows() const { return m_rows; }

private:
    void BuildDataRows();

    const SIM_ShipModuleType* m_type = nullptr;
    const SIM_ShipDesign* m_design = nullptr;
    const void* m_opener = nullptr;
    CTexturedSprite m_icon;
    GRect m_description;
    GRect m_supply;
    bool m_showSupply = false;
    std::string m_supplyLabel;
    std::string m_supplyValue;
    std::vector<GUI_DataItem*> m_rows;
    GTimer m_timer;
};
