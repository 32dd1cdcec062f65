// The shipyard, the planet's facility panels, fleet windows with their ship
// tiles and the ship dialogs, used headless through the real game with the
// mouse as the player uses them.
#include "CampaignScreenGame.h"

#include "campaign/gui/GUI_CampaignControlPanelBttm.h"
#include "campaign/gui/GUI_CampaignDesignDetails.h"
#include "campaign/gui/GUI_CampaignDesignIcon.h"
#include "campaign/gui/GUI_CampaignDesignPicker.h"
#include "campaign/gui/GUI_CampaignFacility.h"
#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignModuleIcon.h"
#include "campaign/gui/GUI_CampaignShipDetails.h"
#include "campaign/gui/GUI_CampaignShipIcon.h"
#include "campaign/gui/GUI_CampaignShipSummary.h"
#include "campaign/gui/GUI_CampaignSquadronSize.h"
#include "campaign/gui/GUI_CampaignStats.h"
#include "campaign/gui/GUI_CampaignUIMemory.h"
#include "campaign/gui/GUI_EncounterDetails.h"
#include "campaign/gui/GUI_EndTurn.h"
#include "campaign/gui/GUI_FleetRename.h"
#include "campaign/gui/GUI_ScrapShip.h"
#include "campaign/gui/GUI_Shipyard.h"
#include "campaign/gui/GUI_ShipyardQuantity.h"
#include "frontend/GUI_OptionsSlider.h"
#include "engine/LibText.h"
#include "campaign/gui/GUI_CampaignFleetManager.h"
#include "campaign/gui/GUI_IncomeManager.h"
#include "campaign/gui/GUI_RecruitmentManager.h"
#include "campaign/gui/GUI_ShipsLog.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "campaign/sim/SIM_CampaignShipyard.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "engine/D3DEngine.h"
#include "engine/GFileList.h"
#include "engine/GHashTable.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"
#include "gui/GUI_CloseButton.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_ScrollingWindow.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_TitleBar.h"
#include "gui/GUI_WindowManager.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "prep/GUI_DeploymentDesignPicker.h"
#include "prep/GUI_ModuleIconRCMenu.h"
#include "prep/GUI_ModulePopup.h"
#include "campaign/gui/GUI_CampaignRefit.h"
#include "prep/GUI_ShipDesignGUI.h"
#include "prep/GUI_ShipDesignSummary.h"
#include "engine/APP_UserFolders.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"

#include <algorithm>
#include <filesystem>

namespace {

class Shipyard : public CampaignScreenGame {
protected:
    void SetUp() override
    {
        CampaignScreenGame::SetUp();
        StartCampaign("yardtest");
        home = Homeworld();
        ASSERT_NE(home, nullptr);
    }
    void TearDown() override { Quit(); }

    static GUI_CampaignFacility* PanelOfClass(int facilityClass)
    {
        GUI_EncounterDetails* details = GUI_EncounterDetails::GetOpen();
        if (!details)
            return nullptr;
        for (GUI_CampaignFacility* p : details->GetFacilityPanels())
            if (p->GetFacility()->GetType()->facilityClass == facilityClass)
                return p;
        return nullptr;
    }

    static size_t FleetCount() { return SIM_CampaignProgress::GetInstance().GetFleets().size(); }

    static SIM_CampaignShip* AddShip(SIM_CampaignFleet* fleet, const char* design, int quantity)
    {
        auto* ship = new SIM_CampaignShip();
        ship->SetDesign(SIM_ShipDesign::Find(design));
        ship->id = SIM_CampaignShip::GetNextFreeID();
        ship->name = "Tile";
        ship->quantity = quantity;
        ship->InitModuleStates();
        fleet->AddShip(ship);
        return ship;
    }

    static void Centre(const GUI_BaseElement& e, float& x, float& y)
    {
        x = (e.left + e.right) * 0.5f;
        y = (e.top + e.bottom) * 0.5f;
    }

    SIM_CampaignEncounter* home = nullptr;
};

TEST_F(Shipyard, ANewcomerBuildsAShipAtTheHomeShipyardAndKeepsTheFleet)
{
    ShowEncounterDetails(home);
    Frames(1);
    GUI_CampaignFacility* yard = PanelOfClass(SIM_CampaignFacilityType::SHIPYARD);
    ASSERT_NE(yard, nullptr);
    ASSERT_TRUE(yard->GetButton()->enabled);
    const size_t fleets = FleetCount();
    Click(*yard->GetButton());
    GUI_Shipyard* shipyard = GUI_Shipyard::GetOpen();
    ASSERT_NE(shipyard, nullptr);
    SIM_CampaignFleet* fleet = shipyard->GetFleet();
    EXPECT_EQ(FleetCount(), fleets + 1);
    EXPECT_TRUE(fleet->GetShips().empty());
    // The race's designs are listed behind the new-design icon, the first chosen.
    GUI_CampaignDesignPicker* picker = shipyard->GetPicker();
    ASSERT_FALSE(picker->GetDesigns().empty());
    EXPECT_TRUE(picker->GetIcons().front()->IsNewDesign());
    EXPECT_EQ(shipyard->GetSelectedDesign(), picker->GetDesigns().front());

    // Choose the cruiser by its tile and build it.
    GUI_CampaignDesignIcon* cruiserIcon = nullptr;
    for (GUI_CampaignDesignIcon* icon : picker->GetIcons())
        if (icon->GetDesign() && icon->GetDesign()->GetHull()->GetClass() == 0)
            cruiserIcon = icon;
    ASSERT_NE(cruiserIcon, nullptr);
    SIM_ShipDesign* cruiser = cruiserIcon->GetDesign();
    Click(*cruiserIcon);
    ASSERT_EQ(shipyard->GetSelectedDesign(), cruiser);
    EXPECT_FALSE(shipyard->GetQuantityPanel()->visible);
    ASSERT_TRUE(shipyard->GetBuildButton()->enabled);
    const int cash = SIM_CampaignProgress::GetInstance().cash;
    const int crew = SIM_CampaignProgress::GetInstance().crew;
    Click(*shipyard->GetBuildButton());
    ASSERT_EQ(fleet->GetShips().size(), 1u);
    EXPECT_EQ(fleet->GetShips()[0]->design, cruiser);
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().cash, cash - static_cast<int>(cruiser->GetCost()));
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().crew, crew - cruiser->GetCrewRequired());

    // Closing keeps the fleet that got a ship.
    Click(*shipyard->GetCloseButton());
    Frames(1);
    EXPECT_EQ(GUI_Shipyard::GetOpen(), nullptr);
    EXPECT_EQ(FleetCount(), fleets + 1);
    EXPECT_NE(SIM_CampaignProgress::GetInstance().FindFleet(fleet->id), nullptr);

    // The button toggles: pressed twice, the yard closes and no empty fleet remains.
    ShowEncounterDetails(home);
    Frames(1);
    yard = PanelOfClass(SIM_CampaignFacilityType::SHIPYARD);
    Click(*yard->GetButton());
    ASSERT_NE(GUI_Shipyard::GetOpen(), nullptr);
    EXPECT_EQ(FleetCount(), fleets + 2);
    Click(*yard->GetButton());
    Frames(1);
    EXPECT_EQ(GUI_Shipyard::GetOpen(), nullptr);
    EXPECT_EQ(FleetCount(), fleets + 1);
    CloseEncounterDetails();
}

