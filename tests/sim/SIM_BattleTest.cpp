#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "ShippedBattleWorld.h"
#include "sim/SIM_ChallengeReportSink.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipGrid.h"
#include "sim/SIM_StatsDatabase.h"
#include "sim/ShipUpdateScheduler.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_ArmourModule.h"
#include "sim/modules/SIM_BeamWeaponModule.h"
#include "sim/modules/SIM_ShieldModule.h"

namespace {
const char* const kSampleFleet = "data/sample deployment/deployed.txt";

class BattleTest : public ::testing::Test {
protected:
    SIM_Battle& Battle() { return SIM_Battle::GetInstance(); }
    SIM_Scenario* Scenario(const char* name = "scenario1")
    {
        SIM_Scenario* s = SIM_Scenario::FindByName(name);
        EXPECT_NE(s, nullptr);
        return s;
    }

    // Both sides given directly (as the campaign does), so tests choose them.
    bool StartCustom(SIM_Scenario* scenario)
    {
        return Battle().Start(scenario, &player, &enemy, true);
    }

    static void Destroy(SIM_Fleet* fleet, size_t count)
    {
        for (size_t i = 0; i < count && i < fleet->GetAllShips().size(); ++i)
            fleet->GetAllShips()[i]->state = SIM_Ship::DESTROYED;
        fleet->OnShipKilled();
    }

    void Frame(float ms)
    {
        GUI_BattleGUI::GetInstance().SetFrameTime(ms);
        Battle().Update();
    }

    ShippedBattleWorld world;
    SIM_DeployedFleet player;
    SIM_DeployedFleet enemy;
};
} // namespace

TEST_F(BattleTest, SetUpBuildsZonesFleetsAndSchedule)
{
    SIM_Scenario* scenario = Scenario();
    ASSERT_TRUE(StartBattleFromDeploymentFile(scenario, kSampleFleet, SIM_Scenario::EASY));
    SIM_Battle& b = Battle();
    EXPECT_TRUE(b.IsStarted());
    EXPECT_FALSE(b.IsEnded());
    EXPECT_EQ(b.GetLost(), SIM_Battle::LOST);

    const SIM_Fleet::Zone& pz = b.GetPlayerFleet()->GetZone();
    EXPECT_EQ(pz.left, 32);
    EXPECT_EQ(pz.top, 32);
    EXPECT_EQ(pz.right, 128);
    EXPECT_EQ(pz.bottom, 1800 - 32);
    const SIM_Fleet::Zone& ez = b.GetEnemyFleet()->GetZone();
    EXPECT_EQ(ez.left, 2400 - 128);
    EXPECT_EQ(ez.right, 2400 - 32);
    EXPECT_EQ(ez.bottom, 1800 - 32);

    // Sample fleet: two frigates and three interceptors; easy AI: one cruiser,
    // one frigate and a pair of interceptors.
    EXPECT_EQ(b.GetPlayerFleet()->GetAllShips().size(), 5u);
    EXPECT_EQ(b.GetPlayerFleet()->GetSquadrons().size(), 1u);
    EXPECT_EQ(b.GetEnemyFleet()->GetAllShips().size(), 4u);
    EXPECT_EQ(b.GetPlayerFleet()->GetOpponent(), b.GetEnemyFleet());
    EXPECT_EQ(b.GetEnemyFleet()->GetOpponent(), b.GetPlayerFleet());
    ASSERT_NE(b.GetPlayerRace(), nullptr);
    ASSERT_NE(b.GetEnemyRace(), nullptr);
    EXPECT_EQ(b.GetPlayerRace()->GetName(), "federation");
    EXPECT_EQ(b.GetEnemyRace()->GetName(), "korrath");
    EXPECT_FALSE(b.GetPlayerFleet()->IsBeaten());

    size_t scheduled = 0;
    for (int i = 0; i < ShipUpdateScheduler::kBuckets; ++i)
        scheduled += ShipUpdateScheduler::GetInstance().GetBucket(i).ships.size();
    EXPECT_EQ(scheduled, 9u);
    EXPECT_EQ(GetLiveShips().size(), 9u);
    EXPECT_TRUE(SIM_StatsDatabase::GetInstance().GetEvents().empty());
    EXPECT_FALSE(GUI_BattleGUI::GetInstance().generalRetreat);
}

