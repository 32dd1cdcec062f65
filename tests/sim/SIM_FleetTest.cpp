#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ShippedBattleWorld.h"
#include "engine/RandomTables.h"
#include "sim/SIM_FighterSquadron.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipOrders.h"
#include "sim/ShipUpdateScheduler.h"

namespace {
class FleetTest : public ::testing::Test {
protected:
    void SetUp() override { InitRandomTables(); }
    void TearDown() override
    {
        // Fleets go before the content they were built from.
        player.reset();
        enemy.reset();
        ShipUpdateScheduler::GetInstance().Clear();
        GetRemovalQueue().clear();
    }

    void MakePair()
    {
        player = std::make_unique<SIM_Fleet>();
        enemy = std::make_unique<SIM_Fleet>();
        player->SetOpponent(enemy.get());
        enemy->SetOpponent(player.get());
    }

    ShippedBattleWorld world;
    std::unique_ptr<SIM_Fleet> player;
    std::unique_ptr<SIM_Fleet> enemy;
};
} // namespace

TEST_F(FleetTest, SingleRecordsBuildShipsWithTotals)
{
    SIM_DeployedFleet deployed;
    ASSERT_TRUE(ShippedBattleWorld::Add(deployed, "kor_ai_gunboat", 500, 600, 1, 7));
    ASSERT_TRUE(ShippedBattleWorld::Add(deployed, "kor_ai_battlecruiser", 800, 300, 1, 8));
    MakePair();
    enemy->BuildFromDeployment(deployed, false);

    ASSERT_EQ(enemy->GetAllShips().size(), 2u);
    EXPECT_TRUE(enemy->GetSquadrons().empty());
    const SIM_Ship* gunboat = enemy->GetAllShips()[0];
    EXPECT_EQ(gunboat->shipId, 7);
    EXPECT_FLOAT_EQ(gunboat->x, 500.0f);
    EXPECT_FLOAT_EQ(gunboat->y, 600.0f);
    EXPECT_EQ(gunboat->fleet, enemy.get());
    EXPECT_GT(gunboat->startingHitPoints, 0.0f);

    const float sum = enemy->GetAllShips()[0]->startingHitPoints + enemy->GetAllShips()[1]->startingHitPoints;
    EXPECT_FLOAT_EQ(enemy->GetStartingStrength(), sum);
    EXPECT_FLOAT_EQ(enemy->GetCurrentStrength(), sum);
    EXPECT_FLOAT_EQ(enemy->GetTotalCost(), deployed.GetTotalCost());
    ASSERT_NE(enemy->GetRace(), nullptr);
    EXPECT_EQ(enemy->GetRace()->GetName(), "korrath");
    EXPECT_EQ(enemy->GetStrongestShip(), enemy->GetAllShips()[1]);
    // Not asked to: the scheduler stays empty.
    EXPECT_TRUE(ShipUpdateScheduler::GetInstance().GetBucket(0).ships.empty());
}

TEST_F(FleetTest, QuantityFiveMakesASquadronOnATwoColumnGrid)
{
    SIM_DeployedFleet deployed;
    ASSERT_TRUE(ShippedBattleWorld::Add(deployed, "kor_ai_interceptor", 1000, 1000, 5));
    MakePair();
    enemy->BuildFromDeployment(deployed, false);

    ASSERT_EQ(enemy->GetSquadrons().size(), 1u);
    const SIM_FighterSquadron* squadron = enemy->GetSquadrons()[0];
    ASSERT_EQ(squadron->GetMembers().size(), 5u);
    EXPECT_EQ(squadron->GetLeader(), squadron->GetMembers()[0]);
    const float cell = 18.0f * 1.5f; // fighter hull size 18
    const float firstX = 1000.0f - cell + cell * 0.5f;
    const float firstY = firstX;
    for (size_t i = 0; i < 5; ++i) {
        const SIM_Ship* s = squadron->GetMembers()[i];
        EXPECT_EQ(s->squadron, squadron);
        const float cx = firstX + cell * static_cast<float>(i % 2);
        const float cy = firstY + cell * static_cast<float>(i / 2);
        // Jitter stays within half a cell of the cell centre.
        EXPECT_LE(std::fabs(s->x - cx), cell * 0.5f + 0.001f) << i;
        EXPECT_LE(std::fabs(s->y - cy), cell * 0.5f + 0.001f) << i;
    }
}

TEST_F(FleetTest, QuantityOneIsNotASquadron)
{
    SIM_DeployedFleet deployed;
    ASSERT_TRUE(ShippedBattleWorld::Add(deployed, "kor_ai_interceptor", 100, 100, 1));
    MakePair();
    enemy->BuildFromDeployment(deployed, true);
    EXPECT_TRUE(enemy->GetSquadrons().empty());
    EXPECT_EQ(enemy->GetAllShips()[0]->squadron, nullptr);
    // Asked to: the ship joins the scheduler.
    EXPECT_EQ(ShipUpdateScheduler::GetInstance().GetBucket(0).ships.size(), 1u);
}

