#include "sim/SIM_DeployedFleet.h"

#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GIniFile.h"
#include "engine/GTokenizer.h"
#include "engine/SaturatingMath.h"
#include "engine/StrFormat.h"
#include "sim/SIM_Anomaly.h"
#include "sim/SIM_ChallengeFile.h"
#include "sim/SIM_ContentFiles.h"
#include "sim/SIM_Options.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_ShipNameGenerator.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace {
bool ScenarioForbids(const SIM_Scenario* scenario, const SIM_ShipDesign* design)
{
    if (!scenario)
        return false;
    const int hullClass = design->GetHull() ? design->GetHull()->GetClass() : -1;
    if (!scenario->IsHullClassAllowed(hullClass))
        return true;
    return scenario->GetAnomalyFlag(SIM_Anomaly::ENGINES_REQUIRED) &&
           design->CountModulesOfClass("SIM_EngineModule") == 0;
}
} // namespace

bool SIM_DeployedFleet::Load(const std::string& filePath, const SIM_Scenario* scenario, bool ownRace)
{
    std::string race;
    if (ownRace)
        race = SIM_Options::GetInstance().GetRaceName();
    return LoadForRace(filePath, scenario, race);
}

bool SIM_DeployedFleet::LoadForRace(const std::string& filePath, const SIM_Scenario* scenario,
                                    const std::string& ownRace)
{
    Clear();
    // Fresh lists, so only the names this file uses are taken out of them.
    SIM_ShipNameGenerator::GetInstance().LoadAll();
    // Read and split once: a fleet of hundreds of ships must not read the
    // file once per ship. A missing file is no fleet; one that is there but
    // cannot be read (a folder in its place, too long) is told by the reader
    // and is no fleet either, never an empty one.
    GIniFile::SectionTexts file;
    if (!GIniFile::SplitSections(filePath.c_str(), file))
        return false;
    // Each kind of bad ship is told once for the file, with the count.
    GLogFileTally tally(filePath);
    for (const std::string& section : file.names) {
        GIniFile ini;
        ini.LoadFromSections(section.c_str(), file);
        if (section == "config") {
            m_fleetName = ini.GetString("fleetname");
            if (m_fleetName.empty())
                LOG_ERROR("Deployed fleet has an empty fleet name: " + filePath);
            continue;
        }
        LoadShipSection(ini, scenario, ownRace);
    }
    // Every line the game writes ends with its line end: without the last
    // one, the last ship's last value (an angle, an order) may be short.
    if (file.cutOff)
        LOG_ERROR(filePath + ": cut off inside its last line");
    return true;
}

