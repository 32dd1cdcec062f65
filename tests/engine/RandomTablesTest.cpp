#include "engine/RandomTables.h"
#include "engine/GRandom.h"

#include <gtest/gtest.h>

#include <vector>

TEST(RandomTables, FixedSeedReproducesEveryDraw)
{
    GRandom a(42);
    InitRandomTables(a);
    std::vector<float> first;
    for (int i = 0; i < 1500; ++i) {
        first.push_back(RandomFloat());
        first.push_back(RandomRangeAlt(-3.0f, 5.0f));
    }
    GRandom b(42);
    InitRandomTables(b);
    for (int i = 0; i < 1500; ++i) {
        EXPECT_EQ(RandomFloat(), first[2 * i]);
        EXPECT_EQ(RandomRangeAlt(-3.0f, 5.0f), first[2 * i + 1]);
    }
    GRandom c(43);
    InitRandomTables(c);
    int same = 0;
    for (int i = 0; i < 100; ++i)
        same += RandomFloat() == first[2 * i] ? 1 : 0;
    EXPECT_LT(same, 10);
}

TEST(RandomTables, TablesAreFilledAlternatelyFromTheGenerator)
{
    GRandom rng(7);
    InitRandomTables(rng);
    GRandom check(7);
    for (int i = 0; i < 3; ++i) {
        const float v1 = static_cast<float>(check.Next15()) / 32768.0f;
        const float v2 = static_cast<float>(check.Next15()) / 32768.0f;
        EXPECT_EQ(RandomFloat(), v1);
        EXPECT_EQ(RandomRangeAlt(0.0f, 1.0f), v2);
    }
}

TEST(RandomTables, ThousandAndFirstDrawRepeatsTheFirst)
{
    GRandom rng(1);
    InitRandomTables(rng);
    std::vector<float> table1, table2;
    for (int i = 0; i < kRandomTableSize; ++i) {
        table1.push_back(RandomRange(0.0f, 1.0f));
        table2.push_back(RandomRangeAlt(0.0f, 1.0f));
    }
    EXPECT_EQ(RandomFloat(), table1[0]);
    EXPECT_EQ(RandomRangeAlt(0.0f, 1.0f), table2[0]);
    EXPECT_EQ(RandomFloat(), table1[1]);
    for (float v : table1) {
        EXPECT_GE(v, 0.0f);
        EXPECT_LT(v, 1.0f);
    }
}

TEST(RandomTables, ChancesAndRanges)
{
    GRandom rng(99);
    InitRandomTables(rng);
    for (int i = 0; i < 2 * kRandomTableSize; ++i) {
        EXPECT_FALSE(RandomChance(0.0f));
        EXPECT_TRUE(RandomChanceAlt(1.0f));
    }
    int hits = 0;
    for (int i = 0; i < kRandomTableSize; ++i)
        hits += RandomChance(0.25f) ? 1 : 0;
    EXPECT_GT(hits, 180);
    EXPECT_LT(hits, 320);
    for (int i = 0; i < 100; ++i) {
        float v = RandomRange(10.0f, 20.0f);
        EXPECT_GE(v, 10.0f);
        EXPECT_LT(v, 20.0f);
    }
}

TEST(RandomTables, RefillPutsTheCursorsBack)
{
    GRandom rng(5);
    InitRandomTables(rng);
    const float first = RandomFloat();
    for (int i = 0; i < 123; ++i)
        RandomFloat();
    GRandom again(5);
    InitRandomTables(again);
    EXPECT_EQ(RandomFloat(), first);
}
