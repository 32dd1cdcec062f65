#pragma once
#include "sim/modules/SIM_ShipModule.h"

// Mends the damaged modules of its own ship one at a time from a limited
// stock of supplies, once the ship has been left in peace long enough. Work
// scales with the think step and with the module's own health.
class SIM_RepairModule : public SIM_ShipModule {
public:
    static constexpr float kSearchInterval = 50.0f;

    explicit SIM_RepairModule(const SIM_ShipModuleType* type);
    ~SIM_RepairModule() override;

    void PostBuildInit() override;
    void Think() override;
    void ApplyScenarioRules() override;
    void SetEfficiency(float value) override;

    // A hit on the ship interrupts repairs.
    void ResetPeaceTimer() { peaceTimer = 0.0f; }
    // supplies / maximum, 0..1; 0 when the type carries no supplies.
    float GetSuppliesFraction() const;

    SIM_ShipModule* GetRepairTarget() const { return target; }
    float GetSupplies() const { return supplies; }
    float GetMaxSupplies() const { return maxSupplies; }
    float GetRepairRate() const { return repairRate; }
    float GetPeaceTimer() const { return peaceTimer; }
    bool IsArmourOnly() const { return repairType == 1; }

    float peaceTimer = 0.0f;
    float peaceInterval = 0.0f;
    float repairRate = 0.0f;
    SIM_ShipModule* target = nullptr;
    float searchTimer = 0.0f;
    int repairType = 0;
    float supplies = 0.0f;
    float maxSupplies = 0.0f;

private:
    void ChooseTarget();
    void DropTarget(bool clearActive);
};
