#include <gtest/gtest.h>

#include "sim/modules/ModuleTestWorld.h"
#include "sim/modules/SIM_BeamWeaponModule.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"

namespace {

using Cloak = SIM_CamoflageShieldModule;

class CloakTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ship = world.Build("cloakship", 0, 0);
        cloak = ModuleTestWorld::FindModule<Cloak>(ship);
        laser = ModuleTestWorld::FindModule<SIM_BeamWeaponModule>(ship);
        ASSERT_NE(cloak, nullptr);
        ASSERT_NE(laser, nullptr);
        cloak->cloakPower = cloak->GetMaxCloakPower();
    }

    ModuleTestWorld world;
    SIM_Ship* ship = nullptr;
    Cloak* cloak = nullptr;
    SIM_BeamWeaponModule* laser = nullptr;
};

TEST_F(CloakTest, StartsVisibleWithPartOfItsPower)
{
    Cloak fresh(SIM_ShipModuleType::Find("cloak"));
    EXPECT_EQ(fresh.GetCloakState(), Cloak::VISIBLE);
    EXPECT_FLOAT_EQ(fresh.GetVisibility(), 1.0f);
    EXPECT_GE(fresh.GetCloakPower(), 0.0f);
    EXPECT_LE(fresh.GetCloakPower(), 100.0f);
}

TEST_F(CloakTest, NeedsFullPowerToCloak)
{
    cloak->cloakPower = 99.0f;
    cloak->Think();
    EXPECT_EQ(cloak->GetCloakState(), Cloak::VISIBLE);
}

TEST_F(CloakTest, FullPowerAndNothingInRangeFadesOut)
{
    cloak->Think();
    EXPECT_EQ(cloak->GetCloakState(), Cloak::FADING_OUT);
    EXPECT_FALSE(laser->IsEnabled()); // weapons rest while cloaked

    cloak->Advance(1500.0f);
    EXPECT_NEAR(cloak->GetVisibility(), 0.55f, 1e-5f);
    EXPECT_NEAR(cloak->GetShimmer(), 1.0f, 1e-5f);

    cloak->Advance(1500.0f);
    EXPECT_EQ(cloak->GetCloakState(), Cloak::CLOAKED);
    EXPECT_NEAR(cloak->GetVisibility(), 0.1f, 1e-5f);
}

TEST_F(CloakTest, WeaponsInRangeKeepTheShipVisible)
{
    ship->weaponsInRange = 1;
    cloak->Think();
    EXPECT_EQ(cloak->GetCloakState(), Cloak::VISIBLE);
    ship->healthFraction = 0.2f; // too hurt to stay and fight
    cloak->Think();
    EXPECT_EQ(cloak->GetCloakState(), Cloak::FADING_OUT);
}

TEST_F(CloakTest, RunsOutOfPowerAndComesBack)
{
    cloak->Think();
    cloak->Advance(3000.0f);
    ASSERT_EQ(cloak->GetCloakState(), Cloak::CLOAKED);
    cloak->Advance(1000.0f); // 50 power gone
    EXPECT_EQ(cloak->GetCloakState(), Cloak::CLOAKED);
    EXPECT_NEAR(cloak->GetCloakPower(), 50.0f, 1e-3f);
    cloak->Advance(1000.0f);
    EXPECT_EQ(cloak->GetCloakState(), Cloak::FADING_IN);
    cloak->Advance(3000.0f);
    EXPECT_EQ(cloak->GetCloakState(), Cloak::VISIBLE);
    EXPECT_NEAR(cloak->GetVisibility(), 1.0f, 1e-5f);
    EXPECT_TRUE(laser->IsEnabled());
    cloak->Advance(1000.0f); // recharging
    EXPECT_GT(cloak->GetCloakPower(), 0.0f);
}

TEST_F(CloakTest, HurtShipStaysCloakedEvenWithATarget)
{
    cloak->Think();
    cloak->Advance(3000.0f);
    ship->weaponsInRange = 1;
    ship->healthFraction = 0.25f;
    cloak->Think();
    EXPECT_EQ(cloak->GetCloakState(), Cloak::CLOAKED);
    ship->healthFraction = 0.9f;
    cloak->Think();
    EXPECT_EQ(cloak->GetCloakState(), Cloak::FADING_IN);
}

TEST_F(CloakTest, DisabledCloakDoesNothing)
{
    cloak->SetEnabled(false);
    cloak->Think();
    cloak->Advance(5000.0f);
    EXPECT_EQ(cloak->GetCloakState(), Cloak::VISIBLE);
}

} // namespace
