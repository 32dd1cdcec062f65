#include "sim/SIM_ShipDesign.h"

#include <gtest/gtest.h>

#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GSafeFile.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "support/ErrorLog.h"
#include "support/TempDir.h"

#include <cerrno>

namespace {

const char* kHull = "[config]\nname = testhull\nguiname = HULL_TEST\nsprite = t.dds\ndamagetexture = td.dds\n"
                    "racename = federation\nclassname = cruiser\nwidth = 100\nheight = 100\ncost = 100\n"
                    "powerproduced = 1\n"
                    "[slots]\n0 = 128,64,STANDARD\n1 = 128,128,STANDARD\n2 = 128,192,STANDARD\n"
                    "3 = 64,128,STANDARD\n4 = 192,128,TURRET,160-128,224-128\n"
                    "[bonuses]\n0 = COSTBOOST,0.5\n1 = ARMOURBOOST,0.2\n2 = INTEGRITYBOOST,0.1\n";

std::string Module(const std::string& name, const std::string& cls, const std::string& extra,
                   const char* slot = "STANDARD")
{
    return "[config]\nname = " + name + "\nclassname = " + cls + "\nslot_type = " + slot + "\n" + extra;
}

class ShipDesignTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.Write("data/hulls/fed/testhull.txt", kHull);
        dir.Write("data/modules/engine.txt",
                  Module("engine", "SIM_EngineModule", "weight = 10\nthrust = 100\nstack_effectiveness = 0.9\n"
                                                      "cost = 10\nhitpoints = 10\npowerconsumed = 1\n"));
        dir.Write("data/modules/reactor.txt",
                  Module("reactor", "SIM_PowerModule", "weight = 20\npowerproduced = 10\ncost = 20\n"));
        dir.Write("data/modules/quarters.txt",
                  Module("quarters", "SIM_CrewModule", "weight = 5\ncrewsupply = 6\n"));
        dir.Write("data/modules/cruiser_armour.txt",
                  Module("cruiser_armour", "SIM_ArmourModule",
                         "weight = 40\nmaxdamageabsorbable = 100\nstack_effectiveness = 0.5\nhitpoints = 50\n"));
        dir.Write("data/modules/gun.txt",
                  Module("gun", "SIM_BulletWeaponModule", "weight = 5\ncrew_required = 6\npowerconsumed = 9\n",
                         "TURRET"));
        cd = std::make_unique<ScopedChdir>(dir.Path());
        SIM_ShipModuleType::LoadAll();
        SIM_ShipHull::LoadAll();
        hull = SIM_ShipHull::Find("testhull");
        ASSERT_NE(hull, nullptr);
    }

    void TearDown() override
    {
        SIM_ShipDesign::FreeAll();
        SIM_ShipHull::FreeAll();
        SIM_ShipModuleType::FreeAll();
        cd.reset();
    }

    SIM_ShipDesign* Make(const std::vector<std::pair<int, const char*>>& fits)
    {
        auto* d = new SIM_ShipDesign();
        d->SetHull(hull);
        d->SetName("test");
        d->SetGuiName("Test");
        for (const auto& [slot, type] : fits)
            EXPECT_TRUE(d->FitModule(slot, SIM_ShipModuleType::Find(type)));
        d->CalculateTotals();
        return d;
    }

    TempDir dir;
    std::unique_ptr<ScopedChdir> cd;
    SIM_ShipHull* hull = nullptr;
};

} // namespace

