#include "sim/SIM_SavedDesignUse.h"

#include "engine/GDebugLog.h"
#include "engine/GSafeFile.h"
#include "engine/TextHelpers.h"

#include <filesystem>
#include <sstream>

namespace {
void AddDesignNames(const std::string& text, std::set<std::string>& names)
{
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos && ToLowerString(TrimWhitespace(line.substr(0, eq))) == "design")
            names.insert(ToLowerString(TrimWhitespace(line.substr(eq + 1))));
    }
}
} // namespace

bool SIM_SavedDesignUse::Scan::Names(const std::string& designName) const
{
    return names.count(ToLowerString(TrimWhitespace(designName))) > 0;
}

bool SIM_SavedDesignUse::TextNamesDesign(const std::string& text, const std::string& lowerName)
{
    std::set<std::string> names;
    AddDesignNames(text, names);
    return names.count(lowerName) > 0;
}

SIM_SavedDesignUse::Scan SIM_SavedDesignUse::ScanBelow(const std::string& folder, const std::string& skipFileName)
{
    Scan scan;
    std::error_code ec;
    if (!folder.empty() && std::filesystem::is_directory(folder, ec))
        ScanFolder(folder, skipFileName, 0, scan);
    return scan;
}

void SIM_SavedDesignUse::ScanFolder(const std::filesystem::path& dir, const std::string& skipFileName, int depth,
                                    Scan& scan)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::directory_iterator it(dir, ec);
    // A folder that cannot be listed is named, and the others are still read.
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path& path = it->path();
        std::error_code typeError;
        // Links to folders are not followed, as saves never hold them.
        if (it->is_directory(typeError) && !it->is_symlink(typeError)) {
            if (depth < kMaxDepth)
                ScanFolder(path, skipFileName, depth + 1, scan);
            continue;
        }
        if (path.extension() != ".txt" || it->is_directory(typeError) || path.filename() == skipFileName)
            continue;
        std::string text;
        // Missing here means a link to nothing or a file gone while looked at.
        if (!ReadWholeFile(path.string(), text, kMaxSaveFileBytes)) {
            scan.unreadable.push_back(path.string());
            continue;
        }
        AddDesignNames(text, scan.names);
    }
    if (ec)
        scan.unreadable.push_back(dir.string());
}

bool SIM_SavedDesignUse::IsNamedBelow(const std::string& folder, const std::string& designName,
                                      const std::string& skipFileName)
{
    if (TrimWhitespace(designName).empty())
        return false;
    const Scan scan = ScanBelow(folder, skipFileName);
    for (const std::string& path : scan.unreadable)
        LOG_ERROR("Saved file could not be read, design taken as in use: " + path);
    return scan.Names(designName) || !scan.unreadable.empty();
}
