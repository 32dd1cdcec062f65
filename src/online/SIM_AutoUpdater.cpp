#include "online/SIM_AutoUpdater.h"

#include "engine/GDebugLog.h"

void SIM_AutoUpdater::CheckForUpdate()
{
    m_checked = true;
    LOG_DEBUG("Update check: no update service");
}
