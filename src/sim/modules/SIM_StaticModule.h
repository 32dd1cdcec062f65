#pragma once
#include "sim/modules/SIM_ShipModule.h"

// A module that does nothing in battle but carry at most one value from its
// type, which the ship reads when it recalculates.
class SIM_StaticModule : public SIM_ShipModule {
public:
    // key may be null: no value (0).
    SIM_StaticModule(const SIM_ShipModuleType* type, const char* key);

    void Think() final {}
    bool Thinks() const final { return false; }

    float GetValue() const { return value; }

    float value = 0.0f;
};

class SIM_CrewModule : public SIM_StaticModule {
public:
    explicit SIM_CrewModule(const SIM_ShipModuleType* type) : SIM_StaticModule(type, nullptr) {}
};

// Point-defence accuracy of the ship.
class SIM_PDScannerModule : public SIM_StaticModule {
public:
    explicit SIM_PDScannerModule(const SIM_ShipModuleType* type) : SIM_StaticModule(type, "scanner_accuracy") {}
};

// Weapon accuracy bonus of the ship.
class SIM_TargetBoosterModule : public SIM_StaticModule {
public:
    explicit SIM_TargetBoosterModule(const SIM_ShipModuleType* type) : SIM_StaticModule(type, "targetboost") {}
};

// Resistance to ECM shocks.
class SIM_ECMShieldModule : public SIM_StaticModule {
public:
    explicit SIM_ECMShieldModule(const SIM_ShipModuleType* type) : SIM_StaticModule(type, "ecm_strength") {}
};
