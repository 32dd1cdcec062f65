#include "online/SIM_ChallengeDatabase.h"

#include "engine/APP_UserFolders.h"
#include "engine/GHttpClient.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GSafeFile.h"
#include "engine/MarkedLines.h"
#include "engine/StrFormat.h"
#include "online/SIM_Server.h"

#include <cstdio>
#include <filesystem>
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

SIM_ChallengeDatabase::Records SIM_ChallengeDatabase::ParseRecords(const std::string& text)
{
    Records out;
    size_t refused = 0;
    ForEachMarkedLine(text, kMaxLine, [&out, &refused](const std::string& line) {
        if (SIM_ChallengeRecord::IsWellFormed(line))
            out.push_back(std::make_unique<SIM_ChallengeRecord>(line));
        else
            ++refused;
    });
    if (refused > 0)
        LOG_DEBUG(StrFormat("Challenge list: %zu malformed lines skipped", refused));
    if (out.size() > kMaxRecords)
        out.erase(out.begin(), out.end() - static_cast<long>(kMaxRecords));
    return out;
}

bool SIM_ChallengeDatabase::ReadListFile(const std::string& path, std::string& text)
{
    text.clear();
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec)
        return false;
    if (size > static_cast<std::uintmax_t>(GHttpClient::MaxBytes(GHttpClient::Kind::LIST))) {
        LOG_ERROR(StrFormat("Challenge list too large (%ju bytes), deleted: %s", static_cast<std::uintmax_t>(size),
                            path.c_str()));
        std::remove(path.c_str());
        return false;
    }
    return ReadWholeFile(path, text);
}

void SIM_ChallengeDatabase::Trim()
{
    if (m_records.size() <= kMaxRecords)
        return;
    const long drop = static_cast<long>(m_records.size() - kMaxRecords);
    m_view.erase(m_view.begin(), m_view.begin() + drop);
    m_records.erase(m_records.begin(), m_records.begin() + drop);
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
    if (m_folder.empty() || !ReadListFile(GetPath(), text))
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
    MergeRecords(ParseRecords(text));
}

void SIM_ChallengeDatabase::MergeRecords(Records incoming)
{
    // By id through a map: thousands of challenges merge without a walk per line.
    std::unordered_map<std::string, SIM_ChallengeRecord*> byId;
    byId.reserve(m_records.size() * 2 + 16);
    for (const auto& r : m_records)
        byId.emplace(r->id, r.get());
    for (auto& record : incoming) {
        auto found = byId.find(record->id);
        if (found != byId.end()) {
            found->second->UpdateCountsFrom(*record);
            continue;
        }
        byId.emplace(record->id, record.get());
        Append(std::move(record));
    }
    Trim();
    Save();
    m_loaded = true;
}

void SIM_ChallengeDatabase::MergeFile(const std::string& downloaded)
{
    std::string text;
    ReadListFile(downloaded, text);
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
    return server.DeleteChallenge(challengeId) && RemoveLocal(challengeId);
}

bool SIM_ChallengeDatabase::RemoveLocal(const std::string& challengeId)
{
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