bool SIM_DeployedFleet::LoadShipSection(GIniFile& ini, const SIM_Scenario* scenario, const std::string& ownRace)
{
    const std::string designName = ini.GetString("design");
    // A record always has these: one without them (or naming no design) was
    // cut or damaged, and is told with its file.
    for (const char* key : {"design", "pos", "quantity"})
        if (!ini.HasKey(key)) {
            LOG_ERROR(StrFormat("%s [%s] %s: missing (cut or damaged)%s", ini.GetFileName().c_str(),
                                ini.GetSection().c_str(), key, key[0] == 'd' ? ", the ship left out" : ""));
            break;
        }
    const SIM_ShipDesign* design = SIM_ShipDesign::Find(designName, false);
    if (!design && ini.HasKey("design"))
        LOG_ERROR(StrFormat("%s [%s] design = %s: no such design, the ship left out", ini.GetFileName().c_str(),
                            ini.GetSection().c_str(), designName.substr(0, 40).c_str()));
    if (!design || !design->GetHull())
        return false;
    if (!ownRace.empty() && design->GetHull()->GetRaceName() != ownRace)
        return false;
    if (ScenarioForbids(scenario, design)) {
        LOG_DEBUG("Ship silently deleted due to scenario restrictions");
        return false;
    }

    auto ship = std::make_shared<SIM_DeployedShip>();
    ship->shipId = ReadBoundedInt(ini, "shipid");
    ship->name = ini.GetString("name");
    ship->design = designName;
    SIM_ShipNameGenerator::GetInstance().RemoveNameFromAll(ship->name);
    ship->angle = ini.GetFloat("angle", 0.0f);
    GTokenizer pos(ini.GetString("pos"), ',');
    pos.source = ini.GetFileName() + " [" + ini.GetSection() + "] pos";
    ship->x = pos.NextFloat();
    ship->y = pos.NextFloat();
    // No map is larger than a challenge can carry; a ship placed beyond it
    // would only overflow the sums of positions.
    const float limit = SIM_ChallengeFile::kMaxMapSize;
    if (!(std::fabs(ship->x) <= limit && std::fabs(ship->y) <= limit)) {
        LOG_ERROR(StrFormat("%s: %s out of range -%g..%g, moved within", pos.source.c_str(), ini.GetString("pos"),
                            limit, limit));
        ship->x = std::clamp(ship->x, -limit, limit);
        ship->y = std::clamp(ship->y, -limit, limit);
    }
    ship->quantity = ReadBoundedInt(ini, "quantity");
    ship->orders.Load(ini);
    BoundQuantity(*ship, *design, ini.GetFileName() + " [" + ini.GetSection() + "]");
    return AddShip(std::move(ship));
}

int SIM_DeployedFleet::MaxQuantity(const SIM_ShipDesign& design)
{
    const bool fighter = design.GetHull() && design.GetHull()->GetClass() == SIM_ShipHull::FIGHTER;
    return fighter ? SIM_DeployedShip::kMaxQuantity : 1;
}

bool SIM_DeployedFleet::BoundQuantity(SIM_DeployedShip& ship, const SIM_ShipDesign& design, const std::string& where)
{
    // A count below one would lower the fleet's cost and module totals; a
    // count in the millions would build millions of ships.
    const int bounded = std::clamp(ship.quantity, 1, MaxQuantity(design));
    if (bounded == ship.quantity)
        return false;
    LOG_ERROR(StrFormat("%s: quantity %d of %s is outside 1..%d, %d used", where.c_str(), ship.quantity,
                        design.GetName().c_str(), MaxQuantity(design), bounded));
    ship.quantity = bounded;
    return true;
}

bool SIM_DeployedFleet::AddShip(ShipPtr ship)
{
    if (!ship)
        return false;
    const SIM_ShipDesign* design = SIM_ShipDesign::Find(ship->design);
    if (!design)
        return false;
    BoundQuantity(*ship, *design, "deployed ship " + ship->name);
    m_totalShips = SaturatingAdd(m_totalShips, ship->quantity);
    m_totalCost += design->GetCost() * static_cast<float>(ship->quantity);
    AddModuleCounts(*ship);
    m_ships.push_back(std::move(ship));
    return true;
}

bool SIM_DeployedFleet::RemoveShip(const SIM_DeployedShip* ship)
{
    auto it = std::find_if(m_ships.begin(), m_ships.end(), [&](const ShipPtr& s) { return s.get() == ship; });
    if (it == m_ships.end()) {
        LOG_ERROR("Attempt to remove non-existant ship");
        return false;
    }
    ShipPtr keep = *it; // the caller may still hold the record
    m_ships.erase(it);
    if (const SIM_ShipDesign* design = SIM_ShipDesign::Find(keep->design))
        m_totalCost -= design->GetCost() * static_cast<float>(keep->quantity);
    m_totalShips = SaturatingAdd(m_totalShips, -keep->quantity);
    RemoveModuleCounts(*keep);
    return true;
}

