// A campaign save folder from another player (shared, downloaded) is input
// that cannot be trusted: its commit record never reaches outside the save,
// a damaged save is refused untouched, and its numbers stay within what a
// campaign can hold.
#include <gtest/gtest.h>

#include "CampaignTestWorld.h"
#include "SaveFolderTools.h"

#include "campaign/sim/SIM_CampaignAIManager.h"
#include "campaign/sim/SIM_CampaignEnemiesDB.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignOpponentLog.h"
#include "campaign/sim/SIM_CampaignSaveWriter.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "engine/GFileHelpers.h"
#include "engine/GFileList.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_ShipDesign.h"
#include "support/ErrorLog.h"
#include "support/HostileLogPlace.h"

#include <filesystem>
#include <fstream>
#include <map>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

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
        // A save never removes its own progress or opponents: no record of it would.
        {"D progress.txt", nullptr},
        {"R fleets/fleet1.txt\nD opponents.ini", nullptr},
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
        EXPECT_TRUE(FileExists(folder + "/progress.txt")) << c.line;
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
    const std::string fleetFile = folder + "/fleets/fleet1.txt";
    std::string good, fleetText;
    ASSERT_TRUE(ReadWholeFile(progressPath, good));
    ASSERT_TRUE(ReadWholeFile(fleetFile, fleetText));
    std::string noise;
    for (int i = 0; i < 4096; ++i)
        noise += static_cast<char>((i * 7919 + 13) % 256);
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    const std::string unreadable = "it does not read as a campaign";
    const std::string notPlaced = "its progress does not place this fleet";

    struct Case {
        const char* what;
        std::function<void()> damage;
        std::string why;
        std::string named;
    };
    const std::vector<Case> cases = {
        {"random bytes", [&] { WriteFileAtomically(progressPath, noise); }, unreadable, progressPath},
        {"empty", [&] { WriteFileAtomically(progressPath, ""); }, unreadable, progressPath},
        {"no race", [&] { WriteFileAtomically(progressPath, "[config]\nrace =\nturn = 1\ncash = 5\n"); }, unreadable,
         progressPath},
        {"a folder", [&] { fs::remove(progressPath); fs::create_directory(progressPath); }, unreadable, progressPath},
        {"a fifo", [&] { fs::remove(progressPath); mkfifo(progressPath.c_str(), 0600); }, unreadable, progressPath},
        {"a link to a device", [&] { fs::remove(progressPath); fs::create_symlink("/dev/zero", progressPath); },
         unreadable, progressPath},
        {"missing", [&] { fs::remove(progressPath); }, unreadable, progressPath},
        {"a damaged staged progress with its record",
         [&] {
             WriteFileAtomically(progressPath + ".new", noise);
             WriteFileAtomically(record, "R fleets/fleet1.txt\nR progress.txt\n");
         },
         unreadable, progressPath + ".new"},
        {"cut after its [config] lines",
         [&] { WriteFileAtomically(progressPath, good.substr(0, good.find("\n[fleets]") + 1)); }, "it was cut short",
         progressPath},
        {"its [fleets] section gone", [&] { WriteFileAtomically(progressPath, replaced("[fleets]", "[feets]")); },
         notPlaced, fleetFile},
        {"its fleet at no planet", [&] { WriteFileAtomically(progressPath, replaced("0 = 1,1\n", "0 = 1,999\n")); },
         notPlaced, fleetFile},
        {"its fleet not named", [&] { WriteFileAtomically(progressPath, replaced("0 = 1,1\n", "0 = 2,1\n")); },
         notPlaced, fleetFile},
        {"a second fleet file of the same fleet",
         [&] { WriteFileAtomically(folder + "/fleets/fleet2.txt", fleetText); }, notPlaced,
         folder + "/fleets/fleet2.txt"},
        {"a fleet file that cannot be read", [&] { mkfifo((folder + "/fleets/fleet3.txt").c_str(), 0600); },
         "a fleet file cannot be read", folder + "/fleets/fleet3.txt"},
        // The record of a save cut short is checked as if it were finished.
        {"a record removing its placed fleet", [&] { WriteFileAtomically(record, "D fleets/fleet1.txt\n"); },
         "a fleet its progress places has no file", fleetFile},
        {"a record removing the log of a ship it keeps", [&] { WriteFileAtomically(record, "D logs/1_log.ini\n"); },
         "its record would remove the log of a ship it keeps", record},
    };
    for (const Case& c : cases) {
        c.damage();
        const auto before = Snapshot(folder);
        ASSERT_EQ(before.count(fleetFile), 1u);
        ScopedErrorLog log;
        EXPECT_FALSE(progress.Load("first")) << c.what;
        EXPECT_EQ(progress.GetRefusedFile(), c.named) << c.what;
        EXPECT_EQ(log.Count("Campaign save refused, " + c.why + " : " + c.named), 1) << c.what;
        EXPECT_EQ(Snapshot(folder), before) << c.what;

        fs::remove_all(progressPath);
        for (const char* extra : {"/progress.txt.new", "/fleets/fleet2.txt", "/fleets/fleet3.txt"})
            fs::remove(folder + extra);
        fs::remove(record);
        ASSERT_TRUE(WriteFileAtomically(progressPath, good));
        ASSERT_TRUE(progress.Load("first")) << c.what;
        EXPECT_EQ(progress.GetRefusedFile(), "");
        EXPECT_EQ(progress.GetFleets().size(), 1u) << c.what;
    }
}

