#include "engine/QuadRunBatch.h"

#include "engine/BaseSprite.h"
#include "engine/D3DEngine.h"
#include "platform/HeadlessGraphicsDevice.h"

#include <gtest/gtest.h>

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
        auto device = std::make_unique<HeadlessGraphicsDevice>(640, 480);
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

TEST_F(QuadRunBatchTest, OverlapIsJudgedOnThirtyTwoPixelCellsWithTheOffScreenBorderShared)
{
    const TextureHandle a = MakeTexture(), b = MakeTexture();
    // b misses the second a by ten pixels, but they share the cell 0..31:
    // the second a may not move in front of b.
    m_batch.Begin(640, 480);
    m_batch.Add(a, false, QuadAt(0, 0, 10, 10).v);
    m_batch.Add(b, false, QuadAt(20, 0, 31, 10).v);
    m_batch.Add(a, false, QuadAt(0, 20, 10, 30).v);
    m_batch.End();
    EXPECT_EQ(m_batch.GetLastRunCount(), 3);

    // With b from x = 32 on, in the next cell, the second a joins the first.
    m_device->ClearDraws();
    m_batch.Begin(640, 480);
    m_batch.Add(a, false, QuadAt(0, 0, 10, 10).v);
    m_batch.Add(b, false, QuadAt(32, 0, 43, 10).v);
    m_batch.Add(a, false, QuadAt(0, 20, 10, 30).v);
    m_batch.End();
    EXPECT_EQ(Draws(), (std::vector<D>{{a, N, 2}, {b, N, 1}}));

    // Everything left of the screen shares one border column, however far out.
    m_device->ClearDraws();
    m_batch.Begin(640, 480);
    m_batch.Add(a, false, QuadAt(-5000, 0, -4990, 10).v);
    m_batch.Add(b, false, QuadAt(-20, 0, -10, 10).v);
    m_batch.Add(a, false, QuadAt(-300, 0, -290, 10).v);
    m_batch.End();
    EXPECT_EQ(m_batch.GetLastRunCount(), 3);
}

TEST_F(QuadRunBatchTest, OutsideBeginAndEndAQuadDrawsAtOnce)
{
    const TextureHandle t = MakeTexture();
    m_batch.Add(t, true, QuadAt(0, 0, 10, 10).v);
    EXPECT_EQ(Draws(), (std::vector<D>{{t, A, 1}}));
    EXPECT_TRUE(m_device->GetDraws()[0].quads);
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
