#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/CTexturedSprite.h"

class QuadRunBatch;
class SIM_Ship;
class SIM_TargetedModule;

// A 0-1 shade as a colour byte, rounded, as every ship picture takes it.
inline uint8_t ShadeByte(float v)
{
    return static_cast<uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
}

// The turrets of one ship's visual: each turret-mounted weapon with its
// working and wrecked pictures (found when the visual is built) and the
// bearing each of its turrets is drawn at. A turret turns toward its aim at
// the weapon's tracking speed / 1.5 degrees per 12 ms, only where it is
// drawn: meanwhile its time adds up and it turns by all of it when next
// drawn. A new shot puts it on that shot's aim at once; once wrecked it
// keeps its bearing on the ship, and its working picture fades over the
// wrecked one while the weapon settles. Picture only: the battle never
// reads these bearings.
class ShipTurrets {
public:
    static constexpr float kTrackingDivisor = 1.5f;
    // A turret further outside the view than this (map units) is not drawn.
    static constexpr float kOffScreenMargin = 32.0f;
    // The mark on the aim of the module the inspector highlights (pixels).
    static constexpr const char* kAimMarkerTexture = "aim_marker.dds";
    static constexpr float kAimMarkerSize = 24.0f;
    static constexpr uint32_t kAimMarkerColour = 0xE0FF5040u;

    struct Turret {
        SIM_TargetedModule* weapon = nullptr;
        CTexturedSprite sprite;
        CTexturedSprite wrecked;
        // Where each turret points now, as the sine and cosine of its
        // bearing (none yet: NaN): turning and drawing need no angle, so
        // none is worked out. Once the weapon is knocked out, its bearing
        // relative to the ship, likewise.
        float sine[4];
        float cosine[4];
        float relativeSine[4] = {};
        float relativeCosine[4] = {};
        bool settling = false;
        // The weapon's shots begun when its turrets last turned.
        unsigned shotsSeen = 0;
        // The last turn step (degrees) and its sine and cosine.
        float step = -1.0f;
        float stepSine = 0.0f;
        float stepCosine = 1.0f;
        Turret();
        // The angle a turret is drawn at on a ship heading shipAngle (NaN
        // before it was first drawn).
        float DrawnAngle(size_t i, float shipAngle) const;
    };

    // The ship's turret-mounted weapons whose race has their picture.
    void Build(const SIM_Ship& ship);
    // Battle time passes without the turrets being drawn.
    void Wait(float ms) { idleMs += ms; }
    // Turns the turrets by the time they waited, then adds them where the
    // ship stands to the shared batch, at `alpha`. A weapon whose turret
    // has no size shows none, nor does a turret far outside the view.
    void Draw(const SIM_Ship& ship, uint8_t alpha);
    // The same into an image of the ship drawn level, `side` pixels across
    // with its top-left corner at (left, top) (a cloak's or a warp's).
    void DrawLevel(const SIM_Ship& ship, float side, float left, float top, QuadRunBatch& batch);
    // Turns the turrets by the time they waited, as drawing does, and keys
    // how they lie on the level ship: an equal key, an equal DrawLevel.
    uint64_t LevelKey(const SIM_Ship& ship);
    // Turns the turrets toward their aim by dtMs of battle time; a weapon
    // that began a shot meanwhile has them on that shot's aim first.
    void Track(const SIM_Ship& ship, float dtMs);
    // A marker at the aim of the module the inspector highlights on this ship.
    static void DrawAimMarkers(const SIM_Ship& ship);

    const std::vector<Turret>& GetTurrets() const { return turrets; }
    float GetIdleMs() const { return idleMs; }

private:
    // Each turret's picture placed by `place` (turret, index, picture; false:
    // not drawn) after the turrets have turned by the time they waited.
    template <class Place>
    void Stage(const SIM_Ship& ship, uint8_t alpha, float scale, QuadRunBatch& batch, Place place);

    std::vector<Turret> turrets;
    float idleMs = 0.0f;
};
