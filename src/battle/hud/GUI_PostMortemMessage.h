#pragma once
#include <string>

#include "gui/GUI_WindowBase.h"

class GUI_ButtonText;
class GUI_TextEditWindow;

// After an online challenge: one message to the player who posted it.
class GUI_PostMortemMessage : public GUI_WindowBase {
public:
    static constexpr int kMaxLength = 256;

    // The request; replaceable for tests. True when it went out.
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

    static void OnSend(std::intptr_t window);

private:
    void Place();

    std::string m_prompt;
    std::string m_recipient;
    GUI_ButtonText* m_send = nullptr;
    GUI_TextEditWindow* m_field = nullptr;
    bool m_active = true;
};
