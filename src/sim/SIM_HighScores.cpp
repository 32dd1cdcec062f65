#include "sim/SIM_HighScores.h"

#include "engine/APP_UserFolders.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>

namespace {
const char* const kBeatenKeys[SIM_ScenarioScore::kDifficulties] = {"beaten_easy", "beaten_medium", "beaten_hard"};
const char* const kHonourKeys[SIM_ScenarioScore::kDifficulties] = {"highest_honor_easy", "highest_honor_medium",
                                                                   "highest_honor_hard"};
// Written only once a survival battle scored: files without it read as 0.
const char* const kBestSurvivalKey = "best_survival_score";
// unl.dat's record of a win whose sc.dat save may not have gone in:
// "[won <scenario>]" with its difficulty and honour.
const char* const kWonPrefix = "won ";
// Far more items than the game offers: a larger unl.dat is damage, and its
// lines past these are not kept in memory.
constexpr size_t kMaxUnlockLines = 10000;
// Far more scenarios than any install holds. Its rewrite, about 155 bytes a
// record, stays well under what the next start reads (a file past that is
// refused, and every score with it).
constexpr size_t kMaxScenarioSections = 100000;
// A record is its header and nine values: a section of millions of keys
// would otherwise hold gigabytes before a single one is read.
constexpr size_t kMaxScoreLines = kMaxScenarioSections * 12;

// Values are whole numbers; anything else ("nan", a path) is told with the
// file, the scenario and the key, and reads as its leading integer.
int ReadInt(const GIniFile& ini, const char* key)
{
    return ini.GetInt(key);
}

bool ReadFlag(const GIniFile& ini, const char* key, const std::string& name, const char* word)
{
    if (ini.HasKey(key))
        return ReadInt(ini, key) != 0;
    return name.find(word) != std::string::npos;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}
} // namespace

namespace {
std::mutex g_sharedMutex;
bool g_sharedLoaded = false;
} // namespace

SIM_HighScores& SIM_HighScores::GetInstance()
{
    static SIM_HighScores instance;
    std::lock_guard<std::mutex> lock(g_sharedMutex);
    if (!g_sharedLoaded) {
        g_sharedLoaded = true;
        std::string folder = APP_UserFolders::GetInstance().Get(APP_UserFolders::USER);
        if (folder.empty())
            folder = APP_UserFolders::ResolveUserFolder("");
        instance.Reload(folder);
    }
    return instance;
}

SIM_HighScores& SIM_HighScores::StartShared(const std::string& folder, ScenarioProvider provider)
{
    {
        // Marked first, so that the instance below does not read the files of
        // a folder this start is about to replace.
        std::lock_guard<std::mutex> lock(g_sharedMutex);
        g_sharedLoaded = true;
    }
    SIM_HighScores& scores = GetInstance();
    scores.SetScenarioProvider(std::move(provider));
    scores.Reload(folder);
    return scores;
}

SIM_HighScores::SIM_HighScores(const std::string& folder)
{
    Reload(folder);
}

SIM_HighScores::~SIM_HighScores() = default;

void SIM_HighScores::Reload(const std::string& folder)
{
    m_folder = folder;
    Load();
}

std::string SIM_HighScores::StorableScenarioName(const std::string& name)
{
    std::string out = name;
    for (char& c : out)
        if (c == '[' || c == ']' || c == '\r' || c == '\n' || c == '\0')
            c = '_';
    return out;
}

bool SIM_HighScores::IsStorableItemName(const std::string& item)
{
    // Each item is a bare key line of unl.dat and must read back unchanged.
    if (item.empty() || item.size() > GIniFile::kMaxKey)
        return false;
    if (item[0] == '[' || item[0] == '/' || IsBlank(item.front()) || IsBlank(item.back()))
        return false;
    return item.find_first_of(std::string("=\r\n\0", 4)) == std::string::npos;
}

void SIM_HighScores::Load()
{
    m_records.clear();
    m_unlocked.clear();
    m_unsavedWins.clear();
    m_points = 0;
    std::string text;
    const FileRead read = ReadWholeFile(ScoresPath(), text);
    if (read && !GIniFile::HasContent(text)) {
        // Nothing left to keep: the list starts afresh, written at the next save.
        LOG_ERROR(StrFormat("%s is empty (damaged): the scenario list starts afresh", ScoresPath().c_str()));
        SeedScores(false);
    } else if (read)
        LoadScores(text);
    else
        // A refused file is kept as it is: the scores start afresh in memory.
        SeedScores(read.IsMissing());
    LoadUnlocks();
}

