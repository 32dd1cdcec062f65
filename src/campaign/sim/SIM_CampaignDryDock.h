#pragma once
#include "engine/GLifetime.h"

#include <cstddef>
#include <utility>
#include <vector>

class SIM_CampaignFleet;
class SIM_CampaignShip;
struct SIM_CampaignModuleState;

// One visit of a fleet to a repair yard: its damaged ships (chosen when the
// visit starts, so a ship repaired to full stays in the list), the credits
// spent on each, and one repair line per ship in its log when the visit ends.
// The ship's own repair operations check and take the cash. A ship that goes
// during the visit (scrapped, merged away) drops out of it.
class SIM_CampaignDryDock {
public:
    explicit SIM_CampaignDryDock(SIM_CampaignFleet* fleet);
    ~SIM_CampaignDryDock();
    SIM_CampaignDryDock(const SIM_CampaignDryDock&) = delete;
    SIM_CampaignDryDock& operator=(const SIM_CampaignDryDock&) = delete;

    // The fleet's ships below full integrity, in fleet order.
    static std::vector<SIM_CampaignShip*> DamagedShips(const SIM_CampaignFleet* fleet);
    // What repairing every module of the ship costs.
    static int RepairAllCost(const SIM_CampaignShip& ship);

    bool RepairEntry(SIM_CampaignShip& ship, SIM_CampaignModuleState& module, size_t entry);
    bool RepairModule(SIM_CampaignShip& ship, SIM_CampaignModuleState& module);
    // Goes through the modules in order and repairs each one whose whole cost
    // the cash left still covers; dearer ones stay damaged and cheaper ones
    // after them are still done. The number of modules repaired.
    int RepairAll(SIM_CampaignShip& ship);

    // Writes the repair lines into the ships' logs and saves when anything
    // was repaired; the tally is empty afterwards. The destructor does this too.
    void Close();

    size_t GetShipCount() const { return m_ships.size(); }
    // The visit's i-th ship; null once it is gone.
    SIM_CampaignShip* GetShip(size_t i) const { return i < m_ships.size() ? m_ships[i].Get() : nullptr; }
    // Credits spent on the ship during this visit.
    float GetSpent(const SIM_CampaignShip* ship) const;

private:
    void Record(SIM_CampaignShip* ship, int amount);

    std::vector<GWatch<SIM_CampaignShip>> m_ships;
    std::vector<std::pair<GWatch<SIM_CampaignShip>, float>> m_tally;
};
