#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_MissionSummary.h"

#include "app/APP_SaveNotice.h"
#include "app/APP_UsageMetrics.h"
#include "app/GUI_Sounds.h"
#include "app/Game.h"
#include "engine/APP_UserFolders.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "frontend/GUI_LoadingScreen.h"
#include "frontend/GUI_SupplyLimits.h"
#include "online/GUI_NewChallengeEntry.h"
#include "online/SIM_Server.h"
#include "sim/SIM_ChallengeFile.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_RCMenuBase.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_TutorialWindow.h"
#include "gui/GUI_WindowManager.h"
#include "platform/KeyCodes.h"
#include "prep/GUI_BehaviourEditor.h"
#include "prep/GUI_BehaviourPicker.h"
#include "prep/GUI_DeploymentAIIcon.h"
#include "prep/GUI_DeploymentControlPanel.h"
#include "prep/GUI_DeploymentDesignPicker.h"
#include "prep/GUI_DeploymentDetails.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentMap.h"
#include "prep/GUI_DeploymentTools.h"
#include "prep/GUI_DeploymentZone.h"
#include "prep/GUI_FleetSummaryBar.h"
#include "prep/GUI_ModulePopup.h"
#include "prep/GUI_RandomShipName.h"
#include "prep/GUI_SquadronSize.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_DeploymentFile.h"
#include "sim/SIM_FleetLimits.h"
#include "sim/SIM_HighScores.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipNameGenerator.h"
#include "sim/SIM_SurvivalMode.h"

#include <algorithm>

namespace {
enum ButtonId { FIGHT = 0, EASY, MEDIUM, HARD, POST_CHALLENGE, GO_BACK };

bool ShiftHeld()
{
    const CInput& input = CInput::GetInstance();
    return input.IsKeyDown(KEY_LSHIFT) || input.IsKeyDown(KEY_RSHIFT);
}

std::string UserFolder()
{
    return APP_UserFolders::GetInstance().Get(APP_UserFolders::DEPLOYMENTS);
}

// The data folder the scenario was read from: its path up to "/scenarios".
std::string DataRoot(const SIM_Scenario& scenario)
{
    const std::string& path = scenario.GetFilePath();
    const size_t at = path.rfind("/scenarios");
    return at == std::string::npos ? std::string("data") : path.substr(0, at);
}

const char* const kDifficultyFiles[3] = {"aifleet_easy", "aifleet_medium", "aifleet_hard"};
const char* const kDifficultyEvents[3] = {"setdiffeasy", "setdiffmedium", "setdiffhard"};
} // namespace

GUI_DeploymentGUI& GUI_DeploymentGUI::GetInstance()
{
    static GUI_DeploymentGUI instance;
    return instance;
}

GUI_DeploymentGUI::GUI_DeploymentGUI()
{
    m_backdrop.SetTexture("menu_backdrop.jpg");
    m_panel.SetTexture("box_background.jpg");
    m_bottomStrip.SetTexture("box_background.jpg");
    struct Def {
        ButtonId id;
        const char* key;
        const char* tooltip;
    };
    const Def defs[] = {
        {FIGHT, "GUI_DEPLOYMENT_FIGHT", "GUI_DEPLOYMENT_FIGHT_TOOLTIP"},
        {EASY, "SCENARIO_DIFFICULTY_EASY", "DIFFICULTY_EASY_TOOLTIP"},
        {MEDIUM, "SCENARIO_DIFFICULTY_MEDIUM", "DIFFICULTY_MEDIUM_TOOLTIP"},
        {HARD, "SCENARIO_DIFFICULTY_HARD", "DIFFICULTY_HARD_TOOLTIP"},
        {POST_CHALLENGE, "POST_CHALLENGE", "CONFIGURE_SCENARIO_CHALLENGE_TOOLTIP"},
        {GO_BACK, "DEPLOYMENT_GOBACK", "DEPLOYMENT_GOBACK_TOOLTIP"},
    };
    for (const Def& d : defs) {
        auto* button = new GUI_ButtonText(d.key, OnButton, d.id);
        button->SetTooltipString(GetString(d.tooltip));
        m_buttons.AddButton(button);
        switch (d.id) {
        case FIGHT: m_fight = button; break;
        case EASY: m_difficulty[0] = button; break;
        case MEDIUM: m_difficulty[1] = button; break;
        case HARD: m_difficulty[2] = button; break;
        case POST_CHALLENGE: m_postChallenge = button; break;
        case GO_BACK: m_goBack = button; break;
        }
    }
    m_fight->SetName("fightbattle");
    for (int i = 0; i < 3; ++i)
        m_mystery[i] = GetString(("MAP_MYSTERY" + std::to_string(i + 1)).c_str());
}

