// Fleet and ship ids of a hand-edited save: one out of 1..kMaxId (or not a
// whole number) is told with its file and key and kept, and new fleets and
// ships never get an id past the bound, so no two share a file.
#include <gtest/gtest.h>

#include "CampaignTestWorld.h"
#include "SaveFolderTools.h"

#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ShipDesign.h"
#include "support/ErrorLog.h"

#include <filesystem>
#include <fstream>
#include <set>

namespace {

class CampaignIds : public ::testing::Test {
protected:
    CampaignTestWorld world;
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    std::string folder;

    void SetUp() override
    {
        ASSERT_TRUE(progress.CreateNew("first", "federation"));
        ASSERT_TRUE(progress.Load("first"));
        folder = progress.GetSaveFolder();
    }

    // A fleet bought at the shipyard: its ship and the fleet take new ids.
    SIM_CampaignFleet* Buy(const char* planet)
    {
        auto* fleet = new SIM_CampaignFleet();
        auto* ship = new SIM_CampaignShip();
        ship->SetDesign(SIM_ShipDesign::Find("fed_ai_escort"));
        ship->InitModuleStates();
        ship->name = "Bought";
        ship->id = SIM_CampaignShip::GetNextFreeID();
        fleet->AddShip(ship);
        progress.AddFleet(fleet);
        fleet->guiName = StrFormat("Bought %d", fleet->id);
        fleet->SetLocation(world.Planet(planet));
        return fleet;
    }

    // An empty value leaves the key out.
    static std::string Key(const char* key, const std::string& value)
    {
        return value.empty() ? std::string() : std::string(key) + " = " + value + "\n";
    }

    void WriteSave(const std::string& fleetId, const std::string& shipId)
    {
        std::filesystem::remove_all(folder + "/fleets");
        std::filesystem::create_directories(folder + "/fleets");
        std::filesystem::remove_all(folder + "/logs");
        std::filesystem::create_directories(folder + "/logs");
        // Placed as the game reads the id.
        GIniFile id;
        id.LoadFromText("s", "[s]\nid = " + fleetId + "\n");
        const int placed = id.GetIntQuietly("id");
        ASSERT_TRUE(WriteFileAtomically(folder + "/progress.txt",
                                        StrFormat("[config]\nrace = federation\nturn = 1\ncash = 10\n"
                                                  "\n[fleets]\n0 = %d,3\n\n[stats]\n",
                                                  placed)));
        ASSERT_TRUE(WriteFileAtomically(folder + "/fleets/fleet1.txt",
                                        WholeFleetFile("[config]\n" + Key("fleetid", fleetId) +
                                                       "guiname = Edited\n\n[ship0]\ndesign = fed_ai_escort\n"
                                                       "quantity = 1\n" +
                                                       Key("id", shipId))));
    }
};

TEST_F(CampaignIds, AnIdOutOfRangeIsToldKeptAndNeverPushesNewIdsPastTheBound)
{
    const std::string path = folder + "/fleets/fleet1.txt";
    struct Case {
        const char* fleetId;
        const char* shipId;
        const char* told; // "" when nothing is wrong
        int nextFleet;
        int nextShip;
    };
    const Case cases[] = {
        // Its file is fleet1.txt: ids count from there too.
        {"7", "12", "", 8, 13},
        // The top of the range is an id; the next one is the lowest free.
        {"999999999", "999999999", "", 2, 1},
        {"999999998", "5", "", 999999999, 6},
        {"2147483647", "3", " [config] fleetid = 2147483647: out of range 1..999999999, kept", 2, 4},
        {"99999999999", "3", " [config] fleetid = 99999999999: out of range 1..999999999, kept as 2147483647", 2, 4},
        {"1e20", "3", " [config] fleetid = 1e20: out of range 1..999999999, kept as 2147483647", 2, 4},
        {"1000000000", "3", " [config] fleetid = 1000000000: out of range 1..999999999, kept", 2, 4},
        {"-5", "3", " [config] fleetid = -5: out of range 1..999999999, kept", 2, 4},
        {"0", "3", " [config] fleetid = 0: out of range 1..999999999, kept", 2, 4},
        {"2.0", "3", " [config] fleetid = 2.0: not a whole number, 2 used", 3, 4},
        {"4", "2147483647", " [ship0] id = 2147483647: out of range 1..999999999, kept", 5, 1},
        {"4", "1e10", " [ship0] id = 1e10: out of range 1..999999999, kept as 2147483647", 5, 1},
        {"4", "-1", " [ship0] id = -1: out of range 1..999999999, kept", 5, 1},
        {"4", "3.0", " [ship0] id = 3.0: not a whole number, 3 used", 5, 4},
        {"4", "", " [ship0]: no id, 0 used", 5, 1},
        {"", "3", " [config]: no fleetid, 0 used", 2, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.fleetId) + " / " + c.shipId);
        WriteSave(c.fleetId, c.shipId);
        ScopedErrorLog log;
        ASSERT_TRUE(progress.Load("first"));
        ASSERT_EQ(progress.GetFleets().size(), 1u) << "the edited fleet stays in play";
        if (*c.told) {
            EXPECT_EQ(log.Count(path + c.told), 1);
            EXPECT_EQ(log.Lines(), 1);
        } else {
            EXPECT_EQ(log.Lines(), 0);
        }
        EXPECT_EQ(progress.GetNextFleetID(), c.nextFleet);
        EXPECT_EQ(SIM_CampaignShip::GetNextFreeID(), c.nextShip);
        progress.Close();
    }
}