TEST_F(BattleTest, HarderDifficultiesReadTheirOwnFleet)
{
    ASSERT_TRUE(StartBattleFromDeploymentFile(Scenario(), kSampleFleet, SIM_Scenario::HARD));
    // Hard: four single ships; easy: three records, one a pair of fighters.
    EXPECT_TRUE(Battle().GetEnemyFleet()->GetSquadrons().empty());
    const float hardCost = Battle().GetEnemyFleet()->GetTotalCost();
    ASSERT_TRUE(StartBattleFromDeploymentFile(Scenario(), kSampleFleet, SIM_Scenario::EASY));
    EXPECT_EQ(Battle().GetEnemyFleet()->GetSquadrons().size(), 1u);
    EXPECT_GT(hardCost, Battle().GetEnemyFleet()->GetTotalCost());
    EXPECT_FALSE(StartBattleFromDeploymentFile(Scenario(), kSampleFleet, 3));
    EXPECT_FALSE(StartBattleFromDeploymentFile(Scenario(), "data/no such fleet.txt", 0));
    EXPECT_FALSE(StartBattleFromDeploymentFile(nullptr, kSampleFleet, 0));
}

TEST_F(BattleTest, BattleWithoutEnemiesOrScenarioIsRefused)
{
    ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_gunboat", 300, 300));
    EXPECT_FALSE(StartCustom(Scenario()));
    EXPECT_FALSE(Battle().IsStarted());
    EXPECT_EQ(Battle().GetPlayerFleet(), nullptr);
    EXPECT_TRUE(GetLiveShips().empty());

    EXPECT_FALSE(Battle().Start(nullptr, &player, &enemy, true));
    EXPECT_FALSE(Battle().Start(Scenario(), nullptr, &enemy, true));
    EXPECT_FALSE(Battle().IsStarted());
}

TEST_F(BattleTest, PlayerWithoutShipsHasNoRaceAndIsRefused)
{
    ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_gunboat", 2000, 300));
    EXPECT_FALSE(StartCustom(Scenario()));
    EXPECT_FALSE(Battle().IsStarted());
    // A refused battle leaves nothing running: updates are harmless.
    Frame(100.0f);
    EXPECT_FALSE(Battle().IsEnded());
}

TEST_F(BattleTest, BothBeatenInOneFrameIsAVictory)
{
    ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_gunboat", 300, 300));
    ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_gunboat", 2000, 300));
    ASSERT_TRUE(StartCustom(Scenario()));
    Destroy(Battle().GetPlayerFleet(), 1);
    Destroy(Battle().GetEnemyFleet(), 1);
    Frame(10.0f);
    EXPECT_TRUE(Battle().IsEnded());
    EXPECT_EQ(Battle().GetLost(), SIM_Battle::WON);
    EXPECT_EQ(world.Metrics().GetEventCount("scenario1_won"), 1);
    EXPECT_EQ(GUI_BattleGUI::GetInstance().shipPicking, 1);
    EXPECT_FLOAT_EQ(GUI_BattleGUI::GetInstance().battleSpeed, 1.0f);
}

TEST_F(BattleTest, DefeatWritesNoScores)
{
    ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_gunboat", 300, 300));
    ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_gunboat", 2000, 300));
    ASSERT_TRUE(StartCustom(Scenario()));
    Destroy(Battle().GetPlayerFleet(), 1);
    Frame(10.0f);
    EXPECT_TRUE(Battle().IsEnded());
    EXPECT_EQ(Battle().GetLost(), SIM_Battle::LOST);
    EXPECT_EQ(world.Metrics().GetEventCount("scenario1_lost"), 1);
    EXPECT_EQ(world.Scores().GetPoints(), 0);
    const SIM_ScenarioScore* record = world.Scores().GetScenarioRecord("scenario1");
    ASSERT_NE(record, nullptr);
    EXPECT_FALSE(record->IsBeatenAtAll());
    // Ended battles stay ended.
    Frame(10.0f);
    EXPECT_EQ(Battle().GetLost(), SIM_Battle::LOST);
}

TEST_F(BattleTest, StalemateFavoursTheSideMoreThanTwiceAsStrong)
{
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_gunboat", 300, 300.0f + 100.0f * static_cast<float>(i)));
    ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_gunboat", 2000, 300));
    ASSERT_TRUE(StartCustom(Scenario()));
    Destroy(Battle().GetPlayerFleet(), 2); // a third left against all
    Frame(60000.0f);
    EXPECT_FALSE(Battle().IsEnded()); // not yet more than a minute
    Frame(1.0f);
    EXPECT_TRUE(Battle().IsEnded());
    EXPECT_EQ(Battle().GetLost(), SIM_Battle::LOST);
}

