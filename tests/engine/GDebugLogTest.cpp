#include "engine/GDebugLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <regex>

namespace {
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        out.push_back(text.substr(pos, eol - pos));
        pos = eol == std::string::npos ? text.size() : eol + 1;
    }
    return out;
}
} // namespace

TEST(GDebugLog, DebugFileHasHeaderLinesAndEnd)
{
    TempDir dir;
    GDebugLog& log = GDebugLog::GetInstance();
    log.Open(dir.Path());
    EXPECT_TRUE(log.IsOpen());
    log.Write("first");
    LogDebug("loaded", "/some/path/SIM_Race.cpp", 42);
    log.Close();
    EXPECT_FALSE(log.IsOpen());
    log.Write("after close is dropped");
    std::vector<std::string> lines = Lines(dir.Read("debug/debug.txt"));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "----DEBUG FILE----");
    EXPECT_NE(lines[1].find("detected"), std::string::npos);
    EXPECT_EQ(lines[2], "first");
    EXPECT_EQ(lines[3], "loaded:SIM_Race.cpp 42");
    EXPECT_EQ(lines[4], "END DEBUG---");
}

TEST(GDebugLog, OpenTruncatesTheDebugFile)
{
    TempDir dir;
    GDebugLog& log = GDebugLog::GetInstance();
    log.Open(dir.Path());
    log.Write("old run");
    log.Close();
    log.Open(dir.Path());
    log.Close();
    EXPECT_EQ(dir.Read("debug/debug.txt").find("old run"), std::string::npos);
}

TEST(GDebugLog, ErrorLinesAreDatedAndAppended)
{
    TempDir dir;
    GDebugLog& log = GDebugLog::GetInstance();
    log.Open(dir.Path());
    int before = log.GetErrorCount();
    LogError("Failed to find race", "src/sim/SIM_Race.cpp", 7);
    log.WriteError("second");
    log.Close();
    EXPECT_EQ(log.GetErrorCount(), before + 2);
    std::vector<std::string> lines = Lines(dir.Read("debug/errors.txt"));
    ASSERT_EQ(lines.size(), 2u);
    std::regex dated(R"(\d{1,2}/\d{1,2}/\d{4} - \d{1,2}::\d{1,2} - (.*))");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines[0], m, dated)) << lines[0];
    EXPECT_EQ(m[1], "Failed to find race:SIM_Race.cpp 7");
    ASSERT_TRUE(std::regex_match(lines[1], m, dated)) << lines[1];
    EXPECT_EQ(m[1], "second");
    // errors do not go to the debug file
    EXPECT_EQ(dir.Read("debug/debug.txt").find("Failed to find race"), std::string::npos);
}

