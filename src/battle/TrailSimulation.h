#pragma once
#include "battle/BattleView.h"
#include "platform/IGraphicsDevice.h"

class QuadRunBatch;

// A fading ribbon of up to 96 points behind a moving emitter. Point 0 is the
// head; a new head is laid each time the emitter gets a segment length away
// from point 1, and points fade out over the lifetime from the tail. The
// owner writes the head's position each frame, ages the trail and moves its
// head; the draw builds the ribbon's quads in screen pixels. Fixed arrays:
// nothing is allocated after construction.
class TrailSimulation {
public:
    static constexpr int kMaxPoints = 96;
    // Points this far outside the screen (pixels) are not drawn.
    static constexpr float kScreenMargin = 16.0f;

    TrailSimulation();

    // style picks the quarter of the trail picture (0 top left, 1 and any
    // other top right, 2 bottom left, 3 bottom right); startValue is unused.
    void Init(int style, float startValue, float pointCount, float width, float segmentLength);
    void SetLifetime(float ms) { lifetime = ms; }
    void Reset();
    void AddAge(float ms);
    void MoveHead(float angle, float x, float y);
    // Stages the ribbon in the batch with the caller's texture and blend.
    void Draw(const BattleView& view, QuadRunBatch& batch, TextureHandle texture, bool additive);

    // The owner is gone: the head fades like the rest.
    void SetDetached(bool on) { detached = on; }
    bool IsDetached() const { return detached; }
    bool HasActivePoint() const;
    // The k-th quad of the last draw (near left, near right, far left, far right).
    const ScreenVertex* GetStagedQuad(int k) const { return &staged[k * 4]; }
    void SetHeadPosition(float x, float y)
    {
        px[0] = x;
        py[0] = y;
    }

    bool anyVisible = false;
    bool detached = false;
    float residual = 0.0f;
    float headAngle = 0.0f;
    int drawnCount = 0;
    float px[kMaxPoints] = {};
    float py[kMaxPoints] = {};
    bool active[kMaxPoints] = {};
    float age[kMaxPoints] = {};
    float sine[kMaxPoints] = {};
    float cosine[kMaxPoints] = {};
    float lifetime = 1500.0f;
    int count = kMaxPoints;
    float width = 1.5f;
    float segmentLengthSq = 9.0f;
    // Texture cell of every point's quad: u left, u right, v near, v far.
    float uv[4] = {0.5f, 1.0f, 0.05f, 0.45f};

private:
    ScreenVertex staged[kMaxPoints * 4];
};
