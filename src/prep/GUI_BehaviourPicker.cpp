#include "prep/GUI_BehaviourPicker.h"

#include "app/APP_UsageMetrics.h"
#include "app/Game.h"
#include "engine/GDebugLog.h"
#include "engine/GHashTable.h"
#include "engine/LibText.h"
#include "gui/GUI_ButtonText.h"
#include "gui/GUI_DialogLayout.h"
#include "gui/GUI_OneOpen.h"
#include "gui/GUI_Tutorial.h"
#include "gui/GUI_WindowManager.h"
#include "prep/GUI_BehaviourPickerStrip.h"
#include "prep/GUI_DeploymentDetails.h"
#include "prep/GUI_DeploymentGUI.h"
#include "prep/GUI_DeploymentIcon.h"
#include "prep/GUI_DeploymentTools.h"
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipOrders.h"

namespace {
} // namespace

void GUI_BehaviourPicker::Open(SIM_ShipOrders* orders)
{
    CloseOpen();
    QLM_ASSERT(orders);
    if (!orders)
        return;
    new GUI_BehaviourPicker(orders);
}

GUI_BehaviourPicker::GUI_BehaviourPicker(SIM_ShipOrders* orders) : GUI_Dialog(true), m_orders(orders)
{
    SetOpen(this);
    for (GUI_DeploymentIcon* icon : GetDeploymentIcons())
        if (icon->GetShip() && &icon->GetShip()->orders == orders)
            FollowPlacedShip(*this, icon->GetShip());
    CentreDialog(*this, kWidth, kHeight);
    SetTitleKey("BEHAVIOR_PICKER_TITLE");
    SetClientRect();
    const int centre = (clientLeft + clientRight) / 2;
    m_listArea = {clientLeft + 5, clientTop, centre - 5, clientBottom - 30};
    m_descriptionArea = {centre + 5, clientTop, clientRight - 5, clientBottom - 30};
    m_add = new GUI_ButtonText("BEHAVIOUR_ADDNEW", OnAdd, 0);
    m_add->SetRect(static_cast<float>(clientLeft + 5), static_cast<float>(clientBottom - 20),
                   static_cast<float>(clientRight - 5), static_cast<float>(clientBottom));
    AddButton(m_add);
    m_add->SetName("BEHAVIOR_PICKER_ADD");
    FillStrips();
    SetName("BEHAVIOR_PICKER");
    GUI_WindowManager& windows = GUI_WindowManager::GetInstance();
    windows.BringToFront(this);
    windows.AddModal(this);

    // Squadrons get their own follow-up once the picker has been explained.
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    const SIM_DeployedShip* shown = GUI_DeploymentDetails::GetShown();
    const SIM_ShipDesign* shownDesign = shown ? SIM_ShipDesign::Find(shown->design) : nullptr;
    if (tutorial.HasBeenShown("BEHAVIOR_PICKER") && shownDesign && shownDesign->IsFighter())
        tutorial.LaunchTutorial("BEHAVIOR_STICKTOGETHER");
    tutorial.LaunchTutorial("BEHAVIOR_PICKER");
    APP_UsageMetrics::GetInstance().SetEventFlag("orderpicker");
}

GUI_BehaviourPicker::~GUI_BehaviourPicker()
{
    ForgetIfOpen(this);
    GUI_Tutorial& tutorial = GUI_Tutorial::GetInstance();
    if (tutorial.IsWaitingFor("CLOSEBEHAVIORPICKER")) {
        tutorial.SetWaitFor("");
        tutorial.LaunchTutorial("SAVEDEPLOYMENT");
    }
}

void GUI_BehaviourPicker::ClearStrips()
{
    for (GUI_BehaviourPickerStrip* strip : m_strips) {
        RemoveChild(strip);
        delete strip;
    }
    m_strips.clear();
    m_selected = nullptr;
}

void GUI_BehaviourPicker::FillStrips()
{
    ClearStrips();
    if (SIM_BehaviourType::GetList().empty())
        SIM_BehaviourType::LoadAll();
    const SIM_DeployedShip* ship = GUI_DeploymentDetails::GetShown();
    QLM_ASSERT(ship);
    const SIM_ShipDesign* design = ship ? SIM_ShipDesign::Find(ship->design) : nullptr;
    QLM_ASSERT(design);
    if (!design)
        return;
    const bool fighter = design->IsFighter();
    const int centre = (clientLeft + clientRight) / 2;
    int y = clientTop + 5;
    for (const SIM_BehaviourType* type : SIM_BehaviourType::GetList()) {
        // Squadrons always move; larger ships have no squadron to stick to.
        if (fighter ? type->name == "KEEPMOVING" : type->name == "STICKTOGETHER")
            continue;
        if (m_orders->HasOrder(type->name))
            continue;
        if (y >= clientBottom - 55)
            break;
        auto* strip = new GUI_BehaviourPickerStrip(type, this);
        strip->SetRect(static_cast<float>(clientLeft + 10), static_cast<float>(y), static_cast<float>(centre - 10),
                       static_cast<float>(y + 25));
        AddChild(strip);
        m_strips.push_back(strip);
        if (!m_selected)
            m_selected = strip;
        y += 30;
    }
}

void GUI_BehaviourPicker::OnAdd(std::intptr_t)
{
    if (GUI_BehaviourPicker* open = GetOpen())
        open->AddSelectedOrder();
}

void GUI_BehaviourPicker::AddSelectedOrder()
{
    if (!m_selected || !m_selected->GetType())
        return;
    SIM_DeployedShip* ship = GUI_DeploymentDetails::GetShown();
    QLM_ASSERT(ship);
    if (!ship)
        return;
    const SIM_BehaviourType* type = m_selected->GetType();
    ship->orders.AddOrder(type->name, type->default1, type->default2);
    APP_UsageMetrics::GetInstance().SetEventFlag("order_add_" + type->name);
    for (GUI_DeploymentIcon* icon : GetSelectedDeploymentIcons())
        if (icon->GetShip() && icon->GetShip() != ship)
            icon->GetShip()->orders.AddOrder(type->name, type->default1, type->default2);
    GUI_DeploymentDetails::Refresh();
    GUI_DeploymentTools& tools = GUI_DeploymentTools::GetInstance();
    if (type->shipLinked)
        tools.StartPick(type);
    tools.fleetChanged = true;
    if (Game::GetInstance().GetModeId() == GUI_DeploymentGUI::kModeId)
        GUI_DeploymentGUI::GetInstance().RefreshAfterFleetChange();
    CloseOpen();
}

void GUI_BehaviourPicker::Draw()
{
    if (!visible)
        return;
    if (m_add)
        m_add->enabled = m_selected != nullptr;
    GUI_Dialog::Draw();
    DrawPanelWithScanLines(m_listLines, m_listArea);
    DrawPanelWithScanLines(m_descriptionLines, m_descriptionArea);
    LibText& text = LibText::GetInstance();
    text.SetFont("zekton16.dds", 16.0f);
    DrawChildren();
    if (m_selected && m_selected->GetType()) {
        const int w = m_descriptionArea.Width() - 10;
        text.SetText(TEXT_ALIGN_LEFT, text.GetWrappedText(GetString(m_selected->GetType()->secondText.c_str()), w),
                     static_cast<float>(m_descriptionArea.left + 5), static_cast<float>(m_descriptionArea.top + 5),
                     0xFFFFFFFFu, static_cast<float>(w));
    }
    text.Render(-1);
}
