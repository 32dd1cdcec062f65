#include "sim/SIM_ShipModuleType.h"

#include <algorithm>
#include <cstring>

#include "engine/GDebugLog.h"
#include "engine/GFileList.h"
#include "engine/GTokenizer.h"
#include "engine/StrFormat.h"
#include "engine/ModSupport.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_Unlockable.h"

namespace {

std::vector<SIM_ShipModuleType*>& TypeList()
{
    static std::vector<SIM_ShipModuleType*> list;
    return list;
}

struct StatEntry {
    const char* name;
    int index;
};

std::vector<StatEntry>& StatTable()
{
    static std::vector<StatEntry> table;
    return table;
}

const char* const kStatNames[] = {
    "cost", "weight", "hitpoints", "powerconsumed", "crew_required", "damage",
    "shield_penetration", "armour_penetration", "max_range", "tracking_speed",
    "fire_interval", "optimum_range", "min_range", "fuel", "speed", "missilespeed",
    "maxdamageabsorbable", "crewsupply", "ecm_strength", "shock_duration", "thrust",
    "shieldpoints", "resistance", "recharge_rate", "repair_rate", "maxrepairsupplies",
    "scanner_accuracy", "powerproduced", "beamweight", "beampower", "targetboost",
    "has_decoys",
};

std::string NextTrimmed(GTokenizer& tok)
{
    std::string field = tok.NextString();
    const size_t start = field.find_first_not_of(" \t");
    return start == std::string::npos ? std::string() : field.substr(start);
}

int CategoryFromText(const std::string& text)
{
    if (text == "WEAPONS")
        return SIM_ShipModuleType::WEAPONS;
    if (text == "DEFENSES")
        return SIM_ShipModuleType::DEFENSES;
    if (text == "ENGINES")
        return SIM_ShipModuleType::ENGINES;
    return SIM_ShipModuleType::OTHER;
}

int SizeFromText(const std::string& text)
{
    if (text == "CRUISER")
        return SIM_ShipModuleType::CRUISER;
    if (text == "FRIGATE")
        return SIM_ShipModuleType::FRIGATE;
    return SIM_ShipModuleType::FIGHTER;
}

} // namespace

SIM_ShipModuleType::SIM_ShipModuleType(const std::string& fileName)
    : m_unlockable(std::make_unique<SIM_Unlockable>())
{
    TypeList().push_back(this);
    Read(fileName);
}

