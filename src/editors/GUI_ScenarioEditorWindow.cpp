#include "editors/GUI_ScenarioEditorWindow.h"

#include "app/APP_SaveNotice.h"
#include "editors/GUI_AnomalyEditor.h"
#include "editors/GUI_EditorOptions.h"
#include "editors/GUI_EditorsSupplyList.h"
#include "editors/GUI_MapPicker.h"
#include "editors/GUI_ScenarioEditor.h"
#include "engine/APP_UserFolders.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "frontend/GUI_MenuChrome.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_OpenFileDialog.h"
#include "gui/GUI_SaveFileDialog.h"
#include "gui/GUI_WindowManager.h"
#include "prep/GUI_DeploymentGUI.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_DeploymentFile.h"
#include "sim/SIM_Scenario.h"

namespace {
GUI_ScenarioEditorWindow* g_open = nullptr;

constexpr int kGuiId = 1000;
constexpr const char* kEnemyRace = "federation";
// The default enemy fleets stand in the enemy zone of the smallest map.
constexpr const char* kDefaultFleetFolder = "data/deployments/_custom/";
constexpr float kDefaultFleetMapSize = 1024.0f;
const char* const kFleetFiles[3] = {"aifleet_easy.txt", "aifleet_medium.txt", "aifleet_hard.txt"};

bool EndsWithTxt(const std::string& text)
{
    return text.size() >= 4 && text.compare(text.size() - 4, 4, ".txt") == 0;
}

// "backdrop.dds" gives "backdrop_icon.dds".
std::string IconFor(const std::string& backdrop)
{
    const size_t dot = backdrop.find_last_of('.');
    if (dot == std::string::npos)
        return backdrop + "_icon";
    return backdrop.substr(0, dot) + "_icon" + backdrop.substr(dot);
}
} // namespace

void GUI_ScenarioEditorWindow::Open(SIM_Scenario* scenario)
{
    Close();
    g_open = new GUI_ScenarioEditorWindow(scenario);
}

void GUI_ScenarioEditorWindow::Close()
{
    if (!g_open)
        return;
    GUI_ScenarioEditorWindow* old = g_open;
    g_open = nullptr;
    old->visible = false;
    GUI_WindowManager::GetInstance().CloseWindow(old);
}

GUI_ScenarioEditorWindow* GUI_ScenarioEditorWindow::GetOpen()
{
    return g_open;
}

GUI_ButtonText* GUI_ScenarioEditorWindow::MakeButton(const char* key, GUI_Callback callback, int x)
{
    auto* button = new GUI_ButtonText(key, callback, 0);
    button->SetTooltip((std::string(key) + "_TOOLTIP").c_str());
    button->SetRect(static_cast<float>(clientLeft + x), static_cast<float>(bottom - 25),
                    static_cast<float>(clientLeft + x + 150), static_cast<float>(bottom - 15));
    AddButton(button);
    return button;
}

GUI_ScenarioEditorWindow::GUI_ScenarioEditorWindow(SIM_Scenario* scenario) : GUI_Dialog(false), m_scenario(scenario)
{
    bottomMargin = 50.0f;
    drawButtons = false;
    SetSize(static_cast<float>(kWidth), static_cast<float>(kHeight));
    Centre();
    SetClientRect();
    SetTitleKey("GUI_SCENARIO_EDITOR_TITLE");
    GUI_WindowManager::GetInstance().BringToFront(this);

    const float cl = static_cast<float>(clientLeft), ct = static_cast<float>(clientTop);
    const float cr = static_cast<float>(clientRight), cb = static_cast<float>(clientBottom);
    m_mapPicker = new GUI_MapPicker(scenario);
    m_mapPicker->SetRect(cl + 10, ct + 10, cl + 400, ct + 210);
    AddChild(m_mapPicker);
    m_mapPicker->Layout();
    m_options = new GUI_EditorOptions(scenario);
    m_options->SetRect(static_cast<float>(m_mapPicker->right + 10), ct + 10, cr - 10, ct + 270);
    AddChild(m_options);
    m_options->Layout();
    m_supplies = new GUI_EditorsSupplyList(scenario);
    m_supplies->SetRect(cl + 10, static_cast<float>(m_mapPicker->bottom + 10), static_cast<float>(m_mapPicker->right),
                        cb - 10);
    AddChild(m_supplies);
    m_supplies->Layout();
    m_anomalies = new GUI_AnomalyEditor(scenario);
    m_anomalies->SetRect(static_cast<float>(m_mapPicker->right + 10), static_cast<float>(m_options->bottom + 10),
                         cr - 10, cb - 10);
    AddChild(m_anomalies);
    m_anomalies->Layout();

    m_save = MakeButton("SCENARIO_EDITOR_SAVE", OnSave, 0);
    m_load = MakeButton("SCENARIO_EDITOR_LOAD", OnLoad, 150);
    m_deploy = MakeButton("SCENARIO_EDITOR_DEPLOY", OnDeploy, 300);
}

GUI_ScenarioEditorWindow::~GUI_ScenarioEditorWindow()
{
    if (g_open == this)
        g_open = nullptr;
}

void GUI_ScenarioEditorWindow::Draw()
{
    if (!visible)
        return;
    GUI_Dialog::Draw();
    GUI_MenuChrome::DrawClientArea(*this, m_interlace);
    DrawChildren();
    DrawButtons();
    LibText::GetInstance().Render(-1);
}

std::string GUI_ScenarioEditorWindow::CustomFolder()
{
    return APP_UserFolders::GetInstance().Get(APP_UserFolders::USER) + "/custom_scenarios/";
}

