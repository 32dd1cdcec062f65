#include "campaign/sim/GUI_DamageDescGenerator.h"

#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/GDebugLog.h"
#include "engine/GIniFile.h"
#include "engine/RandomTables.h"
#include "sim/SIM_ShipModuleType.h"

#include <algorithm>

GUI_DamageDescGenerator& GUI_DamageDescGenerator::GetInstance()
{
    static GUI_DamageDescGenerator instance;
    return instance;
}

void GUI_DamageDescGenerator::Reset()
{
    m_lists.clear();
    m_texts.Clear();
    m_textsLoaded = false;
}

void GUI_DamageDescGenerator::LoadCandidates()
{
    m_lists.clear();
    const std::string file = CampaignDataPath("damage_desc.txt");
    std::vector<std::string> sections;
    GIniFile::ListSections(sections, file.c_str());
    for (const std::string& s : sections) {
        if (s == "strings")
            continue;
        GIniFile section;
        section.Load(s.c_str(), file.c_str());
        CandidateList list{s, {}};
        for (size_t i = 0; i < section.GetEntryCount(); ++i)
            list.keys.push_back(section.GetValueAt(i));
        m_lists.push_back(std::move(list));
    }
    if (m_lists.empty())
        LOG_ERROR("No damage descriptions in " + file);
}

const GUI_DamageDescGenerator::CandidateList* GUI_DamageDescGenerator::FindCandidateList(const std::string& name) const
{
    for (const auto& l : m_lists)
        if (l.name == name)
            return &l;
    LOG_ERROR("Failed to find damage desc candidate list");
    return nullptr;
}

void GUI_DamageDescGenerator::AddCandidates(const std::string& listName, const char* className,
                                            const std::string& moduleClass)
{
    if (moduleClass != className)
        return;
    if (const CandidateList* l = FindCandidateList(listName))
        m_pool.insert(m_pool.end(), l->keys.begin(), l->keys.end());
}

void GUI_DamageDescGenerator::Describe(SIM_CampaignModuleState& module, float integrity)
{
    const SIM_ShipModuleType* type = SIM_ShipModuleType::Find(module.moduleTypeName, false);
    if (!type) {
        LOG_ERROR("Damage to an unknown module type: " + module.moduleTypeName);
        return;
    }
    const float full = type->GetHitpoints();
    float remaining = full * (1.0f - integrity);
    for (const auto& d : module.damage)
        remaining -= d.damage;
    if (!(remaining > 0.0f))
        return;
    if (m_lists.empty())
        LoadCandidates();
    m_pool.clear();
    if (const CandidateList* all = FindCandidateList("all"))
        m_pool = all->keys;
    const std::string& cls = type->GetClassName();
    AddCandidates("engines", "SIM_EngineModule", cls);
    AddCandidates("crew", "SIM_CrewModule", cls);
    AddCandidates("armor", "SIM_ArmourModule", cls);
    AddCandidates("shield", "SIM_ShieldModule", cls);
    AddCandidates("power", "SIM_PowerModule", cls);
    AddCandidates("tractor", "SIM_TractorModule", cls);
    AddCandidates("laser", "SIM_BeamWeaponModule", cls);

    const float multiplier = CampaignOption("repair_cost_multiplier");
    const float price = type->GetConfigFloat("cost");
    while (remaining > 0.0f) {
        const size_t n = m_pool.size();
        size_t index = static_cast<size_t>(RandomRange(0.0f, static_cast<float>(n)));
        if (index >= n && n > 0)
            index = n - 1;
        const std::string key = n > 0 ? m_pool[index] : std::string();
        float amount = remaining;
        if (n >= 2) {
            amount = static_cast<float>(static_cast<int>(full * RandomRangeAlt(0.25f, 0.5f)));
            amount = std::max(amount, 1.0f);
            amount = std::min(amount, remaining);
        }
        // A module without hit points has nothing to scale its price by.
        const float scaled = full > 0.0f ? amount / full * price * multiplier : 0.0f;
        const int cost = static_cast<int>(std::max(10.0f, scaled));
        module.damage.push_back({key, amount, cost});
        m_pool.erase(std::remove(m_pool.begin(), m_pool.end(), key), m_pool.end());
        remaining -= amount;
    }
}

std::string GUI_DamageDescGenerator::GetText(const std::string& key)
{
    if (!m_textsLoaded) {
        m_textsLoaded = true;
        m_texts.LoadSection(CampaignDataPath("damage_desc.txt"), false);
    }
    return m_texts.Lookup(key.c_str());
}