TEST_F(UntrustedSave, NoCutOfTheProgressLosesAFleet)
{
    UserFolderInMemory memory(world.User());
    ASSERT_TRUE(progress.CreateNew("first", "federation"));
    ASSERT_TRUE(progress.Load("first"));
    folder = progress.GetSaveFolder();
    // Three fleets at three planets, statistics and a planet's state.
    for (const char* planet : {"Aldra", "Beskar", "Lumen"}) {
        auto* ship = new SIM_CampaignShip();
        ship->SetDesign(SIM_ShipDesign::Find("fed_ai_escort"));
        ship->id = SIM_CampaignShip::GetNextFreeID();
        auto* fleet = new SIM_CampaignFleet();
        fleet->AddShip(ship);
        progress.AddFleet(fleet);
        fleet->SetLocation(world.Planet(planet));
    }
    progress.GetStats().AddToStat("ships_built", 3);
    world.Planet("Beskar")->territory = SIM_CampaignEncounter::PLAYER;
    ASSERT_TRUE(progress.Save());
    const std::string progressPath = folder + "/progress.txt";
    std::string whole;
    ASSERT_TRUE(ReadWholeFile(progressPath, whole));
    // As this build writes it, and as earlier builds did (no format line, no end line).
    std::string earlier = whole;
    earlier.erase(earlier.find("saveformat = 2\n"), 15);
    ASSERT_EQ(earlier.substr(earlier.size() - 7), "\n[end]\n");
    earlier.resize(earlier.size() - 6);

    for (const std::string* cut : {&whole, &earlier}) {
        const std::string& text = *cut;
        const bool ours = cut == &whole;
        int loaded = 0;
        size_t lines = 0;
        for (size_t end = text.find('\n'); end + 1 < text.size(); end = text.find('\n', end + 1)) {
            ++lines;
            std::ofstream(progressPath, std::ios::trunc) << text.substr(0, end + 1);
            const auto before = Snapshot(folder);
            ScopedErrorLog log;
            if (progress.Load("first")) {
                ++loaded;
                EXPECT_EQ(progress.GetFleets().size(), 3u) << lines;
                ASSERT_TRUE(progress.Save());
                for (int id = 1; id <= 3; ++id)
                    EXPECT_TRUE(FileExists(folder + "/fleets/fleet" + std::to_string(id) + ".txt")) << lines;
            } else {
                EXPECT_EQ(Snapshot(folder), before) << lines;
                EXPECT_EQ(log.Count("Campaign save refused"), 1) << lines;
            }
            std::ofstream(progressPath, std::ios::trunc) << text;
        }
        EXPECT_GT(lines, 40u);
        // Ours is refused at every cut; an earlier one loads once its
        // statistics have begun, never with a fleet less.
        if (ours)
            EXPECT_EQ(loaded, 0);
        else
            EXPECT_GT(loaded, 0);
    }
}

TEST_F(UntrustedSave, ALinkedFolderOrRecordIsRefusedAndNothingOutsideTheSaveChanges)
{
    // What a shared save's links could reach: files of every kind a save
    // writes or removes, beside the saves.
    const std::string outside = world.User().Path() + "/outside";
    fs::create_directories(outside);
    for (const char* name : {"fleet1.txt", "1_log.ini", "3.ini", "progress.txt.new", "1_log.ini.new", "prefs.ini"})
        ASSERT_TRUE(WriteFileAtomically(outside + "/" + name, std::string("theirs ") + name));
    ASSERT_TRUE(WriteFileAtomically(outside + "/record", "D fleets/fleet1.txt\nR progress.txt\n"));
    const auto outsideBefore = Snapshot(outside);
    const std::string parent = fs::path(folder).parent_path().string();

    // Each link as tar or zip would carry it, relative to its own place.
    struct Case {
        std::string path;
        std::string target;
    };
    const std::vector<Case> cases = {
        {folder + "/fleets", "../../outside"},
        {folder + "/logs", "../../outside"},
        {folder + "/enemyfleets", "../../outside"},
        {folder + "/deployments", "../../outside"},
        {record, "../../outside/record"},
    };
    for (const Case& c : cases) {
        const bool folderInPlace = fs::is_directory(c.path);
        if (folderInPlace)
            fs::rename(c.path, c.path + ".aside");
        fs::create_symlink(c.target, c.path);
        const auto before = Snapshot(folder);
        ScopedErrorLog log;
        EXPECT_FALSE(progress.Load("first")) << c.path;
        EXPECT_EQ(progress.GetRefusedFile(), c.path);
        EXPECT_EQ(log.Count("Campaign save refused, a symbolic link in it could lead out of the save : " + c.path), 1);
        EXPECT_EQ(Snapshot(folder), before) << c.path;
        EXPECT_EQ(Snapshot(outside), outsideBefore) << c.path;
        fs::remove(c.path);
        if (folderInPlace)
            fs::rename(c.path + ".aside", c.path);
    }
    // The save folder itself, a link to a save elsewhere.
    fs::rename(folder, parent + "/elsewhere");
    fs::create_symlink("elsewhere", folder);
    EXPECT_FALSE(progress.Load("first"));
    EXPECT_EQ(progress.GetRefusedFile(), folder);
    fs::remove(folder);
    fs::rename(parent + "/elsewhere", folder);

    // A link that turns up while the campaign is open: the save is refused
    // and says why, and nothing where the link leads is written or removed.
    ASSERT_TRUE(progress.Load("first"));
    for (const char* sub : {"/logs", "/fleets"}) {
        const std::string path = folder + sub;
        fs::rename(path, path + ".aside");
        fs::create_symlink("../../outside", path);
        ScopedErrorLog log;
        EXPECT_FALSE(progress.Save()) << sub;
        EXPECT_EQ(log.Count("Failed to save campaign progress : not a file inside the save : " + path), 1) << sub;
        SIM_CampaignSaveWriter::Recover(folder); // staged files are removed only inside the save
        EXPECT_EQ(Snapshot(outside), outsideBefore) << sub;
        fs::remove(path);
        fs::rename(path + ".aside", path);
    }
    // Ending a campaign clears its enemy fleets, and only its own.
    fs::remove_all(folder + "/enemyfleets");
    fs::create_symlink("../../outside", folder + "/enemyfleets");
    progress.Reset("federation");
    EXPECT_EQ(Snapshot(outside), outsideBefore);
    fs::remove(folder + "/enemyfleets");

    // The gate itself: a file directly in the save or in one of its real
    // subfolders; nothing past a link, a "..", or another folder.
    using W = SIM_CampaignSaveWriter;
    EXPECT_TRUE(W::LiesInsideSave(folder, folder + "/progress.txt"));
    EXPECT_TRUE(W::LiesInsideSave(folder, folder + "/fleets/fleet9.txt"));
    EXPECT_TRUE(W::LiesInsideSave(folder, folder + "/" + W::kRecordName));
    fs::create_symlink("../../outside", folder + "/enemyfleets");
    for (const std::string& path :
         {folder + "/enemyfleets/3.ini", folder + "/fleets/../progress.txt", folder + "/fleets/a/b.txt",
          folder + "/../progress.txt", folder + "/", folder + "/no_such_folder/x.txt", outside + "/fleet1.txt",
          folder + "x/progress.txt", folder + "//progress.txt"})
        EXPECT_FALSE(W::LiesInsideSave(folder, path)) << path;
    EXPECT_FALSE(W::LiesInsideSave("", "/progress.txt"));
    fs::remove(folder + "/enemyfleets");
}

