// The battle's windows, damage texts and tooltips go out through the shared
// quad batch: a handful of runs instead of a draw per sprite and text.
#include "BattleHudFixture.h"

#include "battle/GUI_BattleGUI.h"
#include "battle/hud/GUI_DamageFeedbackManager.h"
#include "engine/QuadRunBatch.h"
#include "engine/TextureAtlas.h"
#include "gui/GUI_Tooltip.h"

namespace {

struct FrameCount {
    int draws = 0;
    int binds = 0;
    int vertices = 0;
};

TEST_F(BattleHudTest, WindowsAndTextsOverTheBattleDrawInAFewRuns)
{
    ASSERT_NO_FATAL_FAILURE(StartBattle());
    BattleHud::OpenLiveWindows(2400.0f, 1800.0f, kScreenW, kScreenH, false);
    BattleHud::OpenBattleControls(true, false, kScreenW, false);
    GUI_DamageFeedbackManager& texts = GUI_DamageFeedbackManager::GetInstance();
    texts.Reset();
    const std::vector<SIM_Ship*>& ships = SIM_Battle::GetInstance().GetPlayerFleet()->GetAllShips();
    GUI_Map::GetInstance().SetCentre(ships.front()->x, ships.front()->y);
    for (SIM_Ship* ship : ships) {
        ship->state = SIM_Ship::ACTIVE;
        ASSERT_TRUE(texts.Add(ship, 12.0f, 0.0f, 0.0f, false, 0.0f, 0.0f));
    }
    GUI_Tooltip tooltip("Ships left in the fight", 80);
    tooltip.visibility = 1.0f;
    MoveMouse(400.0f, 300.0f);

    D3DEngine& engine = D3DEngine::GetInstance();
    auto& device = static_cast<HeadlessGraphicsDevice&>(*engine.GetDevice());
    auto frame = [&](bool batched) {
        engine.ClearAndBeginScene();
        device.ResetStats();
        {
            std::unique_ptr<QuadRunBatch::InterfaceScope> scope;
            if (batched)
                scope = std::make_unique<QuadRunBatch::InterfaceScope>();
            texts.Draw(true, 0.0f); // no time passes: both frames show the same
            GUI_WindowManager::GetInstance().DrawWindows();
            tooltip.Draw();
            GUI_Tooltip::DrawQueued();
        }
        engine.EndScene();
        const GraphicsStats& stats = device.GetStats();
        return FrameCount{stats.drawCalls, stats.textureBinds, stats.verticesDrawn};
    };
    const FrameCount direct = frame(false);
    // The battle puts its pictures, the windows' and the fonts on the atlas as it starts.
    TextureAtlas& atlas = TextureAtlas::Shared();
    ASSERT_GT(atlas.Build(GUI_BattleGUI::AtlasPictures()), 10);
    device.ClearDraws();
    const FrameCount runs = frame(true);
    const TextureHandle background = engine.FindTexture("box_background.jpg");
    ASSERT_NE(background, 0u);
    std::vector<TextureHandle> read;
    for (const HeadlessGraphicsDevice::DrawRecord& draw : device.GetDraws())
        if (draw.texture && std::find(read.begin(), read.end(), draw.texture) == read.end())
            read.push_back(draw.texture);
    ScreenVertex whole[4] = {{0, 0, 0, 1, ~0u, 0, 0}, {8, 0, 0, 1, ~0u, 1, 0}, {0, 8, 0, 1, ~0u, 0, 1}, {8, 8, 0, 1, ~0u, 1, 1}};
    ScreenVertex moved[4];
    const TextureHandle page = atlas.Map(background, whole, moved);
    atlas.Clear();
    // The window background, the frames, the markers and the glyphs at
    // their font's own size (the mini-map's "1x" too) all come from the one
    // page; only a label shrunk below its font's size keeps the font's
    // texture, point sampled.
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0], page);
    // The rest of the binds go to and from the untextured runs (outlines, markers).
    EXPECT_LE(runs.binds, 7);
    ASSERT_GE(direct.draws, 40) << "a draw per sprite and per text";
    EXPECT_LE(runs.draws, 8);
    EXPECT_LE(runs.draws * 4, direct.draws);
    EXPECT_LT(runs.binds, direct.binds);
    EXPECT_EQ(runs.vertices, direct.vertices) << "every quad and line of the direct frame, none twice";
    EXPECT_FALSE(QuadRunBatch::Shared().TakesDirectQuads());
    texts.Reset();
}

} // namespace
