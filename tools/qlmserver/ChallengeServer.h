#pragma once
#include <httplib.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class SIM_ChallengeRecord;

// The server side of the game's online requests: every script of the
// request table under /quillomar/server/, answering with "response" and
// "message" lines, and the challenge files and thumbnails as plain files.
// Everything it keeps lives in one data folder (challengelist.txt, history/,
// challenges/, thumbnails/, users.txt, messages.txt, blocked.txt, scores.txt,
// news.txt, latest.txt) and every request is appended to requests.log.
class ChallengeServer {
public:
    static constexpr int kScoreCheckKey = 0x5A3;
    static constexpr size_t kTagBytes = 32;
    static constexpr size_t kMaxUpload = 16u * 1024u * 1024u;

    explicit ChallengeServer(std::string dataFolder);
    ~ChallengeServer();

    // Adds the routes to an httplib server.
    void Register(httplib::Server& server);

    const std::string& GetDataFolder() const { return m_folder; }
    // Every script answers this much later (trying slow networks by hand and in tests).
    void SetDelayMs(int ms) { m_delayMs = ms; }
    // The request lines logged so far ("GET <target>" or "POST <path> <tag> <bytes>").
    std::vector<std::string> GetRequests() const;

private:
    using Params = std::multimap<std::string, std::string>;
    struct Answer {
        std::string response;
        std::string message;
        std::string body;
    };

    void Route(httplib::Server& server, const std::string& script, Answer (ChallengeServer::*handler)(const Params&));
    void Log(const std::string& line);
    void LoadList();
    void SaveList() const;
    SIM_ChallengeRecord* Find(const std::string& id) const;
    std::string NameOf(const std::string& userId) const;
    void AddHistory(const std::string& id, const std::string& name, const std::string& outcome);
    bool StoreUpload(const std::string& folder, const std::string& extension, const httplib::Request& req,
                     std::string& tag);

    Answer GetList(const Params&);
    Answer GetHistory(const Params&);
    Answer AddChallenge(const Params&);
    Answer DeleteChallenge(const Params&);
    Answer Victory(const Params&);
    Answer Attempt(const Params&);
    // One more fight of a challenge: its counter, its history, the list.
    Answer CountFight(const Params&, int SIM_ChallengeRecord::*counter, const char* outcome);
    Answer Rate(const Params&);
    Answer SetUserName(const Params&);
    Answer LatestPatch(const Params&);
    Answer AddSurvivalScore(const Params&);
    Answer GetSurvivalScores(const Params&);
    Answer SendMessage(const Params&);
    Answer BlockMessage(const Params&);
    Answer DeleteMessage(const Params&);
    Answer GetMyMessages(const Params&);
    Answer NewCampaignId(const Params&);
    Answer AddCampaignChallenge(const Params&);
    Answer CampaignOpponents(const Params&);

    std::string m_folder;
    mutable std::mutex m_mutex;
    std::vector<std::unique_ptr<SIM_ChallengeRecord>> m_records;
    std::vector<std::string> m_requests;
    // Ratings per challenge: count, difficulty sum, enjoyment sum.
    std::map<std::string, std::vector<double>> m_ratings;
    int m_nextId = 1;
    std::atomic<int> m_delayMs{0};
};
