#include "campaign/gui/GUI_CampaignWormhole.h"

#include "campaign/gui/GUI_CampaignMap.h"
#include "campaign/gui/GUI_WormholeTraffic.h"
#include "campaign/sim/SIM_CampaignEncounter.h"
#include "engine/D3DEngine.h"

#include <algorithm>
#include <cmath>

namespace {
std::vector<GUI_CampaignWormhole*>& List()
{
    static std::vector<GUI_CampaignWormhole*> list;
    return list;
}
bool g_highlight = false;
uint32_t g_pulse = 0xFFFFFFFFu;
GTimer& PulseTimer()
{
    static GTimer timer;
    return timer;
}
} // namespace

GUI_CampaignWormhole::GUI_CampaignWormhole(SIM_CampaignEncounter* a, SIM_CampaignEncounter* b) : m_a(a), m_b(b)
{
    for (CTexturedSprite* s : {&m_shaft, &m_endA, &m_endB})
        s->SetTexture("wormhole.dds");
    m_shaft.SetUV(0.0f, 0.4f, 1.0f, 0.6f);
    m_endA.SetUV(0.0f, 0.5f, 1.0f, 1.0f);
    m_endB.SetUV(0.0f, 0.0f, 1.0f, 0.5f);
    List().push_back(this);
    m_traffic = std::make_unique<GUI_WormholeTraffic>(a, b);
    swallowsClicks = false;
    raisesOnClick = false;
    claimsMouse = false;
    SetName("CampaignWormhole");
}

GUI_CampaignWormhole::~GUI_CampaignWormhole()
{
    auto& list = List();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

const std::vector<GUI_CampaignWormhole*>& GUI_CampaignWormhole::GetAll()
{
    return List();
}

void GUI_CampaignWormhole::SetHighlight(bool on)
{
    g_highlight = on;
    if (on)
        PulseTimer().Start();
}

bool GUI_CampaignWormhole::IsHighlighted()
{
    return g_highlight;
}

uint32_t GUI_CampaignWormhole::PulseColour(double ms)
{
    while (ms > kPulseMs)
        ms -= kPulseMs;
    const double p = std::clamp(ms / kPulseMs, 0.0, 1.0);
    const auto alpha = static_cast<uint32_t>((std::sin(p * 2.0 * M_PI) + 1.0) * 0.5 * 255.0);
    return (alpha << 24) | 0xFFFFFFu;
}

uint32_t GUI_CampaignWormhole::CurrentColour() const
{
    if (g_highlight)
        return g_pulse;
    return bright ? kBright : kFaint;
}

void GUI_CampaignWormhole::LayOut()
{
    m_visible = false;
    const GUI_CampaignMap* map = GUI_CampaignMap::Get();
    if (!map)
        return;
    const float z = map->zoom;
    const float ax = map->ToScreenX(map->EncounterX(m_a));
    const float ay = map->ToScreenY(map->EncounterY(m_a));
    const float bx = map->ToScreenX(map->EncounterX(m_b));
    const float by = map->ToScreenY(map->EncounterY(m_b));
    const float dx = bx - ax;
    const float dy = by - ay;
    const float d = std::sqrt(dx * dx + dy * dy);
    if (d <= 0.0f)
        return;
    const float ux = dx / d;
    const float uy = dy / d;
    const float angle = std::atan2(dy, dx) * 57.29578f;
    const float w = z * kWidthPerZoom;
    const float ra = (m_a->mapIconSize + 6.0f) * 0.5f * z;
    const float rb = (m_b->mapIconSize + 6.0f) * 0.5f * z;
    const float shaft = d - 2.0f * w - z * m_a->mapIconSize * 0.5f - z * m_b->mapIconSize * 0.5f;
    for (CTexturedSprite* s : {&m_shaft, &m_endA, &m_endB})
        s->SetAngle(angle);
    m_endA.SetSize(w, w);
    m_endA.PlaceCentred(ax + ux * ra, ay + uy * ra);
    m_endB.SetSize(w, w);
    m_endB.PlaceCentred(bx - ux * rb, by - uy * rb);
    if (shaft <= 0.0f)
        return;
    m_shaft.SetSize(shaft, w);
    const float mid = (ra + (d - rb)) * 0.5f;
    m_shaft.PlaceCentred(ax + ux * mid, ay + uy * mid);
    m_visible = true;
}

void GUI_CampaignWormhole::DrawOne()
{
    LayOut();
    if (!m_visible)
        return;
    const uint32_t colour = CurrentColour();
    for (CTexturedSprite* s : {&m_endA, &m_endB, &m_shaft}) {
        s->SetColour(colour);
        if (s->IsOnScreen())
            s->Draw();
    }
}

void GUI_CampaignWormhole::DrawAll()
{
    if (g_highlight) {
        PulseTimer().Update();
        g_pulse = PulseColour(PulseTimer().GetTotalMs());
    }
    D3DEngine::GetInstance().SetNormalBlend();
    for (GUI_CampaignWormhole* w : List())
        w->DrawOne();
}
