#include "SupportWorld.h"

#include "sim/modules/SIM_ArmourModule.h"
#include "sim/modules/SIM_CarrierModule.h"
#include "sim/modules/SIM_EngineModule.h"
#include "sim/modules/SIM_RepairModule.h"
#include "sim/modules/SIM_TacticalModule.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

void Wound(SIM_ShipModule* m, float hitpoints)
{
    m->hitpoints = hitpoints;
    m->health = hitpoints / m->maxHitpoints;
    if (m->GetShip())
        m->GetShip()->RecalculateStats();
}

class RepairCarrierTest : public ::testing::Test {
protected:
    SupportWorld world;
};

} // namespace

TEST_F(RepairCarrierTest, RepairWaitsForPeaceThenMendsAtItsRateFromItsSupplies)
{
    SIM_Ship* ship = world.Build("repairship", 500.0f, 500.0f);
    auto* repair = ModuleTestWorld::FindModule<SIM_RepairModule>(ship);
    auto* plate = ModuleTestWorld::FindModule<SIM_ArmourModule>(ship);
    ASSERT_NE(repair, nullptr);
    EXPECT_FLOAT_EQ(repair->GetSuppliesFraction(), 1.0f);
    plate->TakeDamage(25.0f); // armour health 0.5

    // 800 ms of peace is short of the 1000 the type wants.
    SupportWorld::Think(ship, 200.0f, 4);
    EXPECT_FLOAT_EQ(plate->GetHitpoints(), 5.0f);
    // At 1000 it searches and mends dt / 10 x rate x (health x 0.5 + 0.5) = 20.
    SupportWorld::Think(ship, 200.0f);
    EXPECT_EQ(repair->GetRepairTarget(), plate);
    EXPECT_FLOAT_EQ(plate->GetHitpoints(), 25.0f);
    EXPECT_FLOAT_EQ(plate->armour, 45.0f);
    EXPECT_FLOAT_EQ(repair->GetSupplies(), 80.0f);
    // The whole amount is spent even when the module needed less; a whole
    // module is let go.
    SupportWorld::Think(ship, 200.0f);
    EXPECT_FLOAT_EQ(plate->armour, 50.0f);
    EXPECT_FLOAT_EQ(repair->GetSupplies(), 60.0f);
    EXPECT_EQ(repair->GetRepairTarget(), nullptr);
    EXPECT_FALSE(plate->IsRepairActive());

    // A half-wrecked repair module works at three quarters: 15.
    plate->TakeDamage(25.0f);
    Wound(repair, 25.0f);
    SupportWorld::Think(ship, 200.0f);
    EXPECT_FLOAT_EQ(plate->armour, 40.0f);
    EXPECT_FLOAT_EQ(repair->GetSuppliesFraction(), 0.45f);

    // A hit restarts the peace clock, and a ship hit more often than the
    // peace interval is never mended.
    for (int i = 0; i < 5; ++i) {
        ship->TakeHit(nullptr, 1.0f, 1000.0f, 1000.0f, nullptr, true, 0.0f, 0.0f);
        EXPECT_FLOAT_EQ(repair->GetPeaceTimer(), 0.0f);
        const float before = plate->armour;
        SupportWorld::Think(ship, 200.0f, 4);
        EXPECT_LE(plate->armour, before);
    }

    // The last supplies go: the repair is capped at them and then stops.
    repair->supplies = 3.0f;
    plate->TakeDamage(10.0f);
    const float low = plate->armour;
    SupportWorld::Think(ship, 200.0f, 5);
    EXPECT_FLOAT_EQ(plate->armour, low + 3.0f);
    EXPECT_FLOAT_EQ(repair->GetSupplies(), 0.0f);
    SupportWorld::Think(ship, 200.0f, 5);
    EXPECT_FLOAT_EQ(plate->armour, low + 3.0f);
}

