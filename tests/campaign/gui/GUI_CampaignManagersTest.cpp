// The fleet, income and recruitment managers, the conquest news and the
// campaign's ending dialogs, on the whole game started headless with a new
// campaign open and used with the mouse.
#include "CampaignScreenGame.h"

#include "campaign/gui/GUI_CampaignControlPanelBttm.h"
#include "campaign/gui/GUI_CampaignControlPanelTop.h"
#include "campaign/gui/GUI_CampaignDefeat.h"
#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignFleetManager.h"
#include "campaign/gui/GUI_CampaignFleetManagerStrip.h"
#include "campaign/gui/GUI_CampaignIncomeStrip.h"
#include "campaign/gui/GUI_CampaignStats.h"
#include "campaign/gui/GUI_CampaignShipIcon.h"
#include "campaign/gui/GUI_CampaignVictory.h"
#include "campaign/gui/GUI_FleetRename.h"
#include "campaign/gui/GUI_ConquestDetails.h"
#include "campaign/gui/GUI_EndTurn.h"
#include "campaign/gui/GUI_IncomeManager.h"
#include "campaign/gui/GUI_MapZoomer.h"
#include "campaign/gui/GUI_RecruitmentManager.h"
#include "campaign/sim/SIM_CampaignBattleOutcome.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "gui/GUI_CloseButton.h"
#include "gui/GUI_IconButton.h"
#include "gui/GUI_ScrollButton.h"
#include "gui/GUI_ScrollingWindow.h"
#include "sim/SIM_ShipHull.h"

#include <regex>

namespace {

class CampaignManagers : public CampaignScreenGame {
protected:
    void SetUp() override
    {
        CampaignScreenGame::SetUp();
        StartCampaign("managertest");
        map = GUI_CampaignMap::Get();
        ASSERT_NE(map, nullptr);
        home = Homeworld();
        ASSERT_NE(home, nullptr);
    }
    void TearDown() override { Quit(); }

    // A shipped design whose hull is of the class.
    static SIM_ShipDesign* DesignOfClass(int hullClass)
    {
        for (const char* name : {"fed_ai_battlecruiser", "fed_ai_escort", "fed_ai_gunboat", "fed_ai_interceptor",
                                 "fed_ai_bomber", "fed_ai_striker", "fed_ai_raider", "fed_ai_carrier"}) {
            SIM_ShipDesign* d = SIM_ShipDesign::Find(name);
            if (d && d->GetHull() && d->GetHull()->GetClass() == hullClass)
                return d;
        }
        return nullptr;
    }

    static void AddShips(SIM_CampaignFleet* fleet, SIM_ShipDesign* design, int count)
    {
        for (int i = 0; i < count; ++i) {
            auto* ship = new SIM_CampaignShip();
            ship->SetDesign(design);
            ship->id = SIM_CampaignShip::GetNextFreeID();
            ship->InitModuleStates();
            fleet->AddShip(ship);
        }
    }

    GUI_IconButton* ManagerButton(int i) const { return map->GetBottomPanel()->GetManagerButton(i); }

