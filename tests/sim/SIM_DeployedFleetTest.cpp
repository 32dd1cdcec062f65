#include "sim/SIM_DeployedFleet.h"

#include "ContentAWorld.h"
#include "engine/APP_UserFolders.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ChallengeFile.h"
#include "sim/SIM_DeploymentFile.h"
#include "support/ErrorLog.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {
const char* kFleetFile = "[ship0]\n"
                         "shipid = 1\n"
                         "name = Alpha\n"
                         "design = fedcruiser\n"
                         "pos = -12,7\n"
                         "quantity = 1\n"
                         "angle = 90\n"
                         "behaviour_0 = ATTACK_FIGHTERS,-1,0.10,300.00\n"
                         "behaviour_1 = CAUTIOUS,-1,0.50,0.00\n"
                         "\n"
                         "[ship1]\n"
                         "shipid = 2\n"
                         "name = Beta\n"
                         "design = fedcruiser\n"
                         "pos = 400,300\n"
                         "quantity = 1\n"
                         "angle = -45\n"
                         "behaviour_0 = ESCORT,1,0.00,0.00\n"
                         "\n"
                         "[ship2]\n"
                         "shipid = 5\n"
                         "name = Fang\n"
                         "design = korfighter\n"
                         "pos = 10,20\n"
                         "quantity = 4\n"
                         "angle = 0\n"
                         "\n";

class DeployedFleets : public ::testing::Test {
protected:
    std::string WriteFleet(const std::string& name, const std::string& text) { return m_world.Dir().Write(name, text); }
    SIM_Scenario* MakeScenario(const std::string& variables)
    {
        m_scenario = std::make_unique<SIM_Scenario>();
        std::string path = m_world.Dir().Write("scn.txt", "[config]\nname = scn\n[variables]\n" + variables);
        m_scenario->Load(path);
        return m_scenario.get();
    }
    ContentAWorld m_world;
    std::unique_ptr<SIM_Scenario> m_scenario;
};
} // namespace

TEST_F(DeployedFleets, LoadCountsQuantitiesCostsAndModules)
{
    SIM_DeployedFleet fleet;
    ASSERT_TRUE(fleet.Load(WriteFleet("f.txt", kFleetFile), MakeScenario(""), false));
    ASSERT_EQ(fleet.GetShips().size(), 3u);
    EXPECT_EQ(fleet.GetTotalShips(), 6);
    const float cruiserCost = SIM_ShipDesign::Find("fedcruiser")->GetCost();
    const float fighterCost = SIM_ShipDesign::Find("korfighter")->GetCost();
    EXPECT_FLOAT_EQ(fleet.GetTotalCost(), cruiserCost * 2 + fighterCost * 4);
    EXPECT_EQ(fleet.CountModuleType("shield"), 2);
    EXPECT_EQ(fleet.CountModuleType("engine"), 6);
    EXPECT_EQ(fleet.CountModuleType("laser"), 0);
    const SIM_DeployedShip* alpha = fleet.FindShip(1);
    ASSERT_NE(alpha, nullptr);
    EXPECT_FLOAT_EQ(alpha->x, -12.0f);
    EXPECT_FLOAT_EQ(alpha->y, 7.0f);
    EXPECT_EQ(alpha->orders.Count(), 2u);
    EXPECT_EQ(fleet.GetHighestShipId(), 5);
    EXPECT_EQ(fleet.FindShip(3), nullptr);
}

TEST_F(DeployedFleets, ScenarioRestrictionsRaceAndMissingDesignsDropShips)
{
    std::string text = std::string(kFleetFile) +
                       "[ship3]\nshipid = 9\nname = Ghost\ndesign = no_such_design\npos = 0,0\nquantity = 1\n"
                       "angle = 0\n\n";
    std::string path = WriteFleet("f.txt", text);
    SIM_DeployedFleet fleet;
    fleet.Load(path, MakeScenario("FIGHTERS_INOPERABLE\n"), false);
    EXPECT_EQ(fleet.GetShips().size(), 2u);
    EXPECT_EQ(fleet.FindShip(5), nullptr);
    EXPECT_EQ(fleet.FindShip(9), nullptr);

    fleet.Load(path, MakeScenario("CRUISERS_INOPERABLE\n"), false);
    ASSERT_EQ(fleet.GetShips().size(), 1u);
    EXPECT_EQ(fleet.GetShips()[0]->design, "korfighter");

    fleet.LoadForRace(path, MakeScenario(""), "korrath");
    ASSERT_EQ(fleet.GetShips().size(), 1u);
    EXPECT_EQ(fleet.GetTotalShips(), 4);

    std::string noEngine = WriteFleet("g.txt", "[a]\nshipid = 1\nname = N\ndesign = korfighter_noengine\n"
                                               "pos = 0,0\nquantity = 1\nangle = 0\n");
    fleet.Load(noEngine, MakeScenario("ENGINES_REQUIRED\n"), false);
    EXPECT_TRUE(fleet.GetShips().empty());
    fleet.Load(noEngine, MakeScenario(""), false);
    EXPECT_EQ(fleet.GetShips().size(), 1u);
}

