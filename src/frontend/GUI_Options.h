#pragma once
#include "app/GUI_GameModeBase.h"
#include "engine/CTexturedSprite.h"
#include "engine/GRect.h"
#include "frontend/GUI_MenuChrome.h"
#include "frontend/GUI_ResolutionPicker.h"
#include "gui/GUIButtonList.h"
#include "gui/GUI_Interlace.h"
#include "gui/GUI_TitleBar.h"
#include "sim/SIM_Options.h"

#include <array>
#include <cstdint>
#include <string>

class GUI_ButtonText;
class GUI_CheckButton;
class GUI_OptionsSlider;

// The options screen: one check box per on/off option (saved at once), four
// volume sliders (saved when a drag lets go), the display sizes and the
// full-screen box (written to prefs.ini for the next start, which a line of
// text then asks for).
class GUI_Options : public GUI_GameModeBase, public GUIButtonList {
public:
    enum Slider { SLIDER_MASTER = 0, SLIDER_MUSIC, SLIDER_SFX, SLIDER_INTERFACE, SLIDER_COUNT };

    static GUI_Options& GetInstance();

    void Render() override;
    void OnKeyDown(int code) override;
    void Update() override;
    void OnLeftClick() override;
    // The screen is also its own button list, which keeps its positioned click.
    using GUIButtonList::OnLeftClick;
    void Enter() override;
    void Leave() override;

    GUI_CheckButton* GetCheckBox(int index) const { return m_checks[static_cast<size_t>(index)]; }
    GUI_CheckButton* GetFullScreenBox() const { return m_fullScreen; }
    GUI_ButtonText* GetMainMenuButton() const { return m_mainMenu; }
    GUI_OptionsSlider* GetSlider(int slider) const { return m_sliders[static_cast<size_t>(slider)]; }
    GUI_ResolutionPicker& GetResolutionPicker() { return m_picker; }
    const GUI_DisplayChoice& GetDisplayChoice() const { return m_choice; }
    const GRect& GetPanel() const { return m_panel; }

    // The option key of a slider.
    static const char* SliderOption(int slider);
    // Writes volumes a drag changed and has not saved yet; the game calls it
    // on quitting, since a window closed mid-drag never lets go.
    void SaveChangedVolumes();

private:
    GUI_Options();
    static void OnToggle(std::intptr_t index);
    static void OnFullScreen(std::intptr_t);
    static void OnSlider(std::intptr_t slider);

    GUI_DisplayChoice m_choice;
    GUI_MenuChrome m_chrome{0.75f};
    CTexturedSprite m_panelSprite;
    GUI_TitleBar m_title;
    GRect m_panel;
    GRect m_inner;
    std::array<GUI_CheckButton*, SIM_Options::kToggleCount> m_checks{};
    GUI_CheckButton* m_fullScreen = nullptr;
    GUI_ButtonText* m_mainMenu = nullptr;
    std::array<GUI_OptionsSlider*, SLIDER_COUNT> m_sliders{};
    GUI_ResolutionPicker m_picker;
    GUI_Interlace m_interlace;
    std::string m_restartText;
    bool m_volumesChanged = false;
};
