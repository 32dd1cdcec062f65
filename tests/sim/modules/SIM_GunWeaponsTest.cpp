#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/GUI_Sounds.h"
#include "platform/NullSoundSystem.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BattleEffects.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Shield.h"
#include "sim/SIM_ShipVisual.h"
#include "sim/ShippedBattleWorld.h"
#include "sim/modules/ModuleTestWorld.h"
#include "sim/modules/SIM_BulletWeaponModule.h"
#include "sim/modules/SIM_GunProjectiles.h"
#include "sim/modules/SIM_KineticWeapon.h"
#include "sim/modules/SIM_LightningGunModule.h"
#include "sim/modules/SIM_PlasmaLauncherModule.h"
#include "sim/modules/SIM_ShieldModule.h"

// Bullets, kinetic shells, lightning arcs and plasma torpedoes. The shooter
// sits at (1000, 500); a still 300-unit target is never missed (hit chance
// 1), one moving faster than the turrets track almost always is (0.02).

namespace {

int CountEntries(const SIM_ShipModule* m, int kind)
{
    const auto& e = m->GetStatistics().entries;
    return static_cast<int>(std::count_if(e.begin(), e.end(), [kind](const auto& x) { return x.kind == kind; }));
}

// The blast arcs shots leave on shields, heard while it lives.
class ShieldMarks : public SIM_BattleEffects {
public:
    ShieldMarks() { SIM_BattleEffects::Set(this); }
    ~ShieldMarks() override { SIM_BattleEffects::Set(nullptr); }
    void ProjectileShieldBlast(SIM_Ship* ship, float x, float y) override { blasts.push_back({ship, x, y}); }
    struct Blast {
        SIM_Ship* ship;
        float x, y;
    };
    std::vector<Blast> blasts;
};

class GunTest : public ::testing::Test {
protected:
    GunTest()
    {
        GUI_Map& map = GUI_Map::GetInstance();
        map.mapWidth = 4000.0f;
        map.mapHeight = 2000.0f;
        map.viewRight = 4000.0f;
        map.viewBottom = 2000.0f;
        const std::string common = "category = WEAPONS\nweight = 10\nhitpoints = 20\nmin_range = 0\n"
                                   "tracking_speed = 2\narmour_penetration = 10\nfire_interval = 1000\n"
                                   "turret_sprite = turret_laser\n";
        Type("gun", "SIM_BulletWeaponModule", common + "slot_type = STANDARD\nmax_range = 600\noptimum_range = 300\n"
                    "shield_penetration = 2\nspeed = 10\nwidth = 4\nheight = 8\ndamage = 10\ncolor = 9\n");
        Type("piercer", "SIM_BulletWeaponModule", common + "slot_type = STANDARD\nmax_range = 600\n"
                        "optimum_range = 300\nshield_penetration = 10\nspeed = 10\ndamage = 10\ncolor = 4\n");
        Type("turretgun", "SIM_BulletWeaponModule", common + "slot_type = TURRET\nmax_range = 600\n"
                          "optimum_range = 300\nspeed = 10\ndamage = 10\n");
        Type("cannon", "SIM_KineticWeapon", common + "slot_type = STANDARD\nmax_range = 800\noptimum_range = 400\n"
                       "shield_penetration = 2\nspeed = 10\ndamage = 30\n");
        Type("arc", "SIM_LightningGunModule", common + "slot_type = STANDARD\nmax_range = 600\noptimum_range = 300\n"
                    "beam_duration = 200\ndamage = 40\nsound = zap\nsoundvolume = 0.5\n");
        Type("longarc", "SIM_LightningGunModule", common + "slot_type = STANDARD\nbeam_duration = 1000\n");
        Type("plasma", "SIM_PlasmaLauncherModule", common + "slot_type = STANDARD\nmax_range = 800\n"
                       "optimum_range = 400\nspeed = 5\ndamage = 100\nfuel = 1000\nturnspeed = 4\n"
                       "animationgap = 60\nframes = 8\nstyle = 0\n");
        Type("fragplasma", "SIM_PlasmaLauncherModule", common + "slot_type = STANDARD\nmax_range = 800\nstyle = FRAGMENTED\n"
                           "animationgap = 0\nframes = 0\n");
        for (const char* t : {"gun", "piercer", "cannon", "arc", "longarc", "plasma", "fragplasma"})
            world.Design(std::string("ship_") + t, "t_cruiser", {"engine", "crew", t, ""});
        world.Design("ship_turretgun", "t_cruiser", {"engine", "crew", "", "turretgun"});
    }

    void Type(const std::string& name, const std::string& cls, const std::string& body)
    {
        world.AddModuleType(name, "classname = " + cls + "\n" + body);
    }

    // A shooter with its weapon aimed at the given target.
    template <class T>
    T* Shooter(const std::string& weapon, SIM_Ship* target, float x = 1000.0f, float y = 500.0f)
    {
        SIM_Ship* ship = world.Build("ship_" + weapon, x, y);
        T* module = ModuleTestWorld::FindModule<T>(ship);
        EXPECT_NE(module, nullptr);
        module->ChooseTarget(true);
        EXPECT_EQ(module->GetTarget(), target);
        module->reloadProgress = -1e9f; // fires only when a test says so
        return module;
    }

