#include <gtest/gtest.h>

#include <cmath>

#include "battle/CameraShake.h"
#include "battle/GUI_BattleGUI.h"

namespace {

TEST(CameraShake, IntensityTwoLastsASecondFromFourteenUnitsDownToRest)
{
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    CameraShake& shake = CameraShake::GetInstance();
    shake.Reset();
    gui.cameraShake = 0;
    shake.Start(2.0f);
    shake.Update(16.0f);
    EXPECT_FALSE(shake.active);
    EXPECT_FLOAT_EQ(shake.offsetX, 0.0f);

    gui.cameraShake = 1;
    shake.Start(2.0f);
    EXPECT_FLOAT_EQ(shake.duration, 1000.0f);
    EXPECT_FLOAT_EQ(shake.amplitude, 14.0f);
    EXPECT_GE(shake.phaseX, 0.0f);
    EXPECT_LT(shake.phaseX, 25.0f);
    shake.Update(500.0f);
    EXPECT_FLOAT_EQ(shake.amplitude, 7.0f);
    EXPECT_FLOAT_EQ(shake.period, 75.0f);
    EXPECT_LE(std::fabs(shake.offsetX), 7.0f);
    shake.Update(499.0f);
    EXPECT_TRUE(shake.active);
    EXPECT_GT(shake.amplitude, 0.0f);
    shake.Update(1.0f);
    EXPECT_FALSE(shake.active);
    EXPECT_FLOAT_EQ(shake.amplitude, 0.0f);
    EXPECT_FLOAT_EQ(shake.offsetX, 0.0f);
    EXPECT_FLOAT_EQ(shake.offsetY, 0.0f);

    // Paused (no battle time) it holds still.
    shake.Start(1.0f);
    shake.Update(0.0f);
    shake.Update(0.0f);
    EXPECT_FLOAT_EQ(shake.elapsed, 0.0f);
    EXPECT_TRUE(shake.active);
    shake.Reset();
}

} // namespace
