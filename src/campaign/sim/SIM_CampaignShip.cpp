#include "campaign/sim/SIM_CampaignShip.h"

#include "campaign/sim/GUI_DamageDescGenerator.h"
#include "campaign/sim/SIM_CampaignBattleOutcome.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "campaign/sim/SIM_CampaignShipsLog.h"
#include "campaign/sim/SIM_CampaignShipyard.h"
#include "engine/APP_UserFolders.h"
#include "engine/GDebugLog.h"
#include "engine/GFileList.h"
#include "engine/GFileHelpers.h"
#include "engine/GIniFile.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_ShipNameGenerator.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {
std::vector<SIM_CampaignShip*>& Registry()
{
    static std::vector<SIM_CampaignShip*> list;
    return list;
}

// A module record count no real hull comes near; a larger one is a damaged file.
constexpr int kMaxModules = 512;

float Clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}
} // namespace

bool SIM_CampaignModuleState::IsArmour() const
{
    const SIM_ShipModuleType* type = SIM_ShipModuleType::Find(moduleTypeName, false);
    return type && type->GetClassName() == "SIM_ArmourModule";
}

float SIM_CampaignModuleState::GetHitPoints() const
{
    const SIM_ShipModuleType* type = SIM_ShipModuleType::Find(moduleTypeName, false);
    if (!type)
        return 0.0f;
    if (type->GetClassName() == "SIM_ArmourModule")
        return type->GetConfigFloat("maxdamageabsorbable");
    return type->GetHitpoints();
}

void SIM_CampaignModuleState::RecalculateIntegrity()
{
    float total = 0.0f;
    for (const auto& d : damage)
        total += d.damage;
    const float hp = GetHitPoints();
    // A module without hit points is whole until something hits it.
    if (hp <= 0.0f) {
        integrity = total > 0.0f ? 0.0f : 1.0f;
        return;
    }
    integrity = Clamp01((hp - total) / hp);
}

SIM_CampaignShip::SIM_CampaignShip() : log(std::make_unique<SIM_CampaignShipsLog>(this))
{
    Registry().push_back(this);
}

