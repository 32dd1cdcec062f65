// The game's requests against its own challenge server: every path and query
// as sent, the answers as read, uploads as stored; and the failures a real
// network brings (no server, error pages, answers too slow).
#include "engine/GHttpClient.h"
#include "engine/GSafeFile.h"
#include "online/SIM_Server.h"
#include "sim/SIM_ChallengeFile.h"
#include "support/LocalChallengeServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {
struct Client {
    explicit Client(const std::string& url, const std::string& folder) : server(&http)
    {
        http.SetServerUrl(url);
        server.SetUserFolder(folder);
        server.SetIdentity("Ann_Lee", "42");
    }
    GHttpClient http;
    SIM_Server server;
};
} // namespace

TEST(ChallengeServer, EveryRequestGoesOutWithItsExactPathAndQuery)
{
    LocalChallengeServer local;
    ASSERT_TRUE(local.Start());
    TempDir user;
    Client c(local.Url(), user.Path());
    SIM_Server& s = c.server;

    ASSERT_TRUE(s.SetUserName("Ann_Lee"));
    ASSERT_TRUE(s.AddChallenge("all", "beat, this", "Deep Space", ""));
    EXPECT_EQ(s.GetRequestParam(), "1");
    std::string history;
    EXPECT_TRUE(s.GetChallengeHistory("1", history));
    EXPECT_TRUE(s.GetChallengeList(user.File("list.txt")));
    EXPECT_TRUE(s.SendMessage("Bob", "hi there"));
    EXPECT_TRUE(s.BlockMessageSender("Bob"));
    EXPECT_TRUE(s.DeleteMessage(7));
    EXPECT_TRUE(s.GetMyMessages(3, user.File("messages.txt")));
    EXPECT_TRUE(s.ReportChallengeAttempt("1"));
    EXPECT_TRUE(s.ReportChallengeVictory("1"));
    EXPECT_TRUE(s.RateChallenge("1", 4, 5));
    EXPECT_FALSE(s.GetLatestPatch(145));
    EXPECT_EQ(s.GetLastMessage(), "No patch");
    EXPECT_TRUE(s.AddSurvivalScore(100, "arena", "federation"));
    EXPECT_TRUE(s.GetSurvivalScores("arena", "42"));
    std::string id;
    EXPECT_TRUE(s.GetNewCampaignChallengeId(id));
    EXPECT_TRUE(s.AddCampaignChallenge(id));
    EXPECT_TRUE(s.DeleteChallenge("1"));

    const std::vector<std::string> expected = {
        "GET /quillomar/server/setusername.php?&id=42&username=Ann_Lee",
        "GET /quillomar/server/addchal136.php?&sen=42&use=Ann_Lee&rec=all&tau=beat%2C%20this&map=Deep%20Space"
        "&race=federation&parent=",
        "GET /quillomar/server/getchallengehistory.php?&qlmid=1",
        "GET /quillomar/server/getmychaldemo.php",
        "GET /quillomar/server/sendmessage.php?&user=Ann_Lee&id=42&msgto=Bob&msg=hi%20there",
        "GET /quillomar/server/blockmessage.php?&user=Ann_Lee&id=42&blockuser=Bob",
        "GET /quillomar/server/deletemessage.php?&user=Ann_Lee&id=42&msgid=7",
        "GET /quillomar/server/getmymessages.php?&username=Ann_Lee&id=42&lastmessageid=3",
        "GET /quillomar/server/challenge_attempt.php?&userid=42&username=Ann_Lee&qlmid=1",
        "GET /quillomar/server/challenge_victory.php?&userid=42&username=Ann_Lee&qlmid=1",
        "GET /quillomar/server/ratechallenge.php?&rater=42&username=Ann_Lee&qlmid=1&dif=4&enj=5",
        "GET /quillomar/server/getlatestpatch.php?&id=42&username=Ann_Lee&version=145",
        // The score travels with the comma after it and its check value.
        "GET /quillomar/server/add_survival_score.php?&userid=42&username=Ann_Lee&m=arena&r=federation&s=100,&c=" +
            std::to_string(100 ^ SIM_Server::kScoreCheckKey),
        "GET /quillomar/server/getsurvivalscores.php?&username=Ann_Lee&id=42&map=arena",
        "GET /quillomar/server/qlm_campaign_getnewchallengeid.php?&user=Ann_Lee&id=42",
        "GET /quillomar/server/qlm_campaign_addcampaignchallenge.php?&username=Ann_Lee&id=42&qlm=2",
        "GET /quillomar/server/delete_challenge.php?&userid=42&username=Ann_Lee&qlmid=1",
    };
    EXPECT_EQ(local.challenges.GetRequests(), expected);
    EXPECT_EQ(SIM_Server::kScoreCheckKey, ChallengeServer::kScoreCheckKey) << "both ends must use one key";
    EXPECT_EQ(history, "") << "nobody had fought it yet";
    // The server's record of the fights reaches the caller's own buffer.
    ASSERT_TRUE(s.AddChallenge("all", "again", "Arena", ""));
    ASSERT_TRUE(s.ReportChallengeAttempt("3"));
    ASSERT_TRUE(s.ReportChallengeVictory("3"));
    ASSERT_TRUE(s.GetChallengeHistory("3", history));
    EXPECT_NE(history.find(",Ann_Lee,Attempt\n##,"), std::string::npos) << history;
    EXPECT_NE(history.find(",Ann_Lee,Victory\n"), std::string::npos) << history;
}

