// The repair yard and the captured-ships dialog through the real window with
// the mouse alone: a damaged fleet at the homeworld opened from its map icon,
// its repair button, Repair all with the gauge filling up on screen; then a
// won battle's prizes listed and taken into the fleet with one click.
#include "CampaignTestFleet.h"
#include "CampaignWindowRoad.h"

#include "app/Game.h"
#include "campaign/gui/GUI_Campaign.h"
#include "campaign/gui/GUI_CampaignCaptureManager.h"
#include "campaign/gui/GUI_CampaignControlPanelBttm.h"
#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignFleetManager.h"
#include "campaign/gui/GUI_CampaignFleetManagerStrip.h"
#include "campaign/gui/GUI_CampaignLoader.h"
#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_CampaignRepairBlueprint.h"
#include "campaign/gui/GUI_CampaignRepairs.h"
#include "campaign/gui/GUI_PlayerFleetIcon.h"
#include "campaign/gui/GUI_RepairStatus.h"
#include "campaign/sim/GUI_DamageDescGenerator.h"
#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignBattleOutcome.h"
#include "campaign/sim/SIM_CampaignCaptureManager.h"
#include "campaign/sim/SIM_CampaignDryDock.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "frontend/GUI_MainMenu.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_CloseButton.h"
#include "gui/GUI_IconButton.h"
#include "gui/GUI_TitleBar.h"
#include "engine/StrFormat.h"
#include "gui/GUI_TextEditWindow.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Red, green and blue of one pixel.
struct Rgb {
    int r = 0, g = 0, b = 0;
};

// The greenest of three pixels in a row: the gauge's segments have gaps.
Rgb Pixel(const TextureData& shot, int x, int y)
{
    Rgb best;
    for (int dx = -1; dx <= 1; ++dx) {
        Rgb p;
        PixelAt(shot, x + dx, y, p.r, p.g, p.b);
        if (p.g > best.g)
            best = p;
    }
    return best;
}

} // namespace

