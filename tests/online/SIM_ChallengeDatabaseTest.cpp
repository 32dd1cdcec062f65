// The local challenge list: its line format, the merge with the server's
// list, and that nothing a failed refresh brings costs the player the list.
#include "engine/GHttpClient.h"
#include "online/SIM_ChallengeDatabase.h"
#include "online/SIM_Server.h"
#include "support/LocalChallengeServer.h"

#include <gtest/gtest.h>

namespace {
std::string Line(const std::string& id, const std::string& sender, int beaten, int attempts, const std::string& date,
                 const std::string& parent = "")
{
    return "##," + id + "," + sender + ",all,\"taunt of " + id + "\",0," + std::to_string(beaten) + "," +
           std::to_string(attempts) + ",1.50,2.00,\"Arena\"," + date + ",\"federation\"," + parent + "\n";
}
} // namespace

TEST(SIM_ChallengeRecord, ALineReadsBackAsItWasWritten)
{
    SIM_ChallengeRecord r("##,17,Ann,Bob,\"hello, you\",1,3,120000,2.25,4.75,\"Deep Space\",209-3-7,\"federation\",12\r\n");
    EXPECT_EQ(r.id, "17");
    EXPECT_EQ(r.sender, "Ann");
    EXPECT_EQ(r.receiver, "Bob");
    EXPECT_EQ(r.taunt, "hello, you");
    EXPECT_TRUE(r.flag);
    EXPECT_EQ(r.timesBeaten, 3);
    EXPECT_EQ(r.attempts, 120000);
    EXPECT_FLOAT_EQ(r.difficulty, 2.25f);
    EXPECT_FLOAT_EQ(r.rating, 4.75f);
    EXPECT_EQ(r.map, "Deep Space");
    EXPECT_EQ(r.race, "federation");
    EXPECT_EQ(r.parentId, "12");
    EXPECT_EQ(r.localState, SIM_ChallengeRecord::kUnknown);
    EXPECT_EQ(std::make_tuple(r.year, r.month, r.day), std::make_tuple(9, 3, 7));
    EXPECT_EQ(r.ToLine(), "##,17,Ann,Bob,\"hello, you\",1,3,120000,2.25,4.75,\"Deep Space\",209-3-7,\"federation\",12\n");

    // The server writes the century and leading zeros; the date is the same.
    SIM_ChallengeRecord server(Line("1", "Ann", 0, 0, "2009-03-07"));
    EXPECT_EQ(std::make_tuple(server.year, server.month, server.day), std::make_tuple(9, 3, 7));
    // Nothing typed by a player can add a field or a line.
    SIM_ChallengeRecord typed;
    typed.id = "5";
    typed.sender = "a,b";
    typed.taunt = "say \"hi\"\n##,6,evil";
    SIM_ChallengeRecord back(typed.ToLine());
    EXPECT_EQ(back.sender, "a;b");
    EXPECT_EQ(back.taunt, "say 'hi''##,6,evil");
    EXPECT_EQ(back.id, "5");
}

TEST(SIM_ChallengeDatabase, TheMergeTakesCountsForKnownIdsAndAppendsNewOnes)
{
    TempDir dir;
    SIM_ChallengeDatabase db;
    db.SetFolder(dir.Path());
    dir.Write("challengelist.txt", Line("2", "Ann", 1, 4, "2009-1-2") + Line("5", "Cid", 0, 0, "2010-6-1"));
    db.Load();
    ASSERT_EQ(db.GetRecords().size(), 2u);

    // The server: new counts for 2 (with other texts), 5 gone, 8 new twice,
    // and lines that are no records (an error page).
    db.MergeText("<html><body>oops</body></html>\n" + Line("8", "Dan", 0, 1, "2011-2-2") +
                 "##,2,Zed,Zed,\"changed\",1,9,30,4.00,5.00,\"Other\",2012-12-12,\"\",\n" + "\n" +
                 Line("8", "Dan", 2, 7, "2011-2-2"));
    const auto& records = db.GetRecords();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0]->id, "2");
    EXPECT_EQ(records[0]->sender, "Ann") << "the local texts stay";
    EXPECT_EQ(records[0]->taunt, "taunt of 2");
    EXPECT_EQ(records[0]->year, 9);
    EXPECT_EQ(records[0]->timesBeaten, 9);
    EXPECT_EQ(records[0]->attempts, 30);
    EXPECT_TRUE(records[0]->flag);
    EXPECT_FLOAT_EQ(records[0]->difficulty, 4.0f);
    EXPECT_FLOAT_EQ(records[0]->rating, 5.0f);
    EXPECT_EQ(records[1]->id, "5") << "a challenge the server no longer lists stays";
    EXPECT_EQ(records[2]->id, "8");
    EXPECT_EQ(records[2]->attempts, 7) << "the second line of a new id updates the first";

    SIM_ChallengeDatabase reread;
    reread.SetFolder(dir.Path());
    reread.Load();
    ASSERT_EQ(reread.GetRecords().size(), 3u);
    EXPECT_EQ(reread.GetRecords()[0]->ToLine(), records[0]->ToLine());
    EXPECT_EQ(dir.Read("challengelist.txt").find("oops"), std::string::npos);
}

