#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_OneOpen.h"

#include <string>

class GUI_ChallengeDetailsHistory;

// Who has fought a challenge, when, and how it ended: the history table in
// a window of its own. At most one is open.
class GUI_ChallengeHistory : public GUI_Dialog, public GUI_OneOpen<GUI_ChallengeHistory> {
public:
    static GUI_ChallengeHistory* Open(const std::string& challengeId);
    static void Close();

    ~GUI_ChallengeHistory() override;
    void Draw() override;
    void OnWheelUp() override;
    void OnWheelDown() override;
    GUI_ChallengeDetailsHistory* GetTable() const { return m_table; }

private:
    explicit GUI_ChallengeHistory(const std::string& challengeId);
    GUI_ChallengeDetailsHistory* m_table = nullptr;
};
