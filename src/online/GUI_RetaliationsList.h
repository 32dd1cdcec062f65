#pragma once
#include "gui/GUI_TitleBar.h"
#include "gui/GUI_WindowBase.h"
#include "gui/GUI_Interlace.h"

#include <string>

class GUI_ChallengeListClientWindow;

// The challenges posted in answer to one challenge: the challenge table
// limited to the records whose parent is that challenge.
class GUI_RetaliationsList : public GUI_WindowBase {
public:
    // The details window's Fight and Delete stand on the panel's title row:
    // the panel itself takes neither the mouse nor clicks.
    GUI_RetaliationsList()
    {
        raisesOnClick = false;
        swallowsClicks = false;
        claimsMouse = false;
    }
    void SetChallenge(const std::string& challengeId);
    void Draw() override;
    GUI_ChallengeListClientWindow* GetList() const { return m_list; }

private:
    GUI_ChallengeListClientWindow* m_list = nullptr;
    GUI_TitleBar m_titleBar;
    GUI_Interlace m_interlace;
};
