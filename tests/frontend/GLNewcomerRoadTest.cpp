// The road a newcomer takes, whole, through the real window: the title, the
// scenario choice, scenario1's details, FIGHT, one ship clicked into the
// zone, FIGHT, a key on the loading screen, the battle at top speed to its
// end, the report, and on through the shop (won) or the deployment screen
// (lost) back to the title. Only SDL events drive it; screenshots and the
// files the game writes are checked on the way.
#include "app/Game.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/hud/GUI_PostMortem.h"
#include "battle/hud/GUI_TopStrip.h"
#include "battle/hud/GUI_TopStripButton.h"
#include "engine/GSafeFile.h"
#include "frontend/GUI_ChooseScenario.h"
#include "frontend/GUI_LoadingScreen.h"
#include "frontend/GUI_MainMenu.h"
#include "frontend/GUI_Scenario.h"
#include "frontend/GUI_ScenarioDetails.h"
#include "frontend/GUI_UnlockShop.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_Fader.h"
#include "gui/GUI_Transition.h"
#include "platform/IClock.h"
#include "prep/GUI_DeploymentDesignPicker.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentZone.h"
#include "prep/GUI_ShipIcon.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "support/PickedDesign.h"
#include "support/WindowInput.h"
#include "support/WindowRoad.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

constexpr int kMainMenu = 15, kScenarioChoice = 3, kDeployment = 2, kLoading = 9, kBattle = 0, kShop = 10;
// Battle frames allowed before the test gives up on an end: some thirty
// minutes of battle time at the fixed frame and top speed (scenario1 with
// one ship ends in about half that).
constexpr int kMaxBattleFrames = 12000;
constexpr float kFrameMs = 36.0f;

std::string ReadUserFile(const std::string& user, const std::string& name)
{
    std::string text;
    ReadWholeFile(user + "/" + name, text);
    return text;
}

} // namespace