void SIM_HighScores::LoadScores(const std::string& text)
{
    // One pass over the text: a file of thousands of scenarios loads at once.
    GIniFile::Repeats repeated;
    size_t leftOut = 0;
    std::vector<GIniFile> sections =
        GIniFile::ParseSections(text, &repeated, kMaxScoreLines, &leftOut, kMaxScenarioSections);
    // Each kind of damage is told once for the file, never once per section.
    GLogFileTally tally(ScoresPath());
    if (leftOut > 0)
        LOG_ERROR(StrFormat("%s: %zu lines past the first %zu scenario sections or %zu lines left out (damaged)",
                            ScoresPath().c_str(), leftOut, kMaxScenarioSections, kMaxScoreLines));
    // A repeated section would read the first block's values twice.
    if (repeated.count > 0)
        LOG_ERROR(StrFormat("%s: %zu repeated scenario sections ignored (the first: [%s])", ScoresPath().c_str(),
                            repeated.count, repeated.first.c_str()));
    if (sections.empty() && !text.empty())
        LOG_ERROR(StrFormat("%s holds no scenario sections: damaged file ignored", ScoresPath().c_str()));
    int incomplete = 0;
    for (GIniFile& ini : sections) {
        ini.SetFileName(ScoresPath());
        const std::string& name = ini.GetSection();
        if (name.empty()) {
            LOG_ERROR(ScoresPath() + ": unnamed section ignored");
            continue;
        }
        for (int d = 0; d < SIM_ScenarioScore::kDifficulties; ++d)
            if (!ini.HasKey(kBeatenKeys[d]) || !ini.HasKey(kHonourKeys[d])) {
                ++incomplete;
                break;
            }
        auto record = std::make_unique<SIM_ScenarioScore>(name);
        record->tutorial = ReadFlag(ini, "tutorial", name, "tutorial");
        record->survival = ReadFlag(ini, "survival", name, "survival");
        for (int d = 0; d < SIM_ScenarioScore::kDifficulties; ++d) {
            record->beaten[d] = ReadInt(ini, kBeatenKeys[d]) != 0;
            record->highestHonour[d] = ini.GetIntInRange(kHonourKeys[d], 0, INT_MAX);
        }
        record->bestSurvivalScore = std::max(0, ReadInt(ini, kBestSurvivalKey));
        m_records.push_back(std::move(record));
    }
    // A cut-off file loses the last records' values: said once, not per record.
    if (incomplete > 0)
        LOG_ERROR(StrFormat("%s: %d scenario records incomplete (damaged or cut off), missing values read as 0",
                            ScoresPath().c_str(), incomplete));
    // Every line the game writes ends with its line end: a file without the
    // last one was cut inside its last value.
    else if (!text.empty() && text.back() != '\n')
        LOG_ERROR(StrFormat("%s: cut off inside its last line, its last value read as it stands",
                            ScoresPath().c_str()));
}

void SIM_HighScores::SeedScores(bool save)
{
    std::vector<ScenarioInfo> scenarios;
    if (m_provider)
        scenarios = m_provider();
    // Without a scenario list there is nothing to write, and an empty file
    // would stop a later load from seeding.
    if (scenarios.empty()) {
        LOG_DEBUG("No scenarios to seed high scores from");
        return;
    }
    for (const ScenarioInfo& s : scenarios) {
        std::string name = StorableScenarioName(s.name);
        if (FindRecord(name))
            continue;
        auto record = std::make_unique<SIM_ScenarioScore>(name);
        record->tutorial = (s.kind == 2);
        record->survival = (s.kind == 1);
        m_records.push_back(std::move(record));
    }
    if (save)
        SaveHighScores();
}

