// The shield visual: blast arcs that merge within 45 degrees, impact sparks'
// growth and fade, the collapse ring and its sequence.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_EffectLog.h"
#include "battle/GUI_ParticleEmmiter.h"
#include "battle/GUI_ShipEffectHooks.h"
#include "battle/hud/GUI_DamageFeedbackManager.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_ParticleEmmiterGroup.h"
#include "battle/GUI_Shield.h"
#include "battle/GUI_Ship.h"
#include "sim/SIM_BattleEffects.h"
#include "sim/SIM_Ship.h"
#include "sim/modules/SIM_GunProjectiles.h"
#include "sim/ShipTestWorld.h"

namespace {

class ShieldVisualTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GUI_Ship::InstallFactory();
        // The whole test map in view: sounds are heard.
        GUI_Map& map = GUI_Map::GetInstance();
        map.viewLeft = map.viewTop = 0.0f;
        map.viewRight = map.viewBottom = 2000.0f;
    }
    void TearDown() override
    {
        GUI_Map& map = GUI_Map::GetInstance();
        map.viewLeft = map.viewTop = map.viewRight = map.viewBottom = 0.0f;
        SIM_ShipVisual::SetFactory(nullptr);
        DeleteAllEmmiterGroups();
    }
    // A hit at this heading from the ship, on its bubble.
    static void BlastAt(GUI_Shield& shield, const SIM_Ship* ship, float degrees)
    {
        const float r = degrees * 0.017453292f;
        shield.AddBlast(ship->x + 50.0f * std::sin(r), ship->y - 50.0f * std::cos(r));
    }
    static void Frames(GUI_Shield& shield, float ms, int n)
    {
        for (int i = 0; i < n; ++i) {
            ShipTestWorld::SetFrame(ms);
            shield.Draw();
        }
    }
    int ActiveArcs(const GUI_Shield& shield) const
    {
        int n = 0;
        for (int i = 0; i < GUI_Shield::kArcs; ++i)
            n += shield.GetArc(i).active;
        return n;
    }
    ShipTestWorld world;
};

TEST_F(ShieldVisualTest, TheShipsDrawPassesAnIdleShieldByButStillAgesItsArcsAndFlash)
{
    SIM_Ship* ship = world.Build("cruiser_shielded", 500, 500);
    GUI_Ship* visual = GUI_Ship::Of(ship);
    ASSERT_NE(visual, nullptr);
    GUI_Shield* shield = visual->GetShield();
    ASSERT_NE(shield, nullptr);
    EXPECT_TRUE(shield->IsIdle());
    BlastAt(*shield, ship, 90.0f);
    EXPECT_FALSE(shield->IsIdle());
    // An arc lives 800 ms: ten 79 ms frames keep it, the eleventh ends it.
    for (int i = 0; i < 10; ++i) {
        ShipTestWorld::SetFrame(79.0f);
        visual->Draw();
    }
    EXPECT_EQ(ActiveArcs(*shield), 1);
    ShipTestWorld::SetFrame(79.0f);
    visual->Draw();
    EXPECT_EQ(ActiveArcs(*shield), 0);
    EXPECT_TRUE(shield->IsIdle());
    shield->Flash();
    EXPECT_FALSE(shield->IsIdle());
    for (int i = 0; i < 11; ++i) {
        ShipTestWorld::SetFrame(100.0f);
        visual->Draw();
    }
    EXPECT_FALSE(shield->IsFlashing());
    EXPECT_TRUE(shield->IsIdle());
}

