#pragma once
#include "app/GUI_GameModeBase.h"
#include "engine/CTexturedSprite.h"
#include "engine/GRect.h"
#include "gui/GUIButtonList.h"

#include <cstdint>
#include <memory>
#include <string>

class GUI_ButtonText;
class GUI_DeploymentDesignPicker;
class GUI_FleetSummaryBar;
class SIM_DeployedFleet;
class SIM_DeployedShip;
class SIM_Scenario;
class SIM_ShipDesign;

// The deployment screen (mode 2): the player places a fleet on the
// scenario's map within its cost, pilot and supply limits, sees the enemy
// (unless hidden), picks the difficulty, saves and loads deployments and
// presses FIGHT. With its AI-fleet flag it edits the scenario's AI fleets.
class GUI_DeploymentGUI : public GUI_GameModeBase {
public:
    static constexpr int kModeId = 2;
    static constexpr const char* kTempFile = "_temp_deployment.txt";
    static constexpr const char* kDeployedFile = "deployed.txt";
    static constexpr const char* kSampleFile = "sample.txt";

    static GUI_DeploymentGUI& GetInstance();
    GUI_DeploymentGUI();
    ~GUI_DeploymentGUI() override;

    // What the opening screen sets before switching to mode 2.
    void SetScenario(SIM_Scenario* scenario) { m_scenario = scenario; }
    void SetEditingAIFleet(bool on) { m_editingAIFleet = on; }
    void SetReturnMode(int mode) { m_returnMode = mode; }
    // Sets all three and switches to the screen.
    static void Open(SIM_Scenario* scenario, bool editingAIFleet, int returnMode);
    // The first scenario the player may play (the main menu's Play).
    static SIM_Scenario* FirstPlayableScenario();

    void Render() override;
    void OnKeyDown(int code) override;
    void Update() override;
    void OnLeftClick() override;
    void OnRightClick() override;
    void Enter() override;
    void Leave() override;
    void OnWheelUp() override;
    void OnWheelDown() override;
    bool DrawsOwnInterfaceTail() const override { return true; }

    // Placing.
    void PlaceShip(const SIM_ShipDesign* design, float x, float y);
    void BeginPlacingGhost(const SIM_ShipDesign* design);
    void ClearPlacingGhost() { m_ghostDesign = nullptr; }
    const SIM_ShipDesign* GetPlacingGhost() const { return m_ghostDesign; }
    void RotateSelectedShips(float delta);
    void RemoveOrderFromSelected(const std::string& orderName);
    void RemoveShipFromFleet(const SIM_DeployedShip* ship);

    // Limits and FIGHT.
    int DifficultyCostLimit() const;
    int GetAvailability(const SIM_ShipDesign* design) const;
    bool IsShortOfSupplies(const SIM_ShipDesign* design) const;
    void UpdateFightButton();
    void RefreshAfterFleetChange();
    void SetDeploymentDifficulty(int level);
    // The difficulty buttons: in AI-fleet editing with unsaved changes the
    // player is asked before the other difficulty's fleet replaces them.
    void ChooseDifficulty(int level);
    void OnFightBattle();
    // False when the battle could not be set up (the player stays here).
    bool StartBattleFromDeployment();

    // Files.
    void LoadEnemyFleet();
    // Replaces the fleet on the map by a deployment file's.
    void LoadDeploymentFile(const std::string& path);
    // The load the player chose: a changed fleet is asked about first, as
    // leaving asks, since the file replaces it.
    void LoadDeploymentFileAsking(const std::string& path);
    // Writes the placed ships, in icon order; false (logged, nothing
    // changed on disk) when the file cannot be written.
    bool WriteDeploymentFile(const std::string& path) const;
    // The chosen name saved in the save folder; false with a message when
    // the name or the write fails (the fleet stays marked as changed).
    bool SaveDeploymentAs(const std::string& name);
    std::string GetTempDeploymentPath() const;
    std::string GetDeployedPath() const;
    // Where the save dialog writes and the load dialog looks.
    std::string GetSaveFolder() const;
    std::string GetLoadPattern() const;
    void DeleteTempDeployment() const;

    // Both ask before a changed fleet is thrown away.
    void GoBack();
    void Quit();
    LeaveQuestion GetLeaveQuestion() const override;
    static void QuitToScenarioChoice();

    SIM_Scenario* GetScenario() const { return m_scenario; }
    SIM_DeployedFleet* GetPlayerFleet() const { return m_playerFleet.get(); }
    SIM_DeployedFleet* GetEnemyFleet() const { return m_enemyFleet.get(); }
    bool IsEditingAIFleet() const { return m_editingAIFleet; }
    int GetReturnMode() const { return m_returnMode; }
    const GRect& GetScreenArea() const { return m_area; }
    bool IsEnemyHidden() const;
    // The path Enter loaded the fleet from.
    const std::string& GetEnteredFrom() const { return m_enteredFrom; }

    GUI_ButtonText* GetFightButton() const { return m_fight; }
    const std::string& GetFightTooltipKey() const { return m_fightTooltipKey; }
    GUI_ButtonText* GetDifficultyButton(int level) const { return m_difficulty[level]; }
    GUI_ButtonText* GetGoBackButton() const { return m_goBack; }
    GUI_ButtonText* GetPostChallengeButton() const { return m_postChallenge; }
    GUI_FleetSummaryBar* GetSummaryBar() const { return m_summaryBar; }
    GUI_DeploymentDesignPicker* GetDesignPicker() const { return m_picker; }
    // Battles started from this screen (tests and the frame hook).
    int GetBattlesStarted() const { return m_battlesStarted; }

private:
    void LayOutButtons(int screenWidth, int screenHeight);
    void MarkDifficultyButtons();
    void ProvideSampleDeployment() const;
    void DrawInformationLines();
    static void OnButton(std::intptr_t id);
    static void FightAnyway(std::intptr_t);
    static void QuitAnswered(std::intptr_t);
    static void GoBackAnswered(std::intptr_t);
    void LeaveToReturnMode();
    static void DifficultyAnswered(std::intptr_t level);
    static void LoadAnswered(std::intptr_t);

    SIM_Scenario* m_scenario = nullptr;
    std::unique_ptr<SIM_DeployedFleet> m_playerFleet;
    std::unique_ptr<SIM_DeployedFleet> m_enemyFleet;
    bool m_editingAIFleet = false;
    GUIButtonList m_buttons;
    GUI_ButtonText* m_fight = nullptr;
    GUI_ButtonText* m_difficulty[3] = {nullptr, nullptr, nullptr};
    GUI_ButtonText* m_postChallenge = nullptr;
    GUI_ButtonText* m_goBack = nullptr;
    CTexturedSprite m_backdrop;
    CTexturedSprite m_bottomStrip;
    CTexturedSprite m_panel;
    GRect m_area;
    GUI_FleetSummaryBar* m_summaryBar = nullptr;
    GUI_DeploymentDesignPicker* m_picker = nullptr;
    std::string m_mystery[3];
    const SIM_ShipDesign* m_ghostDesign = nullptr;
    CTexturedSprite m_ghost;
    int m_returnMode = 3;
    std::string m_enteredFrom;
    int m_battlesStarted = 0;
    int m_pendingDifficulty = 0;
    std::string m_pendingLoad;
    std::string m_fightTooltipKey = "GUI_DEPLOYMENT_FIGHT_TOOLTIP";
    std::string m_shownFightTooltip = "GUI_DEPLOYMENT_FIGHT_TOOLTIP";
};
