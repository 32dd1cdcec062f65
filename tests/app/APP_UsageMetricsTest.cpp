#include "app/APP_UsageMetrics.h"
#include "engine/GHttpClient.h"
#include "engine/GSafeFile.h"
#include "support/ErrorLog.h"
#include "platform/IClock.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <mutex>

#include <sys/stat.h>

namespace {
constexpr uint64_t kSeed = 12345;

class UsageMetricsTest : public ::testing::Test {
protected:
    // Uploads go through the game's own client: keep it offline unless a
    // test starts a server.
    void SetUp() override { GetInternet().SetServerUrl(""); }
    void TearDown() override { GetInternet().SetServerUrl(""); }

    TempDir m_dir;
    ManualClock m_clock { 1000.0 };
};
} // namespace

TEST_F(UsageMetricsTest, CountsMergeAcrossRuns)
{
    {
        APP_UsageMetrics m(m_dir.Path(), &m_clock, kSeed);
        m.AddEventCount("hullpicker", 2);
        m.AddEventCount("savedesign", 1);
        m.AddEventCount("hullpicker", 1);
        ASSERT_TRUE(m.Save());
    }
    APP_UsageMetrics m(m_dir.Path(), &m_clock, kSeed);
    ASSERT_EQ(m.GetEvents().size(), 2u);
    EXPECT_EQ(m.GetEvents()[0].name, "hullpicker");
    EXPECT_EQ(m.GetEventCount("hullpicker"), 3);
    m.AddEventCount("hullpicker", 4);
    EXPECT_EQ(m.GetEventCount("hullpicker"), 7);
    EXPECT_EQ(m.GetEventCount("savedesign"), 1);
    EXPECT_EQ(m.GetEventCount("nothing"), 0);
}

TEST_F(UsageMetricsTest, FileFormatRoundTrips)
{
    APP_UsageMetrics m(m_dir.Path(), &m_clock, kSeed);
    m.AddEventCount("statsbrowser", 3);
    m.SetEventFlag("_won");
    m.AddEventValue("runtime", 12.345f);
    ASSERT_TRUE(m.Save());
    EXPECT_EQ(m_dir.Read("um.ini"), "[d]\n0 = statsbrowser,0,3,0.00\n1 = _won,1,0,0.00\n2 = runtime,0,0,12.35\n\n");

    APP_UsageMetrics again(m_dir.Path(), &m_clock, kSeed);
    ASSERT_TRUE(again.Save());
    EXPECT_EQ(m_dir.Read("um.ini"), "[d]\n0 = statsbrowser,0,3,0.00\n1 = _won,1,0,0.00\n2 = runtime,0,0,12.35\n\n");
}

TEST_F(UsageMetricsTest, DuplicateEntriesAreSummedAndTheLastFlagWins)
{
    m_dir.Write("um.ini", "[d]\n0 = squadsize,1,2,1.50\n1 = squadsize,0,3,2.25\n2 = ,0,9,0\n3 = battlezoom\n");
    APP_UsageMetrics m(m_dir.Path(), &m_clock, kSeed);
    // A record without a name or without its numbers is none.
    ASSERT_EQ(m.GetEvents().size(), 1u);
    const APP_UsageEvent* e = m.FindEvent("squadsize");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->count, 5);
    EXPECT_FLOAT_EQ(e->total, 3.75f);
    EXPECT_FALSE(e->flag);
    EXPECT_EQ(m.GetEventCount("battlezoom"), 0);
}

TEST_F(UsageMetricsTest, FlagThenCountClearsTheFlag)
{
    APP_UsageMetrics m(m_dir.Path(), &m_clock, kSeed);
    m.AddEventCount("manual", -2);
    EXPECT_EQ(m.GetEventCount("manual"), 0);
    m.SetEventFlag("manual");
    EXPECT_EQ(m.GetEventCount("manual"), 1);
    m.AddEventCount("manual", 6);
    EXPECT_FALSE(m.FindEvent("manual")->flag);
    EXPECT_EQ(m.GetEventCount("manual"), 4);
}

TEST_F(UsageMetricsTest, HugeCountsSaturateInsteadOfOverflowing)
{
    m_dir.Write("um.ini", "[d]\n0 = pausetoggle,0,2147483647,0\n1 = pausetoggle,0,99999999999,0\n");
    APP_UsageMetrics m(m_dir.Path(), &m_clock, kSeed);
    m.AddEventCount("pausetoggle", 5);
    EXPECT_EQ(m.GetEventCount("pausetoggle"), INT_MAX);
}

