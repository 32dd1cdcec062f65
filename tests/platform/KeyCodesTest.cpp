#include "engine/CBaseInputManager.h"
#include "platform/KeyCodes.h"

#include <gtest/gtest.h>

#include <set>

TEST(KeyCodes, LettersDigitsAndKeypadMapToTheirCodes)
{
    EXPECT_EQ(SdlScancodeToKeyCode(SDL_SCANCODE_A), KEY_A);
    EXPECT_EQ(SdlScancodeToKeyCode(SDL_SCANCODE_Q), 0x10);
    EXPECT_EQ(SdlScancodeToKeyCode(SDL_SCANCODE_Z), 0x2C);
    EXPECT_EQ(SdlScancodeToKeyCode(SDL_SCANCODE_1), 2);
    EXPECT_EQ(SdlScancodeToKeyCode(SDL_SCANCODE_0), 11);
    EXPECT_EQ(SdlScancodeToKeyCode(SDL_SCANCODE_KP_7), 71);
    EXPECT_EQ(SdlScancodeToKeyCode(SDL_SCANCODE_KP_1), 79);
    EXPECT_EQ(SdlScancodeToKeyCode(SDL_SCANCODE_KP_0), 82);
    EXPECT_EQ(SdlScancodeToKeyCode(SDL_SCANCODE_F1), 0x3B);
    EXPECT_EQ(SdlScancodeToKeyCode(SDL_SCANCODE_F12), 0x58);
}

TEST(KeyCodes, KeysTheGameHandlesByCode)
{
    EXPECT_EQ(SdlScancodeToKeyCode(SDL_SCANCODE_PRINTSCREEN), 183);
    EXPECT_EQ(SdlScancodeToKeyCode(SDL_SCANCODE_ESCAPE), 1);
    EXPECT_EQ(SdlScancodeToKeyCode(SDL_SCANCODE_RETURN), 28);
    EXPECT_EQ(SdlScancodeToKeyCode(SDL_SCANCODE_KP_ENTER), KEY_NUMPADENTER);
    EXPECT_EQ(SdlScancodeToKeyCode(SDL_SCANCODE_SPACE), 57);
    EXPECT_EQ(SdlScancodeToKeyCode(SDL_SCANCODE_UP), KEY_UP);
    EXPECT_EQ(SdlScancodeToKeyCode(SDL_SCANCODE_PAGEDOWN), KEY_NEXT);
    EXPECT_EQ(SdlScancodeToKeyCode(SDL_SCANCODE_RCTRL), KEY_RCONTROL);
}

TEST(KeyCodes, TypedCharactersMatchTheKeyboardLabels)
{
    const char* letters = "abcdefghijklmnopqrstuvwxyz";
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(DIKToAscii(SdlScancodeToKeyCode(static_cast<SDL_Scancode>(SDL_SCANCODE_A + i))), letters[i]);
    const char* digits = "1234567890";
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(DIKToAscii(SdlScancodeToKeyCode(static_cast<SDL_Scancode>(SDL_SCANCODE_1 + i))), digits[i]);
        EXPECT_EQ(DIKToAscii(SdlScancodeToKeyCode(static_cast<SDL_Scancode>(SDL_SCANCODE_KP_1 + i))), digits[i]);
    }
    EXPECT_EQ(DIKToAscii(SdlScancodeToKeyCode(SDL_SCANCODE_KP_PERIOD)), '.');
    EXPECT_EQ(DIKToAscii(SdlScancodeToKeyCode(SDL_SCANCODE_KP_MINUS)), '-');
}

TEST(KeyCodes, EveryMappedCodeIsUniqueAndInRange)
{
    std::set<int> seen;
    for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
        int code = SdlScancodeToKeyCode(static_cast<SDL_Scancode>(sc));
        ASSERT_GE(code, 0);
        ASSERT_LT(code, 256);
        if (code == KEY_NONE || sc == SDL_SCANCODE_NONUSHASH)
            continue;
        EXPECT_TRUE(seen.insert(code).second) << "scancode " << sc;
    }
    EXPECT_GT(seen.size(), 100u);
    EXPECT_EQ(SdlScancodeToKeyCode(SDL_SCANCODE_UNKNOWN), KEY_NONE);
    EXPECT_EQ(SdlScancodeToKeyCode(SDL_SCANCODE_AUDIONEXT), KEY_NONE);
}
