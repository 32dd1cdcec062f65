// The player's messages against the game's own server: what a download asks
// for and merges, what the seen-messages file keeps between runs, and what
// delete and block do here and on the server.
#include "engine/GFileHelpers.h"
#include "engine/GHttpClient.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"
#include "online/OnlineJob.h"
#include "online/SIM_OnlineMessageManager.h"
#include "online/SIM_Server.h"
#include "support/ErrorLog.h"
#include "support/LocalChallengeServer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
std::string Msg(int id, const std::string& to, const std::string& from, const std::string& text)
{
    return "##," + std::to_string(id) + ",2026-12-0" + std::to_string(id % 9 + 1) + "," + to + "," + from + ",\"" +
           text + "\"\n";
}

class OnlineMessages : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(local.Start());
        GetInternet().SetServerUrl(local.Url());
        SIM_Server::GetInstance().SetUserFolder(user.Path());
        SIM_Server::GetInstance().SetIdentity("Ann", "42");
    }
    void TearDown() override
    {
        OnlineJob::JoinAll();
        GetInternet().SetServerUrl("");
        SIM_Server::GetInstance().SetIdentity("", "");
        SIM_Server::GetInstance().SetUserFolder("");
    }
    std::string SeenPath() const { return user.File("web/oldmessages.txt"); }
    // A whole download: the request beside the frame, the merge on this thread.
    static bool Download(SIM_OnlineMessageManager& m)
    {
        if (!m.StartDownload())
            return false;
        OnlineJob::JoinAll();
        return m.Poll();
    }
    int Count(const std::string& prefix) const
    {
        const auto r = local.challenges.GetRequests();
        return static_cast<int>(
            std::count_if(r.begin(), r.end(), [&](const std::string& s) { return s.rfind(prefix, 0) == 0; }));
    }
    static std::vector<int> Ids(const SIM_OnlineMessageManager& m)
    {
        std::vector<int> ids;
        for (const auto* r : m.GetAll())
            ids.push_back(r->id);
        return ids;
    }

    LocalChallengeServer local;
    TempDir user;
};
} // namespace

TEST_F(OnlineMessages, DownloadsAfterTheHighestSeenIdAndMergesById)
{
    // Seen in an earlier run, out of order; a comma inside a quoted text.
    user.Write("web/oldmessages.txt", Msg(3, "Ann", "Bob", "hi") + Msg(7, "Ann", "Cid", "one, two") +
                                          Msg(5, "Ann", "Bob", "yo") + "not a message line\n");
    WriteFileAtomically(local.DataFile("messages.txt"), Msg(7, "Ann", "Cid", "one, two") +
                                                            Msg(8, "Ann", "Dan", "new, with 'quotes'") +
                                                            Msg(9, "Bob", "Dan", "not for Ann") +
                                                            Msg(10, "Ann", "Bob", "later"));
    SIM_OnlineMessageManager m(SeenPath());
    EXPECT_EQ(m.GetHighestId(), 7);
    EXPECT_TRUE(m.GetAll().empty()) << "the inbox list waits for a download";

    ASSERT_TRUE(Download(m));
    EXPECT_EQ(Count("GET /quillomar/server/getmymessages.php?&username=Ann&id=42&lastmessageid=7"), 1);
    EXPECT_EQ(Ids(m), (std::vector<int>{3, 7, 5, 8, 10})) << "seen first in file order, then the new ones";
    EXPECT_EQ(m.GetNewCount(), 2);
    EXPECT_EQ(m.GetHighestId(), 10);
    EXPECT_EQ(m.GetAll()[3]->text, "new, with 'quotes'");
    EXPECT_EQ(m.GetAll()[3]->sender, "Dan");
    EXPECT_EQ(m.GetAll()[3]->field3, "Ann");

    // A message already held is not taken twice; the last batch becomes seen.
    m.MergeDownload(Msg(10, "Ann", "Bob", "later") + Msg(11, "Ann", "Eve", "x") + "##garbage\n");
    EXPECT_EQ(Ids(m), (std::vector<int>{3, 7, 5, 8, 10, 11, 0}));
    EXPECT_EQ(m.GetNewCount(), 2) << "id 11 and the id-less line";
    m.MergeDownload("");
    EXPECT_EQ(m.GetNewCount(), 0) << "a download with no ## lines brings nothing new";

    // The seen file keeps every field, commas included, for the next run.
    SIM_OnlineMessageManager next(SeenPath());
    ASSERT_TRUE(Download(next));
    EXPECT_EQ(Ids(next), (std::vector<int>{3, 7, 5, 8, 10, 11, 0}));
    EXPECT_EQ(next.GetAll()[1]->text, "one, two");
    EXPECT_EQ(next.GetAll()[1]->date, m.GetAll()[1]->date);
    EXPECT_EQ(Count("GET /quillomar/server/getmymessages.php?&username=Ann&id=42&lastmessageid=11"), 1);
}