TEST_F(BattleTest, StalemateWinForThePlayer)
{
    ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_gunboat", 300, 300));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_gunboat", 2000, 300.0f + 100.0f * static_cast<float>(i)));
    ASSERT_TRUE(StartCustom(Scenario()));
    Destroy(Battle().GetEnemyFleet(), 2);
    Frame(60001.0f);
    EXPECT_TRUE(Battle().IsEnded());
    EXPECT_EQ(Battle().GetLost(), SIM_Battle::WON);
}

TEST_F(BattleTest, StalemateNeedsLessThanHalfExactlyHalfHoldsOn)
{
    for (bool playerWeaker : {true, false}) {
        SIM_DeployedFleet& weaker = playerWeaker ? player : enemy;
        SIM_DeployedFleet& stronger = playerWeaker ? enemy : player;
        weaker.Clear();
        stronger.Clear();
        for (int i = 0; i < 2; ++i)
            ASSERT_TRUE(ShippedBattleWorld::Add(weaker, "fed_ai_gunboat", 300, 300.0f + 100.0f * static_cast<float>(i)));
        ASSERT_TRUE(ShippedBattleWorld::Add(stronger, "fed_ai_gunboat", 2000, 300));
        ASSERT_TRUE(StartCustom(Scenario()));
        SIM_Fleet* fleet = playerWeaker ? Battle().GetPlayerFleet() : Battle().GetEnemyFleet();
        Destroy(fleet, 1);
        ASSERT_FLOAT_EQ(fleet->GetStrengthFraction(), 0.5f);
        Frame(60001.0f);
        EXPECT_FALSE(Battle().IsEnded()) << "half the other side's strength is no stalemate yet";
        // A hair under half.
        SIM_Ship* survivor = fleet->GetAllShips()[1];
        survivor->startingHitPoints = std::nextafter(survivor->startingHitPoints, 0.0f);
        fleet->OnShipKilled();
        Frame(1.0f);
        EXPECT_TRUE(Battle().IsEnded());
        EXPECT_EQ(Battle().GetLost(), playerWeaker ? SIM_Battle::LOST : SIM_Battle::WON);
        Battle().Clear();
    }
}

TEST_F(BattleTest, EqualStrengthNeverEndsByStalemate)
{
    ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_gunboat", 300, 300));
    ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "fed_ai_gunboat", 2000, 300));
    ASSERT_TRUE(StartCustom(Scenario()));
    for (int i = 0; i < 10; ++i)
        Frame(30000.0f);
    EXPECT_FALSE(Battle().IsEnded());
    EXPECT_GT(Battle().GetTimeSinceLastKill(), 60000.0f);
}

TEST_F(BattleTest, FightersOnlyLoseBelowHalfTheOtherSide)
{
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_interceptor", 300, 300.0f + 50.0f * static_cast<float>(i)));
    ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_gunboat", 2000, 300));
    ASSERT_TRUE(StartCustom(Scenario()));
    Frame(10.0f);
    EXPECT_FALSE(Battle().IsEnded()); // p = e = 1
    Destroy(Battle().GetPlayerFleet(), 1);
    Frame(10.0f);
    EXPECT_FALSE(Battle().IsEnded()); // 2/3 against 1
    Destroy(Battle().GetPlayerFleet(), 2);
    Frame(10.0f);
    EXPECT_TRUE(Battle().IsEnded()); // 1/3 against 1: no minute needed
    EXPECT_EQ(Battle().GetLost(), SIM_Battle::LOST);
}

TEST_F(BattleTest, FightersOnlyEndTheBattleJustBelowHalfTheOtherSideNotAtHalf)
{
    for (bool playerFighters : {true, false}) {
        SCOPED_TRACE(playerFighters);
        SIM_DeployedFleet& fighters = playerFighters ? player : enemy;
        SIM_DeployedFleet& other = playerFighters ? enemy : player;
        fighters.Clear();
        other.Clear();
        for (int i = 0; i < 2; ++i)
            ASSERT_TRUE(ShippedBattleWorld::Add(fighters, "fed_ai_interceptor", 300,
                                                300.0f + 50.0f * static_cast<float>(i)));
        ASSERT_TRUE(ShippedBattleWorld::Add(other, "kor_ai_gunboat", 2000, 300));
        ASSERT_TRUE(StartCustom(Scenario()));
        SIM_Fleet* fleet = playerFighters ? Battle().GetPlayerFleet() : Battle().GetEnemyFleet();
        Destroy(fleet, 1);
        ASSERT_FLOAT_EQ(fleet->GetStrengthFraction(), 0.5f);
        Frame(10.0f);
        EXPECT_FALSE(Battle().IsEnded()) << "exactly half holds on";
        SIM_Ship* survivor = fleet->GetAllShips()[1];
        survivor->startingHitPoints = std::nextafter(survivor->startingHitPoints, 0.0f);
        fleet->OnShipKilled();
        Frame(10.0f);
        EXPECT_TRUE(Battle().IsEnded()) << "no minute of stalemate needed";
        EXPECT_EQ(Battle().GetLost(), playerFighters ? SIM_Battle::LOST : SIM_Battle::WON);
        Battle().Clear();
    }
}