TEST_F(UntrustedSave, BeyondTheFleetCapOneLineAndWhatLiesBeyondStaysOnDisk)
{
    UserFolderInMemory memory(world.User());
    ASSERT_TRUE(progress.CreateNew("first", "federation"));
    ASSERT_TRUE(progress.Load("first"));
    folder = progress.GetSaveFolder();
    const size_t count = SIM_CampaignProgress::kMaxFleets + 5;
    std::string text = "[config]\nrace = federation\nturn = 1\ncash = 10\n\n[fleets]\n";
    std::vector<std::string> names;
    for (size_t i = 1; i <= count; ++i) {
        const std::string name = "fleet" + std::to_string(i) + ".txt";
        names.push_back(name);
        // Written plainly: a thousand synced writes would only slow the test.
        std::ofstream(folder + "/fleets/" + name)
            << WholeFleetFile(StrFormat("[config]\nfleetid = %zu\nguiname = F\n\n[ship0]\n"
                                        "design = fed_ai_escort\nquantity = 1\nid = %zu\n",
                                        i, i));
        std::ofstream(folder + StrFormat("/logs/%zu_log.ini", i)) << "LOG_REPAIR,\"Old\",1\n";
        text += StrFormat("%zu = %zu,3\n", i - 1, i);
    }
    ASSERT_TRUE(WriteFileAtomically(folder + "/progress.txt", text + "\n[stats]\n"));
    // The files read are the first in folder order: the last five stay unread.
    SortFileNames(names);
    std::map<std::string, std::string> beyond;
    for (size_t i = SIM_CampaignProgress::kMaxFleets; i < count; ++i) {
        const std::string path = folder + "/fleets/" + names[i];
        ReadWholeFile(path, beyond[path]);
        const std::string log = folder + "/logs/" + names[i].substr(5, names[i].size() - 9) + "_log.ini";
        ReadWholeFile(log, beyond[log]);
    }
    ASSERT_EQ(beyond.size(), 10u);

    ScopedErrorLog log;
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(progress.GetFleets().size(), SIM_CampaignProgress::kMaxFleets);
    EXPECT_EQ(log.Count("1005 fleet files, only the first 1000 read, the rest left as they are"), 1);
    EXPECT_EQ(log.Count("[fleets]: 5 entries name fleets beyond the cap, kept as they are"), 1);
    EXPECT_EQ(log.Count("not found"), 0);
    EXPECT_EQ(log.Lines(), 2);
    // A new fleet or ship never takes the file of one beyond the cap.
    EXPECT_EQ(progress.GetNextFleetID(), static_cast<int>(count) + 1);
    EXPECT_EQ(SIM_CampaignShip::GetNextFreeID(), static_cast<int>(count) + 1);
    ASSERT_TRUE(progress.Save());
    for (const auto& [path, before] : beyond) {
        std::string now;
        EXPECT_TRUE(ReadWholeFile(path, now)) << path;
        EXPECT_EQ(now, before) << path;
    }
    // The next load reads the same fleets.
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(progress.GetFleets().size(), SIM_CampaignProgress::kMaxFleets);
    // Five fleets lost in play: the next load reads every file left, those
    // once beyond the cap in their places, and the game's own save loads.
    for (int i = 0; i < 5; ++i) {
        SIM_CampaignFleet* lost = progress.GetFleets().front();
        lost->ClearShips();
        ASSERT_TRUE(lost->DeleteIfEmpty());
    }
    ASSERT_TRUE(progress.Save());
    ASSERT_TRUE(progress.Load("first")) << progress.GetRefusedFile();
    EXPECT_EQ(progress.GetFleets().size(), SIM_CampaignProgress::kMaxFleets);
    for (const auto& [path, before] : beyond)
        if (path.find("/fleets/") != std::string::npos) {
            const int id = atoi(path.c_str() + path.rfind("fleet") + 5);
            const SIM_CampaignFleet* f = progress.FindFleet(id);
            ASSERT_NE(f, nullptr) << path;
            EXPECT_EQ(f->location, world.campaign->FindEncounter(3)) << path;
        }
}

