#include "app/APP_Tips.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {
const char* const kThreeTips = "[tips]\na = First tip.\nb = Second tip.\nc = Third tip.\n";
}

TEST(APP_Tips, ThirdTipThenBackToTheStart)
{
    TempDir dir;
    std::string tips = dir.Write("tips.ini", kThreeTips);
    dir.Write("user/tip_pos.ini", "[config]\nnext_tip = 2\n");
    {
        APP_Tips t(tips, dir.File("user"));
        ASSERT_EQ(t.GetTipCount(), 3u);
        EXPECT_EQ(t.NextTip(), "Third tip.");
        EXPECT_EQ(t.GetNextIndex(), 0);
        EXPECT_EQ(t.NextTip(), "First tip.");
    }
    EXPECT_EQ(dir.Read("user/tip_pos.ini"), "[config]\nnext_tip = 1\n") << "saved when it goes";
}

TEST(APP_Tips, MissingPositionFileIsCreated)
{
    TempDir dir;
    std::string tips = dir.Write("tips.ini", kThreeTips);
    APP_Tips t(tips, dir.Path());
    EXPECT_EQ(dir.Read("tip_pos.ini"), "[config]\nnext_tip = 0\n");
    EXPECT_EQ(t.NextTip(), "First tip.");
    EXPECT_EQ(t.NextTip(), "Second tip.");
    EXPECT_TRUE(t.SavePosition());
    EXPECT_EQ(dir.Read("tip_pos.ini"), "[config]\nnext_tip = 2\n");
}

TEST(APP_Tips, OutOfRangePositionStartsAgain)
{
    for (const char* stored : {"7", "3", "-4", "garbage"}) {
        TempDir dir;
        std::string tips = dir.Write("tips.ini", kThreeTips);
        dir.Write("tip_pos.ini", std::string("[config]\nnext_tip = ") + stored + "\n");
        APP_Tips t(tips, dir.Path());
        EXPECT_EQ(t.GetNextIndex(), 0) << stored;
        EXPECT_EQ(t.NextTip(), "First tip.") << stored;
    }
}

TEST(APP_Tips, NoTipsGivesEmptyText)
{
    TempDir dir;
    dir.Write("tip_pos.ini", "[config]\nnext_tip = 5\n");
    APP_Tips missing(dir.File("nothing.ini"), dir.Path());
    EXPECT_EQ(missing.GetTipCount(), 0u);
    EXPECT_EQ(missing.NextTip(), "");
    EXPECT_EQ(missing.NextTip(), "");

    std::string empty = dir.Write("empty.ini", "[tips]\n[other]\nx = not a tip\n");
    APP_Tips none(empty, dir.Path());
    EXPECT_EQ(none.NextTip(), "");
}

TEST(APP_Tips, ShippedTipsFileReads)
{
    TempDir dir;
    APP_Tips t(std::string(QLM_SOURCE_DIR) + "/data/tips.ini", dir.Path());
    EXPECT_GE(t.GetTipCount(), 10u);
    EXPECT_FALSE(t.NextTip().empty());
}
