#include "prep/GUI_FleetSummaryBar.h"

#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "engine/TextHelpers.h"
#include "frontend/GUI_SupplyLimits.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_FrameDrawing.h"
#include "gui/GUI_Message.h"
#include "gui/GUI_Tooltip.h"
#include "gui/GUI_WindowManager.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentMap.h"
#include "prep/GUI_MissionSummary.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Scenario.h"

#include <algorithm>

namespace {
const SIM_DeployedFleet* Fleet()
{
    return GUI_DeploymentGUI::GetInstance().GetPlayerFleet();
}

void DrawBarText(const GUI_WindowBase& bar, const std::string& text)
{
    LibText& lib = LibText::GetInstance();
    lib.SetFont("zekton16.dds", 16.0f);
    lib.SetText(TEXT_ALIGN_LEFT, text, static_cast<float>(bar.left + 10), static_cast<float>(bar.top - 2),
                0xFFFFFFFFu, static_cast<float>(bar.width));
    lib.Render(-1);
}
} // namespace

GUI_FleetCostBar::GUI_FleetCostBar()
{
    label = GetString("FLEET_DESIGN_COST");
    SetTooltip(GetString("FLEETCOSTBAR_TOOLTIP"));
}

std::string GUI_FleetCostBar::Text() const
{
    const SIM_DeployedFleet* fleet = Fleet();
    const long long cost = fleet ? static_cast<long long>(fleet->GetTotalCost()) : 0;
    return StrFormat("%s %s", label.c_str(), FormatThousands(cost).c_str());
}

void GUI_FleetCostBar::Draw()
{
    const SIM_DeployedFleet* fleet = Fleet();
    const float cost = fleet ? fleet->GetTotalCost() : 0.0f;
    DrawFillBarFor(cost, static_cast<float>(GUI_DeploymentGUI::GetInstance().DifficultyCostLimit()));
    DrawBarText(*this, Text());
}

GUI_FleetPilotsBar::GUI_FleetPilotsBar()
{
    label = GetString("FLEET_DESIGN_PILOTS");
    SetTooltip(GetString("PILOTSBAR_TOOLTIP"));
}

std::string GUI_FleetPilotsBar::Text() const
{
    const SIM_DeployedFleet* fleet = Fleet();
    return StrFormat("%s : %s", label.c_str(), FormatThousands(fleet ? fleet->GetTotalShips() : 0).c_str());
}

void GUI_FleetPilotsBar::Draw()
{
    const SIM_DeployedFleet* fleet = Fleet();
    const SIM_Scenario* scenario = GUI_DeploymentGUI::GetInstance().GetScenario();
    DrawFillBarFor(fleet ? static_cast<float>(fleet->GetTotalShips()) : 0.0f,
                   scenario ? static_cast<float>(scenario->GetPilotLimit()) : 0.0f);
    DrawBarText(*this, Text());
}

GUI_UnlockBar::GUI_UnlockBar()
{
    m_lock.SetTexture("module_locked.dds");
    m_lock.SetSize(20.0f, 20.0f);
    m_label = GetString("UNLOCKBAR_TITLE");
    m_tooltip = new GUI_Tooltip(GetString("UNLOCKBAR_TOOLTIP"), 30);
}

GUI_UnlockBar::~GUI_UnlockBar()
{
    delete m_tooltip;
}

std::string GUI_UnlockBar::ValueText() const
{
    const SIM_DeployedFleet* fleet = Fleet();
    const int cost = fleet ? static_cast<int>(fleet->GetTotalCost()) : 0;
    return FormatThousands(std::max(GUI_DeploymentGUI::GetInstance().DifficultyCostLimit() - cost, 0));
}

void GUI_UnlockBar::Draw()
{
    const SIM_Scenario* scenario = GUI_DeploymentGUI::GetInstance().GetScenario();
    if (!visible || (scenario && scenario->GetType() == SIM_Scenario::TUTORIAL))
        return;
    if (IsMouseOver()) {
        m_tooltip->CheckShowTime();
        m_tooltip->Draw();
    }
    DrawNamedFrame("fillbar.dds", 8.0f, 1.0f, static_cast<float>(left), static_cast<float>(top),
                   static_cast<float>(right), static_cast<float>(bottom));
    const float lockX = static_cast<float>(right) - 10.0f;
    m_lock.PlaceCentred(lockX, static_cast<float>(top + bottom) / 2.0f);
    m_lock.Draw();
    LibText& lib = LibText::GetInstance();
    lib.SetFont("zekton16.dds", 16.0f);
    const float y = static_cast<float>(top) - 2.0f;
    const std::string value = ValueText();
    const float valueRight = lockX - 12.0f;
    // A narrow bar keeps the number and drops the label.
    if (static_cast<float>(left + 10 + lib.GetTextWidth(m_label) + 6 + lib.GetTextWidth(value)) <= valueRight)
        lib.SetText(TEXT_ALIGN_LEFT, m_label, static_cast<float>(left + 10), y, 0xFFFFFFFFu, 200.0f);
    lib.SetText(TEXT_ALIGN_RIGHT, value, valueRight - 200.0f, y, 0xFFFFFFFFu, 200.0f);
    lib.Render(-1);
}

