#include "app/APP_UsageMetrics.h"

#include "engine/APP_UserFolders.h"
#include "engine/GDebugLog.h"
#include "engine/GIniFile.h"
#include "engine/GRandom.h"
#include "engine/GSafeFile.h"
#include "engine/GTokenizer.h"
#include "engine/SaturatingMath.h"
#include "engine/StrFormat.h"
#include "online/SIM_Server.h"
#include "platform/IClock.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {
// A name must read back as itself from um.ini: a comma would split its
// record, a quote group fields, line breaks end it, blanks at the ends are
// trimmed by the reader, and a long name would cut off the numbers after it.
std::string CleanName(const std::string& name)
{
    constexpr size_t kMaxName = 255;
    std::string out = name.substr(0, kMaxName);
    for (char& c : out) {
        if (c == ',' || c == '\n' || c == '\r' || c == '"' || c == '\0')
            c = '_';
    }
    const char* blanks = " \t\v\f";
    const size_t first = out.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return out.substr(first, out.find_last_not_of(blanks) - first + 1);
}

uint64_t SystemSeed()
{
    uint64_t seed = static_cast<uint64_t>(time(nullptr));
    if (FILE* f = fopen("/dev/urandom", "rb")) {
        uint64_t extra = 0;
        if (fread(&extra, sizeof(extra), 1, f) == 1)
            seed ^= extra;
        fclose(f);
    }
    return seed;
}
} // namespace

APP_UsageMetrics& APP_UsageMetrics::GetInstance()
{
    static APP_UsageMetrics instance(APP_UserFolders::GetInstance().Get(APP_UserFolders::USER), &SystemClock(),
                                     SystemSeed());
    return instance;
}

APP_UsageMetrics::APP_UsageMetrics(const std::string& userFolder, const IClock* clock, uint64_t idSeed)
    : m_userFolder(userFolder), m_clock(clock ? clock : &SystemClock())
{
    m_runStart = m_clock->NowMs();
    if (m_userFolder.empty()) {
        LOG_ERROR("Usage metrics: no user folder, nothing will be kept");
        return;
    }
    LoadOrMakeId(idSeed);
    Load();
}

APP_UsageMetrics::~APP_UsageMetrics() = default;

void APP_UsageMetrics::UseUserFolder(const std::string& folder)
{
    if (folder == m_userFolder || folder.empty())
        return;
    m_userFolder = folder;
    m_events.clear();
    m_id = "0000000000";
    LoadOrMakeId(SystemSeed());
    Load();
}

std::string APP_UsageMetrics::GetMetricsPath() const
{
    return m_userFolder.empty() ? std::string() : m_userFolder + "/um.ini";
}

std::string APP_UsageMetrics::GetIdPath() const
{
    return m_userFolder.empty() ? std::string() : m_userFolder + "/met.ini";
}