TEST_F(UntrustedSave, NumbersBeyondWhatACampaignHoldsAreBoundedWithALineNamingTheKey)
{
    const std::string progressPath = folder + "/progress.txt";
    const int max = SIM_CampaignProgress::kMaxCash;
    ASSERT_TRUE(WriteFileAtomically(progressPath, "[config]\nrace = ../../../../etc/passwd\nturn = -4\n"
                                                  "cash = 99999999999\ncrew = -2147483648\n\n[fleets]\n0 = 1,3\n"
                                                  "\n[encounter_0]\nencounterid = 3\nfreeze = 1e38\n"
                                                  "loyalty = 1e30\nthreat = 5\ncurrentfleet = 1e20\nfleetboost = -1\n"
                                                  "\n[encounter_1]\nencounterid = 4\nfreeze = 999999\n"
                                                  "loyalty = 1\nthreat = 0\ncurrentfleet = 999999999\nfleetboost = 0\n"
                                                  "\n[stats]\n0 = won,2147483647,-1.00\n1 = won,5,-1.00\n"
                                                  "2 = f,-1,1e38\n"));
    ASSERT_TRUE(WriteFileAtomically(folder + "/fleets/fleet1.txt",
                                    WholeFleetFile("[config]\nfleetid = 1\nguiname = Odd\n"
                                                   "\n[ship0]\ndesign = fed_ai_escort\nquantity = 2000000000\nid = 1\n"
                                                   "num_mods = 1\n0 = 0,frigate_engine\n"
                                                   "0_damage = Cut@1.00@-2147483648@\n"
                                                   "\n[ship1]\ndesign = fed_ai_escort\nquantity = -7\nid = 2\n"
                                                   "num_mods = 0\n"
                                                   "\n[ship2]\ndesign = fed_ai_escort\nquantity = 1\nid = 3\n"
                                                   "num_mods = 0\n")));
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
    // Planet numbers: within their bounds, each one told with its file, section and key.
    const SIM_CampaignEncounter* odd = world.campaign->FindEncounter(3);
    EXPECT_EQ(odd->ai->freezeTurns, SIM_CampaignProgress::kMaxTurn);
    EXPECT_EQ(odd->loyalty.value, 1.0f);
    EXPECT_EQ(odd->ai->threat.value, 1.0f);
    EXPECT_EQ(odd->ai->currentFleet, static_cast<float>(max));
    EXPECT_EQ(odd->ai->fleetboost, 0.0f);
    for (const char* line : {" [encounter_0] freeze = 1e38: out of range 0..999999, 999999 used",
                             " [encounter_0] loyalty = 1e30: out of range 0..1, 1 used",
                             " [encounter_0] threat = 5: out of range 0..1, 1 used",
                             " [encounter_0] currentfleet = 1e20: out of range 0..1e+09, 1e+09 used",
                             " [encounter_0] fleetboost = -1: out of range 0..1e+09, 0 used"})
        EXPECT_EQ(log.Count(progressPath + line), 1) << line;
    // The bounds themselves are kept without a word.
    const SIM_CampaignEncounter* edge = world.campaign->FindEncounter(4);
    EXPECT_EQ(edge->ai->freezeTurns, SIM_CampaignProgress::kMaxTurn);
    EXPECT_EQ(edge->loyalty.value, 1.0f);
    EXPECT_EQ(edge->ai->currentFleet, static_cast<float>(max));
    EXPECT_EQ(log.Count("[encounter_1]"), 0);

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

TEST_F(UntrustedSave, ANumberThatIsNotANumberIsNamedWithItsFileSectionAndKey)
{
    const std::string progressPath = folder + "/progress.txt";
    const std::string fleetPath = folder + "/fleets/fleet1.txt";
    std::string fleet;
    ASSERT_TRUE(ReadWholeFile(fleetPath, fleet));
    const struct {
        const char* cash;
        int read;
        const char* told;
    } cases[] = {{"nan", 0, "not a whole number, 0 used"},
                 {"1e30", SIM_CampaignProgress::kMaxCash, "out of range 0..999999999, 999999999 used"},
                 {"0x7fffffff", 0, "not a whole number, 0 used"},
                 {"inf", 0, "not a whole number, 0 used"},
                 {"12abc", 12, "not a whole number, 12 used"},
                 {"", 0, "not a whole number, 0 used"},
                 {"-1", 0, "out of range 0..999999999, 0 used"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteFileAtomically(progressPath, std::string("[config]\nrace = federation\nturn = nan\ncash = ") +
                                                          c.cash + "\ncrew = 1e30\n\n[fleets]\n0 = 1,3\n\n[stats]\n"));
        std::string damaged = fleet;
        damaged.replace(damaged.find("integrity = 1.00"), 16, "integrity = 1e30");
        ASSERT_TRUE(WriteFileAtomically(fleetPath, damaged));
        ScopedErrorLog log;
        ASSERT_TRUE(progress.Load("first")) << c.cash;
        EXPECT_EQ(progress.cash, c.read) << c.cash;
        EXPECT_EQ(log.Count(progressPath + " [config] cash = " + c.cash + ": " + c.told), 1) << c.cash;
        EXPECT_EQ(progress.turn, 0);
        EXPECT_EQ(log.Count(progressPath + " [config] turn = nan: not a whole number, 0 used"), 1);
        EXPECT_EQ(progress.crew, SIM_CampaignProgress::kMaxCash);
        EXPECT_EQ(log.Count(progressPath + " [config] crew = 1e30: out of range"), 1);
        ASSERT_EQ(progress.GetFleets().size(), 1u);
        EXPECT_EQ(progress.GetFleets()[0]->GetShips()[0]->integrity, 1.0f);
        EXPECT_EQ(log.Count(fleetPath + " [ship0] integrity = 1e30: out of range 0..1, 1 used"), 1);
        EXPECT_EQ(log.Lines(), 4) << c.cash;
    }

    // Turns stop at the bound a load holds them to: the game's own save
    // always loads again without a word.
    ASSERT_TRUE(WriteFileAtomically(progressPath, StrFormat("[config]\nrace = federation\nturn = %d\ncash = 5\n"
                                                            "\n[fleets]\n0 = 1,3\n\n[stats]\n",
                                                            SIM_CampaignProgress::kMaxTurn - 1)));
    ASSERT_TRUE(progress.Load("first"));
    progress.NextTurn();
    EXPECT_EQ(progress.turn, SIM_CampaignProgress::kMaxTurn);
    progress.NextTurn();
    EXPECT_EQ(progress.turn, SIM_CampaignProgress::kMaxTurn);
    ScopedErrorLog log;
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(progress.turn, SIM_CampaignProgress::kMaxTurn);
    EXPECT_EQ(log.Lines(), 0);
}

TEST_F(UntrustedSave, ASideFileThatCannotBeReadIsSetAsideOnceAndTheCampaignKeepsSaving)
{
    const std::string opponents = folder + "/opponents.ini";
    const std::string log = folder + "/logs/1_log.ini";
    ASSERT_TRUE(progress.Load("first"));
    // A FIFO where the opponents and the record go, a folder where a ship's log goes.
    fs::remove(opponents);
    ASSERT_EQ(mkfifo(opponents.c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(record.c_str(), 0600), 0);
    fs::remove(log);
    fs::create_directories(log + "/inside");
    GSafeFile::ForgetRefusedFiles();
    ScopedErrorLog errors;
    ASSERT_TRUE(progress.Load("first"));
    for (int turn = 0; turn < 3; ++turn)
        ASSERT_TRUE(progress.Save()) << turn;
    // Each told once, kept under another name, the save's own files back.
    for (const std::string& path : {opponents, record, log})
        EXPECT_EQ(errors.Count("Set aside, it could not be read : " + path + " is now " + path + ".refused:"), 1)
            << path;
    EXPECT_EQ(errors.Count("Set aside"), 3);
    EXPECT_EQ(errors.Count("Failed to save"), 0);
    struct stat st;
    ASSERT_EQ(lstat((opponents + ".refused").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    ASSERT_EQ(lstat((record + ".refused").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_TRUE(fs::is_directory(log + ".refused/inside"));
    EXPECT_TRUE(FileExists(opponents));
    EXPECT_TRUE(FileExists(log));
    EXPECT_FALSE(FileExists(record)) << "a save finished leaves no record";
    // A second FIFO of the same name goes beside the first.
    fs::remove(opponents);
    ASSERT_EQ(mkfifo(opponents.c_str(), 0600), 0);
    GSafeFile::ForgetRefusedFiles();
    ASSERT_TRUE(progress.Load("first"));
    ASSERT_TRUE(progress.Save());
    EXPECT_EQ(lstat((opponents + ".refused2").c_str(), &st), 0);
    EXPECT_TRUE(FileExists(opponents));
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(errors.Count("Set aside"), 4);
}

TEST_F(UntrustedSave, AFolderAtAStagedNameIsSetAsideOnceAndTheCampaignKeepsSaving)
{
    ASSERT_TRUE(progress.Load("first"));
    const std::string fleet = folder + StrFormat("/fleets/fleet%d.txt", progress.GetFleets()[0]->id);
    // An empty folder where a staged copy goes: no rename could replace it.
    const std::string staged = fleet + SIM_CampaignSaveWriter::kStagedSuffix;
    const std::string stagedProgress = folder + "/progress.txt" + SIM_CampaignSaveWriter::kStagedSuffix;
    fs::create_directories(staged);
    fs::create_directories(stagedProgress + "/inside");
    ScopedErrorLog errors;
    for (int turn = 0; turn < 3; ++turn)
        ASSERT_TRUE(progress.Save()) << turn;
    for (const std::string& path : {staged, stagedProgress})
        EXPECT_EQ(errors.Count("Set aside, it could not be read : " + path + " is now " + path + ".refused:"), 1)
            << path;
    EXPECT_EQ(errors.Count("Set aside"), 2);
    EXPECT_EQ(errors.Count("Failed to save"), 0);
    EXPECT_TRUE(fs::is_directory(staged + ".refused"));
    EXPECT_TRUE(fs::is_directory(stagedProgress + ".refused/inside"));
    EXPECT_FALSE(fs::exists(staged));
    EXPECT_FALSE(fs::exists(stagedProgress));
    progress.Close();
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(progress.GetFleets().size(), 1u);
}

TEST_F(UntrustedSave, AModuleCountThatDisagreesWithItsRecordsIsToldWithItsFileAndTheRecordsKept)
{
    ASSERT_TRUE(progress.Load("first"));
    SIM_CampaignShip* ship = progress.GetFleets()[0]->GetShips()[0];
    ship->InitModuleStates();
    const size_t modules = ship->modules.size();
    ASSERT_GT(modules, 1u);
    SIM_CampaignDamage hit;
    hit.description = "Hull breach";
    hit.damage = 0.5f;
    hit.repairCost = 40;
    ship->modules[1]->damage.push_back(hit);
    ASSERT_TRUE(progress.Save());
    const std::string path = folder + StrFormat("/fleets/fleet%d.txt", progress.GetFleets()[0]->id);
    progress.Close();
    std::string text;
    ASSERT_TRUE(ReadWholeFile(path, text));
    const std::string count = StrFormat("num_mods = %zu\n", modules);
    ASSERT_NE(text.find(count), std::string::npos);
    struct Case {
        std::string value;
        bool told;
    };
    for (const Case& c : {Case{"0", true}, Case{"-1", true}, Case{StrFormat("%zu", modules - 1), true},
                          Case{"2.5", true}, Case{"513", true}, Case{StrFormat("%zu", modules), false}}) {
        SCOPED_TRACE(c.value);
        ASSERT_TRUE(WriteFileAtomically(path, std::string(text).replace(text.find(count), count.size(),
                                                                        "num_mods = " + c.value + "\n")));
        ScopedErrorLog log;
        for (int round = 0; round < 2; ++round) {
            ASSERT_TRUE(progress.Load("first"));
            const SIM_CampaignShip* loaded = progress.GetFleets()[0]->GetShips()[0];
            ASSERT_EQ(loaded->modules.size(), modules) << round;
            ASSERT_EQ(loaded->modules[1]->damage.size(), 1u) << round;
            EXPECT_EQ(loaded->modules[1]->damage[0].description, "Hull breach");
            EXPECT_EQ(loaded->modules[1]->damage[0].repairCost, 40);
            // Saved with its true count: told at the first load only.
            ASSERT_TRUE(progress.Save());
            progress.Close();
        }
        EXPECT_EQ(log.Count(StrFormat("%s [ship0] num_mods = %s: %zu module records follow (at most 512 are read), "
                                      "all kept",
                                      path.c_str(), c.value.c_str(), modules)),
                  c.told ? 1 : 0);
        EXPECT_EQ(log.Lines(), c.told ? 1 : 0);
    }
}

TEST_F(UntrustedSave, UnknownKeysLineEndsAnotherHullAndTheLastTurnAreToldOnceWithTheirFile)
{
    ASSERT_TRUE(progress.Load("first"));
    const std::string fleetPath = folder + StrFormat("/fleets/fleet%d.txt", progress.GetFleets()[0]->id);
    const std::string progressPath = folder + "/progress.txt";
    progress.Close();
    std::string fleet, saved;
    ASSERT_TRUE(ReadWholeFile(fleetPath, fleet));
    ASSERT_TRUE(ReadWholeFile(progressPath, saved));
    // The game's own files read without a word.
    {
        ScopedErrorLog log;
        ASSERT_TRUE(progress.Load("first"));
        EXPECT_EQ(log.Lines(), 0);
        progress.Close();
    }
    std::string many;
    for (int i = 0; i < 200000; ++i)
        many += "k" + std::to_string(i) + " = 1\n";
    std::string crlf;
    for (char c : fleet)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::string hull = "hull = fed_frigate\n";
    ASSERT_NE(fleet.find(hull), std::string::npos);
    struct Case {
        std::string fleet, progress, told;
    };
    const Case cases[] = {
        {std::string(fleet).insert(fleet.find("[ship0]\n") + 8, many), saved,
         fleetPath + ": 200000 keys the game does not read, ignored"},
        // A module record's key is a number, with or without "_damage".
        {std::string(fleet).insert(fleet.find("[ship0]\n") + 8, "0x = 1\n_damage = 2\n12_dmg = 3\n"), saved,
         fleetPath + ": 3 keys the game does not read, ignored"},
        {crlf, saved, fleetPath + ": its lines end in CR LF (edited elsewhere), read as plain line ends"},
        {std::string(fleet).replace(fleet.find(hull), hull.size(), "hull = kor_cruiser\n"), saved,
         fleetPath + " [ship0] hull = kor_cruiser: its design fed_ai_escort is on hull fed_frigate now (changed "
                     "since), the ship takes it"},
        {fleet, std::string(saved).insert(saved.find("[config]\n") + 9, many),
         progressPath + " [config]: 200000 keys the game does not read, ignored"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.told);
        ASSERT_TRUE(WriteFileAtomically(fleetPath, c.fleet));
        ASSERT_TRUE(WriteFileAtomically(progressPath, c.progress));
        ScopedErrorLog log;
        ASSERT_TRUE(progress.Load("first"));
        EXPECT_EQ(progress.GetFleets().size(), 1u);
        EXPECT_EQ(log.Count(c.told), 1) << log.Text();
        EXPECT_EQ(log.Lines(), 1) << log.Text();
        progress.Close();
    }
    ASSERT_TRUE(WriteFileAtomically(fleetPath, fleet));
    ASSERT_TRUE(WriteFileAtomically(progressPath, saved));

    // The last turn a save holds: Next Turn keeps it there, and says so once.
    ASSERT_TRUE(progress.Load("first"));
    progress.turn = SIM_CampaignProgress::kMaxTurn - 1;
    ScopedErrorLog log;
    progress.NextTurn();
    EXPECT_EQ(progress.turn, SIM_CampaignProgress::kMaxTurn);
    EXPECT_EQ(log.Count("the last turn a save holds"), 0);
    progress.NextTurn();
    progress.NextTurn();
    EXPECT_EQ(progress.turn, SIM_CampaignProgress::kMaxTurn);
    EXPECT_EQ(log.Count(progressPath + " [config] turn = 999999: the last turn a save holds, the turn stays there"), 1);
}

TEST_F(UntrustedSave, AnOpponentListThatIsNotTheGamesIsToldOnceBeforeItIsWrittenAnew)
{
    const std::string path = folder + "/opponents.ini";
    struct Case {
        std::string text, told;
    };
    const Case cases[] = {
        {"[opponents]\n", ""},
        {"[opponents]\n0 = \"c1\"\n1 = \"c2\"\n", ""},
        {"", ": no [opponents] section (empty or damaged), the list starts empty"},
        {"\x89PNG garbage\n", ": no [opponents] section (empty or damaged), the list starts empty"},
        {"[opponents]\n0 = \"c1\"\nx = \"c2\"\n-1 = \"c3\"\n",
         " [opponents]: 2 entries not numbered as the game numbers them, read as they stand"},
        {"[opponents]\n0 = \"c1\"\n1 = \"c", ": cut off inside its last line, read as it stands"},
        {"stray = 1\n[opponents]\n0 = \"c1\"\n[notes]\na = b\n",
         ": 3 lines outside its [opponents] section, not kept at the next save"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(WriteFileAtomically(path, c.text));
        ScopedErrorLog log;
        SIM_CampaignOpponentLog::GetInstance().Load(folder);
        EXPECT_EQ(log.Count(path + c.told), c.told.empty() ? 0 : 1) << log.Text();
        EXPECT_EQ(log.Lines(), c.told.empty() ? 0 : 1) << log.Text();
    }
}

TEST_F(UntrustedSave, ADamagedEnemyFleetIsToldAndLeftAsItIsAndARecordLineIsEchoedShort)
{
    const std::string enemy = folder + "/enemyfleets/3.ini";
    const std::string twin = folder + "/enemyfleets/4.ini";
    auto fleet = [](int planet) {
        return StrFormat("[config]\nqlmid = q1\nencounterid = %d\n\n[ship_4,]\nshipid = 4\nquantity = 1\n", planet);
    };
    ASSERT_TRUE(WriteFileAtomically(enemy, "[config]\nqlmid = q1\nencounterid = 3\n"));
    ASSERT_TRUE(WriteFileAtomically(twin, fleet(4)));
    {
        ScopedErrorLog errors;
        ASSERT_TRUE(progress.Load("first"));
        EXPECT_EQ(errors.Count(enemy + ": no enemy ship in it, not read"), 1);
        ASSERT_TRUE(progress.Save());
        EXPECT_EQ(errors.Lines(), 1);
    }
    std::string text;
    EXPECT_TRUE(ReadWholeFile(enemy, text));
    EXPECT_EQ(text, "[config]\nqlmid = q1\nencounterid = 3\n");
    // Two files for one planet: the second is told and kept.
    ASSERT_TRUE(WriteFileAtomically(enemy, fleet(3)));
    ASSERT_TRUE(WriteFileAtomically(twin, fleet(3)));
    {
        ScopedErrorLog errors;
        ASSERT_TRUE(progress.Load("first"));
        EXPECT_EQ(errors.Count(twin + ": a second fleet for its planet, not read"), 1);
        ASSERT_TRUE(progress.Save());
        EXPECT_TRUE(FileExists(twin));
    }
    // Hundreds without a ship: one line of them a load, not one each; every
    // one kept.
    constexpr size_t kShipless = SIM_CampaignEnemiesDB::kMaxFleets - 100;
    for (size_t i = 0; i < kShipless; ++i)
        std::ofstream(folder + StrFormat("/enemyfleets/%zu.ini", 100 + i)) << "[config]\nqlmid = q1\nencounterid = 3\n";
    {
        ScopedErrorLog errors;
        ASSERT_TRUE(progress.Load("first"));
        EXPECT_EQ(errors.Count(StrFormat(" and %zu more enemy fleet files: no enemy ship in it, not read", kShipless - 1)),
                  1);
        EXPECT_EQ(errors.Lines(), 2) << "the twin's line besides";
        ASSERT_TRUE(progress.Save());
        for (size_t i = 0; i < kShipless; ++i)
            ASSERT_TRUE(FileExists(folder + StrFormat("/enemyfleets/%zu.ini", 100 + i))) << i;
    }
    for (size_t i = 0; i < kShipless; ++i)
        fs::remove(folder + StrFormat("/enemyfleets/%zu.ini", 100 + i));

    // A refused record line of thousands of characters is told by its number and start.
    const std::string longLine = "D fleets/" + std::string(3000, 'x');
    ASSERT_TRUE(WriteFileAtomically(record, "R progress.txt\n" + longLine + "\n"));
    ScopedErrorLog errors;
    SIM_CampaignSaveWriter::Recover(folder);
    EXPECT_EQ(errors.Count("Save record refused, it names a file outside its save : " + record + " : line 2: " +
                           longLine.substr(0, 80) + "...:"),
              1)
        << errors.Text();
    EXPECT_LT(errors.Text().size(), 400u);
}

TEST_F(UntrustedSave, StatisticsAreBoundedToWhatACampaignCanHold)
{
    // (A fleet past its ship cap waits as it was found: SIM_CampaignWaitingFleetTest.)
    std::string stats = "[config]\nrace = federation\nturn = 1\ncash = 10\n\n[fleets]\n\n[stats]\n";
    for (size_t i = 0; i < SIM_CampaignProgress::kMaxStats + 5; ++i)
        stats += std::to_string(i) + " = s" + std::to_string(i) + ",1,-1.00\n";
    ASSERT_TRUE(WriteFileAtomically(folder + "/progress.txt", stats));
    // Its fleet gone, its ship's log would be told as no ship's.
    fs::remove(folder + "/fleets/fleet1.txt");
    fs::remove_all(folder + "/logs");
    ScopedErrorLog log;
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(progress.GetStats().GetEntries().size(), SIM_CampaignProgress::kMaxStats);
    EXPECT_EQ(log.Count("[stats]: 1005 entries, only the first 1000 read"), 1);
    EXPECT_EQ(log.Lines(), 1);
}

} // namespace

namespace {

TEST_F(UntrustedSave, TheTurnsReportItKeepsIsReadWithinBoundsAndBadLinesAreTold)
{
    // As a save written while the turn's report waited keeps it, round trip.
    SIM_CampaignEncounter* aldra = world.Planet("Aldra");
    aldra->loyalty.value = 0.5f;
    aldra->ai->threat.value = 0.5f;
    AddReasonedChange(0.05f, "Held, and glad of it", true, aldra->loyalty);
    AddReasonedChange(-0.125f, "Raiders = near [again]", false, aldra->ai->threat);
    ASSERT_TRUE(progress.Save());
    ASSERT_TRUE(progress.Load("first"));
    aldra = world.Planet("Aldra");
    ASSERT_TRUE(aldra->loyalty.changed);
    ASSERT_EQ(aldra->loyalty.changes.size(), 1u);
    EXPECT_EQ(aldra->loyalty.changes[0].amount, 0.05f);
    EXPECT_TRUE(aldra->loyalty.changes[0].flag);
    EXPECT_EQ(aldra->loyalty.changes[0].reason, "Held, and glad of it");
    ASSERT_TRUE(aldra->ai->threat.changed);
    ASSERT_EQ(aldra->ai->threat.changes.size(), 1u);
    EXPECT_EQ(aldra->ai->threat.changes[0].amount, -0.125f);
    EXPECT_FALSE(aldra->ai->threat.changes[0].flag);
    EXPECT_EQ(aldra->ai->threat.changes[0].reason, "Raiders  near again]") << "what a save line cannot hold goes";

    // A save from elsewhere: numbers out of bounds and unreadable lines are
    // told with file, section and key and passed over; a reason is cut to
    // 200 characters; lines of a value that did not change are not read.
    const std::string progressPath = folder + "/progress.txt";
    const std::string longReason(300, 'r');
    ASSERT_TRUE(WriteFileAtomically(progressPath, "[config]\nrace = federation\nturn = 2\ncash = 10\ncrew = 5\n"
                                                  "\n[fleets]\n0 = 1,3\n"
                                                  "\n[encounter_0]\nencounterid = 3\nloyalty = 0.5\n"
                                                  "loyaltychanged = 1\nloyaltychange0 = 0.05,1,Fine\n"
                                                  "loyaltychange1 = nan,1,x\nloyaltychange2 = 100.5,0,y\n"
                                                  "loyaltychange3 = -100,0," + longReason + "\n"
                                                  "loyaltychange4 = 0.2\n"
                                                  "threatchange0 = 0.2,0,z\n"
                                                  "\n[stats]\n"));
    ScopedErrorLog log;
    ASSERT_TRUE(progress.Load("first"));
    const SIM_CampaignEncounter* odd = world.campaign->FindEncounter(3);
    ASSERT_TRUE(odd->loyalty.changed);
    ASSERT_EQ(odd->loyalty.changes.size(), 2u);
    EXPECT_EQ(odd->loyalty.changes[0].reason, "Fine");
    EXPECT_EQ(odd->loyalty.changes[1].amount, -100.0f);
    EXPECT_EQ(odd->loyalty.changes[1].reason, longReason.substr(0, 200));
    EXPECT_FALSE(odd->ai->threat.changed);
    EXPECT_TRUE(odd->ai->threat.changes.empty());
    for (int bad : {1, 2, 4})
        EXPECT_EQ(log.Count(StrFormat("%s [encounter_0] loyaltychange%d: not a change of the turn's report, passed over",
                                      progressPath.c_str(), bad)),
                  1)
            << bad;
    EXPECT_EQ(log.Lines(), 3);
}

} // namespace

TEST_F(UntrustedSave, AHundredThousandUnknownShipLogLinesAreOneLineNamingTheLogWithControlBytesByName)
{
    const SIM_CampaignShip* ship = progress.GetFleets()[0]->GetShips()[0];
    const std::string log = ship->log->GetPath();
    std::string text = "LOG_REPAIR,\"kept\",2\n";
    for (int i = 0; i < 100000; ++i)
        text += "LOG_\x1b]0;owned\x07,text,3\n";
    ASSERT_TRUE(WriteFileAtomically(log, text));
    {
        ScopedErrorLog errors;
        ASSERT_TRUE(progress.Load("first"));
        const SIM_CampaignShip* back = progress.GetFleets()[0]->GetShips()[0];
        ASSERT_EQ(back->log->GetEntries().size(), 1u);
        EXPECT_EQ(back->log->GetEntries()[0].text, "kept");
        EXPECT_EQ(errors.Count(log + ": 100000 entries of no known kind left out (the first: "
                                     "LOG_<control character 27>]0;owned<control character 7>)"),
                  1)
            << errors.Text();
        EXPECT_EQ(errors.Lines(), 1) << errors.Text();
        EXPECT_EQ(errors.Text().find('\x1b'), std::string::npos);
    }

    // A save record and a value read from the progress show their control bytes by name too.
    ASSERT_TRUE(WriteFileAtomically(record, "R progress.txt\nD fleets/\x1b[2J\n"));
    ScopedErrorLog errors;
    SIM_CampaignSaveWriter::Recover(folder);
    EXPECT_EQ(errors.Count(": line 2: D fleets/<control character 27>[2J"), 1) << errors.Text();
    GIniFile ini;
    ini.LoadFromText("config", "[config]\nturn = \x1b]2;x\x07\n");
    ini.SetFileName(folder + "/progress.txt");
    EXPECT_EQ(ini.GetInt("turn"), 0);
    EXPECT_EQ(errors.Count("<control character 27>]2;x<control character 7>"), 1) << errors.Text();
    EXPECT_EQ(errors.Text().find('\x1b'), std::string::npos);
    EXPECT_EQ(errors.Text().find('\x07'), std::string::npos);
}

TEST_F(UntrustedSave, ACampaignLogThatIsALinkOrAFifoIsRefusedAndTheCampaignGoesOn)
{
    SIM_CampaignDebugLog& campaignLog = SIM_CampaignDebugLog::GetInstance();
    const std::string path = world.User().File("debug/campaign.txt");
    for (const char* place : {"debug/campaign.txt", "debug"})
        for (HostileLogPlace::Form form : HostileLogPlace::kForms) {
            SCOPED_TRACE(std::string(place) + " as " + HostileLogPlace::Name(form));
            HostileLogPlace hostile;
            hostile.Make(world.User().File(place), form);
            campaignLog.SetPathForTest(path);
            ScopedErrorLog errors;
            testing::internal::CaptureStderr();
            CampaignLog("a campaign line");
            CampaignLog("another campaign line");
            const std::string terminal = testing::internal::GetCapturedStderr();
            EXPECT_TRUE(hostile.Untouched());
            EXPECT_EQ(terminal, "Log refused, " +
                                    std::string(place[5] ? (form == HostileLogPlace::FIFO ? "not a regular file" : "a link")
                                                         : (form == HostileLogPlace::FIFO ? "its folder is not a folder"
                                                                                          : "its folder is a link")) +
                                    ": " + path + "; the game goes on without it\n");
            EXPECT_EQ(errors.Lines(), 0) << errors.Text();
            ASSERT_TRUE(progress.Save());
            fs::remove_all(world.User().File(place));
        }
    // Its own file again: written.
    fs::create_directory(world.User().File("debug"));
    campaignLog.SetPathForTest(path);
    CampaignLog("a campaign line");
    campaignLog.Close();
    EXPECT_EQ(world.User().Read("debug/campaign.txt"), "a campaign line\n");
}
