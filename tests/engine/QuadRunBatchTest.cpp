#include "engine/QuadRunBatch.h"

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
