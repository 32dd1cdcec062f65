// A campaign save folder from another player (shared, downloaded) is input
// that cannot be trusted: its commit record never reaches outside the save,
// a damaged save is refused untouched, and its numbers stay within what a
// campaign can hold.
#include <gtest/gtest.h>

#include "CampaignTestWorld.h"

#include "campaign/sim/SIM_CampaignAIManager.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignSaveWriter.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "engine/GFileHelpers.h"
#include "engine/GFileList.h"
#include "engine/GSafeFile.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_ShipDesign.h"
#include "support/ErrorLog.h"

#include <filesystem>
#include <map>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

// Every entry below the folder (links and folders too) with its text.
std::map<std::string, std::string> Snapshot(const std::string& folder)
{
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        const std::string path = e.path().string();
        if (e.is_symlink())
            out[path] = "link to " + fs::read_symlink(e.path()).string();
        else if (e.is_regular_file())
            ReadWholeFile(path, out[path]);
        else
            out[path] = e.is_directory() ? "folder" : "special";
    }
    return out;
}

class UntrustedSave : public ::testing::Test {
protected:
    CampaignTestWorld world;
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    std::string folder;
    std::string record;

    void SetUp() override
    {
        ASSERT_TRUE(progress.CreateNew("first", "federation"));
        ASSERT_TRUE(progress.Load("first"));
        folder = progress.GetSaveFolder();
        record = folder + "/" + SIM_CampaignSaveWriter::kRecordName;
        auto* ship = new SIM_CampaignShip();
        ship->SetDesign(SIM_ShipDesign::Find("fed_ai_escort"));
        ship->name = "Resolute";
        ship->id = SIM_CampaignShip::GetNextFreeID();
        auto* fleet = new SIM_CampaignFleet();
        fleet->AddShip(ship);
        progress.AddFleet(fleet);
        fleet->guiName = "Iron Vigil";
        fleet->SetLocation(world.Planet("Aldra"));
        ASSERT_TRUE(progress.Save());
    }
};

TEST_F(UntrustedSave, TheRecordNamesOnlyFilesOfItsOwnSaveSet)
{
    using W = SIM_CampaignSaveWriter;
    for (const char* name : {"progress.txt", "opponents.ini", "fleets/fleet1.txt", "fleets/fleet-3.txt",
                             "logs/12_log.ini", "enemyfleets/7.ini"})
        EXPECT_TRUE(W::IsSaveSetName(name)) << name;
    for (const char* name : {"", "/tmp/victim", "../victim", "fleets/../../victim", "fleets/a/b.txt", "fleets/.txt",
                             "fleets/.hidden.txt", "fleets/", "logs/1_log.txt", "camp_ui.txt", "deployments/1.txt",
                             "save.commit", "fleets/fleet 1.txt", "./progress.txt", "other/progress.txt"})
        EXPECT_FALSE(W::IsSaveSetName(name)) << name;
    EXPECT_TRUE(W::IsSaveSetName("fleets/" + std::string(W::kMaxFileName - 4, 'a') + ".txt"));
    EXPECT_FALSE(W::IsSaveSetName("fleets/" + std::string(W::kMaxFileName - 3, 'a') + ".txt"));
}

