#include "platform/FillMeter.h"
#include "platform/HeadlessGraphicsDevice.h"

#include "engine/D3DEngine.h"
#include "support/GLTestContext.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::vector<ScreenVertex> Quad(float l, float t, float r, float b)
{
    return {{l, t, 0, 1, 0xFFFFFFFF, 0, 0}, {r, t, 0, 1, 0xFFFFFFFF, 1, 0},
            {l, b, 0, 1, 0xFFFFFFFF, 0, 1}, {r, b, 0, 1, 0xFFFFFFFF, 1, 1}};
}

// A square of side s centred on (cx, cy), turned by 45 degrees.
std::vector<ScreenVertex> Diamond(float cx, float cy, float s)
{
    const float h = s / std::sqrt(2.0f);
    return {{cx, cy - h, 0, 1, 0xFFFFFFFF, 0, 0}, {cx + h, cy, 0, 1, 0xFFFFFFFF, 1, 0},
            {cx - h, cy, 0, 1, 0xFFFFFFFF, 0, 1}, {cx, cy + h, 0, 1, 0xFFFFFFFF, 1, 1}};
}

double Covered(const std::vector<ScreenVertex>& v, const FillMeter::Clip& clip, bool quads = true,
               PrimitiveType type = PrimitiveType::TriangleList)
{
    return FillMeter::Covered(type, quads, v.data(), sizeof(ScreenVertex), v.size(), clip);
}

// The same draws on either device: a clear, a quad half off the screen, a
// quad in a viewport, a strip and a line.
void DrawSample(IGraphicsDevice& device)
{
    device.SetTexture(0, 0);
    device.Clear(0xFF000000u);
    auto off = Quad(53.5f, 9.5f, 73.5f, 19.5f); // 20 x 10, half past the right edge
    device.DrawQuads(off.data(), off.size());
    device.SetViewport(0, 0, 15, 15);
    device.Clear(0xFF000000u);
    auto q = Quad(9.5f, 9.5f, 19.5f, 19.5f); // pixels 10..19: 5 x 5 inside the viewport
    device.DrawQuads(q.data(), q.size());
    device.SetViewport(0, 0, 64, 48);
    device.DrawPrimitives(PrimitiveType::TriangleStrip, q.data(), 4);
    device.DrawPrimitives(PrimitiveType::LineList, q.data(), 4);
}

// 64 x 48 clear, 10 x 10 of the quad, 15 x 15 clear, 5 x 5, 10 x 10 strip.
constexpr double kSampleFill = 64 * 48 + 10 * 10 + 15 * 15 + 5 * 5 + 10 * 10;

} // namespace

TEST(FillMeter, CountsCoveredPixelsWithinTheClip)
{
    const FillMeter::Clip screen{0, 0, 64, 48};
    // Pixel centres on whole numbers: 9.5 .. 19.5 covers pixels 10..19.
    EXPECT_DOUBLE_EQ(Covered(Quad(9.5f, 9.5f, 19.5f, 19.5f), screen), 100.0);
    // Cut by each edge; the far edges end at 63.5 and 47.5.
    EXPECT_DOUBLE_EQ(Covered(Quad(-10.5f, -5.5f, 4.5f, 4.5f), screen), 5.0 * 5.0);
    EXPECT_DOUBLE_EQ(Covered(Quad(59.5f, 43.5f, 79.5f, 59.5f), screen), 4.0 * 4.0);
    EXPECT_DOUBLE_EQ(Covered(Quad(63.5f, 0.0f, 70.0f, 10.0f), screen), 0.0);
    // A turned square keeps its area inside; cut through its centre, half.
    EXPECT_NEAR(Covered(Diamond(30.0f, 20.0f, 10.0f), screen), 100.0, 1e-3);
    EXPECT_NEAR(Covered(Diamond(-0.5f, 20.0f, 10.0f), screen), 50.0, 1e-3);
    // Several quads add up; a corner-ordered quad is not read as a bow tie.
    auto two = Quad(0.0f, 0.0f, 10.0f, 10.0f);
    auto more = Quad(20.0f, 20.0f, 30.0f, 25.0f);
    two.insert(two.end(), more.begin(), more.end());
    EXPECT_NEAR(Covered(two, screen), 100.0 + 50.0, 1e-9);
    // Triangles: a list and a strip over the same corners.
    auto q = Quad(9.5f, 9.5f, 19.5f, 19.5f);
    std::vector<ScreenVertex> list = {q[0], q[1], q[2], q[2], q[1], q[3]};
    EXPECT_DOUBLE_EQ(Covered(list, screen, false, PrimitiveType::TriangleList), 100.0);
    EXPECT_DOUBLE_EQ(Covered(q, screen, false, PrimitiveType::TriangleStrip), 100.0);
    EXPECT_DOUBLE_EQ(Covered(q, screen, false, PrimitiveType::LineList), 0.0);
    // The clip is the viewport within the target.
    const int viewport[4] = {-5, 10, 100, 20};
    const FillMeter::Clip c = FillMeter::ClipOf(viewport, 64, 48);
    EXPECT_EQ(c.left, 0);
    EXPECT_EQ(c.right, 64);
    EXPECT_DOUBLE_EQ(c.Area(), 64.0 * 10.0);
    EXPECT_DOUBLE_EQ(Covered(Quad(9.5f, 9.5f, 19.5f, 19.5f), c), 100.0);
    EXPECT_DOUBLE_EQ(Covered(Quad(9.5f, 0.0f, 19.5f, 15.5f), c), 10.0 * 6.0);
}