GUI_DeploymentGUI::~GUI_DeploymentGUI()
{
    DeleteAllDeploymentIcons();
    DeleteEnemyIcons();
}

void GUI_DeploymentGUI::Open(SIM_Scenario* scenario, bool editingAIFleet, int returnMode)
{
    GUI_DeploymentGUI& screen = GetInstance();
    screen.SetScenario(scenario);
    screen.SetEditingAIFleet(editingAIFleet);
    screen.SetReturnMode(returnMode);
    Game::GetInstance().SetMode(kModeId);
}

SIM_Scenario* GUI_DeploymentGUI::FirstPlayableScenario()
{
    for (SIM_Scenario* scenario : SIM_Scenario::GetList()) {
        if (scenario->IsChallengeFleet())
            continue;
        if (SIM_HighScores::GetInstance().IsScenarioAvailable(scenario->GetName()))
            return scenario;
    }
    return SIM_Scenario::GetFirst();
}

void GUI_DeploymentGUI::OnButton(std::intptr_t id)
{
    GUI_DeploymentGUI& screen = GetInstance();
    switch (id) {
    case FIGHT: screen.OnFightBattle(); break;
    case EASY:
    case MEDIUM:
    case HARD: screen.ChooseDifficulty(static_cast<int>(id - EASY)); break;
    case POST_CHALLENGE:
        // The file is written from the fleet: positions come from the icons.
        screen.WriteDeploymentFile(screen.GetTempDeploymentPath());
        GUI_NewChallengeEntry::OpenNewChallenge();
        break;
    case GO_BACK: screen.GoBack(); break;
    default: break;
    }
}

void GUI_DeploymentGUI::LayOutButtons(int w, int h)
{
    const float top = static_cast<float>(h - 32), bottom = top + 20.0f;
    const int half = w / 2;
    m_fight->SetRect(static_cast<float>(w - 214), top, static_cast<float>(w - 64), bottom);
    m_difficulty[0]->SetRect(static_cast<float>(half - 150), top, static_cast<float>(half - 50), bottom);
    m_difficulty[1]->SetRect(static_cast<float>(half - 50), top, static_cast<float>(half + 50), bottom);
    m_difficulty[2]->SetRect(static_cast<float>(half + 50), top, static_cast<float>(half + 150), bottom);
    m_postChallenge->SetRect(200.0f, top, 300.0f, bottom);
    m_goBack->SetRect(32.0f, top, 172.0f, bottom);
}

// ---------------------------------------------------------------------------
// Entering and leaving

std::string GUI_DeploymentGUI::GetTempDeploymentPath() const
{
    return m_scenario ? GetDeploymentFilePath(m_scenario->GetName(), kTempFile) : std::string();
}

std::string GUI_DeploymentGUI::GetDeployedPath() const
{
    return m_scenario ? GetDeploymentFilePath(m_scenario->GetName(), kDeployedFile) : std::string();
}

std::string GUI_DeploymentGUI::GetSaveFolder() const
{
    if (!m_scenario)
        return std::string();
    if (m_editingAIFleet)
        return DataRoot(*m_scenario) + "/deployments/" + m_scenario->GetName() + "/";
    return UserFolder() + "/" + SanitiseFileName(m_scenario->GetName()) + "/";
}

std::string GUI_DeploymentGUI::GetLoadPattern() const
{
    return GetSaveFolder() + "*.txt";
}

void GUI_DeploymentGUI::DeleteTempDeployment() const
{
    const std::string path = GetTempDeploymentPath();
    if (!path.empty() && FileExists(path))
        std::remove(path.c_str());
}

void GUI_DeploymentGUI::ProvideSampleDeployment() const
{
    // The scenario's shipped sample sits among the player's deployments, so
    // the load dialog offers a fleet that fits from the first visit on.
    const std::string sample = "data/sample deployment/" + m_scenario->GetName() + ".txt";
    const std::string copy = GetSaveFolder() + kSampleFile;
    if (FileExists(copy) || !FileExists(sample))
        return;
    EnsureDirectoryExists(GetSaveFolder());
    CopyFileTo(sample, copy, false);
}

