// The deployment screen's rules with the whole game started headless:
// which fleet Enter shows, placing, snapping, dropping, selecting, the
// deployment files, the fight checks, AI-fleet editing and the loading
// screen's bar.
#include "prep/GUI_DeploymentGUI.h"

#include "app/Game.h"
#include "gui/GUI_Transition.h"
#include "online/GUI_NewChallengeEntry.h"
#include "editors/GUI_ScenarioEditor.h"
#include "engine/APP_UserFolders.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GHashTable.h"
#include "engine/GSafeFile.h"
#include "engine/QuadRunBatch.h"
#include "frontend/GUI_LoadingScreen.h"
#include "frontend/GUI_ScenarioDetails.h"
#include "frontend/GUI_SupplyLimits.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_FilePicker.h"
#include "gui/GUI_FilePickerItem.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_OpenFileDialog.h"
#include "gui/GUI_RCMenuBase.h"
#include "gui/GUI_SaveFileDialog.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_WindowManager.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "platform/HeadlessWindow.h"
#include "platform/KeyCodes.h"
#include "prep/GUI_DeployedShipModuleIcon.h"
#include "prep/GUI_DeploymentControlPanel.h"
#include "prep/GUI_DeploymentAIIcon.h"
#include "prep/GUI_DeploymentDesignPicker.h"
#include "prep/GUI_DeploymentDetails.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentIconRCMenu.h"
#include "sim/SIM_DefaultOrders.h"
#include "prep/GUI_DeploymentMap.h"
#include "prep/GUI_DeploymentShipDetails.h"
#include "prep/GUI_DeploymentTools.h"
#include "prep/GUI_DeploymentZone.h"
#include "prep/GUI_FleetSummaryBar.h"
#include "prep/GUI_MissionSummary.h"
#include "prep/GUI_ShipIcon.h"
#include "prep/GUI_ShipIconRCMenu.h"
#include "sim/SIM_Anomaly.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_ShipOrder.h"
#include "sim/SIM_SurvivalMode.h"
#include "support/NoLessons.h"
#include "support/TempDir.h"

#include "DeploymentTestFixture.h"
#include "support/RecordedQuads.h"
#include "support/TextFitCheck.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>

namespace {

const char* kOneFrigate = "[ship0]\nshipid = 4\nname = Alpha\ndesign = fed_sample_frigate\npos = 288,384\n"
                          "quantity = 1\nangle = 90\n\n";
const char* kTwoShips = "[ship0]\nshipid = 1\nname = One\ndesign = fed_sample_frigate\npos = 288,384\n"
                        "quantity = 1\nangle = 90\n\n[ship1]\nshipid = 2\nname = Two\ndesign = fed_sample_support\n"
                        "pos = 288,576\nquantity = 1\nangle = 90\n\n";

} // namespace

TEST_F(DeploymentTest, EnterShowsTheLastFightThenTheSavedFleetAndTheAIFleetWhenEditing)
{
    GUI_DeploymentGUI& screen = Screen();
    ASSERT_EQ(Game::GetInstance().GetModeId(), 2);
    EXPECT_TRUE(screen.GetPlayerFleet()->GetShips().empty());
    EXPECT_FALSE(screen.GetFightButton()->enabled);
    EXPECT_EQ(screen.GetFightTooltipKey(), "GUI_DEPLOYMENT_FIGHT_TOOLTIP");
    // One folder for every deployment of a scenario.
    EXPECT_EQ(screen.GetDeployedPath(), DeploymentFolder() + "/deployed.txt");
    EXPECT_EQ(screen.GetTempDeploymentPath(), DeploymentFolder() + "/_temp_deployment.txt");
    EXPECT_EQ(screen.GetSaveFolder(), DeploymentFolder() + "/");

    // The scenario's sample waits in the folder, fitting the limits.
    const std::string sample = DeploymentFolder() + "/sample.txt";
    ASSERT_TRUE(FileExists(sample));
    screen.LoadDeploymentFile(sample);
    EXPECT_FALSE(screen.GetPlayerFleet()->GetShips().empty());
    EXPECT_TRUE(screen.GetFightButton()->enabled);

    ASSERT_TRUE(WriteFileAtomically(screen.GetDeployedPath(), kOneFrigate));
    Enter(false);
    ASSERT_EQ(screen.GetPlayerFleet()->GetShips().size(), 1u);
    EXPECT_EQ(screen.GetEnteredFrom(), screen.GetDeployedPath());
    EXPECT_TRUE(screen.GetFightButton()->enabled);
    ASSERT_EQ(GetDeploymentIcons().size(), 1u);
    EXPECT_TRUE(GetDeploymentIcons().front()->selected);
    EXPECT_EQ(GUI_DeploymentDetails::GetShown(), GetDeploymentIcons().front()->GetShip());

    ASSERT_TRUE(WriteFileAtomically(screen.GetTempDeploymentPath(), kTwoShips));
    Enter(false);
    EXPECT_EQ(screen.GetPlayerFleet()->GetShips().size(), 2u);
    EXPECT_EQ(screen.GetEnteredFrom(), screen.GetTempDeploymentPath());
    EXPECT_FALSE(GUI_DeploymentTools::GetInstance().fleetChanged);

    screen.GoBack();
    EXPECT_EQ(Game::GetInstance().GetModeId(), 15);
    EXPECT_FALSE(FileExists(screen.GetTempDeploymentPath()));
    Enter(false);
    EXPECT_EQ(screen.GetPlayerFleet()->GetShips().size(), 1u);
    EXPECT_NE(screen.GetEnemyFleet(), nullptr);
    EXPECT_FALSE(GetEnemyDeploymentIcons().empty());

    Enter(true);
    EXPECT_EQ(screen.GetEnteredFrom(), scenario->GetEnemyFleetPath());
    EXPECT_FALSE(screen.GetPlayerFleet()->GetShips().empty());
    EXPECT_EQ(screen.GetEnemyFleet(), nullptr);
    EXPECT_TRUE(GetEnemyDeploymentIcons().empty());
    const GRect& zone = GUI_DeploymentZone::GetInstance().GetWorldRect();
    EXPECT_EQ(zone.left, scenario->GetAIDeployment().left);
    EXPECT_EQ(screen.GetSaveFolder(), "data/deployments/scenario1/");
}

TEST_F(DeploymentTest, APlacedShipIsNamedTurnedNumberedGivenDefaultOrdersAndAsManyFightersAsFit)
{
    GUI_DeploymentGUI& screen = Screen();
    GUI_DeploymentIcon* first = Place(frigate, 288, 384);
    ASSERT_NE(first, nullptr);
    const SIM_DeployedShip* ship = first->GetShip();
    EXPECT_FALSE(ship->name.empty());
    EXPECT_EQ(ship->design, "fed_sample_frigate");
    EXPECT_FLOAT_EQ(ship->angle, 90.0f);
    EXPECT_EQ(ship->shipId, 1);
    EXPECT_EQ(ship->quantity, 1);
    SIM_ShipOrders defaults;
    defaults.SetDefaults(frigate);
    ASSERT_EQ(ship->orders.GetOrders().size(), defaults.GetOrders().size());
    for (size_t i = 0; i < defaults.GetOrders().size(); ++i)
        EXPECT_EQ(ship->orders.GetOrders()[i]->behaviour, defaults.GetOrders()[i]->behaviour);
    EXPECT_FLOAT_EQ(screen.GetPlayerFleet()->GetTotalCost(), frigate->GetCost());
    EXPECT_TRUE(GUI_DeploymentTools::GetInstance().fleetChanged);
    EXPECT_EQ(Place(frigate, 288, 576)->GetShip()->shipId, 2);

    const int pilots = scenario->GetPilotLimit();
    scenario->SetPilotLimit(screen.GetPlayerFleet()->GetTotalShips() + 3);
    GUI_DeploymentIcon* squadron = Place(fighter, 384, 768);
    scenario->SetPilotLimit(pilots);
    ASSERT_NE(squadron, nullptr);
    EXPECT_EQ(squadron->GetShip()->quantity, 3);
    // The squadron fills the grid's middle first: ranks 0, 1, 2 sit at row 2
    // column 1, row 1 column 1, row 1 column 2.
    const auto cells = squadron->SquadronCells();
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_GT(cells[0].second, cells[1].second);
    EXPECT_EQ(cells[0].first, cells[1].first);
    EXPECT_GT(cells[2].first, cells[1].first);
    EXPECT_EQ(cells[2].second, cells[1].second);

    Enter(true);
    GUI_DeploymentIcon* enemy = Place(frigate, 1920, 384);
    ASSERT_NE(enemy, nullptr);
    EXPECT_FLOAT_EQ(enemy->GetShip()->angle, 270.0f);
}

