#include "battle/hud/GUI_PostMortemMessage.h"

#include "battle/GUI_BattleGUI.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_TextEditWindow.h"
#include "online/GUI_PleaseWait.h"
#include "online/OnlineJob.h"
#include "online/SIM_Server.h"

namespace {
GUI_PostMortemMessage::Sender g_sender = nullptr;
constexpr uint32_t kOutline = 0x80FFFFFFu;
constexpr int kAcceptedSound = 3; // "gui_accepted.ogg"
} // namespace

void GUI_PostMortemMessage::SetSender(Sender sender)
{
    g_sender = sender;
}

GUI_PostMortemMessage::GUI_PostMortemMessage(const std::string& recipient)
    : m_prompt(GetString("POSTMORTEM_MESSAGE_TEXT")), m_recipient(recipient)
{
    raisesOnClick = false;
    m_send = new GUI_ButtonText("POSTMORTEM_MESSAGE_SEND", OnSend, reinterpret_cast<std::intptr_t>(this));
    m_send->SetTooltip(GetString("POSTMORTEM_MESSAGE_SEND_TOOLTIP"));
    AddButton(m_send);
    m_field = new GUI_TextEditWindow("", kMaxLength);
    AddChild(m_field);
}

void GUI_PostMortemMessage::Place()
{
    m_send->SetRect(static_cast<float>(right - 110), static_cast<float>(top + 95), static_cast<float>(right - 10),
                    static_cast<float>(top + 115));
    m_field->SetRect(static_cast<float>(left + 10), static_cast<float>(top + 30), static_cast<float>(right - 10),
                     static_cast<float>(top + 90));
    m_send->enabled = m_active && !m_field->GetText().empty();
}

bool GUI_PostMortemMessage::OnLeftClick(float x, float y)
{
    if (!m_active || !visible)
        return false;
    Place();
    return GUI_WindowBase::OnLeftClick(x, y);
}

void GUI_PostMortemMessage::OnSend(std::intptr_t window)
{
    auto* self = reinterpret_cast<GUI_PostMortemMessage*>(window);
    if (!self || !self->m_active || self->m_field->GetText().empty())
        return;
    if (GUI_Sounds* sounds = GUI_BattleGUI::GetInstance().GetSounds())
        sounds->PlayGuiSound(kAcceptedSound);
    self->m_field->EndEditing();
    self->m_active = false;
    if (g_sender) {
        self->TellOutcome(g_sender(self->m_recipient, self->m_field->GetText()) ? OnlineStatus::NONE
                                                                                 : OnlineStatus::FAILED);
        return;
    }
    const std::string recipient = self->m_recipient, text = self->m_field->GetText();
    self->m_job = GUI_PleaseWait::StartJob(
        [recipient, text](SIM_Server& server, std::string&) { return server.SendMessage(recipient, text); });
    self->Poll();
}

void GUI_PostMortemMessage::Poll()
{
    if (!m_job || !m_job->IsDone())
        return;
    const OnlineStatus::Kind kind = OnlineStatus::Of(*m_job);
    bool ok = false, cancelled = false;
    std::string text;
    GUI_PleaseWait::FinishJob(m_job, ok, text, cancelled);
    TellOutcome(kind);
}

void GUI_PostMortemMessage::TellOutcome(OnlineStatus::Kind kind)
{
    // Not sent (no server, cancelled, no answer): the player may try again.
    m_active = kind != OnlineStatus::NONE;
    m_statusKey = kind == OnlineStatus::NONE        ? "POSTMORTEM_MESSAGE_SENT"
                  : kind == OnlineStatus::NO_SERVER ? "POSTMORTEM_MESSAGE_NO_SERVER"
                  : kind == OnlineStatus::CANCELLED ? "POSTMORTEM_MESSAGE_CANCELLED"
                                                    : "POSTMORTEM_MESSAGE_NO_ANSWER";
    m_status = GetString(m_statusKey);
}

void GUI_PostMortemMessage::Draw()
{
    if (!visible)
        return;
    Poll();
    Place();
    D3DEngine::GetInstance().DrawRectFrame(GRect{left, top, right, bottom}, kOutline);
    if (m_active)
        DrawButtons();
    DrawChildren();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_LEFT, text.GetWrappedText(m_prompt, width - 20), static_cast<float>(left + 10),
                 static_cast<float>(top), 0xFFFFFFFFu, 0.0f);
    // What became of the message, on the Send button's row left of it.
    if (!m_status.empty())
        text.SetText(TEXT_ALIGN_LEFT, m_status, static_cast<float>(left + 10), static_cast<float>(top + 95),
                     m_active ? kNotSentColour : kSentColour, 0.0f);
    text.Render(-1);
}
