#pragma once
#include <string>
#include <vector>

#include "sim/modules/SIM_TargetedModule.h"

class SIM_Missile;

// Area defence against missiles: once charged it waits for three enemy
// missiles within range, then goes off and destroys each missile in range
// (of either side) with a set chance after a short random delay.
class SIM_SmartBombModule : public SIM_TargetedModule {
public:
    static constexpr int kTriggerCount = 3;
    static constexpr float kMaxDelay = 300.0f;

    struct Pending {
        SIM_Missile* missile = nullptr;
        unsigned flight = 0;
        float delay = 0.0f;
    };

    SIM_SmartBombModule(const SIM_ShipModuleType* type, SIM_ShipOrders* orders);

    void Think() override;
    void Update() override;
    float ChargeFraction() const override;
    void Detonate();

    bool IsDetonating() const { return detonating; }
    const std::vector<Pending>& GetPending() const { return pending; }

    std::string sound;
    float triggerChance = 0.0f;
    float soundVolume = 0.0f;
    bool detonating = false;
    float chargeTimer = 0.0f;
    float elapsed = 0.0f;
    std::vector<Pending> pending;
};
