#include "engine/GHttpClient.h"
#include "engine/GFileHelpers.h"
#include "support/ErrorLog.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <thread>
#include <mutex>
#include <vector>

namespace {
std::string BinaryBytes(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    return s;
}

std::vector<std::string> ListFolder(const std::string& path)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(path.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != "..")
                names.push_back(n);
        }
        closedir(d);
    }
    return names;
}

void RecordProgress(void* context, float fraction)
{
    static_cast<std::vector<float>*>(context)->push_back(fraction);
}

class HttpClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto& s = m_server.server;
        s.Get("/ok", [](const httplib::Request&, httplib::Response& res) { res.set_content("hello world", "text/plain"); });
        s.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            res.set_content("not here", "text/html");
        });
        s.Get("/error", [](const httplib::Request&, httplib::Response& res) {
            res.status = 500;
            res.set_content("server broke", "text/html");
        });
        s.Get("/empty", [](const httplib::Request&, httplib::Response& res) { res.status = 200; });
        s.Get("/big", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(BinaryBytes(50000), "application/octet-stream");
        });
        s.Get("/chunked", [](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
                if (offset >= 3000) {
                    sink.done();
                    return true;
                }
                std::string block(1000, static_cast<char>('a' + offset / 1000));
                return sink.write(block.data(), block.size());
            });
        });
        s.Get("/drop", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(10000, "application/octet-stream",
                                     [](size_t offset, size_t, httplib::DataSink& sink) {
                                         if (offset >= 4000)
                                             return false; // the connection goes down mid-body
                                         std::string block(2000, 'x');
                                         return sink.write(block.data(), block.size());
                                     });
        });
        s.Get("/slow", [](const httplib::Request&, httplib::Response& res) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1000));
            res.set_content("late", "text/plain");
        });
        s.Get("/redirect", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/ok"); });
        s.Get("/agent", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(req.get_header_value("User-Agent") + "|" + req.get_header_value("Cache-Control"),
                            "text/plain");
        });
        s.Get("/echo", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(req.get_param_value("name") + "|" + req.get_param_value("id"), "text/plain");
        });
        s.Post("/upload", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_posted = req.body;
            m_postType = req.get_header_value("Content-Type");
            res.set_content("response,true", "text/plain");
        });
        s.Post("/upload500", [](const httplib::Request&, httplib::Response& res) { res.status = 500; });
        s.Post("/answer", [this](const httplib::Request&, httplib::Response& res) {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_postAnswer.empty())
                res.set_content(m_postAnswer, "text/plain");
        });
        // Counted before the answer goes out: a logger runs after it, racing the test.
        s.set_pre_routing_handler([this](const httplib::Request&, httplib::Response&) {
            ++m_requests;
            return httplib::Server::HandlerResponse::Unhandled;
        });
        ASSERT_TRUE(m_server.Start());
        m_client.SetServerUrl(m_server.Url());
    }

    std::string Posted()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_posted;
    }

    LoopbackHttpServer m_server;
    GHttpClient m_client;
    TempDir m_dir;
    std::mutex m_mutex;
    std::string m_posted;
    std::string m_postType;
    std::string m_postAnswer;
    std::atomic<int> m_requests { 0 };
};
} // namespace

TEST_F(HttpClientTest, DownloadsAnAnswerIntoTheFile)
{
    ASSERT_TRUE(m_client.OpenLink());
    std::string target = m_dir.File("answer.txt");
    EXPECT_TRUE(m_client.DownloadToFile(target, "ok"));
    EXPECT_EQ(m_dir.Read("answer.txt"), "hello world");
    // A leading slash on the path changes nothing.
    EXPECT_TRUE(m_client.DownloadToFile(m_dir.File("b.txt"), "/big"));
    EXPECT_EQ(m_dir.Read("b.txt"), BinaryBytes(50000));
    m_client.CloseLink();
    EXPECT_EQ(ListFolder(m_dir.Path()).size(), 2u);
}

