#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_ButtonBase.h"

// A square icon button cut from the 4 x 4 "battle_buttons.dds" sheet; the
// hover icon sits eight cells after the normal one.
class GUI_TopStripButton : public GUI_ButtonBase {
public:
    static constexpr int kSheetCells = 16;
    static constexpr int kHoverOffset = 8;

    GUI_TopStripButton(GUI_Callback callback, int cell, float size);
    ~GUI_TopStripButton() override;

    void Draw() override;
    // Which icon the mouse shows now: the hover one while it is over us.
    bool ShowsHoverIcon() const;
    int GetCell() const { return m_cell; }

private:
    CTexturedSprite m_normal;
    CTexturedSprite m_hover;
    int m_cell;
};
