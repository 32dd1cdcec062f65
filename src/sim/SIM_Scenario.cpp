#include "sim/SIM_Scenario.h"

#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/GTokenizer.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ChallengeFile.h"
#include "sim/SIM_ContentFiles.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_SurvivalMode.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {
std::vector<SIM_Scenario*>& AllScenarios()
{
    static std::vector<SIM_Scenario*> list;
    return list;
}

bool& LoadedFlag()
{
    static bool loaded = false;
    return loaded;
}

// The keys this version reads and writes itself; anything else in [config]
// is carried through untouched.
const char* const kKnownKeys[] = {
    "gui_id",          "backdrop",      "icon",      "name",           "guiname",         "mapsizex",
    "mapsizey",        "starfield",     "fleetcostlimit", "pilotlimit", "enemyrace",      "shader",
    "size",            "unlocked_after", "type",     "asteroidcount",  "asteroidtopx",    "asteroidbottomx",
    "lightningintensity", "lightninginterval", "player_deployment", "ai_deployment",
};

bool IsKnownKey(const std::string& key)
{
    for (const char* k : kKnownKeys)
        if (key == k)
            return true;
    return false;
}

SIM_Scenario::Zone ParseZone(const char* text)
{
    GTokenizer tok(text, ',');
    SIM_Scenario::Zone z;
    z.left = tok.NextInt();
    z.top = tok.NextInt();
    z.right = tok.NextInt();
    z.bottom = tok.NextInt();
    return z;
}

std::string ZoneText(const SIM_Scenario::Zone& z)
{
    return StrFormat("%d,%d,%d,%d", z.left, z.top, z.right, z.bottom);
}

int TypeFromText(const std::string& text)
{
    if (text == "SURVIVAL")
        return SIM_Scenario::SURVIVAL;
    if (text == "TUTORIAL")
        return SIM_Scenario::TUTORIAL;
    return SIM_Scenario::SKIRMISH; // unknown words play as skirmishes
}
} // namespace

SIM_Scenario::SIM_Scenario()
{
    AllScenarios().push_back(this);
}

