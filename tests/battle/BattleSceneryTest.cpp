// The space around a battle: the post-processor's passes, the starfield's
// layers, the asteroid band with its pushes and bullet hits, and terrain
// items from their scenario lines.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "EffectTestView.h"
#include "battle/GUI_AsteroidField.h"
#include "battle/GUI_BlastGlare.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_PostProcessor.h"
#include "battle/GUI_Starfield.h"
#include "battle/GUI_TerrainItem.h"
#include "battle/VisualRandom.h"
#include "engine/D3DEngine.h"
#include "engine/Effect.h"
#include "engine/GSafeFile.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "support/TempDir.h"
#include "sim/modules/SIM_GunProjectiles.h"

namespace {

using PP = GUI_PostProcessor;

TEST(PostProcessor, EachCombinationHasItsPassListOfAtMostSeven)
{
    // The begin code follows the options alone.
    PP::Frame f;
    EXPECT_EQ(PP::ChooseBeginCode(f), PP::NONE);
    f.motionBlurOption = true;
    EXPECT_EQ(PP::ChooseBeginCode(f), PP::TO_OFFSCREEN1);
    f.motionBlurOption = false;
    f.scenarioShader = true;
    EXPECT_EQ(PP::ChooseBeginCode(f), PP::TO_OFFSCREEN1);

    // Blur this frame: moving camera, not paused, not following.
    f = PP::Frame();
    f.motionBlurOption = true;
    f.blurAmount = 0.01f;
    EXPECT_TRUE(PP::BlursThisFrame(f));
    f.blurAmount = 0.0f;
    EXPECT_FALSE(PP::BlursThisFrame(f)) << "a still camera";
    f.blurAmount = 1.0f;
    f.paused = true;
    EXPECT_FALSE(PP::BlursThisFrame(f)) << "pausing stops the blur at once";
    f.paused = false;
    f.following = true;
    EXPECT_FALSE(PP::BlursThisFrame(f)) << "following a ship never blurs";
    f.following = false;
    f.motionBlurOption = false;
    EXPECT_FALSE(PP::BlursThisFrame(f));
}

class PostProcessorFrames : public ::testing::Test {
protected:
    void SetUp() override
    {
        D3DEngine& engine = D3DEngine::GetInstance();
        engine.Init(std::make_unique<HeadlessGraphicsDevice>(800, 600, true));
        engine.CreateRenderTarget(1024, 1024, "rt_offscreen1");
        engine.CreateRenderTarget(1024, 1024, "rt_offscreen2");
        GUI_Map::GetInstance().SetScreenSize(800, 600);
        GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
        gui.motionBlurOn = 1;
        gui.cameraFollowMode = 0;
    }
    void TearDown() override
    {
        GUI_BattleGUI::GetInstance().GetEffect(GUI_BattleGUI::FX_SCENARIO).Release();
        GUI_BattleGUI::GetInstance().GetEffect(GUI_BattleGUI::FX_MOTIONBLUR).Release();
        GUI_Map::GetInstance().motionBlur = 0.0f;
        GUI_Map::GetInstance().SetScreenSize(0, 0);
        D3DEngine::GetInstance().Release();
    }
    // One frame's passes as the battle frame runs them: begin, a world quad, end.
    std::vector<int> RunFrame(float blur)
    {
        GUI_Map::GetInstance().motionBlur = blur;
        PP& pp = PP::GetInstance();
        pp.BeginFrame();
        pp.EndFrame();
        std::vector<int> list{pp.GetBeginCode()};
        for (int i = 0; i < pp.GetPassCount(); ++i)
            list.push_back(pp.GetPass(i));
        return list;
    }
    HeadlessGraphicsDevice& Device()
    {
        return static_cast<HeadlessGraphicsDevice&>(*D3DEngine::GetInstance().GetDevice());
    }
};

TEST_F(PostProcessorFrames, TheTableOfPassesAndTheScreensShareOfTheTarget)
{
    using V = std::vector<int>;
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    gui.motionBlurOn = 0;
    EXPECT_EQ(RunFrame(0.5f), V({PP::NONE})) << "no scenario shader, no blur option: straight to the screen";
    gui.motionBlurOn = 1;
    EXPECT_EQ(RunFrame(0.0f), V({0, 5, 8, 2, 7})) << "blur on, camera still: a plain copy";
    EXPECT_EQ(RunFrame(0.4f), V({0, 5, 8, 2, 6}));
    const std::string shader = std::string(QLM_GAME_DIR) + "/data/shaders/scenario_coldfield.fx";
    ASSERT_TRUE(gui.GetEffect(GUI_BattleGUI::FX_SCENARIO).Load(shader));
    EXPECT_EQ(RunFrame(0.0f), V({0, 5, 8, 2, 4}));
    EXPECT_EQ(RunFrame(0.4f), V({0, 1, 2, 4, 5, 8, 3, 6})) << "both: seven passes";
    gui.motionBlurOn = 0;
    EXPECT_EQ(RunFrame(0.4f), V({0, 5, 8, 2, 4}));

    const ScreenVertex* quad = PP::GetInstance().GetQuad();
    EXPECT_FLOAT_EQ(quad[3].x, 800.0f);
    EXPECT_FLOAT_EQ(quad[3].u, 800.0f / 1024.0f);
    EXPECT_FLOAT_EQ(quad[3].v, 600.0f / 1024.0f);
    EXPECT_FLOAT_EQ(quad[0].u, 0.0f);
}

TEST_F(PostProcessorFrames, TheBackBufferClearIsSkippedOnlyUnderOurOwnOpaqueQuadOverAllOfIt)
{
    PP& pp = PP::GetInstance();
    RunFrame(0.0f);
    EXPECT_TRUE(pp.ClearIsCovered()) << "a copy over the whole 800x600 back buffer";
    RunFrame(0.4f);
    EXPECT_TRUE(pp.ClearIsCovered()) << "a blur over all of it";

    // A scenario's shader that never discards covers its quad as our copy does.
    Effect& scenario = GUI_BattleGUI::GetInstance().GetEffect(GUI_BattleGUI::FX_SCENARIO);
    const std::string shader = std::string(QLM_GAME_DIR) + "/data/shaders/scenario_coldfield.fx";
    ASSERT_TRUE(scenario.Load(shader));
    EXPECT_TRUE(scenario.CoversItsQuad());
    RunFrame(0.0f);
    EXPECT_TRUE(pp.ClearIsCovered());
    RunFrame(0.4f);
    EXPECT_TRUE(pp.ClearIsCovered()) << "shader into the second target, then our blur over the screen";

    // One that may discard, or places its quad with its own vertex stage,
    // may leave pixels: its clear stays.
    TempDir dir;
    std::string text;
    ASSERT_TRUE(ReadWholeFile(shader + ".frag", text));
    const std::string discarding = dir.File("discarding.fx");
    dir.Write("discarding.fx.frag", text.substr(0, text.rfind('}')) + "    if (fragColour.a < 0.0)\n        discard;\n}\n");
    ASSERT_TRUE(scenario.Load(discarding));
    EXPECT_FALSE(scenario.CoversItsQuad());
    RunFrame(0.0f);
    EXPECT_FALSE(pp.ClearIsCovered());
    RunFrame(0.4f);
    EXPECT_TRUE(pp.ClearIsCovered()) << "the blur still ends the frame";
    const std::string ownVertices = dir.File("own.fx");
    dir.Write("own.fx.frag", text);
    std::string vertex;
    ASSERT_TRUE(ReadWholeFile(std::string(QLM_GAME_DIR) + "/data/shaders/example.vert", vertex));
    dir.Write("own.fx.vert", vertex);
    ASSERT_TRUE(scenario.Load(ownVertices));
    EXPECT_FALSE(scenario.CoversItsQuad());
    RunFrame(0.0f);
    EXPECT_FALSE(pp.ClearIsCovered());
    scenario.Release();
    EXPECT_FALSE(scenario.CoversItsQuad());

    // A screen one pixel short of the back buffer leaves a strip: cleared.
    GUI_Map::GetInstance().SetScreenSize(800, 599);
    RunFrame(0.0f);
    EXPECT_FALSE(pp.ClearIsCovered());
    PP::Frame f;
    f.screenWidth = 800.0f;
    f.screenHeight = 600.0f;
    f.backWidth = 800.0f;
    f.backHeight = 600.0f;
    EXPECT_TRUE(PP::CoversBackBuffer(f));
    f.screenWidth = 799.0f;
    EXPECT_FALSE(PP::CoversBackBuffer(f));
    f.screenWidth = 800.0f;
    f.backWidth = 0.0f;
    EXPECT_FALSE(PP::CoversBackBuffer(f)) << "no back buffer known: clear";
}

TEST_F(PostProcessorFrames, TheWorldGoesThroughTheTargetsTheEngineHasNowAndNeverIntoAMissingOne)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    auto frameDrawsTo = [&](TextureHandle& world, TextureHandle& copy) {
        Device().ClearDraws();
        PP& pp = PP::GetInstance();
        GUI_Map::GetInstance().motionBlur = 0.0f;
        pp.BeginFrame();
        engine.FillRect(GRect{10, 10, 20, 20}, 0xFFFFFFFFu); // the world
        pp.EndFrame();
        const auto& draws = Device().GetDraws();
        world = draws.empty() ? 99 : draws.front().target;
        copy = draws.empty() ? 99 : draws.back().target;
        return draws.size();
    };
    TextureHandle world = 0, copy = 0;
    ASSERT_EQ(frameDrawsTo(world, copy), 2u);
    EXPECT_EQ(world, engine.FindRenderTarget("rt_offscreen1"));
    EXPECT_EQ(copy, 0u) << "the copy lands on the back buffer";
    EXPECT_EQ(Device().GetDraws().back().texture, engine.FindRenderTarget("rt_offscreen1"));