void GUI_DeploymentGUI::Enter()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    const int w = engine.GetScreenWidth(), h = engine.GetScreenHeight();
    m_backdrop.SetSize(static_cast<float>(w), static_cast<float>(h));
    const float s = std::min(static_cast<float>(h - 45), static_cast<float>(w - 373));
    m_area = {static_cast<int>(static_cast<float>(w / 2) - (s + 373.0f) / 2.0f), 0,
              static_cast<int>(static_cast<float>(w / 2) + (s + 373.0f) / 2.0f), h - 45};
    m_buttons.SetRect(static_cast<float>(m_area.left), 0.0f, static_cast<float>(m_area.right),
                      static_cast<float>(h));
    LayOutButtons(w, h);

    QLM_ASSERT(m_scenario);
    if (!m_scenario) {
        // Nothing to deploy for: back where the player came from.
        Game::GetInstance().SetMode(m_returnMode == kModeId ? 15 : m_returnMode);
        return;
    }
    GUI_DeploymentMap::GetInstance().SetScenario(m_scenario);
    OpenDeploymentControlPanel(m_area.left, 0);
    // The enemy of a survival battle is its first wave: the waves are read
    // before anything asks for the wave's fleet.
    if (m_scenario->GetType() == SIM_Scenario::SURVIVAL)
        SIM_SurvivalMode::GetInstance().LoadWaves(m_scenario->GetSurvivalWavesPath());

    m_playerFleet = std::make_unique<SIM_DeployedFleet>();
    if (!m_editingAIFleet)
        ProvideSampleDeployment();
    if (!m_editingAIFleet) {
        const std::string temp = GetTempDeploymentPath();
        m_enteredFrom = FileExists(temp) ? temp : GetDeployedPath();
    } else {
        m_enteredFrom = m_scenario->GetEnemyFleetPath();
    }
    m_playerFleet->Load(m_enteredFrom, m_editingAIFleet ? nullptr : m_scenario, false);

    GUI_DeploymentTools::GetInstance().fleetChanged = false;
    GUI_DeploymentTools::GetInstance().pickMode = 0;
    m_ghostDesign = nullptr;

    if (m_picker)
        GUI_WindowManager::GetInstance().CloseWindow(m_picker);
    m_picker = new GUI_DeploymentDesignPicker(GetDeploymentControlPanelRight(), h);
    GUI_DeploymentMap::GetInstance().Layout(m_picker->right, w, h);
    GUI_DeploymentZone::GetInstance().SetFromScenario(*m_scenario, m_editingAIFleet);

    if (m_summaryBar)
        GUI_WindowManager::GetInstance().CloseWindow(m_summaryBar);
    m_summaryBar = new GUI_FleetSummaryBar();
    m_playerFleet->SetFleetName("deployed");

    DeleteAllDeploymentIcons();
    CreateDeploymentIcons(*m_playerFleet);
    if (!m_editingAIFleet) {
        LoadEnemyFleet();
    } else {
        m_enemyFleet.reset();
        DeleteEnemyIcons();
    }
    if (!GetDeploymentIcons().empty()) {
        GUI_DeploymentIcon* first = GetDeploymentIcons().front();
        first->selected = true;
        GUI_DeploymentDetails::Open(first->GetShip());
    }
    m_bottomStrip.SetSize(static_cast<float>(w), 45.0f);
    m_bottomStrip.SetUV(0.0f, 0.0f, 1.0f, 45.0f / 1024.0f);
    m_bottomStrip.PlaceCentred(static_cast<float>(w / 2), static_cast<float>(h - 22));

    const bool showDifficulty = m_scenario->TakesChosenDifficulty();
    for (GUI_ButtonText* button : m_difficulty) {
        button->visible = showDifficulty;
        button->enabled = showDifficulty;
    }
    MarkDifficultyButtons();
    // A battle of the game's own fleets, whose difficulty is chosen, may be posted.
    m_postChallenge->visible = showDifficulty && !m_editingAIFleet;
    m_postChallenge->enabled = false;
    // Without a server the button stays off and says why.
    m_postChallenge->SetTooltipString(GetString(SIM_Server::GetInstance().IsOnline()
                                                    ? "CONFIGURE_SCENARIO_CHALLENGE_TOOLTIP"
                                                    : "ONLINE_NO_SERVER"));

    const float areaW = static_cast<float>(m_area.Width()), areaH = static_cast<float>(m_area.Height());
    m_panel.SetSize(areaW, areaH);
    m_panel.SetUV(0.0f, 0.0f, std::clamp(areaW / 1024.0f, 0.0f, 1.0f), std::clamp(areaH / 1024.0f, 0.0f, 1.0f));
    m_panel.PlaceCentred(static_cast<float>(w / 2), areaH / 2.0f);

    RefreshAfterFleetChange();
    GUI_Tutorial::GetInstance().LaunchTutorial("CHANGEDEPLOYMENT1");
    APP_UsageMetrics::GetInstance().SetEventFlag("depscreenactivated");
}

