// Every text of the campaign's screens fits its box on a wide low screen and
// on a tall one: the loader, the map and its counters, a planet zoomed in
// with its window, a fleet of every design the player may build (the
// longest names the content gives), the fleet's and its ships' windows, the
// shipyard, the managers, the end of a turn with a battle to resolve, the
// campaign deployment, and the campaign's endings. Ships and fleets are
// named as long as the shipped name lists and fleets name them.
#include "CampaignScreenGame.h"

#include "campaign/gui/GUI_CampaignCaptureManager.h"
#include "campaign/gui/GUI_CampaignDefeat.h"
#include "campaign/gui/GUI_CampaignDeployment.h"
#include "campaign/gui/GUI_CampaignDesignPicker.h"
#include "campaign/gui/GUI_CampaignFacility.h"
#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignFleetManager.h"
#include "campaign/gui/GUI_CampaignControlPanelBttm.h"
#include "campaign/gui/GUI_CampaignBattleManager.h"
#include "campaign/gui/GUI_CampaignRefit.h"
#include "campaign/gui/GUI_CampaignRepairs.h"
#include "campaign/gui/GUI_CampaignShipDetails.h"
#include "campaign/gui/GUI_CampaignSquadronSize.h"
#include "campaign/gui/GUI_CampaignVictory.h"
#include "campaign/gui/GUI_ConquestDetails.h"
#include "campaign/gui/GUI_EncounterDetails.h"
#include "campaign/gui/GUI_EndTurn.h"
#include "campaign/gui/GUI_EndTurnSummary.h"
#include "campaign/gui/GUI_FleetRename.h"
#include "campaign/gui/GUI_IncomeManager.h"
#include "campaign/gui/GUI_MapZoomer.h"
#include "campaign/gui/GUI_PendingBattle.h"
#include "campaign/gui/GUI_RecruitmentManager.h"
#include "engine/GHashTable.h"
#include "campaign/gui/GUI_ScrapShip.h"
#include "campaign/gui/GUI_ShipsLog.h"
#include "campaign/gui/GUI_Shipyard.h"
#include "campaign/gui/GUI_ShipyardQuantity.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"
#include "engine/TextHelpers.h"
#include "platform/IClock.h"
#include "sim/SIM_ShipNameGenerator.h"
#include "sim/SIM_ShipHull.h"
#include "support/TextFitGame.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

class TextFitCampaign : public TextFitGameOn<CampaignScreenGame> {
protected:
    // The longest ship name the shipped fleets give (a captured ship keeps
    // it), and the longest the name lists give the player's new ships.
    static std::string LongestFleetShipName()
    {
        std::string longest;
        for (const char* folder : {"data/deployments", "data/sample deployment"})
            for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
                std::ifstream in(entry.path());
                for (std::string line; std::getline(in, line);)
                    if (line.rfind("name = ", 0) == 0) {
                        const std::string name = TrimWhitespace(line.substr(7));
                        if (name.size() > longest.size())
                            longest = name;
                    }
            }
        return longest;
    }
    static std::string LongestListedName()
    {
        std::string longest;
        for (const SIM_ShipNameGenerator::NameList& list : SIM_ShipNameGenerator::GetInstance().GetLists())
            for (const std::string& name : list.names)
                if (name.size() > longest.size())
                    longest = name;
        return longest;
    }

    // A fleet at the planet with one ship of every design of the player's
    // race, named as long as the name lists allow, and one captured ship
    // with the longest name a shipped fleet gives.
    static SIM_CampaignFleet* FleetOfEveryDesign(SIM_CampaignEncounter* at)
    {
        SIM_CampaignFleet* fleet = MakeTestFleet(at, nullptr);
        const std::string listed = LongestListedName();
        for (const SIM_ShipDesign* design : SIM_ShipDesign::GetList())
            if (design->GetHull() && design->GetHull()->GetRaceName() == "federation")
                AddTestShip(fleet, design->GetName().c_str(), listed.c_str());
        AddTestShip(fleet, "kor_sample_support", LongestFleetShipName().c_str());
        fleet->guiName = LongestFleetName();
        Frames(2);
        return fleet;
    }
    static std::string LongestFleetName()
    {
        std::string longest;
        std::ifstream in("campaign/data/fleetnames.txt");
        for (std::string line; std::getline(in, line);)
            if (const size_t eq = line.find(" = "); eq != std::string::npos)
                if (line.size() - eq - 3 > longest.size())
                    longest = TrimWhitespace(line.substr(eq + 3));
        return longest;
    }

    // Runs frames with a little real time until the condition holds.
    template <typename Condition>
    static bool Until(Condition done, int limit = 600)
    {
        for (int i = 0; i < limit && !done(); ++i) {
            Frames(1);
            SDL_Delay(2);
        }
        return done();
    }
};

} // namespace

