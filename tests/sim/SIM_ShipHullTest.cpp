#include "sim/SIM_ShipHull.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/GDebugLog.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipModuleType.h"
#include "support/ErrorLog.h"
#include "support/TempDir.h"

namespace {

class ShipHullTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        SIM_ShipDesign::FreeAll();
        SIM_ShipHull::FreeAll();
        SIM_ShipModuleType::FreeAll();
    }

    SIM_ShipHull* ReadHull(const std::string& text)
    {
        auto* hull = new SIM_ShipHull();
        lastRead = hull->Read(dir.Write("hull.txt", text));
        return hull;
    }

    TempDir dir;
    bool lastRead = false;
};

const char* kConfig = "[config]\nname = h\nguiname = HULL_H\nsprite = h.dds\ndamagetexture = hd.dds\n"
                      "racename = federation\nclassname = frigate\nwidth = 100\nheight = 50\ncost = 300\n"
                      "powerproduced = 2\n";

int Errors()
{
    return GDebugLog::GetInstance().GetErrorCount();
}

} // namespace

TEST_F(ShipHullTest, SlotCoordinatesScaleFromTheGrid)
{
    SIM_ShipHull* h = ReadHull(std::string(kConfig) +
                               "[slots]\n0 = 128,128,STANDARD\n1 = 0, 128, TURRET, 64-64\n2 = 256,0,TURRET\n");
    ASSERT_TRUE(lastRead);
    EXPECT_EQ(h->GetClass(), SIM_ShipHull::FRIGATE);
    ASSERT_EQ(h->GetSlotCount(), 3);
    const auto& s = h->GetSlots();
    EXPECT_FLOAT_EQ(s[0].x, 0.0f);
    EXPECT_FLOAT_EQ(s[0].y, 0.0f);
    EXPECT_EQ(s[0].slotType, SIM_ShipHull::STANDARD);
    EXPECT_FLOAT_EQ(s[1].x, -50.0f);
    EXPECT_FLOAT_EQ(s[1].y, 0.0f);
    EXPECT_EQ(s[1].slotType, SIM_ShipHull::TURRET);
    ASSERT_EQ(s[1].turretPoints.size(), 1u);
    EXPECT_FLOAT_EQ(s[1].turretPoints[0].x, -25.0f);  // width / 4
    EXPECT_FLOAT_EQ(s[1].turretPoints[0].y, -12.5f);  // height / 4
    // Slot y uses the width, as the file layout always has.
    EXPECT_FLOAT_EQ(s[2].y, -50.0f);
    EXPECT_EQ(s[2].index, 2);
    EXPECT_EQ(h->CountSlotsOfType(SIM_ShipHull::TURRET), 2);
    EXPECT_EQ(h->CountSlotsOfType(SIM_ShipHull::STANDARD), 1);
}

TEST_F(ShipHullTest, PointsAsTheHullEditorWritesThemReadBackTheSame)
{
    // "(x-y)" for a turret point, "(name-x-y)" for a damage emitter.
    SIM_ShipHull* h = ReadHull(std::string(kConfig) + "[slots]\n0 = 0.00,128.00,TURRET,(64.00-64.00)\n" +
                               "[targets]\n0 = 128,128,1,0,SHIP_EMMITER_SMALL,(damage_sprite_sparks-64.00-192.00)\n");
    ASSERT_EQ(h->GetSlotCount(), 1);
    ASSERT_EQ(h->GetSlots()[0].turretPoints.size(), 1u);
    EXPECT_FLOAT_EQ(h->GetSlots()[0].turretPoints[0].x, -25.0f);
    EXPECT_FLOAT_EQ(h->GetSlots()[0].turretPoints[0].y, -12.5f);
    ASSERT_EQ(h->GetTargets().size(), 1u);
    ASSERT_EQ(h->GetTargets()[0].extraPoints.size(), 1u);
    EXPECT_FLOAT_EQ(h->GetTargets()[0].extraPoints[0].x, -25.0f);
    EXPECT_FLOAT_EQ(h->GetTargets()[0].extraPoints[0].y, 25.0f);
}

TEST_F(ShipHullTest, TurretPointsBeyondFourAreCappedAndReported)
{
    const int before = Errors();
    SIM_ShipHull* h = ReadHull(std::string(kConfig) +
                               "[slots]\n0 = 128,128,TURRET,1-1,2-2,3-3,4-4,5-5,6-6\n");
    ASSERT_EQ(h->GetSlotCount(), 1);
    EXPECT_EQ(h->GetSlots()[0].turretPoints.size(), SIM_ShipHull::kMaxTurretPoints);
    EXPECT_GT(Errors(), before);
}

