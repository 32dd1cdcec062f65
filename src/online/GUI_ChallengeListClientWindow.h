#pragma once
#include "gui/GUI_WindowBase.h"
#include "online/SIM_ChallengeRecord.h"

#include <memory>
#include <string>
#include <vector>

class GUI_ChallengeStrip;
class GUI_ColumnSortButton;
class GUI_ScrollingWindow;
class OnlineJob;
class SIM_ChallengeRecord;

// The challenge table: column headers that sort it, one strip per shown
// record and a scroll bar. Which records show follows four filters and, for
// the retaliations of a challenge, its parent id. The refresh downloads on a
// worker; the merge into the database runs here, on the main thread.
class GUI_ChallengeListClientWindow : public GUI_WindowBase {
public:
    enum Filter { SHOW_LOCAL = 0, SHOW_PERSONAL, SHOW_POSTED, SHOW_ALL, FILTER_COUNT };
    enum Column { COL_ID = 0, COL_SENDER, COL_TAUNT, COL_BEATEN, COL_ATTEMPTS, COL_MAP, COL_DIFFICULTY, COL_RACE,
                  COL_DATE, COL_NONE };
    static constexpr int kHeaders = 9;
    static constexpr int kRowHeight = 48;
    static constexpr int kRowStep = 52;

    GUI_ChallengeListClientWindow();
    ~GUI_ChallengeListClientWindow() override;

    // Places headers and scroll bar on the window's rectangle and fills it.
    void BuildColumns();
    void Reload(bool download);
    void SortByColumn(int column);
    void RebuildRows();
    void SetParentFilter(const std::string& id) { m_parentFilter = id; }
    // Takes the refresh's result when it has come (Draw does this).
    void Poll();

    void Draw() override;
    void OnWheelUp() override;
    void OnWheelDown() override;

    // Whether a record passes the filters for the given player name.
    bool Shows(SIM_ChallengeRecord& record, const std::string& userName) const;
    static bool LessByColumn(int column, const SIM_ChallengeRecord& a, const SIM_ChallengeRecord& b);

    bool filters[FILTER_COUNT] = {false, false, false, false};
    const std::vector<GUI_ChallengeStrip*>& GetRows() const { return m_rows; }
    const std::vector<SIM_ChallengeRecord*>& GetRecords() const { return m_records; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }
    GUI_ColumnSortButton* GetHeader(int column) const { return m_headers[column]; }
    int GetSortColumn() const { return m_sortColumn; }
    bool IsDescending() const { return m_descending; }
    bool IsRefreshing() const { return m_job != nullptr; }
    // What the last refresh came to, for the window's status line ("" none yet).
    const std::string& GetStatusKey() const { return m_statusKey; }
    const std::string& GetStatusText() const { return m_statusText; }

private:
    void DeleteRows();

    std::shared_ptr<OnlineJob> m_job;
    // What the refresh worker read from the server's list, taken in by Poll.
    std::shared_ptr<std::vector<std::unique_ptr<SIM_ChallengeRecord>>> m_incoming;
    std::vector<GUI_ChallengeStrip*> m_rows;
    std::vector<SIM_ChallengeRecord*> m_records;
    GUI_ScrollingWindow* m_scroll = nullptr;
    GUI_ColumnSortButton* m_headers[kHeaders] = {};
    int m_headerTop = 0;
    bool m_descending = false;
    int m_sortColumn = COL_NONE;
    std::string m_parentFilter;
    std::string m_statusKey;
    std::string m_statusText;
};
