#pragma once
#include "app/GUI_GameModeBase.h"
#include "engine/CTexturedSprite.h"
#include "gui/GUIButtonList.h"

#include <memory>
#include <vector>

class GUI_ButtonText;
class SIM_Scenario;

// The scenario editor screen (mode 13): the backdrop, the editor window for
// a fresh "Custom Map" on every Enter, and the way back to the main menu.
class GUI_ScenarioEditor : public GUI_GameModeBase {
public:
    static constexpr int kModeId = 13;
    static constexpr const char* kFreshName = "Custom Map";

    static GUI_ScenarioEditor& GetInstance();
    GUI_ScenarioEditor();
    ~GUI_ScenarioEditor() override;

    void Render() override;
    void OnKeyDown(int code) override;
    void Update() override;
    void OnLeftClick() override;
    void Enter() override;
    void Leave() override;
    void OnWheelUp() override;
    void OnWheelDown() override;

    // A scenario outside the global list that lives as long as the screen:
    // the deployment screen may still be using one made earlier.
    SIM_Scenario* MakeScenario();
    SIM_Scenario* GetEditedScenario() const { return m_edited; }
    // The challenge list's Custom button: the next visit sets up a custom
    // challenge, whose deployment posts the fleet instead of fighting it.
    static void EnterForChallenge();
    bool IsForChallenge() const { return m_forChallenge; }
    GUI_ButtonText* GetBackButton() const { return m_back; }

    int enterCount = 0;

private:
    static void OnBack(std::intptr_t);

    SIM_Scenario* m_edited = nullptr;
    bool m_forChallenge = false;
    inline static bool s_nextForChallenge = false;
    std::vector<std::unique_ptr<SIM_Scenario>> m_scenarios;
    CTexturedSprite m_backdrop;
    CTexturedSprite m_bottomStrip;
    GUIButtonList m_buttons;
    GUI_ButtonText* m_back = nullptr;
};
