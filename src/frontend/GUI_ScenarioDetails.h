#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"

#include <string>

class GUI_ButtonText;
class GUI_ScenarioAchievements;
class GUI_ScrollingScreenshot;
class SIM_Scenario;

// What the fight button hands the deployment screen: the scenario, AI-fleet
// editing off and the way back to the scenario choice.
struct GUI_DeploymentRequest {
    SIM_Scenario* scenario = nullptr;
    int aiFleetEditing = 0;
    int returnMode = 3;
};

// The facts of the chosen scenario beside the list: fleet cost and pilot
// limits, enemy race and size, a panning picture, the medals won (or, for
// survival, the online high scores), its anomalies and supply limits, and
// the fight button. Not modal; at most one is open.
class GUI_ScenarioDetails : public GUI_Dialog, public GUI_OneOpen<GUI_ScenarioDetails> {
public:
    enum Fact { FACT_COST = 0, FACT_PILOTS, FACT_RACE, FACT_SIZE, FACT_COUNT };

    // Replaces any open details with new ones for the scenario.
    static void Open(SIM_Scenario* scenario);
    static void Close();

    // The one place the scenario choice hands over to the deployment screen.
    static void StartDeployment(SIM_Scenario* scenario);
    static const GUI_DeploymentRequest& GetDeploymentRequest();

    ~GUI_ScenarioDetails() override;
    bool IsModal() const override { return false; }
    void Draw() override;

    void Show(SIM_Scenario* scenario);

    SIM_Scenario* GetScenario() const { return m_scenario; }
    const std::string& GetLabel(int fact) const { return m_labels[fact]; }
    const std::string& GetValue(int fact) const { return m_values[fact]; }
    GUI_ButtonText* GetFightButton() const { return m_fight; }
    GUI_ButtonText* GetAnomaliesButton() const { return m_anomalies; }
    GUI_ButtonText* GetSupplyLimitsButton() const { return m_supplyLimits; }
    GUI_ButtonText* GetHighScoresButton() const { return m_highScores; }
    GUI_ScenarioAchievements* GetAwards() const { return m_awards; }
    GUI_ScrollingScreenshot* GetScreenshot() const { return m_screenshot; }
    const GRect& GetFactRow(int fact) const { return m_rows[fact]; }

private:
    GUI_ScenarioDetails();
    void RemoveButton(GUI_ButtonText*& button);

    static void OnFight(std::intptr_t);
    static void OnAnomalies(std::intptr_t);
    static void OnSupplyLimits(std::intptr_t);
    static void OnHighScores(std::intptr_t);

    SIM_Scenario* m_scenario = nullptr;
    std::string m_labels[FACT_COUNT];
    std::string m_values[FACT_COUNT];
    GRect m_rows[FACT_COUNT];
    GUI_ButtonText* m_fight = nullptr;
    GUI_ButtonText* m_anomalies = nullptr;
    GUI_ButtonText* m_supplyLimits = nullptr;
    GUI_ButtonText* m_highScores = nullptr;
    GUI_ScenarioAchievements* m_awards = nullptr;
    GUI_ScrollingScreenshot* m_screenshot = nullptr;
    GUI_Interlace m_interlace;
};
