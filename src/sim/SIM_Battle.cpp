#include "sim/SIM_Battle.h"

#include "engine/GDebugLog.h"
#include "engine/GRandom.h"
#include "engine/RandomTables.h"
#include "sim/SIM_BattleArea.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_BattleStep.h"
#include "sim/SIM_CollisionAvoider.h"
#include "sim/SIM_ChallengeReportSink.h"
#include "sim/SIM_CommsManager.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_HighScores.h"
#include "sim/SIM_MetricsSink.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_RetreatManager.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_SetUpProgress.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_SoundSink.h"
#include "sim/SIM_StatsDatabase.h"
#include "sim/SIM_SurvivalMode.h"
#include "sim/ShipUpdateScheduler.h"
#include "sim/modules/SIM_BeamWeaponModule.h"
#include "sim/modules/SIM_GunProjectiles.h"
#include "sim/modules/SIM_LightningGunModule.h"
#include "sim/modules/SIM_MissileModule.h"
#include "sim/modules/SIM_TractorModule.h"

#include <algorithm>
#include <cmath>

namespace {
int DifficultyIndex(const SIM_Scenario* scenario)
{
    const int d = scenario ? scenario->GetDifficulty() : 0;
    return (d < 0 || d >= SIM_ScenarioScore::kDifficulties) ? 0 : d;
}

bool IsOnlineChallenge(const SIM_Scenario* scenario)
{
    return scenario && scenario->IsChallengeFleet();
}

// a / b < limit, where a zero b never counts as below.
bool RatioBelow(float a, float b, float limit)
{
    return b > 0.0f && a / b < limit;
}
} // namespace

SIM_Battle& SIM_Battle::MakeInstance()
{
    // The battle deletes its ships at exit. Statics die in the reverse order
    // of their making, so the services its teardown calls are made first; the
    // registries ships and modules leave are never destroyed at all.
    static SIM_Battle& instance = []() -> SIM_Battle& {
        ShipUpdateScheduler::GetInstance();
        SIM_StatsDatabase::GetInstance();
        SIM_CommsManager::GetInstance();
        SIM_BattleClock::GetInstance();
        static SIM_Battle battle;
        return battle;
    }();
    s_made.store(&instance, std::memory_order_release);
    return instance;
}

SIM_Battle::~SIM_Battle()
{
    // At exit the sound manager may be gone before us: no sound calls.
    SIM_BeamWeaponModule::ForgetAllSounds();
    SIM_LightningGunModule::ForgetAllSounds();
    SIM_TractorModule::ForgetAllSounds();
    FreeBattle();
}

SIM_HighScores& SIM_Battle::Scores()
{
    return m_highScores ? *m_highScores : SIM_HighScores::GetInstance();
}

SIM_MetricsSink* SIM_Battle::Metrics()
{
    if (m_metrics)
        return m_metrics;
    return s_programMetrics ? s_programMetrics() : nullptr;
}

bool SIM_Battle::Start(SIM_Scenario* scenario, SIM_DeployedFleet* player, SIM_DeployedFleet* enemy,
                       bool fromCampaign)
{
    QLM_ASSERT(scenario);
    QLM_ASSERT(player);
    QLM_ASSERT(enemy);
    if (!scenario || !player || !enemy) {
        LOG_ERROR("Battle refused: scenario or fleet missing");
        return false;
    }
    m_scenario = scenario;
    m_playerDeployed = player;
    m_enemyDeployed = enemy;
    m_fromCampaign = fromCampaign ? 1 : 0;
    m_survival = (scenario->GetType() == SIM_Scenario::SURVIVAL) ? 1 : 0;
    // The first wave is the enemy fleet the set-up loads.
    if (m_survival && !m_fromCampaign)
        SIM_SurvivalMode::GetInstance().LoadWaves(scenario->GetSurvivalWavesPath());
    return SetUp();
}

bool SIM_Battle::LoadEnemyDeployment()
{
    if (IsOnlineChallenge(m_scenario) || m_fromCampaign)
        return true;
    const std::string path = m_scenario->GetEnemyFleetPath();
    if (!m_enemyDeployed->Load(path, m_scenario, false)) {
        LOG_ERROR("Failed to read the enemy fleet: " + path);
        return false;
    }
    return true;
}

void SIM_Battle::ReportProgress(float progress)
{
    if (m_progress)
        m_progress->SetProgress(progress);
}

