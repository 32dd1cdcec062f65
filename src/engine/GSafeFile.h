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
    FILE* m_file = nullptr;
    bool m_failed = false;
    int m_errno = 0;
};

// Writes a whole file safely; false when it could not be written, with the
// reason in *reason when asked.
bool WriteFileAtomically(const std::string& path, const std::string& contents, std::string* reason = nullptr);

// What a file of each kind may hold at most. Player files and saves come from
// outside the game's control (edited, shared, a link to a device): a longer
// one is refused rather than read into memory.
constexpr size_t kMaxSettingsFileBytes = 1u << 20;  // config.txt, the stored user name
constexpr size_t kMaxSaveFileBytes = 8u << 20;      // each file of a campaign save
constexpr size_t kMaxReadFileBytes = 64u << 20;     // anything else read whole

// The one way the game reads a file whole. Only a regular file of at most
// maxBytes is read; a folder, a device, a FIFO (never waited on) or a longer
// file is refused with one error line naming it and the reason. A missing file
// is false without a line: callers decide whether that is an error.
bool ReadWholeFile(const std::string& path, std::string& out, size_t maxBytes = kMaxReadFileBytes);
