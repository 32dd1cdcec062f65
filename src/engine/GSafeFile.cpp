#include "engine/GSafeFile.h"

#include "engine/GDebugLog.h"
#include "engine/StrFormat.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>

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
std::atomic<int> g_renamesLeft{-1};
std::mutex g_listenerMutex;
GSafeFile::FailureListener g_listener;
GSafeFile::RefusalListener g_refusalListener;

// Files refused when read, by their normal absolute path, and the read
// failures tests ask for.
std::mutex g_refusedMutex;
std::set<std::string> g_refused;
std::map<std::string, int> g_readFailures;

std::string PathKey(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path p = fs::absolute(path, ec);
    return (ec ? fs::path(path) : p).lexically_normal().string();
}

bool IsRefused(const std::string& key)
{
    std::lock_guard<std::mutex> lock(g_refusedMutex);
    return g_refused.count(key) > 0;
}

void Forget(const std::string& key)
{
    std::lock_guard<std::mutex> lock(g_refusedMutex);
    g_refused.erase(key);
}

// Records a refused file; the first refusal of a file is logged and told.
void NoteRefused(const std::string& path, const std::string& reason)
{
    {
        std::lock_guard<std::mutex> lock(g_refusedMutex);
        if (!g_refused.insert(PathKey(path)).second)
            return;
    }
    LOG_ERROR(StrFormat("File refused, %s : %s", reason.c_str(), path.c_str()));
    GSafeFile::RefusalListener listener;
    {
        std::lock_guard<std::mutex> lock(g_listenerMutex);
        listener = g_refusalListener;
    }
    if (listener)
        listener(path, reason);
}

int InjectedReadFailure(const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_refusedMutex);
    if (g_readFailures.empty())
        return 0;
    auto it = g_readFailures.find(PathKey(path));
    return it == g_readFailures.end() ? 0 : it->second;
}
} // namespace

void GSafeFile::SetRefusalListener(RefusalListener listener)
{
    std::lock_guard<std::mutex> lock(g_listenerMutex);
    g_refusalListener = std::move(listener);
}

void GSafeFile::RefuseWhenRead(const std::string& path, const std::string& reason)
{
    NoteRefused(path, reason);
}

void GSafeFile::InjectReadFailure(const std::string& path, int error)
{
    std::lock_guard<std::mutex> lock(g_refusedMutex);
    if (error)
        g_readFailures[PathKey(path)] = error;
    else
        g_readFailures.erase(PathKey(path));
}

void GSafeFile::ForgetRefusedFiles()
{
    std::lock_guard<std::mutex> lock(g_refusedMutex);
    g_refused.clear();
    g_readFailures.clear();
}

bool GSafeFile::WasRefusedWhenRead(const std::string& path)
{
    return IsRefused(PathKey(path));
}

std::string GSafeFile::ReasonNotToReplace(const std::string& path)
{
    const std::string key = PathKey(path);
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) {
        // Gone (the player or the game removed it): nothing left to keep.
        if (errno == ENOENT)
            Forget(key);
        return std::string();
    }
    if (IsRefused(key))
        return "kept as it was found, since it could not be read";
    // A link is replaced, not what it points to.
    if (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode))
        return std::string();
    return S_ISDIR(st.st_mode) ? "a folder is in its place" : "something that is not a file is in its place";
}

void GSafeFile::SetFailureListener(FailureListener listener)
{
    std::lock_guard<std::mutex> lock(g_listenerMutex);
    g_listener = std::move(listener);
}

