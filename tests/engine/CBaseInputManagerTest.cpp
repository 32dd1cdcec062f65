#include "engine/CBaseInputManager.h"
#include "platform/KeyCodes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {
struct KeyCollector : CBaseInputManager {
    std::vector<int> pressed;
    void OnKeyPress(int code) override { pressed.push_back(code); }
};
} // namespace

TEST(BaseInputManager, KeyDownEventsArriveInOrderAtPoll)
{
    KeyCollector in;
    in.Init();
    in.QueueKeyDown(KEY_A, 1);
    in.QueueKeyDown(KEY_LSHIFT, 2);
    in.QueueKeyUp(KEY_A, 3);
    in.QueueKeyDown(KEY_B, 4);
    EXPECT_TRUE(in.pressed.empty());
    EXPECT_FALSE(in.IsKeyDown(KEY_LSHIFT));
    in.Poll();
    EXPECT_EQ(in.pressed, (std::vector<int> { KEY_A, KEY_LSHIFT, KEY_B }));
    EXPECT_FALSE(in.IsKeyDown(KEY_A));
    EXPECT_TRUE(in.IsKeyDown(KEY_LSHIFT));
    EXPECT_EQ(in.GetKeyState()[KEY_B], 0x80);
    in.Poll();
    EXPECT_EQ(in.pressed.size(), 3u);
}

// A slow frame collects every key typed meanwhile: none is dropped, in
// whatever number they came, and they arrive in the order typed.
TEST(BaseInputManager, NoEventIsDroppedOnASlowFrame)
{
    struct Typist : KeyCollector {
        std::string typed;
        void OnTypedChar(char c) override { typed.push_back(c); }
    } in;
    in.Init();
    // Each typed letter is a key down, its text and a key up: three events.
    std::string phrase;
    for (int i = 0; i < 4; ++i)
        phrase += "federation patrol frigate ";
    for (size_t i = 0; i < phrase.size(); ++i) {
        const auto t = static_cast<uint32_t>(i);
        in.QueueKeyDown(KEY_P, t);
        in.QueueText(std::string(1, phrase[i]));
        in.QueueKeyUp(KEY_P, t);
    }
    in.QueueKeyDown(KEY_X, 999);
    // Past the room made at start-up as well as past DirectInput's 32.
    ASSERT_GT(in.GetQueuedEventCount(), CBaseInputManager::kBufferReserve);
    in.Poll();
    EXPECT_EQ(in.typed, phrase);
    EXPECT_EQ(in.pressed.size(), phrase.size() + 1);
    EXPECT_EQ(in.pressed.back(), KEY_X);
    EXPECT_TRUE(in.IsKeyDown(KEY_X));
    EXPECT_FALSE(in.IsKeyDown(KEY_P));
    EXPECT_EQ(in.GetQueuedEventCount(), 0);

    // A handler that feeds an event and polls again gets it at the next poll, once.
    struct Feeder : KeyCollector {
        void OnKeyPress(int code) override
        {
            KeyCollector::OnKeyPress(code);
            if (code == KEY_A) {
                QueueKeyDown(KEY_B, 1);
                Poll();
            }
        }
    } feeder;
    feeder.Init();
    feeder.QueueKeyDown(KEY_A, 0);
    feeder.QueueKeyDown(KEY_C, 0);
    feeder.Poll();
    EXPECT_EQ(feeder.pressed, (std::vector<int>{KEY_A, KEY_C}));
    feeder.Poll();
    EXPECT_EQ(feeder.pressed, (std::vector<int>{KEY_A, KEY_C, KEY_B}));
}

TEST(BaseInputManager, BadInputIsIgnored)
{
    KeyCollector in;
    in.QueueKeyDown(KEY_A, 0); // before Init
    in.HandleMouseMessage(MouseMessage::LeftDown);
    in.Init();
    in.Poll();
    EXPECT_TRUE(in.pressed.empty());
    EXPECT_FALSE(in.IsLeftButtonDown());
    in.QueueKeyDown(0, 0);
    in.QueueKeyDown(-5, 0);
    in.QueueKeyDown(256, 0);
    in.QueueKeyUp(1000, 0);
    in.Poll();
    EXPECT_TRUE(in.pressed.empty());
    EXPECT_FALSE(in.IsKeyDown(-1));
    EXPECT_FALSE(in.IsKeyDown(256));
    in.SetCursorPosition(NAN, 3.0f);
    in.Poll();
    EXPECT_FLOAT_EQ(in.GetMouseX(), 100.0f);
}

TEST(BaseInputManager, MouseWithinTwelvePixelsCountsAsStationary)
{
    CBaseInputManager in;
    in.Init();
    EXPECT_FLOAT_EQ(in.GetMouseX(), 100.0f);
    EXPECT_FLOAT_EQ(in.GetMouseY(), 100.0f);
    in.Poll();
    in.Poll();
    EXPECT_EQ(in.GetStationaryCount(), 2);
    in.SetCursorPosition(111.0f, 89.0f);
    in.Poll(); // reads the new position
    in.Poll(); // 11 pixels off on both axes: still stationary
    EXPECT_EQ(in.GetStationaryCount(), 4);
    EXPECT_FLOAT_EQ(in.GetMouseX(), 111.0f);
    in.SetCursorPosition(112.0f, 100.0f);
    in.Poll();
    in.Poll(); // 12 pixels: moved
    EXPECT_EQ(in.GetStationaryCount(), 0);
    in.Poll(); // the anchor followed the mouse
    EXPECT_EQ(in.GetStationaryCount(), 1);
}

TEST(BaseInputManager, KeyCodesToCharacters)
{
    const std::string digits = "1234567890-";
    for (int code = 2; code <= 12; ++code)
        EXPECT_EQ(DIKToAscii(code), digits[code - 2]);
    const int keypad[] = { 79, 80, 81, 75, 76, 77, 71, 72, 73, 82, 74, 83 };
    const std::string keypadChars = "1234567890-.";
    for (size_t i = 0; i < 12; ++i)
        EXPECT_EQ(DIKToAscii(keypad[i]), keypadChars[i]) << keypad[i];
    EXPECT_EQ(DIKToAscii(KEY_Q), 'q');
    EXPECT_EQ(DIKToAscii(KEY_P), 'p');
    EXPECT_EQ(DIKToAscii(KEY_A), 'a');
    EXPECT_EQ(DIKToAscii(KEY_L), 'l');
    EXPECT_EQ(DIKToAscii(KEY_Z), 'z');
    EXPECT_EQ(DIKToAscii(KEY_M), 'm');
    EXPECT_EQ(DIKToAscii(40), '\'');
    EXPECT_EQ(DIKToAscii(51), ',');
    EXPECT_EQ(DIKToAscii(52), '.');
    EXPECT_EQ(DIKToAscii(57), ' ');
    for (int code : { -1, 0, 1, 13, 14, 15, 26, 29, 39, 41, 53, 56, 58, 78, 84, 183, 255, 1000 })
        EXPECT_EQ(DIKToAscii(code), 0) << code;
}
