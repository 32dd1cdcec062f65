#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sim/modules/ModuleTestWorld.h"
#include "sim/modules/SIM_BeamWeaponModule.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"
#include "sim/modules/SIM_TargetedModule.h"

namespace {

class CountingWeapon : public SIM_TargetedModule {
public:
    using SIM_TargetedModule::SIM_TargetedModule;
    void Fire() override
    {
        SIM_TargetedModule::Fire();
        ++shots;
    }
    void FireTurret(const ShotRecord& record) override { turretShots.push_back(record.value); }
    int shots = 0;
    std::vector<int> turretShots;
};

class TargetedModuleTest : public ::testing::Test {
protected:
    SIM_TargetedModule* Laser(SIM_Ship* ship) { return ModuleTestWorld::FindModule<SIM_BeamWeaponModule>(ship); }

    int Shots(const SIM_TargetedModule* m) const
    {
        int n = 0;
        for (const auto& e : m->GetStatistics().entries)
            n += e.kind == SIM_ModuleStatistics::SHOT ? 1 : 0;
        return n;
    }

    ModuleTestWorld world;
};

TEST_F(TargetedModuleTest, ReadsRangesAndIntervalsFromItsType)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    SIM_TargetedModule* laser = Laser(ship);
    ASSERT_NE(laser, nullptr);
    EXPECT_FLOAT_EQ(laser->GetMaxRange(), 600.0f);
    EXPECT_FLOAT_EQ(laser->maxRangeSq, 360000.0f);
    EXPECT_FLOAT_EQ(laser->optimumRange, 300.0f);
    EXPECT_FLOAT_EQ(laser->fireInterval, 1000.0f);
    EXPECT_FLOAT_EQ(laser->currentInterval, 1000.0f);
    EXPECT_GE(laser->reloadProgress, 0.0f);
    EXPECT_LE(laser->reloadProgress, 1000.0f);
    EXPECT_EQ(laser->cloakSensitive, 1);
    EXPECT_FALSE(laser->hasSalvo);
    EXPECT_EQ(laser->enemyFleet, &world.Enemy());
    EXPECT_EQ(laser->turretSprite, "fed_turret_laser");
}

TEST_F(TargetedModuleTest, TiesKeepTheFirstShip)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    SIM_Ship* first = world.Build("unarmed", 300, 0, true);
    world.Build("unarmed", -300, 0, true);
    SIM_TargetedModule* laser = Laser(ship);
    laser->ChooseTarget(true);
    EXPECT_EQ(laser->GetTarget(), first);
    // Without attack orders every score is 0: still a target.
    laser->SetTarget(nullptr);
    laser->ChooseTarget(false);
    EXPECT_EQ(laser->GetTarget(), first);
    EXPECT_FLOAT_EQ(laser->retargetTimer, 0.0f);
}

TEST_F(TargetedModuleTest, AShipAlreadyUnderMoreThanTenTimesItsThreatIsLeftAlone)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    SIM_Ship* first = world.Build("unarmed", 300, 0, true);
    SIM_Ship* second = world.Build("unarmed", -300, 0, true);
    SIM_TargetedModule* laser = Laser(ship);
    auto choose = [&](float firstThreat) {
        laser->SetTarget(nullptr);
        first->threatRatio = firstThreat;
        second->threatRatio = 0.0f;
        laser->ChooseTarget(true);
        return laser->GetTarget();
    };
    EXPECT_EQ(choose(10.0f), first) << "ten times is still fair game";
    EXPECT_EQ(choose(std::nextafter(10.0f, 11.0f)), second);
}

TEST_F(TargetedModuleTest, LaterShipWinsOnlyWithAHigherScore)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    world.Build("frigate", 300, 0, true);
    SIM_Ship* cruiser = world.Build("unarmed", -300, 0, true); // bigger: easier to hit
    SIM_TargetedModule* laser = Laser(ship);
    laser->ChooseTarget(true);
    EXPECT_EQ(laser->GetTarget(), cruiser);
    ASSERT_FALSE(cruiser->GetAttackers().empty());
    EXPECT_EQ(cruiser->GetAttackers().front(), ship);
}