TEST_F(CampaignIds, FleetsAndShipsBoughtAfterAnIdAtTheTopOfIntAllSurviveASaveAndALoad)
{
    // As a player meets it: two cruisers built, Next Turn, quit, load.
    for (const auto& [fleetId, shipId] : std::vector<std::pair<std::string, std::string>>{
             {"2147483647", "1"}, {"1", "2147483647"}, {"999999999", "999999999"}}) {
        SCOPED_TRACE(fleetId + " / " + shipId);
        WriteSave(fleetId, shipId);
        ASSERT_TRUE(progress.Load("first"));
        ASSERT_EQ(progress.GetFleets().size(), 1u);
        const SIM_CampaignFleet* a = Buy("Aldra");
        const SIM_CampaignFleet* b = Buy("Aldra");
        EXPECT_GE(a->id, 1);
        EXPECT_LE(a->id, SIM_CampaignProgress::kMaxId);
        EXPECT_GE(b->id, 1);
        EXPECT_LE(b->id, SIM_CampaignProgress::kMaxId);
        EXPECT_NE(a->id, b->id);
        const std::string logA = a->GetShips()[0]->log->GetPath();
        const std::string logB = b->GetShips()[0]->log->GetPath();
        EXPECT_NE(logA, logB);
        EXPECT_NE(logA, progress.GetFleets()[0]->GetShips()[0]->log->GetPath());
        progress.NextTurn();
        progress.Close();

        ASSERT_TRUE(progress.Load("first"));
        ASSERT_EQ(progress.GetFleets().size(), 3u) << "no bought fleet lost";
        std::set<int> fleetIds, shipIds;
        for (const SIM_CampaignFleet* f : progress.GetFleets()) {
            fleetIds.insert(f->id);
            ASSERT_EQ(f->GetShips().size(), 1u);
            shipIds.insert(f->GetShips()[0]->id);
        }
        EXPECT_EQ(fleetIds.size(), 3u);
        EXPECT_EQ(shipIds.size(), 3u);
        progress.Close();
    }
}

} // namespace


