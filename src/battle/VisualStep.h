#pragma once

// The battle time one update of a visual covers. A ship out of view brings
// its attachments up to date only every few frames; that update covers every
// frame since the last one, and the attachments step through all of it at
// once. Outside such an update a visual covers the current frame alone.
struct VisualStep {
    float ms = 0.0f;     // battle ms covered, the current frame's included
    int frames = 1;      // frames covered (at least 1)
    float lastMs = 0.0f; // the current frame's own ms

    // The catch-up of the ship being drawn, or else this frame.
    static VisualStep Current() { return scoped ? *scoped : FrameStep(); }
    // Battle ms per frame of the frames before the current one.
    float EarlierFrameMs() const { return frames > 1 ? (ms - lastMs) / static_cast<float>(frames - 1) : 0.0f; }

private:
    friend class VisualStepScope;
    static VisualStep FrameStep();
    // The catch-up in force (set per ship draw, so kept inline).
    static inline const VisualStep* scoped = nullptr;
};

// Puts a catch-up in force for the visuals updated meanwhile.
class VisualStepScope {
public:
    explicit VisualStepScope(const VisualStep& step)
        : previous(VisualStep::scoped)
        , own(step)
    {
        VisualStep::scoped = &own;
    }
    ~VisualStepScope() { VisualStep::scoped = previous; }
    VisualStepScope(const VisualStepScope&) = delete;
    VisualStepScope& operator=(const VisualStepScope&) = delete;

private:
    const VisualStep* previous;
    VisualStep own;
};

// The waiting of a visual updated only now and then while out of view: each
// update's span is added; the update runs once kEvery frames have waited (or
// at once when it may not wait) and then covers everything that waited.
class VisualLag {
public:
    // What waits cannot reach the view, and an update catches up in closed
    // form: a longer wait only lays the births of the frames between along a
    // straighter path. Sixteen rather than four frames saves a 2 x 500
    // battle about 0.2 M instructions a frame.
    static constexpr int kEvery = 16;

    // An engine trail beyond its reach waits longer: a catch-up makes only
    // the births that outlive it, so a longer wait costs no more births,
    // and the trail's particles live a quarter of a second.
    static constexpr int kTrailEvery = 64;

    // `phase` staggers the frames on which visuals out of view update: the
    // first wait is shorter by phase % period frames.
    explicit VisualLag(unsigned phase = 0, int period = kEvery)
        : due(period - static_cast<int>(phase % static_cast<unsigned>(period)))
        , every(period)
    {
    }
    // Adds this update's span; true when the update runs now (Span() then
    // covers what waited), false when it waits.
    bool Plan(const VisualStep& now, bool mayWait);
    const VisualStep& Span() const { return span; }
    bool IsWaiting() const { return waiting; }

private:
    float pendingMs = 0.0f;
    int pendingFrames = 0;
    int due = kEvery;
    int every = kEvery;
    bool waiting = false;
    VisualStep span;
};
