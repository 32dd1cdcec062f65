#pragma once
// Helpers of the tests that damage a campaign save folder and look at what is
// left of it.
#include "support/TempDir.h"

#include "engine/APP_UserFolders.h"
#include "engine/GFileHelpers.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

// Every entry below the folder (links and folders too) with its text.
inline std::map<std::string, std::string> Snapshot(const std::string& folder)
{
    std::map<std::string, std::string> out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string path = e.path().string();
        if (e.is_symlink())
            out[path] = "link to " + std::filesystem::read_symlink(e.path()).string();
        else if (e.is_regular_file())
            ReadWholeFile(path, out[path]);
        else
            out[path] = e.is_directory() ? "folder" : "special";
    }
    return out;
}

// The player's folder moved to memory for one test, where there is a tmpfs:
// tests that save many times or many files would otherwise wait most of a
// minute on a busy disk's syncs.
class UserFolderInMemory {
public:
    explicit UserFolderInMemory(const TempDir& usual) : m_usual(usual.Path())
    {
        std::error_code ec;
        std::string name = (std::filesystem::is_directory("/dev/shm", ec)
                                ? std::string("/dev/shm")
                                : std::filesystem::temp_directory_path().string()) +
                           "/qlmtest.XXXXXX";
        if (mkdtemp(name.data()))
            m_path = name;
        Point(m_path.empty() ? m_usual : m_path);
    }
    ~UserFolderInMemory()
    {
        Point(m_usual);
        std::error_code ec;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ec);
    }

private:
    static void Point(const std::string& user)
    {
        APP_UserFolders::GetInstance().Create(user);
        SetDeletableRoot(user);
    }
    std::string m_usual;
    std::string m_path;
};


// A fleet file's text as a save ends it: the upload flags come last, and a
// file without them reads as cut short.
inline std::string WholeFleetFile(const std::string& configAndShips)
{
    return configAndShips + "\n[uploadflags]\nONEHUNDRED = 0\nSEVENTYFIVE = 0\nFIFTY = 0\nTWENTYFIVE = 0\n";
}
