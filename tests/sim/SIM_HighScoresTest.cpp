#include "engine/GFileHelpers.h"
#include "engine/GSafeFile.h"
#include "sim/SIM_HighScores.h"
#include "support/ErrorLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>

namespace {
std::vector<SIM_HighScores::ScenarioInfo> SampleScenarios()
{
    return {
        {"first_contact", 0, ""},
        {"survival_one", 1, ""},
        {"tutorial_basics", 2, ""},
        {"second_wave", 0, "first_contact"},
    };
}

const char* const kScores =
    "\n[first_contact]\ntutorial = 0\nsurvival = 0\nbeaten_easy = 0\nbeaten_medium = 1\nbeaten_hard = 0\n"
    "highest_honor_easy = 0\nhighest_honor_medium = 42\nhighest_honor_hard = 0\n"
    "\n[my tutorial two]\nbeaten_easy = 1\n"
    "\n[lonely survival]\nsurvival = 0\n";

// A record without its last value (highest_honor_hard).
const char* const kRecordA = "\n[a]\ntutorial = 0\nsurvival = 0\nbeaten_easy = 0\nbeaten_medium = 0\nbeaten_hard = 0\n"
                             "highest_honor_easy = 100\nhighest_honor_medium = 0\n";
} // namespace

TEST(SIM_HighScores, MissingFilesAreSeededFromTheScenarioList)
{
    TempDir dir;
    SIM_HighScores scores(dir.Path());
    EXPECT_TRUE(scores.GetRecords().empty());
    EXPECT_FALSE(FileExists(scores.ScoresPath())) << "no list, nothing to seed";

    scores.SetScenarioProvider(SampleScenarios);
    scores.Load();
    ASSERT_EQ(scores.GetRecords().size(), 4u);
    EXPECT_TRUE(scores.GetRecords()[1]->survival);
    EXPECT_TRUE(scores.GetRecords()[2]->tutorial);
    EXPECT_FALSE(scores.GetRecords()[0]->tutorial);
    std::string text = dir.Read("sc.dat");
    EXPECT_EQ(text.rfind("\n[first_contact]\ntutorial = 0\nsurvival = 0\nbeaten_easy = 0\nbeaten_medium = 0\n"
                         "beaten_hard = 0\nhighest_honor_easy = 0\nhighest_honor_medium = 0\nhighest_honor_hard = 0\n",
                         0),
              0u);
    EXPECT_EQ(scores.GetPoints(), 0);
    EXPECT_TRUE(scores.GetUnlockedItems().empty());
}

TEST(SIM_HighScores, ReadsFlagsAndTutorialByName)
{
    TempDir dir;
    dir.Write("sc.dat", kScores);
    SIM_HighScores scores(dir.Path());
    ASSERT_EQ(scores.GetRecords().size(), 3u);
    const SIM_ScenarioScore& first = *scores.GetRecords()[0];
    EXPECT_TRUE(first.beaten[1]);
    EXPECT_FALSE(first.beaten[0]);
    EXPECT_EQ(first.highestHonour[1], 42);
    EXPECT_TRUE(scores.GetRecords()[1]->tutorial);
    EXPECT_FALSE(scores.GetRecords()[1]->survival);
    EXPECT_FALSE(scores.GetRecords()[2]->survival) << "an explicit key beats the name";
    EXPECT_TRUE(scores.AnyScenarioBeaten());
}

TEST(SIM_HighScores, TutorialWinsDoNotCountAsBeaten)
{
    TempDir dir;
    dir.Write("sc.dat", "\n[training tutorial]\nbeaten_easy = 1\n");
    SIM_HighScores scores(dir.Path());
    EXPECT_FALSE(scores.AnyScenarioBeaten());
}