TEST(ChallengeServer, AnswersCountOnlyAsTheyAreWritten)
{
    std::string response, message;
    SIM_Server::ReadAnswer("response,true\nmessage,well done\n", response, message);
    EXPECT_EQ(response, "true");
    EXPECT_EQ(message, "well done");
    for (const char* no : {"response,True\n", "response,true1\n", "no answer at all\n", ""}) {
        SIM_Server::ReadAnswer(no, response, message);
        EXPECT_NE(response, "true") << no;
    }
    // A line counts by its first field alone; the last line of a kind wins.
    SIM_Server::ReadAnswer("response,message\nmessage,one\nmessage,two\r\n", response, message);
    EXPECT_EQ(response, "message");
    EXPECT_EQ(message, "two");
    SIM_Server::ReadAnswer("no response,true\nmessage,the response is true\nresponses,true\n", response, message);
    EXPECT_EQ(response, "") << "the word elsewhere in a line is no response";
    EXPECT_EQ(message, "the response is true");
}

TEST(ChallengeServer, PostedFilesArriveTaggedWithTheNewId)
{
    LocalChallengeServer local;
    ASSERT_TRUE(local.Start());
    TempDir user;
    Client c(local.Url(), user.Path());
    const std::string qlm = user.Write("challenge.qlm", std::string("QLM\0body", 8));
    const std::string jpg = user.Write("thumb.jpg", "\xFF\xD8 picture");

    // Nothing is taken for an id the server never gave out.
    EXPECT_FALSE(c.server.PostChallenge(qlm, "7"));
    ASSERT_TRUE(c.server.AddChallenge("Bob", "hello", "Arena", ""));
    const std::string id = c.server.GetRequestParam();
    ASSERT_EQ(id, "1");
    EXPECT_TRUE(c.server.PostChallenge(qlm, id));
    EXPECT_TRUE(c.server.PostThumbnail(jpg, id));
    std::string stored;
    ASSERT_TRUE(ReadWholeFile(local.DataFile("challenges/1.qlm"), stored));
    EXPECT_EQ(stored, std::string("QLM\0body", 8));
    ASSERT_TRUE(ReadWholeFile(local.DataFile("thumbnails/1.jpg"), stored));
    EXPECT_EQ(stored, "\xFF\xD8 picture");
    const auto requests = local.challenges.GetRequests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0], "POST /quillomar/server/postchallenge.php 7 40");
    EXPECT_EQ(requests[2], "POST /quillomar/server/postchallenge.php 1 40");
    EXPECT_EQ(requests[3], "POST /quillomar/server/postthumbnail.php 1 42");

    // A retaliation of an unknown challenge is refused with the server's
    // reason, and the earlier id stays.
    EXPECT_FALSE(c.server.AddChallenge("Bob", "again", "Arena", "99"));
    EXPECT_EQ(c.server.GetRequestParam(), "1");
    EXPECT_EQ(c.server.GetLastMessage(), "The answered challenge is unknown");
}

