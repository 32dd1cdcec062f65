#pragma once
#include <string>
#include <vector>

#include "engine/GHashTable.h"

struct SIM_CampaignModuleState;

// Cuts the hit points a module lost into a few described, priced damage
// items ("damage_desc.txt" in the campaign data: a list per module class plus
// "all", and the texts in [strings]), so repairs can be bought item by item.
class GUI_DamageDescGenerator {
public:
    static GUI_DamageDescGenerator& GetInstance();

    // Adds items until they stand for everything the module has lost.
    void Describe(SIM_CampaignModuleState& module, float integrity);
    std::string GetText(const std::string& key);
    void LoadCandidates();
    // Forgets the lists and texts (the data folder changed).
    void Reset();

private:
    struct CandidateList {
        std::string name;
        std::vector<std::string> keys;
    };
    GUI_DamageDescGenerator() = default;
    const CandidateList* FindCandidateList(const std::string& name) const;
    void AddCandidates(const std::string& listName, const char* className, const std::string& moduleClass);

    std::vector<CandidateList> m_lists;
    std::vector<std::string> m_pool;
    GHashTable m_texts;
    bool m_textsLoaded = false;
};
