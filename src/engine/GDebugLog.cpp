#include "engine/GDebugLog.h"

#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"

#include <cstring>
#include <ctime>
#include <filesystem>
#include <sys/utsname.h>

namespace {
std::mutex g_buildTextMutex;
std::string g_buildText = "unknown";
thread_local GLogFileTally* t_tally = nullptr;

const char* BaseName(const char* path)
{
    const char* slash = path ? std::strrchr(path, '/') : nullptr;
    return slash ? slash + 1 : (path ? path : "");
}
} // namespace

GDebugLog& GDebugLog::GetInstance()
{
    static GDebugLog instance;
    return instance;
}

GDebugLog::~GDebugLog()
{
    Close();
}

void GDebugLog::Open(const std::string& folder)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_debug) {
        fputs("END DEBUG---\n", m_debug);
        fclose(m_debug);
        m_debug = nullptr;
    }
    // Each log is one run: lines logged once are logged again in the next.
    m_onceCounts.clear();
    m_errorBytes = 0;
    m_cutLines = 0;
    m_debugBytes = 0;
    m_cutDebugLines = 0;
    m_errorsRefused = false;
    // Lines held for another folder's log belong there (and went to standard
    // error): they never go into this one.
    if (folder != m_folder) {
        m_held.clear();
        m_heldDropped = 0;
    }
    m_folder = folder;
    std::string dir = folder + "/debug";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    m_debug = OpenLogFile(dir + "/debug.txt", false);
    if (!m_debug)
        return;
    fputs("----DEBUG FILE----\n", m_debug);
    struct utsname u;
    if (uname(&u) == 0)
        fprintf(m_debug, "%s %s detected\n", u.sysname, u.release);
    else
        fputs("Unknown O/S\n", m_debug);
    fflush(m_debug);
}

void GDebugLog::Write(const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_debug)
        return;
    PutDebugLine(text);
    fflush(m_debug);
}

void GDebugLog::PutDebugLine(const std::string& text)
{
    const std::string line = EscapeControlCharacters(text);
    if (m_debugBytes + line.size() + 1 > kMaxDebugBytesPerRun) {
        if (m_cutDebugLines++ == 0)
            fprintf(m_debug, "The debug lines of this run reached %zu bytes: later ones are only counted\n",
                    kMaxDebugBytesPerRun);
        return;
    }
    m_debugBytes += line.size() + 1;
    fputs(line.c_str(), m_debug);
    fputc('\n', m_debug);
}

void GDebugLog::WriteError(const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_errorCount;
    time_t now = m_testTime ? m_testTime : time(nullptr);
    struct tm t;
    gmtime_r(&now, &t);
    const std::string date =
        StrFormat("%d/%d/%d - %d::%d - ", t.tm_mday, t.tm_mon + 1, t.tm_year + 1900, t.tm_hour, t.tm_min);
    std::string line = date + EscapeControlCharacters(text);
    if (m_errorBytes + line.size() + 1 > kMaxErrorBytesPerRun) {
        if (m_cutLines++ > 0)
            return;
        // Said once, past the cap by this line alone.
        line = date + StrFormat("The error lines of this run reached %zu bytes: later ones are only counted, "
                                "their number goes to the debug log",
                                kMaxErrorBytesPerRun);
    } else {
        m_errorBytes += line.size() + 1;
    }
#ifndef QLM_FUZZ_BUILD
    fprintf(stderr, "%s\n", line.c_str());
#endif
    if (m_folder.empty() || m_errorsRefused)
        return;
    if (FlushHeld(&line) || m_errorsRefused)
        return;
    if (m_held.size() < kMaxHeldLines)
        m_held.push_back(line);
    else
        ++m_heldDropped;
}

bool GDebugLog::FlushHeld(const std::string* line)
{
    // On a full disk the log cannot take a line either: the lines wait here,
    // and go in, in order, with the first line it takes again.
    std::string text;
    for (const std::string& held : m_held)
        text += held + "\n";
    if (m_heldDropped > 0)
        text += StrFormat("%d more error lines were lost while the log could not be written\n", m_heldDropped);
    if (line)
        text += *line + "\n";
    bool refused = false;
    FILE* f = OpenLogFile(m_folder + "/debug/errors.txt", true, &refused);
    if (refused) {
        // Never to be written this run: standard error has every line.
        m_errorsRefused = true;
        m_held.clear();
        m_heldDropped = 0;
    }
    if (!f)
        return false;
    const bool written = fwrite(text.data(), 1, text.size(), f) == text.size() && fflush(f) == 0;
    if (fclose(f) != 0 || !written)
        return false;
    m_held.clear();
    m_heldDropped = 0;
    return true;
}

size_t GDebugLog::GetHeldLineCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_held.size();
}

