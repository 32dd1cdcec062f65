// The campaign on disk: the progress and fleet files as written, loading them
// back, a save that is whole or not at all, ship logs, statistics, and a few
// scripted turns with the save checked after each.
#include <gtest/gtest.h>

#include "CampaignTestWorld.h"
#include "SaveFolderTools.h"

#include "campaign/sim/SIM_CampaignAIManager.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignFleetMerger.h"
#include "campaign/sim/SIM_CampaignSaveWriter.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "engine/GFileHelpers.h"
#include "engine/GFileList.h"
#include "engine/GHashTable.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ShipDesign.h"

#include <map>

namespace {

std::map<std::string, std::string> FolderContents(const std::string& folder)
{
    std::map<std::string, std::string> out;
    for (const char* mask : {"/*", "/fleets/*", "/logs/*"}) {
        GFileList files;
        files.FindFiles(folder + mask);
        for (const std::string& f : files.names) {
            std::string text;
            ReadWholeFile(f, text);
            out[f] = text;
        }
    }
    return out;
}

class CampaignSave : public ::testing::Test {
protected:
    CampaignTestWorld world;
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();

    void SetUp() override
    {
        ASSERT_TRUE(progress.CreateNew("first", "federation"));
        ASSERT_TRUE(progress.Load("first"));
    }

