#pragma once
#include "engine/GSafeFile.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// One [section] of key = value lines of a text file. Entries keep file order;
// Set appends (never replaces) and lookups take the first entry of a key.
class GIniFile {
public:
    static constexpr size_t kMaxKey = 255;
    static constexpr size_t kMaxValue = 2047;

    GIniFile() = default;
    ~GIniFile() = default;

    // Empty (and the file kept as found) when the file was refused.
    FileRead Load(const char* section, const char* fileName);
    FileRead LoadString(const char* section, const std::string& fileName) { return Load(section, fileName.c_str()); }
    // Parses text already in memory as if it were the file's contents.
    bool LoadFromText(const char* section, const std::string& text);

    const char* GetString(const char* key) const;
    // A value that is not a finite number is logged (file, section, key) and
    // reads as the default; one with text after its number ("0.5abc") reads
    // as that number, logged.
    float GetFloat(const char* key, float defaultValue) const;
    // The value's whole number, 0 when missing or blank. Anything but a whole
    // number ("12abc", "nan", "0x10", "12.5") is logged (file, section, key)
    // and reads as its leading integer, a decimal number cut to its integer
    // part; numbers beyond the int range are held to it, logged too.
    int GetInt(const char* key) const;
    // The number GetInt reads, without its line: for a check that a load
    // after it tells.
    int GetIntQuietly(const char* key) const;
    // GetInt kept within low..high: a value outside, blank or not a whole
    // number is logged (file, section, key) and the nearest bound used; a
    // missing key reads as 0 held to the bounds, without a line.
    int GetIntInRange(const char* key, int low, int high) const;
    float GetFloatInRange(const char* key, float low, float high, float defaultValue) const;
    bool HasKey(const char* key) const;
    // Whether the text loaded ends inside its last line: every line the game
    // writes ends with its line end, so such a file was cut off. A key
    // missing from a whole file (an earlier version's, one written by hand)
    // is no damage.
    bool IsCutOff() const { return m_cutOff; }
    std::string GetRandomValue() const;

    bool GetNextValue(std::string& value);
    bool GetNextEntry(std::string& key, std::string& value);

    void Set(const char* key, const char* value);
    void SetString(const char* key, const std::string& value) { Set(key, value.c_str()); }
    void SetRect(const char* key, int left, int top, int right, int bottom);

    void Save(FILE* file) const;
    void Save(GSafeFile& file) const;
    std::string SaveToText() const;

    void Clear();
    static void ListSections(std::vector<std::string>& names, const char* fileName);
    // Extra blocks of sections already seen, counted rather than kept: a file
    // of millions of them holds no more memory than one. Unnamed ones ("[]")
    // are not counted; their readers tell them on their own.
    struct Repeats {
        size_t count = 0;
        std::string first; // the first repeated name
    };
    // Every section of the text in one pass, in order of first appearance; a
    // repeated section gathers the entries of all its blocks, as Load would,
    // and *repeated counts its extra blocks. At most maxLines sections and
    // entries, and at most maxSections sections, are kept, so that memory
    // (and what a reader rewrites) follows what the file can sensibly hold;
    // *leftOut counts the lines past them.
    static std::vector<GIniFile> ParseSections(const std::string& text, Repeats* repeated = nullptr,
                                               size_t maxLines = SIZE_MAX, size_t* leftOut = nullptr,
                                               size_t maxSections = SIZE_MAX);
    // The section of that name among sections, or null.
    static const GIniFile* FindSection(const std::vector<GIniFile>& sections, const std::string& name);
    // Whether text holds anything but blanks: a file without the section its
    // reader wants is damaged then, not merely empty.
    static bool HasContent(const std::string& text);

    // A file read and split once, for readers that load many of its sections:
    // the section names as ListSections gives them, and each header's lines.
    struct SectionTexts {
        std::vector<std::string> names;
        std::unordered_map<std::string, std::string> lines; // by header line, "[name]"
        std::string fileName; // named in the lines a section logs
        bool cutOff = false;  // the text ends inside its last line, as IsCutOff
    };
    static bool SplitSections(const char* fileName, SectionTexts& out);
    // The same entries Load(section, fileName) would give, without the file.
    bool LoadFromSections(const char* section, const SectionTexts& texts);

    size_t GetEntryCount() const { return m_entries.size(); }
    const std::string& GetKeyAt(size_t i) const { return m_entries[i].key; }
    const std::string& GetValueAt(size_t i) const { return m_entries[i].value; }
    const std::string& GetSection() const { return m_section; }
    void SetSection(const std::string& section) { m_section = section; }
    const std::string& GetFileName() const { return m_fileName; }
    void SetFileName(const std::string& fileName) { m_fileName = fileName; }

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    const Entry* Find(const char* key) const;
    void ParseLines(const std::string& text);

    std::vector<Entry> m_entries;
    int m_cursor = 0;
    std::string m_section;
    std::string m_fileName;
    bool m_cutOff = false;
};

// Numeric conversions of the readers: the longest valid leading number, 0 when
// there is none, no length limit. A float that is not finite (nan, inf, beyond
// the float range) reads as 0 and sets *nonFinite.
float ParseLeadingFloat(const char* text, bool* nonFinite = nullptr);
int ParseLeadingInt(const char* text);