TEST(SIM_HighScores, AvailabilityNeedsAnEasyWin)
{
    TempDir dir;
    dir.Write("sc.dat", kScores);
    SIM_HighScores scores(dir.Path());
    scores.SetScenarioProvider(SampleScenarios);
    EXPECT_FALSE(scores.IsScenarioAvailable("second_wave")) << "won only on medium";
    EXPECT_TRUE(scores.IsScenarioAvailable("first_contact"));
    EXPECT_TRUE(scores.IsAvailableAfter(""));
    EXPECT_FALSE(scores.IsAvailableAfter("never_recorded"));
    scores.GetScenarioRecord("first_contact")->beaten[0] = true;
    EXPECT_TRUE(scores.IsScenarioAvailable("second_wave"));
}

TEST(SIM_HighScores, NewRecordRewritesScoresAtOnce)
{
    TempDir dir;
    dir.Write("sc.dat", kScores);
    SIM_HighScores scores(dir.Path());
    SIM_ScenarioScore* created = scores.GetScenarioRecord("fresh_battle");
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->scenarioName, "fresh_battle");
    EXPECT_FALSE(created->tutorial);
    EXPECT_NE(dir.Read("sc.dat").find("\n[fresh_battle]\ntutorial = 0\n"), std::string::npos);
    EXPECT_EQ(scores.GetScenarioRecord("fresh_battle"), created);
    EXPECT_EQ(scores.GetRecords().size(), 4u);

    SIM_HighScores again(dir.Path());
    ASSERT_EQ(again.GetRecords().size(), 4u);
    EXPECT_EQ(again.GetRecords()[0]->highestHonour[1], 42);
    EXPECT_TRUE(again.GetRecords()[1]->tutorial) << "the name rule became an explicit key";
}

// A survival scenario's best score is kept in its record, written after the
// honour keys once there is one; files without the key (every older file)
// and values below 0 read as 0, and a record without a best writes no key.
TEST(SIM_HighScores, TheBestSurvivalScoreIsKeptAndReadBack)
{
    TempDir dir;
    dir.Write("sc.dat", std::string(kScores) + "\n[waves]\nsurvival = 1\nbest_survival_score = 2622\n"
                                               "\n[broken]\nsurvival = 1\nbest_survival_score = -5\n");
    SIM_HighScores scores(dir.Path());
    ASSERT_EQ(scores.GetRecords().size(), 5u);
    EXPECT_EQ(scores.GetRecords()[0]->bestSurvivalScore, 0);
    EXPECT_EQ(scores.GetRecords()[3]->bestSurvivalScore, 2622);
    EXPECT_EQ(scores.GetRecords()[4]->bestSurvivalScore, 0);

    scores.GetRecords()[2]->bestSurvivalScore = 1;
    ASSERT_TRUE(scores.SaveHighScores());
    const std::string text = dir.Read("sc.dat");
    EXPECT_NE(text.find("highest_honor_hard = 0\nbest_survival_score = 2622\n"), std::string::npos);
    EXPECT_NE(text.find("[lonely survival]\ntutorial = 0\nsurvival = 0\nbeaten_easy = 0\nbeaten_medium = 0\n"
                        "beaten_hard = 0\nhighest_honor_easy = 0\nhighest_honor_medium = 0\nhighest_honor_hard = 0\n"
                        "best_survival_score = 1\n"),
              std::string::npos);
    EXPECT_EQ(text.find("best_survival_score = 0"), std::string::npos);
    EXPECT_EQ(text.find("best_survival_score = -"), std::string::npos);
    SIM_HighScores again(dir.Path());
    EXPECT_EQ(again.GetRecords()[2]->bestSurvivalScore, 1);
    EXPECT_EQ(again.GetRecords()[3]->bestSurvivalScore, 2622);
}

TEST(SIM_HighScores, BracketsAndLineEndsInNamesAreSanitised)
{
    TempDir dir;
    SIM_HighScores scores(dir.Path());
    SIM_ScenarioScore* r = scores.GetScenarioRecord("odd]name\n[injected]");
    r->beaten[0] = true;
    scores.SaveHighScores();
    SIM_HighScores again(dir.Path());
    ASSERT_EQ(again.GetRecords().size(), 1u);
    EXPECT_EQ(again.GetRecords()[0]->scenarioName, "odd_name__injected_");
    EXPECT_TRUE(again.GetRecords()[0]->beaten[0]);
    EXPECT_TRUE(again.IsAvailableAfter("odd]name\n[injected]"));
}

