#include "campaign/gui/GUI_EndTurnLog.h"

#include "campaign/gui/CampaignPanelDrawing.h"
#include "campaign/gui/GUI_EndTurnStrip.h"
#include "campaign/sim/SIM_CampaignAIManager.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_ScrollingWindow.h"

#include <algorithm>

GUI_EndTurnLog::GUI_EndTurnLog()
{
    swallowsClicks = false;
    raisesOnClick = false;
}

GUI_EndTurnLog::~GUI_EndTurnLog()
{
    for (GUI_EndTurnStrip* strip : m_strips)
        if (strip->GetParent() != this)
            delete strip;
}

void GUI_EndTurnLog::Fill()
{
    m_area = GRect{left, top + 46, right, bottom};
    m_scroll =
        PlaceChild(new GUI_ScrollingWindow(), m_area.right - 20, m_area.top + 5, m_area.right - 5, m_area.bottom - 5);
    m_titleBar.SetRect(static_cast<float>(left), static_cast<float>(top), static_cast<float>(right),
                       static_cast<float>(top + 42));
    m_titleBar.SetText(GetString("CAMPAIGN_ENDTURN_LOG"));
    QLM_ASSERT(m_strips.empty());
    for (SIM_CampaignEncounter* e : SIM_CampaignEncounter::GetAll())
        if (e->loyalty.changed || (e->ai && e->ai->threat.changed))
            m_strips.push_back(new GUI_EndTurnStrip(e));
    for (GUI_EndTurnStrip* strip : m_strips)
        strip->WrapLines(m_area.right - 20 - m_area.left);
    LayoutStrips();
}

void GUI_EndTurnLog::LayoutStrips()
{
    for (GUI_EndTurnStrip* strip : m_strips) {
        RemoveChild(strip);
        RemoveChildElement(strip);
    }
    const int position = m_scroll ? m_scroll->position : 0;
    int y = m_area.top, index = 0, used = 0;
    std::vector<GUI_EndTurnStrip*> shown;
    for (GUI_EndTurnStrip* strip : m_strips) {
        if (index >= position && y < m_area.bottom - strip->GetHeight()) {
            shown.push_back(strip);
            used += strip->GetHeight();
            y += strip->GetHeight();
        }
        ++index;
    }
    const float extra = shown.empty() ? 0.0f
                                      : static_cast<float>((m_area.bottom - m_area.top) - used) /
                                            static_cast<float>(shown.size());
    y = m_area.top;
    for (GUI_EndTurnStrip* strip : shown) {
        const int h = static_cast<int>(static_cast<float>(strip->GetHeight()) + extra);
        AddChild(strip);
        AddChildElement(strip);
        strip->SetRect(static_cast<float>(m_area.left), static_cast<float>(y), static_cast<float>(m_area.right - 20),
                       static_cast<float>(y + h));
        strip->Layout();
        y += h;
    }
    if (m_scroll) {
        const int total = static_cast<int>(m_strips.size());
        const int count = static_cast<int>(shown.size());
        m_scroll->contentSize = static_cast<float>(total);
        m_scroll->visibleSize = static_cast<float>(count);
        m_scroll->maximum = std::max(0, total - count);
    }
}

void GUI_EndTurnLog::OnWheelUp()
{
    if (m_scroll)
        m_scroll->ScrollUp();
}

void GUI_EndTurnLog::OnWheelDown()
{
    if (m_scroll)
        m_scroll->ScrollDown();
}

void GUI_EndTurnLog::Draw()
{
    if (!visible)
        return;
    if (m_scroll && m_scroll->changed) {
        LayoutStrips();
        m_scroll->changed = false;
    }
    m_titleBar.Draw();
    DrawCampaignClientArea(m_interlace, m_area.left, m_area.top, m_area.right, m_area.bottom);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    text.Render();
}
