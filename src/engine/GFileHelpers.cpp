#include "engine/GFileHelpers.h"

#include "engine/GSafeFile.h"

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {
std::string& DeletableRoot()
{
    static std::string root;
    return root;
}
} // namespace

bool FileExists(const std::string& path)
{
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path)
{
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool EnsureDirectoryExists(const std::string& path)
{
    if (path.empty())
        return false;
    if (FolderExists(path))
        return true;
    std::error_code ec;
    fs::create_directories(path, ec);
    return FolderExists(path);
}

void SetDeletableRoot(const std::string& root)
{
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::absolute(root, ec), ec);
    DeletableRoot() = ec ? std::string() : p.string();
}

const std::string& GetDeletableRoot()
{
    return DeletableRoot();
}

bool DeleteFolderTree(const std::string& path)
{
    if (path.empty() || DeletableRoot().empty())
        return false;
    if (path.find("..") != std::string::npos)
        return false;
    fs::path root(DeletableRoot());
    if (root == root.root_path())
        return false; // a root of "/" would make every folder deletable
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    std::error_code ec;
    fs::path given = fs::absolute(trimmed, ec);
    if (ec || !given.has_filename())
        return false;
    std::string name = given.filename().string();
    if (name == "." || name == "..")
        return false;
    // Only the folders above are resolved: a symbolic link given as the path
    // is removed itself, never the folder it points to.
    fs::path parent = fs::weakly_canonical(given.parent_path(), ec);
    if (ec)
        return false;
    fs::path target = parent / name;
    auto r = root.begin();
    auto t = target.begin();
    for (; r != root.end(); ++r, ++t)
        if (t == target.end() || *r != *t)
            return false;
    if (t == target.end())
        return false; // the root itself
    if (!fs::exists(fs::symlink_status(target, ec)))
        return false;
    fs::remove_all(target, ec);
    return !ec;
}

bool CopyFileTo(const std::string& from, const std::string& to, bool overwrite)
{
    if (!overwrite && FileExists(to))
        return false;
    std::string data;
    if (!ReadWholeFile(from, data))
        return false;
    return WriteFileAtomically(to, data);
}

std::string SanitiseFileName(const std::string& name, size_t maxLength)
{
    std::string out;
    for (unsigned char c : name) {
        if (c < 32 || c == 127 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
            c == '<' || c == '>' || c == '|')
            out += '_';
        else
            out += static_cast<char>(c);
    }
    // no "..", no leading dots (hidden files, "." and "..")
    size_t p;
    while ((p = out.find("..")) != std::string::npos)
        out.replace(p, 2, "_");
    while (!out.empty() && (out[0] == '.' || out[0] == ' '))
        out.erase(0, 1);
    while (!out.empty() && (out.back() == ' ' || out.back() == '.'))
        out.pop_back();
    if (out.size() > maxLength)
        out.resize(maxLength);
    if (out.empty())
        out = "unnamed";
    return out;
}
