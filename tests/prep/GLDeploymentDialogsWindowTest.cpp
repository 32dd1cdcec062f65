// The deployment screen's ship dialogs and supply list through the real
// window, as a player uses them: a ship renamed while the player tries to
// drag it away, then the fleet reloaded under the dialog; and the supply
// list counting a ship placed with the mouse and selecting the ships of a
// line; the design icons under the mission summary, and Escape with the
// summary open. The test build runs under ASan: a dialog that outlived its
// ship would be caught writing through it.
#include "app/Game.h"
#include "engine/APP_UserFolders.h"
#include "engine/GSafeFile.h"
#include "frontend/GUI_SupplyLimits.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_CloseButton.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_RCMenuBase.h"
#include "gui/GUI_TextEditWindow.h"
#include "gui/GUI_WindowManager.h"
#include "prep/GUI_DeploymentDesignPicker.h"
#include "prep/GUI_DeploymentDetails.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentIconRCMenu.h"
#include "prep/GUI_DeploymentZone.h"
#include "prep/GUI_DeploymentTools.h"
#include "prep/GUI_FleetSummaryBar.h"
#include "prep/GUI_MissionSummary.h"
#include "prep/GUI_RandomShipName.h"
#include "prep/GUI_ShipIcon.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_ShipOrder.h"
#include "support/WindowInput.h"
#include "support/WindowRoad.h"
#include "support/WindowedGame.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const char* const kTwoFrigates = "[ship0]\nshipid = 1\nname = Anvil\ndesign = fed_sample_frigate\n"
                                 "pos = 288,384\nquantity = 1\nangle = 90\n\n"
                                 "[ship1]\nshipid = 2\nname = Beacon\ndesign = fed_sample_frigate\n"
                                 "pos = 288,768\nquantity = 1\nangle = 90\n\n";

std::string DeployedPath()
{
    return APP_UserFolders::GetInstance().Get(APP_UserFolders::DEPLOYMENTS) + "/scenario1/deployed.txt";
}

void WriteDeployed(const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(DeployedPath()).parent_path());
    ASSERT_TRUE(WriteFileAtomically(DeployedPath(), text));
}

// Letters as a keyboard types them: the key and the text it makes.
void Type(const std::vector<SDL_Scancode>& keys, const std::string& text)
{
    for (size_t i = 0; i < keys.size(); ++i) {
        SDL_Event down{};
        down.type = SDL_KEYDOWN;
        down.key.keysym.scancode = keys[i];
        down.key.state = SDL_PRESSED;
        PushSdlEvent(down);
        SDL_Event typed{};
        typed.type = SDL_TEXTINPUT;
        typed.text.text[0] = text[i];
        PushSdlEvent(typed);
        SDL_Event up = down;
        up.type = SDL_KEYUP;
        up.key.state = SDL_RELEASED;
        PushSdlEvent(up);
        RunGameFrames(1);
    }
    RunGameFrames(1);
}

int Centre(int a, int b)
{
    return (a + b) / 2;
}

// The deployment screen of scenario1 with the two frigates placed; Anvil's icon.
GUI_DeploymentIcon* DeployTwoFrigates()
{
    WriteDeployed(kTwoFrigates);
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    if (!scenario)
        return nullptr;
    GUI_DeploymentGUI::Open(scenario, false, 15);
    SettleScreens();
    return Game::GetInstance().GetModeId() == 2 ? FindDeploymentIconByShipId(1) : nullptr;
}

// The ship's menu by a right click on its icon, then its Rename.
void OpenNaming(const GUI_DeploymentIcon* icon)
{
    RightClickAt(Centre(icon->left, icon->right), Centre(icon->top, icon->bottom));
    auto* menu = dynamic_cast<GUI_DeploymentIconRCMenu*>(GUI_RCMenuBase::GetOpen());
    ASSERT_NE(menu, nullptr);
    ClickCentre(menu->GetRenameButton());
    ASSERT_NE(GUI_RandomShipName::GetOpen(), nullptr);
    RunGameFrames(1);
}

} // namespace

