#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_WindowBase.h"

#include <string>

class GUI_RangeBehaviorEditor;
class GUI_Tooltip;
class SIM_ShipDesign;
class SIM_ShipModuleType;

// One weapon kind of the design in the range editor: how many the design
// carries and its range (with the scenario's multiplier in brackets when
// that is not 1). A click makes that range the engagement range.
class GUI_WeaponRangeStrip : public GUI_WindowBase {
public:
    GUI_WeaponRangeStrip(const SIM_ShipModuleType* type, const SIM_ShipDesign* design, float rangeMultiplier,
                         GUI_RangeBehaviorEditor* editor);
    ~GUI_WeaponRangeStrip() override;

    void AddOne();
    bool OnLeftClick(float x, float y) override;
    void Draw() override;

    const SIM_ShipModuleType* GetModuleType() const { return m_type; }
    int GetCount() const { return m_count; }
    float GetRange() const { return m_range; }
    const std::string& GetNameText() const { return m_nameText; }
    const std::string& GetRangeText() const { return m_rangeText; }

private:
    void BuildNameText();

    const SIM_ShipModuleType* m_type = nullptr;
    GUI_RangeBehaviorEditor* m_editor = nullptr;
    int m_count = 1;
    float m_range = 0.0f;
    std::string m_nameText;
    std::string m_rangeText;
    CTexturedSprite m_icon;
    GUI_Tooltip* m_tooltip = nullptr;
    bool m_wasOver = false;
};
