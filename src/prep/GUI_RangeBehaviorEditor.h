#pragma once
#include "engine/CTexturedSprite.h"
#include "prep/GUI_BehaviourEditor.h"

#include <cstdint>
#include <vector>

class GUI_WeaponRangeStrip;
class SIM_ShipDesign;

// The attack-order editor: the ordinary editor plus one row per weapon kind
// of the ship's design with its range; clicking a row sets the engagement
// range to it. The chosen range is previewed on the map while it is open.
class GUI_RangeBehaviorEditor : public GUI_BehaviourEditor {
public:
    // The range preview's tint: white at alpha 0x40.
    static constexpr uint32_t kPreviewColour = 0x40FFFFFFu;

    static void OpenRange(const SIM_BehaviourType* type);
    static GUI_RangeBehaviorEditor* GetOpenRange();
    // The chosen range as a circle around every selected ship on the map.
    static void DrawRangePreview();

    explicit GUI_RangeBehaviorEditor(const SIM_BehaviourType* type);
    ~GUI_RangeBehaviorEditor() override;

    void Setup();
    void Draw() override;
    // Called by a weapon row's click.
    void SetRange(float range);

    float GetCurrentRange() const { return m_currentRange; }
    const std::vector<GUI_WeaponRangeStrip*>& GetStrips() const { return m_strips; }

private:
    void UpdateCurrentRange();

    std::vector<GUI_WeaponRangeStrip*> m_strips;
    const SIM_ShipDesign* m_design = nullptr;
    float m_currentRange = 0.0f;
    CTexturedSprite m_preview;
};
