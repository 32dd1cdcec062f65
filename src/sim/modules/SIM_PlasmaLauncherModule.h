#pragma once
#include <string>
#include <vector>

#include "sim/modules/SIM_Plasma.h"
#include "sim/modules/SIM_TargetedModule.h"

// Holds one plasma torpedo and fires it again as soon as the previous one is
// gone. The torpedo moves once per frame through its launcher's update.
class SIM_PlasmaLauncherModule : public SIM_TargetedModule {
public:
    SIM_PlasmaLauncherModule(const SIM_ShipModuleType* type, SIM_ShipOrders* orders);
    ~SIM_PlasmaLauncherModule() override;

    void PostBuildInit() override;
    void Update() override;
    void TakeDamage(float amount) override;
    void Fire() override;

    static const std::vector<SIM_PlasmaLauncherModule*>& GetAll();
    const SIM_Plasma& GetTorpedo() const { return torpedo; }
    SIM_Plasma& GetTorpedo() { return torpedo; }

    std::string sound;
    SIM_Plasma torpedo;
    float soundVolume = 0.0f;
};
