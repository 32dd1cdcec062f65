#include <gtest/gtest.h>

#include "battle/CameraShake.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "battle/GUI_RenderObject.h"
#include "sim/SIM_Scenario.h"

namespace {

class MapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scenario.SetMapSize(2400.0f, 1800.0f);
        map.SetScreenSize(1024, 768);
    }
    SIM_Scenario scenario;
    GUI_Map map;
};

TEST(GUI_Map, WithoutAScreenTheWholeMapIsInView)
{
    SIM_Scenario scenario;
    scenario.SetMapSize(2400.0f, 1800.0f);
    GUI_Map map;
    map.SetUpForBattle(&scenario);
    EXPECT_FLOAT_EQ(map.mapWidth, 2400.0f);
    EXPECT_FLOAT_EQ(map.viewRight, 2400.0f);
    EXPECT_FLOAT_EQ(map.viewBottom, 1800.0f);
    EXPECT_FLOAT_EQ(map.zoom, 1.0f);
    EXPECT_FALSE(map.IsOffScreen(2400.0f, 0.0f, 0.0f));
    // No scenario: the size stays as it was.
    map.SetUpForBattle(nullptr);
    EXPECT_FLOAT_EQ(map.mapWidth, 2400.0f);
}

TEST(GUI_Map, OffScreenMeansOutsideTheViewGrownByTheMargin)
{
    GUI_Map map;
    map.viewLeft = 100.0f;
    map.viewTop = 50.0f;
    map.viewRight = 900.0f;
    map.viewBottom = 650.0f;
    EXPECT_FALSE(map.IsOffScreen(500.0f, 300.0f, 0.0f));
    EXPECT_TRUE(map.IsOffScreen(99.0f, 300.0f, 0.0f));
    EXPECT_FALSE(map.IsOffScreen(-28.0f, 300.0f, 128.0f));
    EXPECT_TRUE(map.IsOffScreen(-29.0f, 300.0f, 128.0f));
    EXPECT_TRUE(map.IsOffScreen(500.0f, 779.0f, 128.0f));
    EXPECT_FALSE(map.IsOffScreen(500.0f, 778.0f, 128.0f));
    EXPECT_TRUE(map.IsOffScreen(500.0f, 17.0f, 32.0f));
}

TEST_F(MapTest, ABattleOpensAtTheMinimumZoomInTheTopLeftCorner)
{
    map.SetUpForBattle(&scenario);
    // The map is wider than the screen: the option's minimum (1.0) holds.
    EXPECT_FLOAT_EQ(map.minZoom, 1.0f);
    EXPECT_FLOAT_EQ(ZoomScale, 1.0f);
    EXPECT_FLOAT_EQ(CameraCentre[0], 512.0f);
    EXPECT_FLOAT_EQ(CameraCentre[1], 384.0f);
    EXPECT_FLOAT_EQ(map.viewLeft, 0.0f);
    EXPECT_FLOAT_EQ(map.viewRight, 1024.0f);
    EXPECT_FLOAT_EQ(map.viewBottom, 768.0f);
    EXPECT_TRUE(map.IsOffScreen(1200.0f, 300.0f, 100.0f));
    EXPECT_FALSE(map.IsOffScreen(1100.0f, 300.0f, 100.0f));
}

TEST_F(MapTest, AMapNarrowerThanTheScreenZoomsToFitIt)
{
    scenario.SetMapSize(800.0f, 600.0f);
    map.SetUpForBattle(&scenario);
    // r = 1024 / 800 is above 1; the screen width over the map height is larger still.
    EXPECT_FLOAT_EQ(map.minZoom, 1024.0f / 600.0f);
    EXPECT_FLOAT_EQ(ZoomScale, map.minZoom);
}

TEST_F(MapTest, ZoomEasesTenFramesPerStepAndStopsAtTheMaximum)
{
    map.SetUpForBattle(&scenario);
    map.ZoomIn();
    EXPECT_FLOAT_EQ(map.zoomTarget, 1.1f);
    for (int i = 0; i < 5; ++i)
        map.UpdateZoom();
    EXPECT_NEAR(ZoomScale, 1.05f, 1e-4f);
    // A second press first completes the step under way.
    map.ZoomIn();
    EXPECT_FLOAT_EQ(ZoomScale, 1.1f);
    EXPECT_NEAR(map.zoomTarget, 1.2f, 1e-5f);
    for (int i = 0; i < 60; ++i)
        map.ZoomIn();
    EXPECT_FLOAT_EQ(map.zoomTarget, 4.0f);
    for (int i = 0; i < 80; ++i)
        map.ZoomOut();
    EXPECT_FLOAT_EQ(map.zoomTarget, map.minZoom);
    EXPECT_FLOAT_EQ(map.zoom, ZoomScale);
}

