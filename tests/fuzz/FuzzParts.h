#pragma once
// An input that stands for several files: the parts follow one another, each
// after a line "==" (the first part needs none). Part i becomes file i of the
// caller's list; missing parts leave their files absent.
#include <cstdint>
#include <string>
#include <vector>

inline std::vector<std::string> FuzzParts(const uint8_t* data, size_t size, size_t count)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts;
    size_t pos = 0;
    while (parts.size() < count && pos <= text.size()) {
        const size_t next = text.find("\n==\n", pos);
        if (next == std::string::npos) {
            parts.push_back(text.substr(pos));
            break;
        }
        parts.push_back(text.substr(pos, next - pos + 1));
        pos = next + 4;
    }
    return parts;
}