TEST(GLNewcomerRoad, FromTheTitleThroughABattleAndBackToTheTitle)
{
    // The smallest window the game takes: every frame of the long battle
    // crosses the X server under Xvfb.
    WindowedGame play({.seed = 5, .battleFrameMs = kFrameMs, .unheldFrames = true});
    ASSERT_TRUE(play.Started());
    const std::string& user = play.UserDir();
    Game& game = Game::GetInstance();
    GUI_BattleGUI& battleScreen = GUI_BattleGUI::GetInstance();
    SettleScreens();

    // The title: the Battle button's label is lit.
    ASSERT_EQ(game.GetModeId(), kMainMenu);
    const GUI_ButtonText* battleButton = GUI_MainMenu::GetInstance().GetBattleButton();
    EXPECT_GT(CountLitIn(Screenshot(user), *battleButton, 180), 30);
    ClickCentre(battleButton);
    SettleScreens();
    ASSERT_EQ(game.GetModeId(), kScenarioChoice);

    // The rows sweep in one after another; scenario1's is clicked once open.
    const GUI_Scenario* row = nullptr;
    for (const GUI_Scenario* r : GUI_ChooseScenario::GetInstance().GetRows())
        if (r->GetScenario()->GetName() == "scenario1")
            row = r;
    ASSERT_NE(row, nullptr);
    for (int i = 0; i < 400 && row->GetState() != GUI_Scenario::SHOWN; ++i)
        RunGameFrames(1);
    ClickCentre(row);
    GUI_ScenarioDetails* details = GUI_ScenarioDetails::GetOpen();
    ASSERT_NE(details, nullptr);
    ClickCentre(details->GetFightButton());
    SettleScreens();
    ASSERT_EQ(game.GetModeId(), kDeployment);

    // One design clicked, then put down in the middle of the zone.
    GUI_DeploymentGUI& deployment = GUI_DeploymentGUI::GetInstance();
    ASSERT_TRUE(deployment.GetPlayerFleet()->GetShips().empty());
    ASSERT_NE(GUI_DeploymentDesignPicker::GetOpen(), nullptr);
    const GUI_ShipIcon* design = FirstBuyableWarship();
    ASSERT_NE(design, nullptr);
    const std::string designName = design->GetDesign()->GetName();
    const GRect zone = GUI_DeploymentZone::GetInstance().GetScreenRect();
    ClickCentre(design);
    ClickAt((zone.left + zone.right) / 2, (zone.top + zone.bottom) / 2);
    ASSERT_EQ(deployment.GetPlayerFleet()->GetShips().size(), 1u);
    ASSERT_TRUE(deployment.GetFightButton()->enabled);
    ClickCentre(deployment.GetFightButton());
    ASSERT_EQ(game.GetModeId(), kLoading);
    EXPECT_EQ(GUI_LoadingScreen::GetInstance().GetState(), GUI_LoadingScreen::WAITING);
    PressKey(SDL_SCANCODE_SPACE);
    ASSERT_EQ(game.GetModeId(), kBattle);
    SIM_Battle& battle = SIM_Battle::GetInstance();
    ASSERT_TRUE(battle.IsStarted());
    ASSERT_EQ(battle.GetPlayerDeployedFleet()->GetShips().size(), 1u);

    // Top speed from the faster button over the mini-map: 1x up to 4x.
    GUI_TopStrip* strip = GUI_TopStrip::GetOpen();
    ASSERT_NE(strip, nullptr);
    int clicks = 0;
    for (; clicks < 15 && battleScreen.battleSpeed < 3.99f; ++clicks)
        ClickCentre(strip->GetButton(GUI_TopStrip::FASTER));
    EXPECT_EQ(clicks, 10);
    EXPECT_FLOAT_EQ(battleScreen.battleSpeed, 4.0f);
    ClickCentre(strip->GetButton(GUI_TopStrip::FASTER)); // no further
    EXPECT_FLOAT_EQ(battleScreen.battleSpeed, 4.0f);
    // The battle is drawn: the backdrop and ships, not a black screen.
    const TextureData inBattle = Screenshot(user);
    EXPECT_GT(CountLit(inBattle, 0, 0, inBattle.width, inBattle.height, 60), 2000);

    int frames = 0;
    while (!GUI_PostMortem::GetOpen() && frames < kMaxBattleFrames) {
        RunGameFrames(1);
        ++frames;
    }
    GUI_PostMortem* report = GUI_PostMortem::GetOpen();
    ASSERT_NE(report, nullptr) << "no end after " << frames << " frames";
    ASSERT_TRUE(battle.IsEnded());
    const bool won = battle.GetLost() == SIM_Battle::WON;
    EXPECT_EQ(report->IsVictory(), won);
    // The report's title, message and buttons over the dimmed battle.
    const TextureData reportShot = Screenshot(user);
    EXPECT_GT(CountLitIn(reportShot, *report, 200), 300);
    EXPECT_GT(CountLitIn(reportShot, *report->GetQuitButton(), 180), 30);
    ClickCentre(report->GetQuitButton());
    SettleScreens();
    EXPECT_EQ(GUI_PostMortem::GetOpen(), nullptr);

    if (won) {
        ASSERT_EQ(game.GetModeId(), kShop);
        // The win is on record, and the shop shows its wares.
        const std::string scores = ReadUserFile(user, "sc.dat");
        EXPECT_NE(scores.find("[scenario1]"), std::string::npos) << scores;
        EXPECT_NE(scores.find("beaten_easy = 1"), std::string::npos) << scores;
        GUI_UnlockWindow* shop = GUI_UnlockWindow::GetOpen();
        ASSERT_NE(shop, nullptr);
        EXPECT_GT(CountLitIn(Screenshot(user), *shop, 150), 500);
        ClickCentre(GUI_UnlockShop::GetInstance().GetBackButton());
        SettleScreens();
    } else {
        // The lost fleet waits on the deployment screen for another try.
        ASSERT_EQ(game.GetModeId(), kDeployment);
        ASSERT_EQ(deployment.GetPlayerFleet()->GetShips().size(), 1u);
        EXPECT_EQ(deployment.GetPlayerFleet()->GetShips().front()->design, designName);
        EXPECT_EQ(GetDeploymentIcons().size(), 1u);
        ClickCentre(deployment.GetGoBackButton());
        SettleScreens();
        ASSERT_EQ(game.GetModeId(), kScenarioChoice);
        PressKey(SDL_SCANCODE_ESCAPE);
        SettleScreens();
    }
    ASSERT_EQ(game.GetModeId(), kMainMenu);
    EXPECT_GT(CountLitIn(Screenshot(user), *GUI_MainMenu::GetInstance().GetBattleButton(), 180), 30);

    play.Stop();
    // The result reached the usage record written on the way out.
    EXPECT_NE(ReadUserFile(user, "um.ini").find(std::string("scenario1_") + (won ? "won" : "lost") + ",1"),
              std::string::npos);
}
