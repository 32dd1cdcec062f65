#pragma once
#include <string>

#include "sim/modules/SIM_TargetedModule.h"

class SIM_Missile;

// A defensive beam that locks onto the nearest enemy missile in range and,
// with a chance decided at lock time, scrambles it when the beam ends.
class SIM_ECMBeamModule : public SIM_TargetedModule {
public:
    enum State { IDLE = 0, BEAMING = 1 };
    static constexpr float kScrambleChance = 0.75f;

    SIM_ECMBeamModule(const SIM_ShipModuleType* type, SIM_ShipOrders* orders);
    ~SIM_ECMBeamModule() override;

    void PostBuildInit() override;
    void Think() override;
    void Update() override;

    // The locked missile is gone: the beam has nothing to hold.
    void ForgetMissile(const SIM_Missile* gone);

    int GetState() const { return state; }
    SIM_Missile* GetMissile() const { return missile; }
    bool WillScramble() const { return scrambles; }

    float rangeSq = 0.0f;
    int state = IDLE;
    SIM_Missile* missile = nullptr;
    float beamWidth = 0.0f;
    float beamDuration = 0.0f;
    float beamTimer = 0.0f;
    bool scrambles = false;
    std::string beamTexture;
    std::string sound;
    float soundVolume = 0.0f;
    float pulseTime = 0.0f;
    float pulsePeriod = 0.0f;
    float pulseAlpha = 0.0f;
};