TEST(GLDeploymentDialogsWindow, ARenamedShipCannotBeDraggedAwayAndItsDialogGoesWithTheFleet)
{
    WindowedGame play({.seed = 5, .smallWindow = false, .noLessons = true});
    ASSERT_TRUE(play.Started());
    WriteDeployed(kTwoFrigates);
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(scenario, nullptr);
    GUI_DeploymentGUI::Open(scenario, false, 15);
    SettleScreens(); // past the screen wipe
    GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    ASSERT_EQ(Game::GetInstance().GetModeId(), 2);
    GUI_DeploymentIcon* anvil = FindDeploymentIconByShipId(1);
    ASSERT_NE(anvil, nullptr);
    SIM_DeployedShip* ship = anvil->GetShip();
    const float mapX = anvil->mapX, mapY = anvil->mapY;

    // Rename from the ship's menu.
    RightClickAt(Centre(anvil->left, anvil->right), Centre(anvil->top, anvil->bottom));
    auto* menu = dynamic_cast<GUI_DeploymentIconRCMenu*>(GUI_RCMenuBase::GetOpen());
    ASSERT_NE(menu, nullptr);
    ClickCentre(menu->GetRenameButton());
    GUI_RandomShipName* naming = GUI_RandomShipName::GetOpen();
    ASSERT_NE(naming, nullptr);
    EXPECT_TRUE(GUI_WindowManager::GetInstance().IsModalOpen());

    // The ship is pressed and pulled out of the zone: the dialog holds the
    // input, so the ship stays where it was.
    const GRect zone = GUI_DeploymentZone::GetInstance().GetScreenRect();
    SetMouseButton(Centre(anvil->left, anvil->right), Centre(anvil->top, anvil->bottom), true);
    MoveMouse(zone.right + 150, Centre(zone.top, zone.bottom));
    SetMouseButton(zone.right + 150, Centre(zone.top, zone.bottom), false);
    RunGameFrames(3);
    ASSERT_EQ(FindDeploymentIconByShipId(1), anvil);
    EXPECT_FALSE(anvil->dragging);
    EXPECT_FLOAT_EQ(anvil->mapX, mapX);
    EXPECT_FLOAT_EQ(anvil->mapY, mapY);
    EXPECT_EQ(screen.GetPlayerFleet()->GetShips().size(), 2u);
    ASSERT_EQ(GUI_RandomShipName::GetOpen(), naming);
    // Nor does a right click on the ship offer its menu under the dialog.
    RightClickAt(Centre(anvil->left, anvil->right), Centre(anvil->top, anvil->bottom));
    EXPECT_EQ(GUI_RCMenuBase::GetOpen(), nullptr);

    // Typing names the ship.
    ClickCentre(naming->GetTextField());
    Type({SDL_SCANCODE_X, SDL_SCANCODE_Y}, "xy");
    EXPECT_NE(ship->name, "Anvil");
    EXPECT_EQ(ship->name, naming->GetTextField()->GetText());

    // The fleet is loaded again under the dialog: the dialog goes with the
    // ship it named before the next frame reaches it, and what is typed next
    // reaches nothing freed.
    screen.LoadDeploymentFile(DeployedPath());
    EXPECT_EQ(naming->GetIcon(), nullptr);
    RunGameFrames(1);
    EXPECT_EQ(GUI_RandomShipName::GetOpen(), nullptr);
    EXPECT_FALSE(GUI_WindowManager::GetInstance().IsModalOpen());
    Type({SDL_SCANCODE_Z}, "z");
    RunGameFrames(5);
    ASSERT_EQ(screen.GetPlayerFleet()->GetShips().size(), 2u);

    // With no dialog open the map takes the drag: out of the zone, the ship goes.
    GUI_DeploymentIcon* beacon = FindDeploymentIconByShipId(2);
    ASSERT_NE(beacon, nullptr);
    SetMouseButton(Centre(beacon->left, beacon->right), Centre(beacon->top, beacon->bottom), true);
    MoveMouse(zone.right + 150, Centre(zone.top, zone.bottom));
    SetMouseButton(zone.right + 150, Centre(zone.top, zone.bottom), false);
    RunGameFrames(3);
    EXPECT_EQ(FindDeploymentIconByShipId(2), nullptr);
    EXPECT_EQ(screen.GetPlayerFleet()->GetShips().size(), 1u);
}

