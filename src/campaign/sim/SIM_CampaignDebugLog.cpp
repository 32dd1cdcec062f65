#include "campaign/sim/SIM_CampaignDebugLog.h"

#include "engine/APP_UserFolders.h"
#include "engine/GDebugLog.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"

#include <cstdarg>

SIM_CampaignDebugLog& SIM_CampaignDebugLog::GetInstance()
{
    static SIM_CampaignDebugLog instance;
    return instance;
}

SIM_CampaignDebugLog::~SIM_CampaignDebugLog()
{
    Close();
}

std::string SIM_CampaignDebugLog::GetPath() const
{
    if (!m_overridePath.empty())
        return m_overridePath;
    APP_UserFolders& folders = APP_UserFolders::GetInstance();
    if (!folders.IsCreated())
        return std::string();
    return folders.Get(APP_UserFolders::USER) + "/debug/campaign.txt";
}

bool SIM_CampaignDebugLog::Open()
{
    if (m_file)
        return true;
    if (m_failed)
        return false;
    const std::string path = GetPath();
    bool refused = false;
    if (!path.empty())
        m_file = OpenLogFile(path, false, &refused);
    if (!m_file) {
        m_failed = true;
        // A refused log said so already.
        if (!refused)
            LOG_ERROR("Failed to open the campaign log: " + path);
        return false;
    }
    return true;
}

void SIM_CampaignDebugLog::Write(const std::string& text)
{
    if (!Open())
        return;
    fputs(EscapeControlCharacters(text).c_str(), m_file);
    fputc('\n', m_file);
    fflush(m_file);
}

void SIM_CampaignDebugLog::Close()
{
    if (m_file)
        fclose(m_file);
    m_file = nullptr;
    m_failed = false;
}

void CampaignLog(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    std::string line = StrFormatV(fmt, args);
    va_end(args);
    SIM_CampaignDebugLog::GetInstance().Write(line);
}
