#pragma once
#include "battle/hud/HudWindow.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"

class GUI_ButtonText;
class GUI_Stat_TimeGraph;

// The large after-battle window with the battle's charts and the ways out
// of the battle. Not modal.
class GUI_StatsBrowser : public GUI_Dialog, public HudSingleWindow<GUI_StatsBrowser> {
public:
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 700;

    // What the map button of a campaign battle does: the campaign applies the
    // battle's result and returns to its map. Unset, the button only returns.
    using CampaignExit = void (*)();
    static void SetCampaignExit(CampaignExit exit) { s_campaignExit = exit; }
    // The one way out of a campaign battle (the map button, Escape): the
    // campaign settles the battle.
    static void LeaveForCampaign();

    GUI_StatsBrowser();
    ~GUI_StatsBrowser() override;

    bool IsModal() const override { return false; }
    void Draw() override;

    GUI_ButtonText* GetMainMenuButton() const { return m_mainMenu; }
    GUI_ButtonText* GetDeploymentButton() const { return m_deployment; }
    GUI_ButtonText* GetMapButton() const { return m_map; }
    GUI_Stat_TimeGraph* GetGraph() const { return m_graph; }

private:
    static void OnMainMenu(std::intptr_t);
    static void OnDeployment(std::intptr_t);
    static void OnMap(std::intptr_t);

    GUI_ButtonText* m_mainMenu = nullptr;
    GUI_ButtonText* m_deployment = nullptr;
    GUI_ButtonText* m_map = nullptr;
    GUI_Stat_TimeGraph* m_graph = nullptr;
    GUI_Interlace m_interlace;
    static inline CampaignExit s_campaignExit = nullptr;
};
