#pragma once
#include "campaign/sim/SIM_ReasonedValue.h"

class SIM_CampaignEncounter;

// The enemy's presence at one planet: a threat that rises while the player's
// planet is outnumbered, a freeze on attacks after a battle, and for planets
// not held by the player the enemy strength that drifts with the arms race.
class SIM_CampaignAIManager {
public:
    explicit SIM_CampaignAIManager(SIM_CampaignEncounter* encounter) : m_encounter(encounter) {}
    virtual ~SIM_CampaignAIManager() = default;

    // Once a turn on a player-held planet: threat, then maybe an attack.
    void CheckForAttacks();
    // Once a turn on any other planet: fear decays, strength drifts to target.
    void UpdateArmsRaceFear();
    void FreezeAttacks(int turns);
    void AddThreatChange(float amount, const std::string& reason, bool flag);
    // A random neighbour not held by the player, or null.
    SIM_CampaignEncounter* ChooseAttackSource() const;
    void TryRandomAttack();

    // 0 before the window's turn, then rising linearly to 1 over the fade-in.
    static float GetAttackWindow(int turn);
    static float GetHomeworldAttackWindow(int turn);

    SIM_CampaignEncounter* GetEncounter() const { return m_encounter; }

    SIM_ReasonedValue threat;
    int freezeTurns = 0;
    float fleetboost = 0.0f;
    float currentFleet = 0.0f;

private:
    SIM_CampaignEncounter* m_encounter;
};
