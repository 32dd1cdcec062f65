#include "engine/GIniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(GIniFile, ReadsOnlyTheExactSection)
{
    TempDir dir;
    std::string path = dir.Write("a.ini", "[Section]\nx = 1\n[ship]   \n  name   =   some value  \nspeed=\nflag\n");
    GIniFile ini;
    ASSERT_TRUE(ini.Load("section", path.c_str()));
    EXPECT_EQ(ini.GetEntryCount(), 0u);
    ASSERT_TRUE(ini.Load("ship", path.c_str()));
    EXPECT_STREQ(ini.GetString("name"), "some value");
    EXPECT_TRUE(ini.HasKey("speed"));
    EXPECT_STREQ(ini.GetString("speed"), "");
    EXPECT_TRUE(ini.HasKey("flag"));
    EXPECT_EQ(ini.SaveToText(), "[ship]\nname = some value\nspeed\nflag\n\n");
}
