// Orders given through the real window, as a player gives them: two ships
// selected with the mouse, an attack order added from the picker and its
// range set from a weapon, then one ship told to escort the other by
// picking it on the map. The fight's deployment file holds the orders and
// the battle keeps the escort by its charge.
#include "DeploymentWindowRoad.h"

#include "app/Game.h"
#include "battle/GUI_BattleGUI.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"
#include "gui/GUI_ButtonText.h"
#include "prep/GUI_BehaviourEditor.h"
#include "prep/GUI_BehaviourPicker.h"
#include "prep/GUI_BehaviourPickerStrip.h"
#include "prep/GUI_BehaviourStrip.h"
#include "prep/GUI_DeploymentDetails.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentTools.h"
#include "prep/GUI_RangeBehaviorEditor.h"
#include "prep/GUI_WeaponRangeStrip.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipOrder.h"
#include "support/WindowInput.h"
#include "support/WindowRoad.h"
#include "support/WindowedGame.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

const SIM_Ship* BattleShip(int shipId)
{
    for (const SIM_Ship* ship : SIM_Battle::GetInstance().GetPlayerFleet()->GetAllShips())
        if (ship->shipId == shipId)
            return ship;
    return nullptr;
}

} // namespace

TEST(GLDeploymentOrdersWindow, OrdersGivenWithTheMouseReachTheFileAndTheBattle)
{
    // The window at the size the game picks for itself.
    WindowedGame play({.seed = 5, .smallWindow = false, .battleFrameMs = 16.0f});
    ASSERT_TRUE(play.Started());
    Game& game = Game::GetInstance();

    ASSERT_NO_FATAL_FAILURE(OpenFirstScenarioWith("[ship0]\nshipid = 1\nname = Anvil\ndesign = fed_sample_frigate\n"
                                                  "pos = 288,384\nquantity = 1\nangle = 90\n\n"
                                                  "[ship1]\nshipid = 2\nname = Beacon\ndesign = fed_sample_frigate\n"
                                                  "pos = 288,768\nquantity = 1\nangle = 90\n\n"));
    GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    ASSERT_EQ(game.GetModeId(), 2);
    GUI_DeploymentIcon* a = FindDeploymentIconByShipId(1);
    GUI_DeploymentIcon* b = FindDeploymentIconByShipId(2);
    ASSERT_TRUE(a && b);
    SIM_DeployedShip* shipA = a->GetShip();
    SIM_DeployedShip* shipB = b->GetShip();
    shipA->orders.Clear();
    shipB->orders.Clear();

    // Select both: a click, then Ctrl and a click.
    ClickCentre(a);
    SetKey(SDL_SCANCODE_LCTRL, true);
    ClickCentre(b);
    SetKey(SDL_SCANCODE_LCTRL, false);
    ASSERT_TRUE(a->selected && b->selected);
    ASSERT_NE(GUI_DeploymentDetails::GetOpen(), nullptr);

    // The add row opens the picker; a double click on an attack order adds it.
    ClickCentre(GUI_DeploymentDetails::GetOpen()->GetAddStrip());
    GUI_BehaviourPicker* picker = GUI_BehaviourPicker::GetOpen();
    ASSERT_NE(picker, nullptr);
    const GUI_BehaviourPickerStrip* attack = nullptr;
    for (const GUI_BehaviourPickerStrip* strip : picker->GetStrips())
        if (strip->GetType()->name == "ATTACK_FRIGATES")
            attack = strip;
    ClickCentre(attack, 2);
    EXPECT_EQ(GUI_BehaviourPicker::GetOpen(), nullptr);
    ASSERT_TRUE(shipA->orders.HasOrder("ATTACK_FRIGATES"));
    ASSERT_TRUE(shipB->orders.HasOrder("ATTACK_FRIGATES"));

    // Its row opens the range editor; the laser's row sets the range, OK keeps it.
    RunGameFrames(1);
    const GUI_BehaviourStrip* row = nullptr;
    for (const GUI_BehaviourStrip* strip : GUI_DeploymentDetails::GetOpen()->GetStrips())
        if (strip->GetOrder() && strip->GetOrder()->behaviour == "ATTACK_FRIGATES")
            row = strip;
    ClickCentre(row);
    GUI_RangeBehaviorEditor* editor = GUI_RangeBehaviorEditor::GetOpenRange();
    ASSERT_NE(editor, nullptr);
    ASSERT_FALSE(editor->GetStrips().empty());
    const float laserRange = editor->GetStrips().front()->GetRange();
    ClickCentre(editor->GetStrips().front());
    EXPECT_FLOAT_EQ(editor->GetCurrentRange(), laserRange);
    ClickCentre(editor->GetOKButton());
    EXPECT_EQ(GUI_BehaviourEditor::GetOpen(), nullptr);
    EXPECT_NEAR(shipA->orders.GetOrder("ATTACK_FRIGATES")->float2, laserRange, 0.01f);
    EXPECT_NEAR(shipB->orders.GetOrder("ATTACK_FRIGATES")->float2, laserRange, 0.01f);

    // A alone, Shift+E, then a click on B: A escorts B.
    ClickAt(b->right + 150, (a->top + b->bottom) / 2); // empty map: clears the selection
    ClickCentre(a);
    ASSERT_TRUE(a->selected);
    ASSERT_FALSE(b->selected);
    SetKey(SDL_SCANCODE_LSHIFT, true);
    SetKey(SDL_SCANCODE_E, true);
    SetKey(SDL_SCANCODE_E, false);
    SetKey(SDL_SCANCODE_LSHIFT, false);
    ASSERT_EQ(GUI_DeploymentTools::GetInstance().pickMode, 1);
    // While it waits, a red line runs from A to the pointer.
    const int ax = (a->left + a->right) / 2, ay = (a->top + a->bottom) / 2;
    MoveMouse(ax + 200, ay);
    const TextureData shot = Screenshot(play.UserDir());
    int reddest = 0;
    for (int dy = -1; dy <= 1; ++dy) {
        int r = 0, g = 0, bl = 0;
        PixelAt(shot, ax + 100, ay + dy, r, g, bl);
        if (r > 200 && g < 120 && bl < 120)
            reddest = r;
    }
    EXPECT_GT(reddest, 200);
    ClickCentre(b);
    EXPECT_EQ(GUI_DeploymentTools::GetInstance().pickMode, 0);
    ASSERT_TRUE(shipA->orders.HasOrder("ESCORT"));
    EXPECT_EQ(shipA->orders.GetOrder("ESCORT")->shipId, 2);
    EXPECT_FALSE(shipB->orders.HasOrder("ESCORT"));

    // FIGHT writes the deployment the battle is built from.
    ClickCentre(screen.GetFightButton());
    ASSERT_EQ(game.GetModeId(), 9);
    std::string written;
    ASSERT_TRUE(ReadWholeFile(screen.GetTempDeploymentPath(), written));
    EXPECT_NE(written.find("ESCORT,2,100.00"), std::string::npos) << written;
    EXPECT_NE(written.find(StrFormat("ATTACK_FRIGATES,-1,0.50,%.2f", static_cast<double>(laserRange))), std::string::npos)
        << written;

    SetKey(SDL_SCANCODE_SPACE, true);
    SetKey(SDL_SCANCODE_SPACE, false);
    ASSERT_EQ(game.GetModeId(), 0);
    ASSERT_TRUE(SIM_Battle::GetInstance().IsStarted());
    const SIM_Ship* escort = BattleShip(1);
    const SIM_Ship* charge = BattleShip(2);
    ASSERT_TRUE(escort && charge);
    auto distance = [&] { return std::hypot(escort->x - charge->x, escort->y - charge->y); };
    const float start = distance();
    // The escort heads for a point at its escort distance (100) from its
    // charge, whatever the charge does, and so closes on it.
    for (int i = 0; i < 10; ++i) {
        RunGameFrames(250);
        ASSERT_FALSE(escort->IsDead() || charge->IsDead());
        if (escort->hasDestination) {
            EXPECT_LT(std::hypot(escort->destinationX - charge->x, escort->destinationY - charge->y), 110.0f)
                << "after " << (i + 1) * 250 << " frames";
        }
    }
    EXPECT_LT(distance(), start / 2.0f);
}

