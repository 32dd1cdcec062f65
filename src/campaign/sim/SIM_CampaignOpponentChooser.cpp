#include "campaign/sim/SIM_CampaignOpponentChooser.h"

#include "campaign/sim/SIM_CampaignDebugLog.h"
#include "campaign/sim/SIM_CampaignEnemiesDB.h"
#include "campaign/sim/SIM_CampaignOpponentLog.h"
#include "campaign/sim/SIM_CampaignOptions.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "engine/APP_ContentPackage.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GHttpClient.h"
#include "engine/GIniFile.h"
#include "engine/GRandom.h"
#include "engine/GSafeFile.h"
#include "engine/GTokenizer.h"
#include "engine/StrFormat.h"
#include "online/SIM_Server.h"
#include "sim/SIM_ChallengeFile.h"

namespace {
SIM_CampaignOpponentChooser::ListSource g_source;

bool PackagesAvailable(const std::string& packages)
{
    GTokenizer t(packages, ',');
    while (!t.AtEnd()) {
        const std::string name = t.NextString();
        if (name == "qlm_base" || name.size() <= 2)
            continue;
        if (!APP_ContentPackage::GetInstance().HasPackage(name))
            return false;
    }
    return true;
}
} // namespace

SIM_CampaignOpponentChooser::ListSource SIM_CampaignOpponentChooser::ServerListSource(SIM_Server& server)
{
    return [&server](const std::string& race, float minCost, float maxCost, std::string& text) {
        if (!GetInternet().IsOnline())
            return false;
        if (!server.GetCampaignOpponentList(race, static_cast<int>(minCost), static_cast<int>(maxCost)))
            return false;
        if (!ReadWholeFile(SIM_Server::CampaignListPath(), text)) {
            LOG_ERROR("Failed to open camp_chall.txt");
            return false;
        }
        return true;
    };
}

void SIM_CampaignOpponentChooser::SetListSource(ListSource source)
{
    g_source = std::move(source);
}

bool SIM_CampaignOpponentChooser::IsSafeChallengeId(const std::string& id)
{
    return SIM_ChallengeFile::IsSafeChallengeId(id);
}

void SIM_CampaignOpponentChooser::CostBand(float wantedCost, float& minCost, float& maxCost)
{
    minCost = wantedCost * 0.5f;
    maxCost = wantedCost * 0.9f;
    if (maxCost < 3000.0f)
        maxCost = 3000.0f;
}

void SIM_CampaignOpponentChooser::AddCandidates(const std::string& listText, std::vector<Candidate>& list)
{
    const SIM_CampaignOpponentLog& log = SIM_CampaignOpponentLog::GetInstance();
    // Told once for the list, however many: a damaged list is one line.
    size_t unusable = 0;
    std::string firstUnusable;
    for (const std::string& line : SplitTextLines(listText)) {
        if (line.compare(0, 2, "##") != 0)
            continue;
        GTokenizer t(line, ',');
        t.NextString(); // the marker
        const std::string id = t.NextString();
        const std::string packages = t.NextString();
        if (!IsSafeChallengeId(id)) {
            if (unusable++ == 0)
                firstUnusable = id.substr(0, 40);
            continue;
        }
        if (!PackagesAvailable(packages))
            continue;
        list.push_back({id, log.WeightOf(id)});
    }
    if (unusable > 0)
        LOG_ERROR(StrFormat("Opponent list: %zu entries name an unusable challenge id, left out (the first: %s)",
                            unusable, firstUnusable.c_str()));
}

void SIM_CampaignOpponentChooser::AddPoolCandidates(float minCost, float maxCost, std::vector<Candidate>& list)
{
    std::string text;
    if (!ReadWholeFile(CampaignDataPath("opponents/pool.txt"), text)) {
        LOG_ERROR("Failed to open the shipped opponent pool");
        return;
    }
    // Pool lines carry the race and cost after the server's fields.
    std::string inBand, all;
    for (const std::string& line : SplitTextLines(text)) {
        if (line.compare(0, 2, "##") != 0)
            continue;
        GTokenizer t(line, ',');
        for (int i = 0; i < 4; ++i)
            t.NextString();
        const float cost = t.NextFloat();
        all += line + "\n";
        if (cost >= minCost && cost <= maxCost)
            inBand += line + "\n";
    }
    AddCandidates(inBand.empty() ? all : inBand, list);
}

std::string SIM_CampaignOpponentChooser::PickOpponent(const std::vector<Candidate>& list)
{
    if (list.empty()) {
        LOG_ERROR("No enemy fleets found!");
        return std::string();
    }
    int total = 0;
    for (const Candidate& c : list)
        total = static_cast<int>(static_cast<float>(total) + c.weight);
    const float r = static_cast<float>(QlmRand()) * (1.0f / 32768.0f);
    const int target = static_cast<int>(static_cast<float>(total) * r);
    int sum = 0;
    for (const Candidate& c : list) {
        sum = static_cast<int>(static_cast<float>(sum) + c.weight);
        if (sum >= target) {
            CampaignLog("Opponent QLM chosen: %s", c.id.c_str());
            return c.id;
        }
    }
    return list.back().id;
}

std::string SIM_CampaignOpponentChooser::ChooseOpponent(int encounterId, float wantedCost, bool& reused,
                                                        SIM_Server* server)
{
    CampaignLog("Choosing opponent at encounter %d", encounterId);
    reused = false;
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    if (SIM_CampaignEnemyFleet* cached = progress.GetEnemiesDB().Find(encounterId)) {
        reused = true;
        CampaignLog("existing ai fleet re-used");
        return cached->GetChallengeID();
    }
    CampaignLog("downloading enemy campaign fleet");
    float minCost = 0.0f, maxCost = 0.0f;
    CostBand(wantedCost, minCost, maxCost);
    std::vector<Candidate> list;
    std::string text;
    SIM_Server& asked = server ? *server : SIM_Server::GetInstance();
    ListSource source = g_source ? g_source : ServerListSource(asked);
    const int unanswered = GHttpClient::UnansweredOnThisThread();
    if (source(progress.race, minCost, maxCost, text))
        AddCandidates(text, list);
    else if (!asked.IsOnline()) // the shipped opponents are the player's choice
        LOG_DEBUG("GetCampaignChallenges() failed: no game server is set up");
    else if (GHttpClient::UnansweredOnThisThread() != unanswered) // down or out of reach: no fault
        LOG_DEBUG("GetCampaignChallenges() failed: the game server did not answer");
    else
        LOG_ERROR("GetCampaignChallenges() failed");
    if (list.empty())
        AddPoolCandidates(minCost, maxCost, list);
    return PickOpponent(list);
}

std::string SIM_CampaignOpponentChooser::PoolFilePath(const std::string& id)
{
    if (!IsSafeChallengeId(id))
        return std::string();
    const std::string path = CampaignDataPath("opponents/" + id + ".qlm");
    return FileExists(path) ? path : std::string();
}
