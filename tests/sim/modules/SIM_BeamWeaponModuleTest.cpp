#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "app/GUI_Sounds.h"
#include "RecordingSounds.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_Shield.h"
#include "sim/modules/ModuleTestWorld.h"
#include "sim/modules/SIM_BeamWeaponModule.h"

namespace {

class BeamWeaponTest : public ::testing::Test {
protected:
    SIM_BeamWeaponModule* Beam(SIM_Ship* ship) { return ModuleTestWorld::FindModule<SIM_BeamWeaponModule>(ship); }

    static void Frames(SIM_BeamWeaponModule* beam, int n)
    {
        for (int i = 0; i < n; ++i)
            beam->Update();
    }

    ModuleTestWorld world;
};

TEST_F(BeamWeaponTest, ReadsItsBeamFromTheType)
{
    SIM_BeamWeaponModule* beam = Beam(world.Build("gunship", 0, 0));
    ASSERT_NE(beam, nullptr);
    EXPECT_FLOAT_EQ(beam->damage, 40.0f);
    EXPECT_FLOAT_EQ(beam->beamDuration, 600.0f);
    EXPECT_FLOAT_EQ(beam->fireDelay, 100.0f);
    EXPECT_FLOAT_EQ(beam->fadeTime, 100.0f);
    EXPECT_FLOAT_EQ(beam->grainSpeed, 1.0f); // absent key
    EXPECT_FLOAT_EQ(beam->grainScale, 6.0f * 0.015625f);
    EXPECT_EQ(beam->sound, "laser_fire");
    EXPECT_EQ(beam->GetSoundChannel(), kNoChannel);
}

TEST_F(BeamWeaponTest, HitDamageReachesTheTargetAfterTheFireDelay)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    SIM_Ship* target = world.Build("bigtarget", 300, 0, true);
    SIM_BeamWeaponModule* beam = Beam(ship);
    beam->ChooseTarget(true);
    ASSERT_EQ(beam->GetTarget(), target);
    const float before = ModuleTestWorld::ModuleHitpoints(target);

    beam->Fire();
    ASSERT_TRUE(beam->IsHit()); // a 300-unit hull is never missed by a still turret
    EXPECT_TRUE(beam->IsBeamActive());
    EXPECT_FALSE(beam->IsAutoTarget());
    EXPECT_TRUE(beam->IsDamagePending());
    const SIM_ShipModule::Point from = beam->GetWorldPos();
    const float d = std::hypot(target->x - from.x, target->y - from.y);
    EXPECT_NEAR(beam->shotDamage, 40.0f * beam->RangeFactor(d), 1e-3f);
    EXPECT_FLOAT_EQ(beam->GetBeamTime(), 600.0f);

    Frames(beam, 8); // 96 ms
    EXPECT_TRUE(beam->IsDamagePending());
    EXPECT_FLOAT_EQ(ModuleTestWorld::ModuleHitpoints(target), before);
    Frames(beam, 1); // 108 ms
    EXPECT_FALSE(beam->IsDamagePending());
    EXPECT_NEAR(before - ModuleTestWorld::ModuleHitpoints(target), beam->shotDamage, 1e-3f);
    EXPECT_EQ(target->GetStats().hitsTaken, 1);

    Frames(beam, 42); // 612 ms: the beam is gone and choice resumes
    EXPECT_FALSE(beam->IsBeamActive());
    EXPECT_TRUE(beam->IsAutoTarget());
    EXPECT_EQ(beam->GetSoundChannel(), kNoChannel);
}

TEST_F(BeamWeaponTest, ZeroFireDelayHitsInTheFirstUpdate)
{
    SIM_Ship* ship = world.Build("quickgun", 0, 0);
    SIM_Ship* target = world.Build("bigtarget", 300, 0, true);
    SIM_BeamWeaponModule* beam = Beam(ship);
    beam->ChooseTarget(true);
    const float before = ModuleTestWorld::ModuleHitpoints(target);
    beam->Fire();
    ASSERT_TRUE(beam->IsHit());
    Frames(beam, 1);
    EXPECT_FALSE(beam->IsDamagePending());
    EXPECT_LT(ModuleTestWorld::ModuleHitpoints(target), before);
}