TEST_F(ShipDesignTest, TotalsApplyHullBonusesAndEngineStacking)
{
    SIM_ShipDesign* d = Make({{0, "engine"}, {1, "engine"}, {2, "engine"}, {3, "reactor"}});
    EXPECT_FLOAT_EQ(d->GetWeight(), 50.0f);
    EXPECT_FLOAT_EQ(d->GetCost(), 100.0f + (10 + 10 + 10 + 20) * 1.5f);
    EXPECT_FLOAT_EQ(d->GetPowerProduced(), 11.0f);
    EXPECT_FLOAT_EQ(d->GetPowerConsumed(), 3.0f);
    EXPECT_NEAR(d->GetSpeed(), 300.0f * 0.81f / 50.0f, 1e-4);
    EXPECT_FLOAT_EQ(d->GetHitpoints(), 33.0f);
    EXPECT_EQ(d->CountModulesOfClass("SIM_EngineModule"), 3);
    EXPECT_EQ(d->CountModulesByTypeName("reactor"), 1);
    EXPECT_TRUE(d->IsValid());
}

TEST_F(ShipDesignTest, WeightlessDesignDoesNotDivideByZero)
{
    dir.Write("data/modules/feather.txt", Module("feather", "SIM_EngineModule", "thrust = 5\n"));
    SIM_ShipModuleType::LoadAll();
    SIM_ShipDesign* d = Make({{0, "feather"}});
    EXPECT_FLOAT_EQ(d->GetWeight(), 1.0f);
    EXPECT_FLOAT_EQ(d->GetSpeed(), 5.0f);
}

TEST_F(ShipDesignTest, ArmourStacksByTheLastModulesEffectiveness)
{
    SIM_ShipDesign* d = Make({{0, "cruiser_armour"}, {1, "cruiser_armour"}});
    EXPECT_FLOAT_EQ(d->GetTotalArmour(), 2 * 120.0f * 0.5f);
    EXPECT_FLOAT_EQ(d->GetTotalShieldPoints(), 0.0f);
    EXPECT_FLOAT_EQ(d->GetShieldResistance(), 0.0f);
    EXPECT_FLOAT_EQ(d->GetTotalHitpoints(), 110.0f);
    EXPECT_FALSE(d->IsFighter());
}

TEST_F(ShipDesignTest, ValidityRules)
{
    SIM_ShipDesign* empty = Make({});
    EXPECT_FALSE(empty->IsValid());

    // Crew 6 needed, 6 supplied; power 9 used against 1 + 10.
    SIM_ShipDesign* ok = Make({{0, "quarters"}, {1, "reactor"}, {4, "gun"}});
    EXPECT_EQ(ok->GetCrewRequired(), ok->GetCrewSupply());
    EXPECT_TRUE(ok->IsValid());

    SIM_ShipDesign* noCrew = Make({{1, "reactor"}, {4, "gun"}});
    EXPECT_FALSE(noCrew->IsValid());

    SIM_ShipDesign* noPower = Make({{0, "quarters"}, {4, "gun"}});
    EXPECT_FALSE(noPower->IsValid());

    auto* noHull = new SIM_ShipDesign();
    EXPECT_FALSE(noHull->IsValid());
}

TEST_F(ShipDesignTest, PowerComparesInHundredths)
{
    dir.Write("data/modules/p1.txt", Module("p1", "SIM_CrewModule", "powerconsumed = 11.004\n"));
    dir.Write("data/modules/p2.txt", Module("p2", "SIM_CrewModule", "powerconsumed = 11.01\n"));
    SIM_ShipModuleType::LoadAll();
    EXPECT_TRUE(Make({{0, "reactor"}, {1, "p1"}})->IsValid());
    EXPECT_FALSE(Make({{0, "reactor"}, {1, "p2"}})->IsValid());
}

TEST_F(ShipDesignTest, FitModuleChecksSlotsAndTypes)
{
    SIM_ShipDesign* d = Make({});
    EXPECT_FALSE(d->FitModule(4, SIM_ShipModuleType::Find("engine")));  // turret slot
    EXPECT_FALSE(d->FitModule(0, SIM_ShipModuleType::Find("gun")));
    EXPECT_FALSE(d->FitModule(5, SIM_ShipModuleType::Find("engine")));
    EXPECT_TRUE(d->FitModule(4, SIM_ShipModuleType::Find("gun")));
    ASSERT_EQ(d->GetModules().size(), 1u);
    EXPECT_EQ(d->GetModules()[0].turretPoints.size(), 2u);
    EXPECT_TRUE(d->FitModule(4, nullptr));
    EXPECT_TRUE(d->GetModules().empty());
}