SIM_Scenario::~SIM_Scenario()
{
    auto& list = AllScenarios();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

bool SIM_Scenario::Load(const std::string& filePath)
{
    if (!FileExists(filePath)) {
        LOG_ERROR("Missing scenario file");
        return false;
    }
    m_filePath = filePath;
    ReadConfig(filePath);
    ReadVariables(filePath);
    ParseVariables();
    ReadTerrain(filePath);
    OnLoaded();
    return true;
}

void SIM_Scenario::ReadConfig(const std::string& filePath)
{
    GIniFile ini;
    ini.Load("config", filePath.c_str());
    m_guiId = ReadBoundedInt(ini, "gui_id");
    m_backdrop = ini.GetString("backdrop");
    m_icon = ini.GetString("icon");
    name = ini.GetString("name");
    guiname = ini.GetString("guiname");
    // Beyond what a challenge can carry, a map only overflows the sums of
    // positions and zones.
    m_mapsizex = ini.GetFloatInRange("mapsizex", -SIM_ChallengeFile::kMaxMapSize, SIM_ChallengeFile::kMaxMapSize, 0.0f);
    m_mapsizey = ini.GetFloatInRange("mapsizey", -SIM_ChallengeFile::kMaxMapSize, SIM_ChallengeFile::kMaxMapSize, 0.0f);
    m_starfield = ReadBoundedInt(ini, "starfield") != 0;
    m_fleetCostLimit = ReadBoundedInt(ini, "fleetcostlimit");
    m_pilotLimit = ReadBoundedInt(ini, "pilotlimit");
    m_enemyRace = ini.GetString("enemyrace");
    m_shader = ini.GetString("shader");
    m_size = ini.GetString("size");
    m_unlockedAfter = ini.GetString("unlocked_after");
    m_typeText = ini.GetString("type");
    if (m_typeText.empty())
        m_typeText = "SKIRMISH";
    m_type = TypeFromText(m_typeText);
    m_hasAsteroids = ini.HasKey("asteroidcount");
    if (m_hasAsteroids) {
        m_asteroidCount = ReadBoundedInt(ini, "asteroidcount");
        m_asteroidTopX = ini.GetFloat("asteroidtopx", 0.0f);
        m_asteroidBottomX = ini.GetFloat("asteroidbottomx", 0.0f);
    }
    m_hasLightning = ini.HasKey("lightningintensity");
    if (m_hasLightning) {
        m_lightningIntensity = ini.GetFloat("lightningintensity", 0.0f);
        m_lightningInterval = ini.GetFloat("lightninginterval", 0.0f);
    }
    m_playerDeployment = ParseZone(ini.GetString("player_deployment"));
    m_aiDeployment = ParseZone(ini.GetString("ai_deployment"));

    m_extraConfig.clear();
    for (size_t i = 0; i < ini.GetEntryCount(); ++i)
        if (!IsKnownKey(ini.GetKeyAt(i)))
            m_extraConfig.push_back({ini.GetKeyAt(i), ini.GetValueAt(i)});
}

void SIM_Scenario::ReadVariables(const std::string& filePath)
{
    GIniFile ini;
    ini.Load("variables", filePath.c_str());
    m_variableLines.clear();
    for (size_t i = 0; i < ini.GetEntryCount(); ++i)
        m_variableLines.push_back(ini.GetKeyAt(i));
}

void SIM_Scenario::ReadTerrain(const std::string& filePath)
{
    GIniFile ini;
    ini.Load("terrain", filePath.c_str());
    m_terrain.clear();
    for (size_t i = 0; i < ini.GetEntryCount(); ++i)
        m_terrain.push_back({ini.GetKeyAt(i), ini.GetValueAt(i)});
}

std::vector<std::string> SIM_Scenario::GetTerrainLines() const
{
    std::vector<std::string> lines;
    for (const Entry& e : m_terrain)
        lines.push_back(e.value);
    return lines;
}

void SIM_Scenario::SetTerrainLine(size_t index, const std::string& line)
{
    if (index < m_terrain.size())
        m_terrain[index].value = line;
}

void SIM_Scenario::ResetAnomalyValues()
{
    m_shieldMultiplier = 1.0f;
    m_engineMultiplier = 1.0f;
    m_weaponRangeMultiplier = 1.0f;
    for (bool& flag : m_flags)
        flag = false;
}

void SIM_Scenario::ApplyAnomaly(const SIM_Anomaly& anomaly)
{
    int index = FindAnomalyIndex(anomaly.keyword);
    switch (index) {
    case SIM_Anomaly::SHIELD_STRENGTH_MULTIPLIER: m_shieldMultiplier = anomaly.amount; break;
    case SIM_Anomaly::ENGINE_SPEED_MULTIPLIER: m_engineMultiplier = anomaly.amount; break;
    case SIM_Anomaly::WEAPON_RANGE_MULTIPLIER: m_weaponRangeMultiplier = anomaly.amount; break;
    default:
        if (index >= SIM_Anomaly::kFirstFlag)
            m_flags[index - SIM_Anomaly::kFirstFlag] = true;
        break;
    }
}

void SIM_Scenario::AddAnomaly(const SIM_Anomaly& anomaly)
{
    int index = FindAnomalyIndex(anomaly.keyword);
    if (index < 0) {
        LOG_ERROR("Unknown anomaly keyword: " + anomaly.keyword);
        return;
    }
    SIM_Anomaly stored = anomaly;
    stored.hasAmount = index < SIM_Anomaly::kFirstFlag;
    if (!stored.hasAmount)
        stored.amount = 0.0f;
    ApplyAnomaly(stored);
    m_anomalies.push_back(stored);
    m_anomaliesPresent = true;
}

void SIM_Scenario::ClearAnomalies()
{
    m_anomalies.clear();
    m_anomaliesPresent = false;
    ResetAnomalyValues();
}

bool SIM_Scenario::RemoveAnomaly(size_t index)
{
    if (index >= m_anomalies.size())
        return false;
    std::vector<SIM_Anomaly> rest = m_anomalies;
    rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(index));
    // The multipliers and flags follow the list that remains.
    ClearAnomalies();
    for (const SIM_Anomaly& a : rest)
        AddAnomaly(a);
    return true;
}

