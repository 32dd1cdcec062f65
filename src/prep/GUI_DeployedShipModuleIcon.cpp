#include "prep/GUI_DeployedShipModuleIcon.h"

#include "app/APP_UsageMetrics.h"
#include "app/GUI_Sounds.h"
#include "app/Game.h"
#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "gui/GUI_Cursor.h"
#include "gui/GUI_Tooltip.h"
#include "prep/DesignerCommon.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_ModuleIconRCMenu.h"
#include "prep/GUI_ModulePopup.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipModuleType.h"

#include <algorithm>

namespace {
const SIM_ShipModuleType* g_hoveredType = nullptr;
int g_hoveredIndex = -1;
} // namespace

const SIM_ShipModuleType* GUI_DeployedShipModuleIcon::GetHoveredType()
{
    return g_hoveredType;
}

int GUI_DeployedShipModuleIcon::GetHoveredModuleIndex()
{
    return g_hoveredIndex;
}

void GUI_DeployedShipModuleIcon::ClearHovered()
{
    g_hoveredType = nullptr;
    g_hoveredIndex = -1;
}

GUI_DeployedShipModuleIcon::GUI_DeployedShipModuleIcon(const SIM_ShipDesign::FittedModule* slot,
                                                       const SIM_ShipDesign* design)
    : m_type(slot ? slot->moduleType : nullptr), m_slot(slot)
{
    Init(design);
}

GUI_DeployedShipModuleIcon::GUI_DeployedShipModuleIcon(const std::string& moduleName,
                                                       const SIM_CampaignModuleState* state,
                                                       const SIM_ShipDesign* design)
    : m_type(SIM_ShipModuleType::Find(moduleName)), m_state(state)
{
    QLM_ASSERT(state);
    Init(design);
}

void GUI_DeployedShipModuleIcon::Init(const SIM_ShipDesign* design)
{
    QLM_ASSERT(m_type);
    m_design = design;
    SetName("deploymentmoduleicon");
    swallowsClicks = true;
    if (!m_type)
        return;
    designer::SetModuleIcon(m_icon, m_type, design ? design->GetHull() : nullptr);
    if (Game::GetInstance().GetModeId() == GUI_DeploymentGUI::kModeId) {
        const GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
        const SIM_Scenario* scenario = screen.GetScenario();
        const SIM_DeployedFleet* fleet = screen.GetPlayerFleet();
        if (scenario && fleet && !scenario->GetSupplyLimits().empty()) {
            const int limit = scenario->GetSupplyLimit(m_type->GetName());
            m_overLimit = limit != -1 && fleet->CountModuleType(m_type->GetName()) >= limit;
        }
    }
    m_tooltip = new GUI_Tooltip(GetString(m_type->GetGuiName().c_str()), 20);
}

GUI_DeployedShipModuleIcon::~GUI_DeployedShipModuleIcon()
{
    GUI_ModulePopup::ForgetOpener(this);
    if (m_slot && g_hoveredType == m_type)
        g_hoveredType = nullptr;
    delete m_tooltip;
}

bool GUI_DeployedShipModuleIcon::OnLeftClick(float x, float y)
{
    if (!visible || !Contains(x, y) || !m_type)
        return false;
    APP_UsageMetrics::GetInstance().SetEventFlag("depshipmodiconclick");
    GUI_ModulePopup::Open(m_type, m_design, this);
    GUI_Sounds::GetInstance().PlayGuiSound(0);
    return true;
}

bool GUI_DeployedShipModuleIcon::OnRightClick(float x, float y)
{
    if (!visible || !m_type || !m_state || !Contains(x, y))
        return false;
    GUI_ModuleIconRCMenu::Open(m_type);
    return true;
}

bool GUI_DeployedShipModuleIcon::IsHighlighted() const
{
    return GUI_ModulePopup::IsOpenFor(this);
}

void GUI_DeployedShipModuleIcon::Update()
{
    const bool over = IsMouseOver();
    if (over) {
        if (m_tooltip) {
            const CInput& input = CInput::GetInstance();
            m_tooltip->SetAnchor(input.GetMouseX(), input.GetMouseY());
            m_tooltip->CheckShowTime();
        }
        GUI_Cursor::GetInstance().SetHand();
    }
    if (over || IsHighlighted()) {
        // A design's module names its type; a campaign ship's module its own
        // slot index.
        g_hoveredType = m_slot ? m_type : nullptr;
        g_hoveredIndex = m_slot || !m_state ? -1 : m_state->slot;
    }
    GUI_WindowBase::Update();
}

GRect GUI_DeployedShipModuleIcon::SpriteRect() const
{
    return GRect{left + 1, top + 1, right - 1, bottom - 1};
}

void GUI_DeployedShipModuleIcon::DrawIntegrityBar(uint32_t alpha)
{
    if (!m_state)
        return;
    const GRect r = SpriteRect();
    const float integrity = std::clamp(m_state->integrity, 0.0f, 1.0f);
    const int intactTop = r.bottom - static_cast<int>(integrity * static_cast<float>(r.Height()));
    D3DEngine& engine = D3DEngine::GetInstance();
    if (intactTop < r.bottom)
        engine.FillRect(GRect{r.left, intactTop, r.right, r.bottom}, (alpha << 24) | kIntactColour);
    if (m_state->integrity < 1.0f && intactTop > r.top)
        engine.FillRect(GRect{r.left, r.top, r.right, intactTop}, (alpha << 24) | kLostColour);
}

void GUI_DeployedShipModuleIcon::DrawBackdrop()
{
    const GRect r = SpriteRect();
    D3DEngine& engine = D3DEngine::GetInstance();
    if (m_overLimit)
        engine.FillRect(r, kOverLimitColour);
    if (IsMouseOver() || IsHighlighted())
        engine.FillRect(r, kLitColour);
    DrawIntegrityBar(kBackdropBarAlpha);
}

void GUI_DeployedShipModuleIcon::DrawOverlay()
{
    DrawIntegrityBar(kOverlayBarAlpha);
    D3DEngine::GetInstance().DrawRectFrame(SpriteRect(), 0xFF808080u);
    if (m_tooltip && IsMouseOver())
        m_tooltip->Draw();
}

void GUI_DeployedShipModuleIcon::Draw()
{
    if (!visible)
        return;
    DrawBackdrop();
    m_icon.SetSize(static_cast<float>(width - 2), static_cast<float>(height - 2));
    m_icon.PlaceCentred(static_cast<float>(left + right) / 2.0f, static_cast<float>(top + bottom) / 2.0f);
    m_icon.Draw();
    DrawOverlay();
}
