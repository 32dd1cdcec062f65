#pragma once
#include <atomic>
#include <cstdio>
#include <ctime>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// The debug log ("debug/debug.txt", rewritten every run) and the error log
// ("debug/errors.txt", appended one line at a time) under the user folder.
// Errors also go to stderr so that a player starting from a terminal sees them.
// Both logs are opened by OpenLogFile (never through a link or a FIFO), and
// control characters in a line are written by name, so that a value read from
// a shared file cannot command the terminal that shows it.
class GDebugLog {
public:
    static GDebugLog& GetInstance();

    void Open(const std::string& folder);
    void Write(const std::string& text);
    void WriteError(const std::string& text);
    void Close();

    bool IsOpen() const;
    std::string GetFolder() const;
    std::string GetErrorFilePath() const;

    // Counts the error lines written since start-up (the smoke runs check it).
    int GetErrorCount() const { return m_errorCount.load(); }
    // Error lines the log file could not take yet (a full disk); at most
    // kMaxHeldLines wait, later ones are only counted.
    size_t GetHeldLineCount() const;
    // Where this run's error lines can be read, for the line at exit: the
    // error log's path, or standard error (where every line went too) while
    // the log could not take some of them, as on a full disk.
    std::string ErrorLinesPlace() const;
    static constexpr size_t kMaxHeldLines = 1000;
    // What one run may write as error lines (dates and line ends included):
    // past it, one line says so and later lines are only counted, so that no
    // damaged file can fill the disk or hold the game writing.
    static constexpr size_t kMaxErrorBytesPerRun = 1u << 20;
    // Error lines left out since the last Open for the cap above.
    int GetCutLineCount() const;
    // The same for the debug log, which one run rewrites: a reader that tells
    // every entry it drops must not fill the disk either.
    static constexpr size_t kMaxDebugBytesPerRun = 4u << 20;
    int GetCutDebugLineCount() const;

    // Tests: the time error lines are dated with (0: the clock's).
    void SetTimeForTest(time_t now);

    // For errors that can recur every frame: the first of each line is
    // written, repeats are only counted (the counts go to the debug log when
    // it closes). True when the line was written.
    bool WriteErrorOnce(const std::string& text);
    // How often a line went to WriteErrorOnce, written or not.
    int GetRepeatCount(const std::string& text) const;

private:
    GDebugLog() = default;
    ~GDebugLog();
    mutable std::mutex m_mutex;
    FILE* m_debug = nullptr;
    std::string m_folder;
    std::atomic<int> m_errorCount{0};
    std::map<std::string, int> m_onceCounts;
    std::vector<std::string> m_held;
    int m_heldDropped = 0;
    size_t m_errorBytes = 0;
    int m_cutLines = 0;
    size_t m_debugBytes = 0;
    int m_cutDebugLines = 0;
    bool m_errorsRefused = false;
    time_t m_testTime = 0;

    // Appends the waiting lines, then line; false (nothing forgotten) when the
    // log could not take them. With m_mutex held.
    bool FlushHeld(const std::string* line = nullptr);
    // Writes one debug line within the run's cap. With m_mutex held.
    void PutDebugLine(const std::string& text);
};

// While a reader goes through one file, the error lines from one place in the
// code past the first kShownPerPlace are only counted; when the reader is
// done, one line per such place gives the count and the file's name. A
// slightly damaged file is told whole, a hostile file of a million bad
// entries in a few lines, never a flood and a minute's freeze. Scopes nest
// (the innermost counts) and belong to the thread that made them.
class GLogFileTally {
public:
    static constexpr size_t kShownPerPlace = 5;
    explicit GLogFileTally(std::string file);
    ~GLogFileTally();
    GLogFileTally(const GLogFileTally&) = delete;
    GLogFileTally& operator=(const GLogFileTally&) = delete;

    // The innermost tally of this thread, or null.
    static GLogFileTally* Current();
    // True when the line from source:line is to be written (one of the first
    // kShownPerPlace from there); otherwise it is counted.
    bool Take(const char* source, int line, const std::string& text);

private:
    struct Place {
        const char* source;
        int line;
        size_t seen;
        size_t repeats; // past kShownPerPlace
        std::string first;
    };
    std::string m_file;
    std::vector<Place> m_places;
    GLogFileTally* m_outer;
};

// The reporting routines every class calls with its source name and line.
void LogDebug(const std::string& text, const char* file, int line);
void LogError(const std::string& text, const char* file, int line);
void LogErrorOnce(const std::string& text, const char* file, int line);
void AssertFail(bool condition, const char* file, int line);

// The build text that assertion lines carry (the game's version text).
void SetAssertBuildText(const std::string& text);

#define LOG_DEBUG(text) LogDebug((text), __FILE__, __LINE__)
#define LOG_ERROR(text) LogError((text), __FILE__, __LINE__)
// An error in a path that runs every frame: logged once per run.
#define LOG_ERROR_ONCE(text) LogErrorOnce((text), __FILE__, __LINE__)
#define QLM_ASSERT(cond) AssertFail(static_cast<bool>(cond), __FILE__, __LINE__)
