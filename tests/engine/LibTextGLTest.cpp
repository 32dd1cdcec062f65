// Text drawn for real through OpenGL (offscreen), with the fonts the
// generator draws.
#include "engine/D3DEngine.h"
#include "engine/LibText.h"
#include "support/GLTestContext.h"
#include "support/GameText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {
constexpr int kWidth = 400;
constexpr int kHeight = 200;

struct Region {
    int lit = 0;      // pixels brighter than the background
    int maxRed = 0;
    int maxGreen = 0;
};

Region Scan(const std::vector<uint8_t>& rgba, int x0, int y0, int x1, int y1)
{
    Region r;
    for (int y = std::max(0, y0); y < std::min(kHeight, y1); ++y) {
        for (int x = std::max(0, x0); x < std::min(kWidth, x1); ++x) {
            const uint8_t* p = &rgba[(static_cast<size_t>(y) * kWidth + x) * 4];
            if (p[0] > 8 || p[1] > 8 || p[2] > 8)
                ++r.lit;
            r.maxRed = std::max<int>(r.maxRed, p[0]);
            r.maxGreen = std::max<int>(r.maxGreen, p[1]);
        }
    }
    return r;
}
} // namespace

class GLTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(m_gl.Open("text", kWidth, kHeight));
        ASSERT_FALSE(D3DEngine::GetInstance().GetDevice()->IsHeadless());
        ASSERT_NO_FATAL_FAILURE(m_text.Open(m_files.Path()));
    }
    void TearDown() override
    {
        m_text.Close();
        m_gl.Close();
    }

    TempDir m_files;
    GLTestContext m_gl;
    GameText m_text;
};

TEST_F(GLTextTest, BothFontsLightPixelsOnlyWhereTheTextIs)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    LibText& text = LibText::GetInstance();
    engine.ClearAndBeginScene();

    text.SetFont("zekton16.dds", 16);
    const std::string small = "Fleet Ready 42%";
    int smallWidth = text.GetTextWidth(small);
    text.SetText(TEXT_ALIGN_LEFT, small, 20, 20, 0xFFFFFFFFu, 0);
    text.Render();

    text.SetFont("cwfont20.dds", 20);
    const std::string title = "Quillomar";
    int titleWidth = text.GetTextWidth(title);
    text.SetText(TEXT_ALIGN_LEFT, title, 20, 100, 0xFFFF0000u, 0);
    text.Render();
    engine.EndScene();

    std::vector<uint8_t> rgba;
    ASSERT_TRUE(engine.GetDevice()->ReadPixels(0, 0, 0, kWidth, kHeight, rgba));
    ASSERT_EQ(rgba.size(), static_cast<size_t>(kWidth) * kHeight * 4);

    ASSERT_GT(smallWidth, 60);
    Region line1 = Scan(rgba, 20, 20, 20 + smallWidth, 20 + 20);
    EXPECT_GT(line1.lit, smallWidth * 2);
    EXPECT_GT(line1.maxGreen, 200); // white text

    Region line2 = Scan(rgba, 20, 100, 20 + titleWidth, 100 + 26);
    EXPECT_GT(line2.lit, titleWidth * 2);
    EXPECT_GT(line2.maxRed, 200); // tinted by the vertex colour
    EXPECT_LE(line2.maxGreen, 8);

    // Nothing anywhere else.
    EXPECT_EQ(Scan(rgba, 0, 0, kWidth, 16).lit, 0);
    EXPECT_EQ(Scan(rgba, 0, 46, kWidth, 96).lit, 0);
    EXPECT_EQ(Scan(rgba, 0, 130, kWidth, kHeight).lit, 0);
    EXPECT_EQ(Scan(rgba, 20 + std::max(smallWidth, titleWidth) + 8, 0, kWidth, kHeight).lit, 0);
    if (const char* dump = getenv("QLM_TEXT_DUMP"))
        engine.SaveScreenshot(dump);
    EXPECT_EQ(Scan(rgba, 0, 0, 16, kHeight).lit, 0);

    // The fill rule: exactly the pixels 10..19 of a rectangle (10,10)-(20,20).
    engine.ClearAndBeginScene();
    engine.FillRect(GRect{10, 10, 20, 20}, 0xFFFFFFFFu);
    engine.EndScene();
    ASSERT_TRUE(engine.GetDevice()->ReadPixels(0, 0, 0, kWidth, kHeight, rgba));
    EXPECT_EQ(Scan(rgba, 10, 10, 20, 20).lit, 100);
    EXPECT_EQ(Scan(rgba, 0, 0, 40, 40).lit, 100);
}