TEST_F(UsageMetricsTest, CommaInANameCannotSplitItsRecord)
{
    {
        APP_UsageMetrics m(m_dir.Path(), &m_clock, kSeed);
        m.AddEventCount("a,b", 2);
        m.Save();
    }
    APP_UsageMetrics m(m_dir.Path(), &m_clock, kSeed);
    ASSERT_EQ(m.GetEvents().size(), 1u);
    EXPECT_EQ(m.GetEvents()[0].name, "a_b");
    EXPECT_EQ(m.GetEvents()[0].count, 2);
}

TEST_F(UsageMetricsTest, EveryNameReadsBackAsItselfAfterASave)
{
    // Blanks at the ends, quotes and over-long names were read back as other
    // names (two events became one, or the numbers were cut off).
    const std::string longName(300, 'x');
    {
        APP_UsageMetrics m(m_dir.Path(), &m_clock, kSeed);
        for (const std::string& name : {std::string(" 0"), std::string("0"), std::string("q\"a,b\"c"), longName,
                                        std::string(" \t "), std::string(std::string("n\0ul", 4))})
            m.AddEventCount(name, 3);
        EXPECT_EQ(m.GetEventCount("0"), 6);
        ASSERT_EQ(m.GetEvents().size(), 4u);
        m.Save();
    }
    APP_UsageMetrics m(m_dir.Path(), &m_clock, kSeed);
    ASSERT_EQ(m.GetEvents().size(), 4u);
    EXPECT_EQ(m.GetEventCount("0"), 6);
    EXPECT_EQ(m.GetEventCount("q_a_b_c"), 3);
    EXPECT_EQ(m.GetEventCount(std::string(255, 'x')), 3);
    EXPECT_EQ(m.GetEventCount("n_ul"), 3);
}

TEST_F(UsageMetricsTest, TwentyThousandRecordsMergeByName)
{
    std::string text = "[d]\n";
    for (int i = 0; i < 19999; ++i)
        text += std::to_string(i) + " = e" + std::to_string(i % 10000) + ",0,1,0.50\n";
    m_dir.Write("um.ini", text);
    ScopedErrorLog log;
    APP_UsageMetrics m(m_dir.Path(), &m_clock, kSeed);
    ASSERT_EQ(m.GetEvents().size(), 10000u);
    EXPECT_EQ(m.GetEvents()[9999].name, "e9999");
    EXPECT_EQ(m.GetEventCount("e0"), 2);
    EXPECT_EQ(m.GetEventCount("e9998"), 2);
    EXPECT_EQ(m.GetEventCount("e9999"), 1);
    EXPECT_FLOAT_EQ(m.FindEvent("e123")->total, 1.0f);
    EXPECT_EQ(m.FindEvent("e10000"), nullptr);
    EXPECT_EQ(log.Lines(), 0) << "the header and 19,999 records are within the bound";
}

TEST_F(UsageMetricsTest, RuntimeAccumulatesOverRuns)
{
    for (int run = 0; run < 2; ++run) {
        APP_UsageMetrics m(m_dir.Path(), &m_clock, kSeed);
        m_clock.Advance(60000.0);
        m.RecordRuntime();
    }
    EXPECT_EQ(m_dir.Read("um.ini"), "[d]\n0 = runtime,0,0,120.00\n\n");
}

TEST_F(UsageMetricsTest, RunStartCanBeMovedByStartUp)
{
    APP_UsageMetrics m(m_dir.Path(), &m_clock, kSeed);
    m_clock.Advance(5000.0);
    m.MarkRunStart();
    m_clock.Advance(1500.0);
    m.RecordRuntime();
    EXPECT_FLOAT_EQ(m.FindEvent("runtime")->total, 1.5f);
}

TEST_F(UsageMetricsTest, InstallationIdIsMadeOnceAndKept)
{
    std::string id;
    {
        APP_UsageMetrics m(m_dir.Path(), &m_clock, kSeed);
        id = m.GetId();
    }
    EXPECT_TRUE(APP_UsageMetrics::IsValidId(id));
    EXPECT_EQ(id, APP_UsageMetrics::MakeId(kSeed));
    EXPECT_EQ(id.find('9'), std::string::npos);
    EXPECT_EQ(m_dir.Read("met.ini"), "[data]\nid = " + id + "\n\n");
    APP_UsageMetrics other(m_dir.Path(), &m_clock, kSeed + 1);
    EXPECT_EQ(other.GetId(), id);
    EXPECT_NE(APP_UsageMetrics::MakeId(kSeed + 1), id);
}

