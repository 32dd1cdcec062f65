// The campaign map and its rules between turns: the shipped definition,
// loyalty, facility income, threat, attack windows, the arms race and the
// end-of-turn pruning of AI attacks.
#include <gtest/gtest.h>

#include "CampaignTestWorld.h"

#include "campaign/sim/SIM_CampaignAIManager.h"
#include "campaign/sim/SIM_CampaignArmsRace.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_ReasonedValue.h"
#include "engine/GSafeFile.h"
#include "engine/GTokenizer.h"

namespace {

class CampaignMap : public ::testing::Test {
protected:
    CampaignTestWorld world;

    // A fleet of the given strength stationed at a planet (no ships needed).
    SIM_CampaignFleet* Garrison(SIM_CampaignEncounter* at, float strength)
    {
        auto* f = new SIM_CampaignFleet();
        SIM_CampaignProgress::GetInstance().AddFleet(f);
        f->SetLocation(at);
        f->totalCost = strength;
        return f;
    }
};

TEST(ReasonedValue, ClampsButAlwaysRecords)
{
    SIM_ReasonedValue v;
    v.value = 0.9f;
    AddReasonedChange(0.3f, "up", true, v);
    EXPECT_FLOAT_EQ(v.value, 1.0f);
    EXPECT_TRUE(v.changed);
    ClearReasonedChanges(v);
    EXPECT_FALSE(v.changed);
    EXPECT_FLOAT_EQ(v.value, 1.0f);
    v.value = 0.0f;
    AddReasonedChange(-0.2f, "down", false, v);
    EXPECT_FLOAT_EQ(v.value, 0.0f);
    EXPECT_FALSE(v.changed); // the clamp ate the change, the record stays
    ASSERT_EQ(v.changes.size(), 1u);
    EXPECT_FLOAT_EQ(v.changes[0].amount, -0.2f);
    EXPECT_EQ(v.changes[0].reason, "down");
}

TEST_F(CampaignMap, ShippedDefinitionIsSortedLinkedOnceAndMeasured)
{
    const auto& list = world.campaign->GetEncounters();
    ASSERT_EQ(list.size(), 24u);
    // The file lists them shuffled; the map holds them by planet name.
    for (size_t i = 1; i < list.size(); ++i)
        EXPECT_LT(list[i - 1]->planetName, list[i]->planetName);
    EXPECT_EQ(list.front()->planetName, "Aldra");
    EXPECT_GT(world.campaign->mapSizeX, 0.0f);

    // Aldra and Beskar name each other: one link, both ways.
    SIM_CampaignEncounter* aldra = world.Planet("Aldra");
    SIM_CampaignEncounter* beskar = world.Planet("Beskar");
    SIM_CampaignEncounter* xandar = world.Planet("Xandar");
    int aldraBeskar = 0;
    for (const auto& l : world.campaign->GetWormholeLinks())
        if ((l.first == aldra && l.second == beskar) || (l.first == beskar && l.second == aldra))
            ++aldraBeskar;
    EXPECT_EQ(aldraBeskar, 1);
    EXPECT_EQ(world.campaign->GetWormholeLinks().size(), 37u);
    // Caelum names only Fennix; Aldra's declaration links it to Aldra as well.
    EXPECT_TRUE(world.Planet("Caelum")->IsLinkedTo(aldra));
    EXPECT_TRUE(aldra->IsLinkedTo(world.Planet("Caelum")));
    EXPECT_FALSE(aldra->IsLinkedTo(xandar));

    EXPECT_EQ(aldra->GetHopCount(beskar), 1);
    EXPECT_EQ(aldra->GetHopCount(xandar), 8);
    EXPECT_EQ(aldra->GetHopCount(aldra), -1); // not stored

    // The homeworld starts as ours and fully loyal.
    EXPECT_EQ(world.campaign->GetHomeworldEncounter(), aldra);
    EXPECT_EQ(aldra->territory, SIM_CampaignEncounter::PLAYER);
    EXPECT_FLOAT_EQ(aldra->loyalty.value, 1.0f);
    EXPECT_EQ(beskar->territory, SIM_CampaignEncounter::UNKNOWN);
    EXPECT_EQ(world.campaign->FindEncounterByName("campaign_xandar"), xandar);

    // Shipyards: a is capital (builds everything), c only frigates.
    SIM_CampaignEncounter* elyra = world.Planet("Elyra"); // shipyardb
    EXPECT_FALSE(elyra->CanBuildClass(0));
    EXPECT_TRUE(elyra->CanBuildClass(1));
    EXPECT_TRUE(elyra->CanBuildClass(2));
    EXPECT_FALSE(elyra->CanBuildClass(3));
    EXPECT_TRUE(world.Planet("Hesper")->CanBuildClass(2));
    EXPECT_FALSE(world.Planet("Hesper")->CanBuildClass(1));
    EXPECT_TRUE(world.Planet("Hesper")->HasRepairFacility());
    EXPECT_FALSE(beskar->HasRepairFacility());

    // Every facility class appears on the map.
    int classes[5] = {};
    for (SIM_CampaignEncounter* e : list)
        for (const auto& f : e->facilities)
            ++classes[f->GetType()->facilityClass];
    EXPECT_EQ(classes[SIM_CampaignFacilityType::NONE], 0);
    for (int c = 1; c <= 4; ++c)
        EXPECT_GT(classes[c], 0) << c;
}

TEST_F(CampaignMap, TheBattleDrawsEachPlanetWithItsMapPictureUnderItsOwnName)
{
    for (const SIM_CampaignEncounter* e : world.campaign->GetEncounters()) {
        const std::vector<std::string> lines = e->GetTerrainLines();
        ASSERT_FALSE(lines.empty()) << e->planetName;
        GTokenizer t(lines[0], ',');
        std::vector<std::string> fields;
        while (!t.AtEnd())
            fields.push_back(t.NextString());
        ASSERT_EQ(fields.size(), 13u) << lines[0];
        // The planet keeps its name; the battle's picture is one the game draws.
        EXPECT_EQ(fields[3], e->GetIcon()) << e->planetName;
        EXPECT_EQ(e->planetName.find(".dds"), std::string::npos);
        EXPECT_TRUE(FileExists(std::string(QLM_GAME_DIR) + "/data/bitmaps/campaign/" + fields[3])) << fields[3];
    }
}

TEST_F(CampaignMap, BrokenDefinitionEntriesAreDroppedNotFatal)
{
    TempDir dir;
    dir.Write("campaign.txt", "[config]\nName = t\nHomeworld = 7\n\n[encounters]\n0 = a.txt\n1 =\n2 = missing.txt\n"
                              "3 = ../escape.txt\n");
    dir.Write("a.txt", "[config]\nname = a\nEncounterID = 7\nwormholes = 99,\n\n[terrain]\n"
                       "0 = 1,2,1.0,Alpha,0,0,0,1.0,1.0,50,50,0,1\n\n[facilities]\n0 = nosuchyard\n0 = factory\n"
                       "\n[hopcounts]\n0 = 12345,3\n");
    SetCampaignDataFolder(dir.Path());
    SIM_Campaign c;
    c.LoadConfig(CampaignDataPath("campaign.txt"));
    EXPECT_FLOAT_EQ(c.mapSizeX, 0.0f);
    c.LoadEncounters();
    ASSERT_EQ(c.GetEncounters().size(), 1u);
    SIM_CampaignEncounter* a = c.GetEncounters()[0];
    EXPECT_EQ(a->planetName, "Alpha");
    EXPECT_EQ(a->homeworld, 1);
    EXPECT_TRUE(a->neighbours.empty());     // 99 names nobody
    EXPECT_EQ(a->facilities.size(), 1u);    // the unknown type is skipped
    EXPECT_TRUE(a->hopCounts.empty());      // so is the unknown hop id
    SetCampaignDataFolder("campaign/data");
}

TEST_F(CampaignMap, LoyaltyRisesOnOurPlanetsFallsElsewhereAndTheHomeworldStaysWhole)
{
    CampaignTestWorld::SetOptions("loyalty_boost_per_turn = 0.1\nloyalty_fall_per_turn = 0.05\n"
                                  "fleet_garrison_loyalty_multiplier = 0.1\nmax_fleet_garrison_loyalty = 0.3\n");
    SIM_CampaignEncounter* ours = world.Planet("Beskar");
    ours->territory = SIM_CampaignEncounter::PLAYER;
    ours->loyalty.value = 0.5f;
    ours->UpdateLoyalty();
    EXPECT_FLOAT_EQ(ours->loyalty.value, 0.6f);
    ASSERT_EQ(ours->loyalty.changes.size(), 1u); // no garrison, no garrison record
    EXPECT_TRUE(ours->loyalty.changes[0].flag);
    ours->loyalty.value = 0.95f;
    ours->UpdateLoyalty();
    EXPECT_FLOAT_EQ(ours->loyalty.value, 1.0f);

    SIM_CampaignEncounter* theirs = world.Planet("Caelum");
    theirs->territory = SIM_CampaignEncounter::ENEMY;
    theirs->loyalty.value = 0.03f;
    theirs->UpdateLoyalty();
    EXPECT_FLOAT_EQ(theirs->loyalty.value, 0.0f);
    EXPECT_FALSE(theirs->loyalty.changes.back().flag);

    SIM_CampaignEncounter* home = world.Planet("Aldra");
    home->territory = SIM_CampaignEncounter::ENEMY; // even when lost
    home->loyalty.value = 0.2f;
    home->UpdateLoyalty();
    EXPECT_FLOAT_EQ(home->loyalty.value, 1.0f);

    // 2500 of garrison at 0.1 per thousand: 0.25, under the cap of 0.3.
    SIM_CampaignEncounter* held = world.Planet("Dorvan");
    held->territory = SIM_CampaignEncounter::ENEMY;
    held->loyalty.value = 0.5f;
    Garrison(held, 2500.0f);
    held->UpdateLoyalty();
    EXPECT_FLOAT_EQ(held->garrisonLoyalty, 0.25f);
    EXPECT_FLOAT_EQ(held->loyalty.value, 0.5f - 0.05f + 0.25f);
    CampaignTestWorld::SetOptions("fleet_garrison_loyalty_multiplier = 0.1\nmax_fleet_garrison_loyalty = 0.2\n");
    held->UpdateLoyalty();
    EXPECT_FLOAT_EQ(held->garrisonLoyalty, 0.2f);
}

TEST_F(CampaignMap, FactoriesAndAcademiesPayTruncatedIncomeOnlyOnOurPlanets)
{
    CampaignTestWorld::SetOptions("");
    SIM_CampaignProgress& p = SIM_CampaignProgress::GetInstance();
    SIM_CampaignEncounter* beskar = world.Planet("Beskar"); // one factory, 400 a turn
    ASSERT_EQ(beskar->facilities.size(), 1u);
    SIM_CampaignFacility& factory = *beskar->facilities[0];
    beskar->territory = SIM_CampaignEncounter::PLAYER;
    beskar->loyalty.value = 0.55f;
    p.cash = 0;
    factory.CollectCash();
    EXPECT_EQ(p.cash, 220);
    beskar->loyalty.value = 0.00375f; // 1.5 credits: one
    factory.CollectCash();
    EXPECT_EQ(p.cash, 221);
    beskar->loyalty.value = 0.002f; // 0.8 credits: nothing
    factory.CollectCash();
    EXPECT_EQ(p.cash, 221);
    EXPECT_FLOAT_EQ(factory.GetCurrentCash(), 0.8f);
    // Lost: no pay, and the last expected income is kept for the screens.
    beskar->territory = SIM_CampaignEncounter::ENEMY;
    beskar->loyalty.value = 1.0f;
    factory.CollectCash();
    EXPECT_EQ(p.cash, 221);
    EXPECT_FLOAT_EQ(factory.GetCurrentCash(), 0.8f);

    SIM_CampaignEncounter* dorvan = world.Planet("Dorvan"); // an academy, 60 a turn
    dorvan->territory = SIM_CampaignEncounter::PLAYER;
    dorvan->loyalty.value = 0.5f;
    p.crew = 10;
    dorvan->facilities[0]->CollectCrew();
    EXPECT_EQ(p.crew, 40);

    TempDir dir;
    SIM_CampaignFacilityType t;
    ASSERT_TRUE(t.Load(dir.Write("f.txt", "[config]\ntypename = odd\nclass = factory\n\n[attributes]\n"
                                          "0 = a,7\n1 = b,\n2 = cash_per_turn,100\n")));
    EXPECT_EQ(t.facilityClass, SIM_CampaignFacilityType::NONE); // class words are upper case
    EXPECT_FLOAT_EQ(t.attributes.GetValue("a"), 7.0f);
    EXPECT_FALSE(t.attributes.HasValue("b"));
    EXPECT_FLOAT_EQ(t.attributes.GetValue("cash_per_turn"), 100.0f);
}

TEST_F(CampaignMap, AttackWindowsFadeInAndZeroFadeInOpensAtOnce)
{
    CampaignTestWorld::SetOptions("no_attack_window = 10\nno_attack_fadein = 5\n"
                                  "no_attack_homeworld = 4\nhomeworld_attack_fadein = 0\n");
    EXPECT_FLOAT_EQ(SIM_CampaignAIManager::GetAttackWindow(9), 0.0f);
    EXPECT_FLOAT_EQ(SIM_CampaignAIManager::GetAttackWindow(10), 0.0f);
    EXPECT_FLOAT_EQ(SIM_CampaignAIManager::GetAttackWindow(12), 0.4f);
    EXPECT_FLOAT_EQ(SIM_CampaignAIManager::GetAttackWindow(15), 1.0f);
    EXPECT_FLOAT_EQ(SIM_CampaignAIManager::GetAttackWindow(40), 1.0f);
    EXPECT_FLOAT_EQ(SIM_CampaignAIManager::GetHomeworldAttackWindow(3), 0.0f);
    EXPECT_FLOAT_EQ(SIM_CampaignAIManager::GetHomeworldAttackWindow(4), 1.0f);
}

TEST_F(CampaignMap, ThreatFollowsTheForceRatioWithItsBoundsKept)
{
    CampaignTestWorld::SetOptions("threat_rise_per_turn = 0.2\nthreat_fall_per_turn = 0.1\n"
                                  "no_attack_window = 1000\nno_random_attack_window = 1000\n");
    // Caelum's neighbours: Aldra, Beskar, Fennix.
    SIM_CampaignEncounter* caelum = world.Planet("Caelum");
    caelum->territory = SIM_CampaignEncounter::PLAYER;
    world.Planet("Aldra")->territory = SIM_CampaignEncounter::ENEMY;
    world.Planet("Aldra")->homeworld = 0;
    world.Planet("Beskar")->territory = SIM_CampaignEncounter::ENEMY;
    world.Planet("Fennix")->territory = SIM_CampaignEncounter::ENEMY;
    world.Planet("Beskar")->ai->currentFleet = 0.0f;
    world.Planet("Fennix")->ai->currentFleet = 0.0f;
    Garrison(caelum, 100.0f);
    SIM_CampaignAIManager& ai = *caelum->ai;
    struct Case {
        float enemy;
        float expected;
    } cases[] = {{300.0f, 0.7f}, {200.0f, 0.5f}, {201.0f, 0.7f}, {40.0f, 0.4f}, {50.0f, 0.5f}, {100.0f, 0.5f}};
    for (const Case& c : cases) {
        ai.threat.value = 0.5f;
        world.Planet("Aldra")->ai->currentFleet = c.enemy;
        ai.CheckForAttacks();
        EXPECT_FLOAT_EQ(ai.threat.value, c.expected) << c.enemy;
    }
    // Nothing hostile around: threat goes to 0 outright.
    for (const char* n : {"Aldra", "Beskar", "Fennix"})
        world.Planet(n)->territory = SIM_CampaignEncounter::PLAYER;
    ai.threat.value = 0.9f;
    ai.CheckForAttacks();
    EXPECT_FLOAT_EQ(ai.threat.value, 0.0f);
    EXPECT_EQ(ai.ChooseAttackSource(), nullptr);
}

TEST_F(CampaignMap, AFreezeBlocksExactlyItsTurnsOfAttacks)
{
    CampaignTestWorld::SetOptions("enemy_attack_chance_multiplier = 5\nno_attack_window = 0\nno_attack_fadein = 0\n"
                                  "no_random_attack_window = 1000\n");
    SIM_CampaignEncounter* beskar = world.Planet("Beskar");
    beskar->territory = SIM_CampaignEncounter::PLAYER;
    beskar->ai->threat.value = 1.0f;
    SIM_CampaignBattleManager& bm = SIM_CampaignBattleManager::GetInstance();
    beskar->ai->FreezeAttacks(3);
    for (int check = 1; check <= 4; ++check) {
        bm.Clear();
        beskar->ai->CheckForAttacks();
        EXPECT_EQ(bm.GetPending().size(), check == 4 ? 1u : 0u) << check;
    }
    ASSERT_EQ(bm.GetPending().size(), 1u);
    EXPECT_EQ(bm.GetPending()[0]->encounter, beskar);
    EXPECT_NE(bm.GetPending()[0]->source->territory, SIM_CampaignEncounter::PLAYER);
    // One AI battle per planet.
    bm.AddAIAttack(beskar, world.Planet("Caelum"));
    EXPECT_EQ(bm.GetPending().size(), 1u);
    bm.Clear();
}

TEST_F(CampaignMap, ArmsRaceDriftsToItsTargetAndStops)
{
    CampaignTestWorld::SetOptions("ai_armsrace_fear_growth = 0.05\nai_armsrace_fear_degrade = 0.0005\n");
    SIM_CampaignEncounter* e = world.Planet("Jorun");
    e->enemyFleetCost = 1000;
    e->ai->currentFleet = 900.0f;
    e->ai->fleetboost = 0.0f;
    const float expected[] = {950.0f, 1000.0f, 1000.0f};
    for (float v : expected) {
        e->ai->UpdateArmsRaceFear();
        EXPECT_FLOAT_EQ(e->ai->currentFleet, v);
    }
    // Fear of 200 decays by half (1000 x 0.0005) and pulls the strength up one step.
    e->ai->fleetboost = 200.0f;
    e->ai->UpdateArmsRaceFear();
    EXPECT_FLOAT_EQ(e->ai->fleetboost, 100.0f);
    EXPECT_FLOAT_EQ(e->ai->currentFleet, 1050.0f);
    // A decay over 1 never leaves a negative fear; above target it steps down.
    CampaignTestWorld::SetOptions("ai_armsrace_fear_growth = 0.05\nai_armsrace_fear_degrade = 0.01\n");
    e->ai->UpdateArmsRaceFear();
    EXPECT_FLOAT_EQ(e->ai->fleetboost, 0.0f);
    EXPECT_FLOAT_EQ(e->ai->currentFleet, 1000.0f);
}

TEST_F(CampaignMap, EndOfTurnPrunesFutileAttacksCapsThemAndAssignsDefenders)
{
    SIM_CampaignBattleManager& bm = SIM_CampaignBattleManager::GetInstance();
    SIM_CampaignEncounter* beskar = world.Planet("Beskar");
    SIM_CampaignEncounter* caelum = world.Planet("Caelum");
    SIM_CampaignEncounter* dorvan = world.Planet("Dorvan");
    SIM_CampaignEncounter* elyra = world.Planet("Elyra");
    beskar->ai->currentFleet = 400.0f;
    SIM_CampaignFleet* guard = Garrison(beskar, 1000.0f);

    // 400 against 1000 is 0.4: under 0.5 it is futile; at 0.4 it stays.
    CampaignTestWorld::SetOptions("futile_attacks_threshold = 0.5\n");
    bm.AddAIAttack(beskar, elyra);
    bm.ProcessEndOfTurn();
    EXPECT_TRUE(bm.GetPending().empty());
    CampaignTestWorld::SetOptions("futile_attacks_threshold = 0.4\n");
    bm.AddAIAttack(beskar, elyra);
    bm.ProcessEndOfTurn();
    ASSERT_EQ(bm.GetPending().size(), 1u);
    EXPECT_EQ(bm.GetPending()[0]->kind, SIM_PendingBattle::AI_ATTACK);
    ASSERT_EQ(bm.GetPending()[0]->fleets.size(), 1u);
    EXPECT_EQ(bm.GetPending()[0]->fleets[0], guard);
    bm.Clear();

    // Three attacks and a cap of two: the last goes. Undefended planets fall.
    CampaignTestWorld::SetOptions("futile_attacks_threshold = 100\nmax_ai_attacks_per_turn = 2\n");
    caelum->territory = dorvan->territory = elyra->territory = SIM_CampaignEncounter::PLAYER;
    bm.AddAIAttack(caelum, beskar);
    bm.AddAIAttack(dorvan, beskar);
    bm.AddAIAttack(elyra, beskar);
    bm.ProcessEndOfTurn();
    ASSERT_EQ(bm.GetPending().size(), 2u);
    EXPECT_EQ(bm.GetPending()[0]->encounter, caelum);
    EXPECT_EQ(bm.GetPending()[0]->kind, SIM_PendingBattle::AI_CONQUEST);
    EXPECT_EQ(caelum->territory, SIM_CampaignEncounter::ENEMY);
    EXPECT_EQ(elyra->territory, SIM_CampaignEncounter::PLAYER);

    // Both were undefended: conquests need no fight and go with the summary.
    EXPECT_EQ(bm.GetPending()[1]->kind, SIM_PendingBattle::AI_CONQUEST);
    bm.RemoveConquests();
    EXPECT_TRUE(bm.GetPending().empty());

    // A player attack on a planet already under attack joins it.
    auto* second = Garrison(elyra, 10.0f);
    bm.AddPlayerAttack(dorvan, guard);
    bm.AddPlayerAttack(dorvan, second);
    EXPECT_EQ(bm.GetPending()[0]->fleets.size(), 2u);
    auto taken = bm.RemovePendingBattle(dorvan);
    ASSERT_TRUE(taken);
    EXPECT_FALSE(guard->attacking);
    EXPECT_FALSE(bm.RemovePendingBattle(dorvan)); // reported, nothing changes
    bm.Clear();
}

} // namespace

