#pragma once
#include <string>
#include <vector>

// A table file whose rows are the lines that begin with '#'; every other line
// (headings, notes, blanks) is ignored. Rows keep their '#' and line end.
class GSpreadsheet {
public:
    explicit GSpreadsheet(const std::string& fileName);
    void Load(const std::string& fileName);
    void LoadFromText(const std::string& text);

    std::vector<std::string> rows;
};
