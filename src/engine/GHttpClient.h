#pragma once
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>

// The one HTTP client of the game: plain GETs of server-relative paths saved
// to local files, and file uploads. The server's base address comes from
// data/server.ini ([server] url) or the QLM_SERVER_URL environment variable;
// with none every request fails at once and nothing is sent.
//
// Each request uses its own connection, so threads may make requests at the
// same time; each thread opens and closes its own link.
class GHttpClient {
public:
    using ProgressCallback = void (*)(void* context, float fraction);

    // Short: a server that never accepts should cost the player little.
    static constexpr long kDefaultConnectTimeoutMs = 3000;
    static constexpr long kDefaultTimeoutMs = 30000;
    // Progress is measured against this when the server sends no length.
    static constexpr long long kAssumedLength = 1048576;
    static constexpr size_t kPostTagBytes = 32;
    static constexpr long long kMaxPostFileBytes = 16ll * 1024 * 1024;

    // What an answer is decides how much of it the game takes: a download
    // past its kind's cap is stopped, its partial file deleted and the
    // refusal reported once.
    enum class Kind { ANSWER, LIST, CHALLENGE, THUMBNAIL, NEWS, MESSAGES, HISTORY, SCORES, OPPONENTS, KIND_COUNT };
    static long long MaxBytes(Kind kind);

    GHttpClient();
    ~GHttpClient() = default;
    GHttpClient(const GHttpClient&) = delete;
    GHttpClient& operator=(const GHttpClient&) = delete;

    // Reads the [server] section of iniPath (keys "url", "connect_timeout_ms",
    // "timeout_ms"); QLM_SERVER_URL, when set, replaces the url. False when
    // no server ends up configured.
    bool LoadConfig(const std::string& iniPath);
    // An empty or malformed url means offline.
    void SetServerUrl(const std::string& url);
    std::string GetServerUrl() const;
    bool IsOnline() const;
    void SetTimeouts(long connectMs, long totalMs);
    void SetProgressCallback(ProgressCallback callback, void* context);

    // Opens this thread's link: through the system's proxy settings, or direct.
    bool OpenLink();
    bool OpenDirect();
    bool OpenPostLink() { return OpenDirect(); }
    void CloseLink();

    // Saves the answer to localFile only when the server answered 200 and the
    // whole body arrived; otherwise the previous file stays as it was. The
    // HTTP status goes to answered (0: no answer). A 404 for the news is no
    // news, not an error.
    bool DownloadToFile(const std::string& localFile, const std::string& path, Kind kind = Kind::ANSWER,
                        long* answered = nullptr);
    // Requests of this client stop (and fail) soon after the flag turns true.
    void SetCancelFlag(const std::atomic<bool>* flag);
    // The game is quitting: every request of every client stops, those in
    // flight soon and those whose transfer was still to begin at once, and
    // none runs again in this process.
    static void CancelAll();
    static void ResumeAfterCancelAllForTest();
    // False for a 404 and for no answer at all.
    bool UrlExists(const std::string& path);
    // POSTs a 32-byte tag field followed by the file's bytes as
    // application/octet-stream; true only for a 200 answer whose "response"
    // line says "true" (an empty answer means the upload went nowhere). A
    // timeout of 0 takes the client's own.
    bool PostFile(const std::string& path, const std::string& localFile, const std::string& tag,
                  long timeoutMs = 0);

    static bool PostStatusOk(long status) { return status == 200; }
    // The server's answers are "key,value" lines; only "response" and
    // "message" matter (the last of each wins, trailing blanks dropped).
    static void ReadAnswer(const std::string& answer, std::string& response, std::string& message);
    static constexpr size_t kMaxPostAnswerBytes = 64 * 1024;
    void LogError(const std::string& text, long code = 0) const;
    // Requests of this thread so far that no server answered at all (refused,
    // not found, timed out): those go to the debug log only. A caller
    // compares the count before and after its requests to tell a server out
    // of reach from a bad answer.
    static int UnansweredOnThisThread();

    // The full address of a server-relative path; empty when offline.
    std::string MakeUrl(const std::string& path) const;

private:
    struct Settings {
        std::string baseUrl;
        long connectMs = kDefaultConnectTimeoutMs;
        long totalMs = kDefaultTimeoutMs;
        ProgressCallback progress = nullptr;
        void* progressContext = nullptr;
        const std::atomic<bool>* cancel = nullptr;
    };
    struct Link {
        bool direct = false;
    };

    bool Open(bool direct);
    Settings Snapshot() const;
    // False (logged) when this thread has no open link or no server is set.
    bool Prepare(Settings& settings, Link& link, const char* failText) const;
    void LogUnanswered(long code) const;

    mutable std::mutex m_mutex;
    Settings m_settings;
    std::map<std::thread::id, Link> m_links;
};

// The game's client, configured from data/server.ini on first use.
GHttpClient& GetInternet();
