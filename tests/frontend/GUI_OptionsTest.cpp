#include "app/GUI_Sounds.h"
#include "battle/GUI_BattleGUI.h"
#include "engine/CInput.h"
#include "frontend/FrontendGame.h"
#include "frontend/GUI_Options.h"
#include "frontend/GUI_OptionsSlider.h"
#include "frontend/GUI_ResolutionPicker.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_CheckButton.h"
#include "gui/GUI_ConfirmDialog.h"
#include "gui/GUI_ScrollingWindow.h"
#include "sim/SIM_Options.h"

namespace {
class Options : public FrontendGame {
protected:
    void SetUp() override
    {
        FrontendGame::SetUp();
        Game::GetInstance().SetMode(7);
        Frames(1);
    }
    static float Saved(const char* name)
    {
        SIM_Options fromFile(Game::GetInstance().GetUserPath(Game::USER) + "/config.txt");
        return fromFile.GetValue(name);
    }
    static void ClickBox(const GUI_CheckButton& box) { ClickAt(box.left + 37, box.top + 21); }
};

int g_sliderCalls = 0;
void CountSliderCall(std::intptr_t)
{
    ++g_sliderCalls;
}
} // namespace

TEST_F(Options, ACheckBoxFlipsItsOptionAndWritesConfigAtOnce)
{
    GUI_Options& screen = GUI_Options::GetInstance();
    SIM_Options& options = SIM_Options::GetInstance();
    const float before = options.GetValue("CONTRAILS");
    ClickBox(*screen.GetCheckBox(0));
    EXPECT_EQ(options.GetValue("CONTRAILS"), before == 0.0f ? 1.0f : 0.0f);
    EXPECT_EQ(Saved("CONTRAILS"), options.GetValue("CONTRAILS"));
    EXPECT_EQ(screen.GetCheckBox(0)->ticked, options.GetValue("CONTRAILS") != 0.0f);

    // Any value but 0 is on; a click turns it off.
    options.SetValue("DEBRIS", 0.5f);
    Game::GetInstance().SetMode(15);
    Game::GetInstance().SetMode(7);
    EXPECT_TRUE(screen.GetCheckBox(2)->ticked);
    ClickBox(*screen.GetCheckBox(2));
    EXPECT_EQ(options.GetValue("DEBRIS"), 0.0f);
    EXPECT_FALSE(screen.GetCheckBox(2)->ticked);
    ClickBox(*screen.GetCheckBox(2));
}

TEST_F(Options, BoxesStandInThreeColumnsOfSix)
{
    GUI_Options& screen = GUI_Options::GetInstance();
    const GRect& panel = screen.GetPanel();
    const int c = (panel.Width() - 40) / 3;
    EXPECT_EQ(screen.GetCheckBox(0)->left, panel.left + 20);
    EXPECT_EQ(screen.GetCheckBox(0)->top, panel.top + 50);
    EXPECT_EQ(screen.GetCheckBox(5)->top, panel.top + 50 + 5 * 42);
    EXPECT_EQ(screen.GetCheckBox(6)->left, panel.left + 20 + c);
    EXPECT_EQ(screen.GetCheckBox(6)->top, panel.top + 50);
    EXPECT_EQ(screen.GetCheckBox(16)->left, panel.left + 20 + 2 * c);
    EXPECT_EQ(screen.GetCheckBox(16)->right - screen.GetCheckBox(16)->left, c - 10);
}

