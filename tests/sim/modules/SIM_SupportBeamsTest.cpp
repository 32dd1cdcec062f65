#include "SupportWorld.h"

#include <cmath>
#include <set>

#include "app/GUI_Sounds.h"
#include "RecordingSounds.h"
#include "sim/SIM_Shield.h"
#include "sim/modules/SIM_ShieldModule.h"
#include "sim/modules/SIM_ModuleFactory.h"
#include "sim/modules/SIM_ShieldSupportBeam.h"
#include "sim/modules/SIM_StaticModule.h"
#include "sim/modules/SIM_TacticalModule.h"
#include "sim/SIM_ShipOrder.h"
#include "sim/SIM_ShipOrders.h"
#include "sim/modules/SIM_TargetPainterModule.h"
#include "sim/modules/SIM_TractorModule.h"

#include <gtest/gtest.h>

namespace {

class SupportBeamsTest : public ::testing::Test {
protected:
    SupportBeamsTest()
        : system(new RecordingSounds()),
          sounds(std::unique_ptr<ISoundSystem>(system), [](const std::string&) { return 1.0f; })
    {
        GUI_BattleGUI::GetInstance().SetSounds(&sounds);
    }
    ~SupportBeamsTest() override { GUI_BattleGUI::GetInstance().SetSounds(nullptr); }

    static void Frames(SIM_Ship* ship, int n)
    {
        for (int i = 0; i < n; ++i)
            ship->Update();
    }
    static void SetShield(SIM_Ship* ship, float fraction)
    {
        SIM_Shield* shield = ship->GetShield();
        for (SIM_ShieldModule* m : shield->GetModules())
            m->points = m->maxPoints * fraction;
        shield->Recalculate();
    }

    SupportWorld world;
    RecordingSounds* system;
    GUI_Sounds sounds;
};

} // namespace

TEST_F(SupportBeamsTest, TheFactoryBuildsEverySupportClass)
{
    SIM_ModuleFactory::Built tractor = SIM_ModuleFactory::Create(SIM_ShipModuleType::Find("tractor"), nullptr);
    EXPECT_NE(dynamic_cast<SIM_TractorModule*>(tractor.module.get()), nullptr);
    EXPECT_TRUE(tractor.perFrame);
}

TEST_F(SupportBeamsTest, TractorGrabsByWeightedDistanceAndSkipsTheDying)
{
    SIM_Ship* tug = world.Build("tug", 500.0f, 500.0f);
    auto* tractor = ModuleTestWorld::FindModule<SIM_TractorModule>(tug);
    ASSERT_NE(tractor, nullptr);
    // Range 300: a frigate at 150 counts twice its squared distance (45000)
    // and loses to a fighter at 200 (40000).
    SIM_Ship* frigate = world.Build("frigate", 500.0f, 650.0f, true);
    SIM_Ship* fighter = world.Build("fighter", 700.0f, 500.0f, true);
    world.Build("fighter", 801.0f, 500.0f, true); // out of range
    tractor->TryGrab();
    ASSERT_EQ(tractor->GetHeldShip(), fighter);
    EXPECT_GT(fighter->drag, 0.0f);
    ASSERT_EQ(system->files.size(), 1u);
    EXPECT_EQ(system->files[0], SIM_TractorModule::kSound);
    EXPECT_TRUE(system->looping);

    // A second tractor counts the held fighter four times over.
    SIM_Ship* tug2 = world.Build("tug", 500.0f, 500.0f);
    auto* second = ModuleTestWorld::FindModule<SIM_TractorModule>(tug2);
    second->TryGrab();
    EXPECT_EQ(second->GetHeldShip(), frigate);

    // Dying ships are past holding.
    tractor->Release();
    EXPECT_FLOAT_EQ(fighter->drag, 0.0f);
    fighter->StartDying();
    SIM_Ship* third = world.Build("tug", 500.0f, 500.0f);
    auto* late = ModuleTestWorld::FindModule<SIM_TractorModule>(third);
    frigate->StartDying();
    late->TryGrab();
    EXPECT_EQ(late->GetHeldShip(), nullptr);
}

