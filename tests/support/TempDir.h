#pragma once
#include <string>

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    // Writes a file below the folder (creating sub-folders) and returns its path.
    std::string Write(const std::string& name, const std::string& contents) const;
    std::string Read(const std::string& name) const;

private:
    std::string m_path;
};

// Runs the scope with the working folder changed, and changes it back.
class ScopedChdir {
public:
    explicit ScopedChdir(const std::string& dir);
    ~ScopedChdir();

private:
    std::string m_old;
};
