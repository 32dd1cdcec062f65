#include "sim/SIM_ShipNameGenerator.h"

#include "engine/GDebugLog.h"
#include "engine/GIniFile.h"
#include "engine/GRandom.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ContentFiles.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_ShipHull.h"

#include <algorithm>

SIM_ShipNameGenerator& SIM_ShipNameGenerator::GetInstance()
{
    static SIM_ShipNameGenerator instance;
    return instance;
}

std::string SIM_ShipNameGenerator::ListNameFromFile(const std::string& fileName)
{
    size_t slash = fileName.find_last_of("/\\");
    std::string base = (slash == std::string::npos) ? fileName : fileName.substr(slash + 1);
    size_t dot = base.find('.');
    return dot == std::string::npos ? base : base.substr(0, dot);
}

void SIM_ShipNameGenerator::LoadAll()
{
    m_lists.clear();
    for (const std::string& file : FindContentFiles("data/shipnames/*.txt"))
        LoadFile(file);
}

void SIM_ShipNameGenerator::LoadFile(const std::string& fileName)
{
    GIniFile ini;
    if (!ini.Load("names", fileName.c_str())) {
        LOG_ERROR("Failed to read ship names: " + fileName);
        return;
    }
    NameList list;
    list.name = ListNameFromFile(fileName);
    for (size_t i = 0; i < ini.GetEntryCount(); ++i)
        list.names.push_back(ini.GetKeyAt(i)); // comment lines ("/...") never become entries
    m_lists.push_back(std::move(list));
}

SIM_ShipNameGenerator::NameList* SIM_ShipNameGenerator::FindList(const std::string& listName)
{
    for (NameList& list : m_lists)
        if (list.name == listName)
            return &list;
    return nullptr;
}

std::string SIM_ShipNameGenerator::PickName(const std::string& listName)
{
    NameList* list = FindList(listName);
    if (!list) {
        LOG_DEBUG("Ship name List not found");
        return std::string();
    }
    return PickRandom(*list, true);
}

std::string SIM_ShipNameGenerator::PickRandom(NameList& list, bool remove)
{
    const int r = QlmRand();
    if (list.names.empty())
        return StrFormat("ship_%d", r % 9000);
    std::string picked = list.names[static_cast<size_t>(r) % list.names.size()];
    if (remove)
        RemoveName(list, picked);
    return picked;
}

std::string SIM_ShipNameGenerator::GenerateName(const SIM_ShipHull* hull)
{
    QLM_ASSERT(hull != nullptr);
    if (!hull)
        return std::string();
    const SIM_Race* race = SIM_Race::Find(hull->GetRaceName(), true);
    QLM_ASSERT(race != nullptr);
    if (!race)
        return std::string();
    return PickName(race->GetDefaultNames());
}

void SIM_ShipNameGenerator::RemoveName(NameList& list, const std::string& name)
{
    std::erase(list.names, name);
}

void SIM_ShipNameGenerator::RemoveNameFromAll(const std::string& name)
{
    for (NameList& list : m_lists)
        RemoveName(list, name);
}
