#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GSafeFile.h"
#include "gui/GUI_Transition.h"
#include "platform/DdsImage.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "platform/IClock.h"
#include "sim/SIM_Options.h"
#include "support/TempDir.h"
#include "support/TransitionSetup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

class TransitionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto device = std::make_unique<HeadlessGraphicsDevice>(kWidth, kHeight);
        m_device = device.get();
        ASSERT_TRUE(D3DEngine::GetInstance().Init(std::move(device)));
        m_target = D3DEngine::GetInstance().CreateRenderTarget(1024, 1024, GUI_Transition::kTargetName);
        ASSERT_NE(0u, m_target);
        m_transition.Open(m_dir.File("config.txt"), &m_clock);
        GUI_Transition::GetInstance().SetAlternate(true);
    }
    void TearDown() override
    {
        m_transition.Close();
        D3DEngine::GetInstance().Release();
    }

    // One frame: the transition's draw alone, returning the draws it made.
    size_t Frame(double atMs)
    {
        m_clock.Set(atMs);
        m_device->ClearDraws();
        GUI_Transition::GetInstance().Draw();
        return m_device->GetDraws().size();
    }

    void StartTransition()
    {
        GUI_Transition::GetInstance().Start([this] { ++m_oldModeRenders; });
    }

    TempDir m_dir;
    ManualClock m_clock;
    TransitionSetup m_transition;
    HeadlessGraphicsDevice* m_device = nullptr;
    TextureHandle m_target = 0;
    int m_oldModeRenders = 0;
};

TEST_F(TransitionTest, SwitchedOffNothingIsCapturedOrDrawn)
{
    m_transition.Options().SetValue("TRANSITIONS", 0.0f);
    EXPECT_FALSE(GUI_Transition::GetInstance().IsEnabled());
    StartTransition();
    EXPECT_EQ(0, m_oldModeRenders);
    EXPECT_FALSE(GUI_Transition::GetInstance().IsActive());
    EXPECT_EQ(0u, Frame(0.0));
    EXPECT_EQ(0u, Frame(400.0));
}

TEST_F(TransitionTest, RunsFromTheFirstDrawForItsDurationThenEndsWithoutDrawing)
{
    m_clock.Set(5000.0);
    StartTransition();
    EXPECT_EQ(1, m_oldModeRenders);
    EXPECT_TRUE(GUI_Transition::GetInstance().IsActive());
    // The old screen was rendered in a scene of its own, which is closed again.
    EXPECT_FALSE(D3DEngine::GetInstance().IsSceneOpen());

    // The clock only starts at the first draw, however late it comes.
    ASSERT_GT(Frame(7000.0), 0u);
    for (const auto& draw : m_device->GetDraws())
        EXPECT_EQ(m_target, draw.texture);
    EXPECT_GT(Frame(7000.0 + 425.0), 0u); // the soft edge is still on screen
    // The slide is off the screen half way; the transition runs on to its end.
    EXPECT_EQ(0u, Frame(7000.0 + 850.0));
    EXPECT_TRUE(GUI_Transition::GetInstance().IsActive());
    EXPECT_EQ(0u, Frame(7000.0 + 900.0));
    EXPECT_FALSE(GUI_Transition::GetInstance().IsActive());
    EXPECT_EQ(0u, Frame(7000.0 + 1000.0));
}

TEST_F(TransitionTest, SuccessiveChangesAlternateSlidingAndCircularWipes)
{
    GUI_Transition& transition = GUI_Transition::GetInstance();
    EXPECT_EQ(GUI_Transition::kSlidingWipe, transition.GetWipeKind());
    StartTransition();
    Frame(0.0);
    // The sliding wipe: quads only.
    for (const auto& draw : m_device->GetDraws())
        EXPECT_TRUE(draw.quads);
    Frame(1000.0);
    EXPECT_EQ(GUI_Transition::kCircularWipe, transition.GetWipeKind());

    StartTransition();
    Frame(2000.0);
    Frame(2400.0);
    // Without shaders the disc is cut out by a ring of triangles.
    bool ring = false;
    for (const auto& draw : m_device->GetDraws())
        ring = ring || draw.type == PrimitiveType::TriangleStrip;
    EXPECT_TRUE(ring);
    Frame(3000.0);
    EXPECT_EQ(GUI_Transition::kSlidingWipe, transition.GetWipeKind());

    transition.SetAlternate(false);
    StartTransition();
    Frame(4000.0);
    Frame(5000.0);
    EXPECT_EQ(GUI_Transition::kSlidingWipe, transition.GetWipeKind());
}

TEST_F(TransitionTest, ANewStartRestartsARunningTransition)
{
    StartTransition();
    Frame(0.0);
    Frame(600.0);
    StartTransition();
    EXPECT_EQ(2, m_oldModeRenders);
    // The old frame covers the whole screen again.
    ASSERT_GT(Frame(700.0), 0u);
    ASSERT_FALSE(m_device->GetDraws()[0].vertices.empty());
    EXPECT_FLOAT_EQ(kWidth - 0.5f, m_device->GetDraws()[0].vertices[1].x);
    Frame(700.0 + 800.0);
    EXPECT_TRUE(GUI_Transition::GetInstance().IsActive());
    Frame(700.0 + 851.0);
    EXPECT_FALSE(GUI_Transition::GetInstance().IsActive());
}