namespace {

TEST_F(CampaignMap, AWinWithExcessForceSpreadsFearByHops)
{
    SIM_CampaignEncounter* aldra = world.Planet("Aldra");
    aldra->enemyFleetCost = 6000;
    for (SIM_CampaignEncounter* e : world.campaign->GetEncounters())
        e->ai->fleetboost = 0.0f;
    SIM_PendingBattle battle;
    battle.encounter = aldra;
    battle.fleets.push_back(Garrison(aldra, 6000.0f));
    battle.fleets.push_back(Garrison(aldra, 4000.0f));
    SIM_CampaignArmsRace::SpreadFear(0.5f, false, battle); // lost: nothing
    EXPECT_FLOAT_EQ(aldra->ai->fleetboost, 0.0f);
    SIM_CampaignArmsRace::SpreadFear(0.5f, true, battle);
    EXPECT_FLOAT_EQ(aldra->ai->fleetboost, 4000.0f);             // no hop count to itself
    EXPECT_FLOAT_EQ(world.Planet("Beskar")->ai->fleetboost, 2000.0f); // one hop
    EXPECT_FLOAT_EQ(world.Planet("Fennix")->ai->fleetboost, 1000.0f); // two hops
    // Exactly the enemy's worth: no excess, no fear.
    battle.fleets.pop_back();
    SIM_CampaignArmsRace::SpreadFear(0.5f, true, battle);
    EXPECT_FLOAT_EQ(aldra->ai->fleetboost, 4000.0f);
}

TEST_F(CampaignMap, DifficultyFollowsThePlanWithoutAClamp)
{
    SIM_CampaignProgress& p = SIM_CampaignProgress::GetInstance();
    auto& list = world.campaign->GetEncounters();
    auto hold = [&](int n) {
        for (size_t i = 0; i < list.size(); ++i) {
            list[i]->territory = static_cast<int>(i) < n ? SIM_CampaignEncounter::PLAYER : SIM_CampaignEncounter::ENEMY;
        }
    };
    float m = 1.0f;
    CampaignTestWorld::SetOptions("diff_game_length = 100\ndiff_min_adjuster = 0.5\ndiff_max_adjuster = 2\n");
    p.turn = 50;
    hold(6); // a quarter, half-way through the plan
    AdjustDifficulty(m);
    EXPECT_FLOAT_EQ(m, 0.75f);
    hold(18); // three quarters
    AdjustDifficulty(m);
    EXPECT_FLOAT_EQ(m, 1.5f);
    hold(12);
    AdjustDifficulty(m);
    EXPECT_FLOAT_EQ(m, 1.0f);
    // Beyond the planned length counts as the whole plan.
    p.turn = 150;
    AdjustDifficulty(m);
    EXPECT_FLOAT_EQ(m, 0.75f);
    // Everything held at half the plan: 1 + (max - 1) x 1; very early, the
    // gap alone decides: (1 - 0.05) / 0.05 = 19, so 1 + 19.
    p.turn = 50;
    hold(24);
    AdjustDifficulty(m);
    EXPECT_FLOAT_EQ(m, 2.0f);
    p.turn = 5;
    AdjustDifficulty(m);
    EXPECT_NEAR(m, 20.0f, 1e-4f);
    // Turn 0: nothing of the plan played, nothing to compare, 1.
    p.turn = 0;
    AdjustDifficulty(m);
    EXPECT_FLOAT_EQ(m, 1.0f);
    // No planned length: turn 0 stays at 1; any later turn is the whole
    // plan. A quarter held: gap 0.75, spread 0.5, 1 - 0.375.
    CampaignTestWorld::SetOptions("diff_min_adjuster = 0.5\n");
    hold(6);
    m = 0.3f;
    AdjustDifficulty(m);
    EXPECT_FLOAT_EQ(m, 1.0f);
    p.turn = 1;
    AdjustDifficulty(m);
    EXPECT_FLOAT_EQ(m, 0.625f);
    p.turn = 10;
    m = 0.3f;
    AdjustDifficulty(m);
    EXPECT_FLOAT_EQ(m, 0.625f);
    CampaignTestWorld::SetOptions("");
    p.turn = 0;
}

TEST_F(CampaignMap, ATurnsEndSetsTheDifficultyTheNextPruningReadsItAndALoadForgetsIt)
{
    SIM_CampaignProgress& p = SIM_CampaignProgress::GetInstance();
    SIM_CampaignBattleManager& bm = SIM_CampaignBattleManager::GetInstance();
    ASSERT_TRUE(p.CreateNew("paced", "federation"));
    ASSERT_TRUE(p.Load("paced"));
    EXPECT_FLOAT_EQ(bm.difficultyMultiplier, 1.0f);
    // No AI attack may take a planet during the turn: the share held stays a quarter.
    CampaignTestWorld::SetOptions("diff_game_length = 100\ndiff_min_adjuster = 0.5\ndiff_max_adjuster = 2\n"
                                  "no_attack_window = 1000\nno_random_attack_window = 1000\n");
    auto& list = world.campaign->GetEncounters();
    for (size_t i = 0; i < list.size(); ++i)
        list[i]->territory = i < 6 ? SIM_CampaignEncounter::PLAYER : SIM_CampaignEncounter::ENEMY;
    p.turn = 50;
    p.NextTurn();
    EXPECT_FLOAT_EQ(bm.difficultyMultiplier, 0.75f) << "the turn's end sets the factor";
    bm.FinishTurnEnd();

    // The next turn's end weighs AI attacks with it: 400 at Beskar against a
    // garrison of 1000 is 500 at 1.25, exactly the threshold, and kept; at
    // 1.2 it is 480, futile.
    SIM_CampaignEncounter* beskar = world.Planet("Beskar");
    SIM_CampaignEncounter* elyra = world.Planet("Elyra");
    beskar->ai->currentFleet = 400.0f;
    Garrison(beskar, 1000.0f);
    CampaignTestWorld::SetOptions("futile_attacks_threshold = 0.5\n");
    const auto attackKept = [&](float factor) {
        bm.Clear();
        bm.difficultyMultiplier = factor;
        bm.AddAIAttack(beskar, elyra);
        bm.ProcessEndOfTurn();
        return bm.GetPending().size() == 1;
    };
    EXPECT_TRUE(attackKept(1.25f));
    EXPECT_FALSE(attackKept(1.2f));

    // Loaded again, the campaign is even until its next turn ends: a factor
    // of 20 left by the campaign before does not save a futile attack.
    bm.Clear();
    bm.difficultyMultiplier = 20.0f;
    ASSERT_TRUE(p.Load("paced"));
    EXPECT_FLOAT_EQ(bm.difficultyMultiplier, 1.0f);
    beskar->ai->currentFleet = 400.0f;
    Garrison(beskar, 1000.0f);
    bm.AddAIAttack(beskar, elyra);
    bm.ProcessEndOfTurn();
    EXPECT_TRUE(bm.GetPending().empty());
    bm.Clear();
    CampaignTestWorld::SetOptions("");
}

} // namespace

