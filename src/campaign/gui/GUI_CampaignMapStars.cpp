#include "campaign/gui/GUI_CampaignMapStars.h"

#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_PlayerFleetIcon.h"
#include "campaign/sim/SIM_Campaign.h"
#include "engine/D3DEngine.h"
#include "engine/GVertexBuffer.h"
#include "engine/RandomTables.h"

GUI_CampaignMapStars::GUI_CampaignMapStars()
{
    m_stars.resize(kMapStars + kNearStars);
    for (int i = 0; i < kMapStars + kNearStars; ++i) {
        Star& s = m_stars[i];
        s.onMap = i < kMapStars;
        if (s.onMap) {
            s.size = RandomRange(0.25f, 2.0f);
            s.x = RandomFloat();
            s.y = RandomFloat();
        } else {
            s.size = RandomRange(0.1f, 0.25f);
            s.x = RandomRange(-32.0f, 32.0f);
            s.y = RandomRange(-32.0f, 32.0f);
        }
        s.alpha = static_cast<int>((RandomFloat() * 0.5f + 0.5f) * 255.0f);
    }
}

void GUI_CampaignMapStars::DrawAll(const GUI_CampaignMap& map)
{
    m_drawn = 0;
    const SIM_Campaign* campaign = map.GetCampaign();
    if (!campaign)
        return;
    D3DEngine::GetInstance().SetAdditiveBlend();
    GVertexBuffer& batch = GVertexBuffer::SpriteBatch();
    batch.SetTexture("star.dds");
    const bool dragging = GUI_PlayerFleetIcon::GetDragged() != nullptr;
    const float cx = (map.viewLeft + map.viewRight) * 0.5f;
    const float cy = (map.viewTop + map.viewBottom) * 0.5f;
    for (Star& s : m_stars) {
        if (!s.onMap && map.zoom <= kNearStarsZoom)
            break;
        const float side = s.size * map.zoom;
        s.sprite.SetSize(side, side);
        if (s.onMap)
            s.sprite.PlaceCentred(map.ToScreenX(s.x * campaign->mapSizeX), map.ToScreenY(s.y * campaign->mapSizeY));
        else
            s.sprite.PlaceCentred(s.x * map.zoom + cx, s.y * map.zoom + cy);
        if (!s.sprite.IsOnScreen())
            continue;
        const uint32_t a = static_cast<uint32_t>(dragging ? s.alpha / 4 : s.alpha);
        s.sprite.SetColour((a << 24) | 0xFFFFFFu);
        batch.AddVertices(s.sprite.m_vertices, 4);
        ++m_drawn;
    }
    batch.Flush();
    D3DEngine::GetInstance().SetNormalBlend();
}
