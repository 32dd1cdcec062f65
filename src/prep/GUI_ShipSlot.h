#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_WindowBase.h"
#include "sim/SIM_ShipHull.h"

#include <string>
#include <vector>

class GUI_ShipBlueprint;
class GUI_Tooltip;
class SIM_ShipModuleType;

// One hull slot on the blueprint: its box, the fitted module's icon, the lines
// to its turret points and the effectiveness tooltip. A 44 x 44 widget around
// the slot's position on the hull picture.
class GUI_ShipSlot : public GUI_WindowBase {
public:
    static constexpr float kTurretBox = 74.8f;
    static constexpr float kStandardBox = 52.8f;
    static constexpr float kIconSize = 42.0f;
    static constexpr int kHalfSize = 22;

    struct ScreenPoint {
        float x = 0.0f;
        float y = 0.0f;
    };

    GUI_ShipSlot(GUI_ShipBlueprint* blueprint, const SIM_ShipHull::Slot& slot, ScreenPoint centre,
                 std::vector<ScreenPoint> turretPoints);
    ~GUI_ShipSlot() override;

    bool OnLeftClick(float x, float y) override;
    bool OnRightClick(float x, float y) override;
    void Draw() override;
    void Update() override;

    bool IsTurretSlot() const { return m_slot.slotType == SIM_ShipHull::TURRET; }
    // Whether a module of this type may sit here (turret modules need a turret slot).
    bool Accepts(const SIM_ShipModuleType* type) const;
    int GetIndex() const { return m_slot.index; }
    const SIM_ShipHull::Slot& GetHullSlot() const { return m_slot; }
    SIM_ShipModuleType* GetModule() const { return m_module; }
    float GetCentreX() const { return m_centre.x; }
    float GetCentreY() const { return m_centre.y; }
    const std::vector<ScreenPoint>& GetTurretPoints() const { return m_turretPoints; }
    GUI_Tooltip* GetTooltip() const { return m_tooltip; }
    int incompatible = 0;

    // Used by the blueprint only.
    void SetModule(SIM_ShipModuleType* type, const SIM_ShipHull* hull, float pictureScale);
    void SetTooltipText(const std::string& text);
    void DeleteTooltip();
    void DrawTurrets(unsigned char alpha);

private:
    GUI_ShipBlueprint* m_blueprint;
    SIM_ShipHull::Slot m_slot;
    SIM_ShipModuleType* m_module = nullptr;
    CTexturedSprite m_box;
    CTexturedSprite m_icon;
    CTexturedSprite m_turret;
    CTexturedSprite m_line;
    CTexturedSprite m_spot;
    bool m_hasTurretSprite = false;
    GUI_Tooltip* m_tooltip = nullptr;
    ScreenPoint m_centre;
    std::vector<ScreenPoint> m_turretPoints;
};
