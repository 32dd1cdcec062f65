// The road into a battle through the real window, as a player takes it:
// the deployment screen for scenario1, a click on a design, a click in the
// zone, FIGHT, a key on the loading screen, and the battle starts with that
// ship. Input goes through SDL's event queue; screenshots are probed.
#include "app/Game.h"
#include "battle/GUI_BattleGUI.h"
#include "engine/GFileHelpers.h"
#include "engine/GHashTable.h"
#include "frontend/GUI_LoadingScreen.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_FilePicker.h"
#include "gui/GUI_FilePickerItem.h"
#include "gui/GUI_OpenFileDialog.h"
#include "gui/GUI_SaveFileDialog.h"
#include "gui/GUI_TutorialWindow.h"
#include "prep/GUI_DeploymentControlPanel.h"
#include "prep/GUI_DeploymentDesignPicker.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentZone.h"
#include "prep/GUI_ShipIcon.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipDesign.h"
#include "support/PickedDesign.h"
#include "support/WindowInput.h"
#include "support/WindowRoad.h"
#include "support/WindowedGame.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>


TEST(GLDeploymentWindow, ADesignClickedIntoTheZoneFightsTheBattle)
{
    // The window at the size the game picks for itself.
    WindowedGame play({.seed = 3, .smallWindow = false, .battleFrameMs = 16.0f});
    ASSERT_TRUE(play.Started());
    Game& game = Game::GetInstance();

    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(scenario, nullptr);
    GUI_DeploymentGUI::Open(scenario, false, 15);
    SettleScreens(); // past the screen wipe
    GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    ASSERT_EQ(game.GetModeId(), 2);
    ASSERT_TRUE(screen.GetPlayerFleet()->GetShips().empty());
    EXPECT_FALSE(screen.GetFightButton()->enabled);

    ASSERT_NE(GUI_DeploymentDesignPicker::GetOpen(), nullptr);
    const GUI_ShipIcon* design = FirstBuyableWarship();
    ASSERT_NE(design, nullptr);
    const std::string designName = design->GetDesign()->GetName();

    const GRect zone = GUI_DeploymentZone::GetInstance().GetScreenRect();
    const int zx = (zone.left + zone.right) / 2, zy = (zone.top + zone.bottom) / 2;
    MoveMouse(zx, zy);
    const double emptyZone = Brightness(Screenshot(play.UserDir()), zx, zy, 6);

    ClickAt((design->left + design->right) / 2, (design->top + design->bottom) / 2);
    ASSERT_EQ(screen.GetPlayerFleet()->GetShips().size(), 1u);
    // The new ship follows the pointer until the click on the map.
    ClickAt(zx, zy);
    ASSERT_EQ(GetDeploymentIcons().size(), 1u);
    const GUI_DeploymentIcon* placed = GetDeploymentIcons().front();
    EXPECT_FALSE(placed->dragging);
    EXPECT_TRUE(placed->IsInsideZone());
    EXPECT_EQ(screen.GetPlayerFleet()->GetShips().size(), 1u);
    EXPECT_TRUE(screen.GetFightButton()->enabled);
    // The hull is drawn where it was put down: brighter than the empty zone.
    MoveMouse(zone.right - 4, zone.bottom - 4);
    const double withShip =
        Brightness(Screenshot(play.UserDir()), static_cast<int>(placed->screenX), static_cast<int>(placed->screenY), 3);
    EXPECT_GT(withShip, emptyZone + 30.0);

    const GUI_ButtonText* fight = screen.GetFightButton();
    ClickAt((fight->left + fight->right) / 2, (fight->top + fight->bottom) / 2);
    ASSERT_EQ(game.GetModeId(), 9);
    const GUI_LoadingScreen& loading = GUI_LoadingScreen::GetInstance();
    EXPECT_EQ(loading.GetState(), GUI_LoadingScreen::WAITING);
    EXPECT_EQ(loading.GetStepCount(), 5);
    // The fleet of this fight waits for the next visit to the screen.
    std::ifstream temp(screen.GetTempDeploymentPath());
    std::stringstream written;
    written << temp.rdbuf();
    EXPECT_NE(written.str().find("design = " + designName), std::string::npos) << written.str();

    PressKey(SDL_SCANCODE_SPACE);
    EXPECT_EQ(game.GetModeId(), 0);
    SIM_Battle& battle = SIM_Battle::GetInstance();
    ASSERT_TRUE(battle.IsStarted());
    ASSERT_NE(battle.GetPlayerFleet(), nullptr);
    ASSERT_EQ(battle.GetPlayerFleet()->GetAllShips().size(), 1u);
    EXPECT_EQ(battle.GetPlayerDeployedFleet()->GetShips().front()->design, designName);
    RunGameFrames(10);
}