TEST_F(TransitionTest, WithoutItsRenderTargetNothingIsDrawnButTimeStillRuns)
{
    D3DEngine::GetInstance().Release();
    auto device = std::make_unique<HeadlessGraphicsDevice>(kWidth, kHeight);
    m_device = device.get();
    ASSERT_TRUE(D3DEngine::GetInstance().Init(std::move(device)));
    StartTransition();
    EXPECT_TRUE(GUI_Transition::GetInstance().IsActive());
    EXPECT_EQ(0u, Frame(0.0));
    EXPECT_EQ(0u, Frame(400.0));
    Frame(900.0);
    EXPECT_FALSE(GUI_Transition::GetInstance().IsActive());
}

TEST_F(TransitionTest, WithShadersTheCircleIsMaskedAgainAfterADeviceReset)
{
    // A folder with the mask and its effect, as the install folder has them.
    const std::vector<uint8_t> pixels(4 * 4 * 4, 0xFF);
    ASSERT_TRUE(EnsureDirectoryExists(m_dir.File("data/bitmaps/gui")));
    ASSERT_TRUE(EnsureDirectoryExists(m_dir.File("data/shaders")));
    ASSERT_TRUE(WriteFileAtomically(m_dir.File("data/bitmaps/gui/circular_wipe.dds"), WriteDdsBGRA(4, 4, pixels.data())));
    m_dir.Write("data/shaders/transition_wipe.frag", "void main() {}\n");
    ScopedChdir chdir(m_dir.Path());
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.ClearTextureFolders();
    engine.LoadTextureFolder("data/bitmaps");
    GUI_Transition& transition = GUI_Transition::GetInstance();
    for (int round = 0; round < 2; ++round) {
        engine.Release();
        auto device = std::make_unique<HeadlessGraphicsDevice>(kWidth, kHeight, true);
        m_device = device.get();
        ASSERT_TRUE(engine.Init(std::move(device)));
        ASSERT_NE(0u, engine.CreateRenderTarget(1024, 1024, GUI_Transition::kTargetName));
        transition.Reset();
        transition.SetWipeKind(GUI_Transition::kCircularWipe);
        StartTransition();
        Frame(10000.0 * round);
        Frame(10000.0 * round + 400.0);
        bool masked = false;
        for (const auto& draw : m_device->GetDraws())
            masked = masked || (draw.twoTextures && draw.effect != 0);
        EXPECT_TRUE(masked) << "round " << round;
        // Stage 1 is left empty for whoever draws next.
        EXPECT_EQ(0u, m_device->GetState().Texture(1));
    }
    engine.ClearTextureFolders();
}

TEST(TransitionGeometry, SlidingWipeMovesAtTwiceTheSpeedWithASoftEdge)
{
    ScreenVertex body[4];
    ScreenVertex edge[4];
    GUI_Transition::BuildSlidingWipe(0.0f, 800.0f, 600.0f, body, edge);
    EXPECT_FLOAT_EQ(-0.5f, body[0].x);
    EXPECT_FLOAT_EQ(799.5f, body[1].x);
    EXPECT_FLOAT_EQ(599.5f, body[3].y);
    EXPECT_FLOAT_EQ(1.0f, body[3].u);
    // At the start the soft edge lies off the screen's right side.
    EXPECT_FLOAT_EQ(edge[0].x, edge[1].x);

    GUI_Transition::BuildSlidingWipe(0.25f, 800.0f, 600.0f, body, edge);
    EXPECT_FLOAT_EQ(399.5f, body[1].x);
    EXPECT_FLOAT_EQ(0.5f, body[1].u);
    EXPECT_FLOAT_EQ(0.0f, body[0].u);
    EXPECT_FLOAT_EQ(1.0f, body[2].v);
    EXPECT_FLOAT_EQ(399.5f, edge[0].x);
    EXPECT_FLOAT_EQ(463.5f, edge[1].x);
    EXPECT_EQ(0xFFu, edge[0].colour >> 24);
    EXPECT_EQ(0x00u, edge[1].colour >> 24);
    EXPECT_FLOAT_EQ(464.0f / 800.0f, edge[1].u);

    // Half way the old frame is gone; only the fading edge is left of it.
    GUI_Transition::BuildSlidingWipe(0.5f, 800.0f, 600.0f, body, edge);
    EXPECT_FLOAT_EQ(body[0].x, body[1].x);
}

TEST(TransitionGeometry, CircularWipeClearsTheWholeScreenByTheEnd)
{
    const float radius = std::sqrt(400.0f * 400.0f + 300.0f * 300.0f);
    EXPECT_FLOAT_EQ(0.0f, GUI_Transition::CircleHalfSide(0.0f, radius));
    const float half = GUI_Transition::CircleHalfSide(1.0f, radius);
    EXPECT_GT(half * GUI_Transition::kMaskClear, radius);
    EXPECT_LT(GUI_Transition::CircleHalfSide(0.3f, radius), GUI_Transition::CircleHalfSide(0.6f, radius));
    // Beyond the end it grows no more.
    EXPECT_FLOAT_EQ(half, GUI_Transition::CircleHalfSide(1.5f, radius));
}

} // namespace
