#include <gtest/gtest.h>

#include "sim/modules/ModuleTestWorld.h"
#include "sim/modules/SIM_ArmourModule.h"
#include "sim/modules/SIM_EngineModule.h"
#include "sim/modules/SIM_PowerModule.h"
#include "sim/modules/SIM_StaticModule.h"

namespace {

class ArmourModuleTest : public ::testing::Test {
protected:
    ModuleTestWorld world;
};

TEST_F(ArmourModuleTest, OverwhelmingHitEmptiesThePlate)
{
    SIM_Ship* ship = world.Build("plainbox", 0, 0);
    auto* armour = ModuleTestWorld::FindModule<SIM_ArmourModule>(ship);
    ASSERT_NE(armour, nullptr);
    armour->repairActive = 1;
    armour->TakeDamage(60.0f);
    EXPECT_FLOAT_EQ(armour->GetArmour(), 0.0f);
    EXPECT_FLOAT_EQ(armour->GetHealth(), 0.0f);
    EXPECT_FLOAT_EQ(armour->GetHitpoints(), 0.0f);
    EXPECT_FALSE(armour->IsRepairActive());
}

TEST_F(ArmourModuleTest, ExhaustedPlateIsRepairedOnlyOnFighters)
{
    SIM_Ship* cruiser = world.Build("plainbox", 0, 0);
    auto* plate = ModuleTestWorld::FindModule<SIM_ArmourModule>(cruiser);
    plate->TakeDamage(60.0f);
    plate->Repair(20.0f);
    EXPECT_FLOAT_EQ(plate->GetArmour(), 0.0f);
    EXPECT_FLOAT_EQ(plate->GetHitpoints(), 0.0f);
    EXPECT_FALSE(plate->IsRepairActive());

    SIM_Ship* fighter = world.Build("fighter", 0, 0);
    auto* fighterPlate = ModuleTestWorld::FindModule<SIM_ArmourModule>(fighter);
    ASSERT_NE(fighterPlate, nullptr);
    EXPECT_EQ(fighterPlate->fighter, 1);
    fighterPlate->TakeDamage(60.0f);
    fighterPlate->Repair(20.0f);
    EXPECT_FLOAT_EQ(fighterPlate->GetArmour(), 20.0f);
    EXPECT_FLOAT_EQ(fighterPlate->GetHealth(), 0.4f);
    EXPECT_FLOAT_EQ(fighterPlate->GetHitpoints(), 20.0f);
}

TEST_F(ArmourModuleTest, HealthShowsTheArmourNotTheHitpoints)
{
    SIM_Ship* ship = world.Build("plainbox", 0, 0);
    auto* plate = ModuleTestWorld::FindModule<SIM_ArmourModule>(ship);
    plate->TakeDamage(25.0f);
    EXPECT_FLOAT_EQ(plate->GetHitpoints(), 5.0f);
    EXPECT_FLOAT_EQ(plate->GetHealth(), 0.5f);
    plate->Repair(10.0f);
    EXPECT_FLOAT_EQ(plate->GetArmour(), 35.0f);
    EXPECT_FLOAT_EQ(plate->GetHealth(), 0.7f);
}

TEST_F(ArmourModuleTest, EngineGivesAQuarterWhenWrecked)
{
    SIM_Ship* ship = world.Build("plainbox", 0, 0);
    auto* engine = ModuleTestWorld::FindModule<SIM_EngineModule>(ship);
    ASSERT_NE(engine, nullptr);
    engine->TakeDamage(10.0f);
    EXPECT_FLOAT_EQ(engine->GetHealth(), 0.5f);
    EXPECT_FLOAT_EQ(engine->GetCurrentThrust(), 62.5f);
    engine->TakeDamage(10.0f);
    EXPECT_FLOAT_EQ(engine->GetCurrentThrust(), 25.0f);
    EXPECT_FLOAT_EQ(engine->GetThrust(), 100.0f);
}

TEST_F(ArmourModuleTest, EfficiencyCutsThrustAndArmour)
{
    SIM_EngineModule engine(SIM_ShipModuleType::Find("engine"));
    engine.SetEfficiency(0.5f);
    EXPECT_FLOAT_EQ(engine.GetThrust(), 50.0f);
    EXPECT_FLOAT_EQ(engine.GetCurrentThrust(), 50.0f);

    SIM_ArmourModule plate(SIM_ShipModuleType::Find("armour"));
    plate.SetEfficiency(1.5f); // clamped: no gain
    EXPECT_FLOAT_EQ(plate.GetMaxArmour(), 50.0f);
    plate.SetEfficiency(0.5f);
    EXPECT_FLOAT_EQ(plate.GetMaxArmour(), 25.0f);
    EXPECT_FLOAT_EQ(plate.GetArmour(), 25.0f);
}

TEST_F(ArmourModuleTest, StaticModulesCarryTheirValue)
{
    SIM_PDScannerModule scanner(SIM_ShipModuleType::Find("scanner"));
    EXPECT_FLOAT_EQ(scanner.GetValue(), 0.3f);
    SIM_CrewModule crew(SIM_ShipModuleType::Find("crew"));
    EXPECT_FLOAT_EQ(crew.GetValue(), 0.0f);
    SIM_PowerModule power(SIM_ShipModuleType::Find("power"));
    EXPECT_FLOAT_EQ(power.GetPowerProduced(), 10.0f);
}

TEST_F(ArmourModuleTest, ShipSpeedComesFromItsEngines)
{
    SIM_Ship* withEngine = world.Build("plainbox", 0, 0);
    SIM_Ship* without = world.Build("stacked", 0, 0);
    EXPECT_GT(withEngine->maxSpeed, without->maxSpeed);
    EXPECT_GT(without->maxSpeed, 0.0f); // still creeps
}

} // namespace
