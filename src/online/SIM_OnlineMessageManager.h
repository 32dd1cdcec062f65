#pragma once
#include "online/OnlineStatus.h"
#include "online/SIM_OnlineMessageRecord.h"

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

class OnlineJob;

// The player's messages on this side: those seen in earlier runs (kept in
// "web/oldmessages.txt"), those the last download brought, and the list the
// inbox shows (seen first, then new). A download asks only for ids above the
// highest one known and runs beside the frame; its answer is merged on the
// main thread by Poll. Deletes and blocks act locally at once and tell the
// server in the background. The seen file is rewritten after every change
// once a download has succeeded in this run, so a deleted message stays gone.
// At most kMaxStored messages are kept (the newest); the answer is read into
// records on the download's own thread, and ids are looked up in a set.
class SIM_OnlineMessageManager {
public:
    static constexpr size_t kMaxLine = 2048;
    static constexpr size_t kMaxStored = 1000;
    using Record = SIM_OnlineMessageRecord;
    using Records = std::vector<std::unique_ptr<Record>>;

    // The message lines of a text as records, at most kMaxStored (the last).
    // *unread (when given) counts the marked lines that are not whole messages,
    // *tooLong those longer than kMaxLine, left out.
    static Records ParseLines(const std::string& text, size_t* unread = nullptr, size_t* tooLong = nullptr);

    static SIM_OnlineMessageManager& GetInstance();
    // Reads the seen messages of earlier runs from seenPath.
    explicit SIM_OnlineMessageManager(std::string seenPath);
    virtual ~SIM_OnlineMessageManager();

    // Starts a download unless one is running; false only when none could
    // start because no server is set up. A request that fails, however fast,
    // is taken in by Poll like any other.
    bool StartDownload();
    // Takes a finished download in; true when this call merged one.
    bool Poll();
    bool IsDownloading() const { return m_job != nullptr; }
    // The main-thread half of a download: the messages file's text.
    void MergeDownload(const std::string& text);
    void MergeRecords(Records records);

    void DeleteMessage(const Record* record);
    // Removes every message of the record's sender (case counts) and blocks
    // the sender on the server; the server is asked to delete none of them.
    void BlockSender(const Record* record);
    // False when nothing was written (no download yet, or the write failed).
    bool SaveSeenMessages() const;

    const std::vector<Record*>& GetAll() const { return m_all; }
    int GetNewCount() const { return static_cast<int>(m_new.size()); }
    int GetHighestId() const { return m_highestId; }
    bool HasDownloaded() const { return m_downloaded; }
    const std::string& GetSeenPath() const { return m_seenPath; }
    // Counts finished downloads (successful or not), so screens can notice one.
    int GetDownloadsFinished() const { return m_finished; }
    // How the last finished download went (NONE when it succeeded; WAITING
    // before any).
    OnlineStatus::Kind GetLastOutcome() const { return m_lastOutcome; }

private:
    void Remove(const Record* record);
    void RebuildAll();
    // Takes a record unless its id is known; false when it was not taken.
    bool Take(std::unique_ptr<Record> record, Records& into);
    // Drops the oldest seen messages past kMaxStored.
    void Trim();

    std::vector<Record*> m_all;
    int m_highestId = 0;
    Records m_new;
    Records m_seen;
    std::unordered_set<int> m_ids;
    std::string m_seenPath;
    std::shared_ptr<OnlineJob> m_job;
    std::shared_ptr<Records> m_parsed;
    bool m_downloaded = false;
    int m_finished = 0;
    OnlineStatus::Kind m_lastOutcome = OnlineStatus::WAITING;
};
