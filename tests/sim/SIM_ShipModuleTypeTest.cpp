#include "sim/SIM_ShipModuleType.h"

#include <gtest/gtest.h>

#include "engine/GDebugLog.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "support/ErrorLog.h"
#include "support/TempDir.h"

namespace {

class ModuleTypeTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        SIM_ShipDesign::FreeAll();
        SIM_ShipHull::FreeAll();
        SIM_ShipModuleType::FreeAll();
    }

    TempDir dir;
};

const char* kLaser = R"([config]
name = laser
guiname = MOD_LASER
classname = SIM_BeamWeaponModule
icon = turret
slot_type = TURRET
category = WEAPONS
size = FRIGATE
cost = 120.5
weight = 30
hitpoints = 80
powerconsumed = 4.5
crew_required = 3
damage = 12
uisortpos = 7
lockable = 1
unlockcost = 40

[dataitems]
a = damage,DECIMAL
b = unknown_stat,INTEGER
c = cost, INTEGER
d = fire_interval, DECIMAL_MULT,0.001
e = weight,FLOATY
)";

} // namespace

TEST_F(ModuleTypeTest, StatIndexFollowsTheTable)
{
    EXPECT_EQ(SIM_ShipModuleType::StatIndex("cost"), 0);
    EXPECT_EQ(SIM_ShipModuleType::StatIndex("damage"), 5);
    EXPECT_EQ(SIM_ShipModuleType::StatIndex("has_decoys"), 31);
    EXPECT_EQ(SIM_ShipModuleType::StatIndex("Damage"), 999);
    EXPECT_EQ(SIM_ShipModuleType::StatIndex(""), 999);
}

TEST_F(ModuleTypeTest, ReadsCommonKeysAndSortsDataItems)
{
    const int errorsBefore = GDebugLog::GetInstance().GetErrorCount();
    auto* t = new SIM_ShipModuleType(dir.Write("laser.txt", kLaser));
    EXPECT_EQ(t->GetName(), "laser");
    EXPECT_EQ(t->GetClassName(), "SIM_BeamWeaponModule");
    EXPECT_EQ(t->GetSlotType(), SIM_ShipModuleType::TURRET);
    EXPECT_EQ(t->GetCategory(), SIM_ShipModuleType::WEAPONS);
    EXPECT_EQ(t->GetSize(), SIM_ShipModuleType::FRIGATE);
    EXPECT_FLOAT_EQ(t->GetCost(), 120.5f);
    EXPECT_FLOAT_EQ(t->GetPowerConsumed(), 4.5f);
    EXPECT_EQ(t->GetCrewRequired(), 3);
    EXPECT_EQ(t->GetUiSortPos(), 7);
    EXPECT_FLOAT_EQ(t->GetStackEffectiveness(), 1.0f);
    EXPECT_TRUE(t->IsVisible());
    EXPECT_FLOAT_EQ(t->GetConfigFloat("damage"), 12.0f);

    const auto& items = t->GetDataItems();
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].statName, "cost");
    EXPECT_EQ(items[0].kind, SIM_ShipModuleType::INTEGER) << "a blank after the comma is not part of the kind";
    EXPECT_EQ(items[1].statName, "weight");
    EXPECT_EQ(items[2].statName, "damage");
    EXPECT_EQ(items[3].statName, "fire_interval");
    EXPECT_EQ(items[3].kind, SIM_ShipModuleType::DECIMAL_MULT);
    EXPECT_FLOAT_EQ(items[3].multiplier, 0.001f);
    EXPECT_EQ(items[4].statName, "unknown_stat");
    // The unknown kind was reported, and the item kept as a plain number.
    EXPECT_EQ(items[1].kind, SIM_ShipModuleType::DECIMAL);
    EXPECT_GE(GDebugLog::GetInstance().GetErrorCount(), errorsBefore + 1);
}

TEST_F(ModuleTypeTest, DefaultsAndNearMissNames)
{
    auto* t = new SIM_ShipModuleType(dir.Write("odd.txt",
                                               "[config]\nname = odd\ncategory = WEAPON\nsize = cruiser\n"
                                               "slot_type = standard\nhidden = 1\n"));
    EXPECT_EQ(t->GetCategory(), SIM_ShipModuleType::OTHER);
    EXPECT_EQ(t->GetSize(), SIM_ShipModuleType::FIGHTER);
    EXPECT_EQ(t->GetUiSortPos(), 99999);
    EXPECT_FLOAT_EQ(t->GetStackEffectiveness(), 1.0f);
    EXPECT_FALSE(t->IsVisible());

    auto* missing = new SIM_ShipModuleType(dir.File("nothing.txt"));
    EXPECT_TRUE(missing->GetName().empty());
    EXPECT_FLOAT_EQ(missing->GetCost(), 0.0f);
}

TEST_F(ModuleTypeTest, FindLoadsOnDemandAndReloadReplacesTypes)
{
    dir.Write("data/modules/laser.txt", kLaser);
    dir.Write("data/modules/plate.txt", "[config]\nname = plate\nslot_type = STANDARD\n");
    ScopedChdir cd(dir.Path());

    ASSERT_TRUE(SIM_ShipModuleType::GetList().empty());
    SIM_ShipModuleType* laser = SIM_ShipModuleType::Find("laser");
    ASSERT_NE(laser, nullptr);
    EXPECT_EQ(SIM_ShipModuleType::GetList().size(), 2u);
    EXPECT_EQ(SIM_ShipModuleType::Find("Laser", false), nullptr);
    EXPECT_EQ(SIM_ShipModuleType::Find("lase", false), nullptr);

    SIM_ShipModuleType::LoadAll();
    EXPECT_EQ(SIM_ShipModuleType::GetList().size(), 2u);
    EXPECT_NE(SIM_ShipModuleType::Find("plate"), nullptr);
}

TEST_F(ModuleTypeTest, NonTurretIconIsReturnedUnchanged)
{
    auto* t = new SIM_ShipModuleType(dir.Write("e.txt", "[config]\nname = e\nicon = icon_engine.dds\n"));
    EXPECT_EQ(t->GetIcon(), "icon_engine.dds");
}

TEST_F(ModuleTypeTest, AModuleFileCutShortIsToldWithItsFirstMissingKey)
{
    const std::string whole = kLaser;
    struct Case {
        std::string text;
        const char* told; // "" for none
    };
    const Case cases[] = {
        {whole, ""},
        {whole.substr(0, whole.find("weight = 30") + 5), " [config] weight: missing (cut or damaged)"},
        {whole.substr(0, whole.find("classname")), " [config] classname: missing (cut or damaged)"},
        {"", " [config] name: missing (cut or damaged)"},
        // Past every key it must have, inside a value: "120.5" cut to "12".
        {whole.substr(0, whole.find("damage = 12") + 10), ": cut off inside its last line, its last value read as it stands"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string path = dir.Write("cut.txt", c.text);
        ScopedErrorLog log;
        auto* t = new SIM_ShipModuleType(path);
        if (*c.told)
            EXPECT_EQ(log.Count(path + c.told), 1) << log.Text();
        else
            EXPECT_EQ(log.Count(path), 0) << log.Text();
        // A key missing is told alone, the cut not again.
        EXPECT_EQ(log.Count("cut off inside its last line"), c.told[0] == ':' ? 1 : 0) << log.Text();
        delete t;
    }
}
