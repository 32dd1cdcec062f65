#pragma once
#include <cstdio>
#include <string>

// The campaign's own log of what it decided and with which numbers
// ("debug/campaign.txt" in the user folder, rewritten each run), the tool for
// tuning the campaign options. A log that cannot be opened is reported once
// and its lines are dropped; the campaign goes on. It is opened as the game's
// other logs are (OpenLogFile): never through a link or a FIFO.
class SIM_CampaignDebugLog {
public:
    static SIM_CampaignDebugLog& GetInstance();

    void Write(const std::string& text);
    // Closes the file; the next line starts a fresh one.
    void Close();
    // The file's path: the user folder's debug folder unless a test set one.
    std::string GetPath() const;
    void SetPathForTest(const std::string& path) { m_overridePath = path; Close(); }

private:
    SIM_CampaignDebugLog() = default;
    ~SIM_CampaignDebugLog();
    bool Open();

    FILE* m_file = nullptr;
    bool m_failed = false;
    std::string m_overridePath;
};

// Formats a line and writes it to the campaign log.
void CampaignLog(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