namespace {

TEST_F(CampaignIds, ADesignChangedUnderItsNameOrNamedTwiceIsToldAndTheShipKeptAsSaved)
{
    SIM_CampaignFleet* fleet = Buy("Aldra");
    const int modules = static_cast<int>(fleet->GetShips()[0]->modules.size());
    ASSERT_GT(modules, 1);
    ASSERT_TRUE(progress.Save());
    const std::string path = folder + StrFormat("/fleets/fleet%d.txt", fleet->id);
    progress.Close();
    {
        ScopedErrorLog log;
        ASSERT_TRUE(progress.Load("first"));
        EXPECT_EQ(log.Lines(), 0) << "the game's own save matches its designs";
        progress.Close();
    }
    // The records of another design under this name: one record fewer, and
    // one of another module.
    std::string text;
    ASSERT_TRUE(ReadWholeFile(path, text));
    const std::string count = StrFormat("num_mods = %d\n", modules);
    ASSERT_NE(text.find(count), std::string::npos);
    std::string fewer = std::string(text).replace(text.find(count), count.size(), StrFormat("num_mods = %d\n", modules - 1));
    for (const std::string& key : {StrFormat("\n%d = ", modules - 1), StrFormat("\n%d_damage = ", modules - 1)})
        if (const size_t at = fewer.find(key); at != std::string::npos)
            fewer.erase(at + 1, fewer.find('\n', at + 1) - at);
    for (const std::string& changed :
         {fewer,
          std::string(text).replace(text.find("0 = ") + 4, text.find('\n', text.find("0 = ")) - text.find("0 = ") - 4,
                                    "0,no_such_module")}) {
        ASSERT_TRUE(WriteFileAtomically(path, changed));
        ScopedErrorLog log;
        ASSERT_TRUE(progress.Load("first"));
        EXPECT_EQ(log.Count(path + " [ship0] design = fed_ai_escort: its "), 1) << changed;
        EXPECT_EQ(log.Count("module records do not match that design's"), 1);
        EXPECT_EQ(log.Lines(), 1);
        ASSERT_EQ(progress.GetFleets().size(), 1u) << "the ship stays in play";
        progress.Close();
    }

    // Two files of the player's with one design name: the second is told.
    const std::string ships = APP_UserFolders::GetInstance().Get(APP_UserFolders::SHIPS);
    std::string escort;
    ASSERT_TRUE(ReadWholeFile("data/ships/fed_ai_escort.txt", escort));
    const std::string twin = "[config]\nname = twin\n" + escort.substr(escort.find("guiname"));
    ASSERT_TRUE(WriteFileAtomically(ships + "/a_twin.txt", twin));
    ASSERT_TRUE(WriteFileAtomically(ships + "/b_twin.txt", twin));
    {
        ScopedErrorLog log;
        SIM_ShipDesign::FreeLoaded();
        SIM_ShipDesign::LoadAll();
        EXPECT_EQ(log.Count("[config] name = twin: already the name of "), 1);
        EXPECT_EQ(log.Lines(), 1);
    }
    std::filesystem::remove(ships + "/a_twin.txt");
    std::filesystem::remove(ships + "/b_twin.txt");
    SIM_ShipDesign::FreeLoaded();
    SIM_ShipDesign::LoadAll();
}

} // namespace

namespace {

TEST_F(CampaignIds, AProgressWithWindowsLineEndsLoadsWholeAndIsTold)
{
    WriteSave("4", "3");
    std::string text;
    ASSERT_TRUE(ReadWholeFile(folder + "/progress.txt", text));
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ASSERT_TRUE(WriteFileAtomically(folder + "/progress.txt", crlf));
    ScopedErrorLog log;
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(log.Count(folder + "/progress.txt: its lines end in CR LF"), 1);
    EXPECT_EQ(log.Lines(), 1);
    ASSERT_EQ(progress.GetFleets().size(), 1u);
    EXPECT_EQ(progress.GetFleets()[0]->id, 4);
    EXPECT_EQ(progress.turn, 1);
    EXPECT_EQ(progress.cash, 10);
    ASSERT_TRUE(progress.Save());
    ASSERT_TRUE(ReadWholeFile(folder + "/progress.txt", text));
    EXPECT_EQ(text.find('\r'), std::string::npos);
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(progress.GetFleets().size(), 1u);
    EXPECT_EQ(log.Lines(), 1);
    progress.Close();
}

} // namespace

