#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/GeometryHelpers.h"
#include "engine/RandomTables.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_BattleEffects.h"
#include "sim/SIM_RadiationManager.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_ShipVisual.h"
#include "sim/modules/MissileTestWorld.h"
#include "sim/modules/SIM_ECMBeamModule.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"
#include "sim/modules/SIM_ECMShockModule.h"
#include "sim/modules/SIM_LimpetLauncherModule.h"
#include "sim/modules/SIM_MissileModule.h"
#include "sim/modules/SIM_PointDefenceModule.h"
#include "sim/modules/SIM_ShieldModule.h"
#include "sim/modules/SIM_SmartBombModule.h"
#include "sim/modules/SIM_TacticalModule.h"

namespace {

class CountingEffects : public SIM_BattleEffects {
public:
    void MissileExploded(float, float) override { ++exploded; }
    void SmartBombDetonated(SIM_Ship*, float radius) override { bombRadius = radius; }
    void MissileHitShield(SIM_Ship*, float x, float y, bool) override
    {
        ++shieldHits;
        shieldHitX = x;
        shieldHitY = y;
    }
    int exploded = 0;
    float bombRadius = 0.0f;
    int shieldHits = 0;
    float shieldHitX = 0.0f;
    float shieldHitY = 0.0f;
};

class MissileTest : public ::testing::Test {
protected:
    MissileTest() { SIM_BattleEffects::Set(&effects); }
    ~MissileTest() override { SIM_BattleEffects::Set(nullptr); }

    static void Frames(int n)
    {
        for (int i = 0; i < n; ++i)
            SIM_MissileModule::UpdateMissiles();
    }

    // A launcher at the origin with the target chosen (the big hull never moves).
    SIM_MissileModule* Armed(const std::string& weapon, SIM_Ship* target)
    {
        SIM_MissileModule* launcher = MissileTestWorld::Get<SIM_MissileModule>(world.Build("d_" + weapon, 0, 0));
        launcher->ChooseTarget(true);
        EXPECT_EQ(launcher->GetTarget(), target);
        return launcher;
    }

    // A decoy missile fired at the target and flown until it lets its decoys go.
    SIM_Missile& FlyUntilDecoys(SIM_Ship* target)
    {
        SIM_MissileModule* launcher = Armed("m_decoy", target);
        SIM_Missile& m = launcher->GetMissile();
        launcher->Fire();
        while (m.IsLive() && !m.decoysReleased)
            Frames(1);
        return m;
    }

    static int Entries(const SIM_ShipModule* m, int kind)
    {
        int n = 0;
        for (const auto& e : m->GetStatistics().entries)
            n += e.kind == kind ? 1 : 0;
        return n;
    }

