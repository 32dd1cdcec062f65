#include "engine/MarkedLines.h"

#include <sstream>

void ForEachMarkedLine(const std::string& text, size_t maxLine, const std::function<void(const std::string&)>& visit,
                       size_t* tooLong)
{
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.compare(0, 2, "##") != 0)
            continue;
        if (line.size() > maxLine) {
            if (tooLong)
                ++*tooLong;
            continue;
        }
        visit(line);
    }
}
