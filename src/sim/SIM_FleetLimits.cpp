#include "sim/SIM_FleetLimits.h"

#include "engine/StrFormat.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"

SIM_FleetLimits::SIM_FleetLimits(const SIM_Scenario& scenario, const SIM_DeployedFleet& fleet, bool editingAIFleet)
    : m_scenario(scenario), m_fleet(fleet), m_editingAIFleet(editingAIFleet)
{
}

int SIM_FleetLimits::CostLimit() const
{
    const int limit = m_scenario.GetFleetCostLimit();
    if (!m_editingAIFleet)
        return limit;
    // Truncated toward zero: 999 at medium allows 1098.
    if (m_scenario.GetDifficulty() == SIM_Scenario::MEDIUM)
        return static_cast<int>(static_cast<double>(limit) * 1.1);
    if (m_scenario.GetDifficulty() == SIM_Scenario::HARD)
        return static_cast<int>(static_cast<double>(limit) * 1.2);
    return limit;
}

int SIM_FleetLimits::GetAvailability(const SIM_ShipDesign* design) const
{
    if (!design)
        return NOT_ALLOWED;
    if (static_cast<float>(CostLimit()) < m_fleet.GetTotalCost() + design->GetCost())
        return TOO_EXPENSIVE;
    if (m_scenario.GetPilotLimit() < m_fleet.GetTotalShips() + 1)
        return TOO_MANY_PILOTS;
    if (!m_scenario.IsDesignAllowed(design))
        return NOT_ALLOWED;
    if (IsShortOfSupplies(design))
        return SHORT_OF_SUPPLIES;
    return AVAILABLE;
}

bool SIM_FleetLimits::IsShortOfSupplies(const SIM_ShipDesign* design) const
{
    if (!design || m_scenario.GetSupplyLimits().empty())
        return false;
    for (const SIM_ShipDesign::FittedModule& module : design->GetModules()) {
        const int limit = m_scenario.GetSupplyLimit(module.typeName);
        if (limit < 0)
            continue;
        const int need = design->CountModulesByTypeName(module.typeName);
        const int used = m_fleet.CountModuleType(module.typeName);
        if (limit - used < need)
            return true;
    }
    return false;
}

int SIM_FleetLimits::LargestSquadron(const SIM_ShipDesign* design) const
{
    if (!design || !design->GetHull() || !design->IsFighter())
        return 1;
    const float limit = static_cast<float>(CostLimit());
    for (int n = kMaxSquadron; n > 1; --n) {
        const bool costFits = m_fleet.GetTotalCost() + static_cast<float>(n) * design->GetCost() <= limit;
        const bool pilotsFit = m_fleet.GetTotalShips() + n <= m_scenario.GetPilotLimit();
        if (costFits && pilotsFit)
            return n;
    }
    return 1;
}

bool SIM_FleetLimits::IsTooExpensive() const
{
    return static_cast<float>(CostLimit()) < m_fleet.GetTotalCost();
}

bool SIM_FleetLimits::HasTooManyPilots() const
{
    return m_scenario.GetPilotLimit() < m_fleet.GetTotalShips();
}

bool SIM_FleetLimits::HasTooManySupplies() const
{
    return !m_scenario.GetSupplyLimits().empty() && m_fleet.ExceedsSupplyLimits(&m_scenario);
}

int SIM_FleetLimits::CheckFleet() const
{
    int code = AVAILABLE;
    if (IsTooExpensive())
        code = TOO_EXPENSIVE;
    if (HasTooManyPilots())
        code = TOO_MANY_PILOTS;
    if (HasTooManySupplies())
        code = SHORT_OF_SUPPLIES;
    return code;
}

const char* SIM_FleetLimits::FightTooltipKey(int code)
{
    switch (code) {
    case TOO_EXPENSIVE: return "GUI_DEPLOYMENT_FIGHT_TOOEXPENSIVE";
    case TOO_MANY_PILOTS: return "GUI_DEPLOYMENT_FIGHT_TOOMANYPILOTS";
    case SHORT_OF_SUPPLIES: return "GUI_DEPLOYMENT_FIGHT_TOOMANYSUPPLIES";
    default: return "GUI_DEPLOYMENT_FIGHT_TOOLTIP";
    }
}

std::string SIM_FleetLimits::Describe(int code) const
{
    switch (code) {
    case TOO_EXPENSIVE:
        return StrFormat("the fleet costs %d, over the limit of %d", static_cast<int>(m_fleet.GetTotalCost()),
                         CostLimit());
    case TOO_MANY_PILOTS:
        return StrFormat("the fleet needs %d pilots, over the limit of %d", m_fleet.GetTotalShips(),
                         m_scenario.GetPilotLimit());
    case SHORT_OF_SUPPLIES: return "the fleet carries more of some module than the scenario supplies";
    default: return "the fleet fits the scenario's limits";
    }
}
