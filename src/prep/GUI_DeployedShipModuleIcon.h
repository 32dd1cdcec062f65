#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_WindowBase.h"

#include <string>

class GUI_Tooltip;
class SIM_ShipDesign;
class SIM_ShipModuleType;

// A fitted module in the design box: its picture for the hull, its name on
// hover, a warning backdrop when the scenario's supply of it is used up; a
// click opens the module's description.
class GUI_DeployedShipModuleIcon : public GUI_WindowBase {
public:
    static constexpr uint32_t kOverLimitColour = 0xFF95431Fu;

    GUI_DeployedShipModuleIcon(const SIM_ShipModuleType* type, const SIM_ShipDesign* design);
    ~GUI_DeployedShipModuleIcon() override;

    bool OnLeftClick(float x, float y) override;
    bool OnRightClick(float x, float y) override;
    void Update() override;
    void Draw() override;

    const SIM_ShipModuleType* GetModuleType() const { return m_type; }
    // The module kind under the pointer (or described by the open popup),
    // whose range the map's circles bring out; "" for none.
    static const std::string& GetHoveredModuleType();
    static void ClearHovered();
    bool IsOverLimit() const { return m_overLimit; }

private:
    const SIM_ShipModuleType* m_type = nullptr;
    const SIM_ShipDesign* m_design = nullptr;
    CTexturedSprite m_icon;
    GUI_Tooltip* m_tooltip = nullptr;
    bool m_overLimit = false;
};
