#include "battle/VisualStep.h"

#include "sim/SIM_BattleClock.h"

VisualStep VisualStep::FrameStep()
{
    const float ms = SIM_BattleClock::GetInstance().scaledFrameTime;
    return VisualStep{ms, 1, ms};
}

bool VisualLag::Plan(const VisualStep& now, bool mayWait)
{
    pendingMs += now.ms;
    pendingFrames += now.frames;
    waiting = mayWait && pendingFrames < due;
    if (waiting)
        return false;
    span = VisualStep{pendingMs, pendingFrames, now.lastMs};
    pendingMs = 0.0f;
    pendingFrames = 0;
    due = every;
    return true;
}
