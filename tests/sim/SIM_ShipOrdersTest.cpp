#include "sim/SIM_ShipOrders.h"

#include "engine/GDebugLog.h"
#include "engine/GIniFile.h"
#include "sim/SIM_BehaviourType.h"
#include "engine/GSafeFile.h"
#include "support/ErrorLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {
// The shipped behaviour table, read from the source tree.
class Orders : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScopedChdir cd(QLM_SOURCE_DIR);
        SIM_BehaviourType::LoadAll();
    }
    void TearDown() override { SIM_BehaviourType::FreeAll(); }

    static std::vector<std::string> Names(const SIM_ShipOrders& orders)
    {
        std::vector<std::string> names;
        for (const auto& o : orders.GetOrders())
            names.push_back(o->behaviour);
        return names;
    }
};
} // namespace

TEST_F(Orders, TableHoldsEveryBehaviourTheGameUses)
{
    const char* names[] = {"ATTACK_FIGHTERS", "ATTACK_FRIGATES", "ATTACK_CRUISERS", "KEEPMOVING", "VULTURE",
                           "STICKTOGETHER",   "FORMATION",       "ESCORT",          "CO_OPERATIVE", "RESCUER",
                           "RETALIATE",       "PROTECTIVE",      "CAUTIOUS"};
    EXPECT_EQ(SIM_BehaviourType::GetList().size(), 13u);
    for (const char* n : names) {
        SIM_BehaviourType* t = SIM_BehaviourType::Find(n);
        ASSERT_NE(t, nullptr) << n;
        EXPECT_EQ(t->GetName(), n);
        EXPECT_FALSE(t->displayText.empty());
        for (const std::string& kind : {t->kind1, t->kind2})
            EXPECT_TRUE(kind == "PERCENTAGE" || kind == "FLOAT") << n;
        EXPECT_LE(t->min1, t->max1);
        EXPECT_LE(t->min2, t->max2);
    }
    EXPECT_TRUE(SIM_BehaviourType::Find("ESCORT")->shipLinked);
    EXPECT_TRUE(SIM_BehaviourType::Find("FORMATION")->shipLinked);
    EXPECT_TRUE(SIM_BehaviourType::Find("PROTECTIVE")->shipLinked);
    EXPECT_FALSE(SIM_BehaviourType::Find("CAUTIOUS")->shipLinked);
    EXPECT_EQ(SIM_BehaviourType::Find("attack_fighters"), nullptr);
}

TEST_F(Orders, RowParsingToleratesQuotesAndShortRows)
{
    SIM_BehaviourType full("#,X,\"Text, with comma\",desc,1,0,1,p1,p2,PERCENTAGE,FLOAT,0.1,0.9,5,50,0.5,10\n");
    EXPECT_EQ(full.name, "X");
    EXPECT_EQ(full.displayText, "Text, with comma");
    EXPECT_TRUE(full.usesFloat1);
    EXPECT_FALSE(full.usesFloat2);
    EXPECT_TRUE(full.shipLinked);
    EXPECT_EQ(full.kind1, "PERCENTAGE");
    EXPECT_FLOAT_EQ(full.max2, 50.0f);
    EXPECT_FLOAT_EQ(full.default2, 10.0f);
    SIM_BehaviourType shortRow("#,Y\n");
    EXPECT_EQ(shortRow.name, "Y");
    EXPECT_FALSE(shortRow.usesFloat1);
    EXPECT_FLOAT_EQ(shortRow.max1, 0.0f);
}

TEST_F(Orders, MovementOrdersExcludeEachOther)
{
    SIM_ShipOrders orders;
    orders.AddOrder("FORMATION", 0, 0);
    orders.AddOrder("VULTURE", 0, 0);
    // FORMATION went when KEEPMOVING came
    orders.AddOrder("KEEPMOVING", 0, 0);
    EXPECT_EQ(Names(orders), (std::vector<std::string>{"VULTURE", "KEEPMOVING"}));
    orders.AddOrder("ESCORT", 0, 0);
    EXPECT_EQ(Names(orders), (std::vector<std::string>{"VULTURE", "ESCORT"}));
    orders.AddOrder("FORMATION", 0, 0);
    EXPECT_EQ(Names(orders), (std::vector<std::string>{"VULTURE", "FORMATION"}));
}

