#include "engine/APP_ContentPackage.h"
#include "engine/GHashTable.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(APP_ContentPackage, ListsPackagesWithoutCampaign)
{
    TempDir dir;
    dir.Write("data/packages/base.pkg", "[config]\nname = base\nuiname = Quillomar\n");
    dir.Write("data/packages/extra.pkg", "[config]\nname = extra\nuiname = Extra Ships\n");
    dir.Write("data/packages/broken.pkg", "[other]\nname = nope\n");
    dir.Write("data/packages/notes.txt", "[config]\nname = notapackage\n");
    ScopedChdir cd(dir.Path());
    APP_ContentPackage packages;
    packages.Load();
    ASSERT_EQ(packages.GetPackages().size(), 2u);
    EXPECT_EQ(packages.GetPackages()[0].name, "base");
    EXPECT_EQ(packages.GetPackages()[0].uiName, "Quillomar");
    EXPECT_TRUE(packages.HasPackage("extra"));
    EXPECT_FALSE(packages.HasPackage("Extra"));
    EXPECT_FALSE(packages.HasPackage("nope"));
    EXPECT_FALSE(packages.HasCampaign());

    packages.Load();
    EXPECT_EQ(packages.GetPackages().size(), 2u) << "reloading starts afresh";
}

TEST(APP_ContentPackage, NoPackagesLeavesTheListEmpty)
{
    TempDir dir;
    ScopedChdir cd(dir.Path());
    APP_ContentPackage packages;
    packages.Load();
    EXPECT_TRUE(packages.GetPackages().empty());
    EXPECT_FALSE(packages.HasPackage("base"));
}

TEST(APP_ContentPackage, CampaignStringsJoinTheStringTable)
{
    TempDir dir;
    dir.Write("data/packages/base.pkg", "[config]\nname = base\nuiname = Quillomar\n");
    dir.Write("data/strings.ini", "[strings]\nMENU_PLAY = Play\n");
    dir.Write("campaign/data/campaign_strings.txt", "[strings]\nCAMPAIGN_ONLY_KEY = Conquer the sector\n");
    ScopedChdir cd(dir.Path());
    GetStringTable().Reset(); // whatever an earlier test loaded
    APP_ContentPackage packages;
    packages.Load();
    EXPECT_TRUE(packages.HasCampaign());
    EXPECT_STREQ(GetStringTable().Lookup("CAMPAIGN_ONLY_KEY"), "Conquer the sector");
    EXPECT_STREQ(GetStringTable().Lookup("MENU_PLAY"), "Play");
}

TEST(APP_ContentPackage, ShippedBasePackage)
{
    ScopedChdir cd(QLM_SOURCE_DIR);
    APP_ContentPackage packages;
    packages.Load();
    EXPECT_TRUE(packages.HasPackage("base"));
}
