// Any strings file loads into the table; keys and values stay bounded, every
// entry's key is found again, and lookups never fail.
#include "engine/GHashTable.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    GHashTable table;
    table.LoadSectionFromText(text, false);
    table.LoadSectionFromText(text, true);

    std::string key, value;
    for (const std::string& entry : GHashTable::ReadProfileSection(text, "strings")) {
        GHashTable::ParseEntry(entry, key, value);
        if (key.size() > GHashTable::kMaxKey || value.size() > GHashTable::kMaxValue)
            abort();
        int bucket = GHashTable::BucketOf(key.c_str());
        if (bucket < 0 || bucket >= GHashTable::kBucketCount)
            abort();
        // The first record of a key answers, so a non-empty key always finds
        // some value of at most the bound.
        if (std::strlen(table.Lookup(key.c_str())) > GHashTable::kMaxValue)
            abort();
    }
    std::string probe = text.substr(0, 300);
    table.Lookup(probe.c_str());
    return 0;
}