TEST_F(ShieldVisualTest, ArcsWithin45DegreesRestartAndFourAtMostRun)
{
    SIM_Ship* ship = world.Build("cruiser_shielded", 500, 500);
    GUI_Shield shield(ship);
    EXPECT_FLOAT_EQ(GUI_Shield::AngleApart(350.0f, 10.0f), 20.0f);
    EXPECT_FLOAT_EQ(GUI_Shield::AngleApart(10.0f, 190.0f), 180.0f);

    BlastAt(shield, ship, 90.0f);
    EXPECT_EQ(ActiveArcs(shield), 1);
    Frames(shield, 100.0f, 2);
    EXPECT_FLOAT_EQ(shield.GetArc(0).age, 200.0f);
    BlastAt(shield, ship, 120.0f); // 30 away: the same arc starts over
    EXPECT_EQ(ActiveArcs(shield), 1);
    EXPECT_FLOAT_EQ(shield.GetArc(0).age, 0.0f);
    BlastAt(shield, ship, 134.0f); // 44 away: still the same
    EXPECT_EQ(ActiveArcs(shield), 1);
    BlastAt(shield, ship, 140.0f); // 50 away: a second arc
    EXPECT_EQ(ActiveArcs(shield), 2);
    BlastAt(shield, ship, 230.0f);
    BlastAt(shield, ship, 320.0f);
    BlastAt(shield, ship, 10.0f); // none near and none free
    EXPECT_EQ(ActiveArcs(shield), 4);
    EXPECT_NEAR(shield.GetArc(3).angle, 320.0f, 0.5f);
    Frames(shield, 100.0f, 8); // 800 ms of arc life
    EXPECT_EQ(ActiveArcs(shield), 0);
}

TEST_F(ShieldVisualTest, ImpactsGrowForAQuarterOfTheirLifeAndFadeInTheLast30Percent)
{
    SIM_Ship* ship = world.Build("cruiser_shielded", 500, 500);
    GUI_Shield shield(ship);
    shield.AddImpact(2.0f, 510.0f, 500.0f);
    const GUI_ShieldImpact* impact = shield.GetImpact(0);
    ASSERT_NE(impact, nullptr);
    EXPECT_FLOAT_EQ(impact->size, 6.0f);
    EXPECT_FLOAT_EQ(impact->life, 400.0f);
    Frames(shield, 100.0f, 1);
    EXPECT_EQ(impact->AlphaByte(), 255);
    Frames(shield, 180.0f, 1); // 280 ms: p = 0.7, the fade begins
    EXPECT_EQ(impact->AlphaByte(), 255);
    Frames(shield, 60.0f, 1); // 340 ms: half faded
    EXPECT_EQ(impact->AlphaByte(), 127);
    Frames(shield, 60.0f, 1);
    EXPECT_FALSE(impact->active);

    // Twenty-five at once; the twenty-sixth is dropped, an idle slot is reused.
    for (int i = 0; i < GUI_Shield::kImpacts + 1; ++i)
        shield.AddImpact(1.0f, 500.0f, 520.0f);
    EXPECT_EQ(shield.GetImpact(0), impact) << "the idle slot was restarted in place";
    for (int i = 0; i < GUI_Shield::kImpacts; ++i)
        EXPECT_TRUE(shield.GetImpact(i)->active);
}

TEST_F(ShieldVisualTest, TheCollapseShrinksForOneSecondWithOneSparkPerUnitOfHullWidth)
{
    SIM_Ship* ship = world.Build("cruiser_shielded", 500, 500);
    GUI_Shield shield(ship);
    EXPECT_EQ(shield.GetSparkCount(), 100); // a hull 100 wide
    EXPECT_FLOAT_EQ(shield.GetRadius(), 100.0f * 0.5f * 1.4f * 0.95f);
    ship->hullSize = 400.0f;
    EXPECT_EQ(GUI_Shield(ship).GetSparkCount(), 256);
    ship->hullSize = 100.0f;

    shield.Flash();
    shield.Collapse();
    EXPECT_FALSE(shield.IsUp());
    EXPECT_EQ(shield.GetCollapseState(), GUI_Shield::COLLAPSING);
    // Every spark starts on the ring and ends at the centre.
    for (int i = 0; i < shield.GetSparkCount(); ++i) {
        const GUI_ShieldCollapseParticle& s = shield.GetSpark(i);
        EXPECT_NEAR(std::hypot(s.startX - ship->x, s.startY - ship->y), shield.GetRadius(), 0.01f);
        EXPECT_FLOAT_EQ(s.startX - s.travelX, ship->x);
        EXPECT_LT(s.delay, 500.0f);
    }
    Frames(shield, 500.0f, 1);
    shield.Collapse(); // again: the sound may play, the collapse goes on
    EXPECT_FLOAT_EQ(shield.GetCollapseTimer(), 500.0f);
    EXPECT_EQ(shield.GetFailSoundsPlayed(), 2);
    Frames(shield, 500.0f, 1);
    EXPECT_EQ(shield.GetCollapseState(), GUI_Shield::COLLAPSING) << "1000 ms is still the collapse";
    Frames(shield, 1.0f, 1);
    EXPECT_EQ(shield.GetCollapseState(), GUI_Shield::COLLAPSED);
}