std::string GDebugLog::ErrorLinesPlace() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_folder.empty())
        return "standard error";
    const std::string path = m_folder + "/debug/errors.txt";
    if (m_errorsRefused)
        return StrFormat("standard error (%s was refused)", path.c_str());
    if (m_held.empty())
        return path;
    return StrFormat("standard error (%s could not take %zu of them)", path.c_str(),
                     m_held.size() + static_cast<size_t>(m_heldDropped));
}

bool GDebugLog::WriteErrorOnce(const std::string& text)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (++m_onceCounts[text] > 1)
            return false;
    }
    WriteError(text);
    return true;
}

int GDebugLog::GetRepeatCount(const std::string& text) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_onceCounts.find(text);
    return it == m_onceCounts.end() ? 0 : it->second;
}

void GDebugLog::Close()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_held.empty() && !m_folder.empty() && !m_errorsRefused)
        FlushHeld();
    if (m_debug) {
        for (const auto& [text, count] : m_onceCounts)
            if (count > 1)
                PutDebugLine(StrFormat("Logged once, happened %d times: %s", count, text.c_str()));
        if (m_cutLines > 0)
            fprintf(m_debug, "%d error lines were left out of the error log, past its most for a run\n",
                    m_cutLines);
        if (m_cutDebugLines > 0)
            fprintf(m_debug, "%d debug lines were left out, past the debug log's most for a run\n",
                    m_cutDebugLines);
        fputs("END DEBUG---\n", m_debug);
        fclose(m_debug);
        m_debug = nullptr;
    }
    m_onceCounts.clear();
}

int GDebugLog::GetCutLineCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_cutLines;
}

int GDebugLog::GetCutDebugLineCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_cutDebugLines;
}

void GDebugLog::SetTimeForTest(time_t now)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_testTime = now;
}

bool GDebugLog::IsOpen() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_debug != nullptr;
}

std::string GDebugLog::GetFolder() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_folder;
}

std::string GDebugLog::GetErrorFilePath() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_folder.empty() ? std::string() : m_folder + "/debug/errors.txt";
}

void SetAssertBuildText(const std::string& text)
{
    std::lock_guard<std::mutex> lock(g_buildTextMutex);
    g_buildText = text;
}

void LogDebug(const std::string& text, const char* file, int line)
{
    GDebugLog::GetInstance().Write(StrFormat("%s:%s %d", text.c_str(), BaseName(file), line));
}

GLogFileTally::GLogFileTally(std::string file) : m_file(std::move(file)), m_outer(t_tally)
{
    t_tally = this;
}

GLogFileTally::~GLogFileTally()
{
    t_tally = m_outer;
    // Straight to the log: an outer tally must not count these as repeats.
    for (const Place& place : m_places)
        if (place.repeats > 0)
            GDebugLog::GetInstance().WriteError(
                StrFormat("%s: %zu more such lines left out of the log (the first: \"%s\"):%s %d", m_file.c_str(),
                          place.repeats, place.first.c_str(), BaseName(place.source), place.line));
}

GLogFileTally* GLogFileTally::Current()
{
    return t_tally;
}

bool GLogFileTally::Take(const char* source, int line, const std::string& text)
{
    for (Place& place : m_places)
        if (place.line == line && (place.source == source || std::strcmp(place.source, source) == 0)) {
            if (++place.seen <= kShownPerPlace)
                return true;
            ++place.repeats;
            return false;
        }
    // The summary names the file already.
    std::string first = text;
    if (!m_file.empty() && first.compare(0, m_file.size(), m_file) == 0)
        first.erase(0, first.compare(m_file.size(), 2, ": ") == 0 ? m_file.size() + 2 : m_file.size());
    constexpr size_t kShown = 160;
    if (first.size() > kShown)
        first = first.substr(0, kShown) + "...";
    m_places.push_back({source, line, 1, 0, TrimWhitespace(first)});
    return true;
}

void LogError(const std::string& text, const char* file, int line)
{
    if (GLogFileTally* tally = GLogFileTally::Current(); tally && !tally->Take(file ? file : "", line, text))
        return;
    // Logged only: a storm of modal boxes helps nobody, and the game goes on.
    GDebugLog::GetInstance().WriteError(StrFormat("%s:%s %d", text.c_str(), BaseName(file), line));
}

void LogErrorOnce(const std::string& text, const char* file, int line)
{
    GDebugLog::GetInstance().WriteErrorOnce(StrFormat("%s:%s %d", text.c_str(), BaseName(file), line));
}

void AssertFail(bool condition, const char* file, int line)
{
    if (condition)
        return;
    std::string build;
    {
        std::lock_guard<std::mutex> lock(g_buildTextMutex);
        build = g_buildText;
    }
    std::string text = StrFormat("Assertion failure:filename:%s,linenum:%d,build:%s", BaseName(file), line,
                                 build.c_str());
    GDebugLog::GetInstance().Write(text);
    GDebugLog::GetInstance().WriteError(text);
}
