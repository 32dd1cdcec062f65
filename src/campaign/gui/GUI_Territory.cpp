#include "campaign/gui/GUI_Territory.h"

#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_Encounter.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "engine/D3DEngine.h"

#include <algorithm>

namespace {
std::vector<GUI_Territory*>& List()
{
    static std::vector<GUI_Territory*> list;
    return list;
}
constexpr uint32_t kPlayerRGB = 0x5FFF5Fu;
constexpr uint32_t kOtherRGB = 0xFF5F5Fu;
} // namespace

GUI_Territory::GUI_Territory(const GUI_Encounter& view) : m_view(view)
{
    m_sprite.SetTexture("territory.dds");
    m_radius = view.GetEncounter()->mapIconSize * kRadiusPerIconSize;
    List().push_back(this);
    RefreshColour();
}

GUI_Territory::~GUI_Territory()
{
    auto& list = List();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void GUI_Territory::RefreshColour()
{
    m_rgb = m_view.IsPlayerOwned() ? kPlayerRGB : kOtherRGB;
}

int GUI_Territory::AlphaAt(float zoom, bool selectable)
{
    const float f = std::clamp((zoom - kFadeStartZoom) * kFadePerZoom, 0.0f, 1.0f);
    const int a = kFullAlpha - static_cast<int>(f * kFullAlpha);
    if (a <= 0)
        return 0;
    return selectable ? a : a / 2;
}

void GUI_Territory::Draw()
{
    const GUI_CampaignMap* map = GUI_CampaignMap::Get();
    if (!map)
        return;
    const float f = std::clamp((map->zoom - kFadeStartZoom) * kFadePerZoom, 0.0f, 1.0f);
    if (kFullAlpha - static_cast<int>(f * kFullAlpha) <= 0)
        return;
    const float size = 2.0f * m_radius * map->zoom;
    m_sprite.SetSize(size, size);
    m_sprite.PlaceCentred(m_view.CentreX(), m_view.CentreY());
    if (!m_sprite.IsOnScreen())
        return;
    const uint32_t a = static_cast<uint32_t>(AlphaAt(map->zoom, m_view.selectable));
    m_sprite.SetColour((a << 24) | m_rgb);
    m_sprite.Draw();
}

void GUI_Territory::RefreshAllColours()
{
    for (GUI_Territory* t : List())
        t->RefreshColour();
}

void GUI_Territory::DrawAll()
{
    D3DEngine::GetInstance().SetNormalBlend();
    for (GUI_Territory* t : List())
        t->Draw();
}
