// Fleet files the game cannot take whole (a ship whose design cannot be
// found, more ships than a fleet holds, a file cut short) wait on disk as
// they were found: out of play, told, never rewritten nor removed by a save,
// their places and ids kept, and back in play once the game can read them.
#include <gtest/gtest.h>

#include "CampaignTestWorld.h"
#include "SaveFolderTools.h"

#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ShipDesign.h"
#include "support/ErrorLog.h"

#include <algorithm>
#include <filesystem>

namespace {

class WaitingFleet : public ::testing::Test {
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

    SIM_CampaignFleet* AddFleet(const std::string& name, const char* planet, const std::vector<std::string>& designs)
    {
        auto* fleet = new SIM_CampaignFleet();
        for (const std::string& design : designs) {
            auto* ship = new SIM_CampaignShip();
            ship->SetDesign(SIM_ShipDesign::Find(design));
            ship->InitModuleStates();
            ship->name = design + " " + std::to_string(fleet->GetShips().size());
            ship->id = SIM_CampaignShip::GetNextFreeID();
            fleet->AddShip(ship);
        }
        progress.AddFleet(fleet);
        fleet->guiName = name;
        fleet->SetLocation(world.Planet(planet));
        return fleet;
    }

    std::string Read(const std::string& path) const
    {
        std::string text;
        ReadWholeFile(path, text);
        return text;
    }
};

TEST_F(WaitingFleet, AShipWhoseDesignIsGoneKeepsItsFleetOnDiskUntilTheDesignIsBack)
{
    // The player's own design, in their ships folder.
    const std::string ships = APP_UserFolders::GetInstance().Get(APP_UserFolders::SHIPS);
    std::string escort;
    ASSERT_TRUE(ReadWholeFile("data/ships/fed_ai_escort.txt", escort));
    const std::string mineText = "[config]\nname = mine\n" + escort.substr(escort.find("guiname"));
    const std::string minePath = ships + "/mine.txt";
    ASSERT_TRUE(WriteFileAtomically(minePath, mineText));
    ASSERT_NE(SIM_ShipDesign::LoadFile(minePath, true), nullptr);

    // The fleet with the design holds the highest fleet and ship ids: a new
    // fleet or ship would take its file and its ships' logs.
    AddFleet("Plain", "Aldra", {"fed_ai_escort"});
    SIM_CampaignFleet* mixed = AddFleet("Mine", "Aldra", {"fed_ai_escort", "mine", "mine"});
    ASSERT_EQ(mixed->id, 2);
    const int lastShip = mixed->GetShips().back()->id;
    ASSERT_EQ(lastShip, 4);
    ASSERT_TRUE(progress.Save());
    const std::string mixedPath = folder + "/fleets/fleet2.txt";
    std::map<std::string, std::string> kept;
    kept[mixedPath] = Read(mixedPath);
    for (const SIM_CampaignShip* s : mixed->GetShips())
        kept[s->log->GetPath()] = Read(s->log->GetPath());
    progress.Close();

    // Moved out of the ships folder.
    ASSERT_EQ(SIM_ShipDesign::TryDelete(SIM_ShipDesign::Find("mine"), ships), SIM_ShipDesign::DeleteResult::DELETED);
    ScopedErrorLog log;
    const std::string told = mixedPath + ": the design \"mine\" of \"mine 1\" cannot be found; the fleet waits out of play";
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(log.Count(told), 1);
    EXPECT_EQ(log.Lines(), 1);
    ASSERT_EQ(progress.GetFleets().size(), 1u);
    EXPECT_EQ(progress.GetFleets()[0]->guiName, "Plain");
    ASSERT_EQ(progress.GetWaitingFleets().size(), 1u);
    EXPECT_EQ(progress.GetWaitingFleets()[0].name, "Mine");
    EXPECT_EQ(progress.GetWaitingFleets()[0].path, mixedPath);
    EXPECT_TRUE(world.Planet("Aldra")->fleets.size() == 1u);
    // New fleets and ships take ids past the waiting ones.
    EXPECT_EQ(progress.GetNextFleetID(), 3);
    EXPECT_EQ(SIM_CampaignShip::GetNextFreeID(), lastShip + 1);

    // Turns go on: a new fleet is built, saved each turn; the waiting file
    // and its ships' logs stay exactly as they were.
    SIM_CampaignFleet* fresh = AddFleet("Fresh", "Aldra", {"fed_ai_escort"});
    EXPECT_EQ(fresh->id, 3);
    progress.NextTurn();
    progress.NextTurn();
    for (const auto& [path, text] : kept)
        EXPECT_EQ(Read(path), text) << path;
    EXPECT_NE(Read(folder + "/progress.txt").find(" = 2,"), std::string::npos) << "its place is kept";
    // The game's own save loads again, the fleet still waiting.
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(progress.GetFleets().size(), 2u);
    EXPECT_EQ(progress.GetWaitingFleets().size(), 1u);
    EXPECT_EQ(log.Count(told), 2);
    progress.Close();

    // The design file put back while the game runs: the next load reads it
    // and the fleet is back where it was, whole.
    ASSERT_TRUE(WriteFileAtomically(minePath, mineText));
    ASSERT_EQ(SIM_ShipDesign::Find("mine", false), nullptr);
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_TRUE(progress.GetWaitingFleets().empty());
    ASSERT_EQ(progress.GetFleets().size(), 3u);
    const SIM_CampaignFleet* back = progress.FindFleet(2);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->guiName, "Mine");
    EXPECT_EQ(back->location, world.Planet("Aldra"));
    ASSERT_EQ(back->GetShips().size(), 3u);
    EXPECT_EQ(back->GetShips()[1]->designName, "mine");
    EXPECT_EQ(back->GetShips()[2]->id, lastShip);
    EXPECT_EQ(log.Count(told), 2);
    progress.Close();
    SIM_ShipDesign::TryDelete(SIM_ShipDesign::Find("mine"), ships);
}

