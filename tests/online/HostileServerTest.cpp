// Online play against a server that misbehaves: answers far too large,
// garbage, error pages, redirects and no answer at all. The frames keep
// coming while a request waits, the player can cancel it, every failure is
// one line in the error log and nothing oversized stays on disk.
#include "engine/GFileHelpers.h"
#include "engine/GHttpClient.h"
#include "frontend/FrontendGame.h"
#include "gui/GUI_ButtonText.h"
#include "online/GUI_ChallengeList.h"
#include "online/GUI_ChallengeListClientWindow.h"
#include "online/GUI_ChallengeListWindow.h"
#include "online/GUI_PleaseWait.h"
#include "online/OnlineJob.h"
#include "online/SIM_ChallengeDatabase.h"
#include "online/SIM_OnlineMessageManager.h"
#include "online/SIM_Server.h"
#include "support/ErrorLog.h"
#include "support/LoopbackHttpServer.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

namespace {
std::string Line(const std::string& id)
{
    return "##," + id + ",Bob,all,\"taunt " + id + "\",0,1,2,1.00,2.00,\"Arena\",2009-1-1,\"federation\",\n";
}

// Far more than any cap: the sender stops when the client hangs up.
constexpr size_t kFlood = 64u * 1024 * 1024;

class HostileServer : public FrontendGame {
protected:
    void SetUp() override
    {
        FrontendGame::SetUp();
        auto& s = server.server;
        s.Get("/quillomar/server/getmychaldemo.php", [this](const httplib::Request&, httplib::Response& res) {
            Answer(res);
        });
        s.Get("/quillomar/server/getmymessages.php", [this](const httplib::Request&, httplib::Response& res) {
            Answer(res);
        });
        s.Get("/quillomar/server/news.txt", [this](const httplib::Request&, httplib::Response& res) { Answer(res); });
        s.Get("/quillomar/server/elsewhere", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(Line("666"), "text/plain");
        });
        // A thumbnail that says how large it is: refused before a byte is kept.
        s.Get("/quillomar/server/thumbnails/big.jpg", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(300u * 1024 * 1024, "image/jpeg",
                                     [](size_t, size_t length, httplib::DataSink& sink) {
                                         std::string block(std::min<size_t>(length, 65536), '\xFF');
                                         return sink.write(block.data(), block.size());
                                     });
        });
        s.Get("/quillomar/server/challenges/junk.qlm", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("<html>no challenge here</html>", "text/html");
        });
        ASSERT_TRUE(server.Start());
        GetInternet().SetServerUrl(server.Url());
        user = Game::GetInstance().GetUserPath(Game::USER);
        SIM_Server::GetInstance().SetUserFolder(user);
        SIM_ChallengeDatabase::GetInstance().SetFolder(user + "/web/challenges");
        EnsureDirectoryExists(user + "/web/challenges");
        ASSERT_TRUE(WriteFileAtomically(user + "/web/challenges/challengelist.txt", Line("1")));
    }
    void TearDown() override
    {
        Release();
        Game::GetInstance().SetMode(15);
        Frames(1);
        OnlineJob::JoinAll();
        GetInternet().SetServerUrl("");
        SIM_Server::GetInstance().SetUserFolder("");
        server.Stop();
    }

    void Answer(httplib::Response& res)
    {
        ++requests;
        const std::string mode = Mode();
        if (mode == "flood") {
            // No length given: only the client's cap ends it.
            res.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
                if (offset >= kFlood) {
                    sink.done();
                    return true;
                }
                std::string block;
                for (int i = 0; i < 512; ++i)
                    block += Line(std::to_string(offset + static_cast<size_t>(i) + 1000));
                return sink.write(block.data(), block.size());
            });
        } else if (mode == "garbage") {
            std::string text = "<html>\n";
            for (int i = 0; i < 20000; ++i)
                text += "##garbage " + std::to_string(i) + ",,,,,\n";
            text += "##,x y,Bob,all,\"bad id\",0,0,0,1,1,\"m\",2009-1-1,\"r\",\n";      // not a file name
            text += "##,7,Bob,all,\"t\",zero,0,0,1,1,\"m\",2009-1-1,\"r\",\n";         // a count that is no number
            text += "##,8,Bob,all,\"t\",0,0,0,9.5,1,\"m\",2009-1-1,\"r\",\n";          // more than five stars
            text += "##,9,Bob,all,\"t\",0,0,0,1,1,\"m\",2009-1-1,\"r\",,extra\n";      // a field too many
            text += "##,10,,all,\"t\",0,0,0,1,1,\"m\",2009-1-1,\"r\",\n";              // no sender
            text += Line("2") + Line("3");
            res.set_content(text, "text/plain");
        } else if (mode == "slow") {
            std::unique_lock<std::mutex> lock(gateMutex);
            // Bounded: a test that never opens the gate still ends.
            gate.wait_for(lock, std::chrono::seconds(20), [this] { return gateOpen; });
            ++answered;
            res.set_content(Line("4"), "text/plain");
        } else if (mode == "500") {
            res.status = 500;
            res.set_content(Line("5"), "text/html");
        } else if (mode == "redirect") {
            res.set_redirect("/quillomar/server/elsewhere");
        }
    }
    std::string Mode()
    {
        std::lock_guard<std::mutex> lock(gateMutex);
        return mode;
    }
    void SetMode(const std::string& m)
    {
        std::lock_guard<std::mutex> lock(gateMutex);
        mode = m;
    }
    void Release()
    {
        {
            std::lock_guard<std::mutex> lock(gateMutex);
            gateOpen = true;
        }
        gate.notify_all();
    }

    static GUI_ChallengeListClientWindow* OpenList()
    {
        Game::GetInstance().SetMode(GUI_ChallengeList::kModeId);
        Frames(2);
        GUI_ChallengeListWindow* w = GUI_ChallengeList::GetInstance().GetWindow();
        return w ? w->GetClient() : nullptr;
    }
    // Frames until the refresh is over; bounded, so a stuck request fails the test.
    static bool Settle(GUI_ChallengeListClientWindow& list)
    {
        for (int i = 0; i < 3000 && list.IsRefreshing(); ++i) {
            Frames(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return !list.IsRefreshing();
    }
    std::vector<std::string> Ids() const
    {
        std::vector<std::string> ids;
        for (const SIM_ChallengeRecord* r : SIM_ChallengeDatabase::GetInstance().GetRecords())
            ids.push_back(r->id);
        return ids;
    }
    // The largest file under the user's web folder (0 when there is none).
    uintmax_t LargestWebFile() const
    {
        uintmax_t largest = 0;
        std::error_code ec;
        for (const auto& e : std::filesystem::recursive_directory_iterator(user + "/web", ec))
            if (e.is_regular_file())
                largest = std::max(largest, e.file_size());
        return largest;
    }
    int LeftoverParts() const
    {
        int n = 0;
        std::error_code ec;
        for (const auto& e : std::filesystem::recursive_directory_iterator(user + "/web", ec)) {
            const std::string name = e.path().filename().string();
            n += name.find(".part") != std::string::npos || name.rfind("tmp", 0) == 0 ||
                 name.find(".download") != std::string::npos;
        }
        return n;
    }

    LoopbackHttpServer server;
    std::string user;
    std::mutex gateMutex;
    std::condition_variable gate;
    bool gateOpen = false;
    std::string mode;
    std::atomic<int> requests{0};
    std::atomic<int> answered{0};
};
} // namespace

