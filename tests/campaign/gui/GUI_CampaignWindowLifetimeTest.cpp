// Campaign windows follow what they show: each kind is opened, its fleet,
// ship or squadron taken away by every road the screens offer (a merge on the
// map, a move, a split, scrapping, merging squadrons, the model's own
// removals, Next Turn, leaving), frames run and the window closed. The test
// build runs under ASan, so a window that reached a freed fleet fails here.
// Escape and the map's zoom close the windows the way the player expects.
#include "CampaignScreenGame.h"

#include "campaign/gui/GUI_CampaignControlPanelBttm.h"
#include "campaign/gui/GUI_CampaignFacility.h"
#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignRepairs.h"
#include "campaign/gui/GUI_CampaignShipDetails.h"
#include "campaign/gui/GUI_CampaignShipIcon.h"
#include "campaign/gui/GUI_CampaignSquadronSize.h"
#include "campaign/gui/GUI_CampaignUIMemory.h"
#include "campaign/gui/GUI_EncounterDetails.h"
#include "campaign/gui/GUI_EndTurn.h"
#include "campaign/gui/GUI_FleetRename.h"
#include "campaign/gui/GUI_MapZoomer.h"
#include "campaign/gui/GUI_ScrapShip.h"
#include "campaign/gui/GUI_Shipyard.h"
#include "campaign/gui/GUI_ShipsLog.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"
#include "campaign/sim/SIM_CampaignFleetMerger.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "gui/GUI_RCMenuBase.h"
#include "gui/GUI_WindowManager.h"
#include "platform/IClock.h"

namespace {

class WindowLifetime : public CampaignScreenGame {
protected:
    void SetUp() override
    {
        CampaignScreenGame::SetUp();
        StartCampaign("lifetimetest");
        home = Homeworld();
        ASSERT_NE(home, nullptr);
    }
    void TearDown() override { Quit(); }

    static SIM_CampaignShip* AddSquadron(SIM_CampaignFleet* fleet, int quantity)
    {
        SIM_CampaignShip* ship = AddTestShip(fleet, "fed_sample_fighter", "Wing");
        ship->quantity = quantity;
        fleet->RecalculateTotals();
        return ship;
    }

    static bool Exists(int fleetId) { return SIM_CampaignProgress::GetInstance().FindFleet(fleetId) != nullptr; }

    static void Centre(const GUI_BaseElement& e, float& x, float& y)
    {
        x = (e.left + e.right) * 0.5f;
        y = (e.top + e.bottom) * 0.5f;
    }

    // The yard stands where the planet's fleet icons are on this screen: it
    // is moved aside as the player would drag it.
    static void MoveYardAside()
    {
        if (GUI_Shipyard* yard = GUI_Shipyard::GetOpen())
            yard->MoveTo(static_cast<float>(kWidth - yard->width - 10), 60.0f);
        Frames(1);
    }

    // The fleet's map icon dropped on the other fleet's icon: the map merges
    // the first into the second at the frame's end.
    static void DropIconOn(const SIM_CampaignFleet* dropped, const SIM_CampaignFleet* target)
    {
        GUI_PlayerFleetIcon* from = FleetIconOf(dropped);
        GUI_PlayerFleetIcon* onto = FleetIconOf(target);
        ASSERT_TRUE(from && onto);
        float fx, fy, tx, ty;
        Centre(*from, fx, fy);
        Centre(*onto, tx, ty);
        Drag(fx, fy, tx, ty, 2);
        Frames(2);
    }

    static void NextTurn()
    {
        Click(*GUI_CampaignMap::Get()->GetBottomPanel()->GetNextTurnButton());
        SettleTransition();
        Frames(2);
        GUI_EndTurn::CloseOpen();
        Frames(1);
    }