TEST_F(Shipyard, ASquadronCostsPerFighterAndNeedsOneCrewEach)
{
    SIM_CampaignFleet* fleet = AddFleet(home, nullptr);
    GUI_Shipyard* yard = GUI_Shipyard::Open(home, fleet);
    SIM_ShipDesign* fighter = SIM_ShipDesign::Find("fed_sample_fighter");
    ASSERT_NE(fighter, nullptr);
    yard->SelectDesign(fighter);
    ASSERT_TRUE(yard->GetQuantityPanel()->visible);
    EXPECT_EQ(GUI_Shipyard::GetBuildQuantity(), 16);
    GUI_CampaignShipSummary* summary = yard->GetDetails()->GetSummary();
    EXPECT_EQ(summary->GetTitle(), fighter->GetGuiName()) << "its display name, not its file's";
    EXPECT_NE(summary->GetTitle(), fighter->GetName());
    EXPECT_EQ(summary->GetCrewText(), "16");
    EXPECT_EQ(summary->GetCostText(), GUI_CampaignShipSummary::CostText(fighter->GetCost(), 16, true));
    EXPECT_EQ(GUI_CampaignShipSummary::CostText(45.0f, 16, true), "45 CR ( X 16 = 720)");
    EXPECT_EQ(GUI_CampaignShipSummary::CostText(1234.9f, 16, false), "1,234 CR");
    Frames(1);
    {
        // The squadron's sum keeps clear of its "Cost" label, smaller but
        // still readable; a single ship's cost stays at full size.
        LibText& text = LibText::GetInstance();
        text.SetFont("zekton16.dds", GUI_CampaignShipSummary::kFontSize);
        const int labelRight = summary->left + 10 + text.GetTextWidth(GetString("CAMP_SUM_COST"));
        ASSERT_GT(labelRight + GUI_CampaignShipSummary::kLabelGap + text.GetTextWidth(summary->GetCostText()),
                  summary->right - 10)
            << "at full size the sum would reach the label";
        const float size = summary->GetCostSize();
        EXPECT_LT(size, GUI_CampaignShipSummary::kFontSize);
        EXPECT_GE(size, GUI_CampaignShipSummary::kMinFontSize);
        text.SetFont("zekton16.dds", size);
        EXPECT_LE(labelRight + GUI_CampaignShipSummary::kLabelGap + text.GetTextWidth(summary->GetCostText()),
                  summary->right - 10);
        // The caption stands left of the slider, clear of the knob at its left end.
        GUI_ShipyardQuantity* panel = yard->GetQuantityPanel();
        text.SetFont("zekton16.dds", GUI_ShipyardQuantity::kFontSize);
        EXPECT_EQ(panel->GetCaption(), GetString("GUI_SQUADRON_SLIDER") + std::string(" (16)"));
        const int captionRight = panel->left + GUI_ShipyardQuantity::kCaptionLeft + text.GetTextWidth(panel->GetCaption());
        EXPECT_LT(captionRight, panel->GetSlider()->GetTrack().left - GUI_OptionsSlider::kKnobSize / 2);
        EXPECT_LE(panel->GetSlider()->GetTrack().right, panel->right);
        EXPECT_GE(panel->GetSlider()->GetKnobY() - GUI_OptionsSlider::kKnobSize / 2, panel->top);
        EXPECT_LE(panel->GetSlider()->GetKnobY() + GUI_OptionsSlider::kKnobSize / 2, panel->bottom);
        SIM_ShipDesign* cruiser = SIM_ShipDesign::Find("fed_sample_cruiser");
        ASSERT_NE(cruiser, nullptr);
        yard->SelectDesign(cruiser);
        Frames(1);
        EXPECT_EQ(summary->GetCostSize(), GUI_CampaignShipSummary::kFontSize);
        yard->SelectDesign(fighter);
        Frames(1);
    }

    // Crew for 15 fighters but not 16: refused for crew, then the slider's left end builds one.
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    progress.crew = 15;
    yard->UpdateBuildButton();
    EXPECT_EQ(yard->GetBuildState(), GUI_Shipyard::NO_CREW);
    EXPECT_FALSE(yard->GetBuildButton()->enabled);
    EXPECT_EQ(GUI_ShipyardQuantity::QuantityFromSlider(0.0f), 1);
    EXPECT_EQ(GUI_ShipyardQuantity::QuantityFromSlider(1.0f), 16);
    EXPECT_EQ(GUI_ShipyardQuantity::QuantityFromSlider(0.99f), 15);
    yard->GetQuantityPanel()->SetSliderValue(0.0f);
    EXPECT_EQ(GUI_Shipyard::GetBuildQuantity(), 1);
    EXPECT_TRUE(yard->GetBuildButton()->enabled);
    Click(*yard->GetBuildButton());
    ASSERT_EQ(fleet->GetShips().size(), 1u);
    EXPECT_EQ(fleet->GetShips()[0]->quantity, 1);
    EXPECT_EQ(progress.crew, 14);

    // The fleet sent off while the yard stays open: Build gives it no ship
    // and the button says why.
    ASSERT_TRUE(yard->GetBuildButton()->enabled);
    ASSERT_FALSE(home->neighbours.empty());
    fleet->SetLocation(home->neighbours.front());
    const int cash = progress.cash;
    Click(*yard->GetBuildButton());
    EXPECT_EQ(fleet->GetShips().size(), 1u);
    EXPECT_EQ(progress.cash, cash);
    EXPECT_EQ(yard->GetBuildState(), SIM_CampaignShipyard::FLEET_AWAY);
    EXPECT_FALSE(yard->GetBuildButton()->enabled);
    ASSERT_NE(yard->GetBuildButton()->GetTooltip(), nullptr);
    EXPECT_EQ(yard->GetBuildButton()->GetTooltip()->GetLines().front(), GetString("SHIPYARD_FLEETAWAY_TOOLTIP"));
    fleet->SetLocation(home);

    // Too little of both: the cash is named.
    progress.cash = 0;
    progress.crew = 0;
    yard->UpdateBuildButton();
    EXPECT_EQ(yard->GetBuildState(), GUI_Shipyard::NO_CASH);
    GUI_Shipyard::CloseOpen();
    Frames(1);
    // Opened for a fleet that has ships, the yard never deletes it.
    EXPECT_NE(SIM_CampaignProgress::GetInstance().FindFleet(fleet->id), nullptr);
}

