#include "engine/GIniFile.h"

#include "engine/GDebugLog.h"
#include "engine/GRandom.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace {
// Settings and content alike; um.ini keeps every usage event, a few MB at most.
constexpr size_t kMaxIniFileBytes = 8u << 20;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string TrimRight(std::string s)
{
    while (!s.empty() && IsBlank(s.back()))
        s.pop_back();
    return s;
}

std::string TrimLeft(const std::string& s)
{
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    return s.substr(i);
}
} // namespace

float ParseLeadingFloat(const char* text, bool* nonFinite)
{
    if (nonFinite)
        *nonFinite = false;
    if (!text)
        return 0.0f;
    char* end = nullptr;
    errno = 0;
    double d = strtod(text, &end);
    if (end == text)
        return 0.0f;
    // nan, inf and numbers beyond a float's range would reach positions and
    // costs and poison every sum they enter.
    const float f = static_cast<float>(d);
    if (!std::isfinite(f)) {
        if (nonFinite)
            *nonFinite = true;
        return 0.0f;
    }
    return f;
}

int ParseLeadingInt(const char* text)
{
    if (!text)
        return 0;
    char* end = nullptr;
    long long v = strtoll(text, &end, 10);
    if (end == text)
        return 0;
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

void GIniFile::Clear()
{
    m_entries.clear();
    m_cursor = 0;
    m_cutOff = false;
}

FileRead GIniFile::Load(const char* section, const char* fileName)
{
    Clear();
    m_fileName = fileName ? fileName : "";
    m_section = section ? section : "";
    std::string text;
    if (!fileName)
        return FileRead{FileRead::MISSING};
    const FileRead read = ReadWholeFile(fileName, text, kMaxIniFileBytes);
    if (read) {
        ParseLines(text);
        m_cutOff = !text.empty() && text.back() != '\n';
    }
    return read;
}

bool GIniFile::LoadFromText(const char* section, const std::string& text)
{
    Clear();
    m_fileName.clear();
    m_section = section ? section : "";
    ParseLines(text);
    m_cutOff = !text.empty() && text.back() != '\n';
    return true;
}

// Walks the lines once: a section line calls onHeader with the line (trimmed),
// which says whether the entries below it are wanted; wanted key/value lines
// call onEntry.
template <class Header, class Entry>
static void WalkLines(const std::string& text, Header onHeader, Entry onEntry)
{
    bool inside = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        std::string line = text.substr(pos, eol == std::string::npos ? std::string::npos : eol - pos);
        pos = (eol == std::string::npos) ? text.size() : eol + 1;
        // A NUL byte ends the line as it would a C reader's.
        if (size_t nul = line.find('\0'); nul != std::string::npos)
            line.resize(nul);

        if (!line.empty() && line[0] == '[') {
            inside = onHeader(TrimRight(line));
            continue;
        }
        if (!inside)
            continue;

        size_t eq = line.find('=');
        std::string key, value;
        if (eq == std::string::npos) {
            key = TrimRight(TrimLeft(line));
        } else {
            key = TrimRight(TrimLeft(line.substr(0, eq)));
            value = TrimRight(TrimLeft(line.substr(eq + 1)));
        }
        if (!key.empty())
            onEntry(key, value);
    }
}

void GIniFile::ParseLines(const std::string& text)
{
    const std::string header = "[" + m_section + "]";
    WalkLines(
        text, [&](const std::string& line) { return line == header; },
        [&](const std::string& key, const std::string& value) { Set(key.c_str(), value.c_str()); });
}

std::vector<GIniFile> GIniFile::ParseSections(const std::string& text, Repeats* repeated, size_t maxLines,
                                              size_t* leftOut, size_t maxSections)
{
    std::vector<GIniFile> sections;
    std::unordered_map<std::string, size_t> index;
    GIniFile* current = nullptr;
    size_t kept = 0, dropped = 0;
    WalkLines(
        text,
        [&](const std::string& line) {
            // Named as ListSections names them; only a closed header takes entries.
            std::string name = line.size() >= 2 ? line.substr(1, line.size() - 2) : std::string();
            auto it = index.find(name);
            if (it == index.end()) {
                if (kept >= maxLines || sections.size() >= maxSections) {
                    // Its entries are counted as left out too.
                    ++dropped;
                    current = nullptr;
                    return true;
                }
                ++kept;
                it = index.emplace(name, sections.size()).first;
                sections.emplace_back();
                sections.back().m_section = name;
            } else if (repeated && !name.empty()) {
                if (repeated->count++ == 0)
                    repeated->first = name;
            }
            current = &sections[it->second];
            return line.size() >= 2 && line.back() == ']';
        },
        [&](const std::string& key, const std::string& value) {
            if (!current || kept >= maxLines) {
                ++dropped;
                return;
            }
            ++kept;
            current->Set(key.c_str(), value.c_str());
        });
    if (leftOut)
        *leftOut = dropped;
    return sections;
}

