// The two small widgets the online screens and the campaign share: the
// please-wait window's thirty cells and its running light, and the star
// rating's slots, cut stars, textures and draw queue.
#include "frontend/FrontendGame.h"
#include "gui/GUI_WindowManager.h"
#include "online/GUI_PleaseWait.h"
#include "online/GUI_Rating.h"
#include "platform/IClock.h"

namespace {

class SmallWidgets : public FrontendGame {};

TEST_F(SmallWidgets, ThePleaseWaitLightRunsAlongThirtyCentredCells)
{
    ManualClock clock(500.0);
    GUI_PleaseWait* first = GUI_PleaseWait::Open(&clock);
    GUI_PleaseWait* wait = GUI_PleaseWait::Open(&clock);
    Frames(1);
    int open = 0;
    for (GUI_WindowBase* w : GUI_WindowManager::GetInstance().GetModalWindows())
        open += dynamic_cast<GUI_PleaseWait*>(w) != nullptr;
    EXPECT_EQ(open, 1) << "a second open replaces the first";
    EXPECT_NE(first, nullptr);
    ASSERT_EQ(GUI_PleaseWait::GetOpen(), wait);
    EXPECT_EQ(wait->width, 400);
    EXPECT_EQ(wait->height, 94);
    EXPECT_EQ(wait->left, (kWidth - 400) / 2);

    // 368 client pixels: cells of 12, the 8 left over split on both sides.
    const int cx = wait->clientLeft;
    ASSERT_EQ(wait->clientRight - cx, 368);
    const GRect c0 = wait->GetCellRect(0), c29 = wait->GetCellRect(29);
    EXPECT_EQ(c0.left, cx + 4);
    EXPECT_EQ(c0.right, cx + 15);
    EXPECT_EQ(c29.left, cx + 4 + 29 * 12);
    EXPECT_EQ(c29.right, cx + 4 + 29 * 12 + 11);
    EXPECT_EQ(c0.top, wait->clientTop + 3);
    EXPECT_EQ(c0.bottom, wait->clientBottom - 3);

    // A step needs more than 40 ms, and a frame takes one step at most.
    EXPECT_EQ(wait->GetLitCell(), 0);
    clock.Advance(40.0);
    wait->Draw();
    EXPECT_EQ(wait->GetLitCell(), 0);
    clock.Advance(0.5);
    wait->Draw();
    EXPECT_EQ(wait->GetLitCell(), 1);
    clock.Advance(5000.0);
    wait->Draw();
    EXPECT_EQ(wait->GetLitCell(), 2);
    for (int i = 0; i < 27; ++i) {
        clock.Advance(41.0);
        wait->Draw();
    }
    EXPECT_EQ(wait->GetLitCell(), 29);
    clock.Advance(41.0);
    wait->Draw();
    EXPECT_EQ(wait->GetLitCell(), 0) << "after the last cell the light starts over";

    GUI_PleaseWait::Close();
    Frames(1);
    EXPECT_FALSE(GUI_PleaseWait::IsOpen());
}

TEST_F(SmallWidgets, StarsSitInCentredSlotsCutOnTheirRightAndQueueByTexture)
{
    GUI_Rating difficulty(GUI_Rating::DIFFICULTY);
    GUI_Rating enjoyment(GUI_Rating::ENJOYMENT);
    EXPECT_EQ(difficulty.GetFullTexture(), "star_full.dds");
    EXPECT_EQ(enjoyment.GetFullTexture(), "star_red.dds");
    difficulty.SetRect(100.0f, 20.0f, 180.0f, 40.0f); // 80 wide: 10 either side of the 60 of stars
    for (int i = 0; i < GUI_Rating::kStars; ++i)
        EXPECT_FLOAT_EQ(difficulty.SlotLeft(i), 110.0f + 12.0f * i);

    float x, w, u;
    difficulty.SetValue(2.5f);
    difficulty.FilledPart(1, x, w, u);
    EXPECT_FLOAT_EQ(w, 12.0f);
    EXPECT_FLOAT_EQ(u, 1.0f);
    difficulty.FilledPart(2, x, w, u);
    EXPECT_FLOAT_EQ(x, 134.0f) << "a cut star keeps its left edge on its slot";
    EXPECT_NEAR(w, 6.0f, 1e-4f);
    EXPECT_NEAR(u, 0.5f, 1e-5f);
    difficulty.FilledPart(3, x, w, u);
    EXPECT_EQ(w, 0.0f);
    EXPECT_NE(difficulty.GetTooltipText().find("[50%]"), std::string::npos);

    // One star is a fifth: 1.0 fills exactly the first; a whisk more starts the second.
    difficulty.SetValue(1.0f);
    EXPECT_FLOAT_EQ(difficulty.GetFill(0), 1.0f);
    EXPECT_EQ(difficulty.GetFill(1), 0.0f);
    difficulty.SetValue(1.05f);
    EXPECT_NEAR(difficulty.GetFill(1), 0.05f, 1e-3f);
    difficulty.SetValue(5.0f);
    difficulty.FilledPart(4, x, w, u);
    EXPECT_FLOAT_EQ(w, 12.0f);
    EXPECT_NE(difficulty.GetTooltipText().find("[100%]"), std::string::npos);
    difficulty.SetValue(0.0f);
    for (int i = 0; i < GUI_Rating::kStars; ++i) {
        difficulty.FilledPart(i, x, w, u);
        EXPECT_EQ(w, 0.0f);
    }
    EXPECT_NE(difficulty.GetTooltipText().find("[0%]"), std::string::npos);

    // Queued ratings wait for the screen's one draw of them all, once each.
    difficulty.queued = enjoyment.queued = true;
    difficulty.Draw();
    difficulty.Draw();
    enjoyment.Draw();
    EXPECT_EQ(GUI_Rating::GetQueuedCount(), 2u);
    {
        GUI_Rating gone(GUI_Rating::ENJOYMENT);
        gone.queued = true;
        gone.Draw();
        EXPECT_EQ(GUI_Rating::GetQueuedCount(), 3u);
    }
    EXPECT_EQ(GUI_Rating::GetQueuedCount(), 2u) << "a rating deleted first is not drawn";
    GUI_Rating::DrawQueued();
    EXPECT_EQ(GUI_Rating::GetQueuedCount(), 0u);
}

} // namespace
