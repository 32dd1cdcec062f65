// A newcomer's first campaign through the real window, driven only by SDL
// mouse and key events: the title's Campaign button, a campaign named "test",
// the map with its planets, a fleet dragged to a neighbouring planet, Next
// Turn, back to the title, and the same campaign loaded again.
#include "CampaignTestFleet.h"
#include "CampaignBattleRoad.h"

#include "app/Game.h"
#include "campaign/gui/GUI_Campaign.h"
#include "campaign/gui/GUI_CampaignAttackArrow.h"
#include "campaign/gui/GUI_CampaignControlPanelBttm.h"
#include "campaign/gui/GUI_CampaignControlPanelTop.h"
#include "campaign/gui/GUI_CampaignFacility.h"
#include "campaign/gui/GUI_CampaignFleetManager.h"
#include "campaign/gui/GUI_CampaignFleetManagerStrip.h"
#include "campaign/gui/GUI_CampaignLoader.h"
#include "campaign/gui/GUI_CampaignLoaderStrip.h"
#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/gui/GUI_EncounterDetails.h"
#include "campaign/gui/GUI_EndTurn.h"
#include "campaign/gui/GUI_PlayerFleetIcon.h"
#include "campaign/gui/GUI_Shipyard.h"
#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignFacility.h"
#include "campaign/sim/SIM_CampaignFacilityType.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/D3DEngine.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"
#include "frontend/GUI_MainMenu.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_IconButton.h"
#include "gui/GUI_Fader.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_Transition.h"
#include "platform/IClock.h"
#include "sim/SIM_ShipDesign.h"
#include "support/WindowInput.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace {

// How far the square around a point stands out from the square beside it.
double Contrast(const TextureData& shot, int x, int y, int half, int awayX, int awayY)
{
    return std::fabs(Brightness(shot, x, y, half) - Brightness(shot, awayX, awayY, half));
}

// QLM_KEEP_SHOTS names a folder that keeps the last screenshot for a look.
void KeepShot(const std::string& userDir, const std::string& name)
{
    const char* keep = getenv("QLM_KEEP_SHOTS");
    if (!keep)
        return;
    for (const auto& entry : std::filesystem::directory_iterator(userDir))
        if (entry.path().filename().string().rfind("screenshot_", 0) == 0)
            std::filesystem::copy_file(entry.path(), std::string(keep) + "/" + name,
                                       std::filesystem::copy_options::overwrite_existing);
}

} // namespace

