#include "online/GUI_OnlineMessage.h"

#include "engine/D3DEngine.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "online/GUI_Inbox.h"
#include "online/SIM_OnlineMessageRecord.h"

#include <algorithm>

GUI_OnlineMessage::GUI_OnlineMessage(const SIM_OnlineMessageRecord* record, float l, float t, float r)
    : m_record(record)
{
    raisesOnClick = false;
    swallowsClicks = false;
    SetRect(l, t, r, t + kHeight);
    const float inL = l + 2.0f, inB = t + kHeight - 2.0f;
    const auto arg = static_cast<std::intptr_t>(record->id);
    m_delete = new GUI_ButtonText("ONLINEMESSAGE_DELETE", GUI_Inbox::OnDeleteRow, arg);
    m_delete->SetRect(inL + 10.0f, inB - 22.0f, inL + 110.0f, inB - 2.0f);
    m_delete->SetTooltip("ONLINEMESSAGE_DELETE_TOOLTIP");
    AddButton(m_delete);
    m_block = new GUI_ButtonText("ONLINEMESSAGE_BLOCKSENDER", GUI_Inbox::OnBlockRow, arg);
    m_block->SetRect(inL + 160.0f, inB - 22.0f, inL + 260.0f, inB - 2.0f);
    m_block->SetTooltip("ONLINEMESSAGE_BLOCKSENDER_TOOLTIP");
    AddButton(m_block);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const int columnText = kColumnWidth - 2 * kTextInset;
    m_date = text.FitText(record->date, columnText, 1);
    m_sender = text.FitText(record->sender, columnText, 1);
    m_messageWidth = static_cast<int>(r - 2.0f - (inL + 2.0f * kColumnWidth)) - 2 * kTextInset;
    m_wrapped = text.FitText(record->text, m_messageWidth, MessageLines());
}

int GUI_OnlineMessage::MessageLines()
{
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const int line = std::max(1, text.GetWrappedTextHeight("x", 1000));
    return std::max(1, (kHeight - 4) / line);
}

void GUI_OnlineMessage::Draw()
{
    if (!visible || m_record.IsGone())
        return;
    const GRect inner{left + 2, top + 2, right - 2, bottom - 2};
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.FillRect(inner, 0x20FFFFFFu);
    engine.DrawRectFrame(inner, 0x60A0C8FFu);
    engine.DrawRectFrame(GRect{inner.left + kColumnWidth, inner.top, inner.left + 2 * kColumnWidth, inner.bottom},
                         0x30A0C8FFu);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const float y = static_cast<float>(inner.top);
    const float x = static_cast<float>(inner.left + kTextInset);
    text.SetText(TEXT_ALIGN_LEFT, m_date, x, y, 0xFFC8D8E8u, 0.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_sender, x + kColumnWidth, y, 0xFFFFFFFFu, 0.0f);
    text.SetText(TEXT_ALIGN_LEFT, m_wrapped, x + 2 * kColumnWidth, y, 0xFFE0E0E0u, 0.0f);
    text.Render(-1);
    DrawButtons();
}
