#include "engine/TextHelpers.h"

#include <climits>
#include <cmath>
#include <gtest/gtest.h>

TEST(TextHelpers, ReplaceSubstringEndsWhenTheReplacementHoldsTheSearch)
{
    std::string s = "a-b-c";
    ReplaceSubstring(s, "-", "--");
    EXPECT_EQ(s, "a--b--c");
    s = "xx";
    ReplaceSubstring(s, "x", "axa");
    EXPECT_EQ(s, "axaaxa");
}

TEST(TextHelpers, ReplaceSubstringReplacesEveryOccurrence)
{
    std::string s = "%NAME% met %NAME%";
    ReplaceSubstring(s, "%NAME%", "Vel");
    EXPECT_EQ(s, "Vel met Vel");
    s = "aaaa";
    ReplaceSubstring(s, "aa", "b");
    EXPECT_EQ(s, "bb");
    s = "keep";
    ReplaceSubstring(s, "", "x");
    EXPECT_EQ(s, "keep");
    ReplaceSubstring(s, "e", "");
    EXPECT_EQ(s, "kp");
    std::string big(5000, 'a');
    ReplaceSubstring(big, "a", "bb");
    EXPECT_EQ(big, std::string(10000, 'b'));
}

TEST(TextHelpers, FormatThousands)
{
    EXPECT_EQ(FormatThousands(0), "0");
    EXPECT_EQ(FormatThousands(999), "999");
    EXPECT_EQ(FormatThousands(1000), "1,000");
    EXPECT_EQ(FormatThousands(1200000), "1,200,000");
    EXPECT_EQ(FormatThousands(100000), "100,000");
    EXPECT_EQ(FormatThousands(2147483647), "2,147,483,647");
    EXPECT_EQ(FormatThousands(-1234), "-1,234");
    EXPECT_EQ(FormatThousands(LLONG_MIN), "-9,223,372,036,854,775,808");
}

TEST(TextHelpers, ShortenTextCutsAfterTwentyThree)
{
    std::string s23(23, 'a');
    EXPECT_EQ(ShortenText(s23), s23);
    EXPECT_EQ(ShortenText(s23 + "b"), s23 + "...");
    EXPECT_EQ(ShortenText(""), "");
}

TEST(TextHelpers, RoundToInt)
{
    EXPECT_EQ(RoundToInt(2.5f), 3);
    EXPECT_EQ(RoundToInt(2.49f), 2);
    EXPECT_EQ(RoundToInt(-0.5f), 0);
    EXPECT_EQ(RoundToInt(-0.51f), -1);
    EXPECT_EQ(RoundToInt(-2.5f), -2);
    EXPECT_EQ(RoundToInt(0.0f), 0);
    EXPECT_EQ(RoundToInt(1e20f), INT_MAX);
    EXPECT_EQ(RoundToInt(-1e20f), INT_MIN);
    EXPECT_EQ(RoundToInt(INFINITY), INT_MAX);
    EXPECT_EQ(RoundToInt(NAN), 0);
}

TEST(TextHelpers, TwoDigitsAndCase)
{
    EXPECT_EQ(IntToTwoDigitString(0), "00");
    EXPECT_EQ(IntToTwoDigitString(9), "09");
    EXPECT_EQ(IntToTwoDigitString(10), "10");
    EXPECT_EQ(IntToTwoDigitString(123), "123");
    EXPECT_EQ(ToLowerString("MiXeD 12"), "mixed 12");
    EXPECT_EQ(ToUpperString("MiXeD 12"), "MIXED 12");
    EXPECT_EQ(ToUpperString("\xe9t\xe9"), "\xe9T\xe9"); // single bytes kept
}

TEST(TextHelpers, TrimTrailingWhitespaceKeepsTheFirstCharacter)
{
    EXPECT_EQ(TrimTrailingWhitespace("name \r\n"), "name");
    EXPECT_EQ(TrimTrailingWhitespace("  lead"), "  lead");
    EXPECT_EQ(TrimTrailingWhitespace("a\tb\t"), "a\tb\t");
    EXPECT_EQ(TrimTrailingWhitespace("   "), " ");
    EXPECT_EQ(TrimTrailingWhitespace(""), "");
    std::string longText(2000, 'x');
    EXPECT_EQ(TrimTrailingWhitespace(longText + "  \n"), longText);
}

TEST(TextHelpers, ControlCharactersAndTheirUtf8C1FormsAreShownByName)
{
    EXPECT_EQ(EscapeControlCharacters("plain ~ text \xc3\xa9"), "plain ~ text \xc3\xa9");
    EXPECT_EQ(EscapeControlCharacters(std::string("\0\x1f \x7f", 4)),
              "<control character 0><control character 31> <control character 127>");
    // U+0080..U+009F are controls, U+00A0 (and a lone 0xC2) are not.
    EXPECT_EQ(EscapeControlCharacters("\xc2\x80\xc2\x9f\xc2\xa0\xc2"),
              "<control character 128><control character 159>\xc2\xa0\xc2");
    // A byte 0x80..0x9F outside a sequence is a C1 control to an 8-bit
    // terminal; inside one it is part of a character.
    EXPECT_EQ(EscapeControlCharacters("a\x9b" "2Jb"), "a<control character 155>2Jb");
    EXPECT_EQ(EscapeControlCharacters("\xc3\x9b\x9b"), "\xc3\x9b<control character 155>");
    EXPECT_EQ(EscapeControlCharacters("\xe2\x80\x9c\xf0\x9f\x98\x80"), "\xe2\x80\x9c\xf0\x9f\x98\x80");
    EXPECT_EQ(EscapeControlCharacters("\xe2\x80" "a\x80"), "\xe2\x80" "a<control character 128>");
    EXPECT_EQ(ControlCharacterName(27), "control character 27");
}
