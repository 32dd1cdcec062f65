#include "sim/SIM_FleetLimits.h"

#include "battle/BattleLauncher.h"
#include "sim/ShippedBattleWorld.h"

#include <gtest/gtest.h>

namespace {

class FleetLimitsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frigate = SIM_ShipDesign::Find("fed_sample_frigate");
        fighter = SIM_ShipDesign::Find("fed_sample_fighter");
        ASSERT_NE(frigate, nullptr);
        ASSERT_NE(fighter, nullptr);
        ASSERT_TRUE(fighter->IsFighter());
        ASSERT_GT(frigate->GetCost(), 1.0f);
        ASSERT_TRUE(ShippedBattleWorld::Add(fleet, "fed_sample_frigate", 200, 400));
        ASSERT_TRUE(ShippedBattleWorld::Add(fleet, "fed_sample_fighter", 300, 400, 3));
        scenario.SetFleetCostLimit(100000);
        scenario.SetPilotLimit(100);
    }
    int Cost() const { return static_cast<int>(fleet.GetTotalCost()); }

    ShippedBattleWorld world;
    SIM_Scenario scenario;
    SIM_DeployedFleet fleet;
    const SIM_ShipDesign* frigate = nullptr;
    const SIM_ShipDesign* fighter = nullptr;
};

} // namespace

TEST_F(FleetLimitsTest, AvailabilityIsTestedCostPilotsScenarioThenSupplies)
{
    const int exact = static_cast<int>(fleet.GetTotalCost() + frigate->GetCost());
    ASSERT_EQ(static_cast<float>(exact), fleet.GetTotalCost() + frigate->GetCost()) << "costs are whole numbers";
    scenario.SetFleetCostLimit(exact);
    scenario.SetPilotLimit(fleet.GetTotalShips() + 1);
    EXPECT_EQ(SIM_FleetLimits(scenario, fleet).GetAvailability(frigate), SIM_FleetLimits::AVAILABLE);

    scenario.SetFleetCostLimit(exact - 1);
    EXPECT_EQ(SIM_FleetLimits(scenario, fleet).GetAvailability(frigate), SIM_FleetLimits::TOO_EXPENSIVE);
    // Both over: the cost is named first.
    scenario.SetPilotLimit(fleet.GetTotalShips());
    EXPECT_EQ(SIM_FleetLimits(scenario, fleet).GetAvailability(frigate), SIM_FleetLimits::TOO_EXPENSIVE);
    scenario.SetFleetCostLimit(exact);
    EXPECT_EQ(SIM_FleetLimits(scenario, fleet).GetAvailability(frigate), SIM_FleetLimits::TOO_MANY_PILOTS);

    // A supply limit of 0 for a module the design carries: short of supplies,
    // unless the scenario forbids the design outright (code 4 comes first).
    scenario.SetPilotLimit(100);
    scenario.SetSupplyLimit(frigate->GetModules().front().typeName, 0);
    EXPECT_TRUE(SIM_FleetLimits(scenario, fleet).IsShortOfSupplies(frigate));
    EXPECT_EQ(SIM_FleetLimits(scenario, fleet).GetAvailability(frigate), SIM_FleetLimits::SHORT_OF_SUPPLIES);
    scenario.AddAnomaly(SIM_Anomaly("FIGHTERS_INOPERABLE", 0.0f, false));
    scenario.SetSupplyLimit(fighter->GetModules().front().typeName, 0);
    EXPECT_EQ(SIM_FleetLimits(scenario, fleet).GetAvailability(fighter), SIM_FleetLimits::NOT_ALLOWED);

    // The room left counts what the fleet already carries.
    scenario.ClearSupplyLimits();
    scenario.ClearAnomalies();
    const std::string type = frigate->GetModules().front().typeName;
    const int need = frigate->CountModulesByTypeName(type);
    scenario.SetSupplyLimit(type, fleet.CountModuleType(type) + need);
    EXPECT_FALSE(SIM_FleetLimits(scenario, fleet).IsShortOfSupplies(frigate));
    scenario.SetSupplyLimit(type, fleet.CountModuleType(type) + need - 1);
    EXPECT_TRUE(SIM_FleetLimits(scenario, fleet).IsShortOfSupplies(frigate));
}

TEST_F(FleetLimitsTest, FightIsRefusedAboveALimitAndTheLastFailureNamesIt)
{
    scenario.SetFleetCostLimit(Cost());
    scenario.SetPilotLimit(fleet.GetTotalShips());
    // Exactly at both limits: the fleet may fight.
    EXPECT_EQ(SIM_FleetLimits(scenario, fleet).CheckFleet(), SIM_FleetLimits::AVAILABLE);
    EXPECT_STREQ(SIM_FleetLimits::FightTooltipKey(0), "GUI_DEPLOYMENT_FIGHT_TOOLTIP");

    scenario.SetFleetCostLimit(Cost() - 1);
    EXPECT_EQ(SIM_FleetLimits(scenario, fleet).CheckFleet(), SIM_FleetLimits::TOO_EXPENSIVE);
    EXPECT_STREQ(SIM_FleetLimits::FightTooltipKey(1), "GUI_DEPLOYMENT_FIGHT_TOOEXPENSIVE");
    scenario.SetPilotLimit(fleet.GetTotalShips() - 1);
    EXPECT_EQ(SIM_FleetLimits(scenario, fleet).CheckFleet(), SIM_FleetLimits::TOO_MANY_PILOTS);
    EXPECT_STREQ(SIM_FleetLimits::FightTooltipKey(2), "GUI_DEPLOYMENT_FIGHT_TOOMANYPILOTS");
    const std::string type = frigate->GetModules().front().typeName;
    scenario.SetSupplyLimit(type, fleet.CountModuleType(type) - 1);
    EXPECT_EQ(SIM_FleetLimits(scenario, fleet).CheckFleet(), SIM_FleetLimits::SHORT_OF_SUPPLIES);
    EXPECT_STREQ(SIM_FleetLimits::FightTooltipKey(3), "GUI_DEPLOYMENT_FIGHT_TOOMANYSUPPLIES");
    scenario.SetSupplyLimit(type, fleet.CountModuleType(type));
    EXPECT_EQ(SIM_FleetLimits(scenario, fleet).CheckFleet(), SIM_FleetLimits::TOO_MANY_PILOTS);
}

