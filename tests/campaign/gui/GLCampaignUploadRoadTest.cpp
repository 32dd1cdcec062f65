// Fight in a campaign with a game server set, through the real window with
// the mouse alone: the fleet's post goes beside the frame, so a server that
// takes the connection and never answers shows the please-wait box with its
// running light and Cancel, and Cancel starts the battle at once, the fleet's
// point left for its next battle.
#include "CampaignBattleRoad.h"

#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GHttpClient.h"
#include "engine/GSafeFile.h"
#include "gui/GUI_ButtonText.h"
#include "online/GUI_PleaseWait.h"
#include "online/OnlineJob.h"
#include "online/SIM_Server.h"
#include "support/LoopbackHttpServer.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

TEST(GLCampaignUploadRoad, AServerThatNeverAnswersHoldsNoFrameAndCancelStartsTheBattle)
{
    CampaignWindowGame play(8);
    ASSERT_TRUE(play.Started());
    // The player has an online name: without one nothing is posted at all.
    ASSERT_TRUE(SIM_Server::GetInstance().SaveUserName("Cora"));
    GUI_CampaignMap* map = CreateCampaignFromTitle("post");
    ASSERT_NE(map, nullptr);
    SIM_CampaignEncounter* home = map->GetCampaign()->GetHomeworldEncounter();
    ASSERT_NE(home, nullptr);
    SIM_CampaignFleet* fleet = MakeTestFleet(home, "fed_ai_battlecruiser");
    GUI_CampaignDeployment* deployment = AttackANeighbourAndResolve(map, home, fleet);
    ASSERT_NE(deployment, nullptr);
    const GRect& zone = GUI_DeploymentZone::GetInstance().GetScreenRect();
    const GUI_CampaignShipIcon* tile = deployment->GetPicker()->GetAvailable().front();
    DragWithMouse((tile->left + tile->right) / 2, (tile->top + tile->bottom) / 2, (zone.left + zone.right) / 2,
                  zone.top + 40);
    ASSERT_TRUE(deployment->GetFightButton()->enabled);
    ASSERT_EQ(fleet->DueUploadLevel(), SIM_CampaignFleet::ONEHUNDRED);

    // The server takes the connection and never answers.
    LoopbackSocket stalling(true);
    ASSERT_GT(stalling.Port(), 0);
    GetInternet().SetServerUrl(stalling.Url());
    const int errors = GDebugLog::GetInstance().GetErrorCount();
    ClickCentre(deployment->GetFightButton());
    RunGameFrames(3);
    // The click came back and frames run: the box is up, the battle waits.
    ASSERT_TRUE(deployment->IsUploading());
    GUI_PleaseWait* wait = GUI_PleaseWait::GetOpen();
    ASSERT_NE(wait, nullptr);
    ASSERT_NE(wait->GetCancelButton(), nullptr);
    EXPECT_FALSE(SIM_Battle::GetInstance().IsStarted());
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_Campaign::kModeId);
    TextureData shot = Screenshot(play.UserDir());
    ASSERT_GT(shot.width, 0);
    EXPECT_EQ(LitPleaseWaitCells(shot, *wait), 1) << "the running light is drawn";
    EXPECT_GT(CountLitIn(shot, *wait->GetCancelButton(), 150), 10) << "Cancel is drawn";

    // Cancel, clicked: the battle starts at once and nothing was posted.
    ClickCentre(wait->GetCancelButton());
    Settle();
    EXPECT_EQ(GUI_PleaseWait::GetOpen(), nullptr);
    EXPECT_TRUE(SIM_Battle::GetInstance().IsFromCampaign()) << "Cancel stops the wait, not the fight";
    EXPECT_FALSE(fleet->uploadFlags[SIM_CampaignFleet::ONEHUNDRED]);
    std::string saved;
    ASSERT_TRUE(ReadWholeFile(fleet->GetFilePath(), saved));
    EXPECT_NE(saved.find("ONEHUNDRED = 0"), std::string::npos) << saved;
    PressKey(SDL_SCANCODE_SPACE); // past the loading screen
    Settle();
    EXPECT_EQ(Game::GetInstance().GetModeId(), 0);
    OnlineJob::JoinAll();
    GetInternet().SetServerUrl("");
    EXPECT_EQ(GDebugLog::GetInstance().GetErrorCount(), errors) << "a server out of reach is no fault";
}