void GSafeFile::ReportFailure() const
{
    const std::string text = ErrorText();
    const std::string reason = text.empty() ? std::string("write failed") : text;
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

void GSafeFile::StopAfterRenamesForTest(int n)
{
    g_renamesLeft = n;
}

void GSafeFile::NoteError(int error)
{
    m_failed = true;
    if (m_errno == 0)
        m_errno = error ? error : EIO;
}

std::string GSafeFile::ErrorText() const
{
    if (!m_keptReason.empty())
        return m_keptReason;
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
    if (ok) {
        m_keptReason = ReasonNotToReplace(m_path);
        if (!m_keptReason.empty()) {
            ok = false;
            m_failed = true;
        }
    }
    if (ok && g_renamesLeft == 0) {
        m_tempPath.clear();
        return false;
    }
    if (ok && g_renamesLeft > 0)
        --g_renamesLeft;
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

FileRead ReadWholeFile(const std::string& path, std::string& out, size_t maxBytes)
{
    out.clear();
    // Non-blocking, so that a FIFO in a file's place cannot hold the game; a
    // regular file reads the same either way.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            Forget(PathKey(path));
            return FileRead{FileRead::MISSING};
        }
        NoteRefused(path, StrFormat("cannot be opened (%s)", std::strerror(error)));
        errno = error;
        return FileRead{FileRead::REFUSED};
    }
    std::string refusal;
    int error = 0;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        error = errno;
        refusal = StrFormat("cannot be examined (%s)", std::strerror(error));
    } else if (!S_ISREG(st.st_mode)) {
        const bool folder = S_ISDIR(st.st_mode);
        error = folder ? EISDIR : EINVAL;
        refusal = folder ? "a folder, not a file" : "not a regular file";
    } else if (static_cast<unsigned long long>(st.st_size) > maxBytes) {
        error = EFBIG;
    }
    if (refusal.empty() && error == 0) {
        out.reserve(static_cast<size_t>(st.st_size));
        char buf[65536];
        ssize_t n;
        // The file may grow while it is read: the cap holds for what is read too.
        while ((n = read(fd, buf, sizeof buf)) > 0) {
            out.append(buf, static_cast<size_t>(n));
            if (out.size() > maxBytes) {
                error = EFBIG;
                break;
            }
        }
        if (n < 0)
            error = errno;
        if (const int injected = InjectedReadFailure(path))
            error = injected;
        if (error != 0 && error != EFBIG)
            refusal = StrFormat("could not be read (%s)", std::strerror(error));
    }
    close(fd);
    if (error == 0)
        return FileRead{FileRead::READ};
    out.clear();
    if (error == EFBIG)
        refusal = StrFormat("larger than a file of its kind can be (at most %zu bytes)", maxBytes);
    NoteRefused(path, refusal);
    errno = error;
    return FileRead{FileRead::REFUSED};
}

FILE* OpenLogFile(const std::string& path, bool append, bool* refused)
{
    if (refused)
        *refused = false;
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string refusal;
    int error = 0;
    // The folder is opened first and the file in it, so that nothing can swap
    // a link in between; neither open follows one.
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    int fd = -1;
    if (dir < 0) {
        error = errno;
        struct stat st;
        if (lstat(folder.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
            refusal = S_ISLNK(st.st_mode) ? "its folder is a link" : "its folder is not a folder";
    } else {
        const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (append ? O_APPEND : 0);
        fd = openat(dir, name.c_str(), flags, 0644);
        error = errno;
        struct stat st;
        if (fd >= 0 ? fstat(fd, &st) != 0 : fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (fd >= 0)
                refusal = StrFormat("cannot be examined (%s)", std::strerror(errno));
        } else if (S_ISLNK(st.st_mode)) {
            refusal = "a link";
        } else if (S_ISDIR(st.st_mode)) {
            // Not refused: like a full disk, it may be gone by the next line.
            error = EISDIR;
        } else if (!S_ISREG(st.st_mode)) {
            refusal = "not a regular file";
        } else if (st.st_nlink > 1) {
            // A hard link would write into a file elsewhere as surely.
            refusal = "linked elsewhere too";
        }
        close(dir);
    }
    if (refusal.empty() && fd >= 0) {
        // Emptied only now that it is known to be the player's own file.
        if (!append && ftruncate(fd, 0) != 0) {
            error = errno;
        } else if (FILE* file = fdopen(fd, append ? "a" : "w")) {
            return file;
        } else {
            error = errno;
        }
    }
    if (fd >= 0)
        close(fd);
    if (!refusal.empty()) {
        error = EPERM;
#ifndef QLM_FUZZ_BUILD
        fprintf(stderr, "Log refused, %s: %s; the game goes on without it\n", refusal.c_str(), path.c_str());
#endif
        if (refused)
            *refused = true;
    }
    errno = error;
    return nullptr;
}