    // A device restore drops every target; the shell makes new ones.
    engine.Restore();
    engine.CreateRenderTarget(1024, 1024, "rt_offscreen1");
    engine.CreateRenderTarget(1024, 1024, "rt_offscreen2");
    ASSERT_EQ(frameDrawsTo(world, copy), 2u);
    EXPECT_EQ(world, engine.FindRenderTarget("rt_offscreen1"));
    EXPECT_NE(world, 0u);

    // Without its targets the frame stays on the back buffer, uncleared.
    engine.Restore();
    ASSERT_EQ(frameDrawsTo(world, copy), 1u);
    EXPECT_EQ(world, 0u);
    EXPECT_EQ(PP::GetInstance().GetPassCount(), 0);
}

TEST_F(PostProcessorFrames, TheFrameClearsWhatThePassesReadAndTheScreenOnce)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    HeadlessGraphicsDevice& device = Device();
    device.SetFillCounting(true);
    PP& pp = PP::GetInstance();
    GUI_Map::GetInstance().motionBlur = 0.0f;
    for (int frame = 0; frame < 2; ++frame) {
        device.ResetStats();
        engine.ClearAndBeginScene();
        pp.BeginFrame();
        // The screen's 800 x 600 of the 1024 x 1024 target and 32 screen
        // pixels past it in target texels (1024 / 800 and 1024 / 600 a
        // pixel): wider than the blur's reach of 16.
        int l = -1, t = -1, r = -1, b = -1;
        device.GetViewport(l, t, r, b);
        EXPECT_EQ(std::vector<int>({l, t, r, b}), std::vector<int>({0, 0, 841, 655}));
        EXPECT_DOUBLE_EQ(device.GetStats().pixelsFilled, 800.0 * 600.0 + 841.0 * 655.0);
        engine.FillRect(GRect{10, 10, 20, 20}, 0xFFFFFFFFu); // the world
        pp.EndFrame();
        engine.EndScene();
        // The back buffer, untouched since the frame's own clear, is not
        // cleared again before the copy covers it.
        EXPECT_EQ(device.GetStats().clears, 2) << "frame " << frame;
        EXPECT_EQ(device.GetStats().drawCalls, 2);
        device.Present();
    }
}

