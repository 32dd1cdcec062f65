#pragma once
#include <string>

#include "engine/GLifetime.h"
#include "sim/SIM_ShipOrders.h"

// One ship record of a deployed fleet: design, name, place, facing, count and
// standing orders. Copies are deep (the orders are copied too).
class SIM_DeployedShip {
public:
    SIM_DeployedShip() = default;
    virtual ~SIM_DeployedShip() = default;
    SIM_DeployedShip(const SIM_DeployedShip&) = default;
    SIM_DeployedShip& operator=(const SIM_DeployedShip&) = default;

    // A fighter squadron is 1 to kMaxQuantity fighters; every other ship is one.
    static constexpr int kMaxQuantity = 16;

    std::string name;
    std::string design;
    float angle = 90.0f;
    float x = 0.0f;
    float y = 0.0f;
    int quantity = 1;
    SIM_ShipOrders orders;
    int shipId = -1;
    // Windows showing the record watch this (GWatch); a copy is another record.
    GLifetime lifetime;
};
