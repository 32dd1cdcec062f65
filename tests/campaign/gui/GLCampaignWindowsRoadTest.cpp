// Campaign windows through the real window, with the mouse and keys alone:
// zoomed in on the homeworld, a fleet's window, Build, and the fleet's map
// icon then dropped on another fleet there while the shipyard shows it; and
// Escape taking the fleet, ship and log windows down one by one before it
// asks to quit.
#include "CampaignBattleRoad.h"

#include "campaign/gui/GUI_CampaignFleetDetails.h"
#include "campaign/gui/GUI_CampaignFleetManager.h"
#include "campaign/gui/GUI_CampaignManagerStrip.h"
#include "campaign/gui/GUI_CampaignShipDetails.h"
#include "campaign/gui/GUI_CampaignShipIcon.h"
#include "campaign/gui/GUI_FleetRename.h"
#include "campaign/gui/GUI_ShipsLog.h"
#include "campaign/sim/SIM_Campaign.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "engine/GSafeFile.h"
#include "engine/LibText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_IconButton.h"

#include <algorithm>

namespace {

// The wheel turned towards the screen over the map, one notch a frame.
void WheelIn(int x, int y, int notches)
{
    MoveMouse(x, y);
    for (int i = 0; i < notches; ++i) {
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.y = 1;
        PushSdlEvent(e);
        RunGameFrames(1);
    }
}

// Takes the map by empty space right of the shipyard's place and pulls it
// until the planet stands clear of the yard.
void PullPlanetRightOf(GUI_CampaignMap* map, const SIM_CampaignEncounter* e, int minX)
{
    const int height = D3DEngine::GetInstance().GetScreenHeight();
    for (int pull = 0; pull < 8 && map->FindView(e)->CentreX() < minX; ++pull) {
        int sx = -1, sy = -1;
        for (int y = height / 2 - 100; y < height / 2 + 100 && sx < 0; y += 20)
            for (int x = minX; x < minX + 200 && sx < 0; x += 20) {
                bool empty = true;
                for (const GUI_Encounter* v : map->GetEncounters())
                    empty = empty && !v->Contains(static_cast<float>(x), static_cast<float>(y));
                if (empty)
                    sx = x, sy = y;
            }
        ASSERT_GE(sx, 0) << "no empty space to take the map by";
        DragWithMouse(sx, sy, sx + 200, sy, 5);
        RunGameFrames(2);
    }
}

// A fleet's file in the save, as it stands on disk.
std::string Saved(const SIM_CampaignFleet* fleet)
{
    std::string text;
    ReadWholeFile(fleet->GetFilePath(), text);
    return text;
}

template <typename T>
void DragCentreTo(const T* from, const GUI_BaseElement* to)
{
    DragWithMouse((from->left + from->right) / 2, (from->top + from->bottom) / 2, (to->left + to->right) / 2,
                  (to->top + to->bottom) / 2, 6);
    RunGameFrames(2);
}

} // namespace

