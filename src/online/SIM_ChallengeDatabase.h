#pragma once
#include "online/SIM_ChallengeRecord.h"

#include <memory>
#include <string>
#include <vector>

class SIM_Server;

// The player's copy of the server's challenge list: "web/challenges/
// challengelist.txt" in the user folder and the records read from it. The
// file is replaced only by a whole new list: a refresh that gets no answer
// keeps it as it was, and only well-formed "##" lines ever become records, so
// an error page or garbage adds nothing. At most kMaxRecords are kept (the
// oldest go first) and a list file larger than any list of ours is refused
// and deleted. Main thread only; the refresh worker downloads and reads the
// answer into records, the merge here only looks ids up.
class SIM_ChallengeDatabase {
public:
    static constexpr const char* kListFile = "challengelist.txt";
    // Longer lines are no list line of ours and are skipped.
    static constexpr size_t kMaxLine = 8192;
    static constexpr size_t kMaxRecords = 5000;
    using Records = std::vector<std::unique_ptr<SIM_ChallengeRecord>>;

    static SIM_ChallengeDatabase& GetInstance();
    SIM_ChallengeDatabase();
    virtual ~SIM_ChallengeDatabase();

    // The folder holding the list and the downloaded challenges (tests set
    // their own; the game's is the user folder's web/challenges).
    void SetFolder(const std::string& folder);
    const std::string& GetFolder() const { return m_folder; }
    std::string GetPath() const { return m_folder + "/" + kListFile; }

    void Load();
    // Writes the list file whole, or leaves the old one; false when it could not.
    bool Save() const;
    void Clear();
    bool IsLoaded() const { return m_loaded; }

    // Fetches the server's list and folds it in (blocking). False when no
    // list came; the file and the records then stay as they were.
    bool DownloadAndMerge(SIM_Server& server);
    // Folds a downloaded list file into the records and saves: known ids
    // take the server's counters and ratings, new ids are appended in the
    // server's order, records the server no longer has stay.
    void MergeFile(const std::string& downloaded);
    void MergeText(const std::string& text);
    void MergeRecords(Records incoming);

    // Asks the server to delete a challenge, then drops it here; false when
    // the server refused or the list did not hold it.
    bool DeleteChallenge(SIM_Server& server, const std::string& challengeId);
    // Drops a challenge the server has deleted; false when the list lacks it.
    bool RemoveLocal(const std::string& challengeId);

    const std::vector<SIM_ChallengeRecord*>& GetRecords() const { return m_view; }
    SIM_ChallengeRecord* Find(const std::string& id) const;
    bool IsLocal(SIM_ChallengeRecord& record) const { return record.IsLocal(m_folder); }

    // The well-formed "##" lines of a text, in order, at most kMaxRecords
    // (the last ones).
    static Records ParseRecords(const std::string& text);
    // Reads a list file; false (and the file deleted) when it is larger
    // than the biggest list the server may send.
    static bool ReadListFile(const std::string& path, std::string& text);

private:
    void Append(std::unique_ptr<SIM_ChallengeRecord> record);
    void ReadFile();
    // Drops the oldest records past kMaxRecords.
    void Trim();

    std::string m_folder;
    std::vector<std::unique_ptr<SIM_ChallengeRecord>> m_records;
    // The same records as plain pointers for the screens.
    std::vector<SIM_ChallengeRecord*> m_view;
    bool m_loaded = false;
};