    GUI_CampaignMap* map = nullptr;
    SIM_CampaignEncounter* home = nullptr;
};

TEST_F(CampaignManagers, FleetRowsCountTheirClassesAndLeadToTheFleet)
{
    SIM_ShipDesign* cruiser = DesignOfClass(0);
    SIM_ShipDesign* fighter = DesignOfClass(2);
    ASSERT_NE(cruiser, nullptr);
    ASSERT_NE(fighter, nullptr);
    SIM_CampaignFleet* mixed = AddFleet(home, nullptr);
    AddShips(mixed, cruiser, 3);
    AddShips(mixed, fighter, 2);
    mixed->guiName = "Mixed Fleet";
    AddFleet(home, nullptr); // no ships: no row

    Click(*ManagerButton(0));
    GUI_CampaignFleetManager* manager = GUI_CampaignFleetManager::GetOpen();
    ASSERT_NE(manager, nullptr);
    ASSERT_EQ(manager->GetStrips().size(), 1u);
    const auto* row = static_cast<const GUI_CampaignFleetManagerStrip*>(manager->GetStrips()[0].get());
    EXPECT_EQ(row->GetFleet(), mixed);
    EXPECT_EQ(row->GetFirstText(), "Mixed Fleet");
    EXPECT_EQ(row->GetSecondText(), "CRx3 FRx0 Fix2");
    EXPECT_EQ(row->GetPlaceName(), GetString(home->GetGuiName().c_str()));
    EXPECT_EQ(manager->width, GUI_CampaignManagerWindow::kWidth);
    EXPECT_EQ(manager->height, GUI_CampaignManagerWindow::kRowHeight + 46 + 16);

    // The row takes the map to the fleet's planet and opens the fleet.
    Click(*row);
    EXPECT_NE(map->GetZoomer().state, GUI_MapZoomer::IDLE);
    EXPECT_NE(GUI_CampaignFleetDetails::FindForFleet(mixed), nullptr);

    // The button again closes it.
    Click(*ManagerButton(0));
    EXPECT_EQ(GUI_CampaignFleetManager::GetOpen(), nullptr);
}

TEST_F(CampaignManagers, TheOpenFleetManagerFollowsARenameADeletedFleetAndAMerge)
{
    SIM_CampaignFleet* a = AddFleet(home);
    SIM_CampaignFleet* b = AddFleet(home);
    SIM_CampaignFleet* c = AddFleet(home);
    AddTestShip(c, "fed_ai_escort", "Two");
    b->guiName = "Second Fleet";
    c->guiName = "Third Fleet";
    Click(*ManagerButton(0));
    GUI_CampaignFleetManager* manager = GUI_CampaignFleetManager::GetOpen();
    ASSERT_NE(manager, nullptr);
    const auto rowOf = [&](const SIM_CampaignFleet* fleet) -> const GUI_CampaignFleetManagerStrip* {
        for (const auto& strip : manager->GetStrips())
            if (auto* row = dynamic_cast<const GUI_CampaignFleetManagerStrip*>(strip.get()); row && row->GetFleet() == fleet)
                return row;
        return nullptr;
    };
    ASSERT_EQ(manager->GetStrips().size(), 3u);
    const int escortClass = SIM_ShipDesign::Find("fed_ai_escort")->GetHull()->GetClass();
    const auto counts = [&](int escorts) {
        int n[3] = {0, 0, 0};
        n[escortClass] = escorts;
        return StrFormat("CRx%d FRx%d Fix%d", n[0], n[1], n[2]);
    };

    // Renamed through the fleet's window, as long as the field takes: the
    // row says so at once, cut to the room the planet's name leaves it.
    GUI_CampaignFleetDetails* window = GUI_CampaignFleetDetails::ShowForFleet(a);
    Frames(1);
    Click(*window->GetRenameButton());
    ASSERT_NE(GUI_FleetRename::GetOpen(), nullptr);
    // It opens to be typed in, the old name selected so that typing replaces it.
    EXPECT_TRUE(GUI_FleetRename::GetOpen()->GetField()->IsEditing());
    EXPECT_TRUE(GUI_FleetRename::GetOpen()->GetField()->IsAllSelected());
    EXPECT_EQ(GUI_FleetRename::GetOpen()->GetField()->GetText(), a->GetName());
    const std::string typed = "The Unbroken Line Of The Outer Wormhole Watch Reserve";
    ASSERT_EQ(typed.size(), 53u);
    GUI_FleetRename::GetOpen()->GetField()->SetText(typed);
    Click(*GUI_FleetRename::GetOpen()->GetOkButton());
    Frames(1);
    const GUI_CampaignFleetManagerStrip* row = rowOf(a);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->GetFirstText(), typed);
    const std::string& shown = row->GetShownFirstText();
    ASSERT_LT(shown.size(), typed.size());
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    EXPECT_EQ(typed.compare(0, shown.size() - 3, shown, 0, shown.size() - 3), 0);
    LibText& text = LibText::GetInstance();
    text.SetFont(GUI_CampaignManagerStrip::kFont, GUI_CampaignManagerStrip::kFontSize);
    EXPECT_LE(row->left + row->GetPlaceLeft() + text.GetTextWidth(row->GetPlaceName()), row->right)
        << "the planet's name stays in the row";
    EXPECT_GT(row->GetPlaceLeft(), text.GetTextWidth(shown));
    PressKey(SDL_SCANCODE_ESCAPE);
    Frames(1);