TEST_F(ShipHullTest, UnknownSlotTypeIsReported)
{
    const int before = Errors();
    SIM_ShipHull* h = ReadHull(std::string(kConfig) + "[slots]\n0 = 128,128,TURRETS\n");
    EXPECT_EQ(h->GetSlotCount(), 1);
    EXPECT_GT(Errors(), before);
}

TEST_F(ShipHullTest, TargetsWithAndWithoutRectangles)
{
    SIM_ShipHull* h = ReadHull(std::string(kConfig) +
                               "[targets]\n0 = 128,128,1,0,SHIP_EMMITER_SMALL,64-192\n");
    ASSERT_EQ(h->GetTargets().size(), 1u);
    const auto& t = h->GetTargets()[0];
    EXPECT_TRUE(t.named);
    EXPECT_FALSE(t.hasRect);
    EXPECT_EQ(t.name, "SHIP_EMMITER_SMALL");
    ASSERT_EQ(t.extraPoints.size(), 1u);
    EXPECT_FLOAT_EQ(t.extraPoints[0].x, -25.0f);
    EXPECT_FLOAT_EQ(t.extraPoints[0].y, 25.0f);

    SIM_ShipHull* r = ReadHull(std::string(kConfig) + "[targets]\n0 = 0,256,0,1,0,64,128,192\n");
    ASSERT_EQ(r->GetTargets().size(), 1u);
    const auto& rt = r->GetTargets()[0];
    EXPECT_FLOAT_EQ(rt.x, -50.0f);
    EXPECT_FLOAT_EQ(rt.y, 50.0f);
    EXPECT_FLOAT_EQ(rt.left, 0.0f);
    EXPECT_FLOAT_EQ(rt.bottom, 0.75f);
    EXPECT_FLOAT_EQ(rt.rectCentreX, -25.0f);  // ((0 + 0.5) * 0.5 - 0.5) * 100
    EXPECT_FLOAT_EQ(rt.rectCentreY, 0.0f);
    EXPECT_FLOAT_EQ(rt.rectWidth, 50.0f);
    EXPECT_FLOAT_EQ(rt.rectHeight, 25.0f);
}

TEST_F(ShipHullTest, HullWithoutTargetsGetsOneAtItsCentre)
{
    SIM_ShipHull* h = ReadHull(kConfig);
    ASSERT_EQ(h->GetTargets().size(), 1u);
    EXPECT_FLOAT_EQ(h->GetTargets()[0].x, 0.0f);
    EXPECT_FALSE(h->GetTargets()[0].hasRect);
}

TEST_F(ShipHullTest, BonusesAddUpByKind)
{
    const int before = Errors();
    SIM_ShipHull* h = ReadHull(std::string(kConfig) +
                               "[bonuses]\n0 = SHIELDBOOST,0.1\n1 = SHIELDBOOST,0.15\n2 = COSTBOOST,-0.2\n"
                               "3 = WARPBOOST,5\n");
    ASSERT_EQ(h->GetBonuses().size(), 4u);
    EXPECT_GT(Errors(), before);
    EXPECT_FLOAT_EQ(h->GetBonusTotal(SIM_ShipHull::SHIELDBOOST), 0.25f);
    EXPECT_FLOAT_EQ(h->GetBonusTotal(SIM_ShipHull::COSTBOOST), -0.2f);
    EXPECT_FLOAT_EQ(h->GetBonusTotal(SIM_ShipHull::ARMOURBOOST), 0.0f);
    EXPECT_FLOAT_EQ(h->GetBonusTotal(6), 0.0f);
    EXPECT_FLOAT_EQ(h->ApplyBonus(SIM_ShipHull::SHIELDBOOST, 100.0f), 125.0f);
    EXPECT_EQ(h->GetBonuses()[3].kind, 6);
    EXPECT_EQ(h->GetBonusDescription(h->GetBonuses()[3]), "");
    // No string table loaded: the key stands in for its text.
    const std::string desc = h->GetBonusDescription({SIM_ShipHull::SHIELDBOOST, 0.25f});
    EXPECT_NE(desc.find("  25%"), std::string::npos);
    EXPECT_EQ(desc.size(), desc.find("  25%") + 5);
}

