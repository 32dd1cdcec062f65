#pragma once
#include <memory>

#include "battle/GUI_RenderObject.h"
#include "engine/SmartTexture.h"
#include "platform/IGraphicsDevice.h"

class QuadRunBatch;

// One rock of the field: a cell of the 64-cell asteroid sheet at a depth of
// the map (below 1 behind it, above 1 in front), turning slowly. Rocks near
// the map's own depth can be pushed by blasts.
class GUI_Asteroid : public GUI_RenderObject, public GUI_3DWorldObject {
public:
    enum Kind { FIELD = 0, DISTANT = 1 };
    // A push fades by this share of itself per frame step, down to this speed.
    static constexpr float kPushDecay = 0.04f;
    static constexpr float kPushRest = 0.004f;
    static constexpr float kPushRadiusSq = 65536.0f;

    void Init(float depth, int kind, float x, float y);
    // The render object's own Draw stays callable beside the batched one.
    using GUI_RenderObject::Draw;
    // Moves, turns and batches the rock; false when it is off screen.
    bool Draw(QuadRunBatch& batch, TextureHandle texture, float step);
    // A blast of strength p at (bx, by): true when it pushes this rock.
    bool TestPush(float p, float bx, float by);
    bool DecayPush(float step);

    float angle = 0.0f;
    float spin = 0.0f;
    float size = 0.0f;
    int kind = FIELD;
    float cullRadius = 0.0f;
    bool canBePushed = false;
    float pushX = 0.0f, pushY = 0.0f;
    float pushStrength = 0.0f;
    bool pushed = false;
    float uv[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    ScreenVertex quad[4] = {};
};

// A band of asteroids across the battle map from the scenario: distant and
// middle rocks drawn behind the world, near ones in front of the ships; near
// rocks stop unguided bullets (only close up, in spare frame time). Built
// from the visuals' own generator at each battle start.
class GUI_AsteroidField {
public:
    static GUI_AsteroidField& GetInstance();

    // count n: 2n distant rocks, 2 x (n / 3) middle ones, the rest near.
    // topX and bottomX are shares of the map width where the band meets the
    // map's top and bottom edges.
    void Build(int count, float topX, float bottomX, float mapWidth, float mapHeight);
    void Clear() { Build(0, 0.0f, 0.0f, 0.0f, 0.0f); }
    void DrawBack();
    void DrawFront();
    // A blast pushes middle and near rocks, unless the frame has no time to spare.
    void ApplyBlast(float strength, float x, float y, float frameSpare);
    // A near rock larger than 8 under the screen point.
    bool HitTest(float screenX, float screenY);
    // The simulation's scenery test for bullets (debris joins it elsewhere).
    static int SceneryProbe(float screenX, float screenY, bool asteroidsToo);

    int GetCount() const { return count; }
    int GetBackCount() const { return backCount; }
    int GetFrontCount() const { return frontCount; }
    // 3 x count rocks: distant, middle, near.
    GUI_Asteroid& Get(int i) { return asteroids[static_cast<size_t>(i)]; }

private:
    GUI_AsteroidField() : texture("asteroids.dds") {}
    void DrawRange(int first, int last, QuadRunBatch& batch);

    SmartTexture texture;
    float ax = 0.0f, ay = 0.0f, bx = 0.0f, by = 0.0f;
    float sine = 0.0f, cosine = 1.0f;
    float length = 0.0f;
    int count = 0;
    std::unique_ptr<GUI_Asteroid[]> asteroids;
    int backCount = 0;
    int frontCount = 0;
};
