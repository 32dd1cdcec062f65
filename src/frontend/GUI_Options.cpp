#include "frontend/GUI_Options.h"

#include "app/GUI_Sounds.h"
#include "app/Game.h"
#include "battle/GUI_BattleGUI.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "frontend/GUI_OptionsSlider.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_CheckButton.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "platform/KeyCodes.h"

namespace {
const char* const kSliderOptions[GUI_Options::SLIDER_COUNT] = {"OPTIONS_MASTERVOLUME", "OPTIONS_MUSIC",
                                                              "OPTIONS_SFX", "OPTIONS_INTERFACE_VOLUME"};
} // namespace

GUI_Options& GUI_Options::GetInstance()
{
    static GUI_Options instance;
    return instance;
}

const char* GUI_Options::SliderOption(int slider)
{
    return slider >= 0 && slider < SLIDER_COUNT ? kSliderOptions[slider] : "";
}

GUI_Options::GUI_Options() : m_picker(m_choice)
{
    D3DEngine& engine = D3DEngine::GetInstance();
    m_choice.width = engine.GetScreenWidth();
    m_choice.height = engine.GetScreenHeight();
    m_choice.windowed = engine.IsWindowed();
    m_restartText = GetString("OPTIONS_RESTART_REQUIRED");
    m_panelSprite.SetTexture("box_background.jpg");

    SIM_Options& options = SIM_Options::GetInstance();
    for (int i = 0; i < SIM_Options::kToggleCount; ++i) {
        std::string key = std::string("OPTIONS_") + SIM_Options::GetToggleName(i);
        auto* check = new GUI_CheckButton(key.c_str(), OnToggle, i);
        check->SetTooltipString(GetString((key + "_TOOLTIP").c_str()));
        AddButton(check);
        m_checks[static_cast<size_t>(i)] = check;
    }
    m_fullScreen = new GUI_CheckButton("OPTIONS_FULLSCREEN", OnFullScreen, 0);
    m_fullScreen->SetTooltipString(GetString("OPTIONS_FULLSCREEN_TOOLTIP"));
    AddButton(m_fullScreen);
    m_mainMenu = new GUI_ButtonText("CHOOSESCENARIO_MAINMENU", GUI_MenuChrome::GoToMainMenu, 0);
    m_mainMenu->SetTooltipString(GetString("CHOOSESCENARIO_MAINMENU_TOOLTIP"));
    AddButton(m_mainMenu);
    for (int s = 0; s < SLIDER_COUNT; ++s)
        m_sliders[static_cast<size_t>(s)] =
            new GUI_OptionsSlider(kSliderOptions[s], options.GetValue(kSliderOptions[s]), OnSlider, s);
}

void GUI_Options::Enter()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    const int w = engine.GetScreenWidth(), h = engine.GetScreenHeight();
    SetSize(static_cast<float>(w), static_cast<float>(h));
    MoveTo(0.0f, 0.0f);
    m_chrome.LayOut(w, h);
    m_panel = GRect{w / 2 - 500, h / 2 - 350, w / 2 + 500, h / 2 + 350};
    m_inner = GRect{m_panel.left + 20, m_panel.top + 40, m_panel.right - 20, m_panel.bottom - 20};
    m_title.SetRect(static_cast<float>(m_panel.left + 20), static_cast<float>(m_panel.top - 2),
                    static_cast<float>(m_panel.left + 420), static_cast<float>(m_panel.top + 40));
    m_title.SetText(GetString("OPTIONS_TITLE"));
    GUI_MenuChrome::PlaceBackButton(*m_mainMenu, h);

    SIM_Options& options = SIM_Options::GetInstance();
    const int c = (m_panel.Width() - 40) / 3;
    for (int i = 0; i < SIM_Options::kToggleCount; ++i) {
        const int column = i / 6, row = i % 6;
        const float x = static_cast<float>(m_panel.left + 20 + column * c);
        const float y = static_cast<float>(m_panel.top + 50 + row * 42);
        GUI_CheckButton* box = m_checks[static_cast<size_t>(i)];
        box->SetRect(x, y, x + static_cast<float>(c - 10), y + 39.0f);
        box->ticked = options.GetValue(SIM_Options::GetToggleName(i)) != 0.0f;
    }

    const float m = static_cast<float>((m_panel.left + m_panel.right) / 2);
    float y = static_cast<float>(m_panel.top + 326);
    for (int s = 0; s < SLIDER_COUNT; ++s) {
        GUI_OptionsSlider* slider = m_sliders[static_cast<size_t>(s)];
        slider->SetRect(m, y, static_cast<float>(m_panel.right - 40), y + 40.0f);
        slider->value = options.GetValue(kSliderOptions[s]);
        y += 55.0f;
    }
    const GUI_OptionsSlider& last = *m_sliders[SLIDER_INTERFACE];
    m_picker.SetRect(static_cast<float>(m_panel.left + 40), static_cast<float>(m_sliders[SLIDER_MASTER]->top),
                     m - 20.0f, static_cast<float>(m_panel.bottom - 60));
    m_picker.Refill();
    m_fullScreen->SetRect(m + 20.0f, static_cast<float>(last.bottom + 10), static_cast<float>(m_panel.right - 40),
                          static_cast<float>(last.bottom + 50));
    m_fullScreen->ticked = !m_choice.windowed;

    GUI_Tutorial::GetInstance().LaunchTutorial("OPTIONS");
}

