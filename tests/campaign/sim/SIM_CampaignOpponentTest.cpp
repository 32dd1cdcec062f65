// Who the campaign's battles are fought against: the opponent log and its
// weights, the cost band, server lists and the shipped pool when no server
// answers, and the enemy fleets cached at planets between battles.
#include <gtest/gtest.h>

#include "CampaignTestWorld.h"

#include "campaign/sim/SIM_CampaignEnemiesDB.h"
#include "campaign/sim/SIM_CampaignOpponentChooser.h"
#include "campaign/sim/SIM_CampaignOpponentLog.h"
#include "engine/GSafeFile.h"
#include "sim/SIM_DeployedFleet.h"

#include <set>

namespace {

using Chooser = SIM_CampaignOpponentChooser;

class CampaignOpponents : public ::testing::Test {
protected:
    CampaignTestWorld world;
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    SIM_CampaignOpponentLog& log = SIM_CampaignOpponentLog::GetInstance();

    void SetUp() override
    {
        ASSERT_TRUE(progress.CreateNew("opp", "federation"));
        ASSERT_TRUE(progress.Load("opp"));
    }
    void TearDown() override { Chooser::SetListSource(nullptr); }

    static SIM_DeployedFleet TwoShips()
    {
        SIM_DeployedFleet fleet;
        for (int id : {4, 9}) {
            auto s = std::make_shared<SIM_DeployedShip>();
            s->design = id == 9 ? "fed_ai_interceptor" : "fed_ai_escort"; // 9 is a squadron of three
            s->shipId = id;
            s->quantity = id == 9 ? 3 : 1;
            EXPECT_TRUE(fleet.AddShip(s));
        }
        return fleet;
    }
};

TEST_F(CampaignOpponents, RecentOpponentsWeighLessAndTheLogSurvivesReloading)
{
    EXPECT_TRUE(log.GetRecords().empty());
    for (const char* id : {"first", "second", "third"})
        ASSERT_TRUE(log.Record(id));
    EXPECT_EQ(log.LastFought("first"), 0);
    EXPECT_FLOAT_EQ(log.WeightOf("first"), 16.0f);
    EXPECT_FLOAT_EQ(log.WeightOf("third"), 6.0f);
    EXPECT_FLOAT_EQ(log.WeightOf("never"), 100.0f);
    for (int i = 0; i < 30; ++i)
        log.Record("filler");
    EXPECT_FLOAT_EQ(log.WeightOf("first"), 100.0f); // 33 fights ago: capped

    // Loading a campaign (this one or another) reads its own log.
    ASSERT_TRUE(progress.Load("opp"));
    EXPECT_EQ(log.GetRecords().size(), 33u);
    EXPECT_EQ(log.LastFought("third"), 2);
    ASSERT_TRUE(progress.CreateNew("other", "federation"));
    ASSERT_TRUE(progress.Load("other"));
    EXPECT_TRUE(log.GetRecords().empty());
}

TEST_F(CampaignOpponents, CostBandsListsAndWeightedPicks)
{
    float lo = 0, hi = 0;
    Chooser::CostBand(4000.0f, lo, hi);
    EXPECT_FLOAT_EQ(lo, 2000.0f);
    EXPECT_FLOAT_EQ(hi, 3600.0f);
    Chooser::CostBand(1000.0f, lo, hi);
    EXPECT_FLOAT_EQ(lo, 500.0f);
    EXPECT_FLOAT_EQ(hi, 3000.0f);

    std::vector<Chooser::Candidate> list;
    Chooser::AddCandidates("no marker,skip,\"qlm_base\"\n"
                           "##,base_only,\"qlm_base\"\n"
                           "##,needs_pack,\"qlm_base,qlm_notinstalled\"\n"
                           "##,short_names,\"qlm_base,ab\"\n"
                           "##,../escape,\"qlm_base\"\n"
                           "##," + std::string(65, 'x') + ",\"qlm_base\"\n",
                           list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].id, "base_only");
    EXPECT_EQ(list[1].id, "short_names");
    EXPECT_FLOAT_EQ(list[0].weight, 100.0f);
    EXPECT_TRUE(Chooser::IsSafeChallengeId(std::string(64, 'a')));
    EXPECT_FALSE(Chooser::IsSafeChallengeId(""));

    // One candidate always wins; a heavy one wins most of the time.
    EXPECT_EQ(Chooser::PickOpponent({{"only", 6.0f}}), "only");
    EXPECT_EQ(Chooser::PickOpponent({}), "");
    int heavy = 0;
    for (int i = 0; i < 400; ++i)
        heavy += Chooser::PickOpponent({{"light", 6.0f}, {"heavy", 100.0f}}) == "heavy";
    EXPECT_GT(heavy, 330);
    EXPECT_LT(heavy, 400);
}

