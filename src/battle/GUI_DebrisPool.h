#pragma once
#include <memory>

#include "battle/GUI_RenderObject.h"
#include "platform/IGraphicsDevice.h"

class GUI_DebrisPool;

// One hull fragment: spins, drifts, slows and either fades or comes to rest.
// The pool walks every piece each frame: what a frame reads of a piece,
// drawn or not, sits in its first cache line, and a drawn piece's quad is
// built on the fly rather than kept in it.
class alignas(64) GUI_Debris {
public:
    static constexpr float kPushRadiusSq = 65536.0f;
    static constexpr float kPushStrength = 4.0f;

    GUI_Debris();
    void Birth(float vx, float vy, float sizeFactor, int frame, bool heavy, float px, float py);
    // What one frame step does to every piece alike, worked out once a frame.
    struct Pace {
        float step, drag, fade, shrink;
        explicit Pace(float d) : step(d), drag(d * 0.02f), fade(d * 0.002f), shrink(1.0f - d * 0.004f) {}
    };
    // One advance by the frame step; false when the piece died in it.
    bool Advance(float step);
    bool Advance(const Pace& pace);
    // Pushes the piece by a blast of strength p at (bx, by); true when pushed.
    bool TestPush(float p, float bx, float by);
    bool IsOffScreen(float margin) const;
    // The piece's quad on the screen, centred at (cx, cy), half its side h.
    void PlaceQuad(ScreenVertex quad[4], float cx, float cy, float h, float s, float c, uint32_t colour) const;

    unsigned char alive = 0, resting = 0, permanent = 0;
    unsigned char pushed = 0;
    float x = 0.0f, y = 0.0f;
    float vx = 0.0f, vy = 0.0f;
    float spin = 0.0f, endSpin = 0.0f;
    float alpha = 1.0f;
    float size = 0.0f;
    float minZoom = 0.0f;
    float angle = 0.0f;
    float scale = 1.0f;
    int frame = 0;
    float pushX = 0.0f, pushY = 0.0f;
    // Read by dying or newborn pieces only.
    float sizeSeed = 0.0f;
    GUI_DebrisPool* pool = nullptr;
    int slot = 0;
};

// A fixed pool of 2000 fragments, made once and never grown: a full pool
// overwrites an off-screen piece first and a random one only when every
// piece is on screen. The battle has two, one under the ships and one over.
class GUI_DebrisPool {
public:
    static constexpr int kPieces = 2000;
    static constexpr int kCache = 10;

    GUI_DebrisPool();
    virtual ~GUI_DebrisPool();

    // frameFirst..frameEnd: the hull's cells on the debris sheet.
    static void Emit(int count, float size, int frameFirst, int frameEnd, bool heavy, float x, float y, float dx,
                     float dy);
    void UpdateAndDraw();
    void Shock(float p, float x, float y);
    bool HitTest(float screenX, float screenY);
    void Reset();

    int FindFreeSlot();
    GUI_Debris& Piece(int i) { return *pieces[i]; }
    int GetInUse() const { return inUse; }
    int CountAlive() const;
    int GetDiedSinceCompaction() const { return died; }
    void NoteDied(int slot);
    void Compact();

private:
    // True when no piece is free. (A flag set to other than 0 or 1 may give
    // false for a full pool: that only costs the full search.)
    bool AllAlive() const;
    // A full pool's slot: a noted off-screen piece, any off-screen piece,
    // else a random one.
    int TakeOffScreen();

    // One block: the pieces are walked in order every frame.
    std::unique_ptr<GUI_Debris[]> storage;
    GUI_Debris* pieces[kPieces];
    GUI_Debris* scratchLive[kPieces];
    GUI_Debris* scratchDead[kPieces];
    int died = 0;
    int inUse = 0;
    int cursor = 0;
    int offScreenCache[kCache];
    int offScreenCached = 0; // entries of offScreenCache in use
    int freedCache[kCache];
};

// The battle's two pools and the toggle that alternates pieces between them.
struct GUI_DebrisPools {
    GUI_DebrisPool first;
    GUI_DebrisPool second;
    unsigned char toggle = 0;
};
GUI_DebrisPools& GetDebrisPools();

// An explosion's debris with the parent's hull cells (or the whole sheet).
class SIM_Ship;
void SpawnDebris(int pieces, float size, bool heavy, float x, float y, float dx, float dy, const SIM_Ship* ship);