    SIM_CampaignEncounter* home = nullptr;
};

TEST_F(WindowLifetime, TheShipyardGoesWithItsFleetHoweverTheFleetGoes)
{
    // The fleet window's Build opens the yard for that fleet; its map icon is
    // then dropped on another fleet at the planet, which takes its ships.
    SIM_CampaignFleet* a = AddFleet(home);
    SIM_CampaignFleet* b = AddFleet(home);
    const int aId = a->id;
    GUI_CampaignFleetDetails* window = GUI_CampaignFleetDetails::ShowForFleet(a);
    Frames(1);
    Click(*window->GetBuildButton());
    ASSERT_NE(GUI_Shipyard::GetOpen(), nullptr);
    ASSERT_EQ(GUI_Shipyard::GetOpen()->GetFleet(), a);
    MoveYardAside();
    DropIconOn(a, b);
    EXPECT_FALSE(Exists(aId));
    EXPECT_EQ(b->GetShips().size(), 2u);
    EXPECT_EQ(GUI_Shipyard::GetOpen(), nullptr) << "the yard of a merged fleet closes";
    GUI_Shipyard::CloseOpen();
    Frames(2);

    // The yard's own new fleet, still empty, dropped on a fleet.
    const size_t fleets = SIM_CampaignProgress::GetInstance().GetFleets().size();
    ASSERT_NE(GUI_Shipyard::OpenWithNewFleet(home), nullptr);
    SIM_CampaignFleet* made = GUI_Shipyard::GetOpen()->GetFleet();
    MoveYardAside();
    DropIconOn(made, b);
    EXPECT_EQ(GUI_Shipyard::GetOpen(), nullptr);
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().GetFleets().size(), fleets);

    // Its last ship moved to another fleet's window.
    SIM_CampaignFleet* c = AddFleet(home);
    const int cId = c->id;
    GUI_Shipyard::Open(home, c);
    MoveYardAside();
    GUI_CampaignFleetDetails* wc = GUI_CampaignFleetDetails::ShowForFleet(c);
    GUI_CampaignFleetDetails* wb = GUI_CampaignFleetDetails::ShowForFleet(b);
    wc->MoveTo(50.0f, 300.0f);
    wb->MoveTo(620.0f, 300.0f);
    Frames(1);
    float fx, fy;
    Centre(*wc->GetIcons()[0], fx, fy);
    Drag(fx, fy, static_cast<float>(wb->right - 40), static_cast<float>(wb->bottom - 60));
    Frames(2);
    EXPECT_FALSE(Exists(cId));
    EXPECT_EQ(GUI_Shipyard::GetOpen(), nullptr);
    EXPECT_EQ(GUI_CampaignFleetDetails::GetAll().size(), 1u) << "the emptied fleet's window went with it";

    // Its last ship split off as a fleet of its own.
    SIM_CampaignFleet* d = AddFleet(home);
    const int dId = d->id;
    GUI_CampaignFleetDetails::CloseAll();
    GUI_Shipyard::Open(home, d);
    MoveYardAside();
    GUI_CampaignFleetDetails* wd = GUI_CampaignFleetDetails::ShowForFleet(d);
    Frames(1);
    Centre(*wd->GetIcons()[0], fx, fy);
    Drag(fx, fy, static_cast<float>(kWidth / 2), static_cast<float>(kHeight - 120));
    Frames(2);
    EXPECT_FALSE(Exists(dId));
    EXPECT_EQ(GUI_Shipyard::GetOpen(), nullptr);
    GUI_CampaignFleetDetails::CloseAll();

    // Its last ship scrapped from the ship's window.
    SIM_CampaignFleet* e = AddFleet(home);
    const int eId = e->id;
    GUI_Shipyard::Open(home, e);
    GUI_CampaignShipDetails* details = GUI_CampaignShipDetails::Open(e->GetShips()[0]);
    Frames(1);
    Click(*details->GetScrapButton());
    ASSERT_NE(GUI_ScrapShip::GetOpen(), nullptr);
    Click(*GUI_ScrapShip::GetOpen()->GetOkButton());
    Frames(1);
    EXPECT_FALSE(Exists(eId));
    EXPECT_EQ(GUI_Shipyard::GetOpen(), nullptr);
    EXPECT_EQ(GUI_CampaignShipDetails::GetOpen(), nullptr);

    // Next Turn and Quit after all that: the fleets left are whole.
    NextTurn();
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().turn, 1);
    ASSERT_TRUE(Exists(b->id));
    EXPECT_EQ(b->GetShips().size(), 3u) << "its own, the merged fleet's and the moved ship";
}

