#include "battle/hud/GUI_ShipInspector.h"

#include "battle/hud/HudWindow.h"
#include "app/APP_UsageMetrics.h"
#include "battle/GUI_Map.h"
#include "battle/hud/GUI_BattleModuleStats.h"
#include "battle/hud/GUI_InspectorBlueprint.h"
#include "battle/hud/GUI_InspectorModuleIcon.h"
#include "battle/hud/GUI_InspectorStatusBar.h"
#include "battle/hud/GUI_RangeMarker.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/LibText.h"
#include "sim/SIM_CommsManager.h"
#include "sim/SIM_Ship.h"

namespace {
constexpr float kFrameCorner = 32.0f;
} // namespace

void GUI_ShipInspector::Open(SIM_Ship* ship)
{
    Close();
    QLM_ASSERT(ship != nullptr);
    if (!ship)
        return;
    const GUI_Map& map = GUI_Map::GetInstance();
    new GUI_ShipInspector(ship, map.GetScreenWidth(), map.GetScreenHeight());
    SIM_CommsManager::GetInstance().SetInspectedShip(ship);
}

SIM_Ship* GUI_ShipInspector::GetInspectedShip()
{
    const GUI_ShipInspector* open = GetOpen();
    return open ? open->GetShip() : nullptr;
}

GUI_ShipInspector::GUI_ShipInspector(SIM_Ship* ship, int screenWidth, int screenHeight) : m_ship(ship)
{
    raisesOnClick = false;
    Follow(m_ship);
    SetRect(static_cast<float>(screenWidth - kWidth), static_cast<float>(screenHeight - kHeight),
            static_cast<float>(screenWidth), static_cast<float>(screenHeight));
    m_inner = GRect{left + 10, top + 10, right - 10, bottom - 10};
    GUI_WindowManager::GetInstance().AddWindow(this);

    m_blueprint = new GUI_InspectorBlueprint(ship, static_cast<float>(m_inner.left), static_cast<float>(m_inner.top),
                                             static_cast<float>(m_inner.left + 117),
                                             static_cast<float>(m_inner.top + 112));
    AddChild(m_blueprint);

    m_panel = GRect{m_blueprint->right + 5, top + 13, right - 10, bottom - 10};
    const float pl = static_cast<float>(m_panel.left), pt = static_cast<float>(m_panel.top);
    const float pr = static_cast<float>(m_panel.right);
    const float mid = static_cast<float>((m_panel.left + m_panel.right) / 2);
    const struct {
        int kind;
        float l, t, r, b;
    } bars[] = {
        {GUI_InspectorStatusBar::SHIELD, pl + 4, pt + 4, mid - 5, pt + 11},
        {GUI_InspectorStatusBar::INTEGRITY, pl + 4, pt + 15, mid - 5, pt + 22},
        {GUI_InspectorStatusBar::STABILITY, mid + 4, pt + 4, pr - 5, pt + 11},
        {GUI_InspectorStatusBar::ARMOUR, mid + 4, pt + 15, pr - 5, pt + 22},
    };
    for (const auto& place : bars) {
        auto* bar = new GUI_InspectorStatusBar(ship, place.kind, place.l, place.t, place.r, place.b);
        AddChild(bar);
        m_bars.push_back(bar);
    }

    std::vector<SIM_ShipModule*> shown;
    for (SIM_ShipModule* module : ship->GetModules())
        if (module && module->IsInspectable())
            shown.push_back(module);
    const int cell = (m_panel.right - m_panel.left - 4) / kIconsPerRow;
    const int count = static_cast<int>(shown.size()) > kIcons ? static_cast<int>(shown.size()) : kIcons;
    for (int i = 0; i < count; ++i) {
        // Ships with more than twenty modules get further rows below.
        const float x = static_cast<float>(m_panel.left + 2 + (i % kIconsPerRow) * cell);
        const float y = static_cast<float>(m_panel.top + 24 + (i / kIconsPerRow) * cell);
        auto* icon = new GUI_InspectorModuleIcon(i < static_cast<int>(shown.size()) ? shown[i] : nullptr, x, y,
                                                 x + static_cast<float>(cell), y + static_cast<float>(cell));
        AddChild(icon);
        m_icons.push_back(icon);
    }

    PlaceBoxBackground(m_background, *this);
    APP_UsageMetrics::GetInstance().SetEventFlag("shipinspector");
}

GUI_ShipInspector::~GUI_ShipInspector()
{
    // A closed one may go after the battle has freed its ships: only an
    // inspector deleted while open still touches them.
    if (IsTheOpenOne())
        WhenClosed();
}

void GUI_ShipInspector::WhenClosed()
{
    // The modules went with their ship when it was freed.
    if (GetShip())
        for (GUI_InspectorModuleIcon* icon : m_icons)
            if (icon->GetModule())
                icon->GetModule()->selected = 0;
    GetRangeMarker().SetModule(nullptr);
    SIM_CommsManager::GetInstance().SetInspectedShip(nullptr);
    GUI_BattleModuleStats::Close();
}

void GUI_ShipInspector::Draw()
{
    D3DEngine& engine = D3DEngine::GetInstance();
    if (engine.IsAdditive())
        engine.SetNormalBlend();
    if (!visible)
        return;
    DrawButtons();
    DrawHudPanel(*this, m_background, kFrameCorner, m_panel, kFrameCorner, m_lines);
    DrawChildren();
    for (GUI_InspectorModuleIcon* icon : m_icons)
        icon->DrawDamageOverlay();
    LibText::GetInstance().Render(-1);
}