TEST(GLCampaignRoad, CreateDragAFleetEndATurnQuitAndLoadTheSameState)
{
    CampaignWindowGame play(9);
    ASSERT_TRUE(play.Started());
    Game& game = Game::GetInstance();
    ASSERT_EQ(game.GetModeId(), GUI_Campaign::kMainMenu);

    // Campaign -> the loader; the name field is cleared and "test" typed.
    ClickCentre(GUI_MainMenu::GetInstance().GetCampaignButton());
    GUI_CampaignLoader* loader = GUI_CampaignLoader::GetOpen();
    ASSERT_NE(loader, nullptr);
    ClickCentre(loader->GetNameField());
    for (int i = 0; i < 8; ++i)
        PressKey(SDL_SCANCODE_BACKSPACE);
    TypeText("test");
    ASSERT_EQ(loader->GetNameField()->GetText(), "test");
    ClickCentre(loader->GetCreateButton());
    Settle();
    ASSERT_EQ(game.GetModeId(), GUI_Campaign::kModeId);
    GUI_CampaignMap* map = GUI_CampaignMap::Get();
    ASSERT_NE(map, nullptr);

    // A new campaign opens on the homeworld, though it lies by the map's
    // left edge.
    SIM_CampaignEncounter* home = map->GetCampaign()->GetHomeworldEncounter();
    ASSERT_NE(home, nullptr);
    const auto inView = [&](const SIM_CampaignEncounter* e) { return PlanetInView(map, e); };
    ASSERT_TRUE(inView(home));

    // The map shows its planets: each one in view stands out from the space
    // beside it.
    TextureData shot = Screenshot(play.UserDir());
    KeepShot(play.UserDir(), "map.bmp");
    ASSERT_GT(shot.width, 0);
    int planetsInView = 0, planetsSeen = 0;
    for (GUI_Encounter* view : map->GetEncounters()) {
        const int x = static_cast<int>(view->CentreX()), y = static_cast<int>(view->CentreY());
        if (x < 40 || y < 80 || x > shot.width - 40 || y > shot.height - 100)
            continue;
        ++planetsInView;
        planetsSeen += Contrast(shot, x - 8, y - 8, 4, x, static_cast<int>(y - view->Size())) > 30.0;
    }
    EXPECT_GE(planetsInView, 2);
    EXPECT_EQ(planetsSeen, planetsInView);

    // The shipyard's part: a warship at the homeworld.
    SIM_CampaignFleet* fleet = MakeTestFleet(home);
    ASSERT_EQ(fleet->GetShips().size(), 1u);
    RunGameFrames(2);
    const int fleetId = fleet->id;

    // Dragged with the mouse onto a neighbouring planet.
    SIM_CampaignEncounter* target = nullptr;
    for (SIM_CampaignEncounter* n : home->neighbours) {
        if (inView(n))
            target = n;
    }
    ASSERT_NE(target, nullptr) << "no neighbour of the homeworld in view";
    GUI_PlayerFleetIcon* icon = GUI_PlayerFleetIcon::GetAll().empty() ? nullptr : GUI_PlayerFleetIcon::GetAll()[0];
    ASSERT_NE(icon, nullptr);
    const int fx = (icon->left + icon->right) / 2, fy = (icon->top + icon->bottom) / 2;
    const GUI_Encounter* to = map->FindView(target);
    const int tx = static_cast<int>(to->CentreX()), ty = static_cast<int>(to->CentreY());
    MoveMouse(fx, fy);
    SetMouseButton(fx, fy, true);
    for (int i = 1; i <= 10; ++i)
        MoveMouse(fx + (tx - fx) * i / 10, fy + (ty - fy) * i / 10);
    SetMouseButton(tx, ty, false);
    RunGameFrames(2);
    ASSERT_EQ(fleet->location, target);
    if (getenv("QLM_KEEP_SHOTS")) {
        Screenshot(play.UserDir());
        KeepShot(play.UserDir(), "moved.bmp");
    }

    // Next Turn: the turn counter reads 1.
    ClickCentre(map->GetBottomPanel()->GetNextTurnButton());
    Settle();
    // The turn's report: with no battle to fight Continue leads back to the
    // map; a battle waiting at the attacked planet keeps the report up.
    ASSERT_NE(GUI_EndTurn::GetOpen(), nullptr);
    const bool battleWaits = !GUI_EndTurn::GetOpen()->GetContinueButton()->enabled;
    if (!battleWaits) {
        ClickCentre(GUI_EndTurn::GetOpen()->GetContinueButton());
        Settle();
        EXPECT_EQ(GUI_EndTurn::GetOpen(), nullptr);
    }
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().turn, 1);
    ASSERT_NE(GUI_CampaignControlPanelTop::GetOpen(), nullptr);
    EXPECT_EQ(GUI_CampaignControlPanelTop::GetOpen()->Get(GUI_CampaignCounter::TURN)->GetValue(), "1");
    // A pending attack may have been fought out by the turn's end; the fleet
    // is wherever the turn left it.
    const SIM_CampaignFleet* after = SIM_CampaignProgress::GetInstance().FindFleet(fleetId);
    const int placeAfterTurn = after && after->location ? after->location->encounterId : -1;

    // Quit to the title through the question (Escape while the report is up).
    if (battleWaits)
        PressKey(SDL_SCANCODE_ESCAPE);
    else
        ClickCentre(map->GetBottomPanel()->GetQuitButton());
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    ClickCentre(GUI_ConfirmDialog::GetOpen()->GetYesButton());
    Settle();
    ASSERT_EQ(game.GetModeId(), GUI_Campaign::kMainMenu);
    EXPECT_EQ(GUI_CampaignMap::Get(), nullptr);

    // Campaign -> "test" -> Continue: the same turn and fleet place.
    ClickCentre(GUI_MainMenu::GetInstance().GetCampaignButton());
    loader = GUI_CampaignLoader::GetOpen();
    ASSERT_NE(loader, nullptr);
    ASSERT_EQ(loader->GetStrips().size(), 1u);
    EXPECT_EQ(loader->GetStrips()[0]->GetFolderName(), "test");
    ClickCentre(loader->GetStrips()[0]->GetLoadButton());
    Settle();
    ASSERT_EQ(game.GetModeId(), GUI_Campaign::kModeId);
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().turn, 1);
    EXPECT_EQ(GUI_CampaignControlPanelTop::GetOpen()->Get(GUI_CampaignCounter::TURN)->GetValue(), "1");
    const SIM_CampaignFleet* loaded = SIM_CampaignProgress::GetInstance().FindFleet(fleetId);
    ASSERT_NE(loaded, nullptr);
    ASSERT_NE(loaded->location, nullptr);
    EXPECT_EQ(loaded->location->encounterId, placeAfterTurn);

    GUI_Campaign::QuitCampaignToMenu();
    Settle();
}