TEST_F(SupportBeamsTest, ATractorCountsAFighterAnotherHoldsFourTimesOver)
{
    // Two fighters: one held by another tug at 100 (10000 x 4 = 40000), one
    // free a little nearer or farther than 200.
    for (float freeAt : {199.0f, 201.0f}) {
        SCOPED_TRACE(freeAt);
        const float y = freeAt < 200.0f ? 500.0f : 1500.0f;
        SIM_Ship* held = world.Build("fighter", 600.0f, y, true);
        SIM_Ship* loose = world.Build("fighter", 500.0f - freeAt, y, true);
        SIM_Ship* holder = world.Build("tug", 600.0f, y + 10.0f);
        held->AddTractor(ModuleTestWorld::FindModule<SIM_TractorModule>(holder), 1.0f);
        auto* tractor = ModuleTestWorld::FindModule<SIM_TractorModule>(world.Build("tug", 500.0f, y));
        tractor->TryGrab();
        EXPECT_EQ(tractor->GetHeldShip(), freeAt < 200.0f ? loose : held);
        tractor->Release();
        held->RemoveTractor(ModuleTestWorld::FindModule<SIM_TractorModule>(holder));
        held->StartDying();
        loose->StartDying();
    }
}

TEST_F(SupportBeamsTest, ASupportBeamFeedsOnlyShieldsBelowFourFifths)
{
    SIM_Ship* supporter = world.Build("supporter", 500.0f, 500.0f);
    auto* beam = ModuleTestWorld::FindModule<SIM_ShieldSupportBeam>(supporter);
    SIM_Ship* only = world.Build("shieldbox", 600.0f, 500.0f);
    SetShield(only, 0.8f);
    EXPECT_EQ(beam->FindShipToSupport(), nullptr) << "0.8 is not weakened";
    SetShield(only, 0.79f);
    EXPECT_EQ(beam->FindShipToSupport(), only);
    SetShield(only, 0.0f);
    EXPECT_EQ(beam->FindShipToSupport(), nullptr) << "a shield that is down takes nothing";
}

TEST_F(SupportBeamsTest, TractorHoldsTenStepsRechargesAndGrabsAgainAfterASecond)
{
    SIM_Ship* tug = world.Build("tug", 500.0f, 500.0f);
    auto* tractor = ModuleTestWorld::FindModule<SIM_TractorModule>(tug);
    SIM_Ship* fighter = world.Build("fighter", 600.0f, 500.0f, true);
    // Full: the first attempt comes once the grab timer passes 1000 ms.
    SupportWorld::Think(tug, 200.0f, 5);
    EXPECT_FALSE(tractor->IsHolding());
    SupportWorld::Think(tug, 200.0f);
    ASSERT_EQ(tractor->GetHeldShip(), fighter);
    // Power 100 at 0.05 a ms: ten steps of 200 ms.
    SupportWorld::Think(tug, 200.0f, 9);
    EXPECT_TRUE(tractor->IsHolding());
    EXPECT_NEAR(tractor->GetBeamPower(), 10.0f, 1e-3f);
    SupportWorld::Think(tug, 200.0f);
    EXPECT_FALSE(tractor->IsHolding());
    EXPECT_FLOAT_EQ(tractor->ChargeFraction(), 0.0f);
    EXPECT_TRUE(system->IsStopped(1));
    // 0.02 a ms: 25 steps to full, then six more to the next grab.
    SupportWorld::Think(tug, 200.0f, 25);
    EXPECT_FLOAT_EQ(tractor->ChargeFraction(), 1.0f);
    SupportWorld::Think(tug, 200.0f, 5);
    EXPECT_FALSE(tractor->IsHolding());
    SupportWorld::Think(tug, 200.0f);
    EXPECT_TRUE(tractor->IsHolding());

    // Shocked, it neither grabs nor charges.
    tractor->Release();
    tractor->beamPower = 50.0f;
    tug->ecmShocked = 1;
    SupportWorld::Think(tug, 200.0f, 10);
    EXPECT_FLOAT_EQ(tractor->GetBeamPower(), 50.0f);
    tug->ecmShocked = 0;

    // A held ship that flies out of range is let go; so is one the
    // wrecked tractor held.
    tractor->beamPower = 100.0f;
    tractor->TryGrab();
    ASSERT_TRUE(tractor->IsHolding());
    fighter->x = 801.0f;
    SupportWorld::Think(tug, 200.0f);
    EXPECT_FALSE(tractor->IsHolding());
    fighter->x = 600.0f;
    tractor->TryGrab();
    tractor->TakeDamage(1000.0f);
    SupportWorld::Think(tug, 200.0f);
    EXPECT_FALSE(tractor->IsHolding());
}

