// The space around a real battle drawn through OpenGL (offscreen): the
// stars over the backdrop, the asteroid band, the motion blur of a moving
// camera and the scenario's own shader; with SHADERS off the frame still
// renders, without them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "battle/GLBattleFixture.h"
#include "battle/GUI_AsteroidField.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_TerrainItem.h"
#include "engine/D3DEngine.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Scenario.h"
#include "support/ImageCompare.h"

namespace {

constexpr int kW = GLBattleFixture::kWidth;
constexpr int kH = GLBattleFixture::kHeight;

int Brightness(const std::vector<uint8_t>& rgba, int x, int y)
{
    const size_t i = (static_cast<size_t>(y) * kW + static_cast<size_t>(x)) * 4;
    return rgba[i] + rgba[i + 1] + rgba[i + 2];
}

size_t Differing(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int threshold)
{
    size_t n = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            n += std::abs(Brightness(a, x, y) - Brightness(b, x, y)) > threshold ? 1 : 0;
    return n;
}

// Mean brightness of a square of the picture.
double Mean(const std::vector<uint8_t>& rgba, int x0, int y0, int side)
{
    double sum = 0.0;
    for (int y = y0; y < y0 + side; ++y)
        for (int x = x0; x < x0 + side; ++x)
            sum += Brightness(rgba, x, y);
    return sum / (side * side);
}

class GLBattleScenery : public GLBattleFixture {
protected:
    GLBattleScenery() : GLBattleFixture("battle scenery") {}
    void SetUp() override
    {
        GLBattleFixture::SetUp();
        D3DEngine& engine = D3DEngine::GetInstance();
        engine.CreateRenderTarget(1024, 512, "rt_offscreen1");
        engine.CreateRenderTarget(1024, 512, "rt_offscreen2");
        SIM_Options& options = SIM_Options::GetInstance();
        shaders = options.GetValue("SHADERS");
        blur = options.GetValue("MOTIONBLUR");
        options.SetValue("SHADERS", 1.0f);
        options.SetValue("MOTIONBLUR", 1.0f);
    }
    void TearDown() override
    {
        SIM_Options::GetInstance().SetValue("SHADERS", shaders);
        SIM_Options::GetInstance().SetValue("MOTIONBLUR", blur);
        GUI_AsteroidField::GetInstance().Clear();
        DeleteAllTerrain();
        GLBattleFixture::TearDown();
    }
    // scenario2: an asteroid band, a ringed planet behind it, a warm haze;
    // the battle entered with the interface hidden.
    void StartScenario2()
    {
        SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario2");
        ASSERT_NE(scenario, nullptr);
        ASSERT_TRUE(StartBattleFromDeploymentFile(scenario, "data/sample deployment/deployed.txt", SIM_Scenario::EASY));
        GUI_BattleGUI::GetInstance().Enter();
        GUI_BattleGUI::GetInstance().hudShown = 0;
    }
    float shaders = 1.0f, blur = 1.0f;
};

TEST_F(GLBattleScenery, StarsRocksBlurAndTheScenarioShaderShowAndShadersOffStillDraws)
{
    ASSERT_NO_FATAL_FAILURE(StartScenario2());
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    ASSERT_TRUE(gui.GetEffect(GUI_BattleGUI::FX_SCENARIO).IsLoaded()) << "the scenario's shader";
    ASSERT_TRUE(gui.GetEffect(GUI_BattleGUI::FX_MOTIONBLUR).IsLoaded());
    GUI_Map& map = GUI_Map::GetInstance();
    GUI_AsteroidField& field = GUI_AsteroidField::GetInstance();
    ASSERT_EQ(field.GetCount(), 60);

    // Look at a near rock; the battle stands still (frames of no time).
    const GUI_Asteroid& rock = field.Get(field.GetBackCount());
    map.SetCentre(rock.worldX, rock.worldY);
    gui.SetInjectedFrameTime(0.0f);
    map.motionBlur = 0.0f;
    Frame(true);

    // Stars: the map alone with and without them.
    map.starfieldShown = 0;
    const std::vector<uint8_t> bare = Frame(false);
    map.starfieldShown = 1;
    const std::vector<uint8_t> starry = Frame(false);
    EXPECT_GT(Differing(starry, bare, 40), 200u) << "stars over the backdrop";

    // Rocks: the battle with and without its field.
    const std::vector<uint8_t> rocks = Frame(true);
    if (const char* dir = std::getenv("QLM_TEST_SHOTS"))
        SavePng(std::string(dir) + "/battle_scenery.png", kW, kH, rocks);
    field.Clear();
    const std::vector<uint8_t> empty = Frame(true);
    EXPECT_GT(Differing(rocks, empty, 30), 300u) << "the asteroid band";

    // The scenario's haze darkens the corners; without shaders the frame is
    // drawn plainly and straight.
    gui.shadersOn = 0;
    const std::vector<uint8_t> plain = Frame(true);
    gui.shadersOn = 1;
    EXPECT_GT(Mean(plain, 0, 0, 48), Mean(empty, 0, 0, 48) + 3.0) << "the vignette";
    EXPECT_GT(Mean(plain, 200, 150, 240), 10.0) << "the frame still renders without shaders";

    // Motion blur: the same still picture with the camera's blur set.
    map.motionBlur = 1.0f;
    map.motionBlurDirection = 90.0f;
    const std::vector<uint8_t> blurred = Frame(true);
    map.motionBlur = 1.0f;
    gui.motionBlurOn = 0;
    const std::vector<uint8_t> sharp = Frame(true);
    gui.motionBlurOn = 1;
    if (const char* dir = std::getenv("QLM_TEST_SHOTS"))
        SavePng(std::string(dir) + "/battle_blur.png", kW, kH, blurred);
    EXPECT_GT(Differing(blurred, sharp, 12), 500u) << "blur on and off give different pictures";
}

// Where the frame skips a clear, nothing of an earlier picture shows: the
// target and the back buffer are filled with magenta first, and the frame
// comes out exactly as one drawn over cleared surfaces.
TEST_F(GLBattleScenery, AFrameThatSkipsItsClearsShowsNothingOfAnEarlierPicture)
{
    ASSERT_NO_FATAL_FAILURE(StartScenario2());
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    gui.SetInjectedFrameTime(0.0f);
    GUI_Map& map = GUI_Map::GetInstance();
    D3DEngine& engine = D3DEngine::GetInstance();
    IGraphicsDevice& device = *engine.GetDevice();
    Frame(true); // loads the backdrop
    ASSERT_TRUE(map.BackdropCoversScreen());
    ASSERT_TRUE(gui.CoversBackBuffer());

    auto poison = [&] {
        constexpr uint32_t kMagenta = 0xFFFF00FFu;
        ASSERT_TRUE(engine.SetRenderTarget("rt_offscreen1"));
        engine.SetViewport(0, 0, 1024, 512);
        device.Clear(kMagenta);
        engine.SetRenderTarget("");
        engine.SetViewport(0, 0, kW, kH);
        device.Clear(kMagenta);
    };
    auto magentaPixels = [](const std::vector<uint8_t>& rgba) {
        size_t n = 0;
        for (size_t i = 0; i + 3 < rgba.size(); i += 4)
            n += rgba[i] > 200 && rgba[i + 1] < 40 && rgba[i + 2] > 200 ? 1 : 0;
        return n;
    };
    // The camera's blur reads past the screen's edge into the margin.
    for (float blur : {0.0f, 1.0f}) {
        map.motionBlur = blur;
        map.motionBlurDirection = 135.0f;
        // The reference: the backdrop blended over a target cleared whole.
        map.opaqueChecked = map.backdrop.GetHandle();
        map.backdropOpaque = false;
        ASSERT_FALSE(map.BackdropCoversScreen());
        const std::vector<uint8_t> reference = Frame(true);
        map.opaqueChecked = 0;
        ASSERT_TRUE(map.BackdropCoversScreen());
        poison();
        map.motionBlur = blur;
        const std::vector<uint8_t> skipped = Frame(true);
        EXPECT_EQ(magentaPixels(skipped), 0u) << "blur " << blur;
        EXPECT_EQ(Differing(skipped, reference, 0), 0u) << "blur " << blur;
        EXPECT_GT(Mean(skipped, 200, 150, 240), 10.0) << "a battle is drawn";
        long top = 0, next = 0;
        for (int x = 0; x < kW; ++x) {
            top += Brightness(skipped, x, 0);
            next += Brightness(skipped, x, 1);
        }
        EXPECT_NEAR(static_cast<double>(top), static_cast<double>(next), 0.2 * static_cast<double>(next))
            << "the picture reaches the screen's top row";
    }
}

} // namespace
