#include "sim/SIM_ShipNameGenerator.h"

#include "engine/GRandom.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {
class ShipNames : public ::testing::Test {
protected:
    void SetUp() override { QlmSrand(42); }
    void TearDown() override { Gen().Clear(); }
    static SIM_ShipNameGenerator& Gen() { return SIM_ShipNameGenerator::GetInstance(); }
    TempDir m_dir;
};
} // namespace

TEST_F(ShipNames, ListNameIsTheStemBeforeTheFirstDot)
{
    EXPECT_EQ(SIM_ShipNameGenerator::ListNameFromFile("data/shipnames/abc.def.txt"), "abc");
    EXPECT_EQ(SIM_ShipNameGenerator::ListNameFromFile("mods\\x\\fed.txt"), "fed");
    EXPECT_EQ(SIM_ShipNameGenerator::ListNameFromFile("plain"), "plain");
}

TEST_F(ShipNames, LoadsEveryListAndSkipsComments)
{
    m_dir.Write("data/shipnames/abc.def.txt", "[names]\n// comment\n  One  \nTwo = ignored\n[other]\nThree\n");
    m_dir.Write("data/shipnames/zed.txt", "[names]\nZ\n");
    ScopedChdir cd(m_dir.Path());
    Gen().LoadAll();
    ASSERT_EQ(Gen().GetLists().size(), 2u);
    const auto* abc = Gen().FindList("abc");
    ASSERT_NE(abc, nullptr);
    EXPECT_EQ(abc->names, (std::vector<std::string>{"One", "Two"}));
    // Reading again starts over rather than adding.
    Gen().LoadAll();
    EXPECT_EQ(Gen().GetLists().size(), 2u);
}

TEST_F(ShipNames, PickedNamesLeaveAndDuplicatesGoTogether)
{
    m_dir.Write("data/shipnames/fed.txt", "[names]\nA\nB\nA\n");
    ScopedChdir cd(m_dir.Path());
    Gen().LoadAll();
    std::vector<std::string> picked;
    for (int i = 0; i < 2; ++i)
        picked.push_back(Gen().PickName("fed"));
    std::sort(picked.begin(), picked.end());
    EXPECT_EQ(picked, (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(Gen().FindList("fed")->names.empty());

    // Lists run dry into generated names below nine thousand.
    for (int i = 0; i < 20; ++i) {
        std::string name = Gen().PickName("fed");
        ASSERT_EQ(name.rfind("ship_", 0), 0u) << name;
        int n = std::atoi(name.c_str() + 5);
        EXPECT_GE(n, 0);
        EXPECT_LT(n, 9000);
    }
}

TEST_F(ShipNames, UnknownListGivesEmptyNameAndRemovalReachesEveryList)
{
    m_dir.Write("data/shipnames/a.txt", "[names]\nShared\nOnlyA\n");
    m_dir.Write("data/shipnames/b.txt", "[names]\nShared\n");
    ScopedChdir cd(m_dir.Path());
    Gen().LoadAll();
    EXPECT_EQ(Gen().PickName("nobody"), "");
    Gen().RemoveNameFromAll("Shared");
    EXPECT_EQ(Gen().FindList("a")->names, (std::vector<std::string>{"OnlyA"}));
    EXPECT_TRUE(Gen().FindList("b")->names.empty());
    // Without removal the list keeps the name.
    auto* a = Gen().FindList("a");
    EXPECT_EQ(Gen().PickRandom(*a, false), "OnlyA");
    EXPECT_EQ(a->names.size(), 1u);
}

TEST(SIM_ShipNameContent, ShippedListsHaveEnoughUniqueNames)
{
    ScopedChdir cd(QLM_SOURCE_DIR);
    auto& gen = SIM_ShipNameGenerator::GetInstance();
    gen.LoadAll();
    for (const char* list : {"federation", "korrath"}) {
        const auto* names = gen.FindList(list);
        ASSERT_NE(names, nullptr) << list;
        EXPECT_GE(names->names.size(), 15u) << list;
    }
    gen.Clear();
}
