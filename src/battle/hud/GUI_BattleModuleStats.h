#pragma once
#include <string>

#include "battle/hud/HudWindow.h"
#include "engine/CTexturedSprite.h"
#include "engine/GLifetime.h"
#include "engine/GRect.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_WindowBase.h"

class SIM_Ship;
class SIM_ShipModule;
struct SIM_ModuleStatistics;

// What one weapon has done so far in the battle (shots, hits and their
// share, shield, armour and hull damage), left of the ship inspector. The
// simulation tells it whenever the module's figures change. A module lives as
// long as its ship: the window follows the ship.
class GUI_BattleModuleStats : public GUI_WindowBase, public HudSingleWindow<GUI_BattleModuleStats> {
public:
    static constexpr int kWidth = 200;
    static constexpr int kRows = 5;

    // Replaces the open window; opens the inspector for the module's ship
    // first when none is open. A null module opens nothing.
    static void Open(SIM_ShipModule* module);

    explicit GUI_BattleModuleStats(SIM_ShipModule* module);
    ~GUI_BattleModuleStats() override;

    void Draw() override;
    void UpdateTexts();

    // The five value texts of a record, in row order.
    static void FormatValues(const SIM_ModuleStatistics& stats, std::string (&values)[kRows]);

    // Null once the module's ship is gone.
    SIM_ShipModule* GetModule() const { return m_ship.IsGone() ? nullptr : m_module; }
    const std::string& GetTitle() const { return m_title; }
    const std::string& GetLabel(int row) const { return m_labels[row]; }
    const std::string& GetValue(int row) const { return m_values[row]; }
    int GetUpdateCount() const { return m_updates; }

private:
    static void OnModuleChanged(const SIM_ShipModule* module);

    std::string m_title;
    std::string m_labels[kRows];
    std::string m_values[kRows];
    SIM_ShipModule* m_module;
    GWatch<SIM_Ship> m_ship;
    CTexturedSprite m_background;
    GRect m_inner{};
    GUI_Interlace m_lines;
    int m_updates = 0;
};
