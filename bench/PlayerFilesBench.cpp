// Start-up loads of the player's files at sizes a long-lived (or hostile)
// user folder reaches: sc.dat with 10,000 scenarios and um.ini with 20,000
// events (the most it keeps). Both must load in linear time.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/APP_UsageMetrics.h"
#include "sim/SIM_HighScores.h"
#include "engine/GSafeFile.h"
#include "platform/IClock.h"

namespace {
std::string MakeFolder(const char* name)
{
    std::string folder = (std::filesystem::temp_directory_path() / name).string();
    std::filesystem::create_directories(folder);
    return folder;
}

void BM_LoadScores(benchmark::State& state)
{
    const int sections = static_cast<int>(state.range(0));
    const std::string folder = MakeFolder("qlm_bench_scores");
    std::string text;
    for (int i = 0; i < sections; ++i)
        text += "\n[scenario" + std::to_string(i) +
                "]\ntutorial = 0\nsurvival = 0\nbeaten_easy = 1\nbeaten_medium = 0\nbeaten_hard = 0\n"
                "highest_honor_easy = 120\nhighest_honor_medium = 0\nhighest_honor_hard = 0\n";
    WriteFileAtomically(folder + "/sc.dat", text);
    WriteFileAtomically(folder + "/unl.dat", "[unlocks]\n[points]\npoints = 0\n");
    for (auto _ : state) {
        SIM_HighScores scores(folder);
        benchmark::DoNotOptimize(scores.GetRecords().size());
    }
    state.SetComplexityN(sections);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LoadScores)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_LoadUsageMetrics(benchmark::State& state)
{
    const int events = static_cast<int>(state.range(0));
    const std::string folder = MakeFolder("qlm_bench_metrics");
    std::string text = "[d]\n";
    for (int i = 0; i < events; ++i)
        text += std::to_string(i) + " = event" + std::to_string(i) + ",0,3,1.50\n";
    WriteFileAtomically(folder + "/um.ini", text);
    WriteFileAtomically(folder + "/met.ini", "[data]\nid = 0123456780\n");
    ManualClock clock;
    for (auto _ : state) {
        APP_UsageMetrics metrics(folder, &clock, 1);
        benchmark::DoNotOptimize(metrics.GetEvents().size());
    }
    state.SetComplexityN(events);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LoadUsageMetrics)->Arg(1000)->Arg(10000)->Arg(19999)->Unit(benchmark::kMillisecond)->Complexity();
} // namespace