TEST(SIM_HighScores, DuplicateSectionsKeepTheFirst)
{
    TempDir dir;
    dir.Write("sc.dat", "[a]\nbeaten_hard = 1\n[a]\nbeaten_easy = 1\n");
    SIM_HighScores scores(dir.Path());
    EXPECT_EQ(scores.GetRecords().size(), 1u);
}

TEST(SIM_HighScores, SpendingExactlyThePointsLeavesZero)
{
    TempDir dir;
    dir.Write("unl.dat", "[unlocks]\nhull_cruiser\n[points]\npoints = 150\n");
    SIM_HighScores scores(dir.Path());
    EXPECT_TRUE(scores.IsUnlocked("hull_cruiser"));
    EXPECT_FALSE(scores.IsUnlocked("hull_cruise"));
    EXPECT_EQ(scores.GetPoints(), 150);
    EXPECT_TRUE(scores.SpendUnlockPoints(150, "race_empire"));
    EXPECT_EQ(scores.GetPoints(), 0);
    EXPECT_EQ(dir.Read("unl.dat"), "[unlocks]\nhull_cruiser\nrace_empire\n[points]\npoints = 0\n");
}

TEST(SIM_HighScores, RefusedSpendingChangesNothing)
{
    TempDir dir;
    dir.Write("unl.dat", "[unlocks]\nhull_cruiser\n[points]\npoints = 100\n");
    SIM_HighScores scores(dir.Path());
    EXPECT_FALSE(scores.SpendUnlockPoints(101, "module_laser"));
    EXPECT_FALSE(scores.SpendUnlockPoints(50, "hull_cruiser")) << "already unlocked";
    EXPECT_FALSE(scores.SpendUnlockPoints(0, "module_free"));
    EXPECT_FALSE(scores.SpendUnlockPoints(-20, "module_gift"));
    EXPECT_FALSE(scores.SpendUnlockPoints(10, "evil = 1\n[points]"));
    EXPECT_FALSE(scores.SpendUnlockPoints(10, "a=b"));
    EXPECT_FALSE(scores.SpendUnlockPoints(10, "/comment"));
    EXPECT_EQ(scores.GetPoints(), 100);
    EXPECT_EQ(scores.GetUnlockedItems().size(), 1u);
    EXPECT_EQ(dir.Read("unl.dat"), "[unlocks]\nhull_cruiser\n[points]\npoints = 100\n");
}

TEST(SIM_HighScores, PointsAreAddedAndSaved)
{
    TempDir dir;
    SIM_HighScores scores(dir.Path());
    scores.AddPoints(75);
    scores.AddPoints(-100);
    EXPECT_EQ(scores.GetPoints(), 0);
    scores.AddPoints(30);
    SIM_HighScores again(dir.Path());
    EXPECT_EQ(again.GetPoints(), 30);
}

