#pragma once
#include <string>

#include "platform/ISoundSystem.h"
#include "sim/modules/SIM_TargetedModule.h"

class SIM_CamoflageShieldModule;

// A continuous beam from the module (or each turret) to the target. Whether
// it hits is decided when it fires; the damage lands once, fireDelay after the
// beam starts; the beam then shows for its duration. Misses wobble beside the
// target. Several turrets may converge ahead of the ship into a single beam.
class SIM_BeamWeaponModule : public SIM_TargetedModule {
public:
    // One drawn beam segment, for the battle view.
    struct BeamSegment {
        Point start;
        Point end;
        float fraction = 1.0f;
    };

    SIM_BeamWeaponModule(const SIM_ShipModuleType* type, SIM_ShipOrders* orders);
    ~SIM_BeamWeaponModule() override;

    void PostBuildInit() override;
    void Update() override;
    void Fire() override;
    void OnDestroyed() override;
    virtual void ApplyBeamDamage();

    // Stops a looping beam sound (ship dying, module destroyed, battle cleared).
    void StopSound();
    // Every beam weapon of the battle stops its sound (battle cleared).
    static void StopAllSounds();
    // The beams of a ship that starts dying fall silent.
    static void StopSoundsOfShip(const SIM_Ship* dying);
    // Drops every channel without a call: at exit the sound system may
    // already be gone, and takes its channels along.
    static void ForgetAllSounds();

    // The end of the beam this frame (aim point, shield edge or wobbling miss).
    Point BeamEndPoint() const;
    // Where each drawn segment runs this frame.
    int GetBeamSegments(BeamSegment* out, int maxSegments) const;

    bool IsBeamActive() const { return beamActive; }
    bool IsHit() const { return hit; }
    bool IsDamagePending() const { return damagePending; }
    float GetBeamAlpha() const { return beamAlpha; }
    float GetBeamTime() const { return beamTime; }
    bool IsConverging() const { return converging; }
    SoundChannelId GetSoundChannel() const { return soundChannel; }

    std::string beamTextures[3];
    std::string blastTexture;
    std::string grainTexture;
    float grainOffset = 0.0f;
    float grainSpeed = 1.0f;
    float flickerTime = 0.0f;
    float beamAge = 0.0f;
    bool beamActive = false;
    float beamDuration = 0.0f;
    float beamTime = 0.0f;
    float damage = 0.0f;
    bool hit = true;
    Point missPoint;
    std::string sound;
    float soundVolume = 0.0f;
    float beamWidth = 0.0f;
    Point shieldImpactPoint;
    float beamAlpha = 0.0f;
    float fadeTime = 0.0f;
    float flickerPhase = 0.0f;
    bool hasGrain = false;
    float grainScale = 0.0f;
    float grainCoverage = 0.0f;
    float missPhaseX = 0.0f, missPhaseY = 0.0f;
    SoundChannelId soundChannel = kNoChannel;
    float shieldImpactAngle = 0.0f;
    bool shieldStops = false;
    float fireDelay = 0.0f;
    bool insideShield = false;
    bool converging = false;
    bool convergence = false;
    Point convergePoint;
    Point hitDirection;
    float shotDamage = 0.0f;
    bool damagePending = false;
    SIM_Ship* damageTarget = nullptr;
    const Point* damageAimPoint = nullptr; // ship-local, lives with the target
    const SIM_CamoflageShieldModule* ownCloak = nullptr; // the ship's, if it has one

private:
    bool IsOwnShipVisible() const;
    void AdvanceBeam(float frameTime);
    void ApplyPendingDamage();
    void DecideConvergence(const Point& endPoint);
    void StartSound();
    float DamageDelay() const;
};
