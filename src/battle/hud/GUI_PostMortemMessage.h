#pragma once
#include <memory>
#include <string>

#include "gui/GUI_WindowBase.h"

class GUI_ButtonText;
class GUI_TextEditWindow;
class OnlineJob;

// After an online challenge: one message to the player who posted it, sent
// beside the frame (please-wait, Cancel); a message that did not go out may
// be sent again.
class GUI_PostMortemMessage : public GUI_WindowBase {
public:
    static constexpr int kMaxLength = 256;

    // Replaces the request for tests (called at once, on this thread). True
    // when it went out.
    using Sender = bool (*)(const std::string& recipient, const std::string& text);
    static void SetSender(Sender sender);

    explicit GUI_PostMortemMessage(const std::string& recipient);

    void Draw() override;
    bool OnLeftClick(float x, float y) override;

    GUI_ButtonText* GetSendButton() const { return m_send; }
    GUI_TextEditWindow* GetField() const { return m_field; }
    const std::string& GetRecipient() const { return m_recipient; }
    // One message per report: after a send the window takes no more clicks.
    bool IsActive() const { return m_active; }
    bool IsSending() const { return m_job != nullptr; }
    void Poll();

    static void OnSend(std::intptr_t window);

private:
    void Place();

    std::string m_prompt;
    std::string m_recipient;
    GUI_ButtonText* m_send = nullptr;
    GUI_TextEditWindow* m_field = nullptr;
    bool m_active = true;
    std::shared_ptr<OnlineJob> m_job;
};
