// The scenario editor headless: what a custom scenario file holds, the save
// names it accepts, the panels' rules and the road into the deployment.
#include "editors/GUI_AnomalyEditor.h"
#include "editors/GUI_AnomalyPicker.h"
#include "editors/GUI_EditorOptions.h"
#include "editors/GUI_EditorsSupplyList.h"
#include "editors/GUI_MapPicker.h"
#include "editors/GUI_ScenarioEditor.h"
#include "editors/GUI_ScenarioEditorWindow.h"
#include "engine/GFileHelpers.h"
#include "engine/GHashTable.h"
#include "frontend/FrontendGame.h"
#include "frontend/GUI_MainMenu.h"
#include "frontend/GUI_OptionsSlider.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_CheckButton.h"
#include "gui/GUI_FilePicker.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_OpenFileDialog.h"
#include "gui/GUI_SaveFileDialog.h"
#include "prep/GUI_DeploymentGUI.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_Scenario.h"

#include <filesystem>

namespace {
// A slider position whose value comes out exactly: half a step above it.
float At(int value, int min, int span)
{
    return (static_cast<float>(value - min) + 0.5f) / static_cast<float>(span);
}
} // namespace

class ScenarioEditor : public FrontendGame {
protected:
    void SetUp() override
    {
        FrontendGame::SetUp();
        std::filesystem::remove_all(GUI_ScenarioEditorWindow::CustomFolder());
        Game::GetInstance().SetMode(GUI_ScenarioEditor::kModeId);
        Frames(1);
    }

    static GUI_ScenarioEditorWindow& Window()
    {
        GUI_ScenarioEditorWindow* window = GUI_ScenarioEditorWindow::GetOpen();
        EXPECT_NE(window, nullptr);
        return *window;
    }

    // Map size, cost and pilots as the sliders would give them.
    static void SetOptions(int size, int cost, int pilots, bool stars)
    {
        GUI_EditorOptions& options = *Window().GetOptions();
        options.GetSizeSlider()->value = At(size, 1024, 3072);
        options.GetCostSlider()->value = At(cost, 2000, 98000);
        options.GetPilotsSlider()->value = At(pilots, 1, 999);
        options.GetStarsBox()->ticked = stars;
        options.UpdateValues();
    }

    static void CloseDialogs()
    {
        while (GUI_WindowManager::GetInstance().CloseTopModal()) {
        }
        Frames(1);
    }

    static std::string Custom(const std::string& file)
    {
        std::string text;
        ReadWholeFile(GUI_ScenarioEditorWindow::CustomFolder() + file, text);
        return text;
    }
};

TEST_F(ScenarioEditor, TheExampleScenarioFileHoldsExactlyWhatTheEditorSet)
{
    ASSERT_EQ(Game::GetInstance().GetModeId(), 13);
    SetOptions(2000, 30000, 10, true);
    Window().GetMapPicker()->Select("nebula.jpg");
    SIM_Scenario* scenario = Window().GetScenario();
    scenario->AddAnomaly(SIM_Anomaly("SHIELD_STRENGTH_MULTIPLIER", 0.5f, true));
    scenario->AddAnomaly(SIM_Anomaly("CLOAK_INOPERABLE", 0.0f, false));
    scenario->SetSupplyLimit("cruiser_missile", 3);
    ASSERT_TRUE(GUI_ScenarioEditorWindow::SaveCustomScenarioAs("myscenario"));
    EXPECT_EQ(Custom("myscenario.txt"), "[config]\n"
                                        "gui_id = 1000\n"
                                        "backdrop = nebula.jpg\n"
                                        "icon = nebula_icon.jpg\n"
                                        "name = myscenario\n"
                                        "guiname = myscenario\n"
                                        "mapsizex = 2000.0000\n"
                                        "mapsizey = 2000.0000\n"
                                        "starfield = 1\n"
                                        "fleetcostlimit = 30000\n"
                                        "pilotlimit = 10\n"
                                        "enemyrace = federation\n"
                                        "shader\n"
                                        "size = Custom\n"
                                        "unlocked_after\n"
                                        "type = SKIRMISH\n"
                                        "player_deployment = 10,10,666,1990\n"
                                        "ai_deployment = 1333,10,1990,1990\n"
                                        "\n"
                                        "[variables]\n"
                                        "SHIELD_STRENGTH_MULTIPLIER,0.50\n"
                                        "CLOAK_INOPERABLE,0.00\n"
                                        "_sl_cruiser_missile,3\n"
                                        "\n");
    // Read back, it is the same scenario, marked as the player's own.
    ASSERT_TRUE(GUI_ScenarioEditorWindow::LoadCustomScenario(GUI_ScenarioEditorWindow::CustomFolder() +
                                                             "myscenario.txt"));
    const SIM_Scenario& loaded = *Window().GetScenario();
    EXPECT_NE(&loaded, scenario);
    EXPECT_TRUE(loaded.IsCustom());
    EXPECT_EQ(loaded.GetFleetCostLimit(), 30000);
    EXPECT_FLOAT_EQ(loaded.GetShieldStrengthMultiplier(), 0.5f);
    EXPECT_TRUE(loaded.GetAnomalyFlag(SIM_Anomaly::CLOAK_INOPERABLE));
    // The new panels show the loaded values; a pilot limit of 10 shows as 10.
    EXPECT_EQ(Window().GetOptions()->GetPilots(), 10);
    EXPECT_EQ(Window().GetOptions()->GetSize(), 2000);
    EXPECT_EQ(Window().GetMapPicker()->GetSelectedBackdrop(), "nebula.jpg");
    EXPECT_EQ(Window().GetAnomalyEditor()->GetStrips().size(), 2u);
}