void GUI_DeploymentGUI::Leave()
{
    if (GUI_RCMenuBase* menu = GUI_RCMenuBase::GetOpen())
        GUI_WindowManager::GetInstance().CloseWindow(menu);
    GUI_BehaviourPicker::CloseOpen();
    GUI_BehaviourEditor::CloseOpen();
    GUI_ModulePopup::CloseOpen();
    GUI_SupplyLimits::Close();
    CloseMissionSummary();
    GUI_SquadronSize::CloseOpen();
    GUI_RandomShipName::CloseOpen();
    GUI_DeploymentTools::GetInstance().pickMode = 0;
    GUI_DeploymentDetails::Close();
    GUI_DeploymentDetails::CloseShipDetails();
    CloseDeploymentControlPanel();
    DeleteAllDeploymentIcons();
    // Through the window manager: Leave may run inside a click on the picker
    // (new design, change race), which must not delete it under its feet.
    GUI_WindowManager& windows = GUI_WindowManager::GetInstance();
    if (m_summaryBar)
        windows.CloseWindow(m_summaryBar);
    m_summaryBar = nullptr;
    if (m_picker)
        windows.CloseWindow(m_picker);
    m_picker = nullptr;
    m_ghostDesign = nullptr;
}

void GUI_DeploymentGUI::LoadEnemyFleet()
{
    DeleteEnemyIcons();
    m_enemyFleet.reset();
    if (!m_scenario)
        return;
    if (m_scenario->IsChallengeFleet()) {
        // The challenge read last holds the enemy, already turned to face us.
        const SIM_ChallengeFile& challenge = SIM_ChallengeFile::GetInstance();
        if (!challenge.GetFleetRead() || challenge.GetChallengeId() != m_scenario->GetChallengeId())
            return;
        m_enemyFleet = std::make_unique<SIM_DeployedFleet>();
        m_enemyFleet->CopyFrom(*challenge.GetFleetRead());
        CreateEnemyFleetIcons(*m_enemyFleet);
        return;
    }
    const std::string path = m_scenario->GetEnemyFleetPath();
    if (!FileExists(path))
        return;
    m_enemyFleet = std::make_unique<SIM_DeployedFleet>();
    m_enemyFleet->Load(path, nullptr, false);
    CreateEnemyFleetIcons(*m_enemyFleet);
}

void GUI_DeploymentGUI::LoadDeploymentFile(const std::string& path)
{
    if (!m_playerFleet || !m_scenario)
        return;
    DeleteAllDeploymentIcons();
    GUI_DeploymentDetails::Close();
    m_playerFleet->Load(path, m_editingAIFleet ? nullptr : m_scenario, false);
    m_playerFleet->SetFleetName("deployed");
    CreateDeploymentIcons(*m_playerFleet);
    GUI_DeploymentTools::GetInstance().fleetChanged = false;
    RefreshAfterFleetChange();
}

void GUI_DeploymentGUI::LoadDeploymentFileAsking(const std::string& path)
{
    if (!GUI_DeploymentTools::GetInstance().fleetChanged) {
        LoadDeploymentFile(path);
        return;
    }
    m_pendingLoad = path;
    AskYesNo("DEPLOYMENT_LOAD_CONFIRM_MESSAGE", "DEPLOYMENT_QUIT_CONFIRM_TITLE", LoadAnswered, false);
}

void GUI_DeploymentGUI::LoadAnswered(std::intptr_t)
{
    GUI_DeploymentGUI& screen = GetInstance();
    const std::string path = screen.m_pendingLoad;
    screen.m_pendingLoad.clear();
    if (!path.empty())
        screen.LoadDeploymentFile(path);
}

bool GUI_DeploymentGUI::WriteDeploymentFile(const std::string& path) const
{
    std::vector<SIM_DeployedShip*> ships;
    for (GUI_DeploymentIcon* icon : GetDeploymentIcons()) {
        if (!icon->GetShip())
            continue;
        // The record holds the icon's snapped map position.
        icon->GetShip()->x = icon->mapX;
        icon->GetShip()->y = icon->mapY;
        ships.push_back(icon->GetShip());
    }
    return ::WriteDeploymentFile(path, std::string(), ships);
}

bool GUI_DeploymentGUI::SaveDeploymentAs(const std::string& name)
{
    // The name is a file name inside the folder, never a path out of it.
    const bool safe = !name.empty() && name.find('/') == std::string::npos &&
                      name.find('\\') == std::string::npos && name.find("..") == std::string::npos &&
                      SanitiseFileName(name, 200) == name;
    if (!safe || !WriteDeploymentFile(GetSaveFolder() + name + ".txt")) {
        APP_SaveNotice::GetInstance().MarkReported();
        ShowMessage(GetString("DEPLOYMENT_SAVE_FAILED"), "DEPLOYMENT_SAVE_TITLE");
        return false;
    }
    GUI_DeploymentTools::GetInstance().fleetChanged = false;
    RefreshAfterFleetChange();
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    if (tutorial.IsWaitingFor("FIGHTBATTLE"))
        tutorial.LaunchTutorial("FIGHTBATTLE");
    return true;
}

