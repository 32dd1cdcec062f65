#include "engine/QuadRunBatch.h"

#include "engine/BaseSprite.h"
#include "engine/D3DEngine.h"
#include "engine/VisibleBoxes.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "support/GLTestContext.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

namespace {

struct QuadAt {
    ScreenVertex v[4];
    QuadAt(float l, float t, float r, float b, uint32_t colour = 0xFFFFFFFFu)
        : v{{l, t, 0, 1, colour, 0, 0}, {r, t, 0, 1, colour, 1, 0}, {l, b, 0, 1, colour, 0, 1}, {r, b, 0, 1, colour, 1, 1}}
    {
    }
};

class QuadRunBatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto device = std::make_unique<HeadlessGraphicsDevice>(640, 480, true);
        m_device = device.get();
        ASSERT_TRUE(D3DEngine::GetInstance().Init(std::move(device)));
    }
    void TearDown() override { D3DEngine::GetInstance().Release(); }

    TextureHandle MakeTexture()
    {
        TextureData data;
        data.width = data.height = 4;
        data.levels.push_back(std::vector<uint8_t>(64, 0xFF));
        return m_device->CreateTexture(data);
    }

    // The draws after the batch: texture, blend and quad count of each.
    std::vector<std::tuple<TextureHandle, BlendMode, size_t>> Draws() const
    {
        std::vector<std::tuple<TextureHandle, BlendMode, size_t>> out;
        for (const auto& d : m_device->GetDraws())
            out.emplace_back(d.texture, d.blend, d.vertexCount / 4);
        return out;
    }

    HeadlessGraphicsDevice* m_device = nullptr;
    QuadRunBatch m_batch;
};

using D = std::tuple<TextureHandle, BlendMode, size_t>;
constexpr auto N = BlendMode::Normal;
constexpr auto A = BlendMode::Additive;
constexpr auto P = BlendMode::Premultiplied;

} // namespace

TEST_F(QuadRunBatchTest, QuadsJoinAnEarlierRunOnlyWhenNothingBetweenCoversThem)
{
    const TextureHandle hullA = MakeTexture(), hullB = MakeTexture(), glow = MakeTexture();
    m_batch.Begin(640, 480);
    m_batch.Add(hullA, false, QuadAt(10, 10, 50, 50).v);
    m_batch.Add(glow, true, QuadAt(10, 10, 50, 50).v);     // over the first hull
    m_batch.Add(hullA, false, QuadAt(300, 10, 340, 50).v); // clear of the glow: joins the first run
    m_batch.Add(hullB, false, QuadAt(300, 300, 340, 340).v);
    m_batch.Add(hullA, false, QuadAt(20, 20, 60, 60).v);  // under the glow's cells: must stay behind it
    m_batch.Add(glow, true, QuadAt(330, 330, 360, 360).v); // over hull B, whose run is newer than the first glow's
    EXPECT_TRUE(m_device->GetDraws().empty()) << "nothing is drawn before the flush";
    m_batch.End();
    EXPECT_EQ(Draws(), (std::vector<D>{{hullA, N, 2}, {glow, A, 1}, {hullB, N, 1}, {hullA, N, 1}, {glow, A, 1}}));
    EXPECT_EQ(m_batch.GetLastRunCount(), 5);
    // The vertices keep their own colour and order inside a run.
    EXPECT_FLOAT_EQ(m_device->GetDraws()[0].vertices[4].x, 300.0f);
    EXPECT_EQ(D3DEngine::GetInstance().IsAdditive(), false) << "a batch leaves normal blending behind";
}

