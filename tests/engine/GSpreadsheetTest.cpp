#include "engine/GDebugLog.h"
#include "engine/GSpreadsheet.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(GSpreadsheet, OnlyHashLinesAreRowsKeptWhole)
{
    TempDir dir;
    std::string path = dir.Write("t.csv", "id,name,damage\n#1,laser,20\n1,laser,20\n\n # not a row\n#2,gun,5");
    GSpreadsheet sheet(path);
    ASSERT_EQ(sheet.rows.size(), 2u);
    EXPECT_EQ(sheet.rows[0], "#1,laser,20\n");
    EXPECT_EQ(sheet.rows[1], "#2,gun,5");
}

TEST(GSpreadsheet, WindowsLineEndsBecomeLineFeeds)
{
    GSpreadsheet sheet("");
    sheet.LoadFromText("#a,b\r\nhead\r\n#c\r\n");
    ASSERT_EQ(sheet.rows.size(), 2u);
    EXPECT_EQ(sheet.rows[0], "#a,b\n");
    EXPECT_EQ(sheet.rows[1], "#c\n");
}

TEST(GSpreadsheet, ReloadEmptiesTheRows)
{
    GSpreadsheet sheet("");
    sheet.LoadFromText("#1\n#2\n");
    sheet.LoadFromText("#3\n");
    ASSERT_EQ(sheet.rows.size(), 1u);
    EXPECT_EQ(sheet.rows[0], "#3\n");
}

TEST(GSpreadsheet, ShortNameDoesNothing)
{
    GSpreadsheet sheet("x");
    EXPECT_TRUE(sheet.rows.empty());
}

TEST(GSpreadsheet, MissingFileIsLoggedAndLeavesAnEmptyTable)
{
    TempDir dir;
    GDebugLog::GetInstance().Open(dir.Path());
    GSpreadsheet sheet(dir.File("nothere.csv"));
    GDebugLog::GetInstance().Close();
    EXPECT_TRUE(sheet.rows.empty());
    std::string errors = dir.Read("debug/errors.txt");
    EXPECT_NE(errors.find("Failed to find spreadsheet: " + dir.File("nothere.csv")), std::string::npos);
    EXPECT_NE(dir.Read("debug/debug.txt").find("Failed to find spreadsheet"), std::string::npos);
}

TEST(GSpreadsheet, NulByteEndsItsRow)
{
    std::string text = "#ab";
    text += '\0';
    text += "cd\n#next\n";
    GSpreadsheet sheet("");
    sheet.LoadFromText(text);
    ASSERT_EQ(sheet.rows.size(), 2u);
    EXPECT_EQ(sheet.rows[0], "#ab");
}
