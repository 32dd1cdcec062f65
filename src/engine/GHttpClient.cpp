#include "engine/GHttpClient.h"

#include "engine/GDebugLog.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/GTokenizer.h"
#include "engine/StrFormat.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <curl/curl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr const char* kAgentProxy = "WinInetGet/0.1";
constexpr const char* kAgentDirect = "MyHTTPClient/1.0";
constexpr const char* kOffline = "Internet: offline, no server configured";
constexpr long kMaxTimeoutMs = 10 * 60 * 1000;

// Set by CancelAll: the game is quitting, and no request runs again, whether
// its transfer had begun or was still to begin.
std::atomic<bool> g_quitting{false};

void GlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Owns one easy handle and its header list for the length of one request.
struct Request {
    CURL* curl = nullptr;
    curl_slist* headers = nullptr;

    Request() : curl(curl_easy_init()) {}
    ~Request()
    {
        if (headers)
            curl_slist_free_all(headers);
        if (curl)
            curl_easy_cleanup(curl);
    }
    Request(const Request&) = delete;
    Request& operator=(const Request&) = delete;

    void AddHeader(const char* line) { headers = curl_slist_append(headers, line); }

    long Status() const
    {
        long status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        return status;
    }
};

// Shared options of every request: no redirects, no cookies (the cookie
// engine is never switched on), nothing from a cache, bounded waits.
void Configure(Request& r, const std::string& url, bool direct, long connectMs, long totalMs)
{
    curl_easy_setopt(r.curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(r.curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(r.curl, CURLOPT_USERAGENT, direct ? kAgentDirect : kAgentProxy);
    curl_easy_setopt(r.curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(r.curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(r.curl, CURLOPT_CONNECTTIMEOUT_MS, connectMs);
    curl_easy_setopt(r.curl, CURLOPT_TIMEOUT_MS, totalMs);
    if (direct)
        curl_easy_setopt(r.curl, CURLOPT_NOPROXY, "*");
    r.AddHeader("Cache-Control: no-cache");
    r.AddHeader("Pragma: no-cache");
}

// Asked by libcurl during every transfer, also while it waits for bytes.
struct CancelState {
    const std::atomic<bool>* flag = nullptr;
    bool cancelled = false;
};

int CheckCancel(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto* st = static_cast<CancelState*>(user);
    if ((st->flag && st->flag->load()) || g_quitting.load())
        st->cancelled = true;
    return st->cancelled ? 1 : 0;
}

void WatchCancel(Request& r, CancelState& cancel, const std::atomic<bool>* flag)
{
    cancel.flag = flag;
    curl_easy_setopt(r.curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(r.curl, CURLOPT_XFERINFOFUNCTION, CheckCancel);
    curl_easy_setopt(r.curl, CURLOPT_XFERINFODATA, &cancel);
}

struct DownloadState {
    CURL* curl = nullptr;
    FILE* file = nullptr;
    long status = 0;
    bool rejected = false;
    bool writeFailed = false;
    bool tooLarge = false;
    long long received = 0;
    long long maxBytes = 0;
    GHttpClient::ProgressCallback progress = nullptr;
    void* progressContext = nullptr;
};

size_t WriteDownload(char* data, size_t size, size_t count, void* user)
{
    auto* st = static_cast<DownloadState*>(user);
    const size_t bytes = size * count;
    if (st->status == 0)
        curl_easy_getinfo(st->curl, CURLINFO_RESPONSE_CODE, &st->status);
    // An error page is never worth saving; stop before reading it.
    if (!GHttpClient::PostStatusOk(st->status)) {
        st->rejected = true;
        return 0;
    }
    if (st->received + static_cast<long long>(bytes) > st->maxBytes) {
        st->tooLarge = true;
        return 0;
    }
    if (bytes > 0 && fwrite(data, 1, bytes, st->file) != bytes) {
        st->writeFailed = true;
        return 0;
    }
    st->received += static_cast<long long>(bytes);
    if (st->progress) {
        curl_off_t length = -1;
        curl_easy_getinfo(st->curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        const long long expected = length >= 0 ? static_cast<long long>(length) : GHttpClient::kAssumedLength;
        if (expected != 0) {
            double fraction = static_cast<double>(st->received) / static_cast<double>(expected);
            st->progress(st->progressContext, static_cast<float>(std::min(fraction, 1.0)));
        }
    }
    return bytes;
}

size_t StopAtBody(char*, size_t, size_t, void*)
{
    return 0;
}

// Keeps a short answer; a longer one is cut off, which fails the transfer.
size_t KeepShortBody(char* data, size_t size, size_t count, void* target)
{
    auto* body = static_cast<std::string*>(target);
    const size_t n = size * count;
    if (body->size() + n > GHttpClient::kMaxPostAnswerBytes)
        return 0;
    body->append(data, n);
    return n;
}

bool IsUrlSafe(unsigned char c)
{
    if (c <= 0x20 || c >= 0x7F)
        return false;
    return strchr("\"<>\\^`{|}", c) == nullptr;
}

// Callers build query strings by hand; anything that could break the request
// line (blanks, line breaks, non-ASCII) is percent-encoded.
std::string EscapePath(const std::string& path)
{
    std::string out;
    out.reserve(path.size());
    for (unsigned char c : path) {
        if (IsUrlSafe(c))
            out += static_cast<char>(c);
        else
            out += StrFormat("%%%02X", c);
    }
    return out;
}

std::string JoinUrl(const std::string& base, const std::string& path)
{
    if (base.empty())
        return std::string();
    size_t start = path.find_first_not_of('/');
    if (start == std::string::npos)
        start = path.size();
    return base + "/" + EscapePath(path.substr(start));
}

bool IsValidServerUrl(const std::string& url)
{
    if (url.rfind("http://", 0) != 0 && url.rfind("https://", 0) != 0)
        return false;
    for (unsigned char c : url) {
        if (!IsUrlSafe(c))
            return false;
    }
    return true;
}

long ClampTimeout(long ms, long fallback)
{
    if (ms <= 0)
        return fallback;
    return std::min(ms, kMaxTimeoutMs);
}

// Through the capped reader: a regular file of at most kMaxPostFileBytes,
// opened without waiting (a FIFO in its place never holds the caller up); a
// refused file is told by the reader and not sent.
bool ReadPostFile(const std::string& path, std::string& out)
{
    std::string bytes;
    const FileRead read = ReadWholeFile(path, bytes, static_cast<size_t>(GHttpClient::kMaxPostFileBytes));
    if (read.IsMissing()) {
        LOG_ERROR("Failed to read local file");
        return false;
    }
    if (!read)
        return false;
    if (bytes.empty()) {
        LOG_ERROR("Failed to get local file size");
        return false;
    }
    out += bytes;
    return true;
}
} // namespace

GHttpClient::GHttpClient()
{
    GlobalInit();
}

long long GHttpClient::MaxBytes(Kind kind)
{
    constexpr long long kKiB = 1024, kMiB = 1024 * 1024;
    switch (kind) {
    case Kind::ANSWER: return 64 * kKiB;
    case Kind::LIST: return 4 * kMiB;
    case Kind::CHALLENGE: return 4 * kMiB;
    case Kind::THUMBNAIL: return 512 * kKiB;
    case Kind::NEWS: return 64 * kKiB;
    case Kind::MESSAGES: return 2 * kMiB;
    case Kind::HISTORY: return 512 * kKiB;
    case Kind::SCORES: return 256 * kKiB;
    case Kind::OPPONENTS: return 1 * kMiB;
    case Kind::KIND_COUNT: break;
    }
    return 64 * kKiB;
}

void GHttpClient::SetCancelFlag(const std::atomic<bool>* flag)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_settings.cancel = flag;
}

void GHttpClient::CancelAll()
{
    g_quitting = true;
}

void GHttpClient::ResumeAfterCancelAllForTest()
{
    g_quitting = false;
}

bool GHttpClient::LoadConfig(const std::string& iniPath)
{
    GIniFile ini;
    std::string url;
    long connectMs = kDefaultConnectTimeoutMs;
    long totalMs = kDefaultTimeoutMs;
    if (ini.Load("server", iniPath.c_str())) {
        // The file holds all three: one missing was cut or damaged, and is
        // told (a missing url plays offline).
        for (const char* key : {"url", "connect_timeout_ms", "timeout_ms"})
            if (!ini.HasKey(key))
                ::LogError(StrFormat("%s [server] %s: missing (empty, cut or damaged), %s", iniPath.c_str(), key,
                                     key[0] == 'u' ? "offline" : "its default used"),
                           __FILE__, __LINE__);
        url = ini.GetString("url");
        auto timeout = [&](const char* key, long& ms, long fallback) {
            if (!ini.HasKey(key))
                return;
            const long read = ini.GetInt(key);
            ms = ClampTimeout(read, fallback);
            if (ms != read)
                ::LogError(StrFormat("%s [server] %s = %s: out of range 1..%ld, %ld used", iniPath.c_str(), key,
                                     std::string(ini.GetString(key)).substr(0, 40).c_str(), kMaxTimeoutMs, ms),
                           __FILE__, __LINE__);
        };
        timeout("connect_timeout_ms", connectMs, kDefaultConnectTimeoutMs);
        timeout("timeout_ms", totalMs, kDefaultTimeoutMs);
    }
    if (const char* env = getenv("QLM_SERVER_URL"))
        url = env;
    SetTimeouts(connectMs, totalMs);
    SetServerUrl(url);
    return IsOnline();
}

void GHttpClient::SetServerUrl(const std::string& url)
{
    std::string base = url;
    if (!base.empty() && !IsValidServerUrl(base)) {
        ::LogError(StrFormat("Internet: server address ignored (needs http:// or https://): %s", base.c_str()), __FILE__, __LINE__);
        base.clear();
    }
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_settings.baseUrl = base;
}

std::string GHttpClient::GetServerUrl() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_settings.baseUrl;
}

bool GHttpClient::IsOnline() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_settings.baseUrl.empty();
}

void GHttpClient::SetTimeouts(long connectMs, long totalMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_settings.connectMs = ClampTimeout(connectMs, kDefaultConnectTimeoutMs);
    m_settings.totalMs = ClampTimeout(totalMs, kDefaultTimeoutMs);
}

void GHttpClient::SetProgressCallback(ProgressCallback callback, void* context)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_settings.progress = callback;
    m_settings.progressContext = context;
}

GHttpClient::Settings GHttpClient::Snapshot() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_settings;
}

