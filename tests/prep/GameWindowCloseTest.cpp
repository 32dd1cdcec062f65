// Closing the game's window (the window manager's close, TERM from the
// desktop) where work would be lost: the question the screen's own way out
// asks, the game going on after "no", and quitting after "yes", after a
// second close, or at once when nothing is unsaved. Each test starts and
// ends a game of its own, since most of them end it. The GL tests close the
// real window as a window manager does: under an X server (the smoke run
// under Xvfb) with WM_DELETE_WINDOW, elsewhere with the events SDL makes of it.
#include "DesignerTestGame.h"

#include "engine/GHashTable.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Transition.h"
#include "gui/GUI_WindowManager.h"
#include "platform/SdlWindow.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentMap.h"
#include "prep/GUI_DeploymentTools.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "prep/GUI_DeploymentZone.h"
#include "prep/GUI_ShipBlueprint.h"
#include "prep/GUI_ShipSlot.h"
#include "prep/GUI_ShipIcon.h"
#include "sim/SIM_DeployedFleet.h"
#include "support/PickedDesign.h"
#include "support/WindowInput.h"
#include "support/WindowManagerClose.h"
#include "support/WindowedGame.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

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

// Frames until the screen wipe of a mode switch is over: it draws over everything.
void SettleTransition()
{
    for (int i = 0; i < 2000 && GUI_Transition::GetInstance().IsActive(); ++i) {
        RunGameFrames(1);
        SDL_Delay(1);
    }
    ASSERT_FALSE(GUI_Transition::GetInstance().IsActive());
}

// A change made as a player makes it: a module taken off its slot with a
// right click.
void TakeAModuleOffWithTheMouse()
{
    const GUI_ShipBlueprint* blueprint = GUI_ShipBlueprint::GetOpen();
    ASSERT_NE(blueprint, nullptr);
    const GUI_ShipSlot* filled = nullptr;
    for (const GUI_ShipSlot* slot : blueprint->GetSlots())
        if (!filled && slot->GetModule())
            filled = slot;
    ASSERT_NE(filled, nullptr) << "the design the designer opens on has modules";
    RightClickAt(static_cast<int>(filled->GetCentreX()), static_cast<int>(filled->GetCentreY()));
    EXPECT_EQ(filled->GetModule(), nullptr);
    ASSERT_TRUE(GUI_ShipDesignGUI::GetInstance().IsModified());
}

// The real window closed once as a window manager closes it. Under the smoke
// run's X server (QLM_X11_CLOSE set) the close must have gone through X.
void CloseWindowOnce()
{
    auto* window = dynamic_cast<SdlWindow*>(Game::GetInstance().GetWindow());
    ASSERT_NE(window, nullptr);
    const bool throughX = CloseAsWindowManager(window->GetSdlWindow());
    if (std::getenv("QLM_X11_CLOSE")) {
        ASSERT_TRUE(throughX) << "the close did not go through the X server";
    }
    RunGameFrames(2);
}

// The question is on the screen: its buttons' labels are lit.
void ExpectQuestionShown(const WindowedGame& game, const char* textKey)
{
    const GUI_ConfirmDialog* question = GUI_ConfirmDialog::GetOpen();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->GetQuestion(), GetString(textKey));
    EXPECT_FALSE(Game::GetInstance().IsQuitting());
    const TextureData shown = Screenshot(game.UserDir());
    EXPECT_GT(CountLitIn(shown, *question->GetNoButton(), 200), 20);
    EXPECT_GT(CountLitIn(shown, *question->GetYesButton(), 200), 20);
}