TEST_F(ScenarioEditor, SaveNamesStayInsideTheCustomFolder)
{
    SetOptions(1024, 2000, 1, false);
    // With or without ".txt", one file and one name.
    ASSERT_TRUE(GUI_ScenarioEditorWindow::SaveCustomScenarioAs("myscenario.txt"));
    EXPECT_NE(Custom("myscenario.txt").find("name = myscenario\n"), std::string::npos);
    EXPECT_EQ(GUI_ScenarioEditorWindow::CustomScenarioName("myscenario"), "myscenario");
    // The smallest map: values truncated.
    EXPECT_NE(Custom("myscenario.txt").find("player_deployment = 10,10,341,1014\nai_deployment = 682,10,1014,1014\n"),
              std::string::npos);

    // Paths and characters a file name must not hold are refused.
    EXPECT_EQ(GUI_ScenarioEditorWindow::CustomScenarioName("../../evil.txt"), "evil");
    EXPECT_EQ(GUI_ScenarioEditorWindow::CustomScenarioName("..\\up\\a:b*c.txt"), "a_b_c");
    EXPECT_EQ(GUI_ScenarioEditorWindow::CustomScenarioName(".."), "_");
    EXPECT_EQ(GUI_ScenarioEditorWindow::CustomScenarioName("x/"), "unnamed");
    ASSERT_TRUE(GUI_ScenarioEditorWindow::SaveCustomScenarioAs("../../evil"));
    EXPECT_FALSE(Custom("evil.txt").empty());
    const std::string user = Game::GetInstance().GetUserPath(Game::USER);
    EXPECT_FALSE(FileExists(user + "/evil.txt"));
    EXPECT_FALSE(FileExists(std::filesystem::path(user).parent_path().string() + "/evil.txt"));
}

TEST_F(ScenarioEditor, OptionSlidersKeepTheirBoundsAndThousands)
{
    // A fresh "Custom Map" has zero limits: the sliders start at their floors.
    GUI_EditorOptions& options = *Window().GetOptions();
    EXPECT_EQ(Window().GetScenario()->GetName(), "Custom Map");
    EXPECT_EQ(options.GetCost(), 2000);
    EXPECT_EQ(options.GetPilots(), 1);
    EXPECT_EQ(options.GetSize(), 1024);
    EXPECT_FALSE(options.HasStars());
    EXPECT_EQ(GUI_EditorOptions::CostAt(1.0f), 100000);
    EXPECT_EQ(GUI_EditorOptions::PilotsAt(1.0f), 1000);
    EXPECT_EQ(GUI_EditorOptions::SizeAt(1.0f), 4096);
    EXPECT_EQ(GUI_EditorOptions::CostAt(0.5f), 51000);
    EXPECT_EQ(GUI_EditorOptions::CostAt(0.501f), 51000); // 51098, down to the thousand
    EXPECT_EQ(GUI_EditorOptions::CostAt(0.5f + 1000.0f / 98000.0f), 52000);
    EXPECT_EQ(GUI_EditorOptions::PilotsAt(GUI_EditorOptions::PilotsPosition(10)), 10);
    EXPECT_FLOAT_EQ(GUI_EditorOptions::SizePosition(8000.0f), 1.0f);
    EXPECT_FLOAT_EQ(GUI_EditorOptions::CostPosition(0), 0.0f);
    // The stars box is ticked and unticked by the player.
    ClickAt(options.GetStarsBox()->left + 37, options.GetStarsBox()->top + 21);
    EXPECT_TRUE(options.HasStars());
    ClickAt(options.GetStarsBox()->left + 37, options.GetStarsBox()->top + 21);
    EXPECT_FALSE(options.HasStars());
}

