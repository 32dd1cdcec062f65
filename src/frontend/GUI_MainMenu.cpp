#include "frontend/GUI_MainMenu.h"

#include "app/GUI_Sounds.h"
#include "app/MusicTracks.h"
#include "app/Game.h"
#include "engine/D3DEngine.h"
#include "engine/GRect.h"
#include "engine/LibText.h"
#include "frontend/GUI_TitleBackdrop.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_WindowManager.h"
#include "platform/KeyCodes.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kButtonWidth = 260.0f;
constexpr float kButtonStep = 44.0f;
constexpr float kPanelHead = 110.0f;  // title and gap above the first button
constexpr float kPanelMargin = 10.0f; // below the panel

// The panel runs from 18% of the height down past its last button; on a short
// screen the buttons close up so that the panel stays on it.
float TopOf(float screenHeight)
{
    return screenHeight * 0.18f;
}

float ButtonStep(float screenHeight, int shown)
{
    const float room = screenHeight - kPanelMargin - (TopOf(screenHeight) + kPanelHead);
    return shown > 0 ? std::min(kButtonStep, std::floor(room / static_cast<float>(shown))) : kButtonStep;
}

void QuitAnswered(std::intptr_t)
{
    Game::GetInstance().OnQuit();
}
} // namespace

GUI_MainMenu::GUI_MainMenu() : GUI_StandInMode("Main menu", false)
{
    m_entries = {
        {KEY_1, 3, "MAINMENU_PLAY"},      {KEY_2, 1, "MAINMENU_DESIGNER"}, {KEY_3, 14, "MAINMENU_CAMPAIGN"},
        {KEY_4, 4, "MAINMENU_ONLINE"},    {KEY_5, 10, "MAINMENU_UNLOCKS"}, {KEY_6, 11, "MAINMENU_RACE"},
        {KEY_7, 7, "MAINMENU_OPTIONS"},   {KEY_8, 13, "MAINMENU_SCENARIO_EDITOR"},
        {KEY_9, 8, "MAINMENU_HULL_EDITOR"}, {KEY_ESCAPE, 0, "MAINMENU_QUIT"},
    };
    for (const Entry& e : m_entries) {
        auto* button = new GUI_ButtonText(e.label, Choose, e.modeId);
        button->SetTooltip((std::string(e.label) + "_TOOLTIP").c_str());
        m_buttons.AddButton(button);
    }
}

bool GUI_MainMenu::IsShown(const Entry& entry) const
{
    return entry.modeId != 8 || Game::GetInstance().IsEditorEnabled();
}

int GUI_MainMenu::ShownCount() const
{
    return static_cast<int>(
        std::count_if(m_entries.begin(), m_entries.end(), [this](const Entry& e) { return IsShown(e); }));
}

void GUI_MainMenu::LayOut()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    float w = static_cast<float>(engine.GetScreenWidth());
    float h = static_cast<float>(engine.GetScreenHeight());
    const float step = ButtonStep(h, ShownCount());
    float y = TopOf(h) + kPanelHead - 20.0f;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        GUI_ButtonBase* button = m_buttons.GetButtons()[i];
        button->visible = IsShown(m_entries[i]);
        if (!button->visible) {
            button->SetRect(-1000, -1000, -999, -999);
            continue;
        }
        button->SetRect(w * 0.5f - kButtonWidth * 0.5f, y, w * 0.5f + kButtonWidth * 0.5f, y + 34.0f);
        y += step;
    }
}

void GUI_MainMenu::Choose(std::intptr_t modeId)
{
    if (modeId == 0)
        AskToQuit();
    else
        Game::GetInstance().SetMode(static_cast<int>(modeId));
}

void GUI_MainMenu::AskToQuit()
{
    AskYesNo("MAINMENU_QUIT_QUESTION", "MAINMENU_QUIT_TITLE", QuitAnswered, false);
}

void GUI_MainMenu::Update()
{
    // Playing the same track again is a no-op, so this only starts it.
    GUI_Sounds::GetInstance().PlayMusic(MusicTracks::kMainTitle, false);
    GUI_StandInMode::Update();
}

void GUI_MainMenu::Leave()
{
    // Whichever screen comes next, the title music gives way.
    GUI_Sounds::GetInstance().PlayMusic(MusicTracks::kSettingUpShips, false);
    GUI_StandInMode::Leave();
}

void GUI_MainMenu::Render()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    float w = static_cast<float>(engine.GetScreenWidth());
    float h = static_cast<float>(engine.GetScreenHeight());

    // The backdrop is square: cover the screen, cropping the longer side.
    float side = std::max(w, h);
    m_backdrop.SetTexture(GUI_TitleBackdrop::GetInstance().GetTextureName());
    m_backdrop.SetSize(side, side);
    m_backdrop.PlaceCentred(w * 0.5f, h * 0.5f);
    m_backdrop.Draw();

    const float top = TopOf(h);
    const int shown = ShownCount();
    GRect panel{static_cast<int>(w * 0.5f - 190), static_cast<int>(top - 20), static_cast<int>(w * 0.5f + 190),
                static_cast<int>(top + kPanelHead + shown * ButtonStep(h, shown))};
    engine.FillRect(panel, 0xB00A1420);
    engine.DrawRectFrame(panel, 0xFF3FC8E8);

    DrawTitle("QUILLOMAR", Game::GetInstance().GetVersionText(), top);
    m_buttons.DrawButtons();
}

void GUI_MainMenu::OnKeyDown(int code)
{
    for (const Entry& e : m_entries) {
        if (e.key == code && IsShown(e)) {
            Choose(e.modeId);
            return;
        }
    }
    GUI_GameModeBase::OnKeyDown(code);
}