TEST_F(FleetTest, StickTogetherFillsSixteenSlotsOnly)
{
    SIM_DeployedFleet deployed;
    auto record = std::make_shared<SIM_DeployedShip>();
    record->design = "kor_ai_interceptor";
    record->x = 1200;
    record->y = 900;
    record->quantity = 20;
    record->shipId = 1;
    record->orders.AddOrder("STICKTOGETHER", 40.0f, 0.0f);
    ASSERT_TRUE(deployed.AddShip(record));
    MakePair();
    enemy->BuildFromDeployment(deployed, false);

    ASSERT_EQ(enemy->GetSquadrons().size(), 1u);
    SIM_FighterSquadron* squadron = enemy->GetSquadrons()[0];
    ASSERT_TRUE(squadron->HasFormation());
    EXPECT_FLOAT_EQ(squadron->GetSlot(8).x, -40.0f);
    EXPECT_FLOAT_EQ(squadron->GetSlot(8).y, 120.0f);
    EXPECT_FLOAT_EQ(squadron->GetSlot(15).x, -80.0f);
    EXPECT_FLOAT_EQ(squadron->GetSlot(15).y, 160.0f);
    int owned = 0;
    for (int i = 0; i < SIM_FighterSquadron::kSlots; ++i)
        owned += squadron->GetSlotOwner(i) ? 1 : 0;
    EXPECT_EQ(owned, 16);
    EXPECT_EQ(squadron->GetSlotOwner(0), squadron->GetLeader());
    // Slot owners sit at their offset (jitter at most 2) behind the leader.
    const SIM_Ship* leader = squadron->GetLeader();
    const SIM_Ship* second = squadron->GetSlotOwner(1);
    ASSERT_NE(second, nullptr);
    float wx = 0, wy = 0;
    leader->LocalToWorld(second->formationOffsetX, second->formationOffsetY, leader->sine, leader->cosine, wx, wy);
    EXPECT_NEAR(second->x, wx, 0.01f);
    EXPECT_NEAR(second->y, wy, 0.01f);
    EXPECT_NEAR(second->formationOffsetX, 40.0f, 2.0f);
}

TEST_F(FleetTest, NewLeaderIsTheEligibleMemberNearestTheCentre)
{
    SIM_DeployedFleet deployed;
    ASSERT_TRUE(ShippedBattleWorld::Add(deployed, "kor_ai_interceptor", 0, 0, 3));
    MakePair();
    enemy->BuildFromDeployment(deployed, false);
    SIM_FighterSquadron* squadron = enemy->GetSquadrons()[0];
    auto& m = squadron->GetMembers();
    m[0]->x = 0; m[0]->y = 0;
    m[1]->x = 100; m[1]->y = 0;
    m[2]->x = 300; m[2]->y = 0;
    m[0]->deadFlag = 1;
    squadron->Reassess();
    // Centroid of the two eligible members is 200: both are 100 away, the
    // first one found keeps it.
    EXPECT_EQ(squadron->GetLeader(), m[1]);
    m[1]->deadFlag = 1;
    m[2]->deadFlag = 1;
    squadron->Reassess();
    EXPECT_EQ(squadron->GetLeader(), nullptr);
}

TEST_F(FleetTest, AHullHitOnTheLeaderHandsTheLeadOverAtOnce)
{
    SIM_DeployedFleet deployed;
    ASSERT_TRUE(ShippedBattleWorld::Add(deployed, "kor_ai_interceptor", 0, 0, 3));
    MakePair();
    enemy->BuildFromDeployment(deployed, false);
    SIM_FighterSquadron* squadron = enemy->GetSquadrons()[0];
    auto& m = squadron->GetMembers();
    ASSERT_EQ(squadron->GetLeader(), m[0]);
    // Small hits the armour soaks up leave the lead where it is; the first
    // that reaches the modules hands it over.
    bool hullHit = false;
    for (int i = 0; i < 10000 && !hullHit; ++i) {
        hullHit = m[0]->TakeHit(nullptr, 1.0f, 1000.0f, 1000.0f, nullptr, true, 0.0f, 1.0f);
        if (!hullHit)
            ASSERT_EQ(squadron->GetLeader(), m[0]);
    }
    ASSERT_TRUE(hullHit);
    ASSERT_FALSE(m[0]->IsDead());
    EXPECT_NE(squadron->GetLeader(), m[0]);
    EXPECT_NE(squadron->GetLeader(), nullptr);
}

