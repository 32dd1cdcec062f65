#include "online/GUI_OnlineMessage.h"

#include "engine/D3DEngine.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "online/GUI_Inbox.h"
#include "online/SIM_OnlineMessageRecord.h"

GUI_OnlineMessage::GUI_OnlineMessage(const SIM_OnlineMessageRecord* record, float l, float t, float r)
    : m_record(record)
{
    raisesOnClick = false;
    swallowsClicks = false;
    SetRect(l, t, r, t + kHeight);
    const float inL = l + 2.0f, inB = t + kHeight - 2.0f;
    const auto arg = reinterpret_cast<std::intptr_t>(record);
    m_delete = new GUI_ButtonText("ONLINEMESSAGE_DELETE", GUI_Inbox::OnDeleteRow, arg);
    m_delete->SetRect(inL + 10.0f, inB - 22.0f, inL + 110.0f, inB - 2.0f);
    m_delete->SetTooltip("ONLINEMESSAGE_DELETE_TOOLTIP");
    AddButton(m_delete);
    m_block = new GUI_ButtonText("ONLINEMESSAGE_BLOCKSENDER", GUI_Inbox::OnBlockRow, arg);
    m_block->SetRect(inL + 160.0f, inB - 22.0f, inL + 260.0f, inB - 2.0f);
    m_block->SetTooltip("ONLINEMESSAGE_BLOCKSENDER_TOOLTIP");
    AddButton(m_block);
    const int textWidth = static_cast<int>(r - 2.0f - (inL + 300.0f)) - 20;
    m_wrapped = LibText::GetInstance().GetWrappedText(record->text, textWidth);
}

void GUI_OnlineMessage::Draw()
{
    if (!visible)
        return;
    const GRect inner{left + 2, top + 2, right - 2, bottom - 2};
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.FillRect(inner, 0x20FFFFFFu);
    engine.DrawRectFrame(inner, 0x60A0C8FFu);
    engine.DrawRectFrame(GRect{inner.left + 150, inner.top, inner.left + 300, inner.bottom}, 0x30A0C8FFu);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const float y = static_cast<float>(inner.top);
    text.SetText(TEXT_ALIGN_LEFT, m_record->date, static_cast<float>(inner.left + 10), y, 0xFFC8D8E8u, 0.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_record->sender, static_cast<float>(inner.left + 160), y, 0xFFFFFFFFu, 0.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_wrapped, static_cast<float>(inner.left + 310), y, 0xFFE0E0E0u, 0.0f);
    text.Render(-1);
    DrawButtons();
}
