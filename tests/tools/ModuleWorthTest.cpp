// The measure of what a module type buys: the combat rules it is made of,
// pinned at their edges, and the rule that makes a type pointless.
#include "ModuleWorth.h"

#include <gtest/gtest.h>

namespace {

ModuleWorth::Target Ship(float speed, float width, float resistance = 0.0f, float armour = 0.0f)
{
    ModuleWorth::Target t;
    t.name = "ship";
    t.speed = speed;
    t.width = width;
    t.shieldResistance = resistance;
    t.armourAverage = armour;
    return t;
}

ModuleWorth::Entry Type(const char* name, float cost, std::map<std::string, float> figures, int size = 1)
{
    ModuleWorth::Entry e;
    e.name = name;
    e.cost = cost;
    e.size = size;
    e.figures = std::move(figures);
    return e;
}

} // namespace

TEST(ModuleWorthTest, FiguresFollowTheBattleRulesAtTheirEdges)
{
    // A turret as fast as its target still hits nothing; a slower one the
    // 2 % floor; a full-width hull counts whole, a point half.
    EXPECT_FLOAT_EQ(ModuleWorth::HitChance(4.0f, Ship(1.0f, 256.0f)), 0.75f);
    EXPECT_FLOAT_EQ(ModuleWorth::HitChance(4.0f, Ship(4.0f, 256.0f)), 0.0f);
    EXPECT_FLOAT_EQ(ModuleWorth::HitChance(4.0f, Ship(4.01f, 512.0f)), 0.02f);
    EXPECT_FLOAT_EQ(ModuleWorth::HitChance(4.0f, Ship(0.0f, 0.0f)), 0.5f);
    EXPECT_FLOAT_EQ(ModuleWorth::HitChance(0.0f, Ship(0.0f, 128.0f)), 0.75f);
    // Penetration equal to the resistance bites; below it is blocked.
    EXPECT_FLOAT_EQ(ModuleWorth::ShieldShare(5.0f, Ship(0, 0, 5.0f)), 1.0f);
    EXPECT_FLOAT_EQ(ModuleWorth::ShieldShare(4.99f, Ship(0, 0, 5.0f)), 0.0f);
    // Armour deflects penetration strictly below its average but for the 3 % leak.
    EXPECT_FLOAT_EQ(ModuleWorth::ArmourShare(40.0f, Ship(0, 0, 0, 40.0f)), 1.0f);
    EXPECT_FLOAT_EQ(ModuleWorth::ArmourShare(39.9f, Ship(0, 0, 0, 40.0f)), 0.03f);
    // An ECM lock scrambles at its 75 % only while it ends before the missile
    // crosses the range: a lock as long as the crossing scrambles nothing.
    EXPECT_FLOAT_EQ(ModuleWorth::ScrambleShare(0.0f, 450.0f, 0.5f), 0.75f);
    EXPECT_FLOAT_EQ(ModuleWorth::ScrambleShare(450.0f, 450.0f, 0.5f), 0.375f);
    EXPECT_FLOAT_EQ(ModuleWorth::ScrambleShare(900.0f, 450.0f, 0.5f), 0.0f);
    EXPECT_FLOAT_EQ(ModuleWorth::ScrambleShare(1500.0f, 450.0f, 0.5f), 0.0f);
    EXPECT_FLOAT_EQ(ModuleWorth::ScrambleShare(100.0f, 0.0f, 0.5f), 0.0f);
}

TEST(ModuleWorthTest, ATypeIsPointlessOnlyWhenAnotherOfItsSizeIsNoDearerAndNowhereWorse)
{
    const ModuleWorth::Entry gun = Type("gun", 40, {{"range", 500}, {"hull of a", 2}});
    // Cheaper and as good: dominated. The same price and better in one figure: dominated.
    EXPECT_TRUE(ModuleWorth::Dominates(Type("cheap", 39, {{"range", 500}, {"hull of a", 2}}), gun));
    EXPECT_TRUE(ModuleWorth::Dominates(Type("long", 40, {{"range", 501}, {"hull of a", 2}}), gun));
    // A twin at the same price makes neither pointless.
    EXPECT_FALSE(ModuleWorth::Dominates(Type("twin", 40, {{"range", 500}, {"hull of a", 2}}), gun));
    // Dearer, worse somewhere, lacking a figure, or another size: not dominated.
    EXPECT_FALSE(ModuleWorth::Dominates(Type("dear", 41, {{"range", 900}, {"hull of a", 9}}), gun));
    EXPECT_FALSE(ModuleWorth::Dominates(Type("short", 10, {{"range", 499}, {"hull of a", 9}}), gun));
    EXPECT_FALSE(ModuleWorth::Dominates(Type("blind", 10, {{"range", 900}}), gun));
    EXPECT_FALSE(ModuleWorth::Dominates(Type("big", 10, {{"range", 900}, {"hull of a", 9}}, 0), gun));

    const std::vector<ModuleWorth::Row> rows = ModuleWorth::Compare(
        {gun, Type("cheap", 20, {{"range", 500}, {"hull of a", 2}}), Type("painter", 30, {{"paint", 1}})});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].dominatedBy, std::vector<std::string>{"cheap"});
    EXPECT_TRUE(rows[1].dominatedBy.empty());
    EXPECT_TRUE(rows[2].dominatedBy.empty());
    // Per credit the cheap gun leads in both its figures; per slot the two
    // tie, and a tie leads nowhere. The painter leads in its own figure.
    EXPECT_FALSE(rows[0].IsBestSomewhere());
    EXPECT_EQ(rows[1].bestPerCredit, (std::vector<std::string>{"hull of a", "range"}));
    EXPECT_TRUE(rows[1].bestPerSlot.empty());
    EXPECT_EQ(rows[2].bestPerSlot, std::vector<std::string>{"paint"});
}

TEST(ModuleWorthTest, DamageIsComparedOnlyAmongTypesThatReachAsFar)
{
    // The short gun hits harder; the long one reaches where the short one
    // cannot, so there it is the choice, per credit and per slot.
    const std::vector<ModuleWorth::Row> rows = ModuleWorth::Compare(
        {Type("short", 40, {{"range", 300}, {"hull of a", 3}}), Type("long", 40, {{"range", 900}, {"hull of a", 1}})});
    EXPECT_EQ(rows[0].bestPerSlot, std::vector<std::string>{"hull of a"});
    EXPECT_EQ(rows[1].bestPerSlot, (std::vector<std::string>{"hull of a", "range"}));
    EXPECT_EQ(rows[1].bestPerCredit, (std::vector<std::string>{"hull of a", "range"}));
    // Other figures compare with every type, whatever its reach.
    const std::vector<ModuleWorth::Row> stun = ModuleWorth::Compare(
        {Type("near", 40, {{"range", 300}, {"stun", 3}}), Type("far", 40, {{"range", 900}, {"stun", 1}})});
    EXPECT_EQ(stun[1].bestPerSlot, std::vector<std::string>{"range"});
}