TEST_F(FleetTest, UnknownDesignRecordIsSkipped)
{
    SIM_DeployedFleet deployed;
    ASSERT_TRUE(ShippedBattleWorld::Add(deployed, "kor_ai_gunboat", 10, 10));
    // A record whose design went away after the fleet was read.
    auto ghost = std::make_shared<SIM_DeployedShip>();
    ghost->design = "kor_ai_gunboat";
    ASSERT_TRUE(deployed.AddShip(ghost));
    ghost->design = "no_such_design";
    MakePair();
    enemy->BuildFromDeployment(deployed, false);
    EXPECT_EQ(enemy->GetAllShips().size(), 1u);
}

TEST_F(FleetTest, BeatenBelowTenPercentNotAtTen)
{
    SIM_DeployedFleet deployed;
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(ShippedBattleWorld::Add(deployed, "kor_ai_gunboat", 100.0f * static_cast<float>(i), 100));
    MakePair();
    enemy->BuildFromDeployment(deployed, false);
    auto& ships = enemy->GetAllShips();
    for (int i = 0; i < 9; ++i)
        ships[static_cast<size_t>(i)]->state = SIM_Ship::DESTROYED;
    enemy->OnShipKilled();
    EXPECT_NEAR(enemy->GetStrengthFraction(), 0.1f, 1e-5f);
    // One ship in ten left holds exactly a tenth: not beaten yet.
    EXPECT_FALSE(enemy->IsBeaten());
    ships[9]->state = SIM_Ship::DESTROYED;
    enemy->OnShipKilled();
    EXPECT_TRUE(enemy->IsBeaten());
    EXPECT_FLOAT_EQ(enemy->GetCurrentStrength(), 0.0f);
}

TEST_F(FleetTest, NoStartingStrengthCountsAsBeatenNotNaN)
{
    MakePair();
    enemy->OnShipKilled();
    EXPECT_TRUE(enemy->IsBeaten());
    EXPECT_FLOAT_EQ(enemy->GetStrengthFraction(), 0.0f);
    EXPECT_TRUE(enemy->HasOnlyFighters());
    EXPECT_EQ(enemy->GetStrongestShip(), nullptr);
}

TEST_F(FleetTest, OnlyFightersIgnoresDestroyedShips)
{
    SIM_DeployedFleet deployed;
    ASSERT_TRUE(ShippedBattleWorld::Add(deployed, "kor_ai_gunboat", 10, 10));
    ASSERT_TRUE(ShippedBattleWorld::Add(deployed, "kor_ai_interceptor", 50, 50, 2));
    MakePair();
    enemy->BuildFromDeployment(deployed, false);
    EXPECT_FALSE(enemy->HasOnlyFighters());
    enemy->GetAllShips()[0]->state = SIM_Ship::DESTROYED;
    EXPECT_TRUE(enemy->HasOnlyFighters());
}

TEST_F(FleetTest, ClassPresenceTracksActiveShipsAndTellsTheOpponent)
{
    SIM_DeployedFleet deployed;
    ASSERT_TRUE(ShippedBattleWorld::Add(deployed, "kor_ai_gunboat", 10, 10));
    ASSERT_TRUE(ShippedBattleWorld::Add(deployed, "kor_ai_interceptor", 50, 50));
    MakePair();
    enemy->BuildFromDeployment(deployed, false);
    for (SIM_Ship* s : enemy->GetAllShips())
        s->state = SIM_Ship::ACTIVE;
    enemy->UpdateClassPresence();
    EXPECT_TRUE(enemy->HasClass(1));
    EXPECT_TRUE(enemy->HasClass(2));
    EXPECT_FALSE(enemy->HasClass(0));
    EXPECT_FALSE(enemy->HasClass(7));
    enemy->GetAllShips()[1]->state = SIM_Ship::RETREATED;
    enemy->UpdateClassPresence();
    EXPECT_FALSE(enemy->HasClass(2));
}

TEST_F(FleetTest, LiveShipListsHaveNoDuplicates)
{
    MakePair();
    SIM_DeployedFleet deployed;
    ASSERT_TRUE(ShippedBattleWorld::Add(deployed, "kor_ai_gunboat", 10, 10));
    enemy->BuildFromDeployment(deployed, false);
    SIM_Ship* s = enemy->GetAllShips()[0];
    enemy->AddLiveShip(s);
    EXPECT_EQ(enemy->GetLiveShips().size(), 1u);
    enemy->RemoveLiveShip(s);
    enemy->RemoveLiveShip(s);
    EXPECT_TRUE(enemy->GetLiveShips().empty());
    EXPECT_EQ(enemy->GetAllShips().size(), 1u);
}
