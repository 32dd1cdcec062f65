#pragma once
#include <string>
#include <vector>

#include "platform/ISoundSystem.h"
#include "sim/modules/SIM_TargetedModule.h"

// An instant-hit arc: each shot rolls once, a hit lands its whole damage at
// once, and the arc then shows for its duration (half as long on a miss,
// wandering about a point near the target). The weapon keeps its target and
// cannot fire again while the arc shows.
class SIM_LightningGunModule : public SIM_TargetedModule {
public:
    // A missed arc's end point lies this far (each axis) from the aim point,
    static constexpr float kMissSpread = 16.0f;
    // and wanders this far about it.
    static constexpr float kWander = 6.0f;
    // The arc's texture steps to its next cell this often.
    static constexpr float kFlickerTime = 60.0f;

    SIM_LightningGunModule(const SIM_ShipModuleType* type, SIM_ShipOrders* orders);
    ~SIM_LightningGunModule() override;

    void PostBuildInit() override;
    void Update() override;
    void Fire() override;
    void OnDestroyed() override;

    // The end of the arc drawn from (x, y) this frame.
    Point ArcEnd(float fromX, float fromY) const;
    // Steps the flicker; the texture cell of turret i is (frame + i) mod 8.
    void AdvanceFlicker(float frameTime);

    void StopSound();
    static void StopAllSounds();
    static void StopSoundsOfShip(const SIM_Ship* dying);
    // Drops every channel without a call (the sound system may be gone at exit).
    static void ForgetAllSounds();
    static const std::vector<SIM_LightningGunModule*>& GetAll();

    bool IsArcActive() const { return arcActive; }
    bool IsHit() const { return hit; }

    std::string texture;
    float arcTimer = 0.0f;
    bool arcActive = false;
    float beamDuration = 0.0f;
    float arcDuration = 0.0f;
    float damage = 0.0f;
    bool hit = true;
    Point missPoint;
    Point shieldCrossing;
    std::string sound;
    float soundVolume = 0.0f;
    float beamWidth = 0.0f;
    float alpha = 0.0f;
    float fadeTime = 0.0f;
    float wanderPhase1 = 0.0f, wanderPhase2 = 0.0f;
    SoundChannelId soundChannel = kNoChannel;
    float flickerTimer = 0.0f;
    int flickerFrame = 0;

private:
    void ShowShieldHit();
    void UpdateAlpha();
};
