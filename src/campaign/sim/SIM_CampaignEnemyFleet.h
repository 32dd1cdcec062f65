#pragma once
#include <string>
#include <vector>

class SIM_DeployedFleet;

// One damaged module of a cached enemy ship.
struct SIM_CampaignEnemyModuleDamage {
    float integrity = 1.0f;
    int slot = 0;
    std::string moduleName;
};

// One ship of a cached enemy fleet: its id in the challenge, how many are
// left (0 once destroyed) and its damaged modules.
struct SIM_CampaignEnemyShipData {
    int shipId = -1;
    int quantity = 0;
    std::vector<SIM_CampaignEnemyModuleDamage> damage;
};

// The enemy fleet that holds one planet between battles: the challenge it
// came from and what the player's battles left of it ("<EncounterID>.ini").
class SIM_CampaignEnemyFleet {
public:
    virtual ~SIM_CampaignEnemyFleet() = default;

    // One entry per deployed ship; false when the fleet has none.
    bool FillFromDeployedFleet(int encounter, const std::string& challenge, const SIM_DeployedFleet& fleet);
    SIM_CampaignEnemyShipData* FindShip(int shipId);
    // A battle's outcome for one ship: destroyed, or its damaged modules.
    void RecordShipDestroyed(int shipId);
    void RecordShipDamage(int shipId, const std::vector<SIM_CampaignEnemyModuleDamage>& modules);
    // How many of the entry's craft came through a battle (1 for a lone ship);
    // never more than it had.
    void RecordSurvivors(int shipId, int alive);
    // The turn step: every module mends by the rate, held to 0..1.
    void Repair();

    std::string WriteText() const;
    void ReadText(const std::string& text);
    std::string GetChallengeID() const { return challengeId; }

    std::vector<SIM_CampaignEnemyShipData> ships;
    std::string challengeId;
    int encounterId = -1;
};