TEST_F(ShipHullTest, EffectSectionsAreKeptRaw)
{
    SIM_ShipHull* h = ReadHull(std::string(kConfig) +
                               "[engineglows]\n0 = 128,230,1.5,ENGINE_GLOW_BLUE\n1 =\n[explosions]\n0 = a,b\n"
                               "[hulks]\n0 = 0,0,128,128\n");
    ASSERT_EQ(h->GetEngineGlows().size(), 1u);
    EXPECT_EQ(h->GetEngineGlows()[0], "128,230,1.5,ENGINE_GLOW_BLUE");
    EXPECT_EQ(h->GetExplosions().size(), 1u);
    EXPECT_EQ(h->GetHulks().size(), 1u);
    EXPECT_TRUE(h->GetContrails().empty());
}

// Band lines are on a grid twice as fine as the rest: points become
// fractions of the hull centred on 0, the width a fraction, the angle stays.
TEST_F(ShipHullTest, BandLinesReadAsFractionsOfTheHull)
{
    SIM_ShipHull* h = ReadHull(std::string(kConfig) + "[tractorbeams]\n0 = 150,300,362,300,28,0\n1 =\n"
                                                      "2 = 256,0,256,512,51.2,90\n");
    const std::vector<SIM_ShipHull::Band> bands = h->GetBands();
    ASSERT_EQ(bands.size(), 2u) << "an empty line is no band";
    EXPECT_FLOAT_EQ(bands[0].x1, 150.0f / 512.0f - 0.5f);
    EXPECT_FLOAT_EQ(bands[0].y1, 300.0f / 512.0f - 0.5f);
    EXPECT_FLOAT_EQ(bands[0].x2, 362.0f / 512.0f - 0.5f);
    EXPECT_FLOAT_EQ(bands[0].y2, 300.0f / 512.0f - 0.5f);
    EXPECT_FLOAT_EQ(bands[0].width, 28.0f / 512.0f);
    EXPECT_FLOAT_EQ(bands[0].angle, 0.0f);
    EXPECT_FLOAT_EQ(bands[1].x1, 0.0f);
    EXPECT_FLOAT_EQ(bands[1].y1, -0.5f);
    EXPECT_FLOAT_EQ(bands[1].y2, 0.5f);
    EXPECT_FLOAT_EQ(bands[1].width, 0.1f);
    EXPECT_FLOAT_EQ(bands[1].angle, 90.0f);
}

TEST_F(ShipHullTest, UnknownClassRejectsTheHull)
{
    const int before = Errors();
    std::string text = kConfig;
    text.replace(text.find("frigate"), 7, "Frigate");
    ReadHull(text);
    EXPECT_FALSE(lastRead);
    EXPECT_GT(Errors(), before);
}

TEST_F(ShipHullTest, LoadAllSkipsBadHullsAndFindsByRace)
{
    dir.Write("data/hulls/fed/a.txt", kConfig);
    std::string bad = kConfig;
    bad.replace(bad.find("name = h"), 8, "name = x");
    bad.replace(bad.find("frigate"), 7, "battleship");
    dir.Write("data/hulls/fed/b.txt", bad);
    ScopedChdir cd(dir.Path());
    SIM_ShipHull* h = SIM_ShipHull::Find("h");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(SIM_ShipHull::GetList().size(), 1u);
    EXPECT_EQ(SIM_ShipHull::Find("x"), nullptr);
    EXPECT_EQ(SIM_ShipHull::FindFirstForRace("federation"), h);
    EXPECT_EQ(SIM_ShipHull::FindFirstForRace("korrath"), nullptr);
}

TEST_F(ShipHullTest, AGarbageHullIsReportedInOneLineNamingFileAndKeys)
{
    ScopedErrorLog log;
    ReadHull(std::string("\x89PNG\r\n\x1a\n\x01\x02 = \xff\n", 15));
    EXPECT_FALSE(lastRead);
    const std::string path = dir.File("hull.txt");
    EXPECT_EQ(log.Count(path + " [config]: no name, guiname, sprite, damagetexture, racename, classname"), 1);
    EXPECT_EQ(log.Count("Assertion failure"), 0);
    EXPECT_EQ(log.Count("hull ignored"), 1);

    // A hull with all its keys says nothing.
    ReadHull(kConfig);
    EXPECT_TRUE(lastRead);
    EXPECT_EQ(log.Lines(), 2);
}
