#include "sim/SIM_DefaultOrders.h"

#include "ContentAWorld.h"
#include "engine/APP_UserFolders.h"
#include "engine/GSafeFile.h"
#include "sim/SIM_ShipOrders.h"

#include <gtest/gtest.h>

namespace {
class DefaultOrders : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(APP_UserFolders::GetInstance().Create(m_world.Path("user")));
        SIM_DefaultOrders::FreeAll();
    }
    std::string OrdersFile(const std::string& design) const
    {
        return SIM_DefaultOrders::FilePathFor(SIM_DefaultOrders::GetFolder(), design);
    }
    ContentAWorld m_world;
};
} // namespace

TEST_F(DefaultOrders, SavedOrdersRoundTripAndSkipShipLinkedOnes)
{
    SIM_ShipOrders orders;
    orders.AddOrder("ATTACK_CRUISERS", 0.25f, 650.0f);
    orders.AddOrder("ESCORT", 0, 0)->shipId = 2;
    orders.AddOrder("CAUTIOUS", 0.5f, 0.0f);
    ASSERT_TRUE(SIM_DefaultOrders::SetFromShipOrders("fedcruiser", &orders));

    std::string text;
    ASSERT_TRUE(ReadWholeFile(OrdersFile("fedcruiser"), text));
    EXPECT_EQ(text, "[config]\ndesignname = fedcruiser\n\n"
                    "[order0]\nname = \"ATTACK_CRUISERS\"\nfloat1 = 0.25\nfloat2 = 650.00\n\n"
                    "[order1]\nname = \"CAUTIOUS\"\nfloat1 = 0.50\nfloat2 = 0.00\n\n");

    // Read back from disk as a fresh start would.
    SIM_DefaultOrders::FreeAll();
    SIM_DefaultOrders* d = SIM_DefaultOrders::FindForDesign("fedcruiser");
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->GetEntries().size(), 2u);
    EXPECT_EQ(d->GetEntries()[0].behaviour, "ATTACK_CRUISERS");
    EXPECT_FLOAT_EQ(d->GetEntries()[0].float2, 650.0f);

    SIM_ShipOrders fresh;
    fresh.SetDefaults(SIM_ShipDesign::Find("fedcruiser"));
    ASSERT_EQ(fresh.Count(), 2u);
    EXPECT_EQ(fresh.GetOrders()[1]->behaviour, "CAUTIOUS");
}

TEST_F(DefaultOrders, OnlyShipLinkedOrdersMeanNoOrdersAtAll)
{
    SIM_ShipOrders orders;
    orders.AddOrder("FORMATION", 0, 0)->shipId = 1;
    ASSERT_TRUE(SIM_DefaultOrders::SetFromShipOrders("korfighter", &orders));
    std::string text;
    ASSERT_TRUE(ReadWholeFile(OrdersFile("korfighter"), text));
    EXPECT_EQ(text, "[config]\ndesignname = korfighter\n\n");
    SIM_ShipOrders fresh;
    fresh.SetDefaults(SIM_ShipDesign::Find("korfighter"));
    EXPECT_EQ(fresh.Count(), 0u);
}

TEST_F(DefaultOrders, SavingTwiceReplaces)
{
    SIM_ShipOrders orders;
    orders.AddOrder("VULTURE", 0, 0);
    ASSERT_TRUE(SIM_DefaultOrders::SetFromShipOrders("fedcruiser", &orders));
    orders.AddOrder("RESCUER", 0, 0);
    ASSERT_TRUE(SIM_DefaultOrders::SetFromShipOrders("fedcruiser", &orders));
    EXPECT_EQ(SIM_DefaultOrders::FindForDesign("fedcruiser")->GetEntries().size(), 2u);
}

TEST_F(DefaultOrders, SectionNamesDoNotMatter)
{
    std::string path = m_world.Dir().Write("odd.txt", "[config]\ndesignname = x\n[first]\nname = \"VULTURE\"\n"
                                                      "float1 = 0.1\n[zzz]\nname = RESCUER\n[empty]\n");
    SIM_DefaultOrders d;
    d.Read(path);
    EXPECT_EQ(d.GetDesignName(), "x");
    ASSERT_EQ(d.GetEntries().size(), 3u);
    EXPECT_EQ(d.GetEntries()[0].behaviour, "VULTURE");
    EXPECT_FLOAT_EQ(d.GetEntries()[0].float1, 0.1f);
    EXPECT_EQ(d.GetEntries()[1].behaviour, "RESCUER");
    EXPECT_EQ(d.GetEntries()[2].behaviour, "");
    EXPECT_FLOAT_EQ(d.GetEntries()[2].float2, 0.0f);
}

TEST_F(DefaultOrders, DesignNamesCannotEscapeTheOrdersFolder)
{
    SIM_ShipOrders orders;
    orders.AddOrder("VULTURE", 0, 0);
    ASSERT_TRUE(SIM_DefaultOrders::SetFromShipOrders("../../escape\nline", &orders));
    std::string path = OrdersFile("../../escape\nline");
    EXPECT_EQ(path.rfind(SIM_DefaultOrders::GetFolder() + "/", 0), 0u);
    EXPECT_EQ(path.find(".."), std::string::npos);
    std::string text;
    ASSERT_TRUE(ReadWholeFile(path, text));
    EXPECT_EQ(text.rfind("[config]\ndesignname = ../../escape line\n\n", 0), 0u);
    EXPECT_FALSE(FileExists(m_world.Path("escape.txt")));
}

TEST_F(DefaultOrders, ClassDefaultsWithoutAFile)
{
    SIM_ShipOrders cruiser;
    cruiser.SetDefaults(SIM_ShipDesign::Find("fedcruiser"));
    ASSERT_EQ(cruiser.Count(), 4u);
    EXPECT_EQ(cruiser.GetOrders()[0]->behaviour, "ATTACK_FIGHTERS");
    EXPECT_FLOAT_EQ(cruiser.GetOrders()[0]->float1, 0.1f);
    EXPECT_FLOAT_EQ(cruiser.GetOrders()[2]->float2, 800.0f);
    EXPECT_EQ(cruiser.GetOrders()[3]->behaviour, "CAUTIOUS");

    SIM_ShipOrders plain;
    plain.SetDefaults(SIM_ShipDesign::Find("fedcruiser_norepair"));
    EXPECT_EQ(plain.Count(), 3u);

    SIM_ShipOrders fighter;
    fighter.SetDefaults(SIM_ShipDesign::Find("korfighter"));
    ASSERT_EQ(fighter.Count(), 3u);
    EXPECT_FLOAT_EQ(fighter.GetAttackPriorityForClass(2), 0.8f);
    EXPECT_FLOAT_EQ(fighter.GetAttackRangeForClass(0), 200.0f);

    SIM_ShipOrders none;
    none.SetDefaults(nullptr);
    EXPECT_EQ(none.Count(), 0u);
}
