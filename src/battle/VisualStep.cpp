#include "battle/VisualStep.h"

#include "sim/SIM_BattleClock.h"

namespace {
const VisualStep* active = nullptr;
} // namespace

VisualStep VisualStep::Current()
{
    if (active)
        return *active;
    const float ms = SIM_BattleClock::GetInstance().scaledFrameTime;
    return VisualStep{ms, 1, ms};
}

VisualStepScope::VisualStepScope(const VisualStep& step)
    : previous(active)
    , own(step)
{
    active = &own;
}

VisualStepScope::~VisualStepScope()
{
    active = previous;
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
    due = kEvery;
    return true;
}
