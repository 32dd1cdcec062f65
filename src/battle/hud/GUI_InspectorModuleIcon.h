#pragma once
#include <cstdint>

#include "engine/CTexturedSprite.h"
#include "engine/GRect.h"
#include "gui/GUI_WindowBase.h"

class GUI_Tooltip;
class SIM_CarrierModule;
class SIM_RepairModule;
class SIM_ShieldModule;
class SIM_ShipModule;
class SIM_TargetedModule;

// One module of the inspected ship (or an empty cell): its icon, a red
// share for its damage (green for what repairs have brought back), a gauge
// of its own kind and, for a weapon with a target, a white mark. A click on
// a weapon toggles its range marker and opens its statistics.
class GUI_InspectorModuleIcon : public GUI_WindowBase {
public:
    enum Kind { OTHER = 0, WEAPON = 1, REPAIR = 2, SHIELD = 3, CARRIER = 4, SUPPORT_BEAM = 5 };
    static constexpr uint32_t kDamage = 0x80DC0000u;
    static constexpr uint32_t kRepaired = 0x8000DC00u;
    static constexpr uint32_t kFrame = 0x80C8C8C8u;
    static constexpr uint32_t kMarkerFill = 0x40FFFFFFu;

    // module may be null: an empty cell.
    GUI_InspectorModuleIcon(SIM_ShipModule* module, float left, float top, float right, float bottom);
    ~GUI_InspectorModuleIcon() override;

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void Update() override;
    // Drawn after every child of the inspector.
    void DrawDamageOverlay();

    // The kind a module's class gives it (repair, carrier, shield and
    // support beam by class name, in that order, then any targeted module).
    static int KindOf(const SIM_ShipModule& module);
    // The gauge's share; below 0: no gauge.
    float GaugeValue() const;
    // Docked fighters of a carrier bay (0 for other kinds).
    int DockedFighters() const;

    SIM_ShipModule* GetModule() const { return m_module; }
    int GetKind() const { return m_kind; }
    const GRect& GetInner() const { return m_inner; }
    const CTexturedSprite& GetSprite() const { return m_sprite; }
    GUI_Tooltip* GetTooltip() const { return m_tooltip; }

private:
    SIM_ShipModule* m_module;
    // Typed once, so the frame never asks what a module is.
    SIM_TargetedModule* m_targeted = nullptr;
    SIM_RepairModule* m_repair = nullptr;
    SIM_ShieldModule* m_shield = nullptr;
    SIM_CarrierModule* m_carrier = nullptr;
    CTexturedSprite m_sprite;
    GUI_Tooltip* m_tooltip = nullptr;
    int m_kind = OTHER;
    GRect m_inner{};
    int m_shownFighters = -1;
    char m_fighterText[12] = {};
};