// Quit -> Yes with the shipyard open (a click, so every window goes after the
// frame's walk, when the fleets are gone); the screen's memory brings the
// yard back on load, and the same quit must hold again.
TEST(GLCampaignRoad, QuitWithTheShipyardOpenLoadAndQuitAgain)
{
    CampaignWindowGame play(11);
    ASSERT_TRUE(play.Started());
    Game& game = Game::GetInstance();
    GUI_CampaignMap* map = CreateCampaignFromTitle("yard");
    ASSERT_NE(map, nullptr);
    SIM_CampaignEncounter* home = map->GetCampaign()->GetHomeworldEncounter();
    ASSERT_NE(home, nullptr);
    PullMapTo(map, home);
    GUI_ButtonText* yardButton = YardButtonByClicks(map, home);
    ASSERT_NE(yardButton, nullptr);
    ClickCentre(yardButton);

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_NE(GUI_Shipyard::GetOpen(), nullptr);
        EXPECT_TRUE(GUI_Shipyard::GetOpen()->GetFleet()->GetShips().empty());
        ClickCentre(GUI_CampaignMap::Get()->GetBottomPanel()->GetQuitButton());
        ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
        ClickCentre(GUI_ConfirmDialog::GetOpen()->GetYesButton());
        Settle();
        ASSERT_EQ(game.GetModeId(), GUI_Campaign::kMainMenu);
        EXPECT_EQ(GUI_Shipyard::GetOpen(), nullptr);
        EXPECT_TRUE(SIM_CampaignProgress::GetInstance().GetFleets().empty());

        ClickCentre(GUI_MainMenu::GetInstance().GetCampaignButton());
        GUI_CampaignLoader* loader = GUI_CampaignLoader::GetOpen();
        ASSERT_NE(loader, nullptr);
        ASSERT_EQ(loader->GetStrips().size(), 1u);
        ClickCentre(loader->GetStrips()[0]->GetLoadButton());
        Settle();
        ASSERT_EQ(game.GetModeId(), GUI_Campaign::kModeId);
        // The yard is back, with one new empty fleet and no other.
        ASSERT_NE(GUI_Shipyard::GetOpen(), nullptr);
        EXPECT_EQ(SIM_CampaignProgress::GetInstance().GetFleets().size(), 1u);
    }
    // The program ends on the campaign with the yard open: the campaign goes
    // before the content its ships and windows point into.
    play.Stop();
    EXPECT_EQ(GUI_Shipyard::GetOpen(), nullptr);
    EXPECT_EQ(GUI_CampaignMap::Get(), nullptr);
    EXPECT_EQ(GUI_Campaign::GetInstance().GetDefinition(), nullptr);
    EXPECT_TRUE(SIM_CampaignProgress::GetInstance().GetFleets().empty());
}

