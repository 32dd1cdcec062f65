#include "online/OnlineMessageCheck.h"

#include "online/GUI_OnlineMessagePopup.h"
#include "online/SIM_OnlineMessageManager.h"
#include "online/SIM_Server.h"

namespace {
bool g_waiting = false;
int g_finishedBefore = 0;

// Messages of the last batch stay new until the next download brings one,
// so a look that could not ask the server still announces them.
void AnnounceNewMessages()
{
    const int count = SIM_OnlineMessageManager::GetInstance().GetNewCount();
    if (count > 0)
        GUI_OnlineMessagePopup::Show(count);
}
} // namespace

void CheckForNewOnlineMessages()
{
    if (g_waiting)
        return;
    SIM_OnlineMessageManager& manager = SIM_OnlineMessageManager::GetInstance();
    if (!SIM_Server::GetInstance().GetUserName().empty()) {
        g_finishedBefore = manager.GetDownloadsFinished();
        g_waiting = manager.StartDownload();
    }
    if (g_waiting)
        PollNewOnlineMessages();
    else
        AnnounceNewMessages();
}

void ForgetNewOnlineMessagesCheck()
{
    g_waiting = false;
}

bool PollNewOnlineMessages()
{
    if (!g_waiting)
        return false;
    SIM_OnlineMessageManager& manager = SIM_OnlineMessageManager::GetInstance();
    manager.Poll();
    if (manager.GetDownloadsFinished() == g_finishedBefore)
        return true;
    g_waiting = false;
    AnnounceNewMessages();
    return false;
}
