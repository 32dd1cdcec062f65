#include "prep/GUI_DeploymentTools.h"

#include "engine/CInput.h"
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "gui/GUI_WindowManager.h"
#include "prep/GUI_DeploymentDetails.h"
#include "prep/GUI_DeploymentIcon.h"
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipOrder.h"

GUI_DeploymentTools& GUI_DeploymentTools::GetInstance()
{
    static GUI_DeploymentTools instance;
    return instance;
}

void GUI_DeploymentTools::StartPick(const SIM_BehaviourType* behaviour)
{
    pickBehaviour = behaviour;
    pickMode = behaviour ? 1 : 0;
}

void GUI_DeploymentTools::ApplyGroupOrder(const std::string& orderName)
{
    if (GUI_WindowManager::GetInstance().IsModalOpen())
        return;
    bool any = false;
    for (GUI_DeploymentIcon* icon : GetSelectedDeploymentIcons()) {
        SIM_DeployedShip* ship = icon->GetShip();
        QLM_ASSERT(ship);
        if (!ship)
            continue;
        any = true;
        if (ship->orders.HasOrder(orderName))
            continue;
        SIM_ShipOrder* order = ship->orders.AddOrder(orderName, 0.0f, 0.0f);
        if (order) {
            order->shipId = -1;
            if (orderName == "ESCORT")
                order->float1 = 100.0f;
        }
        fleetChanged = true;
    }
    if (any && (orderName == "FORMATION" || orderName == "ESCORT"))
        StartPick(SIM_BehaviourType::Find(orderName));
    GUI_DeploymentDetails::Refresh();
}

void GUI_DeploymentTools::ApplyPick(SIM_DeployedShip* target)
{
    QLM_ASSERT(target && pickBehaviour);
    if (!target || !pickBehaviour)
        return;
    const std::string name = pickBehaviour->name;
    const bool group = name == "FORMATION" || name == "ESCORT";
    if (group) {
        const SIM_ShipDesign* design = SIM_ShipDesign::Find(target->design);
        // A squadron is never anyone's charge or formation leader.
        if (design && design->IsFighter())
            return;
    }
    for (GUI_DeploymentIcon* icon : GetSelectedDeploymentIcons()) {
        SIM_DeployedShip* ship = icon->GetShip();
        if (!ship)
            continue;
        fleetChanged = true;
        if (ship == target) {
            ship->orders.RemoveUntargetedShipOrders();
            GUI_DeploymentDetails::Refresh();
            continue;
        }
        const SIM_ShipOrder* back = group ? target->orders.GetOrder(name) : nullptr;
        if (back && back->shipId == ship->shipId) {
            // No ship escorts (or follows) the ship that escorts it.
            ship->orders.RemoveUntargetedShipOrders();
            continue;
        }
        if (SIM_ShipOrder* order = ship->orders.GetOrder(name))
            order->shipId = target->shipId;
    }
    GUI_DeploymentDetails::Refresh();
}

void GUI_DeploymentTools::Pick(GUI_DeploymentIcon* icon)
{
    if (icon && icon->GetShip() && pickBehaviour)
        ApplyPick(icon->GetShip());
    pickMode = 0;
}

void DrawDeploymentSelection()
{
    if (GUI_DeploymentTools::GetInstance().pickMode != 1)
        return;
    const CInput& input = CInput::GetInstance();
    D3DEngine& engine = D3DEngine::GetInstance();
    for (const GUI_DeploymentIcon* icon : GetSelectedDeploymentIcons())
        engine.DrawLine(static_cast<float>(icon->left + icon->right) / 2.0f,
                        static_cast<float>(icon->top + icon->bottom) / 2.0f, input.GetMouseX(), input.GetMouseY(),
                        0xFFFF4040u);
}