TEST_F(TargetedModuleTest, EachWeaponOnATargetIsOneAttackerEntryUntilItLooksAwayOrDocks)
{
    world.Design("twinlaser", "t_cruiser", {"engine", "laser", "laser", ""});
    SIM_Ship* ship = world.Build("twinlaser", 0, 0);
    SIM_Ship* cruiser = world.Build("unarmed", 300, 0, true);
    std::vector<SIM_TargetedModule*> lasers;
    for (SIM_ShipModule* m : ship->GetModules())
        if (auto* laser = dynamic_cast<SIM_BeamWeaponModule*>(m))
            lasers.push_back(laser);
    ASSERT_EQ(lasers.size(), 2u);
    for (SIM_TargetedModule* laser : lasers)
        laser->ChooseTarget(true);
    EXPECT_EQ(cruiser->GetAttackers().size(), 2u);
    EXPECT_FLOAT_EQ(cruiser->threatRatio, 2.0f * ship->startingHitPoints / cruiser->startingHitPoints);
    lasers[0]->ChooseTarget(true); // the same choice again adds nothing
    EXPECT_EQ(cruiser->GetAttackers().size(), 2u);
    ship->docked = 1;
    lasers[0]->ChooseTarget(true);
    EXPECT_EQ(lasers[0]->GetTarget(), nullptr);
    EXPECT_EQ(cruiser->GetAttackers().size(), 1u) << "the docked weapon's entry left; the other stays";
}

TEST_F(TargetedModuleTest, OrderTermsWeighOnlyForWeaponsWithThoseOrders)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    SIM_Ship* first = world.Build("unarmed", 300, 0, true);
    SIM_Ship* second = world.Build("unarmed", -300, 0, true);
    SIM_TargetedModule* laser = Laser(ship);
    auto choose = [&] {
        laser->SetTarget(nullptr);
        laser->ChooseTarget(true);
        return laser->GetTarget();
    };
    first->healthFraction = 1.0f;
    second->healthFraction = 0.5f;
    first->threatRatio = 0.0f;
    second->threatRatio = 0.0f;
    ASSERT_FALSE(laser->vulture || laser->coOperative || laser->rescuer || laser->retaliate || laser->isMissile);
    EXPECT_EQ(choose(), first) << "health is no term without vulture orders";
    laser->vulture = true;
    EXPECT_EQ(choose(), second) << "a vulture goes for the damaged ship";
    second->healthFraction = 1.0f;
    EXPECT_EQ(choose(), first) << "equal scores keep the first ship with orders too";
    laser->vulture = false;
    laser->coOperative = true;
    second->threatRatio = 4.0f; // +0.5, the most the term gives
    EXPECT_EQ(choose(), second);
}

TEST_F(TargetedModuleTest, ClassPreferenceFollowsAttackOrders)
{
    auto orders = std::make_unique<SIM_ShipOrders>();
    orders->AddOrder("ATTACK_FRIGATES", 1.0f, 400.0f);
    SIM_Ship* ship = world.Build("gunship", 0, 0, false, std::move(orders));
    world.Build("unarmed", 300, 0, true);
    SIM_Ship* frigate = world.Build("frigate", -300, 0, true);
    SIM_TargetedModule* laser = Laser(ship);
    ASSERT_TRUE(laser->attackFrigates);
    laser->SetClassPreference(true);
    laser->ChooseTarget(false);
    EXPECT_EQ(laser->GetTarget(), frigate);
    frigate->state = SIM_Ship::RETREATED;
    laser->ChooseTarget(false);
    EXPECT_EQ(laser->GetTarget(), nullptr);
    laser->ChooseTarget(true);
    EXPECT_NE(laser->GetTarget(), nullptr);
    EXPECT_NE(laser->GetTarget(), frigate);
}

// Without class preference the orders still weigh each hull class: the
// priority of the candidate's own class scales its score (none: nought), and
// a choice of any class ignores them.
TEST_F(TargetedModuleTest, AttackPrioritiesWeighEachHullClass)
{
    auto frigatesFirst = std::make_unique<SIM_ShipOrders>();
    frigatesFirst->AddOrder("ATTACK_CRUISERS", 0.2f, 400.0f);
    frigatesFirst->AddOrder("ATTACK_FRIGATES", 1.0f, 400.0f);
    auto fightersFirst = std::make_unique<SIM_ShipOrders>();
    fightersFirst->AddOrder("ATTACK_CRUISERS", 0.1f, 400.0f);
    fightersFirst->AddOrder("ATTACK_FRIGATES", 0.1f, 400.0f);
    fightersFirst->AddOrder("ATTACK_FIGHTERS", 3.0f, 400.0f);
    SIM_Ship* a = world.Build("gunship", 0, 0, false, std::move(frigatesFirst));
    SIM_Ship* b = world.Build("gunship", 0, 10, false, std::move(fightersFirst));
    SIM_Ship* cruiser = world.Build("unarmed", -300, 0, true);
    SIM_Ship* frigate = world.Build("frigate", 300, 0, true);
    SIM_Ship* fighter = world.Build("fighter", 0, 300, true);
    ASSERT_EQ(fighter->GetHullClass(), SIM_ShipHull::FIGHTER);

    SIM_TargetedModule* first = Laser(a);
    first->ChooseTarget(false);
    EXPECT_EQ(first->GetTarget(), frigate);
    SIM_TargetedModule* second = Laser(b);
    second->ChooseTarget(false);
    EXPECT_EQ(second->GetTarget(), fighter);
    // Any class: the biggest, easiest to hit, whatever the orders say.
    first->ChooseTarget(true);
    EXPECT_EQ(first->GetTarget(), cruiser);
    second->ChooseTarget(true);
    EXPECT_EQ(second->GetTarget(), cruiser);
}

