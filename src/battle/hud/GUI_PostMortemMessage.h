#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "gui/GUI_WindowBase.h"
#include "online/OnlineStatus.h"

class GUI_ButtonText;
class GUI_TextEditWindow;
class OnlineJob;

// After an online challenge: one message to the player who posted it, sent
// beside the frame (please-wait, Cancel); a line says whether it went out,
// and one that did not may be sent again.
class GUI_PostMortemMessage : public GUI_WindowBase {
public:
    static constexpr int kMaxLength = 256;
    static constexpr uint32_t kSentColour = 0xFF80FF80u;
    static constexpr uint32_t kNotSentColour = 0xFFFFC040u;

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
    // The string key of the line about the last send ("" before any).
    const char* GetStatusKey() const { return m_statusKey; }
    const std::string& GetStatusText() const { return m_status; }
    void Poll();

    static void OnSend(std::intptr_t window);

private:
    void Place();
    void TellOutcome(OnlineStatus::Kind kind);

    std::string m_prompt;
    std::string m_recipient;
    GUI_ButtonText* m_send = nullptr;
    GUI_TextEditWindow* m_field = nullptr;
    bool m_active = true;
    std::shared_ptr<OnlineJob> m_job;
    const char* m_statusKey = "";
    std::string m_status;
};