    // B's last ship dropped on C's window: B goes, and its row; C counts three.
    GUI_CampaignFleetDetails* wb = GUI_CampaignFleetDetails::ShowForFleet(b);
    GUI_CampaignFleetDetails* wc = GUI_CampaignFleetDetails::ShowForFleet(c);
    wb->MoveTo(20.0f, 300.0f);
    wc->MoveTo(560.0f, 300.0f);
    Frames(1);
    const GUI_CampaignShipIcon* tile = wb->GetIcons()[0];
    Drag((tile->left + tile->right) * 0.5f, (tile->top + tile->bottom) * 0.5f, static_cast<float>(wc->right - 60),
         static_cast<float>(wc->bottom - 60));
    Frames(2);
    ASSERT_EQ(c->GetShips().size(), 3u);
    EXPECT_EQ(manager->GetStrips().size(), 2u);
    ASSERT_NE(rowOf(c), nullptr);
    EXPECT_EQ(rowOf(c)->GetSecondText(), counts(3));
    GUI_CampaignFleetDetails::CloseAll();
    Frames(1);

    // C's map icon dropped on A's: one fleet, one row, four escorts.
    GUI_PlayerFleetIcon* from = FleetIconOf(c);
    GUI_PlayerFleetIcon* onto = FleetIconOf(a);
    ASSERT_TRUE(from && onto);
    Drag((from->left + from->right) * 0.5f, (from->top + from->bottom) * 0.5f, (onto->left + onto->right) * 0.5f,
         (onto->top + onto->bottom) * 0.5f, 2);
    Frames(2);
    ASSERT_EQ(a->GetShips().size(), 4u);
    ASSERT_EQ(manager->GetStrips().size(), 1u);
    ASSERT_NE(rowOf(a), nullptr);
    EXPECT_EQ(rowOf(a)->GetSecondText(), counts(4));
    GUI_CampaignFleetManager::CloseOpen();
    Frames(1);
}

TEST_F(CampaignManagers, APlanetTakenInBattleCountsInTheIncomeAtOnceAsAReloadCountsIt)
{
    // A planet of the enemy with a factory, once ours and still loyal in part.
    SIM_CampaignEncounter* prize = nullptr;
    for (SIM_CampaignEncounter* e : map->GetCampaign()->GetEncounters())
        for (const auto& f : e->facilities)
            if (!prize && e->territory != SIM_CampaignEncounter::PLAYER && f && f->GetType() &&
                f->GetType()->facilityClass == SIM_CampaignFacilityType::FACTORY &&
                f->GetType()->attributes.GetValue("cash_per_turn") >= 50.0f)
                prize = e;
    ASSERT_NE(prize, nullptr);
    prize->loyalty.value = 0.6f;
    const int prizeId = prize->encounterId;
    const auto income = [] {
        return GUI_CampaignControlPanelTop::GetOpen()->Get(GUI_CampaignCounter::INCOME)->GetValue();
    };
    const std::string before = income();

    // Attacked and won: the counter on the map counts its factory at once.
    SIM_CampaignFleet* fleet = AddFleet(home);
    SendTestAttack(fleet, prize);
    SIM_CampaignBattleManager& battles = SIM_CampaignBattleManager::GetInstance();
    ASSERT_TRUE(battles.BeginBattle(prize));
    battles.ApplyBattleResult(true, SIM_CampaignBattleOutcome{});
    Frames(2);
    ASSERT_EQ(prize->territory, SIM_CampaignEncounter::PLAYER);
    const std::string after = income();
    EXPECT_NE(after, before);

    // What the save gives when it is opened again.
    GUI_EndTurn::CloseOpen();
    Quit();
    ASSERT_TRUE(GUI_Campaign::OpenCampaign("managertest"));
    SettleTransition();
    Frames(2);
    map = GUI_CampaignMap::Get();
    ASSERT_EQ(SIM_CampaignEncounter::FindByID(prizeId)->territory, SIM_CampaignEncounter::PLAYER);
    EXPECT_EQ(income(), after);
}

