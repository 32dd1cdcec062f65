#pragma once
// The two fleets of a test battle, each the other's opponent, and the ships
// built straight into them from loaded designs; and the seeds and fixed frame
// a test battle starts with.
#include "battle/GUI_BattleGUI.h"
#include "engine/GRandom.h"
#include "engine/RandomTables.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipOrders.h"
#include "sim/ShipUpdateScheduler.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TestBattleFleets {
public:
    TestBattleFleets()
    {
        m_player.SetOpponent(&m_enemy);
        m_enemy.SetOpponent(&m_player);
    }
    TestBattleFleets(const TestBattleFleets&) = delete;
    TestBattleFleets& operator=(const TestBattleFleets&) = delete;

    // A ship of the player's (or the enemy's) fleet at (x, y), heading 0;
    // plain orders when none are given, the id kept when negative.
    SIM_Ship* Build(const std::string& designName, float x, float y, bool enemy,
                    std::unique_ptr<SIM_ShipOrders> orders = nullptr, int shipId = -1)
    {
        auto ship = std::make_unique<SIM_Ship>();
        SIM_Ship* raw = ship.get();
        raw->SetFleet(enemy ? &m_enemy : &m_player);
        if (shipId >= 0)
            raw->shipId = shipId;
        raw->x = x;
        raw->y = y;
        if (!orders)
            orders = std::make_unique<SIM_ShipOrders>();
        raw->BuildFromDesign(SIM_ShipDesign::Find(designName), std::move(orders));
        raw->SetAngle(0.0f);
        m_ships.push_back(std::move(ship));
        return raw;
    }

    void Destroy(const SIM_Ship* ship)
    {
        for (auto it = m_ships.begin(); it != m_ships.end(); ++it)
            if (it->get() == ship) {
                m_ships.erase(it);
                return;
            }
    }

    void DestroyAll() { m_ships.clear(); }

    SIM_Fleet& Player() { return m_player; }
    SIM_Fleet& Enemy() { return m_enemy; }

private:
    // Fleets outlive the ships that point at them.
    SIM_Fleet m_player;
    SIM_Fleet m_enemy;
    std::vector<std::unique_ptr<SIM_Ship>> m_ships;
};

// Seeds the game's and the tables' random numbers, and starts the battle
// screen's clock afresh at a fixed frame with nothing waiting for removal.
inline void StartTestBattle(uint64_t gameSeed, uint64_t tablesSeed, float frameMs)
{
    QlmSrand(gameSeed);
    GRandom tables(tablesSeed);
    InitRandomTables(tables);
    GUI_BattleGUI::GetInstance().ResetForBattle();
    GUI_BattleGUI::GetInstance().SetFrameTime(frameMs);
    GetRemovalQueue().clear();
}
