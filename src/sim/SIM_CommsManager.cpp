#include "sim/SIM_CommsManager.h"

#include <algorithm>

#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GIniFile.h"
#include "engine/GRandom.h"
#include "engine/StrFormat.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_BattleClock.h"
#include "sim/SIM_Race.h"

namespace {
const char* const kIdNames[SIM_CommsManager::COM_COUNT] = {
    "COM_TARGETSELECTED",
    "COM_TARGETDESTROYED",
    "COM_TAKINGHULLDAMAGE_NONFIGHTER",
    "COM_TAKINGHULLDAMAGE_FIGHTER",
    "COM_ECMSHOCKED",
    "COM_CAUGHTINTRACTOR",
    "COM_REPAIRSUPPLIESOUT",
    "COM_HITBYSHIPDETONATION",
    "COM_RETREATWEAPONSDESTROYED",
    "COM_SHIELDSTABILITYLOST",
    "COM_SHIELDSDOWN",
    "COM_STARTCAMOFLAGE",
    "COM_ARMORTOOSTRONG",
    "COM_OURMISSILESCRAMBLED",
    "COM_SHIELDSBELOW25PC",
    "COM_SHIELDSBELOW50PC",
    "COM_ABOUTTOEXPLODE",
    "COM_TRACTORATTACHED",
    "COM_REPAIRINITIATED",
    "COM_WINGMANKILLED",
    "COM_SHOCKEDBYFORCE",
    "COM_DOCKINGFORREPAIRS",
    "COM_HEADINGFORCARRIER",
    "COM_LIMPETATTACHED",
    "COM_RETREATING",
};
const char* const kCrewNameTag = "<CREWNAME>";
} // namespace

SIM_CommsManager& SIM_CommsManager::GetInstance()
{
    static SIM_CommsManager instance;
    return instance;
}

SIM_CommsManager::SIM_CommsManager() : SIM_CommsManager("data/comms.ini") {}

SIM_CommsManager::SIM_CommsManager(const std::string& commsFile)
{
    Load(commsFile);
}

const char* SIM_CommsManager::GetIdName(int id)
{
    return (id >= 0 && id < COM_COUNT) ? kIdNames[id] : "";
}

int SIM_CommsManager::FindId(const std::string& name)
{
    for (int i = 0; i < COM_COUNT; ++i) {
        if (name == kIdNames[i])
            return i;
    }
    return -1;
}

const std::vector<std::string>& SIM_CommsManager::GetPool(int id) const
{
    static const std::vector<std::string> empty;
    return (id >= 0 && id < COM_COUNT) ? m_pools[id].texts : empty;
}

bool SIM_CommsManager::Load(const std::string& commsFile)
{
    for (auto& pool : m_pools) {
        pool.texts.clear();
        pool.cursor = 0;
    }
    m_generic = Pool();
    if (!FileExists(commsFile)) {
        LOG_ERROR("Comms texts missing: " + commsFile);
        return false;
    }
    std::vector<std::string> sections;
    GIniFile::ListSections(sections, commsFile.c_str());
    std::vector<std::string> unknown;
    for (const std::string& section : sections) {
        const int id = FindId(section);
        Pool* pool = id >= 0 ? &m_pools[id] : (section == kGenericSection ? &m_generic : nullptr);
        if (!pool) {
            unknown.push_back(section);
            continue;
        }
        GIniFile ini;
        if (!ini.Load(section.c_str(), commsFile.c_str()))
            continue;
        for (size_t i = 0; i < ini.GetEntryCount(); ++i)
            pool->texts.push_back(ini.GetValueAt(i));
    }
    // A damaged or cut file: its lines are lost to every battle, said once.
    if (!unknown.empty())
        LOG_ERROR(StrFormat("%s: %zu sections name no comms event (first [%s]), ignored", commsFile.c_str(),
                            unknown.size(), unknown[0].substr(0, 40).c_str()));
    const bool none = m_generic.texts.empty() && std::all_of(std::begin(m_pools), std::end(m_pools),
                                                             [](const Pool& p) { return p.texts.empty(); });
    if (none)
        LOG_ERROR(commsFile + ": no comms lines in it (empty, cut or damaged), battles run without them");
    // Cut inside a line: what is left of it is spoken as the whole line.
    else if (std::string text; unknown.empty() && ReadWholeFile(commsFile, text) && text.back() != '\n')
        LOG_ERROR(commsFile + ": cut off inside its last line, its last line read as it stands");
    for (int id = 0; id < COM_COUNT && !none; ++id)
        if (m_pools[id].texts.empty())
            LOG_DEBUG(std::string("No comms lines for ") + kIdNames[id] + " in " + commsFile + ": generic lines stand in");
    for (auto& pool : m_pools) {
        // Shuffled once so each battle doesn't open with the same lines.
        for (size_t i = pool.texts.size(); i > 1; --i) {
            const size_t j = static_cast<size_t>(QlmRand()) % i;
            std::swap(pool.texts[i - 1], pool.texts[j]);
        }
        pool.cursor = 0;
    }
    return true;
}

