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

TEST(FramePacer, AnInjectedSpareShareRunsTheIdleWorkWhateverTheClockSays)
{
    ManualClock clock;
    FramePacer pacer(&clock, 10.0);
    pacer.SetSleeper([&clock](double ms) { clock.Advance(ms > 0.0 ? ms : 0.01); });
    int pieces = 0, left = 0;
    const FramePacer::IdleWork idle = [&]() {
        if (left == 0)
            return false;
        --left;
        ++pieces;
        return true;
    };
    pacer.Restart(); // deadline 10

    // Late by most of a period, as on a starved core: every piece runs, and
    // the frame is still released at once, the schedule kept.
    pacer.SetInjectedSpareShare(1.0f);
    clock.Set(19.0);
    left = 7;
    pacer.Hold(idle);
    EXPECT_EQ(pieces, 7);
    EXPECT_FLOAT_EQ(pacer.GetSpareShare(), 1.0f);
    EXPECT_DOUBLE_EQ(clock.NowMs(), 19.0);
    EXPECT_DOUBLE_EQ(pacer.GetDeadline(), 20.0);

    // On time: the pieces run first and no more are asked for while the hold
    // waits out the period.
    pieces = 0;
    left = 3;
    pacer.SetInjectedSpareShare(0.25f);
    pacer.Hold(idle);
    EXPECT_EQ(pieces, 3);
    EXPECT_FLOAT_EQ(pacer.GetSpareShare(), 0.25f);
    EXPECT_GE(clock.NowMs(), 20.0);
    EXPECT_DOUBLE_EQ(pacer.GetDeadline(), 30.0);

    // Work that never runs out stops at the bound.
    pieces = 0;
    left = -1;
    pacer.Hold(idle);
    EXPECT_EQ(pieces, FramePacer::kMaxInjectedIdlePieces);

    // Nothing to spare: a whole period left, and no piece runs.
    pacer.Restart();
    pieces = 0;
    left = 5;
    pacer.SetInjectedSpareShare(0.0f);
    pacer.Hold(idle);
    EXPECT_EQ(pieces, 0);
    EXPECT_FLOAT_EQ(pacer.GetSpareShare(), 0.0f);

    // Back to the clock: the share is measured again, and fills with the pieces.
    pacer.SetInjectedSpareShare(-1.0f);
    clock.Set(pacer.GetDeadline() - 2.5);
    pacer.Hold(idle);
    EXPECT_EQ(pieces, 5);
    EXPECT_FLOAT_EQ(pacer.GetSpareShare(), 0.25f);
}