TEST_F(BattleTest, EnemyReducedToFightersLosesBelowHalf)
{
    ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_gunboat", 300, 300));
    ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_gunboat", 2000, 300));
    ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_interceptor", 2000, 600));
    ASSERT_TRUE(StartCustom(Scenario()));
    Destroy(Battle().GetEnemyFleet(), 1);
    Frame(10.0f);
    // The fighter alone holds well under half of what the enemy started with.
    ASSERT_LT(Battle().GetEnemyFleet()->GetStrengthFraction(), 0.5f);
    EXPECT_TRUE(Battle().IsEnded());
    EXPECT_EQ(Battle().GetLost(), SIM_Battle::WON);
}

TEST_F(BattleTest, VictoryAwardsOnlyTheImprovementOnBudget)
{
    SIM_Scenario* scenario = Scenario();
    ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_gunboat", 300, 300));
    ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_gunboat", 2000, 300));
    ASSERT_TRUE(StartCustom(scenario));
    Destroy(Battle().GetEnemyFleet(), 1);
    Frame(10.0f);
    ASSERT_EQ(Battle().GetLost(), SIM_Battle::WON);
    const int expected = static_cast<int>(static_cast<float>(scenario->GetFleetCostLimit()) - player.GetTotalCost());
    ASSERT_GT(expected, 0);
    EXPECT_EQ(Battle().GetPointsEarned(), expected);
    EXPECT_EQ(world.Scores().GetPoints(), expected);
    SIM_ScenarioScore* record = world.Scores().GetScenarioRecord("scenario1");
    ASSERT_NE(record, nullptr);
    EXPECT_TRUE(record->beaten[0]);
    EXPECT_FALSE(record->beaten[1]);
    EXPECT_EQ(record->highestHonour[0], expected);

    // A costlier fleet wins again: nothing earned, best score kept.
    ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_gunboat", 300, 600));
    ASSERT_TRUE(StartCustom(scenario));
    Destroy(Battle().GetEnemyFleet(), 1);
    Frame(10.0f);
    ASSERT_EQ(Battle().GetLost(), SIM_Battle::WON);
    EXPECT_EQ(Battle().GetPointsEarned(), 0);
    EXPECT_EQ(world.Scores().GetPoints(), expected);
    EXPECT_EQ(world.Scores().GetScenarioRecord("scenario1")->highestHonour[0], expected);
}

TEST_F(BattleTest, ACustomScenarioWonEarnsNoUnlockPoints)
{
    SIM_Scenario* scenario = Scenario();
    scenario->SetCustom(true);
    ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_gunboat", 300, 300));
    ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_gunboat", 2000, 300));
    ASSERT_TRUE(StartCustom(scenario));
    Destroy(Battle().GetEnemyFleet(), 1);
    Frame(10.0f);
    scenario->SetCustom(false);
    ASSERT_EQ(Battle().GetLost(), SIM_Battle::WON);
    ASSERT_GT(static_cast<float>(scenario->GetFleetCostLimit()) - player.GetTotalCost(), 0.0f)
        << "a shipped scenario would have paid for this win";
    EXPECT_EQ(Battle().GetPointsEarned(), 0);
    EXPECT_EQ(world.Scores().GetPoints(), 0);
    SIM_ScenarioScore* record = world.Scores().GetScenarioRecord("scenario1");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->highestHonour[0], 0) << "nor does it raise the best budget a later win is measured against";
}