TEST_F(UsageMetricsTest, DamagedIdIsReplaced)
{
    m_dir.Write("met.ini", "[data]\nid = 12ab\n");
    APP_UsageMetrics m(m_dir.Path(), &m_clock, kSeed);
    EXPECT_EQ(m.GetId(), APP_UsageMetrics::MakeId(kSeed));
    EXPECT_EQ(m_dir.Read("met.ini"), "[data]\nid = " + m.GetId() + "\n\n");
}

TEST_F(UsageMetricsTest, NoUserFolderKeepsCountsInMemory)
{
    APP_UsageMetrics m("", &m_clock, kSeed);
    EXPECT_EQ(m.GetId(), "0000000000");
    m.AddEventCount("depscreenactivated", 1);
    EXPECT_EQ(m.GetEventCount("depscreenactivated"), 1);
    EXPECT_FALSE(m.Save());
    EXPECT_FALSE(m.Upload());
}

TEST_F(UsageMetricsTest, UploadPostsTheSavedFileWithTheId)
{
    LoopbackHttpServer server;
    std::mutex mutex;
    std::string body;
    server.server.Post("/quillomar/server/postmetrics145.php", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard<std::mutex> lock(mutex);
        body = req.body;
        res.set_content("response,true", "text/plain");
    });
    ASSERT_TRUE(server.Start());
    GetInternet().SetServerUrl(server.Url());

    APP_UsageMetrics m(m_dir.Path(), &m_clock, kSeed);
    m.AddEventCount("challengelist", 2);
    m_clock.Advance(2000.0);
    m.RecordRuntime();

    std::lock_guard<std::mutex> lock(mutex);
    ASSERT_GE(body.size(), 32u);
    EXPECT_EQ(body.substr(0, 32), m.GetId() + std::string(22, '\0'));
    EXPECT_EQ(body.substr(32), m_dir.Read("um.ini"));
    EXPECT_EQ(body.substr(32), "[d]\n0 = challengelist,0,2,0.00\n1 = runtime,0,0,2.00\n\n");
}

TEST_F(UsageMetricsTest, UnansweredUploadGivesUpAndKeepsTheCounts)
{
    // Connections are accepted by the kernel but never answered: only the
    // request's own timeout ends the wait.
    LoopbackSocket silent(true);
    GetInternet().SetServerUrl(silent.Url());
    APP_UsageMetrics m(m_dir.Path(), &m_clock, kSeed);
    m.AddEventCount("orderpicker", 1);
    ASSERT_TRUE(m.Save());
    EXPECT_FALSE(m.Upload());
    EXPECT_EQ(m_dir.Read("um.ini"), "[d]\n0 = orderpicker,0,1,0.00\n\n");
}

