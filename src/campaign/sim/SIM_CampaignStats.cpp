#include "campaign/sim/SIM_CampaignStats.h"

#include "engine/SaturatingMath.h"

SIM_CampaignStats::Entry* SIM_CampaignStats::Find(const std::string& name)
{
    for (Entry& e : m_entries)
        if (e.name == name)
            return &e;
    return nullptr;
}

void SIM_CampaignStats::AddToStat(const std::string& name, int amount)
{
    if (Entry* e = Find(name)) {
        e->count = SaturatingAdd(e->count, amount);
        return;
    }
    m_entries.push_back({-1.0f, amount, name});
}

void SIM_CampaignStats::AddToFloatStat(const std::string& name, float amount)
{
    if (Entry* e = Find(name)) {
        e->value += amount;
        return;
    }
    m_entries.push_back({amount, -1, name});
}