int SIM_DeployedFleet::RemoveEmptyCampaignShips(const CampaignQuantity& quantityOf)
{
    QLM_ASSERT(quantityOf != nullptr);
    if (!quantityOf)
        return 0;
    std::vector<const SIM_DeployedShip*> empty;
    for (const ShipPtr& s : m_ships) {
        const int* quantity = quantityOf(s->shipId);
        QLM_ASSERT(quantity != nullptr);
        if (quantity && *quantity == 0)
            empty.push_back(s.get());
    }
    for (const SIM_DeployedShip* ship : empty)
        RemoveShip(ship);
    return static_cast<int>(empty.size());
}

SIM_DeployedShip* SIM_DeployedFleet::FindShip(int shipId) const
{
    for (const ShipPtr& s : m_ships)
        if (s->shipId == shipId)
            return s.get();
    return nullptr;
}

int SIM_DeployedFleet::GetHighestShipId() const
{
    int highest = 0;
    for (const ShipPtr& s : m_ships)
        highest = std::max(highest, s->shipId);
    return highest;
}

void SIM_DeployedFleet::CopyFrom(const SIM_DeployedFleet& other)
{
    if (this == &other)
        return;
    Clear();
    m_ships = other.m_ships;
    m_totalCost = other.m_totalCost;
    m_totalShips = other.m_totalShips;
}

void SIM_DeployedFleet::Clear()
{
    m_ships.clear();
    m_totalCost = 0.0f;
    m_totalShips = 0;
    m_moduleCounts.clear();
}

void SIM_DeployedFleet::RecalculateTotals()
{
    m_moduleCounts.clear();
    m_totalCost = 0.0f;
    m_totalShips = 0;
    for (const ShipPtr& s : m_ships) {
        const SIM_ShipDesign* design = SIM_ShipDesign::Find(s->design);
        if (!design)
            continue;
        m_totalCost += design->GetCost() * static_cast<float>(s->quantity);
        m_totalShips = SaturatingAdd(m_totalShips, s->quantity);
        AddModuleCounts(*s);
    }
}

void SIM_DeployedFleet::ChangeModuleCounts(const SIM_DeployedShip& ship, int sign)
{
    const SIM_ShipDesign* design = SIM_ShipDesign::Find(ship.design);
    if (!design)
        return;
    for (const SIM_ShipDesign::FittedModule& m : design->GetModules())
        AddModuleCount(m.typeName, sign * std::clamp(ship.quantity, 0, SIM_DeployedShip::kMaxQuantity));
}

void SIM_DeployedFleet::AddModuleCounts(const SIM_DeployedShip& ship)
{
    ChangeModuleCounts(ship, 1);
}

void SIM_DeployedFleet::RemoveModuleCounts(const SIM_DeployedShip& ship)
{
    ChangeModuleCounts(ship, -1);
}

void SIM_DeployedFleet::AddModuleCount(const std::string& moduleType, int delta)
{
    for (ModuleCount& c : m_moduleCounts)
        if (c.moduleType == moduleType) {
            c.count = SaturatingAdd(c.count, delta);
            return;
        }
    m_moduleCounts.push_back({moduleType, delta});
}

int SIM_DeployedFleet::CountModuleType(const std::string& moduleType) const
{
    for (const ModuleCount& c : m_moduleCounts)
        if (c.moduleType == moduleType)
            return c.count;
    return 0;
}

bool SIM_DeployedFleet::ExceedsSupplyLimits(const SIM_Scenario* scenario) const
{
    if (!scenario)
        return false;
    for (const ModuleCount& c : m_moduleCounts) {
        int limit = scenario->GetSupplyLimit(c.moduleType);
        if (limit != -1 && limit < c.count)
            return true;
    }
    return false;
}

bool SIM_DeployedFleet::HasDisabledModules(const SIM_Scenario* scenario) const
{
    if (!scenario)
        return false;
    std::set<std::string> seen;
    for (const ShipPtr& s : m_ships) {
        if (!seen.insert(s->design).second)
            continue;
        if (scenario->HasDisabledModule(SIM_ShipDesign::Find(s->design)))
            return true;
    }
    return false;
}
