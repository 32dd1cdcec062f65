// A campaign ends when the player holds every planet or none; its end lets
// go of the fleets, battles and prizes before the planets they point into.
#include <gtest/gtest.h>

#include "CampaignTestWorld.h"

#include "campaign/sim/SIM_CampaignBattleOutcome.h"
#include "campaign/sim/SIM_CampaignCaptureManager.h"
#include "campaign/sim/SIM_CampaignEnding.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "sim/SIM_ShipDesign.h"

#include <cmath>

namespace {

using Ending = SIM_CampaignEnding;

void HoldFirst(SIM_Campaign& campaign, size_t held)
{
    size_t i = 0;
    for (SIM_CampaignEncounter* e : campaign.GetEncounters())
        e->territory = i++ < held ? SIM_CampaignEncounter::PLAYER : SIM_CampaignEncounter::ENEMY;
}

TEST(CampaignEnding, WonAtExactlyEveryPlanetLostAtExactlyNone)
{
    EXPECT_EQ(Ending::Judge(1.0f), Ending::VICTORY);
    EXPECT_EQ(Ending::Judge(std::nextafter(1.0f, 0.0f)), Ending::GOES_ON);
    EXPECT_EQ(Ending::Judge(0.0f), Ending::DEFEAT);
    EXPECT_EQ(Ending::Judge(std::nextafter(0.0f, 1.0f)), Ending::GOES_ON);
    EXPECT_EQ(Ending::Judge(0.5f), Ending::GOES_ON);
}

TEST(CampaignEnding, JudgedFromThePlanetsThePlayerHolds)
{
    CampaignTestWorld world;
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    SIM_Campaign& campaign = *world.campaign;
    const size_t all = campaign.GetEncounters().size();
    ASSERT_GE(all, 4u);

    HoldFirst(campaign, 3);
    EXPECT_FLOAT_EQ(progress.GetConquestRatio(), 3.0f / static_cast<float>(all));
    EXPECT_EQ(Ending::Judge(progress), Ending::GOES_ON);
    // One planet short of all, and one planet held: the war goes on.
    HoldFirst(campaign, all - 1);
    EXPECT_EQ(Ending::Judge(progress), Ending::GOES_ON);
    HoldFirst(campaign, 1);
    EXPECT_EQ(Ending::Judge(progress), Ending::GOES_ON);
    HoldFirst(campaign, all);
    EXPECT_EQ(progress.GetConquestRatio(), 1.0f);
    EXPECT_EQ(Ending::Judge(progress), Ending::VICTORY);
    HoldFirst(campaign, 0);
    EXPECT_EQ(Ending::Judge(progress), Ending::DEFEAT);
    // Nobody's planets count as lost ones.
    for (SIM_CampaignEncounter* e : campaign.GetEncounters())
        e->territory = SIM_CampaignEncounter::UNKNOWN;
    EXPECT_EQ(Ending::Judge(progress), Ending::DEFEAT);

    // Without a campaign the ratio reads 0, and nothing has ended.
    progress.Close();
    EXPECT_EQ(progress.GetConquestRatio(), 0.0f);
    EXPECT_EQ(Ending::Judge(progress), Ending::GOES_ON);
}

TEST(CampaignEnding, EndingLetsGoOfFleetsBattlesAndPrizesBeforeThePlanets)
{
    CampaignTestWorld world;
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    ASSERT_TRUE(progress.CreateNew("ending", "federation"));
    ASSERT_TRUE(progress.Load("ending"));
    SIM_CampaignEncounter* home = world.campaign->GetHomeworldEncounter();
    ASSERT_NE(home, nullptr);
    SIM_CampaignEncounter* target = home->neighbours.at(0);

    auto* fleet = new SIM_CampaignFleet();
    auto* ship = new SIM_CampaignShip();
    ship->SetDesign(SIM_ShipDesign::Find("fed_ai_escort"));
    ship->id = SIM_CampaignShip::GetNextFreeID();
    ship->InitModuleStates();
    fleet->AddShip(ship);
    progress.AddFleet(fleet);
    fleet->SetLocation(home);
    SIM_CampaignBattleManager::GetInstance().AddPlayerAttack(target, fleet);

    // A won battle left a prize waiting for that fleet.
    SIM_CampaignBattleOutcome outcome;
    SIM_BattleShipResult survivor;
    survivor.shipId = 7;
    survivor.design = "kor_ai_escort";
    survivor.name = "Prize";
    outcome.enemyShips.push_back(survivor);
    SIM_CampaignCaptureManager& captures = SIM_CampaignCaptureManager::GetInstance();
    captures.CollectCaptures(fleet, outcome);
    ASSERT_TRUE(captures.HasWaiting());
    ASSERT_EQ(captures.GetReceivingFleet(), fleet);
    ASSERT_FALSE(SIM_CampaignBattleManager::GetInstance().GetPending().empty());

    progress.Reset("federation");
    world.campaign.reset();

    EXPECT_TRUE(progress.GetFleets().empty());
    EXPECT_TRUE(SIM_CampaignBattleManager::GetInstance().GetPending().empty());
    EXPECT_FALSE(captures.HasWaiting());
    EXPECT_EQ(captures.GetReceivingFleet(), nullptr);
    // What the next campaign's first turn and captures touch must not reach
    // into the old one (AddressSanitizer watches these).
    captures.AddCapturedShipToFleet();
    SIM_CampaignBattleManager::GetInstance().ProcessEndOfTurn();
    EXPECT_EQ(progress.cash, 5000);
    EXPECT_EQ(progress.crew, 800);
}

} // namespace
