#pragma once

class SIM_CampaignEncounter;
class SIM_CampaignFleet;
class SIM_CampaignShip;
class SIM_ShipDesign;

// What building a ship at a planet's yard costs and does: one ship, or one
// fighter squadron of the chosen size, paid in cash and crew, logged, added
// to the receiving fleet, counted and saved.
class SIM_CampaignShipyard {
public:
    enum BuildState { BUILDABLE = 0, NO_CREW = 1, NO_CASH = 2, WRONG_CLASS = 3, NO_DESIGN = 4, FLEET_AWAY = 5 };
    static constexpr int kMaxSquadron = 16;

    // Squadrons are built for fighters alone; every other class builds one ship.
    static int QuantityFor(const SIM_ShipDesign* design, int squadronSize);
    // A fighter needs one crew each, whatever its design says.
    static int CrewNeeded(const SIM_ShipDesign* design, int quantity);
    // Cash is tested first: short of both, the cash is the reason.
    static int StateFor(float totalCost, int crewNeeded, int cash, int crew);
    // The whole check, the yard's class included; given the receiving fleet,
    // also that it is still at the yard (a fleet that left takes no new ship).
    static int CheckBuild(const SIM_CampaignEncounter* yard, const SIM_ShipDesign* design, int squadronSize,
                          const SIM_CampaignFleet* fleet = nullptr);
    // Builds when CheckBuild allows it; the new ship, or null (nothing changed).
    static SIM_CampaignShip* Build(SIM_CampaignEncounter* yard, SIM_CampaignFleet* fleet, SIM_ShipDesign* design,
                                   int squadronSize);
};
