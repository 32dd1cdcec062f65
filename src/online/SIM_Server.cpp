#include "online/SIM_Server.h"

#include "engine/GDebugLog.h"
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
