#pragma once
#include <cstdio>
#include <functional>
#include <string>

// Every file written for the player goes through here: the text goes to a
// temporary file in the same folder, which is flushed, synced and renamed over
// the target only when everything was written. A crash or a full disk leaves
// the old file whole.
class GSafeFile {
public:
    explicit GSafeFile(std::string path);
    ~GSafeFile(); // abandons the temporary file unless Commit succeeded
    GSafeFile(const GSafeFile&) = delete;
    GSafeFile& operator=(const GSafeFile&) = delete;

    // The open temporary file, or null when it could not be created.
    FILE* File() const { return m_file; }
    bool IsOpen() const { return m_file != nullptr; }

    bool Write(const std::string& text);
    bool Printf(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

    // Flush, fsync, close and rename over the target. False (and the target
    // untouched) when any write failed.
    bool Commit();
    void Abandon();

    const std::string& Path() const { return m_path; }
    // Why the file could not be written ("No space left on device", ...);
    // empty while nothing failed.
    std::string ErrorText() const;

    // Tests: every later write fails with this errno (0 ends it), as a full
    // disk or a read-only folder would make it fail.
    static void InjectFailure(int error);
    // Tests: the next n renames go in and none after them, as if the game
    // were killed there (no line, the temporaries left); -1 ends it.
    static void StopAfterRenamesForTest(int n);

    // A file that is there but was refused when read (too long, not a file, a
    // read error) is kept as it was found for the rest of the run: the game
    // goes on with its defaults in memory, and those must never replace what
    // the player had. Empty when a write may replace whatever is at path;
    // otherwise why not (this also refuses a folder or a device in its place).
    static std::string ReasonNotToReplace(const std::string& path);
    // Whether a read refused the file at path this run (gone since or not).
    static bool WasRefusedWhenRead(const std::string& path);
    // Told once per file, from the thread that read it, when a read first
    // refuses a file that is there.
    using RefusalListener = std::function<void(const std::string& path, const std::string& reason)>;
    static void SetRefusalListener(RefusalListener listener);
    // Records a file that a reader found unusable without reading it (a
    // folder where a list of files looks); told once, as a refused read is.
    static void RefuseWhenRead(const std::string& path, const std::string& reason);
    // Tests: reads of this file fail with this errno (0 ends it), as a failing
    // disk or a missing permission would make them fail.
    static void InjectReadFailure(const std::string& path, int error);
    // Tests: no file refused yet, as at start-up.
    static void ForgetRefusedFiles();

    // Every failed Commit is logged (file and reason) and handed to the
    // listener, which the game uses to tell the player; any thread may call it.
    using FailureListener = std::function<void(const std::string& path, const std::string& reason)>;
    static void SetFailureListener(FailureListener listener);

    // Removes the temporaries a killed write left behind (name.tmpXXXXXX) in
    // folder and its subfolders; the number removed.
    static int RemoveStaleTemporaries(const std::string& folder);
    static bool IsTemporaryName(const std::string& fileName);

private:
    void NoteError(int error);
    void ReportFailure() const;

    std::string m_path;
    std::string m_tempPath;
    std::string m_keptReason; // why the target was not replaced, when it was kept
    FILE* m_file = nullptr;
    bool m_failed = false;
    int m_errno = 0;
};

// Writes a whole file safely; false when it could not be written, with the
// reason in *reason when asked.
bool WriteFileAtomically(const std::string& path, const std::string& contents, std::string* reason = nullptr);

// The game's own logs (debug/debug.txt and its neighbours) are written a line
// at a time, so they cannot be renamed into place as GSafeFile does; they are
// opened here instead, never through a link (the file's or its folder's) and
// never waiting on a FIFO: only a regular file of the player's own is written.
// Anything else is refused with a line on standard error naming the file and
// why, and the game goes on without that log. A log that simply cannot be
// opened (a full disk, a folder in its place) is null without a line, with
// errno set; refused tells the two apart when asked.
FILE* OpenLogFile(const std::string& path, bool append, bool* refused = nullptr);

// What a file of each kind may hold at most. Player files and saves come from
// outside the game's control (edited, shared, a link to a device): a longer
// one is refused rather than read into memory.
constexpr size_t kMaxSettingsFileBytes = 1u << 20;  // config.txt, the stored user name
constexpr size_t kMaxSaveFileBytes = 8u << 20;      // each file of a campaign save
constexpr size_t kMaxReadFileBytes = 64u << 20;     // anything else read whole

// What reading a file came to. True only when it was read; a refused file is
// there but could not be used, and is kept as found (GSafeFile).
struct FileRead {
    enum Kind { READ, MISSING, REFUSED };
    Kind kind = MISSING;
    operator bool() const { return kind == READ; }
    bool IsMissing() const { return kind == MISSING; }
    bool IsRefused() const { return kind == REFUSED; }
};

// The one way the game reads a file whole. Only a regular file of at most
// maxBytes is read; a folder, a device, a FIFO (never waited on), a longer
// file or one that cannot be read is refused, with one error line naming it
// and the reason the first time, and errno set to the cause. A missing file
// is MISSING without a line: callers decide whether that is an error.
FileRead ReadWholeFile(const std::string& path, std::string& out, size_t maxBytes = kMaxReadFileBytes);