GUI_GameModeBase::LeaveQuestion GUI_DeploymentGUI::GetLeaveQuestion() const
{
    if (!GUI_DeploymentTools::GetInstance().fleetChanged)
        return {};
    return {"DEPLOYMENT_QUIT_CONFIRM_MESSAGE", "DEPLOYMENT_QUIT_CONFIRM_TITLE"};
}

void GUI_DeploymentGUI::GoBack()
{
    // Going back throws the placed fleet away as Escape does: asked alike.
    if (const LeaveQuestion question = GetLeaveQuestion())
        AskYesNo(question.textKey, question.titleKey, GoBackAnswered, false);
    else
        LeaveToReturnMode();
}

void GUI_DeploymentGUI::GoBackAnswered(std::intptr_t)
{
    GetInstance().LeaveToReturnMode();
}

void GUI_DeploymentGUI::LeaveToReturnMode()
{
    DeleteTempDeployment();
    Game::GetInstance().SetMode(m_returnMode);
}

void GUI_DeploymentGUI::QuitAnswered(std::intptr_t)
{
    QuitToScenarioChoice();
}

void GUI_DeploymentGUI::Quit()
{
    if (const LeaveQuestion question = GetLeaveQuestion())
        AskYesNo(question.textKey, question.titleKey, QuitAnswered, false);
    else
        QuitToScenarioChoice();
}

void GUI_DeploymentGUI::QuitToScenarioChoice()
{
    GetInstance().DeleteTempDeployment();
    // Straight there: Escape is the quick way out, Back the one that wipes.
    Game::GetInstance().SetMode(3, false);
}

// ---------------------------------------------------------------------------
// Limits, difficulty and FIGHT

int GUI_DeploymentGUI::DifficultyCostLimit() const
{
    if (!m_scenario || !m_playerFleet)
        return 0;
    return SIM_FleetLimits(*m_scenario, *m_playerFleet, m_editingAIFleet).CostLimit();
}

int GUI_DeploymentGUI::GetAvailability(const SIM_ShipDesign* design) const
{
    if (!m_scenario || !m_playerFleet)
        return SIM_FleetLimits::NOT_ALLOWED;
    return SIM_FleetLimits(*m_scenario, *m_playerFleet, m_editingAIFleet).GetAvailability(design);
}

bool GUI_DeploymentGUI::IsShortOfSupplies(const SIM_ShipDesign* design) const
{
    if (!m_scenario || !m_playerFleet)
        return false;
    return SIM_FleetLimits(*m_scenario, *m_playerFleet, m_editingAIFleet).IsShortOfSupplies(design);
}

void GUI_DeploymentGUI::UpdateFightButton()
{
    if (!m_scenario || !m_playerFleet)
        return;
    const SIM_FleetLimits limits(*m_scenario, *m_playerFleet, m_editingAIFleet);
    const int code = limits.CheckFleet();
    // A fleet that could fight can be posted, where there is a server to take it.
    m_postChallenge->enabled = m_postChallenge->visible && code == SIM_FleetLimits::AVAILABLE &&
                               !m_playerFleet->GetShips().empty() && SIM_Server::GetInstance().IsOnline();
    if (code != SIM_FleetLimits::AVAILABLE) {
        m_fightTooltipKey = SIM_FleetLimits::FightTooltipKey(code);
        m_fight->enabled = false;
    } else {
        m_fightTooltipKey = "GUI_DEPLOYMENT_FIGHT_TOOLTIP";
        m_fight->enabled = true;
    }
    if (m_playerFleet->GetShips().empty())
        m_fight->enabled = false;
    // A custom challenge is deployed to be posted; the post button stays as
    // the fleet's checks left it.
    if (m_scenario->IsCustomChallenge()) {
        m_fight->enabled = false;
        m_fightTooltipKey = "GUI_DEPLOYMENT_FIGHT_CUSTOMCHALLENGE";
    }
    if (m_fightTooltipKey != m_shownFightTooltip) {
        m_fight->SetTooltipString(GetString(m_fightTooltipKey.c_str()));
        m_shownFightTooltip = m_fightTooltipKey;
    }
}

void GUI_DeploymentGUI::RefreshAfterFleetChange()
{
    if (Game::GetInstance().GetModeId() != kModeId)
        return;
    if (m_picker)
        m_picker->RefreshShipIconAvailability();
    GUI_SupplyLimits::RefreshStrips();
    UpdateFightButton();
}

void GUI_DeploymentGUI::MarkDifficultyButtons()
{
    const int level = m_scenario ? m_scenario->GetDifficulty() : 0;
    // The current level cannot be chosen again, but reads as the one chosen.
    for (int i = 0; i < 3; ++i) {
        if (m_difficulty[i]->visible)
            m_difficulty[i]->enabled = i != level;
        m_difficulty[i]->chosen = m_difficulty[i]->visible && i == level;
    }
}

