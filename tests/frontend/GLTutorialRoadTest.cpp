// A new player's first command through the real window, led by the lessons
// alone: at every step the test clicks the control the open lesson points at
// (found by the name its frame carries, through the element-name registry),
// from the title through the scenario choice and the deployment to a won
// tutorial battle and its report. Each highlighted control is photographed
// (kept in build/test/tutorial-road/) and its frame checked in the picture.
#include "app/Game.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/hud/GUI_PostMortem.h"
#include "engine/GSafeFile.h"
#include "frontend/GUI_ChooseScenario.h"
#include "frontend/GUI_LoadingScreen.h"
#include "frontend/GUI_Scenario.h"
#include "gui/GUI_BaseElement.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_TutorialHighlighter.h"
#include "gui/GUI_TutorialWindow.h"
#include "platform/IClock.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentZone.h"
#include "prep/GUI_ShipIcon.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_ShipOrders.h"
#include "support/PickedDesign.h"
#include "support/WindowInput.h"
#include "support/WindowRoad.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kMainMenu = 15, kScenarioChoice = 3, kDeployment = 2, kLoading = 9, kBattle = 0, kShop = 10;
constexpr int kMaxBattleFrames = 12000;
constexpr float kFrameMs = 36.0f;

std::string Lesson()
{
    const GUI_TutorialWindow* window = GUI_TutorialWindow::GetFirst();
    return window ? window->GetLessonName() : std::string();
}

std::vector<std::string> PointedNames()
{
    std::vector<std::string> names;
    for (const auto& frame : GUI_TutorialHighlighter::GetInstance().GetFrames())
        names.push_back(frame.name);
    return names;
}

// The control the lesson points at, as the registry knows it.
const GUI_BaseElement* Pointed(const std::string& name)
{
    const std::vector<std::string> names = PointedNames();
    if (std::find(names.begin(), names.end(), name) == names.end()) {
        ADD_FAILURE() << "the lesson does not point at " << name;
        return nullptr;
    }
    return GUI_BaseElement::FindByName(name);
}

// A picture of the screen, kept beside the build for a person to look at.
TextureData Shot(const std::string& user, const std::string& label)
{
    const TextureData picture = Screenshot(user);
    const std::filesystem::path kept = std::filesystem::path(QLM_GAME_DIR).parent_path() / "tutorial-road";
    std::filesystem::create_directories(kept);
    for (const auto& entry : std::filesystem::directory_iterator(user))
        if (entry.path().filename().string().rfind("screenshot_", 0) == 0)
            std::filesystem::copy_file(entry.path(), kept / (label + ".bmp"),
                                       std::filesystem::copy_options::overwrite_existing);
    return picture;
}

// The frame's top bar shows white over whatever lies beneath: every probe
// along it is near grey or brighter (its alpha pulses from 0 to 255; the
// test's clock holds it at full).
void ExpectFrameDrawn(const TextureData& picture, const std::string& name)
{
    bool found = false;
    for (const auto& frame : GUI_TutorialHighlighter::GetInstance().GetFrames()) {
        if (frame.name != name)
            continue;
        found = true;
        const GRect& r = frame.rect;
        int lit = 0, probes = 0;
        for (int x = r.left + 6; x < r.right - 6; x += std::max(1, (r.right - r.left) / 10)) {
            int red, green, blue;
            PixelAt(picture, x, r.top + 1, red, green, blue);
            lit += std::min({red, green, blue}) >= 200;
            ++probes;
        }
        EXPECT_EQ(lit, probes) << "the frame around " << name << " is not drawn";
    }
    EXPECT_TRUE(found) << name;
}

// The open lesson leaves the deployment's bottom buttons (EASY, MEDIUM,
// HARD, FIGHT, Back) free, and they show in the picture.
void ExpectBottomButtonsFree(const TextureData& picture)
{
    const GUI_TutorialWindow* lesson = GUI_TutorialWindow::GetFirst();
    ASSERT_NE(lesson, nullptr);
    const GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    std::vector<const GUI_ButtonText*> buttons = {screen.GetFightButton(), screen.GetGoBackButton()};
    for (int level = 0; level < 3; ++level)
        buttons.push_back(screen.GetDifficultyButton(level));
    for (const GUI_ButtonText* button : buttons) {
        if (!button->visible)
            continue;
        const bool overlap = lesson->left < button->right && button->left < lesson->right &&
                             lesson->top < button->bottom && button->top < lesson->bottom;
        EXPECT_FALSE(overlap) << lesson->GetLessonName() << " covers " << button->GetText();
        EXPECT_GT(CountLitIn(picture, *button, 150), 20) << button->GetText() << " under " << lesson->GetLessonName();
    }
}

} // namespace

