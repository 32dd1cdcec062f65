#include <gtest/gtest.h>

#include "sim/modules/ModuleTestWorld.h"
#include "sim/modules/SIM_ArmourModule.h"
#include "sim/modules/SIM_EngineModule.h"
#include "sim/modules/SIM_PowerModule.h"
#include "sim/modules/SIM_ShieldModule.h"
#include "sim/modules/SIM_ShipModule.h"
#include "sim/modules/SIM_TacticalModule.h"

namespace {

class CountingModule : public SIM_ShipModule {
public:
    using SIM_ShipModule::SIM_ShipModule;
    void OnDestroyed() override
    {
        ++destroyedCalls;
        SIM_ShipModule::OnDestroyed();
    }
    int destroyedCalls = 0;
};

class ShipModuleTest : public ::testing::Test {
protected:
    ModuleTestWorld world;
    const SIM_ShipModuleType* crew = SIM_ShipModuleType::Find("crew");
};

TEST_F(ShipModuleTest, StartsFromItsType)
{
    SIM_ShipModule module(crew);
    EXPECT_FLOAT_EQ(module.GetHitpoints(), 40.0f);
    EXPECT_FLOAT_EQ(module.GetMaxHitpoints(), 40.0f);
    EXPECT_FLOAT_EQ(module.GetWeight(), 10.0f);
    EXPECT_FLOAT_EQ(module.GetHealth(), 1.0f);
    EXPECT_FLOAT_EQ(module.GetEfficiency(), 1.0f);
    EXPECT_TRUE(module.IsEnabled());
    EXPECT_EQ(module.index, -1);
}

TEST_F(ShipModuleTest, DestroyedAtZeroHitpointsNotAbove)
{
    CountingModule exact(crew);
    exact.TakeDamage(39.5f);
    EXPECT_GT(exact.GetHitpoints(), 0.0f);
    EXPECT_EQ(exact.destroyedCalls, 0);
    exact.TakeDamage(0.5f);
    EXPECT_FLOAT_EQ(exact.GetHealth(), 0.0f);
    EXPECT_EQ(exact.destroyedCalls, 1);

    CountingModule equal(crew);
    equal.TakeDamage(40.0f);
    EXPECT_FLOAT_EQ(equal.GetHitpoints(), 0.0f);
    EXPECT_EQ(equal.destroyedCalls, 1);

    CountingModule over(crew);
    over.TakeDamage(40.5f);
    EXPECT_FLOAT_EQ(over.GetHitpoints(), 0.0f);
    EXPECT_EQ(over.destroyedCalls, 1);
}

TEST_F(ShipModuleTest, RepairStopsAtMaximumAndMarksRepair)
{
    SIM_ShipModule module(crew);
    module.TakeDamage(30.0f);
    EXPECT_FLOAT_EQ(module.GetHealth(), 0.25f);
    module.Repair(100.0f);
    EXPECT_FLOAT_EQ(module.GetHitpoints(), 40.0f);
    EXPECT_FLOAT_EQ(module.GetHealth(), 1.0f);
    EXPECT_TRUE(module.IsRepairActive());
}

TEST_F(ShipModuleTest, EfficiencyIsClamped)
{
    SIM_ShipModule module(crew);
    module.SetEfficiency(-0.5f);
    EXPECT_FLOAT_EQ(module.GetEfficiency(), 0.0f);
    module.SetEfficiency(1.7f);
    EXPECT_FLOAT_EQ(module.GetEfficiency(), 1.0f);
}

TEST_F(ShipModuleTest, ZeroHitpointTypeHasNoHealthDivision)
{
    SIM_ShipModule module(SIM_ShipModuleType::Find("tactical"));
    module.maxHitpoints = 0.0f;
    module.hitpoints = 0.0f;
    module.TakeDamage(5.0f);
    EXPECT_FLOAT_EQ(module.GetHealth(), 0.0f);
    module.Repair(5.0f);
    EXPECT_FLOAT_EQ(module.GetHealth(), 0.0f);
}

TEST_F(ShipModuleTest, NullTypeBuildsAnEmptyModule)
{
    SIM_ShipModule module(nullptr);
    EXPECT_FLOAT_EQ(module.GetMaxHitpoints(), 0.0f);
    EXPECT_EQ(module.GetTypeInt("anything"), 0);
    module.TakeDamage(1.0f);
    EXPECT_FLOAT_EQ(module.GetHealth(), 0.0f);
}

TEST_F(ShipModuleTest, StackedModulesLoseEfficiency)
{
    SIM_Ship* ship = world.Build("stacked", 0, 0);
    int armours = 0;
    for (SIM_ShipModule* m : ship->GetModules()) {
        auto* armour = dynamic_cast<SIM_ArmourModule*>(m);
        if (!armour)
            continue;
        ++armours;
        EXPECT_NEAR(armour->GetEfficiency(), 0.64f, 1e-5f);
        EXPECT_NEAR(armour->GetMaxArmour(), 32.0f, 1e-4f);
        EXPECT_NEAR(armour->GetArmour(), 32.0f, 1e-4f);
    }
    EXPECT_EQ(armours, 3);
}

TEST_F(ShipModuleTest, HullBonusesScaleEveryModuleKind)
{
    SIM_Ship* ship = world.Build("boosted", 0, 0);
    auto* armour = ModuleTestWorld::FindModule<SIM_ArmourModule>(ship);
    auto* engine = ModuleTestWorld::FindModule<SIM_EngineModule>(ship);
    auto* shield = ModuleTestWorld::FindModule<SIM_ShieldModule>(ship);
    auto* power = ModuleTestWorld::FindModule<SIM_PowerModule>(ship);
    ASSERT_TRUE(armour && engine && shield && power);

    EXPECT_FLOAT_EQ(armour->GetMaxHitpoints(), 45.0f); // 30 * 0.5 + 30
    EXPECT_FLOAT_EQ(armour->GetHitpoints(), 45.0f);
    EXPECT_FLOAT_EQ(armour->GetMaxArmour(), 62.5f);    // 50 * 0.25 + 50
    EXPECT_FLOAT_EQ(engine->GetMaxHitpoints(), 30.0f);
    EXPECT_FLOAT_EQ(engine->GetThrust(), 110.0f);
    EXPECT_FLOAT_EQ(engine->GetCurrentThrust(), 110.0f);
    EXPECT_FLOAT_EQ(shield->GetMaxPoints(), 120.0f);
    EXPECT_FLOAT_EQ(shield->GetPoints(), 120.0f);
    EXPECT_FLOAT_EQ(power->GetPowerProduced(), 15.0f);

    SIM_Ship* plain = world.Build("plainbox", 0, 0);
    EXPECT_FLOAT_EQ(ModuleTestWorld::FindModule<SIM_ArmourModule>(plain)->GetMaxArmour(), 50.0f);
    EXPECT_FLOAT_EQ(ModuleTestWorld::FindModule<SIM_EngineModule>(plain)->GetThrust(), 100.0f);
}

TEST_F(ShipModuleTest, WorldPositionTurnsWithTheShip)
{
    SIM_Ship* ship = world.Build("unarmed", 100.0f, 200.0f);
    SIM_ShipModule module(crew);
    module.SetShip(ship);
    module.SetOffset(0.0f, -10.0f); // ten units ahead
    ship->SetAngle(90.0f);
    SIM_ShipModule::Point p = module.GetWorldPos();
    EXPECT_NEAR(p.x, 110.0f, 1e-3f);
    EXPECT_NEAR(p.y, 200.0f, 1e-3f);
    // An out-of-range turret answers the module position instead of reading past the list.
    SIM_ShipModule::Point t = module.GetTurretWorldPos(7);
    EXPECT_NEAR(t.x, 110.0f, 1e-3f);
}

TEST_F(ShipModuleTest, TurretOffsetsNeverExceedFour)
{
    SIM_ShipModule module(crew);
    std::vector<SIM_ShipModule::Point> six(6, SIM_ShipModule::Point{1.0f, 2.0f});
    module.SetTurretOffsets(six);
    EXPECT_EQ(module.GetTurretCount(), 4u);
}

TEST_F(ShipModuleTest, TypeValuesReadAsIntegers)
{
    SIM_ShipModule salvo(SIM_ShipModuleType::Find("salvolaser"));
    EXPECT_EQ(salvo.GetTypeInt("salvo_size"), 3);
    EXPECT_EQ(salvo.GetTypeInt("no_such_key"), 0);
    SIM_ShipModule turret(SIM_ShipModuleType::Find("turretlaser"));
    EXPECT_TRUE(turret.GetTypeBool("convergence"));
    EXPECT_FALSE(salvo.GetTypeBool("convergence"));
}

TEST_F(ShipModuleTest, WrecksStayOnTheShipAndWeaponLossReachesTactics)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    const size_t count = ship->GetModules().size();
    ASSERT_FALSE(ship->tacticalModule->AreWeaponsGone());
    for (SIM_ShipModule* m : ship->GetModules())
        if (m->IsWeapon())
            m->TakeDamage(1000.0f);
    EXPECT_EQ(ship->GetModules().size(), count);
    EXPECT_TRUE(ship->tacticalModule->AreWeaponsGone());
    for (SIM_ShipModule* m : ship->GetModules())
        if (m->IsWeapon())
            m->Repair(5.0f);
    EXPECT_FALSE(ship->tacticalModule->AreWeaponsGone());
}

} // namespace