TEST(DeploymentZone, DropsSnapToTheNearestFreeGridPointOrStay)
{
    GUI_DeploymentZone zone;
    zone.SetWorldRect({100, 200, 700, 1600});
    std::vector<std::pair<int, int>> taken;
    auto occupied = [&taken](int x, int y) {
        return std::find(taken.begin(), taken.end(), std::make_pair(x, y)) != taken.end();
    };
    const GUI_DeploymentZone::Point previous{500.0f, 500.0f};
    auto snap = [&](float x, float y) { return zone.Snap(x, y, previous, occupied); };

    auto p = snap(290.0f, 390.0f);
    EXPECT_FLOAT_EQ(p.x, 288.0f);
    EXPECT_FLOAT_EQ(p.y, 384.0f);
    // Taken: the first ring is searched top row, bottom row, left, right.
    taken = {{288, 384}};
    p = snap(290.0f, 390.0f);
    EXPECT_FLOAT_EQ(p.x, 192.0f);
    EXPECT_FLOAT_EQ(p.y, 288.0f);
    taken = {{288, 384}, {192, 288}, {288, 288}, {384, 288}};
    p = snap(290.0f, 390.0f);
    EXPECT_FLOAT_EQ(p.x, 192.0f);
    EXPECT_FLOAT_EQ(p.y, 480.0f);
    // Cells beyond the zone's edge are never free: the ring's top row lies
    // at y 192, above the zone, so its bottom row is taken.
    taken = {{288, 288}};
    p = snap(290.0f, 290.0f);
    EXPECT_FLOAT_EQ(p.x, 192.0f);
    EXPECT_FLOAT_EQ(p.y, 384.0f);
    // Outside (or on the edge of) the zone the drop stays as it is.
    p = snap(100.0f, 500.0f);
    EXPECT_FLOAT_EQ(p.x, 100.0f);
    EXPECT_FLOAT_EQ(p.y, 500.0f);
    p = snap(50.0f, 2000.0f);
    EXPECT_FLOAT_EQ(p.x, 50.0f);
    // No free cell at all: the ship keeps its previous place.
    p = zone.Snap(290.0f, 390.0f, previous, [](int, int) { return true; });
    EXPECT_FLOAT_EQ(p.x, 500.0f);
    EXPECT_FLOAT_EQ(p.y, 500.0f);
}

TEST_F(DeploymentTest, DroppingOutsideTheZoneRemovesTheShipAndTheOrdersAimedAtIt)
{
    GUI_DeploymentGUI& screen = Screen();
    GUI_DeploymentIcon* charge = Place(frigate, 288, 384);
    GUI_DeploymentIcon* escort = Place(frigate, 288, 576);
    GUI_DeploymentIcon* third = Place(support, 480, 576);
    ASSERT_TRUE(charge && escort && third);
    SIM_ShipOrder* order = escort->GetShip()->orders.AddOrder("ESCORT", 0.0f, 0.0f);
    ASSERT_NE(order, nullptr);
    order->shipId = charge->GetShip()->shipId;
    ASSERT_TRUE(escort->GetShip()->orders.HasOrder("ESCORT"));

    // Two selected ships let go together; only the one outside goes.
    ClearDeploymentSelection();
    charge->selected = true;
    third->selected = true;
    GUI_DeploymentDetails::Open(charge->GetShip());
    charge->dragging = third->dragging = true;
    charge->SetMapPosition(-400.0f, 800.0f);
    GUI_DeploymentTools::GetInstance().fleetChanged = false;
    DropDraggedDeploymentIcons();
    ProcessPendingIconDeletions();
    EXPECT_EQ(GetDeploymentIcons().size(), 2u);
    EXPECT_EQ(screen.GetPlayerFleet()->GetShips().size(), 2u);
    EXPECT_EQ(FindDeploymentIconByShipId(1), nullptr);
    EXPECT_FALSE(escort->GetShip()->orders.HasOrder("ESCORT"));
    // The details showed the ship that went: the first one left takes over.
    EXPECT_EQ(GUI_DeploymentDetails::GetShown(), GetDeploymentIcons().front()->GetShip());
    EXPECT_TRUE(GetDeploymentIcons().front()->selected);
    EXPECT_TRUE(GUI_DeploymentTools::GetInstance().fleetChanged);
    EXPECT_FLOAT_EQ(screen.GetPlayerFleet()->GetTotalCost(), frigate->GetCost() + support->GetCost());
}

TEST_F(DeploymentTest, CtrlAddsAndRemovesADoubleClickTakesTheWholeDesign)
{
    GUI_DeploymentIcon* a = Place(frigate, 288, 384);
    GUI_DeploymentIcon* b = Place(frigate, 288, 768);
    GUI_DeploymentIcon* c = Place(support, 576, 576);
    ASSERT_TRUE(a && b && c);
    ClearDeploymentSelection();
    Click(a->screenX, a->screenY);
    EXPECT_TRUE(a->selected);
    EXPECT_FALSE(b->selected || c->selected);
    EXPECT_EQ(GUI_DeploymentDetails::GetShown(), a->GetShip());

    Hold(SDL_SCANCODE_LCTRL, true);
    Click(c->screenX, c->screenY);
    EXPECT_TRUE(a->selected && c->selected);
    Click(a->screenX, a->screenY);
    EXPECT_FALSE(a->selected);
    EXPECT_FALSE(a->dragging);
    EXPECT_TRUE(c->selected);
    Hold(SDL_SCANCODE_LCTRL, false);

    Click(b->screenX, b->screenY);
    Click(b->screenX, b->screenY, true);
    EXPECT_TRUE(a->selected && b->selected);
    EXPECT_FALSE(c->selected);
    // Clicking kept every ship where it stood.
    EXPECT_FLOAT_EQ(b->mapX, 288.0f);
    EXPECT_FLOAT_EQ(b->mapY, 768.0f);
}

TEST_F(DeploymentTest, SavedDeploymentsAreWrittenExactlyAndLoadBackAndNamesStayInTheirFolder)
{
    GUI_DeploymentGUI& screen = Screen();
    GUI_DeploymentIcon* icon = Place(frigate, 288.9f, 384.0f);
    ASSERT_NE(icon, nullptr);
    icon->SetMapPosition(300.9f, 390.2f); // written truncated
    const std::string name = icon->GetShip()->name;
    ASSERT_TRUE(screen.SaveDeploymentAs("mine"));
    EXPECT_FALSE(GUI_DeploymentTools::GetInstance().fleetChanged);
    const std::string text = Read(DeploymentFolder() + "/mine.txt");
    const std::string head = "[ship0]\nshipid = 1\nname = " + name +
                             "\ndesign = fed_sample_frigate\npos = 300,390\nquantity = 1\nangle = 90\nbehaviour_0 = ";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.substr(text.size() - 2), "\n\n");
    EXPECT_EQ(text.find("[config]"), std::string::npos);

    Place(support, 480, 576);
    EXPECT_TRUE(GUI_DeploymentTools::GetInstance().fleetChanged);
    screen.LoadDeploymentFile(DeploymentFolder() + "/mine.txt");
    ASSERT_EQ(screen.GetPlayerFleet()->GetShips().size(), 1u);
    EXPECT_EQ(screen.GetPlayerFleet()->GetShips().front()->name, name);
    EXPECT_FLOAT_EQ(GetDeploymentIcons().front()->mapX, 300.0f);
    EXPECT_FALSE(GUI_DeploymentTools::GetInstance().fleetChanged);

    // A name that would leave the folder, or a write that fails: told, and
    // the fleet stays marked as changed.
    Place(support, 480, 576);
    for (const std::string bad : {"../escape", "a/b", ""}) {
        EXPECT_FALSE(screen.SaveDeploymentAs(bad)) << bad;
        EXPECT_TRUE(GUI_DeploymentTools::GetInstance().fleetChanged);
        ASSERT_NE(GUI_Message::GetOpen(), nullptr);
        GUI_WindowManager::GetInstance().CloseWindow(GUI_Message::GetOpen());
    }
    EXPECT_FALSE(FileExists(APP_UserFolders::GetInstance().Get(APP_UserFolders::DEPLOYMENTS) + "/escape.txt"));
    std::filesystem::create_directories(DeploymentFolder() + "/blocked.txt");
    EXPECT_FALSE(screen.SaveDeploymentAs("blocked"));
    EXPECT_TRUE(GUI_DeploymentTools::GetInstance().fleetChanged);
    EXPECT_NE(GUI_Message::GetOpen(), nullptr);
}

