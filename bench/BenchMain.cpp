#include "platform/HeapTrim.h"
#include "platform/LargePages.h"

#include <benchmark/benchmark.h>

void ShutDownBenchGame();

int main(int argc, char** argv)
{
    // Measured as the game runs.
    LargePages::RestartWithLargePages(argv);
    HeapTrim::HoldThresholds();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    // The game goes down while the singletons it uses still stand; left to
    // the exit handlers, it would run after some of them are gone.
    ShutDownBenchGame();
    benchmark::Shutdown();
    return 0;
}