TEST_F(PostProcessorFrames, UnderAnOpaqueBackdropOnlyTheMarginIsClearedAndTheFrameLeavesTheBackBufferToTheCopy)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    HeadlessGraphicsDevice& device = Device();
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    GUI_Map& map = GUI_Map::GetInstance();
    engine.ClearTextureFolders();
    engine.LoadTextureFolder(std::string(QLM_GAME_DIR) + "/data/bitmaps");
    map.backdrop.SetName("backdrop_dust.dds");
    map.backdropQuad.SetSize(800.0f, 600.0f);
    map.backdropQuad.SetColour(0xFFFFFFFFu);
    map.backdropQuad.PlaceCentred(400.0f, 300.0f);
    ASSERT_TRUE(map.BackdropCoversScreen());
    device.SetFillCounting(true);
    PP& pp = PP::GetInstance();
    map.motionBlur = 0.0f;

    // Blur on: the world goes through the target and the copy covers the
    // back buffer, so the frame does not clear it; in the target only the
    // 41 + 55 pixel margin past the 800 x 600 the backdrop replaces.
    ASSERT_TRUE(gui.CoversBackBuffer());
    device.ResetStats();
    engine.ClearAndBeginScene(!gui.CoversBackBuffer());
    EXPECT_TRUE(engine.IsBackBufferClearPending());
    pp.BeginFrame();
    EXPECT_EQ(device.GetStats().clears, 2);
    EXPECT_DOUBLE_EQ(device.GetStats().pixelsFilled, 41.0 * 655.0 + 800.0 * 55.0);
    int l = -1, t = -1, r = -1, b = -1;
    device.GetViewport(l, t, r, b);
    EXPECT_EQ(std::vector<int>({l, t, r, b}), std::vector<int>({0, 0, 841, 655})) << "the world may draw into the margin";
    pp.EndFrame();
    EXPECT_EQ(device.GetStats().clears, 2) << "the copy covers the back buffer: no clear of it at all";
    engine.EndScene();
    EXPECT_FALSE(engine.IsBackBufferClearPending());

    // A backdrop one pixel short, or see-through, leaves the target's clear whole.
    map.backdropQuad.SetSize(800.0f, 599.0f);
    map.backdropQuad.PlaceCentred(400.0f, 300.0f);
    EXPECT_FALSE(map.BackdropCoversScreen());
    map.backdropQuad.SetSize(800.0f, 600.0f);
    map.backdropQuad.PlaceCentred(400.0f, 300.0f);
    map.backdropQuad.SetColour(0xFEFFFFFFu);
    EXPECT_FALSE(map.BackdropCoversScreen());
    device.ResetStats();
    pp.RunPass(PP::TO_OFFSCREEN1);
    EXPECT_DOUBLE_EQ(device.GetStats().pixelsFilled, 841.0 * 655.0);
    pp.RunPass(PP::RESTORE_TARGET);
    map.backdropQuad.SetColour(0xFFFFFFFFu);

    // Blur off and no scenario shader: the world goes straight to the back
    // buffer, which the frame clears as ever.
    gui.motionBlurOn = 0;
    EXPECT_FALSE(gui.CoversBackBuffer());
    gui.motionBlurOn = 1;
    // The statistics screen draws no world, and without shaders there are no passes.
    gui.shadersOn = 0;
    EXPECT_FALSE(gui.CoversBackBuffer());
    gui.shadersOn = 1;

    // Should the targets be gone when the frame begins, the clear left
    // pending is done before the world lands on the back buffer.
    device.ResetStats();
    engine.ClearAndBeginScene(false);
    engine.Restore();
    pp.BeginFrame();
    EXPECT_EQ(pp.GetBeginCode(), PP::NONE);
    EXPECT_EQ(device.GetStats().clears, 1);
    EXPECT_FALSE(engine.IsBackBufferClearPending());
    engine.ClearPendingBackBuffer();
    EXPECT_EQ(device.GetStats().clears, 1) << "a pending clear is done once";
    engine.EndScene();
    map.backdrop.SetName("");
    engine.ClearTextureFolders();
}