TEST_F(ShipDesignTest, WriteIsByteExactAndRoundTrips)
{
    SIM_ShipDesign* d = Make({{1, "engine"}, {4, "gun"}});
    const std::string path = dir.File("out.txt");
    ASSERT_TRUE(d->Write(path));
    const std::string expected = "[config]\nname = test \nguiname = Test \nhull = testhull \n\n[modules]\n"
                                 "0 = \n1 = engine,\n2 = \n3 = \n4 = gun,\n";
    EXPECT_EQ(dir.Read("out.txt"), expected);

    auto* back = new SIM_ShipDesign();
    back->Read(path);
    EXPECT_EQ(back->GetName(), "test");
    EXPECT_EQ(back->GetHull(), hull);
    ASSERT_EQ(back->GetModules().size(), 2u);
    EXPECT_EQ(back->GetModuleInSlot(1)->GetName(), "engine");
    EXPECT_EQ(back->GetModuleInSlot(4)->GetName(), "gun");
    ASSERT_TRUE(back->Write(dir.File("again.txt")));
    EXPECT_EQ(dir.Read("again.txt"), expected);
}

TEST_F(ShipDesignTest, ReadingSkipsEmptyMissingAndOutOfRangeSlots)
{
    const std::string path = dir.Write("d.txt", "[config]\nname=d\nguiname=D\nhull=testhull\n[modules]\n"
                                                "0=engine,extra\n1=nosuchmodule,\n3=\n9=engine,\n");
    auto* d = new SIM_ShipDesign();
    d->Read(path);
    ASSERT_EQ(d->GetModules().size(), 1u);
    EXPECT_EQ(d->GetModules()[0].slotIndex, 0);
    EXPECT_FLOAT_EQ(d->GetModules()[0].y, -25.0f);
}

TEST_F(ShipDesignTest, WriteToUnopenablePathIsReported)
{
    SIM_ShipDesign* d = Make({{0, "engine"}});
    const int before = GDebugLog::GetInstance().GetErrorCount();
    EXPECT_FALSE(d->Write(dir.File("no/such/folder/x.txt")));
    EXPECT_GT(GDebugLog::GetInstance().GetErrorCount(), before);
}

TEST_F(ShipDesignTest, LoadFileDropsInvalidDesignsAndMissingHulls)
{
    const std::string good = dir.Write("data/ships/good.txt", "[config]\nname=good\nhull=testhull\n[modules]\n0=engine\n");
    const std::string bad = dir.Write("data/ships/bad.txt", "[config]\nname=bad\nhull=testhull\n[modules]\n");
    const std::string nohull = dir.Write("data/ships/nohull.txt", "[config]\nname=nohull\nhull=nope\n[modules]\n0=engine\n");
    EXPECT_NE(SIM_ShipDesign::LoadFile(good, false), nullptr);
    EXPECT_EQ(SIM_ShipDesign::LoadFile(bad, false), nullptr);
    EXPECT_EQ(SIM_ShipDesign::LoadFile(nohull, false), nullptr);
    EXPECT_EQ(SIM_ShipDesign::GetList().size(), 1u);
    EXPECT_TRUE(FileExists(bad));
    EXPECT_FALSE(SIM_ShipDesign::Find("good")->IsPlayerDesign());
    EXPECT_EQ(SIM_ShipDesign::FindByFileName(dir.Path() + "/DATA/ships/GOOD.txt"), SIM_ShipDesign::Find("good"));
    EXPECT_EQ(SIM_ShipDesign::FindByFileName(dir.Path() + "/data/ships/none.txt"), nullptr);
    EXPECT_NE(SIM_ShipDesign::FindByFileName(good), nullptr);
}

