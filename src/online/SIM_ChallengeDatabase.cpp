#include "online/SIM_ChallengeDatabase.h"

#include "engine/APP_UserFolders.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GSafeFile.h"
#include "engine/MarkedLines.h"
#include "online/SIM_Server.h"

#include <cstdio>
#include <unordered_map>

SIM_ChallengeDatabase& SIM_ChallengeDatabase::GetInstance()
{
    static SIM_ChallengeDatabase instance;
    return instance;
}

SIM_ChallengeDatabase::SIM_ChallengeDatabase()
{
    if (APP_UserFolders::GetInstance().IsCreated())
        m_folder = APP_UserFolders::GetInstance().Get(APP_UserFolders::USER) + "/web/challenges";
}

SIM_ChallengeDatabase::~SIM_ChallengeDatabase() = default;

void SIM_ChallengeDatabase::SetFolder(const std::string& folder)
{
    Clear();
    m_folder = folder;
}

void SIM_ChallengeDatabase::Clear()
{
    m_view.clear();
    m_records.clear();
    m_loaded = false;
}

std::vector<std::unique_ptr<SIM_ChallengeRecord>> SIM_ChallengeDatabase::ParseRecords(const std::string& text)
{
    std::vector<std::unique_ptr<SIM_ChallengeRecord>> out;
    ForEachMarkedLine(text, kMaxLine,
                      [&out](const std::string& line) { out.push_back(std::make_unique<SIM_ChallengeRecord>(line)); });
    return out;
}

void SIM_ChallengeDatabase::Append(std::unique_ptr<SIM_ChallengeRecord> record)
{
    m_view.push_back(record.get());
    m_records.push_back(std::move(record));
}

void SIM_ChallengeDatabase::ReadFile()
{
    Clear();
    std::string text;
    if (m_folder.empty() || !ReadWholeFile(GetPath(), text))
        return;
    for (auto& r : ParseRecords(text))
        Append(std::move(r));
}

void SIM_ChallengeDatabase::Load()
{
    ReadFile();
    m_loaded = true;
}

bool SIM_ChallengeDatabase::Save() const
{
    if (m_folder.empty())
        return false;
    std::string text;
    for (const auto& r : m_records)
        text += r->ToLine();
    EnsureDirectoryExists(m_folder);
    std::string reason;
    if (!WriteFileAtomically(GetPath(), text, &reason)) {
        LOG_ERROR("Failed to save the challenge list: " + reason);
        return false;
    }
    return true;
}

SIM_ChallengeRecord* SIM_ChallengeDatabase::Find(const std::string& id) const
{
    for (SIM_ChallengeRecord* r : m_view)
        if (r->id == id)
            return r;
    return nullptr;
}

void SIM_ChallengeDatabase::MergeText(const std::string& text)
{
    // By id through a map: thousands of challenges merge without a walk per line.
    std::unordered_map<std::string, SIM_ChallengeRecord*> byId;
    byId.reserve(m_records.size() * 2 + 16);
    for (const auto& r : m_records)
        byId.emplace(r->id, r.get());
    for (auto& incoming : ParseRecords(text)) {
        auto found = byId.find(incoming->id);
        if (found != byId.end()) {
            found->second->UpdateCountsFrom(*incoming);
            continue;
        }
        byId.emplace(incoming->id, incoming.get());
        Append(std::move(incoming));
    }
    Save();
    m_loaded = true;
}

void SIM_ChallengeDatabase::MergeFile(const std::string& downloaded)
{
    std::string text;
    if (!ReadWholeFile(downloaded, text))
        text.clear();
    MergeText(text);
}

bool SIM_ChallengeDatabase::DownloadAndMerge(SIM_Server& server)
{
    ReadFile();
    m_loaded = true;
    if (m_folder.empty())
        return false;
    EnsureDirectoryExists(m_folder);
    // The server's answer lands beside the list; the list itself is
    // rewritten only from a merge.
    const std::string downloaded = GetPath() + ".server";
    if (!server.GetChallengeList(downloaded)) {
        std::remove(downloaded.c_str());
        return false;
    }
    MergeFile(downloaded);
    std::remove(downloaded.c_str());
    return true;
}

bool SIM_ChallengeDatabase::DeleteChallenge(SIM_Server& server, const std::string& challengeId)
{
    if (!server.DeleteChallenge(challengeId))
        return false;
    if (!m_loaded)
        Load();
    for (size_t i = 0; i < m_records.size(); ++i) {
        if (m_records[i]->id != challengeId)
            continue;
        m_records.erase(m_records.begin() + static_cast<long>(i));
        m_view.erase(m_view.begin() + static_cast<long>(i));
        Save();
        return true;
    }
    return false;
}