TEST(Starfield, ThreeLayersWithParallaxAndScreenStarsThatWrap)
{
    GUI_Starfield& stars = GUI_Starfield::GetInstance();
    stars.Build(2000.0f, 1000.0f, 800.0f, 600.0f);
    for (int i = 0; i < GUI_Starfield::kMapStars; ++i) {
        const GUI_Starfield::Star& s = stars.MapStar(i);
        ASSERT_TRUE(s.x >= 0.0f && s.x <= 2000.0f && s.y >= 0.0f && s.y <= 1000.0f);
        const uint32_t a = s.colour >> 24;
        ASSERT_TRUE(a >= 64 && a <= 220) << a;
    }
    for (int i = 0; i < GUI_Starfield::kDepthStars; ++i) {
        const GUI_Starfield::Star& s = stars.DepthStar(i);
        ASSERT_TRUE(s.depth >= 0.125f && s.depth <= 0.5f);
        ASSERT_TRUE(s.size >= 2.0f && s.size <= 8.0f);
        // Spread to cover the map at its depth.
        ASSERT_LE(std::fabs(s.x - 1000.0f), 1000.0f / s.depth + 1e-2f);
    }
    // A star at depth 0.5 moves half as far as the map when the camera pans.
    GUI_Starfield::Star deep;
    deep.depth = 0.5f;
    deep.x = 1200.0f;
    deep.y = 700.0f;
    float x0, y0, x1, y1;
    const float c0[2] = {1000.0f, 500.0f}, c1[2] = {1100.0f, 500.0f};
    GUI_Starfield::DepthStarScreen(deep, 2.0f, c0, 800.0f, 600.0f, x0, y0);
    GUI_Starfield::DepthStarScreen(deep, 2.0f, c1, 800.0f, 600.0f, x1, y1);
    EXPECT_FLOAT_EQ(x0, 400.0f + 0.5f * 2.0f * 200.0f);
    EXPECT_FLOAT_EQ(x0 - x1, 100.0f) << "the map moved 200 pixels";

    // Screen stars slide a pixel per world unit and come round the edges.
    const GUI_Starfield::Star before = stars.ScreenStar(0);
    stars.Scroll(before.x + 1.0f, 0.0f);
    EXPECT_NEAR(stars.ScreenStar(0).x, 799.0f, 1e-3f) << "past the left edge, back at the right";
    EXPECT_FLOAT_EQ(stars.ScreenStar(0).y, before.y);
    stars.Scroll(-2.0f, -(600.0f - before.y) - 3.0f);
    EXPECT_NEAR(stars.ScreenStar(0).x, 1.0f, 1e-3f);
    EXPECT_NEAR(stars.ScreenStar(0).y, 3.0f, 1e-3f);

    // The same map always gets the same sky.
    const float x = stars.MapStar(7).x;
    stars.Build(2000.0f, 1000.0f, 800.0f, 600.0f);
    EXPECT_FLOAT_EQ(stars.MapStar(7).x, x);
}