TEST_F(UntrustedSave, ARecordReachingOutsideItsSaveIsRefusedAndDroppedWithOneLine)
{
    const std::string victim = world.User().Write("victim", "keep me");
    ASSERT_TRUE(progress.CreateNew("second", "korrath"));
    const std::string second = fs::path(folder).parent_path().string() + "/second";
    const std::string outside = world.User().Path() + "/outside";
    fs::create_directories(outside);
    WriteFileAtomically(outside + "/fleet1.txt", "theirs");
    const std::string fleetFile = folder + "/fleets/fleet1.txt";
    std::string secondProgress, text;
    ASSERT_TRUE(ReadWholeFile(second + "/progress.txt", secondProgress));

    struct Case {
        std::string line;
        std::function<void()> prepare;
    };
    const std::vector<Case> cases = {
        {"D " + victim, nullptr},
        {"D ../../victim", nullptr},
        {"D fleets/../../../victim", nullptr},
        {"D ../second/progress.txt", nullptr},
        {"R ../second/progress.txt", [&] { WriteFileAtomically(second + "/progress.txt.new", "x"); }},
        {"D fleets/fleet1.txt\nD " + victim, nullptr}, // one bad line drops the whole record
        {"X fleets/fleet1.txt", nullptr},
        // A staged file that is a link would carry the outside file into the save.
        {"R logs/1_log.ini", [&] { fs::create_symlink(victim, folder + "/logs/1_log.ini.new"); }},
        // A subfolder that is a link leads outside.
        {"D enemyfleets/1.ini", [&] { fs::create_symlink(outside, folder + "/enemyfleets"); }},
    };
    for (const Case& c : cases) {
        fs::remove_all(folder + "/enemyfleets");
        if (c.prepare)
            c.prepare();
        ASSERT_TRUE(WriteFileAtomically(record, c.line + "\n"));
        ScopedErrorLog log;
        ASSERT_TRUE(progress.Load("first")) << c.line;
        EXPECT_EQ(log.Count("Save record refused"), 1) << c.line;
        EXPECT_FALSE(FileExists(record)) << c.line;
        EXPECT_FALSE(fs::is_symlink(folder + "/logs/1_log.ini.new")) << c.line;
        EXPECT_FALSE(fs::exists(folder + "/logs/1_log.ini") && fs::is_symlink(folder + "/logs/1_log.ini"));
        EXPECT_EQ(world.User().Read("victim"), "keep me") << c.line;
        EXPECT_TRUE(FileExists(second + "/progress.txt")) << c.line;
        EXPECT_EQ(ReadWholeFile(second + "/progress.txt", text) ? text : "", secondProgress) << c.line;
        EXPECT_TRUE(FileExists(outside + "/fleet1.txt")) << c.line;
        EXPECT_TRUE(FileExists(fleetFile)) << c.line;
        EXPECT_EQ(progress.GetFleets().size(), 1u) << c.line;
    }

    // A record of this save in the form earlier builds wrote (whole paths into
    // the folder) is still finished.
    fs::remove_all(folder + "/enemyfleets");
    // The staged fleet is the saved one renamed: a fleet without ships is dropped at load.
    std::string staged;
    ASSERT_TRUE(ReadWholeFile(fleetFile, staged));
    const size_t name = staged.find("guiname");
    ASSERT_NE(name, std::string::npos);
    staged.replace(name, staged.find('\n', name) - name, "guiname = Renamed");
    ASSERT_TRUE(WriteFileAtomically(fleetFile + ".new", staged));
    ASSERT_TRUE(WriteFileAtomically(record, "R " + fleetFile + "\n"));
    ASSERT_TRUE(progress.Load("first"));
    ASSERT_EQ(progress.GetFleets().size(), 1u);
    EXPECT_EQ(progress.GetFleets()[0]->guiName, "Renamed");
    EXPECT_FALSE(FileExists(fleetFile + ".new"));
}