TEST_F(Shipyard, DesignIconsGiveTheLastFailingReasonAndAFighterYardRefusesCruisers)
{
    using Icon = GUI_CampaignDesignIcon;
    EXPECT_EQ(Icon::StateFor(100.0f, 5, false, 1, 100, 5, true), Icon::BUILDABLE);
    EXPECT_EQ(Icon::StateFor(100.0f, 5, false, 1, 99, 5, true), Icon::NO_CASH);
    EXPECT_EQ(Icon::StateFor(100.0f, 5, false, 1, 99, 4, true), Icon::NO_CREW);
    EXPECT_EQ(Icon::StateFor(100.0f, 5, false, 1, 0, 0, false), Icon::WRONG_CLASS);
    // Affordable once, not as a squadron of 16.
    EXPECT_EQ(Icon::StateFor(50.0f, 1, true, 16, 799, 16, true), Icon::NO_CASH);
    EXPECT_EQ(Icon::StateFor(50.0f, 99, true, 16, 800, 16, true), Icon::BUILDABLE);

    SIM_CampaignEncounter* fighterYard = nullptr;
    for (SIM_CampaignEncounter* e : SIM_CampaignEncounter::GetAll())
        if (e->HasFacilityOfType("shipyardc") && !e->CanBuildClass(0))
            fighterYard = e;
    ASSERT_NE(fighterYard, nullptr);
    SIM_CampaignFleet* fleet = AddFleet(fighterYard, nullptr);
    const int fleetId = fleet->id;
    GUI_Shipyard* yard = GUI_Shipyard::Open(fighterYard, fleet);
    yard->SelectDesign(SIM_ShipDesign::Find("fed_sample_cruiser"));
    EXPECT_FALSE(yard->GetBuildButton()->enabled);
    EXPECT_EQ(yard->GetBuildState(), 3);
    bool cruiserRefused = false;
    for (GUI_CampaignDesignIcon* icon : yard->GetPicker()->GetIcons())
        if (icon->GetDesign() && icon->GetDesign()->GetHull()->GetClass() == 0)
            cruiserRefused = icon->GetState() == Icon::WRONG_CLASS && icon->IsRefused();
    EXPECT_TRUE(cruiserRefused);
    GUI_Shipyard::CloseOpen();
    Frames(1);
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().FindFleet(fleetId), nullptr);
    EXPECT_EQ(GUI_CampaignDesignPicker::CellCapacity(64 * 3), 3);
    EXPECT_EQ(GUI_CampaignDesignPicker::CellCapacity(64 * 3 + 1), 5);
}

TEST_F(Shipyard, FacilityPanelsEnableByTerritoryAndNeed)
{
    EXPECT_EQ(GUI_CampaignFacility::ShipyardClassesText("shipyardc"), GetString("FACILITY_REPAIR_FIGHTER"));
    EXPECT_EQ(GUI_CampaignFacility::ShipyardClassesText("shipyarda"),
              std::string(GetString("FACILITY_REPAIR_FIGHTER")) + "," + GetString("FACILITY_REPAIR_FRIGATE") + "," +
                  GetString("FACILITY_REPAIR_CRUISER"));
    // A value wider than the room beside its label shrinks to fit, down to 10.
    EXPECT_FLOAT_EQ(GUI_CampaignFacility::ValueFontSize(190, 190), 16.0f);
    EXPECT_FLOAT_EQ(GUI_CampaignFacility::ValueFontSize(240, 180), 12.0f);
    EXPECT_FLOAT_EQ(GUI_CampaignFacility::ValueFontSize(400, 100), 10.0f);
    EXPECT_FLOAT_EQ(GUI_CampaignFacility::ValueFontSize(0, -5), 16.0f);
    for (SIM_CampaignEncounter* e : SIM_CampaignEncounter::GetAll()) {
        for (const auto& f : e->facilities) {
            GUI_CampaignFacility panel(f.get());
            const int cls = f->GetType()->facilityClass;
            if (cls == SIM_CampaignFacilityType::SHIPYARD) {
                EXPECT_EQ(panel.GetButton()->enabled, e->territory == SIM_CampaignEncounter::PLAYER) << e->name;
            } else if (cls == SIM_CampaignFacilityType::REPAIRYARD) {
                EXPECT_FALSE(panel.GetButton()->enabled) << "no fleet needs repair yet";
            } else {
                EXPECT_EQ(panel.GetButton(), nullptr);
            }
        }
    }
}

TEST_F(Shipyard, NextTurnClosesTheYardFirstSoItsEmptyFleetIsNeitherSavedNorShown)
{
    const size_t before = FleetCount();
    ASSERT_NE(GUI_Shipyard::OpenWithNewFleet(home), nullptr);
    ASSERT_EQ(FleetCount(), before + 1);
    Frames(1);
    Click(*GUI_CampaignMap::Get()->GetBottomPanel()->GetNextTurnButton());
    SettleTransition();
    Frames(2);
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().turn, 1);
    EXPECT_EQ(GUI_Shipyard::GetOpen(), nullptr);
    EXPECT_EQ(FleetCount(), before);
    // The turn's save holds no fleet file for it.
    GFileList files;
    files.FindFiles(SIM_CampaignProgress::GetInstance().GetSaveFolder() + "/fleets/*.txt");
    EXPECT_EQ(files.names.size(), before);
    for (const SIM_CampaignFleet* f : home->fleets)
        EXPECT_FALSE(f->GetShips().empty());
    GUI_EndTurn::CloseOpen();
    Frames(1);
}

TEST_F(Shipyard, FleetWindowsSizeByShipsAndCascade)
{
    EXPECT_EQ(GUI_CampaignFleetDetails::HeightFor(0), 88);
    EXPECT_EQ(GUI_CampaignFleetDetails::HeightFor(7), 152);
    EXPECT_EQ(GUI_CampaignFleetDetails::HeightFor(8), 216);
    EXPECT_EQ(GUI_CampaignFleetDetails::HeightFor(43), 472);
    EXPECT_EQ(GUI_CampaignFleetDetails::HeightFor(200), 472);
    SIM_CampaignFleet* big = AddFleet(home, nullptr);
    for (int i = 0; i < 43; ++i)
        AddShip(big, "fed_sample_frigate", 1);
    SIM_CampaignFleet* small = AddFleet(home);
    GUI_CampaignFleetDetails* first = GUI_CampaignFleetDetails::ShowForFleet(big);
    EXPECT_EQ(first->height, 472);
    EXPECT_EQ(first->GetRowsShown(), 6);
    EXPECT_EQ(first->GetScrollBar()->maximum, 1);
    EXPECT_TRUE(first->GetScrollBar()->visible);
    GUI_CampaignFleetDetails* second = GUI_CampaignFleetDetails::ShowForFleet(small);
    EXPECT_EQ(second->left, first->left + 50);
    EXPECT_EQ(second->top, first->top + 50);
    EXPECT_EQ(GUI_CampaignFleetDetails::ShowForFleet(big), first);
    // Scrolled one row: the first tile shown is the eighth ship.
    first->GetScrollBar()->ScrollDown();
    Frames(1);
    const auto& icons = first->GetIcons();
    ASSERT_EQ(icons.size(), 43u);
    EXPECT_EQ(icons[7]->GetParent(), first);
    EXPECT_EQ(icons[6]->GetParent(), nullptr);
    // A home planet with a shipyard offers building.
    EXPECT_TRUE(first->GetBuildButton()->enabled);
    GUI_CampaignFleetDetails::CloseAll();
}