TEST_F(RepairCarrierTest, ArmourRepairMendsOnlyArmourAndNoRepairTouchesWreckedOrWholeModules)
{
    SIM_Ship* fixer = world.Build("armourfixer", 500.0f, 500.0f);
    auto* repair = ModuleTestWorld::FindModule<SIM_RepairModule>(fixer);
    auto* engine = ModuleTestWorld::FindModule<SIM_EngineModule>(fixer);
    auto* plate = ModuleTestWorld::FindModule<SIM_ArmourModule>(fixer);
    ASSERT_TRUE(repair->IsArmourOnly());
    Wound(engine, 5.0f);
    SupportWorld::Think(fixer, 200.0f, 3);
    EXPECT_EQ(repair->GetRepairTarget(), nullptr);
    EXPECT_FLOAT_EQ(engine->GetHitpoints(), 5.0f);
    plate->TakeDamage(20.0f);
    SupportWorld::Think(fixer, 200.0f);
    EXPECT_FLOAT_EQ(plate->armour, 50.0f);
    EXPECT_FLOAT_EQ(engine->GetHitpoints(), 5.0f);

    SIM_Ship* general = world.Build("repairship", 900.0f, 500.0f);
    auto* anyRepair = ModuleTestWorld::FindModule<SIM_RepairModule>(general);
    auto* wrecked = ModuleTestWorld::FindModule<SIM_EngineModule>(general);
    Wound(wrecked, 0.0f);
    SupportWorld::Think(general, 200.0f, 10);
    EXPECT_EQ(anyRepair->GetRepairTarget(), nullptr);
    EXPECT_FLOAT_EQ(wrecked->GetHitpoints(), 0.0f);
    EXPECT_FLOAT_EQ(anyRepair->GetSupplies(), 100.0f);
}

TEST_F(RepairCarrierTest, AFighterDocksIsMendedAndLaunchedAndABayOutOfSuppliesLaunchesEveryone)
{
    SIM_Ship* carrier = world.Build("carrier", 500.0f, 500.0f);
    auto* bay = ModuleTestWorld::FindModule<SIM_CarrierModule>(carrier);
    ASSERT_NE(bay, nullptr);
    const SIM_ShipModule::Point bayPos = bay->GetWorldPos();

    // A fighter heading home docks once it is within 20 units of the bay.
    SIM_Ship* fighter = world.Build("fighter", bayPos.x + 25.0f, bayPos.y);
    auto* engine = ModuleTestWorld::FindModule<SIM_EngineModule>(fighter);
    Wound(engine, 15.0f);
    fighter->tacticalModule->SetMode(SIM_TacticalModule::RETURN);
    ASSERT_EQ(fighter->tacticalModule->GetCarrierShip(), carrier);
    fighter->speed = 0.0f;
    SupportWorld::Think(fighter, 200.0f);
    EXPECT_FALSE(fighter->docked) << "25 units is outside the 20-unit reach of a slow fighter";
    // A fast one reaches speed x frame step x 4, but never past 32.
    fighter->speed = 10.0f;
    fighter->x = bayPos.x + 33.0f;
    SupportWorld::Think(fighter, 200.0f);
    EXPECT_FALSE(fighter->docked);
    fighter->x = bayPos.x + 31.0f;
    SupportWorld::Think(fighter, 200.0f);
    ASSERT_TRUE(fighter->docked);
    EXPECT_EQ(fighter->tacticalModule->GetMode(), SIM_TacticalModule::DOCKED);
    ASSERT_EQ(bay->GetDocked().size(), 1u);

    // Mended by 20 in one step (5 were missing): whole, it leaves the bay.
    SupportWorld::Think(carrier, 200.0f);
    EXPECT_FLOAT_EQ(engine->GetHitpoints(), 20.0f);
    EXPECT_FLOAT_EQ(bay->GetSupplies(), 30.0f);
    EXPECT_FALSE(fighter->docked);
    EXPECT_TRUE(bay->GetDocked().empty());
    EXPECT_NE(fighter->tacticalModule->GetMode(), SIM_TacticalModule::DOCKED);

    // Two badly hurt fighters: one module a step, in docking order; 30
    // supplies last two steps (20, then 10), and the empty bay launches
    // both, mended or not.
    SIM_Ship* a = world.Build("fighter", bayPos.x, bayPos.y);
    SIM_Ship* b = world.Build("fighter", bayPos.x, bayPos.y);
    for (SIM_Ship* f : {a, b}) {
        Wound(ModuleTestWorld::FindModule<SIM_EngineModule>(f), 1.0f);
        ModuleTestWorld::FindModule<SIM_ArmourModule>(f)->TakeDamage(29.0f);
    }
    bay->Dock(a);
    bay->Dock(b);
    SupportWorld::Think(carrier, 200.0f);
    EXPECT_EQ(bay->GetDocked().size(), 2u);
    EXPECT_FLOAT_EQ(ModuleTestWorld::FindModule<SIM_EngineModule>(a)->GetHitpoints(), 20.0f);
    EXPECT_FLOAT_EQ(ModuleTestWorld::FindModule<SIM_EngineModule>(b)->GetHitpoints(), 1.0f);
    SupportWorld::Think(carrier, 200.0f);
    EXPECT_FLOAT_EQ(bay->GetSupplies(), 0.0f);
    EXPECT_TRUE(bay->GetDocked().empty());
    EXPECT_FALSE(a->docked);
    EXPECT_FALSE(b->docked);
    EXPECT_LT(b->healthFraction, 1.0f);

    // With no supplies the carrier is no place to land.
    fighter->tacticalModule->EvaluateMode();
    EXPECT_EQ(fighter->tacticalModule->GetCarrierShip(), nullptr);
    EXPECT_EQ(fighter->tacticalModule->GetMode(), SIM_TacticalModule::WITHDRAW);
}

