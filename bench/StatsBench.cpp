// The after-battle statistics rebuild: 100 000 damage events between two
// fleets of 50 ships sorted into the twelve series and one hundred time
// buckets, through a ship filter that searches its selection lists the way
// the pickers do, then the twelve lines' quads for the one draw batch.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "battle/hud/GUI_Stat_GraphLine.h"
#include "battle/hud/StatSeriesTable.h"
#include "engine/GRandom.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_StatsDatabase.h"

namespace {

constexpr int kShipsPerSide = 50;
constexpr int kEvents = 100000;
constexpr float kBattleMs = 300000.0f;

class SelectionFilter : public StatEventFilter {
public:
    std::vector<const SIM_Ship*> selected;
    bool IsShipSelected(const SIM_Ship* ship) const override
    {
        return std::find(selected.begin(), selected.end(), ship) != selected.end();
    }
    bool IsWeaponSelected(const SIM_ShipModuleType*, bool) const override { return true; }
};

float Uniform(GRandom& random, float low, float high)
{
    return low + random.NextFloat() * (high - low);
}

struct StatsWorld {
    SIM_Fleet player, enemy;
    std::vector<std::unique_ptr<SIM_Ship>> ships;
    std::vector<SIM_DamageEvent> events;
    SelectionFilter filter;

    StatsWorld()
    {
        for (int i = 0; i < 2 * kShipsPerSide; ++i) {
            ships.push_back(std::make_unique<SIM_Ship>());
            ships.back()->fleet = i < kShipsPerSide ? &player : &enemy;
            // One ship in ten deselected, as a player filtering would.
            if (i % 10 != 3)
                filter.selected.push_back(ships.back().get());
        }
        GRandom random(42);
        events.reserve(kEvents);
        for (int i = 0; i < kEvents; ++i) {
            const bool ours = Uniform(random, 0.0f, 1.0f) < 0.5f;
            const int a = static_cast<int>(Uniform(random, 0.0f, kShipsPerSide - 0.01f));
            const int t = static_cast<int>(Uniform(random, 0.0f, kShipsPerSide - 0.01f));
            SIM_DamageEvent e;
            e.attacker = ships[static_cast<size_t>(ours ? a : kShipsPerSide + a)].get();
            e.target = ships[static_cast<size_t>(ours ? kShipsPerSide + t : t)].get();
            e.time = Uniform(random, 0.0f, kBattleMs);
            e.damage = Uniform(random, 0.0f, 40.0f);
            e.shieldAbsorbed = Uniform(random, 0.0f, 20.0f);
            e.moduleDamage = Uniform(random, 0.0f, 20.0f);
            e.flag = Uniform(random, 0.0f, 1.0f) < 0.3f ? 0 : 1;
            events.push_back(e);
        }
    }
};

void BM_StatsRebuild(benchmark::State& state)
{
    StatsWorld world;
    StatSeriesTable table;
    const float width = StatSeriesTable::BucketWidthFor(kBattleMs);
    for (auto _ : state) {
        table.Rebuild(world.events, &world.player, world.filter, false, width);
        benchmark::DoNotOptimize(table.totals);
    }
    state.SetItemsProcessed(state.iterations() * kEvents);
}
BENCHMARK(BM_StatsRebuild)->Unit(benchmark::kMillisecond);

void BM_StatsLineBatch(benchmark::State& state)
{
    GUI_Stat_GraphLine lines[StatSeriesTable::kSeries];
    GRandom random(7);
    for (GUI_Stat_GraphLine& line : lines)
        for (int k = 0; k < StatSeriesTable::kBuckets; ++k)
            line.AddPoint(91.0f + static_cast<float>(k) * 8.4f, Uniform(random, 100.0f, 600.0f));
    std::vector<ScreenVertex> batch;
    for (auto _ : state) {
        batch.clear();
        for (const GUI_Stat_GraphLine& line : lines)
            line.AppendSegments(batch, line.GetColour());
        benchmark::DoNotOptimize(batch.data());
    }
    state.counters["vertices"] = static_cast<double>(batch.size());
}
BENCHMARK(BM_StatsLineBatch)->Unit(benchmark::kMicrosecond);

} // namespace
