#include "sim/SIM_SavedDesignUse.h"

#include "engine/GDebugLog.h"
#include "engine/GSafeFile.h"
#include "engine/TextHelpers.h"

#include <filesystem>
#include <sstream>

bool SIM_SavedDesignUse::TextNamesDesign(const std::string& text, const std::string& lowerName)
{
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos || ToLowerString(TrimWhitespace(line.substr(0, eq))) != "design")
            continue;
        if (ToLowerString(TrimWhitespace(line.substr(eq + 1))) == lowerName)
            return true;
    }
    return false;
}

bool SIM_SavedDesignUse::IsNamedBelow(const std::string& folder, const std::string& designName,
                                      const std::string& skipFileName)
{
    namespace fs = std::filesystem;
    const std::string lower = ToLowerString(TrimWhitespace(designName));
    std::error_code ec;
    if (lower.empty() || folder.empty() || !fs::is_directory(folder, ec))
        return false;
    fs::recursive_directory_iterator it(folder, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path& path = it->path();
        std::error_code typeError;
        if (path.extension() != ".txt" || it->is_directory(typeError) || path.filename() == skipFileName)
            continue;
        std::string text;
        // Missing here means a link to nothing or a file gone while looked at.
        if (!ReadWholeFile(path.string(), text, kMaxSaveFileBytes)) {
            LOG_ERROR("Saved file could not be read, design taken as in use: " + path.string());
            return true;
        }
        if (TextNamesDesign(text, lower))
            return true;
    }
    if (ec) {
        LOG_ERROR("Saved files could not all be looked at, design taken as in use: " + folder);
        return true;
    }
    return false;
}
