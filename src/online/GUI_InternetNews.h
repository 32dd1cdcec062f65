#pragma once
#include "gui/GUI_Dialog.h"

#include <memory>
#include <string>

class OnlineJob;

// The server's news line, fetched beside the frame on the first visit of a
// UTC day ("web/newsdate.ini" keeps the day); later visits that day show an
// empty window. Without a server it says so at once and keeps the day open.
class GUI_InternetNews : public GUI_Dialog {
public:
    static constexpr size_t kMaxLine = 2047;

    GUI_InternetNews();
    void Draw() override;
    void StartDrag() override {}
    // Part of its screen: Escape leaves the screen, and the screen's other
    // windows and buttons stay in reach.
    bool IsModal() const override { return false; }

    // True (and today's date stored) when the date file holds an earlier day.
    static bool IsNewsDue(const std::string& datePath);
    static std::string DatePath();
    void FetchNews();
    void Poll();

    const std::string& GetText() const { return m_text; }
    bool IsFetching() const { return m_job != nullptr; }
    bool IsOffline() const { return m_offline; }

private:
    std::string m_text;
    std::string m_wrapped;
    std::shared_ptr<OnlineJob> m_job;
    bool m_offline = false;
};