TEST(SIM_HighScores, AWinPaysOnlyItsImprovementOnTheBestHonourWithoutWrapping)
{
    TempDir dir;
    dir.Write("sc.dat", std::string(kRecordA) + "highest_honor_hard = 2147483647\n");
    dir.Write("unl.dat", "[unlocks]\n[points]\npoints = 50\n");
    SIM_HighScores scores(dir.Path());
    EXPECT_EQ(scores.RecordWin("a", 0, true, 100), 0) << "the same budget left earns nothing";
    EXPECT_TRUE(scores.GetScenarioRecord("a")->beaten[0]);
    EXPECT_EQ(scores.GetPoints(), 50);
    EXPECT_EQ(scores.RecordWin("a", 0, true, 101), 1);
    EXPECT_EQ(scores.GetPoints(), 51);
    EXPECT_EQ(scores.RecordWin("a", 0, false, 5000), 0) << "a win that earns nothing";
    EXPECT_EQ(scores.GetScenarioRecord("a")->highestHonour[0], 101) << "nor raises the best honour";
    EXPECT_EQ(scores.RecordWin("a", 1, true, -1000000), 0) << "over budget";
    EXPECT_TRUE(scores.GetScenarioRecord("a")->beaten[1]);
    EXPECT_EQ(scores.RecordWin("a", 2, true, 5000000000LL), 0) << "at the top already";
    EXPECT_EQ(scores.RecordWin("a", 0, true, 5000000000LL), INT_MAX - 101) << "held to the int range";
    EXPECT_EQ(scores.GetPoints(), INT_MAX - 50);
    SIM_HighScores again(dir.Path());
    EXPECT_EQ(again.GetPoints(), INT_MAX - 50);
    EXPECT_EQ(again.GetScenarioRecord("a")->highestHonour[0], INT_MAX);
    EXPECT_TRUE(again.GetScenarioRecord("a")->beaten[1]);
}

TEST(SIM_HighScores, AStopAtEitherRenameOfAWinKeepsTheWinWithItsPointsOrNeither)
{
    // Renames: unl.dat with the points and the win, then sc.dat.
    for (int renames = 0; renames <= 2; ++renames) {
        SCOPED_TRACE(renames);
        TempDir dir;
        dir.Write("sc.dat", std::string(kRecordA) + "highest_honor_hard = 0\n");
        dir.Write("unl.dat", "[unlocks]\n[points]\npoints = 50\n");
        ScopedErrorLog log;
        {
            SIM_HighScores scores(dir.Path());
            GSafeFile::StopAfterRenamesForTest(renames);
            EXPECT_EQ(scores.RecordWin("a", 0, true, 3022), 2922);
            GSafeFile::StopAfterRenamesForTest(-1);
        }
        SIM_HighScores after(dir.Path());
        const SIM_ScenarioScore* a = after.GetScenarioRecord("a");
        if (renames == 0) {
            EXPECT_FALSE(a->beaten[0]);
            EXPECT_EQ(a->highestHonour[0], 100);
            EXPECT_EQ(after.GetPoints(), 50);
        } else {
            EXPECT_TRUE(a->beaten[0]);
            EXPECT_EQ(a->highestHonour[0], 3022);
            EXPECT_EQ(after.GetPoints(), 2972);
        }
        // The stop between the two is finished at the load, told once, and
        // sc.dat holds the win from then on.
        EXPECT_EQ(log.Count(dir.Path() + "/sc.dat: 1 wins paid in " + dir.Path() +
                            "/unl.dat but missing here (a save stopped between the two), recorded now"),
                  renames == 1 ? 1 : 0);
        EXPECT_NE(dir.Read("sc.dat").find("highest_honor_easy = " + std::string(renames ? "3022" : "100")),
                  std::string::npos);
        // Won again alike: the win is paid once in all.
        after.RecordWin("a", 0, true, 3022);
        EXPECT_EQ(SIM_HighScores(dir.Path()).GetPoints(), 2972);
        EXPECT_EQ(log.Count("wins paid in"), renames == 1 ? 1 : 0);
    }
}