TEST(Starfield, AMapStarShowsFromTheLeftAndTopPixelUpToButNotOnTheFarEdges)
{
    EffectTestView view;
    GUI_Starfield& stars = GUI_Starfield::GetInstance();
    stars.Build(2000.0f, 1000.0f, 800.0f, 600.0f);
    // A star whose distances to the view's corner below come out exact; at
    // 64 pixels a unit no other star shares the view.
    int pick = -1;
    for (int i = 0; i < GUI_Starfield::kMapStars && pick < 0; ++i) {
        const GUI_Starfield::Star& s = stars.MapStar(i);
        if (s.x >= 1100.0f && s.x < 1500.0f && s.y >= 100.0f && s.y < 900.0f)
            pick = i;
    }
    ASSERT_GE(pick, 0);
    const GUI_Starfield::Star star = stars.MapStar(pick);
    const float zoom = 64.0f, width = 800.0f / zoom, height = 600.0f / zoom;
    const float centre[2] = {0.0f, 0.0f};
    // The pixel the star is drawn at, or -1 when it is not drawn.
    const auto drawnAt = [&](float left, float top, float& y) {
        view.Device().ClearDraws();
        stars.Draw(left, top, zoom, centre);
        float x = -1.0f;
        for (const auto& draw : view.Device().GetDraws())
            for (size_t v = 0; v + 3 < draw.vertices.size(); v += 4) {
                const ScreenVertex* q = &draw.vertices[v];
                if (q[0].colour == star.colour && q[1].x == q[0].x + 1.0f && q[2].y == q[0].y + 1.0f &&
                    q[1].u == 0.0f && q[3].v == 0.0f) {
                    EXPECT_LT(x, 0.0f) << "drawn once";
                    x = q[0].x;
                    y = q[0].y;
                }
            }
        return x;
    };
    float y = -1.0f;
    EXPECT_EQ(drawnAt(star.x, star.y - 4.0f, y), 0.0f) << "on the left edge";
    EXPECT_EQ(y, 256.0f);
    EXPECT_EQ(drawnAt(std::nextafter(star.x, 2000.0f), star.y - 4.0f, y), -1.0f) << "a hair left of it";
    EXPECT_EQ(drawnAt(std::nextafter(star.x - width, 2000.0f), star.y - 4.0f, y), 799.0f);
    EXPECT_EQ(drawnAt(star.x - width, star.y - 4.0f, y), -1.0f) << "on the right edge, one past the last pixel";
    EXPECT_EQ(drawnAt(star.x - 4.0f, star.y, y), 256.0f);
    EXPECT_EQ(y, 0.0f);
    EXPECT_EQ(drawnAt(star.x - 4.0f, std::nextafter(star.y, 1000.0f), y), -1.0f);
    EXPECT_EQ(drawnAt(star.x - 4.0f, star.y - height, y), -1.0f) << "on the bottom edge";
    EXPECT_EQ(drawnAt(star.x - 4.0f, std::nextafter(star.y - height, 1000.0f), y), 256.0f);
    EXPECT_EQ(y, 599.0f);
}

