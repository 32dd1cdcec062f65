#include <gtest/gtest.h>

#include "sim/SIM_ShipOrder.h"
#include "sim/modules/ModuleTestWorld.h"
#include "sim/modules/SIM_TacticalModule.h"

namespace {

using Tactics = SIM_TacticalModule;

class TacticalModuleTest : public ::testing::Test {
protected:
    SIM_Ship* Gunship(float x, float y, std::unique_ptr<SIM_ShipOrders> orders = nullptr)
    {
        SIM_Ship* ship = world.Build("gunship", x, y, false, std::move(orders));
        ship->tacticalModule->SetThinkTime(&step);
        ship->tacticalModule->RefreshOrders();
        return ship;
    }

    static std::unique_ptr<SIM_ShipOrders> Cautious(float level)
    {
        auto orders = std::make_unique<SIM_ShipOrders>();
        orders->AddOrder("CAUTIOUS", level, 0.0f);
        return orders;
    }

    // A plan is due at the next think.
    static void Plan(SIM_Ship* ship)
    {
        ship->tacticalModule->moveTimer = 5000.0f;
        ship->tacticalModule->Think();
    }

    ModuleTestWorld world;
    float step = 200.0f;
};

TEST_F(TacticalModuleTest, EveryShipGetsOneReadingItsOrders)
{
    SIM_Ship* ship = Gunship(0, 0);
    ASSERT_NE(ship->tacticalModule, nullptr);
    EXPECT_EQ(ship->GetModules().front(), ship->tacticalModule);
    EXPECT_EQ(ship->tacticalModule->GetMode(), Tactics::ATTACK);
    EXPECT_EQ(ship->tacticalModule->enemyFleet, &world.Enemy());
    EXPECT_FALSE(ship->tacticalModule->isFighter);
    EXPECT_TRUE(world.Build("fighter", 0, 0)->tacticalModule->isFighter);
}

TEST_F(TacticalModuleTest, RetreatThresholdZeroNeverRetreats)
{
    world.Build("gunship", 1500, 500, true);
    SIM_Ship* ship = Gunship(1000, 500, Cautious(0.0f));
    ship->healthFraction = 0.05f;
    ship->tacticalModule->EvaluateMode();
    EXPECT_EQ(ship->tacticalModule->GetMode(), Tactics::ATTACK);
}

TEST_F(TacticalModuleTest, CautiousShipWithdrawsToItsZone)
{
    world.Build("gunship", 1500, 500, true);
    SIM_Ship* ship = Gunship(1000, 500, Cautious(0.5f));
    ship->healthFraction = 0.8f;
    ship->tacticalModule->EvaluateMode();
    EXPECT_EQ(ship->tacticalModule->GetMode(), Tactics::ATTACK);
    ship->healthFraction = 0.4f;
    ship->tacticalModule->EvaluateMode();
    EXPECT_EQ(ship->tacticalModule->GetMode(), Tactics::WITHDRAW);
    EXPECT_EQ(ship->hasDestination, 1);
    EXPECT_FLOAT_EQ(ship->destinationX, 200.0f); // nearest point of the zone
    EXPECT_FLOAT_EQ(ship->destinationY, 500.0f);
    EXPECT_FLOAT_EQ(ship->throttle, 1.0f);
    EXPECT_EQ(ship->tacticalModule->GetMoveTarget(), nullptr);
}

TEST_F(TacticalModuleTest, GeneralRetreatTakesOnlyPlayerShips)
{
    world.Build("gunship", 1500, 500, true);
    SIM_Ship* mine = Gunship(1000, 500);
    SIM_Ship* theirs = world.Build("gunship", 1600, 500, true);
    mine->isPlayerShip = 1;
    GUI_BattleGUI::GetInstance().generalRetreat = true;
    mine->tacticalModule->EvaluateMode();
    theirs->tacticalModule->EvaluateMode();
    EXPECT_EQ(mine->tacticalModule->GetMode(), Tactics::RETREAT);
    EXPECT_FLOAT_EQ(mine->throttle, 1.0f);
    EXPECT_NE(theirs->tacticalModule->GetMode(), Tactics::RETREAT);
}

TEST_F(TacticalModuleTest, LosingEveryWeaponSendsTheShipHome)
{
    world.Build("gunship", 1500, 500, true);
    SIM_Ship* unarmed = world.Build("unarmed", 1000, 300);
    unarmed->tacticalModule->CheckWeaponsDestroyed();
    EXPECT_FALSE(unarmed->tacticalModule->AreWeaponsGone());

    SIM_Ship* ship = Gunship(1000, 500);
    for (SIM_ShipModule* m : ship->GetModules())
        if (m->IsWeapon())
            m->TakeDamage(1000.0f);
    EXPECT_TRUE(ship->tacticalModule->AreWeaponsGone());
    ship->tacticalModule->EvaluateMode();
    EXPECT_EQ(ship->tacticalModule->GetMode(), Tactics::WITHDRAW);
}

TEST_F(TacticalModuleTest, NoEnemyLeftEndsTheAttack)
{
    SIM_Ship* ship = Gunship(1000, 500);
    ship->tacticalModule->Think();
    EXPECT_EQ(ship->tacticalModule->GetMode(), Tactics::WITHDRAW);
}

TEST_F(TacticalModuleTest, EnemiesStillWarpingInKeepTheShipOnTheAttack)
{
    SIM_Ship* enemy = world.Build("gunship", 1500, 500, true);
    enemy->state = SIM_Ship::OFF_FIELD;
    SIM_Ship* ship = Gunship(1000, 500);
    for (int i = 0; i < 3; ++i)
        ship->tacticalModule->Think();
    EXPECT_EQ(ship->tacticalModule->GetMode(), Tactics::ATTACK);
    // Nothing to fly at yet: it waits where it is.
    EXPECT_EQ(ship->tacticalModule->GetMoveTarget(), nullptr);
    enemy->state = SIM_Ship::ACTIVE;
    ship->tacticalModule->moveTimer = 5000.0f;
    ship->tacticalModule->Think();
    EXPECT_EQ(ship->tacticalModule->GetMoveTarget(), enemy);
}

TEST_F(TacticalModuleTest, ClosesToHalfItsEngageRange)
{
    SIM_Ship* enemy = world.Build("gunship", 1000, 500, true);
    SIM_Ship* ship = Gunship(0, 500);
    Plan(ship);
    EXPECT_EQ(ship->tacticalModule->GetMoveTarget(), enemy);
    EXPECT_FLOAT_EQ(ship->tacticalModule->GetEngageRange(), 300.0f);
    EXPECT_FLOAT_EQ(ship->tacticalModule->GetCloseRange(), 150.0f);
    EXPECT_EQ(ship->hasDestination, 1);
    EXPECT_NEAR(ship->destinationX, 850.0f, 0.05f);
    EXPECT_NEAR(ship->destinationY, 500.0f, 0.05f);
    EXPECT_FLOAT_EQ(ship->throttle, 1.0f);
    EXPECT_TRUE(ship->tacticalModule->planned);
    EXPECT_FLOAT_EQ(ship->tacticalModule->moveTimer, 0.0f);
}

TEST_F(TacticalModuleTest, BacksAwayAtLeastThirtyThreeUnits)
{
    world.Build("gunship", 100, 500, true);
    SIM_Ship* ship = Gunship(0, 500);
    Plan(ship);
    EXPECT_NEAR(ship->destinationX, -50.0f, 0.05f);

    SIM_Ship* other = Gunship(0, 0);
    world.Build("gunship", 140, 0, true);
    other->tacticalModule->moveTarget = nullptr;
    other->throttle = 0.0f; // stopped in its band before the enemy closed in
    Plan(other);
    // 140 from a target at 150: backs off by the 33-unit minimum, and moves.
    EXPECT_NEAR(other->destinationX, -33.0f, 0.05f);
    EXPECT_FLOAT_EQ(other->throttle, 1.0f);
}

TEST_F(TacticalModuleTest, TargetAtEngageRangeIsInTheBand)
{
    world.Build("gunship", 300, 500, true);
    SIM_Ship* ship = Gunship(0, 500);
    Plan(ship);
    EXPECT_EQ(ship->hasDestination, 0);
    EXPECT_FLOAT_EQ(ship->throttle, 0.0f);
}

TEST_F(TacticalModuleTest, DestinationsStayInsideTheMap)
{
    GUI_Map& map = GUI_Map::GetInstance();
    map.mapWidth = 1000.0f;
    map.mapHeight = 800.0f;
    world.Build("gunship", 3000, 0, true);
    SIM_Ship* ship = Gunship(0, 0);
    Plan(ship);
    EXPECT_FLOAT_EQ(ship->destinationX, 900.0f); // margin: the hull size
    EXPECT_FLOAT_EQ(ship->destinationY, 100.0f);
}

TEST_F(TacticalModuleTest, FormationFollowsTheLeader)
{
    world.Build("gunship", 1500, 500, true);
    SIM_Ship* leader = Gunship(100, 100);
    auto orders = std::make_unique<SIM_ShipOrders>();
    SIM_ShipOrder* order = orders->AddOrder("FORMATION", 0.0f, 0.0f);
    ASSERT_NE(order, nullptr);
    order->shipId = leader->shipId;
    SIM_Ship* follower = Gunship(150, 130, std::move(orders));
    ASSERT_TRUE(follower->tacticalModule->formation);
    leader->x = 400.0f;
    follower->tacticalModule->Think();
    EXPECT_FLOAT_EQ(follower->destinationX, 450.0f);
    EXPECT_FLOAT_EQ(follower->destinationY, 130.0f);
    EXPECT_EQ(follower->hasDestination, 1);

    leader->deadFlag = 1;
    follower->tacticalModule->Think();
    EXPECT_FALSE(follower->tacticalModule->formation);
}

TEST_F(TacticalModuleTest, OrdersNamingMissingShipsAreDropped)
{
    world.Build("gunship", 1500, 500, true);
    auto orders = std::make_unique<SIM_ShipOrders>();
    orders->AddOrder("FORMATION", 0.0f, 0.0f)->shipId = 999;
    SIM_Ship* ship = Gunship(0, 500, std::move(orders));
    EXPECT_FALSE(ship->tacticalModule->formation);
    EXPECT_FALSE(ship->GetOrders()->HasOrder("FORMATION"));
    Plan(ship);
    EXPECT_EQ(ship->tacticalModule->GetMode(), Tactics::ATTACK);
}

TEST_F(TacticalModuleTest, FighterWithoutCarrierCirclesItsZone)
{
    world.Build("gunship", 1500, 500, true);
    auto orders = std::make_unique<SIM_ShipOrders>();
    orders->AddOrder("CAUTIOUS", 0.5f, 0.0f);
    SIM_Ship* fighter = world.Build("fighter", 100, 500, false, std::move(orders));
    fighter->tacticalModule->SetThinkTime(&step);
    fighter->tacticalModule->RefreshOrders();
    fighter->healthFraction = 0.2f;
    fighter->tacticalModule->EvaluateMode();
    EXPECT_EQ(fighter->tacticalModule->GetMode(), Tactics::WITHDRAW);
    fighter->tacticalModule->moveTimer = 0.0f;
    fighter->x = fighter->destinationX;
    fighter->y = fighter->destinationY;
    fighter->tacticalModule->evaluateTimer = -1e9f;
    fighter->tacticalModule->Think();
    EXPECT_FLOAT_EQ(fighter->throttle, 0.25f);
    EXPECT_GE(fighter->destinationX, 0.0f);
    EXPECT_LE(fighter->destinationX, 200.0f);
    // A new point restarts the move timer: the fighter flies to it rather than
    // choosing again at every think.
    EXPECT_FLOAT_EQ(fighter->tacticalModule->moveTimer, 0.0f);
    const float pickedX = fighter->destinationX;
    const float pickedY = fighter->destinationY;
    fighter->x = pickedX + 100.0f;
    fighter->tacticalModule->Think();
    EXPECT_FLOAT_EQ(fighter->destinationX, pickedX);
    EXPECT_FLOAT_EQ(fighter->destinationY, pickedY);
    fighter->tacticalModule->moveTimer = 3001.0f;
    fighter->tacticalModule->Think();
    EXPECT_FLOAT_EQ(fighter->tacticalModule->moveTimer, 0.0f) << "past 3000 ms it picks again";
}

TEST_F(TacticalModuleTest, AFighterLeavingItsBayAttacksEvenWithARetreatThresholdOfZero)
{
    world.Build("gunship", 1000, 500, true);
    SIM_Ship* fighter = world.Build("fighter", 100, 500); // no CAUTIOUS: the mode never changes by damage
    fighter->tacticalModule->SetThinkTime(&step);
    fighter->tacticalModule->RefreshOrders();
    fighter->tacticalModule->mode = Tactics::DOCKED;
    fighter->tacticalModule->Undock();
    EXPECT_EQ(fighter->tacticalModule->GetMode(), Tactics::ATTACK);
    fighter->tacticalModule->Think();
    EXPECT_TRUE(fighter->tacticalModule->planned) << "and makes a plan on its first think";
}

TEST_F(TacticalModuleTest, DockedShipsDoNotThink)
{
    world.Build("gunship", 1000, 500, true);
    SIM_Ship* ship = Gunship(0, 500);
    ship->tacticalModule->mode = Tactics::DOCKED;
    ship->hasDestination = 0;
    Plan(ship);
    EXPECT_EQ(ship->hasDestination, 0);
}

} // namespace