TEST_F(DeployedFleets, MissingFileIsAnEmptyFleet)
{
    SIM_DeployedFleet fleet;
    EXPECT_FALSE(fleet.Load(m_world.Path("none.txt"), MakeScenario(""), false));
    EXPECT_TRUE(fleet.GetShips().empty());
    EXPECT_EQ(fleet.GetHighestShipId(), 0);
    EXPECT_EQ(fleet.GetTotalShips(), 0);
}

TEST_F(DeployedFleets, WritingWhatWasReadGivesTheSameBytes)
{
    std::string in = WriteFleet("in.txt", kFleetFile);
    SIM_DeployedFleet fleet;
    ASSERT_TRUE(fleet.Load(in, MakeScenario(""), false));
    std::string out = m_world.Path("out/deep/deployed.txt");
    ASSERT_TRUE(WriteDeploymentFile(out, fleet));
    std::string text;
    ASSERT_TRUE(ReadWholeFile(out, text));
    EXPECT_EQ(text, kFleetFile);

    // With a fleet name the config section survives the trip too.
    fleet.SetFleetName("Home Guard");
    ASSERT_TRUE(WriteDeploymentFile(out, fleet));
    SIM_DeployedFleet again;
    ASSERT_TRUE(again.Load(out, MakeScenario(""), false));
    EXPECT_EQ(again.GetFleetName(), "Home Guard");
    EXPECT_EQ(again.GetShips().size(), 3u);
}

TEST_F(DeployedFleets, PositionsAndAnglesAreTruncatedAndUntargetedOrdersDropped)
{
    SIM_DeployedShip ship;
    ship.shipId = 3;
    ship.name = "Odd\nName";
    ship.design = "fedcruiser";
    ship.x = 10.9f;
    ship.y = -3.7f;
    ship.angle = 359.99f;
    ship.orders.AddOrder("ESCORT", 0, 0);
    ship.orders.AddOrder("VULTURE", 0, 0);
    EXPECT_EQ(FormatDeployedShipRecord(4, ship), "[ship4]\nshipid = 3\nname = Odd Name\ndesign = fedcruiser\n"
                                                 "pos = 10,-3\nquantity = 1\nangle = 359\n"
                                                 "behaviour_0 = VULTURE,-1,0.00,0.00\n\n");
    ship.x = 1e30f;
    EXPECT_NE(FormatDeployedShipRecord(0, ship).find("pos = 2147483647,-3"), std::string::npos);
}

TEST_F(DeployedFleets, CopiesShareRecordsSafely)
{
    auto source = std::make_unique<SIM_DeployedFleet>();
    ASSERT_TRUE(source->Load(WriteFleet("f.txt", kFleetFile), MakeScenario(""), false));
    SIM_DeployedFleet copy;
    copy.CopyFrom(*source);
    ASSERT_EQ(copy.GetShips().size(), 3u);
    EXPECT_EQ(copy.GetShips()[0].get(), source->GetShips()[0].get());
    EXPECT_EQ(copy.GetTotalShips(), 6);
    EXPECT_TRUE(copy.GetModuleCounts().empty());

    // Either side may clear or go first; the records stay valid for the other.
    source->Clear();
    EXPECT_EQ(copy.GetShips()[1]->name, "Beta");
    EXPECT_EQ(copy.GetShips()[1]->orders.GetOrder("ESCORT")->shipId, 1);
    source.reset();
    EXPECT_EQ(copy.GetShips()[0]->name, "Alpha");
    copy.Clear();
    EXPECT_TRUE(copy.GetShips().empty());
}