TEST_F(QuadRunBatchTest, OverlapIsJudgedOnTheBoxesOfTheLatestFourRunsOfACellWithAPixelsMargin)
{
    const TextureHandle a = MakeTexture(), b = MakeTexture();
    auto runs = [&](std::initializer_list<std::pair<TextureHandle, QuadAt>> quads) {
        m_device->ClearDraws();
        m_batch.Begin(640, 480);
        for (const auto& [texture, quad] : quads)
            m_batch.Add(texture, false, quad.v);
        m_batch.End();
        return m_batch.GetLastRunCount();
    };
    // Side by side in one 32-pixel cell (escape pods): the second a joins
    // the first, in front of b, which it does not touch.
    EXPECT_EQ(runs({{a, QuadAt(0, 0, 10, 10)}, {b, QuadAt(20, 0, 31, 10)}, {a, QuadAt(0, 20, 10, 30)}}), 2);
    EXPECT_EQ(Draws(), (std::vector<D>{{a, N, 2}, {b, N, 1}}));
    // Boxes closer than a pixel each count as overlapping.
    EXPECT_EQ(runs({{a, QuadAt(0, 0, 10, 10)}, {b, QuadAt(12, 12, 20, 20)}, {a, QuadAt(0, 12, 10, 20)}}), 3);
    EXPECT_EQ(runs({{a, QuadAt(0, 0, 10, 10)}, {b, QuadAt(12.5f, 12, 20, 20)}, {a, QuadAt(0, 12, 10, 20)}}), 2);
    // A corner that is not a number overlaps everything.
    QuadAt broken(300, 300, 310, 310);
    broken.v[2].x = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(runs({{a, QuadAt(0, 0, 10, 10)}, {b, broken}, {a, QuadAt(600, 440, 610, 450)}}), 3);

    // A cell keeps the boxes of its latest four runs; older ones block
    // every other texture in the whole cell.
    std::vector<TextureHandle> others;
    for (int i = 0; i < 5; ++i)
        others.push_back(MakeTexture());
    auto crowded = [&](int count) {
        m_device->ClearDraws();
        m_batch.Begin(640, 480);
        m_batch.Add(a, false, QuadAt(0, 0, 3, 3).v);
        for (int i = 0; i < count; ++i) // small specks along the diagonal
            m_batch.Add(others[static_cast<size_t>(i)], false, QuadAt(6.0f + 5 * i, 6.0f + 5 * i, 8.0f + 5 * i, 8.0f + 5 * i).v);
        m_batch.Add(a, false, QuadAt(0, 26, 3, 29).v); // touches none of them
        m_batch.End();
        return m_batch.GetLastRunCount();
    };
    EXPECT_EQ(crowded(4), 5) << "the first a was folded, but its own texture does not block";
    EXPECT_EQ(crowded(5), 7) << "the first speck was folded: it may lie anywhere in the cell";
}

TEST_F(QuadRunBatchTest, WhatMayCoverABoxIsTheStagedQuadsBoxesWithTheirMarginOrAFoldedRun)
{
    const TextureHandle a = MakeTexture(), b = MakeTexture();
    m_batch.Begin(640, 480);
    EXPECT_FALSE(m_batch.MayCover(0, 0, 640, 480)) << "nothing staged";
    m_batch.Add(a, false, QuadAt(100, 100, 140, 140).v);
    m_batch.Add(b, false, QuadAt(300, 100, 340, 140).v);
    // A staged quad's box reaches a pixel past its corners.
    EXPECT_TRUE(m_batch.MayCover(141, 120, 150, 130));
    EXPECT_FALSE(m_batch.MayCover(141.5f, 120, 150, 130));
    EXPECT_TRUE(m_batch.MayCover(320, 80, 330, 99)) << "the second run's quad";
    EXPECT_FALSE(m_batch.MayCover(320, 80, 330, 98.5f));
    EXPECT_TRUE(m_batch.MayCover(0, 0, 640, 480));
    EXPECT_TRUE(m_batch.MayCover(std::numeric_limits<float>::quiet_NaN(), 0, 10, 10)) << "not a number";
    // Asking notes what is pending: the quads staged after join their runs as before.
    m_batch.Add(a, false, QuadAt(100, 200, 140, 240).v);
    EXPECT_TRUE(m_batch.MayCover(120, 241, 130, 250));
    m_batch.Flush();
    EXPECT_FALSE(m_batch.MayCover(0, 0, 640, 480)) << "drawn: nothing left to cover";
    m_batch.End();
    EXPECT_EQ(Draws(), (std::vector<D>{{a, N, 2}, {b, N, 1}}));

    // Once in the cells (a quad that may join an earlier run puts them
    // there), a cell's folded runs keep no box: anywhere in it may be covered.
    std::vector<TextureHandle> others;
    for (int i = 0; i < 5; ++i)
        others.push_back(MakeTexture());
    m_batch.Begin(640, 480);
    m_batch.Add(a, false, QuadAt(0, 0, 3, 3).v);
    for (int i = 0; i < 5; ++i)
        m_batch.Add(others[static_cast<size_t>(i)], false, QuadAt(6.0f + 5 * i, 6.0f + 5 * i, 8.0f + 5 * i, 8.0f + 5 * i).v);
    EXPECT_FALSE(m_batch.MayCover(10, 2, 12, 4)) << "clear of every quad";
    m_batch.Add(a, false, QuadAt(0, 26, 3, 29).v);
    EXPECT_TRUE(m_batch.MayCover(10, 2, 12, 4)) << "the first run was folded";
    EXPECT_FALSE(m_batch.MayCover(10, 34, 12, 36)) << "the next cell down";
    m_batch.End();

    // Quads not yet in the cells are looked at one by one, up to a budget.
    const auto farQuads = [&](size_t count) {
        m_batch.Begin(640, 480);
        for (size_t i = 0; i < count; ++i)
            m_batch.Add(a, false, QuadAt(400, 400, 410, 410).v);
        const bool covers = m_batch.MayCover(10, 10, 20, 20);
        m_batch.End();
        return covers;
    };
    EXPECT_FALSE(farQuads(QuadRunBatch::kCoverLookBudget));
    EXPECT_TRUE(farQuads(QuadRunBatch::kCoverLookBudget + 1)) << "past the budget: assumed covered";
    EXPECT_EQ(QuadRunBatch::kCoverLookBudget, 256u);
}

