#pragma once

// What a battle's set-up tells the screen while it runs outside the frame
// loop: it begins, reports its progress (0..1) a few times and finishes. The
// loading screen implements it; the simulation never sees the screen.
class SIM_SetUpProgress {
public:
    virtual ~SIM_SetUpProgress() = default;
    virtual void Begin() = 0;
    virtual void SetProgress(float progress) = 0;
    virtual void Finish() = 0;
};
