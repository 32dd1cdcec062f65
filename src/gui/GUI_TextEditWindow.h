#pragma once
#include "engine/GTimer.h"
#include "gui/GUI_WindowBase.h"

#include <cstdint>
#include <string>

class GUI_GameModeBase;
class IClock;

// The single-line text field: while it has the keyboard it takes the typed
// characters (the system's text input, so capitals and symbols are what the
// layout made) and the editing keys, keeps an insertion cursor, blinks a
// caret and never holds more than its maximum length. A field one line high
// shows the part of a longer text around the cursor, inside its box; a
// taller one wraps the text, and the caret follows the lines shown.
class GUI_TextEditWindow : public GUI_WindowBase {
public:
    static constexpr double kBlinkMs = 200.0;
    // Fields lower than this hold one line.
    static constexpr int kTwoLineHeight = 36;
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
    // Marks the whole text while the field has the keyboard, so that the
    // first character typed (or Backspace) replaces it; a click or a cursor
    // key lets it go. A dialog that opens to rename something selects.
    void SelectAll();
    bool IsAllSelected() const { return m_allSelected && m_editing; }

    bool IsEditing() const { return m_editing; }
    bool IsCaretOn() const { return m_caretOn; }
    int GetCursor() const { return m_cursor; }
    int GetMaxLength() const { return m_maxLength; }
    // The text as the field shows it now, and where its first character is in the text.
    const std::string& GetShownText();
    size_t GetShownFrom();

    bool enabled = true;
    bool noLeadingUnderscore = false;
    bool noQuestionMark = false;
    // Called by Enter after the field lets the keyboard go (a dialog's
    // default action); with its argument.
    void (*onEnter)(std::intptr_t) = nullptr;
    std::intptr_t onEnterArgument = 0;

private:
    void InsertChar(char c);
    // Drops a whole-text selection with its text; false when none was held.
    bool ReplaceSelection();
    // Works out the shown text and the caret's place when the text, the
    // cursor or the size changed since the last time.
    void LayOut();
    void LayOutOneLine(float room);
    float TextX() const { return static_cast<float>(left) + 8.0f; }
    float TextY() const { return static_cast<float>(top) - 2.0f; }
    static GUI_GameModeBase* CurrentMode();

    bool m_editing = false;
    bool m_allSelected = false;
    bool m_caretOn = false;
    GTimer m_caretTimer;
    std::string m_text;
    int m_maxLength = 0;
    int m_cursor = 0;
    // Counts the changes of m_text, so the layout knows when it is stale.
    unsigned m_revision = 0;
    unsigned m_laidRevision = ~0u;
    int m_laidCursor = -1;
    int m_laidWidth = -1;
    int m_laidHeight = -1;
    std::string m_shown;
    size_t m_shownFrom = 0;
    // The caret's place from the text's top left (TextX, TextY).
    float m_caretX = 0.0f;
    float m_caretY = 0.0f;
};
