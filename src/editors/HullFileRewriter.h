#pragma once
#include <string>
#include <vector>

// Rebuilds a hull file's text with some sections regenerated. Everything the
// editor does not own (lines before the first section, comments, other
// sections, odd spacing) is copied byte for byte.
class HullFileRewriter {
public:
    struct Section {
        std::string name; // exact, case-sensitive
        std::string text; // header line, item lines and the closing empty line
        bool hasItems = false;
    };

    // A regenerated section takes the place of the first block of its name
    // (later blocks of the name were merged into it when read, so they go); a
    // section the source lacks is appended when its editor holds items.
    static std::string Rewrite(const std::string& source, const std::vector<Section>& sections);

    // The name a header line gives its section, as the ini reader names it;
    // empty when the line is no header.
    static bool HeaderName(const std::string& line, std::string& name);
};
