// Missiles on screen: the smoke
// puffs of a weaving missile (spacing, the ring, their life and drift); the
// flare; and the renderer following a missile from launch past its death.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "battle/GUI_Map.h"
#include "battle/MissileRenderer.h"
#include "battle/MissileSplineTrail.h"
#include "battle/TrailSimulation.h"
#include "battle/VisualRandom.h"
#include "engine/D3DEngine.h"
#include "engine/QuadRunBatch.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "sim/modules/SIM_Missile.h"
#include "sim/modules/SIM_MissileModule.h"

namespace {

BattleView View()
{
    BattleView view;
    view.zoom = 2.0f;
    view.width = 800.0f;
    view.height = 600.0f;
    return view;
}

// Collects what a draw stages: the batch's runs are drawn only at End.
struct Staged {
    QuadRunBatch batch;
    Staged() { batch.Begin(800, 600); }
    ~Staged() { batch.End(); }
};

TEST(MissileSplineTrail, PuffsEvery128UnitsInARingThatTheOldestLeaves)
{
    SeedVisualRandom(5);
    MissileSplineTrail trail;
    for (int i = 0; i < MissileSplineTrail::kPuffs; ++i) {
        const float u = trail.GetPuff(i).uv[0], v = trail.GetPuff(i).uv[2];
        const int tile = static_cast<int>(v / 0.25f + 0.5f) * 8 + static_cast<int>(u / 0.125f + 0.5f);
        ASSERT_GE(tile, 8);
        ASSERT_LE(tile, 17);
    }
    trail.Reset(100.0f, 100.0f);
    EXPECT_TRUE(trail.IsActive());
    trail.Update(3.0f, 100.0f, 97.0f, 0.0f, 6.0f); // flew 3 units up the screen
    EXPECT_EQ(trail.CountAlive(), 2);
    EXPECT_NEAR(trail.GetPuff(0).y, 100.0f - 1.28f, 1e-4f);
    EXPECT_NEAR(trail.GetPuff(1).y, 100.0f - 2.56f, 1e-4f);
    EXPECT_NEAR(trail.GetPuff(0).x, 100.0f, 1e-4f);
    EXPECT_NEAR(trail.GetAccumulator(), 0.44f, 1e-4f);
    const MissileSplineTrail::Puff& p = trail.GetPuff(0);
    EXPECT_GE(p.size, 1.2f);
    EXPECT_LE(p.size, 2.0f);
    EXPECT_LE(std::fabs(p.vx), MissileSplineTrail::kDrift);
    EXPECT_FLOAT_EQ(p.age, 3.0f) << "every puff ages by the update's time";

    // 200 puffs later the ring comes round: the 201st lands in slot 0.
    for (int i = 0; i < 99; ++i)
        trail.Update(2.56f, 100.0f, 100.0f, 90.0f, 6.0f);
    EXPECT_EQ(trail.GetNextIndex(), 0);
    trail.Update(1.3f, 100.0f, 100.0f, 90.0f, 6.0f);
    EXPECT_EQ(trail.GetNextIndex(), 1);
    EXPECT_FLOAT_EQ(trail.GetPuff(0).age, 1.3f) << "the oldest slot was reused";
}

TEST(MissileSplineTrail, APuffLivesTo256GrowingThreefoldAndOffScreenOnlyAges)
{
    SeedVisualRandom(6);
    MissileSplineTrail trail;
    trail.Reset(50.0f, 50.0f);
    trail.Update(1.3f, 50.0f, 48.7f, 0.0f, 1.3f); // flew as far as the frame was long
    ASSERT_EQ(trail.CountAlive(), 1);
    const MissileSplineTrail::Puff& puff = trail.GetPuff(0);
    EXPECT_NEAR(puff.y, 50.0f - 1.28f, 1e-4f);
    // Orphaned, the trail ages its puffs itself, at the missile's last pace.
    trail.SetOrphaned();
    {
        Staged s;
        trail.Draw(View(), 256.0f - 1.3f, s.batch, 0);
    }
    ASSERT_FLOAT_EQ(puff.age, 256.0f);
    const float x0 = puff.x;
    {
        Staged s;
        trail.Draw(View(), 0.0f, s.batch, 0);
    }
    ASSERT_TRUE(puff.alive) << "256 is still drawn";
    EXPECT_EQ(puff.quad[0].colour >> 24, 0u);
    const float side = std::hypot(puff.quad[0].x - puff.quad[1].x, puff.quad[0].y - puff.quad[1].y);
    EXPECT_NEAR(side, 2.0f * puff.size * 3.0f * 2.0f, 1e-3f) << "radius 3 x size, at zoom 2";
    EXPECT_FLOAT_EQ(puff.x, x0) << "no battle time, no drift";

    // Off screen it neither drifts nor shows, and still ages.
    trail.Reset(50.0f, 50.0f);
    trail.Update(1.3f, 50.0f, 48.7f, 0.0f, 1.3f);
    trail.SetOrphaned();
    BattleView away = View();
    away.cameraX = 5000.0f;
    const MissileSplineTrail::Puff& fresh = trail.GetPuff(0);
    const float fx = fresh.x, fy = fresh.y;
    {
        Staged s;
        trail.Draw(away, 200.0f, s.batch, 0);
    }
    EXPECT_FLOAT_EQ(fresh.x, fx);
    EXPECT_FLOAT_EQ(fresh.y, fy);
    EXPECT_FLOAT_EQ(fresh.age, 201.3f);
    EXPECT_TRUE(trail.IsActive());
    {
        Staged s;
        trail.Draw(away, 100.0f, s.batch, 0);
        trail.Draw(away, 100.0f, s.batch, 0);
    }
    EXPECT_FALSE(fresh.alive) << "past 256 it dies";
    EXPECT_FALSE(trail.IsActive()) << "the last puff gone, the trail ends";
}

TEST(MissileRenderer, TheFlareGrowsWithFuelBurntAndFadesOverTheLastTwentiethOfIt)
{
    SIM_Missile missile;
    missile.live = true;
    missile.hasFlare = true;
    missile.fuel = 1000.0f;
    missile.fuelLeft = 950.0f;
    missile.length = 10.0f;
    missile.x = 100.0f;
    missile.y = 100.0f;
    missile.angle = 0.0f;
    ScreenVertex q[4];
    ASSERT_TRUE(MissileRenderer::FlareQuad(missile, 2, 0.9f, View(), q));
    EXPECT_NEAR(std::hypot(q[0].x - q[1].x, q[0].y - q[1].y), 50.0f * 0.16f * 2.0f * 0.9f, 1e-3f);
    EXPECT_NEAR((q[0].y + q[3].y) * 0.5f, 210.0f, 1e-3f) << "half its length behind, at zoom 2";
    EXPECT_FLOAT_EQ(q[0].u, 0.5f);
    EXPECT_FLOAT_EQ(q[1].u, 0.75f);
    EXPECT_EQ(q[0].colour >> 24, 255u);
    missile.fuelLeft = 0.0f + 0.05f * 1000.0f;
    ASSERT_TRUE(MissileRenderer::FlareQuad(missile, 9, 1.0f, View(), q));
    EXPECT_EQ(q[0].colour >> 24, 255u) << "a twentieth left is still opaque";
    EXPECT_NEAR(std::hypot(q[0].x - q[1].x, q[0].y - q[1].y), 16.0f * 2.0f, 1e-3f) << "at most 16 units";
    EXPECT_FLOAT_EQ(q[0].u, 0.75f) << "a cell past the strip keeps to its last";
    missile.fuelLeft = 25.0f;
    ASSERT_TRUE(MissileRenderer::FlareQuad(missile, 0, 1.0f, View(), q));
    EXPECT_EQ(q[0].colour >> 24, 127u);
    missile.hasFlare = false;
    EXPECT_FALSE(MissileRenderer::FlareQuad(missile, 0, 1.0f, View(), q));
}

TEST(MissileRenderer, FollowsAFlightLaysItsRopeAndLetsItFadeAfterTheMissile)
{
    D3DEngine::GetInstance().Init(std::make_unique<HeadlessGraphicsDevice>(800, 600));
    GUI_Map::GetInstance().SetScreenSize(800, 600);
    MissileRenderer& renderer = MissileRenderer::GetInstance();
    renderer.Reset();
    SIM_MissileModule launcher(nullptr, nullptr);
    SIM_Missile& missile = launcher.GetMissile();
    missile.trailFadeTime = 300.0f;
    missile.live = true;
    missile.x = 200.0f;
    missile.y = 200.0f;
    missile.angle = 90.0f;
    missile.flight = 1;
    for (int frame = 0; frame < 20; ++frame) {
        renderer.Draw(6.0f);
        missile.x += 5.0f;
    }
    const MissileRenderer::Trails* trails = renderer.Find(&missile);
    ASSERT_NE(trails, nullptr);
    EXPECT_EQ(trails->spline, nullptr) << "a rope missile makes no puffs";
    EXPECT_EQ(trails->rope.CountActive(), 10) << "5 units a frame against 8-unit segments: a point every other frame";
    EXPECT_FLOAT_EQ(trails->rope.GetX(0), missile.x - 5.0f);
    EXPECT_FALSE(trails->rope.IsDetached());

    missile.live = false;
    renderer.Draw(6.0f);
    EXPECT_TRUE(trails->rope.IsDetached()) << "its missile gone, the head fades too";
    // The simulation's trail is done at once: the launcher sleeps there, but
    // the rope on screen still fades out.
    missile.trailAlive = false;
    SIM_MissileModule::UpdateMissiles();
    ASSERT_EQ(SIM_MissileModule::GetAwakeFlags().back(), 0);
    EXPECT_GT(trails->rope.CountActive(), 0);
    for (int frame = 0; frame < 200 && trails->rope.HasActivePoint(); ++frame)
        renderer.Draw(6.0f);
    EXPECT_EQ(trails->rope.CountActive(), 0) << "followed while it shows";
    renderer.Draw(6.0f); // finds nothing left to draw

    // Asleep and faded, the launcher is no longer read; a launch wakes it.
    missile.live = true;
    missile.flight = 2;
    renderer.Draw(6.0f);
    EXPECT_TRUE(trails->rope.IsDetached()) << "a sleeping launcher is skipped";
    launcher.WakeMissile();
    // The next flight starts a clean trail from its launch point.
    renderer.Draw(6.0f);
    EXPECT_FALSE(trails->rope.IsDetached());
    EXPECT_FALSE(trails->rope.IsActive(1));
    EXPECT_TRUE(trails->rope.IsActive(0));
    renderer.Reset();
    EXPECT_EQ(renderer.Find(&missile), nullptr);
    GUI_Map::GetInstance().SetScreenSize(0, 0);
    D3DEngine::GetInstance().Release();
}

} // namespace