TEST_F(UntrustedSave, ADamagedProgressIsRefusedNamedAndLeftAsItIs)
{
    const std::string progressPath = folder + "/progress.txt";
    std::string good;
    ASSERT_TRUE(ReadWholeFile(progressPath, good));
    std::string noise;
    for (int i = 0; i < 4096; ++i)
        noise += static_cast<char>((i * 7919 + 13) % 256);

    struct Case {
        const char* what;
        std::function<void()> damage;
        std::string named;
    };
    const std::vector<Case> cases = {
        {"random bytes", [&] { WriteFileAtomically(progressPath, noise); }, progressPath},
        {"empty", [&] { WriteFileAtomically(progressPath, ""); }, progressPath},
        {"no race", [&] { WriteFileAtomically(progressPath, "[config]\nrace =\nturn = 1\ncash = 5\n"); }, progressPath},
        {"a folder", [&] { fs::remove(progressPath); fs::create_directory(progressPath); }, progressPath},
        {"a fifo", [&] { fs::remove(progressPath); mkfifo(progressPath.c_str(), 0600); }, progressPath},
        {"a link to a device", [&] { fs::remove(progressPath); fs::create_symlink("/dev/zero", progressPath); },
         progressPath},
        {"missing", [&] { fs::remove(progressPath); }, progressPath},
        {"a damaged staged progress with its record",
         [&] {
             WriteFileAtomically(progressPath + ".new", noise);
             WriteFileAtomically(record, "R fleets/fleet1.txt\nR progress.txt\n");
         },
         progressPath + ".new"},
    };
    for (const Case& c : cases) {
        c.damage();
        const auto before = Snapshot(folder);
        ASSERT_EQ(before.count(folder + "/fleets/fleet1.txt"), 1u);
        ScopedErrorLog log;
        EXPECT_FALSE(progress.Load("first")) << c.what;
        EXPECT_EQ(progress.GetRefusedFile(), c.named) << c.what;
        EXPECT_EQ(log.Count("Campaign save refused, it does not read as a campaign : " + c.named), 1) << c.what;
        EXPECT_EQ(Snapshot(folder), before) << c.what;

        fs::remove_all(progressPath);
        fs::remove(progressPath + ".new");
        fs::remove(record);
        ASSERT_TRUE(WriteFileAtomically(progressPath, good));
        ASSERT_TRUE(progress.Load("first")) << c.what;
        EXPECT_EQ(progress.GetRefusedFile(), "");
        EXPECT_EQ(progress.GetFleets().size(), 1u) << c.what;
    }
}

