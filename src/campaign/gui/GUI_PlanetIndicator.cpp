#include "campaign/gui/GUI_PlanetIndicator.h"

#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/gui/GUI_MapZoomer.h"
#include "campaign/sim/SIM_CampaignAIManager.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "engine/CTexturedSprite.h"
#include "engine/D3DEngine.h"

#include <algorithm>

namespace {
constexpr uint32_t kGreen = 0x20C820u, kYellow = 0xC8C820u, kRed = 0xC82020u;
}

uint32_t GUI_PlanetIndicator::ColourFor(int side, float value)
{
    if (side == THREAT)
        return value < 0.6f ? kGreen : value < 0.8f ? kYellow : kRed;
    return value < 0.2f ? kRed : value < 0.4f ? kYellow : kGreen;
}

float GUI_PlanetIndicator::CloseUpZoom(float mapIconSize, int screenHeight)
{
    const float span = GUI_MapZoomer::CloseUpSpan(screenHeight);
    return mapIconSize > 0.0f ? span / mapIconSize : GUI_CampaignMap::kMaxZoom;
}

int GUI_PlanetIndicator::AlphaAt(int kind, float zoom, float closeUpZoom)
{
    const float f = std::clamp((zoom - (closeUpZoom - kFadeSpan)) / kFadeSpan, 0.0f, 1.0f);
    return static_cast<int>((kind == CLOSE_UP ? f : 1.0f - f) * kMaxAlpha);
}

void GUI_PlanetIndicator::Draw(const GUI_Encounter& view, int side, int kind)
{
    const SIM_CampaignEncounter* e = view.GetEncounter();
    const GUI_CampaignMap* map = GUI_CampaignMap::Get();
    if (!map || !e || e->territory != SIM_CampaignEncounter::PLAYER)
        return;
    D3DEngine& engine = D3DEngine::GetInstance();
    const float closeUp = CloseUpZoom(e->mapIconSize, engine.GetScreenHeight());
    if (kind == CLOSE_UP && map->zoom < closeUp - kFadeSpan)
        return;
    const int alpha = AlphaAt(kind, map->zoom, closeUp);
    if (alpha <= 0)
        return;
    const float value = std::clamp(side == THREAT ? (e->ai ? e->ai->threat.value : 0.0f) : e->loyalty.value, 0.0f, 1.0f);
    const float h = kind == CLOSE_UP ? 1.3f * view.Size() : 2.0f * e->mapIconSize * map->zoom;
    const float w = h * 0.5f;
    const float cx = view.CentreX() + (side == THREAT ? -h * 0.25f : h * 0.25f);
    const float cy = view.CentreY();
    // One background and one fill per kind, resolved once.
    static CTexturedSprite sprites[2][2];
    CTexturedSprite& back = sprites[kind][0];
    CTexturedSprite& fill = sprites[kind][1];
    if (back.GetTextureName().empty()) {
        const char* texture = kind == CLOSE_UP ? "planet_indicator.dds" : "map_indicator.dds";
        back.SetTexture(texture);
        fill.SetTexture(texture);
    }
    const float u0 = side == THREAT ? 0.0f : 0.5f;
    if (kind == MAP)
        engine.SetAdditiveBlend();
    else
        engine.SetNormalBlend();
    back.SetUV(u0, 0.0f, u0 + 0.5f, 1.0f);
    back.SetSize(w, h);
    back.SetColour((static_cast<uint32_t>(alpha / 3) << 24) | 0xFFFFFFu);
    back.PlaceCentred(cx, cy);
    if (back.IsOnScreen())
        back.Draw();
    const float fh = h * value;
    if (fh <= 0.0f)
        return;
    fill.SetUV(u0, 1.0f - value, u0 + 0.5f, 1.0f);
    fill.SetSize(w, fh);
    fill.SetColour((static_cast<uint32_t>(alpha) << 24) | ColourFor(side, value));
    fill.PlaceCentred(cx, cy + h * 0.5f - fh * 0.5f);
    if (fill.IsOnScreen())
        fill.Draw();
}
