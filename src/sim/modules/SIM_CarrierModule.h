#pragma once
#include <vector>

#include "sim/modules/SIM_ShipModule.h"

// A carrier bay: takes in damaged fighters, mends their modules one at a
// time from its supplies and launches each when whole, or all of them when
// the supplies run out. Destroying the bay kills the fighters inside.
class SIM_CarrierModule : public SIM_ShipModule {
public:
    explicit SIM_CarrierModule(const SIM_ShipModuleType* type);
    ~SIM_CarrierModule() override;

    void Think() override;
    void OnDestroyed() override;
    // The carrier leaves with its fighters or takes them down with it.
    void ReleaseHolds() override;

    // The fighter enters the bay: docked, limpets knocked off.
    void Dock(SIM_Ship* fighter);
    // supplies / maximum, 0..1; 0 when the type carries no supplies.
    float GetSuppliesFraction() const;
    // Health above 0 and supplies left: a fighter may head here.
    bool IsUsable() const { return health > 0.0f && supplies > 0.0f; }

    const std::vector<SIM_Ship*>& GetDocked() const { return docked; }
    float GetSupplies() const { return supplies; }
    float GetMaxSupplies() const { return maxSupplies; }

    std::vector<SIM_Ship*> docked;
    float repairRate = 0.0f;
    float supplies = 0.0f;
    float maxSupplies = 0.0f;
    std::vector<SIM_Ship*> launchQueue;

private:
    void RepairDocked(float amount);
    void LaunchQueue();
    void HoldDockedInBay();
    void KillDocked();
};
