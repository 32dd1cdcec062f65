#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

class SIM_DeployedFleet;
class SIM_Fleet;
class SIM_HighScores;
class SIM_MetricsSink;
class SIM_Race;
class SIM_Scenario;
class SIM_SetUpProgress;

// The one battle of the program: built from two deployed fleets and a
// scenario, stepped once per battle frame, decides the outcome and settles
// scores and unlock points.
class SIM_Battle {
public:
    enum Outcome : uint32_t { WON = 0, LOST = 1, RETREATED = 2 };

    static constexpr float kSampleInterval = 100.0f;  // ms of battle time
    static constexpr float kStalemateTime = 60000.0f; // ms without a kill

    // Modules ask for the battle thousands of times a frame: once made, it
    // is handed out without a call.
    static SIM_Battle& GetInstance()
    {
        SIM_Battle* made = s_made.load(std::memory_order_acquire);
        return made ? *made : MakeInstance();
    }

    SIM_Battle() = default;
    virtual ~SIM_Battle();
    SIM_Battle(const SIM_Battle&) = delete;
    SIM_Battle& operator=(const SIM_Battle&) = delete;

    // False (reported, nothing started) without a scenario or a fleet, when
    // the enemy has no ships or no race can be found for a side.
    bool Start(SIM_Scenario* scenario, SIM_DeployedFleet* player, SIM_DeployedFleet* enemy, bool fromCampaign);
    void Update();
    void CheckEnd();
    void Victory();
    void Defeat();
    // Records the win in the scores, with the points it earns when earns is set.
    void AwardPoints(bool earns);
    // A survival battle's score becomes the scenario's best when it beats
    // it (sc.dat), posted online or not.
    void RecordSurvivalScore();
    void EndBattle();
    void RecordOutcome();
    // Stops the beams' looping sounds and deletes the fleets and their ships.
    // Only once nothing on screen points at a ship any more: the next Start
    // or the end of the battle view.
    void Clear();

    // Called by the ship kill; survival mode reads and resets it too.
    void ResetTimeSinceLastKill() { m_timeSinceLastKill = 0.0f; }
    float GetTimeSinceLastKill() const { return m_timeSinceLastKill; }

    bool IsStarted() const { return m_started != 0; }
    bool IsEnded() const { return m_ended != 0; }
    // The battle clock when the battle ended (0 until then): the clock runs
    // on behind the result while the statistics stop there.
    float GetEndTime() const { return m_endTime; }
    uint32_t GetLost() const { return m_lost; }
    void SetLost(uint32_t lost) { m_lost = lost; }
    int32_t GetPointsEarned() const { return m_pointsEarned; }
    // The best survival score kept for the battle's scenario (0 without one).
    int32_t GetBestSurvivalScore();
    bool IsSurvival() const { return m_survival != 0; }
    bool IsFromCampaign() const { return m_fromCampaign != 0; }
    SIM_Fleet* GetPlayerFleet() const { return m_playerFleet; }
    SIM_Fleet* GetEnemyFleet() const { return m_enemyFleet; }
    SIM_DeployedFleet* GetPlayerDeployedFleet() const { return m_playerDeployed; }
    SIM_DeployedFleet* GetEnemyDeployedFleet() const { return m_enemyDeployed; }
    SIM_Race* GetPlayerRace() const { return m_playerRace; }
    SIM_Race* GetEnemyRace() const { return m_enemyRace; }
    SIM_Scenario* GetScenario() const { return m_scenario; }
    // A retreat ordered from the leave-battle window is running.
    bool IsRetreatUnderWay() const;

    // Where scores and metrics go; the program's own by default. Tools and
    // tests point them at their own objects (null = the default again).
    void SetHighScores(SIM_HighScores* scores) { m_highScores = scores; }
    void SetUsageMetrics(SIM_MetricsSink* metrics) { m_metrics = metrics; }
    // The program's metrics, asked for when a battle records its result; the
    // shell installs it at start (none: results are not counted).
    using MetricsSource = SIM_MetricsSink* (*)();
    static void SetProgramMetrics(MetricsSource source) { s_programMetrics = source; }
    // Runs after set-up in place of the switch to the loading screen.
    void SetSetUpHook(std::function<void()> hook) { m_setUpHook = std::move(hook); }
    // Told about the next set-up only (the loading screen); null for none.
    void SetSetUpProgress(SIM_SetUpProgress* progress) { m_progress = progress; }

private:
    static SIM_Battle& MakeInstance();
    static inline std::atomic<SIM_Battle*> s_made{nullptr};

    bool SetUp();
    void ReportProgress(float progress);
    // One statistics sample of both fleets' current strength, now.
    void SampleStrengths();
    void FreeBattle();
    bool LoadEnemyDeployment();
    void PlayResultMusic(const char* file);
    // The scenario's record gets the beaten flag of the current difficulty.
    void MarkScenarioBeaten();
    SIM_HighScores& Scores();
    // Null when there is nowhere to record.
    SIM_MetricsSink* Metrics();

    unsigned char m_started = 0;
    SIM_Fleet* m_playerFleet = nullptr;
    SIM_Fleet* m_enemyFleet = nullptr;
    SIM_DeployedFleet* m_playerDeployed = nullptr;
    SIM_DeployedFleet* m_enemyDeployed = nullptr;
    SIM_Race* m_playerRace = nullptr;
    SIM_Race* m_enemyRace = nullptr;
    SIM_Scenario* m_scenario = nullptr;
    uint32_t m_ended = 0;
    float m_endTime = 0.0f;
    uint32_t m_lost = LOST;
    int32_t m_pointsEarned = 0;
    float m_timeSinceLastKill = 0.0f;
    uint32_t m_survival = 0;
    uint32_t m_fromCampaign = 0;
    float m_sampleAccumulator = 0.0f;
    SIM_HighScores* m_highScores = nullptr;
    SIM_MetricsSink* m_metrics = nullptr;
    static inline MetricsSource s_programMetrics = nullptr;
    std::function<void()> m_setUpHook;
    SIM_SetUpProgress* m_progress = nullptr;
};

// One battle frame without the battle view, through the same step the view
// runs (SIM_BattleStep). scaledMs is the frame's battle time.
void RunHeadlessBattleFrame(float scaledMs);

// Starts a battle without the deployment screen: the player's fleet from a
// deployed-fleet file, the enemy from the scenario's AI fleet of the given
// difficulty (0 easy, 1 medium, 2 hard). False (reported) when it can't start.
bool StartBattleFromDeploymentFile(SIM_Scenario* scenario, const std::string& playerFleetFile, int difficulty);
// The same from a fixed seed on a fresh battle clock: the headless runner and
// the game's --seed start here, so both fight the same battle.
bool StartSeededBattleFromDeploymentFile(SIM_Scenario* scenario, const std::string& playerFleetFile,
                                         int difficulty, uint64_t seed);
// Seeds the generator for a battle. The battle and the services it makes on
// first use (the comms shuffle draws from the generator) are made before the
// seed, so a battle fights the same whether or not an earlier screen made them.
void SeedBattle(uint64_t seed);
