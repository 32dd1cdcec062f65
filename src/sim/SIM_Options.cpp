#include "sim/SIM_Options.h"

#include "engine/APP_UserFolders.h"
#include "engine/GDebugLog.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace {
const char* const kToggleNames[SIM_Options::kToggleCount] = {
    "CONTRAILS",   "FANCYBEAMS", "DEBRIS",     "TURRETS",    "RUNNINGLIGHTS", "REPAIRBOTS",
    "ESCAPEPODS",  "SHADERS",    "CAMERASHAKE", "MOTIONBLUR", "HULKS",        "INVERTZOOM",
    "PITCHSHIFT",  "HARDWARESOUND", "COMMS",   "RUNINBACKGROUND", "TRANSITIONS",
};

struct Default {
    const char* name;
    float value;
};

// The non-toggle settings, in the order a fresh file lists them.
const Default kValueDefaults[] = {
    {"OPTIONS_SFX", 1.0f},
    {"OPTIONS_MUSIC", 1.0f},
    {"OPTIONS_MOUSESPEED", 0.5f},
    {"OPTIONS_MASTERVOLUME", 1.0f},
    {"OPTIONS_INTERFACE_VOLUME", 1.0f},
    {"OPTIONS_MINZOOM", 1.0f},
    {"CHALLENGES_SHOWLOCAL", 0.0f},
    {"CHALLENGES_SHOWPERSONAL", 0.0f},
    {"CHALLENGES_SHOWPOSTED", 0.0f},
    {"CHALLENGES_SHOWALL", 1.0f},
};

// The order in which keys missing from an existing file are appended.
const Default kFillOrder[] = {
    {"OPTIONS_SFX", 1.0f},
    {"OPTIONS_MUSIC", 1.0f},
    {"OPTIONS_MOUSESPEED", 0.5f},
    {"OPTIONS_MASTERVOLUME", 1.0f},
    {"OPTIONS_INTERFACE_VOLUME", 1.0f},
    {"PITCHSHIFT", 1.0f},
    {"HARDWARESOUND", 1.0f},
    {"COMMS", 1.0f},
    {"OPTIONS_MINZOOM", 1.0f},
    {"CHALLENGES_SHOWLOCAL", 0.0f},
    {"CHALLENGES_SHOWPERSONAL", 0.0f},
    {"CHALLENGES_SHOWPOSTED", 0.0f},
    {"CHALLENGES_SHOWALL", 1.0f},
    {"RUNINBACKGROUND", 0.0f},
    {"TRANSITIONS", 1.0f},
};

float ToggleDefault(const char* name)
{
    return std::string(name) == "RUNINBACKGROUND" ? 0.0f : 1.0f;
}

// What each known option may hold: toggles and the challenge filters are off
// or on, volumes and the mouse speed run from silent (slowest) to full, and
// the battle map's least zoom stays within the map's own zoom range.
constexpr float kMostMapZoom = 4.0f;

struct Range {
    float low, high;
};

bool KnownRange(const std::string& name, Range& range)
{
    for (const char* toggle : kToggleNames)
        if (name == toggle) {
            range = {0.0f, 1.0f};
            return true;
        }
    if (name == "OPTIONS_MINZOOM") {
        range = {0.0f, kMostMapZoom};
        return true;
    }
    if (name == SIM_Options::kDifficultyName) {
        range = {0.0f, 2.0f};
        return true;
    }
    for (const Default& d : kValueDefaults)
        if (name == d.name) {
            range = {0.0f, 1.0f};
            return true;
        }
    return false;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// A name that would not read back as the same single key of config.txt.
bool IsUnsafeName(const std::string& name)
{
    if (name.empty() || name[0] == '[' || name[0] == '/' || IsBlank(name.front()) || IsBlank(name.back()))
        return true;
    if (name.size() > GIniFile::kMaxKey)
        return true;
    return name.find_first_of(std::string("=\r\n\0", 4)) != std::string::npos;
}

bool IsUnsafeRace(const std::string& race)
{
    return race.empty() || race.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}
} // namespace

SIM_Options& SIM_Options::GetInstance()
{
    static SIM_Options instance;
    static const bool loaded = [] {
        std::string folder = APP_UserFolders::GetInstance().Get(APP_UserFolders::USER);
        if (folder.empty())
            folder = APP_UserFolders::ResolveUserFolder("");
        instance.Reload(folder + "/config.txt");
        return true;
    }();
    (void)loaded;
    return instance;
}

SIM_Options::SIM_Options(const std::string& filePath)
{
    Reload(filePath);
}

void SIM_Options::Reload(const std::string& filePath)
{
    m_filePath = filePath;
    Load();
}

const char* SIM_Options::GetToggleName(int index)
{
    if (index < 0 || index >= kToggleCount)
        return "";
    return kToggleNames[index];
}

bool SIM_Options::GetToggle(int index)
{
    if (index < 0 || index >= kToggleCount)
        return false;
    return GetValue(kToggleNames[index]) != 0.0f;
}

SIM_Options::Record* SIM_Options::FindLoaded(const std::string& name)
{
    for (Record& r : m_options)
        if (r.name == name)
            return &r;
    return nullptr;
}

SIM_Options::Record* SIM_Options::Find(const std::string& name)
{
    // Load itself looks names up while the list is still empty; loading
    // again from there would never end.
    if (m_options.empty() && !m_loading)
        Load();
    return FindLoaded(name);
}

float SIM_Options::GetValue(const std::string& name)
{
    if (Record* r = Find(name))
        return r->value;
    LogDebug(StrFormat("Missing Global variable [%s]", name.c_str()), "SIM_Options", __LINE__);
    return 0.0f;
}

