#include "online/SIM_Server.h"

#include "app/Game.h"

#include "engine/GDebugLog.h"
#include "engine/GHttpClient.h"
#include "engine/GSafeFile.h"
#include "engine/GSystem.h"
#include "engine/StrFormat.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace {

// The answer file holds "response = ..." and "message = ..." lines.
bool AnswerIsTrue(const std::string& file)
{
    std::string text;
    if (!ReadWholeFile(file, text))
        return false;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        auto trim = [](std::string s) {
            const size_t b = s.find_first_not_of(" \t\r");
            const size_t e = s.find_last_not_of(" \t\r");
            return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
        };
        if (trim(line.substr(0, eq)) == "response")
            return trim(line.substr(eq + 1)) == "true";
    }
    return false;
}

} // namespace

SIM_Server& SIM_Server::GetInstance()
{
    static SIM_Server instance;
    return instance;
}

SIM_Server::SIM_Server(GHttpClient* client) : m_client(client)
{
}

std::string SIM_Server::GetUserFolder() const
{
    return m_userFolder.empty() ? Game::GetInstance().GetUserPath(Game::USER) : m_userFolder;
}

bool SIM_Server::HasUserName() const
{
    std::ifstream in(GetUserFolder() + "/web/qlmcdu");
    return in.is_open();
}

std::string SIM_Server::GetUserName() const
{
    std::ifstream in(GetUserFolder() + "/web/qlmcdu");
    std::string line;
    if (!in.is_open() || !std::getline(in, line))
        return std::string();
    if (line.size() > 255)
        line.resize(255);
    return line;
}

bool SIM_Server::IsOnline()
{
    return Client().IsOnline();
}

bool SIM_Server::GetSurvivalScores(const std::string& mapName, const std::string& userId)
{
    GHttpClient& client = Client();
    if (!client.IsOnline() || !client.OpenLink())
        return false;
    std::string path = "quillomar/server/getsurvivalscores.php?&username=" + PercentEncode(GetUserName()) +
                       "&id=" + PercentEncode(userId) + "&map=" + PercentEncode(mapName);
    bool ok = client.DownloadToFile(GetHighScoresPath(), path);
    client.CloseLink();
    return ok;
}

GHttpClient& SIM_Server::Client()
{
    return m_client ? *m_client : GetInternet();
}

bool SIM_Server::PostMetrics(const std::string& metricsFile, const std::string& installId)
{
    GHttpClient& client = Client();
    if (!client.OpenPostLink())
        return false;
    bool ok = client.PostFile(kMetricsPath, metricsFile, installId, kMetricsTimeoutMs);
    client.CloseLink();
    if (!ok)
        LOG_DEBUG("SIM_SERVER: metrics upload failed");
    return ok;
}

bool SIM_Server::Request(const std::string& path, bool wantTrue, const char* what)
{
    GHttpClient& client = Client();
    if (!client.IsOnline()) {
        LOG_DEBUG(std::string("SIM_SERVER: no server, not sent: ") + what);
        return false;
    }
    if (!client.OpenLink())
        return false;
    const std::filesystem::path answer = std::filesystem::temp_directory_path() / "qlm_server_answer.txt";
    bool ok = client.DownloadToFile(answer.string(), path);
    client.CloseLink();
    if (wantTrue)
        ok = ok && AnswerIsTrue(answer.string());
    std::error_code ec;
    std::filesystem::remove(answer, ec);
    if (!ok)
        LOG_DEBUG(std::string("SIM_SERVER: not taken: ") + what);
    return ok;
}

bool SIM_Server::RateChallenge(const std::string& challengeId, int difficulty, int enjoyment)
{
    // The player's online name and id are sent once online play keeps them.
    return Request(StrFormat("/quillomar/server/ratechallenge.php?&rater=&username=&qlmid=%s&dif=%d&enj=%d",
                             PercentEncode(challengeId).c_str(), difficulty, enjoyment),
                   true, "rating");
}

bool SIM_Server::SendMessage(const std::string& recipient, const std::string& text)
{
    return Request(StrFormat("/quillomar/server/sendmessage.php?&user=&id=&msgto=%s&msg=%s",
                             PercentEncode(recipient).c_str(), PercentEncode(text).c_str()),
                   false, "message");
}
