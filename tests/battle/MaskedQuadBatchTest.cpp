#include "battle/MaskedQuadBatch.h"

#include "engine/D3DEngine.h"
#include "engine/QuadRunBatch.h"
#include "engine/TextureAtlas.h"
#include "platform/DdsImage.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

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

class MaskedQuadBatchOrder : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto owned = std::make_unique<HeadlessGraphicsDevice>(640, 480);
        m_device = owned.get();
        ASSERT_TRUE(D3DEngine::GetInstance().Init(std::move(owned)));
        m_sheet = MakeTexture(*m_device);
        m_mask = MakeTexture(*m_device);
        m_colour = MakeTexture(*m_device);
        m_other = MakeTexture(*m_device);
    }
    void TearDown() override { D3DEngine::GetInstance().Release(); }

    void Sheet(float l, float t, float r, float b, bool additive = false)
    {
        ScreenVertex v[4];
        Quad(v, l, t, r, b);
        QuadRunBatch::Shared().Add(m_sheet, additive, v);
    }
    // One masked quad in its own Begin and End, as a ship's blast draws.
    void Masked(float l, float t, float r, float b, bool additive = true, TextureHandle colour = 0)
    {
        ScreenVertex v[4];
        Quad(v, l, t, r, b);
        ScreenVertex2 v2[4];
        SetMaskedCorners(v2, v, 255, 0, 0, 1, 1);
        MaskedQuadBatch& masked = MaskedQuadBatch::Shared();
        masked.Begin(MaskedQuadBatch::ColourFromStage1, false, additive);
        masked.Add(m_mask, colour ? colour : m_colour, v2);
        masked.End();
    }
    // Each draw: 'q' and its quad count for the sheet's runs, 'm' and its
    // quad count for masked draws.
    std::string Draws() const
    {
        std::string out;
        for (const auto& d : m_device->GetDraws())
            out += (d.twoTextures ? "m" : "q") + std::to_string(d.vertexCount / (d.twoTextures ? 6 : 4)) + " ";
        return out;
    }

    HeadlessGraphicsDevice* m_device = nullptr;
    TextureHandle m_sheet = 0, m_mask = 0, m_colour = 0, m_other = 0;
};

TEST_F(MaskedQuadBatchOrder, BlastsOverTheirOwnShipsWaitForTheRunsAndShareOneDraw)
{
    QuadRunBatch& quads = QuadRunBatch::Shared();
    quads.Begin(640, 480);
    // Three ships in a row, each with a blast over it: the ships in one
    // run, the blasts after them in one draw.
    for (float x : {10.0f, 110.0f, 210.0f}) {
        Sheet(x, 10, x + 40, 50);
        Masked(x - 5, 5, x + 45, 55);
    }
    EXPECT_EQ(quads.GetPaintedRunCount(), 1);
    EXPECT_TRUE(m_device->GetDraws().empty()) << "nothing drawn before the batch ends";
    // A masked batch that draws nothing waits for nothing.
    MaskedQuadBatch::Shared().Begin(MaskedQuadBatch::ColourFromStage1, false);
    MaskedQuadBatch::Shared().End();
    quads.End();
    EXPECT_EQ(Draws(), "q3 m3 ");
    ASSERT_EQ(m_device->GetDraws().size(), 2u);
    EXPECT_EQ(m_device->GetDraws()[1].texture, m_mask);
    EXPECT_EQ(m_device->GetDraws()[1].blend, BlendMode::Additive);
    EXPECT_EQ(m_device->GetDraws()[1].vertices[0].x, 5.0f) << "in call order";
    EXPECT_EQ(m_device->GetDraws()[1].vertices[17].x, 255.0f);
}

TEST_F(MaskedQuadBatchOrder, ANormalQuadReachingAWaitingBlastDrawsItFirstToThePixel)
{
    QuadRunBatch& quads = QuadRunBatch::Shared();
    // Both boxes keep a pixel's margin: a quad from 52.5 is clear of a
    // blast to 50.
    quads.Begin(640, 480);
    Sheet(10, 10, 40, 50);
    Masked(10, 10, 50, 50);
    Sheet(52.5f, 10, 90, 50);
    quads.End();
    EXPECT_EQ(Draws(), "q2 m1 ");

    m_device->ClearDraws();
    quads.Begin(640, 480);
    Sheet(10, 10, 40, 50);
    Masked(10, 10, 50, 50);
    Sheet(52, 10, 90, 50);
    EXPECT_EQ(Draws(), "q1 m1 ") << "reached: what waits goes out at once";
    EXPECT_EQ(quads.GetPaintedRunCount(), 0);
    quads.End();
    EXPECT_EQ(Draws(), "q1 m1 q1 ");
}

