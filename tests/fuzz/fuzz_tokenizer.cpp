// Any line splits into fields without fault and within its own length, and a
// finished tokenizer only hands out empty fields.
#include "engine/GTokenizer.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    char separator = static_cast<char>(data[0]);
    bool keepQuotes = (data[1] & 1) != 0;
    std::string line(reinterpret_cast<const char*>(data) + 2, size - 2);

    GTokenizer t(line, separator);
    t.keepQuotes = keepQuotes;
    size_t total = 0;
    size_t fields = 0;
    while (!t.AtEnd()) {
        total += std::strlen(t.NextField());
        if (++fields > line.size() + 1 || total > line.size())
            abort();
    }
    if (t.NextField()[0] != '\0' || !t.NextString().empty())
        abort();

    GTokenizer numbers(line, separator);
    for (size_t i = 0; i <= fields; ++i) {
        numbers.NextInt();
        numbers.NextFloat();
    }
    return 0;
}
