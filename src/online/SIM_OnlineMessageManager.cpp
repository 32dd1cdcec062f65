#include "online/SIM_OnlineMessageManager.h"

#include "engine/GDebugLog.h"
#include "engine/GSafeFile.h"
#include "engine/MarkedLines.h"
#include "online/OnlineJob.h"
#include "online/SIM_Server.h"

#include <algorithm>

SIM_OnlineMessageManager& SIM_OnlineMessageManager::GetInstance()
{
    static SIM_OnlineMessageManager instance(SIM_Server::GetInstance().GetUserFolder() + "/web/oldmessages.txt");
    return instance;
}

SIM_OnlineMessageManager::SIM_OnlineMessageManager(std::string seenPath) : m_seenPath(std::move(seenPath))
{
    std::string text;
    if (!ReadWholeFile(m_seenPath, text))
        return;
    ForEachMarkedLine(text, kMaxLine, [this](const std::string& line) {
        auto record = std::make_unique<Record>();
        if (!Record::FromLine(line, *record) || Knows(record->id))
            return;
        m_highestId = std::max(m_highestId, record->id);
        m_seen.push_back(std::move(record));
    });
}

SIM_OnlineMessageManager::~SIM_OnlineMessageManager() = default;

bool SIM_OnlineMessageManager::Knows(int id) const
{
    for (const auto* list : {&m_seen, &m_new})
        for (const auto& r : *list)
            if (r->id == id)
                return true;
    return false;
}

bool SIM_OnlineMessageManager::StartDownload()
{
    // An answer nobody took in yet is merged first; a running one is joined.
    Poll();
    if (m_job)
        return true;
    const int after = m_highestId;
    m_job = OnlineJob::Start([after](SIM_Server& server, std::string& text) {
        const std::string target = server.GetUserFolder() + "/web/messages.txt";
        return server.GetMyMessages(after, target) && ReadWholeFile(target, text);
    });
    if (m_job->IsDone() && !m_job->Succeeded()) {
        m_job.reset();
        ++m_finished;
        return false;
    }
    return true;
}

bool SIM_OnlineMessageManager::Poll()
{
    bool ok = false;
    std::string text;
    if (!OnlineJob::Collect(m_job, ok, text))
        return false;
    ++m_finished;
    if (!ok) {
        LOG_DEBUG("Online messages: no answer, the lists stay as they are");
        return false;
    }
    MergeDownload(text);
    return true;
}

void SIM_OnlineMessageManager::MergeDownload(const std::string& text)
{
    for (auto& r : m_new)
        m_seen.push_back(std::move(r));
    m_new.clear();
    // By id: a message the lists hold already is not taken twice.
    ForEachMarkedLine(text, kMaxLine, [this](const std::string& line) {
        auto record = std::make_unique<Record>();
        if (!Record::FromLine(line, *record) || Knows(record->id))
            return;
        m_highestId = std::max(m_highestId, record->id);
        m_new.push_back(std::move(record));
    });
    m_downloaded = true;
    RebuildAll();
    SaveSeenMessages();
}

void SIM_OnlineMessageManager::RebuildAll()
{
    m_all.clear();
    for (const auto* list : {&m_seen, &m_new})
        for (const auto& r : *list)
            m_all.push_back(r.get());
}

void SIM_OnlineMessageManager::Remove(const Record* record)
{
    for (auto* list : {&m_seen, &m_new})
        list->erase(std::remove_if(list->begin(), list->end(),
                                   [record](const std::unique_ptr<Record>& r) { return r.get() == record; }),
                    list->end());
}

void SIM_OnlineMessageManager::DeleteMessage(const Record* record)
{
    if (!record)
        return;
    const int id = record->id;
    Remove(record);
    RebuildAll();
    OnlineJob::Start([id](SIM_Server& server, std::string&) { return server.DeleteMessage(id); });
    SaveSeenMessages();
}

void SIM_OnlineMessageManager::BlockSender(const Record* record)
{
    if (!record)
        return;
    const std::string sender = record->sender;
    OnlineJob::Start([sender](SIM_Server& server, std::string&) { return server.BlockMessageSender(sender); });
    std::vector<const Record*> doomed;
    for (const Record* r : m_all)
        if (r->sender == sender)
            doomed.push_back(r);
    for (const Record* r : doomed)
        Remove(r);
    RebuildAll();
    SaveSeenMessages();
}

bool SIM_OnlineMessageManager::SaveSeenMessages() const
{
    // Before any download the list is not this run's: the old file stays.
    if (!m_downloaded)
        return false;
    std::string text;
    for (const Record* r : m_all)
        text += r->ToLine();
    return WriteFileAtomically(m_seenPath, text);
}