TEST_F(QuadRunBatchTest, QuadsGivenTogetherAreJudgedByTheBoxOfAllOfThemPendingOrInTheCells)
{
    const TextureHandle a = MakeTexture();
    // Two markers far apart given together, as the mini-map gives its icons.
    const QuadAt left(100, 100, 110, 110), right(200, 100, 210, 110);
    ScreenVertex markers[8];
    std::copy(left.v, left.v + 4, markers);
    std::copy(right.v, right.v + 4, markers + 4);
    const auto stage = [&](float top) {
        m_batch.Begin(640, 480);
        m_batch.Add(a, false, QuadAt(300, 300, 310, 310).v);
        m_batch.AddFilled(false, markers, 8);
        // Pending: one box from the first marker to the second, a pixel wider.
        EXPECT_TRUE(m_batch.MayCover(150, 111, 160, 120)) << "between them, on the margin";
        EXPECT_FALSE(m_batch.MayCover(150, 111.5f, 160, 120)) << "past the margin";
        // A quad that may join the first run puts the group in the cells.
        m_batch.Add(a, false, QuadAt(150, top, 160, top + 10).v);
        m_batch.End();
        return Draws();
    };
    EXPECT_EQ(stage(101), (std::vector<D>{{a, N, 1}, {0, N, 2}, {a, N, 1}})) << "between the markers: in the box";
    m_device->ClearDraws();
    EXPECT_EQ(stage(113), (std::vector<D>{{a, N, 2}, {0, N, 2}})) << "below the box: joins the first run";
}

TEST_F(QuadRunBatchTest, AQuadJoiningTheNewestRunGrowsItsBoxInEveryCellItTouches)
{
    // Cells of 32 pixels from screen 0: these lie in the block of cells 32..96
    // on both axes. A speck of b in one corner cell; a's first quad covers
    // the whole block clear of it; a's second reaches further into that
    // corner cell; a second speck of b touches only that reach, so it must
    // not join the first speck's run behind a.
    const TextureHandle a = MakeTexture(), b = MakeTexture();
    auto runs = [&](bool flipX, bool flipY, float secondRight, float secondBottom) {
        auto at = [&](float l, float t, float r, float bottom) {
            const float x0 = flipX ? 128 - r : l, x1 = flipX ? 128 - l : r;
            const float y0 = flipY ? 128 - bottom : t, y1 = flipY ? 128 - t : bottom;
            return QuadAt(x0, y0, x1, y1);
        };
        m_device->ClearDraws();
        m_batch.Begin(640, 480);
        m_batch.Add(b, false, at(80, 80, 84, 84).v);
        m_batch.Add(a, false, at(40, 40, 70, 70).v);
        m_batch.Add(a, false, at(40, 40, secondRight, secondBottom).v);
        m_batch.Add(b, false, at(secondRight - 4, 70, secondRight, 74).v);
        m_batch.End();
        return m_batch.GetLastRunCount();
    };
    for (const bool flipX : {false, true})
        for (const bool flipY : {false, true})
            EXPECT_EQ(runs(flipX, flipY, 90, 74), 3) << "two by two cells, corner " << flipX << flipY;
    EXPECT_EQ(runs(false, false, 100, 74), 3) << "three cells wide";
    // One column of two cells: the speck below a's first quad.
    m_device->ClearDraws();
    m_batch.Begin(640, 480);
    m_batch.Add(b, false, QuadAt(50, 80, 54, 84).v);
    m_batch.Add(a, false, QuadAt(40, 40, 60, 70).v);
    m_batch.Add(a, false, QuadAt(40, 40, 60, 76).v);
    m_batch.Add(b, false, QuadAt(44, 74, 48, 78).v);
    m_batch.End();
    EXPECT_EQ(Draws(), (std::vector<D>{{b, N, 1}, {a, N, 2}, {b, N, 1}}));
}

