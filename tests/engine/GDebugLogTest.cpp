#include "engine/GDebugLog.h"
#include "engine/StrFormat.h"
#include "support/HostileLogPlace.h"
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

// Lines an earlier log could not take stay out of the next folder's log.
TEST(GDebugLog, LinesHeldForOneFolderNeverGoIntoAnothersLog)
{
    TempDir first, second;
    GDebugLog& log = GDebugLog::GetInstance();
    log.Open(first.Path());
    std::filesystem::create_directory(first.File("debug/errors.txt"));
    log.WriteError("meant for the first");
    ASSERT_EQ(log.GetHeldLineCount(), 1u);
    std::filesystem::remove(first.File("debug/errors.txt"));
    std::filesystem::create_directory(first.File("debug/errors.txt"));
    log.Close();
    log.Open(second.Path());
    EXPECT_EQ(log.GetHeldLineCount(), 0u);
    log.WriteError("meant for the second");
    log.Close();
    const std::string text = second.Read("debug/errors.txt");
    EXPECT_EQ(text.find("meant for the first"), std::string::npos) << text;
    EXPECT_NE(text.find("meant for the second"), std::string::npos) << text;
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

TEST(GDebugLog, ARunsErrorLinesStopAtTheCapWithOneLineSayingSo)
{
    TempDir dir;
    GDebugLog& log = GDebugLog::GetInstance();
    log.SetTimeForTest(86400 * 366); // 2/1/1971 - 0::0 - : every line's date as long
    log.Open(dir.Path());
    const std::string errors = dir.File("debug/errors.txt");
    const size_t date = std::string("2/1/1971 - 0::0 - ").size();
    // Lines of 64 KiB, then one that brings the run to the cap exactly.
    const size_t big = 65536 - date - 1;
    const size_t bigLines = GDebugLog::kMaxErrorBytesPerRun / 65536 - 1;
    for (size_t i = 0; i < bigLines; ++i)
        log.WriteError(std::string(big, 'a'));
    log.WriteError(std::string(GDebugLog::kMaxErrorBytesPerRun - bigLines * 65536 - date - 1, 'b'));
    EXPECT_EQ(std::filesystem::file_size(errors), GDebugLog::kMaxErrorBytesPerRun);
    EXPECT_EQ(log.GetCutLineCount(), 0);

    // One byte past it: said once, then only counted.
    const int before = log.GetErrorCount();
    log.WriteError("c");
    log.WriteError("d");
    for (int i = 0; i < 1000; ++i)
        log.WriteError("flood");
    EXPECT_EQ(log.GetErrorCount(), before + 1002);
    EXPECT_EQ(log.GetCutLineCount(), 1002);
    std::vector<std::string> lines = Lines(dir.Read("debug/errors.txt"));
    ASSERT_EQ(lines.size(), bigLines + 2);
    EXPECT_EQ(lines.back(), "2/1/1971 - 0::0 - The error lines of this run reached 1048576 bytes: later ones are "
                            "only counted, their number goes to the debug log");
    log.Close();
    EXPECT_NE(dir.Read("debug/debug.txt").find("1002 error lines were left out of the error log"), std::string::npos);

    // The next run starts afresh.
    log.Open(dir.Path());
    log.WriteError("next run");
    EXPECT_EQ(log.GetCutLineCount(), 0);
    log.Close();
    log.SetTimeForTest(0);
    EXPECT_EQ(Lines(dir.Read("debug/errors.txt")).back(), "2/1/1971 - 0::0 - next run");
}

TEST(GDebugLog, ARunsDebugLinesStopAtTheCapWithOneLineSayingSoAndTheCountAtClose)
{
    TempDir dir;
    GDebugLog& log = GDebugLog::GetInstance();
    log.Open(dir.Path());
    const size_t header = std::filesystem::file_size(dir.File("debug/debug.txt"));
    // Lines of 1 KiB exactly (line end included) up to the cap.
    const std::string kib(1023, 'a');
    const size_t fit = GDebugLog::kMaxDebugBytesPerRun / 1024;
    for (size_t i = 0; i < fit; ++i)
        log.Write(kib);
    EXPECT_EQ(log.GetCutDebugLineCount(), 0);
    EXPECT_EQ(std::filesystem::file_size(dir.File("debug/debug.txt")), header + GDebugLog::kMaxDebugBytesPerRun);
    log.Write("b");
    for (int i = 0; i < 100000; ++i)
        log.Write(kib);
    EXPECT_EQ(log.GetCutDebugLineCount(), 100001);
    log.Close();
    const std::string text = dir.Read("debug/debug.txt");
    EXPECT_LT(text.size(), header + GDebugLog::kMaxDebugBytesPerRun + 1024);
    std::vector<std::string> lines = Lines(text);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3],
              "The debug lines of this run reached 4194304 bytes: later ones are only counted");
    EXPECT_EQ(lines[lines.size() - 2], "100001 debug lines were left out, past the debug log's most for a run");
    EXPECT_EQ(lines.back(), "END DEBUG---");

    // The next run starts afresh.
    log.Open(dir.Path());
    log.Write("next run");
    EXPECT_EQ(log.GetCutDebugLineCount(), 0);
    log.Close();
    EXPECT_NE(dir.Read("debug/debug.txt").find("next run\n"), std::string::npos);
}

