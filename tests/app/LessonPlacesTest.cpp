// Every lesson of every tutorial file, opened over the screen it belongs to,
// stands clear of what it talks about: the controls it frames, those its
// text names and those the player is to press next. Checked at the smallest
// screen the game picks and at a tall one.
#include "campaign/gui/CampaignScreenGame.h"

#include "battle/BattleLauncher.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/hud/GUI_LeaveBattle.h"
#include "battle/hud/GUI_PostMortem.h"
#include "battle/hud/GUI_StatsBrowser.h"
#include "campaign/gui/GUI_CampaignCaptureManager.h"
#include "campaign/gui/GUI_CampaignBattleManager.h"
#include "campaign/gui/GUI_CampaignControlPanelBttm.h"
#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_CampaignRepairList.h"
#include "campaign/gui/GUI_CampaignRepairs.h"
#include "campaign/gui/GUI_CampaignShipIcon.h"
#include "campaign/gui/GUI_EndTurn.h"
#include "campaign/gui/GUI_PendingBattle.h"
#include "campaign/gui/GUI_ScrapShip.h"
#include "campaign/gui/GUI_CampaignDesignPicker.h"
#include "campaign/gui/GUI_Shipyard.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "frontend/GUI_ChooseScenario.h"
#include "frontend/GUI_Options.h"
#include "frontend/GUI_RaceScreen.h"
#include "frontend/GUI_UnlockShop.h"
#include "gui/GUI_ConfirmDialog.h"
#include "engine/GHttpClient.h"
#include "engine/GSafeFile.h"
#include "online/GUI_ChallengeDetails.h"
#include "online/GUI_ChallengeList.h"
#include "online/GUI_ChallengeListClientWindow.h"
#include "online/GUI_ChallengeListWindow.h"
#include "online/GUI_ChallengeStrip.h"
#include "online/GUI_InternetNews.h"
#include "online/GUI_LoginNameWindow.h"
#include "online/GUI_LoginScreen.h"
#include "online/OnlineJob.h"
#include "online/SIM_ChallengeDatabase.h"
#include "sim/SIM_Battle.h"
#include "frontend/GUI_MainMenu.h"
#include "frontend/GUI_ScenarioDetails.h"
#include "frontend/GUI_SupplyLimits.h"
#include "gui/GUI_ButtonBase.h"
#include "gui/GUI_ButtonTab.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_TitleBar.h"
#include "gui/GUI_TutorialHighlighter.h"
#include "gui/GUI_TutorialWindow.h"
#include "gui/SimScript.h"
#include "gui/TutorialDefinition.h"
#include "gui/GUI_WindowBase.h"
#include "prep/GUI_BehaviourEditor.h"
#include "prep/GUI_BehaviourPicker.h"
#include "prep/GUI_BehaviourPickerStrip.h"
#include "prep/GUI_DeploymentDesignPicker.h"
#include "prep/GUI_DeploymentDetails.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentMap.h"
#include "prep/GUI_DeploymentZone.h"
#include "prep/GUI_FleetSummaryBar.h"
#include "prep/GUI_HullPicker.h"
#include "prep/GUI_ModulePicker.h"
#include "prep/GUI_ModulePopup.h"
#include "prep/GUI_ModuleStatComparison.h"
#include "prep/GUI_ShipDesignGUI.h"
#include "prep/GUI_ShipDesignSummary.h"
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipModuleType.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Size {
    int width;
    int height;
};

// A screen state that lessons are raised over, reached from the title.
enum class Screen {
    TITLE,
    SCENARIOS,
    DETAILS,
    SUPPLY_DETAILS,
    DEPLOYMENT,
    SHIP_PLACED,
    SHIP_SELECTED,
    MODULE_POPUP,
    ORDER_PICKER,
    ORDER_EDITOR,
    SUPPLIES_IN_USE,
    DESIGNER,
    HULL_PICKER,
    COMPARISON,
    OPTIONS,
    RACES,
    SHOP,
    BATTLE,
    BATTLE_QUESTION,
    RESULT,
    STATISTICS,
    ONLINE_MENU,
    CHALLENGE_LIST,
    CHALLENGE_DETAILS,
    CAMPAIGN_MAP,
    FLEET_DETAILS,
    REPAIRS,
    SHIPYARD,
    SCRAP,
    CAPTURE,
    END_TURN,
};