// A ship renamed with the keyboard alone: the field takes the keys from the
// start, a cleared field leaves the ship its name, Enter closes the dialog.
TEST(GLDeploymentDialogsWindow, AShipIsRenamedByKeyboardAloneAndNeverLeftBlank)
{
    WindowedGame play({.seed = 5, .smallWindow = false, .noLessons = true});
    ASSERT_TRUE(play.Started());
    GUI_DeploymentIcon* anvil = DeployTwoFrigates();
    ASSERT_NE(anvil, nullptr);
    SIM_DeployedShip* ship = anvil->GetShip();
    auto openNaming = [anvil] { OpenNaming(anvil); };
    auto eraseAll = [] {
        for (int i = 0; i < 8; ++i)
            PressKey(SDL_SCANCODE_BACKSPACE);
    };

    ASSERT_NO_FATAL_FAILURE(openNaming());
    EXPECT_TRUE(GUI_RandomShipName::GetOpen()->GetTextField()->IsEditing());
    eraseAll();
    EXPECT_EQ(GUI_RandomShipName::GetOpen()->GetTextField()->GetText(), "");
    EXPECT_EQ(ship->name, "Anvil") << "a blank name is not taken";
    Type({SDL_SCANCODE_O, SDL_SCANCODE_A, SDL_SCANCODE_K}, "Oak");
    EXPECT_EQ(ship->name, "Oak");
    PressKey(SDL_SCANCODE_RETURN);
    RunGameFrames(2);
    EXPECT_EQ(GUI_RandomShipName::GetOpen(), nullptr);
    EXPECT_FALSE(GUI_WindowManager::GetInstance().IsModalOpen());
    EXPECT_EQ(ship->name, "Oak");

    // Cleared and closed with Enter: the name it had stays; spaces count as blank.
    ASSERT_NO_FATAL_FAILURE(openNaming());
    eraseAll();
    Type({SDL_SCANCODE_SPACE}, " ");
    EXPECT_EQ(ship->name, "Oak");
    PressKey(SDL_SCANCODE_RETURN);
    RunGameFrames(2);
    EXPECT_EQ(GUI_RandomShipName::GetOpen(), nullptr);
    EXPECT_EQ(ship->name, "Oak");
}

