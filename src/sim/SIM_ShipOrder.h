#pragma once
#include <memory>
#include <string>

#include "engine/GLifetime.h"

class SIM_BehaviourType;
class SIM_Ship;

// One standing order: a behaviour type with a target ship id and two numbers.
class SIM_ShipOrder {
public:
    // Null (after one error line) when the behaviour is not in the table, so
    // that no order ever exists without its type.
    static std::unique_ptr<SIM_ShipOrder> Create(const std::string& behaviour);

    SIM_ShipOrder(const std::string& behaviour, const SIM_BehaviourType* type);
    SIM_ShipOrder(const SIM_ShipOrder&) = default;
    SIM_ShipOrder& operator=(const SIM_ShipOrder&) = default;

    // Keeps both numbers inside the type's limits (types that use numbers).
    void Clamp();
    // 0..1 for the order sliders; percentages are stored that way already.
    float GetNormalisedFloat1() const;
    float GetNormalisedFloat2() const;
    // At battle start: links the order to the ship of its id in the owner's
    // fleet (a FORMATION order takes its offset from the leader). False when
    // the order names a ship the fleet does not have.
    bool ResolveTarget(SIM_Ship* owner);

    const SIM_BehaviourType* GetType() const { return type; }
    const std::string& GetBehaviour() const { return behaviour; }

    std::string displayText;
    std::string behaviour;
    SIM_Ship* targetShip = nullptr; // resolved from the ship id at battle start
    int secondInt = 0;
    int shipId = -1;
    float float1 = 0.0f;
    float float2 = 0.0f;
    const SIM_BehaviourType* type = nullptr;
    // Windows editing the order watch this (GWatch); a copy is another order.
    GLifetime lifetime;
};
