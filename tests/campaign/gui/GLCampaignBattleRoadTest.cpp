// A newcomer's first campaign battle through the real window with the mouse
// and keys alone: a ship built at the home shipyard, its fleet opened, sent
// against a neighbour, Next Turn, the campaign deployment, the battle at
// speed 4 to its end, and the result on the map.
#include "CampaignTestFleet.h"
#include "CampaignBattleRoad.h"

#include "app/Game.h"
#include "battle/GUI_BattleGUI.h"
#include "campaign/gui/GUI_Campaign.h"
#include "campaign/gui/GUI_CampaignBattleManager.h"
#include "campaign/gui/GUI_CampaignControlPanelBttm.h"
#include "campaign/gui/GUI_CampaignDeployment.h"
#include "campaign/gui/GUI_CampaignDeploymentPicker.h"
#include "campaign/gui/GUI_CampaignDesignIcon.h"
#include "campaign/gui/GUI_CampaignDesignPicker.h"
#include "campaign/gui/GUI_CampaignFacility.h"
#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignLoader.h"
#include "campaign/gui/GUI_CampaignPostMortem.h"
#include "campaign/gui/GUI_CampaignShipIcon.h"
#include "campaign/gui/GUI_EncounterDetails.h"
#include "campaign/gui/GUI_EndTurn.h"
#include "campaign/gui/GUI_MapZoomer.h"
#include "campaign/gui/GUI_PendingBattle.h"
#include "campaign/gui/GUI_PlayerFleetIcon.h"
#include "campaign/gui/GUI_Shipyard.h"
#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "engine/GSafeFile.h"
#include "frontend/GUI_MainMenu.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_CloseButton.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_TitleBar.h"
#include "prep/GUI_DeploymentZone.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

// The columns of the title tab's rows whose colour changes when the title
// goes, which is the tab as drawn: {first, last}, or {-1, -1}.
std::pair<int, int> DrawnColumns(const TextureData& with, const TextureData& without, const GUI_TitleBar& tab)
{
    int first = -1, last = -1;
    for (int x = tab.left; x < tab.right; ++x)
        for (int y = tab.top + 4; y < tab.top + 34; ++y) {
            int r1 = 0, g1 = 0, b1 = 0, r2 = 0, g2 = 0, b2 = 0;
            PixelAt(with, x, y, r1, g1, b1);
            PixelAt(without, x, y, r2, g2, b2);
            if (std::abs(r1 - r2) + std::abs(g1 - g2) + std::abs(b1 - b2) > 30) {
                first = first < 0 ? x : first;
                last = x;
                break;
            }
        }
    return {first, last};
}

// A short and a long name: each drawn tab leaves as much of the 300-wide
// box free on its left as on its right.
void ExpectTitleTabCentred(GUI_CampaignDeployment* deployment, const std::string& userDir)
{
    const std::string planet = deployment->GetTitle();
    const GUI_TitleBar& tab = deployment->GetTitleBar();
    deployment->SetTitle("");
    RunGameFrames(2);
    const TextureData bare = Screenshot(userDir);
    ASSERT_GT(bare.width, 0);
    int widthBefore = 0;
    for (const char* name : {"Io", "Vantaross Deep Anchorage"}) {
        deployment->SetTitle(name);
        RunGameFrames(2);
        const TextureData shot = Screenshot(userDir);
        const auto [first, last] = DrawnColumns(shot, bare, tab);
        ASSERT_GE(first, 0) << name << ": no tab drawn";
        EXPECT_GT(first, tab.left) << name;
        EXPECT_LT(last, tab.right - 1) << name;
        EXPECT_NEAR(first - tab.left, tab.right - 1 - last, 2) << name << ": tab drawn at " << first << ".." << last
                                                                << " in a box " << tab.left << ".." << tab.right;
        EXPECT_GT(last - first, widthBefore) << name << ": the longer name, the wider tab";
        widthBefore = last - first;
    }
    deployment->SetTitle(planet);
    RunGameFrames(1);
}

} // namespace

