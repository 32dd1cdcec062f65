// The daily update question: asked at most once per UTC day, only for a
// player with an online name, and answered with a notice to read, never
// with a download, a new process or the end of the game.
#include "engine/GFileHelpers.h"
#include "engine/GHttpClient.h"
#include "engine/GSafeFile.h"
#include "online/OnlineCalendar.h"
#include "online/OnlineJob.h"
#include "online/SIM_AutoUpdater.h"
#include "online/SIM_Server.h"
#include "support/ErrorLog.h"
#include "support/LocalChallengeServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include <sys/stat.h>

namespace {
// 2026-12-07 12:00 UTC.
constexpr std::time_t kNoon = 1796644800;
constexpr std::time_t kDay = 24 * 3600;

class UpdateCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(local.Start());
        GetInternet().SetServerUrl(local.Url());
        SIM_Server::GetInstance().SetUserFolder(user.Path());
        OnlineCalendar::SetNowForTests(kNoon);
        WriteFileAtomically(local.DataFile("latest.txt"), "146,Version 1.46 brings new hulls\n");
    }
    void TearDown() override
    {
        OnlineJob::JoinAll();
        SIM_AutoUpdater::GetInstance().Poll();
        std::string drop;
        SIM_AutoUpdater::GetInstance().TakeNotice(drop);
        OnlineCalendar::SetNowForTests(0);
        GetInternet().SetServerUrl("");
        SIM_Server::GetInstance().SetUserFolder("");
    }
    // One start-up's check, its answer taken in as the main menu does.
    bool Check(std::string& notice)
    {
        SIM_AutoUpdater& u = SIM_AutoUpdater::GetInstance();
        u.CheckForUpdate();
        OnlineJob::JoinAll();
        return u.TakeNotice(notice);
    }
    int Asked() const
    {
        const auto r = local.challenges.GetRequests();
        return static_cast<int>(std::count_if(r.begin(), r.end(), [](const std::string& s) {
            return s.rfind("GET /quillomar/server/getlatestpatch.php?", 0) == 0;
        }));
    }

    LocalChallengeServer local;
    TempDir user;
};
} // namespace

TEST_F(UpdateCheck, ANewerVersionIsToldOnceADayAndNothingIsFetchedOrStarted)
{
    user.Write("web/qlmcdu", "Ann");
    std::string notice;
    ASSERT_TRUE(Check(notice));
    EXPECT_NE(notice.find("Version 1.46 brings new hulls"), std::string::npos) << notice;
    EXPECT_EQ(Asked(), 1);
    EXPECT_NE(local.challenges.GetRequests()[0].find("&version=145"), std::string::npos);
    EXPECT_EQ(local.challenges.GetRequests().size(), 1u) << "no patch file is asked for";
    EXPECT_FALSE(FileExists(user.File("patches"))) << "no patches folder, no download";
    EXPECT_FALSE(SIM_AutoUpdater::GetInstance().TakeNotice(notice)) << "the notice is given once";
    EXPECT_EQ(user.Read("web/up"), "[config]\nday = 7\nmonth = 12\nyear = 2026\n\n");

    // The same UTC day, even a second before midnight: no request.
    OnlineCalendar::SetNowForTests(kNoon + 12 * 3600 - 1);
    EXPECT_FALSE(Check(notice));
    EXPECT_EQ(Asked(), 1);
    // The next day asks again.
    OnlineCalendar::SetNowForTests(kNoon + 12 * 3600);
    EXPECT_TRUE(Check(notice));
    EXPECT_EQ(Asked(), 2);
    // The right day and month of last year is another day.
    user.Write("web/up", "[config]\nday = 8\nmonth = 12\nyear = 2025\n\n");
    EXPECT_TRUE(Check(notice));
    EXPECT_EQ(Asked(), 3);

    // The server naming this very version (or none) gives no notice.
    WriteFileAtomically(local.DataFile("latest.txt"), "145,same\n");
    OnlineCalendar::SetNowForTests(kNoon + 3 * kDay);
    EXPECT_FALSE(Check(notice));
    EXPECT_EQ(Asked(), 4);
}