TEST_F(ShipDesignTest, ADamagedDesignIsSkippedWithOneLineNamingItsFileAndHull)
{
    ScopedErrorLog log;
    const std::string garbage = dir.Write("user/ships/garbage.txt", std::string("\x7f" "ELF\x02\x01 garbage"));
    const std::string nohull = dir.Write("user/ships/nohull.txt", "[config]\nname=n\nhull=nope\n[modules]\n0=engine\n");
    const std::string unreadable = dir.Write("user/ships/unreadable.txt", "[config]\nname=u\nhull=testhull\n");
    GSafeFile::InjectReadFailure(unreadable, EIO);
    EXPECT_EQ(SIM_ShipDesign::LoadFile(garbage, true), nullptr);
    EXPECT_EQ(SIM_ShipDesign::LoadFile(nohull, true), nullptr);
    EXPECT_EQ(SIM_ShipDesign::LoadFile(unreadable, true), nullptr);
    EXPECT_EQ(SIM_ShipDesign::LoadFile(dir.File("user/ships/gone.txt"), true), nullptr);
    EXPECT_TRUE(SIM_ShipDesign::GetList().empty());
    EXPECT_EQ(log.Count("Ship design skipped, its hull [] is not known : " + garbage), 1);
    EXPECT_EQ(log.Count("Ship design skipped, its hull [nope] is not known : " + nohull), 1);
    EXPECT_EQ(log.Count("File refused, could not be read (Input/output error) : " + unreadable), 1);
    EXPECT_EQ(log.Count("Ship design skipped, no such file: " + dir.File("user/ships/gone.txt")), 1);
    EXPECT_EQ(log.Lines(), 4) << "one line each, no assertion: " << log.Text();

    // Modules the game does not know leave their slots empty, said once.
    const std::string odd = dir.Write("user/ships/odd.txt", "[config]\nname=odd\nhull=testhull\n[modules]\n"
                                                            "0=engine\n1=warp,\n2=quarters\n3=flux,\n");
    SIM_ShipDesign* d = SIM_ShipDesign::LoadFile(odd, true);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->GetModules().size(), 2u);
    EXPECT_EQ(log.Count("Ship design " + odd + ": 2 modules not known (the first [warp]), their slots left empty"), 1);
    EXPECT_EQ(log.Lines(), 5);
    GSafeFile::ForgetRefusedFiles();
}

TEST_F(ShipDesignTest, DeleteRefusesDesignsInUse)
{
    const std::string path = dir.Write("data/ships/a.txt", "[config]\nname=a\nhull=testhull\n[modules]\n0=engine\n");
    SIM_ShipDesign* d = SIM_ShipDesign::LoadFile(path, true);
    ASSERT_NE(d, nullptr);
    d->AddUser();
    EXPECT_EQ(SIM_ShipDesign::TryDelete(d, dir.Path() + "/data/ships"), SIM_ShipDesign::DeleteResult::IN_USE);
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(SIM_ShipDesign::Find("a"), d);

    // FreeLoaded keeps it too, and a reload does not read it twice.
    SIM_ShipDesign::FreeLoaded();
    EXPECT_EQ(SIM_ShipDesign::LoadFile(path, true), d);
    EXPECT_EQ(SIM_ShipDesign::GetList().size(), 1u);

    d->RemoveUser();
    EXPECT_TRUE(SIM_ShipDesign::Delete(d, dir.Path() + "/data/ships"));
    EXPECT_FALSE(FileExists(path));
    EXPECT_TRUE(SIM_ShipDesign::GetList().empty());
}

TEST_F(ShipDesignTest, DeleteOfUnknownDesignIsReported)
{
    const int before = GDebugLog::GetInstance().GetErrorCount();
    EXPECT_FALSE(SIM_ShipDesign::Delete(nullptr));
    EXPECT_GT(GDebugLog::GetInstance().GetErrorCount(), before);
}

