#include "campaign/gui/GUI_CampaignScrollingPanel.h"

#include "campaign/gui/CampaignPanelDrawing.h"
#include "gui/GUI_ScrollingWindow.h"

GUI_CampaignScrollingPanel::GUI_CampaignScrollingPanel()
{
    m_scroll = new GUI_ScrollingWindow();
    AddChild(m_scroll);
}

void GUI_CampaignScrollingPanel::PlaceScrollBar()
{
    m_scroll->SetRect(static_cast<float>(right - 20), static_cast<float>(top + 10), static_cast<float>(right - 5),
                      static_cast<float>(bottom - 10));
}

void GUI_CampaignScrollingPanel::OnWheelUp()
{
    m_scroll->ScrollUp();
}

void GUI_CampaignScrollingPanel::OnWheelDown()
{
    m_scroll->ScrollDown();
}

void GUI_CampaignScrollingPanel::Draw()
{
    if (!visible)
        return;
    if (m_scroll->changed) {
        m_scroll->changed = false;
        LayOut();
    }
    DrawCampaignClientArea(m_interlace, left, top, right, bottom);
    DrawContent();
}
