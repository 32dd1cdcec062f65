#include "online/GUI_ChallengeHistory.h"

#include "gui/GUI_OneOpen.h"
#include "gui/GUI_WindowManager.h"
#include "online/GUI_ChallengeDetailsHistory.h"

GUI_ChallengeHistory* GUI_ChallengeHistory::Open(const std::string& challengeId)
{
    CloseOpen();
    return SetOpen(new GUI_ChallengeHistory(challengeId));
}

void GUI_ChallengeHistory::Close()
{
    CloseOpen();
}

GUI_ChallengeHistory::GUI_ChallengeHistory(const std::string& challengeId) : GUI_Dialog(true)
{
    SetSize(450.0f, 510.0f);
    Centre();
    SetClientRect();
    SetTitleKey("CHALLENGE_HISTORY_TITLE");
    GUI_WindowManager::GetInstance().AddModal(this);
    m_table = new GUI_ChallengeDetailsHistory();
    m_table->SetRect(static_cast<float>(clientLeft), static_cast<float>(clientTop), static_cast<float>(clientRight),
                     static_cast<float>(clientBottom));
    AddChild(m_table);
    m_table->SetChallenge(challengeId);
}

GUI_ChallengeHistory::~GUI_ChallengeHistory()
{
    ForgetIfOpen(this);
}

void GUI_ChallengeHistory::Draw()
{
    if (!visible)
        return;
    GUI_Dialog::Draw();
    DrawChildren();
}

void GUI_ChallengeHistory::OnWheelUp()
{
    m_table->OnWheelUp();
}

void GUI_ChallengeHistory::OnWheelDown()
{
    m_table->OnWheelDown();
}
