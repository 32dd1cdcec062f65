#pragma once
#include "gui/GUI_Callback.h"
#include "gui/GUI_Dialog.h"
#include "gui/GUI_Interlace.h"

#include <string>

class GUI_ButtonText;

// The yes/no question. Only one is open at a time. Yes runs the answer once
// (at once, or after the screen fade); no, the close button and Escape never
// run it.
class GUI_ConfirmDialog : public GUI_Dialog {
public:
    static constexpr int kWidth = 400;

    GUI_ConfirmDialog(const std::string& question, const std::string& title, GUI_Callback callback,
                      bool fadeOnYes);
    ~GUI_ConfirmDialog() override;

    void Draw() override;

    const std::string& GetQuestion() const { return m_question; }
    GUI_ButtonText* GetYesButton() const { return m_yes; }
    GUI_ButtonText* GetNoButton() const { return m_no; }
    bool IsAnswered() const { return m_answered; }
    // What "yes" runs: tells one question from another.
    GUI_Callback GetCallback() const { return m_callback; }
    GUI_Interlace& GetInterlace() { return m_interlace; }

    static GUI_ConfirmDialog* GetOpen();
    // The battle screen pauses the battle to ask the open question and hands
    // over how to resume it: "no", or closing the question unanswered,
    // resumes; "yes" does not.
    static void SetOpenedFromBattle(GUI_Callback resume);
    static bool IsOpenedFromBattle();

private:
    static void OnYes(std::intptr_t dialog);
    static void OnNo(std::intptr_t dialog);
    // The open dialog when it still waits for its answer, else null.
    static GUI_ConfirmDialog* TakeAnswerable(std::intptr_t dialog);
    void Dismiss();

    GUI_ButtonText* m_yes = nullptr;
    GUI_ButtonText* m_no = nullptr;
    std::string m_question;
    GUI_Callback m_callback = nullptr;
    bool m_fadeOnYes = false;
    bool m_answered = false;
    GUI_Callback m_resumeBattle = nullptr;
    GUI_Interlace m_interlace;
};

// Opens the question (texts are string keys), replacing any open one.
void AskYesNo(const char* questionKey, const char* titleKey, GUI_Callback callback, bool fadeOnYes);
// The same with the question's text already made (one that names its subject).
void AskYesNoText(const std::string& question, const char* titleKey, GUI_Callback callback, bool fadeOnYes);