TEST_F(UsageMetricsTest, AFifoInPlaceOfTheCountsIsNeitherWaitedOnNorSent)
{
    LoopbackHttpServer server;
    std::atomic<int> posts{0};
    server.server.Post("/quillomar/server/postmetrics145.php", [&](const httplib::Request&, httplib::Response& res) {
        ++posts;
        res.set_content("response,true", "text/plain");
    });
    ASSERT_TRUE(server.Start());
    GetInternet().SetServerUrl(server.Url());
    ASSERT_EQ(mkfifo(m_dir.File("um.ini").c_str(), 0600), 0);
    GSafeFile::ForgetRefusedFiles();
    {
        ScopedErrorLog log;
        // An open that waited for a writer would hold the exit for good.
        APP_UsageMetrics m(m_dir.Path(), &m_clock, kSeed);
        m.AddEventCount("orderpicker", 1);
        m.RecordRuntime();
        EXPECT_FALSE(m.Upload());
        EXPECT_EQ(log.Count("File refused, not a regular file : " + m_dir.File("um.ini")), 1);
    }
    EXPECT_EQ(posts.load(), 0);
    struct stat st;
    ASSERT_EQ(lstat(m_dir.File("um.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "kept as it was found";
    GSafeFile::ForgetRefusedFiles();
}

TEST_F(UsageMetricsTest, CountsThatCannotBeReadAreToldBeforeTheyAreSavedOver)
{
    const std::string path = m_dir.File("um.ini");
    ScopedErrorLog log;
    m_dir.Write("um.ini", std::string("\x89PNG\r\n\x1a\nnot counts at all", 26));
    APP_UsageMetrics garbage(m_dir.Path(), &m_clock, kSeed);
    EXPECT_TRUE(garbage.GetEvents().empty());
    EXPECT_EQ(log.Count(path + ": no [d] section, the counts start from nothing"), 1);

    m_dir.Write("um.ini", "[d]\n0 = a,0,2,1.00\n1 = junk\n2 = b,x,1,0\n3 = c,0,1,nan\n4 = d,2,1,0\n"
                          "5 = e,0,1.5,0\n6 = f,1,0,0.00,extra\n7 = g,1,0,0.00\n");
    APP_UsageMetrics mixed(m_dir.Path(), &m_clock, kSeed);
    ASSERT_EQ(mixed.GetEvents().size(), 2u);
    EXPECT_EQ(mixed.GetEventCount("a"), 2);
    EXPECT_EQ(mixed.GetEventCount("g"), 1);
    EXPECT_EQ(log.Count(path + " [d]: 6 entries are not usage records, left out"), 1);

    // An empty file: the game never writes one (its header stays with no
    // counts), so it was damaged.
    m_dir.Write("um.ini", "");
    APP_UsageMetrics empty(m_dir.Path(), &m_clock, kSeed);
    EXPECT_EQ(log.Count(path + ": empty (damaged), the counts start from nothing"), 1);
    // The game saves only with the run's time among the counts: a header
    // alone was cut or emptied by something else.
    m_dir.Write("um.ini", "[d]\n\n");
    APP_UsageMetrics none(m_dir.Path(), &m_clock, kSeed);
    EXPECT_EQ(log.Count(path + ": its [d] section holds no counts (damaged), the counts start from nothing"), 1);
    // One the game wrote goes without a word.
    m_dir.Write("um.ini", "[d]\n0 = a,0,2,1.00\n");
    APP_UsageMetrics whole(m_dir.Path(), &m_clock, kSeed);
    EXPECT_EQ(log.Lines(), 4);
    // Cut inside its last line: its header alone, or a record's whole value.
    for (const char* cut : {"[d]", "[d]\n0 = a,0,2,1.00"}) {
        m_dir.Write("um.ini", cut);
        APP_UsageMetrics one(m_dir.Path(), &m_clock, kSeed);
    }
    EXPECT_EQ(log.Count(path + ": cut off inside its last line, read as it stands"), 2);
    EXPECT_EQ(log.Lines(), 6);
}

TEST_F(UsageMetricsTest, AFileOfMillionsOfLinesKeepsItsFirstTwentyThousand)
{
    const std::string path = m_dir.File("um.ini");
    std::string text = "[d]\n";
    for (int i = 0; i < 1800000; ++i)
        text += "e\n";
    m_dir.Write("um.ini", text);
    ScopedErrorLog log;
    APP_UsageMetrics m(m_dir.Path(), &m_clock, kSeed);
    EXPECT_TRUE(m.GetEvents().empty());
    // The header is one of the lines kept.
    EXPECT_EQ(log.Count(path + ": 1780001 lines past the first 20000 left out (damaged)"), 1);
    EXPECT_EQ(log.Count(path + " [d]: 19999 entries are not usage records, left out"), 1);
    EXPECT_EQ(log.Lines(), 2);
}

// Records written short ("-3e38") are rewritten with every digit: the most
// the file keeps, at the longest names, still reads back at the next start.
TEST_F(UsageMetricsTest, TheRewriteOfTheMostRecordsKeptReadsBack)
{
    const std::string path = m_dir.File("um.ini");
    std::string text = "[d]\n";
    for (int i = 0; i < 30000; ++i) {
        const std::string number = std::to_string(i);
        text += "a=" + std::string(250 - number.size(), 'n') + number + ",1,-3e9,-3e38\n";
    }
    ASSERT_LT(text.size(), kMaxSaveFileBytes);
    m_dir.Write("um.ini", text);
    ScopedErrorLog log;
    {
        APP_UsageMetrics m(m_dir.Path(), &m_clock, kSeed);
        ASSERT_EQ(m.GetEvents().size(), 19999u);
        EXPECT_EQ(m.GetEvents().back().count, INT_MIN);
        EXPECT_EQ(log.Count(path + ": 10001 lines past the first 20000 left out (damaged)"), 1);
        EXPECT_EQ(log.Lines(), 1);
        ASSERT_TRUE(m.Save());
    }
    const std::string rewritten = m_dir.Read("um.ini");
    EXPECT_GT(rewritten.size(), text.size() * 2 / 3) << "every number written in full";
    EXPECT_LT(rewritten.size(), kMaxSaveFileBytes);
    APP_UsageMetrics again(m_dir.Path(), &m_clock, kSeed);
    EXPECT_EQ(again.GetEvents().size(), 19999u);
    EXPECT_EQ(log.Lines(), 1) << log.Text();
}
