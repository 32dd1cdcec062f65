#include "sim/SIM_Race.h"

#include "engine/CTexturedSprite.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/GIniFile.h"
#include "engine/GRandom.h"
#include "engine/GTokenizer.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ContentFiles.h"
#include "sim/SIM_Unlockable.h"

#include <algorithm>
#include <utility>

namespace {
std::vector<SIM_Race*>& AllRaces()
{
    static std::vector<SIM_Race*> list;
    return list;
}

// A uniform pick in 0..bound from the 15-bit generator, widened as needed.
size_t RandomUpTo(size_t bound)
{
    size_t value = 0;
    size_t range = 0;
    while (range < bound) {
        value = (value << 15) | static_cast<size_t>(QlmRand());
        range = (range << 15) | 0x7FFF;
    }
    return value % (bound + 1);
}

std::string TrimLeading(const std::string& text)
{
    size_t i = text.find_first_not_of(" \t");
    return i == std::string::npos ? std::string() : text.substr(i);
}

template <typename T>
void ShuffleInPlace(std::vector<T>& items)
{
    for (size_t i = 1; i < items.size(); ++i)
        std::swap(items[i], items[RandomUpTo(i)]);
}
} // namespace

SIM_Race::SIM_Race(const std::string& fileName) : m_fileName(fileName), m_unlockable(std::make_unique<SIM_Unlockable>())
{
    AllRaces().push_back(this);
    ReadConfig();
    ReadTurrets();
    ReadCrew();
    ShuffleInPlace(m_crew);
    m_crewCursor = 0;
    m_unlockable->Init(m_name, SIM_Unlockable::RACE, this);
    m_unlockable->RefreshLocked();
}

SIM_Race::~SIM_Race()
{
    auto& list = AllRaces();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void SIM_Race::ReadConfig()
{
    GIniFile ini;
    if (!ini.Load("config", m_fileName.c_str())) {
        LOG_ERROR("Failed to read race file: " + m_fileName);
        return;
    }
    m_name = ini.GetString("name");
    m_guiname = ini.GetString("guiname");
    m_description = ini.GetString("description");
    m_music = ini.GetString("music");
    m_logo = ini.GetString("logo");
    m_defaultnames = ini.GetString("defaultnames");
    m_shield = ini.GetString("shield");
    m_debrisstartuv = ReadBoundedInt(ini, "debrisstartuv");
    m_debrisenduv = ReadBoundedInt(ini, "debrisenduv");
    m_escapepodid = ReadBoundedInt(ini, "escapepodid");
    m_repairbotid = ReadBoundedInt(ini, "repairbotid");
    m_contrailid = ReadBoundedInt(ini, "contrailid");
    m_shieldcollapseuv = ReadBoundedInt(ini, "shieldcollapseuv");
    if (ini.HasKey("guiid"))
        m_guiid = ReadBoundedInt(ini, "guiid");
    bool lockable = ReadBoundedInt(ini, "lockable") != 0;
    m_unlockable->SetLockable(lockable);
    m_unlockable->SetUnlockCost(ReadBoundedInt(ini, "unlockcost"));
    if (lockable)
        m_unlockable->SetTexture(ini.GetString("unlock_texture"));
}

void SIM_Race::ReadTurrets()
{
    GIniFile ini;
    ini.Load("turrets", m_fileName.c_str());
    for (size_t i = 0; i < ini.GetEntryCount(); ++i) {
        GTokenizer tok(ini.GetValueAt(i), ',');
        Turret t;
        t.name = ini.GetKeyAt(i);
        // blanks after the commas are common in hand-written files
        t.sprite = TrimLeading(tok.NextString());
        t.texture = TrimLeading(tok.NextString());
        t.frame = tok.NextInt();
        m_turrets.push_back(std::move(t));
    }
}

void SIM_Race::ReadCrew()
{
    GIniFile ini;
    ini.Load("crew", m_fileName.c_str());
    for (size_t i = 0; i < ini.GetEntryCount(); ++i)
        if (!ini.GetValueAt(i).empty())
            m_crew.push_back(ini.GetValueAt(i));
    if (m_crew.empty())
        LOG_ERROR("Race has no crew names: " + m_fileName);
}

void SIM_Race::LoadAll()
{
    if (!AllRaces().empty())
        return;
    for (const std::string& file : FindContentFiles("data/races/*.txt"))
        new SIM_Race(file); // the global list owns it
    std::stable_sort(AllRaces().begin(), AllRaces().end(),
                     [](const SIM_Race* a, const SIM_Race* b) { return a->m_guiid < b->m_guiid; });
}

void SIM_Race::FreeAll()
{
    while (!AllRaces().empty())
        delete AllRaces().back();
}

SIM_Race* SIM_Race::Find(const std::string& name, bool log)
{
    if (AllRaces().empty())
        LoadAll();
    for (SIM_Race* race : AllRaces())
        if (race->m_name == name)
            return race;
    if (log)
        LOG_ERROR_ONCE("Failed to find race");
    return nullptr;
}

SIM_Race* SIM_Race::FindOrDefault(const std::string& name)
{
    if (!name.empty())
        if (SIM_Race* race = Find(name, false))
            return race;
    return Find(kDefaultRace, true);
}

const std::vector<SIM_Race*>& SIM_Race::GetList()
{
    return AllRaces();
}

std::string SIM_Race::DisplayName(const std::string& name)
{
    const SIM_Race* race = Find(name, false);
    return race ? GetString(race->GetGuiName().c_str()) : name;
}

int SIM_Race::CountSelectableRaces()
{
    int count = 0;
    for (const SIM_Race* race : AllRaces())
        if (!race->IsLocked())
            ++count;
    return count;
}

bool SIM_Race::IsLocked() const
{
    return m_unlockable->IsLocked();
}

const SIM_Race::Turret* SIM_Race::FindTurret(const std::string& turretName) const
{
    for (const Turret& t : m_turrets)
        if (t.name == turretName)
            return &t;
    return nullptr;
}

void SIM_Race::CreateTurretSprite(const std::string& turretName, CTexturedSprite& working,
                                  CTexturedSprite& wrecked) const
{
    const Turret* t = FindTurret(turretName);
    if (!t)
        return;
    working.SetTextureFromString(t->texture);
    working.SetFrame(t->frame, kTurretFrames);
    wrecked.SetTextureFromString(t->texture);
    wrecked.SetFrame(t->frame + kWreckedTurretFrame, kTurretFrames);
}

std::string SIM_Race::GetTurretMapping(const std::string& turretName) const
{
    if (const Turret* t = FindTurret(turretName))
        return t->sprite;
    LOG_ERROR(StrFormat("Turret mapping not found [%s] ==> [%s]", turretName.c_str(), m_name.c_str()));
    return std::string();
}

const std::string& SIM_Race::GetNextCrewName()
{
    static const std::string none;
    if (m_crew.empty())
        return none;
    if (m_crewCursor >= m_crew.size())
        m_crewCursor = 0;
    return m_crew[m_crewCursor++];
}

std::string SIM_Race::PickMessage(const char* section) const
{
    GIniFile ini;
    if (!ini.Load(section, m_fileName.c_str()))
        return std::string();
    return ini.GetRandomValue();
}

std::string SIM_Race::GetVictoryMessages() const
{
    return PickMessage("victory_messages");
}

std::string SIM_Race::GetDefeatMessages() const
{
    return PickMessage("defeat_messages");
}