namespace {

// The ids of every ship in play, in fleet order.
std::vector<int> ShipIds(const SIM_CampaignProgress& progress)
{
    std::vector<int> ids;
    for (const SIM_CampaignFleet* f : progress.GetFleets())
        for (const SIM_CampaignShip* s : f->GetShips())
            ids.push_back(s->id);
    return ids;
}

TEST_F(CampaignIds, TwoShipsWithOneIdGetTwoLogsAndKeepTheirHistoryThroughASaveAndALoad)
{
    SIM_CampaignFleet* fleet = Buy("Aldra");
    SIM_CampaignShip* ship = fleet->GetShips()[0];
    ship->log->AddRepairEntry(0.25f, 0.75f);
    const int id = ship->id;
    ASSERT_TRUE(progress.Save());
    const std::string path = folder + StrFormat("/fleets/fleet%d.txt", fleet->id);
    progress.Close();
    // The ship's section copied by hand under another name: one id, twice.
    std::string text;
    ASSERT_TRUE(ReadWholeFile(path, text));
    const size_t from = text.find("[ship0]");
    const size_t to = text.find("[uploadflags]");
    ASSERT_NE(from, std::string::npos);
    std::string twin = text.substr(from, to - from);
    twin.replace(0, 7, "[ship1]");
    ASSERT_TRUE(WriteFileAtomically(path, text.substr(0, to) + twin + text.substr(to)));

    int newId = 0;
    {
        ScopedErrorLog log;
        ASSERT_TRUE(progress.Load("first"));
        EXPECT_EQ(log.Count(path + StrFormat(": ship \"Bought\" id = %d is another ship's id too, given id %d",
                                              id, id + 1)),
                  1);
        EXPECT_EQ(log.Lines(), 1);
        const std::vector<int> ids = ShipIds(progress);
        ASSERT_EQ(ids.size(), 2u);
        EXPECT_EQ(ids[0], id) << "the first keeps its id and its log";
        newId = ids[1];
        EXPECT_EQ(newId, id + 1);
        for (const SIM_CampaignShip* s : progress.GetFleets()[0]->GetShips())
            EXPECT_EQ(s->log->GetEntries().size(), 1u) << "both keep the history they had";
        ASSERT_TRUE(progress.Save());
        progress.Close();
    }
    EXPECT_TRUE(FileExists(folder + StrFormat("/logs/%d_log.ini", id)));
    ASSERT_TRUE(FileExists(folder + StrFormat("/logs/%d_log.ini", newId)));
    ScopedErrorLog log;
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(log.Lines(), 0) << "the save now holds two ids";
    EXPECT_EQ(ShipIds(progress), (std::vector<int>{id, newId}));
    for (const SIM_CampaignShip* s : progress.GetFleets()[0]->GetShips())
        EXPECT_EQ(s->log->GetEntries().size(), 1u);
    progress.Close();
}

TEST_F(CampaignIds, AShipInPlayWithTheIdOfAWaitingShipTakesANewOneAndLeavesItsLog)
{
    WriteSave("4", "3");
    // Fleet 5 waits out of play (its design is gone); its ship is 3 too.
    ASSERT_TRUE(WriteFileAtomically(folder + "/fleets/fleet5.txt",
                                    WholeFleetFile("[config]\nfleetid = 5\nguiname = Waiting\n\n[ship0]\n"
                                                   "design = no_such_design\nquantity = 1\nid = 3\n\n[ship1]\n"
                                                   "design = fed_ai_escort\nquantity = 1\nid = 2.0\n\n[ship2]\n"
                                                   "design = fed_ai_escort\nquantity = 1\n")));
    ASSERT_TRUE(WriteFileAtomically(folder + "/progress.txt",
                                    "[config]\nrace = federation\nturn = 1\ncash = 10\n"
                                    "\n[fleets]\n0 = 4,3\n1 = 5,3\n\n[stats]\n"));
    ASSERT_TRUE(WriteFileAtomically(folder + "/logs/3_log.ini", "LOG_REPAIR,\"Waiting's own\",1\n"));
    ScopedErrorLog log;
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(log.Count("ship \"\" id = 3 is another ship's id too, given id 4"), 1);
    // A ship of a waiting fleet is not read, but its bad id is told.
    EXPECT_EQ(log.Count("fleet5.txt [ship1] id = 2.0: not a whole number, 2 used"), 1);
    EXPECT_EQ(log.Count("fleet5.txt [ship2]: no id, 0 used"), 1) << "a whole file: no cut to blame";
    EXPECT_EQ(ShipIds(progress), std::vector<int>{4});
    ASSERT_TRUE(progress.Save());
    std::string waiting;
    ASSERT_TRUE(ReadWholeFile(folder + "/logs/3_log.ini", waiting));
    EXPECT_EQ(waiting, "LOG_REPAIR,\"Waiting's own\",1\n") << "the waiting ship's log is its own";
    EXPECT_TRUE(FileExists(folder + "/logs/4_log.ini"));
    progress.Close();
}

TEST_F(CampaignIds, LogsOfNoShipAreToldInOneLineAndKept)
{
    WriteSave("4", "3");
    ASSERT_TRUE(WriteFileAtomically(folder + "/logs/3_log.ini", "LOG_REPAIR,\"ours\",1\n"));
    {
        ScopedErrorLog log;
        ASSERT_TRUE(progress.Load("first"));
        EXPECT_EQ(log.Lines(), 0) << "a log of a ship in play is no orphan";
        progress.Close();
    }
    for (int id : {7, 8, 9})
        ASSERT_TRUE(WriteFileAtomically(folder + StrFormat("/logs/%d_log.ini", id), "LOG_REPAIR,\"gone\",1\n"));
    ASSERT_TRUE(WriteFileAtomically(folder + "/logs/03_log.ini", "LOG_REPAIR,\"not a name we write\",1\n"));
    // A waiting fleet's ships own their logs.
    ASSERT_TRUE(WriteFileAtomically(folder + "/fleets/fleet5.txt",
                                    WholeFleetFile("[config]\nfleetid = 5\nguiname = Waiting\n\n[ship0]\n"
                                                   "design = no_such_design\nquantity = 1\nid = 9\n")));
    ASSERT_TRUE(WriteFileAtomically(folder + "/progress.txt",
                                    "[config]\nrace = federation\nturn = 1\ncash = 10\n"
                                    "\n[fleets]\n0 = 4,3\n1 = 5,3\n\n[stats]\n"));
    ScopedErrorLog log;
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(log.Count(folder + "/logs: 3 ship logs belong to no ship of the fleet files, kept as they are"), 1);
    EXPECT_EQ(log.Count("ship logs belong to no ship"), 1);
    ASSERT_TRUE(progress.Save());
    progress.Close();
    for (const char* name : {"7_log.ini", "8_log.ini", "9_log.ini", "03_log.ini"})
        EXPECT_TRUE(FileExists(folder + "/logs/" + name)) << name;

    // A fleet file cut short no longer names the ships past its cut: their
    // logs cannot be told from others', so nothing is said of any.
    std::string waiting;
    ASSERT_TRUE(ReadWholeFile(folder + "/fleets/fleet5.txt", waiting));
    ASSERT_TRUE(WriteFileAtomically(folder + "/fleets/fleet5.txt", waiting.substr(0, waiting.find("[uploadflags]"))));
    ScopedErrorLog cut;
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(cut.Count("fleet5.txt: it was cut short"), 1);
    EXPECT_EQ(cut.Count("ship logs belong to no ship"), 0);
    EXPECT_EQ(cut.Lines(), 1);
    progress.Close();
}

} // namespace
