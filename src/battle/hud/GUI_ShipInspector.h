#pragma once
#include <vector>

#include "battle/hud/HudWindow.h"
#include "engine/CTexturedSprite.h"
#include "engine/GLifetime.h"
#include "engine/GRect.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_WindowBase.h"

class GUI_InspectorBlueprint;
class GUI_InspectorModuleIcon;
class GUI_InspectorStatusBar;
class SIM_Ship;

// The bottom-right panel that shows one of the player's ships: its hull
// picture, four status bars and an icon per module. While it is open the
// battle comms speak for that ship only. It closes when the ship is freed.
class GUI_ShipInspector : public GUI_WindowBase, public HudSingleWindow<GUI_ShipInspector> {
public:
    static constexpr int kWidth = 501;
    static constexpr int kHeight = 124;
    static constexpr int kIcons = 20;
    static constexpr int kIconsPerRow = 10;

    // Replaces the open inspector; a null ship opens none.
    static void Open(SIM_Ship* ship);
    static SIM_Ship* GetInspectedShip();

    GUI_ShipInspector(SIM_Ship* ship, int screenWidth, int screenHeight);
    ~GUI_ShipInspector() override;

    void Draw() override;

    SIM_Ship* GetShip() const { return m_ship.Get(); }
    GUI_InspectorBlueprint* GetBlueprint() const { return m_blueprint; }
    const std::vector<GUI_InspectorStatusBar*>& GetBars() const { return m_bars; }
    const std::vector<GUI_InspectorModuleIcon*>& GetIcons() const { return m_icons; }
    const GRect& GetPanel() const { return m_panel; }

private:
    friend class HudSingleWindow<GUI_ShipInspector>;
    // The range marker, the comms and the module statistics let go of it.
    void WhenClosed();

    std::vector<GUI_InspectorModuleIcon*> m_icons;
    GWatch<SIM_Ship> m_ship;
    GUI_InspectorBlueprint* m_blueprint = nullptr;
    std::vector<GUI_InspectorStatusBar*> m_bars;
    GRect m_inner{};
    CTexturedSprite m_background;
    GRect m_panel{};
    GUI_Interlace m_lines;
};
