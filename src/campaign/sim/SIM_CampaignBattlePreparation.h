#pragma once
#include <atomic>
#include <functional>
#include <string>
#include <thread>

class SIM_Scenario;
struct SIM_PendingBattle;

// Gets the current campaign battle ready to deploy: chooses the opponent and
// makes sure its challenge file is on disk on a worker thread (the only part
// that may wait on the network), then, back on the main thread after the
// worker was joined, reads the challenge, caches the enemy fleet, logs the
// opponent and sizes the battle map. The opponent stays the battle's (and
// the save's): preparing it again meets the same one. When no opponent can
// be found the battle goes back to the pending list and the player is told.
// The worker asks the server through a client of its own, whose requests a
// Cancel stops; a cancelled preparation is only joined, never finished.
class SIM_CampaignBattlePreparation {
public:
    // Downloads a challenge file to its place in the user folder.
    using Downloader = std::function<bool(const std::string& challengeId)>;

    SIM_CampaignBattlePreparation() = default;
    ~SIM_CampaignBattlePreparation(); // joins a running worker
    SIM_CampaignBattlePreparation(const SIM_CampaignBattlePreparation&) = delete;
    SIM_CampaignBattlePreparation& operator=(const SIM_CampaignBattlePreparation&) = delete;

    // Starts the worker for the battle manager's current battle.
    bool Start();
    bool IsReady() const { return m_ready.load(std::memory_order_acquire); }
    // The worker's requests stop soon after and it ends with nothing found.
    void Cancel() { m_cancel.store(true); }
    bool IsCancelled() const { return m_cancel.load(); }
    // Joins the worker and finishes on the calling (main) thread. The
    // scenario receives the challenge's fields. False when the battle could
    // not be prepared.
    bool Finish(SIM_Scenario& scenario);
    // Start and Finish in one go (headless play).
    bool Prepare(SIM_Scenario& scenario);

    static void SetDownloader(Downloader downloader);
    // The size the battle map is made for the fleets that meet on it.
    static float BattleMapSize(float survivingCost, float fleetWidth, float fleetHeight);

private:
    // What the worker's own server object needs, read on the main thread.
    struct Link {
        std::string url, userFolder, userName, userId;
    };
    // kept: the battle's opponent from an earlier preparation ("" to draw
    // one); keptCached: the planet's cached fleet is that opponent.
    void Work(int encounterId, float wantedCost, const std::string& kept, bool keptCached, const Link& link);
    void Join();

    std::thread m_worker;
    std::atomic<bool> m_ready{false};
    std::atomic<bool> m_cancel{false};
    // Written by the worker before m_ready, read after the join.
    std::string m_challengeId;
    std::string m_path;
    bool m_reused = false;
};
