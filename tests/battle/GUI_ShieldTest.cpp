// The shield visual: blast arcs that merge within 45 degrees, impact sparks'
// growth and fade, the collapse ring and its sequence.
#include <gtest/gtest.h>

#include <cmath>

#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_ParticleEmmiterGroup.h"
#include "battle/GUI_Shield.h"
#include "battle/GUI_Ship.h"
#include "sim/SIM_Ship.h"
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
    visual->ShowShieldCollapse();
    EXPECT_EQ(visual->GetShield()->GetCollapseState(), GUI_Shield::COLLAPSING);
    EXPECT_EQ(GUI_Ship::Of(world.Build("cruiser_bare", 0, 0))->GetShield(), nullptr);
}

} // namespace