TEST_F(ShieldVisualTest, TheShipsShieldFlashesOnHitsAndCollapsesWithTheSimulatedOne)
{
    SIM_Ship* ship = world.Build("cruiser_shielded", 500, 500);
    GUI_Ship* visual = GUI_Ship::Of(ship);
    ASSERT_NE(visual->GetShield(), nullptr);
    visual->ShowShieldImpact(ship->x, ship->y); // taken whole: a flash only
    EXPECT_TRUE(visual->GetShield()->IsFlashing());
    EXPECT_EQ(visual->GetShield()->GetImpact(0), nullptr);
    visual->ShowShieldImpact(ship->x + 60.0f, ship->y); // a beam crossing the bubble
    ASSERT_NE(visual->GetShield()->GetImpact(0), nullptr);
    EXPECT_EQ(visual->GetShield()->GetArc(0).active, 1);
    // Shots meet the bubble the screen draws: the same radius, up together.
    EXPECT_FLOAT_EQ(visual->GetShield()->GetRadius(), SIM_GunProjectiles::BubbleRadius(ship));
    EXPECT_FLOAT_EQ(visual->GetShield()->GetRadius(),
                    0.665f * std::max(ship->GetWidth(), ship->GetHeight()));
    EXPECT_TRUE(visual->GetShield()->IsUp() && SIM_GunProjectiles::HasBubble(ship));
    visual->ShowShieldCollapse();
    EXPECT_EQ(visual->GetShield()->GetCollapseState(), GUI_Shield::COLLAPSING);
    EXPECT_FALSE(visual->GetShield()->IsUp() || SIM_GunProjectiles::HasBubble(ship));
    EXPECT_EQ(GUI_Ship::Of(world.Build("cruiser_bare", 0, 0))->GetShield(), nullptr);
}

