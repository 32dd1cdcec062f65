// Limpets on screen: the body at its size with its animation frame, the glow
// behind it while it drifts or chases, and what a draw stages for limpets in
// each state.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "battle/GUI_Map.h"
#include "battle/LimpetSprites.h"
#include "engine/D3DEngine.h"
#include "engine/QuadRunBatch.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "sim/modules/SIM_Limpet.h"
#include "sim/modules/SIM_LimpetLauncherModule.h"

namespace {

BattleView View()
{
    BattleView view;
    view.zoom = 2.0f;
    view.width = 800.0f;
    view.height = 600.0f;
    return view;
}

float Side(const ScreenVertex q[4])
{
    return std::hypot(q[0].x - q[1].x, q[0].y - q[1].y);
}

float CentreX(const ScreenVertex q[4])
{
    return (q[0].x + q[3].x) * 0.5f;
}

float CentreY(const ScreenVertex q[4])
{
    return (q[0].y + q[3].y) * 0.5f;
}

// A limpet of size 6 at (100, 100), heading up the screen.
SIM_Limpet& Placed(SIM_LimpetLauncherModule& launcher, int state)
{
    SIM_Limpet& limpet = launcher.GetLimpet(0);
    limpet.SetState(state);
    limpet.limpetSize = 6.0f;
    limpet.x = 100.0f;
    limpet.y = 100.0f;
    limpet.angle = 0.0f;
    return limpet;
}

TEST(LimpetSprites, TheBodyShowsItsFrameAtItsSizeAndTheGlowTrailsItOnlyWhileItDriftsOrChases)
{
    SIM_LimpetLauncherModule launcher(nullptr, nullptr);
    SIM_Limpet& limpet = Placed(launcher, SIM_Limpet::DRIFTING);
    limpet.animationFrame = 2;
    ScreenVertex q[4];
    ASSERT_TRUE(LimpetSprites::BodyQuad(limpet, View(), q));
    EXPECT_NEAR(Side(q), 6.0f * 2.0f, 1e-4f) << "its size at zoom 2";
    EXPECT_NEAR(CentreX(q), 200.0f, 1e-4f);
    EXPECT_NEAR(CentreY(q), 200.0f, 1e-4f);
    EXPECT_FLOAT_EQ(q[0].u, 0.5f) << "frame 2 of four across the upper half";
    EXPECT_FLOAT_EQ(q[1].u, 0.75f);
    EXPECT_FLOAT_EQ(q[0].v, 0.0f);
    EXPECT_FLOAT_EQ(q[3].v, 0.5f);

    ASSERT_TRUE(LimpetSprites::GlowQuad(limpet, View(), q));
    const float glow = 1.75f * 6.0f * 2.0f;
    EXPECT_NEAR(Side(q), glow, 1e-4f);
    EXPECT_NEAR(CentreX(q), 200.0f, 1e-4f);
    EXPECT_NEAR(CentreY(q), 200.0f + 0.4f * glow, 1e-3f) << "0.4 of its side behind a limpet heading up";
    EXPECT_FLOAT_EQ(q[0].u, 0.0f);
    EXPECT_FLOAT_EQ(q[1].u, 0.25f);
    EXPECT_FLOAT_EQ(q[0].v, 0.5f);
    EXPECT_FLOAT_EQ(q[3].v, 1.0f);
    limpet.angle = 90.0f; // heading right: the glow lies to its left
    ASSERT_TRUE(LimpetSprites::GlowQuad(limpet, View(), q));
    EXPECT_NEAR(CentreX(q), 200.0f - 0.4f * glow, 1e-3f);
    EXPECT_NEAR(CentreY(q), 200.0f, 1e-3f);

    limpet.SetState(SIM_Limpet::CHASING);
    EXPECT_TRUE(LimpetSprites::GlowQuad(limpet, View(), q));
    for (int state : {SIM_Limpet::LAUNCHING, SIM_Limpet::STUCK}) {
        limpet.SetState(state);
        EXPECT_FALSE(LimpetSprites::GlowQuad(limpet, View(), q)) << state;
        EXPECT_TRUE(LimpetSprites::BodyQuad(limpet, View(), q)) << state;
    }
    limpet.SetState(SIM_Limpet::FREE);
    EXPECT_FALSE(LimpetSprites::BodyQuad(limpet, View(), q)) << "a free limpet is back in its launcher";
}

TEST(LimpetSprites, TheBattleCountsTheLimpetsOutAndStuck)
{
    const int out = SIM_Limpet::CountOut(), stuck = SIM_Limpet::CountStuck();
    {
        SIM_LimpetLauncherModule launcher(nullptr, nullptr);
        launcher.GetLimpet(0).SetState(SIM_Limpet::LAUNCHING);
        launcher.GetLimpet(1).SetState(SIM_Limpet::DRIFTING);
        EXPECT_EQ(SIM_Limpet::CountOut(), out + 2);
        EXPECT_EQ(SIM_Limpet::CountStuck(), stuck);
        launcher.GetLimpet(1).SetState(SIM_Limpet::STUCK);
        EXPECT_EQ(SIM_Limpet::CountOut(), out + 2);
        EXPECT_EQ(SIM_Limpet::CountStuck(), stuck + 1);
        launcher.GetLimpet(0).SetState(SIM_Limpet::FREE);
        EXPECT_EQ(SIM_Limpet::CountOut(), out + 1);
    }
    EXPECT_EQ(SIM_Limpet::CountOut(), out) << "limpets that go with their launcher leave the counts";
    EXPECT_EQ(SIM_Limpet::CountStuck(), stuck);
}

class LimpetDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        D3DEngine& engine = D3DEngine::GetInstance();
        engine.Init(std::make_unique<HeadlessGraphicsDevice>(800, 600));
        engine.ClearTextureFolders();
        engine.LoadTextureFolder(std::string(QLM_GAME_DIR) + "/data/bitmaps");
        GUI_Map::GetInstance().SetScreenSize(800, 600);
        ZoomScale = 2.0f;
        GUI_Map& map = GUI_Map::GetInstance();
        map.cameraX = map.cameraY = map.viewLeft = map.viewTop = 0.0f;
        map.viewRight = 400.0f; // 800 x 600 pixels at zoom 2
        map.viewBottom = 300.0f;
        LimpetSprites::Load();
        sheet = engine.FindTexture("limpet_mine.dds");
    }
    void TearDown() override
    {
        GUI_Map::GetInstance().SetScreenSize(0, 0);
        D3DEngine::GetInstance().Release();
    }
    // The quads one call of `draw` stages, in the order they are drawn: each
    // added (the batch marks an added quad by its z) or not, and its side in
    // whole pixels.
    template <class Draw>
    std::vector<std::pair<bool, int>> Staged(Draw draw)
    {
        auto* device = static_cast<HeadlessGraphicsDevice*>(D3DEngine::GetInstance().GetDevice());
        device->ClearDraws();
        QuadRunBatch& batch = QuadRunBatch::Shared();
        batch.Begin(800, 600);
        draw();
        batch.End();
        std::vector<std::pair<bool, int>> quads;
        for (const HeadlessGraphicsDevice::DrawRecord& d : device->GetDraws()) {
            EXPECT_EQ(d.texture, sheet);
            for (size_t i = 0; i + 4 <= d.vertices.size(); i += 4)
                quads.emplace_back(d.vertices[i].z == 1.0f, static_cast<int>(std::lround(Side(&d.vertices[i]))));
        }
        return quads;
    }

    TextureHandle sheet = 0;
};