// A new player's first look at a battle's deployment screen, in the window
// the game picks (1280 x 1024 under the X server of the smoke run): the
// first lesson stands clear of the EASY, MEDIUM and HARD buttons, which take
// the mouse and show while it is up (the lesson's place at both sizes is
// pinned with every other lesson in LessonPlacesTest).
TEST(GLDeploymentWindow, TheFirstLessonLeavesTheDifficultyButtonsFree)
{
    WindowedGame play({.seed = 3, .smallWindow = false});
    ASSERT_TRUE(play.Started());
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(scenario, nullptr);
    scenario->SetDifficulty(SIM_Scenario::EASY);
    GUI_DeploymentGUI::Open(scenario, false, 15);
    RunGameFrames(70); // past the screen wipe
    const GUI_TutorialWindow* lesson = GUI_TutorialWindow::GetFirst();
    ASSERT_NE(lesson, nullptr);
    EXPECT_EQ(lesson->GetLessonName(), "CHANGEDEPLOYMENT1");
    GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();

    // The buttons' labels show: their middles are as bright as without the lesson.
    MoveMouse(5, 5);
    const TextureData withLesson = Screenshot(play.UserDir());
    for (int level = 0; level < 3; ++level) {
        const GUI_ButtonText* button = screen.GetDifficultyButton(level);
        ASSERT_TRUE(button->visible);
        EXPECT_TRUE(button->bottom <= lesson->top || button->top >= lesson->bottom || button->right <= lesson->left ||
                    button->left >= lesson->right)
            << "the lesson covers difficulty " << level;
        EXPECT_GT(CountLitIn(withLesson, *button, 200), 20) << "the label of difficulty " << level;
    }
    // A click on HARD chooses it while the lesson is still up.
    ClickCentre(screen.GetDifficultyButton(SIM_Scenario::HARD));
    EXPECT_EQ(scenario->GetDifficulty(), SIM_Scenario::HARD);

    // Hard it stays after a restart: the next run's deployment starts there,
    // its button lit.
    play.Stop();
    for (SIM_Scenario* each : SIM_Scenario::GetList())
        each->SetDifficulty(SIM_Scenario::EASY); // as a new run's scenarios are read
    ASSERT_TRUE(play.Restart());
    scenario = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(scenario, nullptr);
    GUI_DeploymentGUI::Open(scenario, false, 15);
    RunGameFrames(70);
    EXPECT_EQ(scenario->GetDifficulty(), SIM_Scenario::HARD);
    const GUI_ButtonText* hard = GUI_DeploymentGUI::GetInstance().GetDifficultyButton(SIM_Scenario::HARD);
    EXPECT_TRUE(hard->chosen);
    EXPECT_FALSE(GUI_DeploymentGUI::GetInstance().GetDifficultyButton(SIM_Scenario::EASY)->chosen);
    scenario->SetDifficulty(SIM_Scenario::EASY);
}

// A fleet placed by hand is not thrown away by Load deployment without a
// question, through the real window: saved with Enter, a second ship
// placed, Load asks; No keeps both ships, Yes loads the saved one.
TEST(GLDeploymentWindow, LoadDeploymentAsksBeforeReplacingAPlacedFleet)
{
    WindowedGame play({.seed = 3, .noLessons = true});
    ASSERT_TRUE(play.Started());
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(scenario, nullptr);
    GUI_DeploymentGUI::Open(scenario, false, 15);
    RunGameFrames(70); // past the screen wipe
    GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    const GRect zone = GUI_DeploymentZone::GetInstance().GetScreenRect();
    auto placeAt = [&](int x, int y) {
        const GUI_ShipIcon* design = FirstBuyableWarship();
        ASSERT_NE(design, nullptr);
        ClickCentre(design);
        ClickAt(x, y);
    };
    const int zx = (zone.left + zone.right) / 2;
    ASSERT_NO_FATAL_FAILURE(placeAt(zx, zone.top + (zone.bottom - zone.top) / 3));
    ASSERT_EQ(screen.GetPlayerFleet()->GetShips().size(), 1u);

    // Saved under the name offered, with Enter.
    ClickCentre(GUI_DeploymentControlPanel::GetOpen()->GetSaveButton());
    ASSERT_NE(GUI_SaveFileDialog::GetOpen(), nullptr);
    PressKey(SDL_SCANCODE_RETURN);
    ASSERT_EQ(GUI_SaveFileDialog::GetOpen(), nullptr);
    ASSERT_TRUE(FileExists(screen.GetSaveFolder() + "deployed.txt"));

    ASSERT_NO_FATAL_FAILURE(placeAt(zx, zone.top + 2 * (zone.bottom - zone.top) / 3));
    ASSERT_EQ(screen.GetPlayerFleet()->GetShips().size(), 2u);
    auto chooseSaved = [&]() {
        ClickCentre(GUI_DeploymentControlPanel::GetOpen()->GetLoadButton());
        GUI_OpenFileDialog* open = GUI_OpenFileDialog::GetOpen();
        ASSERT_NE(open, nullptr);
        const GUI_FilePickerItem* row = open->GetPicker()->FindRow("deployed");
        ASSERT_NE(row, nullptr);
        ClickAt(row->left + 20, (row->top + row->bottom) / 2);
        ClickCentre(open->GetOpenButton());
    };
    ASSERT_NO_FATAL_FAILURE(chooseSaved());
    GUI_ConfirmDialog* question = GUI_ConfirmDialog::GetOpen();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->GetQuestion(), GetString("DEPLOYMENT_LOAD_CONFIRM_MESSAGE"));
    // The question is on the screen: its No button's label lights its middle.
    EXPECT_GT(CountLitIn(Screenshot(play.UserDir()), *question->GetNoButton(), 200), 20);
    ClickCentre(question->GetNoButton());
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_EQ(screen.GetPlayerFleet()->GetShips().size(), 2u);

    ASSERT_NO_FATAL_FAILURE(chooseSaved());
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    ClickCentre(GUI_ConfirmDialog::GetOpen()->GetYesButton());
    EXPECT_EQ(screen.GetPlayerFleet()->GetShips().size(), 1u);
    EXPECT_EQ(GetDeploymentIcons().size(), 1u);
}
