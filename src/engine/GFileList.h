#pragma once
#include <string>
#include <vector>

// The names of files or sub-folders matching a mask such as "data/modules/*.txt".
// Each search appends its matches sorted (case-insensitively, then bytewise),
// since Linux folder order is arbitrary and many lookups keep the first match.
class GFileList {
public:
    explicit GFileList(bool prefixFolder = true) : prefixFolder(prefixFolder) {}

    void FindFiles(const std::string& mask);
    void FindFolders(const std::string& mask);

    bool prefixFolder;
    std::vector<std::string> names;

private:
    void Find(const std::string& mask, bool folders);
};

// Sorts names case-insensitively first and bytewise among equals.
void SortFileNames(std::vector<std::string>& names);
