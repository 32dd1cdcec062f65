#include "battle/hud/GUI_LeaveBattle.h"

#include "battle/GUI_BattleGUI.h"
#include "battle/hud/GUI_Comms.h"
#include "battle/hud/GUI_RetreatTimer.h"
#include "engine/D3DEngine.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_Tutorial.h"
#include "sim/SIM_Battle.h"
#include "sim/SIM_RetreatManager.h"

namespace {
constexpr int kBelowComms = 40;
} // namespace

void GUI_LeaveBattle::Open(int mode, int screenWidth)
{
    Close();
    new GUI_LeaveBattle(mode, screenWidth);
}

GUI_LeaveBattle::GUI_LeaveBattle(int mode, int screenWidth) : m_mode(mode)
{
    raisesOnClick = false;
    const int l = screenWidth / 2 - kWidth / 2;
    const int t = GUI_Comms::GetOpen() ? kBelowComms : 0;
    SetRect(static_cast<float>(l), static_cast<float>(t), static_cast<float>(l + kWidth),
            static_cast<float>(t + kHeight));
    const bool retreat = mode == RETREAT;
    m_button = new GUI_ButtonText(retreat ? "BATTLE_RETREAT" : "BATTLE_ADMIT_DEFEAT", &OnLeaveBattleButton, 0);
    m_button->SetRect(static_cast<float>(left + 25), static_cast<float>(top + 5), static_cast<float>(right - 25),
                      static_cast<float>(bottom - 5));
    if (retreat && !(s_destination && s_destination())) {
        m_button->enabled = false;
        m_button->SetTooltip("BATTLE_RETREAT_NO_OPTION_TOOLTIP");
    } else {
        m_button->SetTooltip(retreat ? "BATTLE_RETREAT_TOOLTIP" : "BATTLE_ADMIT_DEFEAT_TOOLTIP");
    }
    AddButton(m_button);
    GUI_WindowManager::GetInstance().AddWindow(this);
    PlaceBoxBackground(m_background, *this);
}

GUI_LeaveBattle::~GUI_LeaveBattle() = default;

bool GUI_LeaveBattle::OnLeftClick(float x, float y)
{
    if (SIM_Battle::GetInstance().IsEnded())
        return false;
    return GUI_WindowBase::OnLeftClick(x, y);
}

void GUI_LeaveBattle::Draw()
{
    if (!visible || SIM_Battle::GetInstance().IsEnded())
        return;
    m_background.Draw();
    DrawNamedFrame("border_depth.dds", 10.0f, 1.0f, static_cast<float>(left), static_cast<float>(top),
                   static_cast<float>(right), static_cast<float>(bottom));
    DrawButtons();
    LibText::GetInstance().Render(-1);
}

void GUI_LeaveBattle::OnLeaveBattleButton(std::intptr_t)
{
    const GUI_LeaveBattle* window = GetOpen();
    if (!window || SIM_Battle::GetInstance().IsEnded())
        return;
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    if (window->m_mode == RETREAT) {
        s_questionPaused = gui.AskHoldingBattle("RETREAT_CONFIRM_TEXT", "RETREAT_CONFIRM_TITLE", &OnLeaveBattleConfirmed);
        GUI_Tutorial::GetInstance().LaunchTutorial("CAMPAIGN_RETREAT");
    } else {
        s_questionPaused =
            gui.AskHoldingBattle("ADMIT_DEFEAT_CONFIRM_TEXT", "ADMIT_DEFEAT_CONFIRM_TITLE", &OnLeaveBattleConfirmed);
    }
}

void GUI_LeaveBattle::OnLeaveBattleConfirmed(std::intptr_t)
{
    GUI_LeaveBattle* window = GetOpen();
    if (!window)
        return;
    if (window->m_mode != RETREAT) {
        GUI_BattleGUI::OnQuitConfirmed(0);
        return;
    }
    SIM_RetreatManager::GetInstance().Begin();
    GUI_RetreatTimer::Open();
    // The battle goes on during the retreat, as it was before the question.
    GUI_BattleGUI& gui = GUI_BattleGUI::GetInstance();
    if (s_questionPaused && gui.paused)
        gui.TogglePauseState();
    s_questionPaused = false;
    window->m_button->enabled = false;
    Close();
}
