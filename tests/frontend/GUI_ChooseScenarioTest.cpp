#include "frontend/FrontendGame.h"
#include "frontend/GUI_ChooseScenario.h"
#include "frontend/GUI_MenuChrome.h"
#include "frontend/GUI_Scenario.h"
#include "frontend/GUI_ScenarioAchievements.h"
#include "frontend/GUI_ScenarioDetails.h"
#include "frontend/GUI_Scenario_Anomalies.h"
#include "frontend/GUI_ScrollingScreenshot.h"
#include "frontend/GUI_SupplyLimits.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Tooltip.h"
#include "platform/IClock.h"
#include "sim/SIM_HighScores.h"
#include "sim/SIM_Scenario.h"

#include <cmath>

namespace {
class ChooseScenario : public FrontendGame {
protected:
    void SetUp() override
    {
        FrontendGame::SetUp();
        Game::GetInstance().SetMode(3);
        SettleRows();
    }
    void TearDown() override
    {
        // Rows made on a test's clock must not outlive it.
        GUI_Scenario::SetClock(nullptr);
        GUI_ChooseScenario::GetInstance().FillList(false);
    }

    static GUI_Scenario* Row(const std::string& name)
    {
        for (GUI_Scenario* row : GUI_ChooseScenario::GetInstance().GetRows())
            if (row->GetScenario()->GetName() == name)
                return row;
        return nullptr;
    }
    static int Sound(int index) { return GUI_MenuChrome::GetSoundCount(index); }
};
} // namespace

TEST_F(ChooseScenario, LockedRowsAreFadedAndOnlyBeepWhileOpenRowsOpenTheirDetails)
{
    const auto& rows = GUI_ChooseScenario::GetInstance().GetRows();
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0]->GetScenario()->GetName(), "tutorial1");
    EXPECT_EQ(rows[1]->GetScenario()->GetName(), "scenario1");
    EXPECT_EQ(rows[2]->GetScenario()->GetName(), "scenario2");
    // 35 pixels apart inside the list area, 30 high.
    EXPECT_EQ(rows[1]->top - rows[0]->top, 35);
    EXPECT_EQ(rows[0]->bottom - rows[0]->top, 30);
    EXPECT_EQ(rows[0]->top, GUI_ChooseScenario::GetInstance().GetListArea().top + 5);

    GUI_Scenario* locked = Row("scenario2");
    ASSERT_FALSE(locked->IsAvailable()); // opens after a win in scenario1
    EXPECT_EQ(locked->GetTooltip()->GetLines().front(), "Locked: win the scenario before it to open this one");
    const int beeps = Sound(5), clicks = Sound(0);
    Click(*locked);
    EXPECT_EQ(Sound(5), beeps + 1);
    EXPECT_EQ(GUI_ScenarioDetails::GetOpen(), nullptr);

    Click(*Row("scenario1"));
    EXPECT_EQ(Sound(0), clicks + 1);
    ASSERT_NE(GUI_ScenarioDetails::GetOpen(), nullptr);
    EXPECT_EQ(GUI_ScenarioDetails::GetOpen()->GetScenario()->GetName(), "scenario1");
    Click(*Row("tutorial1"));
    EXPECT_EQ(GUI_ScenarioDetails::GetOpen()->GetScenario()->GetName(), "tutorial1");
}

TEST_F(ChooseScenario, TheMouseOverSoundPlaysOncePerRowEntered)
{
    GUI_Scenario* first = Row("scenario1");
    GUI_Scenario* second = Row("tutorial1");
    GUI_Scenario* locked = Row("scenario2");
    MoveMouse(5, 5);
    const int before = Sound(2);
    MoveMouse(first->left + 50, first->top + 10);
    MoveMouse(first->left + 60, first->top + 12);
    Frames(3);
    EXPECT_EQ(Sound(2), before + 1);
    EXPECT_TRUE(first->IsHovered());
    MoveMouse(locked->left + 50, locked->top + 10);
    EXPECT_FALSE(locked->IsHovered()); // no hover, no sound, no hand on a locked row
    EXPECT_EQ(Sound(2), before + 1);
    MoveMouse(second->left + 50, second->top + 10);
    EXPECT_EQ(Sound(2), before + 2);

    // A dialog over the row takes the mouse: the row no longer lights up.
    AskYesNo("QUIT_APP_CONFIRM_TEXT", "QUIT_APP_CONFIRM_TITLE", [](std::intptr_t) {}, false);
    GUI_ConfirmDialog::GetOpen()->MoveTo(static_cast<float>(second->left), static_cast<float>(second->top - 10));
    MoveMouse(second->left + 60, second->top + 12);
    EXPECT_FALSE(second->IsHovered());
    EXPECT_EQ(Sound(2), before + 2);
    PressKey(SDL_SCANCODE_ESCAPE);
}