TEST_F(SupportBeamsTest, TractorLoopsStopOnShipDeathModuleDestructionAndBattleClear)
{
    SIM_Ship* fighter = world.Build("fighter", 600.0f, 500.0f, true);
    auto grab = [&](float y) {
        SIM_Ship* tug = world.Build("tug", 500.0f, y);
        auto* tractor = ModuleTestWorld::FindModule<SIM_TractorModule>(tug);
        tractor->TryGrab();
        EXPECT_EQ(tractor->GetHeldShip(), fighter);
        return tractor;
    };
    SIM_TractorModule* dying = grab(500.0f);
    SIM_TractorModule* wrecked = grab(510.0f);
    SIM_TractorModule* cleared = grab(520.0f);
    const SoundChannelId a = dying->GetSoundChannel();
    const SoundChannelId b = wrecked->GetSoundChannel();
    const SoundChannelId c = cleared->GetSoundChannel();
    ASSERT_NE(a, kNoChannel);
    ASSERT_NE(b, kNoChannel);
    ASSERT_NE(c, kNoChannel);

    dying->GetShip()->StartDying();
    EXPECT_TRUE(system->IsStopped(a));
    EXPECT_FALSE(dying->IsHolding()) << "a dying ship's tractor lets go";
    wrecked->TakeDamage(1000.0f);
    EXPECT_TRUE(system->IsStopped(b));
    EXPECT_FALSE(system->IsStopped(c));
    SIM_TractorModule::StopAllSounds();
    EXPECT_TRUE(system->IsStopped(c));
    EXPECT_EQ(cleared->GetSoundChannel(), kNoChannel);
}

TEST_F(SupportBeamsTest, SupportBeamFeedsTheWeakestShieldAndClearsItsOwnMark)
{
    SIM_Ship* supporter = world.Build("supporter", 500.0f, 500.0f);
    auto* beam = ModuleTestWorld::FindModule<SIM_ShieldSupportBeam>(supporter);
    ASSERT_NE(beam, nullptr);
    SIM_Ship* weak = world.Build("shieldbox", 600.0f, 500.0f);
    SIM_Ship* weaker = world.Build("shieldfrigate", 500.0f, 700.0f);
    SIM_Ship* full = world.Build("shieldbox", 400.0f, 500.0f);
    SIM_Ship* down = world.Build("shieldbox", 500.0f, 400.0f);
    SIM_Ship* fighter = world.Build("shieldfighter", 450.0f, 450.0f);
    SetShield(weak, 0.5f);
    SetShield(weaker, 0.3f);
    SetShield(full, 1.0f);
    SetShield(down, 0.0f);
    SetShield(fighter, 0.1f);
    EXPECT_EQ(beam->FindShipToSupport(), weaker);
    SetShield(weaker, 0.8f); // 0.8 is no longer weakened
    EXPECT_EQ(beam->FindShipToSupport(), weak);
    SetShield(weaker, 0.3f);

    // Below the minimum charge no discharge starts.
    beam->retargetTimer = 2001.0f;
    SupportWorld::Think(supporter, 200.0f);
    ASSERT_EQ(beam->GetTarget(), weaker);
    beam->charge = 49.0f;
    beam->Fire();
    EXPECT_FALSE(beam->IsDischarging());
    beam->charge = 200.0f;
    beam->Fire();
    ASSERT_TRUE(beam->IsDischarging());
    EXPECT_EQ(weaker->supportedBy, beam);
    // 20 points a second: 0.24 a 12 ms frame, taken from the capacitor.
    const float before = weaker->GetShield()->strengthFraction;
    ModuleTestWorld::SetFrame(12.0f);
    Frames(supporter, 10);
    EXPECT_NEAR(beam->GetCharge(), 200.0f - 2.4f, 1e-3f);
    EXPECT_GT(weaker->GetShield()->strengthFraction, before);

    // A full shield ends the discharge and frees the ship for others.
    SetShield(weaker, 1.0f);
    Frames(supporter, 1);
    EXPECT_FALSE(beam->IsDischarging());
    EXPECT_EQ(weaker->supportedBy, nullptr);

    // The target dies mid-discharge: the weapon drops it, and the mark is
    // cleared on the ship the beam marked.
    SetShield(weaker, 0.3f);
    beam->SetTarget(weaker);
    beam->Fire();
    ASSERT_EQ(weaker->supportedBy, beam);
    weaker->StartDying();
    Frames(supporter, 1);
    EXPECT_FALSE(beam->IsDischarging());
    EXPECT_EQ(weaker->supportedBy, nullptr);
}