TEST_F(ScenarioEditor, AnomaliesAreAddedOnceAndDeletedAfterTheClick)
{
    SIM_Scenario& scenario = *Window().GetScenario();
    GUI_AnomalyEditor& editor = *Window().GetAnomalyEditor();
    Click(*editor.GetAddButton());
    GUI_AnomalyPicker* picker = GUI_AnomalyPicker::GetOpen();
    ASSERT_NE(picker, nullptr);
    ASSERT_EQ(picker->GetStrips().size(), 6u); // as many as fit: 40 pixels each
    EXPECT_EQ(GUI_AnomalyPicker::Candidates(scenario).size(), 10u);
    // The shield multiplier, its slider moved to 25%, is added; the picker goes.
    GUI_AnomalyPickerStrip* shield = picker->GetStrips()[0];
    ASSERT_NE(shield->GetSlider(), nullptr);
    EXPECT_EQ(shield->GetAmountText(), "100%");
    shield->GetSlider()->value = 0.25f;
    Click(*shield->GetAddButton());
    Frames(1);
    EXPECT_EQ(GUI_AnomalyPicker::GetOpen(), nullptr);
    ASSERT_EQ(scenario.GetAnomalies().size(), 1u);
    EXPECT_FLOAT_EQ(scenario.GetAnomalies()[0].amount, 0.25f);
    ASSERT_EQ(editor.GetStrips().size(), 1u);

    // Once there, a keyword is offered no more; with all there, nothing is.
    std::vector<SIM_Anomaly> left = GUI_AnomalyPicker::Candidates(scenario);
    ASSERT_EQ(left.size(), 9u);
    EXPECT_EQ(left.front().keyword, "ENGINE_SPEED_MULTIPLIER");
    EXPECT_TRUE(left.front().hasAmount);
    EXPECT_FALSE(left.back().hasAmount);
    for (const SIM_Anomaly& a : left)
        scenario.AddAnomaly(a);
    EXPECT_TRUE(GUI_AnomalyPicker::Candidates(scenario).empty());
    editor.Refresh();

    // Delete: the scenario changes at once, the strips after the click (the
    // one clicked among them); a second Delete before that does nothing.
    editor.DeleteAnomaly(0);
    EXPECT_EQ(scenario.GetAnomalies().size(), 9u);
    EXPECT_TRUE(editor.IsRefreshPending());
    EXPECT_EQ(editor.GetStrips().size(), 4u); // as many as fit, 40 pixels apart
    editor.DeleteAnomaly(0);
    EXPECT_EQ(scenario.GetAnomalies().size(), 9u);
    Frames(1);
    EXPECT_FALSE(editor.IsRefreshPending());
    EXPECT_EQ(scenario.GetAnomalies().front().keyword, "ENGINE_SPEED_MULTIPLIER");
    // Through the strip's own button.
    Click(*editor.GetStrips()[0]->GetDeleteButton());
    ASSERT_EQ(scenario.GetAnomalies().size(), 8u);
    EXPECT_EQ(scenario.GetAnomalies().front().keyword, "WEAPON_RANGE_MULTIPLIER");
    scenario.AddAnomaly(SIM_Anomaly("ENGINE_SPEED_MULTIPLIER", 1.0f, true));
    // Deleted, the shield multiplier is offered again at 100%.
    left = GUI_AnomalyPicker::Candidates(scenario);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].keyword, "SHIELD_STRENGTH_MULTIPLIER");
    EXPECT_FLOAT_EQ(left[0].amount, 1.0f);
    EXPECT_FLOAT_EQ(scenario.GetShieldStrengthMultiplier(), 1.0f);
}