TEST_F(RepairCarrierTest, ABayBroughtToExactlyZeroKillsTheFightersInside)
{
    SIM_Ship* carrier = world.Build("carrier", 500.0f, 500.0f);
    auto* bay = ModuleTestWorld::FindModule<SIM_CarrierModule>(carrier);
    SIM_Ship* fighter = world.Build("fighter", 500.0f, 500.0f);
    bay->Dock(fighter);
    // Left with a sliver the bay holds on; brought to exactly 0 it is gone.
    const float hp = bay->GetHitpoints();
    bay->TakeDamage(hp - 0.5f);
    EXPECT_EQ(bay->GetDocked().size(), 1u);
    EXPECT_FALSE(fighter->IsDead());
    bay->TakeDamage(0.5f);
    EXPECT_FLOAT_EQ(bay->GetHitpoints(), 0.0f);
    EXPECT_TRUE(bay->GetDocked().empty());
    EXPECT_TRUE(fighter->IsDead());
    EXPECT_EQ(fighter->state, static_cast<unsigned int>(SIM_Ship::DESTROYED));
    EXPECT_FALSE(fighter->docked);
}

TEST_F(RepairCarrierTest, AFighterDocksInTheBayWithMostHealthLessATenthPerFighterInside)
{
    // The first bay holds one fighter (1.0 - 0.1); the second is worn to
    // the health given. Returns the bay the next fighter docks in.
    float y = 500.0f;
    auto chosen = [&](float secondHealth) -> int {
        y += 400.0f;
        SIM_Ship* carrier = world.Build("twobays", 500.0f, y);
        const auto& bays = carrier->GetCarrierModules();
        EXPECT_EQ(bays.size(), 2u);
        if (bays.size() != 2)
            return -1;
        bays[0]->Dock(world.Build("fighter", 500.0f, y));
        Wound(bays[1], secondHealth * bays[1]->maxHitpoints);
        const SIM_ShipModule::Point bay = bays[0]->GetWorldPos();
        SIM_Ship* fighter = world.Build("fighter", bay.x, bay.y);
        fighter->tacticalModule->SetMode(SIM_TacticalModule::RETURN);
        fighter->speed = 0.0f;
        SupportWorld::Think(fighter, 200.0f);
        for (int i = 0; i < 2; ++i) {
            const auto& docked = bays[static_cast<size_t>(i)]->GetDocked();
            if (std::find(docked.begin(), docked.end(), fighter) != docked.end())
                return i;
        }
        return -1;
    };
    EXPECT_EQ(chosen(0.95f), 1);
    EXPECT_EQ(chosen(0.905f), 1);
    EXPECT_EQ(chosen(0.9f), 0) << "a tie keeps the first bay";
    EXPECT_EQ(chosen(0.85f), 0);
}

TEST_F(RepairCarrierTest, ModulesWithoutSuppliesOrPowerReportEmptyNotADivisionByZero)
{
    auto* blank = new SIM_ShipModuleType(world.Dir().Write("data/modules/blank_repair.txt",
                                                           "[config]\nname = blank_repair\nclassname = SIM_RepairModule\n"));
    SIM_RepairModule repair(blank);
    EXPECT_FLOAT_EQ(repair.GetSuppliesFraction(), 0.0f);
    auto* blankBay = new SIM_ShipModuleType(world.Dir().Write("data/modules/blank_bay.txt",
                                                              "[config]\nname = blank_bay\nclassname = SIM_CarrierModule\n"));
    SIM_CarrierModule bay(blankBay);
    EXPECT_FLOAT_EQ(bay.GetSuppliesFraction(), 0.0f);
    EXPECT_FALSE(bay.IsUsable());
}
