#include "battle/MaskedQuadBatch.h"

#include "engine/D3DEngine.h"
#include "engine/QuadRunBatch.h"
#include "engine/TextureAtlas.h"
#include "platform/DdsImage.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TextureHandle MakeTexture(IGraphicsDevice& device)
{
    TextureData data;
    data.width = data.height = 4;
    data.levels.push_back(std::vector<uint8_t>(64, 0xFF));
    return device.CreateTexture(data);
}

void Quad(ScreenVertex v[4], float l, float t, float r, float b)
{
    v[0] = {l, t, 0, 1, 0xFFFFFFFFu, 0, 0};
    v[1] = {r, t, 0, 1, 0xFFFFFFFFu, 1, 0};
    v[2] = {l, b, 0, 1, 0xFFFFFFFFu, 0, 1};
    v[3] = {r, b, 0, 1, 0xFFFFFFFFu, 1, 1};
}

} // namespace

TEST(MaskedQuadBatch, DrawsAfterTheQuadsCollectedBeforeItAndBreaksNoRunWhenItDrawsNothing)
{
    auto owned = std::make_unique<HeadlessGraphicsDevice>(640, 480);
    HeadlessGraphicsDevice& device = *owned;
    D3DEngine& engine = D3DEngine::GetInstance();
    ASSERT_TRUE(engine.Init(std::move(owned)));
    const TextureHandle sheet = MakeTexture(device), mask = MakeTexture(device), colour = MakeTexture(device);
    QuadRunBatch& quads = QuadRunBatch::Shared();
    MaskedQuadBatch& masked = MaskedQuadBatch::Shared();
    ScreenVertex v[4];
    ScreenVertex2 v2[4] = {};

    quads.Begin(640, 480);
    Quad(v, 10, 10, 50, 50);
    quads.Add(sheet, false, v);
    masked.Begin(MaskedQuadBatch::ColourFromStage1, false);
    masked.End(); // nothing on screen: no draw, no flush
    Quad(v, 100, 10, 140, 50);
    quads.Add(sheet, false, v);
    EXPECT_TRUE(device.GetDraws().empty());

    // Over the second quad: the staged quads go out first.
    Quad(v, 139.5f, 40, 160, 60);
    SetMaskedCorners(v2, v, 255, 0, 0, 1, 1);
    masked.Begin(MaskedQuadBatch::ColourFromStage1, false);
    masked.Add(mask, colour, v2);
    masked.End();
    Quad(v, 10, 10, 50, 50);
    quads.Add(sheet, false, v);
    quads.End();

    const auto& draws = device.GetDraws();
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].texture, sheet);
    EXPECT_EQ(draws[0].vertexCount, 8u) << "both quads before the masked one in one run";
    EXPECT_TRUE(draws[1].twoTextures);
    EXPECT_EQ(draws[1].texture, mask);
    EXPECT_EQ(draws[2].texture, sheet);
    EXPECT_EQ(draws[2].vertexCount, 4u);
    engine.Release();
}

