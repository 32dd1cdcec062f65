// A scripted campaign of several turns, against a loopback game server and
// with no server at all: attacks both ways, opponents prepared from
// challenges, won, lost and retreated results, captures, and the save on
// disk after every step.
#include <gtest/gtest.h>

#include "CampaignTestWorld.h"
#include "support/ErrorLog.h"
#include "support/LocalChallengeServer.h"
#include "support/LoopbackHttpServer.h"

#include "campaign/sim/SIM_CampaignAIManager.h"
#include "campaign/sim/SIM_CampaignBattleBridge.h"
#include "campaign/sim/SIM_CampaignBattleOutcome.h"
#include "campaign/sim/SIM_CampaignBattlePreparation.h"
#include "campaign/sim/SIM_CampaignCaptureManager.h"
#include "campaign/sim/SIM_CampaignEnemiesDB.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignOpponentChooser.h"
#include "campaign/sim/SIM_CampaignOpponentLog.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "engine/APP_ContentPackage.h"
#include "engine/GDebugLog.h"
#include "engine/GFileList.h"
#include "engine/GHttpClient.h"
#include "engine/GRandom.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"
#include "online/SIM_Server.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_ChallengeFile.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_HeadlessBattle.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_EngineModule.h"

#include <atomic>
#include <filesystem>
#include <mutex>
#include <tuple>

namespace {

class CampaignScript : public ::testing::Test {
protected:
    CampaignTestWorld world;
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    SIM_CampaignBattleManager& bm = SIM_CampaignBattleManager::GetInstance();
    std::unique_ptr<SIM_HeadlessBattle> headless;

    void SetUp() override
    {
        // Opponent picks draw from the shared generator: start each test on
        // the same draws whatever ran before.
        QlmSrand(7);
        // The shipped opponents are built beside the game.
        SetCampaignDataFolder(std::string(QLM_GAME_DIR) + "/campaign/data");
        CampaignTestWorld::SetOptions("newgame_credits = 6000\nfutile_attacks_threshold = 0\n"
                                      "no_attack_window = 1000\nno_random_attack_window = 1000\n");
        GetInternet().SetServerUrl("");
        ASSERT_TRUE(progress.CreateNew("story", "federation"));
        ASSERT_TRUE(progress.Load("story"));
    }
    void TearDown() override
    {
        // Ships hold their designs: they go before a battle's content does.
        progress.Reset("federation");
        headless.reset();
        GetInternet().SetServerUrl("");
        SIM_CampaignOpponentChooser::SetListSource(nullptr);
        bm.Clear();
        SetCampaignDataFolder("campaign/data");
    }

