#pragma once
#include "engine/CTexturedSprite.h"
#include "engine/Effect.h"
#include "engine/GTimer.h"
#include "gui/GUI_Dialog.h"

#include <cstdint>
#include <string>
#include <vector>

class GUI_IconButton;
class GUI_ModulePickerIcon;
class GUI_ShipSlot;
class SIM_ShipDesign;
class SIM_ShipModuleType;

// The hull picture with one slot widget per hull slot. Module icons dragged
// from the picker (or out of a slot) are dropped here: onto the slot under the
// pointer, else onto the nearest empty compatible slot within kSnapDistance,
// else nowhere. A mode button fades to a plain view of the hull with turrets.
class GUI_ShipBlueprint : public GUI_Dialog {
public:
    static constexpr float kSnapDistance = 50.0f;
    static constexpr double kFadeMs = 250.0;
    enum ViewMode { SLOT_VIEW = 0, FADING_TO_HULL = 1, HULL_VIEW = 2, FADING_TO_SLOTS = 3 };

    static GUI_ShipBlueprint* GetOpen();
    // Replaces any open blueprint.
    static GUI_ShipBlueprint* Create(SIM_ShipDesign* design);
    ~GUI_ShipBlueprint() override;

    void Draw() override;
    bool IsModal() const override { return false; }

    // Points at a design (the designer's copy) and builds the slots from it.
    void Rebuild(SIM_ShipDesign* design);
    void BuildSlots();
    void FitModuleToSlot(GUI_ShipSlot* slot, SIM_ShipModuleType* type);
    void DropModule(GUI_ModulePickerIcon* icon);
    void PlaceModule(GUI_ModulePickerIcon* icon, GUI_ShipSlot* target);
    // s^(n-1) over the slots holding a module of the same class, 1 for s >= 1.
    float StackedEffectiveness(const SIM_ShipModuleType* type) const;
    bool HasEmptySlot() const;
    void RefreshHighlights();
    void RefreshTooltips();
    void ToggleView();
    // The effectiveness tooltip text of a fitted slot.
    std::string EffectivenessText(const SIM_ShipModuleType* type) const;

    GUI_ShipSlot* FindSlot(int hullSlotIndex) const;
    const std::vector<GUI_ShipSlot*>& GetSlots() const { return m_slots; }
    const std::vector<std::string>& GetBonusTexts() const { return m_bonusTexts; }
    int GetViewMode() const { return m_viewMode; }
    float GetViewAlpha() const { return m_viewAlpha; }
    float GetPictureScale() const { return m_scale; }
    GUI_IconButton* GetModeButton() const { return m_modeButton; }
    GUI_IconButton* GetStatsButton() const { return m_statsButton; }
    SIM_ShipDesign* GetDesign() const { return m_design; }
    Effect& GetEffect() { return m_effect; }

private:
    GUI_ShipBlueprint();
    static void OnToggleView(std::intptr_t);
    static void OnToggleStats(std::intptr_t);
    void DrawSlotView();

    CTexturedSprite m_background;
    CTexturedSprite m_picture;
    std::vector<GUI_ShipSlot*> m_slots;
    GUI_IconButton* m_modeButton = nullptr;
    GUI_IconButton* m_statsButton = nullptr;
    int m_viewMode = SLOT_VIEW;
    SIM_ShipDesign* m_design = nullptr;
    GRect m_inner;
    Effect m_effect;
    GTimer m_clock;
    float m_scale = 0.0f;
    std::vector<std::string> m_bonusTexts;
    float m_viewAlpha = 0.0f;
};
