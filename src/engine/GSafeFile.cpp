#include "engine/GSafeFile.h"

#include "engine/GDebugLog.h"
#include "engine/StrFormat.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <mutex>

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
std::mutex g_listenerMutex;
GSafeFile::FailureListener g_listener;
} // namespace

void GSafeFile::SetFailureListener(FailureListener listener)
{
    std::lock_guard<std::mutex> lock(g_listenerMutex);
    g_listener = std::move(listener);
}

void GSafeFile::ReportFailure() const
{
    const std::string reason = m_errno ? ErrorText() : std::string("write failed");
    LOG_ERROR(StrFormat("Cannot save %s: %s", m_path.c_str(), reason.c_str()));
    FailureListener listener;
    {
        std::lock_guard<std::mutex> lock(g_listenerMutex);
        listener = g_listener;
    }
    if (listener)
        listener(m_path, reason);
}

bool GSafeFile::IsTemporaryName(const std::string& fileName)
{
    // What mkstemp makes of "<name>.tmpXXXXXX".
    const size_t dot = fileName.rfind(".tmp");
    if (dot == std::string::npos || dot == 0 || fileName.size() != dot + 4 + 6)
        return false;
    return std::all_of(fileName.begin() + static_cast<long>(dot) + 4, fileName.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

int GSafeFile::RemoveStaleTemporaries(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    int removed = 0;
    // Links are not followed: only the player's own folder is cleaned.
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it.depth() > 4) {
            it.disable_recursion_pending();
            continue;
        }
        std::error_code typeError;
        if (!it->is_regular_file(typeError) || it->is_symlink(typeError))
            continue;
        if (!IsTemporaryName(it->path().filename().string()))
            continue;
        std::error_code removeError;
        if (fs::remove(it->path(), removeError))
            ++removed;
    }
    if (removed > 0)
        LOG_DEBUG(StrFormat("Removed %d unfinished temporary files from %s", removed, folder.c_str()));
    return removed;
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
    if (!m_file) {
        ReportFailure();
        return false;
    }
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
    ReportFailure();
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
    f.Write(contents);
    // Committed even after a failed write, so that the failure is reported.
    if (f.Commit())
        return true;
    if (reason)
        *reason = f.ErrorText();
    return false;
}

bool ReadWholeFile(const std::string& path, std::string& out, size_t maxBytes)
{
    out.clear();
    // Non-blocking, so that a FIFO in a file's place cannot hold the game; a
    // regular file reads the same either way.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            LOG_ERROR(StrFormat("File refused, %s : %s", std::strerror(errno), path.c_str()));
        return false;
    }
    struct stat st;
    const char* refusal = nullptr;
    if (fstat(fd, &st) != 0)
        refusal = "cannot be examined";
    else if (!S_ISREG(st.st_mode))
        refusal = S_ISDIR(st.st_mode) ? "a folder, not a file" : "not a regular file";
    else if (static_cast<unsigned long long>(st.st_size) > maxBytes)
        refusal = "larger than a file of its kind can be";
    if (!refusal) {
        out.reserve(static_cast<size_t>(st.st_size));
        char buf[65536];
        ssize_t n;
        // The file may grow while it is read: the cap holds for what is read too.
        while ((n = read(fd, buf, sizeof buf)) > 0 && !refusal) {
            out.append(buf, static_cast<size_t>(n));
            if (out.size() > maxBytes)
                refusal = "larger than a file of its kind can be";
        }
        if (n < 0 && !refusal)
            refusal = "could not be read";
    }
    close(fd);
    if (!refusal)
        return true;
    out.clear();
    LOG_ERROR(StrFormat("File refused, %s (at most %zu bytes) : %s", refusal, maxBytes, path.c_str()));
    errno = S_ISREG(st.st_mode) ? EFBIG : EINVAL;
    return false;
}