TEST_F(UntrustedSave, NumbersBeyondWhatACampaignHoldsAreBoundedWithALineNamingTheKey)
{
    const std::string progressPath = folder + "/progress.txt";
    const int max = SIM_CampaignProgress::kMaxCash;
    ASSERT_TRUE(WriteFileAtomically(progressPath, "[config]\nrace = ../../../../etc/passwd\nturn = -4\n"
                                                  "cash = 99999999999\ncrew = -2147483648\n\n[fleets]\n0 = 1,3\n"
                                                  "\n[encounter_0]\nencounterid = 3\nfreeze = 1e38\n"
                                                  "\n[stats]\n0 = won,2147483647,-1.00\n1 = won,5,-1.00\n"
                                                  "2 = f,-1,1e38\n"));
    ASSERT_TRUE(WriteFileAtomically(folder + "/fleets/fleet1.txt",
                                    "[config]\nfleetid = 1\nguiname = Odd\n"
                                    "\n[ship0]\ndesign = fed_ai_escort\nquantity = 2000000000\nid = 1\nnum_mods = 1\n"
                                    "0 = 0,frigate_engine\n0_damage = Cut@1.00@-2147483648@\n"
                                    "\n[ship1]\ndesign = fed_ai_escort\nquantity = -7\nid = 2\nnum_mods = 0\n"
                                    "\n[ship2]\ndesign = fed_ai_escort\nquantity = 1\nid = 3\nnum_mods = 0\n"));
    ScopedErrorLog log;
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(progress.race, SIM_Options::GetInstance().GetRaceName());
    EXPECT_EQ(log.Count(progressPath + " [config] race = ../../../../etc/passwd: no such race"), 1);
    EXPECT_EQ(progress.turn, 0);
    EXPECT_EQ(progress.cash, max);
    EXPECT_EQ(progress.crew, 0);
    EXPECT_EQ(log.Count(progressPath + " [config] cash = 99999999999: out of range 0..999999999, 999999999 used"), 1);
    EXPECT_EQ(log.Count(progressPath + " [config] crew = -2147483648: out of range"), 1);
    EXPECT_EQ(log.Count(progressPath + " [config] turn = -4: out of range"), 1);
    EXPECT_EQ(world.campaign->FindEncounter(3)->ai->freezeTurns, INT_MAX);

    ASSERT_EQ(progress.GetFleets().size(), 1u);
    const auto& ships = progress.GetFleets()[0]->GetShips();
    ASSERT_EQ(ships.size(), 3u);
    EXPECT_EQ(ships[0]->quantity, 1); // an escort is no squadron
    EXPECT_EQ(ships[1]->quantity, 1);
    EXPECT_EQ(ships[2]->quantity, 1);
    EXPECT_EQ(log.Count("fleet1.txt [ship0] quantity = 2000000000: out of range 1..1, 1 used"), 1);
    EXPECT_EQ(log.Count("fleet1.txt [ship1] quantity = -7: out of range"), 1);
    EXPECT_EQ(log.Count("[ship2] quantity"), 0);
    EXPECT_EQ(ships[0]->modules[0]->damage[0].repairCost, 0);
    // A repair can no longer pay the player.
    EXPECT_TRUE(ships[0]->RepairDamageEntry(*ships[0]->modules[0], 0));
    EXPECT_EQ(progress.cash, max);

    // Counters saturate rather than wrap, and income stops at the bound.
    const SIM_CampaignStats::Entry* won = progress.GetStats().Find("won");
    ASSERT_NE(won, nullptr);
    EXPECT_EQ(won->count, INT_MAX);
    progress.AddCash(1);
    EXPECT_EQ(progress.cash, max);
    progress.cash = max - 1;
    progress.AddCash(INT_MAX);
    EXPECT_EQ(progress.cash, max);
    progress.AddCash(INT_MIN);
    EXPECT_EQ(progress.cash, 0);
    progress.crew = max;
    progress.AddCrew(3);
    EXPECT_EQ(progress.crew, max);

    // A whole turn at the bound pays no income past it.
    progress.cash = max;
    world.Planet("Aldra")->territory = SIM_CampaignEncounter::PLAYER;
    progress.NextTurn();
    EXPECT_EQ(progress.cash, max);
}

TEST_F(UntrustedSave, CountsAreBoundedToWhatACampaignCanHold)
{
    std::string fleet = "[config]\nfleetid = 1\nguiname = Swarm\n";
    for (size_t i = 0; i < SIM_CampaignFleet::kMaxShips + 5; ++i)
        fleet += "\n[ship" + std::to_string(i) + "]\ndesign = fed_ai_escort\nquantity = 1\nid = " +
                 std::to_string(i + 1) + "\n";
    std::string stats = "[config]\nrace = federation\nturn = 1\ncash = 10\n\n[fleets]\n0 = 1,3\n\n[stats]\n";
    for (size_t i = 0; i < SIM_CampaignProgress::kMaxStats + 5; ++i)
        stats += std::to_string(i) + " = s" + std::to_string(i) + ",1,-1.00\n";
    ASSERT_TRUE(WriteFileAtomically(folder + "/fleets/fleet1.txt", fleet));
    ASSERT_TRUE(WriteFileAtomically(folder + "/progress.txt", stats));
    ScopedErrorLog log;
    ASSERT_TRUE(progress.Load("first"));
    ASSERT_EQ(progress.GetFleets().size(), 1u);
    EXPECT_EQ(progress.GetFleets()[0]->GetShips().size(), SIM_CampaignFleet::kMaxShips);
    EXPECT_EQ(progress.GetStats().GetEntries().size(), SIM_CampaignProgress::kMaxStats);
    EXPECT_EQ(log.Count("more than 1000 ships, the rest ignored"), 1);
    EXPECT_EQ(log.Count("[stats]: 1005 entries, only the first 1000 read"), 1);
}

} // namespace
