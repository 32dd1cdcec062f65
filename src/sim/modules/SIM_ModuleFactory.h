#pragma once
#include <memory>

class SIM_ShipModule;
class SIM_ShipModuleType;
class SIM_ShipOrders;
class SIM_TacticalModule;

// Builds the module object for a fitted module type, by the type's class
// name. The ship owns what comes back and places it with AddModule; it
// recognises shield, armour and repair modules by their class.
class SIM_ModuleFactory {
public:
    struct Built {
        std::unique_ptr<SIM_ShipModule> module;
        bool perFrame = false; // also updated every frame
    };

    // Null module (after an error line) for a null type or an unknown class.
    static Built Create(const SIM_ShipModuleType* type, SIM_ShipOrders* orders);
    // The tactical module every ship gets, from the type "tactical"; built
    // on a blank type when that file is missing so a ship always has one.
    static std::unique_ptr<SIM_TacticalModule> CreateTactical();
};