TEST(GDebugLog, ControlCharactersAreWrittenByNameToEveryPlaceTheLineGoes)
{
    TempDir dir;
    GDebugLog& log = GDebugLog::GetInstance();
    log.Open(dir.Path());
    // A title change, a clear screen, a C1 CSI in UTF-8, next to text that stays.
    const std::string hostile = "name \x1b]0;owned\x07 \x1b[2J\xc2\x9b" "2J\x7f\x1f end\nnext";
    const std::string shown = "name <control character 27>]0;owned<control character 7> <control character 27>[2J"
                              "<control character 155>2J<control character 127><control character 31> end"
                              "<control character 10>next";
    testing::internal::CaptureStderr();
    log.WriteError(hostile);
    const std::string terminal = testing::internal::GetCapturedStderr();
    log.Write(hostile);
    // Not controls: a space, the last printable, letters of other scripts.
    log.Write("\xc2\xa0 ~ \xc3\xa9 \xc2\x80");
    log.Close();
    EXPECT_NE(terminal.find(shown + "\n"), std::string::npos) << terminal;
    EXPECT_EQ(terminal.find('\x1b'), std::string::npos);
    const std::string errors = dir.Read("debug/errors.txt");
    EXPECT_NE(errors.find(shown + "\n"), std::string::npos) << errors;
    const std::string debug = dir.Read("debug/debug.txt");
    EXPECT_NE(debug.find("\n" + shown + "\n"), std::string::npos) << debug;
    EXPECT_NE(debug.find("\n\xc2\xa0 ~ \xc3\xa9 <control character 128>\n"), std::string::npos) << debug;
}