TEST_F(HttpClientTest, OfflineSendsNothing)
{
    GHttpClient offline;
    EXPECT_FALSE(offline.IsOnline());
    EXPECT_FALSE(offline.OpenLink());
    EXPECT_FALSE(offline.OpenDirect());
    m_dir.Write("keep.txt", "old");
    EXPECT_FALSE(offline.DownloadToFile(m_dir.File("keep.txt"), "ok"));
    EXPECT_FALSE(offline.UrlExists("ok"));
    EXPECT_FALSE(offline.PostFile("upload", m_dir.File("keep.txt"), "t"));
    EXPECT_EQ(m_dir.Read("keep.txt"), "old");
    EXPECT_EQ(m_requests.load(), 0);
}

TEST_F(HttpClientTest, RequestsNeedAnOpenLink)
{
    EXPECT_FALSE(m_client.DownloadToFile(m_dir.File("a.txt"), "ok"));
    ASSERT_TRUE(m_client.OpenLink());
    m_client.CloseLink();
    EXPECT_FALSE(m_client.DownloadToFile(m_dir.File("a.txt"), "ok"));
    EXPECT_EQ(m_requests.load(), 0);
}

TEST_F(HttpClientTest, AnswerWithoutLengthDownloadsWholeWithProgressAgainstOneMegabyte)
{
    std::vector<float> progress;
    m_client.SetProgressCallback(RecordProgress, &progress);
    ASSERT_TRUE(m_client.OpenLink());
    EXPECT_TRUE(m_client.DownloadToFile(m_dir.File("c.txt"), "chunked"));
    m_client.CloseLink();
    EXPECT_EQ(m_dir.Read("c.txt"), std::string(1000, 'a') + std::string(1000, 'b') + std::string(1000, 'c'));
    ASSERT_FALSE(progress.empty());
    EXPECT_FLOAT_EQ(progress.back(), 3000.0f / 1048576.0f);
    for (float f : progress)
        EXPECT_LT(f, 1.0f);
}

TEST_F(HttpClientTest, ProgressWithKnownLengthRisesToOne)
{
    std::vector<float> progress;
    m_client.SetProgressCallback(RecordProgress, &progress);
    ASSERT_TRUE(m_client.OpenLink());
    EXPECT_TRUE(m_client.DownloadToFile(m_dir.File("big"), "big"));
    m_client.CloseLink();
    ASSERT_FALSE(progress.empty());
    EXPECT_FLOAT_EQ(progress.back(), 1.0f);
    for (size_t i = 1; i < progress.size(); ++i)
        EXPECT_GE(progress[i], progress[i - 1]);
}

TEST_F(HttpClientTest, ErrorPagesAreNeverSaved)
{
    m_dir.Write("list.txt", "previous answer");
    ASSERT_TRUE(m_client.OpenLink());
    EXPECT_FALSE(m_client.DownloadToFile(m_dir.File("list.txt"), "missing"));
    EXPECT_FALSE(m_client.DownloadToFile(m_dir.File("list.txt"), "error"));
    EXPECT_FALSE(m_client.DownloadToFile(m_dir.File("new.txt"), "missing"));
    m_client.CloseLink();
    EXPECT_EQ(m_dir.Read("list.txt"), "previous answer");
    // No half-written temporary files are left behind either.
    EXPECT_EQ(ListFolder(m_dir.Path()), std::vector<std::string> { "list.txt" });
}

TEST_F(HttpClientTest, EmptyBodyMakesAnEmptyFile)
{
    m_dir.Write("e.txt", "stale");
    ASSERT_TRUE(m_client.OpenLink());
    EXPECT_TRUE(m_client.DownloadToFile(m_dir.File("e.txt"), "empty"));
    EXPECT_TRUE(m_client.DownloadToFile(m_dir.File("fresh.txt"), "empty"));
    m_client.CloseLink();
    EXPECT_EQ(m_dir.Read("e.txt"), "");
    EXPECT_EQ(m_dir.Read("fresh.txt"), "");
}

TEST_F(HttpClientTest, DroppedConnectionKeepsTheOldFile)
{
    m_dir.Write("challenge.qlm", "whole old challenge");
    ASSERT_TRUE(m_client.OpenLink());
    EXPECT_FALSE(m_client.DownloadToFile(m_dir.File("challenge.qlm"), "drop"));
    m_client.CloseLink();
    EXPECT_EQ(m_dir.Read("challenge.qlm"), "whole old challenge");
    EXPECT_EQ(ListFolder(m_dir.Path()).size(), 1u);
}

