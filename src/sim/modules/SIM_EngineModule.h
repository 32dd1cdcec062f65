#pragma once
#include "sim/modules/SIM_ShipModule.h"

// Thrust for the ship; a wrecked engine still gives a quarter.
class SIM_EngineModule : public SIM_ShipModule {
public:
    explicit SIM_EngineModule(const SIM_ShipModuleType* type);

    void Think() override;
    void ApplyHullBonus() override;
    void TakeDamage(float amount) override;
    void SetEfficiency(float value) override;

    float GetThrust() const { return thrust; }
    float GetCurrentThrust() const { return currentThrust; }

    float thrust = 0.0f;
    float currentThrust = 0.0f;
};