namespace {

TEST_F(CampaignMap, TheDesignersRewriteKeepsTheMapAndEveryScenarioKey)
{
    // A copy of the shipped campaign, rewritten and read again.
    TempDir copy;
    std::string text;
    ASSERT_TRUE(ReadWholeFile("campaign/data/campaign.txt", text));
    copy.Write("campaign.txt", text);
    for (SIM_CampaignEncounter* e : world.campaign->GetEncounters()) {
        ASSERT_TRUE(ReadWholeFile("campaign/data/" + e->definitionFile, text));
        copy.Write(e->definitionFile, text);
    }
    SetCampaignDataFolder(copy.Path());
    std::string before;
    {
        SIM_Campaign c;
        c.LoadConfig(CampaignDataPath("campaign.txt"));
        c.LoadEncounters();
        ASSERT_TRUE(c.SaveDefinition());
    }
    SIM_Campaign again;
    again.LoadConfig(CampaignDataPath("campaign.txt"));
    again.LoadEncounters();
    ASSERT_EQ(again.GetEncounters().size(), 24u);
    EXPECT_EQ(again.GetWormholeLinks().size(), 37u);
    EXPECT_EQ(again.homeworld, 1);
    EXPECT_FLOAT_EQ(again.mapSizeX, world.campaign->mapSizeX);
    for (size_t i = 0; i < 24; ++i) {
        const SIM_CampaignEncounter* a = world.campaign->GetEncounters()[i];
        const SIM_CampaignEncounter* b = again.GetEncounters()[i];
        EXPECT_EQ(a->planetName, b->planetName);
        EXPECT_EQ(a->encounterId, b->encounterId);
        EXPECT_FLOAT_EQ(a->mapPosition[0], b->mapPosition[0]);
        EXPECT_EQ(a->enemyFleetCost, b->enemyFleetCost);
        EXPECT_EQ(a->facilities.size(), b->facilities.size());
        EXPECT_EQ(a->hopCounts.size(), b->hopCounts.size());
        EXPECT_EQ(a->neighbours.size(), b->neighbours.size());
        EXPECT_EQ(a->GetEnemyRace(), b->GetEnemyRace());
        EXPECT_EQ(a->GetPlayerDeployment().right, b->GetPlayerDeployment().right);
        EXPECT_FLOAT_EQ(a->GetShieldStrengthMultiplier(), b->GetShieldStrengthMultiplier());
    }
    // A second rewrite changes nothing.
    ReadWholeFile(CampaignDataPath("encounters/fennix.txt"), before);
    ASSERT_TRUE(again.SaveDefinition());
    std::string after;
    ReadWholeFile(CampaignDataPath("encounters/fennix.txt"), after);
    EXPECT_EQ(before, after);
    SetCampaignDataFolder("campaign/data");
}

} // namespace