TEST_F(HttpClientTest, RedirectsAreNotFollowed)
{
    ASSERT_TRUE(m_client.OpenLink());
    EXPECT_FALSE(m_client.DownloadToFile(m_dir.File("r.txt"), "redirect"));
    m_client.CloseLink();
    EXPECT_TRUE(ListFolder(m_dir.Path()).empty());
}

TEST_F(HttpClientTest, SlowServerTimesOut)
{
    m_client.SetTimeouts(300, 300);
    ASSERT_TRUE(m_client.OpenLink());
    EXPECT_FALSE(m_client.DownloadToFile(m_dir.File("s.txt"), "slow"));
    m_client.CloseLink();
    EXPECT_TRUE(ListFolder(m_dir.Path()).empty());
}

TEST_F(HttpClientTest, ClosedPortFails)
{
    LoopbackSocket closed(false);
    GHttpClient client;
    client.SetServerUrl(closed.Url());
    ASSERT_TRUE(client.OpenLink());
    EXPECT_FALSE(client.DownloadToFile(m_dir.File("x"), "ok"));
    EXPECT_FALSE(client.UrlExists("ok"));
    client.CloseLink();
}

TEST_F(HttpClientTest, UrlExistsByStatus)
{
    ASSERT_TRUE(m_client.OpenLink());
    EXPECT_TRUE(m_client.UrlExists("ok"));
    EXPECT_TRUE(m_client.UrlExists("empty"));
    EXPECT_TRUE(m_client.UrlExists("error"));
    EXPECT_FALSE(m_client.UrlExists("missing"));
    EXPECT_FALSE(m_client.UrlExists("no/such/script.php"));
    m_client.CloseLink();
}

TEST_F(HttpClientTest, AgentsAndNoCache)
{
    ASSERT_TRUE(m_client.OpenLink());
    ASSERT_TRUE(m_client.DownloadToFile(m_dir.File("a1"), "agent"));
    m_client.CloseLink();
    ASSERT_TRUE(m_client.OpenDirect());
    ASSERT_TRUE(m_client.DownloadToFile(m_dir.File("a2"), "agent"));
    m_client.CloseLink();
    EXPECT_EQ(m_dir.Read("a1"), "WinInetGet/0.1|no-cache");
    EXPECT_EQ(m_dir.Read("a2"), "MyHTTPClient/1.0|no-cache");
}

TEST_F(HttpClientTest, QueryTextThatWouldBreakTheRequestIsEscaped)
{
    ASSERT_TRUE(m_client.OpenLink());
    ASSERT_TRUE(m_client.DownloadToFile(m_dir.File("q"), "echo?&name=Ann Lee\r\nX-Evil: 1&id=42"));
    m_client.CloseLink();
    EXPECT_EQ(m_dir.Read("q"), "Ann Lee\r\nX-Evil: 1|42");
}

TEST_F(HttpClientTest, PostSendsTagFieldAndFileBytesIntact)
{
    const std::string bytes = BinaryBytes(70000) + std::string("\0\r\n\xff", 4);
    std::string file = m_dir.Write("design.qlm", bytes);
    ASSERT_TRUE(m_client.OpenPostLink());
    EXPECT_TRUE(m_client.PostFile("/upload", file, "1234567890"));
    m_client.CloseLink();
    std::string body = Posted();
    ASSERT_EQ(body.size(), 32 + bytes.size());
    EXPECT_EQ(body.substr(0, 32), std::string("1234567890") + std::string(22, '\0'));
    EXPECT_EQ(body.substr(32), bytes);
    EXPECT_EQ(m_postType, "application/octet-stream");
}

TEST_F(HttpClientTest, PostTagIsCutAtThirtyTwoBytes)
{
    std::string file = m_dir.Write("f", "data");
    ASSERT_TRUE(m_client.OpenDirect());
    EXPECT_TRUE(m_client.PostFile("upload", file, std::string(40, 'T')));
    m_client.CloseLink();
    EXPECT_EQ(Posted(), std::string(32, 'T') + "data");
}

