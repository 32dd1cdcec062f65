#include "battle/hud/GUI_FleetOverlayIcon.h"

#include "app/APP_UsageMetrics.h"
#include "battle/hud/BattleHud.h"
#include "battle/hud/GUI_ShipInspector.h"
#include "engine/GVertexBuffer.h"
#include "engine/StrFormat.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_Tooltip.h"
#include "sim/SIM_FighterSquadron.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipHull.h"

GUI_FleetOverlayIcon::GUI_FleetOverlayIcon(SIM_Ship* ship, SIM_FighterSquadron* squadron)
    : m_ship(ship), m_squadron(squadron)
{
    const SIM_ShipHull* hull = ship ? ship->GetHull() : nullptr;
    if (hull)
        m_hull.SetTexture(hull->GetSprite());
    m_hull.SetSize(kHullSize, kHullSize);
    m_hull.SetColour(kHullTint);
    m_tooltip = new GUI_Tooltip(ship ? ship->name : std::string(), 20);
}

GUI_FleetOverlayIcon::~GUI_FleetOverlayIcon()
{
    delete m_tooltip;
}

float GUI_FleetOverlayIcon::Health() const
{
    float f = 0.0f;
    const SIM_Ship* ship = GetShip();
    if (ship && m_squadron)
        f = m_squadron->GetMeanHealth();
    else if (ship)
        f = ship->healthFraction;
    return f < 0.0f ? 0.0f : (f > 1.0f ? 1.0f : f);
}

uint32_t GUI_FleetOverlayIcon::BarAlpha() const
{
    const SIM_Ship* ship = GetShip();
    const bool lit = IsMouseOver() || (ship && GUI_ShipInspector::GetInspectedShip() == ship);
    return lit ? 0x80u : 0x40u;
}

bool GUI_FleetOverlayIcon::OnLeftClick(float x, float y)
{
    SIM_Ship* ship = GetShip();
    if (!visible || !ship || !Contains(x, y))
        return false;
    // A lost ship stays allocated until the battle view ends: the camera
    // goes to where it was last.
    BattleHud::CentreCameraOn(*ship);
    APP_UsageMetrics::GetInstance().SetEventFlag("overlayclick");
    GUI_ShipInspector::Open(ship);
    return true;
}

void GUI_FleetOverlayIcon::Update()
{
    if (visible && IsMouseOver()) {
        const float f = Health();
        // Written again only when the health changes.
        if (f != m_tooltipHealth) {
            const SIM_Ship* ship = GetShip();
            m_tooltip->SetText(StrFormat("%s [%.0f%%]", ship ? ship->name.c_str() : "", f * 100.0f));
            m_tooltipHealth = f;
        }
        m_tooltip->CheckShowTime();
        GUI_Cursor::GetInstance().SetHand();
    }
    GUI_WindowBase::Update();
}

void GUI_FleetOverlayIcon::PlaceQuad(ScreenVertex* quad, float top, float bottom, float vTop, float vBottom,
                                     uint32_t colour) const
{
    const float cx = static_cast<float>(left + right) / 2.0f;
    const float l = cx - kBarWidth / 2.0f, r = cx + kBarWidth / 2.0f;
    quad[0] = ScreenVertex{l, top, 0.0f, 1.0f, colour, 0.0f, vTop};
    quad[1] = ScreenVertex{r, top, 0.0f, 1.0f, colour, 0.5f, vTop};
    quad[2] = ScreenVertex{l, bottom, 0.0f, 1.0f, colour, 0.0f, vBottom};
    quad[3] = ScreenVertex{r, bottom, 0.0f, 1.0f, colour, 0.5f, vBottom};
}

void GUI_FleetOverlayIcon::AddBars(GVertexBuffer& batch)
{
    const float f = Health();
    const uint32_t alpha = BarAlpha() << 24;
    const float cy = static_cast<float>(top + bottom) / 2.0f;
    m_greenHeight = f > 0.0f ? kBarHeight * f : 0.0f;
    m_redHeight = f < 1.0f ? kBarHeight * (1.0f - f) : 0.0f;
    if (f > 0.0f) {
        PlaceQuad(m_green, cy + 14.0f - m_greenHeight, cy + 14.0f, 0.5f - f / 2.0f, 0.5f, alpha | kGreen);
        batch.AddVertices(m_green, 4);
    }
    if (f < 1.0f) {
        PlaceQuad(m_red, cy - 14.0f, cy - 14.0f + m_redHeight, 0.0f, 0.5f - f / 2.0f, alpha | kRed);
        batch.AddVertices(m_red, 4);
    }
    m_tooltip->Draw();
}

void GUI_FleetOverlayIcon::DrawHull()
{
    m_hull.PlaceCentred(static_cast<float>(left + right) / 2.0f, static_cast<float>(top + bottom) / 2.0f);
    m_hull.Draw();
}
