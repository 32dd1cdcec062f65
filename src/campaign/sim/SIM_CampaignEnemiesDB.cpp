#include "campaign/sim/SIM_CampaignEnemiesDB.h"

#include "campaign/sim/SIM_CampaignDebugLog.h"
#include "campaign/sim/SIM_CampaignSaveWriter.h"
#include "engine/GFileHelpers.h"
#include "engine/GDebugLog.h"
#include "engine/GFileList.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"

#include <cstdio>
#include <set>

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

void SIM_CampaignEnemiesDB::AddToSave(SIM_CampaignSaveWriter& writer, const std::string& saveFolder)
{
    const std::string folder = saveFolder + "/enemyfleets";
    EnsureDirectoryExists(folder);
    // Only files this database read or wrote go when their fleet has gone:
    // what lay beyond the cap at load stays where it is.
    std::set<std::string> written;
    for (const auto& f : m_fleets) {
        if (f->ships.empty())
            continue;
        const std::string path = folder + StrFormat("/%d.ini", f->encounterId);
        writer.Add(path, f->WriteText());
        written.insert(path);
    }
    for (const std::string& path : m_files)
        if (!written.count(path) && FileExists(path))
            writer.Remove(path);
    m_files.insert(written.begin(), written.end());
}

void SIM_CampaignEnemiesDB::Load(const std::string& saveFolder)
{
    Clear();
    m_files.clear();
    GFileList files;
    files.FindFiles(saveFolder + "/enemyfleets/*.ini");
    if (files.names.size() > kMaxFleets) {
        LOG_ERROR(StrFormat("%s/enemyfleets: %zu enemy fleet files, only the first %zu read, the rest left as they are",
                            saveFolder.c_str(), files.names.size(), kMaxFleets));
        files.names.resize(kMaxFleets);
    }
    // Only a file taken is this database's to remove later: one it could
    // not take stays on disk, told once a load, in one line of each kind
    // however many there are.
    std::vector<std::string> shipless, repeated;
    for (const std::string& path : files.names) {
        std::string text;
        if (!ReadWholeFile(path, text, kMaxSaveFileBytes))
            continue;
        auto f = std::make_unique<SIM_CampaignEnemyFleet>();
        f->ReadText(text);
        if (f->ships.empty()) {
            shipless.push_back(path);
            continue;
        }
        if (Find(f->encounterId)) {
            repeated.push_back(path);
            continue;
        }
        m_files.insert(path);
        m_fleets.push_back(std::move(f));
    }
    auto tell = [](const std::vector<std::string>& paths, const char* why) {
        if (paths.size() == 1)
            LOG_ERROR(paths[0] + ": " + why + ", not read");
        else if (paths.size() > 1)
            LOG_ERROR(StrFormat("%s and %zu more enemy fleet files: %s, not read", paths[0].c_str(), paths.size() - 1,
                                why));
    };
    tell(shipless, "no enemy ship in it");
    tell(repeated, "a second fleet for its planet");
}

void SIM_CampaignEnemiesDB::DeleteFiles(const std::string& saveFolder)
{
    GFileList files;
    files.FindFiles(saveFolder + "/enemyfleets/*.ini");
    for (const std::string& path : files.names)
        if (SIM_CampaignSaveWriter::LiesInsideSave(saveFolder, path))
            std::remove(path.c_str());
}
