// The two wipes drawn for real through OpenGL (offscreen) and compared with
// reference pictures.
#include "../../tools/assetgen/FileDialogArtGen.cpp"

#include "engine/D3DEngine.h"
#include "engine/GFileHelpers.h"
#include "gui/GUI_Transition.h"
#include "platform/IClock.h"
#include "support/GLTestContext.h"
#include "support/ImageCompare.h"
#include "support/TempDir.h"
#include "support/TransitionSetup.h"

#include <gtest/gtest.h>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr uint32_t kOldLeft = 0xFFC03020u;  // the screen being left: red and blue halves
constexpr uint32_t kOldRight = 0xFF2040C0u;
constexpr uint32_t kNewScreen = 0xFF20A040u; // the screen arriving: green

class GLTransitionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(m_gl.Open("transition", kWidth, kHeight));
        ASSERT_TRUE(D3DEngine::GetInstance().HasShaders());

        ASSERT_TRUE(GenerateFileDialogArt(m_files.File("data")));
        ASSERT_TRUE(EnsureDirectoryExists(m_files.File("data/shaders")));
        ASSERT_TRUE(CopyFileTo(std::string(QLM_SOURCE_DIR) + "/data/shaders/transition_wipe.frag",
                               m_files.File("data/shaders/transition_wipe.frag"), true));
        m_chdir = std::make_unique<ScopedChdir>(m_files.Path());
        D3DEngine& engine = D3DEngine::GetInstance();
        engine.ClearTextureFolders();
        engine.LoadTextureFolder("data/bitmaps");
        // A target bigger than the screen, as the shell makes it.
        ASSERT_NE(0u, engine.CreateRenderTarget(512, 256, GUI_Transition::kTargetName));
        m_transition.Open(m_files.File("config.txt"), &m_clock);
    }
    void TearDown() override
    {
        m_transition.Close();
        m_chdir.reset();
        m_gl.Close();
    }

    static void DrawOldScreen()
    {
        D3DEngine& engine = D3DEngine::GetInstance();
        engine.FillRect(GRect{0, 0, kWidth / 2, kHeight}, kOldLeft);
        engine.FillRect(GRect{kWidth / 2, 0, kWidth, kHeight}, kOldRight);
        // Fine bars, so a stretched or shifted capture shows.
        for (int x = 8; x < kWidth; x += 32)
            engine.FillRect(GRect{x, 0, x + 4, kHeight}, 0xFFFFFFFFu);
    }

    // Runs one transition of the given kind to time t and reads the frame.
    std::vector<uint8_t> FrameAt(int kind, float t)
    {
        D3DEngine& engine = D3DEngine::GetInstance();
        GUI_Transition& transition = GUI_Transition::GetInstance();
        transition.SetWipeKind(kind);
        transition.Start(DrawOldScreen);
        m_clock.Set(0.0);
        engine.ClearAndBeginScene();
        transition.Draw(); // starts the clock
        engine.EndScene();
        m_clock.Set(static_cast<double>(t) * GUI_Transition::kDurationMs);
        engine.ClearAndBeginScene();
        engine.FillRect(GRect{0, 0, kWidth, kHeight}, kNewScreen);
        transition.Draw();
        engine.EndScene();
        std::vector<uint8_t> rgba;
        EXPECT_TRUE(engine.GetDevice()->ReadPixels(0, 0, 0, kWidth, kHeight, rgba));
        return rgba;
    }

    static uint32_t Pixel(const std::vector<uint8_t>& rgba, int x, int y)
    {
        const uint8_t* p = &rgba[(static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)) * 4];
        return 0xFF000000u | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    }

    static void ExpectNear(uint32_t expected, uint32_t actual)
    {
        for (int shift = 0; shift < 24; shift += 8) {
            const int e = static_cast<int>((expected >> shift) & 0xFF);
            const int a = static_cast<int>((actual >> shift) & 0xFF);
            EXPECT_NEAR(e, a, 4) << std::hex << "expected " << expected << " got " << actual;
        }
    }

    static std::string Reference(const std::string& name)
    {
        return std::string(QLM_SOURCE_DIR) + "/tests/gui/reference/" + name;
    }

    TempDir m_files;
    ManualClock m_clock;
    GLTestContext m_gl;
    TransitionSetup m_transition;
    std::unique_ptr<ScopedChdir> m_chdir;
};

TEST_F(GLTransitionTest, SlidingWipeAQuarterThroughMatchesTheReference)
{
    const std::vector<uint8_t> rgba = FrameAt(GUI_Transition::kSlidingWipe, 0.25f);
    ASSERT_EQ(static_cast<size_t>(kWidth) * kHeight * 4, rgba.size());
    // The old frame keeps the left half, unmoved; the new screen shows past
    // the soft edge.
    ExpectNear(kOldLeft, Pixel(rgba, 20, 120));
    ExpectNear(0xFFFFFFFFu, Pixel(rgba, 9, 120));
    ExpectNear(kNewScreen, Pixel(rgba, kWidth - 10, 120));
    const ImageCompareResult result =
        CompareWithReference(Reference("transition_sliding_quarter.png"), kWidth, kHeight, rgba);
    EXPECT_TRUE(result.match) << result.message;
}

TEST_F(GLTransitionTest, CircularWipeHalfWayMatchesTheReference)
{
    const std::vector<uint8_t> rgba = FrameAt(GUI_Transition::kCircularWipe, 0.5f);
    ASSERT_EQ(static_cast<size_t>(kWidth) * kHeight * 4, rgba.size());
    // A hole of the new screen in the middle, the old frame in the corners.
    ExpectNear(kNewScreen, Pixel(rgba, kWidth / 2, kHeight / 2));
    ExpectNear(kOldLeft, Pixel(rgba, 2, 2));
    ExpectNear(kOldRight, Pixel(rgba, kWidth - 3, kHeight - 3));
    const ImageCompareResult result =
        CompareWithReference(Reference("transition_circular_half.png"), kWidth, kHeight, rgba);
    EXPECT_TRUE(result.match) << result.message;
}

TEST_F(GLTransitionTest, CircularWipeHasClearedTheScreenAtTheEnd)
{
    const std::vector<uint8_t> rgba = FrameAt(GUI_Transition::kCircularWipe, 1.0f);
    ASSERT_EQ(static_cast<size_t>(kWidth) * kHeight * 4, rgba.size());
    for (int y = 0; y < kHeight; y += 7) {
        for (int x = 0; x < kWidth; x += 7)
            ASSERT_EQ(kNewScreen, Pixel(rgba, x, y)) << x << "," << y;
    }
}

} // namespace
