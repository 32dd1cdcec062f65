// Campaign battles settled: damage cut into priced items, losses carried back
// into the fleets, won, lost and retreated results, and captures joining a
// fleet, with the save on disk after each.
#include <gtest/gtest.h>

#include "CampaignTestWorld.h"

#include "campaign/sim/GUI_DamageDescGenerator.h"
#include "campaign/sim/SIM_CampaignAIManager.h"
#include "campaign/sim/SIM_CampaignBattleBridge.h"
#include "campaign/sim/SIM_CampaignBattleOutcome.h"
#include "campaign/sim/SIM_CampaignBattlePreparation.h"
#include "campaign/sim/SIM_CampaignCaptureManager.h"
#include "campaign/sim/SIM_CampaignEnemiesDB.h"
#include "campaign/sim/SIM_CampaignEnemyFleet.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignShipyard.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "engine/GDebugLog.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"

namespace {

class CampaignBattle : public ::testing::Test {
protected:
    CampaignTestWorld world;
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    SIM_CampaignBattleManager& bm = SIM_CampaignBattleManager::GetInstance();

    void SetUp() override
    {
        ASSERT_TRUE(progress.CreateNew("war", "federation"));
        ASSERT_TRUE(progress.Load("war"));
        CampaignTestWorld::SetOptions("ai_new_conquered_attack_freeze = 3\nai_attack_spam_freeze = 2\n"
                                      "ai_homeworld_spam_freeze = 5\nrepair_cost_multiplier = 0\n");
    }
    void TearDown() override { bm.Clear(); }