void SIM_Options::SetValue(const std::string& name, float value)
{
    if (Record* r = Find(name)) {
        r->value = value;
        return;
    }
    LOG_DEBUG("Missing Global variable");
    AddValue(name, value);
}

int SIM_Options::GetDifficulty()
{
    const Record* r = Find(kDifficultyName);
    return r ? std::clamp(static_cast<int>(std::lround(r->value)), 0, 2) : 0;
}

void SIM_Options::SetDifficulty(int level)
{
    const float value = static_cast<float>(std::clamp(level, 0, 2));
    if (Record* r = Find(kDifficultyName))
        r->value = value;
    else
        AddValue(kDifficultyName, value);
    Save();
}

void SIM_Options::AddValue(const std::string& name, float value)
{
    if (IsUnsafeName(name)) {
        LOG_ERROR(StrFormat("Refused option name [%s]", name.c_str()));
        return;
    }
    m_options.push_back(Record{name, value});
}

void SIM_Options::AddDefault(const char* name, float value)
{
    if (!name || FindLoaded(name))
        return;
    m_options.push_back(Record{name, value});
}

void SIM_Options::FillDefaults()
{
    for (const Default& d : kFillOrder)
        AddDefault(d.name, d.value);
    // A file from an older build may lack display toggles; a missing one
    // would silently read as "off".
    for (const char* toggle : kToggleNames)
        AddDefault(toggle, ToggleDefault(toggle));
    for (const Default& d : kValueDefaults)
        AddDefault(d.name, d.value);
}

std::string SIM_Options::ChooseRace(const std::string& stored) const
{
    if (!IsUnsafeRace(stored) && (!m_raceValidator || m_raceValidator(stored)))
        return stored;
    LOG_DEBUG(StrFormat("Race [%s] not found, using %s", stored.c_str(), kDefaultRace));
    if (m_raceValidator && !m_raceValidator(kDefaultRace))
        LOG_ERROR(StrFormat("Default race %s not found", kDefaultRace));
    // The name is kept either way so that the file stays valid.
    return kDefaultRace;
}

void SIM_Options::Load()
{
    m_options.clear();
    std::string text;
    const FileRead read = ReadWholeFile(m_filePath, text, kMaxSettingsFileBytes);
    if (read.IsRefused()) {
        // The file is there (the refusal is logged): defaults for this run,
        // and the file stays as it is.
        LOG_DEBUG(StrFormat("Options kept in %s could not be read, defaults used", m_filePath.c_str()));
        SetDefaults();
        return;
    }
    if (!read) {
        WriteDefaults();
        return;
    }
    m_loading = true;
    GIniFile config;
    config.LoadFromText("config", text);
    if (!GIniFile::HasContent(text))
        LOG_ERROR(StrFormat("%s is empty (damaged), defaults used", m_filePath.c_str()));
    else if (config.GetEntryCount() == 0)
        LOG_ERROR(StrFormat("%s is damaged (no options), defaults used", m_filePath.c_str()));
    for (size_t i = 0; i < config.GetEntryCount(); ++i) {
        bool nonFinite = false;
        const float value = ParseLeadingFloat(config.GetValueAt(i).c_str(), &nonFinite);
        // Treated as missing, so that a known option gets its default back.
        if (nonFinite) {
            LOG_ERROR(StrFormat("%s: %s is not a finite number, ignored", m_filePath.c_str(),
                                config.GetKeyAt(i).c_str()));
            continue;
        }
        m_options.push_back(Record{config.GetKeyAt(i), Bounded(config.GetKeyAt(i), value)});
    }
    FillDefaults();

    GIniFile race;
    race.LoadFromText("race", text);
    // The race is the file's last line: without it the file was cut, and the
    // options past the cut read as their defaults.
    if (config.GetEntryCount() > 0 && !race.HasKey("race"))
        LOG_ERROR(StrFormat("%s [race] race: missing (damaged or cut off), defaults used for what is missing",
                            m_filePath.c_str()));
    m_raceName = ChooseRace(race.GetString("race"));
    m_loading = false;
    Save();
}

float SIM_Options::Bounded(const std::string& name, float value) const
{
    Range range;
    if (!KnownRange(name, range) || (value >= range.low && value <= range.high))
        return value;
    const float bounded = value < range.low ? range.low : range.high;
    LOG_ERROR(StrFormat("%s [config] %s = %g: out of range %g..%g, %g used", m_filePath.c_str(), name.c_str(),
                        static_cast<double>(value), static_cast<double>(range.low), static_cast<double>(range.high),
                        static_cast<double>(bounded)));
    return bounded;
}

void SIM_Options::SetDefaults()
{
    m_options.clear();
    for (const char* toggle : kToggleNames)
        m_options.push_back(Record{toggle, ToggleDefault(toggle)});
    for (const Default& d : kValueDefaults)
        m_options.push_back(Record{d.name, d.value});
    m_raceName = ChooseRace(kDefaultRace);
}

void SIM_Options::WriteDefaults()
{
    LOG_DEBUG("Writing default options");
    SetDefaults();
    Save();
}

void SIM_Options::SetRaceName(const std::string& race)
{
    if (IsUnsafeRace(race)) {
        LOG_ERROR("Refused race name with line breaks");
        return;
    }
    m_raceName = race;
}

bool SIM_Options::Save() const
{
    std::string out = "[config]\n";
    for (const Record& r : m_options)
        out += StrFormat("%s = %.2f\n", r.name.c_str(), static_cast<double>(r.value));
    out += "\n[race]\n";
    out += StrFormat("race = %s\n", m_raceName.c_str());
    if (m_filePath.empty() || !WriteFileAtomically(m_filePath, out)) {
        LogDebug("Failed to save variables", "SIM_Options", __LINE__);
        return false;
    }
    return true;
}
