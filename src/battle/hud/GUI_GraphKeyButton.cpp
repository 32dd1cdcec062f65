#include "battle/hud/GUI_GraphKeyButton.h"

#include "battle/hud/GUI_GraphKey.h"
#include "battle/hud/GUI_Stat_GraphLine.h"
#include "engine/D3DEngine.h"
#include "engine/LibText.h"

GUI_GraphKeyButton::GUI_GraphKeyButton(const char* labelKey, GUI_GraphKey* key, uint32_t argb)
    : GUI_ButtonText(labelKey, nullptr, 0), m_key(key), m_argb(argb)
{
}

void GUI_GraphKeyButton::Press()
{
    on = !on;
    if (m_key)
        m_key->changed = true;
    PlayClick();
}

void GUI_GraphKeyButton::Draw()
{
    if (line)
        line->highlighted = hover == 1;
    const uint32_t background = on ? 0xFF202020u : 0xFF080808u;
    const uint32_t outline = on ? 0xFF808080u : 0xFF404040u;
    const uint32_t textColour = on ? 0xFFFFFFFFu : 0xFF606060u;
    D3DEngine& engine = D3DEngine::GetInstance();
    const GRect panel{left + 2, top + 2, right - 2, bottom - 2};
    engine.FillRect(panel, background);
    engine.DrawRectFrame(panel, outline);
    const GRect swatch{left + 2, top + 2, left + 18, bottom - 2};
    engine.FillRect(swatch, m_argb);
    engine.DrawRectFrame(swatch, outline);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    text.SetText(TEXT_ALIGN_CENTRE, m_text, static_cast<float>(left + 20),
                 static_cast<float>((top + bottom) / 2 - 13), textColour, static_cast<float>(width - 20));
    QueueTooltip();
}