TEST_F(Shipyard, FighterSquadronsMergeUpToSixteenAndOtherwiseShowTheirDetails)
{
    SIM_CampaignFleet* fleet = AddFleet(home, nullptr);
    SIM_CampaignShip* ten = AddShip(fleet, "fed_sample_fighter", 10);
    SIM_CampaignShip* seven = AddShip(fleet, "fed_sample_fighter", 7);
    SIM_CampaignShip* six = AddShip(fleet, "fed_sample_fighter", 6);
    GUI_CampaignFleetDetails* window = GUI_CampaignFleetDetails::ShowForFleet(fleet);
    Frames(1);
    float fx, fy, tx, ty;
    Centre(*window->GetIcons()[0], fx, fy);
    Centre(*window->GetIcons()[1], tx, ty);
    Drag(fx, fy, tx, ty);
    EXPECT_EQ(fleet->GetShips().size(), 3u) << "10 + 7 is more than a squadron";
    EXPECT_EQ(seven->quantity, 7);
    ASSERT_NE(GUI_CampaignShipDetails::GetOpen(), nullptr);
    EXPECT_EQ(GUI_CampaignShipDetails::GetOpen()->GetShip(), ten);
    GUI_CampaignShipDetails::CloseOpen();
    Frames(1);
    Centre(*window->GetIcons()[0], fx, fy);
    Centre(*window->GetIcons()[2], tx, ty);
    Drag(fx, fy, tx, ty);
    ASSERT_EQ(fleet->GetShips().size(), 2u);
    EXPECT_EQ(six->quantity, 16);
    EXPECT_EQ(fleet->shipCount, 23);
    GUI_CampaignFleetDetails::CloseAll();
    EXPECT_TRUE(GUI_CampaignFleetDetails::CanMerge(six, seven) == false);
}

TEST_F(Shipyard, ShipsMoveBetweenFleetsAndSplitOffAndEmptiedFleetsGo)
{
    SIM_CampaignFleet* a = AddFleet(home);
    SIM_CampaignFleet* b = AddFleet(home);
    const int aId = a->id;
    GUI_CampaignFleetDetails* wa = GUI_CampaignFleetDetails::ShowForFleet(a);
    GUI_CampaignFleetDetails* wb = GUI_CampaignFleetDetails::ShowForFleet(b);
    Frames(1);
    // A's only ship onto B's window: it moves and A goes with its window.
    float fx, fy;
    Centre(*wa->GetIcons()[0], fx, fy);
    Drag(fx, fy, static_cast<float>(wb->right - 40), static_cast<float>(wb->bottom - 60));
    Frames(2);
    EXPECT_EQ(b->GetShips().size(), 2u);
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().FindFleet(aId), nullptr);
    EXPECT_EQ(GUI_CampaignFleetDetails::GetAll().size(), 1u);

    // Dragged out of every window, a ship becomes a fleet of its own.
    const size_t fleets = FleetCount();
    Centre(*wb->GetIcons()[1], fx, fy);
    Drag(fx, fy, 60.0f, 60.0f);
    Frames(2);
    EXPECT_EQ(b->GetShips().size(), 1u);
    EXPECT_EQ(FleetCount(), fleets + 1);
    ASSERT_EQ(GUI_CampaignFleetDetails::GetAll().size(), 2u);
    SIM_CampaignFleet* split = GUI_CampaignFleetDetails::GetAll().back()->GetFleet();
    ASSERT_NE(split, nullptr);
    EXPECT_NE(split, b);
    EXPECT_EQ(split->location, home);

    // The last ship split off: its old fleet goes instead of lingering empty.
    const int bId = b->id;
    GUI_CampaignFleetDetails::CloseForFleet(split);
    Frames(1);
    Centre(*wb->GetIcons()[0], fx, fy);
    Drag(fx, fy, 60.0f, 60.0f);
    Frames(2);
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().FindFleet(bId), nullptr);
    EXPECT_EQ(FleetCount(), fleets + 1);
    GUI_CampaignFleetDetails::CloseAll();
}

TEST_F(Shipyard, AFleetAPendingBattleCountsOnKeepsItsLastShip)
{
    SIM_CampaignEncounter* enemy = EnemyNeighbour(home);
    ASSERT_NE(enemy, nullptr);
    SIM_CampaignFleet* attacker = AddFleet(home);
    SIM_CampaignBattleManager::GetInstance().AddPlayerAttack(enemy, attacker);
    EXPECT_FALSE(GUI_CampaignFleetDetails::MayTakeShipFrom(attacker));
    GUI_CampaignFleetDetails* w = GUI_CampaignFleetDetails::ShowForFleet(attacker);
    Frames(1);
    const size_t fleets = FleetCount();
    float fx, fy;
    Centre(*w->GetIcons()[0], fx, fy);
    Drag(fx, fy, 60.0f, 60.0f);
    Frames(2);
    EXPECT_EQ(attacker->GetShips().size(), 1u);
    EXPECT_EQ(FleetCount(), fleets);
    // Nor can it be scrapped.
    EXPECT_FALSE(GUI_ScrapShip::Scrap(attacker->GetShips()[0]));
    EXPECT_EQ(attacker->GetShips().size(), 1u);
    GUI_CampaignFleetDetails::CloseAll();
    SIM_CampaignBattleManager::GetInstance().Clear();
}

TEST_F(Shipyard, ScrappingPaysAQuarterByIntegrityAndClosesItsWindows)
{
    EXPECT_EQ(GUI_ScrapShip::ScrapValue(0.5f, 1000.0f), 125);
    EXPECT_EQ(GUI_ScrapShip::ScrapValue(0.999f, 1000.0f), 249);
    EXPECT_EQ(GUI_ScrapShip::ScrapValue(1.0f, 40.0f), 10);
    EXPECT_EQ(GUI_ScrapShip::ScrapValue(0.0f, 1000.0f), 0);
    SIM_CampaignFleet* fleet = AddFleet(home);
    const int id = fleet->id;
    SIM_CampaignShip* ship = fleet->GetShips()[0];
    GUI_CampaignFleetDetails::ShowForFleet(fleet);
    GUI_CampaignShipDetails* details = GUI_CampaignShipDetails::Open(ship);
    GUI_ShipsLog::Open(ship);
    Frames(1);
    const int cash = SIM_CampaignProgress::GetInstance().cash;
    const int value = GUI_ScrapShip::ScrapValue(ship->integrity, ship->design->GetCost());
    Click(*details->GetScrapButton());
    GUI_ScrapShip* scrap = GUI_ScrapShip::GetOpen();
    ASSERT_NE(scrap, nullptr);
    EXPECT_EQ(scrap->GetScrapValue(), value);
    EXPECT_EQ(scrap->GetRowValue(1), ship->design->GetGuiName()) << "the design by its display name";
    Click(*scrap->GetOkButton());
    Frames(1);
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().cash, cash + value);
    EXPECT_EQ(GUI_ShipsLog::GetOpen(), nullptr);
    EXPECT_EQ(GUI_CampaignShipDetails::GetOpen(), nullptr);
    EXPECT_EQ(GUI_ScrapShip::GetOpen(), nullptr);
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().FindFleet(id), nullptr);
    EXPECT_TRUE(GUI_CampaignFleetDetails::GetAll().empty() ||
                GUI_WindowManager::GetInstance().GetQueuedCount() > 0);
    Frames(1);
    EXPECT_TRUE(GUI_CampaignFleetDetails::GetAll().empty());
    const SIM_CampaignStats::Entry* scrapped = SIM_CampaignProgress::GetInstance().GetStats().Find("ships_scrapped");
    ASSERT_NE(scrapped, nullptr);
    EXPECT_EQ(scrapped->count, 1);
}