TEST_F(ShieldVisualTest, EveryWeaponFamilysShieldHitReachesTheShieldThroughTheScreensHooks)
{
    SIM_Ship* ship = world.Build("cruiser_shielded", 500, 500);
    GUI_Shield* shield = GUI_Ship::Of(ship)->GetShield();
    ASSERT_NE(shield, nullptr);
    SIM_BattleEffects::Set(&GUI_ShipEffectHooks::GetInstance());
    SIM_BattleEffects& effects = SIM_BattleEffects::Get();
    GUI_EffectLog& log = GUI_EffectLog::GetInstance();
    log.Clear();
    log.SetEnabled(true);

    // A bullet or shell stopped by the bubble: a spark three times its size,
    // with the shield-impact explosion under it.
    effects.ProjectileShieldImpact(ship, 3.0f, 560.0f, 500.0f);
    ASSERT_NE(shield->GetImpact(0), nullptr);
    EXPECT_FLOAT_EQ(shield->GetImpact(0)->size, 9.0f);
    EXPECT_FLOAT_EQ(shield->GetImpact(0)->worldX, 560.0f);
    EXPECT_EQ(log.Count("explosion"), 1u);
    EXPECT_EQ(log.GetRecords().back().type, 19);
    EXPECT_EQ(ActiveArcs(*shield), 0) << "stopped shots leave no arc";
    // A bullet, shell, torpedo or arc through it: a blast arc toward the hit.
    effects.ProjectileShieldBlast(ship, 500.0f, 440.0f);
    EXPECT_EQ(ActiveArcs(*shield), 1);
    EXPECT_NEAR(shield->GetArc(0).angle, 0.0f, 0.01f);
    // A missile always sparks; only one that gets through blasts.
    effects.MissileHitShield(ship, 440.0f, 500.0f, false);
    EXPECT_EQ(ActiveArcs(*shield), 1);
    ASSERT_NE(shield->GetImpact(1), nullptr);
    EXPECT_FLOAT_EQ(shield->GetImpact(1)->size, 3.0f * GUI_ShipEffectHooks::kMissileImpactSize);
    effects.MissileHitShield(ship, 440.0f, 500.0f, true);
    EXPECT_EQ(ActiveArcs(*shield), 2);
    EXPECT_NEAR(shield->GetArc(1).angle, 270.0f, 0.01f);
    EXPECT_NE(shield->GetImpact(2), nullptr);
    // A torpedo's explosion of its kind on the ship's visual.
    log.Clear();
    effects.PlasmaExplosion(ship, 19, 530.0f, 470.0f);
    ASSERT_EQ(log.Count("explosion"), 1u);
    EXPECT_FLOAT_EQ(log.GetRecords().back().x, 530.0f);
    // A shield support beam makes the bubble glow afresh each time it feeds.
    effects.ShieldFed(ship);
    EXPECT_TRUE(shield->IsFlashing());
    Frames(*shield, 100.0f, 1);
    EXPECT_FLOAT_EQ(shield->GetFlashTimer(), 100.0f);
    effects.ShieldFed(ship);
    EXPECT_TRUE(shield->IsFlashing());
    EXPECT_FLOAT_EQ(shield->GetFlashTimer(), 0.0f);
    // A ship without a shield visual takes the hooks and shows nothing.
    SIM_Ship* bare = world.Build("cruiser_bare", 900, 900);
    effects.ProjectileShieldImpact(bare, 3.0f, 950.0f, 900.0f);
    effects.MissileHitShield(bare, 950.0f, 900.0f, true);
    effects.ShieldFed(bare);
    EXPECT_EQ(GUI_Ship::Of(bare)->GetShield(), nullptr);
    // A missile shot down or burnt out: smoke, flames and sparks where it was.
    const int before = CountActiveParticleEmmiters();
    effects.MissileExploded(700.0f, 700.0f);
    EXPECT_EQ(CountActiveParticleEmmiters(), before + 3);

    log.SetEnabled(false);
    log.Clear();
    ClearParticleEmmiters();
    SIM_BattleEffects::Set(nullptr);
}

TEST_F(ShieldVisualTest, TheArcSweepMovesThroughTheScrollPictureAndFadesWithTheArc)
{
    float v0, v1;
    GUI_Shield::ArcSweepWindow(0.0f, v0, v1);
    EXPECT_FLOAT_EQ(v0, GUI_Shield::kSweepTravel);
    EXPECT_FLOAT_EQ(v1, 1.0f);
    GUI_Shield::ArcSweepWindow(1.0f, v0, v1);
    EXPECT_FLOAT_EQ(v0, 0.0f);
    EXPECT_FLOAT_EQ(v1, 1.0f - GUI_Shield::kSweepTravel);
    GUI_Shield::ArcSweepWindow(0.5f, v0, v1);
    EXPECT_FLOAT_EQ(v1 - v0, 1.0f - GUI_Shield::kSweepTravel) << "the window keeps its size";
    EXPECT_EQ(GUI_Shield::ArcAlphaByte(0.0f), 255);
    EXPECT_EQ(GUI_Shield::ArcAlphaByte(0.5f), 127);
    EXPECT_EQ(GUI_Shield::ArcAlphaByte(1.0f), 0);
}

} // namespace
