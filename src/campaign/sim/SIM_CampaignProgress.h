#pragma once
#include <memory>
#include <string>
#include <vector>

class SIM_Campaign;
class SIM_CampaignFleet;
class SIM_CampaignEnemiesDB;
class SIM_CampaignStats;

// The running campaign: the player's fleets, race, turn, cash and crew, the
// statistics, and the save folder that holds all of it between runs
// ("progress.txt", "fleets/fleet<id>.txt", "logs/<ship id>_log.ini"). A save
// is written whole or not at all; a failed save keeps the previous one.
class SIM_CampaignProgress {
public:
    static SIM_CampaignProgress& GetInstance();

    // Binds the loaded definition and starts from zero.
    void Init(SIM_Campaign* campaign);
    // Creates the save folder and a first "progress.txt" for a new campaign.
    bool CreateNew(const std::string& saveName, const std::string& race);
    bool Load(const std::string& saveName);
    // False (the old save kept, the error logged) when it could not be written.
    bool Save();
    // Lets go of the open campaign without touching its save: the fleets and
    // battles that point into its planets go, so the definition may follow.
    void Close();
    // Ends a campaign: fleets and battles go before the definition does.
    void Reset(const std::string& race);

    void AddFleet(SIM_CampaignFleet* fleet);
    // Takes the fleet out of the list (the caller deletes it).
    void RemoveFleet(SIM_CampaignFleet* fleet);
    int GetNextFleetID() const;
    SIM_CampaignFleet* FindFleet(int fleetId) const;
    bool SetFleetLocationByID(int fleetId, int encounterId);
    std::string GetSaveFolder() const { return saveFolder; }
    float GetConquestRatio() const;
    // The end of a turn: ships, planets, battles, turn number, save.
    void NextTurn();

    const std::vector<SIM_CampaignFleet*>& GetFleets() const { return m_fleets; }
    SIM_Campaign* GetCampaign() const { return m_campaign; }
    SIM_CampaignStats& GetStats() { return *m_stats; }
    SIM_CampaignEnemiesDB& GetEnemiesDB() { return *m_enemies; }

    // The text "progress.txt" would hold now.
    std::string ProgressText() const;

    std::string ownerNames[3] = {"PLAYER", "UNKNOWN", "ENEMY"};
    int cash = 0;
    int crew = 0;
    std::string race;
    int turn = 0;
    std::string saveName;
    std::string saveFolder;

private:
    SIM_CampaignProgress();
    ~SIM_CampaignProgress();
    void DeleteFleets();

    std::vector<SIM_CampaignFleet*> m_fleets;
    SIM_Campaign* m_campaign = nullptr;
    std::unique_ptr<SIM_CampaignStats> m_stats;
    std::unique_ptr<SIM_CampaignEnemiesDB> m_enemies;
};
