#include "frontend/FrontendGame.h"
#include "frontend/GUI_RaceScreen.h"
#include "gui/GUI_ButtonText.h"
#include "prep/GUI_DeploymentGUI.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Scenario.h"

using RaceScreen = FrontendGame;

TEST_F(RaceScreen, ReturnsToWhicheverScreenOpenedIt)
{
    Game& game = Game::GetInstance();
    GUI_RaceScreen& screen = GUI_RaceScreen::GetInstance();
    game.SetMode(11);
    EXPECT_EQ(screen.GetReturnMode(), 15);
    Click(*screen.GetBackButton());
    EXPECT_EQ(game.GetModeId(), 15);

    GUI_DeploymentGUI::GetInstance().SetScenario(SIM_Scenario::FindByName("scenario1"));
    game.SetMode(11);
    screen.SetReturnMode(2); // as the deployment screen opens it
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(game.GetModeId(), 2);
    EXPECT_EQ(GUI_RaceSelector::GetOpen(), nullptr);

    game.SetMode(11); // Enter forgets the last opener
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(game.GetModeId(), 15);
}

TEST_F(RaceScreen, OneRowPerRaceAndOnlyOtherUnlockedRacesCanBeSelected)
{
    Game::GetInstance().SetMode(11);
    Frames(1);
    GUI_RaceSelector* selector = GUI_RaceSelector::GetOpen();
    ASSERT_NE(selector, nullptr);
    // 800 pixels high: three rows at a time in a 665-high selector.
    EXPECT_EQ(selector->GetRowsShown(), 3);
    EXPECT_EQ(selector->height, 665);
    EXPECT_EQ(selector->width, 900);
    ASSERT_EQ(selector->GetRows().size(), SIM_Race::GetList().size());
    const GUI_RaceDetails* first = selector->GetRows()[0];
    EXPECT_EQ(first->bottom - first->top, GUI_RaceSelector::kRowHeight);
    for (const GUI_RaceDetails* row : selector->GetRows()) {
        const bool current = row->GetRace().GetName() == SIM_Options::GetInstance().GetRaceName();
        EXPECT_EQ(row->GetSelectButton()->visible, !current);
        if (!current) {
            EXPECT_EQ(row->GetSelectButton()->enabled, !row->GetRace().IsLocked());
        }
        if (row->GetRace().IsLocked()) {
            EXPECT_EQ(row->GetSelectButton()->GetText(), "Locked");
        }
    }
}
