#pragma once
#include "sim/modules/SIM_ShipModule.h"

// An armour plate: absorbs damage from its pool before the hull modules take
// it. Its health shows the pool, not its hitpoints.
class SIM_ArmourModule : public SIM_ShipModule {
public:
    explicit SIM_ArmourModule(const SIM_ShipModuleType* type);

    void PostBuildInit() override;
    void Think() final {}
    bool Thinks() const final { return false; }
    void ApplyHullBonus() override;
    void Repair(float amount) override;
    void TakeDamage(float amount) override;
    void SetEfficiency(float value) override;

    float GetArmour() const { return armour; }
    float GetMaxArmour() const { return maxArmour; }

    float armour = 0.0f;
    float maxArmour = 0.0f;
    unsigned char fighter = 0;

private:
    void RefreshArmourHealth();
};
