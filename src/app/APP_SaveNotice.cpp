#include "app/APP_SaveNotice.h"

#include "engine/GHashTable.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"
#include "gui/GUI_Message.h"

#include <filesystem>

APP_SaveNotice& APP_SaveNotice::GetInstance()
{
    static APP_SaveNotice instance;
    return instance;
}

void APP_SaveNotice::Install()
{
    GSafeFile::SetFailureListener(
        [](const std::string& path, const std::string& reason) { GetInstance().OnSaveFailed(path, reason); });
}

void APP_SaveNotice::Uninstall()
{
    GSafeFile::SetFailureListener(nullptr);
}

void APP_SaveNotice::OnSaveFailed(const std::string& path, const std::string& reason)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_failures;
    if (m_shown || m_pending)
        return;
    m_path = path;
    m_reason = reason;
    m_pending = true;
}

std::string APP_SaveNotice::MessageText(const std::string& path, const std::string& reason)
{
    const std::string name = std::filesystem::path(path).filename().string();
    return StrFormat("%s %s (%s).", GetString("SAVE_FAILED_TEXT"), name.c_str(), reason.c_str());
}

bool APP_SaveNotice::ShowPending()
{
    std::string text;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_pending || m_shown)
            return false;
        m_pending = false;
        m_shown = true;
        text = MessageText(m_path, m_reason);
    }
    ShowMessage(text, "SAVE_FAILED_TITLE");
    return true;
}

void APP_SaveNotice::MarkReported()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pending = false;
}

bool APP_SaveNotice::WasShown() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_shown;
}

void APP_SaveNotice::Reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_path.clear();
    m_reason.clear();
    m_pending = false;
    m_shown = false;
    m_failures = 0;
}

int APP_SaveNotice::GetFailureCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_failures;
}
