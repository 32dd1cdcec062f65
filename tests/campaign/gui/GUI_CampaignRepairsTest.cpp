// The repair yard used headless through the real game with the mouse: opened
// from a damaged fleet's window, stepping between the damaged ships, single
// and whole repairs paid from the cash, and the log lines of the visit.
#include "CampaignScreenGame.h"

#include "campaign/gui/GUI_CampaignFacility.h"
#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignRepairBlueprint.h"
#include "campaign/gui/GUI_CampaignRepairIcon.h"
#include "campaign/gui/GUI_CampaignRepairList.h"
#include "campaign/gui/GUI_CampaignRepairs.h"
#include "campaign/gui/GUI_RepairStatus.h"
#include "campaign/sim/SIM_CampaignDryDock.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "engine/GHashTable.h"
#include "gui/GUI_CloseButton.h"
#include "gui/GUI_IconButton.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_Tooltip.h"
#include "platform/IClock.h"

namespace {

class CampaignRepairs : public CampaignScreenGame {
protected:
    void SetUp() override
    {
        CampaignScreenGame::SetUp();
        StartCampaign("repairtest");
        home = Homeworld();
        ASSERT_NE(home, nullptr);
        ASSERT_TRUE(home->HasRepairFacility());
    }
    void TearDown() override { Quit(); }

    // A fleet of escorts at the homeworld; the ships named get damage items
    // of the prices given on their first modules (one module per price).
    SIM_CampaignFleet* DamagedFleet(int ships, const std::vector<std::pair<int, std::vector<int>>>& damage)
    {
        SIM_CampaignFleet* fleet = AddFleet(home);
        for (int i = 1; i < ships; ++i) {
            auto* ship = new SIM_CampaignShip();
            ship->SetDesign(SIM_ShipDesign::Find("fed_ai_escort"));
            ship->id = SIM_CampaignShip::GetNextFreeID();
            ship->name = "Escort " + std::to_string(i);
            ship->InitModuleStates();
            fleet->AddShip(ship);
        }
        for (const auto& [index, costs] : damage) {
            SIM_CampaignShip* ship = fleet->GetShips()[static_cast<size_t>(index)];
            for (size_t m = 0; m < costs.size(); ++m)
                ship->modules[m]->damage.push_back({"", 1.0f, costs[m]});
            ship->RecalculateIntegrity();
        }
        Frames(1);
        return fleet;
    }