GUI_FleetSummaryBar::GUI_FleetSummaryBar()
{
    m_background.SetTexture("box_background.jpg");
    Layout();
    GUI_WindowManager::GetInstance().BringToFront(this);
}

GUI_FleetSummaryBar::~GUI_FleetSummaryBar()
{
    DeleteChildren();
}

void GUI_FleetSummaryBar::Layout()
{
    const SIM_Scenario* scenario = GUI_DeploymentGUI::GetInstance().GetScenario();
    QLM_ASSERT(scenario);
    const GRect& map = GUI_DeploymentMap::GetInstance().GetRect();
    const float x = static_cast<float>(map.left + map.right) / 2.0f - kWidth / 2.0f;
    SetRect(x, 0.0f, x + kWidth, static_cast<float>(kHeight));
    DeleteChildren();
    DeleteButtons();
    auto cell = [this](int index, float inset, float topInset, float bottomInset, float& l, float& t, float& r,
                       float& b) {
        l = static_cast<float>(left + index * kCell) + inset;
        r = static_cast<float>(left + (index + 1) * kCell) - inset;
        t = static_cast<float>(top) + topInset;
        b = static_cast<float>(top) + bottomInset;
    };
    float l, t, r, b;
    m_details = new GUI_ButtonText("DEPLOY_SCENARIO_DETAILS", OnDetails, 0);
    m_details->SetTooltipString(GetString("DEPLOY_SCENARIO_DETAILS_TOOLTIP"));
    cell(0, 10.0f, 6.0f, 26.0f, l, t, r, b);
    m_details->SetRect(l, t, r, b);
    AddButton(m_details);

    m_pilots = new GUI_FleetPilotsBar();
    cell(1, 5.0f, 4.0f, static_cast<float>(kHeight - 4), l, t, r, b);
    m_pilots->SetRect(l, t, r, b);
    AddChild(m_pilots);
    m_cost = new GUI_FleetCostBar();
    cell(2, 5.0f, 4.0f, static_cast<float>(kHeight - 4), l, t, r, b);
    m_cost->SetRect(l, t, r, b);
    AddChild(m_cost);

    m_unlock = nullptr;
    if (scenario && !scenario->IsChallengeFleet() && scenario->GetType() != SIM_Scenario::SURVIVAL) {
        m_unlock = new GUI_UnlockBar();
        cell(3, 5.0f, 4.0f, static_cast<float>(kHeight - 4), l, t, r, b);
        m_unlock->SetRect(l, t, r, b);
        AddChild(m_unlock);
    }
    m_supplies = nullptr;
    if (scenario && !scenario->GetSupplyLimits().empty()) {
        m_supplies = new GUI_ButtonText("DEPLOY_SCENARIO_SUPPLIES", OnSupplies, 0);
        m_supplies->SetTooltipString(GetString("DEPLOY_SCENARIO_SUPPLIES_TOOLTIP"));
        cell(4, 5.0f, 6.0f, 26.0f, l, t, r, b);
        m_supplies->SetRect(l, t, r, b);
        AddButton(m_supplies);
    }
}

void GUI_FleetSummaryBar::Draw()
{
    if (!visible)
        return;
    m_background.SetSize(static_cast<float>(width), static_cast<float>(height));
    m_background.SetUV(0.0f, 0.0f, static_cast<float>(width) / 1024.0f, static_cast<float>(height) / 1024.0f);
    m_background.PlaceCentred(static_cast<float>(left + right) / 2.0f, static_cast<float>(top + bottom) / 2.0f);
    m_background.Draw();
    DrawNamedFrame("border_depth.dds", 15.0f, 1.0f, static_cast<float>(left), static_cast<float>(top),
                   static_cast<float>(right), static_cast<float>(bottom));
    DrawChildren();
    DrawButtons();
}

void GUI_FleetSummaryBar::OnDetails(std::intptr_t)
{
    if (const SIM_Scenario* scenario = GUI_DeploymentGUI::GetInstance().GetScenario())
        OpenMissionSummary(*scenario);
}

void GUI_FleetSummaryBar::OnSupplies(std::intptr_t)
{
    GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
    SIM_Scenario* scenario = screen.GetScenario();
    if (!scenario || !screen.GetPlayerFleet())
        return;
    // The list beside the map counts what the fleet carries now.
    GUI_SupplyLimits::SetFleetCounter([](const std::string& type) {
        const SIM_DeployedFleet* fleet = GUI_DeploymentGUI::GetInstance().GetPlayerFleet();
        return fleet ? fleet->CountModuleType(type) : 0;
    });
    GUI_SupplyLimits::SetStripClickHandler(SelectDeploymentIconsCarrying);
    GUI_SupplyLimits::SetAtLeftEdge(screen.IsEditingAIFleet());
    GUI_SupplyLimits::Open(scenario, GUI_SupplyLimits::MODE_DEPLOYMENT);
}
