#include "engine/D3DEngine.h"
#include "engine/GRandom.h"
#include "engine/GVertexBuffer.h"
#include "engine/RandomTables.h"
#include "gui/GUI_LCARS_TextBlock.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "platform/IClock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

class TextBlockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(D3DEngine::GetInstance().Init(std::make_unique<HeadlessGraphicsDevice>(800, 600)));
        Seed();
    }
    void TearDown() override { D3DEngine::GetInstance().Release(); }

    static void Seed()
    {
        GRandom generator(20240611);
        InitRandomTables(generator);
    }

    ManualClock m_clock{1000.0};
};

TEST_F(TextBlockTest, LayoutIsWholeGlyphsOnATenPixelPitchFromTheOrigin)
{
    GUI_LCARS_TextBlock block(0.0f, 100, 50, 40, 40, &m_clock);
    const int count = block.GetVertexCount();
    ASSERT_EQ(0, count % 4);
    // 33 lines of 8 to 29 positions, about one in eight blank.
    EXPECT_GT(count / 4, 33 * 8 / 2);
    EXPECT_LE(count / 4, 33 * 29);
    const auto& v = block.GetVertices();
    for (int q = 0; q < count / 4; ++q) {
        const ScreenVertex* quad = &v[static_cast<size_t>(q) * 4];
        const float cx = (quad[0].x + quad[3].x) / 2.0f;
        const float cy = (quad[0].y + quad[3].y) / 2.0f;
        EXPECT_FLOAT_EQ(8.0f, quad[3].x - quad[0].x);
        EXPECT_FLOAT_EQ(8.0f, quad[3].y - quad[0].y);
        // The width and height given do not bound the block.
        EXPECT_FLOAT_EQ(0.0f, std::fmod(cx - 100.0f, 10.0f));
        EXPECT_FLOAT_EQ(0.0f, std::fmod(cy - 50.0f, 10.0f));
        EXPECT_LE(cx, 100.0f + 10.0f * 28);
        EXPECT_LE(cy, 50.0f + 10.0f * 32);
        // One atlas cell of 5 x 10, in the faint green.
        EXPECT_NEAR(0.2f, quad[3].u - quad[0].u, 1e-6f);
        EXPECT_NEAR(0.1f, quad[3].v - quad[0].v, 1e-6f);
        EXPECT_EQ(GUI_LCARS_TextBlock::kColour, quad[0].colour);
        if (testing::Test::HasFailure())
            break;
    }
    for (int slot = 0; slot < GUI_LCARS_TextBlock::kGlyphSlots; ++slot) {
        ASSERT_LT(block.GetGlyphColumn(slot), 5);
        ASSERT_LT(block.GetGlyphRow(slot), 10);
    }
}

TEST_F(TextBlockTest, ASeedGivesItsLayoutAndTheGamesRandomNumbersAreLeftAlone)
{
    const auto same = [](const GUI_LCARS_TextBlock& a, const GUI_LCARS_TextBlock& b) {
        if (a.GetVertexCount() != b.GetVertexCount())
            return false;
        for (size_t i = 0; i < a.GetVertices().size(); ++i)
            if (a.GetVertices()[i].x != b.GetVertices()[i].x || a.GetVertices()[i].u != b.GetVertices()[i].u ||
                a.GetVertices()[i].v != b.GetVertices()[i].v)
                return false;
        return true;
    };
    // The game's tables give the same numbers after blocks were laid out,
    // again and again, as they would have without them.
    const float next = RandomFloat();
    Seed();
    GUI_LCARS_TextBlock first(0.0f, 0, 0, 10, 10, &m_clock, 7);
    m_clock.Advance(GUI_LCARS_TextBlock::kCycleMs);
    first.Draw(); // a new layout
    EXPECT_EQ(RandomFloat(), next);

    GUI_LCARS_TextBlock second(0.0f, 0, 0, 10, 10, &m_clock, 7);
    GUI_LCARS_TextBlock third(0.0f, 0, 0, 10, 10, &m_clock, 7);
    EXPECT_TRUE(same(second, third));
    EXPECT_FALSE(same(first, second)) << "the next layout is a new one";
    GUI_LCARS_TextBlock other(0.0f, 0, 0, 10, 10, &m_clock, 8);
    EXPECT_FALSE(same(other, second));
}

TEST_F(TextBlockTest, TypesOutOverEightSecondsFromItsPhase)
{
    GUI_LCARS_TextBlock block(0.0f, 0, 0, 10, 10, &m_clock);
    const int glyphs = block.GetVertexCount() / 4;
    block.Draw();
    EXPECT_EQ(0, block.GetLastDrawnCount());
    m_clock.Advance(2000.0);
    block.Draw();
    EXPECT_EQ(static_cast<int>(glyphs * 0.25) * 4, block.GetLastDrawnCount());

    GUI_LCARS_TextBlock half(0.5f, 0, 0, 10, 10, &m_clock);
    half.Draw();
    EXPECT_EQ(half.GetVertexCount() / 4 / 2 * 4, half.GetLastDrawnCount());
    // The glyphs go out through the sprite batch with the alien atlas.
    EXPECT_EQ(0u, GVertexBuffer::SpriteBatch().GetStagedCount());
}

TEST_F(TextBlockTest, AfterACycleTheWholeNewLayoutShowsOnceThenTypingStartsAgain)
{
    GUI_LCARS_TextBlock block(0.0f, 0, 0, 10, 10, &m_clock);
    const std::vector<ScreenVertex> old = block.GetVertices();
    m_clock.Advance(8000.0);
    block.Draw();
    EXPECT_EQ(block.GetVertexCount(), block.GetLastDrawnCount());
    bool changed = old.size() != block.GetVertices().size();
    for (size_t i = 0; !changed && i < old.size(); ++i)
        changed = old[i].u != block.GetVertices()[i].u || old[i].x != block.GetVertices()[i].x;
    EXPECT_TRUE(changed);
    m_clock.Advance(10.0);
    block.Draw();
    EXPECT_EQ(0, block.GetLastDrawnCount());
    m_clock.Advance(4000.0);
    block.Draw();
    EXPECT_GT(block.GetLastDrawnCount(), 0);
    EXPECT_LT(block.GetLastDrawnCount(), block.GetVertexCount());
}

} // namespace