TEST_F(QuadRunBatchTest, OutsideBeginAndEndAQuadDrawsAtOnce)
{
    const TextureHandle t = MakeTexture();
    m_batch.Add(t, true, QuadAt(0, 0, 10, 10).v);
    EXPECT_EQ(Draws(), (std::vector<D>{{t, A, 1}}));
    EXPECT_TRUE(m_device->GetDraws()[0].quads);
}

TEST_F(QuadRunBatchTest, NormalAndAdditiveQuadsOfOneTextureShareARunWithPremultipliedBlending)
{
    const TextureHandle sheet = MakeTexture(), other = MakeTexture();
    const int blendsBefore = m_device->GetStats().blendChanges;
    m_batch.Begin(640, 480);
    m_batch.Add(other, false, QuadAt(300, 300, 340, 340).v);
    m_batch.Add(sheet, true, QuadAt(10, 10, 50, 50).v); // an engine glow under its hull
    m_batch.Add(sheet, false, QuadAt(10, 10, 50, 50).v);
    m_batch.Add(sheet, true, QuadAt(20, 20, 40, 40).v); // a running light over it
    m_batch.Add(other, false, QuadAt(30, 30, 70, 70).v);
    m_batch.Add(sheet, false, QuadAt(60, 60, 80, 80).v); // over the other texture's quad
    m_batch.End();
    // A run of one kind keeps its own blend, unless it follows a mixed one:
    // one change to premultiplied and one back to normal.
    EXPECT_EQ(Draws(), (std::vector<D>{{other, N, 1}, {sheet, P, 3}, {other, P, 1}, {sheet, P, 1}}));
    EXPECT_EQ(m_device->GetStats().blendChanges - blendsBefore, 2);
    // The vertex's z tells the kinds apart, whatever the caller put there.
    std::vector<float> z;
    for (const ScreenVertex& v : m_device->GetDraws()[1].vertices)
        z.push_back(v.z);
    EXPECT_EQ(z, (std::vector<float>{1, 1, 1, 1, 0, 0, 0, 0, 1, 1, 1, 1}));
    EXPECT_EQ(m_device->GetState().Blend(), BlendMode::Normal);
    EXPECT_FALSE(D3DEngine::GetInstance().IsPremultiplied());
}

TEST_F(QuadRunBatchTest, UnderAnEffectAMixedRunGoesOutInPiecesOfOneKindInOrder)
{
    // An effect's program does not premultiply.
    TempDir dir;
    dir.Write("fx.frag", "void main() {}\n");
    const EffectHandle effect = m_device->LoadEffect(dir.File("fx"));
    ASSERT_NE(effect, 0u);
    const TextureHandle sheet = MakeTexture();
    m_batch.Begin(640, 480);
    m_batch.Add(sheet, false, QuadAt(10, 10, 50, 50).v);
    m_batch.Add(sheet, false, QuadAt(100, 10, 150, 50).v);
    m_batch.Add(sheet, true, QuadAt(10, 10, 50, 50).v);
    m_batch.Add(sheet, false, QuadAt(20, 20, 40, 40).v);
    m_device->SetEffect(effect);
    m_batch.End();
    m_device->SetEffect(0);
    EXPECT_EQ(Draws(), (std::vector<D>{{sheet, N, 2}, {sheet, A, 1}, {sheet, N, 1}}));
    EXPECT_EQ(m_batch.GetLastRunCount(), 1);
}