TEST_F(BattleTest, OnlineChallengesEarnNoPointsAndReportTheirAttemptAndVictory)
{
    struct Reports : SIM_ChallengeReportSink {
        std::vector<std::string> attempts, victories;
        void ReportAttempt(const std::string& id) override { attempts.push_back(id); }
        void ReportVictory(const std::string& id) override { victories.push_back(id); }
    } reports;
    SIM_ChallengeReportSink::Install(&reports);
    SIM_Scenario* scenario = Scenario();
    scenario->SetChallengeFleet(true);
    scenario->SetChallengeFile("c42");
    ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_gunboat", 300, 300));
    ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_gunboat", 2000, 300));
    ASSERT_TRUE(Battle().Start(scenario, &player, &enemy, false));
    EXPECT_EQ(reports.attempts, std::vector<std::string>{"c42"});
    EXPECT_TRUE(reports.victories.empty());
    Destroy(Battle().GetEnemyFleet(), 1);
    Frame(10.0f);
    EXPECT_EQ(Battle().GetLost(), SIM_Battle::WON);
    EXPECT_EQ(Battle().GetPointsEarned(), 0);
    EXPECT_EQ(world.Scores().GetPoints(), 0);
    // Reported as the battle ends, before anything the result box offers;
    // leaving the battle screen later does not report it again.
    EXPECT_EQ(reports.victories, std::vector<std::string>{"c42"});
    Frame(10.0f);
    Battle().RecordOutcome();
    EXPECT_EQ(reports.victories, std::vector<std::string>{"c42"});
    SIM_ChallengeReportSink::Install(nullptr);
    scenario->SetChallengeFile("");
    scenario->SetChallengeFleet(false);
}

TEST_F(BattleTest, TutorialCountsAsBeatenWhateverTheOutcome)
{
    SIM_Scenario* tutorial = Scenario("tutorial1");
    ASSERT_NE(tutorial, nullptr);
    ASSERT_EQ(tutorial->GetType(), SIM_Scenario::TUTORIAL);
    ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_gunboat", 300, 300));
    ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_gunboat", 1000, 300));
    ASSERT_TRUE(StartCustom(tutorial));
    Destroy(Battle().GetPlayerFleet(), 1);
    Frame(10.0f);
    ASSERT_EQ(Battle().GetLost(), SIM_Battle::LOST);
    Battle().RecordOutcome();
    EXPECT_TRUE(world.Scores().GetScenarioRecord("tutorial1")->beaten[tutorial->GetDifficulty()]);
}

TEST_F(BattleTest, TenSecondsHoldNinetyNineOrOneHundredSamples)
{
    ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_gunboat", 300, 300));
    ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_gunboat", 2000, 300));
    ASSERT_TRUE(StartCustom(Scenario()));
    for (int i = 0; i < 600; ++i)
        Frame(10000.0f / 600.0f);
    const auto& samples = SIM_StatsDatabase::GetInstance().GetSamples();
    EXPECT_GE(samples.size(), 99u);
    EXPECT_LE(samples.size(), 100u);
    ASSERT_FALSE(samples.empty());
    EXPECT_EQ(samples.front().playerStrength,
              static_cast<uint32_t>(Battle().GetPlayerFleet()->GetCurrentStrength()));
    EXPECT_LT(samples.front().time, samples.back().time);
}

TEST_F(BattleTest, KillResetsTheTimeSinceTheLastKillAndShipsOutliveRemoval)
{
    ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_gunboat", 300, 300));
    ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_interceptor", 2000, 300));
    ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_gunboat", 2000, 900));
    ASSERT_TRUE(StartCustom(Scenario()));
    Frame(30000.0f);
    EXPECT_FLOAT_EQ(Battle().GetTimeSinceLastKill(), 30000.0f);
    SIM_Ship* victim = Battle().GetEnemyFleet()->GetAllShips()[0];
    victim->Kill();
    EXPECT_FLOAT_EQ(Battle().GetTimeSinceLastKill(), 0.0f);
    RunHeadlessBattleFrame(10.0f);
    // Out of the world, still owned by its fleet.
    const auto& live = Battle().GetEnemyFleet()->GetLiveShips();
    EXPECT_EQ(std::count(live.begin(), live.end(), victim), 0);
    EXPECT_EQ(Battle().GetEnemyFleet()->GetAllShips()[0], victim);
    EXPECT_EQ(victim->state, static_cast<unsigned int>(SIM_Ship::DESTROYED));
}