TEST_F(Options, LeavingSavesVolumesAndTellsTheBattleAndTheSound)
{
    GUI_Options& screen = GUI_Options::GetInstance();
    SIM_Options& options = SIM_Options::GetInstance();
    // Drag the master volume knob past the right end of its track.
    GUI_OptionsSlider* master = screen.GetSlider(GUI_Options::SLIDER_MASTER);
    const int knobX = static_cast<int>(master->GetKnobX()), knobY = static_cast<int>(master->GetKnobY());
    auto* window = dynamic_cast<HeadlessWindow*>(Game::GetInstance().GetWindow());
    ASSERT_NE(window, nullptr);
    MoveMouse(knobX, knobY);
    window->InjectMouseButton(MouseButton::Left, true);
    Frames(1);
    ASSERT_TRUE(master->IsDraggingKnob());
    MoveMouse(master->right + 200, knobY);
    window->InjectMouseButton(MouseButton::Left, false);
    Frames(2);
    EXPECT_FALSE(master->IsDraggingKnob());
    EXPECT_FLOAT_EQ(master->value, 1.0f);
    EXPECT_FLOAT_EQ(options.GetValue("OPTIONS_MASTERVOLUME"), 1.0f);
    EXPECT_FLOAT_EQ(GUI_Sounds::GetInstance().GetMasterVolume(), 1.0f);

    const float contrails = options.GetValue("CONTRAILS");
    ClickBox(*screen.GetCheckBox(0));
    ClickBox(*screen.GetCheckBox(13)); // hardware sound
    Click(*screen.GetMainMenuButton());
    EXPECT_EQ(Game::GetInstance().GetModeId(), 15);
    EXPECT_FLOAT_EQ(Saved("OPTIONS_MASTERVOLUME"), 1.0f);
    EXPECT_EQ(GUI_BattleGUI::GetInstance().contrails, contrails == 0.0f ? 1 : 0);
    EXPECT_EQ(GUI_Sounds::GetInstance().IsHardwareSound(), options.GetValue("HARDWARESOUND") != 0.0f);
    Game::GetInstance().SetMode(7);
    ClickBox(*screen.GetCheckBox(0));
    ClickBox(*screen.GetCheckBox(13));
}

TEST_F(Options, AClickTakenByADialogNeverReachesTheBoxBeneath)
{
    GUI_Options& screen = GUI_Options::GetInstance();
    const float before = SIM_Options::GetInstance().GetValue("CONTRAILS");
    AskYesNo("QUIT_APP_CONFIRM_TEXT", "QUIT_APP_CONFIRM_TITLE", [](std::intptr_t) {}, false);
    GUI_ConfirmDialog* dialog = GUI_ConfirmDialog::GetOpen();
    ASSERT_NE(dialog, nullptr);
    const GUI_CheckButton& box = *screen.GetCheckBox(0);
    dialog->MoveTo(static_cast<float>(box.left), static_cast<float>(box.top - 5));
    ClickBox(box);
    EXPECT_EQ(SIM_Options::GetInstance().GetValue("CONTRAILS"), before);
    EXPECT_NE(GUI_ConfirmDialog::GetOpen(), nullptr);
    PressKey(SDL_SCANCODE_ESCAPE);
}

TEST(OptionsSlider, AKnobDraggedPastEitherEndPinsAndCallsOncePerChange)
{
    GUI_OptionsSlider slider("", 0.5f, CountSliderCall);
    slider.SetRect(100.0f, 100.0f, 300.0f, 140.0f);
    const GRect track = slider.GetTrack();
    EXPECT_EQ(track.left, 110);
    EXPECT_EQ(track.right, 290);
    EXPECT_EQ(track.top, 128);
    EXPECT_EQ(track.bottom, 132);
    EXPECT_FLOAT_EQ(slider.GetKnobX(), 200.0f);
    CInput& input = CInput::GetInstance();
    input.SetListener(nullptr); // the mouse is ours alone here
    auto mouseAt = [&](float x, float y) {
        input.SetCursorPosition(x, y);
        input.Poll();
    };
    g_sliderCalls = 0;
    EXPECT_FALSE(slider.OnLeftClick(200.0f + GUI_OptionsSlider::kKnobSize, 130.0f)); // beside the knob
    mouseAt(200.0f, 131.0f);
    input.OnLeftButtonDown();
    ASSERT_TRUE(slider.OnLeftClick(200.0f, 131.0f));
    slider.Draw(); // no move: no change, no call
    EXPECT_EQ(g_sliderCalls, 0);
    mouseAt(900.0f, 131.0f);
    slider.Draw();
    slider.Draw();
    EXPECT_FLOAT_EQ(slider.value, 1.0f);
    EXPECT_EQ(g_sliderCalls, 1);
    mouseAt(-50.0f, 131.0f);
    slider.Draw();
    EXPECT_FLOAT_EQ(slider.value, 0.0f);
    EXPECT_EQ(g_sliderCalls, 2);
    mouseAt(110.0f + 45.0f, 131.0f);
    input.OnLeftButtonUp();
    slider.Draw(); // the last frame of the drag still counts
    EXPECT_FLOAT_EQ(slider.value, 0.25f);
    EXPECT_FALSE(slider.IsDraggingKnob());
    EXPECT_FLOAT_EQ(slider.GetKnobX(), 155.0f);
}