TEST(GDebugLog, AssertFailLogsOnlyWhenTheConditionFails)
{
    TempDir dir;
    GDebugLog& log = GDebugLog::GetInstance();
    log.Open(dir.Path());
    SetAssertBuildText("Demo 1.45");
    AssertFail(true, "Game.cpp", 1);
    QLM_ASSERT(1 + 1 == 2);
    AssertFail(false, "src/app/Game.cpp", 224);
    log.Close();
    std::string expected = "Assertion failure:filename:Game.cpp,linenum:224,build:Demo 1.45";
    std::vector<std::string> errors = Lines(dir.Read("debug/errors.txt"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(" - " + expected), std::string::npos);
    EXPECT_NE(dir.Read("debug/debug.txt").find(expected + "\n"), std::string::npos);
}

TEST(GDebugLog, WritesWithoutAnOpenFileAreHarmless)
{
    GDebugLog& log = GDebugLog::GetInstance();
    log.Close();
    log.Write("nowhere");
    LogDebug("nowhere", "x.cpp", 1);
    EXPECT_FALSE(log.IsOpen());
}

TEST(GDebugLog, UnwritableFolderFailsSilently)
{
    TempDir dir;
    std::string file = dir.Write("blocker", "x");
    GDebugLog& log = GDebugLog::GetInstance();
    log.Open(file); // "blocker/debug" cannot be made
    EXPECT_FALSE(log.IsOpen());
    log.Write("dropped");
    log.WriteError("still goes to stderr");
    log.Close();
}

TEST(GDebugLog, AnErrorOfEveryFrameIsWrittenOnceAndCountedAtClose)
{
    TempDir dir;
    GDebugLog& log = GDebugLog::GetInstance();
    log.Open(dir.Path());
    const int before = log.GetErrorCount();
    for (int frame = 0; frame < 100; ++frame) {
        LOG_ERROR_ONCE("Frame error A");
        if (frame % 2 == 0)
            LOG_ERROR_ONCE("Frame error B " + std::to_string(frame % 4));
    }
    EXPECT_EQ(log.GetErrorCount() - before, 3);
    const std::string errors = dir.Read("debug/errors.txt");
    EXPECT_EQ(errors.find("Frame error A"), errors.rfind("Frame error A"));
    EXPECT_NE(errors.find("Frame error B 0"), std::string::npos);
    EXPECT_NE(errors.find("Frame error B 2"), std::string::npos);
    log.Close();
    const std::string debug = dir.Read("debug/debug.txt");
    EXPECT_NE(debug.find("Logged once, happened 100 times: Frame error A"), std::string::npos);
    EXPECT_NE(debug.find("Logged once, happened 25 times: Frame error B 2"), std::string::npos);
}

TEST(GDebugLog, ErrorLinesTheLogCannotTakeWaitInOrderAndGoInWhenItCan)
{
    TempDir dir;
    GDebugLog& log = GDebugLog::GetInstance();
    log.Open(dir.Path());
    // A folder where the error file goes fails every append, as a full disk would.
    const std::string errors = dir.File("debug/errors.txt");
    std::filesystem::create_directory(errors);
    for (size_t i = 0; i < GDebugLog::kMaxHeldLines + 2; ++i)
        log.WriteError("held " + std::to_string(i));
    EXPECT_EQ(log.GetHeldLineCount(), GDebugLog::kMaxHeldLines);

    std::filesystem::remove(errors);
    log.WriteError("after");
    EXPECT_EQ(log.GetHeldLineCount(), 0u);
    std::vector<std::string> lines = Lines(dir.Read("debug/errors.txt"));
    ASSERT_EQ(lines.size(), GDebugLog::kMaxHeldLines + 2);
    EXPECT_NE(lines[0].find("held 0"), std::string::npos);
    EXPECT_NE(lines[GDebugLog::kMaxHeldLines - 1].find("held 999"), std::string::npos);
    EXPECT_EQ(lines[GDebugLog::kMaxHeldLines], "2 more error lines were lost while the log could not be written");
    EXPECT_NE(lines.back().find("after"), std::string::npos);

    // Lines still waiting at the close go in then.
    std::filesystem::rename(errors, dir.File("aside"));
    std::filesystem::create_directory(errors);
    log.WriteError("at close");
    EXPECT_EQ(log.GetHeldLineCount(), 1u);
    std::filesystem::remove(errors);
    log.Close();
    EXPECT_NE(dir.Read("debug/errors.txt").find("at close"), std::string::npos);
    EXPECT_EQ(log.GetHeldLineCount(), 0u);
}

TEST(GDebugLog, TheLineAtExitSaysWhereTheErrorLinesAreWhenTheLogCouldNotTakeThem)
{
    TempDir dir;
    GDebugLog& log = GDebugLog::GetInstance();
    log.Open(dir.Path());
    const std::string errors = dir.File("debug/errors.txt");
    log.WriteError("written");
    EXPECT_EQ(log.ErrorLinesPlace(), errors);
    // A full disk: the log takes nothing, the lines went to stderr only.
    std::filesystem::remove(errors);
    std::filesystem::create_directory(errors);
    log.WriteError("held 1");
    log.WriteError("held 2");
    log.Close();
    EXPECT_EQ(log.ErrorLinesPlace(), "standard error (" + errors + " could not take 2 of them)");
    // Space again: the next line takes the waiting ones along.
    std::filesystem::remove(errors);
    log.Open(dir.Path());
    log.WriteError("after");
    EXPECT_EQ(log.ErrorLinesPlace(), errors);
    EXPECT_EQ(Lines(dir.Read("debug/errors.txt")).size(), 3u);
    log.Close();
}
