#pragma once
#include <string>
#include <vector>

// Writes a set of files whole or not at all: every file is first written
// beside its target as "<name>.new" (itself written safely). When all of them
// are on disk, one record file listing the set goes in by a single rename:
// that is the moment the save switches. The renames and removals follow; a
// crash among them is finished by Recover before the folder is read again. A
// failure before the record leaves every old file as it was.
class SIM_CampaignSaveWriter {
public:
    explicit SIM_CampaignSaveWriter(std::string folder) : m_folder(std::move(folder)) {}

    void Add(const std::string& path, const std::string& contents);
    // Removed after the new files are in place (stale fleet and log files).
    void Remove(const std::string& path);
    // False, with the reason in GetError, when anything could not be staged.
    bool Commit();
    const std::string& GetError() const { return m_error; }

    // Brings a folder back to one whole save: a recorded set is finished,
    // staged files of a set that never got its record are dropped. Call before
    // reading or writing the folder.
    static void Recover(const std::string& folder);

    // Tests: the n-th staged file (from 0) fails to write; -1 for none.
    static void FailStagedWriteForTest(int n);
    // Tests: the save stops dead (as a crash would) before the n-th rename.
    static void CrashBeforeRenameForTest(int n);

    static constexpr const char* kStagedSuffix = ".new";
    static constexpr const char* kRecordName = "save.commit";

private:
    struct File {
        std::string path;
        std::string contents;
    };
    std::string m_folder;
    std::vector<File> m_files;
    std::vector<std::string> m_removals;
    std::string m_error;
};