// An escort order the squadron could not take stays without a target; its
// row opens the editor, Set target and a click on empty map drop the order,
// and the editor that showed it goes too instead of reading it every frame.
TEST(GLDeploymentOrdersWindow, AnEditorWhoseOrderAPickDropsClosesWithIt)
{
    WindowedGame play({.seed = 6, .smallWindow = false, .battleFrameMs = 16.0f, .noLessons = true});
    ASSERT_TRUE(play.Started());
    ASSERT_NO_FATAL_FAILURE(OpenFirstScenarioWith("[ship0]\nshipid = 1\nname = Anvil\ndesign = fed_sample_frigate\n"
                                                  "pos = 288,384\nquantity = 1\nangle = 90\n\n"
                                                  "[ship1]\nshipid = 2\nname = Wasps\ndesign = fed_sample_fighter\n"
                                                  "pos = 288,768\nquantity = 4\nangle = 90\n\n"));
    ASSERT_EQ(Game::GetInstance().GetModeId(), 2);
    GUI_DeploymentIcon* frigate = FindDeploymentIconByShipId(1);
    GUI_DeploymentIcon* squadron = FindDeploymentIconByShipId(2);
    ASSERT_TRUE(frigate && squadron);
    SIM_DeployedShip* ship = frigate->GetShip();
    ship->orders.Clear();

    // The frigate, Shift+E, then the squadron: refused as a charge.
    ClickCentre(frigate);
    ASSERT_TRUE(frigate->selected);
    SetKey(SDL_SCANCODE_LSHIFT, true);
    SetKey(SDL_SCANCODE_E, true);
    SetKey(SDL_SCANCODE_E, false);
    SetKey(SDL_SCANCODE_LSHIFT, false);
    ASSERT_EQ(GUI_DeploymentTools::GetInstance().pickMode, 1);
    ClickCentre(squadron);
    ASSERT_TRUE(ship->orders.HasOrder("ESCORT"));
    EXPECT_EQ(ship->orders.GetOrder("ESCORT")->shipId, -1);

    // The order's row opens its editor; Set target, then empty map.
    ClickCentre(frigate);
    RunGameFrames(1);
    ASSERT_NE(GUI_DeploymentDetails::GetOpen(), nullptr);
    const GUI_BehaviourStrip* row = nullptr;
    for (const GUI_BehaviourStrip* strip : GUI_DeploymentDetails::GetOpen()->GetStrips())
        if (strip->GetOrder() && strip->GetOrder()->behaviour == "ESCORT")
            row = strip;
    ASSERT_NE(row, nullptr);
    ClickCentre(row);
    GUI_BehaviourEditor* editor = GUI_BehaviourEditor::GetOpen();
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(editor->GetOrder(), ship->orders.GetOrder("ESCORT"));
    ClickCentre(editor->GetSetTargetButton());
    ASSERT_EQ(GUI_DeploymentTools::GetInstance().pickMode, 1);
    ClickAt(frigate->right + 150, (frigate->top + frigate->bottom) / 2);
    RunGameFrames(3);
    EXPECT_FALSE(ship->orders.HasOrder("ESCORT"));
    EXPECT_EQ(GUI_BehaviourEditor::GetOpen(), nullptr);
    EXPECT_EQ(GUI_DeploymentTools::GetInstance().pickMode, 0);
    // The screen goes on: the frigate still takes orders through its details.
    ClickCentre(frigate);
    RunGameFrames(1);
    ASSERT_NE(GUI_DeploymentDetails::GetOpen(), nullptr);
    EXPECT_EQ(GUI_DeploymentDetails::GetShown(), ship);
}
