#include "engine/GSafeFile.h"

#include "engine/StrFormat.h"

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

GSafeFile::GSafeFile(std::string path) : m_path(std::move(path))
{
    m_tempPath = m_path + ".tmpXXXXXX";
    int fd = mkstemp(m_tempPath.data());
    if (fd < 0) {
        m_tempPath.clear();
        return;
    }
    fchmod(fd, 0644);
    m_file = fdopen(fd, "w");
    if (!m_file) {
        close(fd);
        unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
}

GSafeFile::~GSafeFile()
{
    Abandon();
}

bool GSafeFile::Write(const std::string& text)
{
    if (!m_file)
        return false;
    if (!text.empty() && fwrite(text.data(), 1, text.size(), m_file) != text.size())
        m_failed = true;
    return !m_failed;
}

bool GSafeFile::Printf(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    std::string s = StrFormatV(fmt, args);
    va_end(args);
    return Write(s);
}

bool GSafeFile::Commit()
{
    if (!m_file)
        return false;
    bool ok = !m_failed && !ferror(m_file) && fflush(m_file) == 0 && fsync(fileno(m_file)) == 0;
    ok = (fclose(m_file) == 0) && ok;
    m_file = nullptr;
    if (ok && rename(m_tempPath.c_str(), m_path.c_str()) == 0) {
        m_tempPath.clear();
        return true;
    }
    unlink(m_tempPath.c_str());
    m_tempPath.clear();
    return false;
}

void GSafeFile::Abandon()
{
    if (m_file) {
        fclose(m_file);
        m_file = nullptr;
    }
    if (!m_tempPath.empty()) {
        unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
}

bool WriteFileAtomically(const std::string& path, const std::string& contents)
{
    GSafeFile f(path);
    return f.Write(contents) && f.Commit();
}

bool ReadWholeFile(const std::string& path, std::string& out)
{
    out.clear();
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        out.append(buf, n);
    fclose(f);
    return true;
}
