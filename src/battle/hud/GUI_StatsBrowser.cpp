#include "battle/hud/GUI_StatsBrowser.h"

#include "app/APP_UsageMetrics.h"
#include "app/Game.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/hud/GUI_PostMortem.h"
#include "battle/hud/GUI_Stat_TimeGraph.h"
#include "battle/hud/HudWindow.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_Tutorial.h"
#include "sim/SIM_Battle.h"

namespace {
// Room for the title bar above the chart's tabs, and for the exit buttons
// below its key (which would otherwise lie under them).
constexpr float kTitleSpace = 30.0f;
constexpr float kExitSpace = 30.0f;

GUI_ButtonText* MakeExit(GUI_StatsBrowser* browser, const char* key, const char* tooltipKey, GUI_Callback callback,
                         int l, int r)
{
    auto* button = new GUI_ButtonText(key, callback, 0);
    button->SetTooltip(GetString(tooltipKey));
    button->SetRect(static_cast<float>(l), static_cast<float>(browser->bottom - 30), static_cast<float>(r),
                    static_cast<float>(browser->bottom - 10));
    browser->AddButton(button);
    browser->AddChildElement(button);
    return button;
}
} // namespace

GUI_StatsBrowser::GUI_StatsBrowser() : GUI_Dialog(false)
{
    SetSize(static_cast<float>(kWidth), static_cast<float>(kHeight));
    Centre();
    // The chart runs to the dialog's sides, between the title and the exits.
    sideMargin = 0.0f;
    topMargin = kTitleSpace;
    bottomMargin = kExitSpace;
    SetClientRect();
    GUI_WindowManager::GetInstance().BringToFront(this);
    SetTitleKey("SHIP_BROWSER_TITLE");
    drawButtons = false;

    if (!SIM_Battle::GetInstance().IsFromCampaign()) {
        m_mainMenu = MakeExit(this, "STATS_MAINMENU", "STATS_MAINMENU_TOOLTIP", OnMainMenu, left + 16, left + 166);
        m_deployment =
            MakeExit(this, "STATS_DEPLOYMENT", "STATS_DEPLOYMENT_TOOLTIP", OnDeployment, left + 166, left + 316);
    } else {
        m_map = MakeExit(this, "STATS_MAP", "STATS_MAP_TOOLTIP", OnMap, left + 166, left + 316);
    }

    m_graph = new GUI_Stat_TimeGraph(clientLeft, clientTop + 16, clientRight, clientBottom);
    m_graph->Build();
    AddChild(m_graph);
    AddChildElement(m_graph);

    GUI_Tutorial::GetInstance().LaunchTutorial("NEWBATTLESTATS");
    APP_UsageMetrics::GetInstance().SetEventFlag("statsbrowser");
}

GUI_StatsBrowser::~GUI_StatsBrowser() = default;

void GUI_StatsBrowser::Draw()
{
    if (!visible)
        return;
    GUI_Dialog::Draw();
    DrawDialogClientPanel(*this, m_interlace);
    DrawChildren();
    DrawButtons();
    LibText::GetInstance().Render(-1);
}

void GUI_StatsBrowser::OnMainMenu(std::intptr_t)
{
    // Leaving the battle's own way: after an online challenge that is the
    // challenge list, not the main menu.
    GUI_BattleGUI::GetInstance().LeaveStatistics();
}

void GUI_StatsBrowser::OnDeployment(std::intptr_t)
{
    GUI_PostMortem::Close();
    Game::GetInstance().SetMode(2);
}

void GUI_StatsBrowser::OnMap(std::intptr_t)
{
    LeaveForCampaign();
}

void GUI_StatsBrowser::LeaveForCampaign()
{
    GUI_PostMortem::Close();
    if (s_campaignExit)
        s_campaignExit();
    else
        Game::GetInstance().SetMode(14);
}
