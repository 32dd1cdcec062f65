#pragma once
#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <vector>

// The localised string table: keys of the "strings" section of a file, in 54
// buckets chosen by the first and last character of the key (case-blind, but
// keys compare case-sensitively). Records are appended, so the first value of
// a key wins, also against files added later.
class GHashTable {
public:
    static constexpr size_t kMaxKey = 255;
    static constexpr size_t kMaxValue = 2047;
    static constexpr int kBucketCount = 54;

    GHashTable() = default;
    virtual ~GHashTable() = default;
    GHashTable(const GHashTable&) = delete;
    GHashTable& operator=(const GHashTable&) = delete;

    // Reads section "strings" of the file; append=false empties the table first.
    // A missing file or section adds nothing (and still marks the table loaded).
    // A file appended already since the table was last emptied adds nothing
    // again (every campaign opened appends the campaign's strings).
    void LoadSection(const std::string& fileName, bool append);
    // The same, from the file's text already in memory.
    void LoadSectionFromText(const std::string& fileText, bool append);
    const char* Lookup(const char* key) const; // "" when missing
    void Add(const std::string& key, const std::string& value);
    void Clear();
    // Empties the table and forgets the load, so that the next EnsureLoaded
    // reads its file again (a fresh start of the game within one process).
    void Reset();
    bool IsLoaded() const { return m_loaded.load(std::memory_order_acquire); }
    size_t GetRecordCount() const;

    static int BucketOf(const char* key);

    // The lines of a section as an INI profile reader hands them out: trimmed,
    // blanks around the first '=' removed, comment (';') and blank lines left
    // out. Every header of that name (case-blind) contributes, in file order.
    static std::vector<std::string> ReadProfileSection(const std::string& fileText, const std::string& section);
    // Splits one such line into the table's key and value (blanks dropped from
    // the key, quotes dropped from the value, backslash escapes, both bounded).
    static void ParseEntry(const std::string& entry, std::string& key, std::string& value);

    // Loads the file (append=false) unless some load ran before; safe when a
    // worker thread asks for its first text at the same time.
    void EnsureLoaded(const std::string& fileName);

private:
    struct Record {
        std::string key;
        std::string value;
    };
    std::vector<Record> m_buckets[kBucketCount];
    std::atomic<bool> m_loaded{false};
    void LoadLocked(const std::string& fileText, bool append);
    std::mutex m_loadMutex;
    std::string m_section;
    std::string m_fileName;
    std::set<std::string> m_appended;
};

// The process-wide table behind every visible text.
GHashTable& GetStringTable();

// The text of a key: the key itself when the table lacks it or its value is
// empty, "" for an empty key. Loads "data/strings.ini" on first use.
const char* GetString(const char* key);