// Load deployment replaces the fleet on the map: a changed one is asked
// about first, as Back and Escape ask; No keeps it, Yes loads, and an
// unchanged fleet is replaced at once. All through the mouse.
TEST_F(DeploymentTest, LoadingADeploymentOverAChangedFleetAsksFirst)
{
    GUI_DeploymentGUI& screen = Screen();
    ASSERT_NE(Place(frigate, 288, 384), nullptr);
    ASSERT_TRUE(screen.SaveDeploymentAs("mine"));
    auto clickOn = [this](const GUI_BaseElement& e) {
        Click(static_cast<float>(e.left + e.right) / 2.0f, static_cast<float>(e.top + e.bottom) / 2.0f);
    };
    auto chooseMine = [&]() {
        ASSERT_NE(GUI_DeploymentControlPanel::GetOpen(), nullptr);
        clickOn(*GUI_DeploymentControlPanel::GetOpen()->GetLoadButton());
        GUI_OpenFileDialog* open = GUI_OpenFileDialog::GetOpen();
        ASSERT_NE(open, nullptr);
        const GUI_FilePickerItem* row = open->GetPicker()->FindRow("mine");
        ASSERT_NE(row, nullptr);
        Click(static_cast<float>(row->left + 20), static_cast<float>(row->top + row->bottom) / 2.0f);
        clickOn(*open->GetOpenButton());
    };

    // Two more ships placed by hand: the load asks, and No keeps them.
    ASSERT_NE(Place(support, 288, 576), nullptr);
    ASSERT_NE(Place(frigate, 480, 576), nullptr);
    ASSERT_TRUE(GUI_DeploymentTools::GetInstance().fleetChanged);
    ASSERT_NO_FATAL_FAILURE(chooseMine());
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen()->GetQuestion(), GetString("DEPLOYMENT_LOAD_CONFIRM_MESSAGE"));
    EXPECT_EQ(screen.GetPlayerFleet()->GetShips().size(), 3u);
    clickOn(*GUI_ConfirmDialog::GetOpen()->GetNoButton());
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_EQ(screen.GetPlayerFleet()->GetShips().size(), 3u);
    EXPECT_EQ(GetDeploymentIcons().size(), 3u);
    EXPECT_TRUE(GUI_DeploymentTools::GetInstance().fleetChanged);

    // Yes loads the file.
    ASSERT_NO_FATAL_FAILURE(chooseMine());
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    clickOn(*GUI_ConfirmDialog::GetOpen()->GetYesButton());
    EXPECT_EQ(screen.GetPlayerFleet()->GetShips().size(), 1u);
    EXPECT_EQ(GetDeploymentIcons().size(), 1u);
    EXPECT_FALSE(GUI_DeploymentTools::GetInstance().fleetChanged);

    // Unchanged since: loaded at once, nothing asked.
    ASSERT_NO_FATAL_FAILURE(chooseMine());
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_EQ(screen.GetPlayerFleet()->GetShips().size(), 1u);
}

// The copy of the fleet last fought with is the screen's own file: neither
// the Load nor the Save list shows it, and a saved name cannot start with
// its "_" (the screen would delete such a file).
TEST_F(DeploymentTest, TheScreensOwnTemporaryDeploymentIsNotListed)
{
    GUI_DeploymentGUI& screen = Screen();
    ASSERT_NE(Place(frigate, 288, 384), nullptr);
    ASSERT_TRUE(screen.SaveDeploymentAs("mine"));
    ASSERT_TRUE(WriteFileAtomically(screen.GetTempDeploymentPath(), "[ship0]\n"));
    ASSERT_TRUE(WriteFileAtomically(DeploymentFolder() + "/a_b.txt", "[ship0]\n"));
    auto clickOn = [this](const GUI_BaseElement& e) {
        Click(static_cast<float>(e.left + e.right) / 2.0f, static_cast<float>(e.top + e.bottom) / 2.0f);
    };
    ASSERT_NE(GUI_DeploymentControlPanel::GetOpen(), nullptr);
    clickOn(*GUI_DeploymentControlPanel::GetOpen()->GetLoadButton());
    GUI_OpenFileDialog* open = GUI_OpenFileDialog::GetOpen();
    ASSERT_NE(open, nullptr);
    std::vector<std::string> listed;
    for (const std::string& path : open->GetPicker()->GetFiles())
        listed.push_back(GUI_FilePicker::NameFromPath(path));
    auto has = [&listed](const char* name) { return std::find(listed.begin(), listed.end(), name) != listed.end(); };
    EXPECT_TRUE(has("mine"));
    EXPECT_TRUE(has("a_b")) << "a '_' inside a name is the player's";
    EXPECT_FALSE(has("_temp_deployment"));
    EXPECT_EQ(open->GetPicker()->FindRow("_temp_deployment"), nullptr);
    GUI_WindowManager::GetInstance().CloseTopModal();
    Frames(1);

    clickOn(*GUI_DeploymentControlPanel::GetOpen()->GetSaveButton());
    GUI_SaveFileDialog* save = GUI_SaveFileDialog::GetOpen();
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->GetPicker()->FindRow("_temp_deployment"), nullptr);
    EXPECT_NE(save->GetPicker()->FindRow("mine"), nullptr);
    GUI_TextEditWindow* field = save->GetTextField();
    ASSERT_NE(field, nullptr);
    field->SetText("");
    field->BeginEditing();
    field->OnTypedChar('_');
    field->OnTypedChar('x');
    EXPECT_EQ(field->GetText(), "x");
    GUI_WindowManager::GetInstance().CloseTopModal();
    Frames(1);
}

TEST_F(DeploymentTest, InoperableModulesAreAskedAboutAndTheBattleRunsBehindTheLoadingScreen)
{
    GUI_DeploymentGUI& screen = Screen();
    const std::vector<SIM_Anomaly> anomalies = scenario->GetAnomalies();
    scenario->AddAnomaly(SIM_Anomaly("SHIELDS_INOPERABLE", 0.0f, false));
    Place(frigate, 288, 384);
    const int before = screen.GetBattlesStarted();
    screen.OnFightBattle();
    GUI_ConfirmDialog* question = GUI_ConfirmDialog::GetOpen();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->GetQuestion(), std::string(GetString("INOPERABLE_FLEET_TEXT")));
    EXPECT_EQ(screen.GetBattlesStarted(), before);
    question->GetNoButton()->Press();
    Frames(1);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 2);

    screen.OnFightBattle();
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    GUI_ConfirmDialog::GetOpen()->GetYesButton()->Press();
    Frames(1);
    scenario->ClearAnomalies();
    for (const SIM_Anomaly& a : anomalies)
        scenario->AddAnomaly(a);
    EXPECT_EQ(screen.GetBattlesStarted(), before + 1);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 9);
    const GUI_LoadingScreen& loading = GUI_LoadingScreen::GetInstance();
    EXPECT_EQ(loading.GetState(), GUI_LoadingScreen::WAITING);
    EXPECT_EQ(loading.GetStepCount(), 5);
    EXPECT_FLOAT_EQ(loading.GetProgress(), 1.0f);
    EXPECT_NE(Read(screen.GetTempDeploymentPath()).find("design = fed_sample_frigate"), std::string::npos);
    Hold(SDL_SCANCODE_SPACE, true);
    Hold(SDL_SCANCODE_SPACE, false);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 0);
    SIM_Battle::GetInstance().Clear();
}

TEST_F(DeploymentTest, EditingAnAIFleetAsksBeforeAnotherDifficultyReplacesUnsavedWork)
{
    GUI_DeploymentGUI& screen = Screen();
    Enter(true);
    SIM_DeployedFleet medium;
    medium.Load("data/deployments/scenario1/aifleet_medium.txt", nullptr, false);
    ASSERT_FALSE(medium.GetShips().empty());
    EXPECT_EQ(screen.DifficultyCostLimit(), scenario->GetFleetCostLimit());

    Place(frigate, 1920, 384);
    ASSERT_TRUE(GUI_DeploymentTools::GetInstance().fleetChanged);
    const size_t edited = screen.GetPlayerFleet()->GetShips().size();
    screen.ChooseDifficulty(SIM_Scenario::MEDIUM);
    GUI_ConfirmDialog* question = GUI_ConfirmDialog::GetOpen();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(scenario->GetDifficulty(), SIM_Scenario::EASY);
    EXPECT_EQ(screen.GetPlayerFleet()->GetShips().size(), edited);
    question->GetYesButton()->Press();
    Frames(1);
    EXPECT_EQ(scenario->GetDifficulty(), SIM_Scenario::MEDIUM);
    EXPECT_EQ(screen.GetPlayerFleet()->GetShips().size(), medium.GetShips().size());
    EXPECT_EQ(screen.DifficultyCostLimit(), static_cast<int>(scenario->GetFleetCostLimit() * 1.1));
    EXPECT_FALSE(screen.GetDifficultyButton(1)->enabled);
    EXPECT_TRUE(screen.GetDifficultyButton(2)->enabled);

    // Nothing unsaved: no question.
    screen.ChooseDifficulty(SIM_Scenario::HARD);
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_EQ(scenario->GetDifficulty(), SIM_Scenario::HARD);
    EXPECT_FALSE(screen.IsEnemyHidden());
    Enter(false);
    EXPECT_TRUE(screen.IsEnemyHidden());
}