TEST_F(BattleTest, ShippedLasersGetThroughLightArmourAndShieldsRechargeSlowly)
{
    // Armour deflects shots whose penetration is below the ship's armour
    // average (plates over module count): lasers must beat standard fighter
    // and frigate plates, and a generator must not refill itself in one think.
    ASSERT_TRUE(StartBattleFromDeploymentFile(Scenario(), kSampleFleet, SIM_Scenario::HARD));
    std::vector<const SIM_BeamWeaponModule*> beams;
    std::vector<const SIM_Ship*> lightShips;
    for (SIM_Fleet* fleet : {Battle().GetPlayerFleet(), Battle().GetEnemyFleet()}) {
        for (const SIM_Ship* ship : fleet->GetAllShips()) {
            // Standard plates only: heavy plates are meant to stop lasers.
            const auto& plates = ship->GetArmourModules();
            const bool standard = !plates.empty() && std::all_of(plates.begin(), plates.end(), [](const auto* p) {
                const std::string& name = p->GetType()->GetName();
                return name == "fighter_armour" || name == "frigate_armour";
            });
            if (standard)
                lightShips.push_back(ship);
            for (const SIM_ShipModule* m : ship->GetModules()) {
                if (const auto* beam = dynamic_cast<const SIM_BeamWeaponModule*>(m))
                    beams.push_back(beam);
                if (const auto* gen = dynamic_cast<const SIM_ShieldModule*>(m)) {
                    EXPECT_LT(gen->rechargeRate * 200.0f, gen->maxPoints * 0.05f) << ship->name;
                }
            }
        }
    }
    ASSERT_FALSE(beams.empty());
    ASSERT_FALSE(lightShips.empty());
    for (const SIM_BeamWeaponModule* beam : beams)
        for (const SIM_Ship* ship : lightShips)
            EXPECT_GE(beam->armourPenetration, ship->armourAverage) << ship->name;
}

// ---- Whole battles on the shipped data, stepped at fixed frame times ----

namespace {
struct EventLine {
    float time;
    int target;
    int attacker;
    float damage, blocked, absorbed, deflected, armour, modules;
    bool operator==(const EventLine& o) const
    {
        return time == o.time && target == o.target && attacker == o.attacker && damage == o.damage &&
               blocked == o.blocked && absorbed == o.absorbed && deflected == o.deflected && armour == o.armour &&
               modules == o.modules;
    }
};

int ShipKey(const SIM_Ship* ship)
{
    if (!ship)
        return -1;
    const bool enemy = ship->fleet == SIM_Battle::GetInstance().GetEnemyFleet();
    const auto& all = ship->fleet ? ship->fleet->GetAllShips() : std::vector<SIM_Ship*>();
    const auto it = std::find(all.begin(), all.end(), ship);
    return (enemy ? 1000 : 0) + static_cast<int>(it - all.begin());
}

struct BattleRun {
    bool ended = false;
    uint32_t lost = 0;
    float battleTime = 0.0f;
    SIM_HeadlessBattle::Totals totals;
    std::vector<EventLine> events;
};

// 1.5 frames of 16.67 ms at speed 4 (x0.4): 26.67 ms of battle time a frame.
BattleRun RunScenario(SIM_HeadlessBattle& headless, const std::string& scenario, int difficulty, uint64_t seed,
                      float limitMs)
{
    BattleRun run;
    if (!headless.Start(scenario, kSampleFleet, difficulty, seed))
        return run;
    run.ended = headless.Run(16.6666f * 4.0f * 0.4f, limitMs);
    run.lost = SIM_Battle::GetInstance().GetLost();
    run.battleTime = SIM_HeadlessBattle::BattleTime();
    run.totals = SIM_HeadlessBattle::CollectTotals();
    for (const SIM_DamageEvent& e : SIM_StatsDatabase::GetInstance().GetEvents()) {
        run.events.push_back(EventLine{e.time, ShipKey(e.target), ShipKey(e.attacker), e.damage, e.shieldBlocked,
                                       e.shieldAbsorbed, e.armourDeflected, e.armourAbsorbed, e.moduleDamage});
    }
    return run;
}

BattleRun RunScenario1(SIM_HeadlessBattle& headless, int difficulty, uint64_t seed, float limitMs)
{
    return RunScenario(headless, "scenario1", difficulty, seed, limitMs);
}

// Fifteen minutes of battle time: far more than a fight of these fleets takes.
constexpr float kBattleLimitMs = 15.0f * 60.0f * 1000.0f;
} // namespace

class HeadlessBattleTest : public BattleTest, public ::testing::WithParamInterface<int> {};

TEST_P(HeadlessBattleTest, Scenario1EndsWithAResult)
{
    for (uint64_t seed : {1u, 2u, 3u}) {
        const BattleRun run = RunScenario1(world.Headless(), GetParam(), seed, kBattleLimitMs);
        EXPECT_TRUE(run.ended) << "seed " << seed << " still running after " << run.battleTime << " ms";
        EXPECT_TRUE(run.lost == SIM_Battle::WON || run.lost == SIM_Battle::LOST) << "seed " << seed;
        EXPECT_FALSE(run.events.empty()) << "seed " << seed << ": nobody fired";
        // Weapons must get through shields and armour: a side lost ships to
        // damage that reached the modules.
        EXPECT_GT(run.totals.shipsLost[0] + run.totals.shipsLost[1], 0) << "seed " << seed;
        EXPECT_GT(run.totals.hullDamageDealt[0] + run.totals.hullDamageDealt[1], 100.0f) << "seed " << seed;
        EXPECT_GT(run.totals.shots[0], 0) << "seed " << seed;
        EXPECT_GT(run.totals.shots[1], 0) << "seed " << seed;
    }
}