TEST_F(HttpClientTest, PostFailuresAreReported)
{
    std::string file = m_dir.Write("f", "data");
    std::string empty = m_dir.Write("empty", "");
    ASSERT_TRUE(m_client.OpenDirect());
    EXPECT_FALSE(m_client.PostFile("upload500", file, "t"));
    EXPECT_FALSE(m_client.PostFile("missing", file, "t"));
    const int before = m_requests.load();
    EXPECT_FALSE(m_client.PostFile("upload", empty, "t"));
    EXPECT_FALSE(m_client.PostFile("upload", m_dir.File("nofile"), "t"));
    EXPECT_EQ(m_requests.load(), before);
    m_client.CloseLink();
    EXPECT_EQ(m_dir.Read("f"), "data");
}

TEST_F(HttpClientTest, APostBodyIsReadOnlyFromARegularFileWithinItsCap)
{
    // A FIFO in the file's place: an open that waited for a writer would
    // hold the caller (the exit) for good.
    const std::string fifo = m_dir.File("um.ini");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = m_dir.File("folder");
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    const std::string over = m_dir.Write("over", std::string(GHttpClient::kMaxPostFileBytes + 1, 'o'));
    const std::string at = m_dir.Write("at", std::string(GHttpClient::kMaxPostFileBytes, 'a'));
    ASSERT_TRUE(m_client.OpenDirect());
    for (const std::string& refused : {fifo, folder, over})
        EXPECT_FALSE(m_client.PostFile("upload", refused, "t")) << refused;
    EXPECT_EQ(m_requests.load(), 0);
    EXPECT_TRUE(m_client.PostFile("upload", at, "t"));
    EXPECT_EQ(Posted().size(), 32 + static_cast<size_t>(GHttpClient::kMaxPostFileBytes));
    m_client.CloseLink();
}

TEST_F(HttpClientTest, AQuitStopsEveryRequestWhetherItsTransferHadBegunOrNot)
{
    std::string file = m_dir.Write("f", "data");
    ASSERT_TRUE(m_client.OpenDirect());
    GHttpClient::CancelAll();
    // Requests that reach their start after the quit: none goes out.
    EXPECT_FALSE(m_client.DownloadToFile(m_dir.File("ok.txt"), "ok"));
    EXPECT_FALSE(m_client.PostFile("upload", file, "t"));
    EXPECT_FALSE(m_client.UrlExists("ok"));
    std::thread late([&] {
        GHttpClient other;
        other.SetServerUrl(m_server.Url());
        other.OpenDirect();
        EXPECT_FALSE(other.DownloadToFile(m_dir.File("late.txt"), "ok"));
        other.CloseLink();
    });
    late.join();
    EXPECT_EQ(m_requests.load(), 0);
    EXPECT_FALSE(FileExists(m_dir.File("ok.txt")));
    GHttpClient::ResumeAfterCancelAllForTest();
    EXPECT_TRUE(m_client.DownloadToFile(m_dir.File("ok.txt"), "ok"));
    EXPECT_EQ(m_requests.load(), 1);
    m_client.CloseLink();
}

TEST_F(HttpClientTest, PostSucceedsOnlyWhenTheAnswerSaysTrue)
{
    std::string file = m_dir.Write("f", "data");
    auto post = [&](const std::string& answer) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_postAnswer = answer;
        }
        return m_client.PostFile("answer", file, "t");
    };
    ASSERT_TRUE(m_client.OpenDirect());
    EXPECT_FALSE(post(""));                        // a 200 with nothing in it
    EXPECT_FALSE(post("ok"));                      // no response line
    EXPECT_FALSE(post("response,false"));
    EXPECT_FALSE(post("response,truex"));
    EXPECT_FALSE(post("message,true"));
    EXPECT_FALSE(post(std::string(GHttpClient::kMaxPostAnswerBytes + 1, 'x') + "\nresponse,true"));
    EXPECT_TRUE(post("message,stored\r\nresponse,true \r\n"));
    EXPECT_TRUE(post("response,true"));
    m_client.CloseLink();
}

TEST_F(HttpClientTest, ThreadsUseTheirOwnLinks)
{
    std::atomic<int> succeeded { 0 };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            if (!m_client.OpenLink())
                return;
            bool ok = true;
            for (int i = 0; i < 5; ++i)
                ok = m_client.DownloadToFile(m_dir.File("t" + std::to_string(t)), "big") && ok;
            m_client.CloseLink();
            if (ok)
                ++succeeded;
        });
    }
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(succeeded.load(), 4);
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(m_dir.Read("t" + std::to_string(t)), BinaryBytes(50000));
    // The main thread never opened a link of its own.
    EXPECT_FALSE(m_client.DownloadToFile(m_dir.File("main"), "ok"));
}

