#include "sim/SIM_RetreatManager.h"

#include "ShippedBattleWorld.h"
#include "modules/ModuleTestWorld.h"
#include "TestDesignFile.h"
#include "sim/SIM_RadiationManager.h"
#include "sim/modules/SIM_TacticalModule.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
const char* const kSampleFleet = "data/sample deployment/deployed.txt";

void BattleFrame(float ms)
{
    GUI_BattleGUI::GetInstance().SetFrameTime(ms);
    SIM_Battle::GetInstance().Update();
}
} // namespace

TEST(RadiationTest, ADoseBurnsHalvingEachThinkUntilBelowOne)
{
    ModuleTestWorld world;
    SIM_Ship* ship = world.Build("bigtarget", 500.0f, 500.0f);
    const float start = ModuleTestWorld::ModuleHitpoints(ship);
    SIM_RadiationManager* radiation = ship->GetRadiationManager();
    radiation->AddRadiation(10.0f, 0.5f);
    const float burns[] = {5.0f, 2.5f, 1.25f};
    float taken = 0.0f;
    for (float burn : burns) {
        ship->Think();
        taken += burn;
        EXPECT_FLOAT_EQ(ModuleTestWorld::ModuleHitpoints(ship), start - taken);
    }
    // The next burn would be 0.625: the dose is gone.
    EXPECT_TRUE(radiation->GetDoses().empty());
    ship->Think();
    EXPECT_FLOAT_EQ(ModuleTestWorld::ModuleHitpoints(ship), start - taken);
    EXPECT_NE(radiation->GetLastEffectPoint(), nullptr);

    // A dose that would never shrink burns once and goes.
    radiation->AddRadiation(4.0f, 1.0f);
    ship->Think();
    ship->Think();
    EXPECT_FLOAT_EQ(ModuleTestWorld::ModuleHitpoints(ship), start - taken - 4.0f);
    EXPECT_TRUE(radiation->GetDoses().empty());
}

class RetreatTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartBattleFromDeploymentFile(SIM_Scenario::FindByName("scenario1"), kSampleFleet,
                                                  SIM_Scenario::EASY));
        for (SIM_Ship* ship : Player().GetAllShips())
            ship->state = SIM_Ship::ACTIVE;
    }
    void TearDown() override { SIM_RetreatManager::GetInstance().Reset(); }
    SIM_Fleet& Player() { return *SIM_Battle::GetInstance().GetPlayerFleet(); }

    ShippedBattleWorld world;
};

TEST_F(RetreatTest, ShipsThatJumpOutAreRetreatedAndTheRetreatEndsWhenNoneIsLeft)
{
    SIM_RetreatManager& retreat = SIM_RetreatManager::GetInstance();
    EXPECT_FALSE(retreat.IsActive());
    retreat.Begin();
    EXPECT_TRUE(GUI_BattleGUI::GetInstance().generalRetreat);
    EXPECT_TRUE(SIM_Battle::GetInstance().IsRetreatUnderWay());

    // A ship on the retreat heading jumps; the warp-out takes 600 ms and
    // leaves it retreated, no longer on the field.
    SIM_Ship* first = Player().GetAllShips().front();
    first->tacticalModule->EvaluateMode();
    ASSERT_EQ(first->tacticalModule->GetMode(), SIM_TacticalModule::RETREAT);
    first->SetAngle(270.0f);
    first->drag = 0.0f;
    GUI_BattleGUI::GetInstance().SetFrameTime(12.0f);
    first->FrameStep();
    ASSERT_EQ(first->state, static_cast<unsigned int>(SIM_Ship::OFF_FIELD));
    ASSERT_TRUE(first->warpOutArmed);
    GUI_BattleGUI::GetInstance().SetFrameTime(300.0f);
    first->FrameStep();
    first->FrameStep();
    EXPECT_EQ(first->state, static_cast<unsigned int>(SIM_Ship::OFF_FIELD));
    GUI_BattleGUI::GetInstance().SetFrameTime(1.0f);
    first->FrameStep();
    EXPECT_EQ(first->state, static_cast<unsigned int>(SIM_Ship::RETREATED));

    // Others still to go: the battle waits.
    BattleFrame(12.0f);
    EXPECT_TRUE(retreat.IsActive());
    for (SIM_Ship* ship : Player().GetAllShips())
        if (ship->state != SIM_Ship::RETREATED)
            ship->CompleteRetreatJump();
    BattleFrame(12.0f);
    EXPECT_FALSE(retreat.IsActive());
    EXPECT_TRUE(SIM_Battle::GetInstance().IsEnded());
    EXPECT_EQ(SIM_Battle::GetInstance().GetLost(), SIM_Battle::RETREATED);
    for (const SIM_Ship* ship : Player().GetAllShips())
        EXPECT_EQ(ship->state, static_cast<unsigned int>(SIM_Ship::RETREATED)) << "nobody left behind";
}

