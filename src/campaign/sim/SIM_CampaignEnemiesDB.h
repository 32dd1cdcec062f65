#pragma once
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "campaign/sim/SIM_CampaignEnemyFleet.h"

class SIM_CampaignSaveWriter;
class SIM_DeployedFleet;

// The enemy fleets met at planets, one per planet at most, kept between
// battles so that a returning player meets the same, weakened fleet. Saved
// in the save's "enemyfleets" folder with the rest of the save.
class SIM_CampaignEnemiesDB {
public:
    virtual ~SIM_CampaignEnemiesDB() = default;

    SIM_CampaignEnemyFleet* Find(int encounterId) const;
    // Replaces the planet's fleet; null when the deployed fleet is empty.
    SIM_CampaignEnemyFleet* AddFleet(int encounterId, const std::string& challengeId, const SIM_DeployedFleet& fleet);
    void ClearEntry(int encounterId);
    // The fleets in memory only: the files read stay known to the next save.
    void Clear() { m_fleets.clear(); }
    // Every cached fleet mends; the save follows at the end of the turn.
    void TurnStep();

    // Adds the fleet files to a save and marks the stale ones for removal.
    void AddToSave(SIM_CampaignSaveWriter& writer, const std::string& saveFolder);
    // Reads at most kMaxFleets files; the rest are left on disk, untouched.
    void Load(const std::string& saveFolder);
    static void DeleteFiles(const std::string& saveFolder);
    // One fleet a planet: more files than a campaign has planets are damage.
    static constexpr size_t kMaxFleets = 1000;

    const std::vector<std::unique_ptr<SIM_CampaignEnemyFleet>>& GetFleets() const { return m_fleets; }

private:
    std::vector<std::unique_ptr<SIM_CampaignEnemyFleet>> m_fleets;
    // Files read at load or written since: the only ones a save removes.
    std::set<std::string> m_files;
};