// Rename opens with the old name selected, lit on a blue band: the first
// letter typed replaces it ("Bluewing", not "AnvilBluewing"). A cursor key
// lets the selection go, and typing then adds where the caret stands.
TEST(GLDeploymentDialogsWindow, RenameOpensWithTheOldNameSelectedSoTypingReplacesIt)
{
    WindowedGame play({.seed = 6, .smallWindow = false, .noLessons = true});
    ASSERT_TRUE(play.Started());
    GUI_DeploymentIcon* anvil = DeployTwoFrigates();
    ASSERT_NE(anvil, nullptr);
    SIM_DeployedShip* ship = anvil->GetShip();
    auto openNaming = [anvil] { OpenNaming(anvil); };
    // Pixels of the field's band: blue well above red.
    auto blueIn = [&play](const GUI_TextEditWindow& field) {
        const TextureData shot = Screenshot(play.UserDir());
        int blue = 0;
        for (int y = field.top + 1; y < field.bottom - 1; ++y)
            for (int x = field.left + 1; x < field.right - 1; ++x) {
                int r = 0, g = 0, b = 0;
                PixelAt(shot, x, y, r, g, b);
                blue += b > r + 60 && b > 120;
            }
        return blue;
    };

    ASSERT_NO_FATAL_FAILURE(openNaming());
    GUI_TextEditWindow* field = GUI_RandomShipName::GetOpen()->GetTextField();
    EXPECT_EQ(field->GetText(), "Anvil");
    EXPECT_TRUE(field->IsAllSelected());
    EXPECT_GT(blueIn(*field), 100) << "the old name stands on the selection's band";
    Type({SDL_SCANCODE_B, SDL_SCANCODE_L, SDL_SCANCODE_U, SDL_SCANCODE_E}, "Blue");
    EXPECT_EQ(field->GetText(), "Blue");
    EXPECT_FALSE(field->IsAllSelected());
    EXPECT_EQ(blueIn(*field), 0);
    PressKey(SDL_SCANCODE_RETURN);
    RunGameFrames(2);
    EXPECT_EQ(ship->name, "Blue");

    // Backspace takes the whole selection; then End keeps the name and adds.
    ASSERT_NO_FATAL_FAILURE(openNaming());
    field = GUI_RandomShipName::GetOpen()->GetTextField();
    PressKey(SDL_SCANCODE_BACKSPACE);
    EXPECT_EQ(field->GetText(), "");
    Type({SDL_SCANCODE_O, SDL_SCANCODE_A, SDL_SCANCODE_K}, "Oak");
    PressKey(SDL_SCANCODE_RETURN);
    RunGameFrames(2);
    ASSERT_EQ(ship->name, "Oak");
    ASSERT_NO_FATAL_FAILURE(openNaming());
    field = GUI_RandomShipName::GetOpen()->GetTextField();
    PressKey(SDL_SCANCODE_END);
    EXPECT_FALSE(field->IsAllSelected());
    Type({SDL_SCANCODE_S}, "s");
    EXPECT_EQ(field->GetText(), "Oaks");
    // Left lets it go at the start.
    PressKey(SDL_SCANCODE_ESCAPE);
    RunGameFrames(2);
    ASSERT_NO_FATAL_FAILURE(openNaming());
    field = GUI_RandomShipName::GetOpen()->GetTextField();
    PressKey(SDL_SCANCODE_LEFT);
    Type({SDL_SCANCODE_X}, "X");
    EXPECT_EQ(field->GetText().substr(0, 2), "XO");
    PressKey(SDL_SCANCODE_ESCAPE);
    RunGameFrames(2);
}