// An attack ordered by a drag, then Quit -> Yes and the campaign loaded from
// the title: the order stands, in the save from the moment it was given, and
// its red arrow is drawn between the two planets again.
TEST(GLCampaignRoad, AnAttackOrderedBeforeQuittingStandsWithItsArrowAfterLoading)
{
    CampaignWindowGame play(12);
    ASSERT_TRUE(play.Started());
    Game& game = Game::GetInstance();
    GUI_CampaignMap* map = CreateCampaignFromTitle("orders");
    ASSERT_NE(map, nullptr);
    SIM_CampaignEncounter* home = map->GetCampaign()->GetHomeworldEncounter();
    ASSERT_NE(home, nullptr);
    SIM_CampaignFleet* fleet = MakeTestFleet(home);
    const int fleetId = fleet->id, homeId = home->encounterId;
    RunGameFrames(2);
    PullMapTo(map, home);
    // The fleet manager open meanwhile names where the fleet went.
    ClickCentre(map->GetBottomPanel()->GetManagerButton(0));
    RunGameFrames(2);
    GUI_CampaignFleetManager* manager = GUI_CampaignFleetManager::GetOpen();
    ASSERT_NE(manager, nullptr);
    const auto placeShown = [&]() -> const SIM_CampaignEncounter* {
        for (const auto& s : manager->GetStrips())
            if (auto* row = dynamic_cast<const GUI_CampaignFleetManagerStrip*>(s.get()); row && row->GetFleet() == fleet)
                return row->GetEncounter();
        return nullptr;
    };
    EXPECT_EQ(placeShown(), home);
    SIM_CampaignEncounter* target = SendToEnemyNeighbour(map, home, fleet);
    ASSERT_NE(target, nullptr);
    const int targetId = target->encounterId;
    ASSERT_EQ(GUI_CampaignFleetManager::GetOpen(), manager);
    EXPECT_EQ(placeShown(), target);
    GIniFile attacks;
    attacks.Load("attacks", (SIM_CampaignProgress::GetInstance().GetSaveFolder() + "/progress.txt").c_str());
    EXPECT_EQ(attacks.GetString("0"), StrFormat("%d,%d,%d", targetId, fleetId, homeId));

    ClickCentre(map->GetBottomPanel()->GetQuitButton());
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    ClickCentre(GUI_ConfirmDialog::GetOpen()->GetYesButton());
    Settle();
    ASSERT_EQ(game.GetModeId(), GUI_Campaign::kMainMenu);

    ClickCentre(GUI_MainMenu::GetInstance().GetCampaignButton());
    GUI_CampaignLoader* loader = GUI_CampaignLoader::GetOpen();
    ASSERT_NE(loader, nullptr);
    GUI_CampaignLoaderStrip* strip = nullptr;
    for (GUI_CampaignLoaderStrip* s : loader->GetStrips())
        if (s->GetFolderName() == "orders")
            strip = s;
    ASSERT_NE(strip, nullptr);
    ClickCentre(strip->GetLoadButton());
    Settle();
    ASSERT_EQ(game.GetModeId(), GUI_Campaign::kModeId);
    map = GUI_CampaignMap::Get();
    ASSERT_NE(map, nullptr);
    const SIM_CampaignFleet* loaded = SIM_CampaignProgress::GetInstance().FindFleet(fleetId);
    ASSERT_TRUE(loaded && loaded->location);
    EXPECT_EQ(loaded->location->encounterId, targetId);
    const auto& pending = SIM_CampaignBattleManager::GetInstance().GetPending();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0]->encounter->encounterId, targetId);
    const auto& arrows = GUI_CampaignAttackArrow::GetInstance().GetArrows();
    ASSERT_EQ(arrows.size(), 1u);
    EXPECT_EQ(arrows[0].kind, GUI_CampaignAttackArrow::ATTACK);

    // Half-way between the planets the arrow's red stands out of the map.
    const SIM_CampaignEncounter* from = SIM_CampaignEncounter::FindByID(homeId);
    const SIM_CampaignEncounter* to = SIM_CampaignEncounter::FindByID(targetId);
    ASSERT_TRUE(from && to);
    PullMapTo(map, from);
    PullMapTo(map, to);
    RunGameFrames(2);
    const GUI_Encounter* a = map->FindView(from);
    const GUI_Encounter* b = map->FindView(to);
    const int mx = static_cast<int>((a->CentreX() + b->CentreX()) / 2);
    const int my = static_cast<int>((a->CentreY() + b->CentreY()) / 2);
    const TextureData shot = Screenshot(play.UserDir());
    ASSERT_GT(shot.width, 0);
    int red = 0, green = 0, blue = 0;
    PixelAt(shot, mx, my, red, green, blue);
    EXPECT_GT(red - green, 40) << "no arrow at " << mx << "," << my;

    GUI_Campaign::QuitCampaignToMenu();
    Settle();
}