TEST_F(TargetedModuleTest, OutOfRangeAndHiddenShipsAreNoCandidates)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    SIM_Ship* far = world.Build("unarmed", 700, 0, true);
    SIM_Ship* waiting = world.Build("unarmed", 100, 0, true);
    waiting->state = SIM_Ship::OFF_FIELD;
    SIM_Ship* docked = world.Build("unarmed", 0, 100, true);
    docked->docked = 1;
    SIM_TargetedModule* laser = Laser(ship);
    laser->ChooseTarget(true);
    EXPECT_EQ(laser->GetTarget(), nullptr);
    (void)far;
}

TEST_F(TargetedModuleTest, HitChanceFollowsSpeedSizeAndCloak)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    SIM_Ship* target = world.Build("cloakship", 300, 0, true);
    SIM_TargetedModule* laser = Laser(ship);
    const float size = 0.5f + 0.5f * (100.0f / 256.0f);
    target->speed = 0.0f;
    EXPECT_NEAR(laser->HitChance(target), size, 1e-5f);
    target->speed = 1.0f; // tracking speed 2
    EXPECT_NEAR(laser->HitChance(target), 0.5f * size, 1e-5f);
    target->speed = 3.0f;
    EXPECT_NEAR(laser->HitChance(target), 0.02f * size, 1e-5f);

    target->speed = 1.0f;
    ModuleTestWorld::FindModule<SIM_CamoflageShieldModule>(target)->cloakState = SIM_CamoflageShieldModule::CLOAKED;
    EXPECT_NEAR(laser->HitChance(target), 0.125f * size, 1e-5f);

    // A turret that cannot turn: no division by zero.
    laser->trackingSpeed = 0.0f;
    target->speed = 0.0f;
    const float c = laser->HitChance(target);
    EXPECT_TRUE(std::isfinite(c));
    EXPECT_NEAR(c, 0.25f * size, 1e-5f);
    target->speed = 0.5f;
    EXPECT_NEAR(laser->HitChance(target), 0.02f * size, 1e-5f);
}

TEST_F(TargetedModuleTest, RangeFactorPeaksAtOptimumRange)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    SIM_TargetedModule* laser = Laser(ship);
    EXPECT_FLOAT_EQ(laser->RangeFactor(0.0f), 0.5f);
    EXPECT_FLOAT_EQ(laser->RangeFactor(150.0f), 0.75f);
    EXPECT_FLOAT_EQ(laser->RangeFactor(300.0f), 1.0f);
    EXPECT_FLOAT_EQ(laser->RangeFactor(450.0f), 0.75f);
    EXPECT_FLOAT_EQ(laser->RangeFactor(600.0f), 0.5f);
    EXPECT_FLOAT_EQ(laser->RangeFactor(900.0f), 0.5f);
    laser->optimumRange = 0.0f;
    EXPECT_FLOAT_EQ(laser->RangeFactor(450.0f), 1.0f);
    laser->optimumRange = 600.0f; // no band past the optimum
    const float f = laser->RangeFactor(650.0f);
    EXPECT_TRUE(std::isfinite(f));
    EXPECT_FLOAT_EQ(f, 0.5f);
}