TEST_F(DeploymentTest, TheChosenDifficultyIsDrawnLitThoughItCannotBeChosenAgain)
{
    GUI_DeploymentGUI& screen = Screen();
    TextFitCheck texts;
    auto labelAlpha = [&](int level) {
        texts.CheckFrame("deployment");
        const TextFitCheck::Recorded* label = texts.Find(screen.GetDifficultyButton(level)->GetText());
        return label ? label->laid.colour >> 24 : 0u;
    };
    for (int chosen : {SIM_Scenario::EASY, SIM_Scenario::MEDIUM}) {
        if (chosen != SIM_Scenario::EASY)
            screen.ChooseDifficulty(chosen);
        ASSERT_EQ(scenario->GetDifficulty(), chosen);
        for (int level = 0; level < 3; ++level) {
            EXPECT_EQ(screen.GetDifficultyButton(level)->enabled, level != chosen) << level;
            EXPECT_EQ(screen.GetDifficultyButton(level)->chosen, level == chosen) << level;
            EXPECT_EQ(labelAlpha(level), 255u) << "level " << level << " with " << chosen << " chosen";
        }
    }
    // A button merely disabled still reads as unavailable.
    screen.GetDifficultyButton(SIM_Scenario::HARD)->enabled = false;
    EXPECT_EQ(labelAlpha(SIM_Scenario::HARD), 64u);
}

// The difficulty chosen is the player's: kept in config.txt (read again at
// the next start, GLDeploymentWindowTest), it is where every battle the
// player picks the difficulty of starts. Choosing the AI fleet to edit is
// not a choice of difficulty, and a survival keeps its own.
TEST_F(DeploymentTest, TheChosenDifficultyIsKeptForTheNextBattles)
{
    GUI_DeploymentGUI& screen = Screen();
    SIM_Scenario* other = SIM_Scenario::FindByName("scenario2");
    SIM_Scenario* survival = SIM_Scenario::FindByName("survival1");
    ASSERT_TRUE(other && survival);
    ASSERT_TRUE(other->TakesChosenDifficulty());
    ASSERT_FALSE(survival->TakesChosenDifficulty());
    other->SetDifficulty(SIM_Scenario::EASY);
    survival->SetDifficulty(SIM_Scenario::EASY);
    screen.ChooseDifficulty(SIM_Scenario::HARD);
    ASSERT_EQ(scenario->GetDifficulty(), SIM_Scenario::HARD);
    SIM_Options& options = SIM_Options::GetInstance();
    EXPECT_EQ(options.GetDifficulty(), SIM_Scenario::HARD);
    EXPECT_NE(Read(options.GetFilePath()).find("DIFFICULTY = 2.00"), std::string::npos);
    options.Reload(options.GetFilePath());
    EXPECT_EQ(options.GetDifficulty(), SIM_Scenario::HARD);
    EXPECT_EQ(other->GetDifficulty(), SIM_Scenario::HARD);
    EXPECT_EQ(survival->GetDifficulty(), SIM_Scenario::EASY);
    Game::GetInstance().SetMode(15);
    GUI_DeploymentGUI::Open(other, false, 15);
    Frames(1);
    EXPECT_TRUE(screen.GetDifficultyButton(SIM_Scenario::HARD)->chosen);
    EXPECT_FALSE(screen.GetDifficultyButton(SIM_Scenario::EASY)->chosen);
    // Editing the AI's fleets picks a file, and leaves the choice alone.
    Game::GetInstance().SetMode(15);
    GUI_DeploymentGUI::Open(scenario, true, 15);
    Frames(1);
    screen.ChooseDifficulty(SIM_Scenario::MEDIUM);
    if (GUI_ConfirmDialog* question = GUI_ConfirmDialog::GetOpen())
        question->GetYesButton()->Press();
    Frames(1);
    EXPECT_EQ(scenario->GetDifficulty(), SIM_Scenario::MEDIUM);
    EXPECT_EQ(options.GetDifficulty(), SIM_Scenario::HARD);
    EXPECT_EQ(other->GetDifficulty(), SIM_Scenario::HARD);
    // A damaged value reads back within the levels.
    options.SetValue(SIM_Options::kDifficultyName, 7.0f);
    EXPECT_EQ(options.GetDifficulty(), SIM_Scenario::HARD);
    options.SetValue(SIM_Options::kDifficultyName, 0.6f);
    EXPECT_EQ(options.GetDifficulty(), SIM_Scenario::MEDIUM);
    options.SetDifficulty(SIM_Scenario::EASY);
    other->SetDifficulty(SIM_Scenario::EASY);
}

TEST_F(DeploymentTest, AFocusedTextFieldTakesDeleteAndTheGroupOrderKeys)
{
    GUI_DeploymentGUI& screen = Screen();
    GUI_DeploymentIcon* icon = Place(frigate, 288, 384);
    ASSERT_NE(icon, nullptr);
    icon->selected = true;
    GUI_DeploymentTools& tools = GUI_DeploymentTools::GetInstance();
    const SIM_ShipOrders& orders = icon->GetShip()->orders;
    GUI_TextEditWindow field("", 20);
    screen.keyboardFocus = &field;
    Hold(SDL_SCANCODE_LSHIFT, true);
    screen.OnKeyDown(KEY_E);
    screen.OnKeyDown(KEY_DELETE);
    ProcessPendingIconDeletions();
    EXPECT_FALSE(orders.HasOrder("ESCORT"));
    EXPECT_EQ(GetDeploymentIcons().size(), 1u);

    screen.keyboardFocus = nullptr;
    screen.OnKeyDown(KEY_F);
    EXPECT_TRUE(orders.HasOrder("FORMATION"));
    EXPECT_EQ(tools.pickMode, 1);
    tools.pickMode = 0;
    Hold(SDL_SCANCODE_LSHIFT, false);
    screen.OnKeyDown(KEY_C); // without Shift: nothing
    EXPECT_FALSE(orders.HasOrder("CO_OPERATIVE"));
    screen.OnKeyDown(KEY_DELETE);
    ProcessPendingIconDeletions();
    EXPECT_TRUE(GetDeploymentIcons().empty());
    EXPECT_TRUE(screen.GetPlayerFleet()->GetShips().empty());
}

TEST_F(DeploymentTest, ADesignIsDeletedOnlyAfterAskingAndNeverWhileInUse)
{
    // The tutorial deployments copied at start-up name the sample frigate.
    EXPECT_TRUE(GUI_ShipIconRCMenu::IsDesignInSavedUse("fed_sample_frigate"));
    const SIM_ShipDesign* cruiser = SIM_ShipDesign::Find("fed_sample_cruiser");
    ASSERT_NE(cruiser, nullptr);
    ASSERT_FALSE(GUI_ShipIconRCMenu::IsDesignInSavedUse("fed_sample_cruiser"));

    auto* used = new GUI_ShipIconRCMenu(frigate, 400, 400, 1024);
    EXPECT_FALSE(used->GetDeleteButton()->enabled);
    GUI_WindowManager::GetInstance().CloseWindow(used);

    auto* free = new GUI_ShipIconRCMenu(cruiser, 400, 400, 1024);
    ASSERT_TRUE(free->GetDeleteButton()->enabled);
    free->GetDeleteButton()->Press();
    Frames(1);
    GUI_ConfirmDialog* question = GUI_ConfirmDialog::GetOpen();
    ASSERT_NE(question, nullptr);
    question->GetNoButton()->Press();
    Frames(1);
    EXPECT_EQ(SIM_ShipDesign::Find("fed_sample_cruiser"), cruiser);

    // Yes on a sample design: it comes with the game and stays, and the
    // player is told why.
    free = new GUI_ShipIconRCMenu(cruiser, 400, 400, 1024);
    free->GetDeleteButton()->Press();
    Frames(1);
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    GUI_ConfirmDialog::GetOpen()->GetYesButton()->Press();
    Frames(1);
    EXPECT_EQ(SIM_ShipDesign::Find("fed_sample_cruiser"), cruiser);
    ASSERT_NE(GUI_Message::GetOpen(), nullptr);
    EXPECT_EQ(GUI_Message::GetOpen()->GetText(), GetString("DESIGN_DELETE_SAMPLE_TEXT"));
    GUI_WindowManager::GetInstance().CloseTopModal();
    Frames(1);

    Place(cruiser, 288, 384);
    EXPECT_TRUE(GUI_ShipIconRCMenu::IsDesignPlaced(cruiser));
    auto* placed = new GUI_ShipIconRCMenu(cruiser, 400, 400, 1024);
    EXPECT_FALSE(placed->GetDeleteButton()->enabled);
    GUI_WindowManager::GetInstance().CloseWindow(placed);
}