TEST(SIM_HighScores, AWinWhosePointsCannotBeSavedLeavesItsHonourOutOfTheScores)
{
    TempDir dir;
    dir.Write("sc.dat", std::string(kRecordA) + "highest_honor_hard = 0\n");
    dir.Write("unl.dat", "[unlocks]\n[points]\npoints = 50\n");
    GSafeFile::InjectReadFailure(dir.File("unl.dat"), EIO);
    SIM_HighScores refused(dir.Path());
    GSafeFile::InjectReadFailure(dir.File("unl.dat"), 0);
    // unl.dat is kept as found now: no save of it goes in this run. The
    // points stay in memory for the run, and so does the honour.
    EXPECT_EQ(refused.RecordWin("a", 0, true, 3022), 2922);
    EXPECT_EQ(refused.GetPoints(), 2922);
    EXPECT_EQ(refused.GetScenarioRecord("a")->highestHonour[0], 3022);
    EXPECT_NE(dir.Read("sc.dat").find("highest_honor_easy = 100\n"), std::string::npos);
    // Another scenario's save does not write it either.
    refused.RecordWin("b", 0, true, 10);
    EXPECT_NE(dir.Read("sc.dat").find("highest_honor_easy = 100\n"), std::string::npos);
    GSafeFile::ForgetRefusedFiles();
    SIM_HighScores after(dir.Path());
    EXPECT_TRUE(after.GetScenarioRecord("a")->beaten[0]) << "the win is kept";
    EXPECT_EQ(after.GetScenarioRecord("a")->highestHonour[0], 100) << "its honour waits for its points";
    EXPECT_EQ(after.GetPoints(), 50);
    EXPECT_EQ(after.RecordWin("a", 0, true, 3022), 2922) << "winning again pays";
}

TEST(SIM_HighScores, AnUnlockFileOfMillionsOfLinesKeepsTheFirstTenThousand)
{
    TempDir dir;
    std::string text = "[unlocks]\n";
    for (int i = 0; i < 200000; ++i)
        text += "item" + std::to_string(i) + "\n";
    dir.Write("unl.dat", text + "[points]\npoints = 7\n");
    ScopedErrorLog log;
    SIM_HighScores scores(dir.Path());
    // Its header is one of the lines kept.
    ASSERT_EQ(scores.GetUnlockedItems().size(), 9999u);
    EXPECT_EQ(scores.GetUnlockedItems().back(), "item9998");
    EXPECT_EQ(log.Count(dir.Path() + "/unl.dat: 190003 lines past the first 10000 left out (damaged)"), 1);
    EXPECT_EQ(scores.GetPoints(), 0);
    EXPECT_EQ(log.Count("unl.dat has no points"), 1);
    EXPECT_EQ(log.Lines(), 2) << log.Text();
    // Exactly at the bound: everything is kept, nothing said.
    text = "[unlocks]\n";
    for (int i = 0; i < 9997; ++i)
        text += "item" + std::to_string(i) + "\n";
    dir.Write("unl.dat", text + "[points]\npoints = 7\n");
    SIM_HighScores whole(dir.Path());
    EXPECT_EQ(whole.GetUnlockedItems().size(), 9997u);
    EXPECT_EQ(whole.GetPoints(), 7);
    EXPECT_EQ(log.Lines(), 2);
}

TEST(SIM_HighScores, UnwritableFolderIsReportedNotFatal)
{
    TempDir dir;
    SIM_HighScores scores(dir.File("no_such_folder"));
    SIM_ScenarioScore* r = scores.GetScenarioRecord("x");
    ASSERT_NE(r, nullptr);
    EXPECT_FALSE(scores.SaveHighScores());
    EXPECT_FALSE(scores.SaveUnlocks());
    EXPECT_EQ(scores.GetRecords().size(), 1u);
}

TEST(SIM_HighScores, TenThousandScenariosLoadInOrderWithTheirOwnValues)
{
    TempDir dir;
    ScopedErrorLog log;
    std::string text;
    for (int i = 0; i < 10000; ++i)
        text += "\n[s" + std::to_string(i) + "]\ntutorial = 0\nsurvival = " + std::to_string(i % 2) +
                "\nbeaten_easy = 1\nbeaten_medium = 0\nbeaten_hard = " + std::to_string(i % 3 == 0) +
                "\nhighest_honor_easy = " + std::to_string(i) + "\nhighest_honor_medium = 0\nhighest_honor_hard = 7\n";
    text += "\n[s17]\nhighest_honor_easy = 99999\n"; // a repeated block adds nothing
    dir.Write("sc.dat", text);
    SIM_HighScores scores(dir.Path());
    ASSERT_EQ(scores.GetRecords().size(), 10000u);
    for (int i : {0, 1, 17, 5003, 9999}) {
        const SIM_ScenarioScore& r = *scores.GetRecords()[size_t(i)];
        EXPECT_EQ(r.scenarioName, "s" + std::to_string(i));
        EXPECT_EQ(r.survival, i % 2 == 1);
        EXPECT_EQ(r.beaten[2], i % 3 == 0);
        EXPECT_EQ(r.highestHonour[0], i);
        EXPECT_EQ(r.highestHonour[2], 7);
    }
    EXPECT_EQ(log.Count(scores.ScoresPath() + ": 1 repeated scenario sections ignored (the first: [s17])"), 1);
    EXPECT_EQ(log.Lines(), 1);
}