TEST(ChallengeServer, AnIdUnfitForAFileNameIsNoId)
{
    LoopbackHttpServer server;
    std::string answer = "response,123\n";
    server.server.Get("/quillomar/server/addchal136.php",
                      [&](const httplib::Request&, httplib::Response& res) { res.set_content(answer, "text/plain"); });
    ASSERT_TRUE(server.Start());
    TempDir user;
    Client c(server.Url(), user.Path());
    ASSERT_TRUE(c.server.AddChallenge("all", "t", "m", ""));
    EXPECT_EQ(c.server.GetRequestParam(), "123");
    for (const char* bad : {"response,../../x\n", "response,\n", "response,false\n",
                            "response,aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\n"}) {
        answer = bad;
        EXPECT_FALSE(c.server.AddChallenge("all", "t", "m", "")) << bad;
        EXPECT_EQ(c.server.GetRequestParam(), "123") << bad;
    }
}

TEST(ChallengeServer, FailedAnswersChangeNoFile)
{
    LoopbackHttpServer server;
    server.server.Get("/quillomar/server/getmychaldemo.php", [](const httplib::Request&, httplib::Response& res) {
        res.status = 500;
        res.set_content("##,9,x,all,\"t\",0,0,0,0,0,\"m\",2009-1-1,\"r\",\n", "text/plain");
    });
    server.server.Get("/quillomar/server/getchallengehistory.php", [](const httplib::Request&, httplib::Response& res) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        res.set_content("##,2009-1-1,late,Victory\n", "text/plain");
    });
    server.server.Get(R"(/quillomar/server/challenges/(\d+)\.qlm)",
                      [](const httplib::Request& req, httplib::Response& res) {
                          if (req.matches[1] == "5")
                              res.set_content("<html>not a challenge</html>", "text/html");
                          else
                              res.status = 404;
                      });
    ASSERT_TRUE(server.Start());
    TempDir user;
    Client c(server.Url(), user.Path());
    const std::string list = user.Write("list.txt", "##,1,kept\n");

    EXPECT_FALSE(c.server.GetChallengeList(list)) << "a 500 page is no list";
    EXPECT_EQ(user.Read("list.txt"), "##,1,kept\n");
    EXPECT_FALSE(c.server.GetChallengeList(user.File("nothing/list.txt")));

    c.http.SetTimeouts(300, 300);
    std::string history = "old";
    EXPECT_FALSE(c.server.GetChallengeHistory("3", history)) << "an answer too slow is none";
    EXPECT_EQ(history, "");

    // Only a whole challenge file is kept as downloaded.
    EXPECT_FALSE(c.server.DownloadChallenge("5"));
    EXPECT_FALSE(c.server.DownloadChallenge("6"));
    EXPECT_FALSE(c.server.DownloadChallenge("../6"));
    EXPECT_TRUE(user.Read("web/challenges/5.qlm").empty());
    EXPECT_TRUE(user.Read("web/challenges/6.qlm").empty());

    // No server at all: nothing is asked and nothing changes.
    LoopbackSocket closed(false);
    Client down(closed.Url(), user.Path());
    EXPECT_FALSE(down.server.GetChallengeList(list));
    EXPECT_EQ(user.Read("list.txt"), "##,1,kept\n");
    GHttpClient offline;
    SIM_Server none(&offline);
    EXPECT_FALSE(none.AddChallenge("all", "t", "m", ""));
    EXPECT_FALSE(none.GetChallengeList(list));
}