TEST_F(ShipDesignTest, ReloadingModuleTypesRebindsDesigns)
{
    SIM_ShipDesign* d = Make({{0, "engine"}, {1, "reactor"}});
    const SIM_ShipModuleType* oldEngine = d->GetModuleInSlot(0);
    SIM_ShipModuleType::LoadAll();
    const SIM_ShipModuleType* newEngine = d->GetModuleInSlot(0);
    ASSERT_NE(newEngine, nullptr);
    EXPECT_EQ(newEngine, SIM_ShipModuleType::Find("engine"));
    EXPECT_EQ(newEngine->GetName(), "engine");
    (void)oldEngine;

    // Types gone for good leave the slot unbound, never dangling.
    SIM_ShipModuleType::FreeAll();
    EXPECT_EQ(d->GetModuleInSlot(0), nullptr);
    d->CalculateTotals();
    EXPECT_FALSE(d->IsValid());
}

TEST_F(ShipDesignTest, ReloadWithNoTypeFilesLeavesSlotsUnbound)
{
    SIM_ShipDesign* d = Make({{0, "engine"}});
    TempDir empty;
    ScopedChdir elsewhere(empty.Path());
    SIM_ShipModuleType::LoadAll();
    EXPECT_TRUE(SIM_ShipModuleType::GetList().empty());
    EXPECT_EQ(d->GetModuleInSlot(0), nullptr);
    ASSERT_EQ(d->GetModules().size(), 1u);
    EXPECT_EQ(d->GetModules()[0].typeName, "engine");
}

TEST_F(ShipDesignTest, FreeingHullsUnbindsDesigns)
{
    SIM_ShipDesign* d = Make({{0, "engine"}});
    SIM_ShipHull::FreeAll();
    EXPECT_EQ(d->GetHull(), nullptr);
    EXPECT_FALSE(d->IsValid());
}

TEST_F(ShipDesignTest, DesignNamesAreSanitisedIntoFileNames)
{
    SIM_ShipDesign* d = Make({{0, "engine"}});
    d->SetName("../../escape");
    TempDir captured;
    ASSERT_TRUE(SIM_ShipDesign::SaveCapturedDesign(d, captured.Path()));
    const std::string path = SIM_ShipDesign::DesignFilePath(captured.Path(), d->GetName());
    EXPECT_EQ(path.find(".."), std::string::npos);
    EXPECT_TRUE(FileExists(path));
    EXPECT_FALSE(FileExists(dir.Path() + "/../escape.txt"));
    // An existing file is left alone.
    EXPECT_FALSE(SIM_ShipDesign::SaveCapturedDesign(d, captured.Path()));
}

TEST_F(ShipDesignTest, StarterDesignUsesTheRacesFirstHull)
{
    TempDir ships;
    SIM_ShipDesign* d = SIM_ShipDesign::CreateStarterDesign("federation", ships.Path());
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->GetName(), "testhull");
    EXPECT_EQ(d->GetGuiName(), "HULL_TEST");
    ASSERT_EQ(d->GetModules().size(), 1u);
    EXPECT_EQ(d->GetModuleInSlot(0)->GetName(), "cruiser_armour");
    EXPECT_TRUE(d->IsValid());
    EXPECT_TRUE(FileExists(ships.File("testhull.txt")));
}

TEST_F(ShipDesignTest, StarterDesignForRaceWithoutHullFailsCleanly)
{
    TempDir ships;
    const size_t before = SIM_ShipDesign::GetList().size();
    EXPECT_EQ(SIM_ShipDesign::CreateStarterDesign("korrath", ships.Path()), nullptr);
    EXPECT_EQ(SIM_ShipDesign::GetList().size(), before);
}

