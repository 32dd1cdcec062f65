// A few seconds of a real battle drawn through OpenGL (offscreen): ships
// over the backdrop with a beam in flight, checked loosely and against a
// reference picture with a generous tolerance.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_ShipDrawLists.h"
#include "battle/hud/GUI_Score.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "platform/GraphicsDeviceFactory.h"
#include "platform/SdlWindow.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "sim/ShippedBattleWorld.h"
#include "sim/modules/SIM_BeamWeaponModule.h"
#include "support/ImageCompare.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

const SIM_BeamWeaponModule* FindActiveBeam()
{
    const SIM_Battle& battle = SIM_Battle::GetInstance();
    for (const SIM_Fleet* fleet : {battle.GetPlayerFleet(), battle.GetEnemyFleet()})
        for (const SIM_Ship* ship : fleet->GetAllShips()) {
            if (ship->state != SIM_Ship::ACTIVE)
                continue;
            for (const SIM_ShipModule* module : ship->GetModules()) {
                const auto* beam = dynamic_cast<const SIM_BeamWeaponModule*>(module);
                // A beam that hits: a miss sweeps past its target and may show little.
                if (beam && beam->IsBeamActive() && beam->IsHit() && beam->GetBeamAlpha() > 0.8f)
                    return beam;
            }
        }
    return nullptr;
}

class GLBattleScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        GDebugLog::GetInstance().Open(m_log.Path());
        std::string error;
        WindowSettings settings;
        settings.title = "battle";
        settings.width = kWidth;
        settings.height = kHeight;
        settings.hidden = true;
        m_window = SdlWindow::Create(settings, &error);
        ASSERT_TRUE(m_window) << error;
        auto device = CreateGraphicsDevice(*m_window, &error);
        ASSERT_TRUE(device) << error;
        ASSERT_TRUE(D3DEngine::GetInstance().Init(std::move(device)));
        D3DEngine::GetInstance().ClearTextureFolders();
        D3DEngine::GetInstance().LoadTextureFolder(std::string(QLM_GAME_DIR) + "/data/bitmaps");
        GUI_BattleGUI::GetInstance().SetInjectedFrameTime(33.0f);
    }
    void TearDown() override
    {
        GUI_BattleGUI::GetInstance().SetInjectedFrameTime(-1.0f);
        SIM_Battle::GetInstance().Clear();
        GUI_Map::GetInstance().SetScreenSize(0, 0);
        D3DEngine::GetInstance().Release();
        D3DEngine::GetInstance().ClearTextureFolders();
        m_window.reset();
        GDebugLog::GetInstance().Close();
    }

    TempDir m_log;
    ShippedBattleWorld m_world;
    std::unique_ptr<SdlWindow> m_window;
};

TEST_F(GLBattleScreen, ShipsFireBeamsOverTheBackdrop)
{
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(scenario, nullptr);
    ASSERT_TRUE(StartBattleFromDeploymentFile(scenario, "data/sample deployment/deployed.txt", SIM_Scenario::EASY));
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    gui.Enter();
    // The reference shows the world alone, without the windows over it.
    gui.hudShown = 0;
    D3DEngine& engine = D3DEngine::GetInstance();

    const SIM_BeamWeaponModule* beam = nullptr;
    for (int frame = 0; frame < 4000 && !beam; ++frame) {
        engine.ClearAndBeginScene();
        gui.Render();
        engine.EndScene();
        engine.Flip();
        beam = FindActiveBeam();
    }
    ASSERT_NE(beam, nullptr) << "no beam fired in the first minutes of battle";
    // Look at the firing ship, then draw the frame that is compared.
    const SIM_ShipModule::Point from = beam->GetWorldPos();
    GUI_Map::GetInstance().SetCentre(from.x, from.y);
    gui.TogglePauseState();
    engine.ClearAndBeginScene();
    GUI_Map::GetInstance().Draw();
    engine.EndScene();
    std::vector<uint8_t> backdrop;
    ASSERT_TRUE(engine.GetDevice()->ReadPixels(0, 0, 0, kWidth, kHeight, backdrop));
    engine.Flip();

    engine.ClearAndBeginScene();
    gui.Render();
    engine.EndScene();
    std::vector<uint8_t> rgba;
    ASSERT_TRUE(engine.GetDevice()->ReadPixels(0, 0, 0, kWidth, kHeight, rgba));
    engine.Flip();
    gui.TogglePauseState();
    gui.hudShown = 1;

    size_t drawn = 0, beamPixels = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        int diff = 0;
        for (int c = 0; c < 3; ++c)
            diff = std::max(diff, std::abs(static_cast<int>(rgba[i + c]) - static_cast<int>(backdrop[i + c])));
        if (diff > 40)
            ++drawn;
        const int r = rgba[i], g = rgba[i + 1], b = rgba[i + 2];
        if (b > 200 && b > r + 50 && g > 100)
            ++beamPixels;
    }
    EXPECT_GT(drawn, 400u) << "ships should cover part of the view";
    EXPECT_GT(beamPixels, 20u) << "a beam should show";

    ImageCompareOptions loose;
    loose.tolerance = 60;
    loose.maxFractionOver = 0.08;
    const ImageCompareResult result = CompareWithReference(
        std::string(QLM_SOURCE_DIR) + "/tests/battle/reference/battle_beams.png", kWidth, kHeight, rgba, loose);
    EXPECT_TRUE(result.match) << result.message;
}

// At the start both fleets hold all their strength: a tie, where neither
// side trails, so both score boxes show the green banner on screen.
TEST_F(GLBattleScreen, AtATieBothScoreBoxesAreGreen)
{
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(scenario, nullptr);
    ASSERT_TRUE(StartBattleFromDeploymentFile(scenario, "data/sample deployment/deployed.txt", SIM_Scenario::EASY));
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    gui.Enter();
    gui.TogglePauseState();
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.ClearAndBeginScene();
    gui.Render();
    engine.EndScene();
    std::vector<uint8_t> rgba;
    ASSERT_TRUE(engine.GetDevice()->ReadPixels(0, 0, 0, kWidth, kHeight, rgba));
    engine.Flip();
    gui.TogglePauseState();

    const GUI_Score& score = GUI_Score::GetInstance();
    ASSERT_EQ(score.GetFigures(0).fraction, score.GetFigures(1).fraction);
    for (int box = 0; box < 2; ++box) {
        const GUI_ScoreWindow& b = score.GetBox(box);
        int green = 0, red = 0;
        for (int y = std::max(0, b.top); y < std::min(kHeight, b.bottom); ++y)
            for (int x = std::max(0, b.left); x < std::min(kWidth, b.right); ++x) {
                const uint8_t* p = &rgba[(static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)) * 4];
                green += p[1] > p[0] + 40 && p[1] > p[2] + 40;
                red += p[0] > p[1] + 40 && p[0] > p[2] + 40;
            }
        EXPECT_GT(green, 200) << "box " << box;
        EXPECT_LT(red, green / 10) << "box " << box;
    }
}

} // namespace