TEST_F(CampaignManagers, OnlyTheRowsThatFitAreShownAndTheScrollBarMovesThem)
{
    const int fit = GUI_CampaignManagerWindow::RowsThatFit(kHeight);
    ASSERT_EQ(fit, (kHeight - 100) / 50);
    for (int i = 0; i < fit + 2; ++i)
        AddFleet(home);
    GUI_CampaignFleetManager::Open();
    GUI_CampaignFleetManager* manager = GUI_CampaignFleetManager::GetOpen();
    ASSERT_NE(manager, nullptr);
    ASSERT_EQ(manager->GetStrips().size(), static_cast<size_t>(fit + 2));
    EXPECT_EQ(manager->GetAttachedCount(), fit);
    EXPECT_EQ(manager->GetScrollBar()->maximum, 2);
    // The window holds the rows shown and stays on the screen.
    EXPECT_EQ(manager->height, fit * GUI_CampaignManagerWindow::kRowHeight + 46 + 16);
    EXPECT_LE(manager->bottom, kHeight);
    const GUI_CampaignManagerStrip* first = manager->GetStrips()[0].get();
    const GUI_CampaignManagerStrip* second = manager->GetStrips()[1].get();
    EXPECT_EQ(first->GetParent(), manager);
    EXPECT_EQ(manager->GetStrips()[static_cast<size_t>(fit)]->GetParent(), nullptr);

    Frames(1); // the arrows are placed when the bar is drawn
    Click(*manager->GetScrollBar()->GetDownArrow());
    Frames(1);
    EXPECT_EQ(manager->GetScrollBar()->position, 1);
    EXPECT_EQ(first->GetParent(), nullptr);
    EXPECT_EQ(second->GetParent(), manager);
    EXPECT_EQ(second->top, manager->clientTop);
    EXPECT_EQ(manager->GetAttachedCount(), fit);

    // Scrolled to the end, a rename refreshes every row: the player keeps
    // his place, with the same row on top.
    Click(*manager->GetScrollBar()->GetDownArrow());
    Frames(1);
    ASSERT_EQ(manager->GetScrollBar()->position, 2);
    const auto* third = static_cast<const GUI_CampaignFleetManagerStrip*>(manager->GetStrips()[2].get());
    SIM_CampaignFleet* renamed = third->GetFleet();
    GUI_FleetRename::Open(renamed);
    ASSERT_NE(GUI_FleetRename::GetOpen(), nullptr);
    GUI_FleetRename::GetOpen()->GetField()->SetText("Kept In Place");
    Click(*GUI_FleetRename::GetOpen()->GetOkButton());
    Frames(1);
    ASSERT_EQ(renamed->guiName, "Kept In Place");
    EXPECT_EQ(manager->GetScrollBar()->position, 2);
    EXPECT_EQ(manager->GetScrollBar()->maximum, 2);
    ASSERT_EQ(manager->GetStrips().size(), static_cast<size_t>(fit + 2));
    const auto* top = static_cast<const GUI_CampaignFleetManagerStrip*>(manager->GetStrips()[2].get());
    EXPECT_EQ(top->GetFleet(), renamed);
    EXPECT_EQ(top->GetParent(), manager);
    EXPECT_EQ(top->top, manager->clientTop);
    EXPECT_EQ(manager->GetStrips()[1]->GetParent(), nullptr);

    // A move refreshes every row as well, and the place is kept.
    SIM_CampaignEncounter* elsewhere = nullptr;
    for (SIM_CampaignEncounter* e : SIM_CampaignEncounter::GetAll())
        if (e != home && !elsewhere)
            elsewhere = e;
    ASSERT_NE(elsewhere, nullptr);
    static_cast<const GUI_CampaignFleetManagerStrip*>(manager->GetStrips()[0].get())->GetFleet()->SetLocation(elsewhere);
    Frames(1);
    EXPECT_EQ(manager->GetScrollBar()->position, 2);
    EXPECT_EQ(static_cast<const GUI_CampaignFleetManagerStrip*>(manager->GetStrips()[2].get())->GetParent(), manager);

    GUI_CampaignFleetManager::CloseOpen();
    Frames(1);
}