TEST_P(TextFitCampaign, LoaderMapAndPlanet)
{
    GUI_CampaignLoader::Open();
    Frames(1);
    ExpectFits("campaign loader");
    CloseModals();
    StartCampaign("textfit");
    GUI_CampaignMap* map = GUI_CampaignMap::Get();
    ASSERT_NE(map, nullptr);
    SIM_CampaignEncounter* home = Homeworld();
    ASSERT_NE(home, nullptr);
    DropAllLessons();
    RestMouse();
    ExpectFits("campaign map");
    SIM_CampaignFleet* fleet = FleetOfEveryDesign(home);
    ExpectFits("campaign map with a fleet");

    GUI_CampaignFleetManager::Open();
    Frames(1);
    ExpectFits("fleet manager");
    GUI_CampaignFleetManager::Open(); // the button again closes it
    GUI_IncomeManager::Open();
    Frames(1);
    ExpectFits("income manager");
    GUI_IncomeManager::Open();
    GUI_RecruitmentManager::Open();
    Frames(1);
    ExpectFits("recruitment manager");
    GUI_RecruitmentManager::Open();
    Frames(1);

    // The home planet zoomed in, with its window and every facility's panel.
    GUI_MapZoomer& zoomer = map->GetZoomer();
    ManualClock clock;
    zoomer.SetClock(&clock);
    zoomer.ZoomTo(map->FindView(home));
    clock.Advance(600.0);
    Frames(2);
    ASSERT_NE(GUI_EncounterDetails::GetOpen(), nullptr);
    RestMouse();
    ExpectFits("home planet");
    GUI_ButtonText* yard = nullptr;
    for (GUI_CampaignFacility* panel : GUI_EncounterDetails::GetOpen()->GetFacilityPanels())
        if (panel->GetFacility()->GetType()->facilityClass == SIM_CampaignFacilityType::SHIPYARD)
            yard = panel->GetButton();
    ASSERT_NE(yard, nullptr);
    Click(*yard);
    Until([] { return GUI_Shipyard::GetOpen() != nullptr; });
    ASSERT_NE(GUI_Shipyard::GetOpen(), nullptr);
    RestMouse();
    ExpectFits("shipyard");
    // Each design's summary, the longest names among them.
    {
        GUI_Shipyard* yardOpen = GUI_Shipyard::GetOpen();
        const std::vector<SIM_ShipDesign*> designs = yardOpen->GetPicker()->GetDesigns();
        ASSERT_FALSE(designs.empty());
        for (SIM_ShipDesign* design : designs) {
            yardOpen->SelectDesign(design);
            Frames(1);
            RestMouse();
            ExpectFits("shipyard summary of " + design->GetGuiName());
        }
    }
    CloseModals();
    GUI_Shipyard* forFleet = GUI_Shipyard::Open(home, fleet);
    Frames(1);
    RestMouse();
    ExpectFits("shipyard for a fleet");
    // A squadron of 16: its sum beside "Cost", its size beside the slider.
    for (SIM_ShipDesign* design : forFleet->GetPicker()->GetDesigns())
        if (design->GetHull()->GetClass() == 2) {
            forFleet->SelectDesign(design);
            break;
        }
    ASSERT_TRUE(forFleet->GetQuantityPanel()->visible);
    ASSERT_EQ(GUI_Shipyard::GetBuildQuantity(), 16);
    Frames(1);
    RestMouse();
    ExpectFits("shipyard with a squadron of 16");
    CloseModals();

    // Every enemy planet's window, from far out.
    zoomer.SetClock(nullptr);
    for (SIM_CampaignEncounter* planet : home->neighbours) {
        GUI_ConquestDetails::Open(planet);
        Frames(1);
        ExpectFits("conquest news of " + planet->GetGuiName());
        CloseModals();
    }
}