// A scores file past any install's scenarios keeps the first hundred
// thousand, and what it rewrites loads back whole at the next start.
TEST(SIM_HighScores, AScoresFileOfMillionsOfSectionsKeepsAHundredThousand)
{
    TempDir dir;
    std::string text;
    for (int i = 0; i < 100001; ++i)
        text += "[scenario" + std::to_string(i) + "]\nhighest_honor_easy = " + std::to_string(i) + "\n";
    text += "[scenario7]\nsurvival = 1\n[scenario7]\n"; // repeats of a kept one are counted, not left out
    dir.Write("sc.dat", text);
    ScopedErrorLog log;
    SIM_HighScores scores(dir.Path());
    ASSERT_EQ(scores.GetRecords().size(), 100000u);
    EXPECT_EQ(scores.GetRecords().back()->scenarioName, "scenario99999");
    EXPECT_EQ(scores.GetRecords().back()->highestHonour[0], 99999);
    EXPECT_TRUE(scores.GetRecords()[7]->survival);
    const std::string path = scores.ScoresPath();
    EXPECT_EQ(log.Count(path + ": 2 lines past the first 100000 scenario sections or 1200000 lines left out (damaged)"), 1)
        << log.Text();
    EXPECT_EQ(log.Count(path + ": 2 repeated scenario sections ignored (the first: [scenario7])"), 1) << log.Text();
    EXPECT_EQ(log.Count(path + ": 100000 scenario records incomplete"), 1) << log.Text();
    EXPECT_EQ(log.Lines(), 3) << log.Text();
    ASSERT_TRUE(scores.SaveHighScores());
    const std::string rewritten = dir.Read("sc.dat");
    EXPECT_LT(rewritten.size(), kMaxReadFileBytes / 3);
    // Exactly at the bound: everything is kept, nothing said.
    SIM_HighScores again(dir.Path());
    ASSERT_EQ(again.GetRecords().size(), 100000u);
    EXPECT_EQ(again.GetRecords().back()->highestHonour[0], 99999);
    EXPECT_EQ(log.Lines(), 3) << log.Text();
    EXPECT_EQ(dir.Read("sc.dat"), rewritten);
}

TEST(SIM_HighScores, GarbageOrCutOffFilesAreLoggedWithTheirName)
{
    TempDir dir;
    ScopedErrorLog log;
    dir.Write("sc.dat", "\x89PNG\x01\x02 no sections here\n");
    dir.Write("unl.dat", "[unlocks]\nfed_laser\n");
    SIM_HighScores scores(dir.Path());
    EXPECT_TRUE(scores.GetRecords().empty());
    EXPECT_EQ(scores.GetPoints(), 0);
    EXPECT_EQ(scores.GetUnlockedItems(), std::vector<std::string>{"fed_laser"});
    EXPECT_EQ(log.Count(scores.ScoresPath() + " holds no scenario sections"), 1);
    EXPECT_EQ(log.Count(scores.UnlocksPath() + " has no points"), 1);

    // Cut off inside the second record: both kept, the loss said once.
    dir.Write("sc.dat", "\n[a]\ntutorial = 0\nsurvival = 0\nbeaten_easy = 1\nbeaten_medium = 0\nbeaten_hard = 0\n"
                        "highest_honor_easy = 3\nhighest_honor_medium = 0\nhighest_honor_hard = 0\n"
                        "\n[b]\ntutorial = 0\nsurvival = 0\nbeaten_ea");
    dir.Write("unl.dat", "[unlocks]\n[points]\npoints = 12\n");
    scores.Load();
    ASSERT_EQ(scores.GetRecords().size(), 2u);
    EXPECT_EQ(scores.GetRecords()[0]->highestHonour[0], 3);
    EXPECT_EQ(scores.GetPoints(), 12);
    EXPECT_EQ(log.Count(scores.ScoresPath() + ": 1 scenario records incomplete"), 1);
    EXPECT_EQ(log.Lines(), 3);
}

