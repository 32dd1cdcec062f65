#pragma once
#include <cstdint>

#include "battle/hud/HudWindow.h"
#include "engine/CTexturedSprite.h"
#include "gui/GUI_WindowBase.h"

class GUI_ButtonText;

// The small window at the top centre that gives the battle up: outside the
// campaign it admits defeat (the statistics follow), in a campaign battle it
// orders the retreat, whose countdown the retreat timer shows while the
// battle goes on. Both ask first, holding the battle while they ask.
class GUI_LeaveBattle : public GUI_WindowBase, public HudSingleWindow<GUI_LeaveBattle> {
public:
    enum Mode { ADMIT_DEFEAT = 0, RETREAT = 1 };
    static constexpr int kWidth = 250;
    static constexpr int kHeight = 30;

    // Whether the campaign has somewhere for the fleet to go; until the
    // campaign answers, nowhere, and the retreat button stays disabled.
    using DestinationQuery = bool (*)();
    static void SetRetreatDestinationQuery(DestinationQuery query) { s_destination = query; }

    // Sits below the comms window when there is one.
    static void Open(int mode, int screenWidth);

    GUI_LeaveBattle(int mode, int screenWidth);
    ~GUI_LeaveBattle() override;

    // Nothing to give up once the battle has ended: the window is not
    // drawn then and lets the clicks through.
    bool OnLeftClick(float x, float y) override;
    void Draw() override;

    static void OnLeaveBattleButton(std::intptr_t);
    static void OnLeaveBattleConfirmed(std::intptr_t);

    int GetMode() const { return m_mode; }
    GUI_ButtonText* GetButton() const { return m_button; }
    // The question paused the battle (so the answer may resume it).
    static bool QuestionPausedBattle() { return s_questionPaused; }

private:
    GUI_ButtonText* m_button = nullptr;
    CTexturedSprite m_background;
    int m_mode;
    static inline DestinationQuery s_destination = nullptr;
    static inline bool s_questionPaused = false;
};
