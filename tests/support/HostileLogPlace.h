#pragma once
#include "support/TempDir.h"

#include <filesystem>
#include <string>
#include <sys/stat.h>

// What a hostile player folder may put where the game keeps a log (or its
// folder): a link to a file outside, a link to a folder outside, or a FIFO
// that nobody reads. The outside folder holds what the links lead to.
class HostileLogPlace {
public:
    enum Form { OUTSIDE_LINK, FOLDER_LINK, FIFO };
    static constexpr Form kForms[] = {OUTSIDE_LINK, FOLDER_LINK, FIFO};

    HostileLogPlace()
    {
        m_outside.Write("victim.txt", kVictimText);
        std::filesystem::create_directory(m_outside.File("victimdir"));
    }

    static const char* Name(Form form)
    {
        return form == OUTSIDE_LINK ? "a link to a file outside" : form == FOLDER_LINK ? "a link to a folder" : "a FIFO";
    }

    // Puts the form at path (its folder made first), whatever was there gone.
    void Make(const std::string& path, Form form) const
    {
        namespace fs = std::filesystem;
        fs::create_directories(fs::path(path).parent_path());
        fs::remove_all(path);
        if (form == OUTSIDE_LINK)
            fs::create_symlink(m_outside.File("victim.txt"), path);
        else if (form == FOLDER_LINK)
            fs::create_directory_symlink(m_outside.File("victimdir"), path);
        else
            mkfifo(path.c_str(), 0644);
    }

    // True while nothing outside was written, emptied or added to.
    bool Untouched() const
    {
        return m_outside.Read("victim.txt") == kVictimText &&
               std::filesystem::is_empty(m_outside.File("victimdir"));
    }

private:
    static constexpr const char* kVictimText = "the player's own text, not the game's\n";
    TempDir m_outside;
};