// One close of the window is one close: it asks about the changed design
// once, No keeps playing, the next close asks again, and a second close
// while the question is up quits.
TEST(GLGameWindowClose, AWindowManagersCloseAsksOnceAboutAnUnsavedDesign)
{
    WindowedGame game(WindowedGameSetup{.seed = 3, .noLessons = true});
    ASSERT_TRUE(game.Started());
    GUI_ShipDesignGUI::OpenFrom(GUI_ShipDesignGUI::RETURN_MAIN_MENU);
    ASSERT_NO_FATAL_FAILURE(SettleTransition());
    ASSERT_EQ(Game::GetInstance().GetModeId(), GUI_ShipDesignGUI::kModeId);
    ASSERT_NO_FATAL_FAILURE(TakeAModuleOffWithTheMouse());

    ASSERT_NO_FATAL_FAILURE(CloseWindowOnce());
    ASSERT_NO_FATAL_FAILURE(ExpectQuestionShown(game, "SHIP_DESIGN_CONFIRM_TEXT"));
    ClickCentre(GUI_ConfirmDialog::GetOpen()->GetNoButton());
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_FALSE(Game::GetInstance().IsQuitting());
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_ShipDesignGUI::kModeId);
    EXPECT_TRUE(GUI_ShipDesignGUI::GetInstance().IsModified());

    ASSERT_NO_FATAL_FAILURE(CloseWindowOnce());
    ASSERT_NO_FATAL_FAILURE(ExpectQuestionShown(game, "SHIP_DESIGN_CONFIRM_TEXT"));
    // The player closes again while asked: that is a second close.
    ASSERT_NO_FATAL_FAILURE(CloseWindowOnce());
    EXPECT_TRUE(Game::GetInstance().IsQuitting());
}

// TERM asks, No keeps playing; the window manager's close after it asks
// again rather than quitting, and Yes quits.
TEST(GLGameWindowClose, AfterNoToTermTheWindowsCloseStillAsks)
{
    WindowedGame game(WindowedGameSetup{.seed = 3, .noLessons = true});
    ASSERT_TRUE(game.Started());
    GUI_ShipDesignGUI::OpenFrom(GUI_ShipDesignGUI::RETURN_MAIN_MENU);
    ASSERT_NO_FATAL_FAILURE(SettleTransition());
    ASSERT_NO_FATAL_FAILURE(TakeAModuleOffWithTheMouse());
    ASSERT_EQ(std::raise(SIGTERM), 0);
    RunGameFrames(2);
    ASSERT_NO_FATAL_FAILURE(ExpectQuestionShown(game, "SHIP_DESIGN_CONFIRM_TEXT"));
    ClickCentre(GUI_ConfirmDialog::GetOpen()->GetNoButton());
    ASSERT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);

    ASSERT_NO_FATAL_FAILURE(CloseWindowOnce());
    ASSERT_NO_FATAL_FAILURE(ExpectQuestionShown(game, "SHIP_DESIGN_CONFIRM_TEXT"));
    ClickCentre(GUI_ConfirmDialog::GetOpen()->GetYesButton());
    EXPECT_TRUE(Game::GetInstance().IsQuitting());
}

// Ships placed with the mouse on a deployment: the close asks, No keeps
// them on the map, Yes quits.
TEST(GLGameWindowClose, AWindowManagersCloseAsksAboutShipsPlacedOnADeployment)
{
    WindowedGame game(WindowedGameSetup{.seed = 3, .noLessons = true});
    ASSERT_TRUE(game.Started());
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(scenario, nullptr);
    GUI_DeploymentGUI::Open(scenario, false, 15);
    ASSERT_NO_FATAL_FAILURE(SettleTransition());
    GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    const GUI_ShipIcon* design = FirstBuyableWarship();
    ASSERT_NE(design, nullptr);
    ClickCentre(design);
    const GRect zone = GUI_DeploymentZone::GetInstance().GetScreenRect();
    ClickAt((zone.left + zone.right) / 2, (zone.top + zone.bottom) / 2);
    ASSERT_EQ(screen.GetPlayerFleet()->GetShips().size(), 1u);
    ASSERT_TRUE(GUI_DeploymentTools::GetInstance().fleetChanged);

    ASSERT_NO_FATAL_FAILURE(CloseWindowOnce());
    ASSERT_NO_FATAL_FAILURE(ExpectQuestionShown(game, "DEPLOYMENT_QUIT_CONFIRM_MESSAGE"));
    ClickCentre(GUI_ConfirmDialog::GetOpen()->GetNoButton());
    EXPECT_FALSE(Game::GetInstance().IsQuitting());
    EXPECT_EQ(screen.GetPlayerFleet()->GetShips().size(), 1u);

    ASSERT_NO_FATAL_FAILURE(CloseWindowOnce());
    ASSERT_NO_FATAL_FAILURE(ExpectQuestionShown(game, "DEPLOYMENT_QUIT_CONFIRM_MESSAGE"));
    ClickCentre(GUI_ConfirmDialog::GetOpen()->GetYesButton());
    EXPECT_TRUE(Game::GetInstance().IsQuitting());
}

} // namespace
