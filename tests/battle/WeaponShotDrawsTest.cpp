// The look of lightning arcs and plasma torpedoes by their rules' own
// numbers: an arc's texture cell and its repeats along its length, a
// torpedo's core and halos (sizes, cells, colours) in both styles.
#include <gtest/gtest.h>

#include <cmath>

#include "battle/BattleView.h"
#include "battle/WeaponShotDraws.h"
#include "sim/modules/SIM_Plasma.h"

namespace {

// A 640 x 480 view from (100, 50) at zoom 2.
BattleView TestView()
{
    BattleView view;
    view.cameraX = 100.0f;
    view.cameraY = 50.0f;
    view.zoom = 2.0f;
    view.width = 640.0f;
    view.height = 480.0f;
    return view;
}

float Side(const ScreenVertex quad[4])
{
    return std::hypot(quad[1].x - quad[0].x, quad[1].y - quad[0].y);
}

TEST(WeaponShotDrawsTest, AnArcShowsCellFlickerPlusTurretOfEightAndRepeatsOncePerFourWidths)
{
    float u0 = -1.0f, u1 = -1.0f;
    WeaponShotDraws::ArcCell(0, 0, u0, u1);
    EXPECT_FLOAT_EQ(u0, 0.0f);
    EXPECT_FLOAT_EQ(u1, 0.125f);
    WeaponShotDraws::ArcCell(3, 0, u0, u1);
    EXPECT_FLOAT_EQ(u0, 0.375f);
    // Turret 2 of frame 5 shows the last cell; turret 1 of frame 7 wraps to the first.
    WeaponShotDraws::ArcCell(5, 2, u0, u1);
    EXPECT_FLOAT_EQ(u0, 0.875f);
    EXPECT_FLOAT_EQ(u1, 1.0f);
    WeaponShotDraws::ArcCell(7, 1, u0, u1);
    EXPECT_FLOAT_EQ(u0, 0.0f);

    // Width 5: a repeat every 20 units, a started one counted whole.
    EXPECT_FLOAT_EQ(WeaponShotDraws::ArcRepeats(40.0f, 5.0f), 2.0f);
    EXPECT_FLOAT_EQ(WeaponShotDraws::ArcRepeats(40.5f, 5.0f), 3.0f);
    EXPECT_FLOAT_EQ(WeaponShotDraws::ArcRepeats(1.0f, 5.0f), 1.0f);
    EXPECT_FLOAT_EQ(WeaponShotDraws::ArcRepeats(40.0f, 0.0f), 0.0f) << "no width, nothing to lay";
    EXPECT_FLOAT_EQ(WeaponShotDraws::ArcRepeats(120.0f, 5.0f), 6.0f);
    EXPECT_FLOAT_EQ(WeaponShotDraws::ArcRepeats(121.0f, 5.0f), 6.0f) << "past six, stretched";
}

TEST(WeaponShotDrawsTest, ATorpedoIsItsCoreAndThreeHalosOrAFaintWideHaloAndItsCore)
{
    const BattleView view = TestView();
    SIM_Plasma torpedo;
    torpedo.x = 200.0f;
    torpedo.y = 150.0f;
    torpedo.spriteSize = 16.0f;
    ScreenVertex quads[4][4];
    EXPECT_EQ(WeaponShotDraws::TorpedoQuads(torpedo, view, quads), 0) << "a torpedo not in flight shows nothing";

    torpedo.live = true;
    torpedo.style = SIM_Plasma::STANDARD;
    torpedo.coreCell = 0;
    torpedo.haloCell = 1;
    ASSERT_EQ(WeaponShotDraws::TorpedoQuads(torpedo, view, quads), 4);
    EXPECT_NEAR(Side(quads[0]), 32.0f, 0.01f) << "the core: sprite size x zoom";
    EXPECT_FLOAT_EQ(quads[0][0].u, 0.0f);
    EXPECT_FLOAT_EQ(quads[0][1].u, 0.25f);
    for (int i = 1; i < 4; ++i) {
        EXPECT_NEAR(Side(quads[i]), 80.0f, 0.01f) << "halo " << i << ": 2.5 sprite sizes";
        EXPECT_FLOAT_EQ(quads[i][0].u, 0.25f);
        EXPECT_FLOAT_EQ(quads[i][1].u, 0.5f);
        EXPECT_EQ(quads[i][0].colour, 0xFFFFFFFFu);
    }
    // Centred on the torpedo's screen point.
    const float cx = (quads[0][0].x + quads[0][3].x) * 0.5f, cy = (quads[0][0].y + quads[0][3].y) * 0.5f;
    EXPECT_NEAR(cx, 200.0f, 0.01f);
    EXPECT_NEAR(cy, 200.0f, 0.01f);

    torpedo.style = SIM_Plasma::FRAGMENTED;
    torpedo.coreCell = 2;
    torpedo.haloCell = 3;
    ASSERT_EQ(WeaponShotDraws::TorpedoQuads(torpedo, view, quads), 2);
    EXPECT_NEAR(Side(quads[0]), 192.0f, 0.01f) << "the halo first: 6 sprite sizes";
    EXPECT_EQ(quads[0][0].colour, 0x40FFFFFFu) << "white at alpha 0x40";
    EXPECT_FLOAT_EQ(quads[0][0].u, 0.75f);
    EXPECT_FLOAT_EQ(quads[0][1].u, 1.0f);
    EXPECT_NEAR(Side(quads[1]), 32.0f, 0.01f) << "then the core";
    EXPECT_EQ(quads[1][0].colour, 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(quads[1][0].u, 0.5f);
    // The core turns with the torpedo: heading 90 lays its top edge downward.
    torpedo.angle = 90.0f;
    WeaponShotDraws::TorpedoQuads(torpedo, view, quads);
    EXPECT_NEAR(quads[1][0].x, quads[1][1].x, 0.01f);
}

// A fragmented torpedo's trail is placed on the screen unless none of its
// particles can reach it: its reach at the torpedo's speed, and a pixel.
TEST(WeaponShotDrawsTest, ATorpedosTrailIsPlacedWhileItsReachAndAPixelTouchTheView)
{
    const BattleView view = TestView();
    GUI_ParticleEmmiter::Reach reach;
    reach.lifeSteps = 10.0f;
    reach.drift = 0.1f;
    reach.size = 5.0f;
    reach.scatter = 2.0f;
    SIM_Plasma torpedo;
    torpedo.speed = 3.0f;
    // The view's right edge is at 100 + 640 / 2; the reach 10 x (3 + 0.1)
    // + 5 + 2 = 38 units, half a unit a pixel.
    const float edge = 420.0f + 38.0f + 0.5f;
    torpedo.y = 200.0f;
    torpedo.x = edge - 0.05f;
    EXPECT_TRUE(WeaponShotDraws::TrailMayShow(reach, torpedo, view));
    torpedo.x = edge + 0.05f;
    EXPECT_FALSE(WeaponShotDraws::TrailMayShow(reach, torpedo, view));
    torpedo.speed = -3.0f;
    EXPECT_FALSE(WeaponShotDraws::TrailMayShow(reach, torpedo, view)) << "a speed's size counts";
    torpedo.speed = 3.2f;
    EXPECT_TRUE(WeaponShotDraws::TrailMayShow(reach, torpedo, view)) << "faster, it trails farther";
    torpedo.speed = 3.0f;
    torpedo.x = 100.0f - 38.5f - 0.05f;
    EXPECT_FALSE(WeaponShotDraws::TrailMayShow(reach, torpedo, view)) << "left of the view";
    torpedo.x = 100.0f - 38.5f + 0.05f;
    EXPECT_TRUE(WeaponShotDraws::TrailMayShow(reach, torpedo, view));
    torpedo.x = 2000.0f;
    reach.known = false;
    EXPECT_TRUE(WeaponShotDraws::TrailMayShow(reach, torpedo, view)) << "particles that never fade reach anywhere";
}

} // namespace