std::string GUI_ScenarioEditorWindow::CustomScenarioName(const std::string& fileName)
{
    // Only a name inside the folder: whatever path came with it is dropped.
    const size_t slash = fileName.find_last_of("/\\");
    std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    if (EndsWithTxt(name))
        name.resize(name.size() - 4);
    return SanitiseFileName(name, GUI_SaveFileDialog::kMaxNameLength);
}

bool GUI_ScenarioEditorWindow::WriteCustomScenario(const std::string& path, const std::string& name)
{
    SIM_Scenario& s = *m_scenario;
    s.SetGuiId(kGuiId);
    s.SetName(name);
    s.SetGuiName(name);
    const std::string backdrop = m_mapPicker->GetSelectedBackdrop();
    s.SetBackdrop(backdrop);
    s.SetShader("");
    s.SetIcon(IconFor(backdrop));
    s.SetEnemyRace(kEnemyRace);
    s.SetSizeText(GetString("MAP_SIZE_CUSTOM"));
    s.SetStringMember("");
    s.SetChallengeFleet(false);
    const int size = m_options->GetSize();
    s.SetMapSize(static_cast<float>(size), static_cast<float>(size));
    s.SetStarfield(m_options->HasStars());
    s.SetFleetCostLimit(m_options->GetCost());
    s.SetPilotLimit(m_options->GetPilots());
    s.SetType(SIM_Scenario::SKIRMISH);
    s.SetFilePath(path);
    s.SetCustom(true);
    const float f = static_cast<float>(size);
    s.SetPlayerDeployment({10, 10, static_cast<int>(f / 3.0f), static_cast<int>(f - 10.0f)});
    s.SetAIDeployment({static_cast<int>(f - f / 3.0f), 10, static_cast<int>(f - 10.0f), static_cast<int>(f - 10.0f)});
    s.FormatVariablesForEditor();
    return s.Save(path);
}

void GUI_ScenarioEditorWindow::TellFailure(const char* textKey, const std::string& path)
{
    LOG_ERROR(std::string(textKey) + " " + path);
    // The player hears it here, with the file's name: not from the
    // failed-save notice as well.
    APP_SaveNotice::GetInstance().MarkReported();
    ShowMessage(std::string(GetString(textKey)) + " " + path, "SCENARIO_EDITOR_FAILED_TITLE");
}

bool GUI_ScenarioEditorWindow::SaveCustomScenarioAs(const std::string& fileName)
{
    if (!g_open || !g_open->m_scenario)
        return false;
    const std::string name = CustomScenarioName(fileName);
    EnsureDirectoryExists(CustomFolder());
    const std::string path = CustomFolder() + name + ".txt";
    if (g_open->WriteCustomScenario(path, name))
        return true;
    TellFailure("SCENARIO_EDITOR_SAVE_FAILED", path);
    return false;
}

bool GUI_ScenarioEditorWindow::LoadCustomScenario(const std::string& path)
{
    SIM_Scenario* scenario = GUI_ScenarioEditor::GetInstance().MakeScenario();
    if (!scenario->Load(path)) {
        TellFailure("SCENARIO_EDITOR_LOAD_FAILED", path);
        return false;
    }
    scenario->SetCustom(true);
    Open(scenario);
    return true;
}

bool GUI_ScenarioEditorWindow::ProvideEnemyFleets(SIM_Scenario& scenario)
{
    const int difficulty = scenario.GetDifficulty();
    bool ok = true;
    for (int level = SIM_Scenario::EASY; level <= SIM_Scenario::HARD; ++level) {
        scenario.SetDifficulty(level);
        const std::string path = scenario.GetEnemyFleetPath();
        if (FileExists(path))
            continue;
        SIM_DeployedFleet fleet;
        if (!fleet.Load(kDefaultFleetFolder + std::string(kFleetFiles[level]), nullptr, false)) {
            ok = false;
            continue;
        }
        const float scale = scenario.GetMapSizeX() / kDefaultFleetMapSize;
        for (const auto& ship : fleet.GetShips()) {
            ship->x *= scale;
            ship->y *= scale;
        }
        ok = WriteDeploymentFile(path, fleet) && ok;
    }
    scenario.SetDifficulty(difficulty);
    return ok;
}

void GUI_ScenarioEditorWindow::OnSave(std::intptr_t)
{
    ShowSaveFileDialog(CustomFolder(), ".txt", "CUSTOM_SCENARIO_SAVE",
                       [](const std::string& name) { SaveCustomScenarioAs(name); },
                       CustomScenarioName(kProposedName));
}

void GUI_ScenarioEditorWindow::OnLoad(std::intptr_t)
{
    ShowOpenFileDialog(CustomFolder() + "*.txt", "CUSTOM_SCENARIO_LOAD",
                       [](const std::string& path) { LoadCustomScenario(path); });
}

void GUI_ScenarioEditorWindow::OnDeploy(std::intptr_t)
{
    if (!g_open || !g_open->m_scenario)
        return;
    const std::string name = CustomScenarioName(g_open->m_scenario->GetName() + ".txt");
    // Written first and read back: what is fought is what the file holds.
    if (!SaveCustomScenarioAs(name) || !LoadCustomScenario(CustomFolder() + name + ".txt"))
        return;
    SIM_Scenario* scenario = g_open->m_scenario;
    scenario->SetCustomChallenge(GUI_ScenarioEditor::GetInstance().IsForChallenge());
    // Without its enemy fleets the battle would have nobody to fight.
    if (!ProvideEnemyFleets(*scenario)) {
        TellFailure("SCENARIO_EDITOR_DEPLOY_FAILED", CustomFolder() + name + ".txt");
        return;
    }
    GUI_DeploymentGUI::Open(scenario, false, 3);
}
