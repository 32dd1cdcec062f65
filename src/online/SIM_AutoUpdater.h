#pragma once
#include <memory>
#include <string>

class OnlineJob;

// The daily question whether a newer version of the game exists. At most
// once per UTC day ("web/up" keeps the day) and only for a player with an
// online name, the server is asked beside the frame; when it names a newer
// version the player is told, with the server's words, once. Nothing is ever
// downloaded or started for it and the game never ends because of it:
// updates come through the player's package manager.
class SIM_AutoUpdater {
public:
    static SIM_AutoUpdater& GetInstance();

    void CheckForUpdate();
    // Takes a finished answer in; the notice waits for TakeNotice.
    void Poll();
    bool IsChecking() const { return m_job != nullptr; }
    // True once, with the text to show, when a newer version was named.
    bool TakeNotice(std::string& text);

    bool IsCheckedToday() const;
    bool WriteCheckDate() const;
    std::string DatePath() const;

    // Requests sent since start-up (tests).
    int GetRequestCount() const { return m_requests; }

private:
    std::shared_ptr<OnlineJob> m_job;
    std::string m_notice;
    int m_requests = 0;
};