TEST_F(DeploymentTest, LimitBarsAndTheLoadingBarNeverDivideByZero)
{
    GUI_DeploymentGUI& screen = Screen();
    const int limit = scenario->GetFleetCostLimit();
    const int pilots = scenario->GetPilotLimit();
    scenario->SetFleetCostLimit(0);
    scenario->SetPilotLimit(0);
    Frames(1);
    GUI_FleetSummaryBar* bar = screen.GetSummaryBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->GetCostBar()->DrewOverLimit());
    EXPECT_FALSE(bar->GetPilotsBar()->DrewOverLimit());
    EXPECT_EQ(bar->GetUnlockBar()->ValueText(), "0");
    Place(frigate, 288, 384);
    Frames(1);
    // The over-limit bar blinks on the wall clock: a slow frame may land in
    // its dark half, never in the plain fill.
    EXPECT_TRUE(bar->GetCostBar()->DrewOverLimit() || !bar->GetCostBar()->IsBlinkOn());
    EXPECT_FALSE(screen.GetFightButton()->enabled);
    EXPECT_EQ(screen.GetFightTooltipKey(), "GUI_DEPLOYMENT_FIGHT_TOOMANYPILOTS");
    scenario->SetFleetCostLimit(limit);
    scenario->SetPilotLimit(pilots);

    GUI_LoadingScreen::BarPart empty, filled;
    GUI_LoadingScreen::LayOutBar(0.0f, 1280, 1024, empty, filled);
    EXPECT_EQ(filled.rect.Width(), 0);
    EXPECT_EQ(empty.rect.left, 384);
    EXPECT_EQ(empty.rect.right, 896);
    EXPECT_EQ((empty.rect.top + empty.rect.bottom) / 2, 1024 - 36);
    GUI_LoadingScreen::LayOutBar(0.5f, 1280, 1024, empty, filled);
    EXPECT_EQ(filled.rect.left, 384);
    EXPECT_EQ(filled.rect.right, 640);
    EXPECT_EQ(empty.rect.left, 640);
    EXPECT_FLOAT_EQ(filled.u1, 0.5f);
    EXPECT_FLOAT_EQ(empty.u0, 0.5f);
    EXPECT_FLOAT_EQ(filled.v0, 0.5f);
    EXPECT_FLOAT_EQ(empty.v1, 0.5f);
    GUI_LoadingScreen::LayOutBar(1.0f, 1280, 1024, empty, filled);
    EXPECT_EQ(empty.rect.Width(), 0);
    EXPECT_EQ(filled.rect.Width(), 512);

    // No pictures at all: black behind the bar, and set-up goes on.
    GUI_LoadingScreen& loading = GUI_LoadingScreen::GetInstance();
    ASSERT_FALSE(loading.GetPictures().empty());
    {
        TempDir elsewhere;
        ScopedChdir away(elsewhere.Path());
        loading.FindPictures();
    }
    EXPECT_TRUE(loading.GetPictures().empty());
    loading.Begin();
    const std::string firstTip = loading.GetCaption();
    EXPECT_TRUE(loading.GetPicture().empty());
    loading.SetProgress(0.5f);
    loading.Finish();
    EXPECT_EQ(loading.GetState(), GUI_LoadingScreen::WAITING);
    loading.Begin();
    EXPECT_NE(loading.GetCaption(), firstTip);
    loading.FindPictures();
    EXPECT_FALSE(loading.GetPictures().empty());
}

TEST(DeploymentEnemyIcons, ASquadronIsDrawnAsAGridOfSquareRootColumns)
{
    const auto five = GUI_DeploymentAIIcon::GridCells(5, 100.0f, 100.0f, 10.0f);
    ASSERT_EQ(five.size(), 5u);
    // Two columns, three rows, the last holding one.
    EXPECT_FLOAT_EQ(five[0].first, 95.0f);
    EXPECT_FLOAT_EQ(five[0].second, 95.0f);
    EXPECT_FLOAT_EQ(five[1].first, 105.0f);
    EXPECT_FLOAT_EQ(five[2].second, 105.0f);
    EXPECT_FLOAT_EQ(five[4].first, 95.0f);
    EXPECT_FLOAT_EQ(five[4].second, 115.0f);
    EXPECT_EQ(GUI_DeploymentAIIcon::GridCells(1000000, 0.0f, 0.0f, 10.0f).size(), 16u);
    const auto one = GUI_DeploymentAIIcon::GridCells(1, 40.0f, 60.0f, 10.0f);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_FLOAT_EQ(one[0].first, 40.0f);
}

TEST_F(DeploymentTest, TheGhostPlacesAShipPerClickUntilTheBudgetRunsOut)
{
    GUI_DeploymentGUI& screen = Screen();
    const GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    const int limit = scenario->GetFleetCostLimit();
    scenario->SetFleetCostLimit(static_cast<int>(2.0f * frigate->GetCost()));
    screen.BeginPlacingGhost(frigate);
    for (float y : {384.0f, 768.0f, 1152.0f})
        Click(map.MapToScreenX(288.0f), map.MapToScreenY(y));
    scenario->SetFleetCostLimit(limit);
    ASSERT_EQ(screen.GetPlayerFleet()->GetShips().size(), 2u);
    EXPECT_EQ(screen.GetPlacingGhost(), nullptr);
    // Each ship stands where it was clicked, on the grid.
    EXPECT_NE(FindDeploymentIconByShipId(1), nullptr);
    EXPECT_FLOAT_EQ(FindDeploymentIconByShipId(2)->mapY, 768.0f);
}

TEST_F(DeploymentTest, FightFromTheScenarioDetailsDeploysAndBackLeadsToTheChoice)
{
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(scenario, nullptr);
    GUI_ScenarioDetails::StartDeployment(scenario);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 2);
    EXPECT_EQ(Screen().GetScenario(), scenario);
    EXPECT_FALSE(Screen().IsEditingAIFleet());
    EXPECT_NE(Screen().GetDesignPicker(), nullptr);
    // Escape with nothing changed leaves at once for the scenario choice,
    // straight there: no wipe. Back wipes.
    GUI_Transition& wipe = GUI_Transition::GetInstance();
    wipe.Reset();
    Screen().OnKeyDown(KEY_ESCAPE);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 3);
    EXPECT_FALSE(wipe.IsActive());
    GUI_ScenarioDetails::StartDeployment(scenario);
    wipe.Reset();
    Screen().GoBack();
    EXPECT_TRUE(wipe.IsActive());
    wipe.Reset();
}

TEST_F(DeploymentTest, TheMissionSummaryGrowsALineForEachAnomaly)
{
    const std::vector<SIM_Anomaly> anomalies = scenario->GetAnomalies();
    scenario->ClearAnomalies();
    scenario->AddAnomaly(SIM_Anomaly("SHIELDS_INOPERABLE", 0.0f, false));
    scenario->AddAnomaly(SIM_Anomaly("ENGINES_REQUIRED", 0.0f, false));
    scenario->AddAnomaly(SIM_Anomaly("WEAPON_RANGE_MULTIPLIER", 0.8f, true));
    OpenMissionSummary(*scenario);
    scenario->ClearAnomalies();
    for (const SIM_Anomaly& a : anomalies)
        scenario->AddAnomaly(a);
    GUI_MissionSummary* summary = GUI_MissionSummary::GetOpen();
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(summary->height, 180);
    EXPECT_EQ(summary->width, 500);
    EXPECT_EQ(summary->GetAnomalyLines().size(), 3u);
    // It leaves the map in reach.
    EXPECT_FALSE(GUI_WindowManager::GetInstance().IsModalOpen());

    // Its client area is the dialogs' panel under scan lines: the panel's
    // 32-pixel corner at the client's top left, and a line of the client's
    // width less 4 every 3 pixels down it.
    auto& device = *static_cast<HeadlessGraphicsDevice*>(D3DEngine::GetInstance().GetDevice());
    device.ClearDraws();
    Frames(1);
    const float cl = static_cast<float>(summary->clientLeft), ct = static_cast<float>(summary->clientTop);
    const float cr = static_cast<float>(summary->clientRight), cb = static_cast<float>(summary->clientBottom);
    const std::vector<RecordedQuad> white = RecordedQuadsOfColour(device, 0xFFFFFFFFu);
    EXPECT_TRUE(std::any_of(white.begin(), white.end(), [&](const RecordedQuad& q) {
        return std::fabs(q.left - cl) < 0.5f && std::fabs(q.top - ct) < 0.5f && std::fabs(q.Width() - 32.0f) < 0.5f;
    })) << "the client panel's corner";
    // The device keeps only the first vertices of a long run: some lines do.
    int lines = 0;
    for (const RecordedQuad& q : RecordedQuadsOfColour(device, 0x80FFFFFFu))
        if (std::fabs(q.Width() - (cr - cl - 4.0f)) < 0.5f && std::fabs((q.bottom - q.top) - 3.0f) < 0.5f &&
            q.top >= ct && q.bottom <= cb)
            ++lines;
    EXPECT_GE(lines, 10);
    // The screen behind stays in reach, Back and Fight too: leaving the
    // screen takes the summary with it instead of leaving it over the next.
    Screen().Leave();
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    EXPECT_EQ(GUI_MissionSummary::GetOpen(), nullptr);
}

