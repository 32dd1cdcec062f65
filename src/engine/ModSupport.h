#pragma once
#include <string>
#include <vector>

class GFileList;

// Searches the extra install folders for content; callers search the game's
// own data folder themselves first.
class ModSupport {
public:
    // Appends the matches of "<folder>/<pattern>" for every install folder,
    // in folder order.
    static void FindFiles(GFileList* out, const char* pattern);
    // Appends the hull folders ("<folder>/data/hulls/*") of every install folder.
    static void FindHullFiles(GFileList* out);

    // The same over an explicit folder list.
    static void FindFiles(GFileList* out, const char* pattern, const std::vector<std::string>& folders);
    static void FindHullFiles(GFileList* out, const std::vector<std::string>& folders);
};