TEST_F(BeamWeaponTest, ShieldTakesTheHitUnlessFiredFromInside)
{
    SIM_Ship* ship = world.Build("quickgun", 0, 0);
    SIM_Ship* target = world.Build("bigshielded", 400, 0, true);
    SIM_BeamWeaponModule* beam = Beam(ship);
    beam->ChooseTarget(true);
    const float hull = ModuleTestWorld::ModuleHitpoints(target);
    beam->Fire();
    ASSERT_TRUE(beam->IsHit());
    EXPECT_FALSE(beam->insideShield);
    Frames(beam, 1);
    EXPECT_LT(target->GetShield()->currentPoints, 100.0f);
    EXPECT_FLOAT_EQ(ModuleTestWorld::ModuleHitpoints(target), hull);

    // Inside the bubble the shot skips the shield.
    Frames(beam, 60);
    target->x = 100.0f;
    const float shieldPoints = target->GetShield()->currentPoints;
    beam->Fire();
    ASSERT_TRUE(beam->IsHit());
    EXPECT_TRUE(beam->insideShield);
    Frames(beam, 1);
    EXPECT_FLOAT_EQ(target->GetShield()->currentPoints, shieldPoints);
    EXPECT_LT(ModuleTestWorld::ModuleHitpoints(target), hull);
}

TEST_F(BeamWeaponTest, MissShowsHalfAsLongAndWobblesNearItsPoint)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    SIM_Ship* target = world.Build("bigtarget", 300, 0, true);
    SIM_BeamWeaponModule* beam = Beam(ship);
    beam->ChooseTarget(true);
    target->speed = 100.0f; // far beyond the tracking speed
    bool missed = false;
    for (int i = 0; i < 200 && !missed; ++i) {
        beam->Fire();
        missed = !beam->IsHit();
    }
    ASSERT_TRUE(missed);
    EXPECT_FALSE(beam->IsDamagePending());
    EXPECT_FLOAT_EQ(beam->GetBeamTime(), 300.0f);
    EXPECT_GE(beam->CountMisses(target), 1);
    for (int i = 0; i < 20; ++i) {
        Frames(beam, 1);
        const SIM_ShipModule::Point end = beam->BeamEndPoint();
        EXPECT_LE(std::fabs(end.x - beam->missPoint.x), 6.0f + 1e-4f);
        EXPECT_LE(std::fabs(end.y - beam->missPoint.y), 6.0f + 1e-4f);
    }
    Frames(beam, 10); // 360 ms in all
    EXPECT_FALSE(beam->IsBeamActive());
}

TEST_F(BeamWeaponTest, ConvergingTurretsHitLaterAndShowLonger)
{
    SIM_Ship* ship = world.Build("turretship", 0, 0);
    ship->SetAngle(90.0f); // facing the target
    SIM_Ship* target = world.Build("bigtarget", 500, 0, true);
    SIM_BeamWeaponModule* beam = Beam(ship);
    ASSERT_EQ(beam->GetTurretCount(), 3u);
    beam->ChooseTarget(true);
    const float before = ModuleTestWorld::ModuleHitpoints(target);
    beam->Fire();
    ASSERT_TRUE(beam->IsHit());
    EXPECT_TRUE(beam->IsConverging());
    EXPECT_FLOAT_EQ(beam->GetBeamTime(), 900.0f);
    Frames(beam, 33); // 396 ms
    EXPECT_TRUE(beam->IsDamagePending());
    Frames(beam, 1); // 408 ms
    EXPECT_FALSE(beam->IsDamagePending());
    EXPECT_LT(ModuleTestWorld::ModuleHitpoints(target), before);

    SIM_BeamWeaponModule::BeamSegment segments[8];
    EXPECT_EQ(beam->GetBeamSegments(segments, 8), 4); // three turrets in, one beam out
    EXPECT_FLOAT_EQ(segments[3].start.x, beam->convergePoint.x);
    EXPECT_EQ(beam->GetBeamSegments(segments, 2), 2); // never past the caller's array
}