TEST_F(WindowLifetime, ShipWindowsGoWithTheirSquadronOrShipByEveryRoad)
{
    // Two squadrons merged by a drag: the dragged one's details, log and
    // menu close with it, and the screen's memory no longer names it.
    SIM_CampaignFleet* fleet = AddFleet(home, nullptr);
    SIM_CampaignShip* dragged = AddSquadron(fleet, 6);
    SIM_CampaignShip* kept = AddSquadron(fleet, 5);
    dragged->log->AddRepairEntry(10.0f, 0.5f);
    GUI_CampaignFleetDetails* window = GUI_CampaignFleetDetails::ShowForFleet(fleet);
    GUI_CampaignShipDetails::Open(dragged);
    GUI_ShipsLog::Open(dragged);
    GUI_ShipsLog::GetOpen()->MoveTo(10.0f, 10.0f);
    GUI_CampaignShipDetails::GetOpen()->MoveTo(static_cast<float>(kWidth - 300), 10.0f);
    Frames(1);
    float fx, fy, tx, ty;
    Centre(*window->GetIcons()[0], fx, fy);
    Centre(*window->GetIcons()[1], tx, ty);
    Drag(fx, fy, tx, ty);
    ASSERT_EQ(fleet->GetShips().size(), 1u);
    EXPECT_EQ(kept->quantity, 11);
    EXPECT_EQ(GUI_CampaignShipDetails::GetOpen(), nullptr);
    EXPECT_EQ(GUI_ShipsLog::GetOpen(), nullptr) << "the merged squadron's log is not drawn on";
    SaveCampaignUIMemory();
    Frames(2);

    // A ship's menu open when the model removes the ship goes too.
    SIM_CampaignShip* frigate = AddTestShip(fleet, "fed_sample_frigate", "Menu");
    GUI_CampaignFleetDetails::RefreshAll();
    Frames(1);
    GUI_CampaignShipRCMenu::Open(window->GetIcons().back());
    ASSERT_NE(dynamic_cast<GUI_CampaignShipRCMenu*>(GUI_RCMenuBase::GetOpen()), nullptr);
    ASSERT_TRUE(GUI_ScrapShip::Scrap(frigate));
    Frames(1);
    EXPECT_EQ(GUI_RCMenuBase::GetOpen(), nullptr);

    // The modal ship dialogs: their ship goes by the model's road (a lost
    // battle, a scrap from elsewhere) while they wait for the player.
    SIM_CampaignShip* named = AddTestShip(fleet, "fed_sample_frigate", "Named");
    GUI_FleetRename::OpenForShip(named);
    Frames(1);
    ASSERT_TRUE(GUI_ScrapShip::Scrap(named));
    Frames(1);
    EXPECT_EQ(GUI_FleetRename::GetOpen(), nullptr);
    EXPECT_TRUE(GUI_WindowManager::GetInstance().GetModalWindows().empty()) << "nothing holds the input";

    SIM_CampaignShip* wing = AddSquadron(fleet, 4);
    GUI_CampaignSquadronSize::Open(wing);
    GUI_ScrapShip::Open(wing);
    Frames(1);
    ASSERT_TRUE(GUI_ScrapShip::Scrap(wing));
    Frames(1);
    EXPECT_EQ(GUI_CampaignSquadronSize::GetOpen(), nullptr);
    EXPECT_EQ(GUI_ScrapShip::GetOpen(), nullptr) << "a scrap question about a ship gone already closes";

    // A fleet's rename dialog goes with the fleet merged into another.
    SIM_CampaignFleet* other = AddFleet(home);
    const int fleetId = fleet->id;
    GUI_FleetRename::Open(fleet);
    SIM_CampaignFleetMerger::SetMergePair(fleet, other);
    SIM_CampaignFleetMerger::ExecuteMerge();
    Frames(1);
    EXPECT_FALSE(Exists(fleetId));
    EXPECT_EQ(GUI_FleetRename::GetOpen(), nullptr);
    EXPECT_TRUE(GUI_CampaignFleetDetails::GetAll().empty());

    // Next Turn with a fleet, ship and log window open, then leaving the screen.
    GUI_CampaignFleetDetails::ShowForFleet(other);
    GUI_CampaignShipDetails::Open(other->GetShips()[0]);
    GUI_ShipsLog::Open(other->GetShips()[0]);
    NextTurn();
    EXPECT_TRUE(GUI_CampaignFleetDetails::GetAll().empty());
    EXPECT_EQ(GUI_CampaignShipDetails::GetOpen(), nullptr);
    EXPECT_EQ(GUI_ShipsLog::GetOpen(), nullptr);
}