TEST_F(LimpetDrawing, LimpetsOutShowWithTheirLauncherAndStuckOnesWithTheirShip)
{
    ASSERT_NE(sheet, 0u) << "the game's limpet sheet";
    SIM_LimpetLauncherModule launcher(nullptr, nullptr);
    SIM_Limpet& limpet = Placed(launcher, SIM_Limpet::DRIFTING);
    using Runs = std::vector<std::pair<bool, int>>;
    // At zoom 2: the body 12 pixels, the glow 21.
    const auto flying = [&] { LimpetSprites::DrawFlying(launcher); };
    EXPECT_EQ(Staged(flying), (Runs{{true, 21}, {false, 12}})) << "the glow added, then the body over it";
    limpet.SetState(SIM_Limpet::LAUNCHING);
    EXPECT_EQ(Staged(flying), (Runs{{false, 12}}));
    // Stuck to a fighter, it is drawn with the fighter, not its launcher.
    limpet.SetState(SIM_Limpet::STUCK);
    EXPECT_TRUE(Staged(flying).empty());
    const std::vector<SIM_Limpet*> onShip = {&limpet};
    EXPECT_EQ(Staged([&] { LimpetSprites::DrawStuck(onShip); }), (Runs{{false, 12}}));
    limpet.SetState(SIM_Limpet::FREE);
    EXPECT_TRUE(Staged(flying).empty());
    EXPECT_TRUE(Staged([&] { LimpetSprites::DrawStuck(onShip); }).empty());

    // A limpet whose glow just reaches into the view is drawn; one whose
    // glow's far corner lies outside it is not looked at further.
    limpet.SetState(SIM_Limpet::DRIFTING);
    limpet.y = -1.75f * 6.0f * (0.4f + 0.5f) + 0.5f; // heading up: the glow trails onto the screen
    EXPECT_EQ(Staged(flying), (Runs{{true, 21}, {false, 12}}));
    limpet.y = -LimpetSprites::kReach * 6.0f - 0.5f;
    EXPECT_TRUE(Staged(flying).empty());
    EXPECT_GE(LimpetSprites::kReach, std::hypot(1.75f * (0.4f + 0.5f), 1.75f * 0.5f)) << "the glow's far corner";
}

} // namespace
