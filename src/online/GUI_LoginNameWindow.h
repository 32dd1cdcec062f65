#pragma once
#include "gui/GUI_Dialog.h"

#include <memory>
#include <string>

class GUI_ButtonText;
class GUI_TextEditWindow;
class OnlineJob;

// Where the player picks the name their challenges and messages go by. The
// name is sent beside the frame and kept in "web/qlmcdu" only once the
// server took it; a refusal shows the server's own words.
class GUI_LoginNameWindow : public GUI_Dialog {
public:
    enum Status { NOT_SET = 0, ACCEPTED = 1 };
    static constexpr int kMaxName = 128;
    // The status line starts this far above the window's bottom, 5 under the entry.
    static constexpr int kStatusTop = 69;

    GUI_LoginNameWindow();
    ~GUI_LoginNameWindow() override;
    void Update() override;
    void Draw() override;
    void StartDrag() override {}
    // Part of its screen: Escape leaves the screen, and the screen's other
    // windows and buttons stay in reach.
    bool IsModal() const override { return false; }

    // Sends the entry's name (the submit button).
    void OnSubmit();
    // Takes the server's answer in once it came.
    void Poll();

    int GetStatus() const { return m_status; }
    const std::string& GetStatusText() const { return m_statusText; }
    // The status as drawn: wrapped to the window, cut with "..." where it
    // would run past its bottom.
    const std::string& GetShownStatus();
    bool IsSending() const { return m_job != nullptr; }
    GUI_TextEditWindow* GetEntry() const { return m_entry; }
    GUI_ButtonText* GetSubmitButton() const { return m_submit; }

private:
    static void OnSubmitPressed(std::intptr_t);
    void UpdateStatusText();

    GUI_TextEditWindow* m_entry = nullptr;
    GUI_ButtonText* m_submit = nullptr;
    int m_status = NOT_SET;
    std::string m_statusText;
    std::string m_sentName;
    std::string m_shown, m_shownFrom;
    std::shared_ptr<OnlineJob> m_job;
};
