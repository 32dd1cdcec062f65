#pragma once
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "platform/IGraphicsDevice.h"

class GUI_ParticleConfig;
class GUI_ParticleEmmiterGroup;

// One particle of an emitter as tests and tools read it; the emitter keeps
// each field in an array of its own.
struct GUI_Particle {
    unsigned char alive = 0;
    float vx = 0.0f, vy = 0.0f;
    float alphaFalloff = 0.0f, sizeFalloff = 0.0f, speedFalloff = 0.0f;
    float spin = 0.0f;
    float size = 0.0f;
    float alpha = 0.0f;
    float x = 0.0f, y = 0.0f;
    int screenX = 0, screenY = 0;
    float angle = 0.0f;
    float sine = 0.0f, cosine = 1.0f;
    float age = 0.0f;
    unsigned char frame = 0; // cell of the 8 x 4 sheet
};

// Up to 256 particles of one config: spawned at the emitter's position, moved
// by the battle's frame step (so pause and speed apply) and drawn as turned,
// textured squares through the shared quad batch, one flush per emitter. Its
// quads are built straight into the batch, so an emitter holds no vertices. An
// emitter whose config is unknown stays inactive and draws nothing. Particle
// randomness comes from the visuals' own generator, never the combat's.
class GUI_ParticleEmmiter {
public:
    static constexpr int kMaxParticles = 256;
    // Slots of a new emitter's block: a multiple of 16, so that every array
    // of four-byte fields starts a cache line.
    static constexpr int kFirstCapacity = 16;
    static constexpr float kFadeInMs = 100.0f;
    static constexpr float kMinSize = 0.5f;

    GUI_ParticleEmmiter(const std::string& configName, float x, float y, float biasX, float biasY);
    virtual ~GUI_ParticleEmmiter() = default;
    GUI_ParticleEmmiter(const GUI_ParticleEmmiter&) = delete;
    GUI_ParticleEmmiter& operator=(const GUI_ParticleEmmiter&) = delete;

    // Owned by the caller; null when the config is unknown is not an option:
    // the emitter is made and stays inactive.
    static GUI_ParticleEmmiter* Create(const std::string& configName, float x, float y, float biasX, float biasY);

    void Restart(float x, float y, float biasX, float biasY);
    // Advances without drawing (owner not visible), then spawns and ends.
    // Inside a ship's catch-up (VisualStep) the earlier frames are caught up
    // first, then the current one is stepped as usual.
    void Update();
    // Advances and draws, then spawns and ends.
    virtual void Draw();

    // Frame time as the battle gives it: ms and ms / 12.
    void Advance(float ms, float step, bool draw);
    // Brings the emitter through `frames` frames of `ms` each without
    // drawing, as if stepped each frame: the particles move in closed form,
    // and those born meanwhile start along the way from where the emitter
    // last stepped to where it is now, aged as they would be.
    void CatchUp(int frames, float ms);

    const GUI_ParticleConfig* GetConfig() const { return config; }
    // How far from the emitter its particles can get: they stay where they
    // were born, drifting by their own speed and growing or shrinking, for
    // as long as their alpha lasts, while the emitter moves on.
    struct Reach {
        bool known = true;      // false: no end known (no alpha falloff)
        float lifeSteps = 0.0f; // 12 ms steps of a particle's life
        float drift = 0.0f;     // a particle's own speed per step, any way
        float size = 0.0f, scatter = 0.0f;
        // At the emitter's speed per step.
        float At(float emitterSpeed) const { return lifeSteps * (drift + emitterSpeed) + size + scatter; }
        // Reaches at least as far as either, at any speed.
        void Cover(const Reach& other);
    };
    Reach GetReach() const;
    bool IsActive() const { return active != 0; }
    int GetLiveCount() const { return liveCount; }
    int GetHighestSlot() const { return highestSlot; }
    // Slots the emitter's block holds now (kFirstCapacity to kMaxParticles).
    int GetCapacity() const { return capacity; }
    // Bytes a slot takes in the block: fourteen four-byte fields and a frame.
    static constexpr size_t kSlotBytes = 14 * 4 + 1;
    // The emitter and its block.
    size_t GetMemoryBytes() const { return sizeof(*this) + static_cast<size_t>(capacity) * kSlotBytes; }
    // A copy of slot i (its falloffs are the config's: every particle of an
    // emitter shares them); a slot past the block is free.
    GUI_Particle GetParticle(int i) const;
    int GetBlend() const { return blend; }
    float GetAccumulator() const { return spawnAccumulator; }

