#pragma once
#include <string>

#include "battle/hud/HudWindow.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"

class GUI_ButtonText;

// The result of a survival battle: its statistics, or posting the score.
// A post that fails (no server, no answer) says so and leaves the report open;
// one that went through leads to the deployment screen with the map's
// high-score table open over it.
class GUI_SurvivalPostMortem : public GUI_Dialog, public HudSingleWindow<GUI_SurvivalPostMortem> {
public:
    GUI_SurvivalPostMortem();
    ~GUI_SurvivalPostMortem() override;
    void Draw() override;

    GUI_ButtonText* GetViewStatsButton() const { return m_viewStats; }
    GUI_ButtonText* GetPostOnlineButton() const { return m_postOnline; }

    static void OnViewStats(std::intptr_t);
    static void OnPostOnline(std::intptr_t);
    // The score is on its way; the report waits behind the please-wait box.
    bool IsPosting() const { return m_posting; }
    // Takes the post's outcome once it is done (Draw does this).
    void PollPost();

private:
    GUI_ButtonText* m_viewStats = nullptr;
    GUI_ButtonText* m_postOnline = nullptr;
    std::string m_body;
    bool m_posting = false;
    GUI_Interlace m_interlace;
};