TEST_F(WaitingFleet, MoreShipsThanAFleetHoldsWaitAsFoundAndTheCapItselfIsTaken)
{
    auto fleetText = [](size_t ships) {
        std::string text = "[config]\nfleetid = 1\nguiname = Swarm\n";
        for (size_t i = 0; i < ships; ++i)
            text += StrFormat("\n[ship%zu]\ndesign = fed_ai_escort\nquantity = 1\nid = %zu\n", i, i + 1);
        return WholeFleetFile(text);
    };
    const std::string path = folder + "/fleets/fleet1.txt";
    ASSERT_TRUE(WriteFileAtomically(folder + "/progress.txt", "[config]\nrace = federation\nturn = 1\ncash = 10\n"
                                                              "\n[fleets]\n0 = 1,3\n\n[stats]\n"));
    const std::string over = fleetText(SIM_CampaignFleet::kMaxShips + 1);
    ASSERT_TRUE(WriteFileAtomically(path, over));
    ScopedErrorLog log;
    const std::string told = path + ": more than 1000 ships; the fleet waits out of play, its file kept as it is";
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(log.Count(told), 1);
    EXPECT_EQ(log.Lines(), 1);
    EXPECT_TRUE(progress.GetFleets().empty());
    ASSERT_EQ(progress.GetWaitingFleets().size(), 1u);
    EXPECT_EQ(SIM_CampaignShip::GetNextFreeID(), static_cast<int>(SIM_CampaignFleet::kMaxShips) + 2);
    ASSERT_TRUE(progress.Save());
    EXPECT_EQ(Read(path), over);
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(progress.GetWaitingFleets().size(), 1u);

    ASSERT_TRUE(WriteFileAtomically(path, fleetText(SIM_CampaignFleet::kMaxShips)));
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_TRUE(progress.GetWaitingFleets().empty());
    ASSERT_EQ(progress.GetFleets().size(), 1u);
    EXPECT_EQ(progress.GetFleets()[0]->GetShips().size(), SIM_CampaignFleet::kMaxShips);
    EXPECT_EQ(log.Count(told), 2);
    EXPECT_EQ(log.Lines(), 2);
}

