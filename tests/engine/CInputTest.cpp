#include "engine/CInput.h"
#include "platform/IClock.h"
#include "platform/KeyCodes.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct Recorder : CInputListener {
    std::vector<int> keys;
    int left = 0, right = 0, wheelUp = 0, wheelDown = 0;
    // Key presses as their codes, typed characters as the negative of theirs.
    void OnKeyPress(int code) override { keys.push_back(code); }
    void OnTypedChar(char c) override { keys.push_back(-c); }
    void OnLeftClick() override { ++left; }
    void OnRightClick() override { ++right; }
    void OnWheelUp() override { ++wheelUp; }
    void OnWheelDown() override { ++wheelDown; }
};

class InputTest : public ::testing::Test {
protected:
    InputTest() : m_input(&m_clock)
    {
        m_input.SetListener(&m_rec);
        m_input.Init();
    }

    // One frame of the given length.
    void Frame(double ms)
    {
        m_clock.Advance(ms);
        m_input.Poll();
    }

    ManualClock m_clock { 10000.0 };
    CInput m_input;
    Recorder m_rec;
};
} // namespace

TEST_F(InputTest, HeldKeyRepeatsAfterHalfASecondThenEverySeventyMs)
{
    m_input.QueueKeyDown(KEY_LEFT, 0);
    m_input.Poll();
    EXPECT_EQ(m_rec.keys.size(), 1u);
    for (int i = 0; i < 49; ++i)
        Frame(10.0); // 490 ms held
    EXPECT_EQ(m_rec.keys.size(), 1u);
    Frame(10.0); // 500 ms
    EXPECT_EQ(m_rec.keys.size(), 2u);
    EXPECT_TRUE(m_input.IsRepeating());
    for (int i = 0; i < 6; ++i)
        Frame(10.0); // 60 ms since the repeat
    EXPECT_EQ(m_rec.keys.size(), 2u);
    Frame(10.0); // 70 ms
    EXPECT_EQ(m_rec.keys.size(), 3u);
    Frame(70.0);
    Frame(70.0);
    EXPECT_EQ(m_rec.keys.size(), 5u);
    for (int k : m_rec.keys)
        EXPECT_EQ(k, KEY_LEFT);

    m_input.QueueKeyUp(KEY_LEFT, 0);
    Frame(500.0);
    Frame(500.0);
    EXPECT_EQ(m_rec.keys.size(), 5u);
    EXPECT_EQ(m_input.GetRepeatKey(), 0);
    EXPECT_FALSE(m_input.IsRepeating());
}

TEST_F(InputTest, SystemRepeatsAreDroppedBecauseTheGameRepeatsItself)
{
    m_input.QueueKeyDown(KEY_A, 0);
    m_input.Poll();
    for (int i = 0; i < 5; ++i) {
        m_input.QueueKeyDown(KEY_A, 0, true);
        Frame(40.0);
    }
    EXPECT_EQ(m_rec.keys, std::vector<int> { KEY_A });
}

TEST_F(InputTest, NewKeyRestartsTheRepeatDelay)
{
    m_input.QueueKeyDown(KEY_UP, 0);
    m_input.Poll();
    Frame(500.0); // UP repeats
    ASSERT_EQ(m_rec.keys.size(), 2u);
    m_input.QueueKeyDown(KEY_DOWN, 0);
    Frame(70.0); // DOWN pressed; a repeat of it must wait the full delay
    Frame(70.0);
    EXPECT_EQ(m_rec.keys, (std::vector<int> { KEY_UP, KEY_UP, KEY_DOWN }));
    Frame(430.0);
    EXPECT_EQ(m_rec.keys.back(), KEY_DOWN);
    EXPECT_EQ(m_rec.keys.size(), 4u);
}

TEST_F(InputTest, TapBetweenPollsIsDeliveredOnceWithoutRepeat)
{
    m_input.QueueKeyDown(KEY_SPACE, 0);
    m_input.QueueKeyUp(KEY_SPACE, 5);
    m_input.Poll();
    Frame(1000.0);
    EXPECT_EQ(m_rec.keys, std::vector<int> { KEY_SPACE });
    EXPECT_FALSE(m_input.IsKeyDown(KEY_SPACE));
}

TEST_F(InputTest, TypedTextArrivesInOrderWithTheKeysWhateverTheShiftStateAtThePoll)
{
    // Shift went down and up again between two polls: the text still says "A".
    m_input.QueueKeyDown(KEY_LSHIFT, 0);
    m_input.QueueKeyDown(KEY_A, 1);
    m_input.QueueText("A");
    m_input.QueueKeyUp(KEY_A, 2);
    m_input.QueueKeyUp(KEY_LSHIFT, 3);
    m_input.QueueKeyDown(KEY_BACK, 4);
    // Characters beyond printable ASCII and control characters are dropped.
    m_input.QueueText("\xC3\xA9u\t~");
    m_input.Poll();
    EXPECT_FALSE(m_input.IsKeyDown(KEY_LSHIFT));
    EXPECT_EQ(m_rec.keys, (std::vector<int>{KEY_LSHIFT, KEY_A, -'A', KEY_BACK, -'u', -'~'}));
}

TEST_F(InputTest, LostFocusLetsHeldKeysGo)
{
    m_input.QueueKeyDown(KEY_W, 0);
    m_input.Poll();
    EXPECT_TRUE(m_input.IsKeyDown(KEY_W));
    m_input.ReleaseAllKeys();
    Frame(600.0);
    EXPECT_FALSE(m_input.IsKeyDown(KEY_W));
    EXPECT_EQ(m_rec.keys.size(), 1u);
}

TEST_F(InputTest, MouseMessagesReachTheListener)
{
    m_input.HandleMouseMessage(MouseMessage::LeftDown);
    EXPECT_TRUE(m_input.IsLeftButtonDown());
    EXPECT_FALSE(m_input.IsDoubleClick());
    m_input.HandleMouseMessage(MouseMessage::LeftUp);
    EXPECT_FALSE(m_input.IsLeftButtonDown());
    m_input.HandleMouseMessage(MouseMessage::LeftDoubleClick);
    EXPECT_TRUE(m_input.IsDoubleClick());
    m_input.HandleMouseMessage(MouseMessage::RightDown);
    m_input.HandleMouseMessage(MouseMessage::RightUp);
    m_input.HandleMouseMessage(MouseMessage::Wheel, 120);
    m_input.HandleMouseMessage(MouseMessage::Wheel, -120);
    m_input.HandleMouseMessage(MouseMessage::Wheel, 0);
    EXPECT_EQ(m_rec.left, 2);
    EXPECT_EQ(m_rec.right, 1);
    EXPECT_EQ(m_rec.wheelUp, 1);
    EXPECT_EQ(m_rec.wheelDown, 2);
}

TEST(InputNoListener, WorksWithoutAListener)
{
    ManualClock clock;
    CInput input(&clock);
    input.Init();
    input.QueueKeyDown(KEY_Q, 0);
    input.Poll();
    clock.Advance(600.0);
    input.Poll();
    input.HandleMouseMessage(MouseMessage::LeftDown);
    EXPECT_TRUE(input.IsLeftButtonDown());
}
