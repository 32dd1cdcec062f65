#include "battle/hud/GUI_TopStripButton.h"

#include "engine/CInput.h"

GUI_TopStripButton::GUI_TopStripButton(GUI_Callback callback, int cell, float size)
    : GUI_ButtonBase(callback, 0), m_cell(cell)
{
    for (CTexturedSprite* sprite : {&m_normal, &m_hover}) {
        sprite->SetTexture("battle_buttons.dds");
        sprite->SetSize(size, size);
    }
    m_normal.SetFrame(cell, kSheetCells);
    m_hover.SetFrame(cell + kHoverOffset, kSheetCells);
}

GUI_TopStripButton::~GUI_TopStripButton() = default;

bool GUI_TopStripButton::ShowsHoverIcon() const
{
    const CInput& input = CInput::GetInstance();
    return Contains(input.GetMouseX(), input.GetMouseY());
}

void GUI_TopStripButton::Draw()
{
    CTexturedSprite& sprite = ShowsHoverIcon() ? m_hover : m_normal;
    sprite.PlaceCentred(static_cast<float>(left + right) / 2.0f, static_cast<float>(top + bottom) / 2.0f);
    sprite.Draw();
    QueueTooltip();
}
