#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_WindowBase.h"

class GUI_Tooltip;
class SIM_Ship;

// The hull picture of the ship inspector; a click centres the camera on the
// ship.
class GUI_InspectorBlueprint : public GUI_WindowBase {
public:
    GUI_InspectorBlueprint(SIM_Ship* ship, float left, float top, float right, float bottom);
    ~GUI_InspectorBlueprint() override;

    bool OnLeftClick(float x, float y) override;
    void Draw() override;

    const CTexturedSprite& GetSprite() const { return m_sprite; }
    GUI_Tooltip* GetTooltip() const { return m_tooltip; }

private:
    CTexturedSprite m_sprite;
    GUI_Tooltip* m_tooltip = nullptr;
    SIM_Ship* m_ship;
    GUI_Interlace m_lines;
};