TEST_F(UpdateCheck, NoNameOrNoServerAsksNothingAndKeepsTheDayOpen)
{
    std::string notice;
    EXPECT_FALSE(Check(notice));
    EXPECT_EQ(Asked(), 0);
    EXPECT_FALSE(FileExists(user.File("web/up"))) << "a player without a name never checks";

    user.Write("web/qlmcdu", "Ann");
    GetInternet().SetServerUrl("");
    EXPECT_FALSE(Check(notice));
    EXPECT_FALSE(FileExists(user.File("web/up")));
    GetInternet().SetServerUrl(local.Url());
    EXPECT_TRUE(Check(notice)) << "the day was not used up without a server";
}

TEST_F(UpdateCheck, EveryDamageToTheDayFileIsToldAndNothingButARegularFileIsWrittenOver)
{
    user.Write("web/qlmcdu", "Ann");
    const std::string up = user.File("web/up");
    struct Case {
        const char* name;
        std::function<void()> damage;
        const char* told;  // in the error log
        bool replaced;     // the day written anew over it
    };
    const std::string today = "[config]\nday = 7\nmonth = 12\nyear = 2026\n\n";
    const Case cases[] = {
        {"empty", [&] { user.Write("web/up", ""); }, "[config] day: missing (damaged or cut off)", true},
        {"cut", [&] { user.Write("web/up", "[config]\nday = 7\nmon"); }, "[config] month: missing (damaged or cut off)",
         true},
        {"garbage", [&] { user.Write("web/up", "\x89PNG\x01\x02"); }, "[config] day: missing", true},
        {"huge day", [&] { user.Write("web/up", "[config]\nday = 1e20\nmonth = 12\nyear = 2026\n"); },
         "[config] day = 1e20: out of range 1..31, 31 used", true},
        {"no month", [&] { user.Write("web/up", "[config]\nday = 7\nmonth = 0\nyear = 2026\n"); },
         "[config] month = 0: out of range 1..12, 1 used", true},
        // Today's day under 200,000 keys the game never writes.
        {"many keys",
         [&] {
             std::string text = "[config]\nday = 7\nmonth = 12\nyear = 2026\n";
             for (int i = 0; i < 200000; ++i)
                 text += "k" + std::to_string(i) + " = 1\n";
             user.Write("web/up", text);
         },
         "[config]: 200000 keys other than day, month and year ignored (damaged)", false},
        {"huge file", [&] { user.Write("web/up", std::string((8u << 20) + 1, 'x')); }, "File refused, larger", false},
        {"folder", [&] { std::filesystem::create_directories(up); }, "File refused, a folder", false},
        {"fifo", [&] { ASSERT_EQ(mkfifo(up.c_str(), 0600), 0); }, "File refused, not a regular file", false},
        {"link to /dev/zero", [&] { std::filesystem::create_symlink("/dev/zero", up); },
         "File refused, not a regular file", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(up);
        c.damage();
        GSafeFile::ForgetRefusedFiles();
        std::error_code ec;
        const auto kind = std::filesystem::symlink_status(up, ec).type();
        const auto size = kind == std::filesystem::file_type::regular ? std::filesystem::file_size(up, ec) : 0;
        ScopedErrorLog log;
        std::string notice;
        Check(notice);
        EXPECT_GE(log.Count(up), 1) << log.Text();
        EXPECT_EQ(log.Count(c.told), 1) << log.Text();
        if (c.replaced) {
            EXPECT_EQ(user.Read("web/up"), today);
            // and the next check that day asks nothing, and says nothing more
            const int asked = Asked();
            const int lines = log.Lines();
            Check(notice);
            EXPECT_EQ(Asked(), asked);
            EXPECT_EQ(log.Lines(), lines);
        } else {
            // Kept as found: what it was, and as large.
            EXPECT_EQ(std::filesystem::symlink_status(up, ec).type(), kind);
            if (kind == std::filesystem::file_type::regular)
                EXPECT_EQ(std::filesystem::file_size(up, ec), size);
        }
        std::filesystem::remove_all(up, ec);
        GSafeFile::ForgetRefusedFiles();
    }
}
