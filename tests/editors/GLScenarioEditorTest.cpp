// A custom scenario made with the mouse through the real window: the editor
// from the main menu, a backdrop, the cost slider dragged to its top, the
// stars box, an anomaly from the picker, Deploy; then one ship in the zone,
// FIGHT, and the battle against the enemy the scenario was given.
#include "app/Game.h"
#include "battle/GUI_BattleGUI.h"
#include "editors/GUI_AnomalyEditor.h"
#include "editors/GUI_AnomalyPicker.h"
#include "editors/GUI_EditorOptions.h"
#include "editors/GUI_MapPicker.h"
#include "editors/GUI_ScenarioEditorWindow.h"
#include "engine/GSafeFile.h"
#include "frontend/GUI_MainMenu.h"
#include "frontend/GUI_OptionsSlider.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_CheckButton.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentZone.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Scenario.h"
#include "support/PickedDesign.h"
#include "support/WindowInput.h"
#include "support/WindowRoad.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::string ReadText(const std::string& path)
{
    std::string text;
    ReadWholeFile(path, text);
    return text;
}

} // namespace

TEST(GLScenarioEditor, ACustomScenarioMadeWithTheMouseIsDeployedAndFought)
{
    WindowedGame play({.seed = 7, .battleFrameMs = 16.0f});
    ASSERT_TRUE(play.Started());
    const std::string& user = play.UserDir();
    Game& game = Game::GetInstance();
    SettleScreens();

    ClickCentre(GUI_MainMenu::GetInstance().GetScenarioEditorButton());
    SettleScreens();
    ASSERT_EQ(game.GetModeId(), 13);
    GUI_ScenarioEditorWindow* window = GUI_ScenarioEditorWindow::GetOpen();
    ASSERT_NE(window, nullptr);
    // The window and its panels are drawn over the backdrop.
    const TextureData first = Screenshot(user);
    EXPECT_GT(CountLit(first, window->left, window->top, window->right, window->bottom, 200), 500);

    // The last backdrop of the list.
    GUI_MapPicker* maps = window->GetMapPicker();
    ASSERT_FALSE(maps->GetStrips().empty());
    const GUI_MapPickerStrip* strip = maps->GetStrips().back();
    const std::string backdrop = strip->GetFile();
    ClickCentre(strip);
    EXPECT_EQ(maps->GetSelectedBackdrop(), backdrop);

    // The cost knob dragged past the end of its track: the top cost.
    GUI_EditorOptions* options = window->GetOptions();
    const GUI_OptionsSlider* cost = options->GetCostSlider();
    const int kx = static_cast<int>(cost->GetKnobX()), ky = static_cast<int>(cost->GetKnobY());
    MoveMouse(kx, ky);
    SetMouseButton(kx, ky, true);
    MoveMouse(cost->right + 40, ky);
    SetMouseButton(cost->right + 40, ky, false);
    EXPECT_EQ(options->GetCost(), 100000);
    const GUI_CheckButton* stars = options->GetStarsBox();
    ClickAt(stars->left + 37, stars->top + 21);
    EXPECT_TRUE(options->HasStars());

    // An anomaly from the picker: the engine multiplier, second in its list.
    ClickCentre(window->GetAnomalyEditor()->GetAddButton());
    GUI_AnomalyPicker* picker = GUI_AnomalyPicker::GetOpen();
    ASSERT_NE(picker, nullptr);
    ASSERT_GE(picker->GetStrips().size(), 2u);
    ClickCentre(picker->GetStrips()[1]->GetAddButton());
    RunGameFrames(2);
    EXPECT_EQ(GUI_AnomalyPicker::GetOpen(), nullptr);
    ASSERT_EQ(window->GetAnomalyEditor()->GetStrips().size(), 1u);
    const TextureData edited = Screenshot(user);
    const GUI_AnomalyStrip* anomaly = window->GetAnomalyEditor()->GetStrips()[0];
    EXPECT_GT(CountLit(edited, anomaly->left, anomaly->top, anomaly->right - 110, anomaly->bottom, 200), 30);

    // Deploy replaces the window (it reads the file back) and leaves it.
    ClickCentre(window->GetDeployButton());
    window = nullptr;
    SettleScreens();
    ASSERT_EQ(game.GetModeId(), 2);
    const std::string file = ReadText(user + "/custom_scenarios/Custom Map.txt");
    EXPECT_NE(file.find("fleetcostlimit = 100000\n"), std::string::npos) << file;
    EXPECT_NE(file.find("starfield = 1\n"), std::string::npos) << file;
    EXPECT_NE(file.find("ENGINE_SPEED_MULTIPLIER,1.00\n"), std::string::npos) << file;
    EXPECT_NE(file.find("backdrop = " + backdrop + "\n"), std::string::npos) << file;

    GUI_DeploymentGUI& deployment = GUI_DeploymentGUI::GetInstance();
    ASSERT_NE(deployment.GetScenario(), nullptr);
    EXPECT_TRUE(deployment.GetScenario()->IsCustom());
    ASSERT_NE(deployment.GetEnemyFleet(), nullptr);
    const size_t enemies = deployment.GetEnemyFleet()->GetShips().size();
    EXPECT_GT(enemies, 0u);
    const GUI_ShipIcon* design = FirstBuyableWarship();
    ASSERT_NE(design, nullptr);
    const GRect zone = GUI_DeploymentZone::GetInstance().GetScreenRect();
    ClickCentre(design);
    ClickAt((zone.left + zone.right) / 2, (zone.top + zone.bottom) / 2);
    ASSERT_EQ(deployment.GetPlayerFleet()->GetShips().size(), 1u);
    ASSERT_TRUE(deployment.GetFightButton()->enabled);
    ClickCentre(deployment.GetFightButton());
    ASSERT_EQ(game.GetModeId(), 9);
    PressKey(SDL_SCANCODE_SPACE);
    ASSERT_EQ(game.GetModeId(), 0);
    SIM_Battle& battle = SIM_Battle::GetInstance();
    ASSERT_TRUE(battle.IsStarted());
    EXPECT_EQ(battle.GetScenario(), deployment.GetScenario());
    ASSERT_NE(battle.GetEnemyFleet(), nullptr);
    EXPECT_FALSE(battle.GetEnemyFleet()->GetAllShips().empty());
    RunGameFrames(30);
    EXPECT_FALSE(battle.IsEnded());
    const TextureData fighting = Screenshot(user);
    EXPECT_GT(CountLit(fighting, 0, 0, fighting.width, fighting.height, 60), 2000);
}