TEST(GLCampaignWindowsRoad, AFleetMergedOnTheMapTakesItsShipyardAlongAndEscapeClosesTheDialogs)
{
    CampaignWindowGame play(13);
    ASSERT_TRUE(play.Started());
    GUI_CampaignMap* map = CreateCampaignFromTitle("merge");
    ASSERT_NE(map, nullptr);
    SIM_CampaignEncounter* home = map->GetCampaign()->GetHomeworldEncounter();
    ASSERT_NE(home, nullptr);
    // The shipyard's part: two warships at the homeworld, in fleets of their own.
    SIM_CampaignFleet* a = MakeTestFleet(home);
    SIM_CampaignFleet* b = MakeTestFleet(home);
    const int aId = a->id;
    RunGameFrames(2);
    // The wheel and a pull bring the homeworld's fleets clear of where the yard will stand.
    const int width = D3DEngine::GetInstance().GetScreenWidth();
    const int yardRight = GUI_Shipyard::LeftFor(width) + GUI_Shipyard::kWidth;
    WheelIn(width / 2, D3DEngine::GetInstance().GetScreenHeight() / 2, 6);
    PullPlanetRightOf(map, home, yardRight + 100);
    ASSERT_TRUE(FleetIconOf(a) && FleetIconOf(b));
    ASSERT_GT(FleetIconOf(a)->left, yardRight);

    // A's icon clicked: its window; Build: the yard for A, in the window's place.
    ClickCentre(FleetIconOf(a));
    RunGameFrames(2);
    GUI_CampaignFleetDetails* details = GUI_CampaignFleetDetails::FindForFleet(a);
    ASSERT_NE(details, nullptr);
    ClickCentre(details->GetBuildButton());
    ASSERT_NE(GUI_Shipyard::GetOpen(), nullptr);
    ASSERT_EQ(GUI_Shipyard::GetOpen()->GetFleet(), a);

    // A's icon dropped on B's: B takes A's ship, A goes, and its yard with it.
    DragCentreTo(FleetIconOf(a), FleetIconOf(b));
    RunGameFrames(2);
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().FindFleet(aId), nullptr);
    EXPECT_EQ(b->GetShips().size(), 2u);
    EXPECT_EQ(GUI_Shipyard::GetOpen(), nullptr);

    // Next Turn and its report: nothing reaches for the merged fleet.
    ClickCentre(map->GetBottomPanel()->GetNextTurnButton());
    Settle();
    ASSERT_NE(GUI_EndTurn::GetOpen(), nullptr);
    ASSERT_TRUE(GUI_EndTurn::GetOpen()->GetContinueButton()->enabled);
    ClickCentre(GUI_EndTurn::GetOpen()->GetContinueButton());
    Settle();
    EXPECT_EQ(SIM_CampaignProgress::GetInstance().turn, 1);

    // B's window, a tile let go on its own window (the ship's details), the
    // log button: three dialogs, and Escape closes them newest first.
    ClickCentre(FleetIconOf(b));
    RunGameFrames(2);
    details = GUI_CampaignFleetDetails::FindForFleet(b);
    ASSERT_NE(details, nullptr);
    ASSERT_FALSE(details->GetIcons().empty());
    const GUI_CampaignShipIcon* tile = details->GetIcons()[0];
    DragWithMouse((tile->left + tile->right) / 2, (tile->top + tile->bottom) / 2, (tile->left + tile->right) / 2 + 20,
                  (tile->top + tile->bottom) / 2 + 10, 4);
    RunGameFrames(2);
    ASSERT_NE(GUI_CampaignShipDetails::GetOpen(), nullptr);
    ClickCentre(GUI_CampaignShipDetails::GetOpen()->GetLogButton());
    ASSERT_NE(GUI_ShipsLog::GetOpen(), nullptr);
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(GUI_ShipsLog::GetOpen(), nullptr);
    EXPECT_NE(GUI_CampaignShipDetails::GetOpen(), nullptr);
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(GUI_CampaignShipDetails::GetOpen(), nullptr);
    EXPECT_NE(GUI_CampaignFleetDetails::FindForFleet(b), nullptr);
    PressKey(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(GUI_CampaignFleetDetails::FindForFleet(b), nullptr);
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);

    // Only now Escape asks; Yes leaves for the title.
    PressKey(SDL_SCANCODE_ESCAPE);
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    ClickCentre(GUI_ConfirmDialog::GetOpen()->GetYesButton());
    Settle();
    EXPECT_EQ(Game::GetInstance().GetModeId(), GUI_Campaign::kMainMenu);
}

// Two fleets' windows through the real window, B's opened over A's: a click
// on B's tile where it lies over A shows the ship and moves nothing, nor does
// a small slip of the mouse; a drop on what shows of A moves the ship there.
TEST(GLCampaignWindowsRoad, AClickOnATileOverAnotherFleetsWindowShowsTheShipAndMovesNothing)
{
    CampaignWindowGame play(14);
    ASSERT_TRUE(play.Started());
    GUI_CampaignMap* map = CreateCampaignFromTitle("stack");
    ASSERT_NE(map, nullptr);
    SIM_CampaignEncounter* home = map->GetCampaign()->GetHomeworldEncounter();
    ASSERT_NE(home, nullptr);
    SIM_CampaignFleet* a = MakeTestFleet(home);
    SIM_CampaignFleet* b = MakeTestFleet(home);
    AddTestShip(b, "fed_ai_escort", "Second");
    ASSERT_TRUE(SIM_CampaignProgress::GetInstance().Save());
    RunGameFrames(2);
    const int width = D3DEngine::GetInstance().GetScreenWidth();
    const int height = D3DEngine::GetInstance().GetScreenHeight();
    WheelIn(width / 2, height / 2, 6);
    ASSERT_TRUE(FleetIconOf(a) && FleetIconOf(b));

    // A's window, taken by its title below the planet, where it leaves the
    // planet's icons in view; then B's, which opens over it.
    ClickCentre(FleetIconOf(a));
    RunGameFrames(2);
    GUI_CampaignFleetDetails* wa = GUI_CampaignFleetDetails::FindForFleet(a);
    ASSERT_NE(wa, nullptr);
    const int iconsBottom = std::max(FleetIconOf(a)->bottom, FleetIconOf(b)->bottom);
    DragWithMouse((wa->left + wa->right) / 2, wa->top + 15, width / 2, iconsBottom + 40, 6);
    RunGameFrames(2);
    ASSERT_GT(wa->top, iconsBottom);
    ASSERT_LT(wa->bottom + GUI_CampaignFleetDetails::kCascade, height);
    ClickCentre(FleetIconOf(b));
    RunGameFrames(2);
    GUI_CampaignFleetDetails* wb = GUI_CampaignFleetDetails::FindForFleet(b);
    ASSERT_NE(wb, nullptr);
    ASSERT_EQ(wb->left, wa->left + GUI_CampaignFleetDetails::kCascade);
    const GUI_CampaignShipIcon* tile = wb->GetIcons()[0];
    const SIM_CampaignShip* ship = tile->GetShip();
    const int x = (tile->left + tile->right) / 2, y = (tile->top + tile->bottom) / 2;
    ASSERT_TRUE(wa->Contains(static_cast<float>(x), static_cast<float>(y)));
    const std::string fleetsA = Saved(a);
    const std::string fleetsB = Saved(b);
    ASSERT_FALSE(fleetsB.empty());

    for (int slip : {0, 3}) {
        SCOPED_TRACE(slip);
        DragWithMouse(x, y, x + slip, y + slip, slip ? 2 : 0);
        RunGameFrames(2);
        GUI_CampaignShipDetails* details = GUI_CampaignShipDetails::GetOpen();
        ASSERT_NE(details, nullptr);
        EXPECT_EQ(details->GetShip(), ship);
        EXPECT_EQ(ship->fleet, b);
        EXPECT_EQ(a->GetShips().size(), 1u);
        EXPECT_EQ(b->GetShips().size(), 2u);
        EXPECT_EQ(Saved(b), fleetsB);
        EXPECT_EQ(Saved(a), fleetsA);
        // The ship's window is drawn over both.
        const TextureData shot = Screenshot(play.UserDir());
        EXPECT_GT(CountLitIn(shot, *details, 150), 50);
        PressKey(SDL_SCANCODE_ESCAPE);
        RunGameFrames(1);
        ASSERT_EQ(GUI_CampaignShipDetails::GetOpen(), nullptr);
        tile = wb->GetIcons()[0];
    }

    // Dropped on what shows of A: the ship moves there, and into the save.
    DragWithMouse(x, y, wa->left + 40, wa->top + 70, 6);
    RunGameFrames(2);
    EXPECT_EQ(ship->fleet, a);
    EXPECT_EQ(a->GetShips().size(), 2u);
    EXPECT_NE(Saved(a), fleetsA);
    GUI_Campaign::QuitCampaignToMenu();
    Settle();
}

