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

// Reads a whole file; false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& out);
