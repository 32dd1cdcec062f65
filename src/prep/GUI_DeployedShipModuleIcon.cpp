#include "prep/GUI_DeployedShipModuleIcon.h"

#include "app/APP_UsageMetrics.h"
#include "app/GUI_Sounds.h"
#include "app/Game.h"
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
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipModuleType.h"

namespace {
std::string g_hoveredType;
} // namespace

const std::string& GUI_DeployedShipModuleIcon::GetHoveredModuleType()
{
    return g_hoveredType;
}

void GUI_DeployedShipModuleIcon::ClearHovered()
{
    g_hoveredType.clear();
}

GUI_DeployedShipModuleIcon::GUI_DeployedShipModuleIcon(const SIM_ShipModuleType* type, const SIM_ShipDesign* design)
    : m_type(type), m_design(design)
{
    QLM_ASSERT(type);
    SetName("deploymenticon_module");
    if (!type)
        return;
    designer::SetModuleIcon(m_icon, type, design ? design->GetHull() : nullptr);
    if (Game::GetInstance().GetModeId() == GUI_DeploymentGUI::kModeId) {
        const GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
        const SIM_Scenario* scenario = screen.GetScenario();
        const SIM_DeployedFleet* fleet = screen.GetPlayerFleet();
        if (scenario && fleet && !scenario->GetSupplyLimits().empty()) {
            const int limit = scenario->GetSupplyLimit(type->GetName());
            m_overLimit = limit != -1 && fleet->CountModuleType(type->GetName()) >= limit;
        }
    }
    m_tooltip = new GUI_Tooltip(GetString(type->GetGuiName().c_str()), 20);
    swallowsClicks = true;
}

GUI_DeployedShipModuleIcon::~GUI_DeployedShipModuleIcon()
{
    delete m_tooltip;
}

bool GUI_DeployedShipModuleIcon::OnLeftClick(float x, float y)
{
    if (!visible || !Contains(x, y) || !m_type)
        return false;
    APP_UsageMetrics::GetInstance().SetEventFlag("depshipmodiconclick");
    GUI_ModulePopup::Open(m_type, m_design);
    GUI_Sounds::GetInstance().PlayGuiSound(0);
    return true;
}

bool GUI_DeployedShipModuleIcon::OnRightClick(float x, float y)
{
    if (!visible || !m_type || !Contains(x, y))
        return false;
    GUI_ModuleIconRCMenu::Open(m_type);
    return true;
}

void GUI_DeployedShipModuleIcon::Update()
{
    const GUI_ModulePopup* popup = GUI_ModulePopup::GetOpen();
    if (m_type && (IsMouseOver() || (popup && popup->GetModuleType() == m_type)))
        g_hoveredType = m_type->GetName();
    if (IsMouseOver()) {
        if (m_tooltip) {
            const CInput& input = CInput::GetInstance();
            m_tooltip->SetAnchor(input.GetMouseX(), input.GetMouseY());
            m_tooltip->CheckShowTime();
        }
        GUI_Cursor::GetInstance().SetHand();
    }
    GUI_WindowBase::Update();
}

void GUI_DeployedShipModuleIcon::Draw()
{
    if (!visible)
        return;
    const GRect r{left + 1, top + 1, right - 1, bottom - 1};
    D3DEngine& engine = D3DEngine::GetInstance();
    if (m_overLimit)
        engine.FillRect(r, kOverLimitColour);
    const GUI_ModulePopup* popup = GUI_ModulePopup::GetOpen();
    if (IsMouseOver() || (popup && popup->GetModuleType() == m_type))
        engine.FillRect(r, 0x80FFFFFFu);
    m_icon.SetSize(static_cast<float>(width - 2), static_cast<float>(height - 2));
    m_icon.PlaceCentred(static_cast<float>(left + right) / 2.0f, static_cast<float>(top + bottom) / 2.0f);
    m_icon.Draw();
    engine.DrawRectFrame(r, 0xFF808080u);
    if (m_tooltip && IsMouseOver())
        m_tooltip->Draw();
}