TEST_F(DeploymentTest, ThePickersDesignsShowTheirHullsWhiteSilhouette)
{
    GUI_DeploymentDesignPicker* picker = Screen().GetDesignPicker();
    ASSERT_NE(picker, nullptr);
    auto& device = *static_cast<HeadlessGraphicsDevice*>(D3DEngine::GetInstance().GetDevice());
    device.ClearDraws();
    Frames(1);
    // Flat draws go out on their own: every one of them is recorded.
    std::vector<RecordedQuad> flat;
    for (uint32_t colour : {0xFFFFFFFFu, 0x80FFFFFFu})
        for (const RecordedQuad& q : RecordedQuadsOfColour(device, colour))
            if (q.flat)
                flat.push_back(q);
    int designs = 0, buttons = 0;
    for (const GUI_ShipIcon* icon : picker->GetVisibleIcons()) {
        const float cx = (icon->left + icon->right) * 0.5f, cy = (icon->top + icon->bottom) * 0.5f;
        const bool silhouette = std::any_of(flat.begin(), flat.end(), [&](const RecordedQuad& q) {
            return std::fabs(q.CentreX() - cx) < 0.5f && std::fabs(q.CentreY() - cy) < 0.5f &&
                   std::fabs(q.Width() - static_cast<float>(icon->width - 4)) < 0.5f;
        });
        if (icon->GetKind() == GUI_ShipIcon::DESIGN) {
            EXPECT_TRUE(silhouette) << icon->GetDesign()->GetName();
            ++designs;
        } else {
            EXPECT_FALSE(silhouette) << "a button keeps its picture's colours";
            ++buttons;
        }
    }
    EXPECT_GT(designs, 0);
    EXPECT_GT(buttons, 0);
}

TEST_F(DeploymentTest, APickerTooShortForItsDesignsScrollsByWheelAndArrows)
{
    auto* picker = new GUI_DeploymentDesignPicker(0, 45 + 5 + 2 * 64 + 21 + 2 * 64 + 10);
    const int designs = static_cast<int>(picker->GetDesignIcons().size());
    int shown = 0;
    for (const GUI_ShipIcon* icon : picker->GetVisibleIcons())
        shown += icon->GetKind() == GUI_ShipIcon::DESIGN ? 1 : 0;
    ASSERT_GT(designs, shown);
    EXPECT_EQ(picker->GetMaxRow(), designs - shown);
    ASSERT_TRUE(picker->GetScrollBar()->visible);

    picker->ScrollBy(-1);
    EXPECT_EQ(picker->GetFirstRow(), 0);
    picker->ScrollBy(100);
    EXPECT_EQ(picker->GetFirstRow(), picker->GetMaxRow());
    EXPECT_EQ(picker->GetScrollBar()->position, picker->GetMaxRow());
    picker->GetScrollBar()->ScrollUp();
    picker->Draw();
    EXPECT_EQ(picker->GetFirstRow(), picker->GetMaxRow() - 1);
    GUI_WindowManager::GetInstance().CloseWindow(picker);
}

TEST_F(DeploymentTest, ARubberBandOnTheMapSelectsTheShipsInsideAndShowsOnlyPastThreePixels)
{
    const GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    GUI_DeploymentIcon* a = Place(frigate, 288, 384);
    GUI_DeploymentIcon* b = Place(frigate, 384, 480);
    GUI_DeploymentIcon* c = Place(support, 576, 1152);
    ASSERT_TRUE(a && b && c);
    ClearDeploymentSelection();
    const int x0 = static_cast<int>(map.MapToScreenX(200.0f)), y0 = static_cast<int>(map.MapToScreenY(300.0f));
    Window().InjectMouseMove(x0, y0);
    Window().InjectMouseButton(MouseButton::Left, true);
    Frames(1);
    ASSERT_TRUE(map.IsSelecting());
    Window().InjectMouseMove(x0 + 2, y0 + 3);
    Frames(1);
    EXPECT_FALSE(map.IsSelectionVisible());
    Window().InjectMouseMove(static_cast<int>(map.MapToScreenX(450.0f)), static_cast<int>(map.MapToScreenY(550.0f)));
    Frames(1);
    EXPECT_TRUE(map.IsSelectionVisible());
    EXPECT_TRUE(a->selected && b->selected);
    EXPECT_FALSE(c->selected);
    Window().InjectMouseButton(MouseButton::Left, false);
    Frames(2);
    EXPECT_FALSE(map.IsSelecting());
    EXPECT_TRUE(a->selected && b->selected);
}

TEST_F(DeploymentTest, ADesignThatNoLongerFitsSaysWhyAndOpensItsDetailsInstead)
{
    GUI_DeploymentGUI& screen = Screen();
    const int limit = scenario->GetFleetCostLimit();
    scenario->SetFleetCostLimit(static_cast<int>(frigate->GetCost()) - 1);
    screen.RefreshAfterFleetChange();
    const GUI_ShipIcon* icon = nullptr;
    for (const GUI_ShipIcon* each : screen.GetDesignPicker()->GetVisibleIcons())
        if (each->GetDesign() == frigate)
            icon = each;
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->IsAvailable());
    EXPECT_EQ(icon->GetShownCode(), 1);
    ASSERT_EQ(icon->GetTooltip()->GetLines().size(), 1u);
    EXPECT_EQ(icon->GetTooltip()->GetLines()[0],
              frigate->GetGuiName() + " (" + GetString("SHIPICON_TOOEXPENSIVE") + ")");

    const float x = static_cast<float>(icon->left + icon->right) / 2.0f;
    const float y = static_cast<float>(icon->top + icon->bottom) / 2.0f;
    Window().InjectMouseMove(static_cast<int>(x), static_cast<int>(y));
    Frames(15);
    EXPECT_GT(icon->GetTooltip()->visibility, 0.0f);
    GUI_DeploymentDetails::CloseShipDetails();
    Click(x, y);
    scenario->SetFleetCostLimit(limit);
    EXPECT_TRUE(screen.GetPlayerFleet()->GetShips().empty());
    EXPECT_EQ(GUI_DeploymentDetails::GetShownDesign(), frigate);

    // Affordable again: the speed and cost lines come back.
    screen.RefreshAfterFleetChange();
    EXPECT_TRUE(icon->IsAvailable());
    EXPECT_EQ(icon->GetTooltip()->GetLines().size(), 3u);
}

TEST_F(DeploymentTest, TheNewDesignButtonKeepsTheFleetForTheWayBack)
{
    GUI_DeploymentGUI& screen = Screen();
    Place(frigate, 288, 384);
    const GUI_ShipIcon* button = screen.GetDesignPicker()->GetNewDesignButton();
    ASSERT_NE(button, nullptr);
    // The click switches screens from inside the picker, which then goes.
    Click(static_cast<float>(button->left + button->right) / 2.0f,
          static_cast<float>(button->top + button->bottom) / 2.0f);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 1);
    EXPECT_EQ(GUI_DeploymentDesignPicker::GetOpen(), nullptr);
    EXPECT_NE(Read(screen.GetTempDeploymentPath()).find("design = fed_sample_frigate"), std::string::npos);
    GUI_DeploymentGUI::Open(scenario, false, 15);
    EXPECT_EQ(screen.GetEnteredFrom(), screen.GetTempDeploymentPath());
    EXPECT_EQ(screen.GetPlayerFleet()->GetShips().size(), 1u);
}

TEST_F(DeploymentTest, ACampaignSaveNamingADesignKeepsItFromDeletion)
{
    const std::string folder = APP_UserFolders::GetInstance().Get(APP_UserFolders::CAMPAIGN_PROGRESS) + "/first";
    ASSERT_FALSE(GUI_ShipIconRCMenu::IsDesignInSavedUse("fed_sample_cruiser"));
    EnsureDirectoryExists(folder);
    ASSERT_TRUE(WriteFileAtomically(folder + "/fleets.txt", "[ship0]\ndesign = fed_sample_cruiser\n"));
    EXPECT_TRUE(GUI_ShipIconRCMenu::IsDesignInSavedUse("fed_sample_cruiser"));
    // Only a design line counts, not a name that happens to match.
    ASSERT_TRUE(WriteFileAtomically(folder + "/fleets.txt", "[ship0]\nname = fed_sample_cruiser\n"));
    EXPECT_FALSE(GUI_ShipIconRCMenu::IsDesignInSavedUse("fed_sample_cruiser"));
    // Any case names it, and a file that cannot be read counts as naming it,
    // as when the designer asks before saving over a design.
    EnsureDirectoryExists(folder + "/fleets");
    ASSERT_TRUE(WriteFileAtomically(folder + "/fleets/fleet2.txt", "[ship0]\ndesign = FED_Sample_Cruiser\n"));
    EXPECT_TRUE(GUI_ShipIconRCMenu::IsDesignInSavedUse("fed_sample_cruiser"));
    std::filesystem::remove(folder + "/fleets/fleet2.txt");
    ASSERT_FALSE(GUI_ShipIconRCMenu::IsDesignInSavedUse("fed_sample_cruiser"));
    GSafeFile::InjectReadFailure(folder + "/fleets.txt", EIO);
    EXPECT_TRUE(GUI_ShipIconRCMenu::IsDesignInSavedUse("fed_sample_cruiser"));
    auto* menu = new GUI_ShipIconRCMenu(SIM_ShipDesign::Find("fed_sample_cruiser"), 400, 400, 1024);
    EXPECT_FALSE(menu->GetDeleteButton()->enabled);
    GUI_WindowManager::GetInstance().CloseWindow(menu);
    GSafeFile::InjectReadFailure(folder + "/fleets.txt", 0);
    GSafeFile::ForgetRefusedFiles();
    std::filesystem::remove_all(folder);
}