TEST_F(Shipyard, ShipDetailsLogAndMenusHaveTheirSizes)
{
    SIM_CampaignFleet* fleet = AddFleet(home, nullptr);
    SIM_CampaignShip* frigate = AddShip(fleet, "fed_sample_frigate", 1);
    SIM_CampaignShip* fighter = AddShip(fleet, "fed_sample_fighter", 9);
    EXPECT_EQ(GUI_CampaignShipDetails::HeightFor(12) - GUI_CampaignShipDetails::HeightFor(0), 3 * 44);
    GUI_CampaignShipDetails* details = GUI_CampaignShipDetails::Open(frigate);
    EXPECT_EQ(details->width, 262);
    EXPECT_EQ(details->height, GUI_CampaignShipDetails::HeightFor(static_cast<int>(frigate->design->GetModules().size())));
    const int modules = static_cast<int>(frigate->modules.size());
    EXPECT_EQ(static_cast<int>(details->GetDetails()->GetModuleIcons().size()),
              GUI_CampaignDesignDetails::CellCount(modules, true));
    EXPECT_EQ(GUI_CampaignDesignDetails::CellCount(7, true), 10);
    EXPECT_EQ(GUI_CampaignDesignDetails::CellCount(7, false), 25);
    GUI_CampaignShipDetails::CloseOpen();

    // The log: two rows make 182 pixels, nine make 362 and scroll by four.
    EXPECT_EQ(GUI_ShipsLog::HeightFor(2), 182);
    EXPECT_EQ(GUI_ShipsLog::HeightFor(9), 362);
    for (int i = 0; i < 8; ++i)
        frigate->log->AddRepairEntry(10.0f, 0.5f);
    frigate->log->AddConstructionEntry(home);
    GUI_ShipsLog* log = GUI_ShipsLog::Open(frigate);
    EXPECT_EQ(log->height, 362);
    EXPECT_EQ(log->GetRowsShown(), 5);
    EXPECT_EQ(log->GetScrollBar()->maximum, 4);
    EXPECT_NE(log->GetTitle().find(frigate->name), std::string::npos);
    float cell[4];
    GUI_ShipsLogEntry::IconCell(SIM_CampaignShipsLog::CONSTRUCTION, cell);
    EXPECT_FLOAT_EQ(cell[0], 0.0f);
    EXPECT_FLOAT_EQ(cell[2], 0.25f);
    GUI_ShipsLogEntry::IconCell(SIM_CampaignShipsLog::CAPTURED, cell);
    EXPECT_FLOAT_EQ(cell[1], 0.5f);
    EXPECT_FLOAT_EQ(cell[3], 1.0f);
    GUI_ShipsLog::CloseOpen();

    // The health bar: 0.375 of 40 pixels is 15 green.
    EXPECT_EQ(GUI_CampaignHealthBar::SplitX(100, 140, 0.375f), 115);
    // The menu keeps on screen, and offers the squadron size to fighters only.
    float x = 0.0f, y = 0.0f;
    GUI_CampaignShipRCMenu::PlaceFor(500.0f, 300.0f, 1280, 800, x, y);
    EXPECT_EQ(x, 516.0f);
    EXPECT_EQ(y, 273.0f);
    GUI_CampaignShipRCMenu::PlaceFor(500.0f, 790.0f, 1280, 800, x, y);
    EXPECT_EQ(y, 800.0f - GUI_CampaignShipRCMenu::kHeight);
    GUI_CampaignShipRCMenu::PlaceFor(1270.0f, 5.0f, 1280, 800, x, y);
    EXPECT_EQ(x, 1280.0f - 150.0f);
    EXPECT_EQ(y, 0.0f);
    GUI_CampaignShipIcon frigateIcon(frigate);
    GUI_CampaignShipIcon fighterIcon(fighter);
    EXPECT_EQ(fighterIcon.GetQuantityText(), "9");
    EXPECT_EQ(frigateIcon.GetQuantityText(), "1");
    auto* frigateMenu = new GUI_CampaignShipRCMenu(&frigateIcon);
    EXPECT_FALSE(frigateMenu->GetQuantityRow()->enabled);
    // The second row lies wholly inside the menu.
    EXPECT_LE(frigateMenu->GetQuantityRow()->bottom, frigateMenu->bottom);
    GUI_WindowManager::GetInstance().CloseWindow(frigateMenu);
    auto* fighterMenu = new GUI_CampaignShipRCMenu(&fighterIcon);
    EXPECT_TRUE(fighterMenu->GetQuantityRow()->enabled);
    Click(*fighterMenu->GetQuantityRow());
    GUI_CampaignSquadronSize* size = GUI_CampaignSquadronSize::GetOpen();
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->GetCap(), 9);
    // The deployment's squadron dialog: its title, the labelled slider 10
    // under the client top, the count under it.
    EXPECT_EQ(size->GetTitle(), GetString("GUI_SQUADRON_SIZE_TITLE"));
    EXPECT_EQ(size->GetSlider()->GetLabel(), GetString("GUI_SQUADRON_SLIDER"));
    EXPECT_EQ(size->GetSlider()->top, size->clientTop + 10);
    EXPECT_EQ(size->GetSlider()->bottom, size->clientTop + 50);
    EXPECT_EQ(size->GetValueText(), "9");
    size->SetSliderValue(1.0f);
    EXPECT_EQ(fighter->quantity, 9) << "a squadron never grows for free";
    size->SetSliderValue(0.0f);
    EXPECT_EQ(fighter->quantity, 1);
    EXPECT_EQ(size->GetValueText(), "1");
    GUI_CampaignSquadronSize::CloseOpen();
    Frames(1);
}

TEST_F(Shipyard, RenamingAFleetDropsWhatWouldBreakTheSave)
{
    SIM_CampaignFleet* fleet = AddFleet(home);
    GUI_FleetRename* rename = GUI_FleetRename::Open(fleet);
    rename->GetField()->SetText("");
    Frames(1);
    EXPECT_FALSE(rename->GetOkButton()->enabled);
    rename->GetField()->SetText("[Home]=\nGuard");
    Frames(1);
    ASSERT_TRUE(rename->GetOkButton()->enabled);
    Click(*rename->GetOkButton());
    EXPECT_EQ(fleet->GetName(), "Home]Guard");
    EXPECT_EQ(GUI_FleetRename::GetOpen(), nullptr);
}