void GUI_Options::Leave()
{
    m_volumesChanged = false;
    SIM_Options::GetInstance().Save();
    GUI_BattleGUI::GetInstance().ReadGraphicsOptions();
    GUI_Sounds::GetInstance().ApplyHardwareSoundOption();
}

void GUI_Options::OnToggle(std::intptr_t index)
{
    SIM_Options& options = SIM_Options::GetInstance();
    const char* name = SIM_Options::GetToggleName(static_cast<int>(index));
    options.SetValue(name, options.GetValue(name) == 0.0f ? 1.0f : 0.0f);
    options.Save();
    if (index >= 0 && index < SIM_Options::kToggleCount)
        GetInstance().m_checks[static_cast<size_t>(index)]->ticked = options.GetValue(name) != 0.0f;
}

void GUI_Options::OnFullScreen(std::intptr_t)
{
    GUI_Options& screen = GetInstance();
    screen.m_choice.windowed = !screen.m_choice.windowed;
    screen.m_choice.restartRequired = true;
    screen.m_fullScreen->ticked = !screen.m_choice.windowed;
    Game::GetInstance().SavePrefs(screen.m_choice.width, screen.m_choice.height, screen.m_choice.windowed);
}

void GUI_Options::OnSlider(std::intptr_t slider)
{
    if (slider < 0 || slider >= SLIDER_COUNT)
        return;
    GUI_Options& screen = GetInstance();
    SIM_Options::GetInstance().SetValue(kSliderOptions[slider], screen.m_sliders[static_cast<size_t>(slider)]->value);
    GUI_Sounds::GetInstance().RefreshVolumes();
    // Written when the drag lets go, not once per frame of it.
    screen.m_volumesChanged = true;
}

void GUI_Options::SaveChangedVolumes()
{
    if (!m_volumesChanged)
        return;
    m_volumesChanged = false;
    SIM_Options::GetInstance().Save();
}

void GUI_Options::OnKeyDown(int code)
{
    if (code == KEY_ESCAPE)
        Game::GetInstance().SetMode(15);
}

void GUI_Options::Update()
{
    // A window closed by the window manager never comes back through Leave.
    bool dragging = false;
    for (const GUI_OptionsSlider* slider : m_sliders)
        dragging = dragging || slider->IsDraggingKnob();
    if (!dragging)
        SaveChangedVolumes();
    if (GUI_MenuChrome::UpdateWindowsThenButtons(*this))
        m_picker.Update();
}

void GUI_Options::OnLeftClick()
{
    // A click that a window took ends there: the controls beneath never see it.
    if (GUI_WindowManager::GetInstance().DispatchClick())
        return;
    if (ClickButtons())
        return;
    CInput& input = CInput::GetInstance();
    const float x = input.GetMouseX(), y = input.GetMouseY();
    if (m_picker.OnLeftClick(x, y))
        return;
    for (int s : {SLIDER_MUSIC, SLIDER_SFX, SLIDER_MASTER, SLIDER_INTERFACE})
        if (m_sliders[static_cast<size_t>(s)]->OnLeftClick(x, y))
            return;
}

void GUI_Options::Render()
{
    m_chrome.DrawBackdrop();
    const float l = static_cast<float>(m_panel.left), b = static_cast<float>(m_panel.bottom);
    GUI_MenuChrome::DrawPanel(m_panelSprite, m_panel);
    DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, 32.0f, 1.0f, static_cast<float>(m_inner.left),
                       static_cast<float>(m_inner.top), static_cast<float>(m_inner.right),
                       static_cast<float>(m_inner.bottom));
    m_interlace.Draw(m_inner);
    m_chrome.DrawBottomBar();
    for (int s : {SLIDER_MUSIC, SLIDER_SFX, SLIDER_MASTER, SLIDER_INTERFACE})
        m_sliders[static_cast<size_t>(s)]->Draw();
    LibText& text = LibText::GetInstance();
    text.Render(-1);
    m_picker.Draw();
    DrawButtons();
    m_title.Draw();
    if (m_choice.restartRequired) {
        text.SetFont("zekton16.dds", 16.0f);
        text.SetText(TEXT_ALIGN_LEFT, text.GetWrappedText(m_restartText, m_panel.Width() - 60), l + 30.0f,
                     b - 55.0f, 0xFFFFFFFFu, 0.0f);
        text.Render(-1);
    }
}
