#pragma once
#include <string>

#include "sim/modules/SIM_TargetedModule.h"

// Charges a capacitor and discharges it as a beam into the shield of the
// weakest-shielded friendly ship in range. A supported ship takes one beam at
// a time; the beam keeps its own pointer to the ship it marked, so the mark
// is cleared on that ship whatever happens to the current target.
class SIM_ShieldSupportBeam : public SIM_TargetedModule {
public:
    static constexpr float kWeakShield = 0.8f;
    static constexpr float kStartBound = 1.2f;
    static constexpr int kPulses = 4;

    SIM_ShieldSupportBeam(const SIM_ShipModuleType* type, SIM_ShipOrders* orders);
    ~SIM_ShieldSupportBeam() override;

    void PostBuildInit() override;
    void Think() override;
    void Update() override;
    void Fire() override;
    void ReleaseHolds() override { StopDischarge(); }
    float ChargeFraction() const override;

    // The friendly ship whose shield needs it most, or none.
    SIM_Ship* FindShipToSupport() const;
    void StopDischarge();

    bool IsDischarging() const { return discharging; }
    SIM_Ship* GetSupportedShip() const { return supported; }
    float GetCharge() const { return charge; }
    float GetCapacity() const { return capacity; }

    std::string beamSprite;
    float beamWidth = 0.0f;
    float pulseTimer = 0.0f;
    float pulseDuration = 0.0f;
    float pulseOffsets[kPulses] = {};
    float charge = 0.0f;
    float beamRate = 0.0f;
    float rechargeRate = 0.0f;
    float capacity = 0.0f;
    bool discharging = false;
    float minCharge = 0.0f;

private:
    bool IsOwnShipVisible() const;
    SIM_Ship* supported = nullptr;
};