TEST_F(Orders, AddingAPresentBehaviourReturnsTheOrderInTheList)
{
    SIM_ShipOrders orders;
    SIM_ShipOrder* first = orders.AddOrder("CAUTIOUS", 0.3f, 0.0f);
    ASSERT_NE(first, nullptr);
    SIM_ShipOrder* again = orders.AddOrder("CAUTIOUS", 0.9f, 0.0f);
    EXPECT_EQ(again, first);
    EXPECT_EQ(orders.Count(), 1u);
    EXPECT_FLOAT_EQ(orders.GetOrder("CAUTIOUS")->float1, 0.3f);
    again->shipId = 4; // a caller setting the target changes the listed order
    EXPECT_TRUE(orders.HasOrder("CAUTIOUS"));
    EXPECT_EQ(orders.GetOrder("CAUTIOUS")->shipId, 4);
}

TEST_F(Orders, UnknownBehaviourIsReportedOnceAndNothingChanges)
{
    SIM_ShipOrders orders;
    orders.AddOrder("FORMATION", 0, 0);
    const int before = GDebugLog::GetInstance().GetErrorCount();
    EXPECT_EQ(orders.AddOrder("DANCE", 1, 1), nullptr);
    EXPECT_EQ(GDebugLog::GetInstance().GetErrorCount(), before + 1);
    EXPECT_EQ(Names(orders), (std::vector<std::string>{"FORMATION"}));
}

TEST_F(Orders, ClampAndNormalise)
{
    SIM_ShipOrder* attack;
    SIM_ShipOrders orders;
    attack = orders.AddOrder("ATTACK_FRIGATES", 1.7f, 20.0f);
    attack->Clamp();
    EXPECT_FLOAT_EQ(attack->float1, 1.0f);
    EXPECT_FLOAT_EQ(attack->float2, 100.0f);
    EXPECT_FLOAT_EQ(attack->GetNormalisedFloat1(), 1.0f); // a percentage is its own slider value
    attack->float2 = 800.0f;
    EXPECT_FLOAT_EQ(attack->GetNormalisedFloat2(), 0.5f);

    // A type whose limits are equal must not divide by zero.
    SIM_BehaviourType flat("#,FLAT,F,D,1,1,0,,,FLOAT,FLOAT,3,3,2,2,3,2\n");
    SIM_ShipOrder order("FLAT", &flat);
    order.float1 = 3.0f;
    order.float2 = 9.0f;
    EXPECT_FLOAT_EQ(order.GetNormalisedFloat1(), 0.0f);
    EXPECT_FLOAT_EQ(order.GetNormalisedFloat2(), 0.0f);
    order.Clamp();
    EXPECT_FLOAT_EQ(order.float2, 2.0f);
}

TEST_F(Orders, SaveDropsUntargetedShipOrders)
{
    SIM_ShipOrders orders;
    orders.AddOrder("ATTACK_FIGHTERS", 0.8f, 200.0f);
    orders.AddOrder("ESCORT", 0, 0);
    orders.AddOrder("PROTECTIVE", 0, 0)->shipId = 3;
    EXPECT_EQ(orders.SaveToText(),
              "behaviour_0 = ATTACK_FIGHTERS,-1,0.80,200.00\nbehaviour_1 = PROTECTIVE,3,0.00,0.00\n");
    EXPECT_FALSE(orders.HasOrder("ESCORT"));
}