TEST(AsteroidField, ABandOfThreeDepthsPushedByBlastsAndHitByBullets)
{
    D3DEngine::GetInstance().Init(std::make_unique<HeadlessGraphicsDevice>(800, 600));
    GUI_Map& map = GUI_Map::GetInstance();
    map.SetScreenSize(800, 600);
    SeedVisualRandom(3);
    GUI_AsteroidField& field = GUI_AsteroidField::GetInstance();
    field.Build(4, 0.5f, 0.5f, 1000.0f, 1000.0f);
    EXPECT_EQ(field.GetBackCount(), 10) << "8 distant and 2 middle";
    EXPECT_EQ(field.GetFrontCount(), 2);
    for (int i = 0; i < 12; ++i) {
        const GUI_Asteroid& rock = field.Get(i);
        ASSERT_NEAR(rock.worldX, 500.0f, 200.0f) << "along the band, at most 200 off";
        ASSERT_EQ(rock.kind, i < 8 ? GUI_Asteroid::DISTANT : GUI_Asteroid::FIELD);
        ASSERT_TRUE(i >= 8 || (rock.size >= 1.0f && rock.size <= 4.0f));
        ASSERT_GE(rock.uv[0], 0.0f);
        ASSERT_LE(rock.uv[3], 1.0f) << "every cell on the sheet";
    }
    EXPECT_FLOAT_EQ(field.Get(8).depth, 0.5f);
    EXPECT_FLOAT_EQ(field.Get(9).depth, 0.75f);
    EXPECT_FLOAT_EQ(field.Get(10).depth, 1.0f);
    EXPECT_FLOAT_EQ(field.Get(11).depth, 1.4f);
    EXPECT_EQ(SheetCell(1.0f, 16), 15) << "a value of exactly 1 keeps to the last small rock";

    // Blasts push rocks near the map's depth, not in a busy frame.
    GUI_Asteroid& rock = field.Get(10);
    ASSERT_TRUE(rock.canBePushed);
    EXPECT_FALSE(field.Get(11).canBePushed);
    rock.worldX = 500.0f;
    rock.worldY = 500.0f;
    field.ApplyBlast(1.0f, 500.0f, 600.0f, 0.049f);
    EXPECT_FALSE(rock.pushed);
    field.ApplyBlast(1.0f, 500.0f, 600.0f, 0.05f);
    ASSERT_TRUE(rock.pushed);
    const float f = 1.0f - 10000.0f / GUI_Asteroid::kPushRadiusSq;
    EXPECT_NEAR(rock.pushY, -f * 100.0f / rock.size, 1e-4f) << "away from the blast";
    EXPECT_NEAR(rock.pushX, 0.0f, 1e-4f);
    EXPECT_TRUE(rock.DecayPush(1.0f));
    EXPECT_NEAR(rock.pushY, -f * 100.0f / rock.size * 0.96f, 1e-4f);
    rock.pushX = 0.0f;
    rock.pushY = 0.06f;
    EXPECT_FALSE(rock.DecayPush(1.0f)) << "below 0.004 squared the push ends";
    EXPECT_FALSE(rock.TestPush(1.0f, 500.0f, 500.0f + 256.1f));
    // A big kill's blast glare is what pushes them in the battle.
    rock.pushed = false;
    GUI_BattleGUI::GetInstance().frameHoldSpare = 1.0f;
    delete new GUI_BlastGlare(256.0f, 500.0f, 600.0f);
    EXPECT_TRUE(rock.pushed);
    EXPECT_NEAR(rock.pushY, -f * 100.0f / rock.size, 1e-4f);
    GUI_BattleGUI::GetInstance().frameHoldSpare = 0.0f;

    // Near rocks above size 8 stop bullets under them.
    ZoomScale = 1.0f;
    CameraCentre[0] = 400.0f;
    CameraCentre[1] = 300.0f;
    GUI_Asteroid& near = field.Get(11);
    near.worldX = 400.0f;
    near.worldY = 300.0f;
    near.size = 8.0f;
    near.cullRadius = 12.0f;
    EXPECT_FALSE(field.HitTest(400.0f, 300.0f)) << "a rock of size 8 lets bullets through";
    near.size = 20.0f;
    EXPECT_TRUE(field.HitTest(403.0f, 302.0f));
    EXPECT_EQ(GUI_AsteroidField::SceneryProbe(403.0f, 302.0f, true), SIM_GunProjectiles::ASTEROID);
    EXPECT_EQ(GUI_AsteroidField::SceneryProbe(403.0f, 302.0f, false), SIM_GunProjectiles::NO_SCENERY);
    EXPECT_FALSE(field.HitTest(406.0f, 300.0f)) << "beyond a quarter of its width";

    field.Clear();
    EXPECT_EQ(field.GetCount(), 0);
    EXPECT_FALSE(field.HitTest(400.0f, 300.0f));
    map.SetScreenSize(0, 0);
    D3DEngine::GetInstance().Release();
}

