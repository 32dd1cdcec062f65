#include <gtest/gtest.h>

#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"

TEST(GUI_Map, SetUpForBattleTakesTheScenarioMapSize)
{
    SIM_Scenario scenario;
    scenario.SetMapSize(2400.0f, 1800.0f);
    GUI_Map map;
    map.SetUpForBattle(&scenario);
    EXPECT_FLOAT_EQ(map.mapWidth, 2400.0f);
    EXPECT_FLOAT_EQ(map.mapHeight, 1800.0f);
    EXPECT_FLOAT_EQ(map.viewRight, 2400.0f);
    EXPECT_FLOAT_EQ(map.viewBottom, 1800.0f);
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

TEST(GUI_BattleGUI, FrameTimeDrivesStepAndClockAndStopsWhilePaused)
{
    GUI_BattleGUI gui;
    gui.SetFrameTime(6.0f);
    EXPECT_FLOAT_EQ(gui.scaledFrameTime, 6.0f);
    EXPECT_FLOAT_EQ(gui.frameStep, 0.5f);
    EXPECT_FLOAT_EQ(gui.battleTime, 6.0f);

    gui.TogglePauseState();
    EXPECT_TRUE(gui.paused);
    gui.SetFrameTime(6.0f);
    EXPECT_FLOAT_EQ(gui.scaledFrameTime, 0.0f);
    EXPECT_FLOAT_EQ(gui.frameStep, 0.0f);
    EXPECT_FLOAT_EQ(gui.battleTime, 6.0f);

    gui.TogglePauseState();
    EXPECT_FLOAT_EQ(gui.frameStep, 1.0f);
    gui.battleSpeed = 3.0f;
    gui.generalRetreat = true;
    gui.ResetForBattle();
    EXPECT_FLOAT_EQ(gui.battleTime, 0.0f);
    EXPECT_FLOAT_EQ(gui.battleSpeed, 1.0f);
    EXPECT_FALSE(gui.generalRetreat);
}
