// The figures behind the statistics charts: buckets, totals, filters, the
// plot scale and the pie slices made from them.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "battle/hud/GUI_PieChart.h"
#include "battle/hud/GUI_PieSegment.h"
#include "battle/hud/GUI_Stat_TimeGraph.h"
#include "battle/hud/StatSeriesTable.h"
#include "gui/GUI_Tooltip.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_StatsDatabase.h"

namespace {

class Filter : public StatEventFilter {
public:
    std::set<const SIM_Ship*> ships;
    std::set<const SIM_ShipModuleType*> weapons[2]; // [delivered]
    bool allShips = true;
    bool IsShipSelected(const SIM_Ship* ship) const override { return allShips || ships.count(ship) != 0; }
    bool IsWeaponSelected(const SIM_ShipModuleType* type, bool delivered) const override
    {
        return weapons[delivered ? 1 : 0].count(type) != 0;
    }
};

SIM_DamageEvent Event(SIM_Ship* attacker, SIM_Ship* target, float time, float missed, float hull, uint32_t flag = 1)
{
    SIM_DamageEvent e;
    e.attacker = attacker;
    e.target = target;
    e.time = time;
    e.damage = missed;
    e.shieldBlocked = 1.0f;
    e.shieldAbsorbed = 2.0f;
    e.armourDeflected = 3.0f;
    e.armourAbsorbed = 4.0f;
    e.moduleDamage = hull;
    e.flag = flag;
    return e;
}

struct TwoSides {
    SIM_Fleet player, enemy;
    SIM_Ship ours, theirs;
    TwoSides()
    {
        ours.fleet = &player;
        theirs.fleet = &enemy;
    }
};

TEST(StatSeriesTable, BucketsClampAndTheWidthNeverFallsBelowOneMillisecond)
{
    EXPECT_FLOAT_EQ(StatSeriesTable::BucketWidthFor(10000.0f), 100.0f);
    // A battle quit on its first frame: a clock of 0 or less still buckets.
    EXPECT_FLOAT_EQ(StatSeriesTable::BucketWidthFor(0.0f), 1.0f);
    EXPECT_FLOAT_EQ(StatSeriesTable::BucketWidthFor(-50.0f), 1.0f);
    EXPECT_FLOAT_EQ(StatSeriesTable::BucketWidthFor(99.0f), 1.0f);
    EXPECT_EQ(StatSeriesTable::BucketIndex(99.99f, 100.0f), 0);
    EXPECT_EQ(StatSeriesTable::BucketIndex(100.0f, 100.0f), 1);
    // The event at the clock's very end falls into the last bucket.
    EXPECT_EQ(StatSeriesTable::BucketIndex(10000.0f, 100.0f), 99);
    EXPECT_EQ(StatSeriesTable::BucketIndex(1e9f, 100.0f), 99);
    EXPECT_EQ(StatSeriesTable::BucketIndex(-5.0f, 100.0f), 0);
    EXPECT_EQ(StatSeriesTable::BucketIndex(50.0f, 0.0f), 0);
}

TEST(StatSeriesTable, ScaleHasTenPercentHeadroomAndAFloorOfTwenty)
{
    EXPECT_FLOAT_EQ(StatSeriesTable::ScaleFor(0.0f), 20.0f);
    EXPECT_FLOAT_EQ(StatSeriesTable::ScaleFor(18.0f), 20.0f);
    EXPECT_FLOAT_EQ(StatSeriesTable::ScaleFor(100.0f), 110.0f);
}

TEST(StatSeriesTable, EventsSplitIntoDeliveredAndReceivedBucketsAndTotals)
{
    TwoSides s;
    Filter all;
    const std::vector<SIM_DamageEvent> events = {
        Event(&s.ours, &s.theirs, 150.0f, 10.0f, 5.0f, 0),   // a miss: counted as missed
        Event(&s.ours, &s.theirs, 150.0f, 10.0f, 5.0f, 1),   // a hit: its damage is not a miss
        Event(&s.theirs, &s.ours, 9950.0f, 7.0f, 6.0f, 0),
        Event(nullptr, &s.ours, 10.0f, 100.0f, 100.0f, 0),   // no attacker: skipped
    };
    StatSeriesTable table;
    table.Rebuild(events, &s.player, all, false, 100.0f);
    EXPECT_FLOAT_EQ(table.buckets[0][1], 10.0f);
    EXPECT_FLOAT_EQ(table.totals[0], 10.0f);
    EXPECT_FLOAT_EQ(table.totals[1], 2.0f);  // reflected, both hits
    EXPECT_FLOAT_EQ(table.totals[2], 4.0f);
    EXPECT_FLOAT_EQ(table.totals[3], 6.0f);
    EXPECT_FLOAT_EQ(table.totals[4], 8.0f);
    EXPECT_FLOAT_EQ(table.buckets[5][1], 10.0f);
    EXPECT_FLOAT_EQ(table.buckets[6][99], 7.0f);
    EXPECT_FLOAT_EQ(table.totals[11], 6.0f);
    EXPECT_FLOAT_EQ(table.Largest(), 10.0f);

    // Deselecting our ship takes every event it was in out of both sides.
    Filter onlyTheirs;
    onlyTheirs.allShips = false;
    onlyTheirs.ships = {&s.theirs};
    table.Rebuild(events, &s.player, onlyTheirs, false, 100.0f);
    for (float total : table.totals)
        EXPECT_FLOAT_EQ(total, 0.0f);

    // Without a player fleet there is nothing to sort by: an empty graph.
    table.Rebuild(events, nullptr, all, false, 100.0f);
    EXPECT_FLOAT_EQ(table.Largest(), 0.0f);
}

TEST(StatSeriesTable, ByWeaponEachSideCountsItsOwnSelectedTypes)
{
    TwoSides s;
    const auto* laser = reinterpret_cast<const SIM_ShipModuleType*>(0x10);
    std::vector<SIM_DamageEvent> events = {Event(&s.ours, &s.theirs, 0.0f, 0.0f, 5.0f),
                                           Event(&s.theirs, &s.ours, 0.0f, 0.0f, 7.0f)};
    events[0].weapon = events[1].weapon = laser;
    Filter filter;
    filter.allShips = false; // the ship filter does not apply by weapon
    filter.weapons[1] = {laser};
    StatSeriesTable table;
    table.Rebuild(events, &s.player, filter, true, 100.0f);
    EXPECT_FLOAT_EQ(table.totals[5], 5.0f);
    EXPECT_FLOAT_EQ(table.totals[11], 0.0f) << "the enemy's picker has the laser deselected";
}

TEST(StatSeriesTable, HitPointsAverageOverBucketsOfAtLeastATenthOfASecond)
{
    // Five seconds of samples every 100 ms: a 50 ms bucket width is raised
    // to 100, so each sample closes the bucket before it.
    std::vector<SIM_StrengthSample> samples;
    for (int i = 0; i < 50; ++i)
        samples.push_back(SIM_StrengthSample{static_cast<uint32_t>(1000 - i), static_cast<uint32_t>(500 + i),
                                             static_cast<float>(i) * 100.0f});
    float player[100], enemy[100];
    const float largest = GUI_Stat_TimeGraph::AverageHitPoints(samples, 50.0f, player, enemy);
    EXPECT_FLOAT_EQ(player[0], 1000.0f);
    EXPECT_FLOAT_EQ(enemy[49], 549.0f) << "the open bucket is kept at the end";
    EXPECT_FLOAT_EQ(player[50], -1.0f) << "fewer than 100 points: the rest are gaps";
    EXPECT_FLOAT_EQ(largest, 1000.0f);
    // A wider width averages: two samples per 200 ms bucket.
    const float wide = GUI_Stat_TimeGraph::AverageHitPoints(samples, 200.0f, player, enemy);
    EXPECT_FLOAT_EQ(player[0], 999.5f);
    EXPECT_FLOAT_EQ(player[23], 953.5f);
    EXPECT_FLOAT_EQ(player[24], 951.0f) << "the line ends on the last sample, not its bucket's average";
    EXPECT_FLOAT_EQ(player[25], -1.0f);
    EXPECT_FLOAT_EQ(wide, 999.5f);
}

TEST(PieChart, SlicesFollowTruncatedRunningShares)
{
    float totals[12] = {1.0f, 999.0f};
    bool on[12];
    std::fill(std::begin(on), std::end(on), true);
    // 1 of 1000 truncates to no degree at all: only the second slice shows.
    auto slices = GUI_PieChart::SlicesFor(totals, on, 0, 6);
    ASSERT_EQ(slices.size(), 1u);
    EXPECT_EQ(slices[0].series, 1);
    EXPECT_EQ(slices[0].start, 0);
    EXPECT_EQ(slices[0].end, 360);

    float thirds[12] = {1.0f, 1.0f, 1.0f};
    slices = GUI_PieChart::SlicesFor(thirds, on, 0, 6);
    ASSERT_EQ(slices.size(), 3u);
    EXPECT_EQ(slices[1].start, 120);
    EXPECT_EQ(slices[1].end, 240);
    EXPECT_EQ(slices[2].end, 360);

    // A series switched off leaves the rest to share the whole pie.
    on[1] = false;
    slices = GUI_PieChart::SlicesFor(thirds, on, 0, 6);
    ASSERT_EQ(slices.size(), 2u);
    EXPECT_EQ(slices[1].start, 180);
    // A side with no damage has no slices.
    EXPECT_TRUE(GUI_PieChart::SlicesFor(totals, on, 6, 6).empty());
}

TEST(PieChart, SegmentFanTooltipAndHitTest)
{
    GUI_PieSegment quarter(0, 90, 0xFF00FF00u, "NO_SUCH_KEY", 100.0f, 200.0f, 200.0f);
    EXPECT_EQ(quarter.GetFanVertexCount(), 92);
    ASSERT_NE(quarter.GetTooltip(), nullptr);
    EXPECT_NE(quarter.GetTooltip()->GetLines().front().find("(25.00%)"), std::string::npos);
    std::vector<ScreenVertex> triangles;
    quarter.AppendTriangles(triangles);
    EXPECT_EQ(triangles.size(), 90u * 3u);
    EXPECT_TRUE(quarter.IsUnder(250.0f, 150.0f));   // up and right: 45 degrees
    EXPECT_FALSE(quarter.IsUnder(150.0f, 150.0f));  // up and left
    EXPECT_FALSE(quarter.IsUnder(200.0f + 99.0f, 200.0f - 99.0f)) << "outside the radius";

    GUI_PieSegment sliver(0, 1, 0xFF00FF00u, "NO_SUCH_KEY", 100.0f, 0.0f, 0.0f);
    EXPECT_NE(sliver.GetTooltip()->GetLines().front().find("(0.28%)"), std::string::npos);
    GUI_PieSegment empty(30, 30, 0xFF00FF00u, "NO_SUCH_KEY", 100.0f, 0.0f, 0.0f);
    EXPECT_FALSE(empty.visible);
    EXPECT_EQ(empty.GetTooltip(), nullptr);
}

} // namespace
