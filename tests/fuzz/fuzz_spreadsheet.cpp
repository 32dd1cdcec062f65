// Any text loads; every row starts with '#' and no row is longer than its line.
#include "engine/GSpreadsheet.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    GSpreadsheet sheet("");
    sheet.LoadFromText(text);
    size_t total = 0;
    for (const std::string& row : sheet.rows) {
        if (row.empty() || row[0] != '#')
            abort();
        total += row.size();
    }
    if (total > text.size())
        abort();
    return 0;
}
