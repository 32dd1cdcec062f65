#include "engine/GHttpClient.h"
#include "engine/GSafeFile.h"
#include "frontend/FrontendGame.h"
#include "frontend/GUI_HighScoreTable.h"
#include "gui/GUI_ScrollingWindow.h"
#include "online/OnlineJob.h"
#include "online/OnlineStatus.h"
#include "online/SIM_Server.h"
#include "sim/SIM_Scenario.h"
#include "support/LoopbackHttpServer.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>

namespace {
class HighScores : public FrontendGame {
protected:
    void TearDown() override
    {
        while (GUI_WindowManager::GetInstance().CloseTopModal()) {
        }
        std::remove((Game::GetInstance().GetUserPath(Game::USER) + "/web/qlmcdu").c_str());
    }

    // Waits (a few seconds at most) for the request beside the frame.
    static bool WaitUntilAnswered(GUI_HighScoreTable& table)
    {
        for (int i = 0; i < 500 && table.GetStatus() == OnlineStatus::WAITING; ++i) {
            SDL_Delay(5);
            Frames(1);
        }
        return table.GetStatus() != OnlineStatus::WAITING;
    }

    // The table opened against the server; the address is dropped at once,
    // as the request took its own copy.
    static GUI_HighScoreTable* OpenAgainst(const LoopbackHttpServer& server)
    {
        GetInternet().SetServerUrl(server.Url() + "/");
        GUI_HighScoreTable::Open(SIM_Scenario::FindByName("survival1"));
        GetInternet().SetServerUrl("");
        return GUI_HighScoreTable::GetOpen();
    }

    static constexpr const char* kScoresPath = "/quillomar/server/getsurvivalscores.php";
};
} // namespace

TEST(HighScoreRecords, OnlyHashLinesAreRecordsInFileOrder)
{
    auto records = GUI_HighScoreTable::ParseRecords("Welcome to the server\n"
                                                    "##,Zed,12500,federation\r\n"
                                                    "\n"
                                                    "# one hash is a comment\n"
                                                    "##,\"Kim, the Bold\",900,korrath\n"
                                                    "##x,Amy,7,\n");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].name, "Zed");
    EXPECT_EQ(records[0].score, 12500);
    EXPECT_EQ(records[0].third, "federation");
    EXPECT_EQ(records[1].name, "Kim, the Bold");
    EXPECT_EQ(records[1].score, 900);
    EXPECT_EQ(records[2].name, "Amy");
    EXPECT_EQ(records[2].third, "");
}

TEST_F(HighScores, WithoutAServerTheTableSaysSoAtOnce)
{
    ASSERT_FALSE(SIM_Server::GetInstance().IsOnline());
    GUI_HighScoreTable::Open(SIM_Scenario::FindByName("survival1"));
    GUI_HighScoreTable* table = GUI_HighScoreTable::GetOpen();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->GetStatus(), OnlineStatus::NO_SERVER);
    EXPECT_TRUE(table->GetRecords().empty());
    EXPECT_EQ(table->GetTitle(), "Survival: Last Stand");
}

TEST_F(HighScores, AFailedRequestAndAnEmptyListAreToldApart)
{
    std::atomic<bool> fail{true};
    LoopbackHttpServer server;
    server.server.Get(kScoresPath, [&fail](const httplib::Request&, httplib::Response& res) {
        if (fail)
            res.status = 500;
        else
            res.set_content("Nobody yet\n", "text/plain");
    });
    ASSERT_TRUE(server.Start());
    GUI_HighScoreTable* table = OpenAgainst(server);
    ASSERT_TRUE(WaitUntilAnswered(*table));
    EXPECT_EQ(table->GetStatus(), OnlineStatus::FAILED);
    EXPECT_TRUE(table->GetEntries().empty());
    OnlineJob::JoinAll();
    fail = false;
    table = OpenAgainst(server);
    ASSERT_TRUE(WaitUntilAnswered(*table));
    EXPECT_EQ(table->GetStatus(), OnlineStatus::EMPTY);
    EXPECT_TRUE(table->GetEntries().empty());
}