TEST_F(BeamWeaponTest, CloseTargetsNeverConverge)
{
    SIM_Ship* ship = world.Build("turretship", 0, 0);
    ship->SetAngle(90.0f);
    world.Build("bigtarget", 190, 0, true); // 1.9 hull sizes
    SIM_BeamWeaponModule* beam = Beam(ship);
    beam->ChooseTarget(true);
    beam->Fire();
    EXPECT_FALSE(beam->IsConverging());
    EXPECT_FLOAT_EQ(beam->GetBeamTime(), beam->IsHit() ? 600.0f : 300.0f);
}

class BeamSoundTest : public BeamWeaponTest {
protected:
    BeamSoundTest()
        : system(new RecordingSounds()),
          sounds(std::unique_ptr<ISoundSystem>(system), [](const std::string&) { return 1.0f; })
    {
        GUI_BattleGUI::GetInstance().SetSounds(&sounds);
    }
    ~BeamSoundTest() override { GUI_BattleGUI::GetInstance().SetSounds(nullptr); }

    // A beam that has just fired at a target 300 units away.
    SIM_BeamWeaponModule* FiringBeam(float y)
    {
        SIM_Ship* ship = world.Build("gunship", 0, y);
        SIM_BeamWeaponModule* beam = Beam(ship);
        beam->ChooseTarget(true);
        beam->Fire();
        return beam;
    }

    RecordingSounds* system;
    GUI_Sounds sounds;
};

TEST_F(BeamSoundTest, FiringStartsALoopingPositionalSound)
{
    world.Build("bigtarget", 300, 0, true);
    SIM_BeamWeaponModule* beam = FiringBeam(0);
    ASSERT_NE(beam->GetSoundChannel(), kNoChannel);
    ASSERT_EQ(system->files.size(), 1u);
    EXPECT_EQ(system->files[0], "laser_fire");
    EXPECT_TRUE(system->looping);
    // The beam ends (600 ms, 400 more converging): its loop stops.
    const SoundChannelId channel = beam->GetSoundChannel();
    ModuleTestWorld::SetFrame(12.0f);
    Frames(beam, 90);
    EXPECT_FALSE(beam->IsBeamActive());
    EXPECT_EQ(beam->GetSoundChannel(), kNoChannel);
    EXPECT_TRUE(system->IsStopped(channel));
}

TEST_F(BeamSoundTest, LoopStopsWhenTheModuleIsDestroyed)
{
    world.Build("bigtarget", 300, 0, true);
    SIM_BeamWeaponModule* beam = FiringBeam(0);
    const SoundChannelId channel = beam->GetSoundChannel();
    ASSERT_NE(channel, kNoChannel);
    beam->TakeDamage(1000.0f);
    EXPECT_EQ(beam->GetSoundChannel(), kNoChannel);
    EXPECT_TRUE(system->IsStopped(channel));
}

TEST_F(BeamSoundTest, LoopsOfADyingShipStopAndOthersPlayOn)
{
    world.Build("bigtarget", 300, 0, true);
    SIM_BeamWeaponModule* dying = FiringBeam(0);
    SIM_BeamWeaponModule* other = FiringBeam(100);
    const SoundChannelId dyingChannel = dying->GetSoundChannel();
    ASSERT_NE(dyingChannel, kNoChannel);
    ASSERT_NE(other->GetSoundChannel(), kNoChannel);
    dying->GetShip()->StartDying();
    EXPECT_EQ(dying->GetSoundChannel(), kNoChannel);
    EXPECT_TRUE(system->IsStopped(dyingChannel));
    EXPECT_NE(other->GetSoundChannel(), kNoChannel);
    EXPECT_FALSE(system->IsStopped(other->GetSoundChannel()));
}