TEST(SIM_HighScores, DamagedValuesAndFilesAreToldWithFileSectionAndKey)
{
    const std::string record = "\n[a]\ntutorial = 0\nsurvival = 0\nbeaten_easy = 1\nbeaten_medium = 0\nbeaten_hard = 0\n"
                               "highest_honor_easy = 3\nhighest_honor_medium = 0\nhighest_honor_hard = ";
    struct Case {
        std::string scores;
        std::string unlocks;
        std::string told; // after the file's path
        int honour;       // the last value of [a], -1 when there is no record
        int points;
    };
    const std::vector<Case> cases = {
        {record + "12\n", "[unlocks]\n[points]\npoints = 12\n", "", 12, 12},
        {record + "nan\n", "[unlocks]\n[points]\npoints = 1\n", "sc.dat [a] highest_honor_hard = nan: not a whole number, 0 used", 0, 1},
        {record + "../../../etc/passwd\n", "[unlocks]\n[points]\npoints = 1\n",
         "sc.dat [a] highest_honor_hard = ../../../etc/passwd: not a whole number, 0 used", 0, 1},
        {record + "99999999999\n", "[unlocks]\n[points]\npoints = 1\n",
         "sc.dat [a] highest_honor_hard = 99999999999: out of range 0..2147483647, 2147483647 used", INT_MAX, 1},
        // An honour is a budget left over: never below 0, so no win's
        // improvement on it can wrap.
        {record + "-1\n", "[unlocks]\n[points]\npoints = 1\n",
         "sc.dat [a] highest_honor_hard = -1: out of range 0..2147483647, 0 used", 0, 1},
        {record + "-2147483648\n", "[unlocks]\n[points]\npoints = 1\n",
         "sc.dat [a] highest_honor_hard = -2147483648: out of range 0..2147483647, 0 used", 0, 1},
        {record + "2147483647\n", "[unlocks]\n[points]\npoints = 1\n", "", INT_MAX, 1},
        {record + "0\n", "[unlocks]\n[points]\npoints = 1\n", "", 0, 1},
        // Cut inside its last value: "12" lost its "2".
        {record + "1", "[unlocks]\n[points]\npoints = 1\n", "sc.dat: cut off inside its last line", 1, 1},
        {"", "[unlocks]\n[points]\npoints = 1\n", "sc.dat is empty (damaged)", -1, 1},
        {"  \n\n", "[unlocks]\n[points]\npoints = 1\n", "sc.dat is empty (damaged)", -1, 1},
        {record + "12\n", "[unlocks]\n[points]\npoints = 1e20\n",
         "unl.dat [points] points = 1e20: out of range 0..2147483647, 2147483647 used", 12, INT_MAX},
        {record + "12\n", "[unlocks]\n[points]\npoints = -2147483648\n",
         "unl.dat [points] points = -2147483648: out of range 0..2147483647, 0 used", 12, 0},
        {record + "12\n", "[unlocks]\n[points]\npoints = nan\n",
         "unl.dat [points] points = nan: not a whole number, 0 used", 12, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.told);
        TempDir dir;
        dir.Write("sc.dat", c.scores);
        dir.Write("unl.dat", c.unlocks);
        ScopedErrorLog log;
        SIM_HighScores scores(dir.Path());
        scores.SetScenarioProvider(SampleScenarios);
        scores.Load();
        if (c.told.empty()) {
            EXPECT_EQ(log.Lines(), 0);
        } else {
            EXPECT_EQ(log.Count(dir.Path() + "/" + c.told), 2) << "once for each load";
            EXPECT_EQ(log.Lines(), 2);
        }
        EXPECT_EQ(scores.GetPoints(), c.points);
        const SIM_ScenarioScore* a = nullptr;
        for (const auto& r : scores.GetRecords())
            if (r->scenarioName == "a")
                a = r.get();
        if (c.honour < 0) {
            // The list starts afresh in memory; the file is written at the next save only.
            EXPECT_EQ(a, nullptr);
            EXPECT_EQ(scores.GetRecords().size(), SampleScenarios().size());
            EXPECT_EQ(dir.Read("sc.dat"), c.scores);
            continue;
        }
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->highestHonour[2], c.honour);
        EXPECT_EQ(a->highestHonour[0], 3);
    }
}

