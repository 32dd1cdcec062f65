#pragma once
#include <string>
#include <vector>

class SIM_CampaignEncounter;
class SIM_CampaignShip;

// One line of a ship's history: the turn it happened, the finished text and
// its kind.
struct SIM_CampaignShipsLogEntry {
    std::string turnText;
    std::string text;
    int kind = 0;
    const std::string& GetFirstString() const { return turnText; }
    const std::string& GetSecondString() const { return text; }
};

// A campaign ship's history, one text file per ship in the save's "logs"
// folder ("<id>_log.ini", one "KIND,text,turn" line per entry). Texts are
// written quoted so that commas in planet names survive the round trip.
class SIM_CampaignShipsLog {
public:
    enum Kind { CONSTRUCTION = 0, REPAIR = 1, HYPERSPACEJUMP = 2, BATTLE = 3, CAPTURED = 4, KIND_COUNT = 5 };

    explicit SIM_CampaignShipsLog(SIM_CampaignShip* ship) : m_ship(ship) {}
    virtual ~SIM_CampaignShipsLog() = default;

    // The file's whole text, for the save to write.
    std::string SaveText() const;
    // Reads the ship's file; a missing file leaves the log empty.
    void Load();
    void LoadFromText(const std::string& text);
    void DeleteLogFile() const;
    std::string GetPath() const;
    static const char* GetKindName(int kind);

    void AddConstructionEntry(const SIM_CampaignEncounter* encounter);
    void AddWarpEntry(const SIM_CampaignEncounter* from, const SIM_CampaignEncounter* to);
    void AddRepairEntry(float amount, float integrity);
    void AddBattleEntry(const SIM_CampaignEncounter* encounter, float hullDamage, float shieldDamage,
                        float armourDamage, float hullIntegrity);
    void AddFighterBattleEntry(const SIM_CampaignEncounter* encounter, float hullDamage, float shieldDamage,
                               float armourDamage, int casualties);
    void AddCapturedEntry(const SIM_CampaignEncounter* encounter, float integrity);

    const std::vector<SIM_CampaignShipsLogEntry>& GetEntries() const { return m_entries; }

private:
    void AddEntry(int kind, std::string text);

    std::vector<SIM_CampaignShipsLogEntry> m_entries;
    SIM_CampaignShip* m_ship;
};