TEST(TerrainItem, LinesPlaceItemsBehindOrInFrontOnTheMapOrPinnedToTheBackdrop)
{
    GUI_Map& map = GUI_Map::GetInstance();
    {
        GUI_TerrainItem back("100.0,200.0,1.0,planet_ice.dds,90.0,0.0,0.25,0.5,0.75,40.0,20.0,0,0");
        GUI_TerrainItem front("100.0,200.0,1.01,station.dds,0.0,0.0,0.0,1.0,1.0,10.0,10.0,1,0");
        EXPECT_EQ(CountTerrain(false), 1);
        EXPECT_EQ(CountTerrain(true), 1) << "1.01 is in front of the world, 1.0 behind it";
        EXPECT_EQ(back.texture.GetName(), "planet_ice.dds");
        EXPECT_FLOAT_EQ(back.uv[1], 0.5f);
        EXPECT_FLOAT_EQ(back.uv[2], 0.25f);
        EXPECT_TRUE(front.alwaysDraw);

        ZoomScale = 2.0f;
        CameraCentre[0] = 100.0f;
        CameraCentre[1] = 200.0f;
        map.SetScreenSize(800, 600);
        const float uv[4] = {0.1f, 0.2f, 0.9f, 0.8f};
        ASSERT_TRUE(back.Place(uv, 800.0f, 600.0f));
        const ScreenVertex* q = back.GetQuad();
        EXPECT_NEAR((q[0].x + q[3].x) * 0.5f, 400.0f, 1e-3f);
        EXPECT_NEAR(std::hypot(q[0].x - q[1].x, q[0].y - q[1].y), 80.0f, 1e-3f) << "width x zoom";
        EXPECT_FLOAT_EQ(q[0].u, 0.0f);
        EXPECT_FLOAT_EQ(q[3].v, 0.75f);
        CameraCentre[0] = 5000.0f;
        EXPECT_FALSE(back.Place(uv, 800.0f, 600.0f)) << "off screen";
        EXPECT_TRUE(front.Place(uv, 800.0f, 600.0f)) << "always drawn";
        map.SetScreenSize(0, 0);
        ZoomScale = 1.0f;
    }
    EXPECT_EQ(CountTerrain(false) + CountTerrain(true), 0) << "items leave their lists";

    // Pinned at (512, 512): the middle of the backdrop picture, whatever its
    // part on screen, at its own size in pixels.
    GUI_TerrainItem pinned("512.0,512.0,0.5,station.dds,0.0,0.0,0.0,1.0,1.0,64.0,32.0,0,1");
    const float centred[4] = {0.25f, 0.25f, 0.75f, 0.75f};
    ASSERT_TRUE(pinned.Place(centred, 800.0f, 600.0f));
    EXPECT_NEAR(pinned.screenX, 400.0f, 1e-3f);
    EXPECT_NEAR(pinned.screenY, 300.0f, 1e-3f);
    const float shifted[4] = {0.35f, 0.25f, 0.85f, 0.75f};
    ASSERT_TRUE(pinned.Place(shifted, 800.0f, 600.0f));
    EXPECT_NEAR(pinned.screenX, 400.0f - 0.1f / (0.5f / 800.0f), 1e-2f) << "moves with the backdrop";
    EXPECT_NEAR(std::hypot(pinned.GetQuad()[0].x - pinned.GetQuad()[1].x, 0.0f), 64.0f, 1e-3f);
}

} // namespace
