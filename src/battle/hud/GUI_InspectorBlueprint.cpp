#include "battle/hud/GUI_InspectorBlueprint.h"

#include "battle/hud/BattleHud.h"
#include "engine/D3DEngine.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_Tooltip.h"
#include "sim/SIM_Ship.h"
#include "sim/SIM_ShipHull.h"

namespace {
constexpr float kPanelCorner = 16.0f;
constexpr uint32_t kHoverFill = 0x20FFFFFFu;
} // namespace

GUI_InspectorBlueprint::GUI_InspectorBlueprint(SIM_Ship* ship, float l, float t, float r, float b) : m_ship(ship)
{
    SetRect(l, t, r, b);
    const SIM_ShipHull* hull = ship ? ship->GetHull() : nullptr;
    if (hull)
        m_sprite.SetTexture(hull->GetSprite());
    m_sprite.SetSize(r - l, b - t);
    m_sprite.PlaceCentred((l + r) / 2.0f, (t + b) / 2.0f);
    m_tooltip = new GUI_Tooltip(ship ? ship->name : std::string(), 30);
}

GUI_InspectorBlueprint::~GUI_InspectorBlueprint()
{
    delete m_tooltip;
}

bool GUI_InspectorBlueprint::OnLeftClick(float x, float y)
{
    if (!visible || !Contains(x, y) || !m_ship)
        return false;
    BattleHud::CentreCameraOn(*m_ship);
    return true;
}

void GUI_InspectorBlueprint::Draw()
{
    const auto l = static_cast<float>(left), t = static_cast<float>(top);
    const auto r = static_cast<float>(right), b = static_cast<float>(bottom);
    DrawPreloadedFrame(GUI_PreloadedTextures::kDialogClient, kPanelCorner, 1.0f, l, t, r, b);
    m_lines.Draw(GRect{left, top, right, bottom});
    if (IsMouseOver()) {
        D3DEngine::GetInstance().FillRect(GRect{left, top, right, bottom}, kHoverFill);
        m_tooltip->visibility = 1.0f;
    }
    m_sprite.Draw();
    m_tooltip->Draw();
}