TEST(ResolutionPicker, ListsEachSizeOnceAndNothingBelow768)
{
    std::vector<DisplayMode> modes = {{800, 600, 60},   {1024, 768, 60}, {1280, 720, 60}, {1024, 768, 75},
                                      {1280, 1024, 60}, {1920, 1080, 60}, {1280, 1024, 75}, {1366, 767, 60}};
    std::vector<DisplayMode> kept = GUI_ResolutionPicker::FilterModes(modes);
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0], (DisplayMode{1024, 768, 60}));
    EXPECT_EQ(kept[1], (DisplayMode{1280, 1024, 60}));
    EXPECT_EQ(kept[2], (DisplayMode{1920, 1080, 60}));
}

TEST_F(Options, PickingAnotherSizeWritesPrefsAndAsksForARestart)
{
    auto* window = dynamic_cast<HeadlessWindow*>(Game::GetInstance().GetWindow());
    ASSERT_NE(window, nullptr);
    std::vector<DisplayMode> modes;
    for (int i = 0; i < 19; ++i)
        modes.push_back({1000 + 10 * i, 768 + i, 60});
    modes.push_back({kWidth, kHeight, 60});
    window->SetDesktop(kWidth, kHeight, modes);
    Game::GetInstance().SetMode(15);
    Game::GetInstance().SetMode(7);
    GUI_Options& screen = GUI_Options::GetInstance();
    GUI_ResolutionPicker& picker = screen.GetResolutionPicker();
    ASSERT_EQ(picker.GetModes().size(), 20u);
    EXPECT_EQ(picker.GetStrips().size(), 16u);
    EXPECT_EQ(picker.GetScrollBar()->maximum, 4);
    EXPECT_EQ(picker.GetStrips()[0]->GetText(), "1000 x 768");
    EXPECT_EQ(picker.GetStrips()[1]->top - picker.GetStrips()[0]->top, 20);

    // Scroll to the end: the chosen size (the screen's own) is the last line.
    for (int i = 0; i < 6; ++i)
        picker.GetScrollBar()->ScrollDown();
    Frames(1);
    EXPECT_EQ(picker.GetScrollBar()->position, 4);
    ASSERT_EQ(picker.GetStrips().back()->GetText(), "1280 x 800");
    Click(*picker.GetStrips().back());
    EXPECT_FALSE(screen.GetDisplayChoice().restartRequired);

    Click(*picker.GetStrips().front());
    EXPECT_TRUE(screen.GetDisplayChoice().restartRequired);
    EXPECT_EQ(screen.GetDisplayChoice().width, 1040);
    EXPECT_NE(UserFile("prefs.ini").find("width = 1040\nheight = 772\n"), std::string::npos);

    // Full screen twice: the flag comes back, the restart line stays.
    const bool windowed = screen.GetDisplayChoice().windowed;
    ClickBox(*screen.GetFullScreenBox());
    EXPECT_EQ(screen.GetDisplayChoice().windowed, !windowed);
    EXPECT_EQ(screen.GetFullScreenBox()->ticked, windowed);
    ClickBox(*screen.GetFullScreenBox());
    EXPECT_EQ(screen.GetDisplayChoice().windowed, windowed);
    EXPECT_TRUE(screen.GetDisplayChoice().restartRequired);
}
