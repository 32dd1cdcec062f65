#include "engine/GHttpClient.h"
#include "online/SIM_Server.h"
#include "engine/GSafeFile.h"
#include "support/ErrorLog.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <mutex>

#include <sys/stat.h>
#include <unistd.h>

TEST(SIM_Server, PostMetricsSendsTheFileToTheMetricsScript)
{
    LoopbackHttpServer server;
    std::mutex mutex;
    std::string body, agent;
    server.server.Post("/quillomar/server/postmetrics145.php", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard<std::mutex> lock(mutex);
        body = req.body;
        res.set_content("response,true\n", "text/plain");
        agent = req.get_header_value("User-Agent");
    });
    ASSERT_TRUE(server.Start());
    TempDir dir;
    std::string file = dir.Write("um.ini", "[d]\n0 = runtime,0,0,60.00\n\n");
    GHttpClient client;
    client.SetServerUrl(server.Url() + "/");
    SIM_Server srv(&client);
    EXPECT_TRUE(srv.PostMetrics(file, "0123456780"));
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(body, std::string("0123456780") + std::string(22, '\0') + "[d]\n0 = runtime,0,0,60.00\n\n");
    EXPECT_EQ(agent, "MyHTTPClient/1.0");
    // The link is closed again afterwards.
    EXPECT_FALSE(client.DownloadToFile(dir.File("x"), "anything"));
}

TEST(SIM_Server, PostMetricsFailsWhenNobodyAcceptsIt)
{
    TempDir dir;
    std::string file = dir.Write("um.ini", "[d]\n");
    GHttpClient offline;
    EXPECT_FALSE(SIM_Server(&offline).PostMetrics(file, "0000000000"));

    LoopbackHttpServer server; // no metrics script: 404
    ASSERT_TRUE(server.Start());
    GHttpClient client;
    client.SetServerUrl(server.Url());
    EXPECT_FALSE(SIM_Server(&client).PostMetrics(file, "0000000000"));
    EXPECT_FALSE(SIM_Server(&client).PostMetrics(dir.File("gone.ini"), "0000000000"));
}

TEST(SIM_Server, ARatingCountsOnlyWhenTheServerAnswersTrue)
{
    LoopbackHttpServer server;
    std::mutex mutex;
    std::string answer = "response,false\nmessage,already rated\n";
    std::string query;
    server.server.Get("/quillomar/server/ratechallenge.php", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard<std::mutex> lock(mutex);
        query = req.get_param_value("qlmid") + "|" + req.get_param_value("dif") + "|" + req.get_param_value("enj");
        res.set_content(answer, "text/plain");
    });
    server.server.Get("/quillomar/server/sendmessage.php", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard<std::mutex> lock(mutex);
        query = req.get_param_value("msgto") + "|" + req.get_param_value("msg");
        res.set_content("response,true\n", "text/plain");
    });
    ASSERT_TRUE(server.Start());
    GHttpClient client;
    client.SetServerUrl(server.Url());
    SIM_Server srv(&client);
    EXPECT_FALSE(srv.RateChallenge("chal 7&x", 2, 5));
    {
        std::lock_guard<std::mutex> lock(mutex);
        EXPECT_EQ(query, "chal 7&x|2|5") << "the id travels escaped and arrives whole";
        answer = "response,true\n";
    }
    EXPECT_TRUE(srv.RateChallenge("chal7", 1, 1));
    EXPECT_TRUE(srv.SendMessage("Rival", "good game & thanks"));
    {
        std::lock_guard<std::mutex> lock(mutex);
        EXPECT_EQ(query, "Rival|good game & thanks");
    }
    // Offline nothing is sent and nothing counts.
    GHttpClient offline;
    EXPECT_FALSE(SIM_Server(&offline).RateChallenge("chal7", 1, 1));
    EXPECT_FALSE(SIM_Server(&offline).SendMessage("Rival", "hello"));
}

TEST(SIM_Server, TheStoredNameIsTheFirstLineUpToItsCapAndWhatFollowsItIsToldOnce)
{
    TempDir dir;
    ScopedErrorLog log;
    SIM_Server server;
    server.SetUserFolder(dir.Path());
    const std::string path = dir.File("web/qlmcdu");
    // The name alone, as SaveUserName writes it: taken whole and not told.
    ASSERT_TRUE(server.SaveUserName("../x y"));
    EXPECT_EQ(dir.Read("web/qlmcdu"), "../x y");
    EXPECT_EQ(server.GetUserName(), "../x y");
    EXPECT_TRUE(server.HasUserName());
    const std::string exact(SIM_Server::kMaxStoredUserName, 'n');
    dir.Write("web/qlmcdu", exact);
    EXPECT_EQ(server.GetUserName(), exact);
    EXPECT_EQ(log.Lines(), 0) << log.Text();

    struct Case {
        std::string text, name, told;
    } cases[] = {
        {exact + "m", exact, "longer than 255 characters (1 more cut off)"},
        {"pilot\r\nsecond\n", "pilot", "a line end after the name (9 bytes"},
        {"pilot\n", "pilot", "a line end after the name (1 bytes"},
        {std::string("pi\0lot", 6), "pi", "control character 0 after the name (4 bytes"},
        {"pi\x01lot", "pi", "control character 1 after the name"},
        {"\nAnn", "", "a line end after the name"},
        {"", "", "empty (damaged)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.told);
        dir.Write("web/qlmcdu", c.text);
        const int before = log.Lines();
        const std::string toldLine = path + ": " + c.told;
        // With no name left, the line says so instead of naming an empty one.
        const std::string takenLine = c.name.empty() ? std::string(", no online name")
                                                     : "the online name taken is \"" + c.name + "\" (" +
                                                           std::to_string(c.name.size());
        const int toldBefore = log.Count(toldLine), takenBefore = log.Count(takenLine);
        EXPECT_EQ(server.GetUserName(), c.name);
        EXPECT_EQ(server.GetUserName(), c.name);
        EXPECT_EQ(server.HasUserName(), !c.name.empty());
        // One line, naming the file, what was wrong and the name taken.
        EXPECT_EQ(log.Lines(), before + 1) << log.Text();
        EXPECT_EQ(log.Count(toldLine), toldBefore + 1) << log.Text();
        EXPECT_EQ(log.Count(takenLine), takenBefore + 1) << log.Text();
    }

    // Not a file: refused without waiting, told, no name, and kept.
    std::remove(path.c_str());
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    const int linesBefore = log.Lines();
    EXPECT_EQ(server.GetUserName(), "");
    // Told once, by the reader.
    EXPECT_EQ(log.Count("not a regular file : " + path), 1) << log.Text();
    EXPECT_EQ(log.Lines(), linesBefore + 1) << log.Text();
    EXPECT_FALSE(server.SaveUserName("Ann"));
    std::remove(path.c_str());
    GSafeFile::ForgetRefusedFiles();
    ASSERT_EQ(symlink("/dev/zero", path.c_str()), 0);
    const int linesBeforeLink = log.Lines();
    EXPECT_EQ(server.GetUserName(), "");
    EXPECT_FALSE(server.HasUserName());
    EXPECT_EQ(log.Count("not a regular file : " + path), 2) << log.Text();
    EXPECT_EQ(log.Lines(), linesBeforeLink + 1) << "no line beside the reader's";
    std::remove(path.c_str());
    GSafeFile::ForgetRefusedFiles();
}
