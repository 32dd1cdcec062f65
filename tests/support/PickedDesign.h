#pragma once
// The design a window test deploys: the first one the open picker offers
// that may be bought and is no fighter (fighters need a carrier).
#include "prep/GUI_DeploymentDesignPicker.h"
#include "prep/GUI_ShipIcon.h"
#include "sim/SIM_ShipDesign.h"

inline const GUI_ShipIcon* FirstBuyableWarship()
{
    const GUI_DeploymentDesignPicker* picker = GUI_DeploymentDesignPicker::GetOpen();
    if (!picker)
        return nullptr;
    for (const GUI_ShipIcon* icon : picker->GetVisibleIcons())
        if (icon->GetKind() == GUI_ShipIcon::DESIGN && icon->IsAvailable() && !icon->GetDesign()->IsFighter())
            return icon;
    return nullptr;
}
