#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "sim/SIM_HighScores.h"
#include "sim/SIM_MetricsSink.h"

class SIM_DeployedFleet;
class SIM_Scenario;

// A battle without the battle view, for tools, benchmarks and tests: loads
// the content from the working folder (the install folder), keeps scores and
// metrics away from the player's files, and steps the battle at a fixed
// frame time from a fixed seed, so that a run can be replayed exactly.
class SIM_HeadlessBattle {
public:
    // The results a run would have counted in the player's metrics.
    class FlagTally : public SIM_MetricsSink {
    public:
        void SetEventFlag(const std::string& name) override { m_flags.insert(name); }
        // 1 when flagged, else 0.
        int GetEventCount(const std::string& name) const { return static_cast<int>(m_flags.count(name)); }

    private:
        std::set<std::string> m_flags;
    };

    // Per side: 0 the player, 1 the enemy.
    struct Totals {
        int ships[2] = {0, 0};
        int shipsLost[2] = {0, 0};
        float damageDealt[2] = {0.0f, 0.0f};   // what reached shields, armour and modules
        float hullDamageDealt[2] = {0.0f, 0.0f};
        int shots[2] = {0, 0};
        int hits[2] = {0, 0};
    };

    // Hits landed and ships killed by one class of weapon module (the module
    // type's class name; "detonation" for a wreck's blast).
    struct WeaponClassTotals {
        std::string className;
        int hits = 0;
        int kills = 0;
    };

    // Shots and hits a class of module recorded in its own statistics: also
    // the classes that land no damage (point defence kills, ECM shocks,
    // limpets stuck, missiles a smart bomb destroyed).
    struct ModuleClassTotals {
        std::string className;
        int shots = 0;
        int hits = 0;
    };

    // scoresFolder receives the scratch sc.dat / unl.dat of the battles run.
    explicit SIM_HeadlessBattle(const std::string& scoresFolder);
    ~SIM_HeadlessBattle();
    SIM_HeadlessBattle(const SIM_HeadlessBattle&) = delete;
    SIM_HeadlessBattle& operator=(const SIM_HeadlessBattle&) = delete;

    static void LoadContent();
    static void FreeContent();

    // The player's fleet from a deployed-fleet file, the enemy from the
    // scenario's AI fleet (difficulty 0 easy, 1 medium, 2 hard).
    bool Start(const std::string& scenarioName, const std::string& playerFleetFile, int difficulty, uint64_t seed);
    // Both sides given directly (the AI fleet file is not read).
    bool StartCustom(SIM_Scenario* scenario, SIM_DeployedFleet& player, SIM_DeployedFleet& enemy, uint64_t seed);

    // Frames of scaledMs battle time until the battle ends or maxBattleMs of
    // battle time have passed; true when it ended.
    bool Run(float scaledMs, float maxBattleMs);
    static void Frame(float scaledMs);

    SIM_HighScores& GetScores() { return m_scores; }
    FlagTally& GetMetrics() { return m_metrics; }

    static float BattleTime();
    static Totals CollectTotals();
    // From the battle's statistics events, by class name. A kill goes to the
    // class of the last hit that reached the modules of a ship now dead.
    static std::vector<WeaponClassTotals> CollectWeaponClassTotals();
    // Every module class of both fleets that fired at least once, by name.
    static std::vector<ModuleClassTotals> CollectModuleClassTotals();
    // "won", "lost", "retreated" or "unfinished".
    static const char* OutcomeName();
    // How the battle went, in lines: the outcome, the battle time, each side's
    // totals, a survival score, and the hits, kills and shots of each weapon
    // and module class. The runner and the game's headless battle print it
    // alike, so the two can be compared line for line.
    static std::string Summary();

private:
    SIM_HighScores m_scores;
    FlagTally m_metrics;
};
