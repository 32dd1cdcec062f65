#pragma once
#include "sim/modules/SIM_ShipModule.h"

// A cloak: with full power the ship fades out when it has nothing to shoot
// at (or is hurt or withdrawing), stays hidden while the power lasts and fades
// back in when the power runs out or its weapons find a target.
class SIM_CamoflageShieldModule : public SIM_ShipModule {
public:
    enum CloakState { FADING_OUT = 0, CLOAKED = 1, FADING_IN = 2, VISIBLE = 3 };
    static constexpr float kFadeTime = 3000.0f;

    explicit SIM_CamoflageShieldModule(const SIM_ShipModuleType* type);

    void Think() override;
    void Update() override;
    void ApplyScenarioRules() override;

    // Frame step with an explicit battle time (Update uses the battle screen's).
    void Advance(float frameTime);

    int GetCloakState() const { return cloakState; }
    float GetVisibility() const { return visibility; }
    float GetShimmer() const { return shimmer; }
    float GetCloakPower() const { return cloakPower; }
    float GetMaxCloakPower() const { return maxCloakPower; }

    float visibility = 1.0f;
    int cloakState = VISIBLE;
    float maxCloakPower = 0.0f;
    float cloakPower = 0.0f;
    float rechargeRate = 0.0f;
    float consumptionRate = 0.0f;
    float fadeTimer = 0.0f;
    float shimmer = 0.0f;

private:
    float FadeFraction(float frameTime);
};
