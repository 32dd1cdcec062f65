// Where the deployment screen's first lesson stands for a new player: clear
// of the controls the screen offers while it is up (the difficulty buttons,
// FIGHT and Back along the bottom) and of what it points at (the design
// picker and the zone), at the smallest screen and at 1280 x 1024.
#include "DesignerTestGame.h"

#include "gui/GUI_ButtonText.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_TutorialWindow.h"
#include "prep/GUI_DeploymentDesignPicker.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentMap.h"
#include "sim/SIM_ShipDesign.h"
#include "prep/GUI_DeploymentZone.h"
#include "sim/SIM_Scenario.h"

#include <gtest/gtest.h>

namespace {

template <typename A, typename B>
bool Overlap(const A& a, const B& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

class DeploymentLessons : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(DeploymentLessons, TheFirstLessonLeavesTheButtonsAndWhatItPointsAtFree)
{
    DesignerTestGame game(GetParam().first, GetParam().second);
    ASSERT_TRUE(game.started);
    // The game's own lessons, as a new player has them.
    GUI_Tutorial::GetInstance().Load();
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(scenario, nullptr);
    GUI_DeploymentGUI::Open(scenario, false, 15);
    game.Frames(2);
    const GUI_TutorialWindow* lesson = GUI_TutorialWindow::GetFirst();
    ASSERT_NE(lesson, nullptr);
    ASSERT_EQ(lesson->GetLessonName(), "CHANGEDEPLOYMENT1");
    const GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    for (int level = 0; level < 3; ++level) {
        ASSERT_TRUE(screen.GetDifficultyButton(level)->visible);
        EXPECT_FALSE(Overlap(*lesson, *screen.GetDifficultyButton(level))) << "difficulty " << level;
    }
    EXPECT_FALSE(Overlap(*lesson, *screen.GetFightButton()));
    EXPECT_FALSE(Overlap(*lesson, *screen.GetGoBackButton()));
    ASSERT_NE(screen.GetDesignPicker(), nullptr);
    EXPECT_FALSE(Overlap(*lesson, *screen.GetDesignPicker()));
    EXPECT_FALSE(Overlap(*lesson, GUI_DeploymentZone::GetInstance().GetScreenRect()));
    EXPECT_LE(lesson->right, GetParam().first);
    EXPECT_LE(lesson->bottom, GetParam().second);
}

// The lessons after a ship is placed and when the fleet is ready stand
// clear of the bottom buttons too: "Ready to fight" points at FIGHT, and
// neither may hide EASY, MEDIUM and HARD.
TEST_P(DeploymentLessons, TheShipPlacedAndReadyLessonsLeaveTheBottomButtonsFree)
{
    DesignerTestGame game(GetParam().first, GetParam().second);
    ASSERT_TRUE(game.started);
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    tutorial.Load();
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(scenario, nullptr);
    GUI_DeploymentGUI::Open(scenario, false, 15);
    game.Frames(2);
    // A ship on the map, for the first lesson to point at.
    const GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    GUI_DeploymentGUI::GetInstance().PlaceShip(SIM_ShipDesign::Find("fed_sample_frigate"), map.MapToScreenX(288),
                                               map.MapToScreenY(384));
    DropDraggedDeploymentIcons();
    game.Frames(1);
    const GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    for (const char* name : {"ADDED_NEW_SHIP", "SAVEDEPLOYMENT"}) {
        // Placing the ship opened the first of them already.
        const GUI_TutorialWindow* open = GUI_TutorialWindow::GetFirst();
        if (!open || open->GetLessonName() != name)
            ASSERT_TRUE(tutorial.LaunchTutorial(name)) << name;
        game.Frames(1);
        const GUI_TutorialWindow* lesson = GUI_TutorialWindow::GetFirst();
        ASSERT_NE(lesson, nullptr);
        ASSERT_EQ(lesson->GetLessonName(), name);
        for (int level = 0; level < 3; ++level) {
            ASSERT_TRUE(screen.GetDifficultyButton(level)->visible);
            EXPECT_FALSE(Overlap(*lesson, *screen.GetDifficultyButton(level))) << name << ", difficulty " << level;
        }
        EXPECT_FALSE(Overlap(*lesson, *screen.GetFightButton())) << name;
        EXPECT_FALSE(Overlap(*lesson, *screen.GetGoBackButton())) << name;
        EXPECT_FALSE(Overlap(*lesson, GUI_DeploymentZone::GetInstance().GetScreenRect())) << name;
        EXPECT_LE(lesson->right, GetParam().first);
        EXPECT_LE(lesson->bottom, GetParam().second);
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, DeploymentLessons,
                         ::testing::Values(std::make_pair(1024, 768), std::make_pair(1280, 1024)));

} // namespace
