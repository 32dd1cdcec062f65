#pragma once
#include "engine/GRect.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_OneOpen.h"
#include "online/OnlineStatus.h"

#include <cstdint>
#include <string>
#include <vector>

class GUI_ButtonText;
class GUI_OnlineMessage;
class GUI_ScrollingWindow;
struct SIM_OnlineMessageRecord;

// The messages list: date, sender and text columns over rows of the message
// manager's messages, a scroll bar, and a way on to the challenges. It asks
// for new messages when it opens and lays its rows out again when the
// download is in. A row's Delete or Block is carried out at the next draw,
// not inside the click, because it deletes the row that was clicked.
class GUI_Inbox : public GUI_Dialog, public GUI_OneOpen<GUI_Inbox> {
public:
    static constexpr int kWidth = 900;
    static constexpr int kRowStep = 60;

    static GUI_Inbox* Open();
    static void Close();

    ~GUI_Inbox() override;
    void Draw() override;
    void OnWheelUp() override;
    void OnWheelDown() override;
    // The headers and rows are laid out where it opened.
    void StartDrag() override {}
    // Part of its screen: Escape leaves the screen, and the screen's other
    // windows and buttons stay in reach.
    bool IsModal() const override { return false; }

    // Downloads, then lays the rows out again once the answer is in.
    void Refresh();
    void RebuildRows();
    // Applies a waiting Delete or Block and takes a finished download in.
    void Poll();

    const std::vector<GUI_OnlineMessage*>& GetRows() const { return m_rows; }
    GUI_ScrollingWindow* GetScrollBar() const { return m_scroll; }
    GUI_ButtonText* GetChallengesButton() const { return m_challenges; }
    // The key of what the list says instead of rows ("" when nothing).
    const std::string& GetStatusKey() const { return m_statusKey; }

    // The row's message, named by its id, goes at the next poll.
    static void OnDeleteRow(std::intptr_t messageId);
    static void OnBlockRow(std::intptr_t messageId);

private:
    GUI_Inbox();
    static void OnChallenges(std::intptr_t);
    void DeleteRows();
    void SetStatus(const char* key);
    void ShowOutcome(OnlineStatus::Kind kind);

    enum class Pending { NONE, DELETE, BLOCK };
    Pending m_pending = Pending::NONE;
    int m_pendingId = 0;
    int m_seenDownloads = 0;
    std::vector<GUI_OnlineMessage*> m_rows;
    GUI_ScrollingWindow* m_scroll = nullptr;
    GUI_ButtonText* m_challenges = nullptr;
    GRect m_headers[3];
    std::string m_headerTexts[3];
    std::string m_statusKey;
    std::string m_statusText;
    GUI_Interlace m_interlace;
};
