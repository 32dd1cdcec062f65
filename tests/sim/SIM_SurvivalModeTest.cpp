#include "sim/SIM_SurvivalMode.h"

#include "ShippedBattleWorld.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_SurvivalScoreSink.h"
#include "sim/SIM_Ship.h"
#include "sim/ShipUpdateScheduler.h"
#include "support/ErrorLog.h"

#include <gtest/gtest.h>

namespace {
const char* const kSampleFleet = "data/sample deployment/deployed.txt";

class SurvivalTest : public ::testing::Test {
protected:
    SIM_Battle& Battle() { return SIM_Battle::GetInstance(); }
    SIM_SurvivalMode& Mode() { return SIM_SurvivalMode::GetInstance(); }
    SIM_Fleet& Enemy() { return *Battle().GetEnemyFleet(); }

    void Frame(float ms)
    {
        GUI_BattleGUI::GetInstance().SetFrameTime(ms);
        Battle().Update();
    }
    void DestroyAll(SIM_Fleet& fleet)
    {
        for (SIM_Ship* ship : fleet.GetAllShips())
            ship->state = SIM_Ship::DESTROYED;
        fleet.OnShipKilled();
    }
    static size_t Scheduled()
    {
        size_t n = 0;
        for (int i = 0; i < ShipUpdateScheduler::kBuckets; ++i)
            n += ShipUpdateScheduler::GetInstance().GetBucket(i).ships.size();
        return n;
    }
    // Ships a wave file brings (squadrons count each fighter).
    static size_t ShipsIn(const char* waveFile)
    {
        SIM_DeployedFleet fleet;
        EXPECT_TRUE(fleet.Load(std::string("data/deployments/survival1/") + waveFile, nullptr, false));
        return static_cast<size_t>(fleet.GetTotalShips());
    }

    ShippedBattleWorld world;
};

struct RecordingSink : SIM_SurvivalScoreSink {
    bool SubmitSurvivalScore(const std::string& scenario, const std::string& race, int score) override
    {
        sent.push_back(scenario + "/" + race + "/" + std::to_string(score));
        return accept;
    }
    std::vector<std::string> sent;
    bool accept = true;
};

struct CountingObserver : SIM_SurvivalMode::WaveObserver {
    void WaveArrived() override { ++arrived; }
    int arrived = 0;
};
} // namespace

TEST_F(SurvivalTest, TheScoreGoesToTheSinkAndEveryArrivedWaveIsToldToTheWindow)
{
    ASSERT_TRUE(StartBattleFromDeploymentFile(SIM_Scenario::FindByName("survival1"), kSampleFleet,
                                              SIM_Scenario::EASY));
    Mode().AddScore(1234.9f);
    // Nowhere to send it: said, not pretended.
    EXPECT_FALSE(Mode().SubmitScore());
    RecordingSink sink;
    SIM_SurvivalScoreSink::Install(&sink);
    EXPECT_TRUE(Mode().SubmitScore());
    sink.accept = false;
    EXPECT_FALSE(Mode().SubmitScore());
    SIM_SurvivalScoreSink::Install(nullptr);
    const std::string expected = "survival1/" + SIM_Options::GetInstance().GetRaceName() + "/1234";
    EXPECT_EQ(sink.sent, (std::vector<std::string>{expected, expected}));

    CountingObserver window;
    Mode().SetWaveObserver(&window);
    DestroyAll(Enemy());
    Frame(10.0f);
    EXPECT_EQ(Mode().GetWavesSent(), 1);
    EXPECT_EQ(window.arrived, 1);
    Frame(10.0f);
    EXPECT_EQ(window.arrived, 1) << "the new wave holds the line above the threshold";
    Mode().SetWaveObserver(nullptr);
    Mode().NextWave();
    EXPECT_EQ(window.arrived, 1) << "a closed window is not told";
}