TEST_F(DeployedFleets, AddRemoveAndRecalculate)
{
    SIM_DeployedFleet fleet;
    auto ship = std::make_shared<SIM_DeployedShip>();
    ship->design = "fedcruiser";
    ship->quantity = 2; // only fighters come in squadrons
    ship->shipId = 4;
    ASSERT_TRUE(fleet.AddShip(ship));
    EXPECT_EQ(ship->quantity, 1);
    const float cost = fleet.GetTotalCost();
    EXPECT_FLOAT_EQ(cost, SIM_ShipDesign::Find("fedcruiser")->GetCost());
    EXPECT_EQ(fleet.CountModuleType("repair"), 1);

    auto ghost = std::make_shared<SIM_DeployedShip>();
    ghost->design = "no_such_design";
    EXPECT_FALSE(fleet.AddShip(ghost));
    EXPECT_EQ(fleet.GetShips().size(), 1u);

    SIM_DeployedShip stranger;
    EXPECT_FALSE(fleet.RemoveShip(&stranger));
    EXPECT_FLOAT_EQ(fleet.GetTotalCost(), cost);
    EXPECT_EQ(fleet.GetTotalShips(), 1);

    fleet.RecalculateTotals();
    EXPECT_FLOAT_EQ(fleet.GetTotalCost(), cost);
    EXPECT_EQ(fleet.CountModuleType("engine"), 1);

    EXPECT_TRUE(fleet.RemoveShip(ship.get()));
    EXPECT_EQ(fleet.GetTotalShips(), 0);
    EXPECT_FLOAT_EQ(fleet.GetTotalCost(), 0.0f);
    EXPECT_EQ(fleet.CountModuleType("engine"), 0);
    EXPECT_EQ(ship->design, "fedcruiser"); // taken out, not destroyed
}

TEST_F(DeployedFleets, SupplyLimitsAndDisabledModules)
{
    SIM_DeployedFleet fleet;
    ASSERT_TRUE(fleet.Load(WriteFleet("f.txt", kFleetFile), MakeScenario(""), false));
    EXPECT_FALSE(fleet.ExceedsSupplyLimits(MakeScenario("_sl_engine,6\n")));
    EXPECT_TRUE(fleet.ExceedsSupplyLimits(MakeScenario("_sl_engine,5\n")));
    EXPECT_TRUE(fleet.ExceedsSupplyLimits(MakeScenario("_sl_repair,0\n")));
    EXPECT_FALSE(fleet.ExceedsSupplyLimits(MakeScenario("_sl_laser,0\n")));
    EXPECT_FALSE(fleet.HasDisabledModules(MakeScenario("CLOAK_INOPERABLE\n")));
    EXPECT_TRUE(fleet.HasDisabledModules(MakeScenario("REPAIR_INOPERABLE\n")));
    EXPECT_TRUE(fleet.HasDisabledModules(MakeScenario("SHIELDS_INOPERABLE\n")));
}

TEST_F(DeployedFleets, NamesInUseLeaveTheNameLists)
{
    SIM_DeployedFleet fleet;
    ASSERT_TRUE(fleet.Load(WriteFleet("f.txt", kFleetFile), MakeScenario(""), false));
    const auto* korrath = SIM_ShipNameGenerator::GetInstance().FindList("korrath");
    ASSERT_NE(korrath, nullptr);
    EXPECT_EQ(korrath->names, (std::vector<std::string>{"Claw"}));
    EXPECT_EQ(SIM_ShipNameGenerator::GetInstance().FindList("federation")->names,
              (std::vector<std::string>{"Bravo", "Charlie"}));
}

TEST_F(DeployedFleets, DeploymentPathsAndFailedWrites)
{
    ASSERT_TRUE(APP_UserFolders::GetInstance().Create(m_world.Path("user")));
    std::string path = GetDeploymentFilePath("../../etc", "deployed.txt");
    EXPECT_EQ(path.rfind(m_world.Path("user/deployments/"), 0), 0u);
    EXPECT_EQ(path.find(".."), std::string::npos);

    SIM_DeployedFleet fleet;
    m_world.Dir().Write("blocker", "x");
    EXPECT_FALSE(WriteDeploymentFile(m_world.Path("blocker/deployed.txt"), fleet));
    ASSERT_TRUE(WriteDeploymentFile(path, fleet));
    EXPECT_TRUE(FileExists(path));
}