TEST(SIM_ChallengeDatabase, ARefreshWithoutAnAnswerKeepsTheList)
{
    TempDir dir;
    const std::string before = Line("2", "Ann", 1, 4, "2009-1-2");
    dir.Write("challengelist.txt", before);
    SIM_ChallengeDatabase db;
    db.SetFolder(dir.Path());

    LoopbackSocket closed(false);
    GHttpClient client;
    client.SetServerUrl(closed.Url());
    SIM_Server down(&client);
    EXPECT_FALSE(db.DownloadAndMerge(down));
    EXPECT_EQ(dir.Read("challengelist.txt"), before);
    EXPECT_EQ(db.GetRecords().size(), 1u);

    GHttpClient offline;
    SIM_Server none(&offline);
    EXPECT_FALSE(db.DownloadAndMerge(none));
    EXPECT_EQ(dir.Read("challengelist.txt"), before);

    // With the server up the list grows by what it holds.
    LocalChallengeServer local;
    ASSERT_TRUE(local.Start());
    GHttpClient http;
    http.SetServerUrl(local.Url());
    SIM_Server up(&http);
    up.SetIdentity("Eve", "9");
    ASSERT_TRUE(up.AddChallenge("all", "hi", "Arena", ""));
    EXPECT_TRUE(db.DownloadAndMerge(up));
    ASSERT_EQ(db.GetRecords().size(), 2u);
    EXPECT_EQ(db.GetRecords()[1]->sender, "Eve");
    EXPECT_EQ(dir.Read("challengelist.txt").find(SIM_ChallengeRecord(before).ToLine()), 0u);
}

TEST(SIM_ChallengeDatabase, DeletingNeedsTheServersYesAndTheRecord)
{
    LocalChallengeServer local;
    ASSERT_TRUE(local.Start());
    GHttpClient http;
    http.SetServerUrl(local.Url());
    SIM_Server eve(&http);
    eve.SetIdentity("Eve", "9");
    ASSERT_TRUE(eve.AddChallenge("all", "one", "Arena", ""));
    ASSERT_TRUE(eve.AddChallenge("all", "two", "Arena", ""));

    TempDir dir;
    SIM_ChallengeDatabase db;
    db.SetFolder(dir.Path());
    ASSERT_TRUE(db.DownloadAndMerge(eve));
    ASSERT_EQ(db.GetRecords().size(), 2u);

    GHttpClient http2;
    http2.SetServerUrl(local.Url());
    SIM_Server bob(&http2);
    bob.SetIdentity("Bob", "3");
    EXPECT_FALSE(db.DeleteChallenge(bob, "1")) << "only its sender or receiver may";
    EXPECT_EQ(db.GetRecords().size(), 2u);

    EXPECT_TRUE(db.DeleteChallenge(eve, "1"));
    ASSERT_EQ(db.GetRecords().size(), 1u);
    EXPECT_EQ(db.GetRecords()[0]->id, "2");
    EXPECT_EQ(dir.Read("challengelist.txt").find("##,1,"), std::string::npos);
    // The server agreed to delete 2 but the list has lost it meanwhile.
    db.Clear();
    dir.Write("challengelist.txt", "");
    EXPECT_FALSE(db.DeleteChallenge(eve, "2"));
}

TEST(SIM_ChallengeRecord, BeingOnDiskIsLookedAtOnceAndOnlyForPlainIds)
{
    TempDir dir;
    SIM_ChallengeRecord r(Line("4", "Ann", 0, 0, "2009-1-1"));
    EXPECT_FALSE(r.IsLocal(dir.Path()));
    dir.Write("4.qlm", "x");
    EXPECT_FALSE(r.IsLocal(dir.Path())) << "the first answer stays";
    EXPECT_TRUE(SIM_ChallengeRecord(Line("4", "Ann", 0, 0, "2009-1-1")).IsLocal(dir.Path()));
    dir.Write("x.qlm", "x");
    SIM_ChallengeRecord odd;
    odd.id = "../" + dir.Path().substr(dir.Path().rfind('/') + 1) + "/x";
    EXPECT_FALSE(odd.IsLocal(dir.Path()));
}