INSTANTIATE_TEST_SUITE_P(Difficulties, HeadlessBattleTest,
                         ::testing::Values(SIM_Scenario::EASY, SIM_Scenario::MEDIUM, SIM_Scenario::HARD));

TEST_F(BattleTest, EveryShippedScenarioEndsOnEveryDifficultyAndReplaysItsSeed)
{
    std::vector<std::string> names;
    for (const SIM_Scenario* scenario : SIM_Scenario::GetList())
        names.push_back(scenario->GetName());
    ASSERT_GE(names.size(), 6u);
    for (const std::string& name : names) {
        for (int difficulty : {SIM_Scenario::EASY, SIM_Scenario::MEDIUM, SIM_Scenario::HARD}) {
            for (uint64_t seed : {11u, 12u}) {
                const BattleRun run = RunScenario(world.Headless(), name, difficulty, seed, kBattleLimitMs);
                const std::string where = name + " difficulty " + std::to_string(difficulty) + " seed " +
                                          std::to_string(seed);
                EXPECT_TRUE(run.ended) << where << " still running after " << run.battleTime << " ms";
                EXPECT_FALSE(run.events.empty()) << where << ": nobody fired";
                if (seed != 11u || difficulty != SIM_Scenario::HARD)
                    continue;
                const BattleRun again = RunScenario(world.Headless(), name, difficulty, seed, kBattleLimitMs);
                EXPECT_EQ(again.lost, run.lost) << where;
                EXPECT_EQ(again.battleTime, run.battleTime) << where;
                EXPECT_TRUE(again.events == run.events) << where << " replayed differently";
            }
        }
    }
}

TEST_F(BattleTest, WeaponClassTotalsAccountForEveryHitAndEveryLoss)
{
    const BattleRun run = RunScenario1(world.Headless(), SIM_Scenario::EASY, 5, kBattleLimitMs);
    ASSERT_TRUE(run.ended);
    int hits = 0, kills = 0;
    for (const SIM_HeadlessBattle::WeaponClassTotals& w : SIM_HeadlessBattle::CollectWeaponClassTotals()) {
        EXPECT_FALSE(w.className.empty());
        hits += w.hits;
        kills += w.kills;
    }
    int weaponEvents = 0;
    for (const SIM_DamageEvent& e : SIM_StatsDatabase::GetInstance().GetEvents())
        weaponEvents += (e.flag == 1 && e.weapon) ? 1 : 0;
    EXPECT_GT(hits, 0);
    EXPECT_EQ(hits, weaponEvents);
    EXPECT_EQ(kills, run.totals.shipsLost[0] + run.totals.shipsLost[1]);
}

TEST_F(BattleTest, SameSeedAndFramesReplayEventForEvent)
{
    const BattleRun first = RunScenario1(world.Headless(), SIM_Scenario::MEDIUM, 42, kBattleLimitMs);
    const BattleRun second = RunScenario1(world.Headless(), SIM_Scenario::MEDIUM, 42, kBattleLimitMs);
    ASSERT_FALSE(first.events.empty());
    EXPECT_EQ(first.lost, second.lost);
    EXPECT_FLOAT_EQ(first.battleTime, second.battleTime);
    ASSERT_EQ(first.events.size(), second.events.size());
    for (size_t i = 0; i < first.events.size(); ++i)
        ASSERT_TRUE(first.events[i] == second.events[i]) << "first difference at event " << i;
}

TEST_F(BattleTest, ClearFreesTheShipsAndEmptiesEveryList)
{
    GUI_BattleGUI::GetInstance().generalRetreat = true;
    ASSERT_TRUE(StartBattleFromDeploymentFile(Scenario(), kSampleFleet, SIM_Scenario::EASY));
    EXPECT_FALSE(GUI_BattleGUI::GetInstance().generalRetreat);
    SIM_DamageEvent event;
    SIM_StatsDatabase::GetInstance().RecordEvent(event);
    Battle().Clear();
    EXPECT_FALSE(Battle().IsStarted());
    EXPECT_EQ(Battle().GetPlayerFleet(), nullptr);
    EXPECT_EQ(Battle().GetEnemyFleet(), nullptr);
    EXPECT_TRUE(GetLiveShips().empty());
    EXPECT_TRUE(SIM_Ship::GetAllShips().empty());
    EXPECT_TRUE(SIM_StatsDatabase::GetInstance().GetEvents().empty());
    for (int i = 0; i < ShipUpdateScheduler::kBuckets; ++i)
        EXPECT_TRUE(ShipUpdateScheduler::GetInstance().GetBucket(i).ships.empty());
    // Stepping a cleared battle does nothing.
    RunHeadlessBattleFrame(16.0f);
    EXPECT_FALSE(Battle().IsEnded());
}