void GIniFile::Set(const char* key, const char* value)
{
    if (!key || key[0] == '/')
        return;
    Entry e;
    e.key = key;
    if (e.key.size() > kMaxKey)
        e.key.resize(kMaxKey);
    const char* v = value ? value : "";
    if (v[0] == '"') {
        const char* start = v + 1;
        const char* close = std::strchr(start, '"');
        e.value = close ? std::string(start, close) : std::string(start);
    } else {
        e.value = v;
    }
    if (e.value.size() > kMaxValue)
        e.value.resize(kMaxValue);
    m_entries.push_back(std::move(e));
}

void GIniFile::SetRect(const char* key, int left, int top, int right, int bottom)
{
    char buf[64];
    snprintf(buf, sizeof buf, "%d,%d,%d,%d", left, top, right, bottom);
    Set(key, buf);
}

const GIniFile::Entry* GIniFile::Find(const char* key) const
{
    if (!key)
        return nullptr;
    for (const Entry& e : m_entries)
        if (e.key == key)
            return &e;
    return nullptr;
}

const char* GIniFile::GetString(const char* key) const
{
    const Entry* e = Find(key);
    return e ? e->value.c_str() : "";
}

namespace {
// A value as the log shows it: a long one is cut, so that a damaged file
// costs one short line per key.
std::string Shown(const std::string& value)
{
    constexpr size_t kShown = 40;
    return value.size() <= kShown ? value : value.substr(0, kShown) + "...";
}

bool OnlyBlanksFrom(const char* p)
{
    while (*p && IsBlank(*p))
        ++p;
    return *p == '\0';
}

// How a value reads as a whole number.
enum class WholeRead { WHOLE, NOT_WHOLE, OUT_OF_RANGE };

// A value read as a whole number: its decimal integer; a decimal number with
// a fraction or an exponent ("12.5", "1e3") cut to its integer part; anything
// else its leading integer, 0 when it has none. A number beyond the int range
// ("99999999999", "1e20") is held to it and read as OUT_OF_RANGE: an id or a
// count taken at the top of int would wrap at its next use. NOT_WHOLE when
// the text is not one decimal integer (a fraction, "nan", "0x10", "12abc").
WholeRead ReadWholeNumber(const std::string& text, int& value)
{
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long long whole = strtoll(start, &end, 10);
    const bool digits = end != start;
    const bool beyond = digits && (errno == ERANGE || whole > INT_MAX || whole < INT_MIN);
    value = whole > INT_MAX ? INT_MAX : (whole < INT_MIN ? INT_MIN : static_cast<int>(whole));
    if (!digits)
        value = 0;
    if (digits && OnlyBlanksFrom(end))
        return beyond ? WholeRead::OUT_OF_RANGE : WholeRead::WHOLE;
    // strtod also takes hexadecimal, "inf" and "nan": only digits, signs, a
    // point and an exponent make a decimal number here.
    const bool decimal = text.find_first_not_of("0123456789+-.eE \t\r\n\v\f") == std::string::npos;
    const double d = decimal ? strtod(start, &end) : 0.0;
    if (decimal && end != start && OnlyBlanksFrom(end) && std::isfinite(d)) {
        const double cut = std::trunc(d);
        if (cut > static_cast<double>(INT_MAX) || cut < static_cast<double>(INT_MIN)) {
            value = cut > 0 ? INT_MAX : INT_MIN;
            return WholeRead::OUT_OF_RANGE;
        }
        value = static_cast<int>(cut);
        // "12.00" (how some numbers are written) is a whole number.
        return cut == d ? WholeRead::WHOLE : WholeRead::NOT_WHOLE;
    }
    return WholeRead::NOT_WHOLE;
}

// A value read as a float: the longest valid leading number (0 when there is
// none or it is not finite). False when that is not the whole text.
bool ReadNumber(const std::string& text, float& value)
{
    bool nonFinite = false;
    value = ParseLeadingFloat(text.c_str(), &nonFinite);
    if (nonFinite)
        return false;
    char* end = nullptr;
    strtod(text.c_str(), &end);
    return end != text.c_str() && OnlyBlanksFrom(end);
}
} // namespace