TEST_F(DeployedFleets, QuantitiesAreHeldToSquadronSizeAndTotalsCannotOverflow)
{
    ScopedErrorLog log;
    std::string text;
    auto record = [&](int id, const char* design, const char* quantity, const char* pos = "0,0") {
        text += StrFormat("[ship%d]\nshipid = %d\nname = S%d\ndesign = %s\npos = %s\nquantity = %s\nangle = 0\n\n", id,
                          id, id, design, pos, quantity);
    };
    record(1, "korfighter", "2000000000");
    record(2, "korfighter", "16");
    record(3, "korfighter", "17");
    record(4, "korfighter", "-5");
    record(5, "fedcruiser", "2");
    record(6, "fedcruiser", "1", "nan,40");
    const std::string path = WriteFleet("hostile.txt", text);
    SIM_DeployedFleet fleet;
    ASSERT_TRUE(fleet.Load(path, MakeScenario(""), false));
    std::vector<int> quantities;
    for (const auto& ship : fleet.GetShips())
        quantities.push_back(ship->quantity);
    EXPECT_EQ(quantities, (std::vector<int>{16, 16, 16, 1, 1, 1}));
    EXPECT_EQ(fleet.GetTotalShips(), 51);
    EXPECT_EQ(fleet.CountModuleType("engine"), 51);
    EXPECT_FLOAT_EQ(fleet.GetTotalCost(), SIM_ShipDesign::Find("korfighter")->GetCost() * 49 +
                                              SIM_ShipDesign::Find("fedcruiser")->GetCost() * 2);
    // One line per record brought within bounds, naming the file and record.
    EXPECT_EQ(log.Count(path + " [ship1]: quantity 2000000000 of korfighter is outside 1..16, 16 used"), 1);
    EXPECT_EQ(log.Count(path + " [ship5]: quantity 2 of fedcruiser is outside 1..1, 1 used"), 1);
    EXPECT_EQ(log.Count("is outside 1.."), 4);
    EXPECT_FLOAT_EQ(fleet.GetShips()[5]->x, 0.0f);
    EXPECT_FLOAT_EQ(fleet.GetShips()[5]->y, 40.0f);
    EXPECT_EQ(log.Count(path + " [ship6] pos: nan is not a finite number"), 1);

    // Counts added from anywhere stop at the int range instead of wrapping.
    fleet.AddModuleCount("engine", 2147483647);
    EXPECT_EQ(fleet.CountModuleType("engine"), 2147483647);
}

TEST_F(DeployedFleets, ShipsTheCampaignHasNoneLeftOfAreTakenOut)
{
    SIM_DeployedFleet fleet;
    ASSERT_TRUE(fleet.Load(WriteFleet("f.txt", kFleetFile), MakeScenario(""), false));
    const float cruiserCost = SIM_ShipDesign::Find("fedcruiser")->GetCost();
    const float before = fleet.GetTotalCost();
    // Alpha is gone in the campaign, the fighters still fly, Beta has no
    // entry at all (reported, kept).
    const int none = 0, four = 4;
    int asked = 0;
    const int removed = fleet.RemoveEmptyCampaignShips([&](int id) -> const int* {
        ++asked;
        return id == 1 ? &none : id == 5 ? &four : nullptr;
    });
    EXPECT_EQ(removed, 1);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(fleet.FindShip(1), nullptr);
    EXPECT_NE(fleet.FindShip(2), nullptr);
    EXPECT_NE(fleet.FindShip(5), nullptr);
    EXPECT_FLOAT_EQ(fleet.GetTotalCost(), before - cruiserCost);
    EXPECT_EQ(fleet.GetTotalShips(), 5);
}

TEST_F(DeployedFleets, PositionsBeyondAnyMapAreMovedWithinWithOneLine)
{
    ScopedErrorLog log;
    std::string text = kFleetFile;
    text.replace(text.find("pos = -12,7"), 11, "pos = 1e38,-100001");
    text.replace(text.find("pos = 400,300"), 13, "pos = 100000,-100000");
    const std::string path = WriteFleet("far.txt", text);
    SIM_DeployedFleet fleet;
    ASSERT_TRUE(fleet.Load(path, MakeScenario(""), false));
    ASSERT_EQ(fleet.GetShips().size(), 3u);
    EXPECT_FLOAT_EQ(fleet.GetShips()[0]->x, SIM_ChallengeFile::kMaxMapSize);
    EXPECT_FLOAT_EQ(fleet.GetShips()[0]->y, -SIM_ChallengeFile::kMaxMapSize);
    EXPECT_FLOAT_EQ(fleet.GetShips()[1]->x, 100000.0f);
    EXPECT_FLOAT_EQ(fleet.GetShips()[1]->y, -100000.0f);
    EXPECT_EQ(log.Count(path + " [ship0] pos: 1e38,-100001 out of range"), 1);
    EXPECT_EQ(log.Count("out of range"), 1);
}