TEST(MaskedQuadBatch, MaskedQuadsClearOfEveryStagedQuadGoFirstAndLeaveTheRunsWhole)
{
    auto owned = std::make_unique<HeadlessGraphicsDevice>(640, 480);
    HeadlessGraphicsDevice& device = *owned;
    D3DEngine& engine = D3DEngine::GetInstance();
    ASSERT_TRUE(engine.Init(std::move(owned)));
    const TextureHandle sheet = MakeTexture(device), mask = MakeTexture(device), colour = MakeTexture(device);
    QuadRunBatch& quads = QuadRunBatch::Shared();
    MaskedQuadBatch& masked = MaskedQuadBatch::Shared();
    ScreenVertex v[4];
    ScreenVertex2 v2[8];
    auto maskedOver = [&](float l, float t, float r, float b) {
        Quad(v, l, t, r, b);
        SetMaskedCorners(v2, v, 255, 0, 0, 1, 1);
        // A second quad of the batch far off: the box of both is asked.
        Quad(v, 600, 400, 610, 410);
        SetMaskedCorners(v2 + 4, v, 255, 0, 0, 1, 1);
        masked.Begin(MaskedQuadBatch::ColourFromStage1, false);
        masked.Add(mask, colour, v2);
        masked.Add(mask, colour, v2 + 4);
        masked.End();
    };

    quads.Begin(640, 480);
    Quad(v, 10, 10, 50, 50);
    quads.Add(sheet, false, v);
    maskedOver(51.5f, 10, 90, 50); // past the staged quad's box (a pixel beyond it)
    Quad(v, 60, 20, 80, 40);
    quads.Add(sheet, false, v); // over the masked quad: drawn after it
    maskedOver(100, 100, 140, 140); // clear of both
    quads.End();
    {
        const auto& draws = device.GetDraws();
        ASSERT_EQ(draws.size(), 3u);
        EXPECT_TRUE(draws[0].twoTextures);
        EXPECT_EQ(draws[0].vertexCount, 12u) << "two quads, as triangles";
        EXPECT_TRUE(draws[1].twoTextures);
        EXPECT_EQ(draws[2].texture, sheet);
        EXPECT_EQ(draws[2].vertexCount, 8u) << "the staged quads in one run, after the masked ones";
    }

    // A pixel nearer, the staged quad may reach under it: it goes out first.
    device.ClearDraws();
    quads.Begin(640, 480);
    Quad(v, 10, 10, 50, 50);
    quads.Add(sheet, false, v);
    maskedOver(51, 10, 90, 50);
    quads.End();
    const auto& draws = device.GetDraws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].texture, sheet);
    EXPECT_TRUE(draws[1].twoTextures);
    engine.Release();
}

TEST(MaskedQuadBatch, AClampedMaskOnTheAtlasIsReadFromItsPageAndTheColourStaysBound)
{
    TempDir dir;
    const std::vector<uint8_t> white(8 * 8 * 4, 0xFF);
    dir.Write("mask.dds", WriteDdsBGRA(8, 8, white.data()));
    auto owned = std::make_unique<HeadlessGraphicsDevice>(640, 480);
    HeadlessGraphicsDevice& device = *owned;
    D3DEngine& engine = D3DEngine::GetInstance();
    ASSERT_TRUE(engine.Init(std::move(owned)));
    engine.ClearTextureFolders();
    engine.LoadTextureFolder(dir.Path());
    const TextureHandle mask = engine.FindTexture("mask.dds"), colour = MakeTexture(device);
    TextureAtlas& atlas = TextureAtlas::Shared();
    ASSERT_EQ(atlas.Build({"mask.dds"}), 1);
    MaskedQuadBatch& masked = MaskedQuadBatch::Shared();
    ScreenVertex v[4];
    Quad(v, 10, 10, 50, 50);
    ScreenVertex2 v2[4];
    SetMaskedCorners(v2, v, 255, 0, 0, 1, 1);

    device.ResetStats();
    masked.Begin(MaskedQuadBatch::ColourFromStage1, false);
    masked.Add(mask, colour, v2);
    masked.End();
    masked.Begin(MaskedQuadBatch::ColourFromStage1, false);
    masked.Add(mask, colour, v2);
    masked.End();
    // Repeating masks read past their picture: they keep their texture.
    masked.Begin(MaskedQuadBatch::ColourFromStage1, true);
    masked.Add(mask, colour, v2);
    masked.End();

    const auto& draws = device.GetDraws();
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_NE(draws[0].texture, mask);
    EXPECT_TRUE(atlas.Contains(mask));
    ScreenVertex onPage[4];
    ASSERT_EQ(atlas.Map(mask, v, onPage), draws[0].texture);
    EXPECT_FLOAT_EQ(draws[0].vertices[5].u, onPage[3].u) << "the last corner, moved onto the tile";
    EXPECT_FLOAT_EQ(draws[0].vertices[5].v, onPage[3].v);
    EXPECT_EQ(draws[2].texture, mask);
    // The page, the colour once for both clamped draws, then the mask.
    EXPECT_EQ(device.GetStats().textureBinds, 3);
    EXPECT_EQ(device.GetState().Texture(1), colour);
    MaskedQuadBatch::ReleaseSecondStage();
    EXPECT_EQ(device.GetState().Texture(1), 0u);
    atlas.Clear();
    engine.ClearTextureFolders();
    engine.Release();
}
