#include "engine/GHashTable.h"

#include "engine/GDebugLog.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"

#include <cstring>

namespace {
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Locale-blind on purpose: the bucket of a key must not move with the locale.
int LetterIndex(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        c = static_cast<unsigned char>(c - 'A' + 'a');
    return (c >= 'a' && c <= 'z') ? c - 'a' : 26;
}

std::string Trim(const std::string& s, size_t begin, size_t end)
{
    while (begin < end && IsBlank(s[begin]))
        ++begin;
    while (end > begin && IsBlank(s[end - 1]))
        --end;
    return s.substr(begin, end - begin);
}

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

// The section name of a header line ("[ name ]"), or false for other lines.
bool HeaderName(const std::string& line, std::string& name)
{
    if (line.empty() || line[0] != '[')
        return false;
    size_t close = line.find(']');
    name = Trim(line, 1, close == std::string::npos ? line.size() : close);
    return true;
}
} // namespace

int GHashTable::BucketOf(const char* key)
{
    if (!key || !key[0])
        return 0;
    size_t len = std::strlen(key);
    return LetterIndex(static_cast<unsigned char>(key[0])) + LetterIndex(static_cast<unsigned char>(key[len - 1]));
}

std::vector<std::string> GHashTable::ReadProfileSection(const std::string& fileText, const std::string& section)
{
    std::vector<std::string> entries;
    bool inside = false;
    size_t pos = 0;
    while (pos < fileText.size()) {
        size_t eol = fileText.find('\n', pos);
        size_t end = (eol == std::string::npos) ? fileText.size() : eol;
        std::string line = Trim(fileText, pos, end);
        pos = (eol == std::string::npos) ? fileText.size() : eol + 1;
        // A NUL would end the entry for the reader; nothing after it counts.
        if (size_t nul = line.find('\0'); nul != std::string::npos)
            line = Trim(line, 0, nul);

        std::string name;
        if (HeaderName(line, name)) {
            inside = SameNameIgnoringCase(name, section);
            continue;
        }
        if (!inside || line.empty() || line[0] == ';')
            continue;
        size_t eq = line.find('=');
        if (eq != std::string::npos)
            line = Trim(line, 0, eq) + "=" + Trim(line, eq + 1, line.size());
        entries.push_back(std::move(line));
    }
    return entries;
}

void GHashTable::ParseEntry(const std::string& entry, std::string& key, std::string& value)
{
    key.clear();
    value.clear();
    size_t i = 0;
    // The key stops at the entry's end too: an entry without '=' is a key
    // with an empty value and never reaches into the next entry.
    for (; i < entry.size() && entry[i] != '='; ++i) {
        if (!IsBlank(entry[i]) && key.size() < kMaxKey)
            key += entry[i];
    }
    bool escaped = false;
    for (; i < entry.size(); ++i) {
        char c = entry[i];
        bool special = (c == '=' || c == '"' || c == '\n');
        if (escaped) {
            escaped = false;
            if (special) {
                if (value.size() < kMaxValue)
                    value += c;
                continue;
            }
        }
        if (c == '\\') {
            escaped = true;
            continue;
        }
        if (!special && value.size() < kMaxValue)
            value += c;
    }
}

void GHashTable::Add(const std::string& key, const std::string& value)
{
    Record r;
    r.key = key.substr(0, kMaxKey);
    r.value = value.substr(0, kMaxValue);
    m_buckets[BucketOf(r.key.c_str())].push_back(std::move(r));
}

const char* GHashTable::Lookup(const char* key) const
{
    if (!key || !key[0])
        return "";
    for (const Record& r : m_buckets[BucketOf(key)])
        if (std::strcmp(r.key.c_str(), key) == 0)
            return r.value.c_str();
    return "";
}

void GHashTable::Clear()
{
    for (auto& bucket : m_buckets)
        bucket.clear();
    m_appended.clear();
}

void GHashTable::Reset()
{
    std::lock_guard<std::mutex> lock(m_loadMutex);
    Clear();
    m_loaded.store(false, std::memory_order_release);
}

size_t GHashTable::GetRecordCount() const
{
    size_t n = 0;
    for (const auto& bucket : m_buckets)
        n += bucket.size();
    return n;
}

void GHashTable::LoadLocked(const std::string& fileText, bool append)
{
    if (!append)
        Clear();
    m_section = "strings";
    std::string key, value;
    const std::vector<std::string> entries = ReadProfileSection(fileText, m_section);
    size_t bare = 0;
    for (const std::string& entry : entries) {
        ParseEntry(entry, key, value);
        // "//" lines are the file's notes.
        if (entry.find('=') == std::string::npos && entry.compare(0, 2, "//") != 0)
            ++bare;
        Add(key, value);
    }
    // The game's texts show their keys where a file of them is damaged:
    // said once a file. (Other tables read their own sections.)
    const bool texts = this == &GetStringTable() && !m_fileName.empty();
    if (texts && entries.empty())
        LOG_ERROR(m_fileName + " [strings]: no texts in it (empty, cut or damaged), keys shown instead");
    else if (texts && bare > 0)
        LOG_ERROR(StrFormat("%s [strings]: %zu lines without '=' (damaged or cut off), read as empty texts",
                            m_fileName.c_str(), bare));
    // Cut inside a text: what is left of it reads as the whole text.
    else if (texts && fileText.back() != '\n')
        LOG_ERROR(m_fileName + ": cut off inside its last line, its last text read as it stands");
    // Set last, so that a reader that sees it also sees the records.
    m_loaded.store(true, std::memory_order_release);
}

void GHashTable::LoadSection(const std::string& fileName, bool append)
{
    std::string text;
    // A missing file is an empty section.
    const bool found = !ReadWholeFile(fileName, text).IsMissing();
    std::lock_guard<std::mutex> lock(m_loadMutex);
    if (append && !m_appended.insert(fileName).second)
        return;
    m_fileName = found ? fileName : std::string();
    LoadLocked(text, append);
}

void GHashTable::LoadSectionFromText(const std::string& fileText, bool append)
{
    std::lock_guard<std::mutex> lock(m_loadMutex);
    m_fileName.clear();
    LoadLocked(fileText, append);
}

void GHashTable::EnsureLoaded(const std::string& fileName)
{
    if (IsLoaded())
        return;
    std::string text;
    std::lock_guard<std::mutex> lock(m_loadMutex);
    if (IsLoaded())
        return;
    const bool found = !ReadWholeFile(fileName, text).IsMissing();
    m_fileName = found ? fileName : std::string();
    LoadLocked(text, false);
}

GHashTable& GetStringTable()
{
    static GHashTable table;
    return table;
}

const char* GetString(const char* key)
{
    if (!key || !key[0])
        return "";
    GHashTable& table = GetStringTable();
    if (!table.IsLoaded()) {
        static const std::string kStringsFile = "data/strings.ini";
        table.EnsureLoaded(kStringsFile);
    }
    const char* value = table.Lookup(key);
    return value[0] ? value : key;
}
