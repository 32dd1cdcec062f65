#include "campaign/gui/GUI_HexPattern.h"

#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/sim/SIM_Campaign.h"
#include "engine/D3DEngine.h"
#include "platform/IGraphicsDevice.h"

#include <algorithm>

GUI_HexPattern::GUI_HexPattern()
{
    m_sprite.SetTexture("hexpattern.dds");
    m_sprite.SetColour(kColour);
}

bool GUI_HexPattern::ShownAt(float zoom)
{
    const float f = std::clamp((zoom - 4.0f) * 0.125f, 0.0f, 1.0f);
    return 49 - static_cast<int>(f * 49) > 0;
}

void GUI_HexPattern::Draw(const GUI_CampaignMap& map)
{
    const SIM_Campaign* campaign = map.GetCampaign();
    if (!campaign || !ShownAt(map.zoom))
        return;
    m_sprite.SetUV(0.0f, 0.0f, campaign->mapSizeX / kUnitsPerRepeat, campaign->mapSizeY / kUnitsPerRepeat);
    m_sprite.SetSize(campaign->mapSizeX * map.zoom, campaign->mapSizeY * map.zoom);
    m_sprite.PlaceCentred(map.ToScreenX(campaign->mapSizeX * 0.5f), map.ToScreenY(campaign->mapSizeY * 0.5f));
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.SetNormalBlend();
    engine.SetSampler(0, TextureFilter::Linear, TextureAddress::Wrap);
    m_sprite.Draw();
    engine.SetSampler(0, TextureFilter::Linear, TextureAddress::Clamp);
}
