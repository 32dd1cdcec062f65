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
    m_background.SetTexture("box_background.jpg");
    m_background.SetColour(0xFFFFFFFFu);
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
    D3DEngine::GetInstance().SetNormalBlend();
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    m_background.SetSize(w, h);
    m_background.SetUV(0.0f, 0.0f, w / 1024.0f, h / 1024.0f);
    m_background.PlaceCentred(left + w * 0.5f, top + h * 0.5f);
    m_background.Draw();
    DrawNamedFrame("border_depth.dds", 32.0f, 1.0f, static_cast<float>(left), static_cast<float>(top),
                   static_cast<float>(right), static_cast<float>(bottom));
    LibText::GetInstance().SetFont("zekton16.dds", 16.0f);
    DrawButtons();
    DrawChildren();
    for (int k = 0; k < GUI_CampaignCounter::KIND_COUNT; ++k) {
        const GUI_CampaignCounter* c = m_counters[k];
        m_interlace[k].Draw(GRect{c->left, c->top, c->right, c->bottom});
    }
    LibText::GetInstance().Render();
}