void SIM_CommsManager::AddMessage(int id, float priority, SIM_Ship* sender)
{
    if (id < 0 || id >= COM_COUNT)
        return;
    if (!SIM_BattleClock::GetInstance().commsOn)
        return;
    if (m_inspected && sender != m_inspected)
        return;
    if (priority < m_threshold)
        return;
    Message message;
    message.id = id;
    message.sender = sender;
    message.priority = priority;
    message.time = SIM_BattleClock::GetInstance().battleTime;
    m_queue.push_back(std::move(message));
    m_threshold = priority;
}

void SIM_CommsManager::Update()
{
    const SIM_BattleClock& clock = SIM_BattleClock::GetInstance();
    m_displayTimer += clock.scaledFrameTime;
    if (m_queue.empty() || m_displayTimer <= kPruneInterval)
        return;
    m_displayTimer = 0.0f;
    const float now = clock.battleTime;
    m_queue.remove_if([now](const Message& m) { return now - m.time > kMaxAge; });
    RefreshThreshold();
}

std::string SIM_CommsManager::NextText(int id)
{
    // A kind the file has no lines for speaks a generic line, never its id.
    Pool& pool = !m_pools[id].texts.empty() ? m_pools[id] : m_generic;
    if (pool.texts.empty())
        return kFallbackLine;
    if (pool.cursor >= pool.texts.size())
        pool.cursor = 0;
    std::string text = pool.texts[pool.cursor];
    pool.cursor = (pool.cursor + 1) % pool.texts.size();
    return text;
}

void SIM_CommsManager::ReplaceCrewName(std::string& text, SIM_Race* race)
{
    const std::string tag = kCrewNameTag;
    size_t pos = text.find(tag);
    while (pos != std::string::npos) {
        const std::string crew = race ? race->GetNextCrewName() : std::string();
        text.replace(pos, tag.size(), crew);
        pos = text.find(tag, pos + crew.size());
    }
}

std::string SIM_CommsManager::PopMessageText()
{
    return PopMessage().text;
}

SIM_CommsManager::Message SIM_CommsManager::PopMessage()
{
    if (m_queue.empty())
        return Message();
    Message message = std::move(m_queue.front());
    m_queue.pop_front();
    message.text = NextText(message.id);
    ReplaceCrewName(message.text, SIM_Battle::GetInstance().GetPlayerRace());
    RefreshThreshold();
    return message;
}

void SIM_CommsManager::SetInspectedShip(SIM_Ship* ship)
{
    if (!ship) {
        m_inspected = nullptr;
        return;
    }
    m_queue.remove_if([ship](const Message& m) { return m.sender != ship; });
    m_inspected = ship;
    RefreshThreshold();
}

void SIM_CommsManager::ForgetShip(const SIM_Ship* ship)
{
    if (!ship)
        return;
    m_queue.remove_if([ship](const Message& m) { return m.sender == ship; });
    if (m_inspected == ship)
        m_inspected = nullptr;
    RefreshThreshold();
}

void SIM_CommsManager::Reset()
{
    m_queue.clear();
    m_inspected = nullptr;
    m_displayTimer = 0.0f;
    m_threshold = 0.0f;
}

void SIM_CommsManager::RefreshThreshold()
{
    m_threshold = m_queue.empty() ? 0.0f : m_queue.front().priority;
}