TEST_F(BeamSoundTest, ClearingTheBattleStopsEveryLoop)
{
    world.Build("bigtarget", 300, 0, true);
    SIM_BeamWeaponModule* first = FiringBeam(0);
    SIM_BeamWeaponModule* second = FiringBeam(100);
    const SoundChannelId a = first->GetSoundChannel();
    const SoundChannelId b = second->GetSoundChannel();
    SIM_Battle::GetInstance().Clear();
    EXPECT_TRUE(system->IsStopped(a));
    EXPECT_TRUE(system->IsStopped(b));
    EXPECT_EQ(first->GetSoundChannel(), kNoChannel);
    EXPECT_EQ(second->GetSoundChannel(), kNoChannel);
}

TEST_F(BeamSoundTest, OffScreenAndOverplayedBeamsStaySilent)
{
    world.Build("bigtarget", 300, 0, true);
    GUI_Map& map = GUI_Map::GetInstance();
    const GUI_Map saved = map;
    map.viewLeft = 5000.0f;
    map.viewRight = 6000.0f;
    EXPECT_EQ(FiringBeam(0)->GetSoundChannel(), kNoChannel);
    map = saved;
    for (int i = 0; i < GUI_Sounds::kRecentSlots; ++i)
        sounds.RememberRecent("laser_fire");
    EXPECT_EQ(FiringBeam(100)->GetSoundChannel(), kNoChannel);
    EXPECT_TRUE(system->files.empty());
}

TEST_F(BeamWeaponTest, HeadlessBeamsAreSilent)
{
    // No graphics and no sound manager given: the beams fire without sound.
    world.Build("bigtarget", 300, 0, true);
    SIM_BeamWeaponModule* beam = Beam(world.Build("gunship", 0, 0));
    beam->ChooseTarget(true);
    beam->Fire();
    EXPECT_EQ(beam->GetSoundChannel(), kNoChannel);
    beam->GetShip()->StartDying();
    EXPECT_EQ(beam->GetSoundChannel(), kNoChannel);
}

TEST_F(BeamWeaponTest, DeadTargetTakesNoPendingDamage)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    SIM_Ship* target = world.Build("bigtarget", 300, 0, true);
    SIM_BeamWeaponModule* beam = Beam(ship);
    beam->ChooseTarget(true);
    beam->Fire();
    ASSERT_TRUE(beam->IsDamagePending());
    const float before = ModuleTestWorld::ModuleHitpoints(target);
    target->deadFlag = 1;
    Frames(beam, 10);
    EXPECT_FALSE(beam->IsDamagePending());
    EXPECT_FLOAT_EQ(ModuleTestWorld::ModuleHitpoints(target), before);
}

TEST_F(BeamWeaponTest, PendingHitLandsEvenWhenTheBeamEndsFirst)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    SIM_Ship* target = world.Build("bigtarget", 300, 0, true);
    SIM_BeamWeaponModule* beam = Beam(ship);
    beam->beamDuration = 50.0f; // shorter than the 100 ms fire delay
    beam->ChooseTarget(true);
    const float before = ModuleTestWorld::ModuleHitpoints(target);
    beam->Fire();
    ASSERT_TRUE(beam->IsHit());
    Frames(beam, 5); // 60 ms: the beam is over
    EXPECT_FALSE(beam->IsBeamActive());
    EXPECT_FALSE(beam->IsDamagePending());
    EXPECT_LT(ModuleTestWorld::ModuleHitpoints(target), before);
}

TEST_F(BeamWeaponTest, FadesInAndOut)
{
    SIM_Ship* ship = world.Build("gunship", 0, 0);
    world.Build("bigtarget", 300, 0, true);
    SIM_BeamWeaponModule* beam = Beam(ship);
    beam->ChooseTarget(true);
    beam->Fire();
    Frames(beam, 4); // 48 ms of a 100 ms fade
    EXPECT_NEAR(beam->GetBeamAlpha(), 0.48f, 1e-4f);
    Frames(beam, 21); // 300 ms
    EXPECT_FLOAT_EQ(beam->GetBeamAlpha(), 1.0f);
    Frames(beam, 21); // 552 ms: 48 ms from the end
    EXPECT_NEAR(beam->GetBeamAlpha(), 0.48f, 1e-4f);
}

} // namespace
