#include "campaign/gui/GUI_CampaignControlPanelTop.h"

#include "engine/D3DEngine.h"
#include "engine/GRect.h"
#include "engine/LibText.h"
#include "gui/GUI_FrameDrawing.h"

namespace {
GUI_CampaignControlPanelTop* g_top = nullptr;
}

GUI_CampaignControlPanelTop* GUI_CampaignControlPanelTop::GetOpen()
{
    return g_top;
}

GUI_CampaignControlPanelTop::GUI_CampaignControlPanelTop()
{
    g_top = this;
    for (auto kind : {GUI_CampaignCounter::CASH, GUI_CampaignCounter::CREW, GUI_CampaignCounter::RECRUITMENT,
                      GUI_CampaignCounter::TURN, GUI_CampaignCounter::INCOME}) {
        m_counters[kind] = new GUI_CampaignCounter(kind);
        AddChild(m_counters[kind]);
    }
    SetName("CampaignControlTop");
}

GUI_CampaignControlPanelTop::~GUI_CampaignControlPanelTop()
{
    if (g_top == this)
        g_top = nullptr;
}

void GUI_CampaignControlPanelTop::Layout()
{
    int x = left + 10;
    for (int k = 0; k < GUI_CampaignCounter::KIND_COUNT; ++k) {
        m_counters[k]->SetRect(static_cast<float>(x), static_cast<float>(top + 10),
                               static_cast<float>(x + kCounterWidth), static_cast<float>(top + 35));
        x += kCounterPitch;
    }
}

void GUI_CampaignControlPanelTop::UpdateAll()
{
    for (GUI_CampaignCounter* c : m_counters)
        c->UpdateText();
}

void GUI_CampaignControlPanelTop::Draw()
{
    m_background.Draw(*this);
    LibText::GetInstance().SetFont("zekton16.dds", 16.0f);
    DrawButtons();
    DrawChildren();
    for (int k = 0; k < GUI_CampaignCounter::KIND_COUNT; ++k) {
        const GUI_CampaignCounter* c = m_counters[k];
        m_interlace[k].Draw(GRect{c->left, c->top, c->right, c->bottom});
    }
    LibText::GetInstance().Render();
}