// Through OpenGL (offscreen): a mixed run looks as its quads drawn one by one
// with their own blends, in every channel of the target.
TEST(GLQuadRunBatch, AMixedRunLooksAsItsQuadsDrawnOneByOne)
{
    constexpr int kSide = 64;
    GLTestContext gl;
    ASSERT_NO_FATAL_FAILURE(gl.Open("batch", kSide, kSide));
    D3DEngine& engine = D3DEngine::GetInstance();
    IGraphicsDevice* device = engine.GetDevice();
    ASSERT_FALSE(device->IsHeadless());

    // A soft disc: opaque in the middle, partial alpha towards its edges
    // and none in its corners, each texel a colour of its own.
    TextureData disc;
    disc.width = disc.height = 8;
    disc.levels.emplace_back();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const float d = std::abs(x - 3.5f) + std::abs(y - 3.5f);
            const int alpha = d >= 6.0f ? 0 : d <= 2.0f ? 255 : static_cast<int>(255.0f * (6.0f - d) / 4.0f);
            disc.levels[0].insert(disc.levels[0].end(), {static_cast<uint8_t>(40 * x), static_cast<uint8_t>(200 - 20 * y),
                                                         static_cast<uint8_t>(90 + 20 * x), static_cast<uint8_t>(alpha)});
        }
    const TextureHandle texture = device->CreateTexture(disc);
    const TextureHandle target = device->CreateRenderTarget(kSide, kSide);
    ASSERT_NE(texture, 0u);
    ASSERT_NE(target, 0u);
    struct Sprite {
        QuadAt quad;
        bool additive;
    };
    const Sprite sprites[] = {
        {QuadAt(2, 2, 40, 40), true},                // glow under the hull
        {QuadAt(8, 6, 44, 46, 0xFFFFFFFFu), false},  // hull
        {QuadAt(14, 20, 62, 50, 0xC0FF8040u), true}, // partial glow over it
        {QuadAt(20, 10, 50, 40, 0x80FFFFFFu), false},
        {QuadAt(0, 30, 30, 60, 0xFF60FF60u), true},
        {QuadAt(24, 24, 34, 34, 0xE0FFFFFFu), false},
    };

    auto draw = [&](TextureHandle into, bool batched) {
        device->SetRenderTarget(into);
        device->Clear(0x80336699u); // a coloured background, half its alpha
        if (batched) {
            QuadRunBatch batch;
            const int drawsBefore = device->GetStats().drawCalls;
            batch.Begin(kSide, kSide);
            for (const Sprite& s : sprites)
                batch.Add(texture, s.additive, s.quad.v);
            batch.End();
            EXPECT_EQ(device->GetStats().drawCalls - drawsBefore, 1);
        } else {
            engine.SetTexture(texture);
            for (const Sprite& s : sprites) {
                if (s.additive)
                    engine.SetAdditiveBlend();
                else
                    engine.SetNormalBlend();
                device->DrawQuads(s.quad.v, 4);
            }
            engine.SetNormalBlend();
        }
        std::vector<uint8_t> rgba;
        EXPECT_TRUE(device->ReadPixels(into, 0, 0, kSide, kSide, rgba));
        return rgba;
    };
    for (const TextureHandle into : {target, TextureHandle(0)}) {
        const std::vector<uint8_t> old = draw(into, false);
        const std::vector<uint8_t> now = draw(into, true);
        ASSERT_EQ(old.size(), now.size());
        ASSERT_EQ(old.size(), static_cast<size_t>(kSide * kSide * 4));
        int worst = 0, changed = 0;
        for (size_t i = 0; i < old.size(); ++i) {
            worst = std::max(worst, std::abs(old[i] - now[i]));
            const int background = i % 4 == 0 ? 0x33 : i % 4 == 1 ? 0x66 : i % 4 == 2 ? 0x99 : -1;
            changed += background >= 0 && std::abs(old[i] - background) > 8;
        }
        // The render target's alpha too: it is read where the target is drawn.
        EXPECT_LE(worst, 2) << (into ? "render target" : "back buffer");
        EXPECT_GT(changed, kSide * kSide / 2) << "the sprites cover much of the picture";
    }
    gl.Close();
}