TEST_F(TargetedModuleTest, DamagedWeaponReloadsSlower)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    SIM_Ship* target = world.Build("bigtarget", 300, 0, true);
    SIM_TargetedModule* laser = Laser(ship);
    laser->TakeDamage(laser->GetMaxHitpoints() * 0.5f);
    ASSERT_FLOAT_EQ(laser->GetHealth(), 0.5f);
    laser->ChooseTarget(true);
    ASSERT_EQ(laser->GetTarget(), target);
    laser->reloadProgress = 0.0f;
    laser->currentInterval = 1000.0f;
    for (int i = 0; i < 166; ++i) // 1992 ms
        laser->Update();
    EXPECT_TRUE(laser->IsInRange());
    EXPECT_FLOAT_EQ(laser->reloadTime, 2000.0f);
    EXPECT_EQ(Shots(laser), 0);
    laser->Update(); // 2004 ms
    EXPECT_EQ(Shots(laser), 1);
    EXPECT_FLOAT_EQ(laser->reloadProgress, 0.0f);
    EXPECT_GE(laser->currentInterval, 800.0f);
    EXPECT_LE(laser->currentInterval, 1200.0f);
    EXPECT_FLOAT_EQ(ship->timeSinceFired, 0.0f);
}

TEST_F(TargetedModuleTest, TargetBeyondRangeIsKeptButNotFiredAt)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    SIM_Ship* target = world.Build("bigtarget", 300, 0, true);
    SIM_TargetedModule* laser = Laser(ship);
    laser->ChooseTarget(true);
    target->x = 900.0f;
    laser->reloadProgress = 5000.0f;
    for (int i = 0; i < 10; ++i)
        laser->Update();
    EXPECT_EQ(laser->GetTarget(), target);
    EXPECT_FALSE(laser->IsInRange());
    EXPECT_EQ(Shots(laser), 0);
    EXPECT_GT(laser->reloadProgress, 5000.0f);
}

TEST_F(TargetedModuleTest, PausedOrWreckedWeaponsDoNothing)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    world.Build("bigtarget", 300, 0, true);
    SIM_TargetedModule* laser = Laser(ship);
    laser->ChooseTarget(true);
    laser->reloadProgress = 5000.0f;
    ModuleTestWorld::SetFrame(0.0f);
    laser->Update();
    EXPECT_EQ(Shots(laser), 0);
    ModuleTestWorld::SetFrame(12.0f);
    laser->TakeDamage(1000.0f);
    laser->Update();
    EXPECT_EQ(Shots(laser), 0);
}

TEST_F(TargetedModuleTest, DeadTargetIsDroppedAndReplaced)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    SIM_Ship* first = world.Build("bigtarget", 300, 0, true);
    SIM_Ship* second = world.Build("bigtarget", -300, 0, true);
    SIM_TargetedModule* laser = Laser(ship);
    laser->ChooseTarget(true);
    ASSERT_EQ(laser->GetTarget(), first);
    first->deadFlag = 1;
    laser->Update();
    EXPECT_EQ(laser->GetTarget(), nullptr);
    laser->SetTarget(first);
    const float step = 200.0f;
    laser->SetThinkTime(&step);
    laser->retargetTimer = 0.0f;
    laser->Think();
    EXPECT_EQ(laser->GetTarget(), second);
}

TEST_F(TargetedModuleTest, SalvosFireInBurstsThenPause)
{
    SIM_Ship* ship = world.Build("salvoship", 0, 0);
    world.Build("bigtarget", 300, 0, true);
    SIM_TargetedModule* gun = Laser(ship);
    ASSERT_TRUE(gun->hasSalvo);
    EXPECT_EQ(gun->salvoSize, 3);
    gun->ChooseTarget(true);
    gun->Fire();
    EXPECT_FLOAT_EQ(gun->currentInterval, 200.0f);
    gun->Fire();
    EXPECT_FLOAT_EQ(gun->currentInterval, 200.0f);
    gun->Fire();
    EXPECT_GE(gun->currentInterval, 2400.0f);
    EXPECT_LE(gun->currentInterval, 3600.0f);
    EXPECT_EQ(gun->salvoCount, 0);
    gun->Fire();
    EXPECT_FLOAT_EQ(gun->currentInterval, 200.0f);
}

TEST_F(TargetedModuleTest, MissTallyCountsClearsAndExpires)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    SIM_Ship* a = world.Build("unarmed", 300, 0, true);
    SIM_Ship* b = world.Build("unarmed", -300, 0, true);
    SIM_TargetedModule* laser = Laser(ship);
    for (int i = 0; i < 4; ++i)
        laser->NoteMiss(a);
    laser->NoteMiss(b);
    EXPECT_EQ(laser->CountMisses(a), 4);
    EXPECT_EQ(laser->CountMisses(b), 1);
    // More than three misses make a ship a poorer choice.
    laser->ChooseTarget(true);
    EXPECT_EQ(laser->GetTarget(), b);
    laser->ClearMisses(a);
    EXPECT_EQ(laser->CountMisses(a), 0);
    GUI_BattleGUI::GetInstance().battleTime += 6001.0f;
    laser->NoteMiss(a);
    laser->ExpireMisses();
    EXPECT_EQ(laser->CountMisses(b), 0);
    EXPECT_EQ(laser->CountMisses(a), 1);
}

