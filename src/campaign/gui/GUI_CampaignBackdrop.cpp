#include "campaign/gui/GUI_CampaignBackdrop.h"

#include "engine/D3DEngine.h"

#include <algorithm>

GUI_CampaignBackdrop& GUI_CampaignBackdrop::GetInstance()
{
    static GUI_CampaignBackdrop instance;
    return instance;
}

float GUI_CampaignBackdrop::TexelShare(int screenWidth)
{
    return std::clamp(static_cast<float>(screenWidth) / kImageWidth, 0.0f, 1.0f);
}

void GUI_CampaignBackdrop::Draw()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    const int sw = engine.GetScreenWidth(), sh = engine.GetScreenHeight();
    if (!m_made) {
        m_sprite.SetTexture("campaign_backdrop.bmp");
        m_made = true;
    }
    const float w = static_cast<float>(sw), h = static_cast<float>(sh) * 0.5f;
    m_sprite.SetSize(w, h);
    const float f = TexelShare(sw);
    m_sprite.SetUV(0.5f - f * 0.5f, 0.5f - f * 0.5f, 0.5f + f * 0.5f, 0.5f + f * 0.5f);
    m_sprite.SetColour(0xFFFFFFFFu);
    m_sprite.PlaceCentred(w * 0.5f, static_cast<float>(sh) * 0.5f);
    if (h < static_cast<float>(sh) || w < static_cast<float>(sw))
        engine.FillRect(GRect{0, 0, sw, sh}, 0xFF000000u);
    m_sprite.Draw();
}
