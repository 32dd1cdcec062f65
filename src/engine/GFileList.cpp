#include "engine/GFileList.h"

#include "engine/GSafeFile.h"

#include <algorithm>
#include <dirent.h>
#include <fnmatch.h>
#include <strings.h>
#include <sys/stat.h>

void SortFileNames(std::vector<std::string>& names)
{
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        int c = strcasecmp(a.c_str(), b.c_str());
        if (c != 0)
            return c < 0;
        return a < b;
    });
}

void GFileList::FindFiles(const std::string& mask)
{
    Find(mask, false);
}

void GFileList::FindFolders(const std::string& mask)
{
    Find(mask, true);
}

void GFileList::Find(const std::string& mask, bool folders)
{
    size_t slash = mask.find_last_of('/');
    std::string dir = (slash == std::string::npos) ? std::string(".") : mask.substr(0, slash);
    if (dir.empty())
        dir = "/";
    std::string pattern = (slash == std::string::npos) ? mask : mask.substr(slash + 1);
    // Windows masks: "*.*" matches every name, dotted or not.
    if (pattern == "*.*")
        pattern = "*";
    // Masks know only '*' and '?'; brackets and backslashes match themselves.
    std::string glob;
    for (char c : pattern) {
        if (c == '[' || c == ']' || c == '\\')
            glob += '\\';
        glob += c;
    }
    std::string prefix;
    // The folder part of the mask: a mask such as "dir/aifleet_*.txt" must not
    // put its name stem in front of every match.
    if (prefixFolder && slash != std::string::npos)
        prefix = mask.substr(0, slash + 1);

    DIR* d = opendir(dir.c_str());
    if (!d)
        return;
    std::vector<std::string> found;
    while (struct dirent* ent = readdir(d)) {
        std::string name = ent->d_name;
        if (name == "." || name == "..")
            continue;
        if (fnmatch(glob.c_str(), name.c_str(), FNM_CASEFOLD) != 0)
            continue;
        struct stat st;
        std::string full = dir + "/" + name;
        if (stat(full.c_str(), &st) != 0)
            continue;
        bool isDir = S_ISDIR(st.st_mode);
        if (folders) {
            if (!isDir || name[0] == '.')
                continue;
        } else if (isDir) {
            // A folder named like the files asked for ("cap.txt" among the
            // designs) stands where a file would be: skipped, and told once.
            if (pattern != "*" && name[0] != '.')
                GSafeFile::RefuseWhenRead(full, "a folder, not a file");
            continue;
        }
        found.push_back(name);
    }
    closedir(d);
    SortFileNames(found);
    for (const std::string& n : found)
        names.push_back(prefix + n);
}