TEST_F(TargetedModuleTest, ShotRecordsFireTheirTurretWhenDue)
{
    SIM_Ship* ship = world.Build("unarmed", 0, 0);
    SIM_Ship* target = world.Build("bigtarget", 300, 0, true);
    CountingWeapon weapon(SIM_ShipModuleType::Find("laser"), ship->GetOrders());
    weapon.AddShotRecord(1, 10.0f); // no target yet: nothing
    EXPECT_TRUE(weapon.GetShotRecords().empty());
    weapon.SetTarget(target);
    weapon.targetPoint = target->NextTargetPoint();
    weapon.AddShotRecord(7, 20.0f);
    weapon.AddShotRecord(8, 30.0f);
    weapon.ExpireShotRecords(); // 12 ms
    EXPECT_TRUE(weapon.turretShots.empty());
    weapon.ExpireShotRecords(); // 24 ms
    ASSERT_EQ(weapon.turretShots.size(), 1u);
    EXPECT_EQ(weapon.turretShots[0], 7);
    weapon.ExpireShotRecords(); // 36 ms
    ASSERT_EQ(weapon.turretShots.size(), 2u);
    EXPECT_TRUE(weapon.GetShotRecords().empty());
}

TEST_F(TargetedModuleTest, ChargeFractionNeedsATarget)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    world.Build("bigtarget", 300, 0, true);
    SIM_TargetedModule* laser = Laser(ship);
    EXPECT_FLOAT_EQ(laser->ChargeFraction(), 0.0f);
    laser->ChooseTarget(true);
    laser->reloadProgress = 0.0f;
    laser->currentInterval = 1000.0f;
    laser->Update();
    EXPECT_NEAR(laser->ChargeFraction(), 0.012f, 1e-5f);
}

} // namespace

TEST_F(TargetedModuleTest, TheMouseIsOverATurretWithinHalfItsSizeOfAnyTurret)
{
    SIM_Ship* ship = world.Build("turretship", 0, 0);
    SIM_TargetedModule* weapon = ModuleTestWorld::FindModule<SIM_BeamWeaponModule>(ship);
    ASSERT_NE(weapon, nullptr);
    ASSERT_EQ(weapon->GetTurretCount(), 3u);
    ASSERT_FLOAT_EQ(weapon->turretSize, 16.0f);
    for (size_t i = 0; i < 3; ++i) {
        const SIM_ShipModule::Point p = weapon->GetTurretWorldPos(i);
        EXPECT_TRUE(weapon->IsMouseOverTurret(p.x + 8.0f, p.y - 8.0f)) << i;
        EXPECT_FALSE(weapon->IsMouseOverTurret(p.x, p.y + 8.5f)) << i; // the turrets sit in a row across
    }
    // No turrets: the module's own square.
    SIM_TargetedModule* fixed = Laser(world.Build("gunship", 1000, 0));
    ASSERT_EQ(fixed->GetTurretCount(), 0u);
    const SIM_ShipModule::Point m = fixed->GetWorldPos();
    EXPECT_TRUE(fixed->IsMouseOverTurret(m.x - 8.0f, m.y + 8.0f));
    EXPECT_FALSE(fixed->IsMouseOverTurret(m.x, m.y + 8.5f));
    fixed->turretSize = 0.0f;
    EXPECT_FALSE(fixed->IsMouseOverTurret(m.x, m.y)) << "no picture, nothing to point at";
}

TEST_F(TargetedModuleTest, AShipListsEveryShipItFiredAtOnceInOrder)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    SIM_Ship* a = world.Build("unarmed", 300, 0, true);
    SIM_Ship* b = world.Build("unarmed", -300, 0, true);
    SIM_TargetedModule* laser = Laser(ship);
    laser->SetTarget(b);
    laser->Fire();
    laser->SetTarget(a);
    laser->Fire();
    laser->Fire();
    laser->SetTarget(b);
    laser->Fire();
    EXPECT_EQ(ship->GetStats().shipsFiredAt, (std::vector<const SIM_Ship*>{b, a}));
}