    MissileTestWorld world;
    CountingEffects effects;
};

TEST_F(MissileTest, HitsFlyInDetonateAndTheLauncherWaitsForTheTrail)
{
    SIM_Ship* target = world.Build("bigtarget", 0, -600, true);
    SIM_MissileModule* launcher = Armed("m_explosive", target);
    SIM_Missile& m = launcher->GetMissile();
    const float before = ModuleTestWorld::ModuleHitpoints(target);

    launcher->Fire();
    ASSERT_TRUE(m.IsLive());
    const float launchDistance = std::hypot(m.x - target->x, m.y - target->y);
    EXPECT_TRUE(m.willHit); // a still hull is never missed
    EXPECT_EQ(SIM_Missile::GetLiveMissiles().size(), 1u);
    EXPECT_FLOAT_EQ(m.GetAngle(), 0.0f); // launched straight up at the aim point
    EXPECT_EQ(Entries(launcher, SIM_ModuleStatistics::SHOT), 1);

    Frames(1);
    EXPECT_FLOAT_EQ(m.step, 6.0f); // 0.5 units per ms of a 12 ms frame
    EXPECT_FLOAT_EQ(m.fuelLeft, 3000.0f - 6.0f);
    int frames = 1;
    while (m.IsLive() && frames < 200) {
        Frames(1);
        ++frames;
    }
    // Detonates on the frame whose starting distance d has d * d - 6 < 144.
    int expected = 1;
    for (float d = launchDistance; d * d - 6.0f >= 144.0f; d -= 6.0f)
        ++expected;
    EXPECT_EQ(frames, expected);
    EXPECT_LT(ModuleTestWorld::ModuleHitpoints(target), before);
    EXPECT_EQ(Entries(launcher, SIM_ModuleStatistics::HIT), 1);
    EXPECT_TRUE(SIM_Missile::GetLiveMissiles().empty());
    EXPECT_EQ(effects.exploded, 0); // a detonation is not a shoot-down

    // The trail still shows: the reload is complete but nothing flies.
    EXPECT_FALSE(m.IsFree());
    launcher->Fire();
    EXPECT_FALSE(m.IsLive());
    Frames(9); // 108 ms of a 120 ms trail
    EXPECT_FALSE(m.IsFree());
    Frames(1);
    EXPECT_TRUE(m.IsFree());
    // Idle frames skip the launcher; the next launch puts it back in the walk.
    Frames(3);
    launcher->Fire();
    EXPECT_TRUE(m.IsLive());
    Frames(1);
    EXPECT_FLOAT_EQ(m.fuelLeft, 3000.0f - 6.0f);
}

TEST_F(MissileTest, DummyNeverHitsAndBurnsOutOnItsFuel)
{
    SIM_Ship* target = world.Build("bigtarget", 0, -300, true);
    SIM_MissileModule* launcher = Armed("m_dummy", target);
    SIM_Missile& m = launcher->GetMissile();
    target->painterCount = 1; // not even a painted target
    const float before = ModuleTestWorld::ModuleHitpoints(target);
    launcher->Fire();
    EXPECT_FALSE(m.willHit);
    Frames(99); // 600 fuel at 6 a frame
    EXPECT_TRUE(m.IsLive());
    Frames(1);
    EXPECT_FALSE(m.IsLive());
    EXPECT_EQ(effects.exploded, 1);
    EXPECT_FLOAT_EQ(ModuleTestWorld::ModuleHitpoints(target), before);
    EXPECT_EQ(Entries(launcher, SIM_ModuleStatistics::MISS), 1);
    EXPECT_EQ(launcher->CountMisses(target), 1);
}

TEST_F(MissileTest, PaintedTargetsAreAlwaysHit)
{
    SIM_Ship* target = world.Build("bigtarget", 0, -600, true);
    SIM_MissileModule* launcher = Armed("m_explosive", target);
    SIM_Missile& m = launcher->GetMissile();
    target->speed = 100.0f; // far beyond the tracking speed: 2 % before the size bonus
    int unpaintedHits = 0;
    for (int i = 0; i < 20; ++i) {
        m.Launch(target, nullptr, 0, 0);
        unpaintedHits += m.willHit ? 1 : 0;
        m.Destroy();
    }
    EXPECT_LT(unpaintedHits, 5);
    target->painterCount = 1;
    for (int i = 0; i < 20; ++i) {
        m.Launch(target, nullptr, 0, 0);
        EXPECT_TRUE(m.willHit);
        m.Destroy();
    }
}

TEST_F(MissileTest, SteersAtTurnSpeedAndFourTimesAsFastScrambled)
{
    SIM_Ship* target = world.Build("bigtarget", 0, -600, true);
    SIM_MissileModule* launcher = Armed("m_explosive", target);
    SIM_Missile& m = launcher->GetMissile();
    launcher->Fire();
    target->x = 600.0f; // the goal jumps 45 degrees or more to the right
    target->y = 0.0f;
    Frames(1);
    EXPECT_NEAR(m.GetAngle(), 3.0f, 1e-3f) << "3 degrees a frame step";
    m.Scramble();
    ASSERT_TRUE(m.scrambled);
    const float a = m.GetAngle();
    m.wanderX = m.x - 1000.0f; // far to the left of its heading
    m.wanderY = m.y;
    m.wanderTimer = 0.0f;
    Frames(1);
    EXPECT_NEAR(m.GetAngle(), a - 12.0f + 360.0f, 1e-3f);
}

TEST_F(MissileTest, FiveWarheadsDoFiveThings)
{
    SIM_Ship* target = world.Build("bigshielded", 0, -900, true);
    SIM_Shield* shield = target->GetShield();
    ASSERT_NE(shield, nullptr);
    const float hull = ModuleTestWorld::ModuleHitpoints(target);
    struct Case {
        const char* weapon;
        bool drainsShield;
        bool ignoresFighters;
    };
    for (const Case& c : {Case{"m_explosive", false, false}, Case{"m_disruptor", true, true},
                          Case{"m_radiation", false, false}, Case{"m_ecm", false, true}}) {
        SCOPED_TRACE(c.weapon);
        SIM_MissileModule* launcher = Armed(c.weapon, target);
        EXPECT_EQ(launcher->ignoresFighters, c.ignoresFighters);
        shield->currentPoints = 100.0f;
        shield->stability = 100.0f;
        shield->state = SIM_Shield::UP;
        target->ecmShocked = 0;
        launcher->Fire();
        int frames = 0;
        while (launcher->GetMissile().IsLive() && ++frames < 400)
            Frames(1);
        ASSERT_LT(frames, 400);
        // Inside the bubble: everything but the disruptor and the shock meets the shield.
        EXPECT_NEAR(shield->stability, c.drainsShield ? 50.0f : 100.0f, 1e-3f);
        EXPECT_EQ(target->ecmShocked != 0, std::string(c.weapon) == "m_ecm");
        EXPECT_EQ(Entries(launcher, SIM_ModuleStatistics::HIT), 1);
    }
    // Shields took the explosions; a shield is never bypassed by them.
    EXPECT_FLOAT_EQ(ModuleTestWorld::ModuleHitpoints(target), hull);

    // Without a bubble (the shield collapsed) the explosive and radiation warheads reach the hull.
    for (SIM_ShieldModule* generator : shield->GetModules())
        generator->points = 0.0f;
    shield->Recalculate();
    ASSERT_FALSE(target->GetVisual()->HasShieldBubble());
    for (const char* weapon : {"m_explosive", "m_radiation"}) {
        SCOPED_TRACE(weapon);
        SIM_MissileModule* launcher = Armed(weapon, target);
        const float before = ModuleTestWorld::ModuleHitpoints(target);
        launcher->Fire();
        Frames(300);
        EXPECT_LT(ModuleTestWorld::ModuleHitpoints(target), before);
    }
    // The radiation warhead leaves a dose burning in the hull.
    EXPECT_FALSE(target->GetRadiationManager()->GetDoses().empty());
    // A dummy does nothing even at the hull; an unknown warhead is reported and loads.
    SIM_MissileModule* bogus = MissileTestWorld::Get<SIM_MissileModule>(world.Build("d_m_bogus", 0, 0));
    EXPECT_EQ(bogus->GetMissile().warhead, SIM_Missile::EXPLOSIVE);
}

TEST_F(MissileTest, AMissileBurstsOnTheDrawnBubbleNotAtTheHullsSize)
{
    SIM_Ship* target = world.Build("bigshielded", 0, -900, true); // 300 x 300: the bubble is 199.5
    SIM_MissileModule* launcher = Armed("m_explosive", target);
    SIM_Missile& m = launcher->GetMissile();
    launcher->Fire();
    float lastDistance = 0.0f;
    int frames = 0;
    while (m.IsLive() && ++frames < 400) {
        lastDistance = std::hypot(m.x - target->x, m.y - target->y);
        Frames(1);
    }
    ASSERT_LT(frames, 400);
    const float burst = std::hypot(m.x - target->x, m.y - target->y);
    EXPECT_LT(burst, 199.5f) << "inside the drawn bubble";
    EXPECT_GE(lastDistance, 199.5f) << "and on the first frame inside it, not at 300";
    ASSERT_EQ(effects.shieldHits, 1);
    EXPECT_NEAR(std::hypot(effects.shieldHitX - target->x, effects.shieldHitY - target->y), 199.5f, 0.5f);
    EXPECT_EQ(Entries(launcher, SIM_ModuleStatistics::HIT), 1);
}

TEST_F(MissileTest, DecoysFlyTheirOwnHeadingAndDieWithAnUnarmedParent)
{
    SIM_Ship* target = world.Build("bigtarget", 0, -600, true);
    SIM_Missile& m = FlyUntilDecoys(target);
    ASSERT_TRUE(m.decoysReleased);
    EXPECT_LT(m.goalDistanceSq, 200.0f * 200.0f);
    EXPECT_GE(m.goalDistanceSq, 194.0f * 194.0f); // released on the first frame inside
    for (int i = 0; i < SIM_Missile::kDecoys; ++i) {
        const SIM_Missile* d = m.GetDecoy(i);
        ASSERT_NE(d, nullptr);
        EXPECT_TRUE(d->IsLive());
        EXPECT_TRUE(d->IsDecoy());
        EXPECT_FALSE(d->willHit);
        EXPECT_FALSE(d->hasDecoys);
        EXPECT_LE(AngleDifference(d->decoyHeading, m.GetAngle()), 40.0f);
    }
    EXPECT_EQ(SIM_Missile::GetLiveMissiles().size(), 4u);
    m.DestroyWithEffect();
    for (int i = 0; i < SIM_Missile::kDecoys; ++i)
        EXPECT_FALSE(m.GetDecoy(i)->IsLive());
    EXPECT_TRUE(SIM_Missile::GetLiveMissiles().empty());
}

TEST_F(MissileTest, ADecoyHoldsItsHeadingForItsFirst64UnitsOnly)
{
    SIM_Ship* target = world.Build("bigtarget", 0, -600, true);
    SIM_Missile* d = FlyUntilDecoys(target).GetDecoy(0);
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(d->IsLive());
    const float step = d->speed * SIM_BattleClock::GetInstance().scaledFrameTime;
    ASSERT_GT(step, 0.0f);
    // Facing the target, with a heading of its own a quarter turn away: each
    // frame turns it one step one way or the other.
    auto turnAfter = [&](float flown) {
        const float towards = AngleBetweenPoints(d->x, d->y, target->x, target->y);
        d->angle = towards;
        d->decoyHeading = std::fmod(towards + 90.0f, 360.0f);
        d->fuelLeft = d->fuel - (flown - step); // this frame's step brings it to flown
        d->Update();
        return AngleDifference(d->angle, towards);
    };
    EXPECT_GT(turnAfter(63.9f), 0.5f * d->turnSpeed * SIM_BattleClock::GetInstance().frameStep)
        << "still inside 64: its own heading";
    EXPECT_LT(turnAfter(64.0f), 0.5f * d->turnSpeed * SIM_BattleClock::GetInstance().frameStep)
        << "64 flown: on to the target";
}

TEST_F(MissileTest, KnockedOutLauncherDestroysItsMissile)
{
    SIM_Ship* target = world.Build("bigtarget", 0, -600, true);
    SIM_MissileModule* launcher = Armed("m_explosive", target);
    launcher->Fire();
    Frames(5);
    launcher->TakeDamage(10.0f);
    EXPECT_TRUE(launcher->GetMissile().IsLive());
    EXPECT_FLOAT_EQ(launcher->GetEfficiency(), 0.5f);
    EXPECT_FLOAT_EQ(launcher->GetHealth(), 0.5f) << "a damaged launcher is as damaged as any module";
    launcher->TakeDamage(10.0f);
    EXPECT_FALSE(launcher->GetMissile().IsLive());
    EXPECT_FLOAT_EQ(launcher->GetHealth(), 0.0f);
    EXPECT_TRUE(launcher->GetShip()->tacticalModule->AreWeaponsGone()) << "its only weapon is wrecked";
    EXPECT_EQ(effects.exploded, 1);
}

TEST_F(MissileTest, PointDefenceKillChanceStaysWithinFiveAndNinetyFivePercent)
{
    SIM_Ship* target = world.Build("bigtarget", 0, -600, true);
    SIM_MissileModule* launcher = Armed("m_explosive", target);
    SIM_PointDefenceModule* pd = MissileTestWorld::Get<SIM_PointDefenceModule>(world.Build("d_pd", 0, -500, true));
    SIM_Missile& m = launcher->GetMissile();
    m.speed = 0.4f; // 6 / (0.4 * 30)
    EXPECT_NEAR(pd->KillChance(m), 0.5f, 1e-6f);
    m.speed = 0.1f;
    EXPECT_FLOAT_EQ(pd->KillChance(m), 0.95f);
    m.speed = 0.0f; // a missile that does not move is no division
    EXPECT_FLOAT_EQ(pd->KillChance(m), 0.95f);
    m.speed = 5.0f;
    EXPECT_FLOAT_EQ(pd->KillChance(m), 0.05f);
    m.speed = 6.0f / (30.0f * 0.05f) - 0.01f; // just inside the floor
    EXPECT_GT(pd->KillChance(m), 0.05f);
}

TEST_F(MissileTest, PointDefenceClaimsOnceReloadsAndRollsAfterItsBeam)
{
    SIM_Ship* target = world.Build("bigtarget", 0, -600, true);
    SIM_MissileModule* launcher = Armed("m_explosive", target);
    SIM_Ship* defender = world.Build("d_twopd", 0, -300, true);
    SIM_PointDefenceModule* first = nullptr;
    SIM_PointDefenceModule* second = nullptr;
    for (SIM_ShipModule* mod : defender->GetModules())
        if (auto* pd = dynamic_cast<SIM_PointDefenceModule*>(mod))
            (first ? second : first) = pd;
    ASSERT_NE(second, nullptr);
    SIM_Missile& m = launcher->GetMissile();

    // Reload: ready only once more than the interval has passed.
    for (int i = 0; i < 33; ++i) { // 396 ms
        first->Update();
        second->Update();
    }
    EXPECT_EQ(first->GetState(), SIM_PointDefenceModule::RELOADING);
    first->Update();
    second->Update();
    EXPECT_EQ(first->GetState(), SIM_PointDefenceModule::READY);

    launcher->Fire();
    first->Think(); // over 300 units away
    EXPECT_EQ(first->GetState(), SIM_PointDefenceModule::READY);
    Frames(20); // 120 units closer
    first->Think();
    second->Think();
    EXPECT_EQ(first->GetState(), SIM_PointDefenceModule::FIRING);
    EXPECT_EQ(m.claim, first);
    EXPECT_EQ(second->GetState(), SIM_PointDefenceModule::READY) << "one claim per missile";
    EXPECT_EQ(defender->GetStats().shotsFired, 1);

    m.speed = 0.0f; // the shot is sure (95 %) and the missile waits for it
    for (int i = 0; i < 12; ++i) // 144 ms of a 150 ms beam
        first->Update();
    EXPECT_TRUE(m.IsLive());
    first->Update();
    const bool killed = !m.IsLive();
    EXPECT_EQ(first->GetState(), SIM_PointDefenceModule::RELOADING);
    EXPECT_EQ(first->GetMissile(), nullptr);
    if (killed) {
        EXPECT_EQ(effects.exploded, 1);
    } else {
        // A survivor is free to be claimed again.
        EXPECT_EQ(m.claim, nullptr);
        second->Think();
        EXPECT_EQ(m.claim, second);
    }
}

TEST_F(MissileTest, MissileGoneMidShotLeavesThePointDefenceReloading)
{
    SIM_Ship* target = world.Build("bigtarget", 0, -600, true);
    SIM_MissileModule* launcher = Armed("m_explosive", target);
    SIM_PointDefenceModule* pd = MissileTestWorld::Get<SIM_PointDefenceModule>(world.Build("d_pd", 0, -400, true));
    pd->state = SIM_PointDefenceModule::READY;
    launcher->Fire();
    Frames(20);
    pd->Think();
    ASSERT_EQ(pd->GetState(), SIM_PointDefenceModule::FIRING);
    launcher->GetMissile().DestroyWithEffect();
    EXPECT_EQ(pd->GetState(), SIM_PointDefenceModule::RELOADING);
    for (int i = 0; i < 20; ++i)
        pd->Update(); // no roll against a missile that is gone
    EXPECT_EQ(Entries(pd, SIM_ModuleStatistics::HIT), 0);
}

TEST_F(MissileTest, ECMBeamLocksScramblesThreeInFourAndOnlyWhenTheBeamEnds)
{
    SIM_Ship* target = world.Build("bigtarget", 0, -600, true);
    SIM_MissileModule* launcher = Armed("m_explosive", target);
    SIM_ECMBeamModule* ecm = MissileTestWorld::Get<SIM_ECMBeamModule>(world.Build("d_ecmbeam", 0, -500, true));
    SIM_Missile& m = launcher->GetMissile();
    launcher->Fire();

    // A thousand locks read the whole chance table once.
    int scrambles = 0;
    for (int i = 0; i < kRandomTableSize; ++i) {
        ecm->Think();
        ASSERT_EQ(ecm->GetState(), SIM_ECMBeamModule::BEAMING);
        scrambles += ecm->WillScramble() ? 1 : 0;
        ecm->ForgetMissile(&m);
        m.RemoveTracker(ecm);
    }
    EXPECT_GT(scrambles, 720);
    EXPECT_LT(scrambles, 780);

    for (ecm->Think(); !ecm->WillScramble(); ecm->Think()) {
        ecm->ForgetMissile(&m);
        m.RemoveTracker(ecm);
    }
    EXPECT_EQ(m.trackers.size(), 1u);
    m.speed = 0.0f; // hold it in range while the beam runs
    for (int i = 0; i < 125; ++i) // 1500 ms: the beam still holds
        ecm->Update();
    EXPECT_FALSE(m.scrambled);
    ecm->Update();
    EXPECT_TRUE(m.scrambled);
    EXPECT_EQ(ecm->GetState(), SIM_ECMBeamModule::IDLE);
    EXPECT_TRUE(SIM_Missile::GetLiveMissiles().empty()) << "point defence no longer sees it";
}

TEST_F(MissileTest, ScrambledMissileDiesSilentlyAfterTwoSeconds)
{
    SIM_Ship* target = world.Build("bigtarget", 0, -600, true);
    SIM_MissileModule* launcher = Armed("m_explosive", target);
    SIM_Missile& m = launcher->GetMissile();
    launcher->Fire();
    m.speed = 0.0f; // never reaches a wander point
    m.Scramble();
    Frames(166); // 1992 ms
    EXPECT_TRUE(m.IsLive());
    Frames(1);
    EXPECT_FALSE(m.IsLive());
    EXPECT_EQ(effects.exploded, 0);
    EXPECT_EQ(Entries(launcher, SIM_ModuleStatistics::MISS), 1);
}

TEST_F(MissileTest, ECMShockStunsShipsButNeverAimsAtFighters)
{
    SIM_Ship* fighter = world.Build("fighter", 0, -200, true);
    SIM_ECMShockModule* shock = MissileTestWorld::Get<SIM_ECMShockModule>(world.Build("d_ecmshock", 0, 0));
    shock->ChooseTarget(true);
    EXPECT_EQ(shock->GetTarget(), nullptr);
    (void)fighter;

    SIM_Ship* cruiser = world.Build("bigtarget", 0, 300, true);
    shock->ChooseTarget(true);
    ASSERT_EQ(shock->GetTarget(), cruiser);
    shock->Fire();
    EXPECT_TRUE(shock->IsShowing());
    EXPECT_EQ(cruiser->ecmShocked, 1); // still hull, full strength: no resisting
    EXPECT_FLOAT_EQ(cruiser->ecmShockTimeLeft, 3000.0f);
    for (int i = 0; i < 67; ++i) // 804 ms of an 800 ms beam
        shock->Update();
    EXPECT_FALSE(shock->IsShowing());
    // Between shots the aim follows the target.
    shock->reloadProgress = -1e9f;
    const float before = shock->GetAimPoint().x;
    cruiser->x += 40.0f;
    shock->Update();
    EXPECT_FLOAT_EQ(shock->GetAimPoint().x, before + 40.0f);
}

TEST_F(MissileTest, AnECMShockBeamWaitsWhileItsShipIsNotFullyVisible)
{
    SIM_Ship* shooter = world.Build("d_cloakedshock", 0, 0);
    SIM_ECMShockModule* shock = MissileTestWorld::Get<SIM_ECMShockModule>(shooter);
    auto* cloak = MissileTestWorld::Get<SIM_CamoflageShieldModule>(shooter);
    ASSERT_TRUE(shock && cloak);
    SIM_Ship* cruiser = world.Build("bigtarget", 0, 300, true);
    shock->ChooseTarget(true);
    ASSERT_EQ(shock->GetTarget(), cruiser);
    shock->Fire();
    shock->reloadProgress = -1e9f; // no second shot meanwhile
    for (int i = 0; i < 33; ++i) // 396 ms of the 800 ms beam
        shock->Update();
    ASSERT_TRUE(shock->IsShowing());
    const float shown = shock->beamTimer;
    const SIM_ShipModule::Point aim = shock->GetAimPoint();
    cloak->cloakState = SIM_CamoflageShieldModule::FADING_OUT;
    cruiser->x += 40.0f;
    for (int i = 0; i < 100; ++i)
        shock->Update();
    EXPECT_TRUE(shock->IsShowing());
    EXPECT_FLOAT_EQ(shock->beamTimer, shown);
    EXPECT_FLOAT_EQ(shock->GetAimPoint().x, aim.x);
    // Fully visible again: it goes on where it stopped.
    cloak->cloakState = SIM_CamoflageShieldModule::VISIBLE;
    shock->Update();
    EXPECT_FLOAT_EQ(shock->GetAimPoint().x, aim.x + 40.0f);
    EXPECT_GT(shock->beamTimer, shown);
    for (int i = 0; i < 34; ++i) // past 800 ms in all
        shock->Update();
    EXPECT_FALSE(shock->IsShowing());
}

TEST_F(MissileTest, SmartBombWaitsForThreeEnemyMissilesAndTakesOwnOnesToo)
{
    SIM_Ship* bomber = world.Build("d_twobombs", 0, 0);
    SIM_Ship* enemyTarget = world.Build("bigtarget", 0, -2000, true);
    SIM_SmartBombModule* bombs[2] = {};
    for (SIM_ShipModule* mod : bomber->GetModules())
        if (auto* b = dynamic_cast<SIM_SmartBombModule*>(mod))
            (bombs[0] ? bombs[1] : bombs[0]) = b;
    ASSERT_NE(bombs[1], nullptr);
    bombs[0]->chargeTimer = 1001.0f;
    bombs[1]->chargeTimer = 500.0f;

    // Enemy missiles aimed at the bomber, parked 100 units out; one of ours too.
    std::vector<SIM_Missile*> enemy;
    for (int i = 0; i < 3; ++i) {
        SIM_Missile& m = MissileTestWorld::Get<SIM_MissileModule>(world.Build("d_m_explosive", 1000, 0, true))
                             ->GetMissile();
        m.Launch(bomber, nullptr, 100.0f, static_cast<float>(i));
        enemy.push_back(&m);
    }
    SIM_Missile& own =
        MissileTestWorld::Get<SIM_MissileModule>(world.Build("d_m_explosive", 0, 500))->GetMissile();
    own.Launch(enemyTarget, nullptr, 0.0f, 100.0f);

    enemy[2]->x = 250.0f; // on the edge: not inside
    bombs[0]->Think();
    EXPECT_FALSE(bombs[0]->IsDetonating()) << "own missile and an edge one do not count";
    enemy[2]->x = 249.0f;
    bombs[0]->Think();
    ASSERT_TRUE(bombs[0]->IsDetonating());
    EXPECT_FLOAT_EQ(effects.bombRadius, 250.0f);
    EXPECT_EQ(bombs[0]->GetPending().size(), 4u); // trigger chance 1: all four
    for (const auto& p : bombs[0]->GetPending())
        EXPECT_LT(p.delay, 300.0f);
    EXPECT_FLOAT_EQ(bombs[0]->chargeTimer, 0.0f);
    EXPECT_FLOAT_EQ(bombs[1]->chargeTimer, 0.0f) << "the ship's other bomb starts again";

    // One caught missile ends by itself and its launcher fires again before the
    // bomb's delay runs out: the new flight is another shot and flies on.
    enemy[0]->Destroy();
    enemy[0]->Launch(bomber, nullptr, 100.0f, 0.0f);
    ASSERT_TRUE(enemy[0]->IsLive());
    for (int i = 0; i < 25; ++i) // 300 ms
        bombs[0]->Update();
    EXPECT_FALSE(bombs[0]->IsDetonating());
    EXPECT_FALSE(own.IsLive());
    EXPECT_TRUE(enemy[0]->IsLive()) << "launched after the bomb went off";
    EXPECT_FALSE(enemy[1]->IsLive());
    EXPECT_FALSE(enemy[2]->IsLive());
    EXPECT_EQ(effects.exploded, 3);
    // A shot for the detonation, a hit for each missile it destroyed.
    EXPECT_EQ(Entries(bombs[0], SIM_ModuleStatistics::SHOT), 1);
    EXPECT_EQ(Entries(bombs[0], SIM_ModuleStatistics::HIT), 3);
}

TEST_F(MissileTest, ZeroTimesDivideNothingAndAGoneMissileIsLetGo)
{
    SIM_Ship* target = world.Build("bigtarget", 0, -600, true);
    SIM_MissileModule* launcher = Armed("m_explosive", target);
    SIM_Ship* zeros = world.Build("d_zeros", 0, -300, true);
    auto* ecm = MissileTestWorld::Get<SIM_ECMBeamModule>(zeros);
    auto* limpets = MissileTestWorld::Get<SIM_LimpetLauncherModule>(zeros);
    auto* bomb = MissileTestWorld::Get<SIM_SmartBombModule>(zeros);
    SIM_Missile& m = launcher->GetMissile();
    launcher->Fire();

    // A beam of no length ends on the next frame, with a pulse that stays finite.
    ecm->Think();
    ASSERT_EQ(ecm->GetState(), SIM_ECMBeamModule::BEAMING);
    ecm->Update();
    EXPECT_EQ(ecm->GetState(), SIM_ECMBeamModule::IDLE);
    EXPECT_TRUE(std::isfinite(ecm->pulseAlpha));

    // A locked missile shot down elsewhere: the beam lets go and scrambles nothing.
    ecm->beamDuration = 1500.0f;
    ecm->Think();
    ASSERT_EQ(ecm->GetMissile(), &m);
    m.DestroyWithEffect();
    EXPECT_EQ(ecm->GetState(), SIM_ECMBeamModule::IDLE);
    EXPECT_EQ(ecm->GetMissile(), nullptr);
    EXPECT_FALSE(m.scrambled);

    // No launch phase: straight to drifting at the end speed.
    limpets->Fire();
    SIM_Limpet& limpet = limpets->GetLimpet(0);
    limpet.Update();
    EXPECT_EQ(limpet.GetState(), SIM_Limpet::DRIFTING);
    EXPECT_FLOAT_EQ(limpet.GetSpeed(), 1.0f);

    // No charge time: always charged.
    EXPECT_FLOAT_EQ(bomb->ChargeFraction(), 1.0f);
}

} // namespace