TEST_F(Shipyard, StatisticsMultiplyTheCountersByTheirFactors)
{
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    progress.GetStats().AddToStat("battles_fought", 5);
    progress.GetStats().AddToStat("enemy_ships_destroyed", 3);
    progress.turn = 12;
    {
        GUI_CampaignStats stats;
        EXPECT_EQ(stats.GetValue(4), "0") << "no battle won";
        EXPECT_EQ(stats.GetValue(13), "0");
        EXPECT_EQ(stats.GetValue(18), "36,275");
        EXPECT_EQ(stats.GetValue(15), "55");
        EXPECT_EQ(stats.GetValue(19), "75");
        EXPECT_EQ(stats.GetValue(11), "96");
        EXPECT_EQ(stats.GetValue(9), "12");
        EXPECT_EQ(stats.GetValue(14), "132");
    }
    progress.GetStats().AddToStat("battles_won", 1000);
    GUI_CampaignStats stats;
    EXPECT_EQ(stats.GetValue(13), "2,422,000");
    EXPECT_EQ(stats.GetValue(10), "8,000");
    EXPECT_EQ(stats.GetValue(17), "228,000");
    EXPECT_EQ(stats.GetLabel(0), GetString("CAMP_STAT_BATTLES_FOUGHT"));
}

TEST_F(Shipyard, TheClassFiltersHideAndShowTheirHullClass)
{
    GUI_Shipyard* yard = GUI_Shipyard::OpenWithNewFleet(home);
    ASSERT_NE(yard, nullptr);
    Frames(1);
    GUI_CampaignDesignPicker* picker = yard->GetPicker();
    const auto countOf = [picker](int cls) {
        return std::count_if(picker->GetDesigns().begin(), picker->GetDesigns().end(),
                             [cls](const SIM_ShipDesign* d) { return d->GetHull()->GetClass() == cls; });
    };
    const size_t all = picker->GetDesigns().size();
    const auto fighters = countOf(2);
    ASSERT_GT(fighters, 0);
    ASSERT_GT(countOf(0), 0);
    // Each design's hull is a flat silhouette; the new-design picture is not.
    auto* device = dynamic_cast<HeadlessGraphicsDevice*>(D3DEngine::GetInstance().GetDevice());
    ASSERT_NE(device, nullptr);
    device->ClearDraws();
    Frames(1);
    const auto flat = std::count_if(device->GetDraws().begin(), device->GetDraws().end(),
                                    [](const HeadlessGraphicsDevice::DrawRecord& d) { return d.flatColour; });
    EXPECT_EQ(static_cast<size_t>(flat), picker->GetIcons().size() - 1);
    GUI_FilterButton* fighterButton = picker->GetFilterButton(2);
    // The buttons lie inside the picker, above the first tile.
    EXPECT_GE(fighterButton->left, picker->left);
    EXPECT_GE(fighterButton->top, picker->top);
    EXPECT_LE(fighterButton->bottom, picker->GetIcons().front()->top);
    Click(*fighterButton);
    EXPECT_FALSE(picker->GetFilter(2));
    EXPECT_FALSE(fighterButton->on);
    EXPECT_EQ(countOf(2), 0);
    EXPECT_EQ(picker->GetDesigns().size(), all - static_cast<size_t>(fighters));
    Click(*picker->GetFilterButton(0));
    EXPECT_EQ(countOf(0), 0);
    EXPECT_TRUE(picker->GetFilterButton(1)->on);
    // The yard shows the first design the list shows, and with every class
    // filtered out none: nothing unlisted is shown or built.
    ASSERT_NE(yard->GetSelectedDesign(), nullptr);
    EXPECT_EQ(yard->GetSelectedDesign(), picker->GetDesigns().front());
    Click(*picker->GetFilterButton(1));
    EXPECT_TRUE(picker->GetDesigns().empty());
    EXPECT_EQ(yard->GetSelectedDesign(), nullptr);
    EXPECT_FALSE(yard->GetBuildButton()->enabled);
    Frames(1);
    Click(*picker->GetFilterButton(1));
    Click(*fighterButton);
    Click(*picker->GetFilterButton(0));
    EXPECT_EQ(picker->GetDesigns().size(), all);
    EXPECT_EQ(yard->GetSelectedDesign(), picker->GetDesigns().front());
    EXPECT_TRUE(fighterButton->on);
    // Closed without a ship: its fleet goes, and the window showing it first.
    SIM_CampaignFleet* empty = yard->GetFleet();
    const int emptyId = empty->id;
    ASSERT_NE(GUI_CampaignFleetDetails::ShowForFleet(empty), nullptr);
    Click(*yard->GetCloseButton());
    Frames(1);
    EXPECT_EQ(GUI_CampaignFleetDetails::FindForFleet(empty), nullptr);
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().FindFleet(emptyId), nullptr);
}

TEST_F(Shipyard, AShipsDetailsAreWideEnoughForItsNameOnOneLine)
{
    SIM_CampaignFleet* fleet = AddFleet(home, nullptr);
    SIM_CampaignShip* ship = AddShip(fleet, "fed_sample_frigate", 1);
    GUI_CampaignShipDetails* details = GUI_CampaignShipDetails::Open(ship);
    ASSERT_LT(GUI_TitleBar::WidthForOneLine(ship->name), 262);
    EXPECT_EQ(details->width, 262) << "16 + 230 + 16 for a short name";
    // A captured ship keeps the name its fleet gave it.
    ship->name = "Federation Support Frigate 6";
    details = GUI_CampaignShipDetails::Open(ship);
    EXPECT_EQ(details->width, GUI_TitleBar::WidthForOneLine(ship->name));
    EXPECT_EQ(details->GetTitleBar().GetText(), ship->name);
    EXPECT_EQ(details->GetTitleBar().GetTextSize(), GUI_TitleBar::kFontSize);
    GUI_CampaignShipDetails::CloseOpen();
    Frames(1);
}

TEST_F(Shipyard, AShipIsRenamedFromItsDetailsWithoutWhatWouldBreakTheSave)
{
    SIM_CampaignFleet* fleet = AddFleet(home, nullptr);
    SIM_CampaignShip* ship = AddShip(fleet, "fed_sample_frigate", 1);
    GUI_CampaignShipDetails* details = GUI_CampaignShipDetails::Open(ship);
    GUI_ShipsLog::Open(ship);
    Frames(1);
    ASSERT_TRUE(details->GetRenameButton()->enabled);
    Click(*details->GetRenameButton());
    GUI_FleetRename* rename = GUI_FleetRename::GetOpen();
    ASSERT_NE(rename, nullptr);
    EXPECT_EQ(rename->GetShip(), ship);
    EXPECT_EQ(rename->GetField()->GetText(), "Tile");
    EXPECT_EQ(rename->GetTitle(), GetString("CAMPAIGN_SHIP_RENAME_TITLE"));
    Click(*rename->GetRandomButton());
    EXPECT_FALSE(rename->GetField()->GetText().empty()) << "the hull's name lists give a name";
    rename->GetField()->SetText(" [Vale]=\x01\tStar\n ");
    Frames(1);
    Click(*rename->GetOkButton());
    EXPECT_EQ(ship->name, "Vale]Star");
    EXPECT_EQ(fleet->GetName(), "First Fleet") << "the fleet keeps its name";
    EXPECT_EQ(details->GetTitle(), "Vale]Star");
    // The campaign was saved with the new name.
    bool saved = false;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(SIM_CampaignProgress::GetInstance().GetSaveFolder())) {
        std::string text;
        if (entry.is_regular_file() && ReadWholeFile(entry.path().string(), text))
            saved = saved || text.find("Vale]Star") != std::string::npos;
    }
    EXPECT_TRUE(saved);
    ASSERT_NE(GUI_ShipsLog::GetOpen(), nullptr);
    EXPECT_NE(GUI_ShipsLog::GetOpen()->GetTitle().find("Vale]Star"), std::string::npos);
    // The dialog closed itself through the window manager, after its click.
    EXPECT_EQ(GUI_FleetRename::GetOpen(), nullptr);
    Frames(1);
    EXPECT_FALSE(GUI_WindowManager::GetInstance().IsQueuedForDelete(details));
    GUI_CampaignShipDetails::CloseOpen();
    GUI_ShipsLog::CloseOpen();
    Frames(1);
}

