#pragma once
#include <string>

class GHttpClient;

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
    // The file's first line (at most 255 characters), empty without one.
    std::string GetUserName() const;
    std::string GetHighScoresPath() const { return GetUserFolder() + "/web/highscores.txt"; }
    // Downloads a survival map's high-score list into GetHighScoresPath();
    // blocks for the request, so screens run it off the frame. False, at
    // once, without a server.
    bool GetSurvivalScores(const std::string& mapName, const std::string& userId);
    bool IsOnline();

private:
    GHttpClient& Client();
    // GETs a server path; with wantTrue the answer must say "true".
    bool Request(const std::string& path, bool wantTrue, const char* what);

    GHttpClient* m_client;
    std::string m_userFolder;
};
