#include "online/SIM_Server.h"

#include "engine/GDebugLog.h"
#include "engine/GSafeFile.h"
#include "engine/GTokenizer.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <unistd.h>
#include "app/APP_UserFolders.h"
#include "engine/GFileHelpers.h"
#include "engine/GHttpClient.h"
#include "engine/StrFormat.h"
#include "sim/SIM_ChallengeFile.h"

SIM_Server& SIM_Server::GetInstance()
{
    static SIM_Server instance;
    return instance;
}

SIM_Server::SIM_Server(GHttpClient* client) : m_client(client)
{
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

// --- Campaign opponents -----------------------------------------------------

void SIM_Server::SetIdentity(const std::string& userName, const std::string& installId)
{
    m_userName = userName;
    m_installId = installId;
}

std::string SIM_Server::EncodeParam(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '_' || c == '.' || c == '~';
        if (plain)
            out.push_back(static_cast<char>(c));
        else
            out += StrFormat("%%%02X", c);
    }
    return out;
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
                  EncodeParam(m_userName).c_str(), EncodeParam(m_installId).c_str(), EncodeParam(race).c_str(),
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
    if (!APP_UserFolders::GetInstance().IsCreated())
        return std::string();
    const std::string folder = APP_UserFolders::GetInstance().Get(APP_UserFolders::USER) + "/web";
    EnsureDirectoryExists(folder);
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
                               EncodeParam(m_userName).c_str(), EncodeParam(m_installId).c_str()),
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
                                 EncodeParam(m_userName).c_str(), EncodeParam(m_installId).c_str(),
                                 EncodeParam(challengeId).c_str()),
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
