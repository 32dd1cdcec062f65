#include "support/TempDir.h"

#include "engine/GSafeFile.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

TempDir::TempDir()
{
    std::string tmpl = (fs::temp_directory_path() / "qlmtest.XXXXXX").string();
    if (!mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = tmpl;
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& contents) const
{
    fs::path p = fs::path(m_path) / name;
    fs::create_directories(p.parent_path());
    FILE* f = fopen(p.c_str(), "wb");
    if (!f)
        throw std::runtime_error("cannot write " + p.string());
    fwrite(contents.data(), 1, contents.size(), f);
    fclose(f);
    return p.string();
}

std::string TempDir::Read(const std::string& name) const
{
    std::string out;
    ReadWholeFile(m_path + "/" + name, out);
    return out;
}

ScopedChdir::ScopedChdir(const std::string& dir)
{
    char buf[4096];
    if (getcwd(buf, sizeof buf))
        m_old = buf;
    if (chdir(dir.c_str()) != 0)
        throw std::runtime_error("chdir failed: " + dir);
}

ScopedChdir::~ScopedChdir()
{
    if (!m_old.empty() && chdir(m_old.c_str()) != 0) {
    }
}
