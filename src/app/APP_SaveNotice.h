#pragma once
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

// Tells the player once per run that a file of theirs could not be saved (a
// full disk, a folder made read-only): every failed save is logged, but only
// the first opens a message, at the next frame, on the main thread.
// Files that were there but could not be read are told too, each once, in
// one message for all refused since the last: the game runs on defaults and
// keeps those files as they are (GSafeFile), so their saves are not told again.
class APP_SaveNotice {
public:
    static APP_SaveNotice& GetInstance();

    // Listens to every safe file write from now on.
    void Install();
    void Uninstall();
    // Records a failure; from any thread.
    void OnSaveFailed(const std::string& path, const std::string& reason);
    // Records a file refused when read; from any thread.
    void OnFileRefused(const std::string& path, const std::string& reason);
    // Records a refused file renamed out of the way; from any thread. It is
    // told under its new name, not as kept as it was.
    void OnFileSetAside(const std::string& path, const std::string& newPath);
    // Opens the message when a failure waits and none was shown this run.
    // True when it opened one.
    bool ShowPending();
    // A screen that told the player itself: no second message for it.
    void MarkReported();

    // The text the message shows for a failure.
    static std::string MessageText(const std::string& path, const std::string& reason);
    // The text for files refused when read: each named with its reason.
    using Refusals = std::vector<std::pair<std::string, std::string>>;
    static std::string RefusedText(const Refusals& files);
    // The same with the files renamed out of the way (path, new path) after them.
    static std::string RefusedText(const Refusals& kept, const Refusals& setAside);
    static constexpr size_t kMaxNamedRefusals = 8;
    bool WasShown() const;
    // Files that failed to save this run, shown or not, each counted once
    // however often it failed: the game's exit status tells them.
    int GetFailureCount() const;
    static constexpr int kExitSavesFailed = 3;
    // Files told as refused this run.
    int GetRefusedToldCount() const;
    // Tests: as at start-up (refused files forgotten too).
    void Reset();

private:
    APP_SaveNotice() = default;

    mutable std::mutex m_mutex;
    std::string m_path;
    std::string m_reason;
    bool m_pending = false;
    bool m_shown = false;
    std::set<std::string> m_failedFiles;
    Refusals m_refusedPending;
    Refusals m_setAsidePending;
    int m_refusedTold = 0;
};
