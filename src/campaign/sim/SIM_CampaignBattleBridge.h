#pragma once
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
};