TEST_F(CampaignManagers, FacilityRowsShowTheExpectedAmountAndLoyalty)
{
    // A factory on a planet made the player's, half loyal.
    SIM_CampaignFacility* factory = nullptr;
    for (SIM_CampaignEncounter* e : SIM_CampaignEncounter::GetAll())
        for (const auto& f : e->facilities)
            if (!factory && f->GetType() && f->GetType()->facilityClass == SIM_CampaignFacilityType::FACTORY)
                factory = f.get();
    ASSERT_NE(factory, nullptr);
    SIM_CampaignEncounter* planet = factory->GetEncounter();
    for (SIM_CampaignEncounter* e : SIM_CampaignEncounter::GetAll())
        e->territory = e == planet ? SIM_CampaignEncounter::PLAYER : SIM_CampaignEncounter::ENEMY;
    planet->loyalty.value = 0.5f;
    SIM_CampaignFacilityType* type = factory->GetType();
    const GAttributeList shipped = type->attributes;
    type->attributes.Clear();
    type->attributes.SetValue("cash_per_turn", 3000.0f);

    Click(*ManagerButton(1));
    GUI_IncomeManager* income = GUI_IncomeManager::GetOpen();
    ASSERT_NE(income, nullptr);
    const GUI_CampaignManagerStrip* row = nullptr;
    for (const auto& s : income->GetStrips())
        if (static_cast<const GUI_CampaignIncomeStrip*>(s.get())->GetFacility() == factory)
            row = s.get();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->GetFigure(), "1,500 CR (50%)");
    EXPECT_EQ(row->GetSecondText(), GetString("INCOME_STRIP_INCOME"));
    EXPECT_EQ(row->GetFirstText(), GetString(type->guiName.c_str()));

    // A yield past what whole credits can count shows the most that is paid.
    type->attributes.Clear();
    type->attributes.SetValue("cash_per_turn", 1e20f);
    planet->loyalty.value = 1.0f;
    Click(*ManagerButton(1));
    Click(*ManagerButton(1));
    ASSERT_NE(GUI_IncomeManager::GetOpen(), nullptr);
    row = nullptr;
    for (const auto& s : GUI_IncomeManager::GetOpen()->GetStrips())
        if (static_cast<const GUI_CampaignIncomeStrip*>(s.get())->GetFacility() == factory)
            row = s.get();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->GetFigure(), "2,147,483,647 CR (100%)");
    type->attributes = shipped;

    // No planet at all: no factory, and the window keeps one row's height.
    Click(*ManagerButton(1));
    planet->territory = SIM_CampaignEncounter::ENEMY;
    Click(*ManagerButton(1));
    income = GUI_IncomeManager::GetOpen();
    ASSERT_NE(income, nullptr);
    EXPECT_TRUE(income->GetStrips().empty());
    EXPECT_EQ(income->height, GUI_CampaignManagerWindow::kRowHeight + 46 + 16);

    // Academies only in the recruitment window.
    Click(*ManagerButton(2));
    ASSERT_NE(GUI_RecruitmentManager::GetOpen(), nullptr);
    for (const auto& s : GUI_RecruitmentManager::GetOpen()->GetStrips())
        EXPECT_EQ(static_cast<const GUI_CampaignIncomeStrip*>(s.get())->GetFacility()->GetType()->facilityClass,
                  SIM_CampaignFacilityType::ACADEMY);
}

