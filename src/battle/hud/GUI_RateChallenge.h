#pragma once
#include <string>

#include "battle/hud/HudWindow.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"

class GUI_ButtonText;
class GUI_RatingPicker;

// Rates a downloaded challenge from one to five stars for difficulty and
// for enjoyment, and sends both to the server: beside the frame, through the
// battle report, which waits for the answer.
class GUI_RateChallenge : public GUI_Dialog, public HudSingleWindow<GUI_RateChallenge> {
public:
    static constexpr int kWidth = 450;
    static constexpr int kHeight = 200;

    // Replaces the request for tests (called at once, on this thread). True
    // when the server took it.
    using Sender = bool (*)(const std::string& challengeId, int difficulty, int enjoyment);
    static void SetSender(Sender sender);

    GUI_RateChallenge();
    ~GUI_RateChallenge() override;

    void Draw() override;

    GUI_RatingPicker* GetDifficulty() const { return m_difficulty; }
    GUI_RatingPicker* GetEnjoyment() const { return m_enjoyment; }
    GUI_ButtonText* GetSubmitButton() const { return m_submit; }

    static void OnSubmit(std::intptr_t);

private:
    void UpdateSubmit();

    GUI_ButtonText* m_submit = nullptr;
    std::string m_difficultyLabel;
    std::string m_enjoymentLabel;
    GUI_RatingPicker* m_difficulty = nullptr;
    GUI_RatingPicker* m_enjoyment = nullptr;
    GUI_Interlace m_interlace;
};