TEST_F(DeploymentTest, FiltersHideHullClassesAndAllThreeOffLeaveOnlyTheButtons)
{
    GUI_DeploymentDesignPicker* picker = Screen().GetDesignPicker();
    ASSERT_NE(picker, nullptr);
    auto count = [picker](int hullClass) {
        int n = 0;
        for (const GUI_ShipIcon* icon : picker->GetDesignIcons())
            n += icon->GetDesign()->GetHull()->GetClass() == hullClass ? 1 : 0;
        return n;
    };
    ASSERT_GT(count(2), 0);
    const size_t all = picker->GetDesignIcons().size();
    picker->GetFilterButton(2)->Press();
    EXPECT_FALSE(picker->GetFilterButton(2)->on);
    EXPECT_EQ(count(2), 0);
    EXPECT_GT(picker->GetDesignIcons().size(), 0u);
    picker->ToggleFilter(0);
    picker->ToggleFilter(1);
    EXPECT_TRUE(picker->GetDesignIcons().empty());
    ASSERT_NE(picker->GetNewDesignButton(), nullptr);
    EXPECT_EQ(picker->GetVisibleIcons().back(), picker->GetNewDesignButton());
    for (int cls = 0; cls < 3; ++cls)
        picker->ToggleFilter(cls);
    EXPECT_EQ(picker->GetDesignIcons().size(), all);
    // Only the player's own race's player designs are offered.
    for (const GUI_ShipIcon* icon : picker->GetDesignIcons())
        EXPECT_TRUE(icon->GetDesign()->IsPlayerDesign());
}

TEST_F(DeploymentTest, ACustomChallengeIsDeployedToBePostedNotFought)
{
    // Only the challenge list's Custom button sets a challenge up.
    GUI_ScenarioEditor::EnterForChallenge();
    EXPECT_TRUE(GUI_ScenarioEditor::GetInstance().IsForChallenge());
    Game::GetInstance().SetMode(15);
    Game::GetInstance().SetMode(GUI_ScenarioEditor::kModeId);
    EXPECT_FALSE(GUI_ScenarioEditor::GetInstance().IsForChallenge());

    scenario->SetCustomChallenge(true);
    Enter(false);
    ASSERT_NE(Place(frigate, 288, 384), nullptr);
    EXPECT_FALSE(Screen().GetFightButton()->enabled);
    EXPECT_EQ(Screen().GetFightTooltipKey(), "GUI_DEPLOYMENT_FIGHT_CUSTOMCHALLENGE");
    scenario->SetCustomChallenge(false);
    Screen().RefreshAfterFleetChange();
    EXPECT_TRUE(Screen().GetFightButton()->enabled);
    EXPECT_EQ(Screen().GetFightTooltipKey(), "GUI_DEPLOYMENT_FIGHT_TOOLTIP");
}

TEST_F(DeploymentTest, TheSupplyListTakesTheWheelAndLeavesWithTheScreen)
{
    const std::vector<SIM_Scenario::SupplyLimit> saved = scenario->GetSupplyLimits();
    for (const SIM_ShipModuleType* type : SIM_ShipModuleType::GetList())
        scenario->SetSupplyLimit(type->GetName(), 3);
    Enter(false);
    DropAllLessons();
    GUI_FleetSummaryBar* bar = Screen().GetSummaryBar();
    ASSERT_TRUE(bar && bar->GetSuppliesButton());
    const GUI_ButtonText* supplies = bar->GetSuppliesButton();
    Click(static_cast<float>(supplies->left + supplies->right) / 2.0f,
          static_cast<float>(supplies->top + supplies->bottom) / 2.0f);
    GUI_SupplyLimits* list = GUI_SupplyLimits::GetOpen();
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list->GetScrollBar(), nullptr);

    // Over the list the wheel scrolls it, and the design picker stays put.
    Window().InjectMouseMove((list->left + list->right) / 2, (list->top + list->bottom) / 2);
    Frames(1);
    const int pickerRow = Screen().GetDesignPicker()->GetFirstRow();
    Screen().OnWheelDown();
    EXPECT_EQ(list->GetScrollBar()->position, 1);
    Screen().OnWheelUp();
    EXPECT_EQ(list->GetScrollBar()->position, 0);
    EXPECT_EQ(Screen().GetDesignPicker()->GetFirstRow(), pickerRow);

    Game::GetInstance().SetMode(15);
    EXPECT_EQ(GUI_SupplyLimits::GetOpen(), nullptr);
    scenario->ClearSupplyLimits();
    for (const SIM_Scenario::SupplyLimit& entry : saved)
        scenario->SetSupplyLimit(entry.moduleType, entry.limit);
}

TEST_F(DeploymentTest, PlacedShipsDrawAsASilhouetteThenTheirPictureAtHalfStrength)
{
    ASSERT_NE(Place(frigate, 288, 384), nullptr);
    ClearDeploymentSelection();
    auto* device = dynamic_cast<HeadlessGraphicsDevice*>(D3DEngine::GetInstance().GetDevice());
    ASSERT_NE(device, nullptr);
    device->ClearDraws();
    DrawDeploymentIcons();
    QuadRunBatch::Shared().Flush();
    // The hull drawn in the zone's green (0xC8FFC8): flat at full alpha,
    // then textured at 127 over it.
    std::vector<std::pair<bool, uint32_t>> passes;
    for (const auto& draw : device->GetDraws())
        if (!draw.vertices.empty() && (draw.vertices[0].colour & 0xFFFFFFu) == 0xC8FFC8u)
            passes.emplace_back(draw.flatColour, draw.vertices[0].colour >> 24);
    ASSERT_EQ(passes.size(), 2u);
    EXPECT_EQ(passes[0], std::make_pair(true, 255u));
    EXPECT_EQ(passes[1], std::make_pair(false, 127u));
    EXPECT_TRUE(D3DEngine::GetInstance().IsPlainState()) << "the frame goes on textured";

    // A fleet's thumbnail: the map with each ship's flat shape, no squares.
    D3DEngine& engine = D3DEngine::GetInstance();
    const GUI_DeploymentIcon* placed = GetDeploymentIcons().front();
    device->ClearDraws();
    GUI_NewChallengeEntry::RenderThumbnail(s_user->File("thumb.jpg"));
    const TextureHandle offscreen = engine.FindRenderTarget("rt_offscreen1");
    ASSERT_NE(offscreen, 0u);
    size_t shapes = 0, others = 0;
    for (const auto& draw : device->GetDraws()) {
        if (draw.target != offscreen || draw.vertices.empty() || (draw.vertices[0].colour & 0xFFFFFFu) != 0xC8FFC8u)
            continue;
        ASSERT_EQ(draw.vertices.size(), 4u);
        const float cx = 0.25f * (draw.vertices[0].x + draw.vertices[1].x + draw.vertices[2].x + draw.vertices[3].x);
        const float cy = 0.25f * (draw.vertices[0].y + draw.vertices[1].y + draw.vertices[2].y + draw.vertices[3].y);
        EXPECT_TRUE(draw.flatColour);
        EXPECT_NE(draw.texture, 0u) << "the hull's picture gives the shape";
        EXPECT_NEAR(cx, placed->screenX, 0.5f);
        EXPECT_NEAR(cy, placed->screenY, 0.5f);
        ++shapes;
    }
    for (const RecordedQuad& q : RecordedQuadsOfColour(*device, 0xFF20E040u))
        others += q.texture == 0 ? 1 : 0;
    EXPECT_EQ(shapes, 1u);
    EXPECT_EQ(others, 0u) << "no green squares";
    EXPECT_TRUE(engine.IsPlainState());

    // A ship being dragged is drawn flat, over everything.
    CInput::GetInstance().HandleMouseMessage(MouseMessage::LeftDown);
    CInput::GetInstance().Poll();
    const GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    Screen().PlaceShip(frigate, map.MapToScreenX(288), map.MapToScreenY(768));
    GUI_DeploymentIcon* dragged = GetCurrentDeploymentIcon();
    ASSERT_NE(dragged, nullptr);
    device->ClearDraws();
    DrawDraggedDeploymentIcon();
    QuadRunBatch::Shared().Flush();
    const auto flatAt = std::find_if(device->GetDraws().begin(), device->GetDraws().end(), [&](const auto& draw) {
        return draw.flatColour && draw.vertices.size() == 4 &&
               std::fabs(0.25f * (draw.vertices[0].x + draw.vertices[1].x + draw.vertices[2].x + draw.vertices[3].x) -
                         dragged->screenX) < 0.5f &&
               (draw.vertices[0].colour >> 24) == 255u;
    });
    EXPECT_NE(flatAt, device->GetDraws().end()) << "the dragged ship's flat shape";
    EXPECT_TRUE(engine.IsPlainState());
    CInput::GetInstance().HandleMouseMessage(MouseMessage::LeftUp);
    CInput::GetInstance().Poll();
    DropDraggedDeploymentIcons();
    ProcessPendingIconDeletions();
}