TEST_F(FleetLimitsTest, EditedAIFleetsGetTenAndTwentyPercentMoreBudgetTruncated)
{
    scenario.SetFleetCostLimit(1000);
    const int expected[3] = {1000, 1100, 1200};
    for (int level = 0; level < 3; ++level) {
        scenario.SetDifficulty(level);
        EXPECT_EQ(SIM_FleetLimits(scenario, fleet, true).CostLimit(), expected[level]);
        EXPECT_EQ(SIM_FleetLimits(scenario, fleet, false).CostLimit(), 1000);
    }
    scenario.SetFleetCostLimit(999);
    scenario.SetDifficulty(SIM_Scenario::MEDIUM);
    EXPECT_EQ(SIM_FleetLimits(scenario, fleet, true).CostLimit(), 1098);
}

TEST_F(FleetLimitsTest, ASquadronIsAsLargeAsCostAndPilotsAllow)
{
    const float c = fighter->GetCost();
    // Room for 3 pilots and 5 fighters' cost: 3.
    scenario.SetPilotLimit(fleet.GetTotalShips() + 3);
    scenario.SetFleetCostLimit(static_cast<int>(fleet.GetTotalCost() + 5.0f * c));
    EXPECT_EQ(SIM_FleetLimits(scenario, fleet).LargestSquadron(fighter), 3);
    // Cost for exactly 4 (<= holds at the limit).
    scenario.SetPilotLimit(fleet.GetTotalShips() + 10);
    scenario.SetFleetCostLimit(static_cast<int>(fleet.GetTotalCost() + 4.0f * c));
    EXPECT_EQ(SIM_FleetLimits(scenario, fleet).LargestSquadron(fighter), 4);
    scenario.SetFleetCostLimit(100000);
    scenario.SetPilotLimit(1000);
    EXPECT_EQ(SIM_FleetLimits(scenario, fleet).LargestSquadron(fighter), 16);
    // No room at all still gives one; other hulls are always one.
    scenario.SetFleetCostLimit(0);
    EXPECT_EQ(SIM_FleetLimits(scenario, fleet).LargestSquadron(fighter), 1);
    EXPECT_EQ(SIM_FleetLimits(scenario, fleet).LargestSquadron(frigate), 1);
}

TEST_F(FleetLimitsTest, ABattleFromAFileIsRefusedOverTheLimitsWithTheReason)
{
    SIM_Scenario* shipped = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(shipped, nullptr);
    const std::string sample = "data/sample deployment/deployed.txt";
    EXPECT_EQ(BattleLauncher::CheckFleetFile(shipped, sample, SIM_Scenario::EASY), "");

    const int saved = shipped->GetFleetCostLimit();
    shipped->SetFleetCostLimit(10);
    const std::string refused = BattleLauncher::CheckFleetFile(shipped, sample, SIM_Scenario::HARD);
    shipped->SetFleetCostLimit(saved);
    EXPECT_NE(refused.find("over the limit of 10"), std::string::npos) << refused;
    EXPECT_NE(BattleLauncher::CheckFleetFile(shipped, "no such file.txt", 0), "");

    BattleLaunchRequest request;
    ASSERT_TRUE(BattleLauncher::ParseRequest("scenario1", request));
    shipped->SetPilotLimit(1);
    std::string error;
    EXPECT_FALSE(BattleLauncher::Launch(request, sample, &error));
    shipped->SetPilotLimit(20);
    EXPECT_NE(error.find("pilots"), std::string::npos) << error;
    EXPECT_FALSE(SIM_Battle::GetInstance().IsStarted());
}

TEST_F(FleetLimitsTest, EveryScenarioShipsASampleDeploymentWithinItsLimits)
{
    int checked = 0;
    for (SIM_Scenario* s : SIM_Scenario::GetList()) {
        if (s->GetFilePath().empty())
            continue; // the fixture's own
        ++checked;
        const std::string sample = "data/sample deployment/" + s->GetName() + ".txt";
        SIM_DeployedFleet sampleFleet;
        ASSERT_TRUE(sampleFleet.LoadForRace(sample, s, std::string())) << sample;
        EXPECT_FALSE(sampleFleet.GetShips().empty()) << sample;
        EXPECT_EQ(SIM_FleetLimits(*s, sampleFleet).CheckFleet(), SIM_FleetLimits::AVAILABLE) << sample;
    }
    EXPECT_GE(checked, 6);
}
