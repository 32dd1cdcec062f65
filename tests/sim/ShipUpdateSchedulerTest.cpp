#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "battle/GUI_BattleGUI.h"
#include "sim/SIM_BattleStep.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipVisual.h"
#include "sim/ShipUpdateScheduler.h"
#include "sim/modules/SIM_ShipModule.h"

namespace {
class CountingModule : public SIM_ShipModule {
public:
    CountingModule() : SIM_ShipModule(nullptr) {}
    void Think() override
    {
        ++thinks;
        steps.push_back(GetThinkStep());
        if (onThink)
            onThink();
    }
    void Update() override
    {
        ++updates;
        if (onUpdate)
            onUpdate();
    }
    int thinks = 0;
    int updates = 0;
    std::vector<float> steps;
    std::function<void()> onThink;
    std::function<void()> onUpdate;
};

// Bare ships: no design, so they are kept off the field (state 0) for the
// world step and set active only where a test needs their modules to think.
class SchedulerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GUI_BattleGUI::GetInstance().ResetForBattle();
        ShipUpdateScheduler::GetInstance().Clear();
        ShipUpdateScheduler::GetInstance().ResetTimers();
        GetLiveShips().clear();
        GetRemovalQueue().clear();
    }
    void TearDown() override
    {
        ShipUpdateScheduler::GetInstance().Clear();
        GetRemovalQueue().clear();
        for (SIM_Ship* ship : ships)
            delete ship;
        GetLiveShips().clear();
        GUI_BattleGUI::GetInstance().ResetForBattle();
    }

    SIM_Ship* MakeShip(unsigned int state = SIM_Ship::OFF_FIELD)
    {
        auto* ship = new SIM_Ship();
        ship->state = state;
        auto* module = new CountingModule();
        ship->AddModule(module, -1, false);
        modules.push_back(module);
        ships.push_back(ship);
        GetLiveShips().push_back(ship);
        return ship;
    }

    void Frame(float ms)
    {
        GUI_BattleGUI::GetInstance().SetFrameTime(ms);
        ShipUpdateScheduler::GetInstance().UpdateWorld();
    }

    std::vector<SIM_Ship*> ships;
    std::vector<CountingModule*> modules;
};
} // namespace

TEST_F(SchedulerTest, TimersStartStaggeredTwentyApart)
{
    auto& scheduler = ShipUpdateScheduler::GetInstance();
    for (int i = 0; i < ShipUpdateScheduler::kBuckets; ++i)
        EXPECT_FLOAT_EQ(scheduler.GetBucket(i).timer, 20.0f * static_cast<float>(i));
    EXPECT_EQ(scheduler.GetNextBucket(), 0);
}

TEST_F(SchedulerTest, TwentyFiveShipsFillBucketsRoundRobin)
{
    for (int i = 0; i < 25; ++i)
        MakeShip();
    auto& scheduler = ShipUpdateScheduler::GetInstance();
    scheduler.Rebuild();
    const size_t expected[10] = {3, 3, 3, 3, 3, 2, 2, 2, 2, 2};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(scheduler.GetBucket(i).ships.size(), expected[i]) << "bucket " << i;
    EXPECT_EQ(ships[0]->bucket, 0);
    EXPECT_EQ(ships[11]->bucket, 1);
    EXPECT_EQ(ships[24]->bucket, 4);
    EXPECT_EQ(scheduler.GetNextBucket(), 5);
    // Modules read their bucket's timer as their think step.
    scheduler.GetBucket(4).timer = 123.0f;
    EXPECT_FLOAT_EQ(modules[24]->GetThinkStep(), 123.0f);

    // A rebuild starts from bucket 0 again and leaves the timers alone.
    scheduler.Rebuild();
    EXPECT_EQ(scheduler.GetBucket(0).ships.size(), 3u);
    EXPECT_FLOAT_EQ(scheduler.GetBucket(4).timer, 123.0f);
}

TEST_F(SchedulerTest, LongFrameRunsEachBucketOnce)
{
    for (int i = 0; i < 10; ++i)
        MakeShip(SIM_Ship::ACTIVE);
    auto& scheduler = ShipUpdateScheduler::GetInstance();
    scheduler.Rebuild();
    GUI_BattleGUI::GetInstance().SetFrameTime(450.0f);
    for (int i = 0; i < ShipUpdateScheduler::kBuckets; ++i)
        scheduler.TickBucket(i);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(modules[i]->thinks, 1);
        // The think sees the whole time since the last run.
        ASSERT_EQ(modules[i]->steps.size(), 1u);
        EXPECT_FLOAT_EQ(modules[i]->steps[0], 450.0f + 20.0f * static_cast<float>(i));
        EXPECT_LE(scheduler.GetBucket(i).timer, 200.0f);
        EXPECT_GT(scheduler.GetBucket(i).timer, 0.0f);
    }
}

TEST_F(SchedulerTest, ExactlyTwoHundredWaitsForTheNextFrame)
{
    MakeShip(SIM_Ship::ACTIVE);
    auto& scheduler = ShipUpdateScheduler::GetInstance();
    scheduler.Rebuild();
    GUI_BattleGUI::GetInstance().SetFrameTime(200.0f);
    scheduler.TickBucket(0);
    EXPECT_EQ(modules[0]->thinks, 0);
    GUI_BattleGUI::GetInstance().SetFrameTime(0.5f);
    scheduler.TickBucket(0);
    EXPECT_EQ(modules[0]->thinks, 1);
}

