// The bullet layer's quads: a bullet's size, turn, sheet cell and fade; the
// muzzle blast of a bullet weapon; a kinetic gun's flash and streak; and
// what shows at all (dead, at the muzzle, off screen, not fired yet).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "EffectTestView.h"
#include "battle/BulletSprites.h"
#include "sim/modules/SIM_BulletWeaponModule.h"
#include "sim/modules/SIM_KineticWeapon.h"

namespace {

BattleView View(float zoom)
{
    BattleView view;
    view.cameraX = 100.0f;
    view.cameraY = 50.0f;
    view.zoom = zoom;
    view.width = 800.0f;
    view.height = 600.0f;
    return view;
}

float Centre(const ScreenVertex q[4], bool y)
{
    return y ? (q[0].y + q[3].y) * 0.5f : (q[0].x + q[3].x) * 0.5f;
}

float Side(const ScreenVertex& a, const ScreenVertex& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

TEST(BulletSprites, ABulletIsItsSizeAtTheZoomTurnedToItsHeadingInItsCellAndFades)
{
    SIM_BulletWeaponModule weapon(nullptr, nullptr);
    SIM_Bullet& bullet = weapon.bullets[0];
    bullet.live = true;
    bullet.atMuzzle = false;
    bullet.x = 300.0f;
    bullet.y = 250.0f;
    bullet.width = 4.0f;
    bullet.height = 10.0f;
    bullet.SetAngle(90.0f); // flying right
    ASSERT_TRUE(SIM_BulletWeaponModule::SheetCell(7, bullet.cell));
    bullet.hasCell = true;
    bullet.alpha = 0.5f;

    ScreenVertex q[4];
    ASSERT_TRUE(BulletSprites::BulletQuad(bullet, View(2.0f), q));
    EXPECT_NEAR(Centre(q, false), 400.0f, 1e-3f);
    EXPECT_NEAR(Centre(q, true), 400.0f, 1e-3f);
    EXPECT_NEAR(Side(q[0], q[1]), 8.0f, 1e-3f) << "width across the flight";
    EXPECT_NEAR(Side(q[0], q[2]), 20.0f, 1e-3f) << "height along it";
    // The picture's top edge leads: to the right at 90 degrees.
    EXPECT_GT((q[0].x + q[1].x) * 0.5f, Centre(q, false) + 9.0f);
    EXPECT_FLOAT_EQ(q[0].u, 0.125f);
    EXPECT_FLOAT_EQ(q[3].u, 0.25f);
    EXPECT_FLOAT_EQ(q[0].v, 0.5f);
    EXPECT_FLOAT_EQ(q[3].v, 1.0f);
    EXPECT_EQ(q[0].colour, 0x7FFFFFFFu) << "alpha 0.5 truncates to 127, white";

    bullet.hasCell = false; // a colour without a cell: the whole picture
    ASSERT_TRUE(BulletSprites::BulletQuad(bullet, View(2.0f), q));
    EXPECT_FLOAT_EQ(q[0].u, 0.0f);
    EXPECT_FLOAT_EQ(q[3].v, 1.0f);

    bullet.x = 100.0f + 800.0f / 2.0f + 20.0f; // beyond the right edge by more than its size
    EXPECT_FALSE(BulletSprites::BulletQuad(bullet, View(2.0f), q));
    bullet.x = 300.0f;
    bullet.alpha = 0.0f;
    EXPECT_FALSE(BulletSprites::BulletQuad(bullet, View(2.0f), q)) << "faded out";
    bullet.alpha = 1.0f;
    bullet.live = false;
    EXPECT_FALSE(BulletSprites::BulletQuad(bullet, View(2.0f), q));

    // The layer counts what flies below the high-water mark.
    weapon.bullets[0].live = true;
    weapon.bullets[5].live = true;
    weapon.highWater = 6;
    BulletSprites::GetInstance().Update();
    EXPECT_EQ(BulletSprites::GetInstance().GetLiveCount(), 2);
}

TEST(BulletSprites, ABulletWeaponsBlastShowsForTwoHundredMsFadingAtTwiceTheTurretSize)
{
    SIM_BulletWeaponModule weapon(nullptr, nullptr);
    weapon.offsetX = 200.0f;
    weapon.offsetY = 150.0f;
    weapon.turretSize = 10.0f;
    weapon.turretAngles[0] = 0.0f;
    ScreenVertex q[4];
    weapon.turretFlash[0] = 50.0f;
    ASSERT_TRUE(BulletSprites::BlastQuad(weapon, 0, View(1.5f), q));
    EXPECT_NEAR(Centre(q, false), 150.0f, 1e-3f);
    EXPECT_NEAR(Centre(q, true), 150.0f, 1e-3f);
    EXPECT_NEAR(Side(q[0], q[1]), 30.0f, 1e-3f);
    EXPECT_EQ(q[0].colour >> 24, 191u) << "1 - 50 / 200";
    weapon.turretFlash[0] = 200.0f;
    ASSERT_TRUE(BulletSprites::BlastQuad(weapon, 0, View(1.5f), q));
    EXPECT_EQ(q[0].colour >> 24, 0u);
    weapon.turretFlash[0] = 200.01f;
    EXPECT_FALSE(BulletSprites::BlastQuad(weapon, 0, View(1.5f), q));
}

TEST(BulletSprites, AKineticGunsFlashAndStreakRunOverItsFireInterval)
{
    SIM_KineticWeapon gun(nullptr, nullptr);
    ScreenVertex q[4];
    gun.fireInterval = 4500.0f;
    gun.turretSize = 10.0f;
    EXPECT_FALSE(BulletSprites::KineticFlashQuad(gun, 0, View(1.0f), q)) << "a gun that never fired shows nothing";
    EXPECT_FALSE(BulletSprites::KineticStreakQuad(gun, 0, View(1.0f), q));

    gun.offsetX = 300.0f;
    gun.offsetY = 300.0f;
    gun.turretAngles[0] = 0.0f; // firing up the screen
    gun.turretFlash[0] = 1125.0f; // a quarter of the interval
    gun.flashFrames[0] = 1;
    gun.streakCells[0] = 6;
    ASSERT_TRUE(BulletSprites::KineticFlashQuad(gun, 0, View(1.0f), q));
    EXPECT_NEAR(Centre(q, false), 200.0f, 1e-3f);
    EXPECT_NEAR(Centre(q, true), 250.0f - 7.5f, 1e-3f) << "0.75 turret sizes ahead";
    EXPECT_NEAR(Side(q[0], q[1]), 5.0f, 1e-3f);
    EXPECT_NEAR(Side(q[0], q[2]), 10.0f, 1e-3f);
    EXPECT_FLOAT_EQ(q[0].u, 0.25f);
    EXPECT_FLOAT_EQ(q[1].u, 0.5f);
    EXPECT_EQ(q[0].colour >> 24, 191u);

    ASSERT_TRUE(BulletSprites::KineticStreakQuad(gun, 0, View(1.0f), q));
    EXPECT_NEAR(Centre(q, true), 250.0f - 10.0f, 1e-3f) << "pushed 4 x size x 0.25 ahead";
    EXPECT_NEAR(Side(q[0], q[2]), 10.0f, 1e-3f) << "never shorter than the turret";
    EXPECT_NEAR(Side(q[0], q[1]), 2.5f, 1e-3f);
    EXPECT_FLOAT_EQ(q[0].u, 0.5f + 0.125f * 2.0f) << "cell 6 is the third of the lower four";
    EXPECT_FLOAT_EQ(q[0].v, 0.5f);
    EXPECT_FLOAT_EQ(q[3].v, 1.0f);

    gun.turretFlash[0] = 3375.0f; // three quarters
    ASSERT_TRUE(BulletSprites::KineticStreakQuad(gun, 0, View(1.0f), q));
    EXPECT_NEAR(Side(q[0], q[2]), 30.0f, 1e-3f);
    EXPECT_EQ(q[0].colour >> 24, 63u);
    gun.turretFlash[0] = 4500.5f;
    EXPECT_FALSE(BulletSprites::KineticFlashQuad(gun, 0, View(1.0f), q));
}

TEST(BulletSprites, AMuzzleIsRuledOutOnlyBeyondTheReachOfItsLongestStreak)
{
    SIM_KineticWeapon gun(nullptr, nullptr);
    gun.fireInterval = 4500.0f;
    gun.turretSize = 10.0f;
    gun.turretAngles[0] = 180.0f; // firing down the screen
    gun.turretFlash[0] = 4500.0f; // faded out: pushed four sizes ahead, four long
    gun.offsetX = 400.0f;
    ScreenVertex q[4];
    for (float zoom : {1.0f, 2.0f}) {
        const BattleView view = View(zoom);
        // Above the screen, the streak's far end six sizes below the muzzle.
        gun.offsetY = view.cameraY - 59.0f;
        ASSERT_TRUE(BulletSprites::KineticStreakQuad(gun, 0, view, q)) << zoom;
        EXPECT_TRUE(BulletSprites::MuzzleMayShow(gun.offsetX, gun.offsetY, gun.turretSize, view)) << zoom;
        gun.offsetY = view.cameraY - 61.0f;
        EXPECT_FALSE(BulletSprites::KineticStreakQuad(gun, 0, view, q)) << zoom;
        gun.offsetY = view.cameraY - 72.0f;
        EXPECT_FALSE(BulletSprites::MuzzleMayShow(gun.offsetX, gun.offsetY, gun.turretSize, view))
            << "seven sizes and a pixel off: " << zoom;
        gun.offsetY = view.cameraY + 600.0f / zoom + 59.0f;
        EXPECT_TRUE(BulletSprites::MuzzleMayShow(gun.offsetX, gun.offsetY, gun.turretSize, view)) << zoom;
    }
}

TEST(BulletSprites, TheBulletLayerDrawsTheFlyingBulletsForItsOwnView)
{
    EffectTestView screen;
    SIM_BulletWeaponModule weapon(nullptr, nullptr);
    for (int i : {0, 1}) {
        SIM_Bullet& bullet = weapon.bullets[i];
        bullet.live = true;
        bullet.atMuzzle = i == 0;
        bullet.x = 300.0f + 100.0f * static_cast<float>(i);
        bullet.y = 300.0f;
        bullet.width = 4.0f;
        bullet.height = 10.0f;
        bullet.alpha = 1.0f;
    }
    weapon.highWater = 2;
    BulletSprites& layer = BulletSprites::GetInstance();
    // The centres of the quads drawn.
    const auto drawn = [&screen] {
        std::vector<float> xs;
        for (const auto& draw : screen.Device().GetDraws())
            for (size_t v = 0; v + 3 < draw.vertices.size(); v += 4)
                xs.push_back(Centre(&draw.vertices[v], false));
        screen.Device().ClearDraws();
        return xs;
    };
    EffectTestView::Look(0.0f, 0.0f, 1.0f);
    screen.Device().ClearDraws();
    layer.DrawAtMuzzle();
    auto xs = drawn();
    ASSERT_EQ(xs.size(), 1u) << "the bullet still in its muzzle";
    EXPECT_NEAR(xs[0], 300.0f, 1e-3f);
    layer.Draw(false);
    xs = drawn();
    ASSERT_EQ(xs.size(), 1u) << "the flying one";
    EXPECT_NEAR(xs[0], 400.0f, 1e-3f);

    layer.DrawAtMuzzle();
    drawn();
    EffectTestView::Look(100.0f, 0.0f, 1.0f); // the camera moved in between
    layer.Draw(false);
    xs = drawn();
    ASSERT_EQ(xs.size(), 1u);
    EXPECT_NEAR(xs[0], 300.0f, 1e-3f);
    layer.Draw(false);
    xs = drawn();
    ASSERT_EQ(xs.size(), 1u) << "a bullet layer on its own walks the pools";
    EXPECT_NEAR(xs[0], 300.0f, 1e-3f);
    EffectTestView::Look(0.0f, 0.0f, 1.0f);
}

} // namespace
