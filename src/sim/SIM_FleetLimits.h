#pragma once
#include <string>

class SIM_DeployedFleet;
class SIM_Scenario;
class SIM_ShipDesign;

// A deployed fleet against its scenario's cost, pilot and supply limits: the
// one place that decides whether a design may still be placed and whether a
// fleet may fight (the deployment screen and a battle started from a file).
class SIM_FleetLimits {
public:
    // Why a design cannot be placed, tested in the order 1, 2, 4, 3.
    enum Availability { AVAILABLE = 0, TOO_EXPENSIVE = 1, TOO_MANY_PILOTS = 2, SHORT_OF_SUPPLIES = 3, NOT_ALLOWED = 4 };
    static constexpr int kMaxSquadron = 16;

    // editingAIFleet: the scenario's AI fleet is edited, whose cost limit
    // grows with the difficulty (x1.1 medium, x1.2 hard).
    SIM_FleetLimits(const SIM_Scenario& scenario, const SIM_DeployedFleet& fleet, bool editingAIFleet = false);

    int CostLimit() const;
    int GetAvailability(const SIM_ShipDesign* design) const;
    // One ship of the design against what the fleet already carries.
    bool IsShortOfSupplies(const SIM_ShipDesign* design) const;
    // The most fighters (1..16) one squadron of the design may have within
    // the cost and pilot limits; 1 when none fits.
    int LargestSquadron(const SIM_ShipDesign* design) const;

    bool IsTooExpensive() const;
    bool HasTooManyPilots() const;
    bool HasTooManySupplies() const;
    // The whole fleet: 0 when it may fight, else the failure that the FIGHT
    // tooltip names (supplies over pilots over cost when several fail).
    int CheckFleet() const;
    static const char* FightTooltipKey(int code);
    // A plain sentence for a refused fleet (command line, logs).
    std::string Describe(int code) const;

private:
    const SIM_Scenario& m_scenario;
    const SIM_DeployedFleet& m_fleet;
    bool m_editingAIFleet;
};
