#include "prep/GUI_DeploymentShipDetails.h"

#include "campaign/sim/SIM_CampaignShip.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "gui/GUI_DialogLayout.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_WindowManager.h"
#include "prep/GUI_DeployedShipModuleIcon.h"
#include "prep/GUI_ModulePopup.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"

#include <cmath>

namespace {
} // namespace

GUI_DeploymentShipDetails::GUI_DeploymentShipDetails(int x, int y, const SIM_CampaignShip* campaignShip)
    : m_campaignShip(campaignShip)
{
    SetOpen(this);
    SetRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + kWidth),
            static_cast<float>(y + kHeight));
    GUI_WindowManager& windows = GUI_WindowManager::GetInstance();
    windows.AddWindow(this);
    windows.BringToFront(this);
}

GUI_DeploymentShipDetails::~GUI_DeploymentShipDetails()
{
    ForgetIfOpen(this);
    GUI_DeployedShipModuleIcon::ClearHovered();
}

GUI_DeploymentShipDetails::Defence GUI_DeploymentShipDetails::ComputeDefence(const SIM_ShipDesign& design)
{
    Defence d;
    const SIM_ShipHull* hull = design.GetHull();
    const float armourBonus = hull ? hull->GetBonusTotal(SIM_ShipHull::ARMOURBOOST) : 0.0f;
    const float shieldBonus = hull ? hull->GetBonusTotal(SIM_ShipHull::SHIELDBOOST) : 0.0f;
    float armour = 0.0f;
    int shields = 0;
    float stacking = 1.0f;
    for (const SIM_ShipDesign::FittedModule& m : design.GetModules()) {
        const SIM_ShipModuleType* type = m.moduleType;
        if (!type)
            continue;
        if (type->GetClassName() == "SIM_ArmourModule")
            armour += type->GetConfigFloat("maxdamageabsorbable") * (1.0f + armourBonus);
        if (type->GetClassName() == "SIM_ShieldModule") {
            d.shields += type->GetConfigFloat("shieldpoints") * (1.0f + shieldBonus);
            stacking = type->GetStackEffectiveness();
            ++shields;
        }
        d.hitpoints += type->GetHitpoints();
    }
    if (shields > 1)
        d.shields *= std::pow(stacking, static_cast<float>(shields - 1));
    // An empty design has no mean: show none rather than NaN.
    const size_t modules = design.GetModules().size();
    d.armour = modules > 0 ? armour / static_cast<float>(modules) : 0.0f;
    return d;
}

void GUI_DeploymentShipDetails::SetDesign(const SIM_ShipDesign* design)
{
    QLM_ASSERT(design);
    m_design = design;
    m_rows.clear();
    if (!design) {
        BuildIcons();
        return;
    }
    if (design->GetHull())
        m_blueprint.SetTexture(design->GetHull()->GetSprite());
    m_blueprint.SetSize(128.0f, 128.0f);
    m_defence = ComputeDefence(*design);
    const std::pair<const char*, float> rows[] = {{"DEPLOY_BLUEPRINT_SHIELDS", m_defence.shields},
                                                  {"DEPLOY_BLUEPRINT_ARMOR", m_defence.armour},
                                                  {"DEPLOY_BLUEPRINT_HITPOINTS", m_defence.hitpoints}};
    for (const auto& [key, value] : rows)
        m_rows.push_back(StrFormat(" [%s: %.2f] ", GetString(key), static_cast<double>(value)));
    BuildIcons();
}

void GUI_DeploymentShipDetails::BuildIcons()
{
    DeleteChildren();
    m_icons.clear();
    if (!m_design)
        return;
    const int rowWidth = kIconSize * kIconsPerRow;
    const int rowLeft = left + (width - rowWidth) / 2;
    const int firstRowTop = top + 133 + 5;
    int index = 0;
    const auto add = [&](GUI_DeployedShipModuleIcon* icon) {
        const int x = rowLeft + (index % kIconsPerRow) * kIconSize;
        const int y = firstRowTop + (index / kIconsPerRow) * kIconSize;
        icon->SetRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + kIconSize),
                      static_cast<float>(y + kIconSize));
        AddChild(icon);
        m_icons.push_back(icon);
        ++index;
    };
    if (m_campaignShip) {
        for (const auto& module : m_campaignShip->modules)
            if (module && SIM_ShipModuleType::Find(module->moduleTypeName, false))
                add(new GUI_DeployedShipModuleIcon(module->moduleTypeName, module.get(), m_design));
        return;
    }
    for (const SIM_ShipDesign::FittedModule& m : m_design->GetModules())
        if (m.moduleType)
            add(new GUI_DeployedShipModuleIcon(&m, m_design));
}

void GUI_DeploymentShipDetails::Update()
{
    GUI_DeployedShipModuleIcon::ClearHovered();
    // The popup holds its module's mark even while the pointer is elsewhere.
    if (GUI_ModulePopup::GetOpen())
        for (GUI_DeployedShipModuleIcon* icon : m_icons)
            if (icon->IsHighlighted())
                icon->Update();
    GUI_WindowBase::Update();
}

void GUI_DeploymentShipDetails::Draw()
{
    if (!visible || !m_design)
        return;
    DrawPanelWithScanLines(m_pattern, GRect{left, top, right, bottom});
    m_blueprint.PlaceCentred(static_cast<float>(left + right) / 2.0f, static_cast<float>(top) + 3.0f + 65.0f);
    m_blueprint.Draw();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    const int iconRows = (static_cast<int>(m_icons.size()) + kIconsPerRow - 1) / kIconsPerRow;
    float y = static_cast<float>(top + 133 + 5 + iconRows * kIconSize + 2);
    // Each row starts with a blank: set at the box's edge, its figures still
    // start 4 pixels in, and the longest hit-point total keeps inside.
    for (const std::string& row : m_rows) {
        text.SetText(TEXT_ALIGN_LEFT, row, static_cast<float>(left), y, 0xFFFFFFFFu, static_cast<float>(width));
        y += 18.0f;
    }
    text.Render(-1);
}