    SIM_CampaignFleet* Fleet(SIM_CampaignEncounter* at, int ships, const char* design = "fed_ai_escort")
    {
        auto* f = new SIM_CampaignFleet();
        for (int i = 0; i < ships; ++i) {
            auto* s = new SIM_CampaignShip();
            s->SetDesign(SIM_ShipDesign::Find(design));
            s->id = SIM_CampaignShip::GetNextFreeID();
            s->InitModuleStates();
            s->RecalculateIntegrity();
            f->AddShip(s);
        }
        progress.AddFleet(f);
        f->ChooseRandomName();
        f->SetLocation(at);
        return f;
    }
    // What the campaign map does when the player sends a fleet.
    void Send(SIM_CampaignFleet* f, SIM_CampaignEncounter* to)
    {
        f->MarkMoved();
        SIM_CampaignEncounter* from = f->location;
        f->SetLocation(to);
        f->LogWarp(from, to);
        if (to->territory != SIM_CampaignEncounter::PLAYER) {
            f->origin = from;
            bm.AddPlayerAttack(to, f);
        }
    }
    // The fleet sent against the planet, the battle prepared from a shipped
    // opponent and started headless (seed 7); false when a step failed.
    bool StartBattle(SIM_CampaignFleet* f, SIM_CampaignEncounter* at, SIM_DeployedFleet& player)
    {
        Send(f, at);
        if (!bm.BeginBattle(at))
            return false;
        SIM_Scenario challenge{SIM_Scenario::Unlisted{}};
        SIM_CampaignBattlePreparation prep;
        if (!prep.Prepare(challenge))
            return false;
        SIM_DeployedFleet enemy;
        SIM_CampaignBattleBridge::BuildPlayerDeployment(*bm.GetCurrent(), *at, player);
        enemy.CopyFrom(*SIM_ChallengeFile::GetInstance().GetFleetRead());
        return headless->StartCustom(at, player, enemy, 7);
    }
    std::string ChallengeBytes()
    {
        SIM_DeployedFleet fleet;
        for (int id : {1, 2}) {
            auto s = std::make_shared<SIM_DeployedShip>();
            s->design = "kor_ai_escort";
            s->name = "Raider";
            s->shipId = id;
            s->x = 400.0f;
            s->y = 300.0f * static_cast<float>(id);
            EXPECT_TRUE(fleet.AddShip(s));
        }
        SIM_Scenario scenario{SIM_Scenario::Unlisted{}};
        scenario.SetName("server_map");
        scenario.SetMapSize(2400.0f, 1800.0f);
        scenario.SetPlayerDeployment({100, 200, 700, 1600});
        SIM_ChallengeFile writer;
        for (const auto& p : APP_ContentPackage::GetInstance().GetPackages())
            writer.LeaveOutPackage(p.name);
        return writer.WriteToBytes(fleet, "_none_", "_none_", "rival", scenario);
    }
    static SIM_BattleShipResult Ship(int id, bool destroyed, const char* design)
    {
        SIM_BattleShipResult r;
        r.shipId = id;
        r.destroyed = destroyed;
        r.design = design;
        r.name = "Prize";
        r.modules.push_back({0, "frigate_engine", destroyed ? 0.0f : 0.7f, 50.0f, 20.0f, 10.0f});
        return r;
    }
    int SavedTurn()
    {
        GIniFile saved;
        saved.Load("config", (progress.GetSaveFolder() + "/progress.txt").c_str());
        return saved.GetInt("turn");
    }
};

TEST_F(CampaignScript, ThreeTurnsAgainstTheServer)
{
    LoopbackHttpServer server;
    const std::string challenge = ChallengeBytes();
    ASSERT_FALSE(challenge.empty());
    std::atomic<int> lists{0}, downloads{0};
    std::string askedRace;
    server.server.Get("/quillomar/server/qlm_campaign_getopponentlist.php",
                      [&](const httplib::Request& req, httplib::Response& res) {
                          ++lists;
                          askedRace = req.get_param_value("playerrace");
                          res.set_content("##,srv_one,\"qlm_base\"\n", "text/plain");
                      });
    server.server.Get("/quillomar/server/challenges/srv_one.qlm", [&](const httplib::Request&, httplib::Response& res) {
        ++downloads;
        res.set_content(challenge, "application/octet-stream");
    });
    ASSERT_TRUE(server.Start());
    GetInternet().SetServerUrl(server.Url());

    SIM_CampaignEncounter* aldra = world.Planet("Aldra");
    SIM_CampaignEncounter* beskar = world.Planet("Beskar");
    SIM_CampaignFleet* first = Fleet(aldra, 2);
    ASSERT_TRUE(progress.Save());

    // Turn 1: the player attacks Beskar and wins, taking a prize.
    Send(first, beskar);
    progress.NextTurn();
    EXPECT_EQ(SavedTurn(), 1);
    ASSERT_EQ(bm.GetPending().size(), 1u);
    ASSERT_TRUE(bm.BeginBattle(beskar));
    SIM_Scenario battle{SIM_Scenario::Unlisted{}};
    SIM_CampaignBattlePreparation prep;
    ASSERT_TRUE(prep.Prepare(battle));
    EXPECT_EQ(lists.load(), 1);
    EXPECT_EQ(downloads.load(), 1);
    EXPECT_EQ(askedRace, "federation");
    EXPECT_EQ(beskar->opponentName, "srv_one");
    EXPECT_EQ(battle.GetChallengeId(), "srv_one");
    EXPECT_EQ(progress.GetStats().Find("battles_fought")->count, 1);
    EXPECT_GE(battle.GetMapSizeX(), 2000.0f);
    ASSERT_TRUE(bm.GetCurrent()->enemyFleet);
    EXPECT_EQ(SIM_CampaignOpponentLog::GetInstance().LastFought("srv_one"), 0);
    SIM_CampaignBattleOutcome won;
    won.playerShips = {Ship(first->GetShips()[0]->id, false, "fed_ai_escort")};
    won.enemyShips = {Ship(1, true, "srv_one_kor_ai_escort"), Ship(2, false, "srv_one_kor_ai_escort")};
    bm.ApplyBattleResult(true, won);
    ASSERT_TRUE(SIM_CampaignCaptureManager::GetInstance().HasWaiting());
    SIM_CampaignCaptureManager::GetInstance().AddCapturedShipToFleet();
    EXPECT_EQ(first->GetShips().size(), 3u);
    EXPECT_EQ(beskar->territory, SIM_CampaignEncounter::PLAYER);
    ASSERT_TRUE(progress.Load("story")); // what is on disk is what we have
    first = progress.GetFleets()[0];
    EXPECT_EQ(first->GetShips().size(), 3u);
    EXPECT_EQ(first->location, beskar);

    // Turn 2: the AI strikes back at Beskar and wins.
    CampaignTestWorld::SetOptions("futile_attacks_threshold = 0\nenemy_attack_chance_multiplier = 100\n"
                                  "threat_rise_per_turn = 1\nno_attack_window = 0\nno_random_attack_window = 1000\n");
    beskar->ai->threat.value = 1.0f;
    for (SIM_CampaignEncounter* e : world.campaign->GetEncounters())
        if (e != beskar)
            e->ai->freezeTurns = 5; // only Beskar is attacked
    beskar->ai->freezeTurns = 0;
    progress.NextTurn();
    EXPECT_EQ(SavedTurn(), 2);
    ASSERT_EQ(bm.GetPending().size(), 1u);
    EXPECT_EQ(bm.GetPending()[0]->kind, SIM_PendingBattle::AI_ATTACK);
    ASSERT_TRUE(bm.BeginBattle(beskar));
    ASSERT_TRUE(prep.Prepare(battle));
    EXPECT_EQ(downloads.load(), 1); // the file is already here
    SIM_CampaignBattleOutcome lost;
    lost.enemyShips = {Ship(1, false, "srv_one_kor_ai_escort"), Ship(2, true, "srv_one_kor_ai_escort")};
    bm.ApplyBattleResult(false, lost);
    EXPECT_TRUE(progress.GetFleets().empty());
    EXPECT_EQ(beskar->territory, SIM_CampaignEncounter::ENEMY);
    ASSERT_TRUE(progress.GetEnemiesDB().Find(beskar->encounterId));

    // Turn 3: a new fleet attacks Beskar, meets the same weakened fleet, retreats.
    CampaignTestWorld::SetOptions("futile_attacks_threshold = 0\nno_attack_window = 1000\n"
                                  "no_random_attack_window = 1000\n");
    SIM_CampaignFleet* second = Fleet(aldra, 1);
    Send(second, beskar);
    progress.NextTurn();
    EXPECT_EQ(SavedTurn(), 3);
    ASSERT_TRUE(bm.BeginBattle(beskar));
    ASSERT_TRUE(prep.Prepare(battle));
    EXPECT_TRUE(bm.GetCurrent()->reusedFleet);
    EXPECT_EQ(bm.GetCurrent()->enemyFleet->FindShip(2)->quantity, 0);
    EXPECT_EQ(lists.load(), 2);
    bm.ApplyPlayerRetreat(SIM_CampaignBattleOutcome{});
    EXPECT_EQ(second->location, aldra);
    ASSERT_TRUE(progress.Load("story"));
    ASSERT_EQ(progress.GetFleets().size(), 1u);
    EXPECT_EQ(progress.GetFleets()[0]->location, aldra);
    EXPECT_EQ(progress.GetStats().Find("fleets_retreated")->count, 1);
    EXPECT_EQ(progress.GetStats().Find("battles_won")->count, 1);
    EXPECT_EQ(progress.GetStats().Find("battles_lost")->count, 1);
    EXPECT_EQ(progress.turn, 3);
}

TEST_F(CampaignScript, WithoutAServerTheShippedOpponentsAreFought)
{
    // Once with no server configured, once with one that is down.
    LoopbackSocket closed(false);
    for (const std::string& url : {std::string(), "http://127.0.0.1:" + std::to_string(closed.Port())}) {
        GetInternet().SetServerUrl(url);
        SIM_CampaignEncounter* beskar = world.Planet("Beskar");
        beskar->territory = SIM_CampaignEncounter::UNKNOWN;
        progress.GetEnemiesDB().Clear();
        SIM_CampaignFleet* f = Fleet(world.Planet("Aldra"), 2);
        Send(f, beskar);
        ASSERT_TRUE(bm.BeginBattle(beskar));
        SIM_Scenario battle{SIM_Scenario::Unlisted{}};
        SIM_CampaignBattlePreparation prep;
        ASSERT_TRUE(prep.Prepare(battle)) << url;
        EXPECT_EQ(beskar->opponentName.compare(0, 5, "pool_"), 0) << beskar->opponentName;
        ASSERT_TRUE(bm.GetCurrent()->enemyFleet);
        EXPECT_FALSE(bm.GetCurrent()->enemyFleet->ships.empty());
        bm.ApplyBattleResult(true, SIM_CampaignBattleOutcome{});
        EXPECT_EQ(beskar->territory, SIM_CampaignEncounter::PLAYER);
    }
}

TEST_F(CampaignScript, ABattleLeftUnfoughtMeetsTheSameOpponentAfterEveryReload)
{
    // Offline: every preparation would draw from the shipped pool.
    SIM_CampaignEncounter* beskar = world.Planet("Beskar");
    SIM_CampaignFleet* f = Fleet(world.Planet("Aldra"), 2);
    Send(f, beskar);
    ASSERT_TRUE(bm.BeginBattle(beskar));
    SIM_Scenario battle{SIM_Scenario::Unlisted{}};
    SIM_CampaignBattlePreparation prep;
    ASSERT_TRUE(prep.Prepare(battle));
    const std::string drawn = bm.GetCurrent()->opponent;
    ASSERT_EQ(drawn.compare(0, 5, "pool_"), 0) << drawn;
    // On disk from the moment it was drawn, beside the attack it belongs to.
    GIniFile attacks;
    attacks.Load("attacks", (progress.GetSaveFolder() + "/progress.txt").c_str());
    EXPECT_EQ(attacks.GetString("0"), StrFormat("%d,%d,%d,%s", beskar->encounterId, f->id,
                                                world.Planet("Aldra")->encounterId, drawn.c_str()));

    // The game closed and the save loaded again, and again: other draws
    // would meet other pool fleets, the battle meets its own, counted once.
    for (unsigned seed : {3u, 11u, 29u, 57u, 101u}) {
        ASSERT_TRUE(progress.Load("story"));
        ASSERT_EQ(bm.GetPending().size(), 1u);
        EXPECT_EQ(bm.GetPending()[0]->opponent, drawn);
        QlmSrand(seed);
        ASSERT_TRUE(bm.BeginBattle(beskar));
        ASSERT_TRUE(prep.Prepare(battle));
        EXPECT_EQ(battle.GetChallengeId(), drawn) << "seed " << seed;
        ASSERT_TRUE(bm.GetCurrent()->enemyFleet);
        EXPECT_EQ(bm.GetCurrent()->enemyFleet->GetChallengeID(), drawn);
        EXPECT_EQ(progress.GetStats().Find("battles_fought")->count, 1);
        EXPECT_EQ(SIM_CampaignOpponentLog::GetInstance().GetRecords().size(), 1u);
    }

    // Kept without the planet's cached fleet (another battle cleared it):
    // still that opponent, now cached again.
    const std::string other = drawn == "pool_fed_a2" ? "pool_fed_a3" : "pool_fed_a2";
    for (unsigned seed : {5u, 23u, 77u}) {
        ASSERT_TRUE(progress.Load("story"));
        progress.GetEnemiesDB().ClearEntry(beskar->encounterId);
        bm.GetPending()[0]->opponent = other;
        QlmSrand(seed);
        ASSERT_TRUE(bm.BeginBattle(beskar));
        ASSERT_TRUE(prep.Prepare(battle));
        EXPECT_EQ(battle.GetChallengeId(), other) << "seed " << seed;
        EXPECT_FALSE(bm.GetCurrent()->reusedFleet);
        EXPECT_EQ(progress.GetEnemiesDB().Find(beskar->encounterId)->GetChallengeID(), other);
    }

    // A kept name that could not name a file is told and drawn anew.
    std::string text;
    ASSERT_TRUE(ReadWholeFile(progress.GetSaveFolder() + "/progress.txt", text));
    ReplaceSubstring(text, "," + other, ",../escape");
    ASSERT_TRUE(WriteFileAtomically(progress.GetSaveFolder() + "/progress.txt", text));
    ScopedErrorLog errors;
    ASSERT_TRUE(progress.Load("story"));
    ASSERT_EQ(bm.GetPending().size(), 1u);
    EXPECT_TRUE(bm.GetPending()[0]->opponent.empty());
    EXPECT_EQ(errors.Count("progress.txt [attacks] 0: the battle's opponent is no challenge id"), 1);
}

TEST_F(CampaignScript, HeadlessBattlesAreFoughtAndTheirResultsCarriedBack)
{
    // The battle reloads the content: it comes first.
    headless = std::make_unique<SIM_HeadlessBattle>(world.User().Path());
    SIM_CampaignEncounter* beskar = world.Planet("Beskar");
    // A lone escort loses; a line of battlecruisers wins.
    for (const auto& [count, design, expected] :
         {std::tuple<int, const char*, const char*>{1, "fed_ai_escort", "lost"},
          std::tuple<int, const char*, const char*>{6, "fed_ai_battlecruiser", "won"}}) {
        beskar->territory = SIM_CampaignEncounter::UNKNOWN;
        SIM_CampaignFleet* f = Fleet(world.Planet("Aldra"), count, design);
        // An old wound: the first ship's first module is half gone.
        SIM_CampaignShip* wounded = f->GetShips()[0];
        SIM_CampaignModuleState& hurt = *wounded->modules[0];
        hurt.damage.push_back({"DMG_FUEL_LEAK", hurt.GetHitPoints() * 0.5f, 40});
        wounded->RecalculateIntegrity();
        SIM_DeployedFleet player;
        ASSERT_TRUE(StartBattle(f, beskar, player));
        ASSERT_EQ(player.GetShips().size(), static_cast<size_t>(count));
        SIM_CampaignBattleBridge::ApplyStoredDamage(*bm.GetCurrent());
        const SIM_CampaignBattleOutcome start = SIM_CampaignBattleBridge::CollectOutcome();
        ASSERT_EQ(start.playerShips.size(), static_cast<size_t>(count));
        EXPECT_EQ(start.playerShips[0].shipId, wounded->id);
        const SIM_BattleModuleResult* module = nullptr;
        for (const auto& m : start.playerShips[0].modules)
            if (m.slot == hurt.slot && !module)
                module = &m;
        ASSERT_TRUE(module);
        EXPECT_EQ(module->typeName, hurt.moduleTypeName);
        EXPECT_LT(module->integrity, 1.0f); // the hull's bonus may leave it above half
        EXPECT_GT(module->integrity, 0.4f);

        ASSERT_TRUE(headless->Run(16.67f, 600000.0f));
        const std::string result = SIM_HeadlessBattle::OutcomeName();
        ASSERT_EQ(result, expected);
        const SIM_CampaignBattleOutcome outcome = SIM_CampaignBattleBridge::CollectOutcome();
        int survivors = 0;
        for (const auto& r : outcome.playerShips)
            survivors += r.destroyed ? 0 : 1;
        bm.ApplyBattleResult(result == "won", outcome);
        SIM_Battle::GetInstance().Clear();
        if (result == "won") {
            EXPECT_EQ(beskar->territory, SIM_CampaignEncounter::PLAYER);
            EXPECT_EQ(f->GetShips().size(), static_cast<size_t>(survivors));
            EXPECT_EQ(f->GetShips()[0]->log->GetEntries().back().kind, SIM_CampaignShipsLog::BATTLE);
            const size_t captured = SIM_CampaignCaptureManager::GetInstance().GetWaiting().size();
            SIM_CampaignCaptureManager::GetInstance().AddCapturedShipToFleet();
            EXPECT_EQ(f->GetShips().size(), static_cast<size_t>(survivors) + captured);
        } else {
            EXPECT_EQ(beskar->territory, SIM_CampaignEncounter::ENEMY);
            EXPECT_TRUE(progress.GetFleets().empty());
        }
        ASSERT_TRUE(progress.Load("story"));
        EXPECT_EQ(beskar->territory, result == "won" ? SIM_CampaignEncounter::PLAYER : SIM_CampaignEncounter::ENEMY);
    }
    EXPECT_EQ(progress.GetStats().Find("battles_won")->count, 1);
    EXPECT_EQ(progress.GetStats().Find("battles_lost")->count, 1);
}

TEST_F(CampaignScript, AWoundedShipStartsItsBattleWithTheHitPointsAndThrustItCarries)
{
    headless = std::make_unique<SIM_HeadlessBattle>(world.User().Path());
    SIM_CampaignEncounter* beskar = world.Planet("Beskar");
    // Two escorts; the first's engine (slot 0) carries a wound of 40% of its hit points.
    SIM_CampaignFleet* f = Fleet(world.Planet("Aldra"), 2);
    SIM_CampaignShip* wounded = f->GetShips()[0];
    SIM_CampaignModuleState& engine = *wounded->FindModuleBySlot(0);
    ASSERT_EQ(engine.moduleTypeName, "frigate_engine");
    const float wound = engine.GetHitPoints() * 0.4f;
    engine.damage.push_back({"DMG_FUEL_LEAK", wound, 40});
    engine.RecalculateIntegrity();
    wounded->RecalculateIntegrity();
    SIM_DeployedFleet player;
    ASSERT_TRUE(StartBattle(f, beskar, player));
    SIM_CampaignBattleBridge::ApplyStoredDamage(*bm.GetCurrent());

    const auto& ships = SIM_Battle::GetInstance().GetPlayerFleet()->GetAllShips();
    SIM_Ship* hurt = SIM_Ship::FindShipByIdInVector(wounded->id, ships);
    SIM_Ship* whole = SIM_Ship::FindShipByIdInVector(f->GetShips()[1]->id, ships);
    ASSERT_TRUE(hurt && whole);
    const SIM_EngineModule* twinEngine = nullptr;
    for (const SIM_ShipModule* m : whole->GetModules())
        if (m->GetType() && m->GetType()->GetName() == "frigate_engine")
            twinEngine = dynamic_cast<const SIM_EngineModule*>(m);
    ASSERT_NE(twinEngine, nullptr);
    // The hull counts the wound from the first frame: hit points, health and
    // thrust (an engine at health h gives a quarter of its thrust plus three
    // quarters times h).
    EXPECT_EQ(hurt->startingHitPoints, whole->startingHitPoints);
    EXPECT_NEAR(whole->currentHitPoints - hurt->currentHitPoints, wound, 1e-3f);
    EXPECT_NEAR(hurt->healthFraction, hurt->currentHitPoints / hurt->startingHitPoints, 1e-6f);
    EXPECT_LT(hurt->healthFraction, 1.0f);
    const float lostHealth = wound / twinEngine->GetMaxHitpoints();
    EXPECT_NEAR(whole->thrust - hurt->thrust, 0.75f * twinEngine->GetCurrentThrust() * lostHealth, 1e-3f);
    EXPECT_GT(whole->thrust - hurt->thrust, 0.0f);
    SIM_Battle::GetInstance().Clear();
}

// The game's own server refuses a challenge without a sender: the campaign's
// requests carry the player's stored name and id, with no online worker
// having set them.
TEST_F(CampaignScript, ATurnsFleetIsPostedToTheGamesServerUnderThePlayersNameAndTaken)
{
    LocalChallengeServer local;
    ASSERT_TRUE(local.Start());
    GetInternet().SetServerUrl(local.Url());
    SIM_Server& server = SIM_Server::GetInstance();
    server.SetIdentity("", "");
    ASSERT_TRUE(server.SaveUserName("Cora"));
    ASSERT_EQ(server.GetUserName(), "Cora");

    SIM_CampaignFleet* f = Fleet(world.Planet("Aldra"), 2);
    Send(f, world.Planet("Beskar"));
    SIM_DeployedFleet deployed;
    SIM_CampaignBattleBridge::BuildPlayerDeployment(*bm.GetPending()[0], *world.Planet("Aldra"), deployed);
    ASSERT_EQ(f->CheckChallengeUpload(deployed), SIM_CampaignFleet::ONEHUNDRED);

    // On the server: a campaign challenge of Cora's whose file arrived, which
    // the next campaign's opponent list offers.
    std::string list;
    ASSERT_TRUE(ReadWholeFile(local.DataFile("challengelist.txt"), list));
    EXPECT_NE(list.find("Cora"), std::string::npos) << list;
    ASSERT_TRUE(server.GetCampaignOpponentList("federation", 0, 1000000));
    std::string offered;
    ASSERT_TRUE(ReadWholeFile(SIM_Server::CampaignListPath(), offered));
    EXPECT_NE(offered.find("##,"), std::string::npos) << offered;
    GetInternet().SetServerUrl("");
}

// Campaign play with no server set up is the player's choice: nothing is
// posted, nothing goes to the error log, and the shipped opponents are met.
// The same failures with a server set are faults.
TEST_F(CampaignScript, WithoutAServerNothingIsPostedAndNothingIsAnError)
{
    GetInternet().SetServerUrl("");
    SIM_Server& server = SIM_Server::GetInstance();
    server.SetIdentity("Cora", "inst1");
    SIM_CampaignFleet* f = Fleet(world.Planet("Aldra"), 2);
    SIM_DeployedFleet deployed;
    SIM_CampaignBattleManager::GetInstance().AddPlayerAttack(world.Planet("Beskar"), f);
    SIM_CampaignBattleBridge::BuildPlayerDeployment(*bm.GetPending()[0], *world.Planet("Aldra"), deployed);
    GDebugLog& log = GDebugLog::GetInstance();
    const int errors = log.GetErrorCount();
    EXPECT_EQ(f->CheckChallengeUpload(deployed), -1);
    EXPECT_FALSE(f->uploadFlags[SIM_CampaignFleet::ONEHUNDRED]);
    bool reused = true;
    EXPECT_FALSE(SIM_CampaignOpponentChooser::ChooseOpponent(3, 4000.0f, reused).empty());
    EXPECT_EQ(log.GetErrorCount(), errors);

    // A server out of reach is the player's situation too: nothing posted,
    // the point left for the next battle, and only information logged.
    {
        LoopbackSocket closed(false);
        ASSERT_GT(closed.Port(), 0);
        GetInternet().SetServerUrl(closed.Url());
        const int unanswered = GHttpClient::UnansweredOnThisThread();
        EXPECT_EQ(f->CheckChallengeUpload(deployed), -1);
        EXPECT_FALSE(f->uploadFlags[SIM_CampaignFleet::ONEHUNDRED]);
        EXPECT_FALSE(SIM_CampaignOpponentChooser::ChooseOpponent(3, 4000.0f, reused).empty());
        EXPECT_EQ(GHttpClient::UnansweredOnThisThread(), unanswered + 2) << "the id and the opponent list";
        EXPECT_EQ(log.GetErrorCount(), errors);
    }

    // A server that answers with an error: each is reported, but only for a
    // player with an online name. Without one the server is not asked.
    LoopbackHttpServer refusing;
    std::atomic<int> asked{0};
    refusing.server.Get(".*", [&](const httplib::Request&, httplib::Response& res) {
        ++asked;
        res.status = 500;
    });
    ASSERT_TRUE(refusing.Start());
    GetInternet().SetServerUrl(refusing.Url());
    server.SetIdentity("", "");
    std::filesystem::remove(server.GetUserFolder() + "/web/qlmcdu");
    ASSERT_EQ(server.GetUserName(), "");
    EXPECT_EQ(f->CheckChallengeUpload(deployed), -1);
    EXPECT_FALSE(f->uploadFlags[SIM_CampaignFleet::ONEHUNDRED]);
    EXPECT_EQ(asked.load(), 0);
    EXPECT_EQ(log.GetErrorCount(), errors);
    server.SetIdentity("Cora", "inst1");
    EXPECT_EQ(f->CheckChallengeUpload(deployed), -1);
    EXPECT_GT(asked.load(), 0);
    const int afterUpload = log.GetErrorCount();
    EXPECT_GT(afterUpload, errors);
    EXPECT_FALSE(SIM_CampaignOpponentChooser::ChooseOpponent(3, 4000.0f, reused).empty());
    EXPECT_GT(log.GetErrorCount(), afterUpload);
    GetInternet().SetServerUrl("");
    server.SetIdentity("", "");
}

TEST_F(CampaignScript, FleetsArePostedAsChallengesOncePerPointOfTheirLife)
{
    LoopbackHttpServer server;
    std::atomic<int> posts{0}, added{0}, postStatus{200}, addStatus{200};
    std::string answer = "message,hello\nresponse,c_123\n";
    int idStatus = 200;
    std::string user;
    std::mutex lock;
    server.server.Get("/quillomar/server/qlm_campaign_getnewchallengeid.php",
                      [&](const httplib::Request& req, httplib::Response& res) {
                          std::lock_guard<std::mutex> g(lock);
                          user = req.get_param_value("user");
                          res.status = idStatus;
                          res.set_content(answer, "text/plain");
                      });
    server.server.Post("/quillomar/server/postchallenge.php", [&](const httplib::Request& req, httplib::Response& res) {
        posts += req.body.size() > 32 ? 1 : 0;
        res.status = postStatus.load();
        res.set_content("response,true", "text/plain");
    });
    server.server.Get("/quillomar/server/qlm_campaign_addcampaignchallenge.php",
                      [&](const httplib::Request& req, httplib::Response& res) {
                          added += req.get_param_value("qlm") == "c_123" ? 1 : 0;
                          res.status = addStatus.load();
                          res.set_content("response,true\n", "text/plain");
                      });
    ASSERT_TRUE(server.Start());
    GetInternet().SetServerUrl(server.Url());
    SIM_Server::GetInstance().SetIdentity("Ann & Bo", "inst1");

    SIM_CampaignFleet* f = Fleet(world.Planet("Aldra"), 2);
    SIM_DeployedFleet deployed;
    SIM_CampaignBattleManager::GetInstance().AddPlayerAttack(world.Planet("Beskar"), f);
    SIM_CampaignBattleBridge::BuildPlayerDeployment(*bm.GetPending()[0], *world.Planet("Aldra"), deployed);
    EXPECT_EQ(f->CheckChallengeUpload(deployed), SIM_CampaignFleet::ONEHUNDRED);
    EXPECT_TRUE(f->uploadFlags[SIM_CampaignFleet::ONEHUNDRED]);
    EXPECT_EQ(posts.load(), 1);
    EXPECT_EQ(added.load(), 1);
    EXPECT_EQ(user, "Ann & Bo"); // sent encoded, arrived whole
    EXPECT_EQ(f->CheckChallengeUpload(deployed), -1); // once only
    // The flag is in the save.
    std::string text;
    ASSERT_TRUE(ReadWholeFile(f->GetFilePath(), text));
    EXPECT_NE(text.find("ONEHUNDRED = 1"), std::string::npos);

    f->survivingCost = f->totalCost * 0.8f;
    EXPECT_EQ(f->CheckChallengeUpload(deployed), -1);
    f->survivingCost = f->totalCost * 0.6f;
    // Refused ids and failed answers post nothing and leave the flag clear.
    for (const auto& [status, body] : {std::pair<int, std::string>{200, "response,false\n"},
                                       std::pair<int, std::string>{200, ""},
                                       std::pair<int, std::string>{200, "response,../x\n"},
                                       std::pair<int, std::string>{500, "response,c_123\n"}}) {
        {
            std::lock_guard<std::mutex> g(lock);
            idStatus = status;
            answer = body;
        }
        EXPECT_EQ(f->CheckChallengeUpload(deployed), -1) << status << body;
        EXPECT_FALSE(f->uploadFlags[SIM_CampaignFleet::SEVENTYFIVE]);
    }
    EXPECT_EQ(posts.load(), 1);
    {
        std::lock_guard<std::mutex> g(lock);
        idStatus = 200;
        answer = "response,c_123\n";
    }
    EXPECT_EQ(f->CheckChallengeUpload(deployed), SIM_CampaignFleet::SEVENTYFIVE);
    // Past the later points, one is posted per battle in their order: half,
    // then a quarter.
    f->survivingCost = f->totalCost * 0.2f;
    EXPECT_EQ(f->CheckChallengeUpload(deployed), SIM_CampaignFleet::FIFTY);
    EXPECT_FALSE(f->uploadFlags[SIM_CampaignFleet::TWENTYFIVE]);
    EXPECT_EQ(f->CheckChallengeUpload(deployed), SIM_CampaignFleet::TWENTYFIVE);
    EXPECT_EQ(f->CheckChallengeUpload(deployed), -1);
    EXPECT_EQ(posts.load(), 4);
    // A fleet that sank to a fifth before its first loss was posted starts
    // at three quarters, and the flags the fleet file keeps say so.
    SIM_CampaignFleet* g = Fleet(world.Planet("Aldra"), 2);
    g->uploadFlags[SIM_CampaignFleet::ONEHUNDRED] = true;
    g->survivingCost = g->totalCost * 0.2f;
    EXPECT_EQ(g->CheckChallengeUpload(deployed), SIM_CampaignFleet::SEVENTYFIVE);
    ASSERT_TRUE(ReadWholeFile(g->GetFilePath(), text));
    EXPECT_NE(text.find("SEVENTYFIVE = 1\nFIFTY = 0\nTWENTYFIVE = 0"), std::string::npos) << text;
    // A file that never arrived, or a challenge the server did not take,
    // leaves the point unposted for the next battle.
    g->survivingCost = g->totalCost * 0.5f;
    postStatus = 500;
    EXPECT_EQ(g->CheckChallengeUpload(deployed), -1);
    EXPECT_FALSE(g->uploadFlags[SIM_CampaignFleet::FIFTY]);
    EXPECT_EQ(added.load(), 5) << "nothing registered for a file that never arrived";
    postStatus = 200;
    addStatus = 500;
    EXPECT_EQ(g->CheckChallengeUpload(deployed), -1);
    EXPECT_EQ(added.load(), 6);
    EXPECT_FALSE(g->uploadFlags[SIM_CampaignFleet::FIFTY]);
    addStatus = 200;
    EXPECT_EQ(g->CheckChallengeUpload(deployed), SIM_CampaignFleet::FIFTY);
    ASSERT_TRUE(ReadWholeFile(g->GetFilePath(), text));
    EXPECT_NE(text.find("SEVENTYFIVE = 1\nFIFTY = 1\nTWENTYFIVE = 0"), std::string::npos) << text;
    // No temporary answer files are left behind.
    GFileList temps;
    temps.FindFiles(world.User().Path() + "/web/tmp*");
    EXPECT_TRUE(temps.names.empty());
    SIM_Server::GetInstance().SetIdentity("", "");
}

TEST_F(CampaignScript, NoOpponentAnywhereLeavesTheBattlePendingAndSaysSo)
{
    struct Hooks : SIM_CampaignScreenHooks {
        std::string message;
        void ShowMessage(const std::string& key) override { message = key; }
    } hooks;
    SIM_CampaignScreenHooks::Install(&hooks);
    SetCampaignDataFolder(world.User().Path()); // no pool here
    SIM_CampaignEncounter* beskar = world.Planet("Beskar");
    SIM_CampaignFleet* f = Fleet(world.Planet("Aldra"), 1);
    Send(f, beskar);
    ASSERT_TRUE(bm.BeginBattle(beskar));
    EXPECT_FALSE(f->attacking);
    SIM_Scenario battle{SIM_Scenario::Unlisted{}};
    SIM_CampaignBattlePreparation prep;
    EXPECT_FALSE(prep.Prepare(battle));
    EXPECT_EQ(bm.GetCurrent(), nullptr);
    ASSERT_EQ(bm.GetPending().size(), 1u);
    EXPECT_EQ(bm.GetPending()[0]->encounter, beskar);
    EXPECT_TRUE(f->attacking);
    EXPECT_EQ(hooks.message, "CAMPAIGN_NO_OPPONENT");
    SIM_CampaignScreenHooks::Install(nullptr);
}

} // namespace