TEST(GLDeploymentDialogsWindow, TheSupplyListCountsAShipPlacedWithTheMouseAndALineSelectsItsShips)
{
    WindowedGame play({.seed = 5, .smallWindow = false, .noLessons = true});
    ASSERT_TRUE(play.Started());
    const SIM_ShipDesign* frigate = SIM_ShipDesign::Find("fed_sample_frigate");
    const SIM_ShipDesign* support = SIM_ShipDesign::Find("fed_sample_support");
    ASSERT_TRUE(frigate && support);
    const int lasers = frigate->CountModulesByTypeName("frigate_laser");
    ASSERT_GT(lasers, 0);
    ASSERT_EQ(support->CountModulesByTypeName("frigate_laser"), 0);
    WriteDeployed("[ship0]\nshipid = 1\nname = Anvil\ndesign = fed_sample_frigate\n"
                  "pos = 288,384\nquantity = 1\nangle = 90\n\n"
                  "[ship1]\nshipid = 2\nname = Crane\ndesign = fed_sample_support\n"
                  "pos = 288,768\nquantity = 1\nangle = 90\n\n");
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(scenario, nullptr);
    const std::vector<SIM_Scenario::SupplyLimit> saved = scenario->GetSupplyLimits();
    // Room for exactly two frigates' lasers.
    scenario->SetSupplyLimit("frigate_laser", 2 * lasers);
    GUI_DeploymentGUI::Open(scenario, false, 15);
    SettleScreens(); // past the screen wipe
    GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    ASSERT_EQ(Game::GetInstance().GetModeId(), 2);

    ASSERT_NE(screen.GetSummaryBar()->GetSuppliesButton(), nullptr);
    ClickCentre(screen.GetSummaryBar()->GetSuppliesButton());
    GUI_SupplyLimits* list = GUI_SupplyLimits::GetOpen();
    ASSERT_NE(list, nullptr);
    GUI_SupplyLimitStrip* line = nullptr;
    for (GUI_SupplyLimitStrip* strip : list->GetStrips())
        if (strip->GetType().GetName() == "frigate_laser")
            line = strip;
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->GetInUseText().rfind(std::to_string(lasers) + " ", 0), 0u) << line->GetInUseText();
    EXPECT_FLOAT_EQ(line->GetFraction(), 0.5f);

    // A second frigate from the picker into the zone: the open list counts it.
    const GUI_ShipIcon* design = nullptr;
    for (const GUI_ShipIcon* icon : GUI_DeploymentDesignPicker::GetOpen()->GetVisibleIcons())
        if (icon->GetKind() == GUI_ShipIcon::DESIGN && icon->GetDesign() == frigate)
            design = icon;
    ASSERT_NE(design, nullptr);
    ClickCentre(design);
    const GRect zone = GUI_DeploymentZone::GetInstance().GetScreenRect();
    ClickAt(Centre(zone.left, zone.right), Centre(zone.top, zone.bottom));
    ASSERT_EQ(screen.GetPlayerFleet()->GetShips().size(), 3u);
    EXPECT_EQ(line->GetInUseText().rfind(std::to_string(2 * lasers) + " ", 0), 0u) << line->GetInUseText();
    EXPECT_FLOAT_EQ(line->GetFraction(), 1.0f);

    // The line selects the ships that carry the module, and shows one.
    ClearDeploymentSelection();
    ClickCentre(line);
    int selectedFrigates = 0;
    for (const GUI_DeploymentIcon* icon : GetDeploymentIcons()) {
        if (icon->GetShip()->design == "fed_sample_support")
            EXPECT_FALSE(icon->selected);
        else
            selectedFrigates += icon->selected ? 1 : 0;
    }
    EXPECT_EQ(selectedFrigates, 2);
    ASSERT_NE(GUI_DeploymentDetails::GetShown(), nullptr);
    EXPECT_EQ(GUI_DeploymentDetails::GetShown()->design, "fed_sample_frigate");

    // Going back leaves no list over the main menu (the changed fleet is
    // asked about first).
    ClickCentre(screen.GetGoBackButton());
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    ClickCentre(GUI_ConfirmDialog::GetOpen()->GetYesButton());
    SettleScreens(); // past the screen wipe
    EXPECT_EQ(Game::GetInstance().GetModeId(), 15);
    EXPECT_EQ(GUI_SupplyLimits::GetOpen(), nullptr);
    scenario->ClearSupplyLimits();
    for (const SIM_Scenario::SupplyLimit& entry : saved)
        scenario->SetSupplyLimit(entry.moduleType, entry.limit);
}