TEST_F(WindowLifetime, TheRepairsStillLogTheVisitWhenTheirFleetIsMergedAway)
{
    SIM_CampaignFleet* fleet = AddFleet(home);
    SIM_CampaignFleet* other = AddFleet(home);
    SIM_CampaignShip* ship = fleet->GetShips()[0];
    SIM_CampaignModuleState& module = *ship->modules[0];
    module.damage.push_back({"dent", module.GetHitPoints() * 0.5f, 100});
    module.RecalculateIntegrity();
    ship->RecalculateIntegrity();
    SIM_CampaignProgress::GetInstance().cash = 1000;
    GUI_CampaignRepairs* repairs = GUI_CampaignRepairs::Open(fleet);
    ASSERT_NE(repairs, nullptr);
    repairs->RepairEntry(module, 0);
    Frames(1);
    const size_t logged = ship->log->GetEntries().size();
    SIM_CampaignFleetMerger::SetMergePair(fleet, other);
    SIM_CampaignFleetMerger::ExecuteMerge();
    Frames(1);
    EXPECT_EQ(GUI_CampaignRepairs::GetOpen(), nullptr);
    ASSERT_EQ(ship->fleet, other);
    ASSERT_EQ(ship->log->GetEntries().size(), logged + 1) << "the repair bill reached the ship's log";
    EXPECT_EQ(ship->log->GetEntries().back().kind, SIM_CampaignShipsLog::REPAIR);
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().cash, 900);
}

// The fleet, ship and ship's log windows are dialogs: Escape closes the one
// on top, and only with none left does it ask to quit.
TEST_F(WindowLifetime, EscapeClosesTheFleetShipAndLogWindowsBeforeAskingToQuit)
{
    SIM_CampaignFleet* fleet = AddFleet(home);
    SIM_CampaignShip* ship = fleet->GetShips()[0];
    for (int kind = 0; kind < 3; ++kind) {
        if (kind == 0)
            GUI_CampaignFleetDetails::ShowForFleet(fleet);
        else if (kind == 1)
            GUI_CampaignShipDetails::Open(ship);
        else
            GUI_ShipsLog::Open(ship);
        Frames(1);
        PressKey(SDL_SCANCODE_ESCAPE);
        EXPECT_TRUE(GUI_CampaignFleetDetails::GetAll().empty()) << kind;
        EXPECT_EQ(GUI_CampaignShipDetails::GetOpen(), nullptr) << kind;
        EXPECT_EQ(GUI_ShipsLog::GetOpen(), nullptr) << kind;
        EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr) << kind;
    }

    // All three opened as the player does, from the fleet: the newest goes first.
    GUI_CampaignFleetDetails::ShowForFleet(fleet);
    GUI_CampaignShipDetails::Open(ship);
    Click(*GUI_CampaignShipDetails::GetOpen()->GetLogButton());
    ASSERT_NE(GUI_ShipsLog::GetOpen(), nullptr);
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(GUI_ShipsLog::GetOpen(), nullptr);
    ASSERT_NE(GUI_CampaignShipDetails::GetOpen(), nullptr);
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(GUI_CampaignShipDetails::GetOpen(), nullptr);
    ASSERT_EQ(GUI_CampaignFleetDetails::GetAll().size(), 1u);
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_TRUE(GUI_CampaignFleetDetails::GetAll().empty());
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    PressKey(SDL_SCANCODE_ESCAPE);
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
}

// Zoomed in on the homeworld with its shipyard open, Escape closes the
// planet's window, and the second, zooming out, closes the yard with it.
TEST_F(WindowLifetime, ZoomingOutClosesThePlanetWindowAndTheShipyard)
{
    GUI_CampaignMap* map = GUI_CampaignMap::Get();
    GUI_MapZoomer& zoomer = map->GetZoomer();
    ManualClock clock;
    zoomer.SetClock(&clock);
    zoomer.ZoomTo(map->FindView(home));
    clock.Advance(600.0);
    Frames(1);
    ASSERT_EQ(zoomer.state, GUI_MapZoomer::ZOOMED_IN);
    GUI_EncounterDetails* planet = GUI_EncounterDetails::GetOpen();
    ASSERT_NE(planet, nullptr);
    GUI_CampaignFacility* yardPanel = nullptr;
    for (GUI_CampaignFacility* panel : planet->GetFacilityPanels())
        if (panel->GetFacility()->GetType()->facilityClass == SIM_CampaignFacilityType::SHIPYARD)
            yardPanel = panel;
    ASSERT_NE(yardPanel, nullptr);
    const size_t fleets = SIM_CampaignProgress::GetInstance().GetFleets().size();
    Click(*yardPanel->GetButton());
    ASSERT_NE(GUI_Shipyard::GetOpen(), nullptr);
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(GUI_EncounterDetails::GetOpen(), nullptr);
    EXPECT_NE(GUI_Shipyard::GetOpen(), nullptr) << "the first Escape takes the planet's window only";
    EXPECT_EQ(zoomer.state, GUI_MapZoomer::ZOOMED_IN);
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(zoomer.state, GUI_MapZoomer::ZOOMING_OUT);
    EXPECT_EQ(GUI_Shipyard::GetOpen(), nullptr);
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().GetFleets().size(), fleets) << "its empty fleet went with it";
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    clock.Advance(600.0);
    Frames(1);
    EXPECT_EQ(zoomer.state, GUI_MapZoomer::IDLE);
    zoomer.SetClock(nullptr);
}

