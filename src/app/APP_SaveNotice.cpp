#include "app/APP_SaveNotice.h"

#include "engine/GHashTable.h"
#include "engine/GSafeFile.h"
#include "engine/StrFormat.h"
#include "gui/GUI_Message.h"

#include <algorithm>
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
    GSafeFile::SetRefusalListener(
        [](const std::string& path, const std::string& reason) { GetInstance().OnFileRefused(path, reason); });
}

void APP_SaveNotice::Uninstall()
{
    GSafeFile::SetFailureListener(nullptr);
    GSafeFile::SetRefusalListener(nullptr);
}

void APP_SaveNotice::OnFileRefused(const std::string& path, const std::string& reason)
{
    // The writer tells each file once, so no second entry comes for it.
    std::lock_guard<std::mutex> lock(m_mutex);
    m_refusedPending.emplace_back(path, reason);
}

void APP_SaveNotice::OnFileSetAside(const std::string& path, const std::string& newPath)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    // Not yet told as kept: told once, as renamed.
    m_refusedPending.erase(std::remove_if(m_refusedPending.begin(), m_refusedPending.end(),
                                          [&](const auto& f) { return f.first == path; }),
                           m_refusedPending.end());
    m_setAsidePending.emplace_back(path, newPath);
}

void APP_SaveNotice::OnSaveFailed(const std::string& path, const std::string& reason)
{
    // A file kept because it could not be read was told when it was refused.
    const bool toldAsRefused = GSafeFile::WasRefusedWhenRead(path);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_failedFiles.insert(path);
    if (m_shown || m_pending || toldAsRefused)
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

std::string APP_SaveNotice::RefusedText(const Refusals& kept, const Refusals& setAside)
{
    std::string text = kept.empty() ? std::string() : RefusedText(kept);
    if (setAside.empty())
        return text;
    if (!text.empty())
        text += "\n\n";
    text += GetString("FILES_SET_ASIDE_TEXT");
    for (size_t i = 0; i < setAside.size() && i < kMaxNamedRefusals; ++i) {
        const std::string name = std::filesystem::path(setAside[i].first).filename().string();
        const std::string now = std::filesystem::path(setAside[i].second).filename().string();
        text += StrFormat("\n%s -> %s", name.c_str(), now.c_str());
    }
    if (setAside.size() > kMaxNamedRefusals)
        text += StrFormat("\n%s %zu", GetString("FILES_KEPT_MORE"), setAside.size() - kMaxNamedRefusals);
    return text;
}

std::string APP_SaveNotice::RefusedText(const Refusals& files)
{
    std::string text = GetString("FILES_KEPT_TEXT");
    for (size_t i = 0; i < files.size() && i < kMaxNamedRefusals; ++i) {
        const std::string name = std::filesystem::path(files[i].first).filename().string();
        text += StrFormat("\n%s (%s)", name.c_str(), files[i].second.c_str());
    }
    if (files.size() > kMaxNamedRefusals)
        text += StrFormat("\n%s %zu", GetString("FILES_KEPT_MORE"), files.size() - kMaxNamedRefusals);
    return text;
}

bool APP_SaveNotice::ShowPending()
{
    std::string text;
    const char* title = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const bool failure = m_pending && !m_shown;
        if (m_refusedPending.empty() && m_setAsidePending.empty() && !failure)
            return false;
        // A message the player is reading is not swept away: the next frame
        // after it closes will do.
        if (GUI_Message::GetOpen())
            return false;
        if (!m_refusedPending.empty() || !m_setAsidePending.empty()) {
            text = RefusedText(m_refusedPending, m_setAsidePending);
            title = m_setAsidePending.empty() ? "FILES_KEPT_TITLE" : "FILES_SET_ASIDE_TITLE";
            m_refusedTold += static_cast<int>(m_refusedPending.size() + m_setAsidePending.size());
            m_refusedPending.clear();
            m_setAsidePending.clear();
        } else {
            m_pending = false;
            m_shown = true;
            text = MessageText(m_path, m_reason);
            title = "SAVE_FAILED_TITLE";
        }
    }
    ShowMessage(text, title);
    return true;
}

int APP_SaveNotice::GetRefusedToldCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_refusedTold;
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
    m_failedFiles.clear();
    m_refusedPending.clear();
    m_setAsidePending.clear();
    m_refusedTold = 0;
    GSafeFile::ForgetRefusedFiles();
}

int APP_SaveNotice::GetFailureCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_failedFiles.size());
}
