#pragma once
#include <string>
#include <vector>

// Writes a set of files whole or not at all: every file is first written
// beside its target as "<name>.new" (itself written safely); only when all of
// them are on disk are they renamed over their targets and the stale files
// removed. A failure leaves every old file as it was and removes the staged
// ones.
class SIM_CampaignSaveWriter {
public:
    void Add(const std::string& path, const std::string& contents);
    // Removed after the new files are in place (stale fleet and log files).
    void Remove(const std::string& path);
    // False, with the reason in GetError, when anything could not be staged.
    bool Commit();
    const std::string& GetError() const { return m_error; }

    // Tests: the n-th staged file (from 0) fails to write; -1 for none.
    static void FailStagedWriteForTest(int n);

    static constexpr const char* kStagedSuffix = ".new";

private:
    struct File {
        std::string path;
        std::string contents;
    };
    std::vector<File> m_files;
    std::vector<std::string> m_removals;
    std::string m_error;
};
