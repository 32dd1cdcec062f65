#include "app/APP_Tips.h"

#include "engine/APP_UserFolders.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GIniFile.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"

APP_Tips& APP_Tips::GetInstance()
{
    static APP_Tips instance("data/tips.ini", [] {
        std::string folder = APP_UserFolders::GetInstance().Get(APP_UserFolders::USER);
        return folder.empty() ? APP_UserFolders::ResolveUserFolder("") : folder;
    }());
    return instance;
}

APP_Tips::APP_Tips(const std::string& tipsFile, const std::string& userFolder) : m_userFolder(userFolder)
{
    GIniFile tips;
    if (!tips.Load("tips", tipsFile.c_str()))
        LOG_ERROR("Cannot read " + tipsFile);
    std::string value;
    while (tips.GetNextValue(value))
        if (!value.empty())
            m_tips.push_back(value);
    if (m_tips.empty())
        LOG_ERROR("No tips in " + tipsFile);

    if (!FileExists(PositionPath()))
        SavePosition();
    GIniFile pos;
    pos.Load("config", PositionPath().c_str());
    std::string stored = pos.GetString("next_tip");
    if (stored.size() > 63)
        stored.resize(63);
    m_nextTip = ParseLeadingInt(stored.c_str());
    // The tips file may have shrunk since the position was stored.
    if (m_nextTip < 0 || static_cast<size_t>(m_nextTip) >= m_tips.size()) {
        if (!m_tips.empty())
            LOG_DEBUG(StrFormat("Stored tip %d out of range, starting again", m_nextTip));
        m_nextTip = 0;
    }
}

APP_Tips::~APP_Tips()
{
    SavePosition();
}

const std::string& APP_Tips::NextTip()
{
    static const std::string none;
    if (m_tips.empty())
        return none;
    if (m_nextTip < 0 || static_cast<size_t>(m_nextTip) >= m_tips.size())
        m_nextTip = 0;
    size_t i = static_cast<size_t>(m_nextTip);
    m_nextTip = (i + 1 >= m_tips.size()) ? 0 : static_cast<int>(i + 1);
    return m_tips[i];
}

bool APP_Tips::SavePosition() const
{
    if (!WriteFileAtomically(PositionPath(), StrFormat("[config]\nnext_tip = %d\n", m_nextTip))) {
        LOG_ERROR("Failed to save " + PositionPath());
        return false;
    }
    return true;
}