TEST_F(ShipDesignTest, PlayerDesignsForRace)
{
    SIM_ShipDesign* mine = Make({{0, "engine"}});
    SIM_ShipDesign* ai = Make({{0, "engine"}});
    ai->SetPlayerFlag(false);
    std::vector<SIM_ShipDesign*> out;
    SIM_ShipDesign::GetPlayerDesignsForRace("federation", out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0], mine);
    SIM_ShipDesign::GetPlayerDesignsForRace("korrath", out);
    EXPECT_TRUE(out.empty());
}

// The shipped content must satisfy the same rules the loaders enforce.
namespace {

class ShippedContentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        cd = std::make_unique<ScopedChdir>(QLM_SOURCE_DIR);
        SIM_ShipModuleType::LoadAll();
        SIM_ShipHull::LoadAll();
    }

    void TearDown() override
    {
        SIM_ShipDesign::FreeAll();
        SIM_ShipHull::FreeAll();
        SIM_ShipModuleType::FreeAll();
        cd.reset();
    }

    std::unique_ptr<ScopedChdir> cd;
};

} // namespace

#include "engine/GFileList.h"
#include "engine/GIniFile.h"

TEST_F(ShippedContentTest, EveryHullAndRaceHasItsClasses)
{
    const int errorsBefore = GDebugLog::GetInstance().GetErrorCount();
    for (const char* race : {"fed", "kor"}) {
        for (const char* cls : {"_cruiser", "_frigate", "_fighter"}) {
            SIM_ShipHull* h = SIM_ShipHull::Find(std::string(race) + cls);
            ASSERT_NE(h, nullptr) << race << cls;
            EXPECT_GT(h->CountSlotsOfType(SIM_ShipHull::STANDARD), 0);
            EXPECT_GT(h->CountSlotsOfType(SIM_ShipHull::TURRET), 0);
            EXPECT_GT(h->GetWidth(), 0.0f);
        }
    }
    EXPECT_EQ(GDebugLog::GetInstance().GetErrorCount(), errorsBefore);
    for (const char* name : {"tactical", "cruiser_armour", "frigate_armour", "fighter_armour", "cruiser crew"})
        EXPECT_NE(SIM_ShipModuleType::Find(name, false), nullptr) << name;
}

TEST_F(ShippedContentTest, EveryShippedDesignIsValid)
{
    for (const char* mask : {"data/ships/*.txt", "data/sampleships/*.txt"}) {
        GFileList files;
        files.FindFiles(mask);
        ASSERT_FALSE(files.names.empty()) << mask;
        for (const std::string& file : files.names) {
            SIM_ShipDesign* d = SIM_ShipDesign::LoadFile(file, true);
            ASSERT_NE(d, nullptr) << file;
            for (const auto& m : d->GetModules())
                EXPECT_EQ(m.moduleType->GetSlotType(), d->GetHull()->GetSlot(m.slotIndex)->slotType) << file;
            EXPECT_GT(d->GetSpeed(), 0.0f) << file;
        }
    }
}

TEST_F(ShippedContentTest, StarterDesignsWorkForBothRaces)
{
    TempDir ships;
    for (const char* race : {"federation", "korrath"}) {
        SIM_ShipDesign* d = SIM_ShipDesign::CreateStarterDesign(race, ships.Path());
        ASSERT_NE(d, nullptr) << race;
        EXPECT_TRUE(d->IsValid()) << race;
    }
}