// The fleet manager through the real window: its button, a fleet's row, the
// fleet's Rename with a long name typed in, and the row the name changes at
// once, cut to leave the planet's name inside the window.
TEST(GLCampaignWindowsRoad, AFleetRenamedWhileTheManagerIsOpenShowsItsNewNameWithinTheRow)
{
    CampaignWindowGame play(15);
    ASSERT_TRUE(play.Started());
    GUI_CampaignMap* map = CreateCampaignFromTitle("renamed");
    ASSERT_NE(map, nullptr);
    SIM_CampaignFleet* fleet = MakeTestFleet(map->GetCampaign()->GetHomeworldEncounter());
    RunGameFrames(2);
    ClickCentre(map->GetBottomPanel()->GetManagerButton(0));
    GUI_CampaignFleetManager* manager = GUI_CampaignFleetManager::GetOpen();
    ASSERT_NE(manager, nullptr);
    ASSERT_EQ(manager->GetStrips().size(), 1u);
    ClickCentre(manager->GetStrips()[0].get());
    RunGameFrames(2);
    GUI_CampaignFleetDetails* details = GUI_CampaignFleetDetails::FindForFleet(fleet);
    ASSERT_NE(details, nullptr);
    ClickCentre(details->GetRenameButton());
    GUI_FleetRename* rename = GUI_FleetRename::GetOpen();
    ASSERT_NE(rename, nullptr);
    ClickCentre(rename->GetField());
    for (size_t i = rename->GetField()->GetText().size() + 2; i > 0; --i)
        PressKey(SDL_SCANCODE_BACKSPACE);
    const std::string typed = "The Unbroken Line Of The Outer Wormhole Watch Reserve";
    // Typed a few keys at a time, as a hand types.
    for (size_t at = 0; at < typed.size(); at += 8)
        TypeText(typed.substr(at, 8));
    ASSERT_EQ(rename->GetField()->GetText(), typed);
    ClickCentre(rename->GetOkButton());
    RunGameFrames(2);
    ASSERT_EQ(fleet->GetName(), typed);

    ASSERT_EQ(manager->GetStrips().size(), 1u);
    const GUI_CampaignManagerStrip* row = manager->GetStrips()[0].get();
    EXPECT_EQ(row->GetFirstText(), typed);
    const std::string& shown = row->GetShownFirstText();
    ASSERT_GT(shown.size(), 3u);
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    // Both names drawn inside the row: the fleet's from its text's place,
    // the planet's after it, neither past the row's right edge.
    LibText& text = LibText::GetInstance();
    text.SetFont(GUI_CampaignManagerStrip::kFont, GUI_CampaignManagerStrip::kFontSize);
    const int placeRight = row->left + row->GetPlaceLeft() + text.GetTextWidth(row->GetPlaceName());
    EXPECT_LE(placeRight, row->right);
    const TextureData shot = Screenshot(play.UserDir());
    EXPECT_GT(CountLit(shot, row->left + row->GetPlaceLeft(), row->top, placeRight, row->top + 22, 180), 10)
        << "the planet's name is drawn";
    GUI_Campaign::QuitCampaignToMenu();
    Settle();
}
