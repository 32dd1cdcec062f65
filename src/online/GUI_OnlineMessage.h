#pragma once
#include "engine/GLifetime.h"
#include "gui/GUI_WindowBase.h"

#include <string>

class GUI_ButtonText;
struct SIM_OnlineMessageRecord;

// One inbox row: date, sender and the wrapped text of one message, with
// Delete and Block buttons, which name the message by its id. It watches the
// manager's record and shows nothing once the record is gone. What other
// players wrote keeps inside the row: the date and the sender to one line of
// their columns, the message to the lines the row has room for, cut with "...".
class GUI_OnlineMessage : public GUI_WindowBase {
public:
    static constexpr int kHeight = 60;
    static constexpr int kColumnWidth = 150;
    static constexpr int kTextInset = 10;

    GUI_OnlineMessage(const SIM_OnlineMessageRecord* record, float left, float top, float right);
    void Draw() override;

    const SIM_OnlineMessageRecord* GetRecord() const { return m_record.Get(); }
    GUI_ButtonText* GetDeleteButton() const { return m_delete; }
    GUI_ButtonText* GetBlockButton() const { return m_block; }
    const std::string& GetDateText() const { return m_date; }
    const std::string& GetSenderText() const { return m_sender; }
    const std::string& GetMessageText() const { return m_wrapped; }
    // The message column's text width and the lines that fit the row.
    int GetMessageWidth() const { return m_messageWidth; }
    static int MessageLines();

private:
    GWatch<const SIM_OnlineMessageRecord> m_record;
    std::string m_date, m_sender, m_wrapped;
    int m_messageWidth = 0;
    GUI_ButtonText* m_delete = nullptr;
    GUI_ButtonText* m_block = nullptr;
};