TEST_F(ChooseScenario, RowsAppearAHundredMillisecondsApartAndSweepOpenInHalfASecond)
{
    ManualClock clock(1000.0);
    GUI_Scenario::SetClock(&clock);
    GUI_ChooseScenario::GetInstance().FillList(true);
    const auto& rows = GUI_ChooseScenario::GetInstance().GetRows();
    ASSERT_GE(rows.size(), 3u);
    // Before it appears a row takes no click.
    GUI_Scenario* last = rows.back();
    EXPECT_FALSE(last->OnLeftClick(static_cast<float>(last->left + 50), static_cast<float>(last->top + 10)));
    EXPECT_EQ(GUI_ScenarioDetails::GetOpen(), nullptr);
    std::vector<double> shownAt(rows.size(), -1.0);
    std::vector<int> halfWidth(rows.size(), -1);
    for (double t = 0.0; t <= 1200.0; t += 5.0) {
        clock.Set(1000.0 + t);
        for (size_t k = 0; k < rows.size(); ++k) {
            rows[k]->Draw();
            if (rows[k]->GetState() == GUI_Scenario::SHOWN && shownAt[k] < 0)
                shownAt[k] = t;
            if (std::fabs(t - (100.0 * k + 250.0)) < 1.0)
                halfWidth[k] = rows[k]->GetVisibleWidth();
        }
    }
    for (size_t k = 0; k < rows.size(); ++k) {
        EXPECT_NEAR(shownAt[k], 100.0 * k + 500.0, 5.0) << k;
        EXPECT_NEAR(halfWidth[k], rows[k]->width / 2, 4) << k;
    }
}

TEST_F(ChooseScenario, DetailsShowTheFactsAndTheMedalsWithTheirHonour)
{
    SIM_ScenarioScore* record = SIM_HighScores::GetInstance().GetScenarioRecord("scenario1");
    ASSERT_NE(record, nullptr);
    record->beaten[0] = true;
    record->highestHonour[0] = 1234;
    Click(*Row("scenario1"));
    GUI_ScenarioDetails* details = GUI_ScenarioDetails::GetOpen();
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(details->GetValue(GUI_ScenarioDetails::FACT_COST), "4,000 CR");
    EXPECT_EQ(details->GetValue(GUI_ScenarioDetails::FACT_PILOTS), "20");
    EXPECT_EQ(details->GetValue(GUI_ScenarioDetails::FACT_RACE), "Korrath");
    EXPECT_EQ(details->GetValue(GUI_ScenarioDetails::FACT_SIZE), "Medium");
    EXPECT_EQ(details->GetTitle(), "Border Skirmish");
    // The picture is 358 wide on a 430-wide dialog, 4:3.
    EXPECT_EQ(details->width, 430);
    EXPECT_EQ(details->GetScreenshot()->width, 358);
    EXPECT_EQ(details->GetScreenshot()->height, 268);

    ASSERT_NE(details->GetAwards(), nullptr);
    EXPECT_EQ(details->GetHighScoresButton(), nullptr);
    const GUI_Achievement* easy = details->GetAwards()->GetMedal(0);
    const GUI_Achievement* medium = details->GetAwards()->GetMedal(1);
    EXPECT_TRUE(easy->IsEarned());
    EXPECT_EQ(easy->GetMedalTexture(), "achieve_bronze.dds");
    EXPECT_EQ(easy->GetTooltip().GetLines().front(), "Won on easy (Best honour: 1234)");
    EXPECT_FALSE(medium->IsEarned());
    EXPECT_EQ(medium->GetMedalTexture(), "achieve_empty.dds");
    EXPECT_EQ(medium->GetAwardName(), "");
    EXPECT_EQ(medium->GetTooltip().GetLines().front(), "Win on medium for the silver medal");
    // Neither anomalies nor supply limits: only the fight button below the facts.
    EXPECT_EQ(details->GetAnomaliesButton(), nullptr);
    EXPECT_EQ(details->GetSupplyLimitsButton(), nullptr);
    record->beaten[0] = false;
    record->highestHonour[0] = 0;
}

