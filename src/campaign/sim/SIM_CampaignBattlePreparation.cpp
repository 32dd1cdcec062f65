#include "campaign/sim/SIM_CampaignBattlePreparation.h"

#include "campaign/sim/SIM_CampaignAIManager.h"
#include "campaign/sim/SIM_CampaignBattleManager.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "campaign/sim/SIM_CampaignEnemiesDB.h"
#include "campaign/sim/SIM_CampaignEnemyFleet.h"
#include "campaign/sim/SIM_CampaignFleet.h"
#include "campaign/sim/SIM_CampaignOpponentChooser.h"
#include "campaign/sim/SIM_CampaignOpponentLog.h"
#include "campaign/sim/SIM_CampaignProgress.h"
#include "campaign/sim/SIM_CampaignScreenHooks.h"
#include "campaign/sim/SIM_CampaignStats.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GHttpClient.h"
#include "online/SIM_Server.h"
#include "sim/SIM_ChallengeFile.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Scenario.h"

#include <algorithm>
#include <exception>
#include <system_error>

namespace {
SIM_CampaignBattlePreparation::Downloader g_downloader;

bool Download(const std::string& id, SIM_Server& server)
{
    if (g_downloader)
        return g_downloader(id);
    return GetInternet().IsOnline() && server.DownloadChallenge(id);
}
} // namespace

void SIM_CampaignBattlePreparation::SetDownloader(Downloader downloader)
{
    g_downloader = std::move(downloader);
}

SIM_CampaignBattlePreparation::~SIM_CampaignBattlePreparation()
{
    Join();
}

void SIM_CampaignBattlePreparation::Join()
{
    if (m_worker.joinable())
        m_worker.join();
}

float SIM_CampaignBattlePreparation::BattleMapSize(float survivingCost, float fleetWidth, float fleetHeight)
{
    const float spread = std::max(std::max(fleetWidth, fleetHeight) + 300.0f, 4.0f * fleetWidth);
    return std::max({survivingCost / 12.0f, 2000.0f, spread});
}

