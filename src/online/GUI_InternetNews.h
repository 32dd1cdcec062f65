#pragma once
#include "gui/GUI_Dialog.h"
#include "online/OnlineStatus.h"

#include <memory>
#include <string>

class OnlineJob;

// The server's news line, fetched beside the frame on the first visit of a
// UTC day ("web/newsdate.ini" keeps the day of the last news that came);
// later visits that day show an empty window. A server with no news (an
// empty line, or no news file at all) says so. Without a server, or when the
// fetch fails, it says so and the day stays open.
class GUI_InternetNews : public GUI_Dialog {
public:
    static constexpr size_t kMaxLine = 2047;

    GUI_InternetNews();
    void Draw() override;
    void StartDrag() override {}
    // Part of its screen: Escape leaves the screen, and the screen's other
    // windows and buttons stay in reach.
    bool IsModal() const override { return false; }

    // True when the date file holds an earlier day (or none).
    static bool IsNewsDue(const std::string& datePath);
    // Stores today as the day the news came.
    static void MarkNewsDay(const std::string& datePath);
    static std::string DatePath();
    void FetchNews();
    void Poll();

    const std::string& GetText() const { return m_text; }
    bool IsFetching() const { return m_job != nullptr; }
    bool IsOffline() const { return m_status == OnlineStatus::NO_SERVER; }
    OnlineStatus::Kind GetStatus() const { return m_status; }

private:
    std::string m_text;
    std::string m_wrapped;
    std::shared_ptr<OnlineJob> m_job;
    OnlineStatus::Kind m_status = OnlineStatus::NONE;
};
