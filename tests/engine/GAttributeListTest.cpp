#include "engine/GAttributeList.h"

#include <gtest/gtest.h>

TEST(GAttributeList, UnsetNameIsZero)
{
    GAttributeList list;
    EXPECT_FLOAT_EQ(list.GetValue("hp"), 0.0f);
    EXPECT_FALSE(list.HasValue("hp"));
}

TEST(GAttributeList, FirstSetValueWins)
{
    GAttributeList list;
    list.SetValue("hp", 1.0f);
    list.SetValue("hp", 2.0f);
    EXPECT_FLOAT_EQ(list.GetValue("hp"), 1.0f);
    EXPECT_EQ(list.GetCount(), 2u);
}

TEST(GAttributeList, NamesMatchWhole)
{
    GAttributeList list;
    list.SetValue("current_cash", 150.0f);
    list.SetValue("current_crew", -3.5f);
    EXPECT_FLOAT_EQ(list.GetValue("current_crew"), -3.5f);
    EXPECT_FLOAT_EQ(list.GetValue("current"), 0.0f);
    EXPECT_FLOAT_EQ(list.GetValue("current_cash_x"), 0.0f);
    EXPECT_FLOAT_EQ(list.GetValue("Current_Cash"), 0.0f);
}

TEST(GAttributeList, ClearForgetsEverything)
{
    GAttributeList list;
    list.SetValue("a", 1.0f);
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_FLOAT_EQ(list.GetValue("a"), 0.0f);
    list.SetValue("a", 4.0f);
    EXPECT_FLOAT_EQ(list.GetValue("a"), 4.0f);
}
