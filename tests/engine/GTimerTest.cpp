#include "engine/GTimer.h"
#include "platform/IClock.h"

#include <gtest/gtest.h>

TEST(GTimer, UpdateMeasuresScaledTime)
{
    ManualClock clock(500.0);
    GTimer t(&clock);
    t.Start();
    t.SetSpeedFactor(2.0f);
    clock.Advance(24.0);
    t.Update();
    EXPECT_DOUBLE_EQ(t.GetTotalMs(), 48.0);
    EXPECT_FLOAT_EQ(t.GetFrameStep(), 4.0f);
    EXPECT_FLOAT_EQ(t.GetLastElapsedMs(), 24.0f);
    t.SetSpeedFactor(0.5f);
    clock.Advance(12.0);
    t.Update();
    EXPECT_DOUBLE_EQ(t.GetTotalMs(), 54.0);
    EXPECT_FLOAT_EQ(t.GetFrameStep(), 0.5f);
}

TEST(GTimer, LongFrameIsCappedOnlyInTheStoredElapsed)
{
    ManualClock clock;
    GTimer t(&clock);
    t.Start();
    t.SetSpeedFactor(1.5f);
    clock.Advance(100.0);
    t.Update();
    EXPECT_FLOAT_EQ(t.GetLastElapsedMs(), 36.0f);
    EXPECT_DOUBLE_EQ(t.GetTotalMs(), 150.0);
    EXPECT_FLOAT_EQ(t.GetFrameStep(), 100.0f / 12.0f * 1.5f);
}

TEST(GTimer, PausedTimeIsNotCounted)
{
    ManualClock clock;
    GTimer t(&clock);
    t.Start();
    clock.Advance(10.0);
    t.Pause(); // brings the total up to date first
    EXPECT_TRUE(t.IsPaused());
    EXPECT_DOUBLE_EQ(t.GetTotalMs(), 10.0);
    EXPECT_FLOAT_EQ(t.GetLastElapsedMs(), 0.0f);
    EXPECT_FLOAT_EQ(t.GetFrameStep(), 0.0f);
    clock.Advance(5000.0);
    t.Update();
    EXPECT_DOUBLE_EQ(t.GetTotalMs(), 10.0);
    t.Resume();
    clock.Advance(20.0);
    t.Update();
    EXPECT_DOUBLE_EQ(t.GetTotalMs(), 30.0);
}

TEST(GTimer, StartResetsEverything)
{
    ManualClock clock;
    GTimer t(&clock);
    t.Start();
    clock.Advance(30.0);
    t.Update();
    t.Pause();
    t.Start();
    EXPECT_FALSE(t.IsPaused());
    EXPECT_DOUBLE_EQ(t.GetTotalMs(), 0.0);
    clock.Advance(12.0);
    t.Update();
    EXPECT_DOUBLE_EQ(t.GetTotalMs(), 12.0);
    EXPECT_FLOAT_EQ(t.GetFrameStep(), 1.0f);
}

TEST(GTimer, ClockGoingBackDoesNotRunTimeBackwards)
{
    ManualClock clock(1000.0);
    GTimer t(&clock);
    t.Start();
    clock.Set(900.0);
    t.Update();
    EXPECT_DOUBLE_EQ(t.GetTotalMs(), 0.0);
}