void GUI_DeploymentGUI::SetDeploymentDifficulty(int level)
{
    if (!m_scenario || level < 0 || level > 2)
        return;
    GUI_Tutorial::GetInstance().LaunchTutorial("CHANGED_DIFFICULTY");
    m_scenario->SetDifficulty(level);
    MarkDifficultyButtons();
    if (!m_editingAIFleet) {
        // The player's choice stands for every battle, in this run and the next.
        SIM_Options::GetInstance().SetDifficulty(level);
        SIM_Scenario::ApplyChosenDifficulty(level);
        LoadEnemyFleet();
        return;
    }
    LoadDeploymentFile(DataRoot(*m_scenario) + "/deployments/" + m_scenario->GetName() + "/" +
                       kDifficultyFiles[level] + ".txt");
}

void GUI_DeploymentGUI::DifficultyAnswered(std::intptr_t)
{
    GUI_DeploymentGUI& screen = GetInstance();
    screen.SetDeploymentDifficulty(screen.m_pendingDifficulty);
}

void GUI_DeploymentGUI::ChooseDifficulty(int level)
{
    if (level < 0 || level > 2)
        return;
    APP_UsageMetrics::GetInstance().SetEventFlag(kDifficultyEvents[level]);
    // The AI fleet on screen would be replaced by the other difficulty's:
    // unsaved work is not thrown away without asking.
    if (m_editingAIFleet && GUI_DeploymentTools::GetInstance().fleetChanged) {
        m_pendingDifficulty = level;
        AskYesNo("DEPLOYMENT_DIFFICULTY_CONFIRM_MESSAGE", "DEPLOYMENT_QUIT_CONFIRM_TITLE", DifficultyAnswered,
                 false);
        return;
    }
    SetDeploymentDifficulty(level);
}

void GUI_DeploymentGUI::FightAnyway(std::intptr_t)
{
    GetInstance().StartBattleFromDeployment();
}

void GUI_DeploymentGUI::OnFightBattle()
{
    // First: the battle's own lessons open once it starts.
    GUI_TutorialWindow::CloseAll();
    if (!m_editingAIFleet && m_scenario && m_playerFleet) {
        if (m_playerFleet->HasDisabledModules(m_scenario))
            AskYesNo("INOPERABLE_FLEET_TEXT", "INOPERABLE_FLEET_TITLE", FightAnyway, false);
        else
            StartBattleFromDeployment();
    }
}

bool GUI_DeploymentGUI::StartBattleFromDeployment()
{
    if (!m_scenario || !m_playerFleet)
        return false;
    if (IsDeploymentControlPanelOpen())
        WriteDeploymentFile(GetTempDeploymentPath());
    GUI_Sounds::GetInstance().PlayGuiSound(4);
    SIM_Battle& battle = SIM_Battle::GetInstance();
    // The battle keeps the fleets it was given until the next one.
    static SIM_DeployedFleet s_player;
    static SIM_DeployedFleet s_enemy;
    battle.Clear();
    s_player.CopyFrom(*m_playerFleet);
    s_enemy.Clear();
    if (m_enemyFleet)
        s_enemy.CopyFrom(*m_enemyFleet);
    battle.SetSetUpProgress(&GUI_LoadingScreen::GetInstance());
    if (!battle.Start(m_scenario, &s_player, &s_enemy, false)) {
        ShowMessage(GetString("GUI_DEPLOYMENT_BATTLE_FAILED"), "GUI_DEPLOYMENT_FIGHT");
        return false;
    }
    ++m_battlesStarted;
    Game::GetInstance().SetMode(9);
    return true;
}

// ---------------------------------------------------------------------------
// Placing

void GUI_DeploymentGUI::PlaceShip(const SIM_ShipDesign* design, float x, float y)
{
    ClearDeploymentSelection();
    QLM_ASSERT(design);
    if (!design || !m_playerFleet || !m_scenario)
        return;
    auto ship = std::make_shared<SIM_DeployedShip>();
    ship->name = SIM_ShipNameGenerator::GetInstance().GenerateName(design->GetHull());
    ship->angle = m_editingAIFleet ? 270.0f : 90.0f;
    ship->design = design->GetName();
    ship->x = 0.0f;
    ship->y = 0.0f;
    ship->orders.SetDefaults(design);
    ship->shipId = m_playerFleet->GetHighestShipId() + 1;
    ship->quantity = SIM_FleetLimits(*m_scenario, *m_playerFleet, m_editingAIFleet).LargestSquadron(design);
    if (!m_playerFleet->AddShip(ship))
        return;

    auto* icon = new GUI_DeploymentIcon(GUI_DeploymentIcon::DEPLOYMENT_SCREEN);
    icon->SetDeployedShip(ship);
    const GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    icon->SetMapPosition(map.ScreenToMapX(x), map.ScreenToMapY(y));
    icon->ScreenToMap();
    const CInput& input = CInput::GetInstance();
    SelectDeploymentIcon(icon, input.GetMouseX(), input.GetMouseY());
    icon->newlyPlaced = true;
    SortDeploymentIcons();
    GUI_DeploymentTools::GetInstance().fleetChanged = true;
    RefreshAfterFleetChange();
}