bool SIM_Battle::SetUp()
{
    // One set-up only: a later battle started without a screen shows none.
    SIM_SetUpProgress* progress = m_progress;
    struct Forget {
        SIM_SetUpProgress*& slot;
        ~Forget() { slot = nullptr; }
    } forget{m_progress};
    if (progress)
        progress->Begin();
    if (m_started || m_playerFleet || m_enemyFleet)
        Clear();
    InitRandomTables();
    ReportProgress(0.1f);

    m_lost = LOST;
    m_ended = 0;
    m_endTime = 0.0f;
    m_pointsEarned = 0;
    QLM_ASSERT(m_scenario);
    if (!m_scenario)
        return false;

    SIM_BattleArea& map = SIM_BattleArea::Get();
    map.SetUpForBattle(m_scenario);
    SIM_CommsManager::GetInstance().Reset();
    SIM_BattleClock::GetInstance().ResetForBattle();

    const float w = map.MapWidth();
    const float h = map.MapHeight();
    const SIM_Fleet::Zone playerZone{32, 32, 128, static_cast<int>(h - 32.0f)};
    const SIM_Fleet::Zone enemyZone{static_cast<int>(w - 128.0f), 32, static_cast<int>(w - 32.0f),
                                    static_cast<int>(h - 32.0f)};

    m_playerFleet = new SIM_Fleet();
    m_enemyFleet = new SIM_Fleet();
    m_playerFleet->SetOpponent(m_enemyFleet);
    m_enemyFleet->SetOpponent(m_playerFleet);

    m_playerFleet->SetZone(playerZone);
    m_playerFleet->SetBeaten(false);
    m_playerFleet->SetStartingStrength(0.0f);
    m_playerFleet->SetTotalCost(0.0f);
    m_playerFleet->BuildFromDeployment(*m_playerDeployed, false);
    ReportProgress(0.5f);

    if (!LoadEnemyDeployment() || m_enemyDeployed->GetShips().empty()) {
        LOG_ERROR("Battle refused: the enemy fleet has no ships (" + m_scenario->GetName() + ")");
        Clear();
        return false;
    }

    ReportProgress(0.6f);
    m_enemyFleet->SetZone(enemyZone);
    m_enemyFleet->SetBeaten(false);
    m_enemyFleet->SetStartingStrength(0.0f);
    m_enemyFleet->SetTotalCost(0.0f);
    m_enemyFleet->BuildFromDeployment(*m_enemyDeployed, false);
    ReportProgress(0.7f);

    // A side that starts with no strength is beaten from the outset.
    m_playerFleet->OnShipKilled();
    m_enemyFleet->OnShipKilled();

    m_playerFleet->UpdateClassPresence();
    m_enemyFleet->UpdateClassPresence();

    // Same phases every battle, so a seed and frame times replay it exactly.
    ShipUpdateScheduler::GetInstance().ResetTimers();
    ShipUpdateScheduler::GetInstance().Rebuild();
    ReportProgress(0.9f);

    m_playerRace = m_playerFleet->GetRace();
    m_enemyRace = m_enemyFleet->GetRace();
    QLM_ASSERT(m_enemyRace);
    if (!m_playerRace || !m_enemyRace || m_enemyFleet->GetAllShips().empty()) {
        LOG_ERROR("Battle refused: a side has no ships or no race (" + m_scenario->GetName() + ")");
        Clear();
        return false;
    }

    if (IsOnlineChallenge(m_scenario))
        if (SIM_ChallengeReportSink* reports = SIM_ChallengeReportSink::Get())
            reports->ReportAttempt(m_scenario->GetChallengeId());

    SIM_StatsDatabase::GetInstance().Clear();
    SIM_RetreatManager::GetInstance().Reset();

    m_started = 1;
    m_timeSinceLastKill = 0.0f;
    m_sampleAccumulator = 0.0f;
    if (progress)
        progress->Finish();
    if (m_setUpHook)
        m_setUpHook();
    return true;
}

void SIM_Battle::Clear()
{
    SIM_BeamWeaponModule::StopAllSounds();
    SIM_LightningGunModule::StopAllSounds();
    SIM_TractorModule::StopAllSounds();
    FreeBattle();
}