TEST_F(QuadRunBatchTest, InterfaceDrawsJoinTheSharedBatchUntilSomethingDrawsAnotherWay)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    QuadRunBatch& shared = QuadRunBatch::Shared();
    const TextureHandle frame = MakeTexture(), font = MakeTexture();
    BaseSprite sprite;
    sprite.SetSize(20.0f, 20.0f);
    const GraphicsStats& stats = m_device->GetStats();
    {
        QuadRunBatch::InterfaceScope scope;
        ASSERT_TRUE(shared.TakesDirectQuads());
        const int binds = stats.textureBinds;
        engine.SetTexture(frame);
        sprite.PlaceCentred(20.0f, 20.0f);
        sprite.Draw();                                             // first window's frame
        engine.FillRect(GRect{100, 10, 140, 40}, 0xFF102030u);     // a panel beside it
        shared.AddPointSampled(font, false, QuadAt(10, 10, 30, 30).v, 4); // text over the frame
        engine.SetTexture(frame);
        sprite.PlaceCentred(300.0f, 20.0f);
        sprite.Draw(); // second window's frame: clear of the text, joins the first
        engine.DrawRectFrame(GRect{100, 10, 140, 40}, 0xFFFFFFFFu);
        EXPECT_TRUE(m_device->GetDraws().empty()) << "nothing goes out while the interface collects";
        EXPECT_EQ(stats.textureBinds, binds) << "binds wait for the runs";

        // Flat colour is not carried by runs: what was collected goes first.
        engine.SetFlatColour(true);
        ASSERT_EQ(m_device->GetDraws().size(), 4u);
        sprite.Draw();
        ASSERT_EQ(m_device->GetDraws().size(), 5u) << "drawn at once, past the batch";
        EXPECT_TRUE(m_device->GetDraws()[4].flatColour);
        EXPECT_EQ(m_device->GetDraws()[4].texture, frame) << "the noted texture reached the device first";
        engine.SetFlatColour(false);

        engine.SetAdditiveBlend();
        engine.SetTexture(font);
        sprite.Draw();
        EXPECT_EQ(m_device->GetDraws().size(), 5u);
    }
    EXPECT_FALSE(shared.TakesDirectQuads());
    const auto& draws = m_device->GetDraws();
    ASSERT_EQ(draws.size(), 6u);
    EXPECT_EQ(Draws(), (std::vector<D>{{frame, N, 2}, {0, N, 1}, {font, N, 1}, {0, N, 2}, {frame, N, 1}, {font, A, 1}}));
    EXPECT_TRUE(draws[0].quads && draws[1].quads && draws[2].quads && draws[5].quads);
    EXPECT_EQ(draws[3].type, PrimitiveType::LineList);
    EXPECT_EQ(draws[3].vertexCount, 8u) << "the outline's four lines in one draw";
    EXPECT_FLOAT_EQ(draws[0].vertices[4].x, 290.0f) << "call order inside the run";
    // The device is left as the last caller set it, sampler back to linear.
    EXPECT_EQ(m_device->GetState().Texture(0), font);
    EXPECT_EQ(m_device->GetState().Blend(), BlendMode::Additive);
    EXPECT_TRUE(engine.IsAdditive());
    EXPECT_EQ(m_device->GetState().SamplerState(0).filter, TextureFilter::Linear);

    // Nested scopes share the outer one's runs; a plain Begin inside ends it.
    m_device->ClearDraws();
    engine.SetNormalBlend();
    {
        QuadRunBatch::InterfaceScope outer;
        {
            QuadRunBatch::InterfaceScope inner;
            engine.SetTexture(frame);
            sprite.Draw();
        }
        EXPECT_TRUE(m_device->GetDraws().empty()) << "the inner scope's end is not the outer's";
        shared.Begin(640, 480);
        EXPECT_EQ(m_device->GetDraws().size(), 1u);
        EXPECT_FALSE(shared.TakesDirectQuads());
        sprite.Draw();
        shared.End();
    }
    EXPECT_EQ(m_device->GetDraws().size(), 2u);
}

namespace {

// Folds every draw, with all of its vertices, into one number.
class DigestDevice : public HeadlessGraphicsDevice {
public:
    using HeadlessGraphicsDevice::HeadlessGraphicsDevice;
    void DrawQuads(const ScreenVertex* vertices, size_t count) override
    {
        HeadlessGraphicsDevice::DrawQuads(vertices, count);
        Fold(vertices, count);
    }
    void DrawPrimitives(PrimitiveType type, const ScreenVertex* vertices, size_t count) override
    {
        HeadlessGraphicsDevice::DrawPrimitives(type, vertices, count);
        Fold(vertices, count);
    }
    uint64_t digest = 1469598103934665603ull;
    int draws = 0;

private:
    void Mix(uint32_t word)
    {
        digest = (digest ^ word) * 1099511628211ull;
    }
    void Fold(const ScreenVertex* vertices, size_t count)
    {
        ASSERT_FALSE(GetDraws().empty());
        const DrawRecord& r = GetDraws().back();
        ++draws;
        Mix(r.texture);
        Mix(static_cast<uint32_t>(r.blend));
        Mix(static_cast<uint32_t>(r.type));
        Mix(static_cast<uint32_t>(count));
        for (size_t i = 0; i < count; ++i) {
            const float f[6] = {vertices[i].x, vertices[i].y, vertices[i].z, vertices[i].rhw, vertices[i].u, vertices[i].v};
            for (float x : f) {
                uint32_t bits;
                std::memcpy(&bits, &x, sizeof bits);
                Mix(bits);
            }
            Mix(vertices[i].colour);
        }
        ClearDraws();
    }
};

// The streams' own small generator: fixed, so that a stream is the same on
// every machine.
class StreamDraws {
public:
    explicit StreamDraws(uint32_t seed) : m_state(seed) {}
    uint32_t Next(uint32_t range)
    {
        m_state = m_state * 1664525u + 1013904223u;
        return (m_state >> 8) % range;
    }
    float Real(float lo, float hi) { return lo + (hi - lo) * static_cast<float>(Next(10000)) / 10000.0f; }

private:
    uint32_t m_state;
};

} // namespace