// A place the lesson must leave free, by the element name a script would
// use, or picked out by the test (a scroll bar, a window's area).
struct Control {
    std::string label;
    GRect rect;
};
using Controls = std::function<std::vector<Control>()>;

struct Lesson {
    const char* name;
    Screen screen;
    // The controls a lesson frames are always checked; these are the ones
    // its text names or the player presses next, by element name.
    std::vector<std::string> named;
    Controls more = nullptr;
};

GRect RectOf(const GUI_BaseElement& e)
{
    return GRect{e.left, e.top, e.right, e.bottom};
}

std::vector<Control> Of(std::initializer_list<std::pair<const char*, const GUI_BaseElement*>> elements)
{
    std::vector<Control> controls;
    for (const auto& [label, element] : elements)
        if (element)
            controls.push_back({label, RectOf(*element)});
        else
            controls.push_back({label, GRect{}});
    return controls;
}

// EASY, MEDIUM, HARD, FIGHT and Back along the deployment screen's bottom.
std::vector<Control> BottomButtons()
{
    const GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    return Of({{"EASY", screen.GetDifficultyButton(0)},
               {"MEDIUM", screen.GetDifficultyButton(1)},
               {"HARD", screen.GetDifficultyButton(2)},
               {"FIGHT", screen.GetFightButton()},
               {"Back", screen.GetGoBackButton()}});
}

// Every visible scenario row of the choice screen.
std::vector<Control> ScenarioRows()
{
    std::vector<Control> rows;
    for (const GUI_Scenario* row : GUI_ChooseScenario::GetInstance().GetRows())
        if (row->visible && row->top < row->bottom)
            rows.push_back({"row " + row->GetName(), RectOf(*row)});
    return rows;
}

// The order picker's rows, its description and ADD: all of it below its
// title bar.
std::vector<Control> OrderPicker()
{
    std::vector<Control> controls;
    if (const GUI_BehaviourPicker* picker = GUI_BehaviourPicker::GetOpen()) {
        GRect below = RectOf(*picker);
        below.top += static_cast<int>(GUI_TitleBar::kBarHeight);
        controls.push_back({"order picker below its title", below});
        for (const GUI_BehaviourPickerStrip* strip : picker->GetStrips())
            controls.push_back({"order row", RectOf(*strip)});
    } else {
        controls.push_back({"order picker", GRect{}});
    }
    return controls;
}

std::vector<Control> StatisticsButtons()
{
    std::vector<Control> controls;
    if (const GUI_StatsBrowser* stats = GUI_StatsBrowser::GetOpen())
        for (const GUI_ButtonText* button : {stats->GetMainMenuButton(), stats->GetDeploymentButton(), stats->GetMapButton()})
            if (button && button->visible)
                controls.push_back({"statistics button", RectOf(*button)});
    return controls.empty() ? std::vector<Control>{{"statistics button", GRect{}}} : controls;
}

std::vector<Control> NextTurn()
{
    const GUI_CampaignMap* map = GUI_CampaignMap::Get();
    return Of({{"NEXT TURN", map ? map->GetBottomPanel()->GetNextTurnButton() : nullptr}});
}

// The open fleet window's buttons and ship tiles.
std::vector<Control> FleetWindow()
{
    std::vector<Control> controls;
    const GUI_CampaignFleetDetails* details = nullptr;
    for (const SIM_CampaignFleet* fleet : SIM_CampaignProgress::GetInstance().GetFleets())
        if (!details)
            details = GUI_CampaignFleetDetails::FindForFleet(fleet);
    if (!details)
        return {{"fleet window", GRect{}}};
    for (const GUI_ButtonText* button : {details->GetRepairButton(), details->GetRenameButton(), details->GetBuildButton()})
        if (button && button->visible)
            controls.push_back({"fleet button", RectOf(*button)});
    for (const GUI_CampaignShipIcon* icon : details->GetIcons())
        controls.push_back({"ship tile", RectOf(*icon)});
    return controls;
}

std::vector<Control> ModuleTabs()
{
    std::vector<Control> tabs;
    if (const GUI_ModulePicker* picker = GUI_ModulePicker::GetOpen())
        for (int tab = 0; tab < GUI_ModulePicker::TAB_COUNT; ++tab)
            if (picker->GetTab(tab))
                tabs.push_back({"module tab " + std::to_string(tab), RectOf(*picker->GetTab(tab))});
    return tabs;
}

