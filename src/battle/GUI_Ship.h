#pragma once
#include <string>
#include <vector>

class SIM_Ship;

// Headless stand-in for a ship's visual: it keeps the calls the simulation
// makes into the visual real (per-frame update by ship state, the timed
// destruction read from the hull that ends in SIM_Ship::Kill) and draws
// nothing. The drawing visual replaces it.
class GUI_Ship {
public:
    // Explosion type started by a destruction line that begins the break-up.
    static constexpr int kStartBreakup = 10;
    // Type given to lines whose explosion name is unknown.
    static constexpr int kDefaultExplosion = 4;

    struct DestructionEvent {
        int type = kDefaultExplosion;
        float x = 0.0f;
        float y = 0.0f;
        float time = 0.0f;
        unsigned char done = 0;
    };

    explicit GUI_Ship(SIM_Ship* ship);
    virtual ~GUI_Ship();
    GUI_Ship(const GUI_Ship&) = delete;
    GUI_Ship& operator=(const GUI_Ship&) = delete;

    // Reads what the visual needs from the ship's hull; once the modules exist.
    void BuildAttachments();
    // Runs the ship's per-frame update as the drawn visual would, by state.
    virtual void Draw();
    // Advances the destruction clock by the frame's battle time and fires due
    // events; the last one kills the ship.
    void UpdateDestruction();
    void ApplyPendingLayer();
    void StartWarpEffect();
    void ArmWarpOut();
    void ActivateTractorBeams();
    void DeleteShipEmmiters();
    void DeleteDamageSprites();
    int CountDamageLocations() const;
    // Points are ship-local, as the hull's aim points.
    void ShowHitEffects(float x, float y, float damage, float directionX, float directionY);
    void ShowHullDamage(float x, float y, float damage);
    void ShowArmourSpark(float x, float y);
    // The floating damage text of a hit.
    void ShowDamageText(float amount);
    void ShowShieldImpact(float x, float y);
    void ShowShieldCollapse();
    void SetShieldEffect(bool on);
    void ShowECMShock();
    void StopSound();
    void ShowSmartBomb(float strength);

    // The explosion type of a hull line's name; kDefaultExplosion (logged)
    // for a name no type has.
    static int FindExplosionType(const std::string& typeName);

    SIM_Ship* GetShip() const { return ship; }
    const std::vector<DestructionEvent>& GetDestructionEvents() const { return destructionEvents; }
    bool IsBreakupStarted() const { return breakupStarted; }
    bool IsWarpEffectRunning() const { return warpEffectRunning; }
    bool IsWarpOutArmed() const { return warpOutArmed; }
    bool IsShieldEffectOn() const { return shieldEffectOn; }

    float destructionClock = 0.0f;
    int damageMarksShown = 0;
    float fade = 1.0f;
    float docking = 0.0f;
    int currentLayer = 1;
    int pendingLayer = 1;
    int homeLayer = 1;
    // Counters in place of the effects, so the simulation's calls can be seen.
    int hitEffectCount = 0;
    int shieldImpactCount = 0;
    int armourSparkCount = 0;
    int shieldCollapseCount = 0;
    int emitterCount = 0;
    int firedExplosionCount = 0;
    int damageTextCount = 0;

private:
    void ParseDestructionLines();
    void FireDestructionEvent(const DestructionEvent& event);
    bool AllEventsDone() const;
    void FinishDestruction();

    SIM_Ship* ship = nullptr;
    std::vector<DestructionEvent> destructionEvents;
    float spriteWidth = 0.0f;
    float spriteHeight = 0.0f;
    bool breakupStarted = false;
    bool warpEffectRunning = false;
    bool warpOutArmed = false;
    bool shieldEffectOn = false;
    bool killed = false;
    float warpTime = 0.0f;
    float warpDelay = 0.0f;
    float warpDuration = 0.0f;
};
