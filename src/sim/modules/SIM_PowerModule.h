#pragma once
#include "sim/modules/SIM_ShipModule.h"

// A reactor; its output only counts in the ship's totals.
class SIM_PowerModule : public SIM_ShipModule {
public:
    explicit SIM_PowerModule(const SIM_ShipModuleType* type);

    void Think() final {}
    bool Thinks() const final { return false; }
    void ApplyHullBonus() override;

    float GetPowerProduced() const { return powerProduced; }

    float powerProduced = 0.0f;
};
