#pragma once
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"

#include <cstdint>
#include <string>
#include <vector>

class GUI_ButtonText;
struct TutorialDefinition;

// A lesson on screen: title, word-wrapped text and, when the lesson asks for
// it, an OK button. A modal lesson dims the screen and takes every click; any
// lesson pauses a running battle. Its open script runs once the window is
// complete (the frame after it opens, before anything draws), so a script
// may launch or close lessons, its own included. OK and Enter run the close
// script after the window is gone; Escape and a new lesson drop it without.
class GUI_TutorialWindow : public GUI_Dialog {
public:
    static constexpr int kWidth = 400;
    static constexpr int kTextWidth = 348;
    static constexpr int kMinTextHeight = 80;
    static constexpr float kFontSize = 16.0f;
    static constexpr uint32_t kOverlayColour = 0x802020C8u;

    // Closes every open lesson (no close scripts), then opens this one.
    static GUI_TutorialWindow* Open(TutorialDefinition* definition);
    static void CloseAll();
    // Enter: acknowledges the oldest lesson as its OK button does; false
    // when none is open.
    static bool CloseFirst();
    // Escape: closes the oldest lesson without its close script.
    static bool DismissFirst();
    static void OnOk(std::intptr_t window);
    // Runs the open scripts of lessons opened since the last call; a lesson
    // whose script points at a control that is not there is skipped. The
    // shell calls it every frame after the screen's update.
    static void RunPendingScripts();
    static const std::vector<GUI_TutorialWindow*>& GetOpenWindows();
    static GUI_TutorialWindow* GetFirst();
    // The window height for a body text.
    static int HeightFor(const std::string& text);

    ~GUI_TutorialWindow() override;

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    bool IsModal() const override { return m_modal; }
    bool StaysOnTop() const override { return true; }

    const std::string& GetLessonName() const { return m_lessonName; }
    const std::string& GetBodyText() const { return m_bodyText; }
    GUI_ButtonText* GetOkButton() const { return m_okButton; }
    bool IsScriptPending() const { return m_scriptPending; }

private:
    explicit GUI_TutorialWindow(TutorialDefinition* definition);
    // Off the open list and hidden at once; freed by the window manager once
    // no click or draw is walking its lists.
    void Close();
    void PlaceOkButton();
    // False when the script names a control that is not on screen.
    bool RunOpenScript();

    const TutorialDefinition* m_definition;
    std::string m_lessonName;
    std::string m_bodyText;
    std::string m_closeScript;
    std::string m_openScript;
    GUI_ButtonText* m_okButton = nullptr;
    GUI_Interlace m_interlace;
    bool m_modal = false;
    bool m_scriptPending = false;
};
