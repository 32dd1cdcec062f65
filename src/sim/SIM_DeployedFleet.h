#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/SIM_DeployedShip.h"

class GIniFile;
class SIM_Scenario;
class SIM_ShipDesign;

// One side's fleet as placed before a battle, with the running totals the
// scenario's limits are checked against.
//
// Ship records are shared: a fleet filled by CopyFrom holds the same records
// as its source, and a record lives until the last fleet (or other holder)
// lets go of it, so clearing or destroying either fleet is always safe.
class SIM_DeployedFleet {
public:
    using ShipPtr = std::shared_ptr<SIM_DeployedShip>;

    struct ModuleCount {
        std::string moduleType;
        int count = 0;
    };

    SIM_DeployedFleet() = default;

    // Reads a deployed-fleet file. Ships of missing designs, of another race
    // than ownRace (when given) and ships the scenario forbids are dropped.
    // False when the file could not be read (the fleet is then empty).
    bool Load(const std::string& filePath, const SIM_Scenario* scenario, bool ownRace);
    bool LoadForRace(const std::string& filePath, const SIM_Scenario* scenario, const std::string& ownRace);

    // False (and nothing added) when the ship's design does not exist.
    // The ship's quantity is first brought within its bounds (logged).
    bool AddShip(ShipPtr ship);
    // 16 for a fighter design (a squadron), else 1.
    static int MaxQuantity(const SIM_ShipDesign& design);
    // Clamps the quantity to 1..MaxQuantity with one log line naming where
    // it came from; true when it had to change.
    static bool BoundQuantity(SIM_DeployedShip& ship, const SIM_ShipDesign& design, const std::string& where);
    bool RemoveShip(const SIM_DeployedShip* ship);
    // The campaign's count of each enemy ship by id: null when the campaign
    // fleet has no entry for it.
    using CampaignQuantity = std::function<const int*(int shipId)>;
    // Takes out every ship the campaign's enemy fleet has none of left. A
    // ship without an entry is reported and kept. Returns how many went.
    int RemoveEmptyCampaignShips(const CampaignQuantity& quantityOf);
    SIM_DeployedShip* FindShip(int shipId) const;
    int GetHighestShipId() const;

    void CopyFrom(const SIM_DeployedFleet& other);
    void Clear();
    void ClearModuleCounts() { m_moduleCounts.clear(); }
    void RecalculateTotals();
    void AddModuleCounts(const SIM_DeployedShip& ship);
    void RemoveModuleCounts(const SIM_DeployedShip& ship);
    void AddModuleCount(const std::string& moduleType, int delta);
    int CountModuleType(const std::string& moduleType) const;

    bool ExceedsSupplyLimits(const SIM_Scenario* scenario) const;
    bool HasDisabledModules(const SIM_Scenario* scenario) const;

    const std::vector<ShipPtr>& GetShips() const { return m_ships; }
    const std::string& GetFleetName() const { return m_fleetName; }
    void SetFleetName(const std::string& name) { m_fleetName = name; }
    float GetTotalCost() const { return m_totalCost; }
    int GetTotalShips() const { return m_totalShips; }
    const std::vector<ModuleCount>& GetModuleCounts() const { return m_moduleCounts; }

private:
    void ChangeModuleCounts(const SIM_DeployedShip& ship, int sign);
    bool LoadShipSection(GIniFile& ini, const SIM_Scenario* scenario, const std::string& ownRace);

    std::vector<ShipPtr> m_ships;
    std::string m_fleetName;
    std::vector<ModuleCount> m_moduleCounts;
    float m_totalCost = 0.0f;
    int m_totalShips = 0;
};