TEST_F(MapTest, TheCameraStaysInsideTheMap)
{
    map.SetUpForBattle(&scenario);
    map.SetCentre(5000.0f, -300.0f);
    EXPECT_FLOAT_EQ(CameraCentre[0], 2400.0f - 512.0f);
    EXPECT_FLOAT_EQ(CameraCentre[1], 384.0f);
    EXPECT_FLOAT_EQ(map.viewRight, 2400.0f);
    EXPECT_FLOAT_EQ(map.cameraX, 2400.0f - 1024.0f);
    map.SetCentre(1200.0f, 900.0f);
    EXPECT_FLOAT_EQ(map.viewLeft, 1200.0f - 512.0f);
    EXPECT_FLOAT_EQ(map.viewTop, 900.0f - 384.0f);
}

TEST_F(MapTest, WorldObjectsProjectAroundTheCameraWithParallax)
{
    map.SetUpForBattle(&scenario);
    map.SetCentre(1200.0f, 900.0f);
    GUI_Map::GetInstance().SetScreenSize(1024, 768);
    GUI_3DWorldObject near, far;
    near.worldX = far.worldX = 1200.0f;
    near.worldY = far.worldY = 900.0f;
    far.depth = 0.5f;
    near.Project();
    far.Project();
    EXPECT_FLOAT_EQ(near.screenX, 512.0f);
    EXPECT_FLOAT_EQ(far.screenY, 384.0f);
    map.SetCentre(1300.0f, 900.0f);
    near.Project();
    far.Project();
    EXPECT_FLOAT_EQ(near.screenX, 412.0f);
    EXPECT_FLOAT_EQ(far.screenX, 462.0f); // half as far
    GUI_Map::GetInstance().SetScreenSize(0, 0);
}

TEST_F(MapTest, AShakeMovesTheCentreWithTheViewOnceAFrameSoTheSceneryShakesWithTheShips)
{
    map.SetUpForBattle(&scenario);
    GUI_Map::GetInstance().SetScreenSize(1024, 768);
    CameraShake& shake = CameraShake::GetInstance();
    shake.offsetX = 5.0f;
    shake.offsetY = -3.0f;
    map.SetCentre(1200.0f, 900.0f);
    EXPECT_FLOAT_EQ(CameraCentre[0], 1205.0f);
    EXPECT_FLOAT_EQ(CameraCentre[1], 897.0f);
    EXPECT_FLOAT_EQ(map.viewLeft, 1205.0f - 512.0f);
    EXPECT_FLOAT_EQ(map.centreX, 1200.0f) << "the camera still steers for its own centre";
    // A rock at a ship's place is drawn where the ship is.
    GUI_3DWorldObject rock;
    rock.worldX = 1250.0f;
    rock.worldY = 950.0f;
    rock.Project();
    EXPECT_FLOAT_EQ(rock.screenX, (1250.0f - map.cameraX) * ZoomScale);
    EXPECT_FLOAT_EQ(rock.screenY, (950.0f - map.cameraY) * ZoomScale);

    // Clamped again in the frame (the mini map, the key scroll): shaken once.
    map.UpdateZoom();
    map.ClampCamera();
    map.ClampCamera();
    EXPECT_FLOAT_EQ(CameraCentre[0], 1205.0f);
    EXPECT_FLOAT_EQ(CameraCentre[1], 897.0f);
    EXPECT_FLOAT_EQ(map.viewTop, 897.0f - 384.0f);

    // At the map's corner the edge holds the view, shake or none.
    shake.offsetX = -5.0f;
    map.SetCentre(512.0f, 384.0f);
    EXPECT_FLOAT_EQ(CameraCentre[0], 512.0f);
    EXPECT_FLOAT_EQ(CameraCentre[1], 384.0f);
    EXPECT_FLOAT_EQ(map.viewLeft, 0.0f);
    shake.Reset();
    map.SetCentre(1200.0f, 900.0f);
    EXPECT_FLOAT_EQ(CameraCentre[0], 1200.0f);
    GUI_Map::GetInstance().SetScreenSize(0, 0);
}

TEST_F(MapTest, AStillCameraLosesMotionBlurButAPausedOneKeepsIt)
{
    map.SetUpForBattle(&scenario);
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    gui.ResetForBattle();
    map.motionBlur = 0.5f;
    gui.SetFrameTime(12.0f); // FrameStep 1
    map.Draw();
    EXPECT_NEAR(map.motionBlur, 0.45f, 1e-5f);
    gui.TogglePauseState();
    map.Draw();
    EXPECT_NEAR(map.motionBlur, 0.45f, 1e-5f);
    gui.ResetForBattle();
}

} // namespace
