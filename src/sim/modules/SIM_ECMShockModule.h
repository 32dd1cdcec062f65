#pragma once
#include <string>

#include "sim/modules/SIM_TargetedModule.h"

// A short beam at the enemy ship the normal target choice picked; a hit puts
// that ship into ECM shock (its own ECM shields may resist). Never aimed at
// fighters.
class SIM_ECMShockModule : public SIM_TargetedModule {
public:
    static constexpr float kScrollWrap = 250.0f;

    SIM_ECMShockModule(const SIM_ShipModuleType* type, SIM_ShipOrders* orders);

    void PostBuildInit() override;
    void Update() override;
    void Fire() override;

    bool IsShowing() const { return showing; }

    float beamTimer = 0.0f;
    float beamDuration = 0.0f;
    bool showing = false;
    std::string beamTexture;
    float beamWidth = 0.0f;
    float ecmStrength = 0.0f;
    float shockDuration = 0.0f;
    float scroll = 0.0f;
    std::string sound;
    float soundVolume = 0.0f;
};
