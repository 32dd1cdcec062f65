#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/GUI_Sounds.h"
#include "battle/GUI_BattleGUI.h"
#include "battle/GUI_Map.h"
#include "platform/NullSoundSystem.h"
#include "sim/SIM_BattleArea.h"
#include "sim/SIM_BattleClock.h"

// Runs first in its program: before any battle screen exists the simulation is
// silent and the battle's end reaches no one.
TEST(SIM_BattleClock, WithoutAScreenTheBattleIsSilentAndItsEndIsHarmless)
{
    SIM_BattleClock& clock = SIM_BattleClock::GetInstance();
    EXPECT_EQ(clock.GetSounds(), nullptr);
    clock.NotifyBattleEnded();
    clock.ResetForBattle();
    clock.SetFrameTime(30.0f);
    EXPECT_FLOAT_EQ(clock.frameStep, 2.5f);
    EXPECT_FLOAT_EQ(clock.battleTime, 30.0f);
}

TEST(SIM_BattleClock, TheScreenAndTheSimulationStepOneClock)
{
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    SIM_BattleClock& clock = SIM_BattleClock::GetInstance();
    gui.ResetForBattle();
    gui.SetFrameTime(24.0f);
    EXPECT_FLOAT_EQ(clock.scaledFrameTime, 24.0f);
    EXPECT_FLOAT_EQ(clock.frameStep, 2.0f);
    EXPECT_FLOAT_EQ(clock.battleTime, 24.0f);

    // Switches set on either side are seen on the other.
    clock.generalRetreat = true;
    EXPECT_TRUE(gui.generalRetreat);
    gui.commsOn = 0;
    EXPECT_EQ(clock.commsOn, 0);
    gui.TogglePauseState();
    clock.SetFrameTime(10.0f);
    EXPECT_FLOAT_EQ(gui.scaledFrameTime, 0.0f);
    EXPECT_FLOAT_EQ(gui.battleTime, 24.0f);
    gui.TogglePauseState();
    gui.commsOn = 1;

    // The screen's sound manager is the simulation's.
    GUI_Sounds sounds(std::make_unique<NullSoundSystem>(8), [](const std::string&) { return 1.0f; });
    gui.SetSounds(&sounds);
    EXPECT_EQ(clock.GetSounds(), &sounds);
    gui.SetSounds(nullptr);
    EXPECT_EQ(clock.GetSounds(), nullptr);

    // A screen other than the battle's does not take the sounds away.
    {
        GUI_BattleGUI other;
        gui.SetSounds(&sounds);
    }
    EXPECT_EQ(clock.GetSounds(), &sounds);
    gui.SetSounds(nullptr);
}

TEST(SIM_BattleClock, FramesAreCutTo36MsThenScaledOnScreenAsInTheRunner)
{
    EXPECT_FLOAT_EQ(SIM_BattleClock::ScaleFrame(36.0f, 1.0f), 14.4f);
    EXPECT_FLOAT_EQ(SIM_BattleClock::ScaleFrame(36.5f, 1.0f), 14.4f);
    EXPECT_FLOAT_EQ(SIM_BattleClock::ScaleFrame(35.0f, 4.0f), 56.0f);

    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    SIM_BattleClock& clock = SIM_BattleClock::GetInstance();
    gui.ResetForBattle();
    gui.SetInjectedFrameTime(100.0f);
    gui.battleSpeed = 2.0f;
    gui.BattleFrameTiming();
    EXPECT_FLOAT_EQ(clock.scaledFrameTime, SIM_BattleClock::ScaleFrame(100.0f, 2.0f));
    EXPECT_FLOAT_EQ(clock.scaledFrameTime, 28.8f);
    gui.SetInjectedFrameTime(-1.0f);
    gui.ResetForBattle();
}

TEST(SIM_BattleArea, WithTheBattleScreenLinkedTheSimulationUsesItsMap)
{
    GUI_Map& map = GUI_Map::GetInstance();
    EXPECT_EQ(&SIM_BattleArea::Get(), static_cast<SIM_BattleArea*>(&map));
    map.viewLeft = 100.0f;
    map.viewRight = 200.0f;
    map.viewTop = 0.0f;
    map.viewBottom = 100.0f;
    EXPECT_TRUE(SIM_BattleArea::Get().IsOffScreen(99.0f, 50.0f, 0.0f));
    EXPECT_FALSE(SIM_BattleArea::Get().IsOffScreen(100.0f, 50.0f, 0.0f));
}