// The save loaded again under open windows (every fleet and ship is made
// anew), then the screen left with them open: each window goes, none acts on
// what it showed, and the yard deletes no fleet of the loaded save.
TEST_F(WindowLifetime, EveryShipAndFleetWindowGoesWhenTheSaveIsLoadedAgainOrTheScreenLeft)
{
    const auto openAll = [&](SIM_CampaignFleet* fleet) {
        SIM_CampaignShip* wing = AddSquadron(fleet, 3);
        SIM_CampaignShip* ship = fleet->GetShips()[0];
        GUI_CampaignFleetDetails::ShowForFleet(fleet);
        GUI_Shipyard::Open(home, fleet);
        GUI_CampaignShipDetails::Open(ship);
        GUI_ShipsLog::Open(ship);
        GUI_FleetRename::Open(fleet);
        GUI_CampaignSquadronSize::Open(wing);
        GUI_ScrapShip::Open(ship);
        Frames(1);
        ASSERT_EQ(GUI_CampaignFleetDetails::GetAll().size(), 1u);
        ASSERT_NE(GUI_Shipyard::GetOpen(), nullptr);
        ASSERT_NE(GUI_CampaignShipDetails::GetOpen(), nullptr);
        ASSERT_NE(GUI_ShipsLog::GetOpen(), nullptr);
        ASSERT_NE(GUI_FleetRename::GetOpen(), nullptr);
        ASSERT_NE(GUI_CampaignSquadronSize::GetOpen(), nullptr);
        ASSERT_NE(GUI_ScrapShip::GetOpen(), nullptr);
    };
    const auto noneLeft = [](const char* route) {
        EXPECT_TRUE(GUI_CampaignFleetDetails::GetAll().empty()) << route;
        EXPECT_EQ(GUI_Shipyard::GetOpen(), nullptr) << route;
        EXPECT_EQ(GUI_CampaignShipDetails::GetOpen(), nullptr) << route;
        EXPECT_EQ(GUI_ShipsLog::GetOpen(), nullptr) << route;
        EXPECT_EQ(GUI_FleetRename::GetOpen(), nullptr) << route;
        EXPECT_EQ(GUI_CampaignSquadronSize::GetOpen(), nullptr) << route;
        EXPECT_EQ(GUI_ScrapShip::GetOpen(), nullptr) << route;
        EXPECT_EQ(GUI_CampaignRepairs::GetOpen(), nullptr) << route;
        EXPECT_TRUE(GUI_WindowManager::GetInstance().GetModalWindows().empty()) << route;
    };

    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    SIM_CampaignFleet* fleet = AddFleet(home);
    ASSERT_NO_FATAL_FAILURE(openAll(fleet));
    ASSERT_TRUE(progress.Save());
    const size_t fleets = progress.GetFleets().size();
    ASSERT_TRUE(progress.Load("lifetimetest"));
    Frames(2);
    noneLeft("load");
    EXPECT_EQ(progress.GetFleets().size(), fleets) << "the yard let go of a fleet it no longer held";

    // The repairs of a fleet of the loaded save, loaded over once more.
    SIM_CampaignFleet* loaded = progress.GetFleets().back();
    SIM_CampaignShip* hurt = loaded->GetShips()[0];
    SIM_CampaignModuleState& module = *hurt->modules[0];
    module.damage.push_back({"dent", module.GetHitPoints() * 0.5f, 100});
    module.RecalculateIntegrity();
    hurt->RecalculateIntegrity();
    ASSERT_TRUE(progress.Save());
    ASSERT_NE(GUI_CampaignRepairs::Open(loaded), nullptr);
    Frames(1);
    ASSERT_TRUE(progress.Load("lifetimetest"));
    Frames(2);
    noneLeft("load under the repairs");

    // Every window open as the screen is left, and the campaign taken up again.
    ASSERT_NO_FATAL_FAILURE(openAll(progress.GetFleets().back()));
    Quit();
    noneLeft("leave");
    StartCampaign("lifetimetest");
    home = Homeworld();
    ASSERT_NE(home, nullptr);
    noneLeft("back");
}

} // namespace
