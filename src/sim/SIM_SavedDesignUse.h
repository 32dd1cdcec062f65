#pragma once
#include <filesystem>
#include <set>
#include <string>
#include <vector>

// Whether saved files still build ships from a design: a "design = NAME" line
// (the name in any case) in any .txt file below a folder, as deployments and
// campaign fleets write them.
class SIM_SavedDesignUse {
public:
    // What one look below a folder found: every design its files name (lower
    // case) and the files (or folders) that could not be read.
    struct Scan {
        std::set<std::string> names;
        std::vector<std::string> unreadable;
        bool Names(const std::string& designName) const;
    };
    // Files named skipFileName are passed over wherever they lie.
    static Scan ScanBelow(const std::string& folder, const std::string& skipFileName = std::string());
    // For deleting: a file there that cannot be read counts as naming the
    // design (logged), so that a design a save may need is never deleted on a guess.
    static bool IsNamedBelow(const std::string& folder, const std::string& designName,
                             const std::string& skipFileName = std::string());
    // Whether the text holds a design line for the (lower-case) name.
    static bool TextNamesDesign(const std::string& text, const std::string& lowerName);

private:
    // Saves lie a few folders deep; a deeper tree is not a save's.
    static constexpr int kMaxDepth = 8;
    static void ScanFolder(const std::filesystem::path& dir, const std::string& skipFileName, int depth, Scan& scan);
};