TEST_F(OnlineMessages, DeleteAndBlockActHereAtOnceAndTellTheServer)
{
    WriteFileAtomically(local.DataFile("messages.txt"),
                        Msg(1, "Ann", "Bob", "a") + Msg(2, "Ann", "Cid", "b") + Msg(3, "Ann", "Bob", "c") +
                            Msg(4, "Ann", "bob", "other case") + Msg(5, "Ann", "Bob", "d"));
    SIM_OnlineMessageManager m(SeenPath());
    ASSERT_TRUE(Download(m));
    ASSERT_EQ(m.GetNewCount(), 5);

    m.DeleteMessage(m.GetAll()[1]);
    EXPECT_EQ(m.GetNewCount(), 4);
    EXPECT_EQ(Ids(m), (std::vector<int>{1, 3, 4, 5}));
    m.BlockSender(m.GetAll()[0]);
    EXPECT_EQ(Ids(m), (std::vector<int>{4})) << "every message of Bob goes; bob is someone else";
    OnlineJob::JoinAll();
    EXPECT_EQ(Count("GET /quillomar/server/deletemessage.php?&user=Ann&id=42&msgid=2"), 1);
    EXPECT_EQ(Count("GET /quillomar/server/deletemessage.php"), 1) << "blocking deletes nothing on the server";
    EXPECT_EQ(Count("GET /quillomar/server/blockmessage.php?&user=Ann&id=42&blockuser=Bob"), 1);

    // The server keeps both: Cid's message is gone and Bob's new ones stay away.
    SIM_Server::GetInstance().SetIdentity("Bob", "7");
    ASSERT_TRUE(SIM_Server::GetInstance().SendMessage("Ann", "again"));
    SIM_Server::GetInstance().SetIdentity("Ann", "42");
    SIM_OnlineMessageManager fresh(user.File("other.txt"));
    ASSERT_TRUE(Download(fresh));
    EXPECT_EQ(Ids(fresh), (std::vector<int>{4})) << "2 deleted; Bob's old and new messages blocked";
    SIM_OnlineMessageManager reread(SeenPath());
    EXPECT_EQ(reread.GetHighestId(), 4) << "the seen file holds what the inbox held";
}

TEST_F(OnlineMessages, TheSeenFileChangesOnlyAfterADownloadAndKeepsADeleteOfTheLastMessage)
{
    const std::string old = Msg(4, "Ann", "Bob", "old");
    user.Write("web/oldmessages.txt", old);
    {
        SIM_OnlineMessageManager m(SeenPath());
        EXPECT_FALSE(m.SaveSeenMessages());
        GetInternet().SetServerUrl("");
        EXPECT_FALSE(m.StartDownload()) << "without a server the answer is at once";
        EXPECT_FALSE(m.IsDownloading());
        EXPECT_EQ(m.GetHighestId(), 4);
    }
    EXPECT_EQ(user.Read("web/oldmessages.txt"), old) << "a run without a download leaves the file alone";

    GetInternet().SetServerUrl(local.Url());
    SIM_OnlineMessageManager m(SeenPath());
    ASSERT_TRUE(Download(m));
    ASSERT_EQ(m.GetAll().size(), 1u);
    m.DeleteMessage(m.GetAll()[0]);
    EXPECT_TRUE(m.GetAll().empty());
    EXPECT_EQ(user.Read("web/oldmessages.txt"), "") << "a deleted message does not come back next run";
}

