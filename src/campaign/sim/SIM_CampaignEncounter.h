#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "campaign/sim/SIM_ReasonedValue.h"
#include "engine/GLifetime.h"
#include "sim/SIM_Scenario.h"

class GIniFile;
class SIM_Campaign;
class SIM_CampaignAIManager;
class SIM_CampaignFacility;
class SIM_CampaignFleet;

// One planet of the campaign map, and the battle scenario fought there: an
// encounter file is a scenario file with the campaign's own keys (map
// position, id, wormholes, facilities, hop counts). Every encounter is also in
// one global list while it lives.
class SIM_CampaignEncounter : public SIM_Scenario {
public:
    enum Territory { PLAYER = 0, UNKNOWN = 1, ENEMY = 2 };

    explicit SIM_CampaignEncounter(SIM_Campaign* campaign);
    ~SIM_CampaignEncounter() override;

    // The campaign keys, read at the end of the scenario load.
    void OnLoaded() override;
    void LoadCampaignData();
    void LoadHopCounts();
    static void LoadAllHopCounts();
    void LinkWormholes();

    bool IsLinkedTo(const SIM_CampaignEncounter* other) const;
    int GetHopCount(const SIM_CampaignEncounter* other) const; // -1 when not stored
    static SIM_CampaignEncounter* FindByID(int encounterId);
    static const std::vector<SIM_CampaignEncounter*>& GetAll();
    static void ClearAllChangeLogs();

    bool HasFacilityOfType(const std::string& typeName) const;
    bool HasRepairFacility() const;
    bool CanBuildClass(int hullClass) const;
    float GetGarrisonStrength() const;

    void EndTurn();
    void UpdateLoyalty();
    // What its factories and academies yield a turn, worked out again: the
    // yields are not saved, and a planet taken yields from then on.
    void UpdateFacilityYields();
    // The planet changes hands: its yields and the screen's counters follow.
    void SetTerritory(int owner);

    // The encounter's section of the progress file, with the turn's report of
    // its loyalty and threat while that waits ("loyaltychanged = 1" and
    // "loyaltychange<n> = amount,flag,reason", the same for threat).
    void SaveState(std::string& out, int index) const;
    void LoadState(const GIniFile& section);

    // The encounter file as the map's designer left it (the designer's tool).
    std::string DefinitionText() const;
    bool SaveDefinition() const;

    std::string GetPlanetName() const { return planetName; }
    // The file this encounter was read from, as the definition names it.
    std::string definitionFile;

    std::vector<SIM_CampaignEncounter*> neighbours;
    std::vector<std::unique_ptr<SIM_CampaignFacility>> facilities;
    std::vector<SIM_CampaignFleet*> fleets; // player fleets here, not owned
    std::vector<std::pair<SIM_CampaignEncounter*, int>> hopCounts;
    std::vector<int> wormholeIds;
    int encounterId = 0;
    std::string planetName;
    float planetSize = 0.0f;
    float mapIconSize = 0.0f;
    float planetPosition[2] = {0.0f, 0.0f};
    float mapPosition[2] = {0.0f, 0.0f};
    SIM_Campaign* campaign;
    int homeworld = 0;
    std::string opponentName;
    int territory = UNKNOWN;
    float challengeMapSize[2] = {0.0f, 0.0f};
    int enemyFleetCost = 0;
    std::unique_ptr<SIM_CampaignAIManager> ai;
    SIM_ReasonedValue loyalty;
    float garrisonLoyalty = 0.0f;
    bool loaded = false; // false when the file could not be read
    // Windows showing the planet watch this (GWatch).
    GLifetime lifetime;

private:
    // A turn gives a planet a handful of changes; a save with more, or
    // larger, or longer ones is damaged.
    static constexpr size_t kMaxSavedChanges = 32;
    static constexpr float kMaxChange = 100.0f;
    static constexpr size_t kMaxReasonLength = 200;
    static void SaveChanges(std::string& out, const char* name, const SIM_ReasonedValue& value);
    static void LoadChanges(const GIniFile& section, const char* name, SIM_ReasonedValue& value);
};
