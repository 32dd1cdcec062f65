#include "engine/GTokenizer.h"

#include <gtest/gtest.h>

TEST(GTokenizer, EmptyFieldsAndEndOfLine)
{
    GTokenizer t("x,,y", ',');
    EXPECT_STREQ(t.NextField(), "x");
    EXPECT_STREQ(t.NextField(), "");
    EXPECT_FALSE(t.AtEnd());
    EXPECT_STREQ(t.NextField(), "y");
    EXPECT_TRUE(t.AtEnd());
    for (int i = 0; i < 3; ++i)
        EXPECT_STREQ(t.NextField(), "");
}

TEST(GTokenizer, TrailingSeparatorGivesOneMoreEmptyField)
{
    GTokenizer t("a,", ',');
    EXPECT_STREQ(t.NextField(), "a");
    EXPECT_FALSE(t.AtEnd());
    EXPECT_STREQ(t.NextField(), "");
    EXPECT_TRUE(t.AtEnd());
}

TEST(GTokenizer, EmptyLineGivesOneEmptyField)
{
    GTokenizer t("", ',');
    EXPECT_FALSE(t.AtEnd());
    EXPECT_STREQ(t.NextField(), "");
    EXPECT_TRUE(t.AtEnd());
}

TEST(GTokenizer, QuotesGroupAndAreDropped)
{
    GTokenizer t("a,\"b,c\",d", ',');
    EXPECT_STREQ(t.NextField(), "a");
    EXPECT_STREQ(t.NextField(), "b,c");
    EXPECT_STREQ(t.NextField(), "d");
}

TEST(GTokenizer, KeepQuotesFlagKeepsThem)
{
    GTokenizer t("\"b;c\";d", ';');
    t.keepQuotes = true;
    EXPECT_STREQ(t.NextField(), "\"b;c\"");
    EXPECT_STREQ(t.NextField(), "d");
}

TEST(GTokenizer, UnclosedQuoteRunsToTheEndOfTheLine)
{
    GTokenizer t("a,\"b,c", ',');
    EXPECT_STREQ(t.NextField(), "a");
    EXPECT_STREQ(t.NextField(), "b,c");
    EXPECT_TRUE(t.AtEnd());
}

TEST(GTokenizer, OtherSeparators)
{
    GTokenizer at("user@host", '@');
    EXPECT_STREQ(at.NextField(), "user");
    EXPECT_STREQ(at.NextField(), "host");
    GTokenizer dash("1-2", '-');
    EXPECT_EQ(dash.NextInt(), 1);
    EXPECT_EQ(dash.NextInt(), 2);
}

TEST(GTokenizer, NulEndsTheLine)
{
    std::string line = "a,b";
    line += '\0';
    line += ",c";
    GTokenizer t(line, ',');
    EXPECT_STREQ(t.NextField(), "a");
    EXPECT_STREQ(t.NextField(), "b");
    EXPECT_TRUE(t.AtEnd());
}

TEST(GTokenizer, NextStringTrimsTrailingLineEndAndBlanks)
{
    GTokenizer t("  lead , tail  \r\n", ',');
    EXPECT_EQ(t.NextString(), "  lead");
    EXPECT_EQ(t.NextString(), " tail");
}

TEST(GTokenizer, NumbersFromFields)
{
    GTokenizer t("12,3.75,x,-4abc,,1e2", ',');
    EXPECT_EQ(t.NextInt(), 12);
    EXPECT_FLOAT_EQ(t.NextFloat(), 3.75f);
    EXPECT_EQ(t.NextInt(), 0);
    EXPECT_EQ(t.NextInt(), -4);
    EXPECT_FLOAT_EQ(t.NextFloat(), 0.0f);
    EXPECT_FLOAT_EQ(t.NextFloat(), 100.0f);
    EXPECT_EQ(t.NextInt(), 0); // past the end
}

TEST(GTokenizer, LongLinesAreSplitWhole)
{
    std::string big(10000, 'x');
    GTokenizer t(big + "," + big, ',');
    EXPECT_EQ(std::string(t.NextField()), big);
    EXPECT_EQ(std::string(t.NextField()), big);
}