void SIM_Scenario::ParseVariables()
{
    ResetAnomalyValues();
    for (const std::string& line : m_variableLines) {
        GTokenizer tok(line, ',');
        tok.source = m_filePath + " [variables] " + line.substr(0, line.find(','));
        std::string varName = tok.NextString();
        float value = tok.NextFloat();
        int index = FindAnomalyIndex(varName);
        if (index >= 0)
            AddAnomaly(SIM_Anomaly(varName, value, index < SIM_Anomaly::kFirstFlag));
        else if (varName.compare(0, 4, "_sl_") == 0)
            m_supplyLimits.push_back({varName.substr(4), TruncateToInt(value)});
        else
            LOG_ERROR("Failed to find variable name in scenario");
    }
}

bool SIM_Scenario::GetAnomalyFlag(int keyword) const
{
    if (keyword < SIM_Anomaly::kFirstFlag || keyword >= SIM_Anomaly::KEYWORD_COUNT)
        return false;
    return m_flags[keyword - SIM_Anomaly::kFirstFlag];
}

void SIM_Scenario::FormatVariablesAs(bool flagsWithAmount)
{
    m_variableLines.clear();
    for (const SIM_Anomaly& a : m_anomalies) {
        if (a.hasAmount || flagsWithAmount)
            m_variableLines.push_back(StrFormat("%s,%.2f", a.keyword.c_str(), a.amount));
        else
            m_variableLines.push_back(a.keyword);
    }
    for (const SupplyLimit& s : m_supplyLimits)
        m_variableLines.push_back(StrFormat("_sl_%s,%d", s.moduleType.c_str(), s.limit));
}

void SIM_Scenario::FormatVariables()
{
    FormatVariablesAs(false);
}

void SIM_Scenario::FormatVariablesForEditor()
{
    FormatVariablesAs(true);
}

int SIM_Scenario::GetSupplyLimit(const std::string& moduleTypeName) const
{
    for (const SupplyLimit& s : m_supplyLimits)
        if (s.moduleType == moduleTypeName)
            return s.limit;
    return -1;
}

void SIM_Scenario::SetSupplyLimit(const std::string& moduleTypeName, int limit)
{
    for (SupplyLimit& s : m_supplyLimits)
        if (s.moduleType == moduleTypeName) {
            s.limit = limit;
            return;
        }
    m_supplyLimits.push_back({moduleTypeName, limit});
}

void SIM_Scenario::SetType(int type)
{
    static const char* const kTypeWords[] = {"SKIRMISH", "SURVIVAL", "TUTORIAL"};
    if (type < SKIRMISH || type > TUTORIAL)
        type = SKIRMISH;
    m_type = type;
    m_typeText = kTypeWords[type];
}

void SIM_Scenario::SetAsteroids(int count, float topX, float bottomX)
{
    m_hasAsteroids = true;
    m_asteroidCount = count;
    m_asteroidTopX = topX;
    m_asteroidBottomX = bottomX;
}

void SIM_Scenario::SetLightning(float intensity, float interval)
{
    m_hasLightning = true;
    m_lightningIntensity = intensity;
    m_lightningInterval = interval;
}

std::string SIM_Scenario::GetEnemyRace() const
{
    return m_enemyRace.empty() ? std::string(SIM_Race::kDefaultRace) : m_enemyRace;
}

