#pragma once
#include "gui/GUI_Callback.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"

#include <string>

class GUI_AnomalyEditor;
class GUI_ButtonText;
class GUI_EditorOptions;
class GUI_EditorsSupplyList;
class GUI_MapPicker;
class SIM_Scenario;

// The scenario editor's one window: backdrop, options, supply limits and
// anomalies of a custom scenario, with Save, Load and Deploy. Not modal: the
// pickers and file dialogs it opens are. At most one exists.
class GUI_ScenarioEditorWindow : public GUI_Dialog {
public:
    static constexpr int kWidth = 900;
    static constexpr int kHeight = 630;
    static constexpr const char* kProposedName = "myscenario.txt";

    // Deletes the open window, then makes one for the scenario.
    static void Open(SIM_Scenario* scenario);
    static void Close();
    static GUI_ScenarioEditorWindow* GetOpen();
    ~GUI_ScenarioEditorWindow() override;

    bool IsModal() const override { return false; }
    void Draw() override;

    // Fills the scenario from the panels and writes it through the safe
    // writer; false when it cannot be written.
    bool WriteCustomScenario(const std::string& path, const std::string& name);

    // "<user folder>/custom_scenarios/".
    static std::string CustomFolder();
    // The name a typed file name saves under: its base name without ".txt",
    // made safe for a file name.
    static std::string CustomScenarioName(const std::string& fileName);
    // The save dialog's callback: writes the open window's scenario there.
    // A failure is told to the player, naming the file.
    static bool SaveCustomScenarioAs(const std::string& fileName);
    // The open dialog's callback: the window is replaced by one for the file;
    // a file that cannot be read is told, by name, and nothing changes.
    static bool LoadCustomScenario(const std::string& path);
    // A custom scenario without enemy fleets of its own gets the default
    // ones, moved into its enemy zone. False when one cannot be written.
    static bool ProvideEnemyFleets(SIM_Scenario& scenario);

    static void OnSave(std::intptr_t);
    static void OnLoad(std::intptr_t);
    static void OnDeploy(std::intptr_t);

    SIM_Scenario* GetScenario() const { return m_scenario; }
    GUI_MapPicker* GetMapPicker() const { return m_mapPicker; }
    GUI_EditorOptions* GetOptions() const { return m_options; }
    GUI_EditorsSupplyList* GetSupplyList() const { return m_supplies; }
    GUI_AnomalyEditor* GetAnomalyEditor() const { return m_anomalies; }
    GUI_ButtonText* GetSaveButton() const { return m_save; }
    GUI_ButtonText* GetLoadButton() const { return m_load; }
    GUI_ButtonText* GetDeployButton() const { return m_deploy; }

private:
    explicit GUI_ScenarioEditorWindow(SIM_Scenario* scenario);
    static void TellFailure(const char* textKey, const std::string& path);
    GUI_ButtonText* MakeButton(const char* key, GUI_Callback callback, int x);

    SIM_Scenario* m_scenario;
    GUI_MapPicker* m_mapPicker = nullptr;
    GUI_EditorOptions* m_options = nullptr;
    GUI_EditorsSupplyList* m_supplies = nullptr;
    GUI_AnomalyEditor* m_anomalies = nullptr;
    GUI_ButtonText* m_save = nullptr;
    GUI_ButtonText* m_load = nullptr;
    GUI_ButtonText* m_deploy = nullptr;
    GUI_Interlace m_interlace;
};
