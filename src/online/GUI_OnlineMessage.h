#pragma once
#include "gui/GUI_WindowBase.h"

#include <string>

class GUI_ButtonText;
struct SIM_OnlineMessageRecord;

// One inbox row: date, sender and the wrapped text of one message, with
// Delete and Block buttons. It points at the manager's record without owning
// it and never outlives the rebuild that made it.
class GUI_OnlineMessage : public GUI_WindowBase {
public:
    static constexpr int kHeight = 60;

    GUI_OnlineMessage(const SIM_OnlineMessageRecord* record, float left, float top, float right);
    void Draw() override;

    const SIM_OnlineMessageRecord* GetRecord() const { return m_record; }
    GUI_ButtonText* GetDeleteButton() const { return m_delete; }
    GUI_ButtonText* GetBlockButton() const { return m_block; }

private:
    const SIM_OnlineMessageRecord* m_record;
    std::string m_wrapped;
    GUI_ButtonText* m_delete = nullptr;
    GUI_ButtonText* m_block = nullptr;
};