TEST(HttpClientConfig, ReadsServerIniAndEnvironment)
{
    TempDir dir;
    unsetenv("QLM_SERVER_URL");
    std::string ini = dir.Write("server.ini", "[server]\nurl = http://127.0.0.1:9/\ntimeout_ms = 700\n");
    GHttpClient client;
    EXPECT_TRUE(client.LoadConfig(ini));
    EXPECT_EQ(client.GetServerUrl(), "http://127.0.0.1:9");
    EXPECT_EQ(client.MakeUrl("/quillomar/server/x.php?&a=b"), "http://127.0.0.1:9/quillomar/server/x.php?&a=b");

    setenv("QLM_SERVER_URL", "http://127.0.0.1:10", 1);
    EXPECT_TRUE(client.LoadConfig(ini));
    EXPECT_EQ(client.GetServerUrl(), "http://127.0.0.1:10");
    // Set but empty: offline whatever the file says.
    setenv("QLM_SERVER_URL", "", 1);
    EXPECT_FALSE(client.LoadConfig(ini));
    unsetenv("QLM_SERVER_URL");

    EXPECT_FALSE(client.LoadConfig(dir.File("none.ini")));
    EXPECT_FALSE(client.IsOnline());
    std::string blank = dir.Write("blank.ini", "[server]\nurl =\n");
    EXPECT_FALSE(client.LoadConfig(blank));
    std::string bad = dir.Write("bad.ini", "[server]\nurl = ftp://example\n");
    EXPECT_FALSE(client.LoadConfig(bad));
    EXPECT_EQ(client.MakeUrl("x"), "");
}

TEST(HttpClientConfig, ShippedServerFileIsOffline)
{
    unsetenv("QLM_SERVER_URL");
    GHttpClient client;
    EXPECT_FALSE(client.LoadConfig(std::string(QLM_SOURCE_DIR) + "/data/server.ini"));
}

TEST(HttpClientConfig, ADamagedServerFileIsToldWithItsKey)
{
    unsetenv("QLM_SERVER_URL");
    TempDir dir;
    const std::string whole = "[server]\nurl = http://127.0.0.1:9/\nconnect_timeout_ms = 700\ntimeout_ms = 900\n";
    struct Case {
        std::string text;
        std::vector<std::string> told; // after the path
        bool online;
    };
    const std::vector<Case> cases = {
        {whole, {}, true},
        {"", {" [server] url: missing", " [server] connect_timeout_ms: missing", " [server] timeout_ms: missing"}, false},
        {"\x01\x02garbage", {" [server] url: missing", " [server] connect_timeout_ms: missing", " [server] timeout_ms: missing"}, false},
        {whole.substr(0, whole.find("timeout_ms = 900") + 9), {" [server] timeout_ms: missing"}, true},
        {"[server]\nurl = http://127.0.0.1:9/\nconnect_timeout_ms = 0\ntimeout_ms = 900\n",
         {" [server] connect_timeout_ms = 0: out of range 1..600000, 3000 used"}, true},
        {"[server]\nurl = http://127.0.0.1:9/\nconnect_timeout_ms = 700\ntimeout_ms = 600001\n",
         {" [server] timeout_ms = 600001: out of range 1..600000, 600000 used"}, true},
        {"[server]\nurl = http://127.0.0.1:9/\nconnect_timeout_ms = -2147483648\ntimeout_ms = 900\n",
         {" [server] connect_timeout_ms = -2147483648: out of range 1..600000, 3000 used"}, true},
        {"[server]\nurl = http://127.0.0.1:9/\nconnect_timeout_ms = 700\ntimeout_ms = 1e20\n",
         {" [server] timeout_ms = 1e20: out of range 1..600000, 600000 used",
          " [server] timeout_ms = 1e20: out of range -2147483648..2147483647"},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string path = dir.Write("server.ini", c.text);
        ScopedErrorLog log;
        GHttpClient client;
        EXPECT_EQ(client.LoadConfig(path), c.online);
        for (const std::string& line : c.told)
            EXPECT_EQ(log.Count(path + line), 1) << line << "\n" << log.Text();
        EXPECT_EQ(log.Lines(), static_cast<int>(c.told.size())) << log.Text();
    }
}