void SIM_Battle::FreeBattle()
{
    // Nothing may keep pointing at the ships about to be freed.
    ShipUpdateScheduler::GetInstance().Clear();
    GetRemovalQueue().clear();
    SIM_CommsManager::GetInstance().Reset();
    SIM_StatsDatabase::GetInstance().Clear();
    delete m_playerFleet;
    delete m_enemyFleet;
    m_playerFleet = nullptr;
    m_enemyFleet = nullptr;
    m_playerRace = nullptr;
    m_enemyRace = nullptr;
    GetLiveShips().clear();
    m_started = 0;
}

void SIM_Battle::Update()
{
    if (!m_started || !m_playerFleet || !m_enemyFleet)
        return;
    const SIM_BattleClock& clock = SIM_BattleClock::GetInstance();
    const float frameTime = clock.scaledFrameTime;

    m_timeSinceLastKill += frameTime;
    m_sampleAccumulator += frameTime;
    // The strength graph ends with the battle.
    if (!m_ended && m_sampleAccumulator > kSampleInterval) {
        m_sampleAccumulator -= kSampleInterval;
        SampleStrengths();
    }

    SIM_RetreatManager::GetInstance().Update();

    if (m_ended)
        return;
    if (m_survival) {
        SIM_SurvivalMode::GetInstance().Update();
        return;
    }
    if (IsRetreatUnderWay())
        return;

    const bool playerBeaten = m_playerFleet->IsBeaten();
    const bool enemyBeaten = m_enemyFleet->IsBeaten();
    if (!playerBeaten && !enemyBeaten) {
        CheckEnd();
        return;
    }
    if (enemyBeaten)
        Victory();
    else
        Defeat();
}

bool SIM_Battle::IsRetreatUnderWay() const
{
    return SIM_RetreatManager::GetInstance().IsActive();
}

void SIM_Battle::CheckEnd()
{
    if (!m_playerFleet || !m_enemyFleet)
        return;
    const float p = m_playerFleet->GetStrengthFraction();
    const float e = m_enemyFleet->GetStrengthFraction();

    if (m_timeSinceLastKill > kStalemateTime) {
        if (e > p && RatioBelow(p, e, 0.5f)) {
            Defeat();
            return;
        }
        if (p > e && RatioBelow(e, p, 0.5f)) {
            Victory();
            return;
        }
    }
    if (m_playerFleet->HasOnlyFighters() && RatioBelow(p, e, 0.5f)) {
        Defeat();
        return;
    }
    if (m_enemyFleet->HasOnlyFighters() && RatioBelow(e, p, 0.5f))
        Victory();
}

void SIM_Battle::PlayResultMusic(const char* file)
{
    // Stops the music and plays the track once at music volume.
    if (SIM_SoundSink* sounds = SIM_BattleClock::GetInstance().GetSounds())
        sounds->PlayMusicOnce(file);
}

void SIM_Battle::MarkScenarioBeaten()
{
    SIM_ScenarioScore* record = Scores().GetScenarioRecord(m_scenario->GetName());
    QLM_ASSERT(record);
    const int d = DifficultyIndex(m_scenario);
    if (record && !record->beaten[d]) {
        record->beaten[d] = true;
        Scores().SaveHighScores();
    }
}

void SIM_Battle::Victory()
{
    m_lost = WON;
    if (m_scenario)
        if (SIM_MetricsSink* metrics = Metrics())
            metrics->SetEventFlag(m_scenario->GetName() + "_won");
    PlayResultMusic("data/sounds/music/victory.ogg");

    if (m_scenario) {
        // A custom scenario is the player's own (its enemy may be a default
        // fleet of any size): winning it earns no unlock points, as a
        // challenge earns none.
        AwardPoints(!IsOnlineChallenge(m_scenario) && !m_scenario->IsCustom());
        // Settled before the report opens: what the player sends from it
        // follows the victory, and a game closed from it has counted it.
        if (IsOnlineChallenge(m_scenario))
            if (SIM_ChallengeReportSink* reports = SIM_ChallengeReportSink::Get())
                reports->ReportVictory(m_scenario->GetChallengeId());
    }
    EndBattle();
}

void SIM_Battle::Defeat()
{
    if (m_scenario)
        if (SIM_MetricsSink* metrics = Metrics())
            metrics->SetEventFlag(m_scenario->GetName() + "_lost");
    m_lost = LOST;
    PlayResultMusic("data/sounds/music/defeat.ogg");
    RecordSurvivalScore();
    EndBattle();
}

