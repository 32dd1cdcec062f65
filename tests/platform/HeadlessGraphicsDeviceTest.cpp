#include "platform/HeadlessGraphicsDevice.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

TextureData SolidTexture(int w, int h)
{
    TextureData d;
    d.width = w;
    d.height = h;
    d.levels.push_back(std::vector<uint8_t>(size_t(w) * h * 4, 0xFF));
    return d;
}

std::vector<ScreenVertex> Quad(float l, float t, float r, float b)
{
    return {{l, t, 0, 1, 0xFFFFFFFF, 0, 0}, {r, t, 0, 1, 0xFFFFFFFF, 1, 0},
            {l, b, 0, 1, 0xFFFFFFFF, 0, 1}, {r, b, 0, 1, 0xFFFFFFFF, 1, 1}};
}

} // namespace

TEST(HeadlessGraphicsDevice, SkipsRedundantStateChanges)
{
    HeadlessGraphicsDevice dev(800, 600);
    // The defaults are normal blending with alpha blend and test on.
    dev.SetBlendMode(BlendMode::Normal);
    dev.SetAlphaBlend(true);
    dev.SetAlphaTest(true);
    dev.SetSampler(0, TextureFilter::Linear, TextureAddress::Clamp);
    EXPECT_EQ(dev.GetStats().blendChanges, 0);
    EXPECT_EQ(dev.GetStats().stateChanges, 0);

    dev.SetBlendMode(BlendMode::Additive);
    dev.SetBlendMode(BlendMode::Additive);
    EXPECT_EQ(dev.GetStats().blendChanges, 1);
    dev.SetSampler(0, TextureFilter::Point, TextureAddress::Clamp);
    dev.SetSampler(0, TextureFilter::Point, TextureAddress::Clamp);
    dev.SetSampler(1, TextureFilter::Point, TextureAddress::Clamp);
    dev.SetSampler(7, TextureFilter::Point, TextureAddress::Wrap); // no such stage
    EXPECT_EQ(dev.GetStats().stateChanges, 2);

    TextureHandle t = dev.CreateTexture(SolidTexture(4, 4));
    ASSERT_NE(t, 0u);
    dev.SetTexture(0, t);
    dev.SetTexture(0, t);
    dev.SetTexture(0, 0);
    dev.SetTexture(0, 0);
    EXPECT_EQ(dev.GetStats().textureBinds, 2);

    dev.ResetStats();
    EXPECT_EQ(dev.GetStats().textureBinds, 0);
}

TEST(HeadlessGraphicsDevice, CountsDrawsAndRecordsState)
{
    HeadlessGraphicsDevice dev(800, 600);
    TextureHandle t = dev.CreateTexture(SolidTexture(8, 8));
    dev.SetTexture(0, t);
    auto q = Quad(9.5f, 9.5f, 19.5f, 19.5f);
    dev.DrawQuads(q.data(), 4);
    dev.DrawQuads(q.data(), 3); // not a whole quad: nothing drawn
    dev.DrawPrimitives(PrimitiveType::TriangleStrip, q.data(), 4);
    dev.DrawPrimitives(PrimitiveType::LineList, q.data(), 3); // one whole line
    EXPECT_EQ(dev.GetStats().drawCalls, 3);
    EXPECT_EQ(dev.GetStats().verticesDrawn, 10);
    ASSERT_EQ(dev.GetDraws().size(), 3u);
    EXPECT_TRUE(dev.GetDraws()[0].quads);
    EXPECT_EQ(dev.GetDraws()[0].texture, t);
    EXPECT_FLOAT_EQ(dev.GetDraws()[0].vertices[3].x, 19.5f);
    EXPECT_EQ(dev.GetDraws()[2].vertexCount, 2u);
}

TEST(HeadlessGraphicsDevice, DestroyedTextureIsUnboundAndStaleHandlesBindNothing)
{
    HeadlessGraphicsDevice dev(64, 64);
    TextureHandle a = dev.CreateTexture(SolidTexture(2, 2));
    dev.SetTexture(0, a);
    dev.DestroyTexture(a);
    EXPECT_EQ(dev.GetState().Texture(0), 0u);
    dev.SetTexture(0, a);
    EXPECT_EQ(dev.GetState().Texture(0), 0u);
    TextureHandle b = dev.CreateTexture(SolidTexture(2, 2));
    EXPECT_NE(a, b); // handles are never reused
    EXPECT_EQ(dev.GetStats().texturesCreated, 2);
    EXPECT_EQ(dev.GetStats().texturesDestroyed, 1);
    int w = 0, h = 0;
    EXPECT_FALSE(dev.GetTextureSize(a, w, h));
    EXPECT_TRUE(dev.GetTextureSize(b, w, h));
    EXPECT_EQ(w, 2);
}