// The scenario's summary, opened from the summary bar, stays open while the
// player goes on with the map: a ship's menu on a right click, and Shift+E
// that makes the selected ship an escort of the next ship clicked.
TEST(GLDeploymentDialogsWindow, TheMissionSummaryLeavesTheMapInReach)
{
    WindowedGame play({.seed = 5, .smallWindow = false, .noLessons = true});
    ASSERT_TRUE(play.Started());
    WriteDeployed(kTwoFrigates);
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(scenario, nullptr);
    GUI_DeploymentGUI::Open(scenario, false, 15);
    SettleScreens(); // past the screen wipe
    GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    ASSERT_EQ(Game::GetInstance().GetModeId(), 2);

    ClickCentre(screen.GetSummaryBar()->GetDetailsButton());
    GUI_MissionSummary* summary = GUI_MissionSummary::GetOpen();
    ASSERT_NE(summary, nullptr);
    GUI_DeploymentIcon* anvil = FindDeploymentIconByShipId(1);
    GUI_DeploymentIcon* beacon = FindDeploymentIconByShipId(2);
    ASSERT_TRUE(anvil && beacon);
    for (const GUI_DeploymentIcon* icon : {anvil, beacon})
        ASSERT_FALSE(summary->Contains(static_cast<float>(Centre(icon->left, icon->right)),
                                       static_cast<float>(Centre(icon->top, icon->bottom))));
    SIM_DeployedShip* ship = anvil->GetShip();
    ship->orders.Clear();

    // A right click on a ship offers its menu.
    RightClickAt(Centre(anvil->left, anvil->right), Centre(anvil->top, anvil->bottom));
    auto* menu = dynamic_cast<GUI_DeploymentIconRCMenu*>(GUI_RCMenuBase::GetOpen());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetCaption(), ship->name);
    EXPECT_EQ(GUI_MissionSummary::GetOpen(), summary);
    GUI_WindowManager::GetInstance().CloseWindow(menu);
    RunGameFrames(1);

    // Selected, Shift+E, then a click on the other ship: an escort order.
    ClickCentre(anvil);
    ASSERT_TRUE(anvil->selected);
    SetKey(SDL_SCANCODE_LSHIFT, true);
    SetKey(SDL_SCANCODE_E, true);
    SetKey(SDL_SCANCODE_E, false);
    SetKey(SDL_SCANCODE_LSHIFT, false);
    EXPECT_EQ(GUI_DeploymentTools::GetInstance().pickMode, 1);
    ClickCentre(beacon);
    ASSERT_TRUE(ship->orders.HasOrder("ESCORT"));
    EXPECT_EQ(ship->orders.GetOrder("ESCORT")->shipId, 2);
    EXPECT_EQ(GUI_MissionSummary::GetOpen(), summary);

    // Its own close button still closes it.
    ClickCentre(summary->GetCloseButton());
    RunGameFrames(1);
    EXPECT_EQ(GUI_MissionSummary::GetOpen(), nullptr);
}

namespace {

// Pixels of the rectangle whose colour changed between the two pictures by
// more than a shade.
int ChangedPixels(const TextureData& a, const TextureData& b, int left, int top, int right, int bottom)
{
    int changed = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            int ar = 0, ag = 0, ab = 0, br = 0, bg = 0, bb = 0;
            PixelAt(a, x, y, ar, ag, ab);
            PixelAt(b, x, y, br, bg, bb);
            if (std::abs(ar - br) > 24 || std::abs(ag - bg) > 24 || std::abs(ab - bb) > 24)
                ++changed;
        }
    return changed;
}

// Where a design icon's tooltip opens for a pointer at (x, y): right of the
// pointer and of the cursor drawn there.
int TooltipChange(const TextureData& a, const TextureData& b, int x, int y)
{
    return ChangedPixels(a, b, x + 40, y, x + 200, y + 36);
}

} // namespace