// One section of millions of keys: held only up to the file's line bound,
// so memory stays a small part of what the whole file would take.
TEST(SIM_HighScores, ASectionOfMillionsOfKeysIsHeldOnlyUpToTheLineBound)
{
    TempDir dir;
    std::string text = "[a]\nhighest_honor_easy = 5\n";
    for (int i = 0; i < 1300000; ++i)
        text += "k" + std::to_string(i) + " = 1\n";
    dir.Write("sc.dat", text);
    ScopedErrorLog log;
    SIM_HighScores scores(dir.Path());
    ASSERT_EQ(scores.GetRecords().size(), 1u);
    EXPECT_EQ(scores.GetRecords()[0]->highestHonour[0], 5);
    EXPECT_EQ(log.Count(scores.ScoresPath() +
                        ": 100002 lines past the first 100000 scenario sections or 1200000 lines left out (damaged)"),
              1)
        << log.Text();
}

TEST(SIM_HighScores, AHundredThousandBadSectionsAreToldInAFewLinesNamingTheFile)
{
    TempDir dir;
    const std::string values = "\ntutorial = 0\nsurvival = 0\nbeaten_easy = 1\nbeaten_medium = 0\nbeaten_hard = 0\n"
                               "highest_honor_easy = 12\nhighest_honor_medium = 0\nhighest_honor_hard = 0\n";
    std::string text = "\n[kept]" + values;
    for (int i = 0; i < 100000; ++i)
        text += i % 2 ? "[kept]\n" : "[b" + std::to_string(i) + "]\nsurvival = nan" + values;
    dir.Write("sc.dat", text);
    ScopedErrorLog log;
    SIM_HighScores scores(dir.Path());
    ASSERT_EQ(scores.GetRecords().size(), 50001u);
    EXPECT_EQ(scores.GetRecords()[0]->highestHonour[0], 12);
    const std::string path = scores.ScoresPath();
    EXPECT_EQ(log.Count(path + ": 50000 repeated scenario sections ignored (the first: [kept])"), 1) << log.Text();
    // The first few bad values told whole, the rest counted.
    const size_t shown = GLogFileTally::kShownPerPlace;
    EXPECT_EQ(log.Count(path + " [b0] survival = nan: not a whole number"), 1) << log.Text();
    EXPECT_EQ(log.Count(path + " [b" + std::to_string(2 * shown - 2) + "] survival = nan"), 1) << log.Text();
    EXPECT_EQ(log.Count(path + " [b" + std::to_string(2 * shown) + "] survival"), 0) << log.Text();
    EXPECT_EQ(log.Count(path + ": " + std::to_string(50000 - shown) +
                        " more such lines left out of the log (the first: \"[b0] survival = nan: not a whole number"),
              1)
        << log.Text();
    EXPECT_EQ(log.Lines(), static_cast<int>(shown + 2)) << log.Text();
    EXPECT_EQ(log.Count(path), static_cast<int>(shown + 2)) << log.Text();
    EXPECT_LT(log.Text().size(), 2048u);
}
