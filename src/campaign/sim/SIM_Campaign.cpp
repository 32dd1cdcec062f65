#include "campaign/sim/SIM_Campaign.h"

#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "engine/GDebugLog.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"

#include <algorithm>
#include <cstdlib>

SIM_Campaign::SIM_Campaign() = default;

SIM_Campaign::~SIM_Campaign()
{
    FreeEncounters();
}

void SIM_Campaign::FreeEncounters()
{
    m_links.clear();
    m_encounterList.clear();
    m_encounters.clear();
    m_homeworldEncounter = nullptr;
}

std::unique_ptr<SIM_Campaign> SIM_Campaign::LoadDefinition()
{
    LoadCampaignStrings();
    auto campaign = std::make_unique<SIM_Campaign>();
    campaign->LoadConfig(CampaignDataPath("campaign.txt"));
    campaign->LoadEncounters();
    SIM_CampaignProgress::GetInstance().Init(campaign.get());
    return campaign;
}

void SIM_Campaign::LoadConfig(std::string file)
{
    fileName = std::move(file);
    GIniFile config;
    if (!config.Load("config", fileName.c_str())) {
        LOG_ERROR("Missing campaign definition: " + fileName);
        return;
    }
    guiname = config.GetString("GUIName");
    description = config.GetString("Description");
    texture = config.GetString("Texture");
    name = config.GetString("Name");
    mapSizeX = config.GetFloat("MapSizeX", 0.0f);
    mapSizeY = config.GetFloat("MapSizeY", 0.0f);
    homeworld = atoi(std::string(config.GetString("Homeworld")).substr(0, 63).c_str());
}

// Encounter files are named relative to the campaign data folder; a name that
// could leave it is refused.
static bool IsSafeRelativeName(const std::string& n)
{
    return !n.empty() && n[0] != '/' && n.find("..") == std::string::npos && n.find('\\') == std::string::npos;
}

void SIM_Campaign::LoadEncounters()
{
    FreeEncounters();
    GIniFile section;
    section.Load("encounters", fileName.c_str());
    for (size_t i = 0; i < section.GetEntryCount(); ++i) {
        const std::string& value = section.GetValueAt(i);
        if (value.empty())
            continue;
        if (!IsSafeRelativeName(value)) {
            LOG_ERROR(fileName + ": encounter file name refused: " + value);
            continue;
        }
        auto e = std::make_unique<SIM_CampaignEncounter>(this);
        e->definitionFile = value;
        if (!e->Load(CampaignDataPath(value))) {
            // A planet without its file cannot be fought over or saved: drop it.
            LOG_ERROR("Failed to find encounter: " + value);
            continue;
        }
        if (!e->loaded)
            continue;
        if (e->encounterId == homeworld) {
            e->territory = SIM_CampaignEncounter::PLAYER;
            e->homeworld = 1;
            e->loyalty.value = 1.0f;
            m_homeworldEncounter = e.get();
        }
        m_encounters.push_back(std::move(e));
    }
    std::stable_sort(m_encounters.begin(), m_encounters.end(),
                     [](const auto& a, const auto& b) { return a->planetName < b->planetName; });
    for (auto& e : m_encounters)
        m_encounterList.push_back(e.get());
    for (SIM_CampaignEncounter* e : m_encounterList)
        e->LinkWormholes();
    SIM_CampaignEncounter::LoadAllHopCounts();
}

SIM_CampaignEncounter* SIM_Campaign::FindEncounterByName(std::string scenarioName) const
{
    for (SIM_CampaignEncounter* e : m_encounterList)
        if (e->name == scenarioName)
            return e;
    return nullptr;
}

SIM_CampaignEncounter* SIM_Campaign::FindEncounter(int encounterId) const
{
    for (SIM_CampaignEncounter* e : m_encounterList)
        if (e->encounterId == encounterId)
            return e;
    return nullptr;
}

bool SIM_Campaign::HasWormholeLink(const SIM_CampaignEncounter* a, const SIM_CampaignEncounter* b) const
{
    for (const auto& l : m_links)
        if ((l.first == a && l.second == b) || (l.first == b && l.second == a))
            return true;
    return false;
}

void SIM_Campaign::AddWormholeLink(SIM_CampaignEncounter* a, SIM_CampaignEncounter* b)
{
    m_links.emplace_back(a, b);
}

bool SIM_Campaign::SaveDefinition() const
{
    std::string out = "[config]\n";
    out += "GUIName = " + guiname + "\n";
    out += "Description = " + description + "\n";
    out += "Texture = " + texture + "\n";
    out += "Name = " + name + "\n";
    out += StrFormat("Homeworld = %d\n", homeworld);
    out += StrFormat("MapSizeX = %.4f\nMapSizeY = %.4f\n", mapSizeX, mapSizeY);
    out += "\n[encounters]\n";
    int i = 0;
    for (const SIM_CampaignEncounter* e : m_encounterList)
        out += StrFormat("%d = %s\n", i++, e->definitionFile.c_str());
    bool ok = WriteFileAtomically(fileName, out);
    if (!ok)
        LOG_ERROR("Failed to write campaign definition " + fileName);
    for (const SIM_CampaignEncounter* e : m_encounterList)
        ok = e->SaveDefinition() && ok;
    return ok;
}
