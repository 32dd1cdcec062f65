#pragma once
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "sim/SIM_ShipHull.h"

class SIM_Ship;

// The simulation's side of a ship's visual: the warp-in wait, the timed
// destruction whose last event takes the ship out of the battle, and the calls
// the rules make to show what happened (hits, sparks, shield effects). These
// timelines decide when a ship arrives and when it dies, so they run the same
// with or without a screen; the battle screen installs a factory whose visual
// derives from this and draws it. Without one (headless runner, tests) this
// base is made, and its hooks only count their calls.
class SIM_ShipVisual {
public:
    // Explosion type started by a destruction line that begins the break-up.
    static constexpr int kStartBreakup = 10;
    // Type given to lines whose explosion name is unknown.
    static constexpr int kDefaultExplosion = 4;
    // Destruction lines that flash a blast glare: the big one at the ship's
    // centre, the small one where the line is placed.
    static constexpr int kBlastGlare = 17;
    static constexpr int kBlastGlareSmall = 18;
    // A glare bigger than this pushes what lies around it.
    static constexpr float kBlastPushSize = 32.0f;
    // Heavy hits flash a glare at most this often (ms of battle time).
    static constexpr float kHitGlareInterval = 1000.0f;

    // The shield bubble as drawn: 1.4 x half the larger hull side, a little
    // inside. Shots meet the shield there, so sparks show on the picture.
    static float ShieldBubbleRadius(float width, float height)
    {
        return std::max(width, height) * 0.5f * 1.4f * 0.95f;
    }

    struct DestructionEvent {
        int type = kDefaultExplosion;
        float x = 0.0f;
        float y = 0.0f;
        float time = 0.0f;
        unsigned char done = 0;
    };

    using Factory = std::unique_ptr<SIM_ShipVisual> (*)(SIM_Ship* ship);
    // nullptr: the plain visual of this class.
    static void SetFactory(Factory factory) { s_factory = factory; }
    static std::unique_ptr<SIM_ShipVisual> Create(SIM_Ship* ship);

    explicit SIM_ShipVisual(SIM_Ship* ship);
    virtual ~SIM_ShipVisual() = default;
    SIM_ShipVisual(const SIM_ShipVisual&) = delete;
    SIM_ShipVisual& operator=(const SIM_ShipVisual&) = delete;

    // The explosion type of a hull line's name; kDefaultExplosion (logged)
    // for a name no type has.
    static int FindExplosionType(const std::string& typeName);

    // Reads what the visual needs from the ship's hull; once the modules exist.
    virtual void BuildAttachments();
    // An off-field ship waits out its warp-in, then joins the battle; a ship
    // that jumped out stays away.
    void UpdateWarpIn();
    // Advances the destruction clock by the frame's battle time and fires due
    // events; the last one kills the ship.
    void UpdateDestruction();
    void StartWarpEffect();
    void ArmWarpOut();
    virtual void ActivateTractorBeams() {}
    // Asked every frame only while the pending layer differs from the current one.
    virtual void ApplyPendingLayer() {}
    virtual void SetLayer(int newLayer);
    virtual void DeleteShipEmmiters();
    virtual void DeleteDamageSprites();
    int CountDamageLocations() const;

    // A blast glare of this size at (x, y): above kBlastPushSize it pushes
    // the ships around it, with strength size / 256 up to 1. The glare's
    // picture is the screen's; the push is the battle's, so it is decided here.
    static void ApplyBlast(float size, float x, float y);

    // A hit at one of the hull's damage locations; points are ship-local, as
    // the hull's aim points. At most every kHitGlareInterval a hit flashes a
    // glare of a quarter of the hull's width there (hitGlareDue tells the screen).
    virtual void ShowHitEffects(const SIM_ShipHull::Target& location, float damage, float directionX,
                                float directionY);
    // A ship that enters already damaged (health 0..1) shows it at once.
    virtual void ShowExistingDamage(float /*healthFraction*/) {}
    virtual void ShowHullDamage(float x, float y, float damage);
    virtual void ShowArmourSpark(float x, float y);
    // The floating damage text of a hit.
    virtual void ShowDamageText(float amount);
    virtual void ShowShieldImpact(float x, float y);
    virtual void ShowShieldCollapse();
    virtual void SetShieldEffect(bool on);
    virtual void ShowECMShock() {}
    virtual void StopSound() {}
    virtual void ShowSmartBomb(float /*strength*/) {}

    SIM_Ship* GetShip() const { return ship; }
    const std::vector<DestructionEvent>& GetDestructionEvents() const { return destructionEvents; }
    bool IsBreakupStarted() const { return breakupStarted; }
    bool IsWarpEffectRunning() const { return warpEffectRunning; }
    // The warp-in's clock: its wait, then its slide (ms of battle time).
    float GetWarpTime() const { return warpTime; }
    float GetWarpDelay() const { return warpDelay; }
    float GetWarpDuration() const { return warpDuration; }
    bool IsWarpOutArmed() const { return warpOutArmed; }
    bool IsShieldEffectOn() const { return shieldEffectOn; }
    // The bubble shots meet, which is the bubble drawn: up from set-up on a
    // ship with shield generators, down while the shield is disrupted (its
    // effect off), and gone for good once the shield collapses, whatever its
    // points do later.
    bool HasShieldBubble() const { return shieldBubbleUp; }
    float GetShieldBubbleRadius() const { return shieldBubbleRadius; }
    bool IsKilled() const { return killed; }

    // Frame updates the battle frame ran for the ship. Beside the table
    // pointer, on the line the world step's calls load anyway.
    int updatesFromDraw = 0;
    float destructionClock = 0.0f;
    int damageMarksShown = 0;
    float fade = 1.0f;
    float docking = 0.0f;
    int currentLayer = 1;
    int pendingLayer = 1;
    int homeLayer = 1;
    // Counters of the simulation's calls, so tests can see them headless.
    int hitEffectCount = 0;
    int shieldImpactCount = 0;
    int armourSparkCount = 0;
    int shieldCollapseCount = 0;
    int emitterCount = 0;
    int firedExplosionCount = 0;
    int damageTextCount = 0;

protected:
    // What a screen shows for a destruction line as it fires, and once the
    // ship has been killed at the end of the timeline.
    virtual void OnDestructionEvent(const DestructionEvent& /*event*/) {}
    virtual void OnDestroyed() {}
    // The hull cracks (the timeline's break-up line fired).
    virtual void OnBreakupStarted() {}

    SIM_Ship* ship = nullptr;
    // The hull picture's size in world units, which destruction lines are placed on.
    float spriteWidth = 0.0f;
    float spriteHeight = 0.0f;
    bool breakupStarted = false;
    float breakupTime = 0.0f;
    // Set by ShowHitEffects when this hit flashes a glare.
    bool hitGlareDue = false;

private:
    void ParseDestructionLines();
    void FireDestructionEvent(const DestructionEvent& event);
    bool AllEventsDone() const;
    void FinishDestruction();

    static inline Factory s_factory = nullptr;

    std::vector<DestructionEvent> destructionEvents;
    bool warpEffectRunning = false;
    bool warpOutArmed = false;
    bool shieldEffectOn = false;
    bool shieldBubbleUp = false;
    bool shieldCollapsed = false;
    float shieldBubbleRadius = 0.0f;
    bool killed = false;
    float warpTime = 0.0f;
    float warpDelay = 0.0f;
    float warpDuration = 0.0f;
    // Battle time of the last hit glare; none yet: the first hit has one.
    float lastHitGlareTime = -1.0f;
};
