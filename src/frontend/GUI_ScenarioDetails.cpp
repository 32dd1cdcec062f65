#include "frontend/GUI_ScenarioDetails.h"

#include "app/Game.h"
#include "frontend/GUI_MenuChrome.h"
#include "engine/GFileHelpers.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/TextHelpers.h"
#include "frontend/GUI_ChooseScenario.h"
#include "frontend/GUI_HighScoreTable.h"
#include "frontend/GUI_ScenarioAchievements.h"
#include "frontend/GUI_Scenario_Anomalies.h"
#include "frontend/GUI_ScrollingScreenshot.h"
#include "frontend/GUI_SupplyLimits.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "online/SIM_Server.h"
#include "prep/GUI_DeploymentGUI.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Scenario.h"

namespace {
GUI_DeploymentRequest g_request;
const char* const kLabelKeys[GUI_ScenarioDetails::FACT_COUNT] = {
    "GUI_CHOOSESCENARIO_FLEETCOST", "GUI_CHOOSESCENARIO_PILOTSLIMIT", "GUI_CHOOSESCENARIO_AIRACE",
    "GUI_CHOOSESCENARIO_SIZE"};

GUI_ButtonText* MakeButton(const char* key, GUI_Callback callback)
{
    auto* b = new GUI_ButtonText(key, callback, 0);
    b->SetTooltipString(GetString((std::string(key) + "_TOOLTIP").c_str()));
    return b;
}
} // namespace

void GUI_ScenarioDetails::Open(SIM_Scenario* scenario)
{
    Close();
    if (!scenario)
        return;
    SetOpen(new GUI_ScenarioDetails())->Show(scenario);
    GUI_Tutorial::GetInstance().ReportEvent("SCENARIODETAILS");
}

void GUI_ScenarioDetails::Close()
{
    CloseOpen();
}

void GUI_ScenarioDetails::StartDeployment(SIM_Scenario* scenario)
{
    g_request = GUI_DeploymentRequest{scenario, 0, 3};
    GUI_DeploymentGUI::Open(scenario, false, 3);
}

const GUI_DeploymentRequest& GUI_ScenarioDetails::GetDeploymentRequest()
{
    return g_request;
}

GUI_ScenarioDetails::GUI_ScenarioDetails() : GUI_Dialog(false)
{
    const GRect& p = GUI_ChooseScenario::GetInstance().GetPanel();
    SetRect(static_cast<float>(p.right - 450), static_cast<float>(p.top + 35), static_cast<float>(p.right - 20),
            static_cast<float>(p.bottom - 20));
    SetClientRect();
    for (int i = 0; i < FACT_COUNT; ++i) {
        m_rows[i] = GRect{clientLeft + 10, clientTop + 10 + 20 * i, clientRight - 10, clientTop + 30 + 20 * i};
        m_labels[i] = GetString(kLabelKeys[i]);
    }
    m_fight = new GUI_ButtonText("GUI_CHOOSESCENARIO_FIGHT", OnFight, 0);
    m_fight->SetTooltipString(GetString("SELECT_SCENARIO_TOOLTIP"));
    m_fight->SetName("fightbattle");
    AddButton(m_fight);
    m_fight->SetRect(static_cast<float>(clientLeft + 15), static_cast<float>(clientBottom - 35),
                     static_cast<float>(clientRight - 15), static_cast<float>(clientBottom - 15));
    GUI_WindowManager::GetInstance().BringToFront(this);

    m_screenshot = new GUI_ScrollingScreenshot();
    const int w = (clientRight - clientLeft) - 40;
    const float h = static_cast<float>(w) * 480.0f / 640.0f;
    const float sl = static_cast<float>((left + right) / 2) - static_cast<float>(w) * 0.5f;
    const float st = static_cast<float>(m_rows[FACT_COUNT - 1].bottom + 30);
    m_screenshot->SetRect(sl, st, sl + static_cast<float>(w), st + h);
    AddChild(m_screenshot);
}

GUI_ScenarioDetails::~GUI_ScenarioDetails()
{
    ForgetIfOpen(this);
}

void GUI_ScenarioDetails::RemoveButton(GUI_ButtonText*& button)
{
    if (button)
        DeleteButton(button);
    button = nullptr;
}

