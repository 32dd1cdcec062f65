// The player's controls on the battle screen: speed steps, pause, the key
// table, the quit question, wheel zoom and picking a ship or a turret.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "app/APP_UsageMetrics.h"
#include "app/GUI_Sounds.h"
#include "sim/SIM_Options.h"
#include "battle/BattleSpeed.h"
#include "battle/GUI_DebrisPool.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_Ship.h"
#include "battle/GUI_ShipDrawLists.h"
#include "battle/hud/BattleHud.h"
#include "battle/hud/GUI_BattleModuleStats.h"
#include "battle/hud/GUI_RangeMarker.h"
#include "battle/hud/GUI_ShipInspector.h"
#include "battle/hud/GUI_TopStrip.h"
#include "battle/hud/GUI_TopStripButton.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_CloseButton.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_WindowBase.h"
#include "gui/GUI_WindowManager.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "platform/KeyCodes.h"
#include "platform/NullSoundSystem.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Fleet.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_Ship.h"
#include "sim/ShippedBattleWorld.h"
#include "sim/modules/SIM_TargetedModule.h"
#include "battle/BattleScreenTest.h"

namespace {

class BattleControls : public BattleScreenTest {
protected:
    void SetUp() override
    {
        BattleScreenTest::SetUp();
        ASSERT_TRUE(Start("scenario1"));
        gui().Enter();
    }
    static void OnKey(int code) { gui().OnKeyDown(code); }
    static void Mouse(float x, float y)
    {
        CInput::GetInstance().SetCursorPosition(x, y);
        CInput::GetInstance().UpdateMousePosition();
    }
    static void Speeds(void (*press)(), int times)
    {
        for (int i = 0; i < times; ++i)
            press();
    }
};

TEST_F(BattleControls, SpeedStepsByTwoTenthsUpToTwoThenFourTenthsWithinItsClamp)
{
    gui().battleSpeed = 1.0f;
    Speeds(BattleSpeedUp, 5);
    EXPECT_NEAR(gui().battleSpeed, 2.0f, 1e-5f);
    EXPECT_GT(gui().battleSpeed, 2.0f) << "float steps land just above 2";
    BattleSpeedUp();
    EXPECT_NEAR(gui().battleSpeed, 2.4f, 1e-5f);
    Speeds(BattleSpeedUp, 10);
    EXPECT_FLOAT_EQ(gui().battleSpeed, 4.0f);
    Speeds(BattleSpeedDown, 4);
    EXPECT_NEAR(gui().battleSpeed, 2.4f, 1e-5f);
    BattleSpeedDown();
    EXPECT_LT(gui().battleSpeed, 2.0f);
    BattleSpeedUp();
    EXPECT_NEAR(gui().battleSpeed, 2.2f, 1e-5f) << "at exactly 2.0 or below the step is 0.2";
    EXPECT_FLOAT_EQ(NextBattleSpeed(2.0f, true), 2.2f);
    EXPECT_FLOAT_EQ(NextBattleSpeed(0.2f, false), 0.2f);
    Speeds(BattleSpeedDown, 20);
    EXPECT_FLOAT_EQ(gui().battleSpeed, 0.2f);
    EXPECT_TRUE(APP_UsageMetrics::GetInstance().GetEventCount("battlespeedchange") > 0);

    TogglePause();
    BattleSpeedUp();
    EXPECT_FLOAT_EQ(gui().battleSpeed, 0.2f) << "refused while paused";
}

TEST_F(BattleControls, PauseStopsBattleTimeAndResumeStepsAtOne)
{
    gui().RenderBattleFrame();
    const float time = gui().battleTime;
    EXPECT_GT(time, 0.0f);
    OnKey(KEY_P);
    EXPECT_TRUE(gui().paused);
    EXPECT_FLOAT_EQ(gui().frameStep, 0.0f);
    EXPECT_FLOAT_EQ(gui().scaledFrameTime, 0.0f);
    gui().RenderBattleFrame();
    EXPECT_FLOAT_EQ(gui().battleTime, time);
    OnKey(KEY_P);
    EXPECT_FALSE(gui().paused);
    EXPECT_FLOAT_EQ(gui().frameStep, 1.0f);
    EXPECT_TRUE(APP_UsageMetrics::GetInstance().GetEventCount("pausetoggle") > 0);
}

TEST_F(BattleControls, TheKeyTableAndAFocusWindowThatTakesTheKeysInstead)
{
    gui().battleSpeed = 1.0f;
    OnKey(KEY_EQUALS);
    OnKey(KEY_ADD);
    EXPECT_NEAR(gui().battleSpeed, 1.4f, 1e-5f);
    OnKey(KEY_MINUS);
    OnKey(KEY_SUBTRACT);
    EXPECT_NEAR(gui().battleSpeed, 1.0f, 1e-5f);
    OnKey(KEY_U);
    EXPECT_EQ(gui().hudShown, 0);
    OnKey(KEY_U);
    OnKey(KEY_O);
    EXPECT_EQ(gui().overlayShown, 1);
    OnKey(KEY_O);
    GUI_Map& map = GUI_Map::GetInstance();
    const float target = map.zoomTarget;
    OnKey(KEY_PRIOR);
    EXPECT_NEAR(map.zoomTarget, std::min(target + GUI_Map::kZoomStep, map.maxZoom), 1e-5f);
    OnKey(KEY_NEXT);
    EXPECT_NEAR(map.zoomTarget, target, 1e-5f);

    GUI_WindowBase field;
    gui().keyboardFocus = &field;
    OnKey(KEY_P);
    OnKey(KEY_U);
    OnKey(KEY_O);
    EXPECT_FALSE(gui().paused);
    EXPECT_EQ(gui().hudShown, 1);
    EXPECT_EQ(gui().overlayShown, 0);
}

TEST_F(BattleControls, TheQuitQuestionHoldsARunningBattleAndNeverResumesAPausedOne)
{
    OnKey(KEY_ESCAPE);
    GUI_ConfirmDialog* question = GUI_ConfirmDialog::GetOpen();
    ASSERT_NE(question, nullptr);
    // Outside a campaign nothing is lost by leaving: the plain question.
    EXPECT_EQ(question->GetQuestion(), GetString("BATTLE_QUIT_CONFIRM_TEXT"));
    EXPECT_TRUE(gui().paused);
    question->GetNoButton()->Press();
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    EXPECT_FALSE(gui().paused) << "no: the battle runs on";

    OnKey(KEY_P);
    OnKey(KEY_ESCAPE);
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_TRUE(gui().paused);
    GUI_ConfirmDialog::GetOpen()->GetNoButton()->Press();
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    EXPECT_TRUE(gui().paused) << "a battle paused before the question stays paused";
    OnKey(KEY_P);

    // Closing the question unanswered is a "no": its close button, then
    // Escape as the game hands it to the window manager.
    OnKey(KEY_ESCAPE);
    ASSERT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    ASSERT_TRUE(gui().paused);
    GUI_ConfirmDialog::GetOpen()->GetCloseButton()->Press();
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    EXPECT_EQ(GUI_ConfirmDialog::GetOpen(), nullptr);
    EXPECT_FALSE(gui().paused) << "closed unanswered: the battle runs on";

    OnKey(KEY_ESCAPE);
    ASSERT_TRUE(gui().paused);
    EXPECT_TRUE(GUI_WindowManager::GetInstance().CloseTopModal());
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    EXPECT_FALSE(gui().paused) << "Escape again: the battle runs on";

    OnKey(KEY_P);
    OnKey(KEY_ESCAPE);
    EXPECT_TRUE(GUI_WindowManager::GetInstance().CloseTopModal());
    GUI_WindowManager::GetInstance().DeleteQueuedWindows();
    EXPECT_TRUE(gui().paused) << "closing never un-pauses a battle the player paused";
}

TEST_F(BattleControls, TheWheelZoomsOutOnUpUnlessInverted)
{
    GUI_Map& map = GUI_Map::GetInstance();
    SIM_Options& options = SIM_Options::GetInstance();
    const float inverted = options.GetValue("INVERTZOOM");
    map.zoomTarget = 2.0f;
    options.SetValue("INVERTZOOM", 0.0f);
    gui().OnWheelUp();
    EXPECT_NEAR(map.zoomTarget, 1.9f, 1e-5f);
    gui().OnWheelDown();
    EXPECT_NEAR(map.zoomTarget, 2.0f, 1e-5f);
    options.SetValue("INVERTZOOM", 1.0f);
    gui().OnWheelUp();
    EXPECT_NEAR(map.zoomTarget, 2.1f, 1e-5f);
    options.SetValue("INVERTZOOM", inverted);
}

TEST_F(BattleControls, PickingTakesTheNearestLiveShipWithinItsRadiusAndItsTurrets)
{
    // Warp-in takes a moment; then look at a player's ship with turrets.
    for (int i = 0; i < 120; ++i)
        gui().RenderBattleFrame();
    GUI_Ship* target = nullptr;
    for (GUI_Ship* visual : GUI_Ship::GetAll()) {
        const SIM_Ship* ship = visual->GetShip();
        if (ship->isPlayerShip && ship->state == SIM_Ship::ACTIVE && !ship->GetTurretWeapons().empty() &&
            ship->GetTurretWeapons().front()->GetTurretCount() > 0) {
            target = visual;
            break;
        }
    }
    ASSERT_NE(target, nullptr) << "a player's ship with turrets";
    GUI_Map::GetInstance().SetCentre(target->GetShip()->x, target->GetShip()->y);
    TogglePause();
    gui().RenderBattleFrame(); // places every visual on the screen, nothing moves
    const float half = ZoomScale * target->GetHullWidth() * 0.5f;

    gui().cameraFollowMode = 1;
    Mouse(target->screenX + 0.3f * half, target->screenY);
    gui().PickShip();
    EXPECT_EQ(gui().GetPickedShip(), target->GetShip());
    EXPECT_EQ(gui().followedShip, target->GetShip());
    EXPECT_EQ(GUI_ShipInspector::GetInspectedShip(), target->GetShip()) << "our ship is inspected";

    // Outside half the hull width, still inside the pick radius: no ship,
    // but the turrets under the mouse are looked at.
    SIM_TargetedModule* weapon = target->GetShip()->GetTurretWeapons().front();
    const SIM_ShipModule::Point p = weapon->GetTurretWorldPos(0);
    const GUI_Map& map = GUI_Map::GetInstance();
    const float tx = (p.x - map.cameraX) * ZoomScale, ty = (p.y - map.cameraY) * ZoomScale;
    Mouse(tx, ty);
    gui().PickShip();
    EXPECT_EQ(gui().GetPickedModule(), target->ModuleUnderMouse());
    EXPECT_NE(gui().GetPickedModule(), nullptr);
    // The turret's weapon gets the range marker and its statistics, and the
    // inspector follows it to its ship.
    EXPECT_EQ(GetRangeMarker().GetModule(), gui().GetPickedModule());
    ASSERT_NE(GUI_BattleModuleStats::GetOpen(), nullptr);
    EXPECT_EQ(GUI_BattleModuleStats::GetOpen()->GetModule(), gui().GetPickedModule());
    EXPECT_EQ(GUI_ShipInspector::GetInspectedShip(), target->GetShip());
    const float d = std::hypot(tx - target->screenX, ty - target->screenY);
    if (d >= half) {
        EXPECT_EQ(gui().GetPickedShip(), nullptr);
    }

    // Nothing under the mouse: following ends, and a resting piece of
    // debris under it is blown away (one further off stays).
    GUI_DebrisPool& pool = GetDebrisPools().first;
    pool.Reset();
    gui().debris = 1;
    const float wx = 2.0f / ZoomScale + map.cameraX, wy = 2.0f / ZoomScale + map.cameraY;
    GUI_Debris& under = pool.Piece(pool.FindFreeSlot());
    under.Birth(0, 0, 1.0f, 0, true, wx, wy);
    under.resting = 1;
    GUI_Debris& beside = pool.Piece(pool.FindFreeSlot());
    beside.Birth(0, 0, 1.0f, 0, true, wx + 40.0f / ZoomScale, wy);
    beside.resting = 1;
    Mouse(2.0f, 2.0f);
    gui().PickShip();
    EXPECT_EQ(under.alive, 0) << "the click blew the piece away";
    EXPECT_EQ(beside.alive, 1);
    pool.Reset();
    EXPECT_EQ(gui().GetPickedShip(), nullptr);
    EXPECT_EQ(gui().cameraFollowMode, 0);
    EXPECT_EQ(gui().followedShip, nullptr);
    EXPECT_EQ(GUI_ShipInspector::GetOpen(), nullptr) << "a click on nothing closes the inspector";
    EXPECT_EQ(GetRangeMarker().GetModule(), nullptr);
    EXPECT_EQ(GUI_BattleModuleStats::GetOpen(), nullptr);
    BattleHud::CloseAll();
}

TEST_F(BattleControls, TheCameraButtonAndAClickOnAShipMakeTheCameraFollowItThroughTheFighting)
{
    // The camera starts on our strongest ship and stays put on its own.
    for (int i = 0; i < 120; ++i)
        gui().RenderBattleFrame();
    EXPECT_EQ(gui().cameraFollowMode, 0);
    GUI_Map& map = GUI_Map::GetInstance();
    GUI_Ship* target = nullptr;
    for (GUI_Ship* visual : GUI_Ship::GetAll())
        if (visual->GetShip()->isPlayerShip && visual->GetShip()->state == SIM_Ship::ACTIVE)
            target = visual;
    ASSERT_NE(target, nullptr);
    SIM_Ship* ship = target->GetShip();
    map.SetCentre(ship->x, ship->y);
    gui().RenderBattleFrame();

    // The camera button, then a click on the ship's centre, as a player does.
    GUI_TopStrip* strip = GUI_TopStrip::GetOpen();
    ASSERT_NE(strip, nullptr);
    const GUI_TopStripButton& button = *strip->GetButton(GUI_TopStrip::CAMERA);
    Mouse((button.left + button.right) * 0.5f, (button.top + button.bottom) * 0.5f);
    gui().OnLeftClick();
    EXPECT_EQ(gui().cameraFollowMode, 1);
    Mouse(target->screenX, target->screenY);
    gui().OnLeftClick();
    ASSERT_EQ(gui().followedShip, ship);
    gui().RenderBattleFrame(); // the button is up: the click's map drag ends
    Mouse(static_cast<float>(map.GetScreenWidth()) * 0.5f, 40.0f); // off the ship, clear of the scrolling edges

    // Each frame starts centred where the ship was when it began, held
    // inside the map's edges; our fleet starts by the left edge, so the
    // camera moves once the ship has flown out of the held margin.
    const float startX = ship->x, startY = ship->y;
    const float cameraStartX = CameraCentre[0], cameraStartY = CameraCentre[1];
    auto held = [](float v, float screen, float mapSize) {
        const float half = static_cast<float>(static_cast<int>(screen) / 2) / ZoomScale;
        return std::clamp(v - half, 0.0f, mapSize - screen / ZoomScale) + half;
    };
    for (int i = 0; i < 900; ++i) {
        const float x = ship->x, y = ship->y;
        gui().RenderBattleFrame();
        ASSERT_NEAR(CameraCentre[0], held(x, static_cast<float>(map.GetScreenWidth()), map.mapWidth), 0.05f)
            << "frame " << i;
        ASSERT_NEAR(CameraCentre[1], held(y, static_cast<float>(map.GetScreenHeight()), map.mapHeight), 0.05f)
            << "frame " << i;
    }
    EXPECT_GT(std::hypot(ship->x - startX, ship->y - startY), 20.0f) << "the ship flew";
    EXPECT_GT(std::hypot(CameraCentre[0] - cameraStartX, CameraCentre[1] - cameraStartY), 20.0f)
        << "and the camera went with it";
}

} // namespace
