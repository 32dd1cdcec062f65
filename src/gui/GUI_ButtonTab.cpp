#include "gui/GUI_ButtonTab.h"

GUI_ButtonTab::GUI_ButtonTab(const char* textKey, GUI_Callback cb, std::intptr_t arg) : GUI_ButtonText(textKey, cb, arg)
{
    m_normal.SetTexture("tab.dds");
    m_hover.SetTexture("tab_h.dds");
    m_selected.SetTexture("tab_selected.dds");
    m_selected.SetSize(0.0f, kSkinHeight);
}

CTexturedSprite& GUI_ButtonTab::PickSkin()
{
    if (selected)
        return m_selected;
    return GUI_ButtonText::PickSkin();
}