    SIM_CampaignEncounter* home = nullptr;
};

TEST_F(CampaignRepairs, TheFleetButtonOpensTheYardOnlyForDamageAndRepairAllPaysWhatItCan)
{
    // Without damage the button is off and nothing opens.
    SIM_CampaignFleet* whole = AddFleet(home);
    GUI_CampaignFleetDetails* window = GUI_CampaignFleetDetails::ShowForFleet(whole);
    EXPECT_FALSE(window->GetRepairButton()->enabled);
    EXPECT_EQ(GUI_CampaignRepairs::Open(whole), nullptr);
    EXPECT_EQ(GUI_CampaignRepairs::GetOpen(), nullptr);
    GUI_CampaignFleetDetails::CloseAll();

    // Ship 0 undamaged; ship 1 modules of 300, 900 and 50; ship 2 one of 40.
    SIM_CampaignFleet* fleet = DamagedFleet(3, {{1, {300, 900, 50}}, {2, {40}}});
    SIM_CampaignShip* second = fleet->GetShips()[1];
    SIM_CampaignShip* third = fleet->GetShips()[2];
    window = GUI_CampaignFleetDetails::ShowForFleet(fleet);
    Frames(1);
    ASSERT_TRUE(window->GetRepairButton()->enabled);
    Click(*window->GetRepairButton());
    Frames(1);
    GUI_CampaignRepairs* yard = GUI_CampaignRepairs::GetOpen();
    ASSERT_NE(yard, nullptr);
    EXPECT_EQ(GUI_CampaignFleetDetails::FindForFleet(fleet), nullptr) << "the yard takes the fleet window's place";
    EXPECT_EQ(yard->GetShownShip(), second);
    EXPECT_EQ(yard->GetBlueprint()->GetIcons().size(), second->modules.size());
    EXPECT_EQ(yard->GetList()->GetItems().size(), 3u);
    EXPECT_FLOAT_EQ(yard->GetHullBar()->GetValue(), second->integrity);
    // 352 pixels of 6-pixel segments: 58, all lit only for a whole ship.
    EXPECT_EQ(GUI_RepairStatus::LitSegments(1.0f, 352), 58);
    EXPECT_EQ(GUI_RepairStatus::LitSegments(0.999f, 352), 57);
    EXPECT_EQ(GUI_RepairStatus::LitSegments(0.0f, 352), 0);
    EXPECT_EQ(GUI_RepairStatus::LitSegments(-0.5f, 352), 0);
    EXPECT_EQ(yard->GetHullBar()->GetKind(), GUI_RepairStatus::HULL);
    // Each arrow carries its own key; the first ship has no previous one.
    EXPECT_EQ(yard->GetPreviousButton()->GetTooltip()->GetLines()[0], GetString("DRYDOCK_PREV_SHIP_TOOLTIP"));
    EXPECT_EQ(yard->GetNextButton()->GetTooltip()->GetLines()[0], GetString("DRYDOCK_NEXT_SHIP_TOOLTIP"));
    EXPECT_FALSE(yard->GetPreviousButton()->enabled);
    EXPECT_TRUE(yard->GetNextButton()->enabled);

    // Repair all is offered only when the cash covers the whole 1,250.
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    progress.cash = 1249;
    yard->UpdateRepairAll();
    EXPECT_FALSE(yard->GetRepairAllButton()->enabled);
    EXPECT_EQ(yard->GetRepairAllButton()->GetText(), GetString("CAMPAIGN_REPAIRALL"));
    progress.cash = 1250;
    yard->UpdateRepairAll();
    EXPECT_TRUE(yard->GetRepairAllButton()->enabled);
    EXPECT_NE(yard->GetRepairAllButton()->GetText().find("1,250 CR"), std::string::npos);

    // Should the button be pressed with less, it pays module by module what
    // the cash still covers and never runs into debt.
    progress.cash = 400;
    yard->GetRepairAllButton()->enabled = true;
    Click(*yard->GetRepairAllButton());
    EXPECT_EQ(progress.cash, 50);
    EXPECT_TRUE(second->modules[0]->damage.empty());
    EXPECT_EQ(second->modules[1]->damage.size(), 1u);
    EXPECT_TRUE(second->modules[2]->damage.empty());
    Frames(1);
    EXPECT_EQ(yard->GetList()->GetItems().size(), 1u);
    EXPECT_FALSE(yard->GetRepairAllButton()->enabled);

    // A list item's button repairs just its item once the cash allows it.
    GUI_CampaignRepairListItem* item = yard->GetList()->GetItems()[0];
    EXPECT_EQ(item->GetCost(), 900);
    Frames(1);
    EXPECT_FALSE(item->GetRepairButton()->enabled);
    progress.cash = 900;
    Frames(1);
    ASSERT_TRUE(item->GetRepairButton()->enabled);
    Click(*item->GetRepairButton());
    Frames(1);
    EXPECT_EQ(progress.cash, 0);
    EXPECT_FLOAT_EQ(second->integrity, 1.0f);
    EXPECT_FALSE(yard->GetList()->HasItems());

    // On to the last damaged ship; the repaired one is still reachable.
    Click(*yard->GetNextButton());
    EXPECT_EQ(yard->GetShownShip(), third);
    EXPECT_TRUE(yard->GetPreviousButton()->enabled);
    EXPECT_FALSE(yard->GetNextButton()->enabled);
    Click(*yard->GetPreviousButton());
    EXPECT_EQ(yard->GetShownShip(), second);

    // Closing writes one line per repaired ship.
    EXPECT_TRUE(second->log->GetEntries().empty());
    Click(*yard->GetCloseButton());
    Frames(1);
    EXPECT_EQ(GUI_CampaignRepairs::GetOpen(), nullptr);
    ASSERT_EQ(second->log->GetEntries().size(), 1u);
    EXPECT_EQ(second->log->GetEntries()[0].kind, SIM_CampaignShipsLog::REPAIR);
    EXPECT_NE(second->log->GetEntries()[0].text.find("1,250"), std::string::npos)
        << second->log->GetEntries()[0].text;
    EXPECT_TRUE(third->log->GetEntries().empty());
}

TEST_F(CampaignRepairs, AModuleIconsMenuRepairsTheWholeModule)
{
    SIM_CampaignFleet* fleet = DamagedFleet(1, {{0, {120, 80}}});
    SIM_CampaignShip* ship = fleet->GetShips()[0];
    ship->modules[0]->damage.push_back({"", 1.0f, 30});
    ship->RecalculateIntegrity();
    GUI_CampaignRepairs* yard = GUI_CampaignRepairs::Open(fleet);
    ASSERT_NE(yard, nullptr);
    Frames(1);
    GUI_CampaignRepairIcon* icon = GUI_CampaignRepairIcon::FindForModule(ship->modules[0].get());
    ASSERT_NE(icon, nullptr);
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    progress.cash = 149; // the module costs 150
    MoveMouse((icon->left + icon->right) / 2, (icon->top + icon->bottom) / 2);
    ASSERT_TRUE(icon->OnRightClick(static_cast<float>(icon->left + 2), static_cast<float>(icon->top + 2)));
    GUI_RepairIconRCMenu* menu = GUI_RepairIconRCMenu::GetOpen();
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(menu->GetRepairItem()->enabled);
    EXPECT_NE(menu->GetRepairItem()->GetText().find("150 CR"), std::string::npos);
    progress.cash = 150;
    GUI_RepairIconRCMenu::Open(icon);
    menu = GUI_RepairIconRCMenu::GetOpen();
    ASSERT_TRUE(menu->GetRepairItem()->enabled);
    Click(*menu->GetRepairItem());
    Frames(1);
    EXPECT_EQ(GUI_RepairIconRCMenu::GetOpen(), nullptr);
    EXPECT_EQ(progress.cash, 0);
    EXPECT_TRUE(ship->modules[0]->damage.empty());
    EXPECT_FLOAT_EQ(yard->GetDock().GetSpent(ship), 150.0f);
    // The second module's 80 is left.
    ASSERT_EQ(yard->GetList()->GetItems().size(), 1u);
    EXPECT_EQ(yard->GetList()->GetItems()[0]->GetModule(), ship->modules[1].get());
    GUI_CampaignRepairs::CloseOpen();
    Frames(1);
}

TEST_F(CampaignRepairs, TheDamageListScrollsSevenRowsAtATimeAndKeepsItsPlaceAfterARepair)
{
    // Ten items of 10 credits on five modules.
    SIM_CampaignFleet* fleet = DamagedFleet(1, {{0, {10, 10, 10, 10, 10}}, {0, {10, 10, 10, 10, 10}}});
    GUI_CampaignRepairs* yard = GUI_CampaignRepairs::Open(fleet);
    ASSERT_NE(yard, nullptr);
    Frames(1);
    GUI_CampaignRepairList* list = yard->GetList();
    ASSERT_EQ(list->GetItems().size(), 10u);
    // 511 pixels: seven rows of 73 fit, three wait below.
    EXPECT_EQ(list->GetShownCount(), 7);
    EXPECT_EQ(list->GetScrollBar()->maximum, 3);
    for (int i = 0; i < 3; ++i)
        list->OnWheelDown();
    Frames(1);
    EXPECT_EQ(list->GetItems()[3]->top, list->top);
    EXPECT_EQ(list->GetItems()[9]->bottom, list->top + 7 * 73);
    SIM_CampaignProgress::GetInstance().cash = 10;
    Click(*list->GetItems()[9]->GetRepairButton());
    Frames(1);
    ASSERT_EQ(list->GetItems().size(), 9u);
    EXPECT_EQ(list->GetScrollBar()->position, 2) << "as far down as nine items allow";
    EXPECT_EQ(list->GetItems()[8]->bottom, list->top + 7 * 73);
    GUI_CampaignRepairs::CloseOpen();
    Frames(1);
}

TEST_F(CampaignRepairs, ARepairYardOpensForTheFirstFleetThereWithDamage)
{
    SIM_CampaignFacility* yard = nullptr;
    for (SIM_CampaignEncounter* e : SIM_CampaignEncounter::GetAll())
        for (const auto& f : e->facilities)
            if (!yard && f->GetType()->typeName == "repairyard")
                yard = f.get();
    ASSERT_NE(yard, nullptr);
    SIM_CampaignEncounter* at = yard->GetEncounter();
    SIM_CampaignFleet* whole = AddFleet(at);
    GUI_CampaignFacility::UseFacility(reinterpret_cast<std::intptr_t>(yard));
    Frames(1);
    EXPECT_EQ(GUI_CampaignRepairs::GetOpen(), nullptr) << "nothing to repair";
    SIM_CampaignFleet* damaged = AddFleet(at);
    damaged->GetShips()[0]->modules[0]->damage.push_back({"", 1.0f, 10});
    damaged->GetShips()[0]->RecalculateIntegrity();
    ASSERT_EQ(at->fleets.front(), whole);
    GUI_CampaignFacility::UseFacility(reinterpret_cast<std::intptr_t>(yard));
    Frames(1);
    ASSERT_NE(GUI_CampaignRepairs::GetOpen(), nullptr);
    EXPECT_EQ(GUI_CampaignRepairs::GetOpen()->GetFleet(), damaged);
    GUI_CampaignRepairs::CloseOpen();
    Frames(1);
}

TEST_F(CampaignRepairs, TheScanLinesSweepAcrossDrawsAndStartAgainOnlyWhenTheDialogMoves)
{
    SIM_CampaignFleet* fleet = DamagedFleet(1, {{0, {120}}});
    GUI_CampaignRepairs* yard = GUI_CampaignRepairs::Open(fleet);
    ASSERT_NE(yard, nullptr);
    Frames(1);
    ManualClock clock(1000.0);
    GUI_Interlace* sweeps[2] = {&yard->GetHeaderLines(), &yard->GetBlueprint()->GetScanLines()};
    for (GUI_Interlace* lines : sweeps)
        lines->SetClock(&clock);
    Frames(1);
    for (GUI_Interlace* lines : sweeps)
        EXPECT_EQ(lines->GetBrightLine(), -3);
    // Four steps of the sweep over a few frames: the line went four down.
    clock.Advance(4 * GUI_Interlace::kSweepStepMs);
    Frames(3);
    for (GUI_Interlace* lines : sweeps)
        EXPECT_EQ(lines->GetBrightLine(), 1);
    clock.Advance(GUI_Interlace::kSweepStepMs);
    Frames(1);
    for (GUI_Interlace* lines : sweeps)
        EXPECT_EQ(lines->GetBrightLine(), 2);
    // A dragged dialog: the lines follow it and start from the top.
    const int width = yard->right - yard->left, height = yard->bottom - yard->top;
    yard->SetRect(static_cast<float>(yard->left + 10), static_cast<float>(yard->top), static_cast<float>(yard->left + 10 + width),
                  static_cast<float>(yard->top + height));
    yard->SetClientRect();
    Frames(1);
    EXPECT_EQ(yard->GetHeaderLines().GetArea().left, yard->clientLeft);
    EXPECT_EQ(yard->GetHeaderLines().GetBrightLine(), -3);
    GUI_CampaignRepairs::CloseOpen();
    Frames(1);
}

} // namespace