    static SIM_ShipModule::Point Aim(const SIM_Ship* t, const SIM_TargetedModule* m)
    {
        return SIM_GunProjectiles::AimPointOnMap(t, m->targetPoint);
    }

    ModuleTestWorld world;
};

TEST_F(GunTest, FactoryBuildsEveryGunAsItsOwnClassWithItsKeys)
{
    SIM_Ship* target = world.Build("bigtarget", 1300, 500, true);
    auto* gun = Shooter<SIM_BulletWeaponModule>("gun", target);
    EXPECT_EQ(gun->colourIndex, 9);
    float uv[4];
    EXPECT_FALSE(gun->bullets[0].hasCell); // 9 and above keep the sprite's own cell
    EXPECT_TRUE(SIM_BulletWeaponModule::SheetCell(8, uv));
    EXPECT_FLOAT_EQ(uv[0], 0.25f);
    EXPECT_FLOAT_EQ(uv[2], 0.5f);
    EXPECT_FLOAT_EQ(gun->bullets[0].fadeDistance, 600.0f);
    EXPECT_FLOAT_EQ(gun->bullets[0].expiryDistance, 664.0f);
    auto* piercer = Shooter<SIM_BulletWeaponModule>("piercer", target, 1000, 600);
    ASSERT_TRUE(piercer->bullets[63].hasCell);
    EXPECT_FLOAT_EQ(piercer->bullets[63].cell[1] - piercer->bullets[63].cell[0], 0.25f); // a wide cell
    EXPECT_FLOAT_EQ(Shooter<SIM_LightningGunModule>("arc", target, 1000, 700)->fadeTime, 50.0f);
    EXPECT_FLOAT_EQ(ModuleTestWorld::FindModule<SIM_LightningGunModule>(world.Build("ship_longarc", 0, 0))->fadeTime,
                    100.0f);
}

TEST_F(GunTest, SixtyFourBulletsFlyAtOnceAndTheSixtyFifthIsLost)
{
    SIM_Ship* target = world.Build("bigtarget", 1300, 500, true);
    auto* gun = Shooter<SIM_BulletWeaponModule>("gun", target);
    ModuleTestWorld::SetFrame(0.0f); // bullets launched but not moving
    for (int i = 0; i < SIM_BulletWeaponModule::kPoolSize; ++i)
        ASSERT_TRUE(gun->LaunchBullet(true, 1000, 500)) << i;
    EXPECT_EQ(gun->GetHighWater(), 64);
    EXPECT_EQ(gun->lostShots, 0);
    EXPECT_FALSE(gun->LaunchBullet(true, 1000, 500));
    EXPECT_EQ(gun->lostShots, 1);
    EXPECT_EQ(gun->CountLive(), 64);
    EXPECT_EQ(gun->UpdateBullets(), 64);
}

TEST_F(GunTest, ALostRollFliesPastFadesOverSixtyFourUnitsAndIsAMiss)
{
    SIM_Ship* target = world.Build("bigtarget", 1300, 500, true);
    auto* gun = Shooter<SIM_BulletWeaponModule>("gun", target);
    target->speed = 100.0f;
    const SIM_Bullet* shot = nullptr;
    for (int i = 0; i < 20 && !shot; ++i) {
        gun->Fire();
        for (const SIM_Bullet& b : gun->GetBullets())
            if (b.live && !b.guided)
                shot = &b;
    }
    ASSERT_NE(shot, nullptr);
    const float heading = shot->angle;
    const int missesBefore = CountEntries(gun, SIM_ModuleStatistics::MISS);
    float lastTravelled = 0.0f;
    while (shot->live) {
        lastTravelled = shot->travelled;
        if (shot->travelled > 600.0f)
            EXPECT_NEAR(shot->alpha, std::max(0.0f, 1.0f - (shot->travelled - 600.0f) / 64.0f), 1e-4f);
        else
            EXPECT_FLOAT_EQ(shot->alpha, 1.0f);
        EXPECT_FLOAT_EQ(shot->angle, heading); // no homing
        gun->UpdateBullets();
    }
    // Dies on the first update that starts beyond range + 64.
    EXPECT_GT(lastTravelled, 664.0f);
    EXPECT_LE(lastTravelled, 674.0f);
    EXPECT_EQ(CountEntries(gun, SIM_ModuleStatistics::MISS), missesBefore + 1);
    EXPECT_EQ(target->GetStats().hitsTaken, 0);
}

TEST_F(GunTest, AGuidedBulletHitsWithinTwelveUnitsOfItsAimPoint)
{
    SIM_Ship* target = world.Build("bigtarget", 1300, 500, true);
    auto* gun = Shooter<SIM_BulletWeaponModule>("gun", target);
    ModuleTestWorld::SetFrame(0.0f);
    gun->Fire();
    SIM_Bullet& b = gun->bullets[0];
    ASSERT_TRUE(b.live && b.guided);
    ModuleTestWorld::SetFrame(12.0f); // a step of 10
    const SIM_ShipModule::Point p = Aim(target, gun);
    // Hit once distance^2 - step^2 < 144: 15.5 units before the step hits,
    b.x = p.x - 15.7f;
    b.y = p.y;
    b.Update();
    EXPECT_TRUE(b.live); // 15.7 does not,
    EXPECT_EQ(target->GetStats().hitsTaken, 0);
    b.x = p.x - 15.5f;
    b.travelled = 300.0f; // at the optimum range: full damage
    b.Update();
    EXPECT_FALSE(b.live);
    EXPECT_EQ(target->GetStats().hitsTaken, 1);
    EXPECT_NEAR(target->GetStats().damageTaken, 10.0f * gun->RangeFactor(310.0f), 1e-4f);
    EXPECT_EQ(CountEntries(gun, SIM_ModuleStatistics::HIT), 1);
}

TEST_F(GunTest, AnUnpenetratedShieldBouncesAGuidedBulletAndAPenetratedOneEndsIt)
{
    ShieldMarks marks;
    SIM_Ship* target = world.Build("bigshielded", 1400, 500, true);
    ASSERT_TRUE(target->GetShield() && target->GetShield()->IsUp());
    ASSERT_FLOAT_EQ(SIM_GunProjectiles::BubbleRadius(target), 199.5f);
    auto* gun = Shooter<SIM_BulletWeaponModule>("gun", target); // penetration 2 < resistance 5
    const float hull = ModuleTestWorld::ModuleHitpoints(target);
    gun->Fire();
    SIM_Bullet& b = gun->bullets[0];
    ASSERT_TRUE(b.guided);
    EXPECT_FALSE(b.insideShield);
    const float inbound = b.angle;
    for (int i = 0; i < 30 && b.guided; ++i)
        gun->UpdateBullets();
    ASSERT_FALSE(b.guided);
    EXPECT_TRUE(b.live);
    EXPECT_NEAR(b.angle, std::fmod(inbound + 180.0f, 360.0f), 0.5f); // straight back the way it came
    EXPECT_FLOAT_EQ(b.travelled, 600.0f - 8.0f);
    EXPECT_EQ(target->GetStats().hitsStoppedByOwnShield, 1);
    EXPECT_FLOAT_EQ(ModuleTestWorld::ModuleHitpoints(target), hull);
    EXPECT_TRUE(marks.blasts.empty()) << "a bounced bullet leaves no blast arc";

    auto* piercer = Shooter<SIM_BulletWeaponModule>("piercer", target, 1000, 520);
    piercer->Fire();
    SIM_Bullet& p = piercer->bullets[0];
    ASSERT_TRUE(p.guided);
    for (int i = 0; i < 30 && p.live; ++i)
        piercer->UpdateBullets();
    EXPECT_FALSE(p.live);
    // It ends on the drawn bubble (0.665 x 300), not at the hull.
    EXPECT_LT(std::hypot(p.x - 1400.0f, p.y - 500.0f), 199.5f);
    EXPECT_GT(std::hypot(p.x - 1400.0f, p.y - 500.0f), 199.5f - 10.0f);
    // The bubble shows where it was crossed: one blast arc, on its edge.
    ASSERT_EQ(marks.blasts.size(), 1u);
    EXPECT_EQ(marks.blasts[0].ship, target);
    EXPECT_NEAR(std::hypot(marks.blasts[0].x - 1400.0f, marks.blasts[0].y - 500.0f), 199.5f, 0.5f);
}

TEST_F(GunTest, ABulletPassesADisruptedShieldsBubbleToTheHullAndStopsThereOnceItIsBack)
{
    ShieldMarks marks;
    SIM_Ship* target = world.Build("bigshielded", 1400, 500, true);
    SIM_Shield* shield = target->GetShield();
    auto* gun = Shooter<SIM_BulletWeaponModule>("gun", target); // penetration 2 < resistance 5
    const float r = SIM_GunProjectiles::BubbleRadius(target);
    shield->Drain(1000.0f);
    ASSERT_EQ(shield->state, SIM_Shield::DISRUPTED);
    gun->Fire();
    SIM_Bullet& b = gun->bullets[0];
    ASSERT_TRUE(b.guided);
    const SIM_ShipModule::Point aim = SIM_GunProjectiles::AimPointOnMap(target, b.aimPoint);
    for (int i = 0; i < 60 && b.live; ++i)
        gun->UpdateBullets();
    EXPECT_FALSE(b.live);
    EXPECT_EQ(target->GetStats().hitsTaken, 1);
    EXPECT_EQ(target->GetStats().hitsStoppedByOwnShield, 0);
    // It flew on past the rim into its aim point on the hull.
    EXPECT_LT(std::hypot(b.x - target->x, b.y - target->y), r - 20.0f);
    EXPECT_LT(std::hypot(b.x - aim.x, b.y - aim.y), 12.0f + 10.0f);
    EXPECT_TRUE(marks.blasts.empty()) << "no mark on a bubble that is down";

    // The shield up again: the next bullet bounces off the rim.
    shield->stability = shield->startingPoints - 0.01f;
    shield->Update(1.0f);
    ASSERT_EQ(shield->state, SIM_Shield::UP);
    gun->reloadProgress = 1e9f;
    gun->Fire();
    SIM_Bullet& again = gun->bullets[0];
    ASSERT_TRUE(again.live && again.guided);
    for (int i = 0; i < 60 && again.guided; ++i)
        gun->UpdateBullets();
    EXPECT_FALSE(again.guided);
    EXPECT_EQ(target->GetStats().hitsStoppedByOwnShield, 1);
    EXPECT_GT(std::hypot(again.x - target->x, again.y - target->y), r - 20.0f);
}

TEST_F(GunTest, TheBubbleIsTheDrawnOneAtTwoThirdsOfTheLargerHullSideUntilTheShieldCollapses)
{
    SIM_Ship* target = world.Build("bigshielded", 1400, 500, true); // 300 x 300
    const float r = SIM_GunProjectiles::BubbleRadius(target);
    EXPECT_FLOAT_EQ(r, 0.665f * 300.0f);
    EXPECT_FLOAT_EQ(r, target->GetVisual()->GetShieldBubbleRadius());
    EXPECT_FLOAT_EQ(SIM_ShipVisual::ShieldBubbleRadius(80.0f, 100.0f), 66.5f) << "the larger side";
    EXPECT_FLOAT_EQ(SIM_ShipVisual::ShieldBubbleRadius(100.0f, 80.0f), 66.5f);
    // Inside is strictly below the radius.
    EXPECT_TRUE(SIM_GunProjectiles::IsInsideShield(target, 1400.0f - (r - 0.05f), 500.0f));
    EXPECT_FALSE(SIM_GunProjectiles::IsInsideShield(target, 1400.0f - r, 500.0f));
    EXPECT_FALSE(SIM_GunProjectiles::IsInsideShield(target, 1400.0f, 500.0f + 0.8f * 300.0f));
    // No generators, no bubble (and nothing to be inside of).
    SIM_Ship* bare = world.Build("bigtarget", 1400, 1500, true);
    EXPECT_FALSE(SIM_GunProjectiles::HasBubble(bare));
    EXPECT_FALSE(SIM_GunProjectiles::IsInsideShield(bare, 1400.0f, 1500.0f));

    // A disrupted shield is not drawn, so shots pass where it was; it comes
    // back with the shield's stability.
    SIM_Shield* shield = target->GetShield();
    ASSERT_TRUE(SIM_GunProjectiles::HasBubble(target));
    shield->Drain(1000.0f);
    ASSERT_EQ(shield->state, SIM_Shield::DISRUPTED);
    EXPECT_FALSE(SIM_GunProjectiles::HasBubble(target));
    shield->stability = shield->startingPoints - 0.01f;
    shield->Update(1.0f);
    ASSERT_EQ(shield->state, SIM_Shield::UP);
    EXPECT_TRUE(SIM_GunProjectiles::HasBubble(target));
    shield->Drain(1000.0f);
    // A collapse takes the picture away for good, and the bubble with it.
    for (SIM_ShieldModule* generator : shield->GetModules())
        generator->points = 0.0f;
    shield->Recalculate();
    EXPECT_FALSE(SIM_GunProjectiles::HasBubble(target));
    shield->state = SIM_Shield::UP;
    EXPECT_FALSE(SIM_GunProjectiles::HasBubble(target));
    target->GetVisual()->SetShieldEffect(true);
    EXPECT_FALSE(SIM_GunProjectiles::HasBubble(target));
}

TEST_F(GunTest, ShotsFromFourFifthsOfTheHullSizeMeetTheShieldAndFromThreeFifthsPassInside)
{
    SIM_Ship* target = world.Build("bigshielded", 1400, 500, true);
    auto* gun = Shooter<SIM_BulletWeaponModule>("gun", target); // penetration 2 < resistance 5
    auto* cannon = Shooter<SIM_KineticWeapon>("cannon", target, 1000, 540);
    const float hull = ModuleTestWorld::ModuleHitpoints(target);
    const float outside = 1400.0f - 0.8f * 300.0f;
    const float inside = 1400.0f - 0.6f * 300.0f;

    // Outside the drawn bubble though inside the hull's size: the shield stops both.
    ASSERT_TRUE(gun->LaunchBullet(true, outside, 500.0f));
    SIM_Bullet& b = gun->bullets[0];
    ASSERT_TRUE(b.guided);
    EXPECT_FALSE(b.insideShield);
    for (int i = 0; i < 30 && b.guided; ++i)
        gun->UpdateBullets();
    EXPECT_FALSE(b.guided) << "bounced off the bubble";
    ASSERT_TRUE(cannon->LaunchShell(true, outside, 500.0f));
    EXPECT_FALSE(cannon->shells[0].insideShield);
    for (int i = 0; i < 400 && cannon->shells[0].live; ++i)
        cannon->UpdateShells();
    EXPECT_EQ(target->GetStats().hitsStoppedByOwnShield, 2);
    EXPECT_FLOAT_EQ(ModuleTestWorld::ModuleHitpoints(target), hull);

    // Inside it both skip the shield and reach the hull.
    ASSERT_TRUE(gun->LaunchBullet(true, inside, 500.0f));
    SIM_Bullet& in = gun->bullets[0].live ? gun->bullets[1] : gun->bullets[0];
    ASSERT_TRUE(in.live && in.guided);
    EXPECT_TRUE(in.insideShield);
    for (int i = 0; i < 40 && in.live; ++i)
        gun->UpdateBullets();
    EXPECT_FALSE(in.live);
    ASSERT_TRUE(cannon->LaunchShell(true, inside, 500.0f));
    for (int i = 0; i < 400 && cannon->CountLive() > 0; ++i)
        cannon->UpdateShells();
    EXPECT_EQ(target->GetStats().hitsStoppedByOwnShield, 2);
    EXPECT_FLOAT_EQ(target->GetShield()->currentPoints, 100.0f);
    EXPECT_LT(ModuleTestWorld::ModuleHitpoints(target), hull);
}

TEST_F(GunTest, LaterTurretsOfASalvoNeverHitAndAreNeverMisses)
{
    SIM_Ship* target = world.Build("bigtarget", 1300, 500, true);
    auto* gun = Shooter<SIM_BulletWeaponModule>("turretgun", target);
    ASSERT_EQ(gun->GetTurretCount(), 3u);
    gun->Fire();
    gun->reloadProgress = -1e9f;
    ASSERT_EQ(gun->GetShotRecords().size(), 2u); // turrets 1 and 2 at 333 and 667 ms
    for (int i = 0; i < 150; ++i) {
        gun->Update();
        gun->UpdateBullets();
        if (i == 56) { // 684 ms: the first has hit, both delayed shots fly
            EXPECT_EQ(gun->CountLive(), 2);
            EXPECT_FALSE(gun->bullets[0].guided || gun->bullets[1].guided);
        }
    }
    EXPECT_EQ(gun->CountLive(), 0);
    EXPECT_EQ(CountEntries(gun, SIM_ModuleStatistics::HIT), 1);
    EXPECT_EQ(CountEntries(gun, SIM_ModuleStatistics::MISS), 0);
    EXPECT_EQ(target->GetStats().hitsTaken, 1);

    // More turret points than the per-turret arrays hold: only four fire.
    gun->SetTurretOffsets(std::vector<SIM_ShipModule::Point>(6));
    gun->Fire();
    EXPECT_EQ(gun->GetShotRecords().size(), 3u);
    SIM_TargetedModule::ShotRecord beyond{5, target, gun->targetPoint, 0.0f, 0.0f};
    gun->FireTurret(beyond);
    EXPECT_EQ(gun->CountLive(), 1);
}

TEST_F(GunTest, AKineticRollComesFirstAndAMissLaunchesNothing)
{
    SIM_Ship* target = world.Build("bigtarget", 1300, 500, true);
    auto* cannon = Shooter<SIM_KineticWeapon>("cannon", target);
    target->speed = 100.0f;
    int misses = 0;
    for (int i = 0; i < 10; ++i) {
        const int live = cannon->CountLive();
        const int before = CountEntries(cannon, SIM_ModuleStatistics::MISS);
        cannon->Fire();
        const int missed = CountEntries(cannon, SIM_ModuleStatistics::MISS) - before;
        EXPECT_EQ(missed + (cannon->CountLive() - live), 1); // a miss, or a shell: never both
        misses += missed;
    }
    EXPECT_GT(misses, 5);
}

TEST_F(GunTest, AShellCoversItsLaunchDistanceAndHitsWhereverTheTargetWent)
{
    SIM_Ship* target = world.Build("bigtarget", 1300, 500, true);
    auto* cannon = Shooter<SIM_KineticWeapon>("cannon", target);
    cannon->Fire();
    ASSERT_EQ(cannon->CountLive(), 1);
    const SIM_KineticShell& shell = cannon->shells[0];
    const float distance = shell.distance;
    EXPECT_GT(distance, 100.0f);
    target->x += 600.0f; // far beyond the weapon's range
    int frames = 0;
    while (shell.live && frames < 1000) {
        cannon->UpdateShells();
        ++frames;
    }
    EXPECT_EQ(frames, static_cast<int>(std::ceil(distance / 10.0f)));
    EXPECT_EQ(target->GetStats().hitsTaken, 1);
    EXPECT_NEAR(target->GetStats().damageTaken, 30.0f * cannon->RangeFactor(shell.travelled), 1e-3f);

    // Four in flight: a fifth won roll is lost.
    ModuleTestWorld::SetFrame(0.0f);
    target->x -= 600.0f;
    for (int i = 0; i < 4; ++i)
        cannon->Fire();
    EXPECT_EQ(cannon->CountLive(), 4);
    EXPECT_EQ(cannon->lostShots, 0);
    cannon->Fire();
    EXPECT_EQ(cannon->lostShots, 1);
    EXPECT_EQ(cannon->CountLive(), 4);
}

TEST_F(GunTest, AShipThatStartsDyingTakesNoMoreHitsFromShotsInFlight)
{
    SIM_Ship* target = world.Build("bigtarget", 1300, 500, true);
    auto* cannon = Shooter<SIM_KineticWeapon>("cannon", target);
    auto* gun = Shooter<SIM_BulletWeaponModule>("gun", target, 1000, 600);
    cannon->Fire();
    gun->Fire();
    ASSERT_EQ(cannon->CountLive(), 1);
    ASSERT_TRUE(gun->bullets[0].guided);
    target->StartDying();
    const int taken = target->GetStats().hitsTaken;
    for (int i = 0; i < 80; ++i) {
        cannon->UpdateShells();
        gun->UpdateBullets();
    }
    EXPECT_EQ(cannon->CountLive(), 0);
    EXPECT_FALSE(gun->bullets[0].guided); // flies on past the wreck
    EXPECT_EQ(target->GetStats().hitsTaken, taken);
}

TEST_F(GunTest, LightningHitsAtOnceAndHoldsItsTargetWhileTheArcShows)
{
    SIM_Ship* target = world.Build("bigtarget", 1300, 500, true);
    auto* arc = Shooter<SIM_LightningGunModule>("arc", target);
    arc->Fire();
    ASSERT_TRUE(arc->IsHit());
    const SIM_ShipModule::Point pos = arc->GetWorldPos();
    const float d = std::hypot(target->x - pos.x, target->y - pos.y);
    EXPECT_EQ(target->GetStats().hitsTaken, 1);
    EXPECT_NEAR(target->GetStats().damageTaken, 40.0f * arc->RangeFactor(d), 1e-3f);
    EXPECT_FALSE(arc->IsAutoTarget());
    EXPECT_FLOAT_EQ(arc->arcDuration, 200.0f);

    arc->reloadProgress = 1e6f; // due, but the arc is still showing
    arc->Fire();
    EXPECT_EQ(CountEntries(arc, SIM_ModuleStatistics::SHOT), 1);
    arc->reloadProgress = 0.0f;
    for (int i = 0; i < 16; ++i) // 192 ms
        arc->Update();
    EXPECT_TRUE(arc->IsArcActive());
    EXPECT_EQ(target->GetStats().hitsTaken, 1); // damage lands once
    arc->Update(); // 204 ms
    EXPECT_FALSE(arc->IsArcActive());
    EXPECT_TRUE(arc->IsAutoTarget());
}

TEST_F(GunTest, AMissedArcWandersNearAPointBesideTheTargetForHalfTheTime)
{
    SIM_Ship* target = world.Build("bigtarget", 1300, 500, true);
    auto* arc = Shooter<SIM_LightningGunModule>("arc", target);
    target->speed = 100.0f;
    for (int i = 0; i < 20 && arc->IsHit(); ++i) {
        while (arc->IsArcActive())
            arc->Update();
        arc->Fire();
    }
    ASSERT_FALSE(arc->IsHit());
    EXPECT_EQ(target->GetStats().hitsTaken, 0);
    EXPECT_FLOAT_EQ(arc->arcDuration, 100.0f);
    EXPECT_LE(std::fabs(arc->missPoint.x - arc->GetAimPoint().x), 16.0f);
    EXPECT_LE(std::fabs(arc->missPoint.y - arc->GetAimPoint().y), 16.0f);
    std::set<float> ends;
    for (int i = 0; i < 8 && arc->IsArcActive(); ++i) {
        const SIM_ShipModule::Point e = arc->ArcEnd(0, 0);
        EXPECT_LE(std::fabs(e.x - arc->missPoint.x), 6.0f);
        EXPECT_LE(std::fabs(e.y - arc->missPoint.y), 6.0f);
        ends.insert(e.x);
        arc->Update();
    }
    EXPECT_GT(ends.size(), 4u); // it wanders
    for (int i = 0; i < 9; ++i)
        arc->Update();
    EXPECT_FALSE(arc->IsArcActive()); // ended by 108 ms
}

TEST_F(GunTest, OneTorpedoAtATimeHomingOnItsTargetWithDamageByDistanceFlown)
{
    SIM_Ship* target = world.Build("bigtarget", 1400, 500, true);
    auto* launcher = Shooter<SIM_PlasmaLauncherModule>("plasma", target);
    launcher->Fire();
    const SIM_Plasma& t = launcher->GetTorpedo();
    ASSERT_TRUE(t.live && t.willHit);
    launcher->Fire(); // still flying: nothing
    EXPECT_EQ(CountEntries(launcher, SIM_ModuleStatistics::SHOT), 1);
    target->y += 100.0f; // it turns after the target
    int frames = 0;
    while (t.live && frames < 500) {
        launcher->reloadProgress = 0.0f;
        launcher->Update();
        ++frames;
    }
    EXPECT_FALSE(t.live);
    EXPECT_EQ(target->GetStats().hitsTaken, 1);
    const float flown = t.fuel - t.fuelLeft;
    EXPECT_NEAR(target->GetStats().damageTaken, 100.0f * launcher->RangeFactor(flown), 1e-2f);
    EXPECT_GT(flown, 400.0f); // it flew the whole way, turning after the target
    EXPECT_LT(flown, 440.0f);
    launcher->Fire();
    EXPECT_TRUE(t.live);
}

TEST_F(GunTest, ATorpedoThatWillNotHitFliesStraightUntilItsFuelEnds)
{
    SIM_Ship* target = world.Build("bigtarget", 1400, 500, true);
    auto* launcher = Shooter<SIM_PlasmaLauncherModule>("plasma", target);
    SIM_Plasma& t = launcher->GetTorpedo();
    launcher->Fire();
    ASSERT_TRUE(t.willHit);
    target->state = SIM_Ship::RETREATED; // gone: no more homing
    t.Update();
    EXPECT_FALSE(t.willHit);
    const float heading = t.angle;
    int frames = 1;
    while (t.live) {
        t.Update();
        ++frames;
    }
    EXPECT_FLOAT_EQ(t.angle, heading);
    EXPECT_EQ(frames, 200); // 1000 fuel at 5 a step
    EXPECT_EQ(CountEntries(launcher, SIM_ModuleStatistics::MISS), 1);
    EXPECT_EQ(target->GetStats().hitsTaken, 0);

    // A wrecked launcher loses the torpedo in flight.
    target->state = SIM_Ship::ACTIVE;
    launcher->Fire();
    ASSERT_TRUE(t.live);
    launcher->TakeDamage(5.0f); // of 20
    EXPECT_TRUE(t.live);
    EXPECT_FLOAT_EQ(launcher->GetEfficiency(), 0.75f);
    EXPECT_FLOAT_EQ(launcher->GetHealth(), 0.75f);
    launcher->TakeDamage(1000.0f);
    EXPECT_FALSE(t.live);
    EXPECT_FLOAT_EQ(launcher->GetHealth(), 0.0f);
}

TEST_F(GunTest, TorpedoAnimationStepsByItsGapAndABadGapOrNoFramesAnimateNothing)
{
    SIM_Ship* target = world.Build("bigtarget", 1400, 500, true);
    auto* launcher = Shooter<SIM_PlasmaLauncherModule>("plasma", target);
    SIM_Plasma& t = launcher->GetTorpedo();
    EXPECT_EQ(t.style, SIM_Plasma::STANDARD); // "0" is no style name
    launcher->Fire();
    t.Animate(130.0f); // two gaps of 60 exceeded
    EXPECT_EQ(t.animationCounter, 2);
    EXPECT_FLOAT_EQ(t.animationTimer, 10.0f);
    t.Animate(50.0f); // 60 is not exceeded
    EXPECT_EQ(t.animationCounter, 2);
    t.Animate(60.0f * 7.0f + 1.0f); // eight steps wrap round to where it was
    EXPECT_EQ(t.animationCounter, 2);
    EXPECT_FLOAT_EQ(t.animationTimer, 1.0f);
    t.animationGap = 1e-6f; // a gap this small counts its steps at once
    t.Animate(1e6f);
    EXPECT_GE(t.animationCounter, 0);
    EXPECT_LT(t.animationCounter, 8);

    auto* frag = Shooter<SIM_PlasmaLauncherModule>("fragplasma", target, 1000, 600);
    SIM_Plasma& f = frag->GetTorpedo();
    EXPECT_EQ(f.style, SIM_Plasma::FRAGMENTED);
    EXPECT_EQ(f.coreCell, 2);
    f.style = SIM_Plasma::STANDARD; // gap 0 and no frames
    frag->Fire();
    f.Animate(1e6f);
    EXPECT_EQ(f.animationCounter, 0);
    f.animationGap = 60.0f; // frames still 0: no division by it
    f.Animate(1e6f);
    EXPECT_EQ(f.animationCounter, 0);
}

// Channels the lightning starts and stops, as the sound manager sees them.
class RecordingSounds : public NullSoundSystem {
public:
    RecordingSounds() : NullSoundSystem(64) {}
    bool IsSilent() const override { return false; }
    SoundHandle CreateSound(const std::string& path, unsigned) override
    {
        files.push_back(path);
        return static_cast<SoundHandle>(files.size());
    }
    SoundChannelId PlaySound(SoundHandle, SoundGroupHandle, bool, int) override { return ++lastChannel; }
    void StopChannel(SoundChannelId ch) override { stopped.insert(ch); }

