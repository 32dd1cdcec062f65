#include "sim/modules/SIM_ModuleFactory.h"

#include "engine/GDebugLog.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/modules/SIM_ArmourModule.h"
#include "sim/modules/SIM_BeamWeaponModule.h"
#include "sim/modules/SIM_BulletWeaponModule.h"
#include "sim/modules/SIM_CarrierModule.h"
#include "sim/modules/SIM_RepairModule.h"
#include "sim/modules/SIM_ShieldSupportBeam.h"
#include "sim/modules/SIM_TargetPainterModule.h"
#include "sim/modules/SIM_TractorModule.h"
#include "sim/modules/SIM_CamoflageShieldModule.h"
#include "sim/modules/SIM_ECMBeamModule.h"
#include "sim/modules/SIM_ECMShockModule.h"
#include "sim/modules/SIM_EngineModule.h"
#include "sim/modules/SIM_KineticWeapon.h"
#include "sim/modules/SIM_LightningGunModule.h"
#include "sim/modules/SIM_LimpetLauncherModule.h"
#include "sim/modules/SIM_MissileModule.h"
#include "sim/modules/SIM_PlasmaLauncherModule.h"
#include "sim/modules/SIM_PointDefenceModule.h"
#include "sim/modules/SIM_PowerModule.h"
#include "sim/modules/SIM_SmartBombModule.h"
#include "sim/modules/SIM_ShieldModule.h"
#include "sim/modules/SIM_StaticModule.h"
#include "sim/modules/SIM_TacticalModule.h"

namespace {

std::unique_ptr<SIM_ShipModule> BuildKnown(const SIM_ShipModuleType* type, SIM_ShipOrders* orders,
                                           bool& perFrame)
{
    const std::string& c = type->GetClassName();
    perFrame = false;
    if (c == "SIM_BeamWeaponModule") {
        perFrame = true;
        return std::make_unique<SIM_BeamWeaponModule>(type, orders);
    }
    // Guns
    if (c == "SIM_BulletWeaponModule") {
        perFrame = true;
        return std::make_unique<SIM_BulletWeaponModule>(type, orders);
    }
    if (c == "SIM_KineticWeapon") {
        perFrame = true;
        return std::make_unique<SIM_KineticWeapon>(type, orders);
    }
    if (c == "SIM_LightningGunModule") {
        perFrame = true;
        return std::make_unique<SIM_LightningGunModule>(type, orders);
    }
    if (c == "SIM_PlasmaLauncherModule") {
        perFrame = true;
        return std::make_unique<SIM_PlasmaLauncherModule>(type, orders);
    }
    if (c == "SIM_EngineModule")
        return std::make_unique<SIM_EngineModule>(type);
    // Missiles, limpets, point defence, ECM, smart bombs: all act every frame.
    perFrame = true;
    if (c == "SIM_MissileModule")
        return std::make_unique<SIM_MissileModule>(type, orders);
    if (c == "SIM_LimpetLauncher")
        return std::make_unique<SIM_LimpetLauncherModule>(type, orders);
    if (c == "SIM_PointDefenseModule")
        return std::make_unique<SIM_PointDefenceModule>(type, orders);
    if (c == "SIM_ECMBeamModule")
        return std::make_unique<SIM_ECMBeamModule>(type, orders);
    if (c == "SIM_ECMShockModule")
        return std::make_unique<SIM_ECMShockModule>(type, orders);
    if (c == "SIM_SmartBombModule")
        return std::make_unique<SIM_SmartBombModule>(type, orders);
    perFrame = false;
    if (c == "SIM_TargetBoosterModule")
        return std::make_unique<SIM_TargetBoosterModule>(type);
    if (c == "SIM_PDScannerModule")
        return std::make_unique<SIM_PDScannerModule>(type);
    if (c == "SIM_ECMShieldModule")
        return std::make_unique<SIM_ECMShieldModule>(type);
    if (c == "SIM_ShieldModule")
        return std::make_unique<SIM_ShieldModule>(type);
    if (c == "SIM_CrewModule")
        return std::make_unique<SIM_CrewModule>(type);
    if (c == "SIM_ArmourModule")
        return std::make_unique<SIM_ArmourModule>(type);
    if (c == "SIM_CamoflageShieldModule") {
        perFrame = true;
        return std::make_unique<SIM_CamoflageShieldModule>(type);
    }
    if (c == "SIM_PowerModule")
        return std::make_unique<SIM_PowerModule>(type);
    // Support, tractors, repair, carriers
    if (c == "SIM_TractorModule") {
        perFrame = true;
        return std::make_unique<SIM_TractorModule>(type, orders);
    }
    if (c == "SIM_CarrierModule")
        return std::make_unique<SIM_CarrierModule>(type);
    if (c == "SIM_ShieldSupportBeam") {
        perFrame = true;
        return std::make_unique<SIM_ShieldSupportBeam>(type, orders);
    }
    if (c == "SIM_TargetPainterModule") {
        perFrame = true;
        return std::make_unique<SIM_TargetPainterModule>(type, orders);
    }
    if (c == "SIM_RepairModule")
        return std::make_unique<SIM_RepairModule>(type);
    return nullptr;
}

} // namespace

SIM_ModuleFactory::Built SIM_ModuleFactory::Create(const SIM_ShipModuleType* type, SIM_ShipOrders* orders)
{
    Built built;
    if (!type) {
        LOG_ERROR("unknown module");
        return built;
    }
    built.module = BuildKnown(type, orders, built.perFrame);
    if (built.module)
        return built;
    const std::string& c = type->GetClassName();
    LOG_ERROR("unknown module");
    LOG_DEBUG(StrFormat("Module class %s of %s has no factory entry", c.c_str(), type->GetName().c_str()));
    return built;
}

std::unique_ptr<SIM_TacticalModule> SIM_ModuleFactory::CreateTactical()
{
    const SIM_ShipModuleType* type = SIM_ShipModuleType::Find("tactical");
    // Find has reported a missing type; the ship still needs its brain.
    return std::make_unique<SIM_TacticalModule>(type);
}
