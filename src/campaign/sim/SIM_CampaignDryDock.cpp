#include "campaign/sim/SIM_CampaignDryDock.h"

#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"

SIM_CampaignDryDock::SIM_CampaignDryDock(SIM_CampaignFleet* fleet)
{
    for (SIM_CampaignShip* ship : DamagedShips(fleet))
        m_ships.emplace_back(ship);
}

SIM_CampaignDryDock::~SIM_CampaignDryDock()
{
    Close();
}

std::vector<SIM_CampaignShip*> SIM_CampaignDryDock::DamagedShips(const SIM_CampaignFleet* fleet)
{
    std::vector<SIM_CampaignShip*> damaged;
    if (!fleet)
        return damaged;
    for (SIM_CampaignShip* ship : fleet->GetShips())
        if (ship->integrity < 1.0f)
            damaged.push_back(ship);
    return damaged;
}

int SIM_CampaignDryDock::RepairAllCost(const SIM_CampaignShip& ship)
{
    int total = 0;
    for (const auto& module : ship.modules)
        total += ship.GetModuleRepairCost(*module);
    return total;
}

bool SIM_CampaignDryDock::RepairEntry(SIM_CampaignShip& ship, SIM_CampaignModuleState& module, size_t entry)
{
    if (entry >= module.damage.size())
        return false;
    const int cost = module.damage[entry].repairCost;
    if (!ship.RepairDamageEntry(module, entry))
        return false;
    Record(&ship, cost);
    return true;
}

bool SIM_CampaignDryDock::RepairModule(SIM_CampaignShip& ship, SIM_CampaignModuleState& module)
{
    const int cost = ship.GetModuleRepairCost(module);
    if (module.damage.empty() || cost > SIM_CampaignProgress::GetInstance().cash)
        return false;
    if (!ship.RepairModuleFully(module))
        return false;
    Record(&ship, cost);
    return true;
}

int SIM_CampaignDryDock::RepairAll(SIM_CampaignShip& ship)
{
    int repaired = 0;
    for (const auto& module : ship.modules)
        repaired += RepairModule(ship, *module) ? 1 : 0;
    return repaired;
}

void SIM_CampaignDryDock::Record(SIM_CampaignShip* ship, int amount)
{
    for (auto& entry : m_tally) {
        if (entry.first.Is(ship)) {
            entry.second += static_cast<float>(amount);
            return;
        }
    }
    m_tally.emplace_back(GWatch<SIM_CampaignShip>(ship), static_cast<float>(amount));
}

float SIM_CampaignDryDock::GetSpent(const SIM_CampaignShip* ship) const
{
    for (const auto& entry : m_tally)
        if (entry.first.Is(ship))
            return entry.second;
    return 0.0f;
}

void SIM_CampaignDryDock::Close()
{
    if (m_tally.empty())
        return;
    for (const auto& [watch, amount] : m_tally)
        if (SIM_CampaignShip* ship = watch.Get(); ship && ship->log)
            ship->log->AddRepairEntry(amount, ship->integrity);
    m_tally.clear();
    // Cash, damage and logs change together in the save.
    SIM_CampaignProgress::GetInstance().Save();
}