TEST(GDebugLog, AReaderTellsEachKindOfBadEntryAFewTimesThenOnceWithTheCountAndTheFile)
{
    TempDir dir;
    GDebugLog& log = GDebugLog::GetInstance();
    log.Open(dir.Path());
    const int shown = static_cast<int>(GLogFileTally::kShownPerPlace);
    {
        GLogFileTally tally("/players/fleet.txt");
        for (int i = 0; i < 100000; ++i) {
            LogError("/players/fleet.txt [s" + std::to_string(i) + "]: bad ship", "src/sim/Reader.cpp", 10);
            if (i % 2 == 0)
                LogError("bad place", "src/sim/Reader.cpp", 20);
        }
        // Up to the number shown, nothing is left out.
        for (int i = 0; i < shown; ++i)
            LogError("just told", "src/sim/Reader.cpp", 30);
        {
            // An inner file counts its own.
            GLogFileTally inner("/players/ship.ini");
            for (int i = 0; i <= shown; ++i)
                LogError("bad ship in it", "src/sim/Reader.cpp", 10);
        }
        LogError("bad ship after", "src/sim/Reader.cpp", 10);
    }
    for (int i = 0; i <= shown; ++i)
        LogError("outside any file", "src/sim/Reader.cpp", 10);
    log.Close();
    std::vector<std::string> texts;
    for (const std::string& line : Lines(dir.Read("debug/errors.txt")))
        texts.push_back(line.substr(line.find(" - ", line.find(" - ") + 3) + 3));
    std::vector<std::string> expected;
    for (int i = 0; i < 2 * shown; ++i) {
        if (i < shown)
            expected.push_back("/players/fleet.txt [s" + std::to_string(i) + "]: bad ship:Reader.cpp 10");
        if (i % 2 == 0)
            expected.push_back("bad place:Reader.cpp 20");
    }
    for (int i = 0; i < shown; ++i)
        expected.push_back("just told:Reader.cpp 30");
    for (int i = 0; i < shown; ++i)
        expected.push_back("bad ship in it:Reader.cpp 10");
    expected.push_back("/players/ship.ini: 1 more such lines left out of the log (the first: \"bad ship in it\"):Reader.cpp 10");
    expected.push_back(StrFormat("/players/fleet.txt: %d more such lines left out of the log (the first: \"[s0]: bad "
                                 "ship\"):Reader.cpp 10",
                                 100001 - shown));
    expected.push_back(StrFormat("/players/fleet.txt: %d more such lines left out of the log (the first: \"bad "
                                 "place\"):Reader.cpp 20",
                                 50000 - shown));
    for (int i = 0; i <= shown; ++i)
        expected.push_back("outside any file:Reader.cpp 10");
    EXPECT_EQ(texts, expected);
}

TEST(GDebugLog, ALinkOrAFifoInTheLogsPlaceIsRefusedAndTheGameGoesOnWithoutThatLog)
{
    GDebugLog& log = GDebugLog::GetInstance();
    for (const char* place : {"debug/debug.txt", "debug/errors.txt", "debug"})
        for (HostileLogPlace::Form form : HostileLogPlace::kForms) {
            SCOPED_TRACE(std::string(place) + " as " + HostileLogPlace::Name(form));
            TempDir dir;
            HostileLogPlace hostile;
            hostile.Make(dir.File(place), form);
            testing::internal::CaptureStderr();
            log.Open(dir.Path());
            log.Write("a debug line");
            log.WriteError("an error line");
            log.WriteError("another error line");
            log.Close();
            const std::string terminal = testing::internal::GetCapturedStderr();
            EXPECT_TRUE(hostile.Untouched());
            // The error lines still reach the terminal, the refusal said once a log.
            EXPECT_NE(terminal.find("an error line"), std::string::npos);
            EXPECT_NE(terminal.find("another error line"), std::string::npos);
            const bool folder = std::string(place) == "debug";
            for (const char* name : {"debug.txt", "errors.txt"}) {
                const std::string path = dir.File(std::string("debug/") + name);
                const bool refused = folder || std::string(place) == std::string("debug/") + name;
                size_t count = 0;
                for (size_t at = terminal.find("Log refused"); at != std::string::npos;
                     at = terminal.find("Log refused", at + 1))
                    count += terminal.compare(terminal.find(':', at) + 2, path.size(), path) == 0;
                EXPECT_EQ(count, refused ? 1u : 0u) << name << "\n" << terminal;
                if (!refused) {
                    const char* line = name[0] == 'd' ? "a debug line" : "another error line";
                    EXPECT_NE(dir.Read(std::string("debug/") + name).find(line), std::string::npos) << name;
                }
            }
            if (std::string(place) == "debug/errors.txt" || folder) {
                EXPECT_EQ(log.ErrorLinesPlace(), "standard error (" + dir.File("debug/errors.txt") + " was refused)");
            }
        }
}
