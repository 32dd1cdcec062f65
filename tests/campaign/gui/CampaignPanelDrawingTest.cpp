// A list entry's picture and lines, as the manager rows and the damage list
// draw them: the picture centred on the row's middle, under sprite first, and
// the title and the line below it at fixed places from the row's top.
#include "gui/DialogTestFixture.h"

#include "campaign/gui/CampaignPanelDrawing.h"
#include "engine/CTexturedSprite.h"
#include "engine/QuadRunBatch.h"

#include <cstdint>
#include <tuple>
#include <vector>

namespace {

using Corner = std::tuple<float, float, uint32_t>;
using Vertices = std::vector<Corner>;

// The corners (place and colour) of every draw with the texture, in order.
Vertices CornersOf(const HeadlessGraphicsDevice& device, TextureHandle texture)
{
    Vertices out;
    for (const auto& draw : device.GetDraws())
        if (draw.texture == texture)
            for (const ScreenVertex& v : draw.vertices)
                out.emplace_back(v.x, v.y, v.colour);
    return out;
}

TEST_F(DialogTest, AStripEntryCentresItsPictureAndSetsItsLinesFromTheTop)
{
    std::vector<uint8_t> pixels(16 * 16 * 4, 255);
    m_files.Write("data/bitmaps/under.dds", WriteDdsBGRA(16, 16, pixels.data()));
    m_files.Write("data/bitmaps/over.dds", WriteDdsBGRA(16, 16, pixels.data()));
    CTexturedSprite under, over;
    under.SetTexture("under.dds");
    under.SetSize(40.0f, 40.0f);
    over.SetTexture("over.dds");
    over.SetSize(30.0f, 30.0f);
    const TextureHandle underTexture = under.GetResolvedTexture(), overTexture = over.GetResolvedTexture();
    ASSERT_NE(underTexture, 0u);
    ASSERT_NE(overTexture, 0u);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const TextureHandle font = D3DEngine::GetInstance().FindTexture("zekton16.dds");
    const auto flush = [&text] {
        QuadRunBatch::Shared().Flush();
        text.Render();
    };

    // The reference: what the entry must draw, placed by hand (short lines:
    // a draw records only its first 64 corners).
    m_device->ClearDraws();
    text.SetText(TEXT_ALIGN_LEFT, "Escort", 160.0f, 104.0f, 0xFFFFFFFFu, 0.0f);
    text.SetText(TEXT_ALIGN_LEFT, "Breach", 160.0f, 124.0f, 0xFFC8C8C8u, 90.0f);
    flush();
    const Vertices expectedText = CornersOf(*m_device, font);
    ASSERT_FALSE(expectedText.empty());

    m_device->ClearDraws();
    DrawStripEntry(under, over, 125.0f, 160.0f, 100, 150, "Escort", "Breach", 0xFFC8C8C8u, 90.0f);
    flush();
    EXPECT_EQ(CornersOf(*m_device, font), expectedText);
    const Vertices underCorners = CornersOf(*m_device, underTexture);
    const Vertices overCorners = CornersOf(*m_device, overTexture);
    ASSERT_EQ(underCorners.size(), 4u);
    ASSERT_EQ(overCorners.size(), 4u);
    EXPECT_EQ(std::get<0>(underCorners.front()), 105.0f);
    EXPECT_EQ(std::get<1>(underCorners.front()), 105.0f);
    EXPECT_EQ(std::get<0>(underCorners.back()), 145.0f);
    EXPECT_EQ(std::get<1>(underCorners.back()), 145.0f);
    EXPECT_EQ(std::get<0>(overCorners.front()), 110.0f);
    EXPECT_EQ(std::get<1>(overCorners.front()), 110.0f);
    // The under sprite is drawn first, the over sprite on top of it.
    const auto& draws = m_device->GetDraws();
    const auto firstOf = [&draws](TextureHandle t) {
        for (size_t i = 0; i < draws.size(); ++i)
            if (draws[i].texture == t)
                return i;
        return draws.size();
    };
    EXPECT_LT(firstOf(underTexture), firstOf(overTexture));

    // Without a title only the line is set, where it was.
    m_device->ClearDraws();
    text.SetText(TEXT_ALIGN_LEFT, "Breach", 160.0f, 124.0f, 0xFFC8C8C8u, 90.0f);
    flush();
    const Vertices lineOnly = CornersOf(*m_device, font);
    m_device->ClearDraws();
    DrawStripEntry(under, over, 125.0f, 160.0f, 100, 150, "", "Breach", 0xFFC8C8C8u, 90.0f);
    flush();
    EXPECT_EQ(CornersOf(*m_device, font), lineOnly);
}

} // namespace
