#include "online/GUI_InternetNews.h"

#include <algorithm>

#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/GSafeFile.h"
#include "engine/LibText.h"
#include "online/OnlineCalendar.h"
#include "online/OnlineJob.h"
#include "online/SIM_Server.h"

GUI_InternetNews::GUI_InternetNews() : GUI_Dialog(false)
{
    SetTitleKey("INTERNET_NEWS_TITLE");
    // No request can go out: the day is not used up.
    if (!SIM_Server::GetInstance().IsOnline()) {
        m_status = OnlineStatus::NO_SERVER;
        m_text = OnlineStatus::Text(m_status, "", "");
        return;
    }
    if (IsNewsDue(DatePath()))
        FetchNews();
}

std::string GUI_InternetNews::DatePath()
{
    return SIM_Server::GetInstance().GetUserFolder() + "/web/newsdate.ini";
}

bool GUI_InternetNews::IsNewsDue(const std::string& datePath)
{
    OnlineCalendar::Date stored;
    OnlineCalendar::ReadDate(datePath, "newsdate", stored);
    return OnlineCalendar::Today().IsLaterThan(stored);
}

void GUI_InternetNews::MarkNewsDay(const std::string& datePath)
{
    OnlineCalendar::WriteDate(datePath, "newsdate", OnlineCalendar::Today());
}

void GUI_InternetNews::FetchNews()
{
    m_status = OnlineStatus::WAITING;
    m_job = OnlineJob::Start([](SIM_Server& server, std::string& text) {
        const std::string target = server.GetUserFolder() + "/web/news.txt";
        if (!server.DownloadNews(target) || !ReadWholeFile(target, text))
            return false;
        text = text.substr(0, text.find('\n'));
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        if (text.size() > kMaxLine)
            text.resize(kMaxLine);
        return true;
    });
    Poll();
}

void GUI_InternetNews::Poll()
{
    if (!m_job || !m_job->IsDone())
        return;
    m_status = OnlineStatus::Of(*m_job);
    bool ok = false;
    OnlineJob::Collect(m_job, ok, m_text);
    if (ok) {
        // Only news that came uses the day up: a failed visit asks again.
        // A server without news answered too: it has none today.
        MarkNewsDay(DatePath());
        if (m_text.empty()) {
            m_status = OnlineStatus::EMPTY;
            m_text = OnlineStatus::Text(m_status, "", "INTERNET_NEWS_NONE");
        }
    } else {
        LOG_DEBUG("Failed to update internet news file");
        m_text = OnlineStatus::Text(m_status, "", "");
    }
    m_wrapped.clear();
}

void GUI_InternetNews::Draw()
{
    if (!visible)
        return;
    Poll();
    GUI_Dialog::Draw();
    if (m_text.empty())
        return;
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    if (m_wrapped.empty()) {
        // The server's words keep inside the box, however many there are.
        const int lineHeight = std::max(1, text.GetWrappedTextHeight("x", clientRight - clientLeft));
        m_wrapped = text.FitText(m_text, clientRight - clientLeft - 20, (clientBottom - clientTop - 20) / lineHeight);
    }
    text.SetText(TEXT_ALIGN_LEFT, m_wrapped, static_cast<float>(clientLeft + 10), static_cast<float>(clientTop + 10),
                 m_status == OnlineStatus::NONE ? 0xFFFFFFFFu : 0xFFFFC040u, 0.0f);
    text.Render(-1);
}