bool APP_UsageMetrics::IsValidId(const std::string& id)
{
    if (id.size() != static_cast<size_t>(kIdDigits))
        return false;
    for (char c : id) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

std::string APP_UsageMetrics::MakeId(uint64_t seed)
{
    GRandom rng(seed);
    std::string id;
    for (int i = 0; i < kIdDigits; ++i)
        id += static_cast<char>('0' + rng.Next15() % 9);
    return id;
}

void APP_UsageMetrics::LoadOrMakeId(uint64_t seed)
{
    const std::string path = GetIdPath();
    GIniFile ini;
    const FileRead read = ini.Load("data", path.c_str());
    if (read) {
        std::string id = ini.GetString("id");
        if (IsValidId(id)) {
            m_id = id;
            return;
        }
        LOG_ERROR(StrFormat("Usage metrics: bad id in %s, making a new one", path.c_str()));
    }
    m_id = MakeId(seed);
    // A file that is there but could not be read keeps its id for later runs.
    if (read.IsRefused())
        return;
    GIniFile out;
    out.SetSection("data");
    out.SetString("id", m_id);
    GSafeFile file(path);
    out.Save(file);
    if (!file.Commit())
        LOG_ERROR(StrFormat("Usage metrics: cannot write %s", path.c_str()));
}

void APP_UsageMetrics::Merge(const std::string& rawName, bool flag, int32_t count, float value)
{
    const std::string name = CleanName(rawName);
    if (name.empty())
        return;
    auto [it, added] = m_index.try_emplace(name, m_events.size());
    if (!added) {
        APP_UsageEvent& e = m_events[it->second];
        e.total += value;
        e.count = SaturatingAdd(e.count, count);
        e.flag = flag;
        return;
    }
    APP_UsageEvent e;
    e.total = value;
    e.flag = flag;
    e.count = count;
    e.name = name;
    m_events.push_back(std::move(e));
}

void APP_UsageMetrics::AddEventCount(const std::string& name, int count)
{
    Merge(name, false, count, 0.0f);
}

void APP_UsageMetrics::SetEventFlag(const std::string& name)
{
    Merge(name, true, 0, 0.0f);
}

void APP_UsageMetrics::AddEventValue(const std::string& name, float value)
{
    if (!std::isfinite(value))
        return;
    Merge(name, false, 0, value);
}

const APP_UsageEvent* APP_UsageMetrics::FindEvent(const std::string& name) const
{
    auto it = m_index.find(name);
    return it == m_index.end() ? nullptr : &m_events[it->second];
}

int APP_UsageMetrics::GetEventCount(const std::string& name) const
{
    const APP_UsageEvent* e = FindEvent(name);
    if (!e)
        return 0;
    if (e->flag)
        return 1;
    return e->count > 0 ? e->count : 0;
}

void APP_UsageMetrics::MarkRunStart()
{
    m_runStart = m_clock->NowMs();
}

void APP_UsageMetrics::RecordRuntime()
{
    const double seconds = (m_clock->NowMs() - m_runStart) / 1000.0;
    AddEventValue("runtime", static_cast<float>(seconds));
    Save();
    Upload();
}

namespace {
// One field of a record: the whole of it must be the number.
bool ReadField(const std::string& text, double& value)
{
    char* end = nullptr;
    value = strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size() && std::isfinite(value) &&
           text.find_first_of("xXnN") == std::string::npos;
}

// "name,flag,count,total" as Save writes it; false for anything else.
bool ReadRecord(const std::string& value, std::string& name, int& flag, int& count, float& total)
{
    GTokenizer tok(value, ',');
    name = tok.NextString();
    const std::string fields[3] = {tok.NextString(), tok.NextString(), tok.NextString()};
    double numbers[3] = {};
    for (int i = 0; i < 3; ++i)
        if (!ReadField(fields[i], numbers[i]))
            return false;
    if (name.empty() || !tok.NextString().empty() || (numbers[0] != 0.0 && numbers[0] != 1.0) ||
        numbers[1] != std::trunc(numbers[1]))
        return false;
    flag = static_cast<int>(numbers[0]);
    // Counts past the int range saturate, as merging them would.
    count = static_cast<int>(std::clamp(numbers[1], static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
    total = static_cast<float>(numbers[2]);
    return std::isfinite(total);
}
} // namespace

bool APP_UsageMetrics::Load()
{
    const std::string path = GetMetricsPath();
    std::string text;
    if (path.empty() || !ReadWholeFile(path, text, kMaxSaveFileBytes))
        return false;
    // Far more records than the game's events: lines past them are not kept.
    // The counts are rewritten at exit with every number in full (a record of
    // the longest name writes some 320 bytes), and a rewrite past the read cap
    // would be refused at the next start, every count lost with it.
    constexpr size_t kMaxLines = 20000;
    static_assert(kMaxLines * 330 < kMaxSaveFileBytes);
    size_t leftOut = 0;
    const std::vector<GIniFile> sections = GIniFile::ParseSections(text, nullptr, kMaxLines, &leftOut);
    if (leftOut > 0)
        LOG_ERROR(StrFormat("%s: %zu lines past the first %zu left out (damaged)", path.c_str(), leftOut, kMaxLines));
    const GIniFile* d = GIniFile::FindSection(sections, "d");
    // The counts are saved over the file at exit: what could not be read in
    // it is said first.
    if (!d) {
        // The game writes the header even with no counts.
        LOG_ERROR(path + (GIniFile::HasContent(text) ? ": no [d] section" : ": empty (damaged)") +
                  ", the counts start from nothing");
        return true;
    }
    size_t skipped = 0;
    for (size_t i = 0; i < d->GetEntryCount(); ++i) {
        std::string name;
        int flag = 0, count = 0;
        float total = 0.0f;
        if (!ReadRecord(d->GetValueAt(i), name, flag, count, total)) {
            ++skipped;
            continue;
        }
        Merge(name, flag != 0, count, total);
    }
    if (skipped > 0)
        LOG_ERROR(StrFormat("%s [d]: %zu entries are not usage records, left out", path.c_str(), skipped));
    // Every line the game writes ends with its line end.
    else if (text.back() != '\n')
        LOG_ERROR(path + ": cut off inside its last line, read as it stands");
    // The game saves only with the run's time among the counts.
    else if (d->GetEntryCount() == 0)
        LOG_ERROR(path + ": its [d] section holds no counts (damaged), the counts start from nothing");
    return true;
}

bool APP_UsageMetrics::Save() const
{
    const std::string path = GetMetricsPath();
    if (path.empty())
        return false;
    GIniFile ini;
    ini.SetSection("d");
    int index = 0;
    for (const APP_UsageEvent& e : m_events) {
        ini.SetString(StrFormat("%d", index++).c_str(),
                      StrFormat("%s,%d,%d,%.2f", e.name.c_str(), e.flag ? 1 : 0, e.count, e.total));
    }
    GSafeFile file(path);
    ini.Save(file);
    if (!file.Commit()) {
        LOG_ERROR(StrFormat("Usage metrics: cannot write %s", path.c_str()));
        return false;
    }
    return true;
}

bool APP_UsageMetrics::Upload() const
{
    const std::string path = GetMetricsPath();
    // A file the game could not read is not its counts: it is not sent.
    if (path.empty() || GSafeFile::WasRefusedWhenRead(path))
        return false;
    return SIM_Server::GetInstance().PostMetrics(path, m_id);
}
