#include "DialogTestFixture.h"

#include "gui/GUI_ButtonBase.h"
#include "gui/GUI_ScrollButton.h"
#include "gui/GUI_ScrollingWindow.h"

namespace {

class ScrollTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        // A bar 20 wide and 200 high: arrows of 20, a track of 160 (y 120..280).
        m_bar = std::make_unique<GUI_ScrollingWindow>();
        m_bar->SetRect(100, 100, 120, 300);
    }
    void TearDown() override
    {
        CInput::GetInstance().HandleMouseMessage(MouseMessage::LeftUp);
        m_bar.reset();
        DialogTest::TearDown();
    }
    void SetContent(int rows, int visibleRows, int position = 0)
    {
        m_bar->contentSize = static_cast<float>(rows);
        m_bar->visibleSize = static_cast<float>(visibleRows);
        m_bar->maximum = std::max(0, rows - visibleRows);
        m_bar->position = position;
        m_bar->Layout();
    }
    static void SetButton(bool down)
    {
        CInput::GetInstance().HandleMouseMessage(down ? MouseMessage::LeftDown : MouseMessage::LeftUp);
        CInput::GetInstance().Poll();
    }
    // Buttons read the mouse itself, so a click moves it there first.
    bool Click(float x, float y)
    {
        MoveMouse(x, y);
        return m_bar->OnLeftClick(x, y);
    }
    float ThumbTop() const { return m_bar->GetThumb().m_vertices[0].y; }
    float ThumbBottom() const { return m_bar->GetThumb().m_vertices[3].y; }

    std::unique_ptr<GUI_ScrollingWindow> m_bar;
};

TEST_F(ScrollTest, ArrowsSitAtTheEnds)
{
    SetContent(100, 25);
    const GUI_ScrollButton* up = m_bar->GetUpArrow();
    const GUI_ScrollButton* down = m_bar->GetDownArrow();
    EXPECT_EQ(up->top, 100);
    EXPECT_EQ(up->bottom, 120);
    EXPECT_EQ(down->top, 280);
    EXPECT_EQ(down->bottom, 300);
    EXPECT_EQ(up->width, 20);
}

TEST_F(ScrollTest, ThumbLengthAndPlaceFollowTheContent)
{
    SetContent(100, 25);
    EXPECT_FLOAT_EQ(m_bar->GetThumbLength(), 40.0f);
    EXPECT_FLOAT_EQ(ThumbBottom() - ThumbTop(), 36.0f);
    EXPECT_FLOAT_EQ((ThumbTop() + ThumbBottom()) / 2.0f, 140.0f);
    EXPECT_EQ(m_bar->GetPageUpArea().top, 120);
    EXPECT_EQ(m_bar->GetPageUpArea().bottom, 140);
    EXPECT_EQ(m_bar->GetPageDownArea().top, 158);
    EXPECT_EQ(m_bar->GetPageDownArea().bottom, 280);

    SetContent(100, 25, 75);
    EXPECT_FLOAT_EQ((ThumbTop() + ThumbBottom()) / 2.0f, 260.0f);
    EXPECT_LE(ThumbBottom(), 280.0f);
}

TEST_F(ScrollTest, ContentSmallerThanTheViewFillsTheTrack)
{
    SetContent(10, 20);
    EXPECT_FLOAT_EQ(m_bar->GetThumbLength(), 160.0f);
    EXPECT_EQ(m_bar->maximum, 0);
}

TEST_F(ScrollTest, NothingToScrollHasNoThumbAndNoPageAreas)
{
    SetContent(0, 20);
    EXPECT_FLOAT_EQ(m_bar->GetThumbLength(), 0.0f);
    EXPECT_EQ(m_bar->GetPageUpArea().Height(), 0);
    EXPECT_EQ(m_bar->GetPageDownArea().Height(), 0);
    EXPECT_FALSE(Click(110, 200));
    m_bar->Draw();
    EXPECT_EQ(m_bar->position, 0);

    // A bar too short for its own arrows has no track to divide.
    m_bar->SetRect(100, 100, 120, 130);
    SetContent(50, 10);
    EXPECT_FLOAT_EQ(m_bar->GetThumbLength(), 0.0f);
    m_bar->Draw();
}

TEST_F(ScrollTest, WithMaximumZeroNothingMovesAndNothingSounds)
{
    SetContent(10, 20);
    const int sounds = GUI_ButtonBase::GetClickSoundCount();
    m_bar->OnWheelDown();
    m_bar->OnWheelUp();
    m_bar->ScrollDown();
    EXPECT_TRUE(Click(110, 110));  // the up arrow takes the click
    EXPECT_TRUE(Click(110, 290));
    EXPECT_EQ(m_bar->position, 0);
    EXPECT_FALSE(m_bar->changed);
    EXPECT_EQ(GUI_ButtonBase::GetClickSoundCount(), sounds);
}

TEST_F(ScrollTest, WheelAndArrowsStepByOneWithinTheRange)
{
    SetContent(12, 10);
    const int sounds = GUI_ButtonBase::GetClickSoundCount();
    m_bar->OnWheelDown();
    EXPECT_EQ(m_bar->position, 1);
    EXPECT_TRUE(m_bar->changed);
    Click(110, 290);
    Click(110, 290);
    EXPECT_EQ(m_bar->position, 2);
    Click(110, 110);
    EXPECT_EQ(m_bar->position, 1);
    EXPECT_EQ(GUI_ButtonBase::GetClickSoundCount(), sounds + 3);

    // The window manager hands the wheel to the bar under the mouse.
    GUI_WindowManager::GetInstance().AddWindow(m_bar.get());
    MoveMouse(110, 200);
    GUI_WindowManager::GetInstance().DispatchWheelUp();
    EXPECT_EQ(m_bar->position, 0);
    GUI_WindowManager::GetInstance().RemoveWindow(m_bar.get());
}

TEST_F(ScrollTest, PageAreasStepTowardsTheClick)
{
    SetContent(100, 25, 10);
    EXPECT_TRUE(Click(110, 270));
    EXPECT_EQ(m_bar->position, 11);
    EXPECT_TRUE(Click(110, 121));
    EXPECT_EQ(m_bar->position, 10);
}

TEST_F(ScrollTest, DraggingTheThumbToTheBottomGivesTheMaximumAndNoMore)
{
    SetContent(100, 25);
    SetButton(true);
    EXPECT_FALSE(Click(110, 141));
    EXPECT_TRUE(m_bar->IsDraggingThumb());
    MoveMouse(110, 700);
    m_bar->Draw();
    EXPECT_EQ(m_bar->position, 75);
    EXPECT_TRUE(m_bar->changed);

    MoveMouse(110, 120 + 80 + 1);
    m_bar->Draw();
    EXPECT_EQ(m_bar->position, 50);
    MoveMouse(110, -500);
    m_bar->Draw();
    EXPECT_EQ(m_bar->position, 0);

    SetButton(false);
    MoveMouse(110, 250);
    m_bar->Draw();
    EXPECT_FALSE(m_bar->IsDraggingThumb());
    EXPECT_EQ(m_bar->position, 0);
}

TEST_F(ScrollTest, HiddenBarTakesNoClicks)
{
    SetContent(100, 25);
    m_bar->visible = false;
    EXPECT_FALSE(Click(110, 110));
    EXPECT_EQ(m_bar->position, 0);
}

} // namespace