    // A fleet of one escort with two modules, one carrying two damage records.
    SIM_CampaignFleet* MakeFleet(SIM_CampaignEncounter* at, const std::string& name)
    {
        auto* ship = new SIM_CampaignShip();
        ship->SetDesign(SIM_ShipDesign::Find("fed_ai_escort"));
        ship->name = "Resolute";
        ship->id = SIM_CampaignShip::GetNextFreeID();
        for (const char* type : {"frigate_engine", "frigate_armour"}) {
            auto m = std::make_unique<SIM_CampaignModuleState>();
            m->moduleTypeName = type;
            m->slot = static_cast<int>(ship->modules.size()) * 3;
            m->ship = ship;
            ship->modules.push_back(std::move(m));
        }
        ship->modules[0]->damage = {{"Scorched nozzle", 10.0f, 120}, {"Cracked mount", 15.0f, 80}};
        ship->modules[1]->damage = {{"Dented plate", 55.0f, 300}};
        ship->RecalculateIntegrity();
        auto* fleet = new SIM_CampaignFleet();
        fleet->AddShip(ship);
        progress.AddFleet(fleet);
        fleet->guiName = name;
        fleet->SetLocation(at);
        return fleet;
    }
};

TEST_F(CampaignSave, NewCampaignStartsFromTheOptions)
{
    EXPECT_EQ(progress.turn, 0);
    EXPECT_EQ(progress.cash, CampaignOptionInt("newgame_credits"));
    EXPECT_EQ(progress.crew, CampaignOptionInt("newgame_crew"));
    EXPECT_GT(progress.cash, 0);
    EXPECT_EQ(progress.race, "federation");
    EXPECT_TRUE(progress.GetFleets().empty());
    EXPECT_FLOAT_EQ(progress.GetConquestRatio(), 1.0f / 24.0f);
}

TEST_F(CampaignSave, SaveNamesStayInsideTheCampaignFolder)
{
    const std::string root = APP_UserFolders::GetInstance().Get(APP_UserFolders::CAMPAIGN_PROGRESS) + "/";
    for (const char* name : {"../escape", "a/b", "/abs", ".."}) {
        ASSERT_TRUE(progress.CreateNew(name, "federation")) << name;
        ASSERT_TRUE(progress.Load(name)) << name;
        const std::string folder = progress.GetSaveFolder();
        EXPECT_EQ(folder.compare(0, root.size(), root), 0) << folder;
        EXPECT_EQ(folder.find('/', root.size()), std::string::npos) << folder;
        EXPECT_EQ(folder.find("..", root.size()), std::string::npos) << folder;
    }
}

TEST_F(CampaignSave, FilesAreWrittenAsExpectedAndReadBackIdentically)
{
    SIM_CampaignFleet* fleet = MakeFleet(world.Planet("Aldra"), "Iron Vigil");
    SIM_CampaignShip* ship = fleet->GetShips()[0];
    EXPECT_NEAR(ship->integrity, (50 * 0.5f + 220 * 0.75f) / 270.0f, 1e-5f);
    EXPECT_FLOAT_EQ(ship->armourIntegrity, 0.75f);
    ship->log->AddConstructionEntry(world.Planet("Aldra"));
    progress.GetStats().AddToStat("ships_built", 3);
    progress.GetStats().AddToStat("ships_built", 2);
    progress.GetStats().AddToFloatStat("x", 2.75f);
    world.Planet("Beskar")->territory = SIM_CampaignEncounter::ENEMY;
    world.Planet("Beskar")->ai->freezeTurns = 3;
    ASSERT_TRUE(progress.Save());

    const std::string folder = progress.GetSaveFolder();
    std::string fleetText;
    ASSERT_TRUE(ReadWholeFile(folder + "/fleets/fleet1.txt", fleetText));
    EXPECT_EQ(fleetText, "[config]\nfleetid = 1\nguiname = \"Iron Vigil\"\n\n"
                         "\n[ship0]\ndesign = fed_ai_escort\nhull = fed_frigate\nname = \"Resolute\"\nquantity = 1\n"
                         "num_mods = 2\n"
                         "integrity = 0.70\nid = 1\nmoved = 0\n"
                         "0 = 0,frigate_engine\n0_damage = Scorched nozzle@10.00@120@Cracked mount@15.00@80@\n"
                         "1 = 3,frigate_armour\n1_damage = Dented plate@55.00@300@\n"
                         "\n[uploadflags]\nONEHUNDRED = 0\nSEVENTYFIVE = 0\nFIFTY = 0\nTWENTYFIVE = 0\n");
    std::string progressText;
    ASSERT_TRUE(ReadWholeFile(folder + "/progress.txt", progressText));
    EXPECT_EQ(progressText.substr(0, progressText.find("\n[encounter_0]")),
              "[config]\nsaveformat = 2\nrace = federation\nturn = 0\ncash = 6000\ncrew = 900\n\n[fleets]\n"
              "0 = 1,1\n\n");
    // The last line tells a whole progress from one cut short.
    EXPECT_EQ(progressText.substr(progressText.size() - 7), "\n[end]\n");
    EXPECT_NE(progressText.find("\n[encounter_1]\nencounterid = 2\nterritory = ENEMY\nthreat = 0.00\n"
                                "loyalty = 0.00\ncurrentfleet = 980.00\nfleetboost = 0.00\nfreeze = 3.00\n"),
              std::string::npos);
    EXPECT_NE(progressText.find("[stats]\n0 = ships_built,5,-1.00\n1 = x,-1,2.75\n"), std::string::npos);
    std::string logText;
    ASSERT_TRUE(ReadWholeFile(folder + "/logs/1_log.ini", logText));
    EXPECT_EQ(logText, "LOG_CONSTRUCTION,\"" + std::string(GetString("CAMPAIGN_LOG_CONSTRUCTION")).replace(
                           std::string(GetString("CAMPAIGN_LOG_CONSTRUCTION")).find("<CONSTRUCTIONWORLD>"), 19,
                           "Aldra") + "\",0\n");

    // Save again: byte for byte the same. Load and save: the same again.
    const auto first = FolderContents(folder);
    ASSERT_TRUE(progress.Save());
    EXPECT_EQ(FolderContents(folder), first);
    world.Planet("Beskar")->territory = SIM_CampaignEncounter::UNKNOWN;
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(world.Planet("Beskar")->territory, SIM_CampaignEncounter::ENEMY);
    EXPECT_EQ(world.Planet("Beskar")->ai->freezeTurns, 3);
    ASSERT_EQ(progress.GetFleets().size(), 1u);
    SIM_CampaignShip* back = progress.GetFleets()[0]->GetShips()[0];
    EXPECT_FLOAT_EQ(back->modules[0]->integrity, 0.5f);
    EXPECT_EQ(back->GetModuleRepairCost(*back->modules[0]), 200);
    ASSERT_EQ(back->log->GetEntries().size(), 1u);
    EXPECT_EQ(back->log->GetEntries()[0].turnText, "0");
    // The float statistic comes back cut to its whole part.
    EXPECT_FLOAT_EQ(progress.GetStats().Find("x")->value, 2.0f);
    EXPECT_EQ(progress.GetStats().Find("ships_built")->count, 5);
    EXPECT_EQ(progress.GetStats().Find("Ships_built"), nullptr);
    progress.GetStats().AddToFloatStat("x", 0.75f); // as it was saved
    ASSERT_TRUE(progress.Save());
    EXPECT_EQ(FolderContents(folder), first);
}

TEST_F(CampaignSave, AFailedSaveKeepsTheOldOneWholeAndAGoneFleetLeavesNoFile)
{
    MakeFleet(world.Planet("Aldra"), "Iron Vigil");
    SIM_CampaignFleet* second = MakeFleet(world.Planet("Aldra"), "Silent Tide");
    ASSERT_TRUE(progress.Save());
    const std::string folder = progress.GetSaveFolder();
    const auto before = FolderContents(folder);
    ASSERT_EQ(before.count(folder + "/fleets/fleet2.txt"), 1u);

    // The fleet files are staged first, the progress last: failing any one of
    // them leaves every old file and no staged leftovers.
    progress.cash = 1;
    second->guiName = "Renamed";
    for (int failAt : {0, 1, 4}) {
        SIM_CampaignSaveWriter::FailStagedWriteForTest(failAt);
        EXPECT_FALSE(progress.Save()) << failAt;
        SIM_CampaignSaveWriter::FailStagedWriteForTest(-1);
        EXPECT_EQ(FolderContents(folder), before) << failAt;
    }

    // A fleet that is gone takes its file with it at the next save.
    for (SIM_CampaignShip* s : std::vector<SIM_CampaignShip*>(second->GetShips())) {
        second->RemoveShip(s);
        delete s;
    }
    EXPECT_TRUE(second->DeleteIfEmpty());
    ASSERT_TRUE(progress.Save());
    EXPECT_FALSE(FileExists(folder + "/fleets/fleet2.txt"));
    EXPECT_TRUE(FileExists(folder + "/fleets/fleet1.txt"));
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(progress.cash, 1);
    EXPECT_EQ(progress.GetFleets().size(), 1u);
}

TEST_F(CampaignSave, ACrashAmongTheRenamesIsFinishedAsAWholeSaveOnLoad)
{
    SIM_CampaignFleet* first = MakeFleet(world.Planet("Aldra"), "Iron Vigil");
    MakeFleet(world.Planet("Aldra"), "Silent Tide");
    ASSERT_TRUE(progress.Save());
    const std::string folder = progress.GetSaveFolder();
    const std::string record = folder + "/" + SIM_CampaignSaveWriter::kRecordName;
    for (int crashAt : {0, 1, 3}) {
        const auto old = FolderContents(folder);
        progress.cash = 100 + crashAt;
        first->guiName = "Renamed " + std::to_string(crashAt);
        SIM_CampaignSaveWriter::CrashBeforeRenameForTest(crashAt);
        EXPECT_FALSE(progress.Save()) << crashAt;
        SIM_CampaignSaveWriter::CrashBeforeRenameForTest(-1);
        // Cut off mid-way: the progress (renamed last) is still the old one,
        // and some fleet files may already be new.
        ASSERT_TRUE(FileExists(record)) << crashAt;
        std::string progressText;
        ASSERT_TRUE(ReadWholeFile(folder + "/progress.txt", progressText));
        EXPECT_TRUE(progressText == old.at(folder + "/progress.txt")) << crashAt;
        if (crashAt > 0) {
            EXPECT_TRUE(FolderContents(folder).at(folder + "/fleets/fleet1.txt") != old.at(folder + "/fleets/fleet1.txt"));
        }

        ASSERT_TRUE(progress.Load("first")) << crashAt;
        EXPECT_EQ(progress.cash, 100 + crashAt);
        ASSERT_EQ(progress.GetFleets().size(), 2u);
        EXPECT_EQ(progress.GetFleets()[0]->guiName, "Renamed " + std::to_string(crashAt));
        // Nothing staged is left, and saving again writes the same files: one whole save.
        const auto recovered = FolderContents(folder);
        for (const auto& [path, text] : recovered)
            EXPECT_EQ(path.find(SIM_CampaignSaveWriter::kStagedSuffix), std::string::npos) << path;
        EXPECT_FALSE(FileExists(record));
        ASSERT_TRUE(progress.Save());
        EXPECT_EQ(FolderContents(folder), recovered) << crashAt;
        first = progress.GetFleets()[0];
    }

    // Staged files without their record never were a save: dropped on load.
    ASSERT_TRUE(WriteFileAtomically(folder + "/progress.txt.new", "[config]\ncash = 7\n"));
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(progress.cash, 103);
    EXPECT_FALSE(FileExists(folder + "/progress.txt.new"));
}

TEST_F(CampaignSave, LoadSkipsShortEntriesDropsEmptyFleetsAndReadsOwners)
{
    const std::string folder = progress.GetSaveFolder();
    ASSERT_TRUE(WriteFileAtomically(folder + "/fleets/fleet5.txt",
                                    WholeFleetFile("[config]\nfleetid = 5\nguiname = Kept\n"
                                                   "\n[ship1]\ndesign = fed_ai_escort\nid = 10\n")));
    // A yard's fleet saved before it got a ship shows no icon after a load.
    ASSERT_TRUE(WriteFileAtomically(folder + "/fleets/fleet6.txt",
                                    WholeFleetFile("[config]\nfleetid = 6\nguiname = Empty\n")));
    ASSERT_TRUE(WriteFileAtomically(folder + "/progress.txt",
                                    "[config]\nrace = korrath\nturn = 4\ncash = 12\n\n[fleets]\n0 = 4,\n1 = 5,2\n2 = 6,2\n"
                                    "\n[encounter_0]\nencounterid = 3\nterritory = PLAYER\nfreeze = 2.00\n"
                                    "\n[encounter_1]\nencounterid = 4\nterritory = Player\n"
                                    "\n[encounter_2]\nencounterid = 999\nterritory = ENEMY\n"
                                    "\n[stats]\n0 = a,\n1 = ships_built,3,-1.00\n"));
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(progress.race, "korrath");
    EXPECT_EQ(progress.turn, 4);
    EXPECT_EQ(progress.crew, 0);
    // "4," is too short to name a place (and names no fleet of the save);
    // fleet 6 has no ship and is dropped from its planet.
    ASSERT_EQ(progress.GetFleets().size(), 1u);
    EXPECT_EQ(progress.GetFleets()[0]->id, 5);
    ASSERT_EQ(progress.GetFleets()[0]->GetShips().size(), 1u);
    EXPECT_EQ(progress.GetFleets()[0]->GetShips()[0]->id, 10);
    EXPECT_EQ(progress.GetFleets()[0]->location, world.Planet("Beskar"));
    EXPECT_EQ(world.Planet("Beskar")->fleets.size(), 1u);
    EXPECT_EQ(world.campaign->FindEncounter(3)->territory, SIM_CampaignEncounter::PLAYER);
    EXPECT_EQ(world.campaign->FindEncounter(3)->ai->freezeTurns, 2);
    EXPECT_EQ(world.campaign->FindEncounter(4)->territory, SIM_CampaignEncounter::UNKNOWN);
    EXPECT_EQ(progress.GetStats().GetEntries().size(), 1u);
}

TEST_F(CampaignSave, LoyaltyThreatAndIncomeComeBackExactlyAfterAReload)
{
    // Values a few turns of changes leave, which two decimals cannot hold.
    const float loyalties[] = {0.797f, 0.0049f, 1.0f / 3.0f, 0.5f};
    std::vector<SIM_CampaignEncounter*> planets;
    int n = 0;
    for (SIM_CampaignEncounter* e : world.campaign->GetEncounters()) {
        e->territory = SIM_CampaignEncounter::PLAYER;
        e->loyalty.value = loyalties[n % 4];
        e->ai->threat.value = 0.123456f;
        e->ai->currentFleet = 980.125f + static_cast<float>(n);
        e->ai->fleetboost = 1.0f / 7.0f;
        planets.push_back(e);
        ++n;
    }
    auto income = [&] {
        int total = 0;
        for (SIM_CampaignEncounter* e : planets)
            for (const auto& f : e->facilities) {
                f->UpdateCurrentCash();
                total += static_cast<int>(f->GetCurrentCash());
            }
        return total;
    };
    SIM_CampaignEncounter* aldra = world.Planet("Aldra");
    ASSERT_TRUE(aldra->HasFacilityOfType("factory"));
    aldra->loyalty.value = 0.797f; // its factory yields 400: 318 credits, and 320 at 0.80
    const int before = income();
    ASSERT_TRUE(progress.Save());
    std::string text;
    ASSERT_TRUE(ReadWholeFile(progress.GetSaveFolder() + "/progress.txt", text));
    // Two decimals where they are enough, as saves always had.
    EXPECT_NE(text.find("loyalty = 0.797\n"), std::string::npos);
    EXPECT_NE(text.find("loyalty = 0.50\n"), std::string::npos);
    for (SIM_CampaignEncounter* e : planets) {
        e->loyalty.value = 0.0f;
        e->ai->threat.value = 0.0f;
        e->ai->currentFleet = 0.0f;
        e->ai->fleetboost = 0.0f;
    }
    ASSERT_TRUE(progress.Load("first"));
    n = 0;
    for (SIM_CampaignEncounter* e : planets) {
        const float loyalty = e == aldra ? 0.797f : loyalties[n % 4];
        EXPECT_EQ(e->loyalty.value, loyalty) << e->planetName;
        EXPECT_EQ(e->ai->threat.value, 0.123456f) << e->planetName;
        EXPECT_EQ(e->ai->currentFleet, 980.125f + static_cast<float>(n)) << e->planetName;
        EXPECT_EQ(e->ai->fleetboost, 1.0f / 7.0f) << e->planetName;
        ++n;
    }
    EXPECT_EQ(income(), before);

    // A save written with two decimals still loads as it always did.
    const size_t at = text.find("loyalty = ", text.find(StrFormat("encounterid = %d\n", aldra->encounterId)));
    ASSERT_EQ(text.compare(at, 16, "loyalty = 0.797\n"), 0);
    text.replace(at, 16, "loyalty = 0.80\n");
    ASSERT_TRUE(WriteFileAtomically(progress.GetSaveFolder() + "/progress.txt", text));
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(aldra->loyalty.value, 0.80f);
}

TEST_F(CampaignSave, ShipLogsKeepCommasQuotesAndSkipBlankLines)
{
    SIM_CampaignShip ship;
    ship.id = 77;
    progress.turn = 12;
    ship.log->AddRepairEntry(12345.9f, 0.8f);
    const std::string repair = ship.log->GetEntries()[0].text;
    EXPECT_NE(repair.find("12,345"), std::string::npos) << repair;
    EXPECT_NE(repair.find("80%"), std::string::npos) << repair;
    EXPECT_EQ(repair.find("12,346"), std::string::npos) << repair;
    SIM_CampaignEncounter* odd = world.Planet("Lumen");
    odd->planetName = "Lumen, \"the bright\"";
    ship.log->AddWarpEntry(world.Planet("Aldra"), odd);
    const std::string saved = ship.log->SaveText();
    SIM_CampaignShipsLog back(&ship);
    back.LoadFromText("\n\nx\n" + saved + "NOT_A_KIND,text,3\n");
    ASSERT_EQ(back.GetEntries().size(), 2u);
    EXPECT_EQ(back.GetEntries()[0].kind, SIM_CampaignShipsLog::REPAIR);
    EXPECT_EQ(back.GetEntries()[0].turnText, "12");
    EXPECT_EQ(back.GetEntries()[1].kind, SIM_CampaignShipsLog::HYPERSPACEJUMP);
    EXPECT_NE(back.GetEntries()[1].text.find("Lumen, 'the bright'"), std::string::npos) << back.GetEntries()[1].text;
    odd->planetName = "Lumen";
}

TEST_F(CampaignSave, FleetNamesFleetTotalsAndSplittingImmobileShips)
{
    SIM_CampaignFleet* fleet = MakeFleet(world.Planet("Aldra"), "Iron Vigil");
    SIM_CampaignShip* escort = fleet->GetShips()[0];
    auto* base = new SIM_CampaignShip();
    base->SetDesign(SIM_ShipDesign::Find("fed_ai_escort"));
    fleet->AddShip(base);
    EXPECT_FLOAT_EQ(fleet->totalCost, 2.0f * escort->design->GetCost());
    base->integrity = 0.0f;
    fleet->RecalculateTotals();
    EXPECT_FLOAT_EQ(fleet->survivingCost, escort->design->GetCost());
    EXPECT_TRUE(fleet->NeedsRepair());
    EXPECT_EQ(fleet->GetMostExpensiveDesign(), escort->design);
    EXPECT_FALSE(fleet->IsImmobile());
    EXPECT_FALSE(fleet->SplitOffImmobileShips()); // both have engines

    // Names come from the pool, never one a fleet already carries.
    SIM_CampaignFleetNames::GetInstance().Clear();
    for (int i = 0; i < 30; ++i)
        EXPECT_NE(SIM_CampaignFleetNames::GetInstance().DrawName(), "Iron Vigil");
    // No names at all: a numbered fleet.
    SetCampaignDataFolder(world.User().Path());
    SIM_CampaignFleetNames::GetInstance().Clear();
    SIM_CampaignFleet unnamed;
    unnamed.id = 7;
    unnamed.ChooseRandomName();
    EXPECT_EQ(unnamed.GetName(), "Fleet 7");
    SetCampaignDataFolder("campaign/data");
    SIM_CampaignFleetNames::GetInstance().Clear();

    // A fleet whose designs all cost nothing still names one.
    const float cost = escort->design->GetCost();
    escort->design->SetCost(0.0f);
    EXPECT_EQ(fleet->GetMostExpensiveDesign(), escort->design);
    escort->design->SetCost(cost);
}

TEST_F(CampaignSave, MergedFleetsBecomeOneAndDetachedShipsTheirOwn)
{
    SIM_CampaignFleet* a = MakeFleet(world.Planet("Aldra"), "Iron Vigil");
    SIM_CampaignFleet* b = MakeFleet(world.Planet("Aldra"), "Silent Tide");
    SIM_CampaignShip* moved = b->GetShips()[0];
    SIM_CampaignFleetMerger::SetMergePair(b, nullptr);
    EXPECT_FALSE(SIM_CampaignFleetMerger::ExecuteMerge());
    SIM_CampaignFleetMerger::SetMergePair(b, a);
    ASSERT_TRUE(SIM_CampaignFleetMerger::ExecuteMerge());
    EXPECT_FALSE(SIM_CampaignFleetMerger::ExecuteMerge()); // the pair is used up
    ASSERT_EQ(progress.GetFleets().size(), 1u);
    ASSERT_EQ(a->GetShips().size(), 2u);
    EXPECT_EQ(a->GetShips()[1], moved);
    EXPECT_EQ(moved->fleet, a);
    EXPECT_EQ(world.Planet("Aldra")->fleets.size(), 1u);
    EXPECT_FALSE(FileExists(progress.GetSaveFolder() + "/fleets/fleet2.txt"));

    SIM_CampaignFleet* alone = moved->DetachToNewFleet();
    ASSERT_TRUE(alone);
    EXPECT_EQ(alone->location, world.Planet("Aldra"));
    EXPECT_EQ(alone->GetShips().size(), 1u);
    EXPECT_EQ(a->GetShips().size(), 1u);
    EXPECT_FALSE(alone->GetName().empty());
    ASSERT_TRUE(progress.Load("first"));
    EXPECT_EQ(progress.GetFleets().size(), 2u);
}

TEST_F(CampaignSave, ScriptedTurnsPayIncomeRaiseAttacksAndSaveEachTurn)
{
    CampaignTestWorld::SetOptions("newgame_credits = 6000\nloyalty_boost_per_turn = 0.1\n"
                                  "enemy_attack_chance_multiplier = 10\nthreat_rise_per_turn = 0.5\n"
                                  "no_attack_window = 1\nno_attack_fadein = 1\nno_attack_homeworld = 1000\n"
                                  "no_random_attack_window = 1000\nfutile_attacks_threshold = 0\n");
    // Beskar is ours, small and surrounded.
    SIM_CampaignEncounter* beskar = world.Planet("Beskar");
    beskar->territory = SIM_CampaignEncounter::PLAYER;
    beskar->loyalty.value = 0.5f;
    SIM_CampaignFleet* fleet = MakeFleet(beskar, "Iron Vigil");
    const int cash0 = progress.cash;
    const int crew0 = progress.crew;
    fleet->MarkMoved();
    SIM_CampaignBattleManager& bm = SIM_CampaignBattleManager::GetInstance();
    int attacked = -1;
    for (int t = 1; t <= 3; ++t) {
        progress.NextTurn();
        EXPECT_EQ(progress.turn, t);
        EXPECT_FALSE(fleet->HasMovedShip());
        GIniFile saved;
        saved.Load("config", (progress.GetSaveFolder() + "/progress.txt").c_str());
        EXPECT_EQ(saved.GetInt("turn"), t);
        EXPECT_EQ(saved.GetInt("cash"), progress.cash);
        if (attacked < 0 && !bm.GetPending().empty())
            attacked = t;
    }
    // Aldra (factory 400, academy 60, loyal) pays every turn; Beskar's factory
    // pays 400 x 0.6, 0.7, 0.8.
    EXPECT_EQ(progress.cash, cash0 + 3 * 400 + 240 + 280 + 320);
    EXPECT_EQ(progress.crew, crew0 + 3 * 60);
    // Threat climbs from turn 1; the attack window opens on turn 1.
    ASSERT_GE(attacked, 1);
    ASSERT_FALSE(bm.GetPending().empty());
    EXPECT_EQ(bm.GetPending()[0]->encounter, beskar);
    EXPECT_EQ(bm.GetPending()[0]->fleets.size(), 1u);
    bm.Clear();
}

} // namespace