TEST_F(MaskedQuadBatchOrder, ABlastWaitsForABudgetOfQuadsNearItAndThenGoesOut)
{
    QuadRunBatch& quads = QuadRunBatch::Shared();
    const size_t budget = QuadRunBatch::kPaintWaitBudget;
    EXPECT_EQ(budget, 256u);
    // A quad that needs more room in its run is staged the long way, and
    // checked: the runs' room, kept between frames, is made first.
    quads.Begin(640, 480);
    for (size_t i = 0; i < 4 * budget; ++i)
        Sheet(300, 300, 310, 310);
    quads.End();
    m_device->ClearDraws();
    quads.Begin(640, 480);
    Sheet(10, 10, 50, 50);
    // Two blasts of one state, far apart: they wait as one draw.
    Masked(10, 10, 50, 50);
    Masked(200, 10, 240, 50);
    ASSERT_EQ(quads.GetPaintedRunCount(), 1);
    // Clear of the box of all that waits, quads join the run unchecked.
    for (size_t i = 0; i < 2 * budget; ++i)
        Sheet(300, 300, 310, 310);
    // Between the blasts each is checked, reaching neither, and counts.
    for (size_t i = 0; i < budget; ++i)
        Sheet(100, 20, 110, 30);
    EXPECT_EQ(quads.GetPaintedRunCount(), 1) << "still waiting after the budget's checks";
    EXPECT_TRUE(m_device->GetDraws().empty());
    Sheet(100, 20, 110, 30);
    EXPECT_EQ(quads.GetPaintedRunCount(), 0);
    EXPECT_EQ(Draws(), "q" + std::to_string(3 * budget + 1) + " m2 ");
    quads.End();
    EXPECT_EQ(Draws(), "q" + std::to_string(3 * budget + 1) + " m2 q1 ");
}

TEST_F(MaskedQuadBatchOrder, ACrowdOverOneAnothersBlastsSplitsALayerABoundedNumberOfTimes)
{
    QuadRunBatch& quads = QuadRunBatch::Shared();
    const int cap = QuadRunBatch::kMaxPaintSplits;
    ASSERT_EQ(cap, 6);
    // A row of ships, each over the blast and the masked hull piece of the
    // one before it: every ship reaches what waits.
    const auto crowd = [&](int ships) {
        m_device->ClearDraws();
        quads.Begin(640, 480);
        for (int i = 0; i < ships; ++i) {
            const float x = 10.0f + 20.0f * static_cast<float>(i);
            Sheet(x, 10, x + 30, 50);
            Masked(x - 5, 5, x + 35, 55);
            Masked(x, 10, x + 30, 50, false, m_other);
        }
        const int splits = quads.GetPaintSplitCount();
        quads.End();
        return splits;
    };
    std::string levels;
    for (int i = 0; i < cap; ++i)
        levels += "q1 m1 m1 ";
    // Up to the cap every reach splits the layer, in order.
    EXPECT_EQ(crowd(cap + 1), cap);
    EXPECT_EQ(Draws(), levels + "q1 m1 m1 ");
    // One ship more and the last level's masked draws wait for the end,
    // over the ship that reached them, each state in one draw.
    EXPECT_EQ(crowd(cap + 2), cap);
    EXPECT_EQ(Draws(), levels + "q2 m2 m2 ");
    // However large the crowd, the layer makes 3 draws a level.
    EXPECT_EQ(crowd(25), cap);
    EXPECT_EQ(Draws(), levels + "q" + std::to_string(25 - cap) + " m" + std::to_string(25 - cap) + " m" +
                           std::to_string(25 - cap) + " ");
    EXPECT_EQ(m_device->GetDraws().size(), static_cast<size_t>(3 * (cap + 1)));
    EXPECT_EQ(m_device->GetDraws().back().texture, m_mask);
    EXPECT_EQ(m_device->GetDraws().back().blend, BlendMode::Normal) << "the hull pieces last, as they came";

    // The next layer splits afresh.
    EXPECT_EQ(crowd(2), 1);
    EXPECT_EQ(Draws(), "q1 m1 m1 q1 m1 m1 ");
}

