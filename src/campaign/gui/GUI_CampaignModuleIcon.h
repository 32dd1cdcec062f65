#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_WindowBase.h"

#include <memory>

class GUI_Tooltip;
class SIM_ShipDesign;
class SIM_ShipModuleType;
struct SIM_CampaignModuleState;

// One cell of a design's module grid: the module's icon as fitted to the
// hull, its name and (for a built ship) its integrity in the tooltip; a
// click opens the module's statistics. A cell without a module is a filler.
class GUI_CampaignModuleIcon : public GUI_WindowBase {
public:
    GUI_CampaignModuleIcon(const SIM_ShipModuleType* type, const SIM_ShipDesign* design,
                           const SIM_CampaignModuleState* state);
    ~GUI_CampaignModuleIcon() override;

    bool OnLeftClick(float x, float y) override;
    bool OnRightClick(float x, float y) override;
    void Update() override;
    void Draw() override;

    // Under the mouse, or the one whose statistics the module popup shows.
    bool IsLit() const;
    const SIM_ShipModuleType* GetModuleType() const { return m_type; }
    const SIM_CampaignModuleState* GetState() const { return m_state; }
    GUI_Tooltip* GetTooltip() const { return m_tooltip.get(); }
    const CTexturedSprite& GetPicture() const { return m_icon; }

private:
    const SIM_ShipDesign* m_design;
    const SIM_CampaignModuleState* m_state;
    std::unique_ptr<GUI_Tooltip> m_tooltip;
    const SIM_ShipModuleType* m_type;
    CTexturedSprite m_icon;
};
