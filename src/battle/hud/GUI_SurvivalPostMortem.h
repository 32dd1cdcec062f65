#pragma once
#include <string>

#include "battle/hud/HudWindow.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"

class GUI_ButtonText;

// The result of a survival battle: the score and the player's best in the
// scenario (kept on this computer), its statistics, or posting the score.
// Posting needs an online name: without one the button is off and says so.
// A post that fails (no server, no answer) says so and leaves the report open;
// one that went through leads to the deployment screen with the map's
// high-score table open over it.
class GUI_SurvivalPostMortem : public GUI_Dialog, public HudSingleWindow<GUI_SurvivalPostMortem> {
public:
    GUI_SurvivalPostMortem();
    ~GUI_SurvivalPostMortem() override;
    void Draw() override;
    // Escape goes on to the statistics: the report never leaves a bare battle view.
    bool TakeEscape() override;

    // The next report follows the player giving up, not the fleet falling.
    static void SetGivenUp(bool givenUp) { s_givenUp = givenUp; }
    bool IsGivenUp() const { return m_givenUp; }

    GUI_ButtonText* GetViewStatsButton() const { return m_viewStats; }
    GUI_ButtonText* GetPostOnlineButton() const { return m_postOnline; }
    const std::string& GetBodyText() const { return m_body; }
    const std::string& GetScoreText() const { return m_scoreText; }
    const std::string& GetBestText() const { return m_bestText; }

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
    std::string m_scoreLabel;
    std::string m_scoreText;
    std::string m_bestLabel;
    std::string m_bestText;
    // Where the score lines start, below the body text.
    int m_scoreTop = 0;
    bool m_posting = false;
    bool m_givenUp = false;
    GUI_Interlace m_interlace;
    static inline bool s_givenUp = false;
};
