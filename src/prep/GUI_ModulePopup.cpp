#include "prep/GUI_ModulePopup.h"

#include "app/Game.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "engine/StrFormat.h"
#include "gui/GUI_DialogLayout.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_PreloadedTextures.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "prep/DesignerCommon.h"
#include "prep/GUI_DataItem.h"
#include "prep/GUI_DeploymentGUI.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipModuleType.h"

#include <algorithm>

namespace {
} // namespace

bool GUI_ModulePopup::IsOpenFor(const void* opener)
{
    const GUI_ModulePopup* open = GetOpen();
    return opener && open && open->m_opener == opener;
}

void GUI_ModulePopup::ForgetOpener(const void* opener)
{
    if (IsOpenFor(opener))
        GetOpen()->m_opener = nullptr;
}

void GUI_ModulePopup::Open(const SIM_ShipModuleType* type, const SIM_ShipDesign* design, const void* opener)
{
    CloseOpen();
    QLM_ASSERT(type);
    if (!type)
        return;
    (new GUI_ModulePopup(type, design))->m_opener = opener;
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    if (tutorial.IsWaitingFor("MODULEPOPUP"))
        tutorial.LaunchTutorial("MODULEPOPUP");
}

std::string GUI_ModulePopup::SupplyText(const SIM_ShipModuleType& type, const SIM_Scenario* scenario,
                                        const SIM_DeployedFleet* fleet)
{
    if (!scenario || scenario->GetSupplyLimits().empty())
        return GetString("MODULE_POPUP_SUPPLY_UNLIMITED");
    const int limit = scenario->GetSupplyLimit(type.GetName());
    if (limit == -1)
        return GetString("MODULE_POPUP_SUPPLY_UNLIMITED");
    const int used = fleet ? fleet->CountModuleType(type.GetName()) : 0;
    return StrFormat("%d / %d %s", used, limit, GetString("SUPPLY_UNITS"));
}

GUI_ModulePopup::GUI_ModulePopup(const SIM_ShipModuleType* type, const SIM_ShipDesign* design)
    : GUI_Dialog(true), m_type(type), m_design(design)
{
    SetOpen(this);
    CentreDialog(*this, kWidth, kHeight);
    SetTitle(GetString(type->GetGuiName().c_str()));
    SetClientRect();
    m_showSupply = Game::GetInstance().GetModeId() == GUI_DeploymentGUI::kModeId;
    if (m_showSupply) {
        const GUI_DeploymentGUI& screen = GUI_DeploymentGUI::GetInstance();
        m_supplyLabel = GetString("MODULE_POPUP_SUPPLY");
        m_supplyValue = SupplyText(*type, screen.GetScenario(), screen.GetPlayerFleet());
    }
    // Icon on the left, description beside it, supply row under both.
    designer::SetModuleIcon(m_icon, type, design ? design->GetHull() : nullptr);
    m_icon.SetSize(64.0f, 64.0f);
    m_description = {clientLeft + 84, clientTop + 16, clientRight - 4, clientTop + 96};
    m_supply = {clientLeft + 4, clientTop + 100, clientRight - 4, clientTop + 120};
    BuildDataRows();
    GUI_WindowManager::GetInstance().BringToFront(this);
    m_timer.Start();
}

GUI_ModulePopup::~GUI_ModulePopup()
{
    ForgetIfOpen(this);
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    if (tutorial.IsWaitingFor("CLOSEMODULEPOPUP")) {
        tutorial.SetWaitFor("");
        tutorial.LaunchTutorial("SHIPORDERS");
    }
}

void GUI_ModulePopup::BuildDataRows()
{
    for (GUI_DataItem* row : m_rows) {
        RemoveChild(row);
        delete row;
    }
    m_rows.clear();
    const int centre = (clientLeft + clientRight) / 2;
    const int firstY = (m_showSupply ? m_supply.bottom : m_description.bottom) + 16;
    int y = firstY;
    int column = 0;
    auto* type = const_cast<SIM_ShipModuleType*>(m_type);
    for (const SIM_ShipModuleType::DataItem& item : m_type->GetDataItems()) {
        if (y + 18 > clientBottom - 38 && column == 0) {
            column = 1;
            y = firstY;
        }
        GUI_DataItem* row = AddModuleDataItem(type, item.statName, item.kind, item.multiplier);
        const int l = column == 0 ? clientLeft + 2 : centre + 2;
        const int r = column == 0 ? centre - 2 : clientRight - 2;
        row->SetRect(static_cast<float>(l), static_cast<float>(y), static_cast<float>(r), static_cast<float>(y + 18));
        AddChild(row);
        m_rows.push_back(row);
        y += 20;
    }
}

std::string GUI_ModulePopup::VisibleDescription(double elapsedMs) const
{
    const std::string whole = GetString(m_type->GetDescription().c_str());
    const double t = std::clamp(elapsedMs / kTypingMs, 0.0, 1.0);
    if (t >= 1.0)
        return whole;
    return whole.substr(0, static_cast<size_t>(t * static_cast<double>(whole.size())));
}

void GUI_ModulePopup::Draw()
{
    if (!visible)
        return;
    GUI_Dialog::Draw();
    DrawClientPanel(*this);
    m_icon.PlaceCentred(static_cast<float>(clientLeft) + 42.0f, static_cast<float>(clientTop) + 50.0f);
    m_icon.Draw();
    m_timer.Update();
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    const std::string shown = text.GetWrappedText(VisibleDescription(m_timer.GetTotalMs()), m_description.Width() - 20);
    text.SetText(TEXT_ALIGN_LEFT, shown, static_cast<float>(m_description.left), static_cast<float>(m_description.top),
                 0xFFFFFFFFu, static_cast<float>(m_description.Width() - 20));
    if (m_showSupply) {
        text.SetText(TEXT_ALIGN_LEFT, m_supplyLabel, static_cast<float>(m_supply.left + 10),
                     static_cast<float>(m_supply.top), 0xFFFFFFFFu, 280.0f);
        text.SetText(TEXT_ALIGN_RIGHT, m_supplyValue, static_cast<float>(m_supply.right - 200),
                     static_cast<float>(m_supply.top), 0xFFFFFFFFu, 190.0f);
    }
    DrawChildren();
    text.Render(-1);
}