TEST_F(SchedulerTest, ShipsThinkEveryTwoHundredMillisecondsStaggered)
{
    for (int i = 0; i < 10; ++i)
        MakeShip(SIM_Ship::ACTIVE);
    auto& scheduler = ShipUpdateScheduler::GetInstance();
    scheduler.Rebuild();
    std::vector<int> firstFrame(10, -1);
    const float frame = 10.0f;
    const int frames = 1000; // 10 s of battle time
    for (int f = 0; f < frames; ++f) {
        GUI_BattleGUI::GetInstance().SetFrameTime(frame);
        for (int b = 0; b < ShipUpdateScheduler::kBuckets; ++b)
            scheduler.TickBucket(b);
        for (int i = 0; i < 10; ++i) {
            if (firstFrame[i] < 0 && modules[i]->thinks > 0)
                firstFrame[i] = f;
        }
    }
    for (int i = 0; i < 10; ++i) {
        EXPECT_GE(modules[i]->thinks, 49) << i;
        EXPECT_LE(modules[i]->thinks, 50) << i;
        for (float step : modules[i]->steps) {
            EXPECT_GT(step, 200.0f);
            EXPECT_LE(step, 210.0f);
        }
    }
    // Later buckets started further along, so they fire first and apart.
    std::vector<int> sorted = firstFrame;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end());
    EXPECT_LT(firstFrame[9], firstFrame[0]);
}

TEST_F(SchedulerTest, OnlyActiveShipsRunModuleThinks)
{
    MakeShip(SIM_Ship::ACTIVE);
    MakeShip(SIM_Ship::DYING);
    MakeShip(SIM_Ship::OFF_FIELD);
    auto& scheduler = ShipUpdateScheduler::GetInstance();
    scheduler.Rebuild();
    for (int b = 0; b < 3; ++b)
        scheduler.GetBucket(b).timer = 199.0f;
    GUI_BattleGUI::GetInstance().SetFrameTime(5.0f);
    for (int b = 0; b < 3; ++b)
        scheduler.TickBucket(b);
    EXPECT_EQ(modules[0]->thinks, 1);
    EXPECT_EQ(modules[1]->thinks, 0);
    EXPECT_EQ(modules[2]->thinks, 0);
}

TEST_F(SchedulerTest, RemovalQueueTakesShipsOutAtTheEndOfTheFrame)
{
    SIM_Ship* a = MakeShip();
    SIM_Ship* b = MakeShip();
    ShipUpdateScheduler::GetInstance().Rebuild();
    QueueShipRemoval(a);
    QueueShipRemoval(a);
    QueueShipRemoval(nullptr);
    EXPECT_EQ(GetRemovalQueue().size(), 1u);

    Frame(16.0f);
    EXPECT_TRUE(GetRemovalQueue().empty());
    const auto& live = GetLiveShips();
    EXPECT_EQ(std::count(live.begin(), live.end(), a), 0);
    EXPECT_EQ(std::count(live.begin(), live.end(), b), 1);
    const auto& bucket0 = ShipUpdateScheduler::GetInstance().GetBucket(0).ships;
    EXPECT_EQ(std::count(bucket0.begin(), bucket0.end(), a), 0);
    // Still allocated: the fleet frees it with the battle.
    EXPECT_EQ(a->state, static_cast<unsigned int>(SIM_Ship::OFF_FIELD));
}

TEST_F(SchedulerTest, ShipKilledMidFrameIsSkippedThenRemoved)
{
    SIM_Ship* killer = MakeShip(SIM_Ship::ACTIVE);
    SIM_Ship* victim = MakeShip(SIM_Ship::ACTIVE);
    auto& scheduler = ShipUpdateScheduler::GetInstance();
    scheduler.Rebuild();
    ASSERT_EQ(killer->bucket, 0);
    ASSERT_EQ(victim->bucket, 1);
    modules[0]->onThink = [victim] {
        victim->state = SIM_Ship::DESTROYED;
        QueueShipRemoval(victim);
    };
    scheduler.GetBucket(0).timer = 199.0f;
    scheduler.GetBucket(1).timer = 199.0f;
    GUI_BattleGUI::GetInstance().SetFrameTime(5.0f);
    scheduler.TickBucket(0);
    scheduler.TickBucket(1);
    EXPECT_EQ(modules[0]->thinks, 1);
    EXPECT_EQ(modules[1]->thinks, 0);
    // Active ships move in the world step, which needs a design.
    killer->state = SIM_Ship::OFF_FIELD;
    GUI_BattleGUI::GetInstance().SetFrameTime(0.0f);
    scheduler.UpdateWorld();
    const auto& live = GetLiveShips();
    EXPECT_EQ(std::count(live.begin(), live.end(), victim), 0);
    EXPECT_TRUE(scheduler.GetBucket(1).ships.empty());
}

TEST_F(SchedulerTest, ShipsJoiningDuringTheShipWalkRunTheirFrameInIt)
{
    // Reinforcements join the live list while the ships' frames run; the
    // walk must take them in (and survive the list growing under it).
    auto makeActive = [this] {
        auto* ship = new SIM_Ship();
        auto* module = new CountingModule();
        ship->AddModule(module, -1, true);
        ships.push_back(ship);
        modules.push_back(module);
        GetLiveShips().push_back(ship);
        return ship;
    };
    SIM_Ship* first = makeActive();
    SIM_Ship* last = nullptr;
    modules.back()->onUpdate = [&] {
        // Enough ships that the list must move its storage.
        for (int i = 0; i < 40; ++i)
            last = makeActive();
    };
    GUI_BattleGUI::GetInstance().SetFrameTime(16.0f);
    SIM_BattleStep::UpdateShips();
    ASSERT_EQ(modules.size(), 41u);
    for (const CountingModule* module : modules)
        EXPECT_EQ(module->updates, 1);
    EXPECT_EQ(GetLiveShips().size(), 41u);
    EXPECT_EQ(first->GetVisual()->updatesFromDraw, 1);
    EXPECT_EQ(last->GetVisual()->updatesFromDraw, 1);
}