float GIniFile::GetFloat(const char* key, float defaultValue) const
{
    const Entry* e = Find(key);
    if (!e || e->value.empty())
        return defaultValue;
    bool nonFinite = false;
    const float value = ParseLeadingFloat(e->value.c_str(), &nonFinite);
    if (nonFinite) {
        LOG_ERROR(StrFormat("%s [%s] %s: not a finite number, ignored", m_fileName.c_str(), m_section.c_str(), key));
        return defaultValue;
    }
    float whole = 0.0f;
    if (!ReadNumber(e->value, whole))
        LOG_ERROR(StrFormat("%s [%s] %s = %s: not a number, %g used", m_fileName.c_str(), m_section.c_str(), key,
                            Shown(e->value).c_str(), static_cast<double>(value)));
    return value;
}

const GIniFile* GIniFile::FindSection(const std::vector<GIniFile>& sections, const std::string& name)
{
    for (const GIniFile& s : sections)
        if (s.GetSection() == name)
            return &s;
    return nullptr;
}

bool GIniFile::HasContent(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return !IsBlank(c); });
}

int GIniFile::GetInt(const char* key) const
{
    const Entry* e = Find(key);
    if (!e || e->value.empty())
        return 0;
    int value = 0;
    const WholeRead read = ReadWholeNumber(e->value, value);
    if (read == WholeRead::NOT_WHOLE)
        LOG_ERROR(StrFormat("%s [%s] %s = %s: not a whole number, %d used", m_fileName.c_str(), m_section.c_str(),
                            key, Shown(e->value).c_str(), value));
    else if (read == WholeRead::OUT_OF_RANGE)
        LOG_ERROR(StrFormat("%s [%s] %s = %s: out of range %d..%d, %d used", m_fileName.c_str(), m_section.c_str(),
                            key, Shown(e->value).c_str(), INT_MIN, INT_MAX, value));
    return value;
}

int GIniFile::GetIntQuietly(const char* key) const
{
    const Entry* e = Find(key);
    int value = 0;
    if (e && !e->value.empty())
        ReadWholeNumber(e->value, value);
    return value;
}

int GIniFile::GetIntInRange(const char* key, int low, int high) const
{
    const Entry* e = Find(key);
    if (!e)
        return std::clamp(0, low, high);
    int value = 0;
    // A number a save or a setting must hold and does not (blank, "nan",
    // "12abc") is told like one out of its range: one line, the bound kept.
    const WholeRead read = e->value.empty() ? WholeRead::NOT_WHOLE : ReadWholeNumber(e->value, value);
    const int bounded = std::clamp(value, low, high);
    if (read == WholeRead::NOT_WHOLE)
        LOG_ERROR(StrFormat("%s [%s] %s = %s: not a whole number, %d used", m_fileName.c_str(), m_section.c_str(),
                            key, Shown(e->value).c_str(), bounded));
    else if (bounded != value || read == WholeRead::OUT_OF_RANGE)
        LOG_ERROR(StrFormat("%s [%s] %s = %s: out of range %d..%d, %d used", m_fileName.c_str(), m_section.c_str(),
                            key, Shown(e->value).c_str(), low, high, bounded));
    return bounded;
}

