#include "campaign/gui/GUI_CampaignPanelBackground.h"

#include "engine/D3DEngine.h"
#include "gui/GUI_BaseElement.h"
#include "gui/GUI_FrameDrawing.h"

GUI_CampaignPanelBackground::GUI_CampaignPanelBackground()
{
    m_sprite.SetTexture("box_background.jpg");
    m_sprite.SetColour(0xFFFFFFFFu);
}

void GUI_CampaignPanelBackground::Draw(const GUI_BaseElement& panel)
{
    D3DEngine::GetInstance().SetNormalBlend();
    const float w = static_cast<float>(panel.width);
    const float h = static_cast<float>(panel.height);
    m_sprite.SetSize(w, h);
    m_sprite.SetUV(0.0f, 0.0f, w / 1024.0f, h / 1024.0f);
    m_sprite.PlaceCentred(panel.left + w * 0.5f, panel.top + h * 0.5f);
    m_sprite.Draw();
    DrawNamedFrame("border_depth.dds", 32.0f, 1.0f, static_cast<float>(panel.left), static_cast<float>(panel.top),
                   static_cast<float>(panel.right), static_cast<float>(panel.bottom));
}