// A long seeded stream of the kinds of quads a battle frame stages (streaks
// of one texture, specks beside each other, big glows over them, quads off
// the screen and broken ones, text, fills and lines) goes out in exactly the
// runs it always did: the digest below was taken from the plain per-quad
// overlap walk, and every shortcut in the batch must reproduce it.
TEST(QuadRunBatchStream, ASeededStreamGoesOutInTheSameRunsAndOrder)
{
    auto owned = std::make_unique<DigestDevice>(640, 480, true);
    DigestDevice* device = owned.get();
    ASSERT_TRUE(D3DEngine::GetInstance().Init(std::move(owned)));
    TextureHandle textures[5];
    for (TextureHandle& t : textures) {
        TextureData data;
        data.width = data.height = 4;
        data.levels.push_back(std::vector<uint8_t>(64, 0xFF));
        t = device->CreateTexture(data);
    }
    StreamDraws draws(12345u);
    auto next = [&draws](uint32_t range) { return draws.Next(range); };
    auto real = [&draws](float lo, float hi) { return draws.Real(lo, hi); };

    QuadRunBatch batch;
    int runs = 0;
    for (int frame = 0; frame < 3; ++frame) {
        batch.Begin(640, 480);
        size_t key = 0;
        bool additive = false;
        float cx = 320.0f, cy = 240.0f;
        for (int i = 0; i < 6000; ++i) {
            if (next(10) >= 7) { // streaks of one texture, as trails and particles give
                key = next(6);
                additive = next(10) < 3;
            }
            if (next(10) < 4) {
                cx = real(-40.0f, 680.0f);
                cy = real(-40.0f, 520.0f);
            } else {
                cx += real(-20.0f, 20.0f);
                cy += real(-20.0f, 20.0f);
            }
            const uint32_t kind = next(100);
            const float half = kind < 70 ? real(0.5f, 7.0f) : kind < 92 ? real(8.0f, 40.0f) : real(50.0f, 200.0f);
            QuadAt q(cx - half, cy - half, cx + half, cy + half, 0xFF000000u | next(0xFFFFFF));
            for (ScreenVertex& v : q.v) { // turned a little, like a rotated sprite
                v.x += real(-2.0f, 2.0f);
                v.y += real(-2.0f, 2.0f);
                v.z = real(0.0f, 1.0f); // whatever the caller left there
            }
            if (i % 997 == 0)
                q.v[1].y = std::numeric_limits<float>::infinity();
            if (i % 1499 == 0)
                q.v[3].x = std::numeric_limits<float>::quiet_NaN();
            if (kind == 99) {
                batch.AddLine(additive, q.v);
            } else if (kind == 98) {
                QuadAt second(cx + 10, cy, cx + 20, cy + 8);
                ScreenVertex both[8];
                std::copy(q.v, q.v + 4, both);
                std::copy(second.v, second.v + 4, both + 4);
                batch.AddPointSampled(textures[key % 5], additive, both, 8);
            } else if (kind == 97) {
                batch.AddFilled(additive, q.v, 4);
            } else {
                batch.Add(key == 5 ? 0 : textures[key], additive, q.v);
            }
            if (i == 4000)
                batch.Flush();
        }
        batch.End();
        runs += batch.GetLastRunCount();
    }
    EXPECT_EQ(device->draws, 3572);
    EXPECT_EQ(runs, 1229) << "runs of the three frames' last flushes";
    EXPECT_EQ(device->digest, 692975809518074703ull);
    D3DEngine::GetInstance().Release();
}