TEST_F(Shipyard, AModuleIconStaysLitWhileItsPopupShowsAndHullsAreSilhouettes)
{
    SIM_CampaignFleet* fleet = AddFleet(home, nullptr);
    SIM_CampaignShip* frigate = AddShip(fleet, "fed_sample_frigate", 1);
    AddShip(fleet, "fed_sample_fighter", 4);
    GUI_CampaignShipDetails* details = GUI_CampaignShipDetails::Open(frigate);
    Frames(1);
    std::vector<GUI_CampaignModuleIcon*> fitted;
    for (GUI_CampaignModuleIcon* icon : details->GetDetails()->GetModuleIcons())
        if (icon->GetModuleType())
            fitted.push_back(icon);
    ASSERT_GE(fitted.size(), 2u);
    // Every fitted module shows a picture the game has, turrets included.
    bool turret = false;
    for (const GUI_CampaignModuleIcon* icon : fitted) {
        int w = 0, h = 0;
        turret = turret || icon->GetModuleType()->GetSlotType() == SIM_ShipModuleType::TURRET;
        EXPECT_TRUE(D3DEngine::GetInstance().GetTextureSize(icon->GetPicture().GetTextureName(), w, h))
            << icon->GetModuleType()->GetName();
    }
    EXPECT_TRUE(turret);
    Click(*fitted[1]);
    GUI_ModulePopup* popup = GUI_ModulePopup::GetOpen();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->GetModuleType(), fitted[1]->GetModuleType());
    MoveMouse(2, 2);
    Frames(1);
    EXPECT_TRUE(fitted[1]->IsLit()) << "lit for its popup, the mouse elsewhere";
    EXPECT_FALSE(fitted[0]->IsLit());
    // A right click on a module names it beside the pointer.
    GUI_ModulePopup::CloseOpen();
    Frames(1);
    float mx, my;
    Centre(*fitted[0], mx, my);
    MoveMouse(static_cast<int>(mx), static_cast<int>(my));
    if (auto* headless = dynamic_cast<HeadlessWindow*>(Game::GetInstance().GetWindow())) {
        headless->InjectMouseButton(MouseButton::Right, true);
        headless->InjectMouseButton(MouseButton::Right, false);
    }
    Frames(2);
    auto* caption = dynamic_cast<GUI_ModuleIconRCMenu*>(GUI_RCMenuBase::GetOpen());
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->GetModuleType(), fitted[0]->GetModuleType());
    EXPECT_EQ(caption->left, static_cast<int>(mx) + 16);
    // Names are shown in words, never as their text keys.
    const std::string name = GetString(fitted[0]->GetModuleType()->GetGuiName().c_str());
    EXPECT_NE(name, fitted[0]->GetModuleType()->GetGuiName());
    EXPECT_EQ(caption->GetCaption(), name);
    ASSERT_NE(fitted[0]->GetTooltip(), nullptr);
    EXPECT_EQ(fitted[0]->GetTooltip()->GetLines().front(), name);
    GUI_WindowManager::GetInstance().CloseWindow(caption);
    Click(*fitted[1]);
    ASSERT_NE(GUI_ModulePopup::GetOpen(), nullptr);
    // The details go: the popup stays, lit for nothing.
    GUI_CampaignShipDetails::CloseOpen();
    Frames(1);
    ASSERT_NE(GUI_ModulePopup::GetOpen(), nullptr);
    EXPECT_FALSE(GUI_ModulePopup::IsOpenFor(nullptr));
    GUI_ModulePopup::CloseOpen();
    Frames(1);

    // Tiles draw their hulls in flat colour, and only the hulls.
    auto* device = dynamic_cast<HeadlessGraphicsDevice*>(D3DEngine::GetInstance().GetDevice());
    ASSERT_NE(device, nullptr);
    GUI_CampaignFleetDetails::ShowForFleet(fleet);
    device->ClearDraws();
    Frames(1);
    int flat = 0;
    for (const HeadlessGraphicsDevice::DrawRecord& d : device->GetDraws())
        if (d.flatColour) {
            ++flat;
            EXPECT_NE(d.texture, 0u);
        }
    EXPECT_EQ(flat, 2);
    EXPECT_FALSE(device->GetState().FlatColour()) << "the next drawing is in colour again";
    GUI_CampaignFleetDetails::CloseAll();
    Frames(1);
}

