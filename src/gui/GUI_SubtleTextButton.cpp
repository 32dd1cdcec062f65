#include "gui/GUI_SubtleTextButton.h"

#include "engine/D3DEngine.h"
#include "engine/LibText.h"

GUI_SubtleTextButton::GUI_SubtleTextButton(const char* textKey, GUI_Callback cb, std::intptr_t arg)
    : GUI_ButtonText(textKey, cb, arg)
{
}

void GUI_SubtleTextButton::Draw()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    const GRect rect{left, top, right, bottom};
    if (hover == 1) {
        engine.FillRect(rect, 0x40FFFFFFu);
        engine.DrawRectFrame(rect, 0x5CFFFFFFu);
    } else {
        engine.FillRect(rect, 0x20FFFFFFu);
        engine.DrawRectFrame(rect, 0x40FFFFFFu);
    }
    QueueTooltip();
}

void GUI_SubtleTextButton::LayoutText()
{
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const float centreY = static_cast<float>(top + bottom) / 2.0f;
    text.SetText(TEXT_ALIGN_CENTRE, m_text, static_cast<float>(left), centreY - 13.0f, 0xFFFFFFFFu,
                 static_cast<float>(width));
}