namespace {

struct GridOff {
    GridOff() { SIM_ShipGrid::GetInstance().SetEnabled(false); }
    ~GridOff() { SIM_ShipGrid::GetInstance().SetEnabled(true); }
};

struct Snapshot {
    std::vector<float> positions;
    std::vector<float> damage;
    bool operator==(const Snapshot& o) const { return positions == o.positions && damage == o.damage; }
};

// A crowded battle of every class on both sides, with fighter squadrons.
Snapshot RunCrowdedBattle(ShippedBattleWorld& world)
{
    static const char* const player[] = {"fed_ai_battlecruiser", "fed_ai_gunboat", "fed_ai_interceptor",
                                         "fed_ai_escort", "fed_ai_raider", "fed_ai_bomber"};
    static const char* const enemy[] = {"kor_ai_battlecruiser", "kor_ai_gunboat", "kor_ai_interceptor",
                                        "kor_ai_escort", "kor_ai_raider", "kor_ai_bomber"};
    SIM_DeployedFleet p, e;
    for (int i = 0; i < 36; ++i) {
        const float x = 30.0f * static_cast<float>(i / 9), y = 60.0f * static_cast<float>(i % 9);
        ShippedBattleWorld::Add(p, player[i % 6], 900.0f + x, 700.0f + y, i % 4 == 2 ? 3 : 1, i + 1);
        ShippedBattleWorld::Add(e, enemy[i % 6], 1500.0f - x, 700.0f + y, i % 4 == 2 ? 3 : 1, i + 1);
    }
    Snapshot out;
    if (!world.Headless().StartCustom(SIM_Scenario::FindByName("scenario2"), p, e, 11))
        return out;
    for (int frame = 0; frame < 1500 && !SIM_Battle::GetInstance().IsEnded(); ++frame)
        SIM_HeadlessBattle::Frame(16.67f * 0.4f * 2.0f);
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    for (const SIM_Fleet* fleet : {battle.GetPlayerFleet(), battle.GetEnemyFleet()})
        for (const SIM_Ship* ship : fleet->GetAllShips()) {
            out.positions.push_back(ship->x);
            out.positions.push_back(ship->y);
            out.positions.push_back(static_cast<float>(ship->state));
        }
    for (const SIM_DamageEvent& event : SIM_StatsDatabase::GetInstance().GetEvents())
        out.damage.push_back(event.damage);
    SIM_Battle::GetInstance().Clear();
    return out;
}

} // namespace

TEST_F(BattleTest, SearchesThroughTheShipGridChooseExactlyAsTheListWalks)
{
    SIM_ShipGrid::GetInstance().ResetSearchCount();
    const Snapshot withGrid = RunCrowdedBattle(world);
    EXPECT_GT(SIM_ShipGrid::GetInstance().GetSearchCount(), 2000) << "the grid must serve the searches";
    Snapshot walked;
    {
        GridOff off;
        SIM_ShipGrid::GetInstance().ResetSearchCount();
        walked = RunCrowdedBattle(world);
        EXPECT_EQ(SIM_ShipGrid::GetInstance().GetSearchCount(), 0);
    }
    ASSERT_GT(withGrid.damage.size(), 100u) << "the fleets must fight";
    EXPECT_TRUE(withGrid == walked);
}

TEST_F(BattleTest, StrengthSamplesStopWhenTheBattleEnds)
{
    ASSERT_TRUE(ShippedBattleWorld::Add(player, "fed_ai_gunboat", 300, 300));
    ASSERT_TRUE(ShippedBattleWorld::Add(enemy, "kor_ai_gunboat", 2000, 300));
    ASSERT_TRUE(StartCustom(Scenario()));
    for (int i = 0; i < 60; ++i)
        Frame(50.0f);
    Destroy(Battle().GetEnemyFleet(), 1);
    Frame(50.0f);
    ASSERT_TRUE(Battle().IsEnded());
    const size_t atEnd = SIM_StatsDatabase::GetInstance().GetSamples().size();
    EXPECT_GE(atEnd, 29u);
    for (int i = 0; i < 600; ++i)
        Frame(50.0f);
    EXPECT_EQ(SIM_StatsDatabase::GetInstance().GetSamples().size(), atEnd);
}