TEST_F(Shipyard, WindowsOpenWhenLeftComeBackWhenTheCampaignIsOpenedAgain)
{
    SIM_CampaignFleet* first = AddFleet(home, nullptr);
    SIM_CampaignShip* ship = AddShip(first, "fed_sample_frigate", 1);
    SIM_CampaignFleet* second = AddFleet(home);
    const int firstId = first->id, secondId = second->id, shipId = ship->id;
    GUI_CampaignFleetDetails::ShowForFleet(first)->MoveTo(100.0f, 120.0f);
    GUI_CampaignFleetDetails::ShowForFleet(second)->MoveTo(640.0f, 300.0f);
    GUI_CampaignShipDetails::Open(ship)->MoveTo(40.0f, 60.0f);
    GUI_ShipsLog::Open(ship)->MoveTo(300.0f, 200.0f);
    GUI_Shipyard* yard = GUI_Shipyard::OpenWithNewFleet(home);
    const int yardFleetId = yard->GetFleet()->id;
    GUI_IncomeManager::Open();
    GUI_IncomeManager::GetOpen()->MoveTo(700.0f, 90.0f);
    Frames(1);
    const std::string file = SIM_CampaignProgress::GetInstance().GetSaveFolder() + "/camp_ui.txt";
    SIM_CampaignProgress::GetInstance().Save();
    Quit();
    // The yard's empty fleet went with it.
    GIniFile ui;
    ASSERT_TRUE(ui.Load("ui", file.c_str()));
    EXPECT_EQ(ui.GetInt("bshipyard"), 1);
    EXPECT_EQ(ui.GetInt("shipyard_fleet"), yardFleetId);
    EXPECT_EQ(ui.GetInt("shipid"), shipId);
    EXPECT_STREQ(ui.GetString("logx"), "300");
    EXPECT_EQ(ui.GetInt("bincome"), 1);
    EXPECT_EQ(ui.GetInt("brecruit"), 0);
    EXPECT_STREQ(ui.GetString("incomeposx"), "700.0000");
    GIniFile windows;
    ASSERT_TRUE(windows.Load("fleetdetails", file.c_str()));
    ASSERT_EQ(windows.GetEntryCount(), 2u);
    EXPECT_EQ(windows.GetValueAt(1), StrFormat("%d,640,300", secondId));

    ASSERT_TRUE(GUI_Campaign::OpenCampaign("yardtest"));
    SettleTransition();
    Frames(1);
    const auto& open = GUI_CampaignFleetDetails::GetAll();
    ASSERT_EQ(open.size(), 2u);
    EXPECT_EQ(open[0]->GetFleet()->id, firstId);
    EXPECT_EQ(open[1]->GetFleet()->id, secondId);
    EXPECT_EQ(open[1]->left, 640);
    EXPECT_EQ(open[1]->top, 300);
    ASSERT_NE(GUI_CampaignShipDetails::GetOpen(), nullptr);
    EXPECT_EQ(GUI_CampaignShipDetails::GetOpen()->GetShip()->id, shipId);
    EXPECT_EQ(GUI_CampaignShipDetails::GetOpen()->left, 40);
    ASSERT_NE(GUI_ShipsLog::GetOpen(), nullptr);
    EXPECT_EQ(GUI_ShipsLog::GetOpen()->top, 200);
    ASSERT_NE(GUI_IncomeManager::GetOpen(), nullptr);
    EXPECT_EQ(GUI_IncomeManager::GetOpen()->top, 90);
    EXPECT_EQ(GUI_RecruitmentManager::GetOpen(), nullptr);
    EXPECT_EQ(GUI_CampaignFleetManager::GetOpen(), nullptr);
    GUI_IncomeManager::CloseOpen();
    // The yard's fleet is gone: it opens again into a new, empty one, once.
    GUI_Shipyard* again = GUI_Shipyard::GetOpen();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->GetEncounter(), Homeworld());
    EXPECT_TRUE(again->GetFleet()->GetShips().empty());
    size_t emptyFleets = 0;
    for (const SIM_CampaignFleet* f : SIM_CampaignProgress::GetInstance().GetFleets())
        emptyFleets += f->GetShips().empty() ? 1 : 0;
    EXPECT_EQ(emptyFleets, 1u);

    // A scrapped ship is not shown again; a window off a smaller screen comes back onto it.
    GUI_CampaignShipDetails::CloseOpen();
    GUI_CampaignFleetDetails::CloseAll();
    Frames(1);
    ApplyCampaignUIMemory(StrFormat("[ui]\nbship = 1\nshipid = 987654\n\n[fleetdetails]\n0 = %d,5000,-40\n", firstId));
    EXPECT_EQ(GUI_CampaignShipDetails::GetOpen(), nullptr);
    ASSERT_EQ(open.size(), 1u);
    const D3DEngine& engine = D3DEngine::GetInstance();
    EXPECT_EQ(open[0]->right, engine.GetScreenWidth());
    EXPECT_EQ(open[0]->top, 0);
    GUI_CampaignFleetDetails::CloseAll();
    GUI_Shipyard::CloseOpen();
    GUI_ShipsLog::CloseOpen();
    Frames(1);

    // All four remembered: recruitment, then the shipyard, the income and
    // the fleet manager, each over the one before.
    ApplyCampaignUIMemory(StrFormat("[ui]\nbrecruit = 1\nbincome = 1\nbfleet = 1\nbshipyard = 1\nshipyard_enc = %d\n"
                                    "shipyard_fleet = %d\n",
                                    Homeworld()->encounterId, firstId));
    const auto& stack = GUI_WindowManager::GetInstance().GetTopLevelWindows();
    const auto place = [&](const GUI_WindowBase* w) {
        return w ? std::find(stack.begin(), stack.end(), w) - stack.begin() : -1;
    };
    ASSERT_NE(GUI_Shipyard::GetOpen(), nullptr);
    const auto recruit = place(GUI_RecruitmentManager::GetOpen()), yardAt = place(GUI_Shipyard::GetOpen()),
               income = place(GUI_IncomeManager::GetOpen()), fleets = place(GUI_CampaignFleetManager::GetOpen());
    ASSERT_GE(recruit, 0);
    EXPECT_LT(recruit, yardAt);
    EXPECT_LT(yardAt, income);
    EXPECT_LT(income, fleets);
    GUI_RecruitmentManager::CloseOpen();
    GUI_IncomeManager::CloseOpen();
    GUI_CampaignFleetManager::CloseOpen();
    GUI_Shipyard::CloseOpen();
    Frames(1);
}

TEST_F(Shipyard, ADesignSavedFromTheCampaignIsTheOneItsFleetsGoOnWith)
{
    // A design of the player's that a fleet builds to, in no saved campaign yet.
    const std::string path = APP_UserFolders::GetInstance().Get(APP_UserFolders::SHIPS) + "/relinked.txt";
    std::string text;
    ASSERT_TRUE(ReadWholeFile("data/sampleships/fed_sample_frigate.txt", text));
    text.replace(text.find("fed_sample_frigate"), std::string("fed_sample_frigate").size(), "relinked");
    text.erase(text.find("7 = frigate_pointdefence,")); // its last slot empty
    ASSERT_TRUE(WriteFileAtomically(path, text));
    SIM_ShipDesign::FreeLoaded();
    SIM_ShipDesign::LoadAll();
    SIM_CampaignFleet* fleet = AddFleet(home);
    SIM_CampaignShip* ship = AddShip(fleet, "relinked", 1);
    ASSERT_NE(ship->design, nullptr);
    ASSERT_EQ(ship->design->GetModuleInSlot(7), nullptr);
    fleet->RecalculateTotals();
    const float cost = fleet->totalCost;

    // The designer, entered from the campaign, saves it with armour in its last slot.
    GUI_ShipDesignGUI::OpenFrom(GUI_ShipDesignGUI::RETURN_CAMPAIGN);
    SettleTransition();
    GUI_ShipDesignSummary::LoadDesignByFileName(path);
    GUI_ShipDesignGUI& designer = GUI_ShipDesignGUI::GetInstance();
    ASSERT_NE(designer.GetDesign(), nullptr);
    SIM_ShipModuleType* armour = SIM_ShipModuleType::Find("frigate_armour");
    ASSERT_NE(armour, nullptr);
    designer.GetDesign()->AddModule(armour, 7);
    GUI_ShipDesignSummary::SaveDesignAs("relinked");
    EXPECT_EQ(GUI_CampaignRefit::GetOpen(), nullptr) << "no saved campaign builds to it";

    // The fleet's ship is on the design as saved, and its totals with it.
    ASSERT_NE(ship->design, nullptr);
    EXPECT_EQ(ship->design, SIM_ShipDesign::Find("relinked"));
    ASSERT_NE(ship->design->GetModuleInSlot(7), nullptr);
    EXPECT_EQ(ship->design->GetModuleInSlot(7)->GetName(), "frigate_armour");
    EXPECT_FLOAT_EQ(fleet->totalCost, cost + armour->GetCost());
    designer.LeaveShipDesigner();
    SettleTransition();
    std::remove(path.c_str());
}

} // namespace
