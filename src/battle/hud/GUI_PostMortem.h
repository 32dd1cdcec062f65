#pragma once
#include <memory>
#include <string>

#include "battle/hud/HudWindow.h"
#include "engine/CTexturedSprite.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"

class GUI_ButtonText;
class GUI_PostMortemMessage;
class OnlineJob;

// The ordinary result of a battle: victory or defeat, the race's message,
// the points it earned and where to go next. After an online challenge it
// offers rating the challenge and a retaliation instead of the points.
class GUI_PostMortem : public GUI_Dialog, public HudSingleWindow<GUI_PostMortem> {
public:
    static constexpr int kWidth = 500;
    static constexpr int kHeight = 200;
    static constexpr int kChallengeHeight = 320;
    // After a challenge the race's message keeps to two lines (a longer one
    // is cut with "..."), above the message box that starts kMessageTop
    // under the client's top.
    static constexpr int kChallengeMessageLines = 2;
    static constexpr int kMessageTop = 90;
    static constexpr int kRaceMessageTop = 50;
    static constexpr int kUnlockShopMode = 10;
    static constexpr int kDeploymentMode = 2;

    // Where quitting leads: the unlock shop after a won battle that was not
    // a challenge, else the deployment screen.
    static int QuitMode(bool victory, bool challenge) { return victory && !challenge ? kUnlockShopMode : kDeploymentMode; }

    GUI_PostMortem();
    ~GUI_PostMortem() override;

    void Draw() override;
    // Escape goes on to the statistics: the report never leaves a bare battle view.
    bool TakeEscape() override;

    // Only a request that went through counts: a failed one leaves the
    // button to try again.
    void OnRatingSent(bool succeeded);
    // Sends a rating beside the frame (please-wait, Cancel); its answer comes
    // to OnRatingSent.
    void StartRating(const std::string& challengeId, int difficulty, int enjoyment);
    bool IsRating() const { return m_rateJob != nullptr; }
    void OnRetaliationPosted(bool succeeded);

    bool IsVictory() const { return m_victory; }
    bool IsChallenge() const { return m_challenge; }
    bool IsRated() const { return m_rated; }
    bool IsRetaliated() const { return m_retaliated; }
    const std::string& GetRaceMessage() const { return m_raceMessage; }
    // The race's message as drawn (wrapped, and fitted after a challenge).
    const std::string& GetShownRaceMessage();
    const std::string& GetPointsText() const { return m_pointsText; }
    const std::string& GetUnlockedLabel() const { return m_unlockedLabel; }
    GUI_ButtonText* GetQuitButton() const { return m_quit; }
    GUI_ButtonText* GetViewStatsButton() const { return m_viewStats; }
    GUI_ButtonText* GetRateButton() const { return m_rate; }
    GUI_ButtonText* GetRetaliateButton() const { return m_retaliate; }
    GUI_PostMortemMessage* GetMessageWindow() const { return m_message; }

    static void OnViewStats(std::intptr_t);
    static void OnQuit(std::intptr_t);
    static void OnRateChallenge(std::intptr_t);
    static void OnRetaliate(std::intptr_t);

private:
    void UpdateChallengeButtons();
    void PollRating();

    GUI_ButtonText* m_quit = nullptr;
    GUI_ButtonText* m_viewStats = nullptr;
    GUI_ButtonText* m_rate = nullptr;
    GUI_ButtonText* m_retaliate = nullptr;
    GUI_PostMortemMessage* m_message = nullptr;
    std::string m_raceMessage;
    std::string m_unlockedLabel;
    std::string m_pointsText;
    CTexturedSprite m_lock;
    bool m_victory = false;
    bool m_rated = false;
    bool m_retaliated = false;
    bool m_challenge = false;
    std::shared_ptr<OnlineJob> m_rateJob;
    std::string m_wrappedMessage;
    GUI_Interlace m_interlace;
};