const std::vector<Lesson>& Lessons()
{
    static const std::vector<Lesson> lessons = {
        // The first command, in the order a new player meets it.
        {"WELCOME", Screen::TITLE, {}},
        {"CHOOSEBATTLE", Screen::SCENARIOS, {},
         [] { return Of({{"scroll bar", GUI_ChooseScenario::GetInstance().GetScrollBar()}}); }},
        {"BEATAGAIN", Screen::SCENARIOS, {}, ScenarioRows},
        {"SCENARIODETAILS", Screen::DETAILS, {"fightbattle"}, ScenarioRows},
        {"SUPPLYLIMITS_CHOOSE", Screen::SUPPLY_DETAILS, {"SCENARIO_SUPPLYLIMITS_BUTTON", "fightbattle"}},
        {"CHANGEDEPLOYMENT1", Screen::DEPLOYMENT, {}, BottomButtons},
        {"CHANGED_DIFFICULTY", Screen::DEPLOYMENT, {}, BottomButtons},
        {"ADDED_NEW_SHIP", Screen::SHIP_PLACED, {}, BottomButtons},
        {"DEPICON_RCMENU", Screen::SHIP_PLACED, {"deploymenticon"}, BottomButtons},
        {"BUDGET_REACHED", Screen::SHIP_PLACED, {"deploymenticon", "DESIGN_PICKER"}, BottomButtons},
        {"SHIPORDERS", Screen::SHIP_PLACED, {"deploymenticon"}, BottomButtons},
        {"SAVEDEPLOYMENT", Screen::SHIP_PLACED, {"savedeployment"}, BottomButtons},
        {"FIGHTBATTLE", Screen::SHIP_PLACED, {}, BottomButtons},
        {"SHIPDETAILS", Screen::SHIP_SELECTED, {"DEPLOYMENT_DETAILS"}, BottomButtons},
        {"ADDORDER", Screen::SHIP_SELECTED, {"DEPLOYMENT_DETAILS", "ADDORDER"}, BottomButtons},
        {"MODULEPOPUP", Screen::MODULE_POPUP, {},
         [] { return Of({{"module popup", GUI_ModulePopup::GetOpen()}}); }},
        {"BEHAVIOR_PICKER", Screen::ORDER_PICKER, {"BEHAVIOR_PICKER_ADD"}, OrderPicker},
        {"BEHAVIOR_STICKTOGETHER", Screen::ORDER_PICKER, {"BEHAVIOR_PICKER_ADD"}, OrderPicker},
        {"ORDERDETAILS", Screen::ORDER_EDITOR, {},
         [] {
             const GUI_BehaviourEditor* editor = GUI_BehaviourEditor::GetOpen();
             return Of({{"order OK", editor ? editor->GetOKButton() : nullptr}});
         }},
        {"BEHAVIOR_EDITOR", Screen::ORDER_EDITOR, {},
         [] {
             const GUI_BehaviourEditor* editor = GUI_BehaviourEditor::GetOpen();
             return Of({{"order OK", editor ? editor->GetOKButton() : nullptr},
                        {"order delete", editor ? editor->GetDeleteButton() : nullptr}});
         }},
        {"SUPPLYLIMITS_DEPLOY", Screen::SUPPLIES_IN_USE, {"SUPPLYLIMITS"}},
        // The designer.
        {"SHIPDESIGN", Screen::DESIGNER, {"SHIPDESIGN_MODULEPICKER", "SHIPDESIGN_SUMMARY"}},
        {"MODULE_STAT_COMPARE", Screen::DESIGNER, {"SHIPDESIGN_MODULEDETAILS", "SHIPDESIGN_MODULEPICKER"}},
        {"MODULEEFFECTIVENESS", Screen::DESIGNER, {"SHIPDESIGN_MODULEPICKER"}, ModuleTabs},
        {"SHIPDESIGN7", Screen::DESIGNER, {},
         [] {
             const GUI_ShipDesignSummary* summary = GUI_ShipDesignSummary::GetOpen();
             return Of({{"design name", summary ? summary->GetNameField() : nullptr},
                        {"design save", summary ? summary->GetSaveButton() : nullptr}});
         }},
        {"HULLPICKER", Screen::HULL_PICKER, {"HULLPICKER"}},
        {"SHIPDESIGN6", Screen::COMPARISON, {"MODULECOMPARISON_CLOSE"},
         [] {
             const GUI_ModuleStatComparison* comparison = GUI_ModuleStatComparison::GetOpen();
             return Of({{"comparison scroll bar", comparison ? comparison->GetScroller() : nullptr}});
         }},
        // The menus.
        {"OPTIONS", Screen::OPTIONS, {},
         [] {
             std::vector<Control> controls;
             for (const GUI_ButtonBase* button : GUI_Options::GetInstance().GetButtons())
                 if (button->visible)
                     controls.push_back({"options control", RectOf(*button)});
             return controls;
         }},
        {"CHANGERACE", Screen::RACES, {},
         [] {
             std::vector<Control> controls;
             if (const GUI_RaceSelector* races = GUI_RaceSelector::GetOpen())
                 for (const GUI_RaceDetails* row : races->GetRows())
                     if (row->visible && row->GetSelectButton())
                         controls.push_back({"race select", RectOf(*row->GetSelectButton())});
             return controls.empty() ? std::vector<Control>{{"race select", GRect{}}} : controls;
         }},
        {"UNLOCK_SHOP", Screen::SHOP, {},
         [] {
             const GUI_UnlockWindow* shop = GUI_UnlockWindow::GetOpen();
             std::vector<Control> controls = Of({{"unlock", shop ? shop->GetUnlockButton() : nullptr}});
             controls.push_back({"items", shop ? shop->GetIconPanel() : GRect{}});
             return controls;
         }},
        // A battle, its question, its report and its figures.
        {"BATTLESTART_tutorial1", Screen::BATTLE, {}},
        {"BATTLE_INSPECT", Screen::BATTLE, {}},
        {"BATTLE_SPEED", Screen::BATTLE, {}},
        {"ECMSHOCKED", Screen::BATTLE, {}},
        {"SURVIVAL", Screen::BATTLE, {}},
        {"CAMPAIGN_RETREAT", Screen::BATTLE_QUESTION, {},
         [] {
             const GUI_ConfirmDialog* question = GUI_ConfirmDialog::GetOpen();
             return Of({{"yes", question ? question->GetYesButton() : nullptr},
                        {"no", question ? question->GetNoButton() : nullptr}});
         }},
        {"POSTMORTEM", Screen::RESULT, {}},
        {"STATISTICS", Screen::STATISTICS, {}},
        {"NEWBATTLESTATS", Screen::STATISTICS, {}, StatisticsButtons},
        // Online play.
        {"ONLINE", Screen::ONLINE_MENU, {},
         [] {
             const GUI_LoginScreen& online = GUI_LoginScreen::GetInstance();
             return Of({{"online name", online.GetNameWindow()},
                        {"news", online.GetNewsWindow()},
                        {"messages", online.GetMessagesButton()}});
         }},
        {"CHALLENGES", Screen::CHALLENGE_LIST, {},
         [] {
             std::vector<Control> rows;
             const GUI_ChallengeListWindow* window = GUI_ChallengeList::GetInstance().GetWindow();
             if (window && window->GetClient())
                 for (const GUI_ChallengeStrip* row : window->GetClient()->GetRows())
                     rows.push_back({"challenge", RectOf(*row)});
             return rows.empty() ? std::vector<Control>{{"challenge", GRect{}}} : rows;
         }},
        {"CHALLENGE_DETAILS", Screen::CHALLENGE_DETAILS, {}},
        // The campaign.
        {"CAMPAIGN_WELCOME1", Screen::CAMPAIGN_MAP, {}, NextTurn},
        {"CAMPAIGN_UNMOVABLE_FLEET_SPLIT", Screen::CAMPAIGN_MAP, {"CampaignControlBottom"}, NextTurn},
        {"CAMPAIGN_FLEET_ENTIRELY_UNMOVABLE", Screen::CAMPAIGN_MAP, {"CampaignControlBottom"}, NextTurn},
        {"CAMPAIGN_FLEET_DETAILS", Screen::FLEET_DETAILS, {}, FleetWindow},
        {"CAMPAIGN_MERGE_FIGHTERS", Screen::FLEET_DETAILS, {}, FleetWindow},
        {"CAMPAIGN_REPAIRS", Screen::REPAIRS, {"CampaignRepairAll", "CampaignRepairsNext", "CampaignRepairsPrevious"},
         [] {
             const GUI_CampaignRepairs* repairs = GUI_CampaignRepairs::GetOpen();
             return Of({{"repair list", repairs ? repairs->GetList() : nullptr}});
         }},
        {"CAMPAIGN_SHIPYARD", Screen::SHIPYARD, {"CampaignShipyardBuild"},
         [] {
             const GUI_Shipyard* yard = GUI_Shipyard::GetOpen();
             return Of({{"designs", yard ? yard->GetPicker() : nullptr}});
         }},
        {"CAMPAIGN_SCRAP", Screen::SCRAP, {"CampaignScrapOK"},
         [] {
             const GUI_ScrapShip* scrap = GUI_ScrapShip::GetOpen();
             return Of({{"keep", scrap ? scrap->GetCancelButton() : nullptr}});
         }},
        {"CAMPAIGN_CAPTURE", Screen::CAPTURE, {"CampaignCaptureOK"}},
        {"CAMPAIGN_ENDTURN", Screen::END_TURN, {},
         [] {
             const GUI_EndTurn* report = GUI_EndTurn::GetOpen();
             std::vector<Control> controls = Of({{"continue", report ? report->GetContinueButton() : nullptr}});
             if (report)
                 for (const GUI_PendingBattle* strip : report->GetBattles()->GetStrips())
                     controls.push_back({"resolve", RectOf(*strip->GetResolveButton())});
             return controls;
         }},
    };
    return lessons;
}

