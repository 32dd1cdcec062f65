#pragma once
#include "engine/GRect.h"
#include "gui/GUI_WindowBase.h"
#include "gui/GUI_Interlace.h"

#include <memory>
#include <string>
#include <vector>

class GUI_ColumnSortButton;
class GUI_ScrollingWindow;
class OnlineJob;
class SIM_ChallengeRecord;

// One fight against a challenge, as the server words it.
struct SIM_ChallengeHistoryItem {
    std::string date;
    std::string name;
    std::string outcome;
};

// One row of a history table; a row without an item is an empty line. Each
// text keeps to one line of its column: drawn smaller if need be, then cut
// with "...".
class GUI_ChallengeHistoryEntry : public GUI_WindowBase {
public:
    static constexpr float kFontSize = 16.0f;
    static constexpr float kMinFontSize = 11.0f;
    static constexpr int kTextInset = 10;

    explicit GUI_ChallengeHistoryEntry(const SIM_ChallengeHistoryItem* item);
    void Draw() override;
    // The texts as drawn (date, name, outcome), their sizes and columns.
    const std::string& GetShownText(int column)
    {
        Fit();
        return m_texts[column];
    }
    float GetShownSize(int column)
    {
        Fit();
        return m_sizes[column];
    }
    const GRect& GetColumn(int column)
    {
        Fit();
        return m_columns[column];
    }
    const std::string& GetName() const { return m_full[1]; }
    bool IsFiller() const { return m_filler; }

private:
    void Fit();

    std::string m_full[3];
    std::string m_texts[3];
    float m_sizes[3] = {kFontSize, kFontSize, kFontSize};
    GRect m_columns[3];
    int m_fittedWidth = -1;
    bool m_filler;
};

// The fights fought against one challenge, downloaded beside the frame, in
// a table of three sortable columns. The challenge history window and the
// details window both show it. The download fills its own buffer; the panel
// takes it over when it is done, or drops it when it closes first.
class GUI_ChallengeDetailsHistory : public GUI_WindowBase {
public:
    enum Column { DATE = 0, NAME = 1, OUTCOME = 2 };
    static constexpr int kRowHeight = 28;
    static constexpr int kRowStep = 30;
    static constexpr size_t kMaxLine = 2048;
    // What it says instead of rows wraps into this many lines of the panel,
    // 10 in from each side.
    static constexpr int kStatusLines = 3;
    static constexpr int kStatusInset = 10;

    GUI_ChallengeDetailsHistory();
    ~GUI_ChallengeDetailsHistory() override;

    // Places headers and scroll bar and starts the download.
    void SetChallenge(const std::string& challengeId);
    void SortByColumn(int column);
    void RebuildRows();
    void Poll();

    void Draw() override;
    void OnWheelUp() override;
    void OnWheelDown() override;

    // At most kMaxItems rows are read: the rest of a longer answer is dropped.
    static constexpr size_t kMaxItems = 2000;
    static std::vector<SIM_ChallengeHistoryItem> ParseHistory(const std::string& text);

    bool IsDownloading() const { return m_job != nullptr; }
    const std::vector<SIM_ChallengeHistoryItem>& GetItems() const { return m_items; }
    const std::vector<GUI_ChallengeHistoryEntry*>& GetRows() const { return m_rows; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }
    GUI_ColumnSortButton* GetHeader(int column) const { return m_headers[column]; }
    // Key of what the panel says instead of rows ("" when it has rows to show).
    const std::string& GetStatusKey() const { return m_statusKey; }
    // That text as drawn, wrapped to the panel.
    const std::string& GetShownStatus() const { return m_statusText; }

private:
    void DeleteRows();

    std::shared_ptr<OnlineJob> m_job;
    // Read from the answer by the worker, taken in by Poll.
    std::shared_ptr<std::vector<SIM_ChallengeHistoryItem>> m_parsed;
    std::string m_challengeId;
    std::vector<SIM_ChallengeHistoryItem> m_items;
    std::vector<GUI_ChallengeHistoryEntry*> m_rows;
    GUI_ScrollingWindow* m_scroll = nullptr;
    GUI_ColumnSortButton* m_headers[3] = {};
    int m_sortColumn = DATE;
    bool m_descending = false;
    std::string m_statusKey;
    std::string m_statusText;
    GUI_Interlace m_interlace;
};
