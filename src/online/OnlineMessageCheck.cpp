#include "online/OnlineMessageCheck.h"

#include "online/GUI_OnlineMessagePopup.h"
#include "online/SIM_OnlineMessageManager.h"
#include "online/SIM_Server.h"

namespace {
bool g_waiting = false;
int g_finishedBefore = 0;
} // namespace

void CheckForNewOnlineMessages()
{
    if (g_waiting || SIM_Server::GetInstance().GetUserName().empty())
        return;
    SIM_OnlineMessageManager& manager = SIM_OnlineMessageManager::GetInstance();
    g_finishedBefore = manager.GetDownloadsFinished();
    g_waiting = manager.StartDownload();
    PollNewOnlineMessages();
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
    // A failed look keeps the last batch: it was announced then.
    if (manager.GetLastOutcome() == OnlineStatus::NONE && manager.GetNewCount() > 0)
        GUI_OnlineMessagePopup::Show(manager.GetNewCount());
    return false;
}
