#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_BaseElement.h"

#include <string>

class GUI_Tooltip;
class SIM_ShipDesign;

// One square of the design picker: a design that can be placed (white hull
// in a plain frame), or not and why (brown frame, faint hull, the reason in
// its tooltip); or the new-design or change-race button.
class GUI_ShipIcon : public GUI_BaseElement {
public:
    enum Kind { CHANGE_RACE = 0, DESIGN = 1, NEW_DESIGN = 2 };

    GUI_ShipIcon(int kind, const SIM_ShipDesign* design);
    ~GUI_ShipIcon() override;

    bool OnLeftClick(float x, float y) override;
    bool OnRightClick(float x, float y);
    void Draw() override;
    // The picker calls this only while no window is in front of the pointer.
    void Update();
    void ClearHover() { m_hovered = false; }
    bool IsHovered() const { return m_hovered; }
    // Asks the deployment screen again; the tooltip follows a changed code.
    void RefreshAvailability();

    int GetKind() const { return m_kind; }
    const SIM_ShipDesign* GetDesign() const { return m_design; }
    bool IsAvailable() const { return m_available; }
    int GetShownCode() const { return m_shownCode; }
    GUI_Tooltip* GetTooltip() const { return m_tooltip; }

private:
    void BuildSpeedAndCostTooltip();

    int m_kind;
    const SIM_ShipDesign* m_design;
    CTexturedSprite m_picture;
    CTexturedSprite m_frame;
    GUI_Tooltip* m_tooltip = nullptr;
    int m_shownCode = 0;
    bool m_available = true;
    bool m_hovered = false;
};