TEST_F(SurvivalTest, Survival1StartsWithItsFirstWaveAndTheNextArrivesWhenTheEnemyIsWornDown)
{
    SIM_Scenario* survival = SIM_Scenario::FindByName("survival1");
    ASSERT_NE(survival, nullptr);
    ASSERT_TRUE(StartBattleFromDeploymentFile(survival, kSampleFleet, SIM_Scenario::EASY));
    ASSERT_EQ(Mode().GetWaves().size(), 4u);
    EXPECT_EQ(Mode().GetWaves()[1].name, "wave_patrol.txt");
    EXPECT_EQ(Mode().GetWaves()[2].name, "wave_escort.txt");
    EXPECT_FLOAT_EQ(Mode().GetWaves()[3].threshold, 300.0f);
    EXPECT_EQ(Mode().GetCurrentWaveIndex(), 0u);
    EXPECT_FLOAT_EQ(Mode().GetNextWaveThreshold(), 300.0f);
    // Whatever the difficulty, the first wave's fleet.
    const size_t first = ShipsIn("wave_patrol.txt");
    ASSERT_EQ(Enemy().GetAllShips().size(), first);
    ASSERT_GT(Enemy().GetCurrentStrength(), 300.0f);

    Frame(10.0f);
    EXPECT_EQ(Mode().GetWavesSent(), 0);

    // Worn down below the threshold: the second patrol joins the enemy fleet
    // and the schedule, and the battle goes on (a survival has no victory).
    const size_t scheduledBefore = Scheduled();
    DestroyAll(Enemy());
    Frame(10.0f);
    EXPECT_EQ(Mode().GetWavesSent(), 1);
    EXPECT_EQ(Mode().GetCurrentWaveIndex(), 1u);
    EXPECT_FLOAT_EQ(Mode().GetNextWaveThreshold(), 300.0f);
    const size_t second = ShipsIn("wave_patrol.txt");
    EXPECT_EQ(Enemy().GetAllShips().size(), first + second);
    EXPECT_EQ(Scheduled(), scheduledBefore + second);
    EXPECT_GT(Enemy().GetCurrentStrength(), 300.0f);
    EXPECT_FALSE(Battle().IsEnded());

    // A fight that stalls for three minutes of battle time brings the next
    // wave too; after the last the list starts over, 80 % harder.
    Battle().ResetTimeSinceLastKill();
    Frame(SIM_SurvivalMode::kStallTime);
    EXPECT_EQ(Mode().GetWavesSent(), 1) << "exactly the stall time is not yet a stall";
    Frame(1.0f);
    EXPECT_EQ(Mode().GetCurrentWaveIndex(), 2u);
    EXPECT_FLOAT_EQ(Battle().GetTimeSinceLastKill(), 0.0f);
    Frame(SIM_SurvivalMode::kStallTime + 1.0f);
    EXPECT_EQ(Mode().GetCurrentWaveIndex(), 3u);
    EXPECT_FLOAT_EQ(Mode().GetDifficultyRamp(), 0.0f) << "not before the list starts over";
    Frame(SIM_SurvivalMode::kStallTime + 1.0f);
    EXPECT_EQ(Mode().GetCurrentWaveIndex(), 0u);
    EXPECT_FLOAT_EQ(Mode().GetDifficultyRamp(), 0.2f);
    EXPECT_FLOAT_EQ(Mode().GetNextWaveThreshold(), 300.0f * 1.8f);
    EXPECT_EQ(Mode().GetWavesSent(), 4);

    // Score: the cost of enemy ships destroyed, until the end.
    SIM_Ship* victim = Enemy().GetAllShips().back();
    ASSERT_NE(victim->state, static_cast<unsigned int>(SIM_Ship::DESTROYED));
    const int32_t score = Mode().GetScore();
    victim->Kill();
    EXPECT_EQ(Mode().GetScore(), score + static_cast<int32_t>(victim->design->GetCost()));

    DestroyAll(*Battle().GetPlayerFleet());
    Frame(10.0f);
    EXPECT_TRUE(Battle().IsEnded());
    EXPECT_EQ(Battle().GetLost(), SIM_Battle::LOST);
    Mode().AddScore(500.0f);
    EXPECT_EQ(Mode().GetScore(), score + static_cast<int32_t>(victim->design->GetCost()));
}

TEST_F(SurvivalTest, WithoutWavesNoWaveComesAndThatIsSaidOnce)
{
    ScopedErrorLog log;
    TempDir dir;
    EXPECT_FALSE(Mode().LoadWaves(dir.Write("waves.txt", "[waves]\nwave0 = ,400\n")));
    EXPECT_EQ(log.Count("wave wave0 names no fleet file"), 1);
    EXPECT_EQ(log.Count("No survival waves in"), 1);
    for (int i = 0; i < 5; ++i)
        Mode().NextWave();
    EXPECT_EQ(Mode().GetWavesSent(), 0);
    EXPECT_EQ(log.Count("Failed to find current wave"), 1);
    // Without a wave there is no enemy file to read (never a made-up name).
    EXPECT_EQ(SIM_Scenario::FindByName("survival1")->GetEnemyFleetPath(), "");
}

TEST_F(SurvivalTest, AnEmptyOrMissingWavesFileGivesNoWavesAndOneLine)
{
    TempDir dir;
    for (const std::string& path : {dir.Write("empty.txt", ""), dir.Path() + "/missing.txt"}) {
        ScopedErrorLog log;
        EXPECT_FALSE(Mode().LoadWaves(path));
        EXPECT_TRUE(Mode().GetWaves().empty());
        EXPECT_EQ(Mode().GetCurrentWaveIndex(), 0u);
        EXPECT_FLOAT_EQ(Mode().GetNextWaveThreshold(), 0.0f);
        EXPECT_EQ(log.Lines(), 1) << path;
    }
}
