#include "engine/FramePacer.h"
#include "platform/IClock.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A sleeper that oversleeps like a busy machine, and a yield that costs a
// little time, both on a manual clock.
struct FakeSleep {
    ManualClock* clock;
    double oversleepMs;
    double yieldMs;
    std::vector<double> sleepEnds; // when each real sleep would have ended, without the overshoot
    int yields = 0;
    void operator()(double ms)
    {
        if (ms > 0.0) {
            sleepEnds.push_back(clock->NowMs() + ms);
            clock->Advance(ms + oversleepMs);
        } else {
            ++yields;
            clock->Advance(yieldMs);
        }
    }
};

} // namespace

TEST(FramePacer, ReleasesAtEachDeadlineNeverEarlyAndDoesNotDrift)
{
    ManualClock clock(1000.0);
    FramePacer pacer(&clock);
    FakeSleep sleep{&clock, 0.6, 0.01, {}, 0};
    pacer.SetSleeper([&sleep](double ms) { sleep(ms); });
    pacer.Restart();
    const double start = clock.NowMs();
    const double period = 1000.0 / 60.0;
    EXPECT_NEAR(pacer.GetFrameMs(), 16.6667, 1e-4);

    for (int frame = 1; frame <= 600; ++frame) {
        const double work = 2.0 + (frame % 7) * 1.5; // the frame's own work, always less than a period
        clock.Advance(work);
        const double deadline = pacer.GetDeadline();
        const size_t sleepsBefore = sleep.sleepEnds.size();
        pacer.Hold();
        ASSERT_GE(clock.NowMs(), deadline) << "frame " << frame << " released early";
        ASSERT_LT(clock.NowMs() - deadline, 0.011) << "frame " << frame << " released late";
        ASSERT_DOUBLE_EQ(pacer.GetLastOversleepMs(), clock.NowMs() - deadline);
        ASSERT_NEAR(pacer.GetLastWorkMs(), work, 1e-9);
        // Sleeps stop a spin margin short of the deadline, so an overshoot
        // below that margin never makes the frame late.
        for (size_t i = sleepsBefore; i < sleep.sleepEnds.size(); ++i)
            ASSERT_LE(sleep.sleepEnds[i], deadline - FramePacer::kSpinMarginMs + 1e-9);
        ASSERT_NEAR(deadline, start + frame * period, 1e-6) << "the schedule drifted";
    }
    EXPECT_NEAR(clock.NowMs() - start, 600 * period, 0.011);
    EXPECT_EQ(pacer.GetFramesHeld(), 600);
    EXPECT_EQ(pacer.GetFramesOnTime(), 600);
    EXPECT_GT(sleep.yields, 0);
}

TEST(FramePacer, LateFramesKeepTheScheduleUnlessAWholePeriodBehind)
{
    ManualClock clock;
    FramePacer pacer(&clock, 10.0);
    pacer.SetSleeper([&clock](double ms) { clock.Advance(ms > 0.0 ? ms : 0.01); });
    pacer.Restart(); // deadline 10

    // Late by less than a period: released at once, the next deadline stays on the grid.
    clock.Set(19.9);
    pacer.Hold();
    EXPECT_DOUBLE_EQ(clock.NowMs(), 19.9);
    EXPECT_DOUBLE_EQ(pacer.GetDeadline(), 20.0);
    EXPECT_FLOAT_EQ(pacer.GetSpareShare(), 0.0f);

    // Exactly a period late: a fresh schedule from now, no burst of catch-up frames.
    clock.Set(30.0);
    pacer.Hold();
    EXPECT_DOUBLE_EQ(pacer.GetDeadline(), 40.0);
    EXPECT_EQ(pacer.GetFramesOnTime(), 0);

    // On time again: a quarter of the period was left, and idle work fills
    // it before any sleep.
    clock.Set(37.5);
    int idleCalls = 0;
    pacer.Hold([&]() {
        if (idleCalls == 3)
            return false;
        ++idleCalls;
        clock.Advance(0.5);
        return true;
    });
    EXPECT_FLOAT_EQ(pacer.GetSpareShare(), 0.25f);
    EXPECT_EQ(idleCalls, 3);
    EXPECT_GE(clock.NowMs(), 40.0);
    EXPECT_DOUBLE_EQ(pacer.GetDeadline(), 50.0);
    EXPECT_EQ(pacer.GetFramesHeld(), 3);
    EXPECT_EQ(pacer.GetFramesOnTime(), 1);

    // A clock nobody moves ends the hold after a bounded number of waits.
    int waits = 0;
    pacer.SetSleeper([&waits](double) { ++waits; });
    pacer.Hold();
    EXPECT_EQ(waits, FramePacer::kMaxStalledWaits);
    EXPECT_DOUBLE_EQ(pacer.GetDeadline(), 60.0);
}
