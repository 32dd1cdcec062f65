#include "online/SIM_AutoUpdater.h"

#include "app/Game.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "online/OnlineCalendar.h"
#include "online/OnlineJob.h"
#include "online/SIM_Server.h"

SIM_AutoUpdater& SIM_AutoUpdater::GetInstance()
{
    static SIM_AutoUpdater instance;
    return instance;
}

std::string SIM_AutoUpdater::DatePath() const
{
    return SIM_Server::GetInstance().GetUserFolder() + "/web/up";
}

bool SIM_AutoUpdater::IsCheckedToday() const
{
    OnlineCalendar::Date stored;
    return OnlineCalendar::ReadDate(DatePath(), "config", stored) && stored == OnlineCalendar::Today();
}

bool SIM_AutoUpdater::WriteCheckDate() const
{
    return OnlineCalendar::WriteDate(DatePath(), "config", OnlineCalendar::Today());
}

void SIM_AutoUpdater::CheckForUpdate()
{
    SIM_Server& server = SIM_Server::GetInstance();
    // Without a server nothing can be asked, and the day stays open.
    if (m_job || !server.HasUserName() || !server.IsOnline() || IsCheckedToday())
        return;
    if (!WriteCheckDate())
        LOG_DEBUG("Failed to write out last update check date");
    LOG_DEBUG("Checking for application update");
    ++m_requests;
    m_job = OnlineJob::Start([](SIM_Server& s, std::string& text) {
        const bool newer = s.GetLatestPatch(Game::kVersionNumber);
        text = s.GetLastMessage();
        return newer;
    });
    Poll();
}

void SIM_AutoUpdater::Poll()
{
    bool newer = false;
    std::string message;
    if (!OnlineJob::Collect(m_job, newer, message))
        return;
    if (!newer)
        return;
    LOG_DEBUG("A newer version of the game is available: " + message);
    m_notice = GetString("UPDATE_AVAILABLE_TEXT");
    if (!message.empty())
        m_notice += "\n\n" + message;
}

bool SIM_AutoUpdater::TakeNotice(std::string& text)
{
    Poll();
    if (m_notice.empty())
        return false;
    text = std::move(m_notice);
    m_notice.clear();
    return true;
}
