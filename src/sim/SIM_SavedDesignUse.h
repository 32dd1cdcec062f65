#pragma once
#include <string>

// Whether saved files still build ships from a design: a "design = NAME" line
// (the name in any case) in any .txt file below a folder, as deployments and
// campaign fleets write them. A file there that cannot be read counts as
// naming it, so that a design a save may need is never changed or deleted on
// a guess.
class SIM_SavedDesignUse {
public:
    // Files named skipFileName are passed over wherever they lie.
    static bool IsNamedBelow(const std::string& folder, const std::string& designName,
                             const std::string& skipFileName = std::string());
    // Whether the text holds a design line for the (lower-case) name.
    static bool TextNamesDesign(const std::string& text, const std::string& lowerName);
};