TEST_F(DeploymentTest, BackAsksLikeEscapeWhenTheFleetChangedAndKeepsTheLastFightsFleetOnNo)
{
    ASSERT_TRUE(WriteFileAtomically(Screen().GetTempDeploymentPath(), kOneFrigate));
    Enter(false);
    ASSERT_EQ(Screen().GetPlayerFleet()->GetShips().size(), 1u);
    ASSERT_NE(Place(frigate, 288, 768), nullptr);
    ASSERT_TRUE(GUI_DeploymentTools::GetInstance().fleetChanged);
    const GUI_ButtonText* back = Screen().GetGoBackButton();
    Click(static_cast<float>(back->left + back->right) / 2.0f, static_cast<float>(back->top + back->bottom) / 2.0f);
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen()->GetQuestion(), GetString("DEPLOYMENT_QUIT_CONFIRM_MESSAGE"));
    const GUI_ButtonText* no = GUI_ConfirmDialog::GetOpen()->GetNoButton();
    Click(static_cast<float>(no->left + no->right) / 2.0f, static_cast<float>(no->top + no->bottom) / 2.0f);
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_DeploymentGUI::kModeId);
    EXPECT_EQ(Screen().GetPlayerFleet()->GetShips().size(), 2u);
    EXPECT_TRUE(FileExists(Screen().GetTempDeploymentPath()));

    // Yes goes back as before: the temporary fleet goes with it.
    Screen().GoBack();
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    const GUI_ButtonText* yes = GUI_ConfirmDialog::GetOpen()->GetYesButton();
    Click(static_cast<float>(yes->left + yes->right) / 2.0f, static_cast<float>(yes->top + yes->bottom) / 2.0f);
    EXPECT_EQ(Game::GetInstance().GetModeId(), Screen().GetReturnMode());
    EXPECT_FALSE(FileExists(Screen().GetTempDeploymentPath()));

    // Unchanged, Back goes at once.
    Enter(false);
    ASSERT_FALSE(GUI_DeploymentTools::GetInstance().fleetChanged);
    Screen().GoBack();
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_EQ(Game::GetInstance().GetModeId(), Screen().GetReturnMode());
}

TEST_F(DeploymentTest, ASurvivalDeploymentReadsItsWavesAndLogsNoError)
{
    SIM_Scenario* survival = SIM_Scenario::FindByName("survival1");
    ASSERT_NE(survival, nullptr);
    // The game's log, opened again so that lines logged once are logged anew.
    GDebugLog::GetInstance().Open(APP_UserFolders::GetInstance().Get(APP_UserFolders::USER));
    const std::string errors = APP_UserFolders::GetInstance().Get(APP_UserFolders::USER) + "/debug/errors.txt";
    const std::string before = Read(errors);
    Game::GetInstance().SetMode(15);
    GUI_DeploymentGUI::Open(survival, false, 15);
    Frames(2);
    ASSERT_EQ(Game::GetInstance().GetModeId(), GUI_DeploymentGUI::kModeId);
    EXPECT_EQ(Read(errors), before);
    // The enemy stands ready as the first wave (hidden from the player).
    EXPECT_EQ(SIM_SurvivalMode::GetInstance().GetCurrentWaveName(), "wave_patrol.txt");
    ASSERT_NE(Screen().GetEnemyFleet(), nullptr);
    EXPECT_FALSE(Screen().GetEnemyFleet()->GetShips().empty());
    EXPECT_TRUE(Screen().IsEnemyHidden());
}

TEST_F(DeploymentTest, SaveOrdersInAShipsMenuMakesThemItsDesignsDefaults)
{
    ASSERT_EQ(SIM_DefaultOrders::FindForDesign(frigate->GetName()), nullptr);
    GUI_DeploymentIcon* icon = Place(frigate, 288, 384);
    ASSERT_NE(icon, nullptr);
    SIM_ShipOrders& orders = icon->GetShip()->orders;
    orders.RemoveOrder("CAUTIOUS");
    orders.AddOrder("CAUTIOUS", 0.35f, 0.0f);
    OpenDeploymentIconMenu(icon);
    auto* menu = dynamic_cast<GUI_DeploymentIconRCMenu*>(GUI_RCMenuBase::GetOpen());
    ASSERT_NE(menu, nullptr);
    const GUI_ButtonText* save = menu->GetSaveOrdersButton();
    Click(static_cast<float>(save->left + save->right) / 2.0f, static_cast<float>(save->top + save->bottom) / 2.0f);
    const SIM_DefaultOrders* defaults = SIM_DefaultOrders::FindForDesign(frigate->GetName());
    ASSERT_NE(defaults, nullptr);
    const std::string file = SIM_DefaultOrders::FilePathFor(SIM_DefaultOrders::GetFolder(), frigate->GetName());
    EXPECT_TRUE(FileExists(file));
    // The next frigate placed starts with them.
    GUI_DeploymentIcon* next = Place(frigate, 288, 576);
    ASSERT_NE(next, nullptr);
    ASSERT_TRUE(next->GetShip()->orders.HasOrder("CAUTIOUS"));
    EXPECT_FLOAT_EQ(next->GetShip()->orders.GetOrder("CAUTIOUS")->float1, 0.35f);
    std::filesystem::remove(file);
    SIM_DefaultOrders::FreeAll();
    SIM_DefaultOrders::LoadAll();
}

TEST_F(DeploymentTest, AShipMenuMakesRoomForANameOfTwoLines)
{
    GUI_DeploymentIcon* icon = Place(fighter, 288, 384);
    ASSERT_NE(icon, nullptr);
    for (const char* name : {"Ace", "Federation Interceptor 3"}) {
        icon->GetShip()->name = name;
        OpenDeploymentIconMenu(icon);
        auto* menu = dynamic_cast<GUI_DeploymentIconRCMenu*>(GUI_RCMenuBase::GetOpen());
        ASSERT_NE(menu, nullptr);
        const int extra = GUI_DeploymentIconRCMenu::ExtraCaptionHeight(name);
        const int lines = 1 + static_cast<int>(std::count(menu->GetCaption().begin(), menu->GetCaption().end(), '\n'));
        EXPECT_EQ(lines, extra > 0 ? 2 : 1) << name;
        // The caption is drawn from the top, one line of 16 pixels and its gap
        // each: the first row starts below its last line.
        EXPECT_EQ(menu->GetRenameButton()->top, menu->top + GUI_DeploymentIconRCMenu::kFirstRow + extra) << name;
        EXPECT_GE(menu->GetRenameButton()->top, menu->top + lines * 16) << name;
        EXPECT_LE(menu->GetSquadronButton()->bottom, menu->bottom) << name;
        EXPECT_EQ(menu->height, static_cast<int>(GUI_DeploymentIconRCMenu::MenuHeight(true, false)) + extra) << name;
        GUI_WindowManager::GetInstance().CloseWindow(menu);
        Frames(1);
    }
    EXPECT_EQ(GUI_DeploymentIconRCMenu::ExtraCaptionHeight("Ace"), 0);
    EXPECT_GT(GUI_DeploymentIconRCMenu::ExtraCaptionHeight("Federation Interceptor 3"), 0);
}

TEST_F(DeploymentTest, AModuleIconIsMarkedFromTheMomentTheFleetUsesTheWholeSupplyLimit)
{
    const std::vector<SIM_Scenario::SupplyLimit> saved = scenario->GetSupplyLimits();
    GUI_DeploymentIcon* icon = Place(frigate, 288, 384);
    ASSERT_NE(icon, nullptr);
    const std::string type = frigate->GetModules().front().moduleType->GetName();
    const int used = Screen().GetPlayerFleet()->CountModuleType(type);
    ASSERT_GT(used, 0);
    auto markedWithLimit = [&](int limit) {
        scenario->ClearSupplyLimits();
        scenario->SetSupplyLimit(type, limit);
        // The box is built again for the ship by a click on it.
        ClearDeploymentSelection();
        GUI_DeploymentDetails::CloseShipDetails();
        Frames(1);
        Click(icon->screenX, icon->screenY);
        const GUI_DeploymentShipDetails* box = GUI_DeploymentShipDetails::GetOpen();
        EXPECT_NE(box, nullptr);
        int marked = 0, ofType = 0;
        for (const GUI_DeployedShipModuleIcon* module : box ? box->GetIcons() : std::vector<GUI_DeployedShipModuleIcon*>{})
            if (module->GetModuleType() && module->GetModuleType()->GetName() == type) {
                ++ofType;
                marked += module->IsOverLimit() ? 1 : 0;
            }
        EXPECT_GT(ofType, 0);
        return marked == ofType;
    };
    EXPECT_FALSE(markedWithLimit(used + 1));
    EXPECT_TRUE(markedWithLimit(used));
    EXPECT_TRUE(markedWithLimit(used - 1));
    scenario->ClearSupplyLimits();
    for (const SIM_Scenario::SupplyLimit& entry : saved)
        scenario->SetSupplyLimit(entry.moduleType, entry.limit);
}