int32_t SIM_Battle::GetBestSurvivalScore()
{
    const SIM_ScenarioScore* record = m_scenario ? Scores().GetScenarioRecord(m_scenario->GetName()) : nullptr;
    return record ? record->bestSurvivalScore : 0;
}

void SIM_Battle::RecordSurvivalScore()
{
    if (!m_survival || m_fromCampaign || !m_scenario || m_ended)
        return;
    const int32_t score = SIM_SurvivalMode::GetInstance().GetScore();
    SIM_ScenarioScore* record = Scores().GetScenarioRecord(m_scenario->GetName());
    if (record && score > record->bestSurvivalScore) {
        record->bestSurvivalScore = score;
        Scores().SaveHighScores();
    }
}

void SIM_Battle::AwardPoints(bool earns)
{
    m_pointsEarned = 0;
    if (!m_scenario)
        return;
    // The budget left is the win's honour; beyond 64 bits' reach it cannot be.
    float left = 0.0f;
    if (m_playerDeployed)
        left = static_cast<float>(m_scenario->GetFleetCostLimit()) - m_playerDeployed->GetTotalCost();
    const int64_t honour = std::isfinite(left) ? static_cast<int64_t>(std::clamp(left, -1e18f, 1e18f)) : 0;
    m_pointsEarned = Scores().RecordWin(m_scenario->GetName(), DifficultyIndex(m_scenario),
                                        earns && m_playerDeployed, honour);
}

void SIM_Battle::SampleStrengths()
{
    if (!m_playerFleet || !m_enemyFleet)
        return;
    const float p = m_playerFleet->GetCurrentStrength();
    const float e = m_enemyFleet->GetCurrentStrength();
    SIM_StatsDatabase::GetInstance().AddSample(p > 0.0f ? static_cast<uint32_t>(p) : 0u,
                                               e > 0.0f ? static_cast<uint32_t>(e) : 0u,
                                               SIM_BattleClock::GetInstance().battleTime);
}

void SIM_Battle::EndBattle()
{
    // The graph's last sample is the strength the battle ended on (what the
    // score boxes keep showing), not one taken up to a sample interval before.
    SIM_BattleClock& clock = SIM_BattleClock::GetInstance();
    if (!m_ended) {
        SampleStrengths();
        m_endTime = clock.battleTime;
    }
    clock.shipPicking = 1;
    clock.battleSpeed = 1.0f;
    m_ended = 1;
    clock.NotifyBattleEnded();
}

void SIM_Battle::RecordOutcome()
{
    if (!m_scenario)
        return;
    if (m_scenario->GetType() == SIM_Scenario::TUTORIAL) {
        // A tutorial counts as beaten whatever the outcome.
        MarkScenarioBeaten();
    }
}

bool StartBattleFromDeploymentFile(SIM_Scenario* scenario, const std::string& playerFleetFile, int difficulty)
{
    // The battle keeps pointers to these until the next battle.
    static SIM_DeployedFleet player;
    static SIM_DeployedFleet enemy;
    if (!scenario) {
        LOG_ERROR("No scenario for the battle");
        return false;
    }
    if (difficulty < SIM_Scenario::EASY || difficulty > SIM_Scenario::HARD) {
        LOG_ERROR("Unknown difficulty for the battle: " + std::to_string(difficulty));
        return false;
    }
    SIM_Battle& battle = SIM_Battle::GetInstance();
    // The old battle's ships go before the fleets they were built from change.
    battle.Clear();
    scenario->SetDifficulty(difficulty);
    if (!player.LoadForRace(playerFleetFile, scenario, std::string()) || player.GetShips().empty()) {
        LOG_ERROR("Player fleet could not be read or is empty: " + playerFleetFile);
        return false;
    }
    enemy.Clear();
    return battle.Start(scenario, &player, &enemy, false);
}

bool StartSeededBattleFromDeploymentFile(SIM_Scenario* scenario, const std::string& playerFleetFile,
                                         int difficulty, uint64_t seed)
{
    SeedBattle(seed);
    SIM_BattleClock::GetInstance().ResetForBattle();
    return StartBattleFromDeploymentFile(scenario, playerFleetFile, difficulty);
}

void SeedBattle(uint64_t seed)
{
    SIM_Battle::GetInstance();
    QlmSrand(seed);
}

void RunHeadlessBattleFrame(float scaledMs)
{
    SIM_BattleStep::Step(scaledMs);
}
