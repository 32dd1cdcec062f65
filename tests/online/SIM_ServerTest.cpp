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
    server.server.Post("/quillomar/server/postmetrics145.php", [&](const httplib::Request& req, httplib::Response&) {
        std::lock_guard<std::mutex> lock(mutex);
        body = req.body;
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
