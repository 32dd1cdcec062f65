#pragma once
#include <memory>
#include <set>
#include <utility>
#include <string>
#include <vector>

#include "campaign/sim/SIM_CampaignSaveWriter.h"

class GIniFile;
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
    // False when the save cannot be used: a "progress.txt" that does not read
    // as a campaign is refused (GetRefusedFile names it) and nothing in the
    // folder is touched, so a damaged save is never emptied by the next save.
    bool Load(const std::string& saveName);
    const std::string& GetRefusedFile() const { return m_refusedFile; }
    // Why it was refused, as the error log says it.
    const std::string& GetRefusedReason() const { return m_refusedReason; }
    // Whether text has the [config] a campaign's progress always has.
    static bool ReadsAsCampaign(const std::string& text);
    // Whether the sections of a progress text are all a save wrote: ours end
    // with [end] (their [config] says so); older ones with [stats].
    static bool IsWhole(const std::vector<GIniFile>& sections);
    // What "saveformat" in [config] says of saves written now.
    static constexpr int kSaveFormat = 2;
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
    // Income and refunds: saturate at kMaxCash instead of overflowing.
    void AddCash(int amount);
    void AddCrew(int amount);

    // What a campaign can hold; a save beyond these is damaged or hostile, and
    // is bounded at load with one log line.
    static constexpr int kMaxCash = 999999999;
    static constexpr int kMaxTurn = 999999;
    static constexpr size_t kMaxFleets = 1000;
    static constexpr size_t kMaxStats = 1000;
    static constexpr size_t kMaxEncounterSections = 1000;
    // Fleet and ship ids run 1..kMaxId. One read beyond (a hand-edited save)
    // is told and kept, but never counts for the next id: an id at the top
    // of int would make every new one wrap to the same negative id.
    static constexpr int kMaxId = 999999999;
    // The id under key of a fleet file's section as the save's check reads
    // it; one not written as a whole number in 1..kMaxId is told (file,
    // section, key).
    static int ReadId(const GIniFile& section, const char* key);
    // Whether id may count for the next id.
    static bool IdInRange(int id) { return id >= 1 && id <= kMaxId; }
    // The next id after highest (ids in range only); when highest is kMaxId,
    // the lowest id that taken does not claim.
    template <class Taken>
    static int NextId(int highest, Taken taken)
    {
        if (highest < kMaxId)
            return highest < 0 ? 1 : highest + 1;
        for (int id = 1; id <= kMaxId; ++id)
            if (!taken(id))
                return id;
        return kMaxId;
    }
    // A fleet file the last load could not take whole (a ship's design cannot
    // be found, too many ships, cut short): it stays on disk as it was found,
    // out of play, keeps its place in [fleets] and its ids, and comes back at
    // a load that can take it.
    struct WaitingFleet {
        std::string path;
        std::string name;
        std::string why;
    };
    const std::vector<WaitingFleet>& GetWaitingFleets() const { return m_waitingFleets; }
    // The highest ship id of the save's files not in play (waiting fleets,
    // ship logs): new ships get ids above it.
    int GetReservedShipID() const { return m_reservedShipId; }
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
    void ForgetWaitingFleets();
    // Logs why a save is refused, naming the file; false.
    bool Refuse(const std::string& why, const std::string& path);
    struct SaveRefusal {
        std::string why;
        std::string path; // empty: not refused
    };
    // Checks the fleet files a load will read (at most kMaxFleets of them)
    // before anything in the folder is touched.
    static SaveRefusal CheckFleetFiles(const std::string& folder, const GIniFile& fleets, bool hasFleets,
                                       std::vector<SIM_CampaignSaveWriter::PendingFile>& files);

    std::vector<SIM_CampaignFleet*> m_fleets;
    SIM_Campaign* m_campaign = nullptr;
    std::string m_refusedFile;
    std::string m_refusedReason;
    // The fleet and log files of this campaign read at load or written by its
    // last save: the only files a save removes when their fleet or ship is gone.
    std::set<std::string> m_ownFiles;
    std::vector<WaitingFleet> m_waitingFleets;
    // [fleets] entries (fleet id, EncounterID) of fleets not in play, written
    // back as they were read.
    std::vector<std::pair<int, int>> m_keptPlaces;
    int m_reservedFleetId = 0;
    int m_reservedShipId = 0;
    std::unique_ptr<SIM_CampaignStats> m_stats;
    std::unique_ptr<SIM_CampaignEnemiesDB> m_enemies;
};