TEST_F(SupportBeamsTest, PainterMarksForItsDurationAndClearsTheShipItPainted)
{
    SIM_Ship* ship = world.Build("painter", 500.0f, 500.0f);
    auto* painter = ModuleTestWorld::FindModule<SIM_TargetPainterModule>(ship);
    ASSERT_NE(painter, nullptr);
    SIM_Ship* enemy = world.Build("frigate", 900.0f, 500.0f, true);
    painter->ChooseTarget(true);
    ASSERT_EQ(painter->GetTarget(), enemy);
    painter->Fire();
    EXPECT_TRUE(painter->IsPainting());
    EXPECT_EQ(enemy->painterCount, 1);
    EXPECT_FALSE(painter->IsAutoTarget());
    // 2500 ms of think steps, whether or not the beam is drawn.
    SupportWorld::Think(ship, 500.0f, 5);
    EXPECT_TRUE(painter->IsPainting());
    SupportWorld::Think(ship, 1.0f);
    EXPECT_FALSE(painter->IsPainting());
    EXPECT_EQ(enemy->painterCount, 0);
    EXPECT_TRUE(painter->IsAutoTarget());

    // Out of range: it stops at once.
    painter->Fire();
    enemy->x = 500.0f + 801.0f;
    Frames(ship, 1);
    EXPECT_FALSE(painter->IsPainting());
    EXPECT_EQ(enemy->painterCount, 0);

    // The painted ship dies and the weapon moves on: the mark goes from the
    // ship that was painted, not from the new target.
    enemy->x = 900.0f;
    painter->Fire();
    SIM_Ship* next = world.Build("frigate", 800.0f, 500.0f, true);
    enemy->StartDying();
    SupportWorld::Think(ship, 200.0f);
    EXPECT_FALSE(painter->IsPainting());
    EXPECT_EQ(enemy->painterCount, 0);
    EXPECT_EQ(next->painterCount, 0);
}

TEST_F(SupportBeamsTest, TheTargetBoosterLengthensTurretReachWhileItWorks)
{
    SIM_Ship* plain = world.Build("gunship", 0.0f, 0.0f);
    SIM_Ship* boosted = world.Build("boostedgun", 0.0f, 500.0f);
    EXPECT_FLOAT_EQ(plain->GetTurretWeapons().front()->GetMaxRange(), 600.0f);
    SIM_TargetedModule* laser = boosted->GetTurretWeapons().front();
    EXPECT_FLOAT_EQ(laser->GetMaxRange(), 900.0f);
    EXPECT_FLOAT_EQ(laser->maxRangeSq, 810000.0f);
    // A target at 850: within the boosted reach only.
    world.Build("bigtarget", 850.0f, 500.0f, true);
    laser->ChooseTarget(true);
    EXPECT_NE(laser->GetTarget(), nullptr);
    // The wrecked booster adds nothing (its boost counts its health).
    auto* booster = ModuleTestWorld::FindModule<SIM_TargetBoosterModule>(boosted);
    booster->TakeDamage(1000.0f);
    boosted->RecalculateStats();
    EXPECT_FLOAT_EQ(laser->GetMaxRange(), 600.0f);
}

TEST_F(SupportBeamsTest, AtBattleStartAnEscortingFighterStartsBesideItsShip)
{
    SIM_Ship* cruiser = world.Build("gunship", 500.0f, 500.0f);
    auto orders = std::make_unique<SIM_ShipOrders>();
    orders->AddOrder("ESCORT", 150.0f, 0.0f)->shipId = cruiser->shipId;
    orders->AddOrder("CAUTIOUS", 0.4f, 0.0f);
    SIM_Ship* fighter = world.Build("fighter", 1500.0f, 900.0f, false, std::move(orders));
    fighter->tacticalModule->RefreshOrders();
    // One third of the escorted hull's width (100) either side.
    EXPECT_LE(std::abs(fighter->x - 500.0f), 100.0f / 3.0f + 1e-3f);
    EXPECT_LE(std::abs(fighter->y - 500.0f), 100.0f / 3.0f + 1e-3f);
    EXPECT_NE(fighter->x, 500.0f);
    EXPECT_EQ(fighter->GetOrders()->GetOrder("ESCORT")->targetShip, cruiser);
    EXPECT_FLOAT_EQ(fighter->GetOrders()->GetCautiousLevel(), 0.4f);

    // A cruiser escorting stays where it was deployed.
    auto cruiserOrders = std::make_unique<SIM_ShipOrders>();
    cruiserOrders->AddOrder("ESCORT", 150.0f, 0.0f)->shipId = cruiser->shipId;
    SIM_Ship* big = world.Build("gunship", 1500.0f, 900.0f, false, std::move(cruiserOrders));
    big->tacticalModule->RefreshOrders();
    EXPECT_FLOAT_EQ(big->x, 1500.0f);
    EXPECT_FLOAT_EQ(big->y, 900.0f);
}