float GIniFile::GetFloatInRange(const char* key, float low, float high, float defaultValue) const
{
    const Entry* e = Find(key);
    if (!e || e->value.empty())
        return defaultValue;
    float value = 0.0f;
    const bool number = ReadNumber(e->value, value);
    if (!number)
        value = defaultValue;
    const float bounded = std::clamp(value, low, high);
    if (!number)
        LOG_ERROR(StrFormat("%s [%s] %s = %s: not a number, %g used", m_fileName.c_str(), m_section.c_str(), key,
                            Shown(e->value).c_str(), static_cast<double>(bounded)));
    else if (bounded != value)
        LOG_ERROR(StrFormat("%s [%s] %s = %s: out of range %g..%g, %g used", m_fileName.c_str(), m_section.c_str(),
                            key, Shown(e->value).c_str(), static_cast<double>(low), static_cast<double>(high),
                            static_cast<double>(bounded)));
    return bounded;
}

bool GIniFile::HasKey(const char* key) const
{
    return Find(key) != nullptr;
}

std::string GIniFile::GetRandomValue() const
{
    if (m_entries.empty())
        return std::string();
    return m_entries[static_cast<size_t>(QlmRand()) % m_entries.size()].value;
}

bool GIniFile::GetNextValue(std::string& value)
{
    if (m_cursor < 0 || static_cast<size_t>(m_cursor) >= m_entries.size()) {
        value.clear();
        return false;
    }
    value = m_entries[static_cast<size_t>(m_cursor++)].value;
    return true;
}

bool GIniFile::GetNextEntry(std::string& key, std::string& value)
{
    if (m_cursor < 0 || static_cast<size_t>(m_cursor) >= m_entries.size()) {
        key.clear();
        value.clear();
        return false;
    }
    const Entry& e = m_entries[static_cast<size_t>(m_cursor++)];
    key = e.key;
    value = e.value;
    return true;
}

std::string GIniFile::SaveToText() const
{
    std::string out = "[" + m_section + "]\n";
    for (const Entry& e : m_entries) {
        out += e.key;
        if (!e.value.empty()) {
            out += " = ";
            out += e.value;
        }
        out += '\n';
    }
    out += '\n';
    return out;
}

void GIniFile::Save(FILE* file) const
{
    if (!file)
        return;
    std::string text = SaveToText();
    fwrite(text.data(), 1, text.size(), file);
}

void GIniFile::Save(GSafeFile& file) const
{
    file.Write(SaveToText());
}

bool GIniFile::SplitSections(const char* fileName, SectionTexts& out)
{
    out.names.clear();
    out.lines.clear();
    out.fileName = fileName ? fileName : "";
    out.cutOff = false;
    std::string text;
    if (!fileName || !ReadWholeFile(fileName, text, kMaxIniFileBytes))
        return false;
    out.cutOff = !text.empty() && text.back() != '\n';
    std::string* block = nullptr;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        std::string line = text.substr(pos, eol == std::string::npos ? std::string::npos : eol - pos);
        pos = (eol == std::string::npos) ? text.size() : eol + 1;
        if (!line.empty() && line[0] == '[') {
            // Named as ListSections names it, grouped as ParseLines matches it.
            const std::string named = TrimRight(line);
            out.names.push_back(named.size() >= 2 ? named.substr(1, named.size() - 2) : std::string());
        }
        if (size_t nul = line.find('\0'); nul != std::string::npos)
            line.resize(nul);
        if (!line.empty() && line[0] == '[') {
            block = &out.lines[TrimRight(line)];
            continue;
        }
        if (block) {
            block->append(line);
            block->push_back('\n');
        }
    }
    return true;
}

bool GIniFile::LoadFromSections(const char* section, const SectionTexts& texts)
{
    const std::string header = std::string("[") + (section ? section : "") + "]";
    auto it = texts.lines.find(header);
    const bool ok = LoadFromText(section, it == texts.lines.end() ? std::string() : header + "\n" + it->second);
    m_fileName = texts.fileName;
    return ok;
}

void GIniFile::ListSections(std::vector<std::string>& names, const char* fileName)
{
    names.clear();
    std::string text;
    if (!fileName || !ReadWholeFile(fileName, text, kMaxIniFileBytes))
        return;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        std::string line = text.substr(pos, eol == std::string::npos ? std::string::npos : eol - pos);
        pos = (eol == std::string::npos) ? text.size() : eol + 1;
        if (line.empty() || line[0] != '[')
            continue;
        line = TrimRight(line);
        if (line.size() >= 2)
            names.push_back(line.substr(1, line.size() - 2));
        else
            names.push_back(std::string());
    }
}
