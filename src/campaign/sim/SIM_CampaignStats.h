#pragma once
#include <string>
#include <vector>

// The named running totals of one campaign. An entry is either a counter
// (value -1) or a float statistic (count -1); names match case-sensitively.
class SIM_CampaignStats {
public:
    struct Entry {
        float value = -1.0f;
        int count = -1;
        std::string name;
    };

    virtual ~SIM_CampaignStats() = default;

    Entry* Find(const std::string& name);
    void AddToStat(const std::string& name, int amount);
    void AddToFloatStat(const std::string& name, float amount);
    void Clear() { m_entries.clear(); }
    const std::vector<Entry>& GetEntries() const { return m_entries; }

private:
    std::vector<Entry> m_entries;
};
