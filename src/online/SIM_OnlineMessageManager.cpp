#include "online/SIM_OnlineMessageManager.h"

#include "engine/GDebugLog.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/MarkedLines.h"
#include "engine/StrFormat.h"
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
    // A file from before the bound: only its newest lines can be kept, so
    // only they are read, and what goes is said.
    const size_t most = kMaxStored * kMaxLine;
    size_t tooLong = 0;
    if (text.size() > most) {
        // Lines too long to keep go first, so one huge line does not push
        // every message before it out with it.
        std::string kept;
        for (size_t pos = 0; pos < text.size();) {
            const size_t end = std::min(text.find('\n', pos), text.size());
            const size_t next = std::min(end + 1, text.size());
            if (end - pos > kMaxLine)
                ++tooLong;
            else
                kept.append(text, pos, next - pos);
            pos = next;
        }
        text.swap(kept);
    }
    if (text.size() > most) {
        const size_t cut = text.find('\n', text.size() - most);
        const size_t dropped = cut == std::string::npos ? text.size() : cut + 1;
        LOG_ERROR(StrFormat("%s: %zu bytes of older lines before the last %zu bytes left out", m_seenPath.c_str(),
                            dropped, text.size() - dropped));
        text.erase(0, dropped);
    }
    size_t unread = 0;
    for (auto& record : ParseLines(text, &unread, &tooLong))
        Take(std::move(record), m_seen);
    // Every line the game writes ends with its line end: a last line without
    // one was cut, whatever it ends with.
    if (!text.empty() && text.back() != '\n' && text.rfind('\n') + 1 < text.size())
        if (const std::string last = text.substr(text.rfind('\n') + 1); last.back() == '"')
            ++unread;
    // The list is written anew at the next download: a file that held no
    // message at all, or lines cut, damaged or too long, is said so first.
    if (m_seen.empty() && GIniFile::HasContent(text))
        LOG_ERROR(m_seenPath + ": no message line in it, the list starts empty");
    else if (unread > 0)
        LOG_ERROR(StrFormat("%s: %zu lines damaged or cut off, read as they stand", m_seenPath.c_str(), unread));
    if (tooLong > 0)
        LOG_ERROR(StrFormat("%s: %zu lines longer than %zu characters left out", m_seenPath.c_str(), tooLong,
                            kMaxLine));
    Trim();
}

SIM_OnlineMessageManager::~SIM_OnlineMessageManager() = default;

SIM_OnlineMessageManager::Records SIM_OnlineMessageManager::ParseLines(const std::string& text, size_t* unread,
                                                                       size_t* tooLong)
{
    Records out;
    ForEachMarkedLine(text, kMaxLine, [&out, unread](const std::string& line) {
        auto record = std::make_unique<Record>();
        // A line the game wrote ends with its quoted text: one that does not
        // was cut or damaged, and is read as it stands.
        if (unread && (line.size() < 2 || line.back() != '"'))
            ++*unread;
        if (Record::FromLine(line, *record))
            out.push_back(std::move(record));
    }, tooLong);
    if (out.size() > kMaxStored)
        out.erase(out.begin(), out.end() - static_cast<long>(kMaxStored));
    return out;
}

bool SIM_OnlineMessageManager::Take(std::unique_ptr<Record> record, Records& into)
{
    if (!m_ids.insert(record->id).second)
        return false;
    m_highestId = std::max(m_highestId, record->id);
    into.push_back(std::move(record));
    return true;
}

void SIM_OnlineMessageManager::Trim()
{
    const size_t total = m_seen.size() + m_new.size();
    if (total <= kMaxStored)
        return;
    // The highest id stays known, so old messages are not asked for again.
    const size_t drop = std::min(total - kMaxStored, m_seen.size());
    for (size_t i = 0; i < drop; ++i)
        m_ids.erase(m_seen[i]->id);
    m_seen.erase(m_seen.begin(), m_seen.begin() + static_cast<long>(drop));
}

bool SIM_OnlineMessageManager::StartDownload()
{
    // An answer nobody took in yet is merged first; a running one is joined.
    Poll();
    if (m_job)
        return true;
    const int after = m_highestId;
    auto parsed = std::make_shared<Records>();
    m_job = OnlineJob::Start([after, parsed](SIM_Server& server, std::string&) {
        const std::string target = server.GetUserFolder() + "/web/messages.txt";
        std::string text;
        if (!server.GetMyMessages(after, target) || !ReadWholeFile(target, text))
            return false;
        *parsed = ParseLines(text);
        return true;
    });
    m_parsed = parsed;
    if (m_job->WasOffline()) {
        m_job.reset();
        m_parsed.reset();
        ++m_finished;
        m_lastOutcome = OnlineStatus::NO_SERVER;
        return false;
    }
    return true;
}

bool SIM_OnlineMessageManager::Poll()
{
    if (!m_job || !m_job->IsDone())
        return false;
    m_lastOutcome = OnlineStatus::Of(*m_job);
    bool ok = false;
    std::string text;
    OnlineJob::Collect(m_job, ok, text);
    ++m_finished;
    std::shared_ptr<Records> parsed = std::move(m_parsed);
    if (!ok || !parsed) {
        LOG_DEBUG("Online messages: no answer, the lists stay as they are");
        return false;
    }
    MergeRecords(std::move(*parsed));
    return true;
}

void SIM_OnlineMessageManager::MergeDownload(const std::string& text)
{
    MergeRecords(ParseLines(text));
}

void SIM_OnlineMessageManager::MergeRecords(Records records)
{
    for (auto& r : m_new)
        m_seen.push_back(std::move(r));
    m_new.clear();
    // By id: a message the lists hold already is not taken twice.
    for (auto& record : records)
        Take(std::move(record), m_new);
    Trim();
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
    if (record)
        m_ids.erase(record->id);
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