TEST(GLCampaignBattleRoad, BuildAShipAttackANeighbourFightAndSeeTheResult)
{
    CampaignWindowGame play(5);
    ASSERT_TRUE(play.Started());
    Game& game = Game::GetInstance();

    // A new campaign from the title.
    GUI_CampaignMap* map = CreateCampaignFromTitle("war");
    ASSERT_NE(map, nullptr);
    SIM_CampaignEncounter* home = map->GetCampaign()->GetHomeworldEncounter();
    ASSERT_NE(home, nullptr);
    ASSERT_TRUE(SIM_CampaignProgress::GetInstance().GetFleets().empty()) << "a new campaign starts without a fleet";
    PullMapTo(map, home);
    ASSERT_TRUE(PlanetInView(map, home));

    // The home planet, zoomed in, shows its shipyard; its button opens the yard.
    GUI_ButtonText* yardButton = YardButtonByClicks(map, home);
    ASSERT_NE(yardButton, nullptr);
    ClickCentre(yardButton);
    GUI_Shipyard* yard = GUI_Shipyard::GetOpen();
    ASSERT_NE(yard, nullptr);

    // Two frigates: chosen by their tile, built with the button.
    GUI_CampaignDesignIcon* frigate = nullptr;
    for (GUI_CampaignDesignIcon* icon : yard->GetPicker()->GetIcons())
        if (icon->GetDesign() && icon->GetDesign()->GetHull()->GetClass() == 1 && !frigate)
            frigate = icon;
    ASSERT_NE(frigate, nullptr);
    ClickCentre(frigate);
    ASSERT_TRUE(yard->GetBuildButton()->enabled);
    ClickCentre(yard->GetBuildButton());
    ClickCentre(yard->GetBuildButton());
    SIM_CampaignFleet* fleet = yard->GetFleet();
    ASSERT_EQ(fleet->GetShips().size(), 2u);
    const int fleetId = fleet->id;
    // The yard's window is on screen: its left part is not the dark map.
    TextureData shot = Screenshot(play.UserDir());
    ASSERT_GT(shot.width, 0);
    EXPECT_GT(Brightness(shot, yard->left + 40, yard->top + 12, 4), 60.0);
    ClickCentre(yard->GetCloseButton());
    Settle();
    ASSERT_EQ(GUI_Shipyard::GetOpen(), nullptr);
    ASSERT_NE(SIM_CampaignProgress::GetInstance().FindFleet(fleetId), nullptr);

    // Back out to the map; the new fleet's icon opens its window with both ships.
    PressKey(SDL_SCANCODE_ESCAPE); // the planet's window first
    ASSERT_EQ(GUI_EncounterDetails::GetOpen(), nullptr);
    PressKey(SDL_SCANCODE_ESCAPE);
    ASSERT_TRUE(FramesUntil([&] { return map->GetZoomer().state == GUI_MapZoomer::IDLE; }, 600));
    RunGameFrames(3);
    PullMapTo(map, home);
    GUI_PlayerFleetIcon* icon = FleetIconOf(fleet);
    ASSERT_NE(icon, nullptr);
    ClickCentre(icon);
    RunGameFrames(2);
    GUI_CampaignFleetDetails* details = GUI_CampaignFleetDetails::FindForFleet(fleet);
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(details->GetIcons().size(), 2u);
    ClickCentre(details->GetCloseButton());
    Settle();

    // Sent against an enemy neighbour in view.
    SIM_CampaignEncounter* target = SendToEnemyNeighbour(map, home, fleet);
    ASSERT_NE(target, nullptr);

    // Next Turn: the turn's report lists the battle; Resolve leads to the deployment.
    GUI_CampaignDeployment* deployment = ResolveNextTurnsBattle(map, target);
    ASSERT_NE(deployment, nullptr);
    EXPECT_FALSE(deployment->GetFightButton()->enabled);
    // The planet's name heads the dialog in a tab drawn over its middle,
    // whatever the name's length.
    ExpectTitleTabCentred(deployment, play.UserDir());
    ASSERT_TRUE(DeployAndFight(deployment, 4));
    for (int i = 0; i < 10; ++i)
        PressKey(SDL_SCANCODE_EQUALS);
    EXPECT_NEAR(GUI_BattleGUI::GetInstance().battleSpeed, 4.0f, 0.01f);

    // To its end: the campaign's report, then back to the map.
    ASSERT_TRUE(FramesUntil([] { return GUI_CampaignPostMortem::GetOpen() != nullptr; }, 20000))
        << "the battle did not end";
    const bool won = SIM_Battle::GetInstance().GetLost() == SIM_Battle::WON;
    GUI_CampaignPostMortem* report = GUI_CampaignPostMortem::GetOpen();
    ClickAt(report->left + 40, report->bottom - 30);
    Settle();
    RunGameFrames(3);
    // The report again, now without the battle: Continue to the map.
    ASSERT_NE(GUI_EndTurn::GetOpen(), nullptr);
    ASSERT_TRUE(GUI_EndTurn::GetOpen()->GetContinueButton()->enabled);
    ClickCentre(GUI_EndTurn::GetOpen()->GetContinueButton());
    Settle();
    EXPECT_EQ(GUI_EndTurn::GetOpen(), nullptr);
    ASSERT_EQ(game.GetModeId(), GUI_Campaign::kModeId);
    map = GUI_CampaignMap::Get();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(target->territory, won ? SIM_CampaignEncounter::PLAYER : SIM_CampaignEncounter::ENEMY);
    const SIM_CampaignFleet* after = SIM_CampaignProgress::GetInstance().FindFleet(fleetId);
    if (won) {
        ASSERT_NE(after, nullptr);
        EXPECT_EQ(after->location, target);
    } else {
        EXPECT_EQ(after, nullptr) << "a lost attack loses the fleet";
    }
    // The planet's view on the map follows its owner.
    EXPECT_EQ(map->FindView(target)->IsPlayerOwned(), won);

    GUI_Campaign::QuitCampaignToMenu();
    Settle();
}