void SIM_HighScores::LoadUnlocks()
{
    std::string text;
    // A refused file was logged by the reader and is kept as it is.
    if (!ReadWholeFile(UnlocksPath(), text))
        return;
    size_t leftOut = 0;
    std::vector<GIniFile> sections = GIniFile::ParseSections(text, nullptr, kMaxUnlockLines, &leftOut);
    if (leftOut > 0)
        LOG_ERROR(StrFormat("%s: %zu lines past the first %zu left out (damaged)", UnlocksPath().c_str(), leftOut,
                            kMaxUnlockLines));
    GIniFile unlocks, points;
    for (GIniFile& section : sections) {
        section.SetFileName(UnlocksPath());
        if (section.GetSection() == "unlocks" && unlocks.GetSection().empty())
            unlocks = std::move(section);
        else if (section.GetSection() == "points" && points.GetSection().empty())
            points = std::move(section);
    }
    for (size_t i = 0; i < unlocks.GetEntryCount(); ++i)
        m_unlocked.push_back(unlocks.GetKeyAt(i));
    FinishWins(sections);
    if (!points.HasKey("points")) {
        LOG_ERROR(StrFormat("%s has no points (damaged or cut off): 0 points", UnlocksPath().c_str()));
        return;
    }
    m_points = points.GetIntInRange("points", 0, INT_MAX);
}

void SIM_HighScores::FinishWins(const std::vector<GIniFile>& sections)
{
    int finished = 0;
    for (const GIniFile& section : sections) {
        const std::string& name = section.GetSection();
        if (name.compare(0, std::strlen(kWonPrefix), kWonPrefix) != 0)
            continue;
        Win win;
        win.paid = true;
        win.scenario = name.substr(std::strlen(kWonPrefix));
        win.difficulty = section.GetIntInRange("difficulty", 0, SIM_ScenarioScore::kDifficulties - 1);
        win.honour = section.GetIntInRange("honour", 0, INT_MAX);
        SIM_ScenarioScore* record = const_cast<SIM_ScenarioScore*>(FindRecord(win.scenario));
        if (!record) {
            m_records.push_back(std::make_unique<SIM_ScenarioScore>(win.scenario));
            record = m_records.back().get();
        }
        const int d = win.difficulty;
        if (record->beaten[d] && record->highestHonour[d] >= win.honour)
            continue;
        record->beaten[d] = true;
        record->highestHonour[d] = std::max(record->highestHonour[d], win.honour);
        m_unsavedWins.push_back(std::move(win));
        ++finished;
    }
    if (finished == 0)
        return;
    // The points of these wins are in unl.dat already: their honour goes in
    // now, or they wait in unl.dat for the next save.
    LOG_ERROR(StrFormat("%s: %d wins paid in %s but missing here (a save stopped between the two), recorded now",
                        ScoresPath().c_str(), finished, UnlocksPath().c_str()));
    if (SaveHighScores())
        m_unsavedWins.clear();
}

int32_t SIM_HighScores::SavedHonour(const SIM_ScenarioScore& record, int d) const
{
    // An honour whose points unl.dat does not hold yet is not saved: with it,
    // winning again would earn nothing.
    int32_t honour = record.highestHonour[d];
    for (const Win& win : m_unsavedWins)
        if (!win.paid && win.difficulty == d && win.scenario == StorableScenarioName(record.scenarioName))
            honour = std::min(honour, win.earlierHonour);
    return honour;
}

bool SIM_HighScores::SaveHighScores() const
{
    std::string out;
    for (const auto& r : m_records) {
        out += StrFormat("\n[%s]\n", StorableScenarioName(r->scenarioName).c_str());
        out += StrFormat("tutorial = %d\n", r->tutorial ? 1 : 0);
        out += StrFormat("survival = %d\n", r->survival ? 1 : 0);
        for (int d = 0; d < SIM_ScenarioScore::kDifficulties; ++d)
            out += StrFormat("%s = %d\n", kBeatenKeys[d], r->beaten[d] ? 1 : 0);
        for (int d = 0; d < SIM_ScenarioScore::kDifficulties; ++d)
            out += StrFormat("%s = %d\n", kHonourKeys[d], SavedHonour(*r, d));
        if (r->bestSurvivalScore > 0)
            out += StrFormat("%s = %d\n", kBestSurvivalKey, r->bestSurvivalScore);
    }
    if (!WriteFileAtomically(ScoresPath(), out)) {
        LOG_ERROR("Failed to save high scores");
        return false;
    }
    return true;
}

bool SIM_HighScores::SaveUnlocks() const
{
    std::string out = "[unlocks]\n";
    for (const std::string& item : m_unlocked)
        out += item + "\n";
    out += "[points]\n";
    out += StrFormat("points = %d\n", m_points);
    for (const Win& win : m_unsavedWins)
        out += StrFormat("[%s%s]\ndifficulty = %d\nhonour = %d\n", kWonPrefix, win.scenario.c_str(), win.difficulty,
                         win.honour);
    if (!WriteFileAtomically(UnlocksPath(), out)) {
        LOG_ERROR("Failed to save unlocks");
        return false;
    }
    for (Win& win : m_unsavedWins)
        win.paid = true;
    return true;
}

