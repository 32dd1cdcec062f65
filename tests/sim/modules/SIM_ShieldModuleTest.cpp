#include <gtest/gtest.h>

#include "sim/SIM_Shield.h"
#include "sim/modules/ModuleTestWorld.h"
#include "sim/modules/SIM_ShieldModule.h"

namespace {

class ShieldModuleTest : public ::testing::Test {
protected:
    ModuleTestWorld world;
};

TEST_F(ShieldModuleTest, RechargesByTheThinkStep)
{
    SIM_ShieldModule shield(SIM_ShipModuleType::Find("shield"));
    const float step = 200.0f;
    shield.SetThinkTime(&step);
    shield.points = 50.0f;
    shield.Think();
    EXPECT_FLOAT_EQ(shield.GetPoints(), 52.0f);
    shield.points = 99.5f;
    shield.Think();
    EXPECT_FLOAT_EQ(shield.GetPoints(), 100.0f);
}

TEST_F(ShieldModuleTest, DrainedGeneratorStaysDown)
{
    SIM_ShieldModule shield(SIM_ShipModuleType::Find("shield"));
    const float step = 200.0f;
    shield.SetThinkTime(&step);
    shield.DrainShield(60.0f);
    EXPECT_TRUE(shield.IsUp());
    EXPECT_FLOAT_EQ(shield.GetShieldFraction(), 0.4f);
    shield.DrainShield(40.0f); // exactly what is left
    EXPECT_FALSE(shield.IsUp());
    EXPECT_FLOAT_EQ(shield.GetPoints(), 0.0f);
    shield.Think();
    EXPECT_FLOAT_EQ(shield.GetPoints(), 0.0f);
}

TEST_F(ShieldModuleTest, EmptyGeneratorShowsNoFraction)
{
    SIM_ShieldModule shield(SIM_ShipModuleType::Find("shield"));
    shield.maxPoints = 0.0f;
    shield.points = 0.0f;
    EXPECT_FLOAT_EQ(shield.GetShieldFraction(), 0.0f);
}

TEST_F(ShieldModuleTest, EfficiencyScalesTheMaximum)
{
    SIM_ShieldModule shield(SIM_ShipModuleType::Find("shield"));
    shield.SetEfficiency(0.5f);
    EXPECT_FLOAT_EQ(shield.GetMaxPoints(), 50.0f);
    EXPECT_FLOAT_EQ(shield.GetPoints(), 50.0f);
}

TEST_F(ShieldModuleTest, GeneratorsFeedTheShipShield)
{
    SIM_Ship* ship = world.Build("plainbox", 0, 0);
    SIM_Shield* shield = ship->GetShield();
    ASSERT_NE(shield, nullptr);
    auto* generator = ModuleTestWorld::FindModule<SIM_ShieldModule>(ship);
    ASSERT_NE(generator, nullptr);
    EXPECT_FLOAT_EQ(shield->currentPoints, 100.0f);
    EXPECT_FLOAT_EQ(shield->resistance, 5.0f);
    generator->DrainShield(30.0f);
    EXPECT_FLOAT_EQ(shield->currentPoints, 70.0f);
    generator->DrainShield(70.0f);
    EXPECT_FLOAT_EQ(shield->currentPoints, 0.0f);
    EXPECT_FALSE(shield->IsUp());
}

TEST_F(ShieldModuleTest, NoScenarioLeavesTheShieldAsBuilt)
{
    SIM_ShieldModule shield(SIM_ShipModuleType::Find("shield"));
    shield.ApplyScenarioRules();
    EXPECT_TRUE(shield.IsUp());
    EXPECT_FLOAT_EQ(shield.GetMaxPoints(), 100.0f);
}

} // namespace
