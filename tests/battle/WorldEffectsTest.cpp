// The battle's world effects: debris pools, smoke, shock waves, blast glares,
// escape pods and hulks, each against its own timing and numbers.
#include <gtest/gtest.h>

#include <cmath>

#include "EffectTestView.h"
#include "battle/BulletSprites.h"
#include "battle/CameraShake.h"
#include "battle/GUI_BlastGlare.h"
#include "battle/GUI_DebrisPool.h"
#include "battle/GUI_EscapePod.h"
#include "battle/GUI_Hulk.h"
#include "battle/GUI_ShockWave.h"
#include "battle/GUI_SmokeSprite.h"
#include "battle/VisualRandom.h"
#include "sim/modules/SIM_GunProjectiles.h"

namespace {

class WorldEffects : public ::testing::Test {
protected:
    WorldEffects()
    {
        SeedVisualRandom(5);
        GetDebrisPools().first.Reset();
        GetDebrisPools().second.Reset();
        GetDebrisPools().toggle = 0;
        GUI_BattleGUI::GetInstance().debris = 1;
        GUI_BattleGUI::GetInstance().escapePods = 1;
        GUI_BattleGUI::GetInstance().cameraShake = 1;
        CameraShake::GetInstance().Reset();
    }
    ~WorldEffects() override
    {
        GetDebrisPools().first.Reset();
        GetDebrisPools().second.Reset();
        ClearSmokeSprites();
        ClearShockWaves();
        ClearBlastGlares();
        ClearEscapePods();
        ClearHulks();
        CameraShake::GetInstance().Reset();
    }
    static std::vector<GUI_Debris*> Alive()
    {
        std::vector<GUI_Debris*> out;
        for (GUI_DebrisPool* pool : {&GetDebrisPools().first, &GetDebrisPools().second})
            for (int i = 0; i < GUI_DebrisPool::kPieces; ++i)
                if (pool->Piece(i).alive)
                    out.push_back(&pool->Piece(i));
        return out;
    }
    EffectTestView view;
};

TEST_F(WorldEffects, DebrisSpreadsEvenlyBetweenThePoolsWithinTheHullsCells)
{
    GUI_DebrisPool::Emit(12, 5.0f, 8, 16, false, 300.0f, 300.0f, 0.0f, 0.0f);
    const auto pieces = Alive();
    ASSERT_EQ(pieces.size(), 12u);
    EXPECT_EQ(GetDebrisPools().first.CountAlive(), 6);
    // Without a direction each flies along its own angle, 30 degrees apart.
    std::vector<float> angles;
    for (const GUI_Debris* p : pieces) {
        EXPECT_GE(p->frame, 8);
        EXPECT_LT(p->frame, 16);
        angles.push_back(std::fmod(std::atan2(p->vx, -p->vy) * 57.29578f + 360.0f, 360.0f));
    }
    std::sort(angles.begin(), angles.end());
    for (size_t i = 1; i < angles.size(); ++i)
        EXPECT_NEAR(angles[i] - angles[i - 1], 30.0f, 0.01f);

    // An empty range gives its first cell; cells stay on the sheet's 256.
    GetDebrisPools().first.Reset();
    GetDebrisPools().second.Reset();
    GUI_DebrisPool::Emit(4, 5.0f, 3, 3, false, 0, 0, 0, 0);
    GUI_DebrisPool::Emit(2, 5.0f, 300, 200, false, 0, 0, 0, 0);
    int first = 0, clamped = 0;
    for (const GUI_Debris* p : Alive()) {
        first += p->frame == 3 ? 1 : 0;
        clamped += p->frame == 255 ? 1 : 0;
    }
    EXPECT_EQ(first, 4);
    EXPECT_EQ(clamped, 2);

    GUI_BattleGUI::GetInstance().debris = 0;
    GUI_DebrisPool::Emit(10, 5.0f, 0, 8, false, 0, 0, 0, 0);
    EXPECT_EQ(Alive().size(), 6u) << "DEBRIS off emits nothing";
}

TEST_F(WorldEffects, LightDebrisFadesInFiveHundredStepsAndHeavyDebrisComesToRest)
{
    GUI_Debris light, heavy;
    light.Birth(0.5f, 0.0f, 4.0f, 0, false, 0, 0);
    light.permanent = 0;
    heavy.Birth(0.5f, 0.0f, 4.0f, 0, true, 0, 0);
    int steps = 0;
    while (light.Advance(1.0f) && steps < 1000)
        ++steps;
    EXPECT_NEAR(steps, 499, 1) << "alpha 1.0 at 0.002 a step dies on the 500th";
    for (int i = 0; i < 2000 && !heavy.resting; ++i)
        heavy.Advance(1.0f);
    ASSERT_TRUE(heavy.resting);
    EXPECT_EQ(heavy.alive, 1);
    EXPECT_FLOAT_EQ(heavy.vx, 0.0f);
    const float x = heavy.x;
    heavy.Advance(1.0f);
    EXPECT_FLOAT_EQ(heavy.x, x);
    // A blast within 256 units pushes it off its rest, away from the blast.
    EXPECT_TRUE(heavy.TestPush(1.0f, x - 100.0f, heavy.y));
    EXPECT_FALSE(heavy.resting);
    EXPECT_GT(heavy.pushX, 0.0f);
    EXPECT_NEAR(heavy.pushX, (1.0f - 10000.0f / 65536.0f) * 4.0f, 1e-4f);
    EXPECT_FALSE(heavy.TestPush(1.0f, x - 257.0f, heavy.y));
}

TEST_F(WorldEffects, BulletsAndClicksBlowAwayOnlyRestingDebrisWithinEightZoomedPixels)
{
    EffectTestView::Look(0.0f, 0.0f, 2.0f);
    GUI_DebrisPool& pool = GetDebrisPools().second;
    GUI_Debris& piece = pool.Piece(pool.FindFreeSlot());
    piece.Birth(0, 0, 2.0f, 0, true, 100.0f, 100.0f); // on screen at (200, 200)
    // 40 pixels across at zoom 2: the 8 x zoom pixels decide, not its edge.
    piece.size = 20.0f;
    piece.scale = 1.0f;
    piece.angle = 0.0f;
    // Still drifting: nothing to hit yet.
    EXPECT_EQ(BulletSprites::SceneryProbe(200.0f, 200.0f, false), SIM_GunProjectiles::NO_SCENERY);
    piece.resting = 1;
    // 16 pixels at zoom 2 is the edge; just past it misses.
    EXPECT_EQ(BulletSprites::SceneryProbe(216.5f, 200.0f, false), SIM_GunProjectiles::NO_SCENERY);
    GUI_BattleGUI::GetInstance().debris = 0;
    EXPECT_EQ(BulletSprites::SceneryProbe(210.0f, 200.0f, false), SIM_GunProjectiles::NO_SCENERY)
        << "DEBRIS off: there is none to hit";
    GUI_BattleGUI::GetInstance().debris = 1;
    EXPECT_EQ(BulletSprites::SceneryProbe(216.0f, 200.0f, false), SIM_GunProjectiles::DEBRIS);
    EXPECT_EQ(piece.alive, 0) << "blown away";
    EXPECT_EQ(BulletSprites::SceneryProbe(200.0f, 200.0f, false), SIM_GunProjectiles::NO_SCENERY);
}

TEST_F(WorldEffects, AFullPoolOverwritesOffScreenPiecesBeforeRandomOnes)
{
    GUI_DebrisPool& pool = GetDebrisPools().first;
    for (int i = 0; i < GUI_DebrisPool::kPieces; ++i) {
        const int slot = pool.FindFreeSlot();
        ASSERT_EQ(slot, i);
        pool.Piece(slot).Birth(0, 0, 1.0f, 0, true, 100.0f, 100.0f); // on screen
    }
    pool.Piece(1234).x = 5000.0f;
    EXPECT_EQ(pool.FindFreeSlot(), 1234);
    pool.Piece(1234).x = 100.0f;
    const int any = pool.FindFreeSlot();
    EXPECT_GE(any, 0);
    EXPECT_LT(any, GUI_DebrisPool::kPieces);
    // A death goes into the freed cache and is handed out first.
    pool.Piece(77).alive = 0;
    pool.NoteDied(77);
    EXPECT_EQ(pool.FindFreeSlot(), 77);
    pool.Piece(77).Birth(0, 0, 1.0f, 0, true, 100.0f, 100.0f);

    // A frame notes the first ten pieces it finds off the screen; those taken
    // are noted again by the next frame, in the order it meets them.
    EffectTestView::Look(0.0f, 0.0f, 3.0f); // above every piece's least zoom
    EffectTestView::Step(12.0f);
    for (int i = 0; i < 12; ++i)
        pool.Piece(100 + 10 * i).x = 100000.0f;
    pool.UpdateAndDraw();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(pool.FindFreeSlot(), 100 + 10 * i);
    pool.UpdateAndDraw();
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(pool.FindFreeSlot(), 100 + 10 * i) << i;
}

TEST_F(WorldEffects, APieceStayingOffTheScreenIsOverwrittenOnceByABurstIntoAFullPool)
{
    GUI_DebrisPool& pool = GetDebrisPools().first;
    for (int i = 0; i < GUI_DebrisPool::kPieces; ++i)
        pool.Piece(pool.FindFreeSlot()).Birth(0, 0, 1.0f, 0, true, 100.0f, 100.0f); // on screen
    pool.Piece(300).x = 100000.0f;
    pool.Piece(900).x = 100000.0f;
    EffectTestView::Look(0.0f, 0.0f, 3.0f);
    EffectTestView::Step(12.0f);
    for (int frame = 0; frame < 3; ++frame)
        pool.UpdateAndDraw();
    // Each birth lands on screen: the third may take any piece but the two
    // just born.
    const int first = pool.FindFreeSlot();
    pool.Piece(first).Birth(0, 0, 1.0f, 0, true, 100.0f, 100.0f);
    const int second = pool.FindFreeSlot();
    pool.Piece(second).Birth(0, 0, 1.0f, 0, true, 100.0f, 100.0f);
    EXPECT_EQ(first, 300);
    EXPECT_EQ(second, 900);
    const int third = pool.FindFreeSlot();
    EXPECT_NE(third, 300);
    EXPECT_NE(third, 900);
}

TEST_F(WorldEffects, TheSlotSearchGoesOnFromTheLastSlotTakenAndWrapsRound)
{
    GUI_DebrisPool& pool = GetDebrisPools().first;
    for (int i = 0; i < GUI_DebrisPool::kPieces; ++i)
        pool.Piece(pool.FindFreeSlot()).Birth(0, 0, 1.0f, 0, true, 100.0f, 100.0f);
    // Freed without the freed cache, so only the search finds them: from
    // the last slot taken (the pool's last) on, then from the first.
    pool.Piece(5).alive = 0;
    pool.Piece(GUI_DebrisPool::kPieces - 1).alive = 0;
    EXPECT_EQ(pool.FindFreeSlot(), GUI_DebrisPool::kPieces - 1);
    pool.Piece(GUI_DebrisPool::kPieces - 1).Birth(0, 0, 1.0f, 0, true, 100.0f, 100.0f);
    EXPECT_EQ(pool.FindFreeSlot(), 5);
    pool.Piece(5).Birth(0, 0, 1.0f, 0, true, 100.0f, 100.0f);
    pool.Piece(3).alive = 0;
    pool.Piece(9).alive = 0;
    EXPECT_EQ(pool.FindFreeSlot(), 9);
    pool.Piece(9).Birth(0, 0, 1.0f, 0, true, 100.0f, 100.0f);
    EXPECT_EQ(pool.FindFreeSlot(), 3);
}

TEST_F(WorldEffects, AFullPoolFindsAPieceFreedAnywhereAfterCompactionReorderedTheSlots)
{
    GUI_DebrisPool& pool = GetDebrisPools().first;
    constexpr int kPieces = GUI_DebrisPool::kPieces;
    auto birth = [&pool](int slot) { pool.Piece(slot).Birth(0, 0, 1.0f, 0, true, 100.0f, 100.0f); };
    for (int i = 0; i < kPieces; ++i)
        birth(pool.FindFreeSlot());
    // Every second piece gone: compaction puts the even pieces of the block
    // in slots 0.., the odd ones from kPieces / 2 on.
    for (int i = 1; i < kPieces; i += 2)
        pool.Piece(i).alive = 0;
    pool.Compact();
    for (int i = kPieces / 2; i < kPieces; ++i)
        birth(pool.FindFreeSlot());
    ASSERT_EQ(pool.CountAlive(), kPieces);
    // Freed without the freed cache: only the search finds them, whichever
    // place of the block the piece has.
    const int half = kPieces / 2;
    for (int slot : {0, 1, 2, 3, half, half + 1, half + 2, half + 3, half - 1, kPieces - 1}) {
        pool.Piece(slot).alive = 0;
        EXPECT_EQ(pool.FindFreeSlot(), slot);
        birth(slot);
    }
}

TEST_F(WorldEffects, CompactionPutsTheLivingFirst)
{
    GUI_DebrisPool& pool = GetDebrisPools().first;
    for (int i = 0; i < 1500; ++i)
        pool.Piece(pool.FindFreeSlot()).Birth(0, 0, 1.0f, 0, true, 100.0f, 100.0f);
    for (int i = 0; i < 1500; i += 2) {
        pool.Piece(i).alive = 0;
        pool.NoteDied(i);
    }
    EXPECT_EQ(pool.GetInUse(), 1500);
    EffectTestView::Step(12.0f);
    pool.UpdateAndDraw(); // over 1000 in use and over 100 deaths: compacts
    EXPECT_EQ(pool.GetInUse(), 750);
    for (int i = 0; i < 750; ++i)
        EXPECT_TRUE(pool.Piece(i).alive) << i;
    EXPECT_EQ(pool.GetDiedSinceCompaction(), 0);
}

TEST_F(WorldEffects, ADrawnPieceShowsItsCellOfTheSheetWrappedRoundItsSixteenCells)
{
    GUI_DebrisPool& pool = GetDebrisPools().first;
    const int slot = pool.FindFreeSlot();
    pool.Piece(slot).Birth(0, 0, 1.0f, 22, true, 100.0f, 100.0f); // cell 6: third column, second row
    EffectTestView::Look(0.0f, 0.0f, 3.0f);
    EffectTestView::Step(12.0f);
    view.Device().ClearDraws();
    pool.UpdateAndDraw();
    const auto& draws = view.Device().GetDraws();
    ASSERT_EQ(draws.size(), 1u);
    ASSERT_EQ(draws[0].vertices.size(), 4u);
    const float u[4] = {0.5f, 0.75f, 0.5f, 0.75f}, v[4] = {0.25f, 0.25f, 0.5f, 0.5f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(draws[0].vertices[i].u, u[i]) << i;
        EXPECT_EQ(draws[0].vertices[i].v, v[i]) << i;
    }
}

TEST_F(WorldEffects, EveryPieceOnScreenDrawsOnceInThePoolsOrder)
{
    // More pieces than the batch takes at once, resting in a row.
    GUI_DebrisPool& pool = GetDebrisPools().first;
    constexpr int kCount = 70;
    for (int i = 0; i < kCount; ++i)
        pool.Piece(pool.FindFreeSlot()).Birth(0, 0, 1.0f, i, true, 2.0f + 3.5f * static_cast<float>(i), 100.0f);
    EffectTestView::Look(0.0f, 0.0f, 3.0f); // past every piece's least zoom
    EffectTestView::Step(12.0f);
    view.Device().ClearDraws();
    pool.UpdateAndDraw();
    const auto& draws = view.Device().GetDraws();
    ASSERT_EQ(draws.size(), 1u);
    ASSERT_EQ(draws[0].vertexCount, 4u * kCount);
    // The recorded quads: the first pieces', centred on them in turn.
    ASSERT_EQ(draws[0].vertices.size() % 4, 0u);
    for (size_t n = 0; n < draws[0].vertices.size() / 4; ++n) {
        const ScreenVertex* q = &draws[0].vertices[4 * n];
        EXPECT_NEAR((q[0].x + q[3].x) * 0.5f, (2.0f + 3.5f * static_cast<float>(n)) * 3.0f, 1e-3f) << n;
        EXPECT_NEAR((q[0].y + q[3].y) * 0.5f, 300.0f, 1e-3f) << n;
    }
}

TEST_F(WorldEffects, SmokeWaitsSwellsHoldsAndFades)
{
    GUI_SmokeSprite puff(40.0f, 0.05f, 300.0f, 0, 0);
    puff.lifetime = 15000.0f;
    EXPECT_TRUE(puff.Advance(300.0f));
    EXPECT_EQ(puff.state, GUI_SmokeSprite::WAITING) << "not beyond the delay yet";
    puff.Advance(1.0f);
    EXPECT_EQ(puff.state, GUI_SmokeSprite::SHOWING);
    EXPECT_FLOAT_EQ(puff.elapsed, 0.0f);
    puff.Advance(500.0f);
    EXPECT_FLOAT_EQ(puff.fade, 0.5f);
    puff.Advance(500.0f);
    EXPECT_FLOAT_EQ(puff.fade, 1.0f);
    puff.Advance(7000.0f);
    EXPECT_FLOAT_EQ(puff.fade, 1.0f) << "full until 8 s";
    puff.Advance(3500.0f);
    EXPECT_NEAR(puff.fade, 1.0f - 3500.0f / 7000.0f, 1e-4f);
    EXPECT_TRUE(puff.Advance(3500.0f));
    EXPECT_FALSE(puff.Advance(1.0f)) << "gone 15 s after it appeared";

    SpawnSmoke(50.0f, 0, 0, 0);
    EXPECT_TRUE(GetSmokeSprites().empty());
    SpawnSmoke(50.0f, 3, 0, 0);
    ASSERT_EQ(GetSmokeSprites().size(), 6u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_LE(GetSmokeSprites()[i].delay, 300.0f);
        EXPECT_GE(GetSmokeSprites()[i + 3].delay, 200.0f);
        EXPECT_FLOAT_EQ(GetSmokeSprites()[i + 3].baseSize, 10.0f);
        EXPECT_GE(GetSmokeSprites()[i].lifetime, 15000.0f);
        EXPECT_LT(GetSmokeSprites()[i].lifetime, 22000.0f);
    }
}

TEST_F(WorldEffects, AShockWaveShowsAfterFourHundredMsAndIsGoneAfterItsLifetime)
{
    SpawnShockWave(300.0f, 400.0f, 400.0f, 300.0f);
    GUI_ShockWave& wave = GetShockWaves()[0];
    int drawn = 0;
    for (int ms = 10; ms <= 800; ms += 10) {
        EffectTestView::Step(10.0f);
        DrawShockWaves();
        if (GetShockWaves().empty()) {
            EXPECT_GT(ms, 800 - 20);
            break;
        }
        if (wave.drawnLastFrame) {
            EXPECT_GT(ms, 400);
            ++drawn;
        }
    }
    EXPECT_GT(drawn, 30);
    EffectTestView::Step(10.0f);
    DrawShockWaves();
    EXPECT_TRUE(GetShockWaves().empty());
}

TEST_F(WorldEffects, BlastGlaresShakeByZoomAndDistanceAndPushOnlyBigBlasts)
{
    // Size 16 at the centre, zoomed fully in: 0.25 x 1024 / 800.
    EffectTestView::Look(0.0f, 0.0f, 4.0f);
    EXPECT_NEAR(GUI_BlastGlare::ShakeStrength(16.0f, 100.0f, 75.0f), 0.25f * 1024.0f / 800.0f, 1e-5f);
    EXPECT_FLOAT_EQ(GUI_BlastGlare::ShakeStrength(16.0f, 1000.0f, 75.0f), 0.0f) << "off screen";
    EffectTestView::Look(0.0f, 0.0f, 1.0f);
    EXPECT_NEAR(GUI_BlastGlare::ShakeStrength(64.0f, 400.0f, 300.0f), 0.25f * 1.28f, 1e-5f);

    GUI_DebrisPool& pool = GetDebrisPools().first;
    GUI_Debris& piece = pool.Piece(pool.FindFreeSlot());
    piece.Birth(0, 0, 2.0f, 0, true, 5000.0f, 5000.0f);
    piece.resting = 1;
    delete SpawnBlastGlare(32.0f, 4900.0f, 5000.0f, nullptr);
    EXPECT_EQ(piece.pushed, 0) << "32 or less pushes nothing";
    delete SpawnBlastGlare(300.0f, 4900.0f, 5000.0f, nullptr);
    EXPECT_EQ(piece.pushed, 1) << "off screen still pushes";
    EXPECT_NEAR(piece.pushX, (1.0f - 10000.0f / 65536.0f) * 4.0f, 1e-4f) << "strength 1 from 256 up";
}

TEST_F(WorldEffects, AGlareFlashesFullAfterAQuarterAndFadesOverItsLastThirtyPercent)
{
    GUI_BlastGlare glare(10.0f, 400.0f, 300.0f);
    EffectTestView::Step(100.0f);
    glare.Draw();
    EXPECT_FLOAT_EQ(glare.flash.GetSize(), 30.0f);
    EffectTestView::Step(180.0f); // 280 ms: t = 0.7
    glare.Draw();
    EXPECT_NEAR(glare.lastAlpha, 255.0f * glare.flickerLevel, 1.0f);
    EffectTestView::Step(60.0f); // t = 0.85: half faded
    glare.Draw();
    EXPECT_NEAR(glare.lastAlpha, 127.5f * glare.flickerLevel, 1.0f);
    EXPECT_EQ(glare.alive, 1);
    EffectTestView::Step(60.0f);
    glare.Draw();
    EXPECT_EQ(glare.alive, 0);
}

TEST_F(WorldEffects, EscapePodsFlyToTheirEdgeAndLeaveJustPastIt)
{
    GUI_Map& map = GUI_Map::GetInstance();
    map.mapWidth = 2000.0f;
    map.mapHeight = 1000.0f;
    LaunchEscapePod(1000.0f, 500.0f, 0.0f, false);
    ASSERT_EQ(GetEscapePods().size(), 1u);
    const GUI_EscapePod& pod = GetEscapePods()[0];
    EXPECT_FLOAT_EQ(pod.targetX, 2100.0f);
    EXPECT_LE(std::fabs(pod.targetY - 500.0f), 64.0f);
    EffectTestView::Step(12.0f);
    float lastX = pod.x;
    int frames = 0;
    while (!GetEscapePods().empty() && frames < 10000) {
        DrawEscapePods();
        if (!GetEscapePods().empty()) {
            EXPECT_GT(GetEscapePods()[0].x, lastX);
            lastX = GetEscapePods()[0].x;
        }
        PurgeEscapePods();
        ++frames;
    }
    // Its last step took it just past map width + 10, where it was removed.
    EXPECT_GT(lastX, 2010.0f);
    EXPECT_LE(lastX, 2010.0f + GUI_EscapePod::kSpeed);
    EXPECT_NEAR(frames, (1010.0f / GUI_EscapePod::kSpeed), 10.0f);

    GUI_BattleGUI::GetInstance().escapePods = 0;
    LaunchEscapePod(1000.0f, 500.0f, 0.0f, true);
    EXPECT_TRUE(GetEscapePods().empty());
    GUI_BattleGUI::GetInstance().escapePods = 1;
    LaunchEscapePod(1000.0f, 500.0f, 0.0f, true);
    EXPECT_FLOAT_EQ(GetEscapePods()[0].targetX, -100.0f) << "the player's pods go left";
    map.mapWidth = map.mapHeight = 0.0f;
}

TEST_F(WorldEffects, AClickBlowsAwayOnlyARestingPieceUnderItWithinEightPixelsOfItsCentre)
{
    EffectTestView::Look(0.0f, 0.0f, 2.0f);
    GUI_DebrisPool& pool = GetDebrisPools().first;
    const auto restingPiece = [&pool](float size) -> GUI_Debris& {
        pool.Reset();
        GUI_Debris& piece = pool.Piece(pool.FindFreeSlot());
        piece.Birth(0.0f, 0.0f, 1.0f, 0, true, 100.0f, 100.0f); // at (200, 200) on the screen
        piece.resting = 1;
        piece.size = size;
        piece.scale = 1.0f;
        piece.angle = 0.0f;
        return piece;
    };
    // A piece 4 units wide covers 200 +- 4 pixels at zoom 2: a click 6 pixels
    // off its centre is near it, not on it.
    GUI_Debris& small = restingPiece(4.0f);
    EXPECT_FALSE(pool.HitTest(206.0f, 200.0f));
    EXPECT_EQ(small.alive, 1);
    EXPECT_TRUE(pool.HitTest(203.5f, 200.0f));
    EXPECT_EQ(small.alive, 0);
    // A piece 20 units wide covers the point 17 pixels off its centre, but
    // only a click within 8 x zoom = 16 pixels blows it away.
    GUI_Debris& large = restingPiece(20.0f);
    EXPECT_FALSE(pool.HitTest(217.0f, 200.0f));
    EXPECT_EQ(large.alive, 1);
    EXPECT_TRUE(pool.HitTest(215.5f, 200.0f));
    EXPECT_EQ(large.alive, 0);
    // Turned by 45 degrees, the piece's own test takes its upright bounds.
    GUI_Debris& turned = restingPiece(4.0f);
    turned.angle = 45.0f;
    EXPECT_TRUE(pool.HitTest(205.5f, 200.0f)) << "inside the turned square's bounds (half side 5.66)";
    pool.Reset();
    EffectTestView::Look(0.0f, 0.0f, 1.0f);
}

TEST_F(WorldEffects, AnEscapePodStepsStraightAtItsTargetAndIsDrawnNoseFirst)
{
    GUI_Map& map = GUI_Map::GetInstance();
    map.mapWidth = 2000.0f;
    map.mapHeight = 1000.0f;
    EffectTestView::Step(12.0f);
    LaunchEscapePod(300.0f, 200.0f, 0.0f, false);
    GUI_EscapePod& pod = GetEscapePods()[0];
    // A 3-4-5 target: down and to the right on the screen.
    pod.targetX = 300.0f + 300.0f;
    pod.targetY = 200.0f + 400.0f;
    const float step = GUI_BattleGUI::GetInstance().frameStep;
    ASSERT_GT(step, 0.0f);
    DrawEscapePods();
    EXPECT_NEAR(pod.x, 300.0f + 0.6f * GUI_EscapePod::kSpeed * step, 1e-4f);
    EXPECT_NEAR(pod.y, 200.0f + 0.8f * GUI_EscapePod::kSpeed * step, 1e-4f);
    // atan2(0.6, -0.8): clockwise from up, past a quarter turn.
    EXPECT_NEAR(pod.Heading(), 143.1301f, 1e-3f);
    // The glow is the pod, 4 units a side at zoom 1; its top edge leads:
    // from the bottom-left corner to the top-left one is the way it flies.
    const ScreenVertex* v = pod.engine.m_vertices;
    const float ax = v[0].x - v[2].x, ay = v[0].y - v[2].y;
    const float length = std::sqrt(ax * ax + ay * ay);
    EXPECT_NEAR(length, 4.0f, 1e-4f);
    EXPECT_NEAR(std::hypot(v[1].x - v[0].x, v[1].y - v[0].y), 4.0f, 1e-4f);
    EXPECT_NEAR(ax / length, 0.6f, 1e-4f);
    EXPECT_NEAR(ay / length, 0.8f, 1e-4f);
    // The glow's screen test is that of a turned sprite.
    EXPECT_NEAR(pod.engine.GetAngle(), pod.Heading(), 1e-4f);
    map.mapWidth = map.mapHeight = 0.0f;
}

TEST_F(WorldEffects, AnEscapePodJustOffTheScreenDrawsWhileItsTurnedGlowMayReachIn)
{
    GUI_Map& map = GUI_Map::GetInstance();
    map.mapWidth = 2000.0f;
    map.mapHeight = 1000.0f;
    EffectTestView::Step(12.0f);
    const float glowSide = 4.0f; // at zoom 1
    // The vertices drawn for one pod flying right whose centre lands at x.
    const auto drawnAt = [this](float x) {
        ClearEscapePods();
        LaunchEscapePod(x - GUI_EscapePod::kSpeed, 300.0f, 90.0f, false);
        GetEscapePods()[0].targetY = 300.0f;
        view.Device().ClearDraws();
        DrawEscapePods();
        EXPECT_NEAR(GetEscapePods()[0].x, x, 1e-3f);
        size_t vertices = 0;
        for (const auto& draw : view.Device().GetDraws())
            vertices += draw.vertexCount;
        return vertices;
    };
    const size_t onScreen = drawnAt(400.0f);
    ASSERT_GT(onScreen, 0u);
    // A turned sprite's screen test grows the screen by 1.5 sides; the
    // glow, turned a quarter, reaches half a side.
    EXPECT_EQ(drawnAt(-1.9f * glowSide), onScreen);
    EXPECT_EQ(drawnAt(800.0f + 1.9f * glowSide), onScreen);
    EXPECT_EQ(drawnAt(-2.1f * glowSide), 0u);
    map.mapWidth = map.mapHeight = 0.0f;
}

TEST_F(WorldEffects, HulksAppearAfterTheFadeDarkenForTenSecondsAndShrinkToHalf)
{
    GUI_Hulk hulk("hulk.dds", 0, 0, 0.5f, 0.5f, 40.0f, 40.0f, 0, 0, 0);
    EffectTestView::Step(249.0f);
    hulk.Draw();
    EXPECT_EQ(hulk.visible, 0);
    EffectTestView::Step(1.0f);
    hulk.Draw();
    EXPECT_EQ(hulk.visible, 1);
    EXPECT_FLOAT_EQ(hulk.Contrast(), 1.0f - 1.0f / 10000.0f * 0.25f);
    for (int i = 0; i < 50; ++i) {
        EffectTestView::Step(100.0f);
        hulk.Draw();
    }
    EXPECT_NEAR(hulk.Contrast(), 1.0f - 0.25f * 5001.0f / 10000.0f, 1e-4f);
    for (int i = 0; i < 60; ++i) {
        EffectTestView::Step(100.0f);
        hulk.Draw();
    }
    EXPECT_FLOAT_EQ(hulk.Contrast(), 0.75f);
    hulk.age = 50000.0f;
    EffectTestView::Step(0.0f);
    hulk.Draw();
    EXPECT_FLOAT_EQ(hulk.scale, 0.5f);
    EXPECT_FLOAT_EQ(hulk.pushStrength, 4.0f / (40.0f * 0.0625f));
}

} // namespace