    float x = 0.0f, y = 0.0f;
    float rotation = 0.0f;
    float scale = 1.0f;
    float alphaScale = 1.0f;
    float rateScale = 1.0f;
    GUI_ParticleEmmiterGroup* group = nullptr;

private:
    // Each field of the particles in an array of its own: a step reads and
    // writes only what moves, and a walk touches a few lines per field
    // instead of every 72-byte particle. The arrays share one block, each
    // starting a cache line, so an emitter of a dozen particles reads one
    // line of each. The block holds `capacity` slots and doubles when a
    // birth finds every slot taken, up to kMaxParticles: most emitters never
    // need more than a few dozen, and a full-size block would be 15 KB.
    struct Slots {
        float *x = nullptr, *y = nullptr;
        float *vx = nullptr, *vy = nullptr;
        float *age = nullptr, *alpha = nullptr, *size = nullptr;
        float *angle = nullptr, *sine = nullptr, *cosine = nullptr, *spin = nullptr;
        int *screenX = nullptr, *screenY = nullptr;
        int32_t* alive = nullptr; // 1 or 0, as wide as the floats stepped beside it
        unsigned char* frame = nullptr;
    };
    struct BlockFree {
        void operator()(void* block) const;
    };
    // The emitter's turn as births read it, worked out once per batch of
    // births.
    struct Turn {
        bool turned;
        float cosine, sine;
    };

    void Start();
    // Makes room for at least `wanted` slots (at most kMaxParticles): the
    // block doubles, what it held kept and the new slots free.
    void Reserve(int wanted);
    Turn CurrentTurn();
    void SpawnParticle(int slot, const Turn& turn);
    // Spawns this frame's share.
    void SpawnContinuous(float ms);
    // How many particles this frame's share makes (0: none yet, or the
    // emitter's life is over), counted as made.
    int DueBirths(float ms);
    struct Leap;
    // The later frames after which a birth is surely dead (alpha spent),
    // at `step` a frame.
    int FramesToOutlive(float step) const;
    // The random numbers one birth draws.
    int DrawsPerBirth() const;
    // The n births of SpawnContinuous, each then stepped through
    // laterFrames frames of `step`.
    void SpawnBatch(int n, int laterFrames, float step);
    // SpawnBatch's births, each leaping by `leap` when it is given.
    void SpawnRun(int n, const Leap* leap);
    static int FirstFadingFrame(float age, float ageStep);
    // A leap of slot i's particle; false when it died meanwhile.
    bool StepParticle(int i, const Leap& leap);
    struct Stepped {
        int live;
        bool anyDied;
    };
    // The camera and screen as one frame's quads read them.
    struct View {
        float cameraX, cameraY, zoom, width, height;
        static View Current();
    };
    // One frame step of the first `count` slots (a multiple of four). With
    // kDraw it also places the live particles on the screen and sets bit k
    // of shows[i / 4] when slot i + k (i a multiple of four) is on it.
    template <bool kSlowing, bool kDraw>
    Stepped StepSlots(int count, const Leap& pace, const View& view, unsigned char* shows);
    // The catch-up leap of every live particle; sets liveCount and firstFree.
    template <bool kSlowing>
    void LeapSlots(const Leap& leap);
    template <bool kDraw>
    void AdvanceSlots(float step);
    void Step(bool draw);
    // Advance's body.
    void Move(float ms, float step, bool draw);
    void EndCheck();
    // The screen quads of the slots i to i + 3 whose bits (bit k: slot
    // i + k) are set, placed on the screen by the step, into `quads` in slot
    // order; returns how many.
    struct QuadShade;
    int BuildQuads(int i, unsigned shown, float step, const QuadShade& shade, ScreenVertex* quads);

    GUI_ParticleConfig* config = nullptr;
    float elapsed = 0.0f;
    unsigned char active = 0;
    int highestSlot = 0;
    // Every slot below it holds a live particle.
    int firstFree = 0;
    float spawnAccumulator = 0.0f;
    int liveCount = 0;
    int blend = 0; // 1 additive ("BURN"), 0 normal
    float biasX = 0.0f, biasY = 0.0f;
    // Where the emitter was when it last stepped (catch-up spawns from here).
    float steppedX = 0.0f, steppedY = 0.0f;
    // The last turn worked out and the rotation it was for (NaN: none).
    float turnRotation = std::numeric_limits<float>::quiet_NaN();
    Turn lastTurn{false, 1.0f, 0.0f};
    Slots slots;
    int capacity = 0;
    std::unique_ptr<unsigned char[], BlockFree> block;
};

// Free-standing effects started by name; drawn by the battle's particle step.
void SpawnParticleEmmiter(const std::string& configName, float x, float y, float biasX, float biasY);
void DrawParticleEmmiters();
void ClearParticleEmmiters();
int CountActiveParticleEmmiters();
int CountSpareParticleEmmiters();
