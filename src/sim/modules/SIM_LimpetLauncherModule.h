#pragma once
#include <memory>

#include "sim/modules/SIM_Limpet.h"
#include "sim/modules/SIM_TargetedModule.h"

// Releases limpets at enemy fighters. Its ten limpets live as long as the
// launcher; while all ten are out it holds no target and does not fire. A
// limpet comes back when the fighter it sticks to dies.
class SIM_LimpetLauncherModule : public SIM_TargetedModule {
public:
    static constexpr int kLimpets = 10;

    SIM_LimpetLauncherModule(const SIM_ShipModuleType* type, SIM_ShipOrders* orders);
    ~SIM_LimpetLauncherModule() override;

    void PostBuildInit() override;
    void Update() override;
    void Fire() override;

    // A limpet came back: choose targets again while one is free, else hold none.
    void RefreshAutoTarget();
    bool HasFreeLimpet() const;
    // A limpet left FREE (+1) or came back to it (-1).
    void NoteLimpetOut(int delta) { limpetsOut += delta; }
    int CountLimpetsOut() const { return limpetsOut; }
    SIM_Limpet& GetLimpet(int i) { return *limpets[i]; }

    float launchDuration = 0.0f;
    float startLaunchSpeed = 0.0f;
    float endLaunchSpeed = 0.0f;
    float limpetWeight = 0.0f;
    float seekAcceleration = 0.0f;
    float maxSeekSpeed = 0.0f;
    float limpetSize = 0.0f;
    float driftDeceleration = 0.0f;
    float seekRange = 0.0f;
    float limpetTurnSpeed = 0.0f;
    std::unique_ptr<SIM_Limpet> limpets[kLimpets];

private:
    // While none is out the frame does not touch the ten limpets at all.
    int limpetsOut = 0;
};
