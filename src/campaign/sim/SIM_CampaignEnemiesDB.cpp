#include "campaign/sim/SIM_CampaignEnemiesDB.h"

#include "campaign/sim/SIM_CampaignDebugLog.h"
#include "campaign/sim/SIM_CampaignSaveWriter.h"
#include "engine/GFileHelpers.h"
#include "engine/GFileList.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"

#include <cstdio>

SIM_CampaignEnemyFleet* SIM_CampaignEnemiesDB::Find(int encounterId) const
{
    for (const auto& f : m_fleets)
        if (f->encounterId == encounterId)
            return f.get();
    return nullptr;
}

SIM_CampaignEnemyFleet* SIM_CampaignEnemiesDB::AddFleet(int encounterId, const std::string& challengeId,
                                                        const SIM_DeployedFleet& fleet)
{
    ClearEntry(encounterId);
    auto f = std::make_unique<SIM_CampaignEnemyFleet>();
    if (!f->FillFromDeployedFleet(encounterId, challengeId, fleet))
        return nullptr;
    CampaignLog("Adding new fleet from qlm %s to %d", challengeId.c_str(), encounterId);
    m_fleets.push_back(std::move(f));
    return m_fleets.back().get();
}

void SIM_CampaignEnemiesDB::ClearEntry(int encounterId)
{
    CampaignLog("Clearing enemies database entry for encounter %d", encounterId);
    for (auto it = m_fleets.begin(); it != m_fleets.end(); ++it) {
        if ((*it)->encounterId == encounterId) {
            m_fleets.erase(it);
            CampaignLog("fleet entry deleted from database");
            return;
        }
    }
}

void SIM_CampaignEnemiesDB::TurnStep()
{
    for (auto& f : m_fleets)
        f->Repair();
}

void SIM_CampaignEnemiesDB::AddToSave(SIM_CampaignSaveWriter& writer, const std::string& saveFolder) const
{
    const std::string folder = saveFolder + "/enemyfleets";
    EnsureDirectoryExists(folder);
    GFileList old;
    old.FindFiles(folder + "/*.ini");
    for (const std::string& path : old.names)
        writer.Remove(path);
    for (const auto& f : m_fleets)
        if (!f->ships.empty())
            writer.Add(folder + StrFormat("/%d.ini", f->encounterId), f->WriteText());
}

void SIM_CampaignEnemiesDB::Load(const std::string& saveFolder)
{
    Clear();
    GFileList files;
    files.FindFiles(saveFolder + "/enemyfleets/*.ini");
    for (const std::string& path : files.names) {
        std::string text;
        if (!ReadWholeFile(path, text, kMaxSaveFileBytes))
            continue;
        auto f = std::make_unique<SIM_CampaignEnemyFleet>();
        f->ReadText(text);
        if (f->ships.empty() || Find(f->encounterId))
            continue;
        m_fleets.push_back(std::move(f));
    }
}

void SIM_CampaignEnemiesDB::DeleteFiles(const std::string& saveFolder)
{
    GFileList files;
    files.FindFiles(saveFolder + "/enemyfleets/*.ini");
    for (const std::string& path : files.names)
        std::remove(path.c_str());
}
