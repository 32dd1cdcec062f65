#include "online/SIM_Server.h"

#include "app/Game.h"

#include "engine/GDebugLog.h"
#include "engine/GSafeFile.h"
#include "engine/GTokenizer.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <unistd.h>
#include "engine/APP_UserFolders.h"
#include "engine/GFileHelpers.h"
#include "engine/GHttpClient.h"
#include "engine/GSafeFile.h"
#include "engine/GSystem.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ChallengeFile.h"

#include <filesystem>
#include <fstream>

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
    // A name the campaign set for its requests wins over the stored one.
    if (!m_userName.empty())
        return m_userName;
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
    if (!Client().IsOnline()) {
        LOG_DEBUG(std::string("SIM_SERVER: no server, not sent: ") + what);
        return false;
    }
    std::string answer;
    bool ok = FetchAnswer(path, wantTrue ? &answer : nullptr);
    if (wantTrue)
        ok = ok && ReadResponse(answer) == "true";
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

// --- Campaign opponents -----------------------------------------------------

void SIM_Server::SetIdentity(const std::string& userName, const std::string& installId)
{
    m_userName = userName;
    m_installId = installId;
}

std::string SIM_Server::CampaignListPath()
{
    if (!APP_UserFolders::GetInstance().IsCreated())
        return std::string();
    return APP_UserFolders::GetInstance().Get(APP_UserFolders::USER) + "/web/camp_chall.txt";
}

bool SIM_Server::GetCampaignOpponentList(const std::string& race, int minCost, int maxCost)
{
    const std::string target = CampaignListPath();
    if (target.empty())
        return false;
    EnsureDirectoryExists(target.substr(0, target.rfind('/')));
    GHttpClient& client = Client();
    if (!client.OpenLink())
        return false;
    const std::string path =
        StrFormat("/quillomar/server/qlm_campaign_getopponentlist.php?&username=%s&id=%s&playerrace=%s&mincost=%d"
                  "&maxcost=%d",
                  PercentEncode(m_userName).c_str(), PercentEncode(m_installId).c_str(), PercentEncode(race).c_str(),
                  minCost, maxCost);
    const bool ok = client.DownloadToFile(target, path);
    client.CloseLink();
    return ok;
}

bool SIM_Server::DownloadChallenge(const std::string& challengeId)
{
    const std::string target = SIM_ChallengeFile::ChallengePath(challengeId);
    if (target.empty())
        return false;
    EnsureDirectoryExists(target.substr(0, target.rfind('/')));
    GHttpClient& client = Client();
    if (!client.OpenDirect()) {
        LOG_DEBUG("SIM_SERVER: Internet Connect Failed");
        return false;
    }
    const bool ok = client.DownloadToFile(target, "/quillomar/server/challenges/" + challengeId + ".qlm");
    client.CloseLink();
    if (!ok)
        LOG_ERROR("SIM_SERVER: Download QLM file failed");
    return ok;
}

std::string SIM_Server::MakeTempFileName()
{
    static std::mutex mutex;
    static unsigned counter = 0;
    std::lock_guard<std::mutex> lock(mutex);
    // Before the user folder exists (tools, tests) the system's temporary folder serves.
    std::string folder;
    if (APP_UserFolders::GetInstance().IsCreated()) {
        folder = APP_UserFolders::GetInstance().Get(APP_UserFolders::USER) + "/web";
        EnsureDirectoryExists(folder);
    } else {
        std::error_code ec;
        folder = std::filesystem::temp_directory_path(ec).string();
        if (ec || folder.empty())
            return std::string();
    }
    return StrFormat("%s/tmp%d_%u.html", folder.c_str(), static_cast<int>(getpid()), counter++);
}

std::string SIM_Server::ReadResponse(const std::string& answer)
{
    std::string value;
    size_t pos = 0;
    while (pos < answer.size()) {
        size_t end = answer.find('\n', pos);
        if (end == std::string::npos)
            end = answer.size();
        const std::string line = answer.substr(pos, end - pos);
        pos = end + 1;
        if (line.find("response") == std::string::npos)
            continue;
        GTokenizer t(line, ',');
        t.NextString();
        value = t.NextString();
        while (!value.empty() && (value.back() == ' ' || value.back() == '\r' || value.back() == '\n'))
            value.pop_back();
    }
    return value;
}

bool SIM_Server::FetchAnswer(const std::string& path, std::string* answer)
{
    const std::string temp = MakeTempFileName();
    if (temp.empty())
        return false;
    GHttpClient& client = Client();
    if (!client.OpenLink())
        return false;
    const bool ok = client.DownloadToFile(temp, path);
    client.CloseLink();
    const bool read = ok && (!answer || ReadWholeFile(temp, *answer));
    std::remove(temp.c_str());
    return read;
}

bool SIM_Server::GetNewCampaignChallengeId(std::string& id)
{
    std::string answer;
    if (!FetchAnswer(StrFormat("/quillomar/server/qlm_campaign_getnewchallengeid.php?&user=%s&id=%s",
                               PercentEncode(m_userName).c_str(), PercentEncode(m_installId).c_str()),
                     &answer))
        return false;
    const std::string value = ReadResponse(answer);
    if (value.empty() || value == "false" || !SIM_ChallengeFile::IsSafeChallengeId(value))
        return false;
    id = value;
    return true;
}

bool SIM_Server::AddCampaignChallenge(const std::string& challengeId)
{
    return FetchAnswer(StrFormat("/quillomar/server/qlm_campaign_addcampaignchallenge.php?&username=%s&id=%s&qlm=%s",
                                 PercentEncode(m_userName).c_str(), PercentEncode(m_installId).c_str(),
                                 PercentEncode(challengeId).c_str()),
                       nullptr);
}

bool SIM_Server::PostChallenge(const std::string& localFile, const std::string& tag)
{
    GHttpClient& client = Client();
    if (!client.OpenPostLink())
        return false;
    const bool ok = client.PostFile("/quillomar/server/postchallenge.php", localFile, tag);
    client.CloseLink();
    return ok;
}