    std::vector<std::string> files;
    SoundChannelId lastChannel = 0;
    std::set<SoundChannelId> stopped;
};

class LightningSoundTest : public GunTest {
protected:
    LightningSoundTest()
        : system(new RecordingSounds()),
          sounds(std::unique_ptr<ISoundSystem>(system), [](const std::string&) { return 1.0f; })
    {
        GUI_BattleGUI::GetInstance().SetSounds(&sounds);
    }
    ~LightningSoundTest() override { GUI_BattleGUI::GetInstance().SetSounds(nullptr); }

    SIM_LightningGunModule* Firing(SIM_Ship* target, float y)
    {
        auto* arc = Shooter<SIM_LightningGunModule>("arc", target, 1000, y);
        arc->Fire();
        EXPECT_NE(arc->soundChannel, kNoChannel);
        return arc;
    }

    RecordingSounds* system;
    GUI_Sounds sounds;
};

TEST_F(LightningSoundTest, ArcSoundsStopWithTheArcTheModuleTheShipAndTheBattle)
{
    SIM_Ship* target = world.Build("bigtarget", 1300, 500, true);
    SIM_LightningGunModule* ends = Firing(target, 400);
    SIM_LightningGunModule* wrecked = Firing(target, 450);
    SIM_LightningGunModule* dying = Firing(target, 500);
    SIM_LightningGunModule* cleared = Firing(target, 550);
    EXPECT_NE(std::find(system->files.begin(), system->files.end(), "zap"), system->files.end());
    const SoundChannelId a = ends->soundChannel, b = wrecked->soundChannel, c = dying->soundChannel,
                         d = cleared->soundChannel;
    for (int i = 0; i < 17; ++i)
        ends->Update();
    EXPECT_EQ(system->stopped.count(a), 1u);
    wrecked->TakeDamage(1000.0f);
    EXPECT_EQ(system->stopped.count(b), 1u);
    dying->GetShip()->StartDying();
    EXPECT_EQ(system->stopped.count(c), 1u);
    EXPECT_EQ(system->stopped.count(d), 0u); // the others play on
    SIM_Battle::GetInstance().Clear();
    EXPECT_EQ(system->stopped.count(d), 1u);
    EXPECT_EQ(cleared->soundChannel, kNoChannel);
}

TEST_F(GunTest, WithoutAScreenNoBulletMeetsScenery)
{
    SIM_Ship* target = world.Build("bigtarget", 1300, 500, true);
    auto* gun = Shooter<SIM_BulletWeaponModule>("gun", target);
    gun->Fire();
    GUI_Map::GetInstance().zoom = 2.0f;
    EXPECT_FALSE(SIM_GunProjectiles::CollideWithScenery());
    // With a probe that finds an asteroid everywhere, only an unguided bullet ends.
    SIM_GunProjectiles::SetSceneryProbe([](float, float, bool asteroids) {
        return asteroids ? int(SIM_GunProjectiles::ASTEROID) : int(SIM_GunProjectiles::NO_SCENERY);
    });
    EXPECT_FALSE(SIM_GunProjectiles::CollideWithScenery());
    gun->bullets[0].guided = false;
    GUI_Map::GetInstance().zoom = 1.0f; // only while zoomed in
    EXPECT_FALSE(SIM_GunProjectiles::CollideWithScenery());
    GUI_Map::GetInstance().zoom = 2.0f;
    EXPECT_TRUE(SIM_GunProjectiles::CollideWithScenery());
    EXPECT_FALSE(gun->bullets[0].live);
    SIM_GunProjectiles::SetSceneryProbe(nullptr);
}

// Hits and shots of each gun class over a whole headless battle of shipped
// designs: each class must fire and hit, and the same seed must replay.
class ShippedGunsTest : public ::testing::Test {
protected:
    std::map<std::string, std::pair<int, int>> Battle(uint64_t seed)
    {
        SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario2");
        EXPECT_NE(scenario, nullptr);
        EXPECT_TRUE(world.Headless().StartCustom(scenario, player, enemy, seed));
        world.Headless().Run(16.67f, 60000.0f);
        std::map<std::string, std::pair<int, int>> tally;
        const SIM_Battle& battle = SIM_Battle::GetInstance();
        for (const SIM_Fleet* fleet : {battle.GetPlayerFleet(), battle.GetEnemyFleet()})
            for (const SIM_Ship* ship : fleet->GetAllShips())
                for (const SIM_ShipModule* m : ship->GetModules()) {
                    auto& t = tally[m->GetType()->GetClassName()];
                    t.first += CountEntries(m, SIM_ModuleStatistics::HIT);
                    t.second += CountEntries(m, SIM_ModuleStatistics::SHOT);
                }
        SIM_Battle::GetInstance().Clear();
        return tally;
    }

    ShippedBattleWorld world;
    SIM_DeployedFleet player;
    SIM_DeployedFleet enemy;
};

TEST_F(ShippedGunsTest, EveryGunClassFiresAndHitsAndTheBattleReplaysExactly)
{
    int i = 0;
    for (const char* design : {"battlecruiser", "escort", "siegecruiser", "carrier"}) {
        const float y = 700.0f + 200.0f * static_cast<float>(i++);
        ASSERT_TRUE(ShippedBattleWorld::Add(player, std::string("fed_ai_") + design, 1100, y));
        ASSERT_TRUE(ShippedBattleWorld::Add(enemy, std::string("kor_ai_") + design, 1900, y));
    }
    const auto first = Battle(5);
    for (const char* c : {"SIM_BulletWeaponModule", "SIM_KineticWeapon", "SIM_LightningGunModule",
                          "SIM_PlasmaLauncherModule"}) {
        ASSERT_TRUE(first.count(c)) << c;
        EXPECT_GT(first.at(c).second, 0) << c << " fired";
        EXPECT_GT(first.at(c).first, 0) << c << " hit";
    }
    EXPECT_EQ(Battle(5), first);
}

} // namespace