TEST_F(WaitingFleet, TheSaveCheckAndTheLoadReadAFleetsIdAlike)
{
    // A fleet file whose config header was lost, and one whose id is written
    // as a decimal: the check that lets the save load and the load that
    // places the fleet must take the same id, or the fleet loads unplaced
    // and its ships go with the next save.
    auto fleetText = [](const std::string& head) {
        return WholeFleetFile(head + "guiname = Kept\n\n[ship0]\ndesign = fed_ai_escort\nquantity = 1\nid = 1\n"
                                     "\n[ship1]\ndesign = fed_ai_escort\nquantity = 1\nid = 2\n");
    };
    const std::string path = folder + "/fleets/fleet1.txt";
    for (const auto& [head, id] : std::vector<std::pair<std::string, int>>{{"fleetid = 1\n", 0},
                                                                          {"[config]\nfleetid = 1e1\n", 10}}) {
        SCOPED_TRACE(head);
        ASSERT_TRUE(WriteFileAtomically(folder + "/progress.txt",
                                        StrFormat("[config]\nrace = federation\nturn = 1\ncash = 10\n"
                                                  "\n[fleets]\n0 = %d,3\n\n[stats]\n",
                                                  id)));
        ASSERT_TRUE(WriteFileAtomically(path, fleetText(head)));
        ASSERT_TRUE(progress.Load("first"));
        ASSERT_EQ(progress.GetFleets().size(), 1u);
        EXPECT_EQ(progress.GetFleets()[0]->id, id);
        EXPECT_NE(progress.GetFleets()[0]->location, nullptr);
        EXPECT_EQ(progress.GetFleets()[0]->GetShips().size(), 2u);
        ASSERT_TRUE(progress.Save());
        ASSERT_TRUE(progress.Load("first"));
        ASSERT_EQ(progress.GetFleets().size(), 1u);
        EXPECT_EQ(progress.GetFleets()[0]->GetShips().size(), 2u) << "no ship lost by the save";
        progress.Close();
        std::filesystem::remove_all(folder + "/fleets");
        std::filesystem::create_directories(folder + "/fleets");
        std::filesystem::remove_all(folder + "/logs");
        std::filesystem::create_directories(folder + "/logs");
    }
}

TEST_F(WaitingFleet, AFleetFileCutAnywhereWaitsAsFoundAndIsTold)
{
    SIM_CampaignFleet* fleet = AddFleet("Cut", "Aldra", {"fed_ai_escort", "fed_ai_escort"});
    fleet->GetShips()[0]->modules[0]->damage.push_back({"Scorched", 3.0f, 40});
    ASSERT_TRUE(progress.Save());
    const std::string path = folder + "/fleets/fleet1.txt";
    const std::string whole = Read(path);
    ASSERT_EQ(whole.back(), '\n');
    // Every line end, and a point inside every line.
    std::vector<size_t> cuts;
    for (size_t at = whole.find('\n'); at != std::string::npos; at = whole.find('\n', at + 1)) {
        cuts.push_back(at);
        if (at > 3)
            cuts.push_back(at - 3);
    }
    // Only the closing newline cut: still whole.
    cuts.erase(std::find(cuts.begin(), cuts.end(), whole.size() - 1));
    // Cut before its id, no fleet can be placed: the whole save is refused
    // as it is, as before.
    const size_t idEnd = whole.find('\n', whole.find("fleetid"));
    for (size_t cut : cuts) {
        const std::string text = whole.substr(0, cut);
        ASSERT_TRUE(WriteFileAtomically(path, text));
        ScopedErrorLog log;
        if (cut < idEnd) {
            EXPECT_FALSE(progress.Load("first")) << cut;
            EXPECT_EQ(progress.GetRefusedFile(), path) << cut;
            EXPECT_EQ(Read(path), text) << cut;
            continue;
        }
        ASSERT_TRUE(progress.Load("first")) << cut;
        EXPECT_TRUE(progress.GetFleets().empty()) << cut;
        ASSERT_EQ(progress.GetWaitingFleets().size(), 1u) << cut;
        EXPECT_EQ(log.Count(path + ": "), 1) << cut;
        EXPECT_EQ(log.Count("the fleet waits out of play, its file kept as it is"), 1) << cut;
    }
    // One of them through a save: the cut file stays as it was found.
    ScopedErrorLog log;
    const std::string cut = whole.substr(0, whole.find("[ship1]") + 10);
    ASSERT_TRUE(WriteFileAtomically(path, cut));
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_NE(progress.GetWaitingFleets()[0].why.find("cut short"), std::string::npos);
    ASSERT_TRUE(progress.Save());
    EXPECT_EQ(Read(path), cut);
    ASSERT_TRUE(progress.Load("first"));

    EXPECT_EQ(log.Lines(), 2);
    // Whole, with or without its last newline, it is in play again.
    for (const std::string& text : {whole, whole.substr(0, whole.size() - 1)}) {
        ASSERT_TRUE(WriteFileAtomically(path, text));
        ASSERT_TRUE(progress.Load("first"));
        EXPECT_TRUE(progress.GetWaitingFleets().empty());
        ASSERT_EQ(progress.GetFleets().size(), 1u);
        EXPECT_EQ(progress.GetFleets()[0]->GetShips().size(), 2u);
    }
    EXPECT_EQ(log.Lines(), 2);
}

} // namespace