TEST(GLCampaignRepairsCaptures, RepairAllFillsTheGaugeAndPrizesJoinTheFleet)
{
    CampaignWindowGame play(7);
    ASSERT_TRUE(play.Started());

    GUI_CampaignMap* map = CreateCampaignFromTitle("dock");
    ASSERT_NE(map, nullptr);
    SIM_CampaignEncounter* home = map->GetCampaign()->GetHomeworldEncounter();
    ASSERT_NE(home, nullptr);
    ASSERT_TRUE(home->HasRepairFacility());

    // A warship back from battle: every module has lost three fifths, in
    // described, priced items.
    SIM_CampaignFleet* fleet = MakeTestFleet(home);
    SIM_CampaignShip* ship = fleet->GetShips()[0];
    for (const auto& module : ship->modules)
        GUI_DamageDescGenerator::GetInstance().Describe(*module, 0.4f);
    ship->RecalculateIntegrity();
    const int total = SIM_CampaignDryDock::RepairAllCost(*ship);
    ASSERT_LT(ship->integrity, 0.9f);
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    progress.cash = total + 25;
    RunGameFrames(2);
    PullMapTo(map, home);

    // Its icon on the map opens its window; the repair button opens the yard.
    GUI_PlayerFleetIcon* icon = FleetIconOf(fleet);
    ASSERT_NE(icon, nullptr);
    // A name the title bar takes on two lines.
    fleet->guiName = "The Unbroken Line Of The Outer Wormhole Watch Reserve";
    ClickCentre(icon);
    RunGameFrames(2);
    GUI_CampaignFleetDetails* details = GUI_CampaignFleetDetails::FindForFleet(fleet);
    ASSERT_NE(details, nullptr);
    {
        // Its two lines stand above the bar's cyan underline (35 below its
        // top): no white of the text on that row.
        const GUI_TitleBar& bar = details->GetTitleBar();
        ASSERT_NE(bar.GetText().find('\n'), std::string::npos) << bar.GetText();
        TextureData titled = Screenshot(play.UserDir());
        ASSERT_GT(titled.width, 0);
        int white = 0, cyan = 0;
        for (int x = bar.left + 30; x < bar.left + static_cast<int>(bar.GetBarWidth()) - 10; ++x) {
            Rgb p;
            PixelAt(titled, x, bar.top + 35, p.r, p.g, p.b);
            white += std::min({p.r, p.g, p.b}) > 170;
            cyan += p.b > p.r + 60;
        }
        EXPECT_EQ(white, 0) << "the text crosses the underline";
        EXPECT_GT(cyan, 20) << "the underline is drawn there";
    }
    ASSERT_TRUE(details->GetRepairButton()->enabled);
    ClickCentre(details->GetRepairButton());
    RunGameFrames(2);
    GUI_CampaignRepairs* yard = GUI_CampaignRepairs::GetOpen();
    ASSERT_NE(yard, nullptr);
    EXPECT_EQ(GUI_CampaignFleetDetails::FindForFleet(fleet), nullptr);
    ASSERT_EQ(yard->GetShownShip(), ship);
    ASSERT_TRUE(yard->GetRepairAllButton()->enabled);

    // The hull gauge: lit green at its start, dark at its end.
    const GUI_RepairStatus* hull = yard->GetHullBar();
    const int gaugeY = (hull->top + 5 + hull->bottom - 2) / 2;
    const int gaugeStart = hull->right - 357 + 4;
    const int gaugeEnd = hull->right - 12;
    TextureData shot = Screenshot(play.UserDir());
    ASSERT_GT(shot.width, 0);
    Rgb start = Pixel(shot, gaugeStart, gaugeY);
    Rgb end = Pixel(shot, gaugeEnd, gaugeY);
    EXPECT_GT(start.g, start.r + 40) << "the hull gauge's lit part is green";
    EXPECT_LT(end.g, 60) << "the lost part is dark";
    // The yard hides the map: its blueprint box stands out from black.
    EXPECT_GT(Brightness(shot, yard->GetBlueprint()->left + 20, yard->GetBlueprint()->top + 20, 3), 30.0);

    ClickCentre(yard->GetRepairAllButton());
    RunGameFrames(2);
    EXPECT_EQ(progress.cash, 25);
    EXPECT_FLOAT_EQ(ship->integrity, 1.0f);
    shot = Screenshot(play.UserDir());
    end = Pixel(shot, gaugeEnd, gaugeY);
    EXPECT_GT(end.g, end.r + 40) << "repaired: green to the end";
    EXPECT_GT(end.g, 80);

    // Closed with its button: the ship's log has the visit.
    ClickCentre(yard->GetCloseButton());
    RunGameFrames(2);
    EXPECT_EQ(GUI_CampaignRepairs::GetOpen(), nullptr);
    ASSERT_FALSE(ship->log->GetEntries().empty());
    EXPECT_NE(ship->log->GetEntries().back().text.find(std::to_string(total)), std::string::npos);

    // The fleet manager, opened from its button, counts the fleet's one ship.
    ClickCentre(map->GetBottomPanel()->GetManagerButton(0));
    RunGameFrames(2);
    GUI_CampaignFleetManager* manager = GUI_CampaignFleetManager::GetOpen();
    ASSERT_NE(manager, nullptr);
    const auto rowOf = [&]() -> const GUI_CampaignFleetManagerStrip* {
        for (const auto& s : manager->GetStrips())
            if (auto* row = dynamic_cast<const GUI_CampaignFleetManagerStrip*>(s.get()); row && row->GetFleet() == fleet)
                return row;
        return nullptr;
    };
    const auto counts = [&]() {
        return StrFormat("CRx%d FRx%d Fix%d", fleet->CountShipsOfClass(0), fleet->CountShipsOfClass(1),
                         fleet->CountShipsOfClass(2));
    };
    ASSERT_NE(rowOf(), nullptr);
    const std::string before = counts();
    EXPECT_EQ(rowOf()->GetSecondText(), before);

    // A won battle left two enemy escorts alive.
    SIM_CampaignBattleOutcome outcome;
    for (int id = 1; id <= 2; ++id) {
        SIM_BattleShipResult r;
        r.shipId = id;
        r.design = "fed_ai_escort";
        r.name = id == 1 ? "Taken" : "Also Taken";
        outcome.enemyShips.push_back(r);
    }
    SIM_CampaignCaptureManager::GetInstance().CollectCaptures(fleet, outcome);
    SIM_CampaignScreenHooks::Get().OpenCapturesDialog();
    RunGameFrames(2);
    GUI_CampaignCaptureManager* prizes = GUI_CampaignCaptureManager::GetOpen();
    ASSERT_NE(prizes, nullptr);
    ASSERT_EQ(prizes->GetStrips().size(), 2u);
    shot = Screenshot(play.UserDir());
    // The strips are pale panels; the map with its counters is hidden: above
    // the dialog the screen is black.
    const GUI_CampaignCaptureStrip* strip = prizes->GetStrips()[1];
    EXPECT_GT(Brightness(shot, strip->right - 20, strip->bottom - 8, 2), 150.0);
    EXPECT_LT(Brightness(shot, prizes->left / 2, 20, 4), 10.0);

    ClickCentre(prizes->GetOkButton());
    Settle();
    EXPECT_EQ(GUI_CampaignCaptureManager::GetOpen(), nullptr);
    ASSERT_EQ(fleet->GetShips().size(), 3u);
    EXPECT_EQ(fleet->GetShips()[1]->name, "Taken");
    EXPECT_EQ(fleet->GetShips()[2]->name, "Also Taken");
    EXPECT_FALSE(SIM_CampaignCaptureManager::GetInstance().HasWaiting());
    // The manager still open counts the prizes with the fleet.
    ASSERT_EQ(GUI_CampaignFleetManager::GetOpen(), manager);
    ASSERT_NE(rowOf(), nullptr);
    ASSERT_NE(counts(), before);
    EXPECT_EQ(rowOf()->GetSecondText(), counts());

    GUI_Campaign::QuitCampaignToMenu();
    Settle();
}