TEST_F(OnlineMessages, TheStoredListKeepsTheNewestThousandAndAsksOnlyAfterTheHighest)
{
    const size_t kMax = SIM_OnlineMessageManager::kMaxStored;
    // A seen file from before the bound: 3,000 messages.
    std::string text;
    for (int id = 1; id <= 3000; ++id)
        text += Msg(id, "Ann", "Bob", "old " + std::to_string(id));
    EnsureDirectoryExists(user.File("web"));
    ASSERT_TRUE(WriteFileAtomically(SeenPath(), text));
    SIM_OnlineMessageManager m(SeenPath());
    EXPECT_EQ(m.GetHighestId(), 3000);

    // A merge of 10 more (and one already held): 1,000 kept, the newest.
    std::string more;
    for (int id = 3001; id <= 3010; ++id)
        more += Msg(id, "Ann", "Cid", "new");
    m.MergeDownload(more + Msg(3000, "Ann", "Bob", "again"));
    ASSERT_EQ(m.GetAll().size(), kMax);
    EXPECT_EQ(m.GetAll().front()->id, 3011 - static_cast<int>(kMax));
    EXPECT_EQ(m.GetAll().back()->id, 3010);
    EXPECT_EQ(m.GetNewCount(), 10);
    EXPECT_EQ(m.GetHighestId(), 3010);
    // What is written is what is kept, and reads back the same.
    SIM_OnlineMessageManager again(SeenPath());
    again.MergeDownload("");
    ASSERT_EQ(again.GetAll().size(), kMax);
    EXPECT_EQ(again.GetAll().front()->id, 3011 - static_cast<int>(kMax));
    // One answer of more than the bound brings only its last thousand.
    std::string flood;
    for (int id = 5001; id <= 5000 + static_cast<int>(kMax) + 5; ++id)
        flood += Msg(id, "Ann", "Dan", "x");
    EXPECT_EQ(SIM_OnlineMessageManager::ParseLines(flood).size(), kMax);
    EXPECT_EQ(SIM_OnlineMessageManager::ParseLines(flood).front()->id, 5006);
}

// A file past what a thousand of the longest lines take keeps its newest
// lines and says how much of the older ones went.
TEST_F(OnlineMessages, ASeenFilePastItsBoundKeepsItsNewestLines)
{
    EnsureDirectoryExists(user.File("web"));
    std::string text;
    for (int id = 1; id <= 1100; ++id)
        text += Msg(id, "Ann", "Bob", std::string(2000, 'x'));
    ASSERT_GT(text.size(), SIM_OnlineMessageManager::kMaxStored * SIM_OnlineMessageManager::kMaxLine);
    ASSERT_TRUE(WriteFileAtomically(SeenPath(), text));
    ScopedErrorLog log;
    SIM_OnlineMessageManager m(SeenPath());
    EXPECT_EQ(m.GetHighestId(), 1100);
    EXPECT_EQ(log.Count(SeenPath() + ": "), 1) << log.Text();
    EXPECT_EQ(log.Count("bytes of older lines before the last"), 1) << log.Text();
}

TEST_F(OnlineMessages, ASeenFileCutOrWithLinesTooLongIsToldOnceWithItsFile)
{
    EnsureDirectoryExists(user.File("web"));
    const std::string whole = Msg(1, "Ann", "Bob", "Hello");
    // The text that makes a message line kMaxLine characters long.
    const size_t kLongest = SIM_OnlineMessageManager::kMaxLine - (Msg(2, "Ann", "Bob", "").size() - 1);
    struct Case {
        std::string text;
        std::string told; // after the file's path
        int highest; // of the messages kept
    };
    const Case cases[] = {
        // Cut after a quote of its last text: no line end.
        {whole + Msg(2, "Ann", "Bob", "Hi").substr(0, 30) + "\"", ": 1 lines damaged or cut off, read as they stand", 2},
        // A message line of exactly the most a line may hold is read.
        {whole + Msg(2, "Ann", "Bob", std::string(kLongest, 'x')), ": 0 lines longer than 2048 characters left out",
         2},
        {whole + Msg(2, "Ann", "Bob", std::string(kLongest + 1, 'x')),
         ": 1 lines longer than 2048 characters left out", 1},
        // One line of 10 MB goes alone: the message before it is kept.
        {whole + "##," + std::string(10u << 20, 'x') + "\n" + Msg(3, "Ann", "Bob", "After"),
         ": 1 lines longer than 2048 characters left out", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.told);
        ASSERT_TRUE(WriteFileAtomically(SeenPath(), c.text));
        ScopedErrorLog log;
        SIM_OnlineMessageManager m(SeenPath());
        EXPECT_EQ(m.GetHighestId(), c.highest);
        const bool none = c.told.find(": 0 lines") == 0;
        EXPECT_EQ(log.Count(SeenPath() + c.told), none ? 0 : 1) << log.Text();
        EXPECT_EQ(log.Lines(), none ? 0 : 1) << log.Text();
    }
}
