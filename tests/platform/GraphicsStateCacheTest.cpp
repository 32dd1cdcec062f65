#include "platform/HeadlessGraphicsDevice.h"

#include "engine/D3DEngine.h"
#include "support/GLTestContext.h"

#include <gtest/gtest.h>

namespace {

// Clears that repeat the last one on an untouched target never reach the
// device; anything drawn, copied or presented in between brings them back.
// Returns the clears the device issued at each step.
std::vector<int> ClearSequence(IGraphicsDevice& device, TextureHandle target)
{
    std::vector<int> issued;
    auto step = [&] { issued.push_back(device.GetStats().clears); };
    device.Clear(0xFF000000u);
    device.Clear(0xFF000000u); // the same again: skipped
    step();
    device.SetViewport(0, 0, 16, 16);
    device.Clear(0xFF000000u); // inside the cleared area: skipped
    device.Clear(0xFF102030u); // another colour
    step();
    device.SetViewport(0, 0, 64, 48);
    device.Clear(0xFF102030u); // more than the last clear covered
    step();
    device.SetRenderTarget(target);
    device.Clear(0xFF102030u); // another target
    device.SetRenderTarget(0);
    device.Clear(0xFF102030u); // the back buffer kept its clear meanwhile
    step();
    const ScreenVertex quad[4] = {{9.5f, 9.5f, 0, 1, 0xFFFFFFFFu, 0, 0}, {19.5f, 9.5f, 0, 1, 0xFFFFFFFFu, 1, 0},
                                  {9.5f, 19.5f, 0, 1, 0xFFFFFFFFu, 0, 1}, {19.5f, 19.5f, 0, 1, 0xFFFFFFFFu, 1, 1}};
    device.DrawQuads(quad, 4);
    device.Clear(0xFF102030u); // over a draw
    step();
    device.CopyBackBufferTo(target);
    device.SetRenderTarget(target);
    device.Clear(0xFF102030u); // the copy wrote the target
    device.SetRenderTarget(0);
    device.Present();
    device.Clear(0xFF102030u); // a swapped back buffer holds nothing known
    step();
    return issued;
}

const std::vector<int> kIssued = {1, 2, 3, 4, 5, 7};

} // namespace

TEST(GraphicsStateCache, RepeatedClearOfAnUntouchedTargetIsSkipped)
{
    HeadlessGraphicsDevice device(64, 48);
    TextureHandle target = device.CreateRenderTarget(32, 32);
    ASSERT_NE(target, 0u);
    EXPECT_EQ(ClearSequence(device, target), kIssued);
    // A destroyed target's handle is forgotten with its clear.
    GraphicsStateCache cache;
    cache.Reset();
    const FillMeter::Clip rect{0, 0, 8, 8};
    EXPECT_TRUE(cache.ClearChangesPixels(0u, rect));
    EXPECT_FALSE(cache.ClearChangesPixels(0u, rect));
    cache.Forget(0);
    EXPECT_TRUE(cache.ClearChangesPixels(0u, rect));
}

TEST(GLGraphicsStateCache, SkippedClearsLeaveThePictureTheyWouldHaveMade)
{
    GLTestContext gl;
    ASSERT_NO_FATAL_FAILURE(gl.Open("clears", 64, 48));
    IGraphicsDevice* device = D3DEngine::GetInstance().GetDevice();
    ASSERT_FALSE(device->IsHeadless());
    device->ResetStats();
    TextureHandle target = device->CreateRenderTarget(32, 32);
    ASSERT_NE(target, 0u);
    EXPECT_EQ(ClearSequence(*device, target), kIssued);
    // The last clear went through over whatever the swap left.
    std::vector<uint8_t> px;
    ASSERT_TRUE(device->ReadPixels(0, 12, 12, 1, 1, px));
    EXPECT_EQ(px, (std::vector<uint8_t>{0x10, 0x20, 0x30, 0xFF}));
    // A draw, then the same clear: the quad is gone.
    const ScreenVertex quad[4] = {{9.5f, 9.5f, 0, 1, 0xFFFFFFFFu, 0, 0}, {19.5f, 9.5f, 0, 1, 0xFFFFFFFFu, 1, 0},
                                  {9.5f, 19.5f, 0, 1, 0xFFFFFFFFu, 0, 1}, {19.5f, 19.5f, 0, 1, 0xFFFFFFFFu, 1, 1}};
    device->SetTexture(0, 0);
    device->DrawQuads(quad, 4);
    device->Clear(0xFF102030u);
    ASSERT_TRUE(device->ReadPixels(0, 12, 12, 1, 1, px));
    EXPECT_EQ(px, (std::vector<uint8_t>{0x10, 0x20, 0x30, 0xFF}));
    gl.Close();
}
