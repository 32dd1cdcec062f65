#include "campaign/gui/GUI_PlanetName.h"

#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "engine/D3DEngine.h"
#include "engine/GHashTable.h"
#include "engine/GRect.h"
#include "engine/LibText.h"

#include <algorithm>

GUI_PlanetName::GUI_PlanetName(const GUI_Encounter& view) : m_view(view)
{
    m_text = GetString(view.GetEncounter()->guiname.c_str());
    LibText& text = LibText::GetInstance();
    if (text.IsInitialised()) {
        text.SetFont("zekton16.dds", 16.0f);
        m_width = text.GetTextWidth(m_text) + 8;
    }
}

int GUI_PlanetName::AlphaAt(float zoom, bool selectable)
{
    int a = kFullAlpha;
    if (zoom > 5.0f)
        a = static_cast<int>(std::clamp(1.0f - (zoom - 5.0f) / 10.0f, 0.0f, 1.0f) * kFullAlpha);
    if (a <= 0)
        return 0;
    return selectable ? a : std::min(a, kDimmedMaxAlpha);
}

void GUI_PlanetName::Draw()
{
    const GUI_CampaignMap* map = GUI_CampaignMap::Get();
    if (!map)
        return;
    const uint32_t a = static_cast<uint32_t>(AlphaAt(map->zoom, m_view.selectable));
    if (a == 0)
        return;
    const bool player = m_view.IsPlayerOwned();
    const uint32_t textColour = (a << 24) | (player ? 0xDCFFDCu : 0xFFDCDCu);
    const uint32_t fill = ((a / 2) << 24) | (player ? 0x004200u : 0x420000u);
    const uint32_t frame = ((a / 2) << 24) | (player ? 0x108410u : 0x841010u);
    const float x0 = m_view.CentreX() - m_width * 0.5f;
    const float y0 = m_view.CentreY() - 12.0f;
    GRect box{static_cast<int>(x0 - 4), static_cast<int>(y0 - 4), static_cast<int>(x0 - 4 + m_width),
              static_cast<int>(y0 + 22)};
    D3DEngine& engine = D3DEngine::GetInstance();
    engine.FillRect(box, fill);
    engine.DrawRectFrame(box, frame);
    LibText::GetInstance().SetText(0, m_text, x0, y0, textColour, 0.0f);
}
