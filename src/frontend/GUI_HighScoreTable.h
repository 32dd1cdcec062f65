#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"
#include "online/OnlineStatus.h"

#include <memory>
#include <string>
#include <vector>

class GUI_ScrollingWindow;
class OnlineJob;
class SIM_Scenario;

// One line of the table: rank, name, score and the server's third text.
class GUI_HighScoreEntry : public GUI_WindowBase {
public:
    static constexpr uint32_t kOwnFill = 0x202020FFu;
    static constexpr uint32_t kOtherFill = 0x20FFFFFFu;

    GUI_HighScoreEntry(int rank, const std::string& name, int score, const std::string& third, bool own);
    void Draw() override;

    bool IsOwn() const { return m_own; }
    const std::string& GetRankText() const { return m_rank; }
    const std::string& GetScoreText() const { return m_score; }
    const std::string& GetPlayerName() const { return m_name; }
    // The name as drawn: cut to end a little before the score.
    const std::string& GetShownName() const { return m_shownName; }
    // Where the name column starts and how wide it is, from the entry's left.
    static constexpr int kNameX = 42;
    static constexpr int kScoreX = 100;
    static constexpr int kScoreWidth = 150;
    static constexpr int kNameGap = 8;
    int GetNameRoom() const { return m_nameRoom; }

private:
    // Fits the name to the room the score leaves it (again when the entry's
    // width changed).
    void FitName();

    std::string m_rank;
    std::string m_name;
    std::string m_shownName;
    int m_fittedWidth = -1;
    int m_nameRoom = 0;
    std::string m_score;
    std::string m_third;
    bool m_own;
};

// The best survival scores the game server holds for a scenario, fetched
// each time the table opens. The request is an OnlineJob beside the frame
// (joined with the others at exit). The table says that it is asking, and
// then, as every online screen does, that no server is set up, that the
// fetch failed, or that no scores were posted yet.
class GUI_HighScoreTable : public GUI_Dialog, public GUI_OneOpen<GUI_HighScoreTable> {
public:
    struct Record {
        std::string name;
        std::string third;
        int score = 0;
    };

    static void Open(SIM_Scenario* scenario);

    // The "##" lines of a high-score file, in order.
    static std::vector<Record> ParseRecords(const std::string& text);

    ~GUI_HighScoreTable() override;
    void Draw() override;
    void Update() override;

    // WAITING while it asks; NONE once it shows scores.
    OnlineStatus::Kind GetStatus() const { return m_status; }
    const std::vector<Record>& GetRecords() const { return m_records; }
    const std::vector<GUI_HighScoreEntry*>& GetEntries() const { return m_entries; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }
    // Takes the answer when it has come (the frame's update does this).
    void Poll();

private:
    explicit GUI_HighScoreTable(SIM_Scenario* scenario);
    void LoadRecords();
    void MakeEntries();

    SIM_Scenario* m_scenario;
    std::vector<Record> m_records;
    std::vector<GUI_HighScoreEntry*> m_entries;
    GUI_ScrollingWindow* m_scroll = nullptr;
    std::shared_ptr<OnlineJob> m_job;
    OnlineStatus::Kind m_status = OnlineStatus::WAITING;
    GUI_Interlace m_interlace;
    // The status line, wrapped, and the status it was made for.
    std::string m_statusText;
    OnlineStatus::Kind m_statusFor = OnlineStatus::NONE;
};