TEST(GLTutorialRoad, ANewPlayerIsLedFromTheTitleToAWonTutorialBattle)
{
    WindowedGame play({.seed = 5, .battleFrameMs = kFrameMs, .unheldFrames = true});
    ASSERT_TRUE(play.Started());
    const std::string& user = play.UserDir();
    Game& game = Game::GetInstance();
    // Frames pulse with this clock: a quarter second in, they are at full white.
    ManualClock pulse;
    GUI_TutorialHighlighter& highlighter = GUI_TutorialHighlighter::GetInstance();
    highlighter.SetClock(&pulse);
    // Photographs the lesson at full white and checks the frames around the
    // controls it points at; the first of them is handed back.
    auto photograph = [&pulse, &user](const std::string& label, std::initializer_list<const char*> names) {
        RunGameFrames(1);
        pulse.Advance(250.0);
        RunGameFrames(1);
        const TextureData picture = Shot(user, label);
        for (const char* name : names)
            ExpectFrameDrawn(picture, name);
        return Pointed(*names.begin());
    };
    GUI_BattleGUI& battleScreen = GUI_BattleGUI::GetInstance();
    SettleScreens();

    // The title: a welcome pointing at BATTLE.
    ASSERT_EQ(game.GetModeId(), kMainMenu);
    ASSERT_EQ(Lesson(), "WELCOME");
    ClickCentre(photograph("01_title", {"MAINMENU_BATTLE"}));
    SettleScreens();
    ASSERT_EQ(game.GetModeId(), kScenarioChoice);

    // The scenario choice points at the tutorial battle's row.
    ASSERT_EQ(Lesson(), "CHOOSEBATTLE");
    const auto* row = dynamic_cast<const GUI_Scenario*>(Pointed("scenario_tutorial1"));
    ASSERT_NE(row, nullptr);
    for (int i = 0; i < 400 && row->GetState() != GUI_Scenario::SHOWN; ++i)
        RunGameFrames(1);
    photograph("02_scenario_choice", {"scenario_tutorial1"});
    ClickCentre(row);
    RunGameFrames(1);
    ASSERT_EQ(Lesson(), "SCENARIODETAILS");
    ClickCentre(photograph("03_scenario_details", {"fightbattle"}));
    SettleScreens();
    ASSERT_EQ(game.GetModeId(), kDeployment);

    // Deployment: the ship list and the zone; a ship is placed with two clicks.
    GUI_DeploymentGUI& deployment = GUI_DeploymentGUI::GetInstance();
    ASSERT_EQ(Lesson(), "CHANGEDEPLOYMENT1");
    const size_t shipsBefore = deployment.GetPlayerFleet()->GetShips().size();
    ASSERT_GT(shipsBefore, 0u) << "the tutorial fleet is deployed for a new player";
    ASSERT_NE(photograph("04_deployment", {"DESIGN_PICKER", "DEPLOYMENT_ZONE"}), nullptr);
    const GUI_ShipIcon* design = FirstBuyableWarship();
    ASSERT_NE(design, nullptr);
    const GRect zone = GUI_DeploymentZone::GetInstance().GetScreenRect();
    auto zoneFrame = std::find_if(highlighter.GetFrames().begin(), highlighter.GetFrames().end(),
                                  [](const auto& f) { return f.name == "DEPLOYMENT_ZONE"; });
    ASSERT_NE(zoneFrame, highlighter.GetFrames().end());
    EXPECT_EQ(zone.left, zoneFrame->rect.left);
    EXPECT_EQ(zone.bottom, zoneFrame->rect.bottom);
    ClickCentre(design);
    ClickAt((zone.left + zone.right) / 2, zone.top + zone.Height() / 8);
    ASSERT_EQ(deployment.GetPlayerFleet()->GetShips().size(), shipsBefore + 1);
    RunGameFrames(1);
    ASSERT_EQ(Lesson(), "ADDED_NEW_SHIP");
    const GUI_BaseElement* placed = photograph("05_ship_placed", {"deploymenticon"});
    ExpectBottomButtonsFree(Screenshot(user));
    ClickCentre(placed);
    RunGameFrames(1);
    ASSERT_EQ(Lesson(), "SHIPDETAILS");
    ClickCentre(photograph("06_ship_details", {"ADDORDER"}));
    RunGameFrames(1);
    ASSERT_EQ(Lesson(), "BEHAVIOR_PICKER");
    auto countOrders = [&deployment] {
        size_t n = 0;
        for (const auto& s : deployment.GetPlayerFleet()->GetShips())
            n += s->orders.Count();
        return n;
    };
    const size_t ordersBefore = countOrders();
    ClickCentre(photograph("07_order_picker", {"BEHAVIOR_PICKER_ADD"}));
    RunGameFrames(1);
    EXPECT_EQ(countOrders(), ordersBefore + 1);
    ASSERT_EQ(Lesson(), "SAVEDEPLOYMENT");
    const GUI_BaseElement* fight = photograph("08_ready_to_fight", {"fightbattle"});
    ExpectBottomButtonsFree(Screenshot(user));
    ASSERT_TRUE(deployment.GetFightButton()->enabled);
    EXPECT_EQ(fight, static_cast<const GUI_BaseElement*>(deployment.GetFightButton()));
    ClickCentre(fight);
    ASSERT_EQ(game.GetModeId(), kLoading);
    EXPECT_EQ(Lesson(), "");
    // The loading screen waits for a click.
    for (int i = 0; i < 200 && GUI_LoadingScreen::GetInstance().GetState() != GUI_LoadingScreen::WAITING; ++i)
        RunGameFrames(1);
    ClickAt(512, 384);
    ASSERT_EQ(game.GetModeId(), kBattle);

    // The battle stands still while the lessons talk; OK goes on.
    SettleScreens();
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    ASSERT_EQ(Lesson(), "BATTLESTART_tutorial1");
    EXPECT_TRUE(battleScreen.paused);
    EXPECT_TRUE(tutorial.IsBattlePausedByTutorial());
    Shot(user, "09_battle_begins");
    ClickCentre(GUI_BaseElement::FindByName("tutorialbutton"));
    RunGameFrames(1);
    ASSERT_EQ(Lesson(), "BATTLE_INSPECT");
    EXPECT_TRUE(battleScreen.paused);
    photograph("10_watching_a_ship", {"BATTLEGUI_CAMERAMODE"});
    ClickCentre(GUI_BaseElement::FindByName("tutorialbutton"));
    RunGameFrames(1);
    ASSERT_EQ(Lesson(), "BATTLE_SPEED");
    const GUI_BaseElement* faster =
        photograph("11_speed_and_pause", {"BATTLEGUI_FASTER_TOOLTIP", "BATTLEGUI_PAUSE_TOOLTIP", "BATTLEGUI_SLOWER_TOOLTIP"});
    ASSERT_NE(faster, nullptr);
    ClickCentre(GUI_BaseElement::FindByName("tutorialbutton"));
    RunGameFrames(1);
    EXPECT_EQ(Lesson(), "");
    EXPECT_FALSE(battleScreen.paused);
    EXPECT_FALSE(tutorial.IsBattlePausedByTutorial());
    for (int i = 0; i < 15 && battleScreen.battleSpeed < 3.99f; ++i)
        ClickCentre(faster);
    EXPECT_FLOAT_EQ(battleScreen.battleSpeed, 4.0f);

    int frames = 0;
    while (!GUI_PostMortem::GetOpen() && frames < kMaxBattleFrames) {
        RunGameFrames(1);
        ++frames;
    }
    ASSERT_NE(GUI_PostMortem::GetOpen(), nullptr) << "no end after " << frames << " frames";
    ASSERT_EQ(SIM_Battle::GetInstance().GetLost(), SIM_Battle::WON);
    RunGameFrames(1);
    ASSERT_EQ(Lesson(), "POSTMORTEM");
    ClickCentre(photograph("12_report", {"POSTMORTEM_QUIT"}));
    SettleScreens();
    ASSERT_EQ(game.GetModeId(), kShop);
    EXPECT_EQ(Lesson(), "UNLOCK_SHOP");
    Shot(user, "13_unlock_shop");

    // The whole road is on record, and none of it shows again.
    std::string seen;
    ReadWholeFile(user + "/tutorial_seen.ini", seen);
    EXPECT_EQ(seen, "[seen]\nWELCOME\nCHOOSEBATTLE\nSCENARIODETAILS\nCHANGEDEPLOYMENT1\nADDED_NEW_SHIP\nSHIPDETAILS\n"
                    "BEHAVIOR_PICKER\nSAVEDEPLOYMENT\nBATTLESTART_tutorial1\nBATTLE_INSPECT\nBATTLE_SPEED\n"
                    "POSTMORTEM\nUNLOCK_SHOP\n");
    EXPECT_FALSE(tutorial.LaunchTutorial("CHOOSEBATTLE"));

    highlighter.SetClock(nullptr);
}