std::string SIM_Scenario::ConfigText() const
{
    GIniFile ini;
    ini.SetSection("config");
    ini.SetString("gui_id", StrFormat("%d", m_guiId));
    ini.SetString("backdrop", m_backdrop);
    ini.SetString("icon", m_icon);
    ini.SetString("name", name);
    ini.SetString("guiname", guiname);
    ini.SetString("mapsizex", StrFormat("%.4f", m_mapsizex));
    ini.SetString("mapsizey", StrFormat("%.4f", m_mapsizey));
    ini.SetString("starfield", StrFormat("%d", m_starfield ? 1 : 0));
    ini.SetString("fleetcostlimit", StrFormat("%d", m_fleetCostLimit));
    ini.SetString("pilotlimit", StrFormat("%d", m_pilotLimit));
    ini.SetString("enemyrace", m_enemyRace);
    ini.SetString("shader", m_shader);
    ini.SetString("size", m_size);
    ini.SetString("unlocked_after", m_unlockedAfter);
    ini.SetString("type", m_typeText);
    ini.SetString("player_deployment", ZoneText(m_playerDeployment));
    ini.SetString("ai_deployment", ZoneText(m_aiDeployment));
    if (m_hasAsteroids) {
        ini.SetString("asteroidcount", StrFormat("%d", m_asteroidCount));
        ini.SetString("asteroidtopx", StrFormat("%.4f", m_asteroidTopX));
        ini.SetString("asteroidbottomx", StrFormat("%.4f", m_asteroidBottomX));
    }
    if (m_hasLightning) {
        ini.SetString("lightningintensity", StrFormat("%.4f", m_lightningIntensity));
        ini.SetString("lightninginterval", StrFormat("%.4f", m_lightningInterval));
    }
    for (const Entry& e : m_extraConfig)
        ini.SetString(e.key.c_str(), e.value);
    return ini.SaveToText();
}

bool SIM_Scenario::Save(const std::string& filePath) const
{
    std::string text = ConfigText();

    GIniFile variables;
    variables.SetSection("variables");
    for (const std::string& line : m_variableLines)
        variables.Set(line.c_str(), "");
    text += variables.SaveToText();

    if (!m_terrain.empty()) {
        GIniFile terrain;
        terrain.SetSection("terrain");
        for (const Entry& e : m_terrain)
            terrain.SetString(e.key.c_str(), e.value);
        text += terrain.SaveToText();
    }

    if (!WriteFileAtomically(filePath, text)) {
        LOG_ERROR("Failed to write scenario file: " + filePath);
        return false;
    }
    return true;
}

std::string SIM_Scenario::DeploymentFolderPrefix() const
{
    // Scenarios in ".../scenarios/" (or ".../custom_scenarios/") keep their
    // fleets in the sibling ".../deployments/" (".../custom_deployments/");
    // a scenario anywhere else keeps them in "deployments/" beside it.
    size_t slash = m_filePath.find_last_of('/');
    std::string folder = (slash == std::string::npos) ? std::string() : m_filePath.substr(0, slash);
    static const std::string kScenarios = "scenarios";
    if (folder.size() >= kScenarios.size() &&
        folder.compare(folder.size() - kScenarios.size(), kScenarios.size(), kScenarios) == 0)
        return folder.substr(0, folder.size() - kScenarios.size()) + "deployments/";
    return folder.empty() ? std::string("deployments/") : folder + "/deployments/";
}

std::string SIM_Scenario::FileStem() const
{
    size_t slash = m_filePath.find_last_of('/');
    std::string stem = (slash == std::string::npos) ? m_filePath : m_filePath.substr(slash + 1);
    if (stem.size() > 4 && stem.compare(stem.size() - 4, 4, ".txt") == 0)
        stem.resize(stem.size() - 4);
    return stem;
}

std::string SIM_Scenario::GetEnemyFleetPath(const std::string& survivalWaveName) const
{
    if (m_type == SURVIVAL) {
        // Without a name given, the wave survival mode is at.
        const std::string wave =
            survivalWaveName.empty() ? SIM_SurvivalMode::GetInstance().GetCurrentWaveName() : survivalWaveName;
        if (wave.empty())
            return std::string();
        return DeploymentFolderPrefix() + SanitiseFileName(FileStem()) + "/" + SanitiseFileName(wave);
    }
    const char* file = "aifleet_easy.txt";
    if (m_difficulty == MEDIUM)
        file = "aifleet_medium.txt";
    else if (m_difficulty == HARD)
        file = "aifleet_hard.txt";
    return DeploymentFolderPrefix() + SanitiseFileName(name) + "/" + file;
}

std::string SIM_Scenario::GetSurvivalWavesPath() const
{
    return DeploymentFolderPrefix() + SanitiseFileName(FileStem()) + "/waves.txt";
}