TEST_F(ScenarioEditor, SaveAndLoadGoThroughTheFileDialogs)
{
    // Save proposes "myscenario"; its own Save button writes the file.
    Click(*Window().GetSaveButton());
    GUI_SaveFileDialog* save = GUI_SaveFileDialog::GetOpen();
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->GetTargetPath(), GUI_ScenarioEditorWindow::CustomFolder() + "myscenario.txt");
    Click(*save->GetSaveButton());
    Frames(1);
    EXPECT_EQ(GUI_SaveFileDialog::GetOpen(), nullptr);
    EXPECT_NE(Custom("myscenario.txt").find("name = myscenario\n"), std::string::npos);
    // Escape closes a dialog even while its name field has the keys.
    Click(*Window().GetSaveButton());
    ASSERT_NE(GUI_SaveFileDialog::GetOpen(), nullptr);
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(GUI_SaveFileDialog::GetOpen(), nullptr);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 13);

    // Load lists the folder's files; opening one replaces the window.
    const GUI_ScenarioEditorWindow* before = &Window();
    Click(*Window().GetLoadButton());
    GUI_OpenFileDialog* open = GUI_OpenFileDialog::GetOpen();
    ASSERT_NE(open, nullptr);
    ASSERT_NE(open->GetPicker(), nullptr);
    Frames(1);
    EXPECT_EQ(open->GetPicker()->GetSelectedName(), "myscenario");
    Click(*open->GetOpenButton());
    Frames(1);
    EXPECT_NE(GUI_ScenarioEditorWindow::GetOpen(), before);
    EXPECT_EQ(Window().GetScenario()->GetName(), "myscenario");
}

TEST_F(ScenarioEditor, SaveLoadAndDeployThatFailTellThePlayerWhichFile)
{
    // A folder where the file would go: the write fails.
    const std::string blocked = GUI_ScenarioEditorWindow::CustomFolder() + "blocked.txt";
    std::filesystem::create_directories(blocked);
    const std::string saveText = std::string(GetString("SCENARIO_EDITOR_SAVE_FAILED")) + " " + blocked;
    EXPECT_FALSE(GUI_ScenarioEditorWindow::SaveCustomScenarioAs("blocked"));
    ASSERT_NE(GUI_Message::GetOpen(), nullptr);
    EXPECT_EQ(GUI_Message::GetOpen()->GetText(), saveText);
    CloseDialogs();

    // Deploy saves first: the same message, and the editor stays.
    Window().GetScenario()->SetName("blocked");
    Click(*Window().GetDeployButton());
    ASSERT_NE(GUI_Message::GetOpen(), nullptr);
    EXPECT_EQ(GUI_Message::GetOpen()->GetText(), saveText);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 13);
    CloseDialogs();

    // A file gone before it was opened: told by name, the window stays.
    const GUI_ScenarioEditorWindow* before = &Window();
    const std::string gone = GUI_ScenarioEditorWindow::CustomFolder() + "gone.txt";
    EXPECT_FALSE(GUI_ScenarioEditorWindow::LoadCustomScenario(gone));
    ASSERT_NE(GUI_Message::GetOpen(), nullptr);
    EXPECT_EQ(GUI_Message::GetOpen()->GetText(), std::string(GetString("SCENARIO_EDITOR_LOAD_FAILED")) + " " + gone);
    EXPECT_EQ(GUI_ScenarioEditorWindow::GetOpen(), before);
    CloseDialogs();
    std::filesystem::remove_all(blocked);
}

TEST_F(ScenarioEditor, EscapeClosesThePickerFirstThenLeaves)
{
    Click(*Window().GetAnomalyEditor()->GetAddButton());
    ASSERT_NE(GUI_AnomalyPicker::GetOpen(), nullptr);
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(GUI_AnomalyPicker::GetOpen(), nullptr);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 13);
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 15);
    EXPECT_EQ(GUI_ScenarioEditorWindow::GetOpen(), nullptr);
    // Every player reaches the editor from the main menu.
    Click(*GUI_MainMenu::GetInstance().GetScenarioEditorButton());
    EXPECT_EQ(Game::GetInstance().GetModeId(), 13);
    EXPECT_NE(GUI_ScenarioEditorWindow::GetOpen(), nullptr);
}