TEST_P(TextFitCampaign, FleetShipsTurnAndEndings)
{
    StartCampaign("textfit");
    DropAllLessons();
    SIM_CampaignEncounter* home = Homeworld();
    ASSERT_NE(home, nullptr);
    SIM_CampaignFleet* fleet = FleetOfEveryDesign(home);
    GUI_CampaignFleetDetails::ShowForFleet(fleet);
    Frames(1);
    RestMouse();
    ExpectFits("fleet");
    for (SIM_CampaignShip* ship : fleet->GetShips()) {
        GUI_CampaignShipDetails::Open(ship);
        Frames(1);
        ExpectFits("ship " + ship->name);
        CloseModals();
    }
    SIM_CampaignShip* longest = fleet->GetShips().front();
    for (SIM_CampaignShip* ship : fleet->GetShips())
        if (ship->name.size() > longest->name.size())
            longest = ship;
    GUI_ShipsLog::Open(longest);
    Frames(1);
    ExpectFits("ship's log");
    CloseModals();
    GUI_ScrapShip::Open(longest);
    Frames(1);
    ExpectFits("scrap");
    CloseModals();
    GUI_FleetRename::Open(fleet);
    Frames(1);
    ExpectFits("fleet name");
    CloseModals();
    GUI_FleetRename::OpenForShip(longest);
    Frames(1);
    ExpectFits("ship name");
    CloseModals();
    for (SIM_CampaignShip* ship : fleet->GetShips())
        if (ship->design && ship->design->GetHull() && ship->design->GetHull()->GetClass() == SIM_ShipHull::FIGHTER) {
            GUI_CampaignSquadronSize::Open(ship);
            Frames(1);
            ExpectFits("squadron size");
            CloseModals();
            break;
        }
    GUI_CampaignRepairs::Open(fleet);
    Frames(1);
    RestMouse();
    ExpectFits("repairs");
    CloseModals();
    GUI_CampaignCaptureManager::Open();
    Frames(1);
    ExpectFits("captures");
    CloseModals();
    GUI_CampaignRefit::OfferRefit(longest->design->GetName());
    Frames(1);
    ExpectFits("refit");
    CloseModals();

    // The fleet sent against a neighbour: the turn's end with a battle.
    SIM_CampaignEncounter* target = EnemyNeighbour(home);
    ASSERT_NE(target, nullptr);
    SendTestAttack(fleet, target);
    Frames(1);
    GUI_CampaignMap* map = GUI_CampaignMap::Get();
    // Pressed as a click would, whatever window stands over the button now.
    map->GetBottomPanel()->GetNextTurnButton()->Press();
    SettleTransition();
    // The battle's strip comes once its preparation beside the frame is done.
    Until([] { return GUI_EndTurn::GetOpen() && !GUI_EndTurn::GetOpen()->GetBattles()->GetStrips().empty(); }, 3000);
    ASSERT_NE(GUI_EndTurn::GetOpen(), nullptr);
    RestMouse();
    ExpectFits("end of the turn");
    {
        // The summary at its longest: six-figure crew and credits, every
        // planet held and its income and recruits with it.
        SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
        const int crew = progress.crew, cash = progress.cash;
        std::vector<int> owners;
        const auto& encounters = GUI_Campaign::GetInstance().GetDefinition()->GetEncounters();
        for (SIM_CampaignEncounter* e : encounters) {
            owners.push_back(e->territory);
            e->territory = SIM_CampaignEncounter::PLAYER;
        }
        progress.crew = 999999;
        progress.cash = 999999;
        GUI_EndTurnSummary* summary = GUI_EndTurn::GetOpen()->GetSummary();
        summary->Build();
        ASSERT_EQ(summary->GetText(9).substr(0, 5), "100% ");
        ExpectFits("end of the turn at its longest");
        for (size_t i = 0; i < encounters.size(); ++i)
            encounters[i]->territory = owners[i];
        progress.crew = crew;
        progress.cash = cash;
        summary->Build();
    }
    GUI_PendingBattle* strip = nullptr;
    for (GUI_PendingBattle* each : GUI_EndTurn::GetOpen()->GetBattles()->GetStrips())
        if (each->GetBattle()->encounter == target)
            strip = each;
    ASSERT_NE(strip, nullptr);
    Click(*strip->GetResolveButton());
    Until([] { return GUI_CampaignDeployment::GetOpen() != nullptr; }, 1000);
    ASSERT_NE(GUI_CampaignDeployment::GetOpen(), nullptr);
    SettleTransition();
    RestMouse();
    ExpectFits("campaign deployment");
    Game::GetInstance().SetMode(GUI_Campaign::kModeId);
    SettleTransition();

    GUI_CampaignVictory::Open();
    Frames(1);
    ExpectFits("victory");
    // The ending's title reads at full strength, not greyed.
    const TextFitCheck::Recorded* title = m_check.Find(GetString("CAMPAIGN_VICTORY_TITLE"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->laid.colour, 0xFFFFFFFFu);
    // Put away unanswered: any way the player closes it ends the campaign.
    GUI_CampaignVictory::CloseOpen();
    Frames(1);
    GUI_CampaignDefeat::Open();
    Frames(1);
    ExpectFits("defeat");
    GUI_CampaignDefeat::CloseOpen();
    Frames(1);
}

INSTANTIATE_TEXT_FIT_SIZES(TextFitCampaign);