TEST_F(CampaignOpponents, ServerListFirstShippedPoolWhenTheServerFails)
{
    bool reused = true;
    float askedLo = 0, askedHi = 0;
    Chooser::SetListSource([&](const std::string& race, float lo, float hi, std::string& text) {
        EXPECT_EQ(race, "federation");
        askedLo = lo;
        askedHi = hi;
        text = "##,from_server,\"qlm_base\"\n";
        return true;
    });
    EXPECT_EQ(Chooser::ChooseOpponent(3, 4000.0f, reused), "from_server");
    EXPECT_FALSE(reused);
    EXPECT_FLOAT_EQ(askedLo, 2000.0f);
    EXPECT_FLOAT_EQ(askedHi, 3600.0f);

    // The server is down, or offers nothing usable: the pool's 2000..3600 band.
    for (bool answers : {false, true}) {
        Chooser::SetListSource([answers](const std::string&, float, float, std::string& text) {
            text = "##,needs_pack,\"qlm_notinstalled\"\n";
            return answers;
        });
        std::set<std::string> seen;
        for (int i = 0; i < 60; ++i)
            seen.insert(Chooser::ChooseOpponent(3, 4000.0f, reused));
        EXPECT_EQ(seen, (std::set<std::string>{"pool_fed_b1", "pool_fed_b2", "pool_fed_b3", "pool_kor_b1",
                                                "pool_kor_b2", "pool_kor_b3", "pool_fed_c1", "pool_kor_c1"}));
    }
    // A band the pool does not cover still finds an opponent.
    Chooser::SetListSource(nullptr);
    EXPECT_FALSE(Chooser::ChooseOpponent(3, 100000.0f, reused).empty());
}

TEST_F(CampaignOpponents, CachedFleetsAreReusedReplacedMendedAndSaved)
{
    SIM_CampaignEnemiesDB& db = progress.GetEnemiesDB();
    SIM_DeployedFleet fleet = TwoShips();
    ASSERT_TRUE(db.AddFleet(3, "first_fleet", fleet));
    ASSERT_TRUE(db.AddFleet(3, "second_fleet", fleet)); // replaces
    EXPECT_EQ(db.GetFleets().size(), 1u);
    bool reused = false;
    Chooser::SetListSource([](const std::string&, float, float, std::string&) {
        ADD_FAILURE() << "a cached fleet needs no server";
        return false;
    });
    EXPECT_EQ(Chooser::ChooseOpponent(3, 1000.0f, reused), "second_fleet");
    EXPECT_TRUE(reused);

    SIM_CampaignEnemyFleet* cached = db.Find(3);
    cached->RecordShipDestroyed(4);
    cached->RecordShipDamage(9, {{0.25f, 2, "frigate_engine"}, {1.0f, 3, "frigate_armour"}, {0.9f, 5, "x"}});
    EXPECT_EQ(cached->FindShip(4)->quantity, 0);
    ASSERT_EQ(cached->FindShip(9)->damage.size(), 2u); // whole modules are not recorded

    // Caelum (id 3) has a repair yard: the high rate; elsewhere the low one.
    CampaignTestWorld::SetOptions("ai_repair_high_rate = 0.5\nai_repair_low_rate = 0.05\n");
    db.TurnStep();
    EXPECT_FLOAT_EQ(cached->FindShip(9)->damage[0].integrity, 0.75f);
    EXPECT_FLOAT_EQ(cached->FindShip(9)->damage[1].integrity, 1.0f);
    ASSERT_TRUE(db.AddFleet(2, "beskar_fleet", fleet)); // Beskar: no yard
    db.Find(2)->RecordShipDamage(4, {{0.5f, 1, "frigate_engine"}});
    db.TurnStep();
    EXPECT_FLOAT_EQ(db.Find(2)->FindShip(4)->damage[0].integrity, 0.55f);

    ASSERT_TRUE(progress.Save());
    std::string text;
    ASSERT_TRUE(ReadWholeFile(progress.GetSaveFolder() + "/enemyfleets/3.ini", text));
    EXPECT_EQ(text, "[config]\nqlmid = second_fleet\nencounterid = 3\n"
                    "\n[ship_4,]\nshipid = 4\nquantity = 0\n"
                    "\n[ship_9,]\nshipid = 9\nquantity = 3\n0 = 2,frigate_engine,1.00,\n1 = 5,x,1.00,\n");
    db.ClearEntry(2);
    ASSERT_TRUE(progress.Save());
    EXPECT_FALSE(FileExists(progress.GetSaveFolder() + "/enemyfleets/2.ini"));
    ASSERT_TRUE(progress.Load("opp"));
    ASSERT_EQ(progress.GetEnemiesDB().GetFleets().size(), 1u);
    EXPECT_EQ(progress.GetEnemiesDB().Find(3)->WriteText(), text);

    SIM_CampaignEnemyFleet odd;
    odd.ReadText("[config]\nqlmid = q\nencounterid = 5\n\n[anything]\nshipid = 2\nquantity = 1\n");
    ASSERT_EQ(odd.ships.size(), 1u);
    EXPECT_TRUE(odd.ships[0].damage.empty());
}

} // namespace
