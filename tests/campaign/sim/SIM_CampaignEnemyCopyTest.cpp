// The opponent a campaign battle is fought against: its own copy of the
// challenge's ships, less what a returning enemy lost, and never a battle
// against nobody.
#include "CampaignTestWorld.h"

#include "campaign/sim/SIM_CampaignBattleBridge.h"
#include "campaign/sim/SIM_CampaignEnemyFleet.h"
#include "sim/SIM_DeployedFleet.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<SIM_DeployedShip> Ship(int id, const char* design)
{
    auto s = std::make_shared<SIM_DeployedShip>();
    s->shipId = id;
    s->design = design;
    s->name = "Enemy";
    return s;
}

TEST(CampaignEnemyCopy, TheBattleGetsCopiesLessTheShipsAReturningEnemyLost)
{
    CampaignTestWorld world;
    SIM_DeployedFleet challenge;
    ASSERT_TRUE(challenge.AddShip(Ship(1, "fed_ai_escort")));
    ASSERT_TRUE(challenge.AddShip(Ship(2, "fed_ai_escort")));
    ASSERT_TRUE(challenge.AddShip(Ship(3, "fed_ai_escort")));
    SIM_CampaignEnemyFleet stored;
    ASSERT_TRUE(stored.FillFromDeployedFleet(7, "pool_a", challenge));
    stored.RecordShipDestroyed(2);

    SIM_PendingBattle fresh;
    SIM_DeployedFleet out;
    ASSERT_TRUE(SIM_CampaignBattleBridge::BuildEnemyFleet(fresh, challenge, "pool_a", out));
    ASSERT_EQ(out.GetShips().size(), 3u);
    // Copies: the challenge's records are not shared with the battle's fleet.
    EXPECT_NE(out.GetShips()[0].get(), challenge.GetShips()[0].get());
    out.GetShips()[0]->x = 999.0f;
    EXPECT_NE(challenge.GetShips()[0]->x, 999.0f);

    SIM_PendingBattle returning;
    returning.reusedFleet = true;
    returning.enemyFleet = &stored;
    ASSERT_TRUE(SIM_CampaignBattleBridge::BuildEnemyFleet(returning, challenge, "pool_a", out));
    ASSERT_EQ(out.GetShips().size(), 2u);
    EXPECT_EQ(out.FindShip(2), nullptr);
    EXPECT_EQ(challenge.GetShips().size(), 3u);

    // A stored fleet of another challenge is passed over, not applied.
    ASSERT_TRUE(SIM_CampaignBattleBridge::BuildEnemyFleet(returning, challenge, "pool_b", out));
    EXPECT_EQ(out.GetShips().size(), 3u);

    // Every ship lost: nothing to fight.
    stored.RecordShipDestroyed(1);
    stored.RecordShipDestroyed(3);
    EXPECT_FALSE(SIM_CampaignBattleBridge::BuildEnemyFleet(returning, challenge, "pool_a", out));
    EXPECT_TRUE(out.GetShips().empty());
    EXPECT_FALSE(SIM_CampaignBattleBridge::BuildEnemyFleet(fresh, SIM_DeployedFleet(), "pool_a", out));
}

} // namespace
