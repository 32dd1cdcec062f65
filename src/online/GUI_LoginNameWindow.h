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
    std::shared_ptr<OnlineJob> m_job;
};
