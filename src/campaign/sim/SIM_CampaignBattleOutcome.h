#pragma once
#include <string>
#include <vector>

// What a finished battle did to each ship, as the campaign needs it: read
// from the battle when it ends (or scripted by tests), so the campaign rules
// never reach into the running battle.
struct SIM_BattleModuleResult {
    int slot = -1; // -1: not a fitted module
    std::string typeName;
    float integrity = 1.0f;
    float shieldDamage = 0.0f;
    float armourDamage = 0.0f;
    float hullDamage = 0.0f;
};

struct SIM_BattleShipResult {
    int shipId = -1;
    bool destroyed = false;
    std::string design;
    std::string name;
    float hullIntegrity = 1.0f;
    // A squadron's craft are one result each, sharing the ship id.
    std::vector<SIM_BattleModuleResult> modules;
};

struct SIM_CampaignBattleOutcome {
    std::vector<SIM_BattleShipResult> playerShips;
    std::vector<SIM_BattleShipResult> enemyShips;

    int CountEnemyDestroyed() const
    {
        int n = 0;
        for (const auto& s : enemyShips)
            n += s.destroyed ? 1 : 0;
        return n;
    }
};
