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
    // A file of the set that was refused when read is set aside first.
    bool Commit();
    const std::string& GetError() const { return m_error; }

    // Brings a folder back to one whole save: a recorded set is finished,
    // staged files of a set that never got its record are dropped. Call before
    // reading or writing the folder.
    // A record naming anything but files of its own save set (see
    // IsSaveSetName), or a link, is refused with one log line and dropped;
    // a FIFO or a folder in its place is set aside.
    static void Recover(const std::string& folder);
    // The file Recover would put in place as folder/name: its staged copy when
    // a valid record names it, else the file itself. Lets a loader check a
    // save before anything in its folder is touched.
    static std::string PendingPath(const std::string& folder, const std::string& name);
    // The files folder/sub/*ext will hold once Recover has run (files of the
    // save set only, in folder-listing order), each with the file its text is
    // in now: the staged copy when a valid record puts it in place.
    struct PendingFile {
        std::string path;
        std::string source;
    };
    static std::vector<PendingFile> PendingFiles(const std::string& folder, const std::string& sub,
                                                 const std::string& ext);
    // "progress.txt", "opponents.ini", or a plain file name in "fleets/"
    // (.txt), "logs/" or "enemyfleets/" (.ini): never a path, "..", nor a
    // name of another save.
    static bool IsSaveSetName(const std::string& name);

    // The one gate of every write and removal in a save folder: true when
    // path names a file directly in folder or in one of its subfolders, and
    // neither the folder nor that subfolder is a symbolic link, so the file
    // really lies inside the save (a shared save may carry "logs -> ../..").
    // The file itself may be a link: renaming over it or removing it never
    // reaches what it points to.
    static bool LiesInsideSave(const std::string& folder, const std::string& path);
    // The first symbolic link where a save keeps a folder or its record (the
    // folder itself, fleets/, logs/, enemyfleets/, deployments/, save.commit);
    // empty when there is none. A save with one is refused whole.
    static std::string FindLink(const std::string& folder);

    // Renames what lies at path inside the save (a file it could not read, a
    // FIFO, a folder) to a free "<name>.refused" name beside it, with one log
    // line: kept, and out of the way of the save. The new path, or empty
    // (logged) when it could not be moved.
    static std::string SetAside(const std::string& folder, const std::string& path);
    static constexpr const char* kSetAsideSuffix = ".refused";
    // Tests: the n-th staged file (from 0) fails to write; -1 for none.
    static void FailStagedWriteForTest(int n);
    // Tests: the save stops dead (as a crash would) before the n-th rename.
    static void CrashBeforeRenameForTest(int n);

    static constexpr const char* kStagedSuffix = ".new";
    static constexpr const char* kRecordName = "save.commit";
    static constexpr size_t kMaxFileName = 64;
    // A record lists a few hundred names at most.
    static constexpr size_t kMaxRecordBytes = 1 << 20;

private:
    // path's name in the save folder, or empty when it is not a file of the set.
    std::string NameInFolder(const std::string& path) const;

    struct File {
        std::string path;
        std::string contents;
    };
    std::string m_folder;
    std::vector<File> m_files;
    std::vector<std::string> m_removals;
    std::string m_error;
};