// A strip goes out as its quads added one by one would, in the same runs and
// order, whether it joins the newest run, an older one, is trimmed, or draws
// at once.
TEST(QuadRunBatchStream, AStripGoesOutAsItsQuadsAddedOneByOne)
{
    auto owned = std::make_unique<DigestDevice>(640, 480, true);
    DigestDevice* device = owned.get();
    ASSERT_TRUE(D3DEngine::GetInstance().Init(std::move(owned)));
    TextureHandle textures[4] = {0, 0, 0, 0}; // the first: untextured
    TextureData data;
    for (int i = 1; i < 4; ++i) {
        data = TextureData{};
        data.width = data.height = 64;
        // The last shows only its centre: its big quads are trimmed.
        data.levels.push_back(std::vector<uint8_t>(64 * 64 * 4, i == 3 ? 0 : 0xFF));
        if (i == 3)
            for (int y = 28; y < 36; ++y)
                for (int x = 28; x < 36; ++x)
                    data.levels[0][static_cast<size_t>(y * 64 + x) * 4 + 3] = 0xFF;
        textures[i] = device->CreateTexture(data);
    }
    VisibleBoxes& boxes = VisibleBoxes::Shared();
    boxes.Note(textures[3], data);
    ASSERT_TRUE(boxes.MayTrim(textures[3]));

    auto digestOf = [&](bool asStrips) {
        device->digest = 1469598103934665603ull;
        device->draws = 0;
        StreamDraws draws(4242u);
        auto next = [&draws](uint32_t range) { return draws.Next(range); };
        auto real = [&draws](float lo, float hi) { return draws.Real(lo, hi); };
        QuadRunBatch batch;
        for (int frame = 0; frame < 2; ++frame) {
            for (int i = 0; i < 1500; ++i) {
                if (i == 20)
                    batch.Begin(640, 480); // the first few draw at once
                if (i == 900)
                    batch.Flush();
                const int which = static_cast<int>(next(4));
                const bool additive = next(10) < 3;
                if (next(10) < 3) { // an ordinary quad between the strips
                    const float x = real(-20.0f, 660.0f), y = real(-20.0f, 500.0f), h = real(1.0f, 30.0f);
                    QuadAt q(x - h, y - h, x + h, y + h);
                    batch.Add(textures[next(3)], additive, q.v);
                    continue;
                }
                QuadRunBatch::StripEdge edges[12];
                const size_t count = 1 + next(12);
                float x = real(-40.0f, 680.0f), y = real(-40.0f, 520.0f);
                const bool square = which == 3 && next(2) == 0; // big upright quads, as a trim needs
                const float w = square ? real(30.0f, 90.0f) : real(0.5f, 6.0f);
                const float dx = square ? 0.0f : real(-25.0f, 25.0f), dy = square ? w : real(-25.0f, 25.0f);
                for (size_t e = 0; e < count; ++e, x += dx, y += dy)
                    edges[e] = {x - (square ? 0.0f : w), y - w, x + w, y + (square ? -w : w),
                                (next(256) << 24) | next(0xFFFFFF)};
                if (next(50) == 0)
                    edges[next(static_cast<uint32_t>(count))].ry = std::numeric_limits<float>::quiet_NaN();
                if (next(50) == 0)
                    edges[next(static_cast<uint32_t>(count))].lx = -std::numeric_limits<float>::infinity();
                const float uv[4] = {square ? 0.0f : 0.5f, square ? 0.0f : 0.05f, 1.0f, square ? 1.0f : 0.45f};
                if (asStrips) {
                    batch.AddStrip(textures[which], additive, edges, count, uv);
                    continue;
                }
                for (size_t e = 0; e + 1 < count; ++e) {
                    const QuadRunBatch::StripEdge& n = edges[e];
                    const QuadRunBatch::StripEdge& f = edges[e + 1];
                    const ScreenVertex q[4] = {{n.lx, n.ly, 0.0f, 1.0f, n.colour, uv[0], uv[1]},
                                               {n.rx, n.ry, 0.0f, 1.0f, n.colour, uv[2], uv[1]},
                                               {f.lx, f.ly, 0.0f, 1.0f, f.colour, uv[0], uv[3]},
                                               {f.rx, f.ry, 0.0f, 1.0f, f.colour, uv[2], uv[3]}};
                    batch.Add(textures[which], additive, q);
                }
            }
            batch.End();
        }
        return std::make_pair(device->digest, device->draws);
    };
    const auto byQuads = digestOf(false);
    const auto byStrips = digestOf(true);
    boxes.Forget(textures[3]);
    EXPECT_GT(byQuads.second, 400) << "the stream must make many runs to test their choice";
    EXPECT_EQ(byStrips.second, byQuads.second);
    EXPECT_EQ(byStrips.first, byQuads.first);
    D3DEngine::GetInstance().Release();
}
