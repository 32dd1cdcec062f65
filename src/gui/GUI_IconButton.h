#pragma once
#include "engine/CTexturedSprite.h"
#include "gui/GUI_ButtonBase.h"

// A picture button whose image swaps while the mouse is over it.
class GUI_IconButton : public GUI_ButtonBase {
public:
    GUI_IconButton(GUI_Callback callback, std::intptr_t argument, const char* texture, const char* hoverTexture);

    void Draw() override;
    void DrawIcon();

    CTexturedSprite& GetNormalSprite() { return m_normal; }
    CTexturedSprite& GetHoverSprite() { return m_hover; }

protected:
    CTexturedSprite m_normal;
    CTexturedSprite m_hover;
};
