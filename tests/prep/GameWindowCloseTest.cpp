// Closing the game's window (the window manager's close, TERM from the
// desktop) where work would be lost: the question the screen's own way out
// asks, the game going on after "no", and quitting after "yes", after a
// second close, or at once when nothing is unsaved. Each test starts and
// ends a game of its own, since most of them end it.
#include "DesignerTestGame.h"

#include "engine/GHashTable.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_WindowManager.h"
#include "platform/SdlWindow.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentMap.h"
#include "prep/GUI_DeploymentTools.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "support/WindowedGame.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <csignal>

namespace {

std::string OpenQuestion()
{
    const GUI_ConfirmDialog* dialog = GUI_ConfirmDialog::GetOpen();
    return dialog ? dialog->GetQuestion() : std::string();
}

void Close(DesignerTestGame& game)
{
    game.window->InjectQuit();
    game.Frames();
}

TEST(GameWindowClose, AnUnsavedDesignIsAskedAboutAndNoKeepsPlaying)
{
    DesignerTestGame game(1024, 768);
    ASSERT_TRUE(game.started);
    game.OpenOnHull("fed_cruiser");
    game.DropOnSlot("cruiser_armour", 0);
    ASSERT_TRUE(GUI_ShipDesignGUI::GetInstance().IsModified());

    Close(game);
    EXPECT_EQ(OpenQuestion(), GetString("SHIP_DESIGN_CONFIRM_TEXT"));
    EXPECT_FALSE(Game::GetInstance().IsQuitting());
    game.ClickOn(*GUI_ConfirmDialog::GetOpen()->GetNoButton());
    game.Frames();
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_FALSE(Game::GetInstance().IsQuitting());
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_ShipDesignGUI::kModeId);
    EXPECT_EQ(game.TypeIn(0), "cruiser_armour");

    // Asked again at the next close; yes quits.
    Close(game);
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    game.ClickOn(*GUI_ConfirmDialog::GetOpen()->GetYesButton());
    EXPECT_TRUE(Game::GetInstance().IsQuitting());
    // The working copy named content that quitting frees.
    EXPECT_EQ(GUI_ShipDesignGUI::GetInstance().GetDesign(), nullptr);
}

TEST(GameWindowClose, ASecondCloseWhileAskedQuits)
{
    DesignerTestGame game(1024, 768);
    ASSERT_TRUE(game.started);
    game.OpenOnHull("fed_cruiser");
    game.DropOnSlot("cruiser_armour", 0);
    Close(game);
    ASSERT_EQ(OpenQuestion(), GetString("SHIP_DESIGN_CONFIRM_TEXT"));
    EXPECT_FALSE(Game::GetInstance().IsQuitting());
    Close(game);
    EXPECT_TRUE(Game::GetInstance().IsQuitting());
}

TEST(GameWindowClose, NothingUnsavedQuitsAtOnce)
{
    DesignerTestGame game(1024, 768);
    ASSERT_TRUE(game.started);
    game.OpenOnHull("fed_cruiser");
    ASSERT_FALSE(GUI_ShipDesignGUI::GetInstance().IsModified());
    Close(game);
    EXPECT_TRUE(Game::GetInstance().IsQuitting());
}

TEST(GameWindowClose, AChangedFleetOnTheDeploymentScreenIsAskedAbout)
{
    DesignerTestGame game(1280, 1024);
    ASSERT_TRUE(game.started);
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(scenario, nullptr);
    GUI_DeploymentGUI::Open(scenario, false, 15);
    game.Frames(2);
    ASSERT_EQ(Game::GetInstance().GetModeId(), GUI_DeploymentGUI::kModeId);

    // Unchanged (as entered): the question is not asked of an untouched fleet.
    EXPECT_FALSE(GUI_DeploymentGUI::GetInstance().GetLeaveQuestion());
    const GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    GUI_DeploymentGUI::GetInstance().PlaceShip(SIM_ShipDesign::Find("fed_sample_frigate"), map.MapToScreenX(288),
                                               map.MapToScreenY(384));
    DropDraggedDeploymentIcons();
    ASSERT_TRUE(GUI_DeploymentTools::GetInstance().fleetChanged);

    Close(game);
    EXPECT_EQ(OpenQuestion(), GetString("DEPLOYMENT_QUIT_CONFIRM_MESSAGE"));
    EXPECT_FALSE(Game::GetInstance().IsQuitting());
    game.ClickOn(*GUI_ConfirmDialog::GetOpen()->GetYesButton());
    EXPECT_TRUE(Game::GetInstance().IsQuitting());
    // Its windows named the scenario that quitting frees.
    EXPECT_EQ(GUI_DeploymentGUI::GetInstance().GetSummaryBar(), nullptr);
    EXPECT_EQ(GUI_DeploymentGUI::GetInstance().GetDesignPicker(), nullptr);
}

// TERM from the desktop comes through the real window as a close.
TEST(GLGameWindowClose, TermFromTheDesktopAsksWhereWorkIsUnsaved)
{
    WindowedGame game(WindowedGameSetup{.seed = 3, .noLessons = true});
    ASSERT_TRUE(game.Started());
    auto* window = dynamic_cast<SdlWindow*>(Game::GetInstance().GetWindow());
    ASSERT_NE(window, nullptr);
    auto frames = [window](int n) {
        for (int i = 0; i < n; ++i) {
            window->PumpEvents();
            Game::GetInstance().Frame();
        }
    };
    GUI_ShipDesignGUI::OpenFrom(GUI_ShipDesignGUI::RETURN_MAIN_MENU);
    frames(2);
    GUI_ShipDesignGUI::GetInstance().SetModified(true);

    ASSERT_EQ(std::raise(SIGTERM), 0);
    frames(2);
    EXPECT_EQ(OpenQuestion(), GetString("SHIP_DESIGN_CONFIRM_TEXT"));
    EXPECT_FALSE(Game::GetInstance().IsQuitting());

    // The desktop insists (a second TERM): the game goes.
    ASSERT_EQ(std::raise(SIGTERM), 0);
    frames(1);
    EXPECT_TRUE(Game::GetInstance().IsQuitting());
}

} // namespace
