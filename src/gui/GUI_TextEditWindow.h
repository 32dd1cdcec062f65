#pragma once
#include "engine/GTimer.h"
#include "gui/GUI_WindowBase.h"

#include <string>

class GUI_GameModeBase;
class IClock;

// The single-line text field: while it has the keyboard it takes the typed
// characters (the system's text input, so capitals and symbols are what the
// layout made) and the editing keys, keeps an insertion cursor, blinks a
// caret and never holds more than its maximum length.
class GUI_TextEditWindow : public GUI_WindowBase {
public:
    static constexpr double kBlinkMs = 200.0;
    // The screen whose keyboard-focus window a field claims; the shell
    // registers it at start-up (without one a field only tracks its own state).
    using ModeProvider = GUI_GameModeBase* (*)();
    static void SetModeProvider(ModeProvider provider);

    GUI_TextEditWindow(const std::string& text, int maxLength, const IClock* clock = nullptr);
    ~GUI_TextEditWindow() override;

    bool OnLeftClick(float x, float y) override;
    void Draw() override;
    void OnKeyDown(int key) override;
    void OnTypedChar(char c) override;
    // The characters a field takes.
    static bool IsTypable(char c);

    void SetText(const std::string& text);
    std::string GetText() const { return m_text; }
    // Takes the keyboard, as a click on the field does (caret at the end).
    void BeginEditing();
    void EndEditing();

    bool IsEditing() const { return m_editing; }
    bool IsCaretOn() const { return m_caretOn; }
    int GetCursor() const { return m_cursor; }
    int GetMaxLength() const { return m_maxLength; }

    bool enabled = true;
    bool noLeadingUnderscore = false;
    bool noQuestionMark = false;

private:
    void InsertChar(char c);
    float TextX() const { return static_cast<float>(left) + 8.0f; }
    float TextY() const { return static_cast<float>(top) - 2.0f; }
    static GUI_GameModeBase* CurrentMode();

    bool m_editing = false;
    bool m_caretOn = false;
    GTimer m_caretTimer;
    std::string m_text;
    int m_maxLength = 0;
    int m_cursor = 0;
};
