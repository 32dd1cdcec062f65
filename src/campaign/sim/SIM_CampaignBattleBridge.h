#pragma once
#include <string>

#include "campaign/sim/SIM_CampaignBattleOutcome.h"

class SIM_DeployedFleet;
class SIM_Scenario;
struct SIM_PendingBattle;

// Where the campaign meets a running battle: the player's deployment built
// from the campaign fleets, their stored damage put on the battle ships at
// the start, and what the battle did to every ship read back at its end.
class SIM_CampaignBattleBridge {
public:
    // The battle's fleets' ships still standing, in the player's zone.
    static void BuildPlayerDeployment(const SIM_PendingBattle& battle, const SIM_Scenario& scenario,
                                      SIM_DeployedFleet& out);
    // Ships of the player's side take the damage their modules carry.
    static void ApplyStoredDamage(const SIM_PendingBattle& battle);
    static SIM_CampaignBattleOutcome CollectOutcome();
    // The opponent as the battle gets it: its own copy of the challenge's
    // ships (the challenge keeps its records), less the ships a returning
    // enemy lost before. False (nothing to fight) when no ship is left.
    static bool BuildEnemyFleet(const SIM_PendingBattle& battle, const SIM_DeployedFleet& challenge,
                                const std::string& challengeId, SIM_DeployedFleet& out);
    // A returning enemy's ships take the damage its modules carry. Ships
    // and modules that cannot be found are logged and passed over. The
    // number of modules damaged.
    static int ApplyStoredEnemyDamage(const SIM_PendingBattle& battle);
};