bool SIM_CampaignBattlePreparation::Start()
{
    Join();
    m_ready = false;
    m_cancel = false;
    SIM_PendingBattle* b = SIM_CampaignBattleManager::GetInstance().GetCurrent();
    if (!b || !b->encounter)
        return false;
    // A fleet cached for an AI attack lives under the planet it came from.
    const int id = (b->kind == SIM_PendingBattle::AI_ATTACK && b->source) ? b->source->encounterId
                                                                         : b->encounter->encounterId;
    const float wanted = b->encounter->ai->currentFleet;
    // A battle prepared before (and left unfought) meets its opponent again;
    // the cached fleet is that opponent's only while it names the same challenge.
    const std::string kept = b->opponent;
    const SIM_CampaignEnemyFleet* cached = SIM_CampaignProgress::GetInstance().GetEnemiesDB().Find(id);
    const bool keptCached = !kept.empty() && cached && cached->GetChallengeID() == kept;
    const SIM_Server& main = SIM_Server::GetInstance();
    const Link link{GetInternet().GetServerUrl(), main.GetUserFolder(), main.GetUserName(), main.GetUserId()};
    try {
        m_worker = std::thread([this, id, wanted, kept, keptCached, link] {
            try {
                Work(id, wanted, kept, keptCached, link);
            } catch (const std::exception&) {
                // Nothing found is a result too: the main thread must not wait forever.
                m_path.clear();
                m_ready.store(true, std::memory_order_release);
            }
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void SIM_CampaignBattlePreparation::Work(int encounterId, float wantedCost, const std::string& kept, bool keptCached,
                                         const Link& link)
{
    // Whatever happens, the worker ends with a result.
    m_challengeId.clear();
    m_path.clear();
    m_reused = keptCached;
    GHttpClient client;
    client.SetServerUrl(link.url);
    client.SetCancelFlag(&m_cancel);
    SIM_Server server(&client);
    server.SetUserFolder(link.userFolder);
    server.SetIdentity(link.userName, link.userId);
    std::string id = kept.empty() ? SIM_CampaignOpponentChooser::ChooseOpponent(encounterId, wantedCost, m_reused, &server)
                                   : kept;
    std::string path;
    if (!id.empty() && !m_cancel) {
        path = SIM_CampaignOpponentChooser::PoolFilePath(id);
        if (path.empty()) {
            path = SIM_ChallengeFile::ChallengePath(id);
            if (!path.empty() && !FileExists(path) && !Download(id, server)) {
                LOG_ERROR("Failed to download challenge file");
                path.clear();
            }
        }
        if (path.empty() && !m_reused && !m_cancel) {
            // The chosen fleet could not be fetched: fight one we ship.
            std::vector<SIM_CampaignOpponentChooser::Candidate> pool;
            float lo = 0.0f, hi = 0.0f;
            SIM_CampaignOpponentChooser::CostBand(wantedCost, lo, hi);
            SIM_CampaignOpponentChooser::AddPoolCandidates(lo, hi, pool);
            id = SIM_CampaignOpponentChooser::PickOpponent(pool);
            path = SIM_CampaignOpponentChooser::PoolFilePath(id);
        }
    }
    if (!path.empty() && !m_cancel) {
        m_challengeId = id;
        m_path = path;
    }
    m_ready.store(true, std::memory_order_release);
}

bool SIM_CampaignBattlePreparation::Finish(SIM_Scenario& scenario)
{
    Join();
    SIM_CampaignBattleManager& manager = SIM_CampaignBattleManager::GetInstance();
    SIM_PendingBattle* b = manager.GetCurrent();
    if (!b)
        return false;
    SIM_CampaignEncounter* e = b->encounter;
    SIM_CampaignProgress& progress = SIM_CampaignProgress::GetInstance();
    SIM_ChallengeFile& challenge = SIM_ChallengeFile::GetInstance();
    const int fleetId = (b->kind == SIM_PendingBattle::AI_ATTACK && b->source) ? b->source->encounterId
                                                                              : e->encounterId;
    bool ok = !m_path.empty() && challenge.ReadFile(m_path, scenario, m_challengeId) &&
              challenge.GetFleetRead() && !challenge.GetFleetRead()->GetShips().empty();
    if (ok) {
        e->opponentName = m_challengeId;
        scenario.SetChallengeFile(m_challengeId);
        b->reusedFleet = m_reused;
        b->enemyFleet = m_reused ? progress.GetEnemiesDB().Find(fleetId) : nullptr;
        if (!b->enemyFleet)
            b->enemyFleet = progress.GetEnemiesDB().AddFleet(fleetId, m_challengeId, *challenge.GetFleetRead());
        ok = b->enemyFleet != nullptr;
    }
    if (!ok) {
        // Nothing to fight: the battle waits for a later try, which draws anew.
        b->opponent.clear();
        manager.ReturnCurrentToPending();
        SIM_CampaignScreenHooks::Get().ShowMessage("CAMPAIGN_NO_OPPONENT");
        return false;
    }
    // The same battle prepared again (the game closed during it) was counted
    // and logged the first time.
    const bool again = b->opponent == m_challengeId;
    b->opponent = m_challengeId;
    if (!again) {
        SIM_CampaignOpponentLog::GetInstance().Record(m_challengeId);
        progress.GetStats().AddToStat("battles_fought", 1);
    }

    const float challengeW = scenario.GetMapSizeX();
    const float challengeH = scenario.GetMapSizeY();
    e->challengeMapSize[0] = challengeW;
    e->challengeMapSize[1] = challengeH;
    float lo[2], hi[2];
    challenge.GetFleetBounds(lo, hi, challengeW, challengeH);
    float surviving = 0.0f;
    for (const SIM_CampaignFleet* f : b->fleets)
        surviving += f->survivingCost;
    const float size = BattleMapSize(surviving, hi[0] - lo[0], hi[1] - lo[1]);
    challenge.OffsetFleetPositions((lo[1] + hi[1]) * 0.5f, challengeW, challengeH, size, size);
    SIM_Scenario::Zone zone = scenario.GetPlayerDeployment();
    zone.bottom = static_cast<int>(size - (challengeH - static_cast<float>(zone.bottom)));
    zone.right = static_cast<int>(size * 0.25f);
    scenario.SetPlayerDeployment(zone);
    scenario.SetMapSize(size, size);
    e->SetMapSize(size, size);
    e->SetPlayerDeployment(zone);
    // The opponent is the battle's from now on: a game closed before the
    // battle ends offers it again against the same enemy.
    progress.Save();
    return true;
}

bool SIM_CampaignBattlePreparation::Prepare(SIM_Scenario& scenario)
{
    if (!Start())
        return false;
    return Finish(scenario);
}
