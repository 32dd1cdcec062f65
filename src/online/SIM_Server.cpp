#include "online/SIM_Server.h"

#include "app/Game.h"

#include "engine/GDebugLog.h"
#include "engine/GHttpClient.h"
#include "engine/GSystem.h"

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