TEST_F(ChooseScenario, SurvivalShowsHighScoresAndOneExtraButtonIsCentred)
{
    GUI_ScenarioDetails::Open(SIM_Scenario::FindByName("survival1"));
    GUI_ScenarioDetails* details = GUI_ScenarioDetails::GetOpen();
    ASSERT_NE(details->GetHighScoresButton(), nullptr);
    EXPECT_EQ(details->GetAwards(), nullptr);
    EXPECT_FALSE(details->GetHighScoresButton()->enabled); // no online name

    GUI_ScenarioDetails::Open(SIM_Scenario::FindByName("supply1"));
    details = GUI_ScenarioDetails::GetOpen();
    GUI_ButtonText* supply = details->GetSupplyLimitsButton();
    ASSERT_NE(supply, nullptr);
    EXPECT_EQ(details->GetAnomaliesButton(), nullptr);
    EXPECT_EQ(supply->left, details->GetFactRow(0).left + 100);
    EXPECT_EQ(supply->right, details->clientRight - 100);
    EXPECT_EQ(supply->top, details->GetFactRow(0).top + 85);
    Click(*supply);
    ASSERT_NE(GUI_SupplyLimits::GetOpen(), nullptr);
    EXPECT_EQ(GUI_SupplyLimits::GetOpen()->GetStrips().size(), 6u);
}

TEST_F(ChooseScenario, UnknownRaceAndMissingScoresShowAQuestionMarkAndNoMedals)
{
    SIM_Scenario custom;
    custom.SetName("frontend_custom_test");
    custom.SetGuiName("My battle");
    custom.SetEnemyRace("nobody_we_know");
    custom.SetFleetCostLimit(1234567);
    GUI_ScenarioDetails::Open(&custom);
    GUI_ScenarioDetails* details = GUI_ScenarioDetails::GetOpen();
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(details->GetValue(GUI_ScenarioDetails::FACT_RACE), "?");
    EXPECT_EQ(details->GetValue(GUI_ScenarioDetails::FACT_COST), "1,234,567 CR");
    for (int level = 0; level < 3; ++level)
        EXPECT_FALSE(details->GetAwards()->GetMedal(level)->IsEarned());
    GUI_ScenarioDetails::Close();
}

TEST_F(ChooseScenario, FightHandsTheScenarioToTheDeploymentScreen)
{
    Click(*Row("scenario1"));
    ASSERT_NE(GUI_ScenarioDetails::GetOpen(), nullptr);
    Click(*GUI_ScenarioDetails::GetOpen()->GetFightButton());
    EXPECT_EQ(Game::GetInstance().GetModeId(), 2);
    const GUI_DeploymentRequest& request = GUI_ScenarioDetails::GetDeploymentRequest();
    ASSERT_NE(request.scenario, nullptr);
    EXPECT_EQ(request.scenario->GetName(), "scenario1");
    EXPECT_EQ(request.aiFleetEditing, 0);
    EXPECT_EQ(request.returnMode, 3);
    Frames(1);
    EXPECT_EQ(GUI_ScenarioDetails::GetOpen(), nullptr); // leaving the choice closed it
}

TEST_F(ChooseScenario, EscapeClosesAModalDialogFirstThenLeavesWithTheDetails)
{
    GUI_ScenarioDetails::Open(SIM_Scenario::FindByName("nebula1"));
    ASSERT_NE(GUI_ScenarioDetails::GetOpen()->GetAnomaliesButton(), nullptr);
    Click(*GUI_ScenarioDetails::GetOpen()->GetAnomaliesButton());
    ASSERT_NE(GUI_Scenario_Anomalies::GetOpen(), nullptr);
    // Three anomalies; the shield interference's and the engine drag's
    // descriptions each take two lines of the window.
    const std::vector<std::string>& lines = GUI_Scenario_Anomalies::GetOpen()->GetLines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], "25%.");
    EXPECT_EQ(lines[4], "Ionised gas makes cloaking devices useless.");
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(GUI_Scenario_Anomalies::GetOpen(), nullptr);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 3);
    PressKey(SDL_SCANCODE_ESCAPE); // the details are not modal: the screen goes
    EXPECT_EQ(Game::GetInstance().GetModeId(), 15);
    EXPECT_EQ(GUI_ScenarioDetails::GetOpen(), nullptr);
}

TEST_F(ChooseScenario, TheChangeRaceButtonOpensTheRaceScreenComingBackHere)
{
    // The race screen comes up without the wipe; the main-menu button wipes.
    GUI_Transition::GetInstance().Reset();
    Click(*GUI_ChooseScenario::GetInstance().GetChangeRaceButton());
    EXPECT_EQ(Game::GetInstance().GetModeId(), 11);
    EXPECT_FALSE(GUI_Transition::GetInstance().IsActive());
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 3);
    GUI_Transition::GetInstance().Reset();
    Click(*GUI_ChooseScenario::GetInstance().GetMainMenuButton());
    EXPECT_EQ(Game::GetInstance().GetModeId(), 15);
    EXPECT_TRUE(GUI_Transition::GetInstance().IsActive());
}
