// The game may quit in the middle of a battle: the battle singleton then
// tears its ships down at exit, after main, and every registry and service
// it touches on the way must still be there.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/TempDir.h"

#include "sim/SIM_Battle.h"
#include "sim/SIM_ContentFiles.h"
#include "sim/SIM_HeadlessBattle.h"

namespace {
const char* const kSampleFleet = "data/sample deployment/deployed.txt";

// Content outlives the battle, as in the game: freed after the battle's own
// teardown (exit handlers run in the reverse order of their registration).
void FreeContentLast()
{
    FreeBattleContent();
}

[[noreturn]] void QuitMidBattle(const std::string& scores)
{
    ScopedChdir chdir(QLM_SOURCE_DIR);
    // The content lists exist before the handler that frees them is registered.
    LoadBattleContent();
    std::atexit(FreeContentLast);
    // Left to the exit on purpose.
    static SIM_HeadlessBattle* headless = new SIM_HeadlessBattle(scores);
    if (!headless->Start("scenario1", kSampleFleet, 2, 5))
        std::_Exit(3);
    for (int i = 0; i < 1500; ++i)
        SIM_HeadlessBattle::Frame(26.67f);
    std::exit(SIM_Battle::GetInstance().IsStarted() ? 0 : 4);
}
} // namespace

TEST(BattleExitDeathTest, QuittingMidBattleTearsDownCleanly)
{
    // A fresh process: the singletons are made in the order the game makes them.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TempDir dir;
    EXPECT_EXIT(QuitMidBattle(dir.Path()), ::testing::ExitedWithCode(0), "");
}
