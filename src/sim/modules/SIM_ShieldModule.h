#pragma once
#include "sim/modules/SIM_ShipModule.h"

// A shield generator. All generators of a ship feed its one SIM_Shield, which
// sums their points and blocks hits. Once drained a generator stays down for
// the rest of the battle.
class SIM_ShieldModule : public SIM_ShipModule {
public:
    explicit SIM_ShieldModule(const SIM_ShipModuleType* type);

    void Think() override;
    void ApplyScenarioRules() override;
    void ApplyHullBonus() override;
    void SetEfficiency(float value) override;

    void DrainShield(float amount);
    float GetShieldFraction() const;

    float GetMaxPoints() const { return maxPoints; }
    float GetPoints() const { return points; }
    float GetResistance() const { return resistance; }
    bool IsUp() const { return up != 0; }

    float maxPoints = 0.0f;
    float points = 0.0f;
    float resistance = 0.0f;
    unsigned char up = 1;
    float rechargeRate = 0.0f; // points per ms of battle time

private:
    void RecalculateShipShield();
};