bool SIM_Scenario::IsHullClassAllowed(int hullClass) const
{
    if (hullClass == 2 && GetAnomalyFlag(SIM_Anomaly::FIGHTERS_INOPERABLE))
        return false;
    if (hullClass == 0 && GetAnomalyFlag(SIM_Anomaly::CRUISERS_INOPERABLE))
        return false;
    return true;
}

bool SIM_Scenario::IsDesignAllowed(const SIM_ShipDesign* design) const
{
    if (!design || !design->GetHull())
        return false;
    if (!IsHullClassAllowed(design->GetHull()->GetClass()))
        return false;
    if (GetAnomalyFlag(SIM_Anomaly::ENGINES_REQUIRED))
        return design->CountModulesOfClass("SIM_EngineModule") > 0;
    return true;
}

bool SIM_Scenario::IsModuleTypeDisabled(const SIM_ShipModuleType* type) const
{
    if (!type)
        return false;
    const std::string& cls = type->GetClassName();
    return (cls == "SIM_ShieldModule" && GetAnomalyFlag(SIM_Anomaly::SHIELDS_INOPERABLE)) ||
           (cls == "SIM_CamoflageShieldModule" && GetAnomalyFlag(SIM_Anomaly::CLOAK_INOPERABLE)) ||
           (cls == "SIM_TractorModule" && GetAnomalyFlag(SIM_Anomaly::TRACTOR_INOPERABLE)) ||
           (cls == "SIM_RepairModule" && GetAnomalyFlag(SIM_Anomaly::REPAIR_INOPERABLE));
}

bool SIM_Scenario::HasDisabledModule(const SIM_ShipDesign* design) const
{
    if (!design)
        return false;
    for (const SIM_ShipDesign::FittedModule& m : design->GetModules())
        if (IsModuleTypeDisabled(m.moduleType))
            return true;
    return false;
}

void SIM_Scenario::LoadAll()
{
    FreeAll();
    LoadedFlag() = true;
    BuildAnomalyTable();
    for (const std::string& file : FindContentFiles("data/scenarios/*.txt")) {
        SIM_Scenario* scenario = new SIM_Scenario(); // the global list owns it
        // The camera, the mini-map and the deployment zones all divide by
        // the map's size: a map without one cannot be offered.
        if (scenario->Load(file) && !scenario->HasPlayableMap()) {
            LOG_ERROR(file + ": mapsizex and mapsizey must be above 0; scenario skipped");
            delete scenario;
        }
    }
    std::stable_sort(AllScenarios().begin(), AllScenarios().end(),
                     [](const SIM_Scenario* a, const SIM_Scenario* b) { return a->m_guiId < b->m_guiId; });
}

void SIM_Scenario::FreeAll()
{
    while (!AllScenarios().empty())
        delete AllScenarios().back();
    LoadedFlag() = false;
}

bool SIM_Scenario::IsLoaded()
{
    return LoadedFlag();
}

SIM_Scenario* SIM_Scenario::FindByName(const std::string& scenarioName)
{
    if (!LoadedFlag())
        LoadAll();
    for (SIM_Scenario* s : AllScenarios())
        if (s->name == scenarioName)
            return s;
    LOG_ERROR(StrFormat("Failed to locate scenario:[ %s ]", scenarioName.c_str()));
    return nullptr;
}

SIM_Scenario* SIM_Scenario::GetFirst()
{
    if (!LoadedFlag())
        LoadAll();
    for (SIM_Scenario* s : AllScenarios())
        if (!s->m_challengeFleet)
            return s;
    return nullptr;
}

bool SIM_Scenario::TakesChosenDifficulty() const
{
    return !m_challengeFleet && m_type != SURVIVAL && m_type != TUTORIAL;
}

void SIM_Scenario::ApplyChosenDifficulty(int difficulty)
{
    for (SIM_Scenario* scenario : GetList())
        if (scenario->TakesChosenDifficulty())
            scenario->SetDifficulty(difficulty);
}

const std::vector<SIM_Scenario*>& SIM_Scenario::GetList()
{
    return AllScenarios();
}