TEST_F(DeployedFleets, AFleetFileCutShortIsToldWithItsFileSectionAndKey)
{
    const std::string whole = kFleetFile;
    struct Case {
        std::string text;
        const char* told; // after the path
        size_t ships;
        bool cut; // inside its last line
    };
    const Case cases[] = {
        {whole.substr(0, whole.find("design = korfighter") + 14), " [ship2] design = korfi: no such design, the ship left out", 2, true},
        {whole.substr(0, whole.find("pos = 10,20")), " [ship2] pos: missing (cut or damaged)", 3, false},
        {whole.substr(0, whole.find("quantity = 4") + 5), " [ship2] quantity: missing (cut or damaged)", 3, true},
        {whole.substr(0, whole.find("design = korfighter")), " [ship2] design: missing (cut or damaged), the ship left out", 2, false},
        // Past every key a ship must have: the cut alone tells.
        {whole.substr(0, whole.find("angle = 0") + 7), ": cut off inside its last line", 3, true},
        {whole.substr(0, whole.find("[ship1]") - 5), ": cut off inside its last line", 1, true},
        {whole.substr(0, whole.size() - 2), ": cut off inside its last line", 3, true},
        {whole.substr(0, whole.size() - 1), "", 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(c.text.size() - 20));
        const std::string path = WriteFleet("aifleet_easy.txt", c.text);
        ScopedErrorLog log;
        SIM_DeployedFleet fleet;
        ASSERT_TRUE(fleet.Load(path, MakeScenario(""), false));
        EXPECT_EQ(fleet.GetShips().size(), c.ships);
        if (c.told[0]) {
            EXPECT_EQ(log.Count(path + c.told), 1) << log.Text();
        }
        EXPECT_EQ(log.Count(path + ": cut off inside its last line"), c.cut ? 1 : 0) << log.Text();
        EXPECT_EQ(log.Count("cut off"), c.cut ? 1 : 0) << log.Text();
    }
    ScopedErrorLog log;
    SIM_DeployedFleet fleet;
    ASSERT_TRUE(fleet.Load(WriteFleet("aifleet_easy.txt", whole), MakeScenario(""), false));
    EXPECT_EQ(log.Count("missing (cut or damaged)"), 0) << log.Text();
    EXPECT_EQ(log.Count("cut off"), 0) << log.Text();
}

TEST_F(DeployedFleets, AHundredThousandBadShipsAreToldInAFewLinesNamingTheFile)
{
    std::string text = kFleetFile;
    for (int i = 0; i < 100000; ++i) {
        const std::string section = "\n[bad" + std::to_string(i) + "]\n";
        if (i % 2 == 0)
            text += section + "design = ghost" + std::to_string(i) + "\npos = 1,2\nquantity = 1\n";
        else
            text += section + "pos = 1,2\nquantity = 1\n";
    }
    const std::string path = WriteFleet("huge.txt", text);
    ScopedErrorLog log;
    SIM_DeployedFleet fleet;
    ASSERT_TRUE(fleet.Load(path, MakeScenario(""), false));
    EXPECT_EQ(fleet.GetShips().size(), 3u);
    // Its lines: the first few of each kind and the count of the rest.
    std::string told;
    std::istringstream lines(log.Text());
    for (std::string line; std::getline(lines, line);)
        if (line.find(path) != std::string::npos)
            told += line + "\n";
    const size_t shown = GLogFileTally::kShownPerPlace;
    EXPECT_EQ(log.Count(path), static_cast<int>(2 * shown + 2)) << told;
    EXPECT_LT(told.size(), 4096u) << told;
    EXPECT_EQ(log.Count("design = ghost"), static_cast<int>(shown + 1)) << told;
    EXPECT_EQ(log.Count(path + StrFormat(" [bad%zu] design = ghost%zu: no such design", 2 * (shown - 1), 2 * (shown - 1))), 1)
        << told;
    EXPECT_EQ(log.Count(path + StrFormat(" [bad%zu] design: missing (cut or damaged)", 2 * shown - 1)), 1) << told;
    EXPECT_EQ(log.Count(StrFormat("%s: %zu more such lines left out of the log (the first: \"[bad0] design = ghost0: no "
                                  "such design",
                                  path.c_str(), 50000 - shown)),
              1)
        << told;
    EXPECT_EQ(log.Count(StrFormat("%s: %zu more such lines left out of the log (the first: \"[bad1] design: missing",
                                  path.c_str(), 50000 - shown)),
              1)
        << told;
}