TEST_F(CampaignManagers, ConquestNewsNamesThePlanetAndSixDigitCasualties)
{
    EXPECT_EQ(GUI_ConquestDetails::CasualtyCount(0, 0), 211000);
    EXPECT_EQ(GUI_ConquestDetails::CasualtyCount(32767, 32767), 894933);
    EXPECT_EQ(GUI_ConquestDetails::CasualtyCount(32767, 0), 211933);
    EXPECT_EQ(GUI_ConquestDetails::CasualtyCount(0, 32767), 894000);
    EXPECT_EQ(GUI_ConquestDetails::CasualtyCount(16384, 16384), 553467);

    SIM_CampaignEncounter* planet = home->neighbours.at(0);
    GUI_ConquestDetails* news = GUI_ConquestDetails::Open(planet);
    ASSERT_NE(news, nullptr);
    EXPECT_EQ(news->width, GUI_ConquestDetails::kWidth);
    EXPECT_EQ(news->GetTitle(), GetString("CONQUEST_TITLE"));
    const std::string& text = news->GetMessage();
    EXPECT_NE(text.find(GetString(planet->GetGuiName().c_str())), std::string::npos) << text;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(text, m, std::regex("([0-9]{3}),([0-9]{3})"))) << text;
    const int count = std::stoi(m[1].str()) * 1000 + std::stoi(m[2].str());
    EXPECT_GE(count, 211000);
    EXPECT_LE(count, 894933);
    EXPECT_EQ(text.find('<'), std::string::npos);
    // Its close button is the way out.
    ASSERT_NE(news->GetCloseButton(), nullptr);
    Frames(1);
    Click(*news->GetCloseButton());
    Frames(1);
    EXPECT_EQ(GUI_ConquestDetails::GetOpen(), nullptr);
}

TEST_F(CampaignManagers, VictoryAndDefeatShowTheirTextsAndTheFiguresBelow)
{
    GUI_CampaignVictory* victory = GUI_CampaignVictory::Open();
    ASSERT_NE(victory, nullptr);
    EXPECT_EQ(victory->GetTitle(), GetString("CAMPAIGN_VICTORY_TITLE"));
    EXPECT_EQ(victory->GetMessage(), GetString("CAMPAIGN_VICTORY_MESSAGE"));
    EXPECT_EQ(victory->width, 800);
    EXPECT_EQ(victory->height, 400);
    EXPECT_EQ(victory->clientBottom, victory->bottom - 44);
    EXPECT_EQ(victory->GetMessageRect().top, victory->clientTop + 5);
    EXPECT_EQ(victory->GetMessageRect().bottom, victory->clientTop + 80);
    EXPECT_EQ(victory->GetStats()->top, victory->clientTop + 80);
    EXPECT_EQ(victory->GetStats()->bottom, victory->clientBottom);
    EXPECT_EQ(victory->GetStats()->GetParent(), victory);
    EXPECT_EQ(victory->GetContinueButton()->top, victory->clientBottom + 12);
    EXPECT_EQ(victory->GetContinueButton()->left, victory->clientLeft + 120);
    EXPECT_EQ(victory->GetCloseButton(), nullptr);
    EXPECT_TRUE(GUI_WindowManager::GetInstance().IsModalOpen());

    GUI_CampaignDefeat* defeat = GUI_CampaignDefeat::Open();
    ASSERT_NE(defeat, nullptr);
    EXPECT_EQ(defeat->GetMessage(), GetString("CAMPAIGN_DEFEAT_MESSAGE"));
    EXPECT_EQ(defeat->GetStats()->top, defeat->clientTop + 90);
    // Opening one again replaces it.
    EXPECT_EQ(GUI_CampaignVictory::GetOpen(), victory);
    GUI_CampaignVictory* again = GUI_CampaignVictory::Open();
    EXPECT_EQ(GUI_CampaignVictory::GetOpen(), again);
    GUI_CampaignVictory::CloseOpen();
    GUI_CampaignDefeat::CloseOpen();
    Frames(1);
}

} // namespace
