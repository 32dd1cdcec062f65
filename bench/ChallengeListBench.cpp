// Merging the server's challenge list into the local one.
#include "online/SIM_ChallengeDatabase.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {
std::string Lines(int count, int firstId)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "##," + std::to_string(firstId + i) + ",Sender,all,\"a taunt, with a comma\",0,3,12,2.50,3.50,"
                "\"Arena\",2011-4-5,\"federation\",\n";
    return text;
}
} // namespace

// A 5,000-challenge local list meets a 5,000-line answer, half known.
static void BM_ChallengeMerge(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const std::string folder = (std::filesystem::temp_directory_path() / "qlm_bench_challenges").string();
    std::filesystem::create_directories(folder);
    const std::string local = Lines(n, 0), server = Lines(n, n / 2);
    for (auto _ : state) {
        state.PauseTiming();
        SIM_ChallengeDatabase db;
        db.SetFolder(folder);
        db.MergeText(local);
        state.ResumeTiming();
        db.MergeText(server);
        benchmark::DoNotOptimize(db.GetRecords().size());
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ChallengeMerge)->Arg(5000)->Unit(benchmark::kMillisecond);
