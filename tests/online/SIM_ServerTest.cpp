#include "engine/GHttpClient.h"
#include "online/SIM_Server.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <mutex>

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