// A design icon lights, takes the hand cursor and shows its tooltip only
// while nothing stands between it and the pointer: not through the mission
// summary that covers the picker on the smallest screen, and not after the
// pointer has jumped off the picker in one move. Escape then puts the
// summary away and keeps the screen; the next Escape leaves it.
TEST(GLDeploymentDialogsWindow, DesignIconsReactOnlyWhereNothingCoversThemAndEscapeClosesTheSummaryFirst)
{
    WindowedGame play({.seed = 5, .noLessons = true});
    ASSERT_TRUE(play.Started());
    SIM_Scenario* scenario = SIM_Scenario::FindByName("scenario1");
    ASSERT_NE(scenario, nullptr);
    GUI_DeploymentGUI::Open(scenario, false, 15);
    SettleScreens();
    GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    ASSERT_EQ(Game::GetInstance().GetModeId(), 2);
    const GUI_DeploymentDesignPicker* picker = screen.GetDesignPicker();
    ASSERT_NE(picker, nullptr);
    const GUI_Cursor& cursor = GUI_Cursor::GetInstance();
    const int awayX = (picker->right + 1024) / 2 + 150, awayY = 300; // on the map, right of the summary

    // Uncovered, an icon lights and shows its tooltip; a jump off the
    // picker leaves it as it was before.
    std::vector<GUI_ShipIcon*> designs;
    for (GUI_ShipIcon* icon : picker->GetVisibleIcons())
        if (icon->GetKind() == GUI_ShipIcon::DESIGN)
            designs.push_back(icon);
    ASSERT_GE(designs.size(), 2u);
    GUI_ShipIcon* first = designs.front();
    const int fx = Centre(first->left, first->right), fy = Centre(first->top, first->bottom);
    MoveMouse(awayX, awayY);
    RunGameFrames(15);
    const TextureData before = Screenshot(play.UserDir());
    ASSERT_GT(before.width, 0);
    MoveMouse(fx, fy);
    RunGameFrames(15);
    EXPECT_TRUE(first->IsHovered());
    EXPECT_EQ(cursor.GetKind(), GUI_Cursor::kHand);
    const TextureData lit = Screenshot(play.UserDir());
    EXPECT_GT(ChangedPixels(before, lit, first->left - 4, first->top - 4, first->right + 4, first->top), 20)
        << "the lit frame";
    EXPECT_GT(TooltipChange(before, lit, fx, fy), 200) << "the tooltip";
    MoveMouse(awayX, awayY);
    RunGameFrames(2);
    EXPECT_FALSE(first->IsHovered());
    const TextureData left = Screenshot(play.UserDir());
    EXPECT_LT(ChangedPixels(before, left, first->left - 4, first->top - 4, first->right + 4, first->top), 4)
        << "the frame stayed lit";

    // The summary over the picker: the icon under it stays dark.
    ClickCentre(screen.GetSummaryBar()->GetDetailsButton());
    const GUI_MissionSummary* summary = GUI_MissionSummary::GetOpen();
    ASSERT_NE(summary, nullptr);
    GUI_ShipIcon* covered = nullptr;
    int cx = 0, cy = 0;
    for (GUI_ShipIcon* icon : designs) {
        const int l = std::max(icon->left, summary->left), r = std::min(icon->right, summary->right);
        const int t = std::max(icon->top, summary->top + 2), b = std::min(icon->bottom, summary->bottom);
        if (r - l >= 8 && b - t >= 8 && !covered) {
            covered = icon;
            cx = Centre(l, r);
            cy = Centre(t, b);
        }
    }
    ASSERT_NE(covered, nullptr) << "at 1024 x 768 the summary covers a design icon";
    MoveMouse(Centre(summary->left, summary->right), cy);
    RunGameFrames(15);
    const TextureData onSummary = Screenshot(play.UserDir());
    MoveMouse(cx, cy);
    RunGameFrames(15);
    EXPECT_FALSE(covered->IsHovered());
    EXPECT_NE(cursor.GetKind(), GUI_Cursor::kHand);
    const TextureData overIcon = Screenshot(play.UserDir());
    EXPECT_LT(TooltipChange(onSummary, overIcon, cx, cy), 20) << "a tooltip through the summary";

    // Escape: the summary goes, the screen and the fleet last fought with stay.
    const std::string temp = screen.GetTempDeploymentPath();
    std::filesystem::create_directories(std::filesystem::path(temp).parent_path());
    ASSERT_TRUE(WriteFileAtomically(temp, kTwoFrigates));
    PressKey(SDL_SCANCODE_ESCAPE);
    RunGameFrames(2);
    EXPECT_EQ(GUI_MissionSummary::GetOpen(), nullptr);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 2);
    EXPECT_TRUE(std::filesystem::exists(temp));
    // Uncovered now, the icon under the pointer answers.
    RunGameFrames(15);
    EXPECT_TRUE(covered->IsHovered());
    // With nothing open Escape leaves, as before.
    PressKey(SDL_SCANCODE_ESCAPE);
    RunGameFrames(2);
    EXPECT_EQ(Game::GetInstance().GetModeId(), 3);
    EXPECT_FALSE(std::filesystem::exists(temp));
}