TEST_F(Orders, LoadKeepsFirstOfEachAndDropsBadLines)
{
    GIniFile ini;
    ini.LoadFromText("ship0", "[ship0]\nname = x\n"
                              "behaviour_0 = ATTACK_CRUISERS,-1,0.50,9000\n"
                              "behaviour_1 = ESCORT,-1,0,0\n"
                              "behaviour_2 = ATTACK_CRUISERS,-1,0.10,300\n"
                              "behaviour_3 = NONSENSE,-1,0,0\n"
                              "behaviour_4 = FORMATION,7,-40,25\n"
                              "nobehave = CAUTIOUS,-1,0.5,0\n");
    SIM_ShipOrders orders;
    orders.AddOrder("VULTURE", 0, 0); // replaced by the load
    orders.Load(ini);
    EXPECT_EQ(Names(orders), (std::vector<std::string>{"ATTACK_CRUISERS", "FORMATION"}));
    EXPECT_FLOAT_EQ(orders.GetOrder("ATTACK_CRUISERS")->float1, 0.5f);
    EXPECT_FLOAT_EQ(orders.GetOrder("ATTACK_CRUISERS")->float2, 1500.0f); // clamped
    EXPECT_EQ(orders.GetOrder("FORMATION")->shipId, 7);
    EXPECT_FLOAT_EQ(orders.GetOrder("FORMATION")->float1, -40.0f); // offsets are not limited
}

TEST_F(Orders, AttackRangeAndPriorityDefaults)
{
    SIM_ShipOrders orders;
    orders.AddOrder("ATTACK_FRIGATES", 0.7f, 500.0f);
    EXPECT_FLOAT_EQ(orders.GetAttackRangeForClass(1), 500.0f);
    EXPECT_FLOAT_EQ(orders.GetAttackPriorityForClass(1), 0.7f);
    EXPECT_FLOAT_EQ(orders.GetAttackRangeForClass(0), 300.0f);
    EXPECT_FLOAT_EQ(orders.GetAttackPriorityForClass(0), 0.0f);
    EXPECT_FLOAT_EQ(orders.GetAttackRangeForClass(7), 300.0f);
    EXPECT_TRUE(orders.HasAttackOrderForClass(1));
    EXPECT_FALSE(orders.HasAttackOrderForClass(2));
}

TEST_F(Orders, CopiesAreIndependentAndTargetedRemovalWorks)
{
    SIM_ShipOrders a;
    a.AddOrder("ESCORT", 0, 0)->shipId = 5;
    a.AddOrder("CAUTIOUS", 0.5f, 0);
    a.GetOrder("CAUTIOUS")->secondInt = 9;
    SIM_ShipOrders b(a);
    a.RemoveOrdersTargeting(5);
    a.RemoveOrder("CAUTIOUS");
    EXPECT_EQ(a.Count(), 0u);
    ASSERT_EQ(b.Count(), 2u);
    EXPECT_EQ(b.GetOrder("ESCORT")->shipId, 5);
    EXPECT_TRUE(b.HasOrderWithValue("CAUTIOUS", 9));
    EXPECT_FALSE(b.HasOrderWithValue("CAUTIOUS", 8));
    SIM_ShipOrders& alias = b;
    b = alias; // self-assignment keeps the orders
    EXPECT_EQ(b.Count(), 2u);
}

TEST(BehaviourTable, ARowCutShortIsToldWithItsName)
{
    std::string csv;
    ASSERT_TRUE(ReadWholeFile(std::string(QLM_SOURCE_DIR) + "/data/behaviors.csv", csv));
    TempDir dir;
    ScopedChdir cd(dir.Path());
    {
        dir.Write("data/behaviors.csv", csv);
        ScopedErrorLog log;
        SIM_BehaviourType::LoadAll();
        EXPECT_EQ(log.Lines(), 0) << "the shipped table is whole";
    }
    // Cut inside the last row's values.
    const std::string cut = csv.substr(0, csv.find(",0.0,1.0", csv.rfind("\n#,")));
    dir.Write("data/behaviors.csv", cut);
    ScopedErrorLog log;
    SIM_BehaviourType::LoadAll();
    EXPECT_EQ(SIM_BehaviourType::GetList().size(), 13u);
    EXPECT_EQ(log.Count("data/behaviors.csv: the row of CAUTIOUS has 11 of its 17 columns (cut or damaged)"), 1)
        << log.Text();
    EXPECT_EQ(log.Lines(), 1);
    SIM_BehaviourType::FreeAll();
}