TEST_F(ScenarioEditor, PanelsListWhatTheyCanShowAndKeepTheRest)
{
    EXPECT_FALSE(GUI_MapPicker::IsListed("a_icon.jpg"));
    EXPECT_TRUE(GUI_MapPicker::IsListed("a.jpg"));
    GUI_MapPicker& maps = *Window().GetMapPicker();
    ASSERT_FALSE(maps.GetStrips().empty());
    // A fresh map takes the first backdrop; a click on a strip takes that one.
    EXPECT_EQ(maps.GetSelectedBackdrop(), maps.GetFiles().front());
    Click(*maps.GetStrips().back());
    EXPECT_EQ(maps.GetSelectedBackdrop(), maps.GetStrips().back()->GetFile());

    // A supply limit of an unknown module type stays, unshown.
    SIM_Scenario& scenario = *Window().GetScenario();
    scenario.SetSupplyLimit("no_such_module", 2);
    scenario.SetSupplyLimit("cruiser_missile", 1);
    GUI_EditorsSupplyList& supplies = *Window().GetSupplyList();
    supplies.Refresh();
    EXPECT_EQ(supplies.GetStrips().size(), 1u);
    EXPECT_EQ(supplies.CountShown(), 1u);
    ASSERT_TRUE(GUI_ScenarioEditorWindow::SaveCustomScenarioAs("kept"));
    EXPECT_NE(Custom("kept.txt").find("_sl_no_such_module,2\n"), std::string::npos);

    // A backdrop that is not among ours stays chosen and is saved again.
    SIM_Scenario* odd = GUI_ScenarioEditor::GetInstance().MakeScenario();
    odd->SetBackdrop("gone.dds");
    GUI_ScenarioEditorWindow::Open(odd);
    EXPECT_EQ(Window().GetMapPicker()->GetSelectedBackdrop(), "gone.dds");
    ASSERT_TRUE(GUI_ScenarioEditorWindow::SaveCustomScenarioAs("odd"));
    EXPECT_NE(Custom("odd.txt").find("backdrop = gone.dds\nicon = gone_icon.dds\n"), std::string::npos);
}

TEST_F(ScenarioEditor, DeployWritesReadsAndDeploysAgainstEnemiesInTheirZone)
{
    SetOptions(2048, 10000, 20, true);
    Click(*Window().GetDeployButton());
    ASSERT_EQ(Game::GetInstance().GetModeId(), 2);
    EXPECT_FALSE(Custom("Custom Map.txt").empty());
    GUI_DeploymentGUI& deployment = GUI_DeploymentGUI::GetInstance();
    SIM_Scenario* fought = deployment.GetScenario();
    ASSERT_NE(fought, nullptr);
    EXPECT_TRUE(fought->IsCustom());
    EXPECT_EQ(fought->GetName(), "Custom Map");
    EXPECT_EQ(fought->GetFleetCostLimit(), 10000);
    EXPECT_FALSE(deployment.IsEditingAIFleet());
    EXPECT_EQ(deployment.GetReturnMode(), 3);
    // The default enemy, moved into this map's enemy zone.
    ASSERT_NE(deployment.GetEnemyFleet(), nullptr);
    const SIM_Scenario::Zone zone = fought->GetAIDeployment();
    ASSERT_FALSE(deployment.GetEnemyFleet()->GetShips().empty());
    for (const auto& ship : deployment.GetEnemyFleet()->GetShips()) {
        EXPECT_GT(ship->x, static_cast<float>(zone.left));
        EXPECT_LT(ship->x, static_cast<float>(zone.right));
        EXPECT_GT(ship->y, static_cast<float>(zone.top));
        EXPECT_LT(ship->y, static_cast<float>(zone.bottom));
    }
    // A fleet of the player's own making for the scenario is left alone.
    const std::string easy = fought->GetEnemyFleetPath();
    ASSERT_TRUE(WriteFileAtomically(easy, "[ship0]\nshipid = 1\nname = Mine\ndesign = kor_ai_escort\npos = 1500,500\n"
                                          "quantity = 1\nangle = 270\n"));
    ASSERT_TRUE(GUI_ScenarioEditorWindow::ProvideEnemyFleets(*fought));
    std::string text;
    ReadWholeFile(easy, text);
    EXPECT_NE(text.find("name = Mine"), std::string::npos);
    deployment.GoBack();
    Frames(2);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 3);
}
