#pragma once
#include <memory>
#include <string>
#include <vector>

#include "sim/SIM_ShipOrder.h"

class GIniFile;
class GSafeFile;
class SIM_DeployedShip;
class SIM_Ship;
class SIM_ShipDesign;

// A ship's standing orders, at most one per behaviour, in insertion order.
class SIM_ShipOrders {
public:
    SIM_ShipOrders() = default;
    virtual ~SIM_ShipOrders() = default;
    SIM_ShipOrders(const SIM_ShipOrders& other) { CopyFrom(other); }
    SIM_ShipOrders& operator=(const SIM_ShipOrders& other);

    // Applies the movement exclusions, then appends a new order. Returns the
    // list's order of that behaviour (the one already there when there was
    // one), or null when the behaviour is unknown.
    SIM_ShipOrder* AddOrder(const std::string& behaviour, float float1, float float2);
    // Takes the order unless one of the same behaviour is there; the order
    // that is in the list afterwards.
    SIM_ShipOrder* AppendOrder(std::unique_ptr<SIM_ShipOrder> order);

    bool HasOrder(const std::string& behaviour) const;
    bool HasOrderWithValue(const std::string& behaviour, int value) const;
    SIM_ShipOrder* GetOrder(const std::string& behaviour) const;
    void RemoveOrder(const std::string& behaviour);
    void RemoveOrdersTargeting(int shipId);
    void RemoveOrdersTargeting(const SIM_DeployedShip& ship);
    void RemoveUntargetedShipOrders();
    void Clear() { m_orders.clear(); }
    void CopyFrom(const SIM_ShipOrders& other);

    // Design defaults when the player saved some, else the hull class's.
    void SetDefaults(const SIM_ShipDesign* design);

    bool HasAttackOrderForClass(int hullClass) const;
    // Range and priority of the attack order against a hull class: 300 and 0
    // when the order is missing.
    float GetAttackRangeForClass(int hullClass) const;
    float GetAttackPriorityForClass(int hullClass) const;
    static const char* AttackBehaviourForClass(int hullClass);

    // Reads the "behaviour_N" lines of a ship section already loaded.
    // Battle start, for the ship that owns the list: links ship-linked
    // orders (dropping those whose ship is missing), takes the CAUTIOUS
    // level and places an escorting fighter beside the ship it escorts.
    void ApplyTacticalChecks(SIM_Ship* owner);

    void Load(const GIniFile& ini);
    // The "behaviour_N" lines, after dropping untargeted ship-linked orders.
    std::string SaveToText();
    void Save(GSafeFile& file);

    const std::vector<std::unique_ptr<SIM_ShipOrder>>& GetOrders() const { return m_orders; }
    size_t Count() const { return m_orders.size(); }
    float GetCautiousLevel() const { return m_cautiousLevel; }
    void SetCautiousLevel(float level) { m_cautiousLevel = level; }

private:
    static bool NeedsTarget(const std::string& behaviour);

    std::vector<std::unique_ptr<SIM_ShipOrder>> m_orders;
    float m_cautiousLevel = -1.0f;
};
