#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sim/SIM_ScenarioBase.h"

class SIM_CampaignEncounter;

// The campaign the game ships: its names, map, homeworld and the planets
// joined by wormholes, read from "campaign.txt" in the campaign data folder.
// Encounter file names are relative to that folder.
class SIM_Campaign : public SIM_ScenarioBase {
public:
    SIM_Campaign();
    ~SIM_Campaign() override;
    SIM_Campaign(const SIM_Campaign&) = delete;
    SIM_Campaign& operator=(const SIM_Campaign&) = delete;

    // The shipped campaign with its texts and facility types, bound to the
    // running campaign (which starts from zero until a save is loaded).
    static std::unique_ptr<SIM_Campaign> LoadDefinition();

    void LoadConfig(std::string fileName);
    // Builds the encounters, sorted by planet name, with links and hop counts.
    void LoadEncounters();

    // Writes the definition and every encounter file back (the map
    // designer's tool); false when any file could not be written.
    bool SaveDefinition() const;

    SIM_CampaignEncounter* FindEncounterByName(std::string scenarioName) const;
    SIM_CampaignEncounter* FindEncounter(int encounterId) const;
    bool HasWormholeLink(const SIM_CampaignEncounter* a, const SIM_CampaignEncounter* b) const;
    void AddWormholeLink(SIM_CampaignEncounter* a, SIM_CampaignEncounter* b);

    const std::vector<SIM_CampaignEncounter*>& GetEncounters() const { return m_encounterList; }
    const std::vector<std::pair<SIM_CampaignEncounter*, SIM_CampaignEncounter*>>& GetWormholeLinks() const
    {
        return m_links;
    }
    SIM_CampaignEncounter* GetHomeworldEncounter() const { return m_homeworldEncounter; }

    std::string description;
    std::string texture;
    std::string fileName;
    float mapSizeX = 0.0f;
    float mapSizeY = 0.0f;
    int homeworld = 0;

private:
    void FreeEncounters();

    std::vector<std::unique_ptr<SIM_CampaignEncounter>> m_encounters;
    std::vector<SIM_CampaignEncounter*> m_encounterList; // same order, for callers
    std::vector<std::pair<SIM_CampaignEncounter*, SIM_CampaignEncounter*>> m_links;
    SIM_CampaignEncounter* m_homeworldEncounter = nullptr;
};