TEST_F(ShippedContentTest, AiFleetsUseKnownDesignsWithinLimits)
{
    SIM_ShipDesign::LoadAll();
    GFileList folders;
    folders.FindFolders("data/deployments/*.*");
    int checked = 0;
    for (const std::string& folder : folders.names) {
        const std::string scenarioName = folder.substr(folder.rfind('/') + 1);
        GIniFile scenario;
        if (!scenario.Load("config", ("data/scenarios/" + scenarioName + ".txt").c_str()))
            continue;
        const float costLimit = scenario.GetFloat("fleetcostlimit", 0.0f);
        const int pilotLimit = scenario.GetInt("pilotlimit");
        GFileList files;
        files.FindFiles(folder + "/*.txt");
        for (const std::string& file : files.names) {
            if (file.find("/aifleet_") == std::string::npos)
                continue;
            std::vector<std::string> sections;
            GIniFile::ListSections(sections, file.c_str());
            float cost = 0.0f;
            int ships = 0;
            for (const std::string& section : sections) {
                GIniFile ship;
                ship.Load(section.c_str(), file.c_str());
                SIM_ShipDesign* d = SIM_ShipDesign::Find(ship.GetString("design"));
                ASSERT_NE(d, nullptr) << file << " " << section;
                EXPECT_EQ(d->GetHull()->GetRaceName(), "korrath") << file;
                cost += d->GetCost() * static_cast<float>(ship.GetInt("quantity"));
                ships += ship.GetInt("quantity");
            }
            EXPECT_LE(cost, costLimit) << file;
            EXPECT_LE(ships, pilotLimit) << file;
            EXPECT_GT(ships, 0) << file;
            ++checked;
        }
    }
    EXPECT_GE(checked, 15); // three difficulties of each of the five scenarios that have AI fleets (survival fights waves)
}

TEST_F(ShipDesignTest, ANameWithLineBreaksIsWrittenOnItsOwnLine)
{
    SIM_ShipDesign* d = Make({{1, "engine"}});
    d->SetName("Forged\nhull = gunship\n[modules]\r\n0 = gun,");
    d->SetGuiName("Two\nlines");
    const std::string path = dir.File("forged.txt");
    ASSERT_TRUE(d->Write(path));
    EXPECT_EQ(dir.Read("forged.txt"), "[config]\nname = Forged hull = gunship [modules]  0 = gun, \nguiname = Two lines \n"
                                      "hull = testhull \n\n[modules]\n0 = \n1 = engine,\n2 = \n3 = \n4 = \n");
    auto* back = new SIM_ShipDesign();
    back->Read(path);
    EXPECT_EQ(back->GetHull(), hull);
    ASSERT_EQ(back->GetModules().size(), 1u);
    EXPECT_EQ(back->GetModuleInSlot(1)->GetName(), "engine");
}

TEST_F(ShipDesignTest, OnlyDesignsInThePlayersShipsFolderCanBeDeleted)
{
    const std::string ships = dir.Path() + "/user/ships";
    const std::string sample = dir.Write("data/sampleships/s.txt", "[config]\nname=s\nhull=testhull\n[modules]\n0=engine\n");
    const std::string own = dir.Write("user/ships/own.txt", "[config]\nname=own\nhull=testhull\n[modules]\n0=engine\n");
    const std::string sneaky = dir.Write("user/ships/../elsewhere.txt",
                                         "[config]\nname=sneaky\nhull=testhull\n[modules]\n0=engine\n");
    SIM_ShipDesign* s = SIM_ShipDesign::LoadFile(sample, true);
    SIM_ShipDesign* o = SIM_ShipDesign::LoadFile(own, true);
    SIM_ShipDesign* n = SIM_ShipDesign::LoadFile(sneaky, true);
    ASSERT_TRUE(s && o && n);
    EXPECT_EQ(SIM_ShipDesign::TryDelete(s, ships), SIM_ShipDesign::DeleteResult::NOT_PLAYERS);
    EXPECT_FALSE(SIM_ShipDesign::Delete(n, ships));
    EXPECT_FALSE(SIM_ShipDesign::Delete(o, ""));
    EXPECT_TRUE(FileExists(sample));
    EXPECT_TRUE(FileExists(sneaky));
    EXPECT_EQ(SIM_ShipDesign::Find("s"), s) << "a refused design stays loaded";
    EXPECT_TRUE(SIM_ShipDesign::Delete(o, ships + "/"));
    EXPECT_FALSE(FileExists(own));
    EXPECT_EQ(SIM_ShipDesign::Find("own"), nullptr);
}