TEST_F(HostileServer, AFloodStopsAtItsCapWithOneMessageAndLeavesNothingBehind)
{
    GUI_ChallengeListClientWindow* list = OpenList();
    ASSERT_NE(list, nullptr);
    SetMode("flood");
    {
        ScopedErrorLog log;
        list->Reload(true);
        ASSERT_TRUE(Settle(*list));
        EXPECT_EQ(log.Count("answer larger than 4194304 bytes refused"), 1) << log.Text();
        EXPECT_EQ(log.Lines(), 1) << "one failure, one line: " << log.Text();
    }
    EXPECT_EQ(list->GetStatusKey(), "ONLINE_NO_ANSWER");
    EXPECT_EQ(Ids(), std::vector<std::string>{"1"}) << "the player's list stays as it was";
    EXPECT_EQ(LeftoverParts(), 0);
    EXPECT_LT(LargestWebFile(), 4096u);

    // Messages and news: their own, smaller caps.
    {
        ScopedErrorLog log;
        SIM_OnlineMessageManager messages(user + "/web/oldmessages.txt");
        ASSERT_TRUE(messages.StartDownload());
        OnlineJob::JoinAll();
        EXPECT_FALSE(messages.Poll());
        EXPECT_TRUE(messages.GetAll().empty());
        EXPECT_EQ(log.Count("answer larger than 2097152 bytes refused"), 1) << log.Text();
        GHttpClient http;
        http.SetServerUrl(server.Url());
        SIM_Server srv(&http);
        srv.SetUserFolder(user);
        EXPECT_FALSE(srv.DownloadNews(user + "/web/news.txt"));
        EXPECT_EQ(log.Count("answer larger than 65536 bytes refused"), 1) << log.Text();
        // Told its length, a 300 MB thumbnail is refused before anything is written.
        EXPECT_FALSE(srv.DownloadThumbnail("big"));
        EXPECT_EQ(log.Count("answer larger than 524288 bytes refused"), 1) << log.Text();
        // A whole answer that is no challenge is not kept either.
        EXPECT_FALSE(srv.DownloadChallenge("junk"));
    }
    EXPECT_FALSE(std::filesystem::exists(user + "/web/challengedata/big.jpg"));
    EXPECT_FALSE(std::filesystem::exists(user + "/web/challenges/junk.qlm"));
    EXPECT_EQ(LeftoverParts(), 0);
    EXPECT_LT(LargestWebFile(), 4096u);
}