void GUI_DeploymentGUI::BeginPlacingGhost(const SIM_ShipDesign* design)
{
    m_ghostDesign = design;
    if (!design || !design->GetHull())
        return;
    const float scale = GUI_DeploymentMap::GetInstance().GetScale();
    const float factor = design->IsFighter() ? 4.0f : 1.0f;
    m_ghost.SetTexture(design->GetHull()->GetSprite());
    m_ghost.SetSize(design->GetHull()->GetWidth() * scale * factor, design->GetHull()->GetHeight() * scale * factor);
    m_ghost.SetColour(0x40FFFFFFu);
    m_ghost.SetAngle(90.0f);
}

void GUI_DeploymentGUI::RotateSelectedShips(float delta)
{
    for (GUI_DeploymentIcon* icon : GetSelectedDeploymentIcons()) {
        SIM_DeployedShip* ship = icon->GetShip();
        if (!ship)
            continue;
        ship->angle += delta;
        if (ship->angle < 0.0f)
            ship->angle += 360.0f;
        if (ship->angle > 360.0f)
            ship->angle -= 360.0f;
    }
    GUI_DeploymentTools::GetInstance().fleetChanged = true;
}

void GUI_DeploymentGUI::RemoveOrderFromSelected(const std::string& orderName)
{
    for (GUI_DeploymentIcon* icon : GetSelectedDeploymentIcons())
        if (icon->GetShip())
            icon->GetShip()->orders.RemoveOrder(orderName);
    GUI_DeploymentTools::GetInstance().fleetChanged = true;
    GUI_DeploymentDetails::Refresh();
}

void GUI_DeploymentGUI::RemoveShipFromFleet(const SIM_DeployedShip* ship)
{
    if (m_playerFleet && ship)
        m_playerFleet->RemoveShip(ship);
}

// ---------------------------------------------------------------------------
// The frame

bool GUI_DeploymentGUI::IsEnemyHidden() const
{
    return m_scenario && !m_editingAIFleet &&
           (m_scenario->GetType() == SIM_Scenario::SURVIVAL || m_scenario->GetDifficulty() == SIM_Scenario::HARD);
}

void GUI_DeploymentGUI::DrawInformationLines()
{
    const GRect& map = GUI_DeploymentMap::GetInstance().GetRect();
    LibText& text = LibText::GetInstance();
    text.SetFont("cwfont20.dds", 20.0f);
    const float y = static_cast<float>(map.top + map.bottom) / 2.0f - 35.0f;
    for (int i = 0; i < 3; ++i)
        text.SetText(TEXT_ALIGN_LEFT, m_mystery[i], static_cast<float>(map.right - 200),
                     y + 20.0f * static_cast<float>(i), 0xFFFFC8C8u, 200.0f);
    text.Render(-1);
}

void GUI_DeploymentGUI::Render()
{
    if (!m_scenario || !m_playerFleet) {
        DrawInterfaceTail();
        return;
    }
    D3DEngine& engine = D3DEngine::GetInstance();
    m_backdrop.PlaceCentred(static_cast<float>(engine.GetScreenWidth()) / 2.0f,
                            static_cast<float>(engine.GetScreenHeight()) / 2.0f);
    m_backdrop.Draw();
    m_panel.Draw();
    DrawNamedFrame("border_depth.dds", 32.0f, 1.0f, static_cast<float>(m_area.left), static_cast<float>(m_area.top),
                   static_cast<float>(m_area.right), static_cast<float>(m_area.bottom));
    m_bottomStrip.Draw();
    GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
    const CInput& input = CInput::GetInstance();
    FollowDeploymentSelectionBand();
    map.Draw();
    GUI_DeploymentZone::GetInstance().Draw();
    DrawDeploymentIcons();
    if (IsEnemyHidden())
        DrawInformationLines();
    else
        DrawEnemyDeploymentIcons();
    DrawDeploymentSelection();
    m_buttons.DrawButtons();
    // The ship being dragged and the ghost go over every window: a ship
    // taken from the picker is seen leaving it.
    DrawInterfaceTail();
    DrawDraggedDeploymentIcon();
    if (m_ghostDesign) {
        m_ghost.PlaceCentred(input.GetMouseX(), input.GetMouseY());
        m_ghost.Draw();
    }
}