TEST(FillMeter, BoundNeverUndercountsAndStaysWithinTheDrawsBox)
{
    const FillMeter::Clip screen{0, 0, 64, 48};
    auto bound = [&](const std::vector<ScreenVertex>& v, bool quads = true) {
        return FillMeter::Bound(quads, v.data(), sizeof(ScreenVertex), v.size(), screen);
    };
    // Apart, quads add their boxes; a turned square counts its whole box.
    auto two = Quad(0.0f, 0.0f, 10.0f, 10.0f);
    auto more = Quad(20.0f, 20.0f, 30.0f, 25.0f);
    two.insert(two.end(), more.begin(), more.end());
    EXPECT_DOUBLE_EQ(bound(two), 100.0 + 50.0);
    EXPECT_NEAR(bound(Diamond(30.0f, 20.0f, 10.0f)), 200.0, 1e-3);
    // Stacked quads are capped by the draw's box, and that by the clip.
    auto stack = Quad(9.5f, 9.5f, 19.5f, 19.5f);
    stack.insert(stack.end(), stack.begin(), stack.end());
    EXPECT_DOUBLE_EQ(bound(stack), 100.0);
    EXPECT_DOUBLE_EQ(bound(Quad(-100.0f, -100.0f, 200.0f, 200.0f)), 64.0 * 48.0);
    EXPECT_DOUBLE_EQ(bound(Quad(63.5f, 0.0f, 70.0f, 10.0f)), 0.0);
    // A broken corner cannot hide a draw from the count.
    auto broken = Quad(0.0f, 0.0f, 10.0f, 10.0f);
    broken[1].x = std::nanf("");
    EXPECT_GT(bound(broken), 0.0);
}

TEST(FillMeter, HeadlessDeviceCountsOnlyWhenAsked)
{
    HeadlessGraphicsDevice device(64, 48);
    DrawSample(device);
    EXPECT_EQ(device.GetStats().pixelsFilled, 0.0);
    EXPECT_EQ(device.GetStats().verticesDrawn, 16);

    device.SetFillCounting(true);
    device.ResetStats();
    DrawSample(device);
    EXPECT_DOUBLE_EQ(device.GetStats().pixelsFilled, kSampleFill);

    // A render target clips to its own size, not the back buffer's.
    TextureHandle target = device.CreateRenderTarget(16, 16);
    ASSERT_TRUE(device.SetRenderTarget(target));
    device.ResetStats();
    device.Clear(0);
    auto big = Quad(-0.5f, -0.5f, 39.5f, 39.5f);
    device.DrawQuads(big.data(), big.size());
    EXPECT_DOUBLE_EQ(device.GetStats().pixelsFilled, 2.0 * 16 * 16);
}

TEST(GLFillMeter, TheRealDeviceCountsAsTheRecordingOne)
{
    GLTestContext gl;
    ASSERT_NO_FATAL_FAILURE(gl.Open("fill", 64, 48));
    IGraphicsDevice& device = *D3DEngine::GetInstance().GetDevice();
    ASSERT_FALSE(device.IsHeadless());
    device.SetFillCounting(true);
    device.ResetStats();
    DrawSample(device);
    EXPECT_DOUBLE_EQ(device.GetStats().pixelsFilled, kSampleFill);
    gl.Close();
}
