#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_WindowBase.h"
#include "sim/SIM_ShipDesign.h"

#include <cstdint>
#include <string>

class GUI_Tooltip;
class SIM_ShipModuleType;
struct SIM_CampaignModuleState;

// A fitted module in the design box: its picture for the hull, its name on
// hover, a warning backdrop when the scenario's supply of it is used up; a
// click opens the module's description. A campaign ship's module also shows
// its integrity (green intact, red lost) and names itself on a right click.
// The module under the pointer (or in the popup it opened) is published so
// that the map lights the range circles it stands for: a design's module by
// its type, a campaign ship's module by its slot.
class GUI_DeployedShipModuleIcon : public GUI_WindowBase {
public:
    static constexpr uint32_t kOverLimitColour = 0xFF95431Fu;
    static constexpr uint32_t kLitColour = 0x80FFFFFFu;
    static constexpr uint32_t kIntactColour = 0x20FF20u;
    static constexpr uint32_t kLostColour = 0xFF2020u;
    static constexpr uint32_t kBackdropBarAlpha = 0x55u;
    static constexpr uint32_t kOverlayBarAlpha = 0x20u;

    // A module of a design (the design's own slot record).
    GUI_DeployedShipModuleIcon(const SIM_ShipDesign::FittedModule* slot, const SIM_ShipDesign* design);
    // A module of a campaign ship, found by its type's name.
    GUI_DeployedShipModuleIcon(const std::string& moduleName, const SIM_CampaignModuleState* state,
                               const SIM_ShipDesign* design);
    ~GUI_DeployedShipModuleIcon() override;

    bool OnLeftClick(float x, float y) override;
    // Only a campaign ship's module answers.
    bool OnRightClick(float x, float y) override;
    void Update() override;
    // The backdrop, the picture, then the overlay.
    void Draw() override;
    // Limit warning, the lit fill and the integrity at alpha 0x55.
    void DrawBackdrop();
    // The integrity again at alpha 0x20, the frame and the tooltip.
    void DrawOverlay();
    // The lower part (integrity x height) green, what is lost above it red.
    void DrawIntegrityBar(uint32_t alpha);

    const SIM_ShipModuleType* GetModuleType() const { return m_type; }
    const SIM_ShipDesign::FittedModule* GetSlot() const { return m_slot; }
    const SIM_CampaignModuleState* GetModuleState() const { return m_state; }
    bool IsOverLimit() const { return m_overLimit; }
    // Lit: under the pointer, or the open popup is this icon's.
    bool IsHighlighted() const;
    // Where the picture and the bars are drawn: the icon less a pixel round.
    GRect SpriteRect() const;

    // The type of the design module under the pointer, or null.
    static const SIM_ShipModuleType* GetHoveredType();
    // The campaign module's slot index under the pointer; -1 for none (and
    // whenever a design module is the one published).
    static int GetHoveredModuleIndex();
    static void ClearHovered();

private:
    void Init(const SIM_ShipDesign* design);

    const SIM_ShipModuleType* m_type = nullptr;
    const SIM_ShipDesign::FittedModule* m_slot = nullptr;
    const SIM_CampaignModuleState* m_state = nullptr;
    const SIM_ShipDesign* m_design = nullptr;
    CTexturedSprite m_icon;
    GUI_Tooltip* m_tooltip = nullptr;
    bool m_overLimit = false;
};
