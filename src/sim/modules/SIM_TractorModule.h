#pragma once
#include <vector>

#include "platform/ISoundSystem.h"
#include "sim/modules/SIM_TargetedModule.h"

// Seizes the nearest suitable enemy ship in range and holds it while its
// beam power lasts; the held ship feels the pull as drag. Charges while
// idle, drains while holding, lets go when the power is spent, the target
// dies or leaves range, or the module is wrecked. The held ship is the
// targeted module's target, so the turrets follow it.
class SIM_TractorModule : public SIM_TargetedModule {
public:
    enum State { IDLE = 0, HOLDING = 1 };
    static constexpr float kGrabInterval = 1000.0f;
    static constexpr float kSoundMinDistance = 64.0f;
    static constexpr const char* kSound = "data/sounds/tractorbeam.ogg";

    SIM_TractorModule(const SIM_ShipModuleType* type, SIM_ShipOrders* orders);
    ~SIM_TractorModule() override;

    void PostBuildInit() override;
    void Think() override;
    void Update() override;
    void ApplyScenarioRules() override;
    void OnDestroyed() override;
    void ReleaseHolds() override { Release(); }
    float ChargeFraction() const override;

    void Release();
    void TryGrab();

    // Every tractor of the battle, for the view that draws the beams.
    static const std::vector<SIM_TractorModule*>& GetInstances();
    // The looping beam sounds stop (ship dying, battle cleared).
    static void StopSoundsOfShip(const SIM_Ship* dying);
    static void StopAllSounds();
    // At exit the sound system may be gone: forget channels without a call.
    static void ForgetAllSounds();

    bool IsHolding() const { return tractorState == HOLDING; }
    SIM_Ship* GetHeldShip() const { return tractorState == HOLDING ? target : nullptr; }
    float GetBeamPower() const { return beamPower; }
    float GetMaxBeamPower() const { return maxBeamPower; }
    float GetBeamWeight() const { return beamWeight; }
    float GetTextureScroll() const { return textureScroll; }
    const Point& GetBeamEnd() const { return beamEnd; }
    SoundChannelId GetSoundChannel() const { return soundChannel; }

    float beamWeight = 0.0f;
    float beamPower = 0.0f;
    float maxBeamPower = 0.0f;
    int tractorState = IDLE;
    float powerUsage = 0.0f;
    float powerRecharge = 0.0f;
    float rangeSq = 0.0f;
    SIM_Fleet* enemyShips = nullptr;
    float textureScroll = 0.0f;
    float grabTimer = 0.0f;
    Point beamEnd;
    SoundChannelId soundChannel = kNoChannel;

private:
    void StartSound();
    void StopSound();
};
