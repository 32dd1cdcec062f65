#pragma once
#include <string>
#include <vector>

// The localised string table: keys of the "strings" section of a file, in 54
// buckets chosen by the first and last character of the key.
class GHashTable {
public:
    GHashTable() = default;
    virtual ~GHashTable() = default;

    // Reads section "strings" of the file; append=false empties the table first.
    void LoadSection(const std::string& fileName, bool append);
    const char* Lookup(const char* key) const; // "" when missing
    void Add(const std::string& key, const std::string& value);
    void Clear();
    bool IsLoaded() const { return m_loaded; }

    static int BucketOf(const char* key);

private:
    struct Record {
        std::string key;
        std::string value;
    };
    std::vector<Record> m_buckets[54];
    bool m_loaded = false;
    std::string m_section;
    std::string m_fileName;
};

// The process-wide table behind every visible text.
GHashTable& GetStringTable();

// The text of a key: the key itself when the table lacks it or its value is
// empty, "" for an empty key. Loads "data/strings.ini" on first use.
const char* GetString(const char* key);
