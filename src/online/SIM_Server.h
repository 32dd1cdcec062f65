#pragma once
#include "engine/GHttpClient.h"

#include <mutex>
#include <string>

// The game's requests to its web server.
class SIM_Server {
public:
    // The metrics post runs at shutdown: it must never hold the exit up long.
    static constexpr long kMetricsTimeoutMs = 3000;
    static constexpr const char* kMetricsPath = "/quillomar/server/postmetrics145.php";

    static SIM_Server& GetInstance();

    // Without a client the game's own (GetInternet) is used.
    explicit SIM_Server(GHttpClient* client = nullptr);

    // Posts the usage metrics file with the installation id as its tag.
    bool PostMetrics(const std::string& metricsFile, const std::string& installId);
    // Sends a challenge's two star ratings; true only when the server
    // answered "true". Without a server it fails at once.
    bool RateChallenge(const std::string& challengeId, int difficulty, int enjoyment);
    // A message to another player; true when the request went out.
    bool SendMessage(const std::string& recipient, const std::string& text);

    // The player's online name lives alone in <user folder>/web/qlmcdu.
    // The folder is the game's user folder unless set (tests).
    void SetUserFolder(const std::string& folder) { m_userFolder = folder; }
    std::string GetUserFolder() const;
    bool HasUserName() const;
    // The file's first line, at most kMaxStoredUserName characters and up to
    // the first control character; empty when the file cannot be read. What
    // the file holds beyond the name is told once, with the name taken.
    std::string GetUserName() const;
    // The name a user-name file's text holds; note says what was left out
    // (empty when the text is the name alone).
    static std::string TakeUserName(const std::string& text, std::string* note = nullptr);
    // Writes the name alone into web/qlmcdu; false when it could not be written.
    bool SaveUserName(const std::string& name) const;
    // Not empty and at most kMaxUserName characters: what SetUserName sends.
    static bool IsUsableUserName(const std::string& name);
    std::string GetHighScoresPath() const { return GetUserFolder() + "/web/highscores.txt"; }
    // Downloads a survival map's high-score list into GetHighScoresPath();
    // blocks for the request, so screens run it off the frame. False, at
    // once, without a server.
    bool GetSurvivalScores(const std::string& mapName, const std::string& userId);
    bool IsOnline();

    // --- Campaign opponents ---------------------------------------------
    // The server's list of campaign opponents for a cost band, saved as
    // "web/camp_chall.txt" in the user folder (only a whole 200 answer
    // replaces it). False when the server could not be asked or answered.
    bool GetCampaignOpponentList(const std::string& race, int minCost, int maxCost);
    // Downloads "web/challenges/<id>.qlm"; false for an unusable id or any
    // failure, with the previous file (if any) kept.
    bool DownloadChallenge(const std::string& challengeId);
    // A new id for a campaign challenge; false on any failure, a non-200 or
    // empty answer, an answer of "false" or an id unfit for a file name.
    bool GetNewCampaignChallengeId(std::string& id);
    bool AddCampaignChallenge(const std::string& challengeId);
    // Posts a challenge file under its id; true only for a 200 answer.
    bool PostChallenge(const std::string& localFile, const std::string& tag);
    // The response value of an answer text ("response,<value>" lines).
    static std::string ReadResponse(const std::string& answer);
    // Both values of an answer: the last line whose first field is exactly
    // "response", and the last whose first field is exactly "message".
    static void ReadAnswer(const std::string& answer, std::string& response, std::string& message);

    // --- Challenges, messages, scores -----------------------------------
    // Each is false (or empty) at once without a server, and false for any
    // answer short of a whole 200. The "true" requests hold only for a
    // response value of exactly "true".
    static constexpr const char* kScriptPath = "/quillomar/server/";
    // The server's challenge list, saved to target only when all of it came.
    bool GetChallengeList(const std::string& target);
    // The history text of a challenge into text (the caller's own buffer).
    bool GetChallengeHistory(const std::string& challengeId, std::string& text);
    // Registers a new challenge; on success the server's id is kept
    // (GetRequestParam). A refusal, an empty id or one unfit for a file name
    // is a failure and keeps the earlier id.
    bool AddChallenge(const std::string& receiver, const std::string& taunt, const std::string& map,
                      const std::string& parentId);
    bool DeleteChallenge(const std::string& challengeId);
    bool ReportChallengeVictory(const std::string& challengeId);
    bool ReportChallengeAttempt(const std::string& challengeId);
    bool SetUserName(const std::string& name);
    bool GetLatestPatch(int version);
    // The news file into target; a server that has none (404) leaves it empty.
    bool DownloadNews(const std::string& target);
    bool AddSurvivalScore(int score, const std::string& map, const std::string& race);
    bool BlockMessageSender(const std::string& sender);
    bool DeleteMessage(int messageId);
    bool GetMyMessages(int lastMessageId, const std::string& target);
    // "web/challengedata/<id>.jpg"; false unless the server has one and it came whole.
    bool DownloadThumbnail(const std::string& challengeId);
    bool PostThumbnail(const std::string& localFile, const std::string& tag);
    static std::string ChallengePathIn(const std::string& userFolder, const std::string& challengeId);
    static std::string ThumbnailPath(const std::string& userFolder, const std::string& challengeId);
    // The key both ends use for the survival score check value.
    static constexpr int kScoreCheckKey = 0x5A3;
    static constexpr size_t kMaxUserName = 128;
    // What is read of a stored name at most (a longer one is cut and told).
    static constexpr size_t kMaxStoredUserName = 255;

    std::string GetRequestParam() const;
    std::string GetLastMessage() const;
    // The account id sent with requests: the one set, else the installation id.
    std::string GetUserId() const;
    // Who the requests are made for: the player's name and installation id.
    void SetIdentity(const std::string& userName, const std::string& installId);
    static std::string CampaignListPath();
    // A temporary answer file no other request of this process is using.
    static std::string MakeTempFileName();

private:
    std::string StoredUserName() const;
    GHttpClient& Client();
    // GETs a server path; with wantTrue the answer must say "true".
    bool Request(const std::string& path, bool wantTrue, const char* what);
    // GETs a path into a private answer file and hands its text back (when
    // asked) before the file goes; false unless a whole 200 answer came.
    bool FetchAnswer(const std::string& path, std::string* answer,
                     GHttpClient::Kind kind = GHttpClient::Kind::ANSWER);
    // GETs a "true" request and keeps its message line.
    bool AskTrue(const std::string& path, const char* what);
    std::string Who(const char* nameKey, const char* idKey) const;
    std::string m_userName;
    std::string m_installId;
    mutable std::mutex m_answerMutex;
    std::string m_newChallengeId;
    std::string m_lastMessage;

    GHttpClient* m_client;
    std::string m_userFolder;
};
