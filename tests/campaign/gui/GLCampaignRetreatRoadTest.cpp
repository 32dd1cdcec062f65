// A campaign battle left through the real window: a fleet sent from home
// against a neighbour, deployed, the battle's Retreat button (open, since
// the fleet has a way home), the countdown to its end, the campaign's report
// of a failed attack, its statistics, and the map button that brings the
// fleet home with the planet lost.
#include "CampaignTestFleet.h"
#include "CampaignBattleRoad.h"

#include "app/Game.h"
#include "battle/hud/GUI_LeaveBattle.h"
#include "battle/hud/GUI_StatsBrowser.h"
#include "campaign/gui/GUI_Campaign.h"
#include "campaign/gui/GUI_CampaignBattleManager.h"
#include "campaign/gui/GUI_CampaignControlPanelBttm.h"
#include "campaign/gui/GUI_CampaignDeployment.h"
#include "campaign/gui/GUI_CampaignDeploymentPicker.h"
#include "campaign/gui/GUI_CampaignPostMortem.h"
#include "campaign/gui/GUI_CampaignShipIcon.h"
#include "campaign/gui/GUI_EndTurn.h"
#include "campaign/gui/GUI_PendingBattle.h"
#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "engine/GHashTable.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "prep/GUI_DeploymentZone.h"
#include "sim/SIM_Battle.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

TEST(GLCampaignRetreatRoad, RetreatFromAnAttackSeeTheStatisticsAndComeHome)
{
    CampaignWindowGame play(6);
    ASSERT_TRUE(play.Started());
    Game& game = Game::GetInstance();
    GUI_CampaignMap* map = CreateCampaignFromTitle("run");
    ASSERT_NE(map, nullptr);
    SIM_CampaignEncounter* home = map->GetCampaign()->GetHomeworldEncounter();
    ASSERT_NE(home, nullptr);
    SIM_CampaignFleet* fleet = MakeTestFleet(home, "fed_ai_battlecruiser");
    const int fleetId = fleet->id;

    // Dragged onto an enemy neighbour in view, Next Turn, Resolve, the ship
    // deployed, Fight.
    GUI_CampaignDeployment* deployment = AttackANeighbourAndResolve(map, home, fleet);
    ASSERT_NE(deployment, nullptr);
    SIM_CampaignEncounter* target = fleet->location;
    ASSERT_NE(target, home);
    ASSERT_TRUE(DeployAndFight(deployment, 1));

    // The fleet came from home this turn: Retreat is open, and asks first.
    GUI_LeaveBattle* leave = GUI_LeaveBattle::GetOpen();
    ASSERT_NE(leave, nullptr);
    ASSERT_EQ(leave->GetMode(), GUI_LeaveBattle::RETREAT);
    ASSERT_TRUE(leave->GetButton()->enabled);

    // The countdown runs out: the campaign's report tells of a failed attack.
    GUI_CampaignPostMortem* report = RetreatToTheReport();
    ASSERT_NE(report, nullptr) << "the retreat did not end the battle";
    ASSERT_EQ(SIM_Battle::GetInstance().GetLost(), SIM_Battle::RETREATED);
    EXPECT_EQ(report->GetResult(), GUI_CampaignPostMortem::RETREATED);
    EXPECT_FALSE(report->PlayerWon());
    EXPECT_EQ(report->GetText(), GUI_CampaignPostMortem::FillPlanetName(
                                     GetString("CAMPAIGN_POSTMORTEM_PLAYERATTACK_FAILED"), GetString(target->guiname.c_str())));

    // View statistics: the report goes, the statistics come, nothing applied yet.
    ClickCentre(report->GetViewStatsButton());
    RunGameFrames(2);
    EXPECT_EQ(GUI_CampaignPostMortem::GetOpen(), nullptr);
    GUI_StatsBrowser* stats = GUI_StatsBrowser::GetOpen();
    ASSERT_NE(stats, nullptr);
    ASSERT_NE(stats->GetMapButton(), nullptr);
    EXPECT_EQ(fleet->location, target);

    // The map button applies the retreat: home again, the planet the enemy's.
    ClickCentre(stats->GetMapButton());
    Settle();
    RunGameFrames(3);
    ASSERT_EQ(game.GetModeId(), GUI_Campaign::kModeId);
    const SIM_CampaignFleet* back = SIM_CampaignProgress::GetInstance().FindFleet(fleetId);
    ASSERT_NE(back, nullptr) << "a retreat keeps the fleet";
    EXPECT_EQ(back->location, home);
    EXPECT_EQ(back->origin, nullptr);
    EXPECT_EQ(target->territory, SIM_CampaignEncounter::ENEMY);
    ASSERT_NE(SIM_CampaignProgress::GetInstance().GetStats().Find("fleets_retreated"), nullptr);
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().GetStats().Find("fleets_retreated")->count, 1);
    EXPECT_EQ(SIM_CampaignBattleManager::GetInstance().GetCurrent(), nullptr);
    ASSERT_NE(GUI_EndTurn::GetOpen(), nullptr);

    GUI_Campaign::QuitCampaignToMenu();
    Settle();
}