void GUI_ScenarioDetails::Show(SIM_Scenario* scenario)
{
    if (!scenario)
        return;
    m_scenario = scenario;
    SetTitle(GetString(scenario->GetGuiName().c_str()));
    m_screenshot->SetPicture(scenario->GetIcon());
    m_values[FACT_COST] = FormatThousands(scenario->GetFleetCostLimit()) + " CR";
    m_values[FACT_PILOTS] = std::to_string(scenario->GetPilotLimit());
    // An enemy race that is not loaded shows as unknown, never as a crash.
    const SIM_Race* race = SIM_Race::Find(scenario->GetEnemyRace(), false);
    m_values[FACT_RACE] = race ? GetString(race->GetGuiName().c_str()) : "?";
    m_values[FACT_SIZE] = GetString(scenario->GetSize().c_str());

    if (m_awards) {
        RemoveChild(m_awards);
        delete m_awards;
        m_awards = nullptr;
    }
    RemoveButton(m_highScores);
    const GRect s{m_screenshot->left, m_screenshot->top, m_screenshot->right, m_screenshot->bottom};
    const float l = static_cast<float>(left + 20), r = static_cast<float>(right - 20);
    if (scenario->GetType() == SIM_Scenario::SURVIVAL) {
        m_highScores = MakeButton("SURVIVAL_HIGHSCORES_BUTTON", OnHighScores);
        m_highScores->enabled = SIM_Server::GetInstance().HasUserName();
        AddButton(m_highScores);
        m_highScores->SetRect(l, static_cast<float>(s.bottom + 8), r, static_cast<float>(s.bottom + 28));
    } else {
        m_awards = new GUI_ScenarioAchievements(*scenario);
        m_awards->SetRect(l, static_cast<float>(s.bottom + 5), r, static_cast<float>(s.bottom + 42));
        AddChild(m_awards);
    }
    EnsureDirectoryExists(Game::GetInstance().GetUserPath(Game::DEPLOYMENTS) + "/" + scenario->GetName());

    RemoveButton(m_anomalies);
    RemoveButton(m_supplyLimits);
    if (scenario->HasAnomalies() && !scenario->GetAnomalies().empty())
        AddButton(m_anomalies = MakeButton("SCENARIO_ANOMALIES", OnAnomalies));
    if (!scenario->GetSupplyLimits().empty()) {
        AddButton(m_supplyLimits = MakeButton("SCENARIO_SUPPLYLIMITS", OnSupplyLimits));
        m_supplyLimits->SetName("SCENARIO_SUPPLYLIMITS_BUTTON");
    }
    const GRect& row = m_rows[0];
    const float rt = static_cast<float>(row.top + 85), rb = static_cast<float>(row.top + 105);
    if (m_anomalies && m_supplyLimits) {
        const int m = (row.left + row.right) / 2;
        m_anomalies->SetRect(static_cast<float>(row.left), rt, static_cast<float>(m - 10), rb);
        m_supplyLimits->SetRect(static_cast<float>(m + 10), rt, static_cast<float>(row.right), rb);
    } else if (GUI_ButtonText* only = m_anomalies ? m_anomalies : m_supplyLimits) {
        only->SetRect(static_cast<float>(row.left + 100), rt, static_cast<float>(clientRight - 100), rb);
    }
    if (m_supplyLimits)
        GUI_Tutorial::GetInstance().LaunchTutorial("SUPPLYLIMITS_CHOOSE");
}

void GUI_ScenarioDetails::OnFight(std::intptr_t)
{
    if (const GUI_ScenarioDetails* open = GetOpen())
        StartDeployment(open->m_scenario);
}

void GUI_ScenarioDetails::OnAnomalies(std::intptr_t)
{
    if (const GUI_ScenarioDetails* open = GetOpen(); open && open->m_scenario)
        GUI_Scenario_Anomalies::Open(*open->m_scenario);
}

void GUI_ScenarioDetails::OnSupplyLimits(std::intptr_t)
{
    if (const GUI_ScenarioDetails* open = GetOpen(); open && open->m_scenario)
        GUI_SupplyLimits::Open(open->m_scenario, GUI_SupplyLimits::MODE_SCENARIO);
}

void GUI_ScenarioDetails::OnHighScores(std::intptr_t)
{
    if (const GUI_ScenarioDetails* open = GetOpen(); open && open->m_scenario)
        GUI_HighScoreTable::Open(open->m_scenario);
}

void GUI_ScenarioDetails::Draw()
{
    if (!visible)
        return;
    drawButtons = false;
    GUI_Dialog::Draw();
    GUI_MenuChrome::DrawClientArea(*this, m_interlace);
    for (int i = 0; i < FACT_COUNT; ++i) {
        const GRect& r = m_rows[i];
        DrawPreloadedFrame(i % 2 == 0 ? GUI_PreloadedTextures::kHighlight : GUI_PreloadedTextures::kHighlightBlack,
                           8.0f, 0.2f, static_cast<float>(r.left), static_cast<float>(r.top),
                           static_cast<float>(r.right), static_cast<float>(r.bottom));
    }
    DrawButtons();
    DrawChildren();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const GRect& first = m_rows[0];
    for (int i = 0; i < FACT_COUNT; ++i) {
        const float y = static_cast<float>(first.top + 20 * i);
        text.SetText(TEXT_ALIGN_LEFT, m_labels[i], static_cast<float>(first.left + 10), y, 0xFFFFFFFFu, 0.0f);
        text.SetText(TEXT_ALIGN_RIGHT, m_values[i], static_cast<float>(first.right - 210), y, 0xFFFFFFFFu, 200.0f);
    }
    text.Render(-1);
}