SIM_CampaignShip::~SIM_CampaignShip()
{
    SetDesign(nullptr);
    auto& list = Registry();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

const std::vector<SIM_CampaignShip*>& SIM_CampaignShip::GetAll()
{
    return Registry();
}

int SIM_CampaignShip::GetNextFreeID()
{
    // Above the ships of the save that are not in play, whose logs stay.
    const SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    int highest = progress.GetReservedShipID();
    for (const SIM_CampaignShip* s : Registry())
        if (SIM_CampaignProgress::IdInRange(s->id))
            highest = std::max(highest, s->id);
    const std::string folder = progress.GetSaveFolder();
    return SIM_CampaignProgress::NextId(highest, [&](int id) {
        return FindByID(id) || (!folder.empty() && FileExists(folder + StrFormat("/logs/%d_log.ini", id)));
    });
}

SIM_CampaignShip* SIM_CampaignShip::FindByID(int shipId)
{
    for (SIM_CampaignShip* s : Registry())
        if (s->id == shipId)
            return s;
    return nullptr;
}

void SIM_CampaignShip::SetDesign(SIM_ShipDesign* newDesign)
{
    if (design)
        design->RemoveUser();
    design = newDesign;
    if (design) {
        design->AddUser();
        designName = design->GetName();
    }
}

void SIM_CampaignShip::ChooseName()
{
    if (!design || !design->GetHull())
        return;
    name = SIM_ShipNameGenerator::GetInstance().GenerateName(design->GetHull());
}

void SIM_CampaignShip::InitModuleStates()
{
    if (!design)
        return;
    for (const auto& fitted : design->GetModules()) {
        auto m = std::make_unique<SIM_CampaignModuleState>();
        m->moduleTypeName = fitted.moduleType ? fitted.moduleType->GetName() : fitted.typeName;
        m->slot = fitted.slotIndex;
        m->ship = this;
        modules.push_back(std::move(m));
    }
    integrity = 1.0f;
}

bool SIM_CampaignShip::MatchesDesign() const
{
    if (!design || design->GetModules().size() != modules.size())
        return false;
    for (size_t i = 0; i < modules.size(); ++i) {
        const auto& fitted = design->GetModules()[i];
        const std::string& type = fitted.moduleType ? fitted.moduleType->GetName() : fitted.typeName;
        if (modules[i]->slot != fitted.slotIndex || modules[i]->moduleTypeName != type)
            return false;
    }
    return true;
}

void SIM_CampaignShip::RecalculateIntegrity()
{
    float hpSum = 0.0f, hpWhole = 0.0f, armourSum = 0.0f, armourWhole = 0.0f;
    for (const auto& m : modules) {
        m->RecalculateIntegrity();
        const float hp = m->GetHitPoints();
        hpSum += hp;
        hpWhole += hp * m->integrity;
        if (m->IsArmour()) {
            armourSum += hp;
            armourWhole += hp * m->integrity;
        }
    }
    integrity = hpSum > 0.0f ? Clamp01(hpWhole / hpSum) : 0.0f;
    armourIntegrity = armourSum > 0.0f ? Clamp01(armourWhole / armourSum) : 0.0f;
}

SIM_CampaignModuleState* SIM_CampaignShip::FindModuleBySlot(int slot)
{
    for (auto& m : modules)
        if (m->slot == slot)
            return m.get();
    return nullptr;
}

void SIM_CampaignShip::RecordBattleDamage(const SIM_BattleShipResult& result, const SIM_CampaignEncounter* where)
{
    float shield = 0.0f, armour = 0.0f, hull = 0.0f;
    for (const SIM_BattleModuleResult& m : result.modules) {
        shield += m.shieldDamage;
        armour += m.armourDamage;
        hull += m.hullDamage;
        if (m.slot < 0)
            continue;
        SIM_CampaignModuleState* state = FindModuleBySlot(m.slot);
        if (!state) {
            LOG_ERROR(StrFormat("Campaign ship %d has no module in slot %d", id, m.slot));
            continue;
        }
        GUI_DamageDescGenerator::GetInstance().Describe(*state, m.integrity);
        state->RecalculateIntegrity();
    }
    log->AddBattleEntry(where, hull, shield, armour, result.hullIntegrity);
    RecalculateIntegrity();
}

int SIM_CampaignShip::GetModuleRepairCost(const SIM_CampaignModuleState& module) const
{
    int total = 0;
    for (const auto& d : module.damage)
        total += d.repairCost;
    return total;
}

bool SIM_CampaignShip::RepairDamageEntry(SIM_CampaignModuleState& module, size_t entryIndex)
{
    if (entryIndex >= module.damage.size())
        return false;
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    const int cost = module.damage[entryIndex].repairCost;
    if (progress.cash < cost)
        return false;
    progress.cash -= cost;
    SIM_CampaignScreenHooks::Get().UpdateCashCounter();
    module.damage.erase(module.damage.begin() + static_cast<long>(entryIndex));
    RecalculateIntegrity();
    SIM_CampaignScreenHooks::Get().RecordRepair(cost);
    return true;
}

bool SIM_CampaignShip::RepairModuleFully(SIM_CampaignModuleState& module)
{
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    const int cost = GetModuleRepairCost(module);
    // Callers check first; a repair that would leave debt is refused here too.
    if (progress.cash < cost)
        return false;
    progress.cash -= cost;
    module.damage.clear();
    SIM_CampaignScreenHooks::Get().UpdateCashCounter();
    SIM_CampaignScreenHooks::Get().RecordRepair(cost);
    RecalculateIntegrity();
    return true;
}

SIM_CampaignFleet* SIM_CampaignShip::DetachToNewFleet()
{
    SIM_CampaignFleet* old = fleet;
    if (!old || !old->location)
        return nullptr;
    auto* fresh = new SIM_CampaignFleet();
    old->RemoveShip(this);
    fresh->AddShip(this);
    fresh->SetLocation(old->location);
    SIM_CampaignScreenHooks::Get().RefreshEncounterView(old->location);
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    progress.AddFleet(fresh);
    fresh->ChooseRandomName();
    // Split off an attacking fleet, it attacks too: it stands on the planet.
    SIM_CampaignBattleManager::GetInstance().JoinBattlesOf(old, fresh);
    SIM_CampaignScreenHooks::Get().ShowFleetDetails(fresh);
    SIM_CampaignScreenHooks::Get().PlayInterfaceSound();
    progress.Save();
    return fresh;
}

std::string SIM_CampaignShip::SaveText(int index) const
{
    std::string out = StrFormat("\n[ship%d]\n", index);
    out += StrFormat("design = %s\n", designName.c_str());
    // The hull it was saved on: a design saved over on another hull with the
    // same modules is told at the next load.
    if (design && design->GetHull())
        out += StrFormat("hull = %s\n", design->GetHull()->GetName().c_str());
    out += "name = " + QuotedValue(name) + "\n";
    out += StrFormat("quantity = %d\n", quantity);
    out += StrFormat("num_mods = %d\n", static_cast<int>(modules.size()));
    out += StrFormat("integrity = %.2f\n", integrity);
    out += StrFormat("id = %d\n", id);
    out += StrFormat("moved = %d\n", moved ? 1 : 0);
    for (size_t j = 0; j < modules.size(); ++j) {
        const SIM_CampaignModuleState& m = *modules[j];
        out += StrFormat("%d = %d,%s\n", static_cast<int>(j), m.slot, m.moduleTypeName.c_str());
        if (m.damage.empty())
            continue;
        out += StrFormat("%d_damage = ", static_cast<int>(j));
        for (const auto& d : m.damage) {
            std::string text = d.description;
            for (char& c : text)
                if (c == '@' || c == '\n' || c == '\r')
                    c = ' ';
            out += StrFormat("%s@%.2f@%d@", text.c_str(), d.damage, d.repairCost);
        }
        out += "\n";
    }
    return out;
}

namespace {
// Find without a line; on a miss the player's ships and captured-designs
// folders are read again for files not read yet (LoadFile knows those it read).
SIM_ShipDesign* FindOrReadPlayerDesign(const std::string& name)
{
    if (SIM_ShipDesign* found = SIM_ShipDesign::Find(name, false))
        return found;
    APP_UserFolders& folders = APP_UserFolders::GetInstance();
    if (!folders.IsCreated())
        return nullptr;
    for (const auto& [folder, player] : {std::pair{APP_UserFolders::SHIPS, true},
                                         std::pair{APP_UserFolders::CAMPAIGN_CAPTURED_DESIGNS, false}}) {
        GFileList files;
        files.FindFiles(StrFormat("%s/*.txt", folders.Get(folder).c_str()));
        for (const std::string& file : files.names)
            SIM_ShipDesign::LoadFile(file, player);
    }
    return SIM_ShipDesign::Find(name, false);
}
} // namespace

bool SIM_CampaignShip::LoadFromSection(const GIniFile& section)
{
    name = section.GetString("name");
    id = SIM_CampaignProgress::ReadId(section, "id");
    designName = section.GetString("design");
    // A design file the player put back since the start is read now.
    SIM_ShipDesign* found = FindOrReadPlayerDesign(designName);
    // Its fleet says so, once, and waits on disk as it was found.
    if (!found)
        return false;
    quantity = section.GetIntInRange("quantity", 1, SIM_CampaignShipyard::QuantityFor(found, SIM_CampaignShipyard::kMaxSquadron));
    SetDesign(found);
    integrity = section.GetFloatInRange("integrity", 0.0f, 1.0f, 0.0f);
    // The records themselves hold the modules and their damage: a count that
    // says fewer (0, -1, cut by hand) would drop them at the next save.
    int records = 0;
    while (records < kMaxModules && section.HasKey(StrFormat("%d", records).c_str()))
        ++records;
    const std::string written = section.GetString("num_mods");
    int count = section.GetIntQuietly("num_mods");
    const bool whole = written == StrFormat("%d", count) || (written.empty() && records == 0);
    if (!whole || count < 0 || count > kMaxModules || count < records) {
        count = records;
        LOG_ERROR(StrFormat("%s [%s] num_mods = %s: %d module records follow (at most %d are read), all kept",
                            section.GetFileName().c_str(), section.GetSection().c_str(),
                            written.substr(0, 40).c_str(), records, kMaxModules));
    }
    modules.clear();
    for (int j = 0; j < count; ++j) {
        auto m = std::make_unique<SIM_CampaignModuleState>();
        m->ship = this;
        const std::string record = section.GetString(StrFormat("%d", j).c_str());
        const size_t comma = record.find(',');
        m->slot = atoi(record.c_str());
        if (comma != std::string::npos)
            m->moduleTypeName = record.substr(comma + 1);
        const std::string damage = section.GetString(StrFormat("%d_damage", j).c_str());
        size_t pos = 0;
        while (pos < damage.size()) {
            size_t a = damage.find('@', pos);
            if (a == std::string::npos)
                break;
            size_t b = damage.find('@', a + 1);
            if (b == std::string::npos)
                break;
            size_t c = damage.find('@', b + 1);
            if (c == std::string::npos)
                c = damage.size();
            SIM_CampaignDamage d;
            d.description = damage.substr(pos, a - pos);
            d.damage = ParseLeadingFloat(damage.substr(a + 1, b - a - 1).c_str());
            // A cost below 0 would pay the player for a repair.
            d.repairCost = std::clamp(ParseLeadingInt(damage.substr(b + 1, c - b - 1).c_str()), 0,
                                      SIM_CampaignProgress::kMaxCash);
            m->damage.push_back(std::move(d));
            pos = c + 1;
        }
        m->RecalculateIntegrity();
        modules.push_back(std::move(m));
    }
    // A design saved over with other modules (or another hull) under the same
    // name: the records are kept as saved, and the player told.
    if (!modules.empty() && !MatchesDesign())
        LOG_ERROR(StrFormat("%s [%s] design = %s: its %zu module records do not match that design's %zu modules "
                            "(changed since), kept as saved",
                            section.GetFileName().c_str(), section.GetSection().c_str(), designName.c_str(),
                            modules.size(), design->GetModules().size()));
    const std::string hull = section.GetString("hull");
    if (!hull.empty() && design->GetHull() && hull != design->GetHull()->GetName())
        LOG_ERROR(StrFormat("%s [%s] hull = %s: its design %s is on hull %s now (changed since), the ship takes it",
                            section.GetFileName().c_str(), section.GetSection().c_str(), hull.substr(0, 255).c_str(),
                            designName.c_str(), design->GetHull()->GetName().c_str()));
    moved = section.GetInt("moved") != 0;
    log->Load();
    return true;
}