bool Shown(const GUI_BaseElement& e)
{
    if (const auto* window = dynamic_cast<const GUI_WindowBase*>(&e))
        return window->visible;
    if (const auto* button = dynamic_cast<const GUI_ButtonBase*>(&e))
        return button->visible;
    return true;
}

bool Overlap(const GUI_BaseElement& a, const GRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::string Describe(const GRect& r)
{
    std::ostringstream out;
    out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
    return out.str();
}

class LessonPlaces : public CampaignScreenGame, public ::testing::WithParamInterface<Size> {
protected:
    static void SetUpTestSuite() {}
    static void TearDownTestSuite() {}

    void SetUp() override
    {
        m_user = std::make_unique<TempDir>();
        StartGame(true, m_user->Path(), GetParam().width, GetParam().height);
        ASSERT_TRUE(s_started);
        SettleTransition();
        MoveMouse(GetParam().width - 1, 0);
    }
    void TearDown() override
    {
        if (s_started) {
            CloseEverything();
            OnlineJob::JoinAll();
            Game::GetInstance().SetMode(15);
            Frames(1);
        }
        StopGame();
        delete s_cwd;
        s_cwd = nullptr;
    }

    static void CloseLessons()
    {
        GUI_TutorialWindow::CloseAll();
        ResetTutorialRestrictions(GUI_Tutorial::GetInstance());
        Frames(1);
    }
    static void CloseEverything()
    {
        CloseLessons();
        while (GUI_WindowManager::GetInstance().CloseTopModal()) {
        }
        Frames(1);
    }

    // The game brought to the screen from wherever it stands.
    void Reach(Screen screen)
    {
        CloseEverything();
        Game& game = Game::GetInstance();
        switch (screen) {
        case Screen::TITLE:
            game.SetMode(15);
            SettleTransition();
            break;
        case Screen::SCENARIOS:
        case Screen::DETAILS:
        case Screen::SUPPLY_DETAILS:
            game.SetMode(15);
            SettleTransition();
            Click(*GUI_MainMenu::GetInstance().GetBattleButton());
            SettleTransition();
            SettleRows();
            if (screen != Screen::SCENARIOS) {
                GUI_ScenarioDetails::Open(
                    SIM_Scenario::FindByName(screen == Screen::DETAILS ? "tutorial1" : "supply1"));
                Frames(2);
            }
            break;
        case Screen::DEPLOYMENT:
        case Screen::SHIP_PLACED:
        case Screen::SHIP_SELECTED:
        case Screen::MODULE_POPUP:
        case Screen::ORDER_PICKER:
        case Screen::ORDER_EDITOR:
        case Screen::SUPPLIES_IN_USE:
            ReachDeployment(screen);
            break;
        case Screen::DESIGNER:
        case Screen::HULL_PICKER:
        case Screen::COMPARISON: {
            game.SetMode(15);
            GUI_ShipDesignGUI::OpenFrom(GUI_ShipDesignGUI::RETURN_MAIN_MENU);
            SettleTransition();
            CloseEverything();
            GUI_ShipDesignGUI::GetInstance().LoadDesign(SIM_ShipDesign::Find("fed_sample_frigate"));
            Frames(1);
            if (screen == Screen::HULL_PICKER)
                GUI_HullPicker::Open(GUI_HullPicker::DESIGNER, false);
            if (screen == Screen::COMPARISON) {
                SIM_ShipModuleType* type = SIM_ShipModuleType::GetList().front();
                const SIM_ShipModuleType::DataItem& item = type->GetDataItems().front();
                GUI_ModuleStatComparison::Open(type, item.statName, item.kind, item.multiplier);
            }
            Frames(1);
            break;
        }
        case Screen::OPTIONS:
        case Screen::RACES:
        case Screen::SHOP:
            game.SetMode(15);
            SettleTransition();
            if (screen == Screen::RACES) {
                Click(*GUI_MainMenu::GetInstance().GetBattleButton());
                SettleTransition();
                Click(*GUI_ChooseScenario::GetInstance().GetChangeRaceButton());
            } else {
                Click(screen == Screen::OPTIONS ? *GUI_MainMenu::GetInstance().GetOptionsButton()
                                                : *GUI_MainMenu::GetInstance().GetUnlocksButton());
            }
            SettleTransition();
            Frames(2);
            break;
        case Screen::BATTLE:
        case Screen::BATTLE_QUESTION:
        case Screen::RESULT:
        case Screen::STATISTICS:
            ReachBattle(screen);
            break;
        case Screen::ONLINE_MENU:
        case Screen::CHALLENGE_LIST:
        case Screen::CHALLENGE_DETAILS:
            ReachOnline(screen);
            break;
        case Screen::CAMPAIGN_MAP:
        case Screen::FLEET_DETAILS:
        case Screen::REPAIRS:
        case Screen::SHIPYARD:
        case Screen::SCRAP:
        case Screen::CAPTURE:
        case Screen::END_TURN:
            ReachCampaign(screen);
            break;
        }
        MoveMouse(GetParam().width - 1, 0);
        Frames(1);
    }

    // Each from a battle of its own, started from the title.
    void ReachBattle(Screen screen)
    {
        Game::GetInstance().SetMode(15);
        SettleTransition();
        BattleLaunchRequest request;
        request.scenario = "scenario1";
        request.seed = 5;
        ASSERT_TRUE(BattleLauncher::Launch(request, "data/sample deployment/deployed.txt"));
        DropAllLessons();
        Frames(5);
        if (screen == Screen::BATTLE)
            return;
        if (screen == Screen::BATTLE_QUESTION) {
            const GUI_LeaveBattle* leave = GUI_LeaveBattle::GetOpen();
            ASSERT_NE(leave, nullptr);
            Click(*leave->GetButton());
            ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
            return;
        }
        SIM_Battle::GetInstance().SetLost(SIM_Battle::WON);
        SIM_Battle::GetInstance().EndBattle();
        Frames(2);
        ASSERT_NE(GUI_PostMortem::GetOpen(), nullptr);
        if (screen == Screen::STATISTICS) {
            Click(*GUI_PostMortem::GetOpen()->GetViewStatsButton());
            ASSERT_NE(GUI_StatsBrowser::GetOpen(), nullptr);
        }
    }

    // Offline, with one challenge held from an earlier visit.
    void ReachOnline(Screen screen)
    {
        GetInternet().SetServerUrl("");
        Game::GetInstance().SetMode(15);
        SettleTransition();
        if (screen == Screen::ONLINE_MENU) {
            Game::GetInstance().SetMode(GUI_LoginScreen::kModeId);
            Frames(2);
            return;
        }
        const std::string user = Game::GetInstance().GetUserPath(Game::USER);
        ASSERT_TRUE(WriteFileAtomically(user + "/web/qlmcdu", "Ann"));
        SIM_ChallengeDatabase& challenges = SIM_ChallengeDatabase::GetInstance();
        challenges.SetFolder(user + "/web/challenges");
        challenges.Clear();
        ASSERT_TRUE(WriteFileAtomically(challenges.GetPath(), "##,1,Bob,all,\"taunt\",0,0,0,1.00,2.00,\"Arena\","
                                                              "2009-1-1,\"federation\",\n"));
        Game::GetInstance().SetMode(GUI_ChallengeList::kModeId);
        Frames(2);
        DropAllLessons();
        const GUI_ChallengeListWindow* window = GUI_ChallengeList::GetInstance().GetWindow();
        ASSERT_TRUE(window && window->GetClient() && !window->GetClient()->GetRows().empty());
        if (screen == Screen::CHALLENGE_DETAILS) {
            ASSERT_NE(GUI_ChallengeDetails::Open(window->GetClient()->GetRows()[0]->GetRecord()), nullptr);
            Frames(2);
        }
    }

    void ReachCampaign(Screen screen)
    {
        if (!m_fleet) {
            Game::GetInstance().SetMode(15);
            SettleTransition();
            StartCampaign("lessons");
            DropAllLessons();
            m_fleet = AddFleet(Homeworld());
            AddTestShip(m_fleet, "fed_sample_fighter", "Wasp");
            AddTestShip(m_fleet, "fed_sample_fighter", "Hornet");
            Frames(2);
        }
        ASSERT_NE(GUI_CampaignMap::Get(), nullptr);
        SIM_CampaignShip* ship = m_fleet->GetShips().front();
        switch (screen) {
        case Screen::FLEET_DETAILS: GUI_CampaignFleetDetails::ShowForFleet(m_fleet); break;
        case Screen::REPAIRS:
            // Something to mend on the first ship.
            ship->modules.front()->damage.push_back({"", 1.0f, 100});
            ship->RecalculateIntegrity();
            GUI_CampaignRepairs::Open(m_fleet);
            break;
        case Screen::SHIPYARD: GUI_Shipyard::Open(Homeworld(), m_fleet); break;
        case Screen::SCRAP: GUI_ScrapShip::Open(ship); break;
        case Screen::CAPTURE: GUI_CampaignCaptureManager::Open(); break;
        case Screen::END_TURN:
            SendTestAttack(m_fleet, EnemyNeighbour(Homeworld()));
            Frames(2);
            Click(*GUI_CampaignMap::Get()->GetBottomPanel()->GetNextTurnButton());
            SettleTransition();
            for (int i = 0; i < 600 && !GUI_EndTurn::GetOpen(); ++i)
                Frames(1);
            ASSERT_NE(GUI_EndTurn::GetOpen(), nullptr);
            break;
        default: break;
        }
        Frames(2);
    }

    void ReachDeployment(Screen screen)
    {
        Game::GetInstance().SetMode(15);
        SettleTransition();
        SIM_Scenario* scenario = SIM_Scenario::FindByName(screen == Screen::SUPPLIES_IN_USE ? "supply1" : "scenario1");
        ASSERT_NE(scenario, nullptr);
        GUI_DeploymentGUI::Open(scenario, false, 15);
        SettleTransition();
        CloseEverything();
        if (screen == Screen::DEPLOYMENT)
            return;
        GUI_DeploymentGUI& deployment = GUI_DeploymentGUI::GetInstance();
        if (screen == Screen::SUPPLIES_IN_USE) {
            Click(*deployment.GetSummaryBar()->GetSuppliesButton());
            MoveMouse(GetParam().width - 1, 0);
            return;
        }
        // One frigate in the middle of the zone.
        const GRect zone = GUI_DeploymentZone::GetInstance().GetScreenRect();
        const float x = static_cast<float>(zone.left + zone.right) / 2.0f;
        const float y = static_cast<float>(zone.top + zone.bottom) / 2.0f;
        const SIM_ShipDesign* frigate = SIM_ShipDesign::Find("fed_sample_frigate");
        deployment.PlaceShip(frigate, x, y);
        DropDraggedDeploymentIcons();
        ProcessPendingIconDeletions();
        Frames(1);
        CloseEverything();
        ASSERT_FALSE(GetDeploymentIcons().empty());
        SIM_DeployedShip* ship = GetDeploymentIcons().front()->GetShip();
        if (screen == Screen::SHIP_PLACED)
            return;
        GUI_DeploymentDetails::Open(ship);
        Frames(1);
        if (screen == Screen::MODULE_POPUP) {
            GUI_ModulePopup::Open(SIM_ShipModuleType::GetList().front(), frigate);
        } else if (screen == Screen::ORDER_PICKER) {
            GUI_BehaviourPicker::Open(&ship->orders);
        } else if (screen == Screen::ORDER_EDITOR) {
            GUI_BehaviourEditor::Open(SIM_BehaviourType::GetList().front());
        }
        Frames(1);
    }

    // The lesson opened as its moment opens it, its frames laid, and each
    // place it must leave free checked.
    void ExpectClear(const TutorialDefinition& definition, const Lesson& lesson)
    {
        const std::string where = std::string(lesson.name) + " at " + std::to_string(GetParam().width) + "x" +
                                  std::to_string(GetParam().height);
        m_copies.push_back(definition);
        GUI_TutorialWindow::Open(&m_copies.back());
        Frames(2);
        const GUI_TutorialWindow* window = GUI_TutorialWindow::GetFirst();
        ASSERT_NE(window, nullptr) << where << ": skipped, a control it names is not on its screen";
        ASSERT_EQ(window->GetLessonName(), lesson.name) << where;
        EXPECT_LE(window->right, GetParam().width) << where;
        EXPECT_LE(window->bottom, GetParam().height) << where;
        for (const GUI_TutorialHighlighter::Frame& frame : GUI_TutorialHighlighter::GetInstance().GetFrames())
            EXPECT_FALSE(Overlap(*window, frame.rect))
                << where << ": over the framed " << frame.name << " " << Describe(frame.rect) << ", lesson at "
                << Describe(RectOf(*window));
        for (const std::string& name : lesson.named) {
            int found = 0;
            for (const GUI_BaseElement* element : GUI_BaseElement::GetNamedElements()) {
                if (element == window || element->GetName() != name || !Shown(*element) || element->right <= element->left)
                    continue;
                ++found;
                EXPECT_FALSE(Overlap(*window, RectOf(*element)))
                    << where << ": over " << name << " " << Describe(RectOf(*element)) << ", lesson at "
                    << Describe(RectOf(*window));
            }
            EXPECT_GT(found, 0) << where << ": no " << name << " on its screen";
        }
        // A window the screen leaves no lesson-sized margin beside (the
        // module popup and the order picker on a 720-line desktop) cannot be
        // kept free; every other must be.
        const int w = window->right - window->left, h = window->bottom - window->top;
        auto roomBeside = [&](const GRect& r) {
            return r.left >= w || GetParam().width - r.right >= w || r.top >= h || GetParam().height - r.bottom >= h;
        };
        if (lesson.more)
            for (const Control& control : lesson.more()) {
                EXPECT_LT(control.rect.left, control.rect.right) << where << ": no " << control.label;
                if (roomBeside(control.rect))
                    EXPECT_FALSE(Overlap(*window, control.rect))
                    << where << ": over " << control.label << " " << Describe(control.rect) << ", lesson at "
                    << Describe(RectOf(*window));
            }
    }

    std::unique_ptr<TempDir> m_user;
    std::deque<TutorialDefinition> m_copies;
    SIM_CampaignFleet* m_fleet = nullptr;
};

TEST_P(LessonPlaces, EveryLessonLeavesWhatItTeachesFree)
{
    // The lessons as the game loads them, then dropped, so that no screen
    // raises one of its own while the test is reaching it.
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    tutorial.Load();
    std::vector<TutorialDefinition> definitions;
    for (const auto& definition : tutorial.GetPending())
        definitions.push_back(*definition);
    DropAllLessons();
    ASSERT_GT(definitions.size(), 40u);

    std::map<std::string, const Lesson*> byName;
    for (const Lesson& lesson : Lessons())
        byName[lesson.name] = &lesson;
    // Each screen reached once, its lessons in turn.
    std::map<Screen, std::vector<std::pair<const TutorialDefinition*, const Lesson*>>> byScreen;
    for (const TutorialDefinition& definition : definitions) {
        const auto found = byName.find(definition.name);
        if (found == byName.end()) {
            ADD_FAILURE() << "lesson " << definition.name << ": no screen to check it over";
            continue;
        }
        byScreen[found->second->screen].push_back({&definition, found->second});
    }
    for (const auto& [screen, lessons] : byScreen) {
        Reach(screen);
        for (const auto& [definition, lesson] : lessons) {
            ExpectClear(*definition, *lesson);
            CloseLessons();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, LessonPlaces, ::testing::Values(Size{1024, 768}, Size{1280, 1024}, Size{1280, 720}),
                         [](const ::testing::TestParamInfo<Size>& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

} // namespace
