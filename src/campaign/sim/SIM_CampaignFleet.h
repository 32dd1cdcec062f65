#pragma once
#include "engine/GLifetime.h"

#include <string>
#include <vector>

class SIM_CampaignEncounter;
class SIM_CampaignShip;
class SIM_ShipDesign;
class SIM_DeployedFleet;
class SIM_Server;
struct SIM_CampaignBattleOutcome;

// A player fleet on the campaign map: ships in joining order (owned), where it
// is, and the totals the AI and the battles weigh it by.
class SIM_CampaignFleet {
public:
    enum UploadFlag { ONEHUNDRED = 0, SEVENTYFIVE = 1, FIFTY = 2, TWENTYFIVE = 3, UPLOAD_FLAG_COUNT = 4 };

    SIM_CampaignFleet() = default;
    virtual ~SIM_CampaignFleet();
    SIM_CampaignFleet(const SIM_CampaignFleet&) = delete;
    SIM_CampaignFleet& operator=(const SIM_CampaignFleet&) = delete;

    void AddShip(SIM_CampaignShip* ship);
    // Hands the ship back to the caller, who then owns it.
    bool RemoveShip(SIM_CampaignShip* ship);
    void ClearShips();
    // An empty fleet leaves its planet and the progress and is deleted; true then.
    bool DeleteIfEmpty();
    void SetLocation(SIM_CampaignEncounter* encounter);
    void RecalculateTotals();

    // The costliest design, first wins a tie; when every design costs nothing,
    // the first ship's design.
    SIM_ShipDesign* GetMostExpensiveDesign() const;
    bool NeedsRepair() const;
    bool HasMovedShip() const;
    int CountShipsOfClass(int hullClass) const;
    bool IsImmobile() const;
    bool SplitOffImmobileShips();
    void MarkMoved();
    void LogWarp(const SIM_CampaignEncounter* from, const SIM_CampaignEncounter* to);
    // Before a design is read again: ships built to it let go of it (they
    // keep its name for RelinkDesigns).
    void ReleaseDesign(const std::string& designName);
    // After designs were saved: false when some ship's design is gone.
    bool RelinkDesigns();
    void ChooseRandomName();
    std::string GetName() const { return guiName; }

    // Losses and damage of a finished battle: destroyed ships and emptied
    // squadrons leave the fleet with their logs; unmatched ships are kept.
    void ApplyBattleLosses(const SIM_CampaignBattleOutcome& outcome);

    // Posts the fleet as a campaign challenge at the points of its life not
    // yet posted (whole; three quarters, half, a quarter left). The level
    // posted, or -1. It waits for the server: screens run the parts below
    // beside the frame instead.
    int CheckChallengeUpload(const SIM_DeployedFleet& deployed);
    bool UploadAsChallenge(const SIM_DeployedFleet& deployed, int level);

    // The point of its life the fleet has reached and not posted, or -1.
    int DueUploadLevel() const;
    // The challenge file of the deployed fleet, written for an upload: its
    // path, or empty when nothing can be posted (no server, no planet).
    std::string WriteChallengeFile(const SIM_DeployedFleet& deployed) const;
    // The server's part of an upload (any thread): a new campaign challenge
    // id, the file posted under it, the id registered. True only when all
    // three went through.
    static bool PostCampaignChallenge(SIM_Server& server, const std::string& challengeFile);
    // A post that failed is an error; one no server answered is information.
    static void ReportUploadFailed(bool unanswered);
    // A point posted: its flag set and the campaign saved.
    void MarkUploaded(int level);

    std::string GetFilePath() const;
    std::string SaveText() const;
    // Reads a fleet file's text (fileName names it in log lines). A file the
    // game cannot take whole (a ship whose design cannot be found, more than
    // kMaxShips ships, cut short) gives no ships and says why: such a fleet
    // waits on disk as it was found. Empty when every ship was read.
    std::string LoadFromText(const std::string& text, const std::string& fileName = std::string());
    static constexpr size_t kMaxShips = 1000;

    const std::vector<SIM_CampaignShip*>& GetShips() const { return m_ships; }

    SIM_CampaignEncounter* location = nullptr;
    SIM_CampaignEncounter* origin = nullptr;
    int id = -1;
    int shipCount = 0;
    float totalCost = 0.0f;
    float survivingCost = 0.0f;
    std::string raceName;
    std::string guiName;
    bool uploadFlags[UPLOAD_FLAG_COUNT] = {false, false, false, false};
    bool attacking = false;
    // The highest ship id the last LoadFromText met, taken or not.
    int highestShipId = 0;
    // Every ship id the last LoadFromText met, taken or not, in file order.
    std::vector<int> shipIdsInFile;
    // Whether the last LoadFromText found the file cut short.
    bool cutShort = false;
    // Windows showing the fleet watch this (GWatch).
    GLifetime lifetime;

private:
    std::vector<SIM_CampaignShip*> m_ships;
};

// The pool fleet names are drawn from ("fleetnames.txt" in the campaign data),
// shuffled when filled, without the names fleets already carry.
class SIM_CampaignFleetNames {
public:
    static SIM_CampaignFleetNames& GetInstance();
    // The next name, wrapping; empty when the data holds no name at all.
    std::string DrawName();
    // Removes every copy while more than one name remains.
    void RemoveName(const std::string& name);
    void Clear() { m_names.clear(); m_cursor = 0; }

private:
    void Fill();
    std::vector<std::string> m_names;
    size_t m_cursor = 0;
};
