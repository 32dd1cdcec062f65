// Saving a design that saved campaigns build from: found in any campaign,
// by the whole design name in any case, and saved as the next version.
#include "campaign/gui/GUI_CampaignRefit.h"
#include "sim/SIM_SavedDesignUse.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

namespace {

void WriteFleet(const std::string& campaigns, const std::string& campaign, const std::string& file,
                const std::string& text)
{
    const std::filesystem::path dir = std::filesystem::path(campaigns) / campaign / "fleets";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / file) << text;
}

TEST(CampaignRefit, EverySavedCampaignCountsByTheWholeDesignNameInAnyCase)
{
    TempDir user;
    const std::string campaigns = user.Path() + "/campaigns";
    EXPECT_FALSE(GUI_CampaignRefit::IsDesignInUse("raider", campaigns)) << "no campaign yet";
    WriteFleet(campaigns, "first", "fleet1.txt", "[ship0]\ndesign = Raider\nname = \"Vale\"\n");
    WriteFleet(campaigns, "second", "fleet2.txt", "[ship0]\ndesign = raider_mk1\nname = \"raider\"\n");
    EXPECT_TRUE(GUI_CampaignRefit::IsDesignInUse("raider", campaigns));
    EXPECT_TRUE(GUI_CampaignRefit::IsDesignInUse("RAIDER", campaigns));
    EXPECT_TRUE(GUI_CampaignRefit::IsDesignInUse("raider_mk1", campaigns)) << "the other campaign counts too";
    EXPECT_FALSE(GUI_CampaignRefit::IsDesignInUse("raid", campaigns)) << "a part of a name is not the name";
    EXPECT_FALSE(GUI_CampaignRefit::IsDesignInUse("vale", campaigns)) << "only design lines name designs";
    EXPECT_FALSE(GUI_CampaignRefit::IsDesignInUse("raider_mk2", campaigns));
    // A fleet file that cannot be read names no design for the refit (a
    // design is still saved); deleting one takes it as a use.
    const std::filesystem::path broken = std::filesystem::path(campaigns) / "third" / "fleets";
    std::filesystem::create_directories(broken);
    std::filesystem::create_symlink(broken / "missing", broken / "fleet3.txt");
    EXPECT_FALSE(GUI_CampaignRefit::IsDesignInUse("raider_mk2", campaigns));
    EXPECT_TRUE(GUI_CampaignRefit::IsDesignInUse("raider", campaigns)) << "the other files are still read";
    EXPECT_TRUE(SIM_SavedDesignUse::IsNamedBelow(campaigns, "raider_mk2"));
}

// Versions are counted by their lower-case names (the designs' and their
// files'), and named in the player's own capitals.
TEST(CampaignRefit, TheNextVersionCountsFromOneOnTheBaseName)
{
    std::set<std::string> loaded;
    std::vector<std::string> asked;
    auto taken = [&](const std::string& n) {
        asked.push_back(n);
        return loaded.count(n) > 0;
    };
    EXPECT_EQ(GUI_CampaignRefit::NextVersionName("raider", taken), "raider_MK1");
    loaded.insert("raider_mk1");
    EXPECT_EQ(GUI_CampaignRefit::NextVersionName("raider", taken), "raider_MK2");
    EXPECT_EQ(GUI_CampaignRefit::NextVersionName("raider_mk1", taken), "raider_MK2");
    asked.clear();
    EXPECT_EQ(GUI_CampaignRefit::NextVersionName("Road Raider_MK3", taken), "Road Raider_MK1");
    EXPECT_EQ(asked, std::vector<std::string>{"road raider_mk1"});
    EXPECT_EQ(GUI_CampaignRefit::NextVersionName(" Raider_Mk3 ", taken), "Raider_MK2");
    loaded.insert("raider_mk2");
    EXPECT_EQ(GUI_CampaignRefit::NextVersionName("raider_mk1", taken), "raider_MK3");
}

} // namespace
