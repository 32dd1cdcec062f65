#include <gtest/gtest.h>

#include "sim/SIM_BattleArea.h"
#include "sim/SIM_Scenario.h"

TEST(SIM_BattleArea, WithoutAScreenTheWholeMapIsInViewAtZoomOne)
{
    SIM_Scenario scenario;
    scenario.SetMapSize(2400.0f, 1800.0f);
    SIM_BattleArea area;
    area.SetUpForBattle(&scenario);
    EXPECT_FLOAT_EQ(area.MapWidth(), 2400.0f);
    EXPECT_FLOAT_EQ(area.MapHeight(), 1800.0f);
    EXPECT_FLOAT_EQ(area.Zoom(), 1.0f);
    EXPECT_FLOAT_EQ(area.CameraX(), 0.0f);
    EXPECT_FLOAT_EQ(area.CameraY(), 0.0f);
    // The edges count as in view; the margin widens them exactly.
    EXPECT_FALSE(area.IsOffScreen(2400.0f, 1800.0f, 0.0f));
    EXPECT_FALSE(area.IsOffScreen(0.0f, 0.0f, 0.0f));
    EXPECT_TRUE(area.IsOffScreen(2400.5f, 900.0f, 0.0f));
    EXPECT_TRUE(area.IsOffScreen(1200.0f, -0.5f, 0.0f));
    EXPECT_FALSE(area.IsOffScreen(-128.0f, 900.0f, 128.0f));
    EXPECT_TRUE(area.IsOffScreen(-129.0f, 900.0f, 128.0f));
    EXPECT_TRUE(area.IsOffScreen(1200.0f, 1929.0f, 128.0f));
    // No scenario: the size stays as it was.
    area.SetUpForBattle(nullptr);
    EXPECT_FLOAT_EQ(area.MapWidth(), 2400.0f);
}
