#include "engine/GSafeFile.h"

#include "engine/StrFormat.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <cstdarg>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::atomic<int> g_injectedError{0};
}

void GSafeFile::InjectFailure(int error)
{
    g_injectedError = error;
}

void GSafeFile::NoteError(int error)
{
    m_failed = true;
    if (m_errno == 0)
        m_errno = error ? error : EIO;
}

std::string GSafeFile::ErrorText() const
{
    return m_errno ? std::string(strerror(m_errno)) : std::string();
}

GSafeFile::GSafeFile(std::string path) : m_path(std::move(path))
{
    m_tempPath = m_path + ".tmpXXXXXX";
    int fd = mkstemp(m_tempPath.data());
    if (fd < 0) {
        NoteError(errno);
        m_tempPath.clear();
        return;
    }
    fchmod(fd, 0644);
    m_file = fdopen(fd, "w");
    if (!m_file) {
        NoteError(errno);
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
        NoteError(errno);
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
    bool ok = !m_failed && !ferror(m_file) && fflush(m_file) == 0;
#ifndef QLM_FUZZ_BUILD
    // The fuzz build skips the sync: it writes thousands of files a second
    // that nobody needs after a crash.
    ok = ok && fsync(fileno(m_file)) == 0;
#endif
    if (!ok)
        NoteError(errno);
    if (fclose(m_file) != 0 && ok) {
        ok = false;
        NoteError(errno);
    }
    m_file = nullptr;
    if (ok && g_injectedError != 0) {
        ok = false;
        NoteError(g_injectedError);
    }
    if (ok && rename(m_tempPath.c_str(), m_path.c_str()) == 0) {
        m_tempPath.clear();
        return true;
    }
    if (ok)
        NoteError(errno);
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

bool WriteFileAtomically(const std::string& path, const std::string& contents, std::string* reason)
{
    GSafeFile f(path);
    if (f.Write(contents) && f.Commit())
        return true;
    if (reason)
        *reason = f.ErrorText();
    return false;
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