const SIM_ScenarioScore* SIM_HighScores::FindRecord(const std::string& storedName) const
{
    for (const auto& r : m_records)
        if (r->scenarioName == storedName)
            return r.get();
    return nullptr;
}

SIM_ScenarioScore* SIM_HighScores::GetScenarioRecord(const std::string& name)
{
    std::string stored = StorableScenarioName(name);
    if (const SIM_ScenarioScore* r = FindRecord(stored))
        return const_cast<SIM_ScenarioScore*>(r);
    m_records.push_back(std::make_unique<SIM_ScenarioScore>(stored));
    SIM_ScenarioScore* created = m_records.back().get();
    SaveHighScores();
    return created;
}

bool SIM_HighScores::IsUnlocked(const std::string& item) const
{
    for (const std::string& u : m_unlocked)
        if (u == item)
            return true;
    return false;
}

bool SIM_HighScores::AnyScenarioBeaten() const
{
    for (const auto& r : m_records)
        if (!r->tutorial && r->IsBeatenAtAll())
            return true;
    return false;
}

bool SIM_HighScores::IsAvailableAfter(const std::string& unlockedAfter) const
{
    if (unlockedAfter.empty())
        return true;
    const SIM_ScenarioScore* r = FindRecord(StorableScenarioName(unlockedAfter));
    return r && r->beaten[0];
}

bool SIM_HighScores::IsScenarioAvailable(const std::string& scenarioName) const
{
    if (!m_provider)
        return true;
    for (const ScenarioInfo& s : m_provider())
        if (s.name == scenarioName)
            return IsAvailableAfter(s.unlockedAfter);
    return true;
}

bool SIM_HighScores::SpendUnlockPoints(int cost, const std::string& item)
{
    if (cost <= 0) {
        LOG_ERROR(StrFormat("Refused unlock of [%s] at cost %d", item.c_str(), cost));
        return false;
    }
    if (cost > m_points) {
        LOG_ERROR("Spent points that did not exist");
        return false;
    }
    if (IsUnlocked(item)) {
        LOG_ERROR(StrFormat("[%s] is already unlocked", item.c_str()));
        return false;
    }
    if (!IsStorableItemName(item)) {
        LOG_ERROR(StrFormat("Refused unlock item name [%s]", item.c_str()));
        return false;
    }
    m_points -= cost;
    m_unlocked.push_back(item);
    SaveUnlocks();
    return true;
}

void SIM_HighScores::AddPoints(int amount)
{
    long long total = static_cast<long long>(m_points) + amount;
    if (total < 0)
        total = 0;
    if (total > INT_MAX)
        total = INT_MAX;
    m_points = static_cast<int32_t>(total);
    SaveUnlocks();
}

int32_t SIM_HighScores::RecordWin(const std::string& scenarioName, int difficulty, bool earns, int64_t honour)
{
    SIM_ScenarioScore* record = GetScenarioRecord(scenarioName);
    if (!record || difficulty < 0 || difficulty >= SIM_ScenarioScore::kDifficulties)
        return 0;
    const int d = difficulty;
    const bool wasBeaten = record->beaten[d];
    record->beaten[d] = true;
    // Only the improvement over the best budget left earlier earns points;
    // 64 bits, so that no honour read or won wraps the difference.
    const int64_t best = record->highestHonour[d];
    const int64_t won = std::clamp<int64_t>(honour, 0, INT_MAX);
    int32_t earned = 0;
    if (earns && won > best) {
        earned = static_cast<int32_t>(std::min<int64_t>(won - best, INT_MAX));
        m_points = static_cast<int32_t>(std::min<int64_t>(int64_t{m_points} + earned, INT_MAX));
        record->highestHonour[d] = static_cast<int32_t>(won);
        m_unsavedWins.push_back({StorableScenarioName(scenarioName), d, static_cast<int32_t>(won),
                                 static_cast<int32_t>(best), false});
        SaveUnlocks();
    }
    if ((earned > 0 || !wasBeaten) && SaveHighScores())
        // What was paid is in sc.dat now; what was not still waits for unl.dat.
        m_unsavedWins.erase(std::remove_if(m_unsavedWins.begin(), m_unsavedWins.end(),
                                           [](const Win& w) { return w.paid; }),
                            m_unsavedWins.end());
    return earned;
}