void GUI_DeploymentGUI::Update()
{
    GUI_WindowManager::GetInstance().UpdateWindows();
    m_buttons.Update();
}

void GUI_DeploymentGUI::OnLeftClick()
{
    const CInput& input = CInput::GetInstance();
    const float x = input.GetMouseX(), y = input.GetMouseY();
    GUI_DeploymentTools& tools = GUI_DeploymentTools::GetInstance();
    if (tools.pickMode == 1) {
        OnDeploymentMapClick(x, y);
        tools.pickMode = 0;
        m_buttons.ClickButtons();
        return;
    }
    // A ship carried from the picker is put down where the player clicks.
    GUI_DeploymentIcon* current = GetCurrentDeploymentIcon();
    if (current && current->carried) {
        current->UpdateIcon();
        DropDraggedDeploymentIcons();
        return;
    }
    if (!GUI_WindowManager::GetInstance().DispatchClick()) {
        GUI_DeploymentMap& map = GUI_DeploymentMap::GetInstance();
        if (map.Contains(x, y)) {
            OnDeploymentMapClick(x, y);
            if (!GetCurrentDeploymentIcon())
                map.BeginSelectionBox(x, y);
        }
        m_buttons.ClickButtons();
    }
}

void GUI_DeploymentGUI::OnRightClick()
{
    GUI_WindowManager& windows = GUI_WindowManager::GetInstance();
    if (GUI_RCMenuBase* menu = GUI_RCMenuBase::GetOpen())
        windows.CloseWindow(menu);
    GUI_DeploymentIcon* current = GetCurrentDeploymentIcon();
    if (current && current->carried) {
        // Changed its mind: the carried ship goes back.
        QueueDeploymentIconDeletion(current);
        ProcessPendingIconDeletions();
    } else if (!current && !windows.IsModalOpen()) {
        // Under a dialog the map's ships offer no menu.
        const CInput& input = CInput::GetInstance();
        OnDeploymentMapRightClick(input.GetMouseX(), input.GetMouseY());
    }
    windows.DispatchRightClick();
    m_ghostDesign = nullptr;
}

void GUI_DeploymentGUI::OnKeyDown(int code)
{
    // A focused text field takes its keys: typing never reaches the map.
    if (keyboardFocus) {
        GUI_GameModeBase::OnKeyDown(code);
        if (code != KEY_ESCAPE)
            return;
    }
    GUI_WindowManager& windows = GUI_WindowManager::GetInstance();
    if (windows.IsModalOpen()) {
        if (code == KEY_ESCAPE)
            windows.CloseTopModal();
        return;
    }
    if (keyboardFocus)
        return;
    // The summary stands in for a modal dialog: Escape puts it away and
    // leaves the screen, and the fleet last fought with, alone.
    GUI_MissionSummary* summary = GUI_MissionSummary::GetOpen();
    if (code == KEY_ESCAPE && summary && !windows.IsQueuedForDelete(summary)) {
        CloseMissionSummary();
        return;
    }
    switch (code) {
    case KEY_ESCAPE: Quit(); break;
    case KEY_E:
        if (ShiftHeld())
            GUI_DeploymentTools::GetInstance().ApplyGroupOrder("ESCORT");
        break;
    case KEY_F:
        if (ShiftHeld())
            GUI_DeploymentTools::GetInstance().ApplyGroupOrder("FORMATION");
        break;
    case KEY_C:
        if (ShiftHeld())
            GUI_DeploymentTools::GetInstance().ApplyGroupOrder("CO_OPERATIVE");
        break;
    case KEY_DELETE: DeleteSelectedDeploymentIcons(); break;
    default: break;
    }
}

void GUI_DeploymentGUI::OnWheelUp()
{
    if (m_editingAIFleet && ShiftHeld()) {
        RotateSelectedShips(-9.0f);
        return;
    }
    // With the supply list open the wheel belongs to the windows (the list
    // scrolls under the mouse), not to the design picker.
    if (GUI_SupplyLimits::GetOpen()) {
        GUI_WindowManager::GetInstance().DispatchWheelUp();
        return;
    }
    if (m_picker)
        m_picker->ScrollBy(-1);
}

void GUI_DeploymentGUI::OnWheelDown()
{
    if (m_editingAIFleet && ShiftHeld()) {
        RotateSelectedShips(9.0f);
        return;
    }
    if (GUI_SupplyLimits::GetOpen()) {
        GUI_WindowManager::GetInstance().DispatchWheelDown();
        return;
    }
    if (m_picker)
        m_picker->ScrollBy(1);
}
