#include "battle/hud/GUI_GraphKey.h"

#include <string>

#include "battle/hud/GUI_GraphKeyButton.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"

void GUI_GraphKey::Build(const char* const* labelKeys, const char* const* tooltipKeys, const uint32_t* colours)
{
    swallowsClicks = false;
    raisesOnClick = false;
    const int buttonWidth = width / 6;
    for (int s = 0; s < kButtons; ++s) {
        auto* button = new GUI_GraphKeyButton(labelKeys[s], this, colours[s]);
        const std::string tip = GetString(tooltipKeys[s]);
        button->SetTooltipString(tip.empty() ? std::string(tooltipKeys[s]) : tip);
        const int row = s / 6;
        const int column = s % 6;
        const auto l = static_cast<float>(left + column * buttonWidth);
        const auto t = static_cast<float>(top + row * kRowHeight);
        button->SetRect(l, t, l + static_cast<float>(buttonWidth), t + static_cast<float>(kRowHeight));
        AddButton(button);
        m_buttons[s] = button;
    }
}

bool GUI_GraphKey::IsOn(int series) const
{
    return series >= 0 && series < kButtons && m_buttons[series] && m_buttons[series]->on;
}

void GUI_GraphKey::Draw()
{
    if (!visible)
        return;
    DrawButtons();
    LibText::GetInstance().Render(-1);
}