    SIM_CampaignShip* Escort()
    {
        auto* s = new SIM_CampaignShip();
        s->SetDesign(SIM_ShipDesign::Find("fed_ai_escort"));
        s->id = SIM_CampaignShip::GetNextFreeID();
        s->name = "Escort";
        s->InitModuleStates();
        s->RecalculateIntegrity();
        return s;
    }
    SIM_CampaignFleet* Fleet(SIM_CampaignEncounter* at, int ships)
    {
        auto* f = new SIM_CampaignFleet();
        for (int i = 0; i < ships; ++i)
            f->AddShip(Escort());
        progress.AddFleet(f);
        f->guiName = "F";
        f->SetLocation(at);
        return f;
    }
    static SIM_BattleShipResult Hit(int id, bool destroyed, float engineIntegrity)
    {
        SIM_BattleShipResult r;
        r.shipId = id;
        r.destroyed = destroyed;
        r.design = "fed_ai_escort";
        r.name = "Taken";
        r.hullIntegrity = 0.6f;
        r.modules.push_back({0, "frigate_engine", engineIntegrity, 100.0f, 40.0f, 20.0f});
        return r;
    }
    // An enemy fleet cached at the planet, as the preparation leaves it.
    SIM_CampaignEnemyFleet* Enemy(SIM_PendingBattle* b, int encounterId)
    {
        SIM_DeployedFleet deployed;
        for (int id : {1, 2}) {
            auto s = std::make_shared<SIM_DeployedShip>();
            s->design = "fed_ai_escort";
            s->shipId = id;
            EXPECT_TRUE(deployed.AddShip(s));
        }
        b->enemyFleet = progress.GetEnemiesDB().AddFleet(encounterId, "pool_kor_a1", deployed);
        return b->enemyFleet;
    }
};

TEST_F(CampaignBattle, LostHitPointsBecomeItemsThatAddUpAndCostAtLeastTen)
{
    SIM_CampaignShip* s = Escort();
    SIM_CampaignModuleState& engine = *s->FindModuleBySlot(0);
    GUI_DamageDescGenerator& gen = GUI_DamageDescGenerator::GetInstance();
    gen.Describe(engine, 1.0f);
    EXPECT_TRUE(engine.damage.empty());
    gen.Describe(engine, 0.94f); // 3 of 50 hit points
    ASSERT_FALSE(engine.damage.empty());
    float total = 0.0f;
    for (const auto& d : engine.damage) {
        EXPECT_GE(d.damage, 1.0f - 1e-4f);
        EXPECT_EQ(d.repairCost, 10); // no multiplier: the floor
        EXPECT_FALSE(gen.GetText(d.description).empty()) << d.description;
        total += d.damage;
    }
    EXPECT_NEAR(total, 3.0f, 1e-4f);
    const size_t items = engine.damage.size();
    gen.Describe(engine, 0.94f); // already described
    EXPECT_EQ(engine.damage.size(), items);
    // One call never repeats a description while its pool lasts.
    gen.Describe(engine, 0.0f);
    for (size_t i = items + 1; i < engine.damage.size(); ++i)
        EXPECT_NE(engine.damage[i].description, engine.damage[i - 1].description);
    delete s;
}

TEST_F(CampaignBattle, LossesRemoveDestroyedShipsAndKeepUnmatchedOnes)
{
    SIM_CampaignFleet* f = Fleet(world.Planet("Aldra"), 3);
    SIM_CampaignShip* hit = f->GetShips()[0];
    SIM_CampaignShip* lost = f->GetShips()[1];
    SIM_CampaignShip* kept = f->GetShips()[2];
    const int lostId = lost->id;
    ASSERT_TRUE(progress.Save());
    const std::string lostLog = lost->log->GetPath();
    ASSERT_TRUE(FileExists(lostLog));

    SIM_CampaignBattleOutcome outcome;
    outcome.playerShips = {Hit(hit->id, false, 0.5f), Hit(lostId, true, 0.0f)};
    f->ApplyBattleLosses(outcome);
    ASSERT_EQ(f->GetShips().size(), 2u);
    EXPECT_EQ(f->GetShips()[0], hit);
    EXPECT_EQ(f->GetShips()[1], kept);
    EXPECT_FALSE(FileExists(lostLog));
    EXPECT_EQ(SIM_CampaignShip::FindByID(lostId), nullptr);
    EXPECT_EQ(progress.GetStats().Find("ships_destroyed")->count, 1);
    EXPECT_FLOAT_EQ(hit->FindModuleBySlot(0)->integrity, 0.5f);
    EXPECT_LT(hit->integrity, 1.0f);
    ASSERT_EQ(hit->log->GetEntries().size(), 1u);
    EXPECT_EQ(hit->log->GetEntries()[0].kind, SIM_CampaignShipsLog::BATTLE);
    EXPECT_NE(hit->log->GetEntries()[0].text.find("100"), std::string::npos);
    EXPECT_FLOAT_EQ(kept->integrity, 1.0f); // not deployed: untouched
    EXPECT_TRUE(kept->log->GetEntries().empty());
    EXPECT_FLOAT_EQ(f->survivingCost, 2.0f * hit->design->GetCost());
}

TEST_F(CampaignBattle, ASquadronCountsItsCraftAndGoesWhenNoneAreLeft)
{
    auto* squadron = new SIM_CampaignShip();
    squadron->SetDesign(SIM_ShipDesign::Find("fed_ai_interceptor"));
    ASSERT_TRUE(squadron->design && squadron->design->IsFighter());
    squadron->id = SIM_CampaignShip::GetNextFreeID();
    squadron->quantity = 3;
    auto* f = new SIM_CampaignFleet();
    f->AddShip(squadron);
    progress.AddFleet(f);
    f->SetLocation(world.Planet("Aldra"));
    ASSERT_TRUE(progress.Save());
    const std::string logFile = squadron->log->GetPath();

    SIM_CampaignBattleOutcome outcome;
    outcome.playerShips = {Hit(squadron->id, true, 0.0f), Hit(squadron->id, false, 0.9f),
                           Hit(squadron->id, true, 0.0f)};
    f->ApplyBattleLosses(outcome);
    ASSERT_EQ(f->GetShips().size(), 1u);
    EXPECT_EQ(squadron->quantity, 1);
    EXPECT_FLOAT_EQ(squadron->integrity, 1.0f);
    EXPECT_EQ(progress.GetStats().Find("ships_destroyed")->count, 2);
    ASSERT_EQ(squadron->log->GetEntries().size(), 1u);
    EXPECT_NE(squadron->log->GetEntries()[0].text.find("2"), std::string::npos);
    ASSERT_TRUE(progress.Save());
    EXPECT_TRUE(FileExists(logFile));

    outcome.playerShips = {Hit(squadron->id, true, 0.0f)};
    f->ApplyBattleLosses(outcome);
    EXPECT_TRUE(f->GetShips().empty());
    EXPECT_FALSE(FileExists(logFile));
    EXPECT_EQ(progress.GetStats().Find("ships_destroyed")->count, 3);
    EXPECT_TRUE(f->DeleteIfEmpty());
}

TEST_F(CampaignBattle, ABattleWithNobodyToFightWaitsAgainUncounted)
{
    // Offline, and the repository's pool names fleets whose files are not here.
    SIM_CampaignEncounter* beskar = world.Planet("Beskar");
    SIM_CampaignFleet* f = Fleet(world.Planet("Aldra"), 1);
    f->SetLocation(beskar);
    bm.AddPlayerAttack(beskar, f);
    ASSERT_TRUE(bm.BeginBattle(beskar));
    EXPECT_FALSE(f->attacking);
    SIM_Scenario battle{SIM_Scenario::Unlisted{}};
    SIM_CampaignBattlePreparation prep;
    EXPECT_FALSE(prep.Prepare(battle));
    EXPECT_EQ(bm.GetCurrent(), nullptr);
    ASSERT_EQ(bm.GetPending().size(), 1u);
    EXPECT_EQ(bm.GetPending()[0]->encounter, beskar);
    EXPECT_TRUE(f->attacking) << "the fleet still waits to attack";
    EXPECT_EQ(progress.GetStats().Find("battles_fought"), nullptr);
    EXPECT_TRUE(beskar->opponentName.empty());
}

TEST_F(CampaignBattle, AWonConquestTakesThePlanetAndItsCapturesJoinTheFleet)
{
    SIM_CampaignEncounter* beskar = world.Planet("Beskar");
    SIM_CampaignFleet* f = Fleet(world.Planet("Aldra"), 1);
    f->origin = world.Planet("Aldra");
    f->SetLocation(beskar);
    bm.AddPlayerAttack(beskar, f);
    SIM_PendingBattle* b = bm.BeginBattle(beskar);
    ASSERT_TRUE(b);
    EXPECT_TRUE(bm.GetPending().empty());
    Enemy(b, beskar->encounterId);

    SIM_CampaignBattleOutcome outcome;
    outcome.playerShips = {Hit(f->GetShips()[0]->id, false, 0.8f)};
    outcome.enemyShips = {Hit(1, true, 0.0f), Hit(2, false, 0.5f)};
    bm.ApplyBattleResult(true, outcome);
    EXPECT_EQ(bm.GetCurrent(), nullptr);
    EXPECT_EQ(beskar->territory, SIM_CampaignEncounter::PLAYER);
    EXPECT_EQ(beskar->ai->freezeTurns, 3);
    EXPECT_EQ(progress.GetEnemiesDB().Find(beskar->encounterId), nullptr);
    EXPECT_EQ(progress.GetStats().Find("battles_won")->count, 1);
    EXPECT_EQ(progress.GetStats().Find("battles_fought"), nullptr) << "only a prepared battle counts as fought";
    EXPECT_EQ(progress.GetStats().Find("enemy_ships_destroyed")->count, 1);

    SIM_CampaignCaptureManager& captures = SIM_CampaignCaptureManager::GetInstance();
    ASSERT_EQ(captures.GetWaiting().size(), 1u);
    const int capturedId = captures.GetWaiting()[0]->id;
    EXPECT_LT(captures.GetWaiting()[0]->FindModuleBySlot(0)->integrity, 1.0f);
    // The screens counting the fleet's ships are told once the prizes are in it.
    struct Watch : SIM_CampaignScreenHooks {
        SIM_CampaignFleet* fleet = nullptr;
        size_t shipsSeen = 0;
        SIM_CampaignFleet* detailsOf = nullptr;
        void RefreshFleetManager() override { shipsSeen = fleet->GetShips().size(); }
        void RefreshFleetDetails(SIM_CampaignFleet* f) override { detailsOf = f; }
    } watch;
    watch.fleet = f;
    SIM_CampaignScreenHooks::Install(&watch);
    captures.AddCapturedShipToFleet();
    SIM_CampaignScreenHooks::Install(nullptr);
    EXPECT_EQ(watch.shipsSeen, 2u);
    EXPECT_EQ(watch.detailsOf, f);
    ASSERT_EQ(f->GetShips().size(), 2u);
    EXPECT_EQ(f->GetShips()[1]->id, capturedId);
    EXPECT_EQ(f->GetShips()[1]->log->GetEntries().back().kind, SIM_CampaignShipsLog::CAPTURED);
    EXPECT_EQ(progress.GetStats().Find("ships_captured")->count, 1);
    // On disk already.
    ASSERT_TRUE(progress.Load("war"));
    ASSERT_EQ(progress.GetFleets().size(), 1u);
    EXPECT_EQ(progress.GetFleets()[0]->GetShips().size(), 2u);
    EXPECT_EQ(beskar->territory, SIM_CampaignEncounter::PLAYER);
}

TEST_F(CampaignBattle, ARepelledAttackLowersThreatAndALostOneLosesEverything)
{
    SIM_CampaignEncounter* caelum = world.Planet("Caelum");
    caelum->territory = SIM_CampaignEncounter::PLAYER;
    SIM_CampaignFleet* f = Fleet(caelum, 2);
    caelum->ai->threat.value = 0.6f;
    bm.AddAIAttack(caelum, world.Planet("Fennix"));
    bm.ProcessEndOfTurn();
    SIM_PendingBattle* b = bm.BeginBattle(caelum);
    ASSERT_TRUE(b);
    ASSERT_EQ(b->fleets.size(), 1u);
    bm.ApplyBattleResult(true, SIM_CampaignBattleOutcome{});
    EXPECT_FLOAT_EQ(caelum->ai->threat.value, 0.35f);
    EXPECT_EQ(caelum->ai->freezeTurns, 2);
    EXPECT_EQ(caelum->territory, SIM_CampaignEncounter::PLAYER);
    EXPECT_EQ(f->GetShips().size(), 2u); // nobody deployed, nobody lost

    // The next attack is lost: the defenders are gone, the enemy stays.
    bm.AddAIAttack(caelum, world.Planet("Fennix"));
    bm.ProcessEndOfTurn();
    b = bm.BeginBattle(caelum);
    ASSERT_TRUE(b);
    SIM_CampaignEnemyFleet* enemy = Enemy(b, world.Planet("Fennix")->encounterId);
    SIM_CampaignBattleOutcome outcome;
    outcome.enemyShips = {Hit(1, true, 0.0f), Hit(2, false, 0.4f)};
    bm.ApplyBattleResult(false, outcome);
    EXPECT_TRUE(progress.GetFleets().empty());
    EXPECT_EQ(caelum->territory, SIM_CampaignEncounter::ENEMY);
    EXPECT_EQ(enemy->encounterId, caelum->encounterId);
    EXPECT_EQ(enemy->FindShip(1)->quantity, 0);
    ASSERT_EQ(enemy->FindShip(2)->damage.size(), 1u);
    EXPECT_FLOAT_EQ(enemy->FindShip(2)->damage[0].integrity, 0.4f);
    EXPECT_EQ(progress.GetStats().Find("battles_lost")->count, 1);
    ASSERT_TRUE(progress.Load("war"));
    EXPECT_TRUE(progress.GetFleets().empty());
    EXPECT_EQ(caelum->territory, SIM_CampaignEncounter::ENEMY);
    ASSERT_NE(progress.GetEnemiesDB().Find(caelum->encounterId), nullptr);
}

TEST_F(CampaignBattle, RetreatsGoBackWhereTheyCameFromOrHoldTheirPlace)
{
    SIM_CampaignEncounter* aldra = world.Planet("Aldra");
    SIM_CampaignEncounter* xandar = world.Planet("Xandar");
    SIM_CampaignFleet* back = Fleet(aldra, 1);
    back->origin = aldra;
    back->SetLocation(world.Planet("Beskar"));
    bm.AddPlayerAttack(world.Planet("Beskar"), back);
    EXPECT_FALSE(bm.HasRetreatDestination()) << "no battle being fought";
    ASSERT_TRUE(bm.BeginBattle(world.Planet("Beskar")));
    EXPECT_TRUE(bm.HasRetreatDestination());
    bm.ApplyPlayerRetreat(SIM_CampaignBattleOutcome{});
    EXPECT_EQ(back->location, aldra);
    EXPECT_EQ(back->origin, nullptr);
    EXPECT_EQ(world.Planet("Beskar")->territory, SIM_CampaignEncounter::ENEMY);

    // Xandar has no neighbour of ours and the fleet no origin.
    SIM_CampaignFleet* stuck = Fleet(xandar, 1);
    bm.AddPlayerAttack(xandar, stuck);
    ASSERT_TRUE(bm.BeginBattle(xandar));
    EXPECT_FALSE(bm.HasRetreatDestination()); // the Retreat button stays shut
    bm.ApplyPlayerRetreat(SIM_CampaignBattleOutcome{});
    EXPECT_EQ(stuck->location, xandar);
    EXPECT_EQ(progress.GetStats().Find("fleets_retreated")->count, 2);
    // No origin, but a neighbour of ours: somewhere to go.
    aldra->territory = SIM_CampaignEncounter::PLAYER;
    SIM_CampaignEncounter* beskar = world.Planet("Beskar");
    ASSERT_TRUE(beskar->IsLinkedTo(aldra));
    SIM_CampaignFleet* lone = Fleet(beskar, 1);
    bm.AddPlayerAttack(beskar, lone);
    ASSERT_TRUE(bm.BeginBattle(beskar));
    EXPECT_TRUE(bm.HasRetreatDestination());
    bm.ApplyPlayerRetreat(SIM_CampaignBattleOutcome{});
    EXPECT_EQ(lone->location, aldra);
    ASSERT_TRUE(progress.Load("war"));
    EXPECT_EQ(progress.GetFleets().size(), 3u);
}

TEST_F(CampaignBattle, AnAttackOrderedThisTurnIsInEverySaveWithTheFleetsSplitOffIt)
{
    SIM_CampaignEncounter* aldra = world.Planet("Aldra");
    SIM_CampaignEncounter* beskar = world.Planet("Beskar");
    // The drop on the map: the fleet stands on the planet at once, the battle waits.
    SIM_CampaignFleet* f = Fleet(aldra, 2);
    f->origin = aldra;
    f->SetLocation(beskar);
    bm.AddPlayerAttack(beskar, f);
    // A ship split off there (which saves) is in the battle too.
    SIM_CampaignFleet* split = f->GetShips()[1]->DetachToNewFleet();
    ASSERT_NE(split, nullptr);
    ASSERT_EQ(bm.GetPending().size(), 1u);
    EXPECT_EQ(bm.GetPending()[0]->fleets.size(), 2u);
    EXPECT_EQ(split->origin, aldra);
    // A ship built at home saves again.
    auto* yardFleet = new SIM_CampaignFleet();
    progress.AddFleet(yardFleet);
    yardFleet->SetLocation(aldra);
    ASSERT_NE(SIM_CampaignShipyard::Build(aldra, yardFleet, SIM_ShipDesign::Find("fed_ai_escort"), 1), nullptr);
    const int fleetId = f->id, splitId = split->id;

    // Quit and load: the battle still waits with both fleets.
    bm.Clear();
    ASSERT_TRUE(progress.Load("war"));
    ASSERT_EQ(bm.GetPending().size(), 1u);
    const SIM_PendingBattle& b = *bm.GetPending()[0];
    EXPECT_EQ(b.encounter, beskar);
    EXPECT_EQ(b.kind, SIM_PendingBattle::PLAYER_ATTACK);
    ASSERT_EQ(b.fleets.size(), 2u);
    EXPECT_EQ(b.fleets[0]->id, fleetId);
    EXPECT_EQ(b.fleets[1]->id, splitId);
    EXPECT_TRUE(b.fleets[0]->attacking);
    // Both still know the way home.
    ASSERT_TRUE(bm.BeginBattle(beskar));
    bm.ApplyPlayerRetreat(SIM_CampaignBattleOutcome{});
    EXPECT_EQ(progress.FindFleet(fleetId)->location, aldra);
    EXPECT_EQ(progress.FindFleet(splitId)->location, aldra);
    // Settled, the attack is gone from the save.
    ASSERT_TRUE(progress.Load("war"));
    EXPECT_TRUE(bm.GetPending().empty());

    // A saved attack whose fleet is not on the planet is passed over.
    std::string text;
    ASSERT_TRUE(ReadWholeFile(progress.GetSaveFolder() + "/progress.txt", text));
    const size_t attacks = text.find("[attacks]\n");
    ASSERT_NE(attacks, std::string::npos);
    text.insert(attacks + 10, StrFormat("0 = %d,%d,-1\n", beskar->encounterId, fleetId));
    ASSERT_TRUE(WriteFileAtomically(progress.GetSaveFolder() + "/progress.txt", text));
    ASSERT_TRUE(progress.Load("war"));
    EXPECT_TRUE(bm.GetPending().empty());
    EXPECT_EQ(progress.FindFleet(fleetId)->location, aldra);
}

TEST_F(CampaignBattle, AWonAttackForgetsTheWayBackSoALaterDefenceNeverFallsOnEnemyGround)
{
    SIM_CampaignEncounter* aldra = world.Planet("Aldra");
    SIM_CampaignEncounter* beskar = world.Planet("Beskar");
    ASSERT_TRUE(beskar->IsLinkedTo(aldra));
    SIM_CampaignFleet* f = Fleet(aldra, 1);
    f->origin = aldra;
    f->SetLocation(beskar);
    bm.AddPlayerAttack(beskar, f);
    ASSERT_TRUE(bm.BeginBattle(beskar));
    bm.ApplyBattleResult(true, SIM_CampaignBattleOutcome{});
    ASSERT_EQ(beskar->territory, SIM_CampaignEncounter::PLAYER);
    EXPECT_EQ(f->origin, nullptr);

    // The enemy takes the old planet and then strikes at the new one: with
    // no planet of ours beside it, the defence has nowhere to fall back to.
    aldra->territory = SIM_CampaignEncounter::ENEMY;
    for (SIM_CampaignEncounter* n : beskar->neighbours)
        n->territory = SIM_CampaignEncounter::ENEMY;
    bm.AddAIAttack(beskar, aldra);
    bm.ProcessEndOfTurn();
    ASSERT_TRUE(bm.BeginBattle(beskar));
    EXPECT_FALSE(bm.HasRetreatDestination());
    bm.ApplyPlayerRetreat(SIM_CampaignBattleOutcome{});
    EXPECT_EQ(f->location, beskar) << "a retreat never lands on the enemy's planet";
}

TEST_F(CampaignBattle, AnEnemySquadronThatLostCraftComesBackWithItsSurvivors)
{
    SIM_CampaignEncounter* beskar = world.Planet("Beskar");
    SIM_CampaignFleet* f = Fleet(world.Planet("Aldra"), 1);
    f->SetLocation(beskar);
    bm.AddPlayerAttack(beskar, f);
    SIM_PendingBattle* b = bm.BeginBattle(beskar);
    ASSERT_TRUE(b);
    // A ship (1), a squadron of four (3) and a squadron of two (4).
    SIM_DeployedFleet challenge;
    for (const auto& [id, quantity] : {std::pair{1, 1}, std::pair{3, 4}, std::pair{4, 2}}) {
        auto s = std::make_shared<SIM_DeployedShip>();
        s->design = quantity > 1 ? "fed_ai_interceptor" : "fed_ai_escort";
        s->shipId = id;
        s->quantity = quantity;
        ASSERT_TRUE(challenge.AddShip(s));
    }
    SIM_CampaignEnemyFleet* enemy = progress.GetEnemiesDB().AddFleet(beskar->encounterId, "pool_kor_a1", challenge);
    b->enemyFleet = enemy;
    // One craft of the four falls first, three come through; both of the two fall.
    SIM_CampaignBattleOutcome outcome;
    outcome.enemyShips = {Hit(1, false, 0.9f), Hit(3, true, 0.0f), Hit(3, false, 0.5f), Hit(3, false, 1.0f),
                          Hit(3, false, 0.7f), Hit(4, true, 0.0f), Hit(4, true, 0.0f)};
    bm.ApplyBattleResult(false, outcome);
    EXPECT_EQ(enemy->FindShip(1)->quantity, 1);
    EXPECT_EQ(enemy->FindShip(3)->quantity, 3);
    EXPECT_EQ(enemy->FindShip(4)->quantity, 0);
    ASSERT_EQ(enemy->FindShip(3)->damage.size(), 1u);
    EXPECT_FLOAT_EQ(enemy->FindShip(3)->damage[0].integrity, 0.5f) << "the first survivor's damage";

    // Loaded again and met again: the squadron flies with three, the lost
    // one stays away.
    ASSERT_TRUE(progress.Load("war"));
    SIM_PendingBattle again;
    again.encounter = beskar;
    again.reusedFleet = true;
    again.enemyFleet = progress.GetEnemiesDB().Find(beskar->encounterId);
    ASSERT_NE(again.enemyFleet, nullptr);
    EXPECT_EQ(again.enemyFleet->FindShip(3)->quantity, 3);
    SIM_DeployedFleet met;
    ASSERT_TRUE(SIM_CampaignBattleBridge::BuildEnemyFleet(again, challenge, "pool_kor_a1", met));
    ASSERT_EQ(met.GetShips().size(), 2u);
    ASSERT_NE(met.FindShip(1), nullptr);
    EXPECT_EQ(met.FindShip(1)->quantity, 1);
    ASSERT_NE(met.FindShip(3), nullptr);
    EXPECT_EQ(met.FindShip(3)->quantity, 3);
    EXPECT_EQ(met.FindShip(4), nullptr);
}

TEST_F(CampaignBattle, AGameClosedAtATurnsEndOffersItsBattlesAgainOnLoad)
{
    SIM_CampaignEncounter* aldra = world.Planet("Aldra");
    SIM_CampaignEncounter* beskar = world.Planet("Beskar");
    SIM_CampaignEncounter* caelum = world.Planet("Caelum");
    SIM_CampaignEncounter* dorvan = world.Planet("Dorvan");
    SIM_CampaignEncounter* fennix = world.Planet("Fennix");
    caelum->territory = SIM_CampaignEncounter::PLAYER;
    dorvan->territory = SIM_CampaignEncounter::PLAYER;
    const int defenderId = Fleet(caelum, 1)->id;
    SIM_CampaignFleet* attacker = Fleet(aldra, 1);
    attacker->origin = aldra;
    attacker->SetLocation(beskar);
    bm.AddPlayerAttack(beskar, attacker);
    // A save during the turn keeps the attack, but no turn's end.
    ASSERT_TRUE(progress.Save());
    bm.Clear();
    ASSERT_TRUE(progress.Load("war"));
    EXPECT_FALSE(bm.IsTurnEndOpen());
    ASSERT_EQ(bm.GetPending().size(), 1u);

    // The turn ends: Caelum is attacked and defended, Dorvan falls.
    bm.AddAIAttack(caelum, fennix);
    bm.AddAIAttack(dorvan, fennix);
    CampaignTestWorld::SetOptions("futile_attacks_threshold = 0\n");
    bm.ProcessEndOfTurn();
    EXPECT_TRUE(bm.IsTurnEndOpen());
    ASSERT_EQ(bm.GetPending().size(), 3u);
    // The Caelum battle is being fought when the game closes: the last save
    // (the deployment's) holds it with the others.
    ASSERT_TRUE(bm.BeginBattle(caelum));
    ASSERT_TRUE(progress.Save());
    bm.Clear();
    ASSERT_TRUE(progress.Load("war"));
    EXPECT_TRUE(bm.IsTurnEndOpen());
    ASSERT_EQ(bm.GetPending().size(), 3u);
    EXPECT_EQ(bm.GetCurrent(), nullptr);
    const auto at = [&](const SIM_CampaignEncounter* e) -> const SIM_PendingBattle* {
        for (const auto& p : bm.GetPending())
            if (p->encounter->encounterId == e->encounterId)
                return p.get();
        return nullptr;
    };
    ASSERT_NE(at(beskar), nullptr);
    EXPECT_EQ(at(beskar)->kind, SIM_PendingBattle::PLAYER_ATTACK);
    ASSERT_NE(at(caelum), nullptr);
    EXPECT_EQ(at(caelum)->kind, SIM_PendingBattle::AI_ATTACK);
    EXPECT_EQ(at(caelum)->source, fennix);
    ASSERT_EQ(at(caelum)->fleets.size(), 1u);
    EXPECT_EQ(at(caelum)->fleets[0]->id, defenderId);
    ASSERT_NE(at(dorvan), nullptr);
    EXPECT_EQ(at(dorvan)->kind, SIM_PendingBattle::AI_CONQUEST);
    EXPECT_EQ(dorvan->territory, SIM_CampaignEncounter::ENEMY);

    // Every battle settled and the report left: the next load is an ordinary
    // turn, without the report just read, though nothing else saved since.
    ASSERT_TRUE(bm.BeginBattle(caelum));
    bm.ApplyBattleResult(true, SIM_CampaignBattleOutcome{});
    ASSERT_TRUE(bm.BeginBattle(beskar));
    bm.ApplyPlayerRetreat(SIM_CampaignBattleOutcome{});
    aldra->loyalty.value = 0.5f;
    AddReasonedChange(0.1f, "reported", true, aldra->loyalty);
    AddReasonedChange(-0.1f, "feared", false, aldra->ai->threat);
    ASSERT_TRUE(progress.Save());
    std::string text;
    ASSERT_TRUE(ReadWholeFile(progress.GetSaveFolder() + "/progress.txt", text));
    ASSERT_NE(text.find("reported"), std::string::npos) << "the report waits in the save";
    bm.FinishTurnEnd();
    EXPECT_FALSE(bm.IsTurnEndOpen());
    EXPECT_TRUE(bm.GetPending().empty());
    EXPECT_TRUE(aldra->loyalty.changes.empty());
    ASSERT_TRUE(ReadWholeFile(progress.GetSaveFolder() + "/progress.txt", text));
    EXPECT_EQ(text.find("[turnend]"), std::string::npos) << text;
    EXPECT_EQ(text.find("changed = "), std::string::npos) << text;
    ASSERT_TRUE(progress.Load("war"));
    EXPECT_FALSE(bm.IsTurnEndOpen());
    EXPECT_TRUE(bm.GetPending().empty());
    for (const SIM_CampaignEncounter* e : world.campaign->GetEncounters()) {
        EXPECT_FALSE(e->loyalty.changed);
        EXPECT_TRUE(e->loyalty.changes.empty());
        EXPECT_FALSE(e->ai->threat.changed);
        EXPECT_TRUE(e->ai->threat.changes.empty());
    }
    EXPECT_FLOAT_EQ(aldra->loyalty.value, 0.6f) << "the value stays, only its reasons go";

    // Damaged lines are passed over, with one log line for them all.
    const int errors = GDebugLog::GetInstance().GetErrorCount();
    ASSERT_TRUE(WriteFileAtomically(progress.GetSaveFolder() + "/progress.txt",
                                    text + StrFormat("\n[turnend]\nopen = 1\nbattle0 = 1,%d,%d\nbattle1 = 0,%d,%d\n"
                                                     "battle2 = 1,%d,%d\nbattle3 = 1,-5,%d\n",
                                                     caelum->encounterId, fennix->encounterId, caelum->encounterId,
                                                     fennix->encounterId, fennix->encounterId, fennix->encounterId,
                                                     fennix->encounterId)));
    ASSERT_TRUE(progress.Load("war"));
    EXPECT_TRUE(bm.IsTurnEndOpen());
    ASSERT_EQ(bm.GetPending().size(), 1u);
    EXPECT_EQ(bm.GetPending()[0]->encounter, caelum);
    EXPECT_EQ(GDebugLog::GetInstance().GetErrorCount(), errors + 1);
}

// A fleet that goes while its battle is being prepared or fought (merged,
// scrapped) leaves that battle as well as the pending ones, so the next save
// never names it.
TEST_F(CampaignBattle, AFleetThatGoesLeavesTheBattleBeingFoughtToo)
{
    SIM_CampaignEncounter* aldra = world.Planet("Aldra");
    SIM_CampaignEncounter* beskar = world.Planet("Beskar");
    SIM_CampaignFleet* gone = Fleet(aldra, 1);
    SIM_CampaignFleet* stays = Fleet(aldra, 1);
    for (SIM_CampaignFleet* f : {gone, stays}) {
        f->origin = aldra;
        f->SetLocation(beskar);
        bm.AddPlayerAttack(beskar, f);
    }
    SIM_PendingBattle* b = bm.BeginBattle(beskar);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->fleets.size(), 2u);
    const std::string goneLine = StrFormat("%d,%d,%d", beskar->encounterId, gone->id, aldra->encounterId);
    const std::string staysLine = StrFormat("%d,%d,%d", beskar->encounterId, stays->id, aldra->encounterId);
    ASSERT_NE(bm.AttacksText().find(goneLine), std::string::npos);
    SIM_CampaignShip* last = gone->GetShips()[0];
    gone->RemoveShip(last);
    delete last;
    ASSERT_TRUE(gone->DeleteIfEmpty());
    ASSERT_EQ(bm.GetCurrent(), b);
    EXPECT_EQ(b->fleets, std::vector<SIM_CampaignFleet*>{stays});
    const std::string attacks = bm.AttacksText();
    EXPECT_EQ(attacks.find(goneLine), std::string::npos);
    EXPECT_NE(attacks.find(staysLine), std::string::npos);
    progress.Save();
}

} // namespace