TEST_F(HostileServer, GarbageLinesAreNoChallengesAndErrorPagesAndRedirectsChangeNothing)
{
    GUI_ChallengeListClientWindow* list = OpenList();
    ASSERT_NE(list, nullptr);
    SetMode("garbage");
    list->Reload(true);
    ASSERT_TRUE(Settle(*list));
    EXPECT_EQ(list->GetStatusKey(), "CHALLENGES_REFRESHED");
    EXPECT_EQ(Ids(), (std::vector<std::string>{"1", "2", "3"})) << "only whole, well-formed lines count";
    EXPECT_EQ(UserFile("web/challenges/challengelist.txt"),
              SIM_ChallengeRecord(Line("1")).ToLine() + SIM_ChallengeRecord(Line("2")).ToLine() +
                  SIM_ChallengeRecord(Line("3")).ToLine());

    for (const char* bad : {"500", "redirect"}) {
        SetMode(bad);
        ScopedErrorLog log;
        list->Reload(true);
        ASSERT_TRUE(Settle(*list));
        EXPECT_EQ(list->GetStatusKey(), "ONLINE_NO_ANSWER") << bad;
        EXPECT_EQ(log.Lines(), 1) << bad << ": " << log.Text();
        EXPECT_EQ(Ids(), (std::vector<std::string>{"1", "2", "3"})) << bad;
    }
    EXPECT_EQ(LeftoverParts(), 0);
}

TEST_F(HostileServer, ASilentServerHoldsNoFrameAndThePlayerCancelsTheWait)
{
    GUI_ChallengeListClientWindow* list = OpenList();
    ASSERT_NE(list, nullptr);
    SetMode("slow");
    list->Reload(true);
    // The server holds the answer until the gate opens: frames go on meanwhile.
    Frames(30);
    EXPECT_TRUE(list->IsRefreshing());
    GUI_PleaseWait* wait = GUI_PleaseWait::GetOpen();
    ASSERT_NE(wait, nullptr);
    ASSERT_NE(wait->GetCancelButton(), nullptr);
    EXPECT_GE(wait->GetCancelButton()->top, wait->GetCellRect(0).bottom) << "Cancel sits under the light";
    // The player's click reaches Cancel through the screen.
    Click(*wait->GetCancelButton());
    Frames(1);
    EXPECT_FALSE(GUI_PleaseWait::IsOpen()) << "the box goes at the click";
    ASSERT_TRUE(Settle(*list));
    EXPECT_EQ(answered.load(), 0) << "the request stopped before the server ever answered";
    EXPECT_EQ(list->GetStatusKey(), "ONLINE_CANCELLED") << "the list says it was cancelled, as every online screen does";
    EXPECT_EQ(Ids(), std::vector<std::string>{"1"});
    Release();
}

TEST_F(HostileServer, QuittingStopsTheRequestInFlightAndEveryOneAfter)
{
    SetMode("slow");
    SIM_OnlineMessageManager messages(user + "/web/oldmessages.txt");
    ASSERT_TRUE(messages.StartDownload());
    for (int i = 0; i < 2000 && requests.load() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(requests.load(), 1);
    GHttpClient::CancelAll();
    OnlineJob::JoinAll();
    EXPECT_EQ(answered.load(), 0) << "the worker ended without waiting for the answer";
    EXPECT_FALSE(messages.Poll());

    // A job begun as the game quits never reaches the server: the exit
    // would wait for it.
    Release();
    SetMode("garbage");
    GUI_ChallengeListClientWindow* list = OpenList();
    ASSERT_NE(list, nullptr);
    list->Reload(true);
    ASSERT_TRUE(Settle(*list));
    EXPECT_EQ(requests.load(), 1);
    EXPECT_NE(list->GetStatusKey(), "CHALLENGES_REFRESHED");

    // (A game that goes on after this is a test's alone.)
    GHttpClient::ResumeAfterCancelAllForTest();
    list->Reload(true);
    ASSERT_TRUE(Settle(*list));
    EXPECT_EQ(list->GetStatusKey(), "CHALLENGES_REFRESHED");
}
