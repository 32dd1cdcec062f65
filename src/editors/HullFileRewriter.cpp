#include "editors/HullFileRewriter.h"

bool HullFileRewriter::HeaderName(const std::string& line, std::string& name)
{
    if (line.empty() || line[0] != '[')
        return false;
    size_t end = line.size();
    while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == '\t' || line[end - 1] == '\r' || line[end - 1] == '\n'))
        --end;
    name = end >= 2 ? line.substr(1, end - 2) : std::string();
    return true;
}

std::string HullFileRewriter::Rewrite(const std::string& source, const std::vector<Section>& sections)
{
    std::vector<bool> written(sections.size(), false);
    std::string out;
    out.reserve(source.size() + 256);
    const Section* current = nullptr; // the owned section whose old lines are being skipped
    size_t pos = 0;
    while (pos < source.size()) {
        const size_t eol = source.find('\n', pos);
        const size_t next = eol == std::string::npos ? source.size() : eol + 1;
        const std::string line = source.substr(pos, next - pos);
        pos = next;
        std::string name;
        if (HeaderName(line, name)) {
            current = nullptr;
            for (size_t i = 0; i < sections.size(); ++i) {
                if (sections[i].name != name)
                    continue;
                current = &sections[i];
                if (!written[i]) {
                    // An unterminated last line before it would join the header.
                    if (!out.empty() && out.back() != '\n')
                        out.push_back('\n');
                    out += sections[i].text;
                    written[i] = true;
                }
                break;
            }
            if (current)
                continue;
        }
        if (!current)
            out += line;
    }
    for (size_t i = 0; i < sections.size(); ++i) {
        if (written[i] || !sections[i].hasItems)
            continue;
        if (!out.empty() && out.back() != '\n')
            out.push_back('\n');
        if (!out.empty() && out.size() >= 2 && out.compare(out.size() - 2, 2, "\n\n") != 0)
            out.push_back('\n');
        out += sections[i].text;
    }
    return out;
}
