#pragma once
#include <cstdio>
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

private:
    std::string m_path;
    std::string m_tempPath;
    FILE* m_file = nullptr;
    bool m_failed = false;
};

// Writes a whole file safely; false when it could not be written.
bool WriteFileAtomically(const std::string& path, const std::string& contents);

// Reads a whole file; false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& out);
