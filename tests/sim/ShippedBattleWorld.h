#pragma once
// Battles built from the repository's own data folder (read only): content
// loaded once per test, scores, metrics and the options kept in a temporary
// folder.
#include <memory>
#include <string>

#include "support/TempDir.h"

#include "app/APP_UsageMetrics.h"
#include "battle/GUI_BattleGUI.h"
#include "engine/GRandom.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_DefaultOrders.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_HeadlessBattle.h"
#include "sim/SIM_HighScores.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_ShipNameGenerator.h"

class ShippedBattleWorld {
public:
    ShippedBattleWorld() : m_chdir(QLM_SOURCE_DIR), m_battle(m_dir.Path())
    {
        QlmSrand(1);
        // The battle screen reads and saves them; without a user folder they
        // would go to the player's.
        SIM_Options::GetInstance().Reload(m_dir.File("config.txt"));
    }

    static void FreeAll() { SIM_HeadlessBattle::FreeContent(); }

    // A record of the fleet; false when the design is unknown.
    static bool Add(SIM_DeployedFleet& fleet, const std::string& design, float x, float y, int quantity = 1,
                    int shipId = -1)
    {
        auto ship = std::make_shared<SIM_DeployedShip>();
        ship->design = design;
        ship->name = design;
        ship->x = x;
        ship->y = y;
        ship->quantity = quantity;
        ship->shipId = shipId < 0 ? static_cast<int>(fleet.GetShips().size()) + 1 : shipId;
        return fleet.AddShip(ship);
    }

    SIM_HighScores& Scores() { return m_battle.GetScores(); }
    SIM_HeadlessBattle::FlagTally& Metrics() { return m_battle.GetMetrics(); }
    SIM_HeadlessBattle& Headless() { return m_battle; }
    const TempDir& Dir() const { return m_dir; }

private:
    TempDir m_dir;
    ScopedChdir m_chdir;
    SIM_HeadlessBattle m_battle;
};