TEST_F(RetreatTest, AfterFortyEightSecondsTheRetreatEndsAndTheShipsLeftBehindAreLost)
{
    SIM_RetreatManager& retreat = SIM_RetreatManager::GetInstance();
    retreat.Begin();
    // 48000 ms x 2.5 = 120000: not yet past the limit.
    for (int i = 0; i < 48; ++i)
        BattleFrame(1000.0f);
    EXPECT_FLOAT_EQ(retreat.GetTimer(), SIM_RetreatManager::kTimeLimit);
    EXPECT_TRUE(retreat.IsActive());
    EXPECT_FALSE(SIM_Battle::GetInstance().IsEnded());
    BattleFrame(1.0f);
    EXPECT_FALSE(retreat.IsActive());
    EXPECT_FLOAT_EQ(retreat.GetTimer(), 0.0f);
    EXPECT_EQ(SIM_Battle::GetInstance().GetLost(), SIM_Battle::RETREATED);
    for (const SIM_Ship* ship : Player().GetAllShips()) {
        EXPECT_TRUE(ship->IsDead());
        EXPECT_EQ(ship->state, static_cast<unsigned int>(SIM_Ship::DESTROYED));
    }
    // A new battle starts with no retreat under way.
    retreat.Begin();
    ASSERT_TRUE(StartBattleFromDeploymentFile(SIM_Scenario::FindByName("scenario1"), kSampleFleet,
                                              SIM_Scenario::EASY));
    EXPECT_FALSE(retreat.IsActive());
    EXPECT_FALSE(GUI_BattleGUI::GetInstance().generalRetreat);
}

TEST_F(RetreatTest, AFleetWithoutEnginesEndsItsRetreatAtOnceAndIsLost)
{
    WriteTestDesign(world.Dir(), "t_noengine", "fed_frigate", {"frigate_crew"});
    SIM_ShipDesign* engineless = SIM_ShipDesign::Find("t_noengine");
    ASSERT_NE(engineless, nullptr);
    ASSERT_EQ(engineless->CountModulesOfClass("SIM_EngineModule"), 0);
    SIM_RetreatManager& retreat = SIM_RetreatManager::GetInstance();
    retreat.Begin();
    // With engines the fleet is waited for.
    BattleFrame(12.0f);
    EXPECT_TRUE(retreat.IsActive());
    // Nobody can leave: nobody is waited for, and everyone is lost.
    std::vector<SIM_ShipDesign*> designs;
    for (SIM_Ship* ship : Player().GetAllShips()) {
        designs.push_back(ship->design);
        ship->design = engineless;
    }
    BattleFrame(12.0f);
    EXPECT_FALSE(retreat.IsActive());
    EXPECT_EQ(SIM_Battle::GetInstance().GetLost(), SIM_Battle::RETREATED);
    for (size_t i = 0; i < designs.size(); ++i) {
        SIM_Ship* ship = Player().GetAllShips()[i];
        EXPECT_EQ(ship->state, static_cast<unsigned int>(SIM_Ship::DESTROYED));
        ship->design = designs[i];
    }
}