std::string GHttpClient::MakeUrl(const std::string& path) const
{
    return JoinUrl(GetServerUrl(), path);
}

bool GHttpClient::Open(bool direct)
{
    if (!IsOnline()) {
        LOG_DEBUG(kOffline);
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_links[std::this_thread::get_id()].direct = direct;
    return true;
}

bool GHttpClient::OpenLink()
{
    return Open(false);
}

bool GHttpClient::OpenDirect()
{
    return Open(true);
}

void GHttpClient::CloseLink()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_links.erase(std::this_thread::get_id());
}

bool GHttpClient::Prepare(Settings& settings, Link& link, const char* failText) const
{
    if (g_quitting.load()) {
        LOG_DEBUG("Internet: the game is quitting, not sent");
        return false;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    settings = m_settings;
    if (settings.baseUrl.empty()) {
        lock.unlock();
        LOG_DEBUG(kOffline);
        return false;
    }
    auto it = m_links.find(std::this_thread::get_id());
    if (it == m_links.end()) {
        lock.unlock();
        LogError(failText);
        return false;
    }
    link = it->second;
    return true;
}

namespace {
thread_local int t_unanswered = 0;
} // namespace

int GHttpClient::UnansweredOnThisThread()
{
    return t_unanswered;
}

void GHttpClient::LogUnanswered(long code) const
{
    // A server that is down or out of reach is the player's situation, not a fault.
    ++t_unanswered;
    LOG_DEBUG(StrFormat("Internet: no answer from the server, HttpSendRequest() Failed [%ld]", code));
}

void GHttpClient::LogError(const std::string& text, long code) const
{
    std::string line = StrFormat("IERROR:  %s [%ld]", text.c_str(), code);
    ::LogError(line, __FILE__, __LINE__);
    LOG_DEBUG(line);
}

bool GHttpClient::DownloadToFile(const std::string& localFile, const std::string& path, Kind kind, long* answered)
{
    if (answered)
        *answered = 0;
    Settings s;
    Link link;
    if (!Prepare(s, link, "Internet: HttpOpenRequest() Failed"))
        return false;

    // The answer goes into a temporary file beside the target so that only a
    // complete 200 answer ever replaces what the caller had.
    std::string tempPath = localFile + ".partXXXXXX";
    int fd = mkstemp(tempPath.data());
    FILE* file = fd >= 0 ? fdopen(fd, "wb") : nullptr;
    if (!file) {
        if (fd >= 0) {
            close(fd);
            unlink(tempPath.c_str());
        }
        LogError("Failed writing local web copy", errno);
        return false;
    }
    fchmod(fd, 0644);

    Request r;
    if (!r.curl) {
        fclose(file);
        unlink(tempPath.c_str());
        LogError("Internet: HttpOpenRequest() Failed");
        return false;
    }
    Configure(r, JoinUrl(s.baseUrl, path), link.direct, s.connectMs, s.totalMs);
    curl_easy_setopt(r.curl, CURLOPT_HTTPHEADER, r.headers);
    DownloadState st;
    st.curl = r.curl;
    st.file = file;
    st.progress = s.progress;
    st.progressContext = s.progressContext;
    st.maxBytes = MaxBytes(kind);
    curl_easy_setopt(r.curl, CURLOPT_WRITEFUNCTION, WriteDownload);
    curl_easy_setopt(r.curl, CURLOPT_WRITEDATA, &st);
    // A declared length past the cap is refused before any byte is written.
    curl_easy_setopt(r.curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(st.maxBytes));
    CancelState cancel;
    WatchCancel(r, cancel, s.cancel);

    const CURLcode rc = curl_easy_perform(r.curl);
    const long status = r.Status();
    if (answered)
        *answered = status;
    bool ok = false;
    if (rc == CURLE_OK && PostStatusOk(status)) {
        ok = fflush(file) == 0 && fsync(fileno(file)) == 0;
        ok = fclose(file) == 0 && ok;
        file = nullptr;
        // A copy that was there but could not be read stays as it was found.
        const std::string kept = ok ? GSafeFile::ReasonNotToReplace(localFile) : std::string();
        ok = ok && kept.empty() && rename(tempPath.c_str(), localFile.c_str()) == 0;
        if (!kept.empty())
            LogError(StrFormat("Local web copy not replaced, %s : %s", kept.c_str(), localFile.c_str()));
        else if (!ok)
            LogError("Failed writing local web copy", errno);
    } else if (cancel.cancelled) {
        LOG_DEBUG(StrFormat("Internet: request cancelled: %s", path.c_str()));
    } else if (st.tooLarge || rc == CURLE_FILESIZE_EXCEEDED) {
        LogError(StrFormat("Internet: answer larger than %lld bytes refused for %s", st.maxBytes, path.c_str()));
    } else if (st.writeFailed) {
        LogError("Failed writing local web copy", errno);
    } else if (status == 0) {
        LogUnanswered(rc);
    } else if (status == 404 && kind == Kind::NEWS) {
        LOG_DEBUG("Internet: the server has no news");
    } else if (st.rejected || rc == CURLE_OK) {
        LogError(StrFormat("Internet: server answered %ld for %s", status, path.c_str()), status);
    } else {
        LogError("Internet: InternetReadFile() Failed", rc);
    }
    if (file)
        fclose(file);
    if (!ok)
        unlink(tempPath.c_str());
    return ok;
}

bool GHttpClient::UrlExists(const std::string& path)
{
    Settings s;
    Link link;
    if (!Prepare(s, link, "Internet: HttpOpenRequest() Failed"))
        return false;
    Request r;
    if (!r.curl) {
        LogError("Internet: HttpOpenRequest() Failed");
        return false;
    }
    Configure(r, JoinUrl(s.baseUrl, path), link.direct, s.connectMs, s.totalMs);
    curl_easy_setopt(r.curl, CURLOPT_HTTPHEADER, r.headers);
    // Only the status line matters; the body is refused at its first byte.
    curl_easy_setopt(r.curl, CURLOPT_WRITEFUNCTION, StopAtBody);
    CancelState cancel;
    WatchCancel(r, cancel, s.cancel);
    const CURLcode rc = curl_easy_perform(r.curl);
    const long status = r.Status();
    if (cancel.cancelled)
        return false;
    if (status == 0) {
        LogUnanswered(rc);
        return false;
    }
    return status != 404;
}

bool GHttpClient::PostFile(const std::string& path, const std::string& localFile, const std::string& tag,
                           long timeoutMs)
{
    Settings s;
    Link link;
    if (!Prepare(s, link, "HttpOpenRequest Failed"))
        return false;

    std::string body(kPostTagBytes, '\0');
    memcpy(body.data(), tag.data(), std::min(tag.size(), kPostTagBytes));
    if (!ReadPostFile(localFile, body))
        return false;

    Request r;
    if (!r.curl) {
        LogError("HttpOpenRequest Failed");
        return false;
    }
    long totalMs = timeoutMs > 0 ? ClampTimeout(timeoutMs, s.totalMs) : s.totalMs;
    Configure(r, JoinUrl(s.baseUrl, path), link.direct, std::min(s.connectMs, totalMs), totalMs);
    r.AddHeader("Content-Type: application/octet-stream");
    r.AddHeader("Accept: */*");
    r.AddHeader("Expect:"); // no 100-continue round trip
    curl_easy_setopt(r.curl, CURLOPT_HTTPHEADER, r.headers);
    curl_easy_setopt(r.curl, CURLOPT_POST, 1L);
    curl_easy_setopt(r.curl, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(r.curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    std::string answer;
    curl_easy_setopt(r.curl, CURLOPT_WRITEFUNCTION, KeepShortBody);
    curl_easy_setopt(r.curl, CURLOPT_WRITEDATA, &answer);
    CancelState cancel;
    WatchCancel(r, cancel, s.cancel);

    const CURLcode rc = curl_easy_perform(r.curl);
    if (rc != CURLE_OK) {
        LOG_DEBUG(StrFormat("HttpSendRequest Failed [%d]", static_cast<int>(rc)));
        return false;
    }
    const long status = r.Status();
    if (!PostStatusOk(status)) {
        LOG_DEBUG(StrFormat("Error on QueryInfo from web page post [%ld]", status));
        return false;
    }
    std::string response, message;
    ReadAnswer(answer, response, message);
    if (response != "true") {
        LOG_DEBUG(StrFormat("Error on web page post: answer without a true response [%zu bytes]", answer.size()));
        return false;
    }
    return true;
}

void GHttpClient::ReadAnswer(const std::string& answer, std::string& response, std::string& message)
{
    response.clear();
    message.clear();
    size_t pos = 0;
    while (pos < answer.size()) {
        size_t end = answer.find('\n', pos);
        if (end == std::string::npos)
            end = answer.size();
        const std::string line = answer.substr(pos, end - pos);
        pos = end + 1;
        GTokenizer t(line, ',');
        const std::string key = t.NextString();
        const bool isResponse = key == "response";
        if (!isResponse && key != "message")
            continue;
        std::string value = t.NextString();
        while (!value.empty() && (value.back() == ' ' || value.back() == '\r' || value.back() == '\n'))
            value.pop_back();
        (isResponse ? response : message) = value;
    }
}

GHttpClient& GetInternet()
{
    static GHttpClient* client = [] {
        static GHttpClient instance;
        instance.LoadConfig("data/server.ini");
        return &instance;
    }();
    return *client;
}