SIM_ShipModuleType::~SIM_ShipModuleType()
{
    SIM_ShipDesign::UnbindModuleType(this);
    auto& list = TypeList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void SIM_ShipModuleType::Read(const std::string& fileName)
{
    m_fileName = fileName;
    m_config.Load("config", fileName.c_str());
    // Every module file has these: one without was cut or damaged, and its
    // missing values read as 0 or empty.
    bool told = false;
    for (const char* key : {"name", "classname", "slot_type", "size", "cost", "weight", "hitpoints"})
        if (!m_config.HasKey(key)) {
            LOG_ERROR(StrFormat("%s [config] %s: missing (cut or damaged), it and what follows read as 0 or empty",
                                fileName.c_str(), key));
            told = true;
            break;
        }
    // Cut past those, inside a line: its value reads as what is left of it.
    if (!told && m_config.IsCutOff())
        LOG_ERROR(fileName + ": cut off inside its last line, its last value read as it stands");

    m_name = m_config.GetString("name");
    m_guiName = m_config.GetString("guiname");
    m_className = m_config.GetString("classname");
    m_icon = m_config.GetString("icon");
    m_description = m_config.GetString("description");
    m_restricted = m_config.GetString("restricted");

    cost = m_config.GetFloat("cost", 0.0f);
    m_weight = m_config.GetFloat("weight", 0.0f);
    m_hitpoints = m_config.GetFloat("hitpoints", 0.0f);
    m_crewRequired = m_config.GetInt("crew_required");
    m_powerConsumed = m_config.GetFloat("powerconsumed", 0.0f);
    m_stackEffectiveness = m_config.GetFloat("stack_effectiveness", 1.0f);
    if (m_config.GetInt("hidden") != 0)
        m_visible = 0;
    m_unlockable->SetLockable(m_config.GetInt("lockable") != 0);
    m_unlockable->SetUnlockCost(m_config.GetInt("unlockcost"));

    m_category = CategoryFromText(m_config.GetString("category"));

    const std::string slotType = m_config.GetString("slot_type");
    if (slotType == "STANDARD")
        m_slotType = STANDARD;
    else if (slotType == "TURRET")
        m_slotType = TURRET;
    else
        LOG_ERROR(StrFormat("%s [config] slot_type = %s: unknown slot type for module", fileName.c_str(),
                            slotType.substr(0, 40).c_str()));

    m_size = SizeFromText(m_config.GetString("size"));
    if (m_config.HasKey("uisortpos"))
        m_uiSortPos = m_config.GetInt("uisortpos");

    ReadDataItems(fileName);

    m_unlockable->Init(m_name, SIM_Unlockable::MODULE_TYPE, this);
    m_unlockable->RefreshLocked();
}

void SIM_ShipModuleType::ReadDataItems(const std::string& fileName)
{
    GIniFile items;
    items.Load("dataitems", fileName.c_str());
    for (size_t i = 0; i < items.GetEntryCount(); ++i) {
        GTokenizer tok(items.GetValueAt(i), ',');
        DataItem item;
        item.statName = NextTrimmed(tok);
        if (item.statName.empty())
            continue;
        const std::string kind = NextTrimmed(tok);
        if (kind == "INTEGER") {
            item.kind = INTEGER;
        } else if (kind == "DECIMAL") {
            item.kind = DECIMAL;
        } else if (kind == "BOOL") {
            item.kind = BOOL;
        } else if (kind == "DECIMAL_MULT") {
            item.kind = DECIMAL_MULT;
            item.multiplier = tok.NextFloat();
        } else if (kind == "STRING") {
            item.kind = STRING;
        } else {
            // Shown as a plain number rather than dropped, so the stat stays visible.
            LOG_ERROR("Unrecognised data type for module data item");
            item.kind = DECIMAL;
        }
        m_dataItems.push_back(item);
    }
    std::stable_sort(m_dataItems.begin(), m_dataItems.end(), [](const DataItem& a, const DataItem& b) {
        return StatIndex(a.statName) < StatIndex(b.statName);
    });
}

void SIM_ShipModuleType::FillStatTable()
{
    auto& table = StatTable();
    table.clear();
    int index = 0;
    for (const char* name : kStatNames)
        table.push_back({name, index++});
}

int SIM_ShipModuleType::StatIndex(const std::string& statName)
{
    if (StatTable().empty())
        FillStatTable();
    for (const StatEntry& entry : StatTable()) {
        if (statName == entry.name)
            return entry.index;
    }
    return kUnknownStat;
}

void SIM_ShipModuleType::LoadAll()
{
    FreeAll();
    FillStatTable();

    GFileList files;
    files.FindFiles("data/modules/*.txt");
    ModSupport::FindFiles(&files, "data/modules/*.txt");
    for (const std::string& file : files.names)
        new SIM_ShipModuleType(file); // owned by the static list

    SIM_ShipDesign::RebindModuleTypes();
}

void SIM_ShipModuleType::FreeAll()
{
    auto& list = TypeList();
    while (!list.empty())
        delete list.front(); // the destructor unlinks it
}

SIM_ShipModuleType* SIM_ShipModuleType::Find(const std::string& name, bool report)
{
    if (TypeList().empty())
        LoadAll();
    for (SIM_ShipModuleType* type : TypeList()) {
        if (type->m_name == name)
            return type;
    }
    if (report)
        LOG_ERROR("Module Type not found ->" + name);
    return nullptr;
}

const std::vector<SIM_ShipModuleType*>& SIM_ShipModuleType::GetList()
{
    return TypeList();
}

std::string SIM_ShipModuleType::GetIconForHull(const SIM_ShipHull* hull) const
{
    QLM_ASSERT(hull != nullptr);
    if (m_icon != "turret" || hull == nullptr)
        return m_icon;
    SIM_Race* race = SIM_Race::Find(hull->GetRaceName());
    if (race == nullptr)
        return m_icon;
    return race->GetTurretMapping(m_config.GetString("turret_sprite"));
}

std::string SIM_ShipModuleType::GetIcon() const
{
    if (m_icon != "turret")
        return m_icon;
    SIM_Race* race = SIM_Race::Find("federation");
    if (race == nullptr)
        return m_icon;
    return race->GetTurretMapping(m_config.GetString("turret_sprite"));
}
