#pragma once
#include "battle/BattleView.h"
#include "platform/IGraphicsDevice.h"

class QuadRunBatch;

// The smoke a weaving missile leaves: a puff every 1.28 units of its flight,
// laid along its heading from where it was the frame before, each growing to
// three times its size as it fades over 256 units of age, drifting a little.
// A ring of 200 puffs: the 201st overwrites the oldest. Once the missile is
// gone (orphaned) the puffs age by themselves until the last has faded.
// Random looks come from the visuals' own generator.
class MissileSplineTrail {
public:
    static constexpr int kPuffs = 200;
    static constexpr float kSpacing = 1.28f;
    static constexpr float kLife = 256.0f;
    static constexpr float kScreenMargin = 8.0f; // world units
    static constexpr float kDrift = 0.008f;      // world units per ms at most

    struct Puff {
        bool alive = false;
        float x = 0.0f, y = 0.0f;
        float alpha = 0.0f;
        float size = 0.0f;
        ScreenVertex quad[4] = {};
        float angle = 0.0f;
        float age = 0.0f;
        float vx = 0.0f, vy = 0.0f;
        float uv[4] = {0.0f, 0.125f, 0.0f, 0.25f}; // its cell of the particle sheet
    };

    MissileSplineTrail();

    // A launch from (x, y): active, nothing laid yet.
    void Reset(float x, float y);
    // The missile flew `time` this frame (scaled frame time frameMs) and now
    // stands at (x, y) heading `angle` degrees.
    void Update(float time, float x, float y, float angle, float frameMs);
    // Ages, drifts and draws the live puffs; an orphaned trail ages itself.
    void Draw(const BattleView& view, float frameMs, QuadRunBatch& batch, TextureHandle texture);
    void SetOrphaned() { orphaned = true; }

    bool IsActive() const { return active; }
    bool IsOrphaned() const { return orphaned; }
    int CountAlive() const;
    const Puff& GetPuff(int i) const { return puffs[i]; }
    int GetNextIndex() const { return next; }
    float GetAccumulator() const { return accumulator; }

private:
    void MakePuff(float x, float y);
    // False when the puff died of age.
    bool AdvancePuff(Puff& puff, const BattleView& view, float frameMs);

    float accumulator = 0.0f;
    bool active = false;
    Puff puffs[kPuffs];
    int next = 0;
    bool orphaned = false;
    float ageRatio = 0.0f;
    bool notStarted = true;
    float previousX = 0.0f, previousY = 0.0f;
};
