#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/GDebugLog.h"
#include "engine/GFileList.h"
#include "sim/SIM_Battle.h"
#include "sim/ShippedBattleWorld.h"
#include "sim/modules/ModuleTestWorld.h"
#include "sim/modules/SIM_BeamWeaponModule.h"
#include "sim/modules/SIM_MissileModule.h"
#include "sim/modules/SIM_ModuleFactory.h"
#include "sim/modules/SIM_StaticModule.h"
#include "sim/modules/SIM_TacticalModule.h"

namespace {

int Errors()
{
    return GDebugLog::GetInstance().GetErrorCount();
}

class ModuleFactoryTest : public ::testing::Test {
protected:
    ModuleTestWorld world;
    SIM_ShipOrders orders;
};

TEST_F(ModuleFactoryTest, BuildsTheClassItsTypeNames)
{
    SIM_ModuleFactory::Built beam = SIM_ModuleFactory::Create(SIM_ShipModuleType::Find("laser"), &orders);
    ASSERT_NE(beam.module, nullptr);
    EXPECT_NE(dynamic_cast<SIM_BeamWeaponModule*>(beam.module.get()), nullptr);
    EXPECT_TRUE(beam.perFrame);

    SIM_ModuleFactory::Built scanner = SIM_ModuleFactory::Create(SIM_ShipModuleType::Find("scanner"), &orders);
    auto* pd = dynamic_cast<SIM_PDScannerModule*>(scanner.module.get());
    ASSERT_NE(pd, nullptr);
    EXPECT_FLOAT_EQ(pd->GetValue(), 0.3f);
    EXPECT_FALSE(scanner.perFrame);
}

TEST_F(ModuleFactoryTest, MissileLaunchersAreBuiltAndUnbuiltKindsStayKnown)
{
    SIM_Battle::GetInstance(); // weapons read the battle's scenario; its first use logs missing comms texts
    const int before = Errors();
    SIM_ModuleFactory::Built missile = SIM_ModuleFactory::Create(SIM_ShipModuleType::Find("missile"), &orders);
    ASSERT_NE(missile.module, nullptr);
    EXPECT_NE(dynamic_cast<SIM_MissileModule*>(missile.module.get()), nullptr);
    EXPECT_FLOAT_EQ(missile.module->GetMaxHitpoints(), 15.0f);
    EXPECT_FLOAT_EQ(missile.module->GetWeight(), 7.0f);
    EXPECT_TRUE(missile.module->IsWeapon());
    EXPECT_TRUE(missile.perFrame);
    EXPECT_EQ(Errors(), before);
}

TEST_F(ModuleFactoryTest, UnknownClassLeavesTheSlotEmpty)
{
    const int before = Errors();
    SIM_ModuleFactory::Built mystery = SIM_ModuleFactory::Create(SIM_ShipModuleType::Find("mystery"), &orders);
    EXPECT_EQ(mystery.module, nullptr);
    EXPECT_EQ(Errors(), before + 1);
    EXPECT_EQ(SIM_ModuleFactory::Create(nullptr, &orders).module, nullptr);

    SIM_Ship* ship = world.Build("standins", 0, 0);
    // Tactical module, the missile stand-in and the scanner; no mystery.
    EXPECT_EQ(ship->GetModules().size(), 3u);
}

TEST_F(ModuleFactoryTest, TacticalModuleComesFromItsType)
{
    std::unique_ptr<SIM_TacticalModule> tactical = SIM_ModuleFactory::CreateTactical();
    ASSERT_NE(tactical, nullptr);
    EXPECT_EQ(tactical->GetType(), SIM_ShipModuleType::Find("tactical"));
    EXPECT_FLOAT_EQ(tactical->evaluateInterval, 200.0f);
}

class ShippedDesignsTest : public ::testing::Test {
protected:
    ShippedBattleWorld world;
};

TEST_F(ShippedDesignsTest, EveryShippedDesignBuildsItsModules)
{
    std::set<std::string> files;
    for (const char* mask : {"data/ships/*.txt", "data/sampleships/*.txt"}) {
        GFileList list;
        list.FindFiles(mask);
        files.insert(list.names.begin(), list.names.end());
    }
    ASSERT_FALSE(files.empty());
    const auto& designs = SIM_ShipDesign::GetList();
    EXPECT_EQ(designs.size(), files.size());

    SIM_Fleet player;
    SIM_Fleet enemy;
    player.SetOpponent(&enemy);
    enemy.SetOpponent(&player);
    const int before = Errors();
    int modules = 0;
    {
        std::vector<std::unique_ptr<SIM_Ship>> ships;
        for (SIM_ShipDesign* design : designs) {
            for (const auto& fitted : design->GetModules()) {
                if (!fitted.moduleType)
                    continue;
                SIM_ShipOrders orders;
                SIM_ModuleFactory::Built built = SIM_ModuleFactory::Create(fitted.moduleType, &orders);
                EXPECT_NE(built.module, nullptr) << design->GetName() << ": " << fitted.typeName;
                ++modules;
            }
            auto ship = std::make_unique<SIM_Ship>();
            ship->SetFleet(&player);
            ship->BuildFromDesign(design, std::make_unique<SIM_ShipOrders>());
            EXPECT_GT(ship->startingHitPoints, 0.0f) << design->GetName();
            EXPECT_EQ(ship->GetModules().front(), ship->tacticalModule);
            ships.push_back(std::move(ship));
        }
    }
    EXPECT_GT(modules, 0);
    EXPECT_EQ(Errors(), before);
    GetRemovalQueue().clear();
}

} // namespace