TEST_F(HighScores, TheAnswerArrivesBesideTheFrameAndOwnLinesAreTinted)
{
    ASSERT_TRUE(WriteFileAtomically(Game::GetInstance().GetUserPath(Game::USER) + "/web/qlmcdu", "Admiral"));
    std::atomic<bool> release{false};
    LoopbackHttpServer server;
    server.server.Get(kScoresPath, [&](const httplib::Request&, httplib::Response& res) {
        while (!release)
            SDL_Delay(1);
        std::string text = "Server says hello\n";
        for (int i = 0; i < 20; ++i)
            text += "##," + std::string(i == 4 ? "Admiral" : "Pilot" + std::to_string(i)) + "," +
                    std::to_string(100000 - i * 1000) + ",federation\n";
        res.set_content(text, "text/plain");
    });
    ASSERT_TRUE(server.Start());
    GUI_HighScoreTable* table = OpenAgainst(server);
    Frames(3); // the frame goes on while the server thinks
    EXPECT_EQ(table->GetStatus(), OnlineStatus::WAITING);
    release = true;
    ASSERT_TRUE(WaitUntilAnswered(*table));
    ASSERT_EQ(table->GetRecords().size(), 20u);
    // A client area 438 high holds 17 lines of 25 pixels.
    EXPECT_EQ(table->clientBottom - table->clientTop, 438);
    ASSERT_EQ(table->GetEntries().size(), 17u);
    EXPECT_EQ(table->GetScrollBar()->maximum, 3);
    EXPECT_EQ(table->GetEntries()[0]->GetScoreText(), "100,000");
    EXPECT_TRUE(table->GetEntries()[4]->IsOwn());
    EXPECT_FALSE(table->GetEntries()[3]->IsOwn());
    table->GetScrollBar()->ScrollDown();
    Frames(1);
    EXPECT_EQ(table->GetEntries()[0]->GetRankText(), "2");
    EXPECT_TRUE(table->GetEntries()[3]->IsOwn());
}

TEST_F(HighScores, ATableClosedBeforeTheAnswerLeavesAJoinableRequest)
{
    std::atomic<bool> release{false}, asked{false};
    LoopbackHttpServer server;
    server.server.Get(kScoresPath, [&](const httplib::Request&, httplib::Response& res) {
        asked = true;
        while (!release)
            SDL_Delay(1);
        res.set_content("##,Zed,5000,federation\n", "text/plain");
    });
    ASSERT_TRUE(server.Start());
    std::remove(SIM_Server::GetInstance().GetHighScoresPath().c_str());
    ASSERT_NE(OpenAgainst(server), nullptr);
    for (int i = 0; i < 2000 && !asked; ++i)
        SDL_Delay(1);
    ASSERT_TRUE(asked);
    PressKey(SDL_SCANCODE_ESCAPE);
    ASSERT_EQ(GUI_HighScoreTable::GetOpen(), nullptr);
    release = true;
    // The request belongs to the online workers, which the exit joins.
    OnlineJob::JoinAll();
    std::string text;
    ASSERT_TRUE(ReadWholeFile(SIM_Server::GetInstance().GetHighScoresPath(), text));
    EXPECT_NE(text.find("Zed"), std::string::npos);
}

TEST_F(HighScores, TheGameServerIsAskedForTheMapsListWithThePlayersName)
{
    LoopbackHttpServer server;
    std::mutex mutex;
    std::string map, user;
    server.server.Get("/quillomar/server/getsurvivalscores.php", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard<std::mutex> lock(mutex);
        map = req.get_param_value("map");
        user = req.get_param_value("username");
        res.set_content("##,Zed,5000,federation\n##,Admiral,4000,korrath\n", "text/plain");
    });
    ASSERT_TRUE(server.Start());
    ASSERT_TRUE(WriteFileAtomically(Game::GetInstance().GetUserPath(Game::USER) + "/web/qlmcdu", "Admiral"));
    GUI_HighScoreTable* table = OpenAgainst(server);
    ASSERT_TRUE(WaitUntilAnswered(*table));
    ASSERT_EQ(table->GetStatus(), OnlineStatus::NONE);
    ASSERT_EQ(table->GetEntries().size(), 2u);
    EXPECT_TRUE(table->GetEntries()[1]->IsOwn());
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(map, "survival1");
    EXPECT_EQ(user, "Admiral");
}
