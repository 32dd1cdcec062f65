#include "online/OnlineStatus.h"

#include "engine/GHashTable.h"
#include "online/OnlineJob.h"

OnlineStatus::Kind OnlineStatus::Of(const OnlineJob& job)
{
    if (!job.IsDone())
        return WAITING;
    if (job.Succeeded())
        return NONE;
    if (job.WasOffline())
        return NO_SERVER;
    return job.IsCancelled() ? CANCELLED : FAILED;
}

OnlineStatus::Kind OnlineStatus::Of(const OnlineJob& job, bool nothingToShow)
{
    const Kind kind = Of(job);
    return kind == NONE && nothingToShow ? EMPTY : kind;
}

const char* OnlineStatus::Key(Kind kind, const char* waitingKey, const char* emptyKey)
{
    switch (kind) {
    case WAITING:
        return waitingKey;
    case NO_SERVER:
        return "ONLINE_NO_SERVER";
    case FAILED:
        return "ONLINE_NO_ANSWER";
    case CANCELLED:
        return "ONLINE_CANCELLED";
    case EMPTY:
        return emptyKey;
    case NONE:
        break;
    }
    return "";
}

std::string OnlineStatus::Text(Kind kind, const char* waitingKey, const char* emptyKey)
{
    const char* key = Key(kind, waitingKey, emptyKey);
    return *key ? std::string(GetString(key)) : std::string();
}
