#pragma once
#include "sim/modules/SIM_TargetedModule.h"

class SIM_Missile;

// Shoots down enemy missiles: reloads, claims the nearest unclaimed enemy
// missile in range, shows a short beam at it and then rolls once whether it
// is destroyed. The chance is its tracking speed against the missile's
// speed, never below 5 % nor above 95 %.
class SIM_PointDefenceModule : public SIM_TargetedModule {
public:
    enum State { RELOADING = 0, READY = 1, FIRING = 2 };
    static constexpr float kMinKillChance = 0.05f;
    static constexpr float kMaxKillChance = 0.95f;

    SIM_PointDefenceModule(const SIM_ShipModuleType* type, SIM_ShipOrders* orders);
    ~SIM_PointDefenceModule() override;

    void PostBuildInit() override;
    void Think() override;
    void Update() override;

    // The chance one shot destroys the missile.
    float KillChance(const SIM_Missile& target) const;
    // The claimed missile is gone (destroyed, or this module first).
    void ForgetMissile(const SIM_Missile* gone);

    int GetState() const { return state; }
    SIM_Missile* GetMissile() const { return missile; }

    float beamDuration = 0.0f;
    int state = RELOADING;
    SIM_Missile* missile = nullptr;
    std::string beamTexture;
    float beamWidth = 0.0f;

private:
    void ResolveShot();
};