TEST(HeadlessGraphicsDevice, RejectsBrokenTextureData)
{
    HeadlessGraphicsDevice dev(64, 64);
    TextureData d = SolidTexture(4, 4);
    d.levels[0].pop_back();
    EXPECT_EQ(dev.CreateTexture(d), 0u);
    EXPECT_FALSE(dev.GetLastError().empty());
    EXPECT_EQ(dev.CreateTexture(TextureData{}), 0u);
    TextureData tooManyLevels = SolidTexture(1, 1);
    tooManyLevels.levels.push_back(tooManyLevels.levels[0]);
    EXPECT_EQ(dev.CreateTexture(tooManyLevels), 0u);
    EXPECT_EQ(dev.CreateRenderTarget(0, 10), 0u);
    EXPECT_EQ(dev.CreateRenderTarget(100000, 10), 0u);
}

TEST(HeadlessGraphicsDevice, RenderTargetsSwitchAndResetTheViewport)
{
    HeadlessGraphicsDevice dev(800, 600);
    TextureHandle tex = dev.CreateTexture(SolidTexture(4, 4));
    TextureHandle rt = dev.CreateRenderTarget(256, 128);
    ASSERT_NE(rt, 0u);
    EXPECT_FALSE(dev.SetRenderTarget(tex)); // an ordinary texture is no target
    EXPECT_FALSE(dev.SetRenderTarget(999));
    EXPECT_TRUE(dev.SetRenderTarget(rt));
    EXPECT_TRUE(dev.SetRenderTarget(rt));
    EXPECT_EQ(dev.GetStats().renderTargetSwitches, 1);
    int l, t, r, b;
    dev.GetViewport(l, t, r, b);
    EXPECT_EQ(r, 256);
    EXPECT_EQ(b, 128);
    dev.DestroyTexture(rt); // destroying the current target falls back to the back buffer
    EXPECT_EQ(dev.GetState().Target(), 0u);
    dev.GetViewport(l, t, r, b);
    EXPECT_EQ(r, 800);
    EXPECT_EQ(b, 600);
}

TEST(HeadlessGraphicsDevice, ReadsBlackOpaquePixelsWithinBounds)
{
    HeadlessGraphicsDevice dev(32, 16);
    std::vector<uint8_t> px;
    ASSERT_TRUE(dev.ReadPixels(0, 30, 14, 2, 2, px));
    ASSERT_EQ(px.size(), 16u);
    EXPECT_EQ(px[0], 0);
    EXPECT_EQ(px[3], 255);
    EXPECT_FALSE(dev.ReadPixels(0, 31, 0, 2, 1, px));
    EXPECT_FALSE(dev.ReadPixels(0, -1, 0, 1, 1, px));
    EXPECT_FALSE(dev.ReadPixels(0, 0, 0, 0, 1, px));
    TextureHandle rt = dev.CreateRenderTarget(8, 8);
    EXPECT_TRUE(dev.ReadPixels(rt, 0, 0, 8, 8, px));
    EXPECT_TRUE(dev.CopyBackBufferTo(rt));
    EXPECT_FALSE(dev.CopyBackBufferTo(0));
    // A region copy stays inside both textures, up to their last texel.
    TextureHandle other = dev.CreateRenderTarget(4, 6);
    EXPECT_TRUE(dev.CopyTargetRegion(rt, 6, 5, 2, 3, other, 2, 3));
    EXPECT_FALSE(dev.CopyTargetRegion(rt, 7, 5, 2, 3, other, 0, 0));
    EXPECT_FALSE(dev.CopyTargetRegion(rt, 0, 0, 2, 3, other, 2, 4));
    EXPECT_FALSE(dev.CopyTargetRegion(rt, 0, 0, 0, 3, other, 0, 0));
    EXPECT_FALSE(dev.CopyTargetRegion(rt, -1, 0, 1, 1, other, 0, 0));
    EXPECT_FALSE(dev.CopyTargetRegion(0, 0, 0, 1, 1, other, 0, 0)) << "the back buffer is no texture";
    EXPECT_EQ(dev.GetRegionCopies(), 1);
}

TEST(HeadlessGraphicsDevice, EffectsNeedShaderSupportAndAFragmentFile)
{
    TempDir dir;
    dir.Write("glow.frag", "void main() {}\n");
    HeadlessGraphicsDevice noShaders(64, 64);
    EXPECT_EQ(noShaders.LoadEffect(dir.File("glow")), 0u);

    HeadlessGraphicsDevice dev(64, 64, true);
    EXPECT_EQ(dev.LoadEffect(dir.File("missing")), 0u);
    EffectHandle e = dev.LoadEffect(dir.File("glow"));
    ASSERT_NE(e, 0u);
    dev.SetEffectFloat(e, "strength", 0.75f);
    float v = 0;
    ASSERT_TRUE(dev.GetEffectFloat(e, "strength", v));
    EXPECT_FLOAT_EQ(v, 0.75f);
    dev.SetEffect(e);
    dev.SetEffect(e);
    EXPECT_EQ(dev.GetStats().stateChanges, 1);
    dev.DestroyEffect(e);
    EXPECT_EQ(dev.GetState().Effect(), 0u);
}