TEST_F(MaskedQuadBatchOrder, QuadsGivenTogetherOrAsAStripAreCheckedWhenTheyMayReachABlast)
{
    QuadRunBatch& quads = QuadRunBatch::Shared();
    ScreenVertex pair[8];
    const auto stagePair = [&](float left) {
        quads.Begin(640, 480);
        Sheet(10, 10, 40, 50);
        Masked(10, 10, 50, 50);
        Quad(pair, 300, 10, 310, 20);
        Quad(pair + 4, left, 10, left + 10, 20);
        quads.AddQuads(m_sheet, false, pair, 2);
        quads.End();
        return Draws();
    };
    EXPECT_EQ(stagePair(52.5f), "q3 m1 ") << "the second quad clear of the blast's margin";
    m_device->ClearDraws();
    EXPECT_EQ(stagePair(51.0f), "q2 m1 q1 ") << "the second quad reaches it: what waits goes out first";

    const auto stageStrip = [&](float far) {
        m_device->ClearDraws();
        quads.Begin(640, 480);
        Sheet(10, 10, 40, 50);
        Masked(10, 10, 50, 50);
        const QuadRunBatch::StripEdge edges[3] = {
            {300, 10, 310, 10, 0xFFFFFFFFu}, {300, 30, 310, 30, 0xFFFFFFFFu}, {far, 40, far + 10, 40, 0xFFFFFFFFu}};
        const float uv[4] = {0, 0, 1, 1};
        quads.AddStrip(m_sheet, false, edges, 3, uv);
        quads.End();
        return Draws();
    };
    EXPECT_EQ(stageStrip(60.0f), "q3 m1 ") << "the strip's last quad ends 9 pixels clear";
    EXPECT_EQ(stageStrip(40.0f), "q2 m1 q1 ") << "its last quad reaches the blast";
}

TEST_F(MaskedQuadBatchOrder, AdditiveDrawsPassAdditiveBlastsButNotMaskedHullPieces)
{
    QuadRunBatch& quads = QuadRunBatch::Shared();
    // Additive over an additive blast adds the same in either order.
    quads.Begin(640, 480);
    Sheet(10, 10, 50, 50);
    Masked(10, 10, 50, 50);
    Sheet(20, 20, 30, 30, true);
    quads.End();
    EXPECT_EQ(Draws(), "q2 m1 ");

    // Hull pieces cut by a mask blend normally: nothing over them passes.
    m_device->ClearDraws();
    quads.Begin(640, 480);
    Sheet(10, 10, 50, 50);
    Masked(10, 10, 50, 50, false);
    Sheet(20, 20, 30, 30, true);
    quads.End();
    EXPECT_EQ(Draws(), "q1 m1 q1 ");
    EXPECT_EQ(m_device->GetDraws()[1].blend, BlendMode::Normal);
}

TEST_F(MaskedQuadBatchOrder, AMaskedDrawJoinsItsStateUnlessAnotherStateBetweenMayOverlapIt)
{
    QuadRunBatch& quads = QuadRunBatch::Shared();
    // Normal masked draws of two states over one place: three draws, in order.
    quads.Begin(640, 480);
    Masked(10, 10, 50, 50, false);
    Masked(20, 20, 60, 60, false, m_other);
    Masked(30, 30, 70, 70, false);
    EXPECT_EQ(quads.GetPaintedRunCount(), 3);
    quads.End();
    ASSERT_EQ(Draws(), "m1 m1 m1 ");
    EXPECT_EQ(m_device->GetDraws()[1].vertices[0].x, 20.0f);

    // The other state elsewhere: the third joins the first.
    m_device->ClearDraws();
    quads.Begin(640, 480);
    Masked(10, 10, 50, 50, false);
    Masked(200, 20, 240, 60, false, m_other);
    Masked(30, 30, 70, 70, false);
    quads.End();
    EXPECT_EQ(Draws(), "m2 m1 ");

    // Additive ones pass each other wherever they lie.
    m_device->ClearDraws();
    quads.Begin(640, 480);
    Masked(10, 10, 50, 50);
    Masked(20, 20, 60, 60, true, m_other);
    Masked(30, 30, 70, 70);
    quads.End();
    EXPECT_EQ(Draws(), "m2 m1 ");
}

TEST_F(MaskedQuadBatchOrder, OutsideTheBatchOrInTheInterfaceMaskedQuadsDrawAtOnce)
{
    QuadRunBatch& quads = QuadRunBatch::Shared();
    Masked(10, 10, 50, 50);
    EXPECT_EQ(Draws(), "m1 ");

    m_device->ClearDraws();
    quads.BeginInterface(640, 480);
    Sheet(10, 10, 50, 50);
    Masked(100, 100, 140, 140);
    EXPECT_EQ(Draws(), "q1 m1 ") << "the interface's quads first";
    EXPECT_EQ(quads.GetPaintedRunCount(), 0);
    quads.EndInterface();

    // A draw past the batch asks whether a waiting blast lies under it.
    m_device->ClearDraws();
    quads.Begin(640, 480);
    Masked(10, 10, 50, 50);
    EXPECT_TRUE(quads.MayCover(50, 50, 60, 60));
    EXPECT_FALSE(quads.MayCover(51.5f, 10, 60, 60));
    quads.End();
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
